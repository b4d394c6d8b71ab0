#include "main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <span>
#include <string>

#include "catalogue.h"
#include "crs_report.h"
#include "dialog_template.h"
#include "entry_pages.h"
#include "errormessage.h"
#include "help_about.h"
#include "message.h"
#include "program_state.h"
#include "selection_lists.h"
#include "transform_command.h"
#include "units_dialog.h"

HWND mainWindow = nullptr;

namespace {

// ------------------------------------------------------------------ layout

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kGroupBox = kChild | BS_GROUPBOX | BS_LEFT | BS_TOP;
constexpr DWORD kSelectionList = kChild | CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kTabStyle = kChild | TCS_FIXEDWIDTH | WS_TABSTOP;
constexpr DWORD kCentredButton = kChild | BS_CENTER | BS_VCENTER | WS_TABSTOP;
constexpr DWORD kButton = kChild | WS_TABSTOP;
constexpr DWORD kLabel = kChild | SS_LEFT;

struct ControlLayout {
  WORD id;
  const char* className;
  const char* caption;
  short x, y, width, height;
  DWORD style;
  DWORD exStyle;
};

// In creation order, which is also the keyboard order. The frames are
// numbered in the order a coordinate travels through them. A list's height
// includes its dropped-down part.
constexpr ControlLayout kMainControls[] = {
    {201, "BUTTON", "Start Parameter", 4, 4, 204, 336, kGroupBox, WS_EX_TRANSPARENT},
    {203, "BUTTON", "(1) Start Projection", 8, 16, 196, 120, kGroupBox, WS_EX_TRANSPARENT},
    {kStartProjectionList, "COMBOBOX", "", 16, 32, 180, 88, kSelectionList, 0},
    {kStartGridTabs, WC_TABCONTROLA, "SysTabControl32_1", 16, 56, 180, 68, kTabStyle, 0},
    {kStartUnitsButton, "BUTTON", "&Start Units and Formats...", 49, 142, 106, 16, kCentredButton,
     0},
    {205, "BUTTON", "(2) Start System", 8, 164, 196, 168, kGroupBox, WS_EX_TRANSPARENT},
    {701, "STATIC", "StartDatum", 20, 176, 84, 8, kLabel, 0},
    {kStartDatumList, "COMBOBOX", "", 16, 186, 180, 88, kSelectionList, 0},
    {702, "STATIC", "Start Ellipsoid", 20, 206, 80, 8, kLabel, 0},
    {kStartEllipsoidList, "COMBOBOX", "", 16, 216, 180, 88, kSelectionList, 0},
    {kStartGeographicTabs, WC_TABCONTROLA, "SysTabControl32_3", 16, 240, 180, 80, kTabStyle, 0},
    {202, "BUTTON", "Target Parameter", 216, 4, 204, 336, kGroupBox, WS_EX_TRANSPARENT},
    {204, "BUTTON", "(4) Target Projection", 220, 16, 196, 120, kGroupBox, WS_EX_TRANSPARENT},
    {kTargetProjectionList, "COMBOBOX", "", 228, 32, 180, 88, kSelectionList, 0},
    {kTargetGridTabs, WC_TABCONTROLA, "SysTabControl32_2", 228, 56, 180, 68, kTabStyle, 0},
    {kTargetUnitsButton, "BUTTON", "&Target Units and Formats...", 261, 142, 106, 16,
     kCentredButton, 0},
    {207, "BUTTON", "(3) Target System", 220, 164, 196, 168, kGroupBox, WS_EX_TRANSPARENT},
    {703, "STATIC", "Target Datum", 232, 176, 84, 8, kLabel, 0},
    {kTargetDatumList, "COMBOBOX", "", 228, 186, 180, 88, kSelectionList, 0},
    {704, "STATIC", "Target Ellipsoid", 232, 206, 80, 8, kLabel, 0},
    {kTargetEllipsoidList, "COMBOBOX", "", 228, 216, 180, 88, kSelectionList, 0},
    {kTargetGeographicTabs, WC_TABCONTROLA, "SysTabControl32_4", 228, 240, 180, 80, kTabStyle, 0},
    {kExitButton, "BUTTON", "&Exit", 12, 348, 76, 16, kCentredButton, 0},
    {kStartInfoButton, "BUTTON", "&Start CRS Info", 92, 348, 76, 16, kButton, 0},
    {kTransformButton, "BUTTON", ">> &Transform >>", 172, 348, 80, 16, kButton, 0},
    {kTargetInfoButton, "BUTTON", "Target &CRS Info", 256, 348, 76, 16, kButton, 0},
    {kHelpButton, "BUTTON", "&Help", 336, 348, 76, 16, kButton, 0},
};

constexpr int kModeTabIds[] = {kStartGridTabs, kTargetGridTabs, kStartGeographicTabs,
                               kTargetGeographicTabs};

// ------------------------------------------------------------------ menu

struct MenuEntry {
  const char* text;  // nullptr: a separator
  UINT id;
};

void AppendMenuEntry(HMENU menu, const MenuEntry& entry, HMENU popup = nullptr) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_TYPE | MIIM_ID | (popup ? MIIM_SUBMENU : 0);
  info.fType = entry.text ? MFT_STRING : MFT_SEPARATOR;
  info.wID = entry.id;
  info.hSubMenu = popup;
  info.dwTypeData = const_cast<char*>(entry.text);
  InsertMenuItemA(menu, static_cast<UINT>(-1), TRUE, &info);
}

