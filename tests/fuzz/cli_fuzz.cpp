// The command-line program on any arguments and any list file. Each byte
// before the first 0xFF picks an argument from a vocabulary of the program's
// options, systems, values and file names (among them names that lead to one
// file: a link, "./", standard input); the bytes after it are the text of
// in.txt, which is also standard input.
// Afterwards: the exit status is one the program documents; a file has
// changed or come into being only where the run named it as an output and
// ended with status 0 or 1 (a usage mistake or a file fault, 2 or 3, leaves
// every file as it was), and never the file the run read; nothing else is
// left in the folder.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "temp_folder.h"
#include "varnel_cli.h"

namespace {

TempFolder* folder = nullptr;

const char* const kVocabulary[] = {
    "transform",
    "find",
    "info",
    "--from",
    "--to",
    "EPSG:27700",
    "EPSG:4326",
    "EPSG:32631",
    "EPSG:2278",
    "OSGB36 (UK - Great Britain onshore and...) [UKOOA-Pet]",
    "WGS 84",
    "--from-angles",
    "--to-angles",
    "dms",
    "deg",
    "--from-unit",
    "--to-unit",
    "ftUS",
    "--geographic-output",
    "--lf",
    "--keep-going",
    "--threads",
    "0",
    "1",
    "3",
    "1000",
    "--data",
    ".",
    "--",
    "-",
    "in.txt",
    "./in.txt",
    "link.txt",
    "out.txt",
    "./out.txt",
    "geo.txt",
    "sub",
    "missing.txt",
    "400000",
    "-100000",
    "52.3",
    "1.5",
    "",
    " ",
    "- -",
    ". .",
    "5-",
    "1.2.3",
    "--5",
    "1e15",
    "400",
    "--help",
    "--version",
    "--bogus",
    "--csv",
    "--delimiter",
    ";",
    "tab",
    "--x",
    "--y",
    "--z",
    "easting",
};
constexpr size_t kVocabularySize = sizeof kVocabulary / sizeof kVocabulary[0];

// The folder's regular files and their contents; the link and the sub-folder
// are checked apart.
std::map<std::string, std::string> Files() {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder->path())) {
    const std::string name = entry.path().filename().string();
    if (entry.is_symlink() || entry.is_directory()) {
      files[name] = entry.is_symlink() ? "<link>" : "<folder>";
    } else {
      files[name] = ReadFile(entry.path().string());
    }
  }
  return files;
}

// The file a transform reads, by a plain reading of the arguments: the first
// word after "transform" that is neither an option nor an option's value.
// "in.txt" for standard input (which is in.txt here); "" when the run reads
// no file (a point after --, or another command).
std::string InputOf(const std::vector<std::string>& arguments) {
  static const std::vector<std::string> withValue = {
      "--from",    "--to",      "--from-angles", "--to-angles",        "--from-unit",
      "--to-unit", "--threads", "--data",        "--geographic-output"};
  bool transform = false;
  std::vector<std::string> words;
  for (size_t i = 1; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    if (word == "--") return "";
    if (std::find(withValue.begin(), withValue.end(), word) != withValue.end()) {
      ++i;
    } else if (word == "transform" && !transform) {
      transform = true;
    } else if (word.rfind("--", 0) != 0 && transform) {
      words.push_back(word);
    }
  }
  if (!transform) return "";
  if (words.empty() || words[0] == "-" || words[0] == "link.txt") return "in.txt";
  return words[0].rfind("./", 0) == 0 ? words[0].substr(2) : words[0];
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static TempFolder temp;
  folder = &temp;
  ::setenv("VARNEL_DATA", VARNEL_DATA_DIR, 1);
  // What the program prints is not the oracle's business.
  const int null = ::open("/dev/null", O_WRONLY);
  ::dup2(null, STDOUT_FILENO);
  ::close(null);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> arguments = {"varnel"};
  size_t at = 0;
  for (; at < size && data[at] != 0xFF && arguments.size() < 24; ++at) {
    arguments.push_back(kVocabulary[data[at] % kVocabularySize]);
  }
  const std::string text = at < size ? std::string(data + at + 1, data + size) : std::string();

  std::filesystem::current_path(folder->path());
  for (const auto& entry : std::filesystem::directory_iterator(folder->path())) {
    std::filesystem::remove_all(entry.path());
  }
  WriteFile(folder->File("in.txt"), text);
  WriteFile(folder->File("out.txt"), "earlier out\n");
  WriteFile(folder->File("geo.txt"), "earlier geo\n");
  std::filesystem::create_symlink("in.txt", folder->File("link.txt"));
  std::filesystem::create_directory(folder->File("sub"));
  const int input = ::open("in.txt", O_RDONLY);
  ::dup2(input, STDIN_FILENO);
  ::close(input);
  const std::map<std::string, std::string> before = Files();

  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  // Its messages too; the oracle's own go to standard error.
  const int savedError = ::dup(STDERR_FILENO);
  const int null = ::open("/dev/null", O_WRONLY);
  ::dup2(null, STDERR_FILENO);
  ::close(null);
  const int status = VarnelMain(static_cast<int>(arguments.size()), argv.data());
  ::dup2(savedError, STDERR_FILENO);
  ::close(savedError);

  FUZZ_CHECK(status >= 0 && status <= 3, "exit status %d", status);
  // A file may change, or come into being, only as an output the run named
  // and completed or stopped at a bad line.
  auto named = [&](const std::string& name) {
    for (const std::string& argument : arguments) {
      if (argument == name || argument == "./" + name ||
          (name == "in.txt" && argument == "link.txt")) {
        return true;
      }
    }
    return false;
  };
  std::map<std::string, std::string> after = Files();
  for (const auto& [name, bytes] : before) after.try_emplace(name, "<gone>");
  for (const auto& [name, bytes] : after) {
    const auto earlier = before.find(name);
    if (earlier != before.end() && earlier->second == bytes) continue;
    FUZZ_CHECK(status <= 1 && named(name) && bytes != "<gone>", "%s changed, status %d",
               name.c_str(), status);
    FUZZ_CHECK(name != InputOf(arguments), "%s, the input, changed", name.c_str());
  }
  FUZZ_CHECK(after.at("link.txt") == "<link>" && after.at("sub") == "<folder>", "link or folder");
  return 0;
}
