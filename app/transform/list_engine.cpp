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

// Appends an angle in the side's format: DMS text, or the plain unrounded decimal degrees.
void AppendAngle(std::string& out, double degrees, const UnitsAndFormats& formats) {
  char text[kDmsTextCapacity];
  const size_t size = formats.angleFormat == kAngleFormatDms ? FormatDmsTo(text, degrees)
                                                             : FormatPlainTo(text, degrees);
  out.append(text, size);
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
  }
};

// Transforms lines one after the other, as one run on one thread would: the
// chain's working values carry over from line to line. Holds its own copies of
// the sides, since the chain writes the ellipsoid axes into their projections.
class LineTransformer {
 public:
  LineTransformer(const CrsSide& start, const CrsSide& target, const Catalogues& catalogues,
                  bool gridOutput, bool geographicOutput, const char* lineEnd, bool goPastBadLines)
      : start_(start),
        target_(target),
        catalogues_(catalogues),
        startProjected_(!IsGeographic(start.projection)),
        targetProjected_(!IsGeographic(target.projection)),
        gridOutput_(gridOutput),
        geographicOutput_(geographicOutput),
        lineEnd_(lineEnd),
        goPastBadLines_(goPastBadLines) {}

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
      const LineResult result = TransformLine(text.substr(position, end - position), chunk);
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
      AppendToBoth(chunk, {});
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
  bool ReadGridLine();
  bool ReadGeographicLine();
  bool ResultsAreFinite() const;
  void AppendResults(Chunk& chunk);
  void AppendToBoth(Chunk& chunk, std::string_view text);

  CrsSide start_;
  CrsSide target_;
  const Catalogues& catalogues_;
  const bool startProjected_;
  const bool targetProjected_;
  const bool gridOutput_;
  const bool geographicOutput_;
  const std::string_view lineEnd_;
  const bool goPastBadLines_;
  ChainValues v_;
  std::string line_;
  std::string_view fields_[3];
  int32_t fieldCount_ = 0;
};

void LineTransformer::AppendToBoth(Chunk& chunk, std::string_view text) {
  if (geographicOutput_) chunk.geographic.append(text).append(lineEnd_);
  if (gridOutput_) chunk.grid.append(text).append(lineEnd_);
}

bool LineTransformer::ReadGridLine() {
  if (fieldCount_ != 2) {
    Warn("Illegal format! Format should be 'Easting' 'Northing'.");
    return false;
  }
  double easting = 0;
  double northing = 0;
  if (!ReadNumberField(fields_[0], easting) || !ReadNumberField(fields_[1], northing)) {
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
  if (fieldCount_ != 3) {
    Warn("Illegal format! Format should be 'Latitude' 'Longitude' 'Height'.");
    return false;
  }
  const int32_t format = start_.unitsAndFormats.angleFormat;
  return ReadAngleField(fields_[0], format, kDmsOther, v_.latitude) && CheckLatitude(v_.latitude) &&
         ReadAngleField(fields_[1], format, kDmsOther, v_.longitude) &&
         CheckLongitude(v_.longitude) && ReadNumberField(fields_[2], v_.height);
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

  if (startProjected_) {
    if (!ReadGridLine()) return LineResult::kEndRun;
    if (start_.projection.methodCode == kLambertConic2SP &&
        LambertParallelProblem(start_.projection) != nullptr) {
      return LineResult::kSkipped;
    }
    InverseProjection(start_, v_);
    if (!CheckInverseComesBack(start_, v_)) return LineResult::kEndRun;
    v_.height = 0;
  } else if (!ReadGeographicLine()) {
    return LineResult::kEndRun;
  }

  RunGeodeticChain(start_, target_, catalogues_, v_);
  if (HoldsCarriedMark(v_.lambdaTarget)) return LineResult::kNeedsCarry;
  if (targetProjected_) ForwardProjection(target_, v_);
  if (!ResultsAreFinite()) {
    Warn(kNoFiniteResultMessage);
    return LineResult::kEndRun;
  }
  AppendResults(chunk);
  return LineResult::kWritten;
}

// Every value that the line's outputs would show is a number.
bool LineTransformer::ResultsAreFinite() const {
  const bool grid =
      !gridOutput_ || (std::isfinite(v_.eastingTarget) && std::isfinite(v_.northingTarget));
  const bool geographic =
      !geographicOutput_ || (std::isfinite(v_.latitudeTarget) &&
                             std::isfinite(v_.longitudeTarget) && std::isfinite(v_.heightTarget));
  return grid && geographic;
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
              ListResult& result)
      : grid_(grid), geographic_(geographic), badLine_(badLine), result_(result) {}

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
  LineWriter* grid_;
  LineWriter* geographic_;
  const BadLineFunction& badLine_;
  ListResult& result_;
  double carried_ = 0;  // the chain's target longitude before the next chunk
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
                                             static_cast<bool>(options.badLine));
  };
  ChunkWriter writer(gridOutput ? grid : nullptr, geographicOutput ? geographic : nullptr,
                     options.badLine, result);
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
