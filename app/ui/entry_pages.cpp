#include "entry_pages.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>

#include "dialog_conventions.h"
#include "dialog_template.h"
#include "fixed_text.h"
#include "list_choosers.h"
#include "main_window.h"
#include "program_state.h"
#include "results.h"

HWND pageWindows[kPageCount] = {};

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kLabel = kChild | SS_LEFT;
constexpr DWORD kNumberBox = kChild | ES_RIGHT | ES_AUTOHSCROLL | WS_TABSTOP | WS_DISABLED;
// Results are never typed into, but can be selected and copied.
constexpr DWORD kResultBox = kChild | ES_RIGHT | ES_AUTOHSCROLL | ES_READONLY | WS_TABSTOP;
constexpr DWORD kFileBox = kChild | ES_AUTOHSCROLL | WS_TABSTOP;
constexpr DWORD kBrowseButton = kChild | BS_CENTER | BS_VCENTER | WS_TABSTOP;

// Size of the page and where it lies in the main window's client area, in
// dialog units, and the tab control it lies on: the page comes right after it
// in the keyboard order, as it does on screen.
struct PageLayout {
  const char* name;
  short width, height;
  short x, y;
  bool shownAtStart;
  int tabs;
};

constexpr PageLayout kPageLayouts[kPageCount] = {
    {"StartXY", 121, 30, 37, 80, true, kStartGridTabs},
    {"TargetXY", 123, 30, 249, 80, true, kTargetGridTabs},
    {"StartProjList", 157, 33, 27, 81, false, kStartGridTabs},
    {"TargetProjList", 156, 36, 239, 81, false, kTargetGridTabs},
    {"StartLatLon", 161, 48, 27, 266, true, kStartGeographicTabs},
    {"StartSysList", 157, 35, 27, 278, false, kStartGeographicTabs},
    {"TargetLatLon", 161, 49, 239, 266, true, kTargetGeographicTabs},
    {"TargetSysList", 157, 35, 239, 278, false, kTargetGeographicTabs},
};

// The boxes a start point is typed into: an edit of one makes the target's
// results stale.
constexpr int kStartValueBoxes[] = {kStartEastingBox, kStartNorthingBox, kStartLatitudeBox,
                                    kStartLongitudeBox, kStartHeightBox};

// The controls of each kind of page, by page.
struct GridPointPage {
  PageId page;
  int eastingLabel, eastingBox;
  int northingLabel, northingBox;
  DWORD boxStyle;
};

// The target's grid results are usable only with a projected target.
constexpr GridPointPage kGridPointPages[] = {
    {StartXY, kStartEastingLabel, kStartEastingBox, kStartNorthingLabel, kStartNorthingBox,
     kNumberBox},
    {TargetXY, kTargetEastingLabel, kTargetEastingBox, kTargetNorthingLabel, kTargetNorthingBox,
     kResultBox | WS_DISABLED},
};

// The latitude comes first on screen; on the start page its box has the
// higher id.
struct GeographicPointPage {
  PageId page;
  int latitudeLabel, latitudeBox;
  int longitudeLabel, longitudeBox;
  int heightLabel, heightBox;
  short heightLabelWidth;
  DWORD boxStyle;
};

constexpr GeographicPointPage kGeographicPointPages[] = {
    {StartLatLon, kStartLatitudeLabel, kStartLatitudeBox, kStartLongitudeLabel, kStartLongitudeBox,
     kStartHeightLabel, kStartHeightBox, 84, kNumberBox},
    {TargetLatLon, kTargetLatitudeLabel, kTargetLatitudeBox, kTargetLongitudeLabel,
     kTargetLongitudeBox, kTargetHeightLabel, kTargetHeightBox, 88, kResultBox},
};

// A list page: its file name box and "Browse" button, and what Browse does:
// which chooser, its initial name, and where the chosen name goes. The grid
// list pages start disabled, the geographic ones usable.
struct ListPage {
  PageId page;
  int box;
  int button;
  bool enabled;
  bool save;
  const char* initialName;
  std::string* listFile;
};

const ListPage kListPages[] = {
    {StartProjList, kStartProjListBox, kStartProjBrowse, false, false, "*.*", &startProjListFile},
    {TargetProjList, kTargetProjListBox, kTargetProjBrowse, false, true, "*", &targetProjListFile},
    {StartSysList, kStartSysListBox, kStartSysBrowse, true, false, "*.*", &startSysListFile},
    {TargetSysList, kTargetSysListBox, kTargetSysBrowse, true, true, "*", &targetSysListFile},
};

