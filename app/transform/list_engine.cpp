#include "list_engine.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>

#include "csv_cells.h"
#include "dms_text.h"
#include "errortrap.h"
#include "floating_point_mode.h"
#include "geodetic_chain.h"
#include "line_breaks.h"
#include "message.h"
#include "number_text.h"
#include "point_transform.h"
#include "split_fields.h"

namespace {

int threadStartLimit = std::numeric_limits<int>::max();

constexpr uint32_t kWarningStyle = MB_ICONEXCLAMATION | MB_TASKMODAL;

void Warn(const std::string& text) {
  ShowMessage(text, kCaptionWarning, kWarningStyle);
}

bool IsBlankLine(std::string_view line) {
  return line.find_first_not_of(' ') == std::string_view::npos;
}

bool IsCommentLine(std::string_view line) {
  const size_t first = line.find_first_not_of(' ');
  return first != std::string_view::npos && line[first] == '#';
}

constexpr size_t kValueTextCapacity = std::max(kDmsTextCapacity, kNumberTextCapacity);

// An angle in the side's format: DMS text, or the plain unrounded decimal
// degrees; out holds kValueTextCapacity characters.
size_t FormatAngleTo(char* out, double degrees, const UnitsAndFormats& formats) {
  return formats.angleFormat == kAngleFormatDms ? FormatDmsTo(out, degrees)
                                                : FormatPlainTo(out, degrees);
}

void AppendAngle(std::string& out, double degrees, const UnitsAndFormats& formats) {
  char text[kValueTextCapacity];
  out.append(text, FormatAngleTo(text, degrees, formats));
}

void AppendRounded(std::string& out, double value) {
  char text[kNumberTextCapacity];
  out.append(text, FormatRoundedTo(text, value));
}

// The one value of the chain that a line may leave unwritten: the target
// longitude of a point on the polar axis keeps the previous line's. A chunk
// that starts away from the lines before it starts with this mark there; a
// line that still finds the mark after the chain needed the earlier lines.
constexpr uint64_t kCarriedMark = 0x7ff4'c0de'0000'0001ULL;

bool HoldsCarriedMark(double value) {
  return std::bit_cast<uint64_t>(value) == kCarriedMark;
}

// The lines of one chunk, transformed into the texts of its output lines.
struct Chunk {
  explicit Chunk(std::string text = {}) : input(std::move(text)) {}

  std::string input;
  std::string grid;
  std::string geographic;
  int64_t lines = 0;  // lines done, the stopping line included
  bool stopped = false;
  bool needsCarry = false;  // must be done again after the chunk before it
  bool done = false;
  int32_t errorNumber = 0;  // the transformation itself failed
  std::vector<CapturedMessage> messages;
  // Bad lines gone past: the line's index in the chunk and what it showed.
  std::vector<std::pair<int64_t, std::vector<CapturedMessage>>> badLines;
  double lambdaTarget = 0;  // the chain's value after the chunk
  // The chunk's first line other than blanks and comments (its index, or -1),
  // and whether it could not be read as coordinates at all.
  int64_t firstCoordinateLine = -1;
  bool firstUnreadable = false;

  // Ready for the next input, keeping the room its texts took.
  void Reset() {
    grid.clear();
    geographic.clear();
    lines = 0;
    stopped = needsCarry = done = false;
    errorNumber = 0;
    messages.clear();
    badLines.clear();
    lambdaTarget = 0;
    firstCoordinateLine = -1;
    firstUnreadable = false;
  }
};

// Transforms lines one after the other, as one run on one thread would: the
// chain's working values carry over from line to line. Holds its own copies of
// the sides, since the chain writes the ellipsoid axes into their projections.
class LineTransformer {
 public:
  LineTransformer(const CrsSide& start, const CrsSide& target, const Catalogues& catalogues,
                  bool gridOutput, bool geographicOutput, const char* lineEnd, bool goPastBadLines,
                  const std::optional<CsvColumns>& csv)
      : start_(start),
        target_(target),
        catalogues_(catalogues),
        startProjected_(!IsGeographic(start.projection)),
        targetProjected_(!IsGeographic(target.projection)),
        gridOutput_(gridOutput),
        geographicOutput_(geographicOutput),
        lineEnd_(lineEnd),
        goPastBadLines_(goPastBadLines),
        csv_(csv) {}

