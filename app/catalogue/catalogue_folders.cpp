#include "catalogue_folders.h"

#include <cstdlib>
#include <filesystem>

#include "catalogue.h"
#include "message.h"
#include "message_box_styles.h"

#ifdef _WIN32
#include <windows.h>
#endif

#ifndef VARNEL_DATA_DIR
#define VARNEL_DATA_DIR ""
#endif

namespace {

constexpr const char* kCatalogueFiles[] = {kEllipsoidFile, kDatumFile, kProjectionFile};

bool IsAbsolute(const std::string& folder) {
  return !folder.empty() && std::filesystem::path(folder).is_absolute();
}

bool HoldsFile(const std::string& folder, const char* name) {
  std::error_code ignored;
  return std::filesystem::is_regular_file(CatalogueFilePath(folder, name), ignored);
}

std::string& StoredProgramFolder() {
  static std::string folder;
  return folder;
}

}  // namespace

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

std::string UserCatalogueFolder() {
#ifdef _WIN32
  const std::string local = Environment("LOCALAPPDATA");
  return IsAbsolute(local) ? local + "\\varnel" : std::string();
#else
  if (const std::string data = Environment("XDG_DATA_HOME"); IsAbsolute(data)) {
    return data + "/varnel";
  }
  const std::string home = Environment("HOME");
  return IsAbsolute(home) ? home + "/.local/share/varnel" : std::string();
#endif
}

std::string RunningProgramFile() {
#ifdef _WIN32
  // In the ANSI code page, as every file name the program opens is (fopen,
  // the A functions).
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::string();
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    // Cut short: a longer path, up to the longest Windows allows.
    if (path.size() >= 32768) return std::string();
    path.resize(path.size() * 2);
  }
#else
  std::error_code error;
  const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : path.string();
#endif
}

std::string InstalledCatalogueFolder() {
#ifdef _WIN32
  // The Windows download puts the catalogues beside the programs, wherever
  // they were installed or unpacked.
  std::string path = RunningProgramFile();
  const size_t separator = path.find_last_of("\\/");
  if (separator == std::string::npos) return std::string();
  // A drive's root keeps its separator: "C:" alone is drive C's current folder.
  const bool root = separator == 0 || path[separator - 1] == ':';
  path.resize(root ? separator + 1 : separator);
  return path;
#else
  return VARNEL_DATA_DIR;
#endif
}

std::vector<std::string> CatalogueSearchFolders(const std::string& installed) {
  std::vector<std::string> folders{""};
  if (const std::string user = UserCatalogueFolder(); !user.empty()) folders.push_back(user);
  if (!installed.empty()) folders.push_back(installed);
  return folders;
}

bool HoldsCatalogues(const std::string& folder) {
  for (const char* name : kCatalogueFiles) {
    if (!HoldsFile(folder, name)) return false;
  }
  return true;
}

bool HoldsAnyCatalogue(const std::string& folder) {
  for (const char* name : kCatalogueFiles) {
    if (HoldsFile(folder, name)) return true;
  }
  return false;
}

std::optional<std::string> FindCatalogueFolder(const std::vector<std::string>& folders) {
  for (const std::string& folder : folders) {
    if (HoldsCatalogues(folder)) return folder;
  }
  return std::nullopt;
}

std::string LookedInText(const std::vector<std::string>& folders) {
  std::string text;
  for (const std::string& folder : folders) {
    if (!text.empty()) text += "\n";
    if (folder.empty()) {
      std::error_code unknown;
      const std::filesystem::path current = std::filesystem::current_path(unknown);
      text += unknown ? std::string(".") : current.string();
      text += " (current folder)";
    } else {
      text += folder;
    }
  }
  return text;
}

void ShowCataloguesNotFound(const std::vector<std::string>& folders) {
  const char* missing = kEllipsoidFile;
  if (!folders.empty()) {
    for (const char* name : kCatalogueFiles) {
      if (!HoldsFile(folders.back(), name)) {
        missing = name;
        break;
      }
    }
  }
  ShowMessage(std::string("File '") + missing + "' not found! Program stops\n\nLooked in:\n" +
                  LookedInText(folders),
              kCaptionError, MB_OK | MB_ICONHAND | MB_TASKMODAL);
}

void SetProgramCatalogueFolder(const std::string& folder) {
  StoredProgramFolder() = folder;
}

const std::string& ProgramCatalogueFolder() {
  return StoredProgramFolder();
}
