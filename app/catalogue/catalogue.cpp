#include "catalogue.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "errormessage.h"
#include "fixed_text.h"
#include "grid_files.h"
#include "line_breaks.h"
#include "message.h"
#include "method_table.h"
#include "number_text.h"

namespace {

BusyCursorHook busyCursorHook = nullptr;

void ShowBusy(bool busy) {
  if (busyCursorHook != nullptr) busyCursorHook(busy);
}

// Quotes are removed from text fields only: a quoted number is refused.
template <size_t N>
void ReadText(char (&field)[N], std::string_view text) {
  const size_t first = text.find_first_not_of('"');
  text = first == std::string_view::npos
             ? std::string_view()
             : text.substr(first, text.find_last_not_of('"') - first + 1);
  SetFixedField(field, text);
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsBlankLine(std::string_view line) {
  return TrimBlanks(line).empty();
}

// An optional sign and digits; the value is held at +-1e18, far beyond any
// count or code, so that a long run of digits still compares as too large.
std::optional<int64_t> ReadInteger(std::string_view text) {
  size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) ++i;
  if (i == text.size()) return std::nullopt;
  constexpr int64_t kHeld = 1000000000000000000;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (!IsDigit(text[i])) return std::nullopt;
    value = value >= kHeld / 10 ? kHeld : value * 10 + (text[i] - '0');
  }
  return negative ? -value : value;
}

// A field's text as a message shows it: long texts cut, control characters
// made visible.
std::string Quoted(std::string_view text) {
  constexpr size_t kLongest = 60;
  std::string shown(text.substr(0, kLongest));
  for (char& c : shown) {
    if (static_cast<unsigned char>(c) < ' ') c = '?';
  }
  if (text.size() > kLongest) shown += "...";
  return "\"" + shown + "\"";
}

// The values a numeric field may hold, and how a message says so.
struct Bounds {
  double low, high;
  bool lowIncluded, highIncluded;
  const char* allowed;

  bool Holds(double value) const {
    return (lowIncluded ? value >= low : value > low) &&
           (highIncluded ? value <= high : value < high);
  }
};

constexpr double kUnbounded = std::numeric_limits<double>::infinity();
constexpr Bounds kSemiMajorAxis{6.2e6, 6.5e6, false, false,
                                "above 6200000 and below 6500000 metres"};
constexpr Bounds kAnyNumber{-kUnbounded, kUnbounded, false, false,
                            "below 1e308 in size"};  // only infinity is out
constexpr double kLowestSemiMinorAxis = 6.2e6;
constexpr Bounds kTranslation{-1e4, 1e4, true, true, "from -10000 to 10000 metres"};
constexpr Bounds kRotation{-1e-3, 1e-3, true, true,
                           "from -0.001 to 0.001 radians (one second of arc is 4.8481e-6)"};
constexpr Bounds kScaleDifference{-1e-3, 1e-3, true, true,
                                  "from -0.001 to 0.001, a pure number (1 ppm is 1e-6)"};
constexpr Bounds kScaleFactor{0, 2, false, true, "above 0 and at most 2"};
constexpr Bounds kLatitude{-90, 90, true, true, "from -90 to 90 degrees"};
constexpr Bounds kLongitude{-180, 180, true, true, "from -180 to 180 degrees"};
constexpr Bounds kFalseOrigin{-kUnbounded, kUnbounded, false, false,
                              "a number of metres below 1e308 in size"};
constexpr Bounds kTurn{-360, 360, true, true, "from -360 to 360 degrees"};

constexpr int kMostFields = 12;

// The ";"-separated fields of one record line, each read by the rule of its
// kind. The first fault is kept in words for the message; the fields after
// it are not looked at and read as zero.
class RecordLine {
 public:
  RecordLine(std::string_view line, const char* fileName, int fieldCount) {
    size_t present = 1;
    for (size_t at = line.find(';'); at != std::string_view::npos; at = line.find(';', at + 1)) {
      ++present;
    }
    if (present != static_cast<size_t>(fieldCount)) {
      problem_ = "the line has " + std::to_string(present) + " fields; a line of " + fileName +
                 " has " + std::to_string(fieldCount) + ", separated by ';'";
      if (present > static_cast<size_t>(fieldCount))
        problem_ += " (a ';' inside a text starts a new field)";
      return;
    }
    for (int k = 0; k < fieldCount; ++k) {
      const size_t end = line.find(';');
      fields_[k] = line.substr(0, end);
      line.remove_prefix(end == std::string_view::npos ? line.size() : end + 1);
    }
  }

