#include "entry_pages.h"

#include <cstdio>
#include <string>

#include "dialog_template.h"
#include "fixed_text.h"
#include "list_choosers.h"
#include "program_state.h"

HWND pageWindows[kPageCount] = {};

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kLabel = kChild | SS_LEFT;
constexpr DWORD kNumberBox = kChild | ES_RIGHT | ES_AUTOHSCROLL | WS_TABSTOP | WS_DISABLED;
constexpr DWORD kFileBox = kChild | ES_AUTOHSCROLL | WS_TABSTOP;
constexpr DWORD kBrowseButton = kChild | BS_CENTER | BS_VCENTER | WS_TABSTOP;

// Size of the page and where it lies in the main window's client area, in
// dialog units.
struct PageLayout {
  const char* name;
  short width, height;
  short x, y;
  bool shownAtStart;
};

constexpr PageLayout kPageLayouts[kPageCount] = {
    {"StartXY", 121, 30, 37, 80, true},        {"TargetXY", 123, 30, 249, 80, true},
    {"StartProjList", 157, 33, 27, 81, false}, {"TargetProjList", 156, 36, 239, 81, false},
    {"StartLatLon", 161, 48, 27, 266, true},   {"StartSysList", 157, 35, 27, 278, false},
    {"TargetLatLon", 161, 49, 239, 266, true}, {"TargetSysList", 157, 35, 239, 278, false},
};

void AddGridPointControls(DialogTemplate& page, int eastingLabel, int eastingBox, int northingLabel,
                          int northingBox) {
  page.Control(kLabel | WS_DISABLED, 0, 0, 0, 44, 12, eastingLabel, "STATIC", "Easting")
      .Control(kNumberBox, WS_EX_CLIENTEDGE, 44, 0, 76, 12, eastingBox, "EDIT", "")
      .Control(kLabel | WS_DISABLED, 0, 0, 16, 44, 12, northingLabel, "STATIC", "Northing")
      .Control(kNumberBox, WS_EX_CLIENTEDGE, 44, 16, 76, 12, northingBox, "EDIT", "");
}

// The latitude comes first on screen; its id is the start page's higher one.
void AddGeographicPointControls(DialogTemplate& page, int firstLabel, int latitudeBox,
                                int longitudeBox, int heightBox, short heightLabelWidth) {
  const WORD label = static_cast<WORD>(firstLabel);
  page.Control(kLabel, 0, 0, 4, 68, 12, label, "STATIC", "Latitude (pos.North)")
      .Control(kNumberBox, WS_EX_CLIENTEDGE, 84, 0, 76, 12, latitudeBox, "EDIT", "")
      .Control(kLabel, 0, 0, 20, 68, 12, label + 1, "STATIC", "Longitude (pos.East)")
      .Control(kNumberBox, WS_EX_CLIENTEDGE, 84, 16, 76, 12, longitudeBox, "EDIT", "")
      .Control(kLabel, 0, 0, 36, heightLabelWidth, 12, label + 2, "STATIC",
               "Height above ellipsoid (m)")
      .Control(kNumberBox, WS_EX_CLIENTEDGE, 84, 32, 76, 12, heightBox, "EDIT", "");
}

// The grid list pages start disabled, the geographic ones usable.
void AddListControls(DialogTemplate& page, int box, int button, bool enabled) {
  const DWORD disabled = enabled ? 0 : WS_DISABLED;
  const DWORD buttonStyle = enabled ? kChild | WS_TABSTOP : kBrowseButton | WS_DISABLED;
  page.Control(kFileBox | disabled, WS_EX_CLIENTEDGE, 0, 0, 156, 12, box, "EDIT", "")
      .Control(buttonStyle, 0, 84, 16, 68, 16, button, "BUTTON", "Browse");
}

