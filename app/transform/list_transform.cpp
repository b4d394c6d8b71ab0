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

// One list run. Every file it opens is closed when it returns.
class ListRun {
 public:
  ListRun(CrsSide& start, CrsSide& target, const Catalogues& catalogues, ErrorTrap& trap)
      : start_(start), target_(target), catalogues_(catalogues), trap_(trap) {}

  void Run(const ListBoxes& boxes);

 private:
  enum class LineResult { kWritten, kSkipped, kEndRun };
  LineResult TransformLine(std::string_view line);
  bool ReadGridLine();
  bool ReadGeographicLine();
  void WriteBoth(std::string_view text);

  CrsSide& start_;
  CrsSide& target_;
  bool startProjected_ = false;
  bool targetProjected_ = false;
  const Catalogues& catalogues_;
  ErrorTrap& trap_;
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
  const bool startProjected = startProjected_ = !IsGeographic(start_.projection);
  const bool targetProjected = targetProjected_ = !IsGeographic(target_.projection);

  // The input file.
  std::string& storedInput = startProjected ? startProjListFile : startSysListFile;
  storedInput = startProjected ? boxes.startProjList : boxes.startSysList;
  const std::string input(TrimBlanks(storedInput));
  if (input.empty()) {
    ShowSelectFirst(true, startProjected ? "XY file list" : "lat/lon file list");
    return;
  }
  if (!ListFileExists(input)) {
    Warn("File " + input + " not found.");
    return;
  }
  if (startProjected && !IsSupportedProjectionMethod(start_.projection.methodCode)) {
    Warn("The start projection has method code " + std::to_string(start_.projection.methodCode) +
         ", which this program cannot compute. Choose a Transverse Mercator (9807), Lambert "
         "Conformal Conic (9802) or Oblique Stereographic (9809) projection.");
    return;
  }
  const std::string gridName(targetProjected ? TrimBlanks(boxes.targetProjList) : "");
  const std::string geographicName(TrimBlanks(boxes.targetSysList));
  if (!OutputsAreDistinct(input, gridName, geographicName)) return;
  int32_t conversionError = 0;
  ConvertListFile(input, conversionError);
  if (conversionError != 0) return;
  if (const int32_t error = input_.Open(input); error != 0) {
    trap_.Raise(error);
    return;
  }

  // The outputs.
  if (targetProjected) {
    if (gridName.empty()) {
      ShowSelectFirst(false, "XY file");
      return;
    }
    if (!OpenOutput(gridName, targetProjListFile, gridOutput_, trap_)) return;
  }
  if (!geographicName.empty() &&
      !OpenOutput(geographicName, targetSysListFile, geographicOutput_, trap_)) {
    return;
  }

  // The lines.
  std::string_view line;
  while (input_.Next(line)) {
    if (TransformLine(line) == LineResult::kEndRun) return;
    if (gridOutput_.Error() != 0 || geographicOutput_.Error() != 0) break;
  }
  // A failed read or write ends the run as a fault, never as a completion.
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
  if (!HasOnlyNumberCharacters(fields_[0]) || !HasOnlyNumberCharacters(fields_[1])) {
    Warn(kBadCharacterMessage);
    return false;
  }
  const long double factor = start_.unitsAndFormats.lengthFactor;
  v_.easting = static_cast<double>(ReadNumber(fields_[0]) * factor);
  v_.northing = static_cast<double>(ReadNumber(fields_[1]) * factor);
  return true;
}

// A geographic line gets the checks of a typed point: only number characters,
// a DMS text in range, and a latitude short of the poles.
bool ListRun::ReadGeographicLine() {
  if (fieldCount_ != 3) {
    Warn("Illegal format! Format should be 'Latitude' 'Longitude' 'Height'.");
    return false;
  }
  const bool dms = start_.unitsAndFormats.angleFormat == kAngleFormatDms;
  auto readAngle = [&](std::string_view field, double& degrees) {
    if (!HasOnlyNumberCharacters(field)) {
      Warn(kBadCharacterMessage);
      return false;
    }
    if (!dms) {
      degrees = ReadNumber(field);
      return true;
    }
    text_.assign(field);
    return ParseDms(text_, kDmsOther, degrees) == 0;
  };
  if (!readAngle(fields_[0], v_.latitude) || !CheckLatitude(v_.latitude) ||
      !readAngle(fields_[1], v_.longitude)) {
    return false;
  }
  if (!HasOnlyNumberCharacters(fields_[2])) {
    Warn(kBadCharacterMessage);
    return false;
  }
  v_.height = ReadNumber(fields_[2]);
  return true;
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

  if (targetProjected_) {
    ForwardProjection(target_, v_);
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
  return LineResult::kWritten;
}

}  // namespace

void TransformList(CrsSide& start, CrsSide& target, const Catalogues& catalogues,
                   const ListBoxes& boxes) {
  ProgramErrorTrap trap("TransformCommand");
  ListRun run(start, target, catalogues, trap);
  run.Run(boxes);
}
