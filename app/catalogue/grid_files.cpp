#include "grid_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "catalogue.h"
#include "catalogue_folders.h"
#include "fixed_text.h"
#include "ostrak32.h"
#include "user_entries.h"

namespace {

void AddOnce(std::vector<std::string>& folders, const std::string& folder) {
  if (std::find(folders.begin(), folders.end(), folder) == folders.end()) {
    folders.push_back(folder);
  }
}

}  // namespace

bool IsGridShiftMethod(int32_t methodCode) {
  return methodCode == kNtv2 || methodCode == kNadcon;
}

std::optional<GridReference> ReadGridReference(std::string_view areaField) {
  std::string_view items[3];
  std::string_view rest = TrimBlanks(areaField);
  for (std::string_view& item : items) {
    const size_t bar = rest.find('|');
    if (bar == std::string_view::npos) return std::nullopt;
    item = TrimBlanks(rest.substr(0, bar));
    rest = rest.substr(bar + 1);
  }
  if (items[0].empty() || items[1].empty()) return std::nullopt;
  return GridReference{items[0], items[1], items[2], TrimBlanks(rest)};
}

std::string_view AreaOfUseText(const DatumRecord& datum) {
  const std::string_view field = FieldView(datum.areaOfUse, kAreaOfUseWidth);
  if (IsGridShiftMethod(datum.methodCode)) {
    if (const std::optional<GridReference> grid = ReadGridReference(field)) return grid->area;
  }
  return TrimBlanks(field);
}

std::string NadconLongitudeFile(std::string_view latitudeFile) {
  std::string name(latitudeFile);
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos || name.size() - dot != 4) return name + ".los";
  const bool upper = name[dot + 1] == 'L';
  name.replace(dot + 1, 3, upper ? "LOS" : "los");
  return name;
}

std::vector<std::string> GridSearchFolders(const std::string& named) {
  std::vector<std::string> folders;
  if (!named.empty()) AddOnce(folders, named);
  if (const std::string grids = Environment("VARNEL_GRIDS"); !grids.empty()) {
    AddOnce(folders, grids);
  }
  for (const std::string& folder : CatalogueSearchFolders()) AddOnce(folders, folder);
  // Where the grids of the user's own datums are kept.
  if (const std::string own = UserEntriesFolder(); !own.empty()) AddOnce(folders, own);
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

std::string Degrees(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", value);
  return text;
}

// The grid at path and, of a NADCON pair, the longitude file beside it; false
// and why ("FILE cannot be read: reason") when either cannot be read.
bool ReadGridFiles(int32_t methodCode, const std::string& path,
                   std::shared_ptr<const GridFile>& grid, std::shared_ptr<const GridFile>& second,
                   std::string& problem) {
  std::string why;
  std::string file = path;
  grid = ReadWhole(file, &why);
  if (grid && methodCode == kNadcon) {
    const std::filesystem::path latitude(path);
    file = (latitude.parent_path() / NadconLongitudeFile(latitude.filename().string())).string();
    second = ReadWhole(file, &why);
  }
  if (grid && (second || methodCode != kNadcon)) return true;
  problem = file + " cannot be read: " + why;
  return false;
}

// The box the grid at path covers, as the reports give it.
std::string GridExtentText(int32_t methodCode, const std::string& path) {
  std::shared_ptr<const GridFile> grid, second;
  std::string problem;
  if (!ReadGridFiles(methodCode, path, grid, second, problem)) return "unknown: " + problem;
  const std::optional<std::string> extent = GridExtent(methodCode, *grid, second.get());
  return extent ? *extent : std::string("unknown: the file is damaged");
}

}  // namespace

std::shared_ptr<const GridFile> GridStore::Get(const std::string& name, std::string* problem) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (const auto found = grids_.find(name); found != grids_.end()) return found->second;
  std::shared_ptr<const GridFile> grid;
  const std::optional<std::string> path = FindGridFile(name, folders_);
  if (!path) {
    *problem = "not found";
  } else {
    grid = ReadWhole(*path, problem);
  }
  if (grid) grids_[name] = grid;
  return grid;
}

std::optional<std::string> GridExtent(int32_t methodCode, const GridFile& grid,
                                      const GridFile* second) {
  double south = 0, west = 0, north = 0, east = 0;
  const int32_t code = GRIDEXTENT(
      methodCode, grid.bytes.data(), static_cast<int64_t>(grid.bytes.size()),
      second ? second->bytes.data() : nullptr,
      second ? static_cast<int64_t>(second->bytes.size()) : 0, &south, &west, &north, &east);
  if (code != OSTRAK_GRID_SHIFTED) return std::nullopt;
  return "latitude " + Degrees(south) + " to " + Degrees(north) + ", longitude " + Degrees(west) +
         " to " + Degrees(east) + " degrees";
}

void GridStore::Forget(const std::string& name) {
  const std::lock_guard<std::mutex> lock(mutex_);
  grids_.erase(name);
}

std::string GridCheckReason(int32_t methodCode, const GridFile& grid, const GridFile* second) {
  char reason[200] = "";
  const auto length = [](const GridFile& g) { return static_cast<int64_t>(g.bytes.size()); };
  const int32_t code =
      methodCode == kNadcon
          ? (second == nullptr ? OSTRAK_GRID_DAMAGED
                               : CHECKNADCON(grid.bytes.data(), length(grid), second->bytes.data(),
                                             length(*second), reason, sizeof reason))
          : CHECKNTV2(grid.bytes.data(), length(grid), reason, sizeof reason);
  if (code == OSTRAK_GRID_SHIFTED) return "";
  return reason[0] != '\0' ? reason : "its longitude file is missing";
}

std::string GridFileProblem(int32_t methodCode, const std::string& path) {
  std::shared_ptr<const GridFile> grid, second;
  std::string problem;
  if (!ReadGridFiles(methodCode, path, grid, second, problem)) return problem;
  const std::string reason = GridCheckReason(methodCode, *grid, second.get());
  return reason.empty() ? reason : path + " is no usable grid: " + reason;
}

std::string FolderListText(const std::vector<std::string>& folders) {
  std::string text;
  for (const std::string& folder : folders) {
    if (!text.empty()) text += ", ";
    text += folder.empty() ? std::string("the current folder") : folder;
  }
  return text;
}

GridDescription DescribeGrid(int32_t methodCode, const std::string& file,
                             const std::vector<std::string>& folders) {
  GridDescription description;
  const std::optional<std::string> path = FindGridFile(file, folders);
  if (!path) {
    description.where = "not installed; looked for in " + FolderListText(folders);
    description.extent = "unknown while the grid is not installed";
    return description;
  }
  description.where = *path;
  description.extent = GridExtentText(methodCode, *path);
  return description;
}