HMENU PopupMenu(std::span<const MenuEntry> entries) {
  const HMENU popup = CreatePopupMenu();
  for (const MenuEntry& entry : entries) AppendMenuEntry(popup, entry);
  return popup;
}

// ------------------------------------------------------------ start-up steps

void SetWindowIcons(HWND window) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  const struct {
    int size;
    WPARAM kind;
  } icons[] = {{32, ICON_BIG}, {16, ICON_SMALL}};
  for (const auto& icon : icons) {
    const HANDLE image = LoadImageA(instance, "ICON1", IMAGE_ICON, icon.size, icon.size, 0);
    if (image != nullptr) {
      SendMessageA(window, WM_SETICON, icon.kind, reinterpret_cast<LPARAM>(image));
    }
  }
}

// All four get "Point Mode" before any gets "List Mode".
void FillModeTabs(HWND window) {
  const char* const names[] = {"Point Mode", "List Mode"};
  for (int index : {kPointModeTab, kListModeTab}) {
    for (int id : kModeTabIds) {
      TCITEMA item{TCIF_TEXT, 0, 0, const_cast<char*>(names[index]), 0, -1, 0};
      SendDlgItemMessageA(window, id, TCM_INSERTITEMA, index, reinterpret_cast<LPARAM>(&item));
    }
  }
  for (int id : kModeTabIds) {
    SendDlgItemMessageA(window, id, TCM_SETPADDING, 0, MAKELPARAM(4, 4));
    SendDlgItemMessageA(window, id, TCM_SETCURSEL, kPointModeTab, 0);
  }
}

// ------------------------------------------------------------ selections

// The lists of one side of the main window.
struct SideLists {
  CrsSide& side;
  int projection;
  int datum;
  int ellipsoid;
};

SideLists StartLists() {
  return {startSide, kStartProjectionList, kStartDatumList, kStartEllipsoidList};
}
SideLists TargetLists() {
  return {targetSide, kTargetProjectionList, kTargetDatumList, kTargetEllipsoidList};
}

int32_t Loaded(int32_t count, int32_t capacity) {
  return std::clamp(count, 0, capacity);
}

// The catalogue position of the list's selection, or 0 when it has none
// that lies in the catalogue.
int32_t ChosenPosition(HWND window, int list, int32_t count, int32_t capacity) {
  const LRESULT index = SendDlgItemMessageA(window, list, CB_GETCURSEL, 0, 0);
  if (index < 0 || index >= Loaded(count, capacity)) return 0;
  return static_cast<int32_t>(index + 1);
}