void AddControls(DialogTemplate& tmpl, const GridPointPage& p) {
  tmpl.Control(kLabel | WS_DISABLED, 0, 0, 0, 44, 12, p.eastingLabel, "STATIC", "Easting")
      .Control(p.boxStyle, WS_EX_CLIENTEDGE, 44, 0, 76, 12, p.eastingBox, "EDIT", "")
      .Control(kLabel | WS_DISABLED, 0, 0, 16, 44, 12, p.northingLabel, "STATIC", "Northing")
      .Control(p.boxStyle, WS_EX_CLIENTEDGE, 44, 16, 76, 12, p.northingBox, "EDIT", "");
}

void AddControls(DialogTemplate& tmpl, const GeographicPointPage& p) {
  tmpl.Control(kLabel, 0, 0, 4, 68, 12, p.latitudeLabel, "STATIC", "Latitude (pos.North)")
      .Control(p.boxStyle, WS_EX_CLIENTEDGE, 84, 0, 76, 12, p.latitudeBox, "EDIT", "")
      .Control(kLabel, 0, 0, 20, 68, 12, p.longitudeLabel, "STATIC", "Longitude (pos.East)")
      .Control(p.boxStyle, WS_EX_CLIENTEDGE, 84, 16, 76, 12, p.longitudeBox, "EDIT", "")
      .Control(kLabel, 0, 0, 36, p.heightLabelWidth, 12, p.heightLabel, "STATIC",
               "Height above ellipsoid (m)")
      .Control(p.boxStyle, WS_EX_CLIENTEDGE, 84, 32, 76, 12, p.heightBox, "EDIT", "");
}

void AddControls(DialogTemplate& tmpl, const ListPage& p) {
  const DWORD disabled = p.enabled ? 0 : WS_DISABLED;
  const DWORD buttonStyle = p.enabled ? kChild | WS_TABSTOP : kBrowseButton | WS_DISABLED;
  tmpl.Control(kFileBox | disabled, WS_EX_CLIENTEDGE, 0, 0, 156, 12, p.box, "EDIT", "")
      .Control(buttonStyle, 0, 84, 16, 68, 16, p.button, "BUTTON", "Browse");
}

// Each page is in exactly one of the tables.
void AddPageControls(PageId page, DialogTemplate& tmpl) {
  for (const GridPointPage& p : kGridPointPages) {
    if (p.page == page) AddControls(tmpl, p);
  }
  for (const GeographicPointPage& p : kGeographicPointPages) {
    if (p.page == page) AddControls(tmpl, p);
  }
  for (const ListPage& p : kListPages) {
    if (p.page == page) AddControls(tmpl, p);
  }
}

// The program-wide name keeps the chosen text as it came; the box shows it
// without leading and trailing blanks.
void BrowseForListFile(HWND page, const ListPage& list) {
  char fileName[kFileNameCapacity];
  std::snprintf(fileName, sizeof fileName, "%s", list.initialName);
  const BOOL chosen = list.save ? SaveListChooser(page, fileName) : OpenListChooser(page, fileName);
  if (!chosen) return;
  fileName[kFileNameCapacity - 1] = '\0';
  *list.listFile = fileName;
  SetDlgItemTextA(page, list.box, std::string(TrimBlanks(fileName)).c_str());
}

}  // namespace

std::string BoxText(PageId page, int box) {
  const HWND control = GetDlgItem(PageWindow(page), box);
  std::string text(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
  text.resize(
      static_cast<size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

INT_PTR CALLBACK PageProcedure(HWND page, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return FALSE;  // a page built hidden takes no focus
    case WM_NCACTIVATE:
      KeepFocus(page, wParam);
      return FALSE;
    case WM_COMMAND: {
      if (HIWORD(wParam) == EN_CHANGE &&
          std::ranges::find(kStartValueBoxes, LOWORD(wParam)) != std::end(kStartValueBoxes)) {
        ClearTargetResults();
      }
      if (!IsClick(HIWORD(wParam))) return TRUE;
      for (const ListPage& list : kListPages) {
        if (LOWORD(wParam) == list.button) BrowseForListFile(page, list);
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
    SetWindowPos(window, GetDlgItem(main, layout.tabs), at.left, at.top, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE);
    ShowWindow(window, layout.shownAtStart ? SW_SHOW : SW_HIDE);
  }
}
