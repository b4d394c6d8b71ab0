#include "list_transform.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "dms_text.h"
#include "errormessage.h"
#include "fixed_text.h"
#include "geodetic_chain.h"
#include "list_files.h"
#include "message.h"
#include "number_text.h"
#include "point_transform.h"
#include "split_fields.h"

namespace {

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

// Opens an output list file, asking before replacing a file that this program
// did not write last under that name. False when the run is to end.
bool OpenOutput(const std::string& name, std::string& storedName, LineWriter& writer,
                ErrorTrap& trap) {
  if (ListFileExists(name) && name != TrimBlanks(storedName)) {
    const int32_t answer = ShowMessage("File " + name + " exists." + " Do you want to overwrite ?",
                                       kCaptionQuestion, MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL);
    if (answer != IDYES) return false;
  }
  storedName = name;
  if (const int32_t error = writer.Open(name); error != 0) {
    trap.Raise(error);
    return false;
  }
  return true;
}

// An output that is the input, or both outputs naming one file, would
// destroy data: refused before anything is opened.
bool OutputsAreDistinct(const std::string& input, const std::string& gridOutput,
                        const std::string& geographicOutput) {
  for (const std::string* output : {&gridOutput, &geographicOutput}) {
    if (!output->empty() && SameFile(input, *output)) {
      Warn("File " + *output + " is the input file.");
      return false;
    }
  }
  if (!gridOutput.empty() && !geographicOutput.empty() && SameFile(gridOutput, geographicOutput)) {
    Warn("File " + geographicOutput + " is named for both output lists.");
    return false;
  }
  return true;
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

// One list run. Every file it opens is closed when it ends, however it ends.
class ListRun {
 public:
  ListRun(CrsSide& start, CrsSide& target, const Catalogues& catalogues, ErrorTrap& trap)
      : start_(start),
        target_(target),
        catalogues_(catalogues),
        trap_(trap),
        startProjected_(!IsGeographic(start.projection)),
        targetProjected_(!IsGeographic(target.projection)) {}

  void Run(const ListBoxes& boxes);

 private:
  enum class LineResult { kWritten, kSkipped, kEndRun };
  bool OpenInput(const ListBoxes& boxes);
  bool OpenOutputs();
  bool TransformLines();
  void Finish();
  LineResult TransformLine(std::string_view line);
  bool ReadGridLine();
  bool ReadGeographicLine();
  bool ReadAngleField(std::string_view field, double& degrees);
  bool ResultsAreFinite() const;
  void WriteResults();
  void WriteBoth(std::string_view text);

  CrsSide& start_;
  CrsSide& target_;
  const Catalogues& catalogues_;
  ErrorTrap& trap_;
  const bool startProjected_;
  const bool targetProjected_;
  std::string gridName_;
  std::string geographicName_;
  LineReader input_;
  LineWriter gridOutput_;
  LineWriter geographicOutput_;
  ChainValues v_;
  std::string line_;
  std::string_view fields_[3];
  int32_t fieldCount_ = 0;
  std::string text_;
};

void ListRun::Run(const ListBoxes& boxes) {
  if (OpenInput(boxes) && OpenOutputs() && TransformLines()) Finish();
}

// Checks the input file and the systems, converts Unix text and opens the input.
bool ListRun::OpenInput(const ListBoxes& boxes) {
  std::string& storedInput = startProjected_ ? startProjListFile : startSysListFile;
  storedInput = startProjected_ ? boxes.startProjList : boxes.startSysList;
  const std::string input(TrimBlanks(storedInput));
  if (input.empty()) {
    ShowSelectFirst(true, startProjected_ ? "XY file list" : "lat/lon file list");
    return false;
  }
  if (!ListFileExists(input)) {
    Warn("File " + input + " not found.");
    return false;
  }
  if (!CheckSidesAreUsable(start_, target_, catalogues_)) return false;
  gridName_ = targetProjected_ ? TrimBlanks(boxes.targetProjList) : "";
  geographicName_ = TrimBlanks(boxes.targetSysList);
  if (!OutputsAreDistinct(input, gridName_, geographicName_)) return false;
  int32_t conversionError = 0;
  ConvertListFile(input, conversionError);
  if (conversionError != 0) return false;
  if (const int32_t error = input_.Open(input); error != 0) {
    trap_.Raise(error);
    return false;
  }
  return true;
}

// The grid output for a projected target, and the geographic output when named.
bool ListRun::OpenOutputs() {
  if (targetProjected_) {
    if (gridName_.empty()) {
      ShowSelectFirst(false, "XY file");
      return false;
    }
    if (!OpenOutput(gridName_, targetProjListFile, gridOutput_, trap_)) return false;
  }
  return geographicName_.empty() ||
         OpenOutput(geographicName_, targetSysListFile, geographicOutput_, trap_);
}

// Every line in order; false when a line ended the run.
bool ListRun::TransformLines() {
  std::string_view line;
  while (input_.Next(line)) {
    if (TransformLine(line) == LineResult::kEndRun) return false;
    if (gridOutput_.Error() != 0 || geographicOutput_.Error() != 0) break;
  }
  return true;
}

// A failed read or write ends the run as a fault, never as a completion.
void ListRun::Finish() {
  const int32_t readError = input_.Error();
  const int32_t gridError = gridOutput_.Close();
  const int32_t geographicError = geographicOutput_.Close();
  input_.Close();
  if (const int32_t error = readError ? readError : (gridError ? gridError : geographicError)) {
    trap_.Raise(error);
    return;
  }
  targetProjListFile.clear();
  targetSysListFile.clear();
  ShowMessage("Transformation completed.", "Information.", MB_ICONASTERISK | MB_TASKMODAL);
}

void ListRun::WriteBoth(std::string_view text) {
  for (LineWriter* output : {&geographicOutput_, &gridOutput_}) {
    if (output->IsOpen()) {
      output->Write(text);
      output->EndLine();
    }
  }
}

bool ListRun::ReadGridLine() {
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

// An angle in the start side's format: decimal degrees or DMS text.
bool ListRun::ReadAngleField(std::string_view field, double& degrees) {
  if (start_.unitsAndFormats.angleFormat != kAngleFormatDms) {
    return ReadNumberField(field, degrees);
  }
  if (!HasOnlyNumberCharacters(field)) {
    Warn(kBadCharacterMessage);
    return false;
  }
  text_.assign(field);
  return ParseDms(text_, kDmsOther, degrees) == 0 && CheckFinite(degrees);
}

// A geographic line gets the checks of a typed point: only number characters,
// a DMS text in range, and a latitude short of the poles.
bool ListRun::ReadGeographicLine() {
  if (fieldCount_ != 3) {
    Warn("Illegal format! Format should be 'Latitude' 'Longitude' 'Height'.");
    return false;
  }
  return ReadAngleField(fields_[0], v_.latitude) && CheckLatitude(v_.latitude) &&
         ReadAngleField(fields_[1], v_.longitude) && ReadNumberField(fields_[2], v_.height);
}

ListRun::LineResult ListRun::TransformLine(std::string_view line) {
  if (IsBlankLine(line)) {
    WriteBoth({});
    return LineResult::kWritten;
  }
  if (IsCommentLine(line)) {
    WriteBoth(line);
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
    v_.height = 0;
  } else if (!ReadGeographicLine()) {
    return LineResult::kEndRun;
  }

  RunGeodeticChain(start_, target_, catalogues_, v_);
  if (targetProjected_) ForwardProjection(target_, v_);
  if (!ResultsAreFinite()) {
    Warn(kNoFiniteResultMessage);
    return LineResult::kEndRun;
  }
  WriteResults();
  return LineResult::kWritten;
}

// Every value that the line's outputs would show is a number.
bool ListRun::ResultsAreFinite() const {
  const bool grid =
      !targetProjected_ || (std::isfinite(v_.eastingTarget) && std::isfinite(v_.northingTarget));
  const bool geographic = !geographicOutput_.IsOpen() ||
                          (std::isfinite(v_.latitudeTarget) && std::isfinite(v_.longitudeTarget) &&
                           std::isfinite(v_.heightTarget));
  return grid && geographic;
}

void ListRun::WriteResults() {
  if (targetProjected_) {
    const long double factor = target_.unitsAndFormats.lengthFactor;
    text_.clear();
    AppendRounded(text_, static_cast<double>(v_.eastingTarget / factor));
    text_ += '\t';
    AppendRounded(text_, static_cast<double>(v_.northingTarget / factor));
    gridOutput_.Write(text_);
    gridOutput_.EndLine();
  }
  if (geographicOutput_.IsOpen()) {
    text_.clear();
    AppendAngle(text_, v_.latitudeTarget, target_.unitsAndFormats);
    text_ += '\t';
    AppendAngle(text_, v_.longitudeTarget, target_.unitsAndFormats);
    text_ += '\t';
    AppendRounded(text_, v_.heightTarget);
    geographicOutput_.Write(text_);
    geographicOutput_.EndLine();
  }
}

}  // namespace

void TransformList(CrsSide& start, CrsSide& target, const Catalogues& catalogues,
                   const ListBoxes& boxes) {
  ProgramErrorTrap trap("TransformCommand");
  trap.Guard([&] {
    ListRun run(start, target, catalogues, trap);
    run.Run(boxes);
  });
}
