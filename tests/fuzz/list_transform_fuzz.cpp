// TransformList on any input file. The first byte picks the sides: bit 0 a
// British National Grid start (else geographic OSGB 1936), bit 1 a UTM 31N
// target (else geographic WGS 84), bit 2 DMS angles (else decimal degrees),
// bit 3 four worker threads (else one).
// Afterwards: the input is unchanged, or exactly CR LF-converted when its
// first 256 bytes hold no CR; no temporary file is left; each output has one
// line per input line up to the line that stopped the run (all lines when it
// completed), blank lines blank, comments copied and coordinates in fields.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "list_transform.h"
#include "message_recorder.h"
#include "point_transform.h"
#include "transform_fixtures.h"

namespace {

TempFolder* folder = nullptr;
std::unique_ptr<Catalogues> catalogues;

// Unix text (no CR in the first 256 bytes) has every LF turned into CR LF.
std::string Converted(const std::string& text) {
  if (text.substr(0, 256).find('\r') != std::string::npos) return text;
  std::string converted;
  for (const char c : text) {
    if (c == '\n') converted += '\r';
    converted += c;
  }
  return converted;
}

// Lines end at CR LF, CR or LF; a last line without an end is a line.
std::vector<std::string> InputLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') {
      line += text[i];
      continue;
    }
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    lines.push_back(line);
    line.clear();
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

