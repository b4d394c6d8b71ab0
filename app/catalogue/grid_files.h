// Where the programs find the grid files of grid datum shifts (NTv2), and
// how a run holds them: each grid is read once and shared by the run's
// workers, never read per line.
//
// The folders, in order: the one the user names (varnel --grids DIR), the
// one of $VARNEL_GRIDS, the catalogue folders (current, user's, installed),
// the folder of the user's own entries, then the system's PROJ data folder ($PROJ_DATA, else
// /usr/share/proj, where Debian's proj-data installs the agencies' grids). On Windows the grids
// ship beside the catalogues, in the installed folder.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records.h"

// The folders to look for grids in, named ("" stands for the current
// folder); a folder that is not known is left out, and one named twice is
// looked in once.
std::vector<std::string> GridSearchFolders(const std::string& named = "");

// The first of folders holding a file of that name, by its path; the name
// alone is no path (a name with a folder in it is taken as it is).
std::optional<std::string> FindGridFile(const std::string& name,
                                        const std::vector<std::string>& folders);

// Whether a datum record shifts by a grid (NTv2 or NADCON) rather than by
// parameters.
bool IsGridShiftMethod(int32_t methodCode);

// What a grid datum record says of its grid. The record's area field begins
// with three items, each ended by "|": the grid file's name (for NADCON the
// latitude file, ".las"; the longitude file is the same name ending ".los"),
// the name of the ellipsoid of the datum the grid leads to, and who publishes
// the grid. The rest is the area of use. The record's shift parameters are
// the shift onward from the grid's datum, position vector convention.
struct GridReference {
  std::string_view file;
  std::string_view ellipsoid;
  std::string_view source;
  std::string_view area;
};

// The items of an area field (fixed width, blank-padded), blanks trimmed;
// nullopt when it does not begin with the three items or the file or
// ellipsoid is empty.
std::optional<GridReference> ReadGridReference(std::string_view areaField);

// The area of use as it is shown: of a grid record, the text after its
// three items.
std::string_view AreaOfUseText(const DatumRecord& datum);

// A NADCON pair's longitude file: the latitude file's name with ".los" in
// place of ".las" (in the case the name has).
std::string NadconLongitudeFile(std::string_view latitudeFile);

// What the reports tell of a grid: where it was found (its path, or that it
// is not installed and the folders looked in) and the box it covers (from
// the file; unknown while it is not installed).
struct GridDescription {
  std::string where;
  std::string extent;
};
GridDescription DescribeGrid(int32_t methodCode, const std::string& file,
                             const std::vector<std::string>& folders);

// The box a grid covers ("latitude S to N, longitude W to E degrees"), from
// its file (and a NADCON pair's longitude file); nullopt for a damaged grid.
std::optional<std::string> GridExtent(int32_t methodCode, const struct GridFile& grid,
                                      const struct GridFile* second);

// Why the grid (with a NADCON pair's longitude file) is no usable grid of
// the method, as the library's check tells it; "" when it is sound.
std::string GridCheckReason(int32_t methodCode, const struct GridFile& grid,
                            const struct GridFile* second);

// Why the grid at path (a NADCON pair's .las, its .los beside it) is no
// usable grid of the method, or "" when it is.
std::string GridFileProblem(int32_t methodCode, const std::string& path);

// The folders as a message names them.
std::string FolderListText(const std::vector<std::string>& folders);

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
  // reason). A grid not found is looked for again at the next call, so that
  // one installed while the program runs is found.
  std::shared_ptr<const GridFile> Get(const std::string& name, std::string* problem);

  // Reads the grid of that name afresh at its next use (one found damaged
  // and then replaced).
  void Forget(const std::string& name);

  const std::vector<std::string>& folders() const { return folders_; }

 private:
  std::vector<std::string> folders_;
  std::mutex mutex_;
  std::map<std::string, std::shared_ptr<const GridFile>> grids_;
};