  bool ok() const { return problem_.empty(); }
  const std::string& problem() const { return problem_; }

  template <size_t N>
  void Text(char (&field)[N], int k) {
    if (ok()) ReadText(field, Field(k));
  }

  // A name that must find a record of another file: not empty.
  template <size_t N>
  void Reference(char (&field)[N], int k, const char* what, const char* requirement) {
    if (!ok()) return;
    ReadText(field, Field(k));
    if (TrimBlanks(FieldView(field, N)).empty()) Refuse(k, what, "empty", requirement);
  }

  int32_t Code(int k, const char* what) {
    if (!ok()) return 0;
    const std::string_view text = Trimmed(k);
    const std::optional<int64_t> value = ReadInteger(text);
    if (!value) {
      Refuse(k, what, Shown(text), "a whole number");
    } else if (*value < INT32_MIN || *value > INT32_MAX) {
      Refuse(k, what, text, "a whole number from -2147483648 to 2147483647");
    } else {
      return static_cast<int32_t>(*value);
    }
    return 0;
  }

  double Number(int k, const char* what, const Bounds& bounds) {
    if (!ok()) return 0;
    const std::string_view text = Trimmed(k);
    // A number as the files write it: "nan", "1,5" or "12m" are none.
    double value = 0;
    if (!ReadWholeNumber(text, value)) {
      std::string requirement = "a decimal number such as -87.5 or 6.7e-6";
      if (text.find(',') != std::string_view::npos) requirement += ", with a point, not a comma";
      Refuse(k, what, Shown(text), requirement);
      return 0;
    }
    if (!bounds.Holds(value)) Refuse(k, what, text, bounds.allowed);
    return value;
  }

  // "<what> (field k) is <shown>; it must be <requirement>".
  void Refuse(int k, const char* what, std::string_view shown, const std::string& requirement) {
    if (!ok()) return;
    problem_ = std::string(what) + " (field " + std::to_string(k) + ") is " + std::string(shown) +
               "; it must be " + requirement;
  }

  std::string_view Trimmed(int k) const { return TrimBlanks(Field(k)); }

 private:
  std::string_view Field(int k) const { return fields_[k - 1]; }
  static std::string Shown(std::string_view text) { return text.empty() ? "empty" : Quoted(text); }

  std::string_view fields_[kMostFields];
  std::string problem_;
};

template <typename Record>
constexpr int kFieldCount = 0;
template <>
constexpr int kFieldCount<EllipsoidRecord> = 4;
template <>
constexpr int kFieldCount<DatumRecord> = 12;
template <>
constexpr int kFieldCount<ProjectionRecord> = 10;

void ReadRecord(EllipsoidRecord& record, RecordLine& line) {
  record.code = line.Code(1, "the ellipsoid code");
  line.Text(record.name, 2);
  record.semiMajorAxis = line.Number(3, "the semi-major axis a", kSemiMajorAxis);
  record.semiMinorAxis = line.Number(4, "the semi-minor axis b", kAnyNumber);
  if (!line.ok()) return;
  const char* const what = "the semi-minor axis b";
  if (record.semiMinorAxis > record.semiMajorAxis) {
    line.Refuse(4, what, line.Trimmed(4),
                "at most the semi-major axis a, " + std::string(line.Trimmed(3)));
  } else if (!(record.semiMinorAxis > kLowestSemiMinorAxis)) {
    line.Refuse(4, what, line.Trimmed(4), "above 6200000 metres");
  }
}

void ReadRecord(DatumRecord& record, RecordLine& line) {
  line.Text(record.name, 1);
  line.Text(record.areaOfUse, 2);
  record.toCrsCode = line.Code(3, "the target CRS code");
  line.Reference(record.ellipsoidName, 4, "the ellipsoid name",
                 "the name of an ellipsoid of ellips.txt");
  record.methodCode = line.Code(5, "the method code");
  record.translationX = line.Number(6, "the X translation", kTranslation);
  record.translationY = line.Number(7, "the Y translation", kTranslation);
  record.translationZ = line.Number(8, "the Z translation", kTranslation);
  record.rotationX = line.Number(9, "the X rotation", kRotation);
  record.rotationY = line.Number(10, "the Y rotation", kRotation);
  record.rotationZ = line.Number(11, "the Z rotation", kRotation);
  record.scaleDifference = line.Number(12, "the scale difference", kScaleDifference);
  if (line.ok() && IsGridShiftMethod(record.methodCode) &&
      !ReadGridReference(FieldView(record.areaOfUse, kAreaOfUseWidth))) {
    line.Refuse(2, "the area of use", Quoted(line.Trimmed(2)),
                "for a grid shift the grid file, the ellipsoid of the grid's datum and the "
                "grid's publisher, each followed by \"|\", then the area of use");
  }
}

