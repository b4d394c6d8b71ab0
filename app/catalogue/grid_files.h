// Where the programs find the grid files of grid datum shifts (NTv2), and
// how a run holds them: each grid is read once and shared by the run's
// workers, never read per line.
//
// The folders, in order: the one the user names (varnel --grids DIR), the
// one of $VARNEL_GRIDS, the catalogue folders (current, user's, installed),
// then the system's PROJ data folder ($PROJ_DATA, else /usr/share/proj,
// where Debian's proj-data installs the agencies' grids). On Windows the
// grids ship beside the catalogues, in the installed folder.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// The folders to look for grids in, named ("" stands for the current
// folder); a folder that is not known is left out, and one named twice is
// looked in once.
std::vector<std::string> GridSearchFolders(const std::string& named = "");

// The first of folders holding a file of that name, by its path; the name
// alone is no path (a name with a folder in it is taken as it is).
std::optional<std::string> FindGridFile(const std::string& name,
                                        const std::vector<std::string>& folders);

// A grid file's bytes, as read whole.
struct GridFile {
  std::string path;
  std::vector<unsigned char> bytes;
};

// The grids of a run, each read at its first use; the workers share them.
class GridStore {
 public:
  explicit GridStore(std::vector<std::string> folders) : folders_(std::move(folders)) {}

  // The grid of that file name, read once; nullptr when no folder holds it
  // or it cannot be read, with why in *problem ("not found" or the system's
  // reason).
  std::shared_ptr<const GridFile> Get(const std::string& name, std::string* problem);

  const std::vector<std::string>& folders() const { return folders_; }

 private:
  std::vector<std::string> folders_;
  std::mutex mutex_;
  std::map<std::string, std::shared_ptr<const GridFile>> grids_;
  std::map<std::string, std::string> problems_;
};