  // Starts a chunk away from the lines before it, or after them (carried).
  void StartDetached() { v_.lambdaTarget = std::bit_cast<double>(kCarriedMark); }
  void StartAfter(double lambdaTarget) { v_.lambdaTarget = lambdaTarget; }

  // Every line of the chunk, up to a line that stops the run or that needs
  // the lines before the chunk (detached only).
  void Transform(Chunk& chunk) {
    MessageCapture capture;
    const std::string_view text = chunk.input;
    size_t position = 0;
    while (position < text.size()) {
      const auto lineBreak = FindLineBreak(text, position, false);
      const size_t end = lineBreak ? lineBreak->end : text.size();
      const std::string_view line = text.substr(position, end - position);
      const LineResult result = csv_ ? TransformRow(line, chunk) : TransformLine(line, chunk);
      position = lineBreak ? lineBreak->next : text.size();
      if (result == LineResult::kNeedsCarry) {
        chunk.needsCarry = true;
        break;
      }
      ++chunk.lines;
      if (result == LineResult::kWritten) continue;
      if (!goPastBadLines_) {
        if (result == LineResult::kSkipped) continue;
        chunk.stopped = true;
        break;
      }
      AppendBadLine(chunk);
      if (result == LineResult::kEndRun) {
        chunk.badLines.emplace_back(chunk.lines - 1, std::move(capture.messages()));
        capture.messages().clear();
      }
    }
    chunk.messages = std::move(capture.messages());
    chunk.lambdaTarget = v_.lambdaTarget;
  }

 private:
  enum class LineResult { kWritten, kSkipped, kEndRun, kNeedsCarry };

  LineResult TransformLine(std::string_view line, Chunk& chunk);
  LineResult TransformRow(std::string_view row, Chunk& chunk);
  LineResult TransformStartValues(Chunk& chunk, double gridHeight);
  bool Read(bool ok, std::string_view field);
  bool ReadGridLine();
  bool ReadGeographicLine();
  bool ResultsAreFinite() const;
  void AppendResults(Chunk& chunk);
  void AppendRow(std::string& out, std::string_view x, std::string_view y,
                 std::string_view z) const;
  void AppendRowResults(Chunk& chunk);
  void AppendToBoth(Chunk& chunk, std::string_view text);
  void AppendBadLine(Chunk& chunk);