void AddPageControls(PageId page, DialogTemplate& tmpl) {
  switch (page) {
    case StartXY:
      AddGridPointControls(tmpl, kStartEastingLabel, kStartEastingBox, kStartNorthingLabel,
                           kStartNorthingBox);
      break;
    case TargetXY:
      AddGridPointControls(tmpl, kTargetEastingLabel, kTargetEastingBox, kTargetNorthingLabel,
                           kTargetNorthingBox);
      break;
    case StartLatLon:
      AddGeographicPointControls(tmpl, kStartLatitudeLabel, kStartLatitudeBox, kStartLongitudeBox,
                                 kStartHeightBox, 84);
      break;
    case TargetLatLon:
      AddGeographicPointControls(tmpl, kTargetLatitudeLabel, kTargetLatitudeBox,
                                 kTargetLongitudeBox, kTargetHeightBox, 88);
      break;
    case StartProjList:
      AddListControls(tmpl, kStartProjListBox, kStartProjBrowse, false);
      break;
    case TargetProjList:
      AddListControls(tmpl, kTargetProjListBox, kTargetProjBrowse, false);
      break;
    case StartSysList:
      AddListControls(tmpl, kStartSysListBox, kStartSysBrowse, true);
      break;
    case TargetSysList:
      AddListControls(tmpl, kTargetSysListBox, kTargetSysBrowse, true);
      break;
    case kPageCount:
      break;
  }
}

// What a list page's "Browse" does: which chooser, its initial name, and
// where the chosen name goes.
struct Browse {
  int button;
  int box;
  bool save;
  const char* initialName;
  std::string* listFile;
};

const Browse kBrowses[] = {
    {kStartProjBrowse, kStartProjListBox, false, "*.*", &startProjListFile},
    {kTargetProjBrowse, kTargetProjListBox, true, "*", &targetProjListFile},
    {kStartSysBrowse, kStartSysListBox, false, "*.*", &startSysListFile},
    {kTargetSysBrowse, kTargetSysListBox, true, "*", &targetSysListFile},
};

// The program-wide name keeps the chosen text as it came; the box shows it
// without leading and trailing blanks.
void BrowseForListFile(HWND page, const Browse& browse) {
  char fileName[kFileNameCapacity];
  std::snprintf(fileName, sizeof fileName, "%s", browse.initialName);
  const BOOL chosen =
      browse.save ? SaveListChooser(page, fileName) : OpenListChooser(page, fileName);
  if (!chosen) return;
  fileName[kFileNameCapacity - 1] = '\0';
  *browse.listFile = fileName;
  SetDlgItemTextA(page, browse.box, std::string(TrimBlanks(fileName)).c_str());
}

}  // namespace

void KeepFocus(HWND dialog, WPARAM active) {
  if (active == 0) {
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(GetFocus()));
    return;
  }
  const HWND saved = reinterpret_cast<HWND>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (saved == nullptr) return;
  SetFocus(saved);
  SetWindowLongPtrA(dialog, DWLP_USER, 0);
}

INT_PTR CALLBACK PageProcedure(HWND page, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return FALSE;  // a page built hidden takes no focus
    case WM_NCACTIVATE:
      KeepFocus(page, wParam);
      return FALSE;
    case WM_COMMAND: {
      const int code = HIWORD(wParam);
      if (code != BN_CLICKED && code != 1) return TRUE;
      for (const Browse& browse : kBrowses) {
        if (LOWORD(wParam) == browse.button) BrowseForListFile(page, browse);
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

HWND BuildPage(PageId page, HWND main) {
  const PageLayout& layout = kPageLayouts[page];
  DialogTemplate tmpl(WS_CHILD | WS_CLIPCHILDREN | DS_CONTROL | DS_3DLOOK | DS_NOFAILCREATE,
                      WS_EX_CONTROLPARENT, 0, 0, layout.width, layout.height, layout.name);
  AddPageControls(page, tmpl);
  const HWND window =
      CreateDialogIndirectParamA(GetModuleHandleA(nullptr), tmpl.get(), main, &PageProcedure, 0);
  ShowWindow(window, SW_HIDE);
  return window;
}

void BuildEntryPages(HWND main) {
  for (int i = 0; i < kPageCount; ++i) {
    const PageId page = static_cast<PageId>(i);
    const PageLayout& layout = kPageLayouts[page];
    const HWND window = BuildPage(page, main);
    pageWindows[page] = window;
    // The placement is in the page's own dialog units.
    RECT at{layout.x, layout.y, 0, 0};
    MapDialogRect(window, &at);
    SetWindowPos(window, nullptr, at.left, at.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(window, layout.shownAtStart ? SW_SHOW : SW_HIDE);
  }
}
