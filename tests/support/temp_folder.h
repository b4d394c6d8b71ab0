// A fresh folder for one test, removed with its contents afterwards; the
// current directory set to a folder for a while; whole files read and written.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

class TempFolder {
 public:
  TempFolder() {
#ifdef _WIN32
    // No mkdtemp: a name from a random number, made only if it is new.
    std::random_device random;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      const std::filesystem::path folder =
          std::filesystem::temp_directory_path() / ("varnel-test-" + std::to_string(random()));
      std::error_code error;
      if (std::filesystem::create_directory(folder, error)) path_ = folder.generic_string();
    }
#else
    std::string pattern = (std::filesystem::temp_directory_path() / "varnel-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
#endif
  }
  ~TempFolder() {
    std::error_code ignored;
    // What a test made read-only must be writable to be removed: a folder to
    // be emptied, and on Windows a file as well.
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    for (std::filesystem::recursive_directory_iterator entry(path_, ignored), end;
         !ignored && entry != end; entry.increment(ignored)) {
      std::filesystem::permissions(entry->path(), std::filesystem::perms::owner_write,
                                   std::filesystem::perm_options::add, ignored);
    }
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const {
    return path_;
  }
  std::string File(const std::string& name) const {
    return path_ + "/" + name;
  }

 private:
  std::string path_;
};

// The folder is the current directory while this lives.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::string& folder)
      : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~CurrentDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
  }
  CurrentDirectory(const CurrentDirectory&) = delete;
  CurrentDirectory& operator=(const CurrentDirectory&) = delete;

 private:
  std::filesystem::path previous_;
};

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}