  CrsSide start_;
  CrsSide target_;
  const Catalogues& catalogues_;
  const bool startProjected_;
  const bool targetProjected_;
  const bool gridOutput_;
  const bool geographicOutput_;
  const std::string_view lineEnd_;
  const bool goPastBadLines_;
  const std::optional<CsvColumns> csv_;
  ChainValues v_;
  std::string line_;
  std::string_view fields_[3];
  int32_t fieldCount_ = 0;
  bool unreadable_ = false;  // the line's fields are no coordinates
  // The cells of the row (pointing into the chunk) when it could be split,
  // and the texts of its coordinate cells.
  std::vector<std::string_view> cells_;
  bool rowSplit_ = false;
  std::string cellTexts_[3];
};

void LineTransformer::AppendToBoth(Chunk& chunk, std::string_view text) {
  if (geographicOutput_) chunk.geographic.append(text).append(lineEnd_);
  if (gridOutput_) chunk.grid.append(text).append(lineEnd_);
}

void LineTransformer::AppendBadLine(Chunk& chunk) {
  if (!rowSplit_) {
    AppendToBoth(chunk, {});
    return;
  }
  if (geographicOutput_) AppendRow(chunk.geographic, {}, {}, {});
  if (gridOutput_) AppendRow(chunk.grid, {}, {}, {});
}

// A field that could not be read is no coordinate when it is no number at
// all; a number out of range or too large still is one.
bool LineTransformer::Read(bool ok, std::string_view field) {
  if (!ok) unreadable_ = !HasOnlyNumberCharacters(field) || !IsWholeNumber(field);
  return ok;
}

bool LineTransformer::ReadGridLine() {
  unreadable_ = fieldCount_ != 2;
  if (fieldCount_ != 2) {
    Warn("Illegal format! Format should be 'Easting' 'Northing'.");
    return false;
  }
  double easting = 0;
  double northing = 0;
  if (!Read(ReadNumberField(fields_[0], easting), fields_[0]) ||
      !Read(ReadNumberField(fields_[1], northing), fields_[1])) {
    return false;
  }
  const long double factor = start_.unitsAndFormats.lengthFactor;
  v_.easting = static_cast<double>(easting * factor);
  v_.northing = static_cast<double>(northing * factor);
  return true;
}

// A geographic line gets the checks of a typed point: numbers, a DMS text in
// range, a latitude short of the poles and a longitude within +/- 180.
bool LineTransformer::ReadGeographicLine() {
  unreadable_ = fieldCount_ != 3;
  if (fieldCount_ != 3) {
    Warn("Illegal format! Format should be 'Latitude' 'Longitude' 'Height'.");
    return false;
  }
  const int32_t format = start_.unitsAndFormats.angleFormat;
  return Read(ReadAngleField(fields_[0], format, kDmsOther, v_.latitude), fields_[0]) &&
         CheckLatitude(v_.latitude) &&
         Read(ReadAngleField(fields_[1], format, kDmsOther, v_.longitude), fields_[1]) &&
         CheckLongitude(v_.longitude) && Read(ReadNumberField(fields_[2], v_.height), fields_[2]);
}

LineTransformer::LineResult LineTransformer::TransformLine(std::string_view line, Chunk& chunk) {
  if (IsBlankLine(line)) {
    AppendToBoth(chunk, {});
    return LineResult::kWritten;
  }
  if (IsCommentLine(line)) {
    AppendToBoth(chunk, line);
    return LineResult::kWritten;
  }
  line_.assign(line);
  fieldCount_ = SplitFieldViews(line_, fields_, 3);
  const bool read = startProjected_ ? ReadGridLine() : ReadGeographicLine();
  if (chunk.firstCoordinateLine < 0) {
    chunk.firstCoordinateLine = chunk.lines;
    chunk.firstUnreadable = unreadable_;
  }
  if (!read) return LineResult::kEndRun;
  return TransformStartValues(chunk, 0);
}

// A row of a delimited file: its coordinate cells read as a list line's
// fields would be (a geographic start's latitude first), the rest kept.
LineTransformer::LineResult LineTransformer::TransformRow(std::string_view row, Chunk& chunk) {
  rowSplit_ = false;
  if (IsBlankLine(row)) {
    AppendToBoth(chunk, {});
    return LineResult::kWritten;
  }
  const CsvColumns& columns = *csv_;
  if (const CsvRowError error = SplitCsvRow(row, columns.delimiter, cells_);
      error != CsvRowError::kNone) {
    Warn(CsvRowErrorMessage(error));
    return LineResult::kEndRun;
  }
  rowSplit_ = true;
  const int32_t needed = std::max({columns.x, columns.y, columns.z}) + 1;
  if (static_cast<int32_t>(cells_.size()) < needed) {
    Warn("The row has " + std::to_string(cells_.size()) + " cells; its coordinates are in cells " +
         std::to_string(columns.x + 1) + ", " + std::to_string(columns.y + 1) +
         (columns.z >= 0 ? " and " + std::to_string(columns.z + 1) : std::string()) + ".");
    return LineResult::kEndRun;
  }
  std::string& x = cellTexts_[0];
  std::string& y = cellTexts_[1];
  std::string& z = cellTexts_[2];
  x = CsvCellText(cells_[columns.x]);
  y = CsvCellText(cells_[columns.y]);
  z = columns.z >= 0 ? CsvCellText(cells_[columns.z]) : "0";
  double gridHeight = 0;
  if (startProjected_) {
    fields_[0] = x;
    fields_[1] = y;
    fieldCount_ = 2;
    double height = 0;
    if (!ReadGridLine() || !ReadNumberField(z, height)) return LineResult::kEndRun;
    gridHeight =
        static_cast<double>(height * static_cast<long double>(start_.unitsAndFormats.lengthFactor));
  } else {
    fields_[0] = y;
    fields_[1] = x;
    fields_[2] = z;
    fieldCount_ = 3;
    if (!ReadGeographicLine()) return LineResult::kEndRun;
  }
  return TransformStartValues(chunk, gridHeight);
}

// The chain from the start values read into the results written. A grid
// point stands at gridHeight on its ellipsoid.
LineTransformer::LineResult LineTransformer::TransformStartValues(Chunk& chunk, double gridHeight) {
  if (startProjected_) {
    if (start_.projection.methodCode == kLambertConic2SP &&
        LambertParallelProblem(start_.projection) != nullptr) {
      return LineResult::kSkipped;
    }
    InverseProjection(start_, v_);
    if (!CheckInverseComesBack(start_, v_)) return LineResult::kEndRun;
    v_.height = gridHeight;
  }

  RunGeodeticChain(start_, target_, catalogues_, v_);
  // A grid fault may come of the carried mark itself: the line is done again
  // after the lines before it.
  if (HoldsCarriedMark(v_.lambdaTarget)) return LineResult::kNeedsCarry;
  if (!CheckGridFault(v_)) return LineResult::kEndRun;
  if (targetProjected_) ForwardProjection(target_, v_);
  if (!ResultsAreFinite()) {
    Warn(kNoFiniteResultMessage);
    return LineResult::kEndRun;
  }
  if (csv_) {
    AppendRowResults(chunk);
  } else {
    AppendResults(chunk);
  }
  return LineResult::kWritten;
}

// Every value that the line's outputs would show is a number.
bool LineTransformer::ResultsAreFinite() const {
  const bool grid =
      !gridOutput_ || (std::isfinite(v_.eastingTarget) && std::isfinite(v_.northingTarget));
  const bool geographic =
      !geographicOutput_ || (std::isfinite(v_.latitudeTarget) &&
                             std::isfinite(v_.longitudeTarget) && std::isfinite(v_.heightTarget));
  const bool height = !csv_ || csv_->z < 0 || std::isfinite(v_.heightTarget);
  return grid && geographic && height;
}

void LineTransformer::AppendResults(Chunk& chunk) {
  if (gridOutput_) {
    const long double factor = target_.unitsAndFormats.lengthFactor;
    AppendRounded(chunk.grid, static_cast<double>(v_.eastingTarget / factor));
    chunk.grid += '\t';
    AppendRounded(chunk.grid, static_cast<double>(v_.northingTarget / factor));
    chunk.grid.append(lineEnd_);
  }
  if (geographicOutput_) {
    AppendAngle(chunk.geographic, v_.latitudeTarget, target_.unitsAndFormats);
    chunk.geographic += '\t';
    AppendAngle(chunk.geographic, v_.longitudeTarget, target_.unitsAndFormats);
    chunk.geographic += '\t';
    AppendRounded(chunk.geographic, v_.heightTarget);
    chunk.geographic.append(lineEnd_);
  }
}

// The row's cells with the coordinate cells' texts in their places.
void LineTransformer::AppendRow(std::string& out, std::string_view x, std::string_view y,
                                std::string_view z) const {
  const CsvColumns& columns = *csv_;
  for (size_t i = 0; i < cells_.size(); ++i) {
    if (i > 0) out += columns.delimiter;
    const auto column = static_cast<int32_t>(i);
    out += column == columns.x ? x : column == columns.y ? y : column == columns.z ? z : cells_[i];
  }
  out.append(lineEnd_);
}

// The results as a list line would write them: grid values and the height of
// a projected side in its length unit, angles in the side's format.
void LineTransformer::AppendRowResults(Chunk& chunk) {
  char x[kValueTextCapacity];
  char y[kValueTextCapacity];
  char z[kValueTextCapacity];
  const UnitsAndFormats& formats = target_.unitsAndFormats;
  if (gridOutput_) {
    const long double factor = formats.lengthFactor;
    const size_t xSize = FormatRoundedTo(x, static_cast<double>(v_.eastingTarget / factor));
    const size_t ySize = FormatRoundedTo(y, static_cast<double>(v_.northingTarget / factor));
    const size_t zSize = FormatRoundedTo(z, static_cast<double>(v_.heightTarget / factor));
    AppendRow(chunk.grid, {x, xSize}, {y, ySize}, {z, zSize});
  }
  if (geographicOutput_) {
    const size_t xSize = FormatAngleTo(x, v_.longitudeTarget, formats);
    const size_t ySize = FormatAngleTo(y, v_.latitudeTarget, formats);
    const size_t zSize = FormatRoundedTo(z, v_.heightTarget);
    AppendRow(chunk.geographic, {x, xSize}, {y, ySize}, {z, zSize});
  }
}

// Transforms chunks on worker threads. Each worker has its own transformer
// and its own floating-point mode; chunks are handed out in order and each
// starts detached from the lines before it.
class WorkerPool {
 public:
  // Starts up to count workers: a thread the system will not start is not an
  // error, the run goes on with those that started (none: on the calling
  // thread alone).
  WorkerPool(int count, const std::function<std::unique_ptr<LineTransformer>()>& make) {
    for (int i = 0; i < std::min(count, threadStartLimit); ++i) {
      try {
        workers_.emplace_back([this, transformer = make()] { Work(*transformer); });
      } catch (const std::system_error&) {
        break;
      }
    }
  }
  // Chunks not yet taken are dropped; the workers finish the ones they hold.
  ~WorkerPool() {
    {
      std::lock_guard lock(mutex_);
      closing_ = true;
      queue_.clear();
    }
    wake_.notify_all();
    for (std::thread& worker : workers_) worker.join();
  }

