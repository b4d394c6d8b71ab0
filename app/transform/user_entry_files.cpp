#include "user_entry_files.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>

#include "errortext.h"
#include "list_files.h"
#include "user_entries.h"

namespace {

// The records first to last as their file holds them: a count line, then a
// line each, CR LF.
template <typename Record>
bool WriteEntries(const std::string& path, const Record* records, int32_t first, int32_t last,
                  std::string& problem) {
  LineWriter out;
  int32_t error = out.Open(path);
  if (error == 0) {
    out.Write(std::to_string(std::max(last - first + 1, 0)));
    out.EndLine();
    for (int32_t p = first; p <= last; ++p) {
      out.Write(CatalogueLine(records[p - 1]));
      out.EndLine();
    }
    error = out.Close();
  }
  if (error == 0) return true;
  std::string why = ErrorDescription(error);
  if (why.rfind(": ", 0) == 0) why.erase(0, 2);
  problem = "'" + path + "' cannot be written: " + why;
  return false;
}

}  // namespace

bool SaveUserEntries(const Catalogues& c, const std::string& folder, std::string& problem) {
  if (folder.empty()) {
    problem = "There is no folder for your own entries (neither XDG_DATA_HOME nor HOME is set).";
    return false;
  }
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    problem = "The folder '" + folder + "' cannot be made: " + error.message();
    return false;
  }
  return WriteEntries(CatalogueFilePath(folder, kUserEllipsoidFile), c.ellipsoids,
                      c.shippedEllipsoidCount + 1, c.ellipsoidCount, problem) &&
         WriteEntries(CatalogueFilePath(folder, kUserDatumFile), c.datums, c.shippedDatumCount + 1,
                      c.datumCount, problem) &&
         WriteEntries(CatalogueFilePath(folder, kUserProjectionFile), c.projections,
                      c.shippedProjectionCount + 1, c.projectionCount, problem);
}
