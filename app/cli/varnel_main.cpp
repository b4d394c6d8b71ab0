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
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "catalogue.h"
#include "catalogue_folders.h"
#include "epsg_index.h"
#include "errormessage.h"
#include "errortext.h"
#include "fixed_text.h"
#include "info_report.h"
#include "list_engine.h"
#include "message.h"
#include "native_path.h"
#include "point_transform.h"
#include "systems.h"
#include "text_encoding.h"
#include "units.h"
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

int Transform(const TransformOptions& options, const Data& data) {
  CrsSide start;
  CrsSide target;
  if (!BuildSide(options.from, "start system", data, start) ||
      !BuildSide(options.to, "target system", data, target)) {
    return kUsage;
  }
  if (!CheckSidesAreUsable(start, target, *data.catalogues)) return kUsage;
  if (options.pointGiven && !CheckPoint(options.point)) return kUsage;
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

  // The target's own lines go to OUTPUT; a projected target may also write
  // its geographic lines, as the window's second output does. Files named
  // are written beside themselves and take their names when the run ends.
  LineWriter main;
  LineWriter second;
  if (!OpenOutput(outputName, main) ||
      (!options.geographicOutput.empty() && !OpenOutput(options.geographicOutput, second))) {
    return kFileFault;
  }

  ListEngineOptions engine;
  engine.threads = options.threads;
  engine.lineEnd = options.lf ? "\n" : "\r\n";
  auto report = [&](int64_t line, const std::vector<CapturedMessage>& messages) {
    for (const CapturedMessage& message : messages) {
      std::fprintf(stderr, "%s:%lld: %s\n", inputName.c_str(), static_cast<long long>(line),
                   message.text.c_str());
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
  switch (method) {
    case kTransverseMercator:
      return "Transverse Mercator";
    case kLambertConic2SP:
      return "Lambert Conic Conformal (2SP)";
    case kObliqueStereographic:
      return "Oblique Stereographic";
    default:
      return "method " + std::to_string(method);
  }
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
    return "projected, " + MethodName(found == methods.end() ? 0 : found->second);
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
    const bool projected = row.kind == EpsgIndexEntry::Kind::kProjected;
    lines.push_back(FindLine("EPSG:" + code,
                             projected ? projectedKind(row.entry) : "geographic datum", row.unit,
                             row.entry));
  }
  // Entries that no code stands for.
  for (int32_t p = 1; p <= catalogues.projectionCount; ++p) {
    const std::string name = TrimmedField(catalogues.Projection(p).name);
    if (IsGeographic(catalogues.Projection(p)) || coded.count(name) ||
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
  const CrsSide side = SideOf(system, 0, *data.catalogues);
  std::fputs(TerminalTextOf(InfoReportText(system, side, data.index)).c_str(), stdout);
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

  TransformOptions transform;
  CLI::App* transformCommand = app.add_subcommand(
      "transform",
      "Transforms a list file (or standard input) or one point given after --.\n"
      "  varnel transform --from \"OSGB36 / British National Grid\" --to \"WGS 84\" "
      "points.txt out.txt\n"
      "  varnel transform --from EPSG:27700 --to EPSG:4326 --lf -- 577274.98 69740.49");
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
