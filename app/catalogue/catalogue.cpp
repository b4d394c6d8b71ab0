#include "catalogue.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "errormessage.h"
#include "fixed_text.h"
#include "line_breaks.h"
#include "message.h"
#include "number_text.h"

namespace {

BusyCursorHook busyCursorHook = nullptr;

void ShowBusy(bool busy) {
  if (busyCursorHook != nullptr) busyCursorHook(busy);
}

// The ";"-separated fields of a record line, in order; past the last field
// every further field is empty.
class FieldReader {
 public:
  explicit FieldReader(std::string_view line) : rest_(line) {}

  std::string_view Next() {
    if (!more_) return std::string_view();
    const size_t end = rest_.find(';');
    const std::string_view field = rest_.substr(0, end);
    if (end == std::string_view::npos) {
      more_ = false;
    } else {
      rest_.remove_prefix(end + 1);
    }
    return field;
  }

 private:
  std::string_view rest_;
  bool more_ = true;
};

// Quotes are removed from text fields only: a quoted number reads as 0.
template <size_t N>
void ReadText(char (&field)[N], std::string_view text) {
  const size_t first = text.find_first_not_of('"');
  text = first == std::string_view::npos
             ? std::string_view()
             : text.substr(first, text.find_last_not_of('"') - first + 1);
  SetFixedField(field, text);
}

int32_t ReadInteger(std::string_view text) {
  const double rounded = RoundTo(ReadNumber(text), 0);
  return static_cast<int32_t>(std::clamp(rounded, -2147483648.0, 2147483647.0));
}

void ReadRecord(EllipsoidRecord& record, FieldReader& fields) {
  record.code = ReadInteger(fields.Next());
  ReadText(record.name, fields.Next());
  record.semiMajorAxis = ReadNumber(fields.Next());
  record.semiMinorAxis = ReadNumber(fields.Next());
}

void ReadRecord(DatumRecord& record, FieldReader& fields) {
  ReadText(record.name, fields.Next());
  ReadText(record.areaOfUse, fields.Next());
  record.toCrsCode = ReadInteger(fields.Next());
  ReadText(record.ellipsoidName, fields.Next());
  record.methodCode = ReadInteger(fields.Next());
  record.translationX = ReadNumber(fields.Next());
  record.translationY = ReadNumber(fields.Next());
  record.translationZ = ReadNumber(fields.Next());
  record.rotationX = ReadNumber(fields.Next());
  record.rotationY = ReadNumber(fields.Next());
  record.rotationZ = ReadNumber(fields.Next());
  record.scaleDifference = ReadNumber(fields.Next());
}

void ReadRecord(ProjectionRecord& record, FieldReader& fields) {
  ReadText(record.name, fields.Next());
  ReadText(record.datumName, fields.Next());
  record.methodCode = ReadInteger(fields.Next());
  record.scaleFactor = ReadNumber(fields.Next());
  record.latitudeOfOrigin = ReadNumber(fields.Next());
  record.centralMeridian = ReadNumber(fields.Next());
  record.falseEasting = ReadNumber(fields.Next());
  record.falseNorthing = ReadNumber(fields.Next());
  record.firstStandardParallel = ReadNumber(fields.Next());
  record.secondStandardParallel = ReadNumber(fields.Next());
}

enum class FileState { kRead, kMissing, kUnreadable };

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// The whole file in memory. A file that exists but cannot be opened gives its
// fault to the trap.
FileState ReadWholeFile(const char* name, std::string& text, ProgramErrorTrap& trap) {
  const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(name, "rb"));
  if (!file) {
    if (errno == ENOENT) return FileState::kMissing;
    trap.Raise(ErrorNumberFromErrno(errno));
    return FileState::kUnreadable;
  }
  if (std::fseek(file.get(), 0, SEEK_END) == 0) {
    const long size = std::ftell(file.get());
    if (size > 0) text.reserve(static_cast<size_t>(size));
    std::rewind(file.get());
  }
  char chunk[1 << 16];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) text.append(chunk, got);
  if (std::ferror(file.get())) trap.Raise(ErrorNumberFromErrno(errno));
  return FileState::kRead;
}

void ShowCapacityWarning(const char* name, int32_t capacity) {
  ShowMessage(std::string("File '") + name +
                  "' holds more records than the program can take: only the first " +
                  std::to_string(capacity) + " are loaded.",
              kCaptionWarning, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
}

// Reads one catalogue file into records[0 .. capacity - 1] and sets count.
template <typename Record>
FileState LoadFile(const std::string& folder, const char* name, Record* records, int32_t capacity,
                   int32_t& count, ProgramErrorTrap& trap) {
  std::string text;
  const FileState state = ReadWholeFile(CatalogueFilePath(folder, name).c_str(), text, trap);
  if (state == FileState::kMissing) return state;
  if (state == FileState::kUnreadable) {
    count = 0;
    return FileState::kRead;
  }
  // A Ctrl-Z ends the file.
  TextLines lines(std::string_view(text).substr(0, text.find('\x1a')));
  std::string_view line;
  if (!lines.Next(line)) {
    trap.Raise(kErrReadPastEnd);
    count = 0;
    return FileState::kRead;
  }
  const double wanted = RoundTo(ReadNumber(line), 0);
  if (wanted > capacity) ShowCapacityWarning(name, capacity);
  count = static_cast<int32_t>(std::clamp(wanted, 0.0, static_cast<double>(capacity)));
  for (int32_t k = 0; k < count; ++k) {
    std::memset(&records[k], 0, sizeof records[k]);
    if (!lines.Next(line)) {
      // Fewer lines than the count: the rest stay zero and the trap tells.
      trap.Raise(kErrReadPastEnd);
      std::memset(&records[k], 0, sizeof records[k] * (count - k));
      break;
    }
    FieldReader fields(line);
    ReadRecord(records[k], fields);
  }
  return FileState::kRead;
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

// Loads the files in order and gives the name of the first missing one, after
// which nothing more is read, or nullptr.
const char* LoadFiles(Catalogues& catalogues, const std::string& folder, ProgramErrorTrap& trap) {
  if (LoadFile(folder, kEllipsoidFile, catalogues.ellipsoids, kEllipsoidCapacity,
               catalogues.ellipsoidCount, trap) == FileState::kMissing) {
    return kEllipsoidFile;
  }
  if (LoadFile(folder, kDatumFile, catalogues.datums, kDatumCapacity, catalogues.datumCount,
               trap) == FileState::kMissing) {
    return kDatumFile;
  }
  ResolveDatumEllipsoids(catalogues);
  if (LoadFile(folder, kProjectionFile, catalogues.projections, kProjectionCapacity,
               catalogues.projectionCount, trap) == FileState::kMissing) {
    return kProjectionFile;
  }
  ResolveProjectionDatums(catalogues);
  return nullptr;
}

}  // namespace

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
    if (const char* missing = LoadFiles(catalogues, folder, trap)) {
      ShowMissingFile(CatalogueFilePath(folder, missing));
      ok = 0;
    }
  });
  ShowBusy(false);
}

std::string DatumListEntry(const DatumRecord& datum) {
  std::string entry = TrimmedField(datum.name);
  entry.append(" - ");
  entry.append(TrimBlanks(FieldView(datum.areaOfUse, kAreaOfUseWidth)));
  return entry;
}

std::string EllipsoidListEntry(const EllipsoidRecord& ellipsoid) {
  return TrimmedField(ellipsoid.name);
}

std::string ProjectionListEntry(const ProjectionRecord& projection) {
  return TrimmedField(projection.name);
}
