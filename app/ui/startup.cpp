// The program's entry: common controls, program-wide values, the catalogues,
// then the main window until it is closed.
#include <windows.h>
// <commctrl.h> needs the types of <windows.h>.
#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

#include "catalogue.h"
#include "catalogue_folders.h"
#include "help_about.h"
#include "main_window.h"
#include "message.h"
#include "own_entries.h"
#include "program_index.h"
#include "program_state.h"
#include "startup.h"

namespace {

// The arrow with the hourglass while the catalogues load.
void ShowLoadingCursor(bool busy) {
  SetCursor(LoadCursorA(nullptr, busy ? IDC_APPSTARTING : IDC_ARROW));
}

// The folder to load the catalogues from. A current folder with any of them
// is the user's own set: it is taken as it is, and a missing file is reported
// as the loader does. Otherwise the first folder of the search that holds all
// three; without one, the message names the folders looked in.
std::optional<std::string> CatalogueFolder() {
  if (HoldsAnyCatalogue("")) return std::string();
  const std::vector<std::string> folders = CatalogueSearchFolders();
  std::optional<std::string> found = FindCatalogueFolder(folders);
  if (!found) ShowCataloguesNotFound(folders);
  return found;
}

}  // namespace

void InitializeCommonControls() {
  const HMODULE library = LoadLibraryA("COMCTL32.DLL");
  if (library == nullptr) return;
  using InitializeEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  if (const FARPROC found = GetProcAddress(library, "InitCommonControlsEx")) {
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                       ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_INTERNET_CLASSES};
    reinterpret_cast<InitializeEx>(reinterpret_cast<void (*)()>(found))(&classes);
  } else {
    InitCommonControls();
  }
  FreeLibrary(library);
}

int32_t ProgramMessageBox(const char* text, const char* caption, uint32_t style) {
  return MessageBoxA(nullptr, text, caption, style);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Before any file chooser can make another folder current.
  RememberProgramFolder();
  InitializeCommonControls();
  pointMode = 1;
  SetProgramConstants();
  // The four captions are constants; from here on every message of the
  // program, the catalogue loader's first, is a real message box.
  InstallMessageFunction(&ProgramMessageBox);
  SetBusyCursorHook(&ShowLoadingCursor);
  int32_t loaded = 0;
  if (const std::optional<std::string> folder = CatalogueFolder()) {
    SetProgramCatalogueFolder(*folder);
    LoadCatalogues(ProgramCatalogues(), loaded, *folder);
    LoadProgramEpsgIndex(*folder);
    if (loaded != 0) LoadUserEntriesShowingProblem();
  }
  const HWND window = CreateMainWindow();
  if (loaded == 0) {
    // A catalogue file is missing, holds a refused line or cannot be read:
    // its message has been shown, and the window goes without ever being seen.
    DestroyWindow(window);
    return 1;
  }
  RunMainWindow(window);
  return 0;
}