// The last two fields of a projection line: standard parallels for most
// methods, but an azimuth, a skew angle, a cone axis co-latitude or a zone
// width (any angle up to a turn) or a height in metres for others.
double ReadFurtherParameter(RecordLine& line, int k, int32_t method, RecordField field) {
  const char* parallel = k == 9 ? "the first standard parallel" : "the second standard parallel";
  const ProjectionMethodEntry* entry = FindProjectionMethodEntry(method);
  const MethodParameter* parameter = nullptr;
  if (entry != nullptr) {
    for (const MethodParameter& p : entry->Parameters()) {
      if (p.field == field) parameter = &p;
    }
  }
  if (parameter == nullptr || parameter->kind == ParameterKind::kLatitude) {
    return line.Number(k, parallel, kLatitude);
  }
  std::string what = std::string("the ") + parameter->name;
  what[4] = static_cast<char>(std::tolower(static_cast<unsigned char>(what[4])));
  return line.Number(k, what.c_str(),
                     parameter->kind == ParameterKind::kLength ? kFalseOrigin : kTurn);
}

void ReadRecord(ProjectionRecord& record, RecordLine& line) {
  line.Text(record.name, 1);
  line.Reference(record.datumName, 2, "the datum name",
                 "the name of a datum of datums.txt, or a part of it");
  record.methodCode = line.Code(3, "the method code");
  record.scaleFactor = line.Number(4, "the scale factor", kScaleFactor);
  record.latitudeOfOrigin = line.Number(5, "the latitude of origin", kLatitude);
  record.centralMeridian = line.Number(6, "the central meridian", kLongitude);
  record.falseEasting = line.Number(7, "the false easting", kFalseOrigin);
  record.falseNorthing = line.Number(8, "the false northing", kFalseOrigin);
  record.firstStandardParallel =
      ReadFurtherParameter(line, 9, record.methodCode, RecordField::kFirstStandardParallel);
  record.secondStandardParallel =
      ReadFurtherParameter(line, 10, record.methodCode, RecordField::kSecondStandardParallel);
}

// The first refused line of a file, 0 when there is none, and what is wrong
// with it. The count line is line 1, so position k is on line k + 1.
struct LineFault {
  int64_t line = 0;
  std::string problem;
};

enum class FileState { kRead, kMissing, kUnreadable };

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// The whole file in memory. A file that exists but cannot be opened or read
// gives its fault to the trap.
FileState ReadWholeFile(const char* name, std::string& text, ProgramErrorTrap& trap) {
  const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(name, "rb"));
  if (!file) {
    if (errno == ENOENT) return FileState::kMissing;
    trap.Raise(ErrorNumberFromErrno(errno));
    return FileState::kUnreadable;
  }
  if (std::fseek(file.get(), 0, SEEK_END) == 0) {
    // A folder by the file's name tells a size of 2^63 - 1: its read fails below.
    const long size = std::ftell(file.get());
    if (size > 0 && size < (1L << 30)) text.reserve(static_cast<size_t>(size));
    std::rewind(file.get());
  }
  char chunk[1 << 16];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) text.append(chunk, got);
  if (std::ferror(file.get())) {
    trap.Raise(ErrorNumberFromErrno(errno));
    return FileState::kUnreadable;
  }
  return FileState::kRead;
}

