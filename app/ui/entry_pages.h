// The eight coordinate entry pages that lie over the mode tab controls: a
// point page and a list page for each of the start and target grid and
// geographic coordinates.
#pragma once

#include <windows.h>

#include <string>

// In the order they are built; each page's window text is its name.
enum PageId {
  StartXY,
  TargetXY,
  StartProjList,
  TargetProjList,
  StartLatLon,
  StartSysList,
  TargetLatLon,
  TargetSysList,
  kPageCount
};

// The page windows, children of the main window; null until built.
extern HWND pageWindows[kPageCount];

inline HWND PageWindow(PageId page) {
  return pageWindows[page];
}

// Boxes of the point pages.
inline constexpr int kStartEastingBox = 801;
inline constexpr int kStartNorthingBox = 802;
inline constexpr int kTargetEastingBox = 805;
inline constexpr int kTargetNorthingBox = 806;
inline constexpr int kStartLongitudeBox = 807;
inline constexpr int kStartLatitudeBox = 808;
inline constexpr int kStartHeightBox = 809;
inline constexpr int kTargetLatitudeBox = 810;
inline constexpr int kTargetLongitudeBox = 811;
inline constexpr int kTargetHeightBox = 812;

// Labels of the point pages.
inline constexpr int kStartEastingLabel = 705;
inline constexpr int kStartNorthingLabel = 706;
inline constexpr int kTargetEastingLabel = 707;
inline constexpr int kTargetNorthingLabel = 708;
inline constexpr int kStartLatitudeLabel = 709;
inline constexpr int kStartLongitudeLabel = 710;
inline constexpr int kStartHeightLabel = 711;
inline constexpr int kTargetLatitudeLabel = 712;
inline constexpr int kTargetLongitudeLabel = 713;
inline constexpr int kTargetHeightLabel = 714;

// File name boxes and "Browse" buttons of the list pages.
inline constexpr int kStartProjListBox = 803;
inline constexpr int kTargetProjListBox = 804;
inline constexpr int kStartSysListBox = 813;
inline constexpr int kTargetSysListBox = 814;
inline constexpr int kStartProjBrowse = 406;
inline constexpr int kTargetProjBrowse = 407;
inline constexpr int kStartSysBrowse = 408;
inline constexpr int kTargetSysBrowse = 409;

// The text of a box on a page.
std::string BoxText(PageId page, int box);

// Builds one page invisible over the main window and starts it; the caller
// places and shows it.
HWND BuildPage(PageId page, HWND main);

// Builds all eight, places them over their tab controls and shows the point
// pages.
void BuildEntryPages(HWND main);

INT_PTR CALLBACK PageProcedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