// Moves the side's ellipsoid list to an ellipsoid position (at most the
// number of ellipsoids) and copies that ellipsoid into the side.
void MoveToEllipsoid(HWND window, const SideLists& lists, int32_t wanted) {
  const Catalogues& catalogues = ProgramCatalogues();
  const int32_t position = std::min(Loaded(catalogues.ellipsoidCount, kEllipsoidCapacity), wanted);
  if (position < 1) return;  // nothing in the catalogue to move to
  SendDlgItemMessageA(window, lists.ellipsoid, CB_SETCURSEL, position - 1, 0);
  lists.side.ellipsoid = catalogues.Ellipsoid(position);
}

// The same for a datum, which also moves the ellipsoid list to the datum's.
void MoveToDatum(HWND window, const SideLists& lists, int32_t wanted) {
  const Catalogues& catalogues = ProgramCatalogues();
  const int32_t position = std::min(Loaded(catalogues.datumCount, kDatumCapacity), wanted);
  if (position < 1) return;
  SendDlgItemMessageA(window, lists.datum, CB_SETCURSEL, position - 1, 0);
  lists.side.datum = catalogues.Datum(position);
  MoveToEllipsoid(window, lists, lists.side.datum.ellipsoidIndex);
}

// The fields a side's kind needs: the grid ones for a projected CRS, the
// geographic ones for "none". Changed in this order.
struct FieldGroup {
  PageId page;
  bool grid;
  int ids[6];
};

constexpr FieldGroup kStartFields[] = {
    {StartXY, true, {kStartEastingLabel, kStartNorthingLabel, kStartEastingBox, kStartNorthingBox}},
    {StartProjList, true, {kStartProjBrowse, kStartProjListBox}},
    {StartLatLon,
     false,
     {kStartLatitudeLabel, kStartLongitudeLabel, kStartHeightLabel, kStartLatitudeBox,
      kStartLongitudeBox, kStartHeightBox}},
    {StartSysList, false, {kStartSysBrowse, kStartSysListBox}},
};

// The target's geographic result boxes stay read-only and its geographic
// output list stays usable whatever the target is.
constexpr FieldGroup kTargetFields[] = {
    {TargetXY,
     true,
     {kTargetEastingLabel, kTargetNorthingLabel, kTargetEastingBox, kTargetNorthingBox}},
    {TargetProjList, true, {kTargetProjBrowse, kTargetProjListBox}},
};

void EnableFields(std::span<const FieldGroup> groups, bool projected) {
  for (const FieldGroup& group : groups) {
    for (int id : group.ids) {
      if (id != 0) EnableWindow(GetDlgItem(PageWindow(group.page), id), group.grid == projected);
    }
  }
}

void ProjectionChosen(HWND window, const SideLists& lists, std::span<const FieldGroup> fields) {
  const Catalogues& catalogues = ProgramCatalogues();
  const int32_t position =
      ChosenPosition(window, lists.projection, catalogues.projectionCount, kProjectionCapacity);
  if (position < 1) return;
  lists.side.projection = catalogues.Projection(position);
  MoveToDatum(window, lists, lists.side.projection.datumIndex);
  // The first catalogue entry stands for geographic coordinates.
  EnableFields(fields, position > 1);
}

void DatumChosen(HWND window, const SideLists& lists) {
  const Catalogues& catalogues = ProgramCatalogues();
  const int32_t position =
      ChosenPosition(window, lists.datum, catalogues.datumCount, kDatumCapacity);
  if (position < 1) return;
  lists.side.datum = catalogues.Datum(position);
  MoveToEllipsoid(window, lists, lists.side.datum.ellipsoidIndex);
}

void EllipsoidChosen(HWND window, const SideLists& lists) {
  const Catalogues& catalogues = ProgramCatalogues();
  const int32_t position =
      ChosenPosition(window, lists.ellipsoid, catalogues.ellipsoidCount, kEllipsoidCapacity);
  if (position >= 1) lists.side.ellipsoid = catalogues.Ellipsoid(position);
}

// ------------------------------------------------------------ mode tabs

struct ModeTab {
  int id;
  PageId pointPage;
  PageId listPage;
  int others[3];  // told of the change, in this order
};