void ShowCapacityWarning(const char* name, int32_t capacity) {
  ShowMessage(std::string("File '") + name +
                  "' holds more records than the program can take: only the first " +
                  std::to_string(capacity) + " are loaded.",
              kCaptionWarning, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
}

// The count line announces more records than there are lines.
std::string CountTooLarge(int64_t announced, int64_t present) {
  return "the record count is " + std::to_string(announced) + ", but only " +
         std::to_string(present) +
         (present == 1 ? " record line follows" : " record lines follow") +
         "; the count must be the number of record lines";
}

// Reads one catalogue file into records[0 .. capacity - 1] and sets count. A
// refused line sets fault and leaves count at the records before it.
template <typename Record>
FileState LoadFile(const std::string& folder, const char* name, Record* records, int32_t capacity,
                   int32_t& count, LineFault& fault, ProgramErrorTrap& trap) {
  std::string text;
  const FileState state = ReadWholeFile(CatalogueFilePath(folder, name).c_str(), text, trap);
  if (state == FileState::kUnreadable) count = 0;
  if (state != FileState::kRead) return state;
  count = 0;
  // A Ctrl-Z ends the file.
  TextLines lines(std::string_view(text).substr(0, text.find('\x1a')));
  std::string_view line;
  if (!lines.Next(line)) {
    fault = {1, "the file is empty; its first line must hold the record count"};
    return state;
  }
  const std::string_view countText = TrimBlanks(line);
  const std::optional<int64_t> announced = ReadInteger(countText);
  if (!announced || *announced < 0) {
    fault = {1, "the record count is " +
                    (countText.empty() ? std::string("empty")
                     : announced       ? std::string(countText)
                                       : Quoted(countText)) +
                    "; it must be a whole number, 0 or more"};
    return state;
  }
  if (*announced > capacity) ShowCapacityWarning(name, capacity);
  // Lines beyond the capacity are counted, not read.
  for (int64_t k = 1; k <= *announced; ++k) {
    const bool more = lines.Next(line);
    if (!more || IsBlankLine(line)) {
      TextLines rest = lines;
      std::string_view after;
      bool blanksToTheEnd = true;
      while (blanksToTheEnd && rest.Next(after)) blanksToTheEnd = IsBlankLine(after);
      fault = blanksToTheEnd
                  ? LineFault{1, CountTooLarge(*announced, k - 1)}
                  : LineFault{lines.number(),
                              "the line is empty, where the count on line 1 calls for a record"};
      return state;
    }
    if (k > capacity) continue;
    Record& record = records[k - 1];
    std::memset(&record, 0, sizeof record);
    RecordLine fields(line, name, kFieldCount<Record>);
    ReadRecord(record, fields);
    if (!fields.ok()) {
      fault = {lines.number(), fields.problem()};
      return state;
    }
    count = static_cast<int32_t>(k);
  }
  // A record added without raising the count would be lost.
  while (lines.Next(line)) {
    if (!IsBlankLine(line)) {
      fault = {lines.number(), "the record count on line 1 is " + std::to_string(*announced) +
                                   ", but more record lines follow from here; the count must be " +
                                   "the number of record lines"};
      return state;
    }
  }
  return state;
}

void ShowMissingFile(const std::string& path) {
  ShowMessage("File '" + path + "' not found! Program stops", kCaptionError,
              MB_OK | MB_ICONHAND | MB_TASKMODAL);
}

// A name made comparable: blanks trimmed, a to z upper case. Other letters,
// the accented ones of Windows-1252 among them, compare as they are.
struct FoldedName {
  char text[kDatumNameWidth];
  uint8_t length;

  std::string_view View() const { return std::string_view(text, length); }
};
static_assert(kEllipsoidNameWidth == kDatumNameWidth && kProjectionNameWidth == kDatumNameWidth);

FoldedName Fold(const char* field, size_t width) {
  const std::string_view name = TrimBlanks(FieldView(field, width));
  FoldedName folded;
  folded.length = static_cast<uint8_t>(name.size());
  std::transform(name.begin(), name.end(), folded.text,
                 [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
  return folded;
}

}  // namespace

Catalogues& ProgramCatalogues() {
  static Catalogues catalogues;  // static storage: zero-filled before the counts are set
  return catalogues;
}

void SetBusyCursorHook(BusyCursorHook hook) {
  busyCursorHook = hook;
}

void ResolveDatumEllipsoids(Catalogues& catalogues) {
  const int32_t ellipsoidCount = std::clamp(catalogues.ellipsoidCount, 0, kEllipsoidCapacity);
  FoldedName ellipsoidNames[kEllipsoidCapacity];
  for (int32_t j = 1; j <= ellipsoidCount; ++j) {
    ellipsoidNames[j - 1] = Fold(catalogues.Ellipsoid(j).name, kEllipsoidNameWidth);
  }
  const int32_t datumCount = std::clamp(catalogues.datumCount, 0, kDatumCapacity);
  for (int32_t i = 1; i <= datumCount; ++i) {
    DatumRecord& datum = catalogues.Datum(i);
    const FoldedName wanted = Fold(datum.ellipsoidName, kEllipsoidNameWidth);
    datum.ellipsoidIndex = 1;
    for (int32_t j = 1; j <= ellipsoidCount; ++j) {
      if (ellipsoidNames[j - 1].View() == wanted.View()) {
        datum.ellipsoidIndex = j;
        break;
      }
    }
  }
}

void ResolveProjectionDatums(Catalogues& catalogues) {
  const int32_t datumCount = std::clamp(catalogues.datumCount, 0, kDatumCapacity);
  std::vector<FoldedName> datumNames(datumCount);
  for (int32_t j = 1; j <= datumCount; ++j) {
    datumNames[j - 1] = Fold(catalogues.Datum(j).name, kDatumNameWidth);
  }
  // Projections on one datum usually name it alike: each name is searched once.
  std::unordered_map<std::string_view, int32_t> found;
  const int32_t projectionCount = std::clamp(catalogues.projectionCount, 0, kProjectionCapacity);
  std::vector<FoldedName> projectionDatumNames(projectionCount);
  for (int32_t i = 1; i <= projectionCount; ++i) {
    ProjectionRecord& projection = catalogues.Projection(i);
    FoldedName& wanted = projectionDatumNames[i - 1];
    wanted = Fold(projection.datumName, kDatumNameWidth);
    const auto [known, isNew] = found.try_emplace(wanted.View(), 1);
    if (isNew) {
      for (int32_t j = 1; j <= datumCount; ++j) {
        const std::string_view name = datumNames[j - 1].View();
        // An empty text is in every name, but only a name that is not empty
        // counts as containing it.
        if (!name.empty() && name.find(wanted.View()) != std::string_view::npos) {
          known->second = j;
          break;
        }
      }
    }
    projection.datumIndex = known->second;
  }
}

namespace {

// A datum whose ellipsoid name matched no ellipsoid has the first all the
// same: the first such datum is refused, unless an earlier line is.
void CheckEllipsoidNames(Catalogues& catalogues, LineFault& fault) {
  for (int32_t i = 1; i <= catalogues.datumCount; ++i) {
    const DatumRecord& datum = catalogues.Datum(i);
    const int32_t j = datum.ellipsoidIndex;
    if (j <= catalogues.ellipsoidCount &&
        Fold(catalogues.Ellipsoid(j).name, kEllipsoidNameWidth).View() ==
            Fold(datum.ellipsoidName, kEllipsoidNameWidth).View()) {
      continue;
    }
    if (fault.line != 0 && fault.line < i + 1) return;  // an earlier line is refused
    fault = {i + 1, "the ellipsoid " + Quoted(TrimmedField(datum.ellipsoidName)) +
                        " (field 4) is not in " + kEllipsoidFile +
                        "; it must be the name of one of its ellipsoids"};
    catalogues.datumCount = i - 1;
    return;
  }
}

// As CheckEllipsoidNames, for a projection whose datum name no datum name contains.
void CheckDatumNames(Catalogues& catalogues, LineFault& fault) {
  for (int32_t i = 1; i <= catalogues.projectionCount; ++i) {
    const ProjectionRecord& projection = catalogues.Projection(i);
    const int32_t j = projection.datumIndex;
    if (j <= catalogues.datumCount) {
      const FoldedName name = Fold(catalogues.Datum(j).name, kDatumNameWidth);
      if (name.length != 0 &&
          name.View().find(Fold(projection.datumName, kDatumNameWidth).View()) !=
              std::string_view::npos) {
        continue;
      }
    }
    if (fault.line != 0 && fault.line < i + 1) return;
    fault = {i + 1, "the datum " + Quoted(TrimmedField(projection.datumName)) +
                        " (field 2) is not in " + kDatumFile +
                        "; it must be the name of one of its datums, or a part of it"};
    catalogues.projectionCount = i - 1;
    return;
  }
}

// Whether loading goes on after a file; if not, the file's message is shown
// (an unreadable file's fault is the trap's to report).
bool Loaded(FileState state, const std::string& folder, const char* name, const LineFault& fault) {
  const std::string path = CatalogueFilePath(folder, name);
  switch (state) {
    case FileState::kMissing:
      ShowMissingFile(path);
      return false;
    case FileState::kUnreadable:
      return false;
    case FileState::kRead:
      break;
  }
  if (fault.line == 0) return true;
  ShowMessage("File '" + path + "', line " + std::to_string(fault.line) + ": " + fault.problem +
                  ". Program stops",
              kCaptionError, MB_OK | MB_ICONHAND | MB_TASKMODAL);
  return false;
}

// Loads the files in order, resolving names as it goes; false after the first
// file that is missing, cannot be read or holds a refused line, after which
// nothing more is read.
bool LoadFiles(Catalogues& catalogues, const std::string& folder, ProgramErrorTrap& trap) {
  LineFault fault;
  FileState state = LoadFile(folder, kEllipsoidFile, catalogues.ellipsoids, kEllipsoidCapacity,
                             catalogues.ellipsoidCount, fault, trap);
  if (!Loaded(state, folder, kEllipsoidFile, fault)) return false;
  state = LoadFile(folder, kDatumFile, catalogues.datums, kDatumCapacity, catalogues.datumCount,
                   fault, trap);
  if (state == FileState::kRead) {
    ResolveDatumEllipsoids(catalogues);
    CheckEllipsoidNames(catalogues, fault);
  }
  if (!Loaded(state, folder, kDatumFile, fault)) return false;
  state = LoadFile(folder, kProjectionFile, catalogues.projections, kProjectionCapacity,
                   catalogues.projectionCount, fault, trap);
  if (state == FileState::kRead) {
    ResolveProjectionDatums(catalogues);
    CheckDatumNames(catalogues, fault);
  }
  return Loaded(state, folder, kProjectionFile, fault);
}

// The user's file of one kind after the shipped records; a file that is not
// there is read as empty.
template <typename Record>
bool LoadUserFile(const std::string& folder, const char* name, Record* records, int32_t shipped,
                  int32_t capacity, int32_t& count, std::string& problem, ProgramErrorTrap& trap) {
  int32_t added = 0;
  LineFault fault;
  const FileState state =
      LoadFile(folder, name, records + shipped, capacity - shipped, added, fault, trap);
  const std::string path = CatalogueFilePath(folder, name);
  count = shipped + std::max(added, 0);
  if (state == FileState::kMissing) return true;
  if (state == FileState::kUnreadable) {
    problem = "File '" + path + "' cannot be read";
    return false;
  }
  if (fault.line != 0) {
    problem = "File '" + path + "', line " + std::to_string(fault.line) + ": " + fault.problem;
    return false;
  }
  return true;
}

template <typename Record>
std::string LineProblem(std::string_view line, Record& record, const char* name) {
  std::memset(&record, 0, sizeof record);
  RecordLine fields(line, name, kFieldCount<Record>);
  ReadRecord(record, fields);
  return fields.problem();
}

}  // namespace

std::string CatalogueLineProblem(std::string_view line, EllipsoidRecord& record) {
  return LineProblem(line, record, kEllipsoidFile);
}
std::string CatalogueLineProblem(std::string_view line, DatumRecord& record) {
  return LineProblem(line, record, kDatumFile);
}
std::string CatalogueLineProblem(std::string_view line, ProjectionRecord& record) {
  return LineProblem(line, record, kProjectionFile);
}

bool IsUserEllipsoid(const Catalogues& catalogues, int32_t position) {
  return catalogues.shippedEllipsoidCount >= 0 && position > catalogues.shippedEllipsoidCount &&
         position <= catalogues.ellipsoidCount;
}
bool IsUserDatum(const Catalogues& catalogues, int32_t position) {
  return catalogues.shippedDatumCount >= 0 && position > catalogues.shippedDatumCount &&
         position <= catalogues.datumCount;
}
bool IsUserProjection(const Catalogues& catalogues, int32_t position) {
  return catalogues.shippedProjectionCount >= 0 && position > catalogues.shippedProjectionCount &&
         position <= catalogues.projectionCount;
}

bool LoadUserEntries(Catalogues& catalogues, const std::string& folder, std::string& problem) {
  ProgramErrorTrap trap("LoadUserEntries");
  Catalogues& c = catalogues;
  if (c.shippedEllipsoidCount < 0) {
    c.shippedEllipsoidCount = std::max(c.ellipsoidCount, 0);
    c.shippedDatumCount = std::max(c.datumCount, 0);
    c.shippedProjectionCount = std::max(c.projectionCount, 0);
  }
  // Drops whatever the user's files gave, keeping the shipped records.
  // The shipped records' names resolve as before whatever follows them: each
  // finds its record among the shipped ones, which come first.
  const auto dropAll = [&c] {
    c.ellipsoidCount = c.shippedEllipsoidCount;
    c.datumCount = c.shippedDatumCount;
    c.projectionCount = c.shippedProjectionCount;
    return false;
  };
  problem.clear();
  bool ok = true;
  trap.Guard([&] {
    ok = LoadUserFile(folder, kUserEllipsoidFile, c.ellipsoids, c.shippedEllipsoidCount,
                      kEllipsoidCapacity, c.ellipsoidCount, problem, trap) &&
         LoadUserFile(folder, kUserDatumFile, c.datums, c.shippedDatumCount, kDatumCapacity,
                      c.datumCount, problem, trap) &&
         LoadUserFile(folder, kUserProjectionFile, c.projections, c.shippedProjectionCount,
                      kProjectionCapacity, c.projectionCount, problem, trap);
  });
  if (!ok || !problem.empty()) {
    if (problem.empty()) problem = "The user's entries in '" + folder + "' cannot be read";
    return dropAll();
  }
  // Without entries of the user's, nothing is left to resolve.
  if (c.ellipsoidCount == c.shippedEllipsoidCount && c.datumCount == c.shippedDatumCount &&
      c.projectionCount == c.shippedProjectionCount) {
    return true;
  }
  ResolveDatumEllipsoids(c);
  ResolveProjectionDatums(c);
  // Every name of the user's entries must find its record. The checks stop
  // the count at a record whose name is not found; a fault beyond the
  // shipped records is one of the user's file's lines.
  const int32_t datums = c.datumCount, projections = c.projectionCount;
  const auto userFault = [&](const LineFault& fault, int32_t shipped, const char* name) {
    if (fault.line == 0 || fault.line - 1 <= shipped) return false;
    // The name may be one of the user's own as well as a shipped one.
    std::string why = fault.problem;
    for (const auto& [shippedFile, userFile] :
         {std::pair{kEllipsoidFile, kUserEllipsoidFile}, std::pair{kDatumFile, kUserDatumFile}}) {
      const std::string in = std::string(" is not in ") + shippedFile + ";";
      if (const size_t at = why.find(in); at != std::string::npos) {
        why.replace(at, in.size(),
                    std::string(" is in neither ") + shippedFile + " nor " + userFile + ";");
        if (const size_t its = why.find("one of its "); its != std::string::npos) {
          why.replace(its, 11, "one of their ");
        }
      }
    }
    problem = "File '" + CatalogueFilePath(folder, name) + "', line " +
              std::to_string(fault.line - shipped) + ": " + why;
    return true;
  };
  LineFault fault;
  CheckEllipsoidNames(c, fault);
  if (userFault(fault, c.shippedDatumCount, kUserDatumFile)) return dropAll();
  c.datumCount = datums;
  fault = {};
  CheckDatumNames(c, fault);
  if (userFault(fault, c.shippedProjectionCount, kUserProjectionFile)) return dropAll();
  c.projectionCount = projections;
  return true;
}

std::string CatalogueFilePath(const std::string& folder, const char* name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

void LoadCatalogues(Catalogues& catalogues, int32_t& ok, const std::string& folder) {
  ProgramErrorTrap trap("LoadCatalogues");
  catalogues.ellipsoidCount = -1;
  catalogues.datumCount = -1;
  catalogues.projectionCount = -1;
  ok = -1;
  ShowBusy(true);
  trap.Guard([&] {
    if (!LoadFiles(catalogues, folder, trap)) ok = 0;
  });
  ShowBusy(false);
}

std::string DatumListEntry(const DatumRecord& datum) {
  std::string entry = TrimmedField(datum.name);
  entry.append(" - ");
  entry.append(AreaOfUseText(datum));
  return entry;
}

std::string EllipsoidListEntry(const EllipsoidRecord& ellipsoid) {
  return TrimmedField(ellipsoid.name);
}

std::string ProjectionListEntry(const ProjectionRecord& projection) {
  return TrimmedField(projection.name);
}
