#include "list_choosers.h"

#include <cstring>

#include "errormessage.h"

namespace {

// Each chooser starts in the folder it was first opened in: the current
// directory of that moment.
char openFolder[kFileNameCapacity] = "";
char saveFolder[kFileNameCapacity] = "";

// "All Files (*.*)|*.*||" with every "|" a NUL: the double-NUL filter list.
constexpr char kFilter[] = "All Files (*.*)\0*.*\0";

BOOL RunChooser(HWND owner, char* fileName, bool save, const char* routine) {
  ProgramErrorTrap trap(routine);
  char* folder = save ? saveFolder : openFolder;
  if (folder[0] == '\0' && GetCurrentDirectoryA(kFileNameCapacity, folder) == 0) {
    folder[0] = '\0';
  }
  char title[kFileNameCapacity] = "";
  OPENFILENAMEA ofn;
  std::memset(&ofn, 0, sizeof ofn);
  // The record without the fields later platform versions appended.
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  ofn.hwndOwner = owner;
  ofn.hInstance = nullptr;
  ofn.lpstrFilter = kFilter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = fileName;
  ofn.nMaxFile = kFileNameCapacity;
  ofn.lpstrFileTitle = title;
  ofn.nMaxFileTitle = sizeof title;
  ofn.lpstrInitialDir = folder;
  ofn.lpfnHook = &ChooserPlacementHook;
  if (save) {
    ofn.lpstrTitle = "Save list of coordinates";
    ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_PATHMUSTEXIST | OFN_EXTENSIONDIFFERENT |
                OFN_OVERWRITEPROMPT;
    ofn.lpstrDefExt = "DAT";
    return GetSaveFileNameA(&ofn);
  }
  ofn.lpstrTitle = "Open list of coordinates";
  ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_FILEMUSTEXIST;
  return GetOpenFileNameA(&ofn);
}

}  // namespace

BOOL OpenListChooser(HWND owner, char* fileName) {
  return RunChooser(owner, fileName, false, "OpenListChooser");
}

BOOL SaveListChooser(HWND owner, char* fileName) {
  return RunChooser(owner, fileName, true, "SaveListChooser");
}

UINT_PTR CALLBACK ChooserPlacementHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == CDN_INITDONE) {
    const HWND chooser = GetParent(hook);
    const HWND owner = GetParent(chooser);
    RECT ownerRect;
    RECT chooserRect;
    GetWindowRect(owner, &ownerRect);
    GetWindowRect(chooser, &chooserRect);
    // Halves are signed divisions truncated toward zero, as C's are.
    const int x = ownerRect.left + (ownerRect.right - ownerRect.left) / 2 -
                  (chooserRect.right - chooserRect.left) / 2;
    const int y = ownerRect.top + (ownerRect.bottom - ownerRect.top) / 2 -
                  (chooserRect.bottom - chooserRect.top) / 2;
    SetWindowPos(chooser, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  }
  return 1;
}
