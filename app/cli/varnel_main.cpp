// varnel: the command-line program over the catalogues, chains and list
// engine of the desktop program. Exit statuses: 0 success, 1 a bad input line,
// 2 usage or an unknown or ambiguous system, 3 a file that cannot be read or
// written.
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "catalogue.h"
#include "catalogue_folders.h"
#include "csv_cells.h"
#include "epsg_index.h"
#include "errormessage.h"
#include "errortext.h"
#include "fixed_text.h"
#include "grid_shift.h"
#include "info_report.h"
#include "list_engine.h"
#include "message.h"
#include "method_table.h"
#include "native_path.h"
#include "point_transform.h"
#include "systems.h"
#include "text_encoding.h"
#include "units.h"
#include "user_entries.h"
#include "varnel_cli.h"

#ifndef VARNEL_VERSION
#define VARNEL_VERSION ""
#endif

namespace {

constexpr int kSuccess = 0;
constexpr int kBadLine = 1;
constexpr int kUsage = 2;
constexpr int kFileFault = 3;

constexpr const char* kEpsgIndexFile = "epsg-index.txt";

// After the message of a first line that holds no coordinates: a header or an
// ID column, say, which a comment mark or --csv would have let through.
constexpr const char* kFirstLineHint =
    " (comment lines start with #; --csv for delimited files with a header)";

// Messages of the shared code go to standard error, one line each.
int32_t PrintMessage(const char* text, const char*, uint32_t style) {
  std::string line = text;
  for (char& c : line) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  std::fprintf(stderr, "varnel: %s\n", line.c_str());
  return (style & 0xFu) == MB_YESNO ? IDNO : IDOK;
}

// --data, then $VARNEL_DATA, then the first of the current folder, the user's
// data folder and the installed folder that holds the catalogues; without
// one, a message naming the folders looked in.
std::optional<std::string> DataFolder(const std::string& given) {
  if (!given.empty()) return given;
  if (const char* named = std::getenv("VARNEL_DATA"); named != nullptr && *named != '\0') {
    return named;
  }
  const std::vector<std::string> folders = CatalogueSearchFolders();
  std::optional<std::string> found = FindCatalogueFolder(folders);
  if (!found) {
    std::string lookedIn = LookedInText(folders);
    for (size_t at = lookedIn.find('\n'); at != std::string::npos;
         at = lookedIn.find('\n', at + 1)) {
      lookedIn.insert(at + 1, "  ");
    }
    std::fprintf(stderr,
                 "varnel: no folder holds the catalogues (%s, %s, %s); looked in:\n  %s\n"
                 "Name one with --data DIR or $VARNEL_DATA.\n",
                 kEllipsoidFile, kDatumFile, kProjectionFile, lookedIn.c_str());
  }
  return found;
}

struct Data {
  std::unique_ptr<Catalogues> catalogues = std::make_unique<Catalogues>();
  std::vector<EpsgIndexEntry> index;
};

// The catalogues and the code index, or a message and false.
bool LoadData(const std::string& given, Data& data) {
  const std::optional<std::string> found = DataFolder(given);
  if (!found) return false;
  const std::string& folder = *found;
  int32_t ok = 0;
  LoadCatalogues(*data.catalogues, ok, folder);
  // A missing file or a refused line has been named by its message; the
  // trap's message of a file that cannot be read names no folder.
  if (programErrorNumber != 0) {
    std::fprintf(stderr, "varnel: the catalogues in %s cannot be read\n",
                 folder.empty() ? "the current folder" : folder.c_str());
    return false;
  }
  if (ok == 0) return false;
  // The user's own entries after the shipped ones; a damaged file is told and
  // left out, the shipped catalogues serve on.
  if (std::string problem; !LoadUserEntries(*data.catalogues, UserEntriesFolder(), problem)) {
    std::fprintf(stderr, "varnel: %s; your own entries are not loaded\n",
                 TerminalTextOf(problem).c_str());
  }
  const std::string indexPath = CatalogueFilePath(folder, kEpsgIndexFile);
  std::string error;
  if (!LoadEpsgIndex(indexPath, data.index, error)) {
    std::fprintf(stderr, "varnel: %s\n", error.c_str());
    return false;
  }
  return true;
}

// One system by name or code; on no or several matches the message and false.
bool ResolveOne(const Resolution& resolution, const std::string& text, const char* what,
                NamedSystem& system) {
  if (resolution.matches.size() == 1) {
    system = resolution.matches[0];
    return true;
  }
  if (!resolution.leftOut.empty()) {
    std::fprintf(stderr, "varnel: %s\n", resolution.leftOut.c_str());
    return false;
  }
  if (resolution.foreignCharacters) {
    std::fprintf(stderr,
                 "varnel: %s \"%s\" fits no catalogue entry: no entry's name holds all of "
                 "its characters\n",
                 what, text.c_str());
    return false;
  }
  std::fprintf(
      stderr, "varnel: %s \"%s\" %s\n", what, text.c_str(),
      resolution.matches.empty() ? "fits no catalogue entry" : "fits several catalogue entries");
  if (!resolution.candidates.empty()) {
    std::fprintf(stderr, "%s:\n",
                 resolution.matches.empty() ? "Entries with these words" : "Candidates");
    for (const std::string& name : resolution.candidates) {
      std::fprintf(stderr, "  %s\n", name.c_str());
    }
  }
  return false;
}

struct SideOptions {
  std::string system;
  std::string datum;
  std::string unit;
  std::string angles = "deg";
};

// The side as named, with its units and angle format; false after a message.
bool BuildSide(const SideOptions& options, const char* which, const Data& data, CrsSide& side) {
  NamedSystem system;
  if (!ResolveOne(ResolveSystem(options.system, *data.catalogues, data.index), options.system,
                  which, system)) {
    return false;
  }
  NamedSystem datum;
  if (!options.datum.empty() &&
      !ResolveOne(ResolveDatum(options.datum, *data.catalogues, data.index), options.datum, "datum",
                  datum)) {
    return false;
  }
  side = SideOf(system, datum.datum, *data.catalogues);
  side.unitsAndFormats.angleFormat =
      options.angles == "dms" ? kAngleFormatDms : kAngleFormatDecimal;
  int32_t unit = system.lengthUnit;
  if (!options.unit.empty()) {
    unit = LengthUnitNamed(options.unit);
    if (unit == 0) {
      std::fprintf(stderr, "varnel: unknown length unit \"%s\" (one of %s)\n", options.unit.c_str(),
                   LengthUnitNames().c_str());
      return false;
    }
  } else if (unit == 0 && !system.unitName.empty() && system.unitName != "metre") {
    std::fprintf(stderr,
                 "varnel: note: %s is in %s, which varnel does not have; its coordinates are "
                 "taken in metres\n",
                 options.system.c_str(), system.unitName.c_str());
  }
  if (unit != 0) SetLengthUnit(side.unitsAndFormats, unit);
  return true;
}

struct TransformOptions {
  SideOptions from;
  SideOptions to;
  std::vector<std::string> files;
  bool pointGiven = false;  // "--" was given: the point follows it
  std::vector<std::string> point;
  std::string geographicOutput;
  bool lf = false;
  bool keepGoing = false;
  int threads = 0;
  bool csv = false;
  std::string delimiter;
  std::string x;  // columns, as given
  std::string y;
  std::string z;
};

std::string DescribeError(int32_t number) {
  std::string text = ErrorDescription(number);
  if (text.rfind(": ", 0) == 0) text.erase(0, 2);
  return text;
}

// Platform seams: a pipe, and standard input and output as bytes.
#ifdef _WIN32
bool MakePipe(int fds[2]) {
  return ::_pipe(fds, 4096, _O_BINARY | _O_NOINHERIT) == 0;
}

// The list engine writes its own line ends: the C library adds no CR.
void UseBinaryStandardStreams() {
  ::_setmode(::_fileno(stdin), _O_BINARY);
  ::_setmode(::_fileno(stdout), _O_BINARY);
}
#else
bool MakePipe(int fds[2]) {
  return ::pipe(fds) == 0;
}

void UseBinaryStandardStreams() {}
#endif

// A point from the command line becomes the one line of a pipe; a
// geographic point without a height is at height 0.
bool PointInput(const std::vector<std::string>& point, bool geographic, ChunkReader& reader) {
  int fds[2];
  if (!MakePipe(fds)) return false;
  std::string line;
  for (const std::string& value : point) line += value + " ";
  if (geographic && point.size() == 2) line += "0";
  line += "\n";
  const bool written =
      ::write(fds[1], line.data(), line.size()) == static_cast<ssize_t>(line.size());
  ::close(fds[1]);
  reader.Attach(fds[0]);
  return written;
}

// A point is two or three values, none of them empty.
bool CheckPoint(const std::vector<std::string>& point) {
  const bool empty = std::any_of(point.begin(), point.end(), [](const std::string& value) {
    return TrimBlanks(value).empty();
  });
  if (point.size() < 2 || point.size() > 3 || empty) {
    std::fprintf(stderr, "varnel: a point is X Y or X Y Z after --, each a number\n");
    return false;
  }
  return true;
}

// One of the files a run reads or writes, as the user named it; an empty
// name is the standard stream.
struct RunFile {
  std::string name;
  const char* role;
  int standardStream;
};

std::string Shown(const RunFile& file) {
  if (!file.name.empty()) return "\"" + file.name + "\"";
  return file.standardStream == STDIN_FILENO ? "standard input" : "standard output";
}

bool SameRunFile(const RunFile& a, const RunFile& b) {
  if (a.name.empty() && b.name.empty()) return false;
  if (a.name.empty()) return IsFileOfDescriptor(a.standardStream, b.name);
  if (b.name.empty()) return IsFileOfDescriptor(b.standardStream, a.name);
  return SameFile(a.name, b.name);
}

// No file is both read and written, nor written twice: that would destroy
// it. Checked by what the names lead to (links, "./", a redirected standard
// stream), before anything is opened for writing.
bool CheckFilesAreDistinct(const std::vector<RunFile>& files) {
  for (size_t i = 0; i < files.size(); ++i) {
    for (size_t j = i + 1; j < files.size(); ++j) {
      if (!SameRunFile(files[i], files[j])) continue;
      std::fprintf(stderr, "varnel: %s (%s) and %s (%s) are the same file\n",
                   Shown(files[i]).c_str(), files[i].role, Shown(files[j]).c_str(), files[j].role);
      return false;
    }
  }
  return true;
}

// The message for a file that cannot be opened: a folder named as a list
// file is said so.
void ReportOpenFailure(const std::string& name, int32_t error) {
  std::error_code ignored;
  if (std::filesystem::is_directory(NativePath(name), ignored)) {
    std::fprintf(stderr, "varnel: %s is a folder, not a list file\n", name.c_str());
  } else if (const std::string folder = MissingFolderOf(name); !folder.empty()) {
    std::fprintf(stderr, "varnel: %s: folder %s does not exist\n", name.c_str(), folder.c_str());
  } else {
    std::fprintf(stderr, "varnel: %s: %s\n", name.c_str(), DescribeError(error).c_str());
  }
}

// Opens an output by name, or standard output; false after a message.
bool OpenOutput(const std::string& name, LineWriter& writer) {
  if (name.empty()) {
    writer.Attach(STDOUT_FILENO);
    return true;
  }
  if (const int32_t error = writer.Open(name); error != 0) {
    ReportOpenFailure(name, error);
    return false;
  }
  return true;
}

// A header name without the UTF-8 mark that begins some files.
std::string_view WithoutByteOrderMark(std::string_view name) {
  return name.starts_with("\xEF\xBB\xBF") ? name.substr(3) : name;
}

// A header name as the default columns are found by: lower case, without
// blanks, "_", "-" and ".".
std::string PlainName(std::string_view name) {
  name = WithoutByteOrderMark(name);
  std::string plain;
  for (const char c : name) {
    if (c == ' ' || c == '\t' || c == '_' || c == '-' || c == '.') continue;
    plain += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return plain;
}

std::string LowerTrimmed(std::string_view text) {
  std::string lower(TrimBlanks(WithoutByteOrderMark(text)));
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

std::string ColumnList(const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& name : names) list += (list.empty() ? "" : ", ") + name;
  return list;
}

// The first column named one of the names (as PlainName has them) and not
// taken, or -1.
int32_t FirstNamed(const std::vector<std::string>& header, std::span<const std::string_view> names,
                   std::initializer_list<int32_t> taken = {}) {
  for (size_t i = 0; i < header.size(); ++i) {
    const auto column = static_cast<int32_t>(i);
    if (std::find(taken.begin(), taken.end(), column) != taken.end()) continue;
    const std::string plain = PlainName(header[i]);
    if (std::find(names.begin(), names.end(), plain) != names.end()) return column;
  }
  return -1;
}

// A column given by its header name (case aside) or its number from 1; -1
// after a message.
int32_t GivenColumn(const std::string& given, const char* option,
                    const std::vector<std::string>& header) {
  const std::string wanted = LowerTrimmed(given);
  for (size_t i = 0; i < header.size(); ++i) {
    if (LowerTrimmed(header[i]) == wanted) return static_cast<int32_t>(i);
  }
  const bool number =
      !wanted.empty() && wanted.size() < 10 &&
      std::all_of(wanted.begin(), wanted.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (number && std::stoi(wanted) >= 1 && std::stoul(wanted) <= header.size()) {
    return std::stoi(wanted) - 1;
  }
  std::fprintf(stderr, "varnel: %s \"%s\" is no column of the header row (%s)\n", option,
               given.c_str(), ColumnList(header).c_str());
  return -1;
}

// The coordinate columns: those given, else the first named like the start's
// coordinates, else the columns of a list line (easting, northing; or
// latitude, longitude, height). False after a message.
bool FindColumns(const TransformOptions& options, const std::vector<std::string>& header,
                 bool startProjected, CsvColumns& columns) {
  if (header.size() < 2) {
    std::fprintf(stderr,
                 "varnel: the header row has one column (%s): name the delimiter with "
                 "--delimiter (\",\", \";\" or tab)\n",
                 header.empty() ? "" : header[0].c_str());
    return false;
  }
  static constexpr std::string_view kEastings[] = {"x", "e", "east", "easting", "eastings"};
  static constexpr std::string_view kNorthings[] = {"y", "n", "north", "northing", "northings"};
  static constexpr std::string_view kLongitudes[] = {"x", "lon", "long", "longitude", "lng"};
  static constexpr std::string_view kLatitudes[] = {"y", "lat", "latitude"};
  static constexpr std::string_view kHeights[] = {
      "z", "h", "height", "ellipsoidalheight", "ellheight", "elevation", "elev", "altitude", "alt"};
  const std::span<const std::string_view> xNames =
      startProjected ? std::span<const std::string_view>(kEastings)
                     : std::span<const std::string_view>(kLongitudes);
  const std::span<const std::string_view> yNames =
      startProjected ? std::span<const std::string_view>(kNorthings)
                     : std::span<const std::string_view>(kLatitudes);
  const bool anyGiven = !options.x.empty() || !options.y.empty() || !options.z.empty();
  if (!anyGiven && (FirstNamed(header, xNames) < 0 || FirstNamed(header, yNames) < 0)) {
    const bool three = !startProjected && header.size() >= 3;
    columns.x = startProjected ? 0 : 1;
    columns.y = startProjected ? 1 : 0;
    columns.z = three ? 2 : -1;
    return true;
  }
  struct Role {
    const std::string& given;
    const char* option;
    std::span<const std::string_view> names;
    const char* what;
    int32_t& column;
  };
  Role roles[] = {
      {options.x, "--x", xNames, startProjected ? "an easting" : "a longitude", columns.x},
      {options.y, "--y", yNames, startProjected ? "a northing" : "a latitude", columns.y},
  };
  for (Role& role : roles) {
    role.column = role.given.empty() ? FirstNamed(header, role.names)
                                     : GivenColumn(role.given, role.option, header);
    if (role.column >= 0) continue;
    if (role.given.empty()) {
      std::fprintf(stderr, "varnel: no column is named like %s: name it with %s (columns: %s)\n",
                   role.what, role.option, ColumnList(header).c_str());
    }
    return false;
  }
  columns.z = options.z.empty() ? FirstNamed(header, kHeights, {columns.x, columns.y})
                                : GivenColumn(options.z, "--z", header);
  if (!options.z.empty() && columns.z < 0) return false;
  if (columns.x == columns.y || columns.z == columns.x || columns.z == columns.y) {
    std::fprintf(stderr, "varnel: --x, --y and --z name one column twice\n");
    return false;
  }
  return true;
}

// The delimiter as --delimiter names it: ",", ";", "tab" or "\t"; 0 for none.
char NamedDelimiter(const std::string& name) {
  if (name == "," || name == ";") return name[0];
  if (name == "tab" || name == "\\t" || name == "\t") return '\t';
  return 0;
}

// Reads the header row of a delimited input and finds its coordinate
// columns. 0, or the exit status after a message.
int ReadHeader(const TransformOptions& options, const std::string& inputName, bool startProjected,
               ChunkReader& input, std::string& header, CsvColumns& columns) {
  if (!input.NextLine(header)) {
    if (input.Error() != 0) {
      std::fprintf(stderr, "varnel: %s: %s\n", inputName.c_str(),
                   DescribeError(input.Error()).c_str());
      return kFileFault;
    }
    std::fprintf(stderr, "%s:1: %s\n", inputName.c_str(),
                 input.LineTooLong() ? kLineTooLongMessage : "No header row: the input is empty.");
    return kBadLine;
  }
  columns.delimiter =
      options.delimiter.empty() ? FindCsvDelimiter(header) : NamedDelimiter(options.delimiter);
  if (columns.delimiter == 0) columns.delimiter = ',';
  std::vector<std::string_view> cells;
  if (const CsvRowError error = SplitCsvRow(header, columns.delimiter, cells);
      error != CsvRowError::kNone) {
    std::fprintf(stderr, "%s:1: %s\n", inputName.c_str(), CsvRowErrorMessage(error));
    return kBadLine;
  }
  std::vector<std::string> names;
  for (const std::string_view cell : cells) names.push_back(CsvCellText(cell));
  return FindColumns(options, names, startProjected, columns) ? kSuccess : kUsage;
}

int Transform(const TransformOptions& options, const Data& data) {
  CrsSide start;
  CrsSide target;
  if (!BuildSide(options.from, "start system", data, start) ||
      !BuildSide(options.to, "target system", data, target)) {
    return kUsage;
  }
  if (!CheckSidesAreUsable(start, target, *data.catalogues)) return kUsage;
  if (options.pointGiven && !CheckPoint(options.point)) return kUsage;
  if (options.pointGiven && options.csv) {
    std::fprintf(stderr, "varnel: --csv reads a file or standard input, not a point after --\n");
    return kUsage;
  }
  if (!options.delimiter.empty() && NamedDelimiter(options.delimiter) == 0) {
    std::fprintf(stderr, "varnel: --delimiter is \",\", \";\" or tab\n");
    return kUsage;
  }
  const bool projected = !IsGeographic(target.projection);
  if (!projected && !options.geographicOutput.empty()) {
    std::fprintf(stderr,
                 "varnel: --geographic-output is for a projected target; the lines of a "
                 "geographic target go to OUTPUT\n");
    return kUsage;
  }
  const bool standardInput =
      !options.pointGiven && (options.files.empty() || options.files[0] == "-");
  const std::string inputName =
      options.pointGiven ? "<point>" : (standardInput ? "<stdin>" : options.files[0]);
  const std::string outputName =
      options.files.size() < 2 || options.files[1] == "-" ? "" : options.files[1];

  std::vector<RunFile> files = {{outputName, "OUTPUT", STDOUT_FILENO}};
  if (!options.geographicOutput.empty()) {
    files.push_back({options.geographicOutput, "--geographic-output", STDOUT_FILENO});
  }
  if (!options.pointGiven) {
    files.push_back({standardInput ? "" : inputName, "INPUT", STDIN_FILENO});
  }
  if (!CheckFilesAreDistinct(files)) return kUsage;

  UseBinaryStandardStreams();
  ChunkReader input;
  if (options.pointGiven) {
    if (!PointInput(options.point, IsGeographic(start.projection), input)) {
      std::fprintf(stderr, "varnel: cannot pass the point on\n");
      return kFileFault;
    }
  } else if (standardInput) {
    input.Attach(STDIN_FILENO);
  } else if (const int32_t error = input.Open(inputName); error != 0) {
    ReportOpenFailure(inputName, error);
    return kFileFault;
  }

  ListEngineOptions engine;
  engine.threads = options.threads;
  engine.lineEnd = options.lf ? "\n" : "\r\n";
  std::string header;
  if (options.csv) {
    CsvColumns columns;
    if (const int status = ReadHeader(options, inputName, !IsGeographic(start.projection), input,
                                      header, columns)) {
      return status;
    }
    engine.csv = columns;
  } else {
    engine.firstLineHint = kFirstLineHint;
  }

  // The target's own lines go to OUTPUT; a projected target may also write
  // its geographic lines, as the window's second output does. Files named
  // are written beside themselves and take their names when the run ends.
  LineWriter main;
  LineWriter second;
  if (!OpenOutput(outputName, main) ||
      (!options.geographicOutput.empty() && !OpenOutput(options.geographicOutput, second))) {
    return kFileFault;
  }
  if (options.csv) {
    for (LineWriter* output : {&main, &second}) {
      if (!output->IsOpen()) continue;
      output->Write(header);
      output->Write(engine.lineEnd);
    }
  }

  // The engine counts the lines after the header.
  const int64_t firstLine = options.csv ? 2 : 1;
  auto report = [&](int64_t line, const std::vector<CapturedMessage>& messages) {
    for (const CapturedMessage& message : messages) {
      std::fprintf(stderr, "%s:%lld: %s\n", inputName.c_str(),
                   static_cast<long long>(line + firstLine - 1), message.text.c_str());
    }
  };
  if (options.keepGoing) engine.badLine = report;
  const ListResult result =
      RunListEngine(start, target, *data.catalogues, input, projected ? &main : nullptr,
                    projected ? &second : &main, engine);
  input.Close();
  const LineWriter* failed = nullptr;
  if (const int32_t error = FinishOutputs(result, main, second, &failed)) {
    if (failed != nullptr) {
      const std::string name = failed == &second    ? options.geographicOutput
                               : outputName.empty() ? std::string("standard output")
                                                    : outputName;
      std::fprintf(stderr, "varnel: %s: %s\n", name.c_str(), DescribeError(error).c_str());
    } else {
      std::fprintf(stderr, "varnel: %s\n", DescribeError(error).c_str());
    }
    return kFileFault;
  }
  if (result.end == ListEnd::kStoppedAtLine) {
    report(result.stopLine, result.messages);
    return kBadLine;
  }
  return result.badLines > 0 ? kBadLine : kSuccess;
}

std::string MethodName(int32_t method) {
  const ProjectionMethodEntry* entry = FindProjectionMethodEntry(method);
  return entry != nullptr ? entry->name : "method " + std::to_string(method);
}

// One line of find: code, kind, unit and entry name, tab-separated.
std::string FindLine(const std::string& code, const std::string& kind, const std::string& unit,
                     const std::string& name) {
  return code + "\t" + kind + "\t" + unit + "\t" + name;
}

// Entries whose name holds every word, or whose code is one of the words; a
// code left out is told why on standard error.
int Find(const std::vector<std::string>& typed, const Data& data) {
  const Catalogues& catalogues = *data.catalogues;
  std::vector<std::string> words;
  for (const std::string& word : typed) {
    const std::optional<std::string> text = CatalogueTextOfArgument(word);
    if (!text) {
      std::fprintf(stderr, "varnel: no entry's name holds all the characters of \"%s\"\n",
                   word.c_str());
      return kUsage;
    }
    words.push_back(*text);
  }
  std::unordered_map<std::string, int32_t> methods;  // projection entry -> method
  for (int32_t p = 1; p <= catalogues.projectionCount; ++p) {
    methods.emplace(TrimmedField(catalogues.Projection(p).name),
                    catalogues.Projection(p).methodCode);
  }
  auto projectedKind = [&](const std::string& name) {
    const auto found = methods.find(name);
    const int32_t method = found == methods.end() ? 0 : found->second;
    if (method == kLongitudeRotation) return std::string("geographic, own prime meridian");
    return "projected, " + MethodName(method);
  };
  std::vector<std::string> lines;
  std::vector<std::string> leftOut;
  std::unordered_set<std::string> coded;
  for (const EpsgIndexEntry& row : data.index) {
    const bool kept = row.kind != EpsgIndexEntry::Kind::kLeftOut;
    if (kept) coded.insert(row.entry);
    const std::string code = std::to_string(row.code);
    const bool codeMatches = std::find(words.begin(), words.end(), code) != words.end() ||
                             std::find(words.begin(), words.end(), "EPSG:" + code) != words.end();
    if (!kept) {
      if (codeMatches) leftOut.push_back(LeftOutText(row));
      continue;
    }
    if (!codeMatches && !NameHoldsEveryWord(row.entry, words)) continue;
    const bool projected = row.NamesProjection();
    // A system on its own meridian is read and written in degrees, whatever
    // EPSG's unit of its axes.
    const bool meridian = row.kind == EpsgIndexEntry::Kind::kMeridian;
    lines.push_back(FindLine("EPSG:" + code,
                             projected ? projectedKind(row.entry) : "geographic datum",
                             meridian ? "degree" : row.unit, row.entry));
  }
  // Entries that no code stands for.
  for (int32_t p = 1; p <= catalogues.projectionCount; ++p) {
    const std::string name = TrimmedField(catalogues.Projection(p).name);
    if (IsGreenwichGeographic(catalogues.Projection(p)) || coded.count(name) ||
        !NameHoldsEveryWord(name, words)) {
      continue;
    }
    lines.push_back(FindLine("-", projectedKind(name), "metre", name));
  }
  for (int32_t d = 1; d <= catalogues.datumCount; ++d) {
    const std::string name = TrimmedField(catalogues.Datum(d).name);
    if (coded.count(name) || !NameHoldsEveryWord(name, words)) continue;
    lines.push_back(FindLine("-", "geographic datum", "degree", name));
  }
  for (const std::string& line : lines) std::printf("%s\n", TerminalTextOf(line).c_str());
  for (const std::string& why : leftOut) {
    std::fprintf(stderr, "varnel: %s\n", TerminalTextOf(why).c_str());
  }
  if (lines.empty() && !leftOut.empty()) return kUsage;
  if (lines.empty()) {
    std::fprintf(stderr, "varnel: no entry holds those words or codes\n");
    return kUsage;
  }
  return kSuccess;
}

int Info(const std::string& text, const Data& data) {
  NamedSystem system;
  if (!ResolveOne(ResolveSystem(text, *data.catalogues, data.index), text, "system", system)) {
    return kUsage;
  }
  const Catalogues& catalogues = *data.catalogues;
  const CrsSide side = SideOf(system, 0, catalogues);
  std::fputs(TerminalTextOf(InfoReportText(system, side, data.index)).c_str(), stdout);
  // The user's own entries among the three, and where they are kept.
  if (const std::string own =
          OwnEntriesText(catalogues, side.projection, side.datum, side.ellipsoid);
      !own.empty()) {
    std::printf("\n%s\n", TerminalTextOf(own).c_str());
  }
  return kSuccess;
}

// Standard output is checked as any file is: what could not be written is a
// file fault, not a success.
int CheckStandardOutput(int status) {
  const int error = std::fflush(stdout) != 0 ? errno : 0;
  if (error == 0 && !std::ferror(stdout)) return status;
  // A failure of an earlier write leaves only its mark.
  std::fprintf(
      stderr, "varnel: standard output: %s\n",
      error != 0 ? DescribeError(ErrorNumberFromErrno(error)).c_str() : "cannot be written");
  return kFileFault;
}

int RunCommand(int argc, char** argv) {
  // A point after "--" may start with a minus sign: it is taken off first.
  std::vector<std::string> point;
  bool pointGiven = false;
  int parsed = argc;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--") {
      point.assign(argv + i + 1, argv + argc);
      pointGiven = true;
      parsed = i;
      break;
    }
  }

  CLI::App app{"Transforms coordinates between coordinate reference systems.", "varnel"};
  app.set_version_flag("--version", std::string("varnel ") + VARNEL_VERSION);
  app.require_subcommand(1);
  app.fallthrough();
  std::string dataFolder;
  app.add_option("--data", dataFolder, "Folder of the catalogue files");
  std::string gridFolder;
  app.add_option("--grids", gridFolder,
                 "Folder of grid files (NTv2 .gsb, NADCON .las/.los), looked in first");

  TransformOptions transform;
  CLI::App* transformCommand = app.add_subcommand(
      "transform",
      "Transforms a list file (or standard input) or one point given after --.\n"
      "  varnel transform --from \"OSGB36 / British National Grid\" --to \"WGS 84\" "
      "points.txt out.txt\n"
      "  varnel transform --from EPSG:27700 --to EPSG:4326 --lf -- 577274.98 69740.49\n"
      "With --csv the input is delimited text with a header row, kept as it is; in each row\n"
      "the coordinate cells get the results and every other cell stays as it was. --x is\n"
      "the easting or the longitude, --y the northing or the latitude, --z the height\n"
      "(metres on a geographic side, the length unit on a projected one; without --z\n"
      "heights are 0 and none is written). Without --x and --y the first columns named\n"
      "like the start's coordinates are taken (e, east, easting, x; n, north, northing, y;\n"
      "lon, long, longitude, x; lat, latitude, y; h, height, z, ...), else those of a list\n"
      "line: easting, northing; or latitude, longitude, height.\n"
      "  varnel transform --from EPSG:27700 --to EPSG:4326 --csv survey.csv out.csv");
  transformCommand
      ->add_option("--from", transform.from.system, "Start system: entry name or EPSG:code")
      ->required();
  transformCommand
      ->add_option("--to", transform.to.system, "Target system: entry name or EPSG:code")
      ->required();
  transformCommand->add_option("--from-datum", transform.from.datum,
                               "Replaces the datum of the start system");
  transformCommand->add_option("--to-datum", transform.to.datum,
                               "Replaces the datum of the target system");
  const std::string unitHelp = "Length unit (" + LengthUnitNames() + "); default: the system's own";
  transformCommand->add_option("--from-unit", transform.from.unit, unitHelp);
  transformCommand->add_option("--to-unit", transform.to.unit, unitHelp);
  transformCommand
      ->add_option("--from-angles", transform.from.angles,
                   "dms (packed DDD.MMSSsss) or deg (decimal degrees); default deg")
      ->check(CLI::IsMember({"dms", "deg"}));
  transformCommand
      ->add_option("--to-angles", transform.to.angles,
                   "dms (packed DDD.MMSSsss) or deg (decimal degrees); default deg")
      ->check(CLI::IsMember({"dms", "deg"}));
  transformCommand->add_option("--geographic-output", transform.geographicOutput,
                               "Also writes the geographic lines of a projected target here");
  transformCommand->add_flag("--lf", transform.lf, "LF line ends (default CR LF)");
  transformCommand->add_flag("--keep-going", transform.keepGoing,
                             "Reports each bad line and leaves its output line empty");
  transformCommand->add_option("--threads", transform.threads, "Threads (default: all cores)")
      ->check(CLI::NonNegativeNumber);
  CLI::Option* csvFlag = transformCommand->add_flag(
      "--csv", transform.csv, "Delimited text with a header row (comma, semicolon or tab)");
  transformCommand
      ->add_option("--delimiter", transform.delimiter,
                   ", or ; or tab (default: the one the header row holds most of)")
      ->needs(csvFlag);
  transformCommand
      ->add_option("--x", transform.x, "Column of the easting or longitude: header name or number")
      ->needs(csvFlag);
  transformCommand
      ->add_option("--y", transform.y, "Column of the northing or latitude: header name or number")
      ->needs(csvFlag);
  transformCommand->add_option("--z", transform.z, "Column of the height: header name or number")
      ->needs(csvFlag);
  transformCommand
      ->add_option("INPUT-OUTPUT", transform.files,
                   "INPUT [OUTPUT] files; - or none for standard input and output")
      ->expected(0, 2);

  std::vector<std::string> words;
  CLI::App* findCommand =
      app.add_subcommand("find",
                         "Lists entries holding every word, or with an EPSG code.\n"
                         "  varnel find british national grid");
  findCommand->add_option("WORD", words, "Words or codes")->required();

  std::string infoSystem;
  CLI::App* infoCommand = app.add_subcommand(
      "info", "Prints the CRS information of a system.\n  varnel info EPSG:27700");
  infoCommand->add_option("SYSTEM", infoSystem, "Entry name or EPSG:code")->required();

  try {
    app.parse(parsed, argv);
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error);
    return status == 0 ? kSuccess : kUsage;
  }
  if (pointGiven && !*transformCommand) {
    std::fprintf(stderr, "varnel: a point after -- goes with transform\n");
    return kUsage;
  }
  if (pointGiven && !transform.files.empty()) {
    std::fprintf(stderr, "varnel: a point after -- takes no INPUT or OUTPUT file\n");
    return kUsage;
  }
  transform.pointGiven = pointGiven;
  transform.point = point;

  SetNamedGridFolder(gridFolder);
  Data data;
  if (!LoadData(dataFolder, data)) return kFileFault;
  if (*transformCommand) return Transform(transform, data);
  if (*findCommand) return Find(words, data);
  return Info(infoSystem, data);
}
}  // namespace

int VarnelMain(int argc, char** argv) {
  UseTerminalCharacterSet();
  InstallMessageFunction(&PrintMessage);
  SetProgramConstants();
  return CheckStandardOutput(RunCommand(argc, argv));
}