  void Add(Chunk* chunk) {
    {
      std::lock_guard lock(mutex_);
      queue_.push_back(chunk);
    }
    wake_.notify_one();
  }

  int size() const { return static_cast<int>(workers_.size()); }

  void WaitUntilDone(const Chunk& chunk) {
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [&] { return chunk.done; });
  }

 private:
  void Work(LineTransformer& transformer) {
    SetComputingFloatingPointMode();
    for (;;) {
      Chunk* chunk;
      {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [&] { return closing_ || !queue_.empty(); });
        if (queue_.empty()) return;
        chunk = queue_.front();
        queue_.pop_front();
      }
      // A thread's edge: nothing may leave it, a failed allocation least of all.
      try {
        transformer.StartDetached();
        transformer.Transform(*chunk);
      } catch (const std::bad_alloc&) {
        chunk->errorNumber = kErrOutOfMemory;
      } catch (...) {
        chunk->errorNumber = kErrInternal;
      }
      {
        std::lock_guard lock(mutex_);
        chunk->done = true;
      }
      finished_.notify_all();
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable finished_;
  std::deque<Chunk*> queue_;
  bool closing_ = false;
  std::vector<std::thread> workers_;
};

// More workers than this would only hold chunks in memory.
constexpr int kMaxThreads = 256;

int ThreadCount(int wanted) {
  if (wanted > 0) return std::min(wanted, kMaxThreads);
  return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMaxThreads);
}