constexpr ModeTab kModeTabs[] = {
    {kStartGridTabs,
     StartXY,
     StartProjList,
     {kTargetGridTabs, kStartGeographicTabs, kTargetGeographicTabs}},
    {kTargetGridTabs,
     TargetXY,
     TargetProjList,
     {kStartGridTabs, kStartGeographicTabs, kTargetGeographicTabs}},
    {kStartGeographicTabs,
     StartLatLon,
     StartSysList,
     {kTargetGeographicTabs, kStartGridTabs, kTargetGridTabs}},
    {kTargetGeographicTabs,
     TargetLatLon,
     TargetSysList,
     {kStartGeographicTabs, kStartGridTabs, kTargetGridTabs}},
};

// One tab control's change, and through TCM_SETCURFOCUS the same change on
// the others: each that really changes announces it and comes back here, so
// all four end on the same tab with the matching pages shown. TCM_SETCURSEL
// would change them silently and leave their pages as they were.
void SwitchModeTab(HWND window, UINT code, const ModeTab& tab, LRESULT current) {
  ProgramErrorTrap trap("SwitchModeTab");
  if (code == TCN_SELCHANGING) {
    ShowWindow(PageWindow(current == kListModeTab ? tab.listPage : tab.pointPage), SW_HIDE);
  } else if (code == TCN_SELCHANGE) {
    const bool listMode = current == kListModeTab;
    ShowWindow(PageWindow(listMode ? tab.listPage : tab.pointPage), SW_SHOW);
    pointMode = listMode ? 0 : 1;
    for (int other : tab.others) {
      SendDlgItemMessageA(window, other, TCM_SETCURFOCUS, static_cast<WPARAM>(current), 0);
    }
  }
}

void OnNotify(HWND window, const NMHDR& header) {
  const int id = static_cast<int>(header.idFrom);
  const LRESULT current = SendDlgItemMessageA(window, id, TCM_GETCURSEL, 0, 0);
  for (const ModeTab& tab : kModeTabs) {
    if (tab.id == id) SwitchModeTab(window, header.code, tab, current);
  }
}

// ------------------------------------------------------------ commands

void ShowCrsInfo(const CrsSide& side, const char* sideName) {
  const std::string report = CrsReportText(side.projection, side.datum, side.ellipsoid);
  std::string text;
  for (char c : report) {
    if (c == '@') {
      text += sideName;
    } else {
      text += c;
    }
  }
  MessageBoxA(nullptr, text.c_str(), kCaptionInformation, MB_TASKMODAL | MB_ICONINFORMATION);
}

void OpenUnitsDialogFor(HWND window, int32_t side) {
  unitsDialogSide = side;
  OpenUnitsDialog(window);
}

// A click or its keyboard equivalent.
bool IsClick(WORD code) {
  return code == BN_CLICKED || code == 1;
}

INT_PTR OnCommand(HWND window, WORD id, WORD code) {
  switch (id) {
    case kStartProjectionList:
    case kTargetProjectionList:
    case kStartDatumList:
    case kTargetDatumList:
    case kStartEllipsoidList:
    case kTargetEllipsoidList: {
      if (code != CBN_SELCHANGE) return TRUE;  // typing into a list is not a choice
      const bool start = id % 2 == 1;
      const SideLists lists = start ? StartLists() : TargetLists();
      if (id <= kTargetProjectionList) {
        ProjectionChosen(window, lists,
                         start ? std::span<const FieldGroup>(kStartFields)
                               : std::span<const FieldGroup>(kTargetFields));
      } else if (id <= kTargetDatumList) {
        DatumChosen(window, lists);
      } else {
        EllipsoidChosen(window, lists);
      }
      return TRUE;
    }
    case kExitButton:
    case kMenuExit:
      if (IsClick(code)) DestroyWindow(window);
      return TRUE;
    case kStartInfoButton:
      if (IsClick(code)) ShowCrsInfo(startSide, "Start");
      return TRUE;
    case kTargetInfoButton:
      if (IsClick(code)) ShowCrsInfo(targetSide, "Target");
      return TRUE;
    case kTransformButton:
      TransformCommand();
      return TRUE;
    case kStartUnitsButton:
      if (IsClick(code)) OpenUnitsDialogFor(window, 1);
      return TRUE;
    case kTargetUnitsButton:
      if (IsClick(code)) OpenUnitsDialogFor(window, 0);
      return TRUE;
    case kHelpButton:
    case kMenuHelp:
      if (IsClick(code)) ShowHelpDocument();
      return TRUE;
    case kMenuAbout:
      ShowAboutBox();
      return TRUE;
    case kMenuAddProjection:
    case kMenuAddDatum:
    case kMenuAddEllipsoid:
      MessageBoxA(nullptr, kNotImplementedMessage, nullptr, MB_OK);
      return TRUE;
    case IDCANCEL:
      return TRUE;  // Escape leaves the window open
    default:
      return FALSE;
  }
}

}  // namespace