// Output lines all end in CR LF.
std::vector<std::string> OutputLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t from = 0;
  for (size_t end; (end = text.find("\r\n", from)) != std::string::npos; from = end + 2) {
    lines.push_back(text.substr(from, end - from));
  }
  FUZZ_CHECK(from == text.size(), "output ends without CR LF");
  return lines;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::string current;
  for (const char c : line + ' ') {
    if (c == ' ' || c == '\t' || c == ';' || c == ',') {
      if (!current.empty()) fields.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  return fields;
}

bool IsBlank(const std::string& line) {
  return line.find_first_not_of(' ') == std::string::npos;
}
bool IsComment(const std::string& line) {
  const size_t first = line.find_first_not_of(' ');
  return first != std::string::npos && line[first] == '#';
}

// The right number of fields, each of number characters only.
bool WellFormed(const std::string& line, size_t fieldCount) {
  const std::vector<std::string> fields = Fields(line);
  if (fields.size() != fieldCount) return false;
  for (const std::string& field : fields) {
    if (field.find_first_not_of(" +-.0123456789") != std::string::npos) return false;
  }
  return true;
}

// Every field is one number: a sign, digits with at most one point, at least one digit.
bool AllNumbers(const std::string& line) {
  static const std::regex number("[+-]?([0-9]+[.]?[0-9]*|[.][0-9]+)");
  for (const std::string& field : Fields(line)) {
    if (!std::regex_match(field, number)) return false;
  }
  return true;
}

bool HasInfiniteField(const std::string& line) {
  for (const std::string& field : Fields(line)) {
    if (std::isinf(std::strtod(field.c_str(), nullptr))) return true;
  }
  return false;
}

size_t Tabs(const std::string& line) {
  return static_cast<size_t>(std::count(line.begin(), line.end(), '\t'));
}

void CheckOutput(const std::string& name, const std::vector<std::string>& input, size_t done,
                 size_t tabs) {
  const std::vector<std::string> output = OutputLines(ReadFile(folder->File(name)));
  FUZZ_CHECK(output.size() == done, "%s has %zu lines for %zu", name.c_str(), output.size(), done);
  for (size_t i = 0; i < done; ++i) {
    if (IsBlank(input[i])) {
      FUZZ_CHECK(output[i].empty(), "%s line %zu: blank input", name.c_str(), i + 1);
    } else if (IsComment(input[i])) {
      FUZZ_CHECK(output[i] == input[i], "%s line %zu: comment", name.c_str(), i + 1);
    } else {
      FUZZ_CHECK(Tabs(output[i]) == tabs && output[i].find_first_of(" \r\n") == std::string::npos,
                 "%s line %zu: \"%s\"", name.c_str(), i + 1, output[i].c_str());
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static TempFolder temp;
  folder = &temp;
  catalogues = EmptyCatalogues();
  SetProgramConstants();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool startGrid = data[0] & 1;
  const bool targetGrid = data[0] & 2;
  const bool dms = data[0] & 4;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

  for (const auto& entry : std::filesystem::directory_iterator(folder->path())) {
    std::filesystem::remove(entry.path());
  }
  WriteFile(folder->File("in.txt"), text);

  const DatumRecord osgb = Datum("OSGB 1936", kGeocentricTranslations, 375, -111, 431);
  const DatumRecord wgs84 = Datum("WGS 84", kGeocentricTranslations, 0, 0, 0);
  CrsSide start = Side(startGrid ? BritishNationalGrid() : NoProjection(), osgb, Airy1830());
  CrsSide target = Side(targetGrid ? Utm31() : NoProjection(), wgs84, Wgs84Ellipsoid());
  if (!dms) {
    start.unitsAndFormats.angleFormat = kAngleFormatDecimal;
    target.unitsAndFormats.angleFormat = kAngleFormatDecimal;
  }
  startProjListFile.clear();
  startSysListFile.clear();
  targetProjListFile.clear();
  targetSysListFile.clear();
  ListBoxes boxes;
  (startGrid ? boxes.startProjList : boxes.startSysList) = folder->File("in.txt");
  boxes.targetProjList = folder->File("grid.txt");
  boxes.targetSysList = folder->File("geo.txt");

  MessageRecorder recorder;
  ListRunOptions options;
  options.threads = data[0] & 8 ? 4 : 1;
  TransformList(start, target, *catalogues, boxes, options);

  const std::string converted = Converted(text);
  FUZZ_CHECK(ReadFile(folder->File("in.txt")) == converted, "input file not as converted");
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder->path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());

  // One message: the completion, or the warning of the line that stopped the run.
  FUZZ_CHECK(recorder.messages().size() == 1, "%zu messages", recorder.messages().size());
  const RecordedMessage& message = recorder.messages()[0];
  const std::vector<std::string> input = InputLines(converted);
  const bool completed = message.text == "Transformation completed.";
  const size_t done = OutputLines(ReadFile(folder->File("geo.txt"))).size();
  // The outputs are there when the run wrote lines or completed; a run that
  // stopped at its first line leaves the folder as it was.
  const std::vector<std::string> expectedNames =
      !completed && done == 0 ? std::vector<std::string>{"in.txt"}
      : targetGrid            ? std::vector<std::string>{"geo.txt", "grid.txt", "in.txt"}
                              : std::vector<std::string>{"geo.txt", "in.txt"};
  FUZZ_CHECK(names == expectedNames, "%zu files in the folder", names.size());
  FUZZ_CHECK(completed ? done == input.size() : done < input.size(),
             "%zu of %zu lines written, \"%s\"", done, input.size(), message.text.c_str());
  // The lines before the stop were transformed; the stopping line is a
  // coordinate line that is malformed or, for a geographic start, out of range.
  const size_t fieldCount = startGrid ? 2 : 3;
  for (size_t i = 0; i < done; ++i) {
    FUZZ_CHECK(IsBlank(input[i]) || IsComment(input[i]) ||
                   (WellFormed(input[i], fieldCount) && AllNumbers(input[i])),
               "line %zu \"%s\" transformed", i + 1, input[i].c_str());
  }
  if (!completed) {
    const std::string& line = input[done];
    FUZZ_CHECK(message.caption == kCaptionWarning, "\"%s\"", message.text.c_str());
    FUZZ_CHECK(!IsBlank(line) && !IsComment(line), "stopped at line %zu", done + 1);
    // A well-formed line stops the run only when its numbers or results are
    // not finite or, for a geographic start, out of range.
    const std::string first = message.text.substr(0, message.text.find('\n'));
    const bool allowed =
        !WellFormed(line, fieldCount) || first == kNoFiniteResultMessage ||
        (first == kBadCharacterMessage && (HasInfiniteField(line) || !AllNumbers(line))) ||
        (startGrid && first == kOutsideProjectionMessage) ||
        (!startGrid && (first == kPoleMessage || first == kLatitudeRangeMessage ||
                        first == kLongitudeRangeMessage ||
                        first == "Input error! DMS selected - but minutes or seconds > 60!"));
    FUZZ_CHECK(allowed, "line %zu \"%s\" stopped with \"%s\"", done + 1, line.c_str(),
               message.text.c_str());
    // Where the message names the line, it is this one.
    const size_t named = message.text.find("\nLine ");
    if (named != std::string::npos) {
      const std::string expected = "\nLine " + std::to_string(done + 1) + " of ";
      FUZZ_CHECK(message.text.compare(named, expected.size(), expected) == 0, "\"%s\" at line %zu",
                 message.text.c_str(), done + 1);
    }
  }
  CheckOutput("geo.txt", input, done, 2);
  if (targetGrid) CheckOutput("grid.txt", input, done, 1);
  return 0;
}
