// Where the programs find their catalogues. They look, in order, in the
// current folder (a folder of one's own catalogues wins), the user's data
// folder and the installed folder; the first that holds all three catalogue
// files is taken.
#pragma once

#include <optional>
#include <string>
#include <vector>

// The value of an environment variable, "" when it is not set.
std::string Environment(const char* name);

// The user's folder: $XDG_DATA_HOME/varnel, or ~/.local/share/varnel when
// XDG_DATA_HOME is unset, empty or not absolute (as the XDG base directory
// rules say); "" when no absolute folder can be formed. On Windows
// %LOCALAPPDATA%\varnel.
std::string UserCatalogueFolder();

// The file of the running program, by its full path; "" when the system
// does not tell.
std::string RunningProgramFile();

// The folder the catalogues are installed in (VARNEL_DATA_DIR of the build);
// on Windows the folder of the running program, which they ship beside.
std::string InstalledCatalogueFolder();

// The folders to look in: the current folder (""), the user's folder, then
// installed. A folder that is not known ("") is left out.
std::vector<std::string> CatalogueSearchFolders(
    const std::string& installed = InstalledCatalogueFolder());

// All three catalogue files are in folder ("" for the current folder).
bool HoldsCatalogues(const std::string& folder);
// At least one of them is.
bool HoldsAnyCatalogue(const std::string& folder);

// The first of folders that holds all three catalogue files.
std::optional<std::string> FindCatalogueFolder(const std::vector<std::string>& folders);

// The folders for a message, one a line, the current one by its full path.
std::string LookedInText(const std::vector<std::string>& folders);

// No folder holds the catalogues: the loader's message for the first file
// missing from the last folder, followed by the folders looked in.
void ShowCataloguesNotFound(const std::vector<std::string>& folders);

// The folder the program's catalogues came from ("" for the current folder);
// the files that ship beside the catalogues are found there as well.
void SetProgramCatalogueFolder(const std::string& folder);
const std::string& ProgramCatalogueFolder();