INT_PTR CALLBACK MainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      mainWindow = window;
      FillDatumList(kStartDatumList);
      FillDatumList(kTargetDatumList);
      FillEllipsoidList(kStartEllipsoidList);
      FillEllipsoidList(kTargetEllipsoidList);
      FillProjectionList(kStartProjectionList);
      FillProjectionList(kTargetProjectionList);
      ResetSides();
      PostMessageA(window, kBuildPagesMessage, 0, 0);
      return TRUE;
    case kBuildPagesMessage:
      BuildEntryPages(window);
      return TRUE;
    case WM_COMMAND:
      return OnCommand(window, LOWORD(wParam), HIWORD(wParam));
    case WM_NOTIFY:
      OnNotify(window, *reinterpret_cast<const NMHDR*>(lParam));
      return FALSE;
    case WM_NCACTIVATE:
      KeepFocus(window, wParam);
      return FALSE;
    case WM_CLOSE:
      // The close box, the system menu and Alt+F4 end the program. Escape
      // arrives as IDCANCEL instead and is ignored.
      DestroyWindow(window);
      return TRUE;
    case WM_DESTROY:
      // The loop may be waiting for a message; this one lets it see the end.
      PostMessageA(nullptr, WM_NULL, 0, 0);
      return FALSE;
    default:
      return FALSE;
  }
}

HMENU BuildMenuBar(HWND window) {
  const MenuEntry file[] = {{"&Exit", kMenuExit}};
  const MenuEntry data[] = {{"Add &Projection", kMenuAddProjection},
                            {nullptr, 0},
                            {"Add &Datum", kMenuAddDatum},
                            {"Add &Ellipsoid", kMenuAddEllipsoid}};
  const MenuEntry help[] = {{"&Help", kMenuHelp}, {nullptr, 0}, {"&About", kMenuAbout}};
  const HMENU bar = CreateMenu();
  AppendMenuEntry(bar, {"&File", 0}, PopupMenu(file));
  AppendMenuEntry(bar, {"&Data", 0}, PopupMenu(data));
  AppendMenuEntry(bar, {"&Help", 0}, PopupMenu(help));
  SetMenu(window, bar);
  return bar;
}

HWND CreateMainWindow() {
  DialogTemplate tmpl(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPSIBLINGS |
                          DS_MODALFRAME | DS_3DLOOK | DS_NOFAILCREATE,
                      WS_EX_CONTROLPARENT, 19, 42, 424, 383, kMainWindowCaption);
  for (const ControlLayout& c : kMainControls) {
    tmpl.Control(c.style, c.exStyle, c.x, c.y, c.width, c.height, c.id, c.className, c.caption);
  }
  const HWND window = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), tmpl.get(), nullptr,
                                                 &MainWindowProcedure, 0);
  if (window == nullptr) return nullptr;
  BuildMenuBar(window);
  SetWindowIcons(window);
  FillModeTabs(window);
  return window;
}

void RunMainWindow(HWND window) {
  ShowWindow(window, SW_SHOW);
  MSG msg;
  while (IsWindow(window) && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageA(window, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}