// Writes the chunks in order, keeps the count and the value carried between
// chunks, and decides when the run ends.
class ChunkWriter {
 public:
  ChunkWriter(LineWriter* grid, LineWriter* geographic, const BadLineFunction& badLine,
              const std::string& firstLineHint, ListResult& result)
      : grid_(grid),
        geographic_(geographic),
        badLine_(badLine),
        firstLineHint_(firstLineHint),
        result_(result) {}

  // False when the run ends with this chunk.
  bool Write(Chunk& chunk) {
    if (chunk.errorNumber != 0) {
      result_.end = ListEnd::kFailed;
      result_.errorNumber = chunk.errorNumber;
      return false;
    }
    if (grid_ != nullptr) grid_->Write(chunk.grid);
    if (geographic_ != nullptr) geographic_->Write(chunk.geographic);
    if (!HoldsCarriedMark(chunk.lambdaTarget)) carried_ = chunk.lambdaTarget;
    AddFirstLineHint(chunk);
    for (const auto& [line, messages] : chunk.badLines) {
      badLine_(result_.linesWritten + line + 1, messages);
    }
    result_.badLines += static_cast<int64_t>(chunk.badLines.size());
    if (chunk.stopped) {
      result_.end = ListEnd::kStoppedAtLine;
      result_.stopLine = result_.linesWritten + chunk.lines;
      result_.linesWritten += chunk.lines - 1;
      result_.messages = std::move(chunk.messages);
      return false;
    }
    result_.linesWritten += chunk.lines;
    const int32_t error = grid_ != nullptr && grid_->Error() != 0 ? grid_->Error()
                          : geographic_ != nullptr                ? geographic_->Error()
                                                                  : 0;
    if (error != 0) {
      result_.end = ListEnd::kFailed;
      result_.errorNumber = error;
      return false;
    }
    return true;
  }

