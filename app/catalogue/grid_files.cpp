#include "grid_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "catalogue.h"
#include "catalogue_folders.h"

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

void AddOnce(std::vector<std::string>& folders, const std::string& folder) {
  if (std::find(folders.begin(), folders.end(), folder) == folders.end()) {
    folders.push_back(folder);
  }
}

}  // namespace

std::vector<std::string> GridSearchFolders(const std::string& named) {
  std::vector<std::string> folders;
  if (!named.empty()) AddOnce(folders, named);
  if (const std::string grids = Environment("VARNEL_GRIDS"); !grids.empty()) {
    AddOnce(folders, grids);
  }
  for (const std::string& folder : CatalogueSearchFolders()) AddOnce(folders, folder);
#ifndef _WIN32
  const std::string proj = Environment("PROJ_DATA");
  AddOnce(folders, proj.empty() ? std::string("/usr/share/proj") : proj);
#endif
  return folders;
}

std::optional<std::string> FindGridFile(const std::string& name,
                                        const std::vector<std::string>& folders) {
  if (name.empty()) return std::nullopt;
  for (const std::string& folder : folders) {
    const std::string path = CatalogueFilePath(folder, name.c_str());
    std::error_code ignored;
    if (std::filesystem::is_regular_file(path, ignored)) return path;
  }
  return std::nullopt;
}

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// The file whole, or why not.
std::shared_ptr<const GridFile> ReadWhole(const std::string& path, std::string* problem) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    *problem = std::strerror(errno);
    return nullptr;
  }
  auto grid = std::make_shared<GridFile>();
  grid->path = path;
  unsigned char chunk[1 << 16];
  for (;;) {
    const size_t read = std::fread(chunk, 1, sizeof chunk, file.get());
    grid->bytes.insert(grid->bytes.end(), chunk, chunk + read);
    if (read < sizeof chunk) break;
  }
  if (std::ferror(file.get())) {
    *problem = std::strerror(errno);
    return nullptr;
  }
  return grid;
}

}  // namespace

std::shared_ptr<const GridFile> GridStore::Get(const std::string& name, std::string* problem) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (const auto found = grids_.find(name); found != grids_.end()) return found->second;
  if (const auto failed = problems_.find(name); failed != problems_.end()) {
    *problem = failed->second;
    return nullptr;
  }
  std::shared_ptr<const GridFile> grid;
  const std::optional<std::string> path = FindGridFile(name, folders_);
  if (!path) {
    *problem = "not found";
  } else {
    grid = ReadWhole(*path, problem);
  }
  if (grid) {
    grids_[name] = grid;
  } else {
    problems_[name] = *problem;
  }
  return grid;
}