  double carried() const { return carried_; }

 private:
  // The hint goes with the message of the file's first coordinate line when
  // the line holds no coordinates: the file's first chunk that has one says.
  void AddFirstLineHint(Chunk& chunk) {
    if (coordinateLineSeen_ || chunk.firstCoordinateLine < 0) return;
    coordinateLineSeen_ = true;
    if (!chunk.firstUnreadable || firstLineHint_.empty()) return;
    std::vector<CapturedMessage>* messages = nullptr;
    if (chunk.stopped && chunk.lines - 1 == chunk.firstCoordinateLine) messages = &chunk.messages;
    for (auto& [line, lineMessages] : chunk.badLines) {
      if (line == chunk.firstCoordinateLine) messages = &lineMessages;
    }
    if (messages != nullptr && !messages->empty()) messages->back().text += firstLineHint_;
  }

  LineWriter* grid_;
  LineWriter* geographic_;
  const BadLineFunction& badLine_;
  const std::string& firstLineHint_;
  ListResult& result_;
  double carried_ = 0;  // the chain's target longitude before the next chunk
  bool coordinateLineSeen_ = false;
};

}  // namespace

ListResult RunListEngine(const CrsSide& start, const CrsSide& target, const Catalogues& catalogues,
                         ChunkReader& reader, LineWriter* grid, LineWriter* geographic,
                         const ListEngineOptions& options) {
  ListResult result;
  const bool gridOutput = grid != nullptr && grid->IsOpen();
  const bool geographicOutput = geographic != nullptr && geographic->IsOpen();
  auto makeTransformer = [&] {
    return std::make_unique<LineTransformer>(start, target, catalogues, gridOutput,
                                             geographicOutput, options.lineEnd,
                                             static_cast<bool>(options.badLine), options.csv);
  };
  ChunkWriter writer(gridOutput ? grid : nullptr, geographicOutput ? geographic : nullptr,
                     options.badLine, options.firstLineHint, result);
  ListProgress progress;
  progress.bytesTotal = reader.Size();
  auto reportProgress = [&] {
    progress.lines = result.linesWritten;
    progress.bytesRead = reader.BytesRead();
    if (options.progress && !options.progress(progress)) {
      result.end = ListEnd::kCancelled;
      return false;
    }
    return true;
  };

  // On one thread the lines simply follow each other through one transformer.
  const std::unique_ptr<LineTransformer> inOrder = makeTransformer();
  // Chunks in flight, oldest first, and written chunks kept for use again.
  // Declared before the pool, whose end waits for its workers, so that they
  // outlive it however the run ends.
  std::deque<std::unique_ptr<Chunk>> inFlight;
  std::vector<std::unique_ptr<Chunk>> spare;
  const int threads = ThreadCount(options.threads);
  std::optional<WorkerPool> pool;
  if (threads > 1) pool.emplace(threads, makeTransformer);
  bool more = true;
  if (!pool || pool->size() == 0) {
    Chunk chunk;
    while (more && (more = reader.Next(chunk.input))) {
      chunk.Reset();
      inOrder->Transform(chunk);
      if (!writer.Write(chunk) || !reportProgress()) return result;
    }
  } else {
    // A few chunks per worker keep every core busy. Written chunks are used
    // again: their texts keep their room, so a long run neither reallocates
    // nor touches fresh pages after its first chunks.
    const size_t inFlightLimit = static_cast<size_t>(pool->size()) * 3;
    for (;;) {
      while (more && inFlight.size() < inFlightLimit) {
        std::unique_ptr<Chunk> chunk;
        if (spare.empty()) {
          chunk = std::make_unique<Chunk>();
        } else {
          chunk = std::move(spare.back());
          spare.pop_back();
          chunk->Reset();
        }
        if (!(more = reader.Next(chunk->input))) break;
        pool->Add(chunk.get());
        inFlight.push_back(std::move(chunk));
      }
      if (inFlight.empty()) break;
      Chunk& oldest = *inFlight.front();
      pool->WaitUntilDone(oldest);
      if (oldest.needsCarry) {
        // Done again in order, from the value the chunks before it left.
        Chunk again(std::move(oldest.input));
        inOrder->StartAfter(writer.carried());
        inOrder->Transform(again);
        oldest = std::move(again);
      }
      if (!writer.Write(oldest) || !reportProgress()) return result;
      spare.push_back(std::move(inFlight.front()));
      inFlight.pop_front();
    }
  }
  if (reader.Error() != 0) {
    result.end = ListEnd::kFailed;
    result.errorNumber = reader.Error();
  } else if (reader.LineTooLong()) {
    // Every line before it is written: the run stops at it as at a bad line.
    result.end = ListEnd::kStoppedAtLine;
    result.stopLine = result.linesWritten + 1;
    MessageCapture capture;
    Warn(kLineTooLongMessage);
    result.messages = std::move(capture.messages());
  }
  return result;
}

int32_t FinishOutputs(const ListResult& result, LineWriter& first, LineWriter& second,
                      const LineWriter** failed) {
  LineWriter* const outputs[] = {&first, &second};
  const bool publish =
      result.errorNumber == 0 && (result.end == ListEnd::kCompleted ||
                                  (result.end != ListEnd::kFailed && result.linesWritten > 0));
  int32_t error = result.errorNumber;
  if (publish) {
    for (LineWriter* output : outputs) {
      if (error == 0 && (error = output->Flush()) != 0 && failed) *failed = output;
    }
    for (LineWriter* output : outputs) {
      if (error == 0 && (error = output->Close()) != 0 && failed) *failed = output;
    }
  }
  for (LineWriter* output : outputs) output->Discard();
  return error;
}

void SetThreadStartLimitForTesting(int limit) {
  threadStartLimit = limit < 0 ? std::numeric_limits<int>::max() : limit;
}
