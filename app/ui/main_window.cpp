#include "main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <span>
#include <string>

#include "catalogue.h"
#include "crs_report.h"
#include "dialog_conventions.h"
#include "dialog_template.h"
#include "entry_pages.h"
#include "errormessage.h"
#include "fixed_text.h"
#include "help_about.h"
#include "message.h"
#include "own_entries.h"
#include "program_index.h"
#include "program_state.h"
#include "results.h"
#include "selection_lists.h"
#include "settings.h"
#include "system_search.h"
#include "transform_command.h"
#include "units_dialog.h"
#include "user_entries.h"
#include "value_conversion.h"

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
constexpr DWORD kUnitLabel = kChild | SS_LEFTNOWORDWRAP | SS_NOPREFIX;

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
    {kStartParameterFrame, "BUTTON", "Start Parameter", 4, 4, 204, 346, kGroupBox,
     WS_EX_TRANSPARENT},
    {kStartProjectionFrame, "BUTTON", "(1) Start Projection", 8, 16, 196, 120, kGroupBox,
     WS_EX_TRANSPARENT},
    {kStartProjectionList, "COMBOBOX", "", 16, 32, 180, 88, kSelectionList, 0},
    {kStartGridTabs, WC_TABCONTROLA, "SysTabControl32_1", 16, 56, 180, 68, kTabStyle, 0},
    {kStartUnitsButton, "BUTTON", "&Start Units and Formats...", 49, 142, 106, 16, kCentredButton,
     0},
    {kStartSystemFrame, "BUTTON", "(2) Start System", 8, 164, 196, 178, kGroupBox,
     WS_EX_TRANSPARENT},
    {kStartDatumLabel, "STATIC", "StartDatum", 20, 176, 84, 8, kLabel, 0},
    {kStartDatumList, "COMBOBOX", "", 16, 186, 180, 88, kSelectionList, 0},
    {kStartEllipsoidLabel, "STATIC", "Start Ellipsoid", 20, 206, 80, 8, kLabel, 0},
    {kStartEllipsoidList, "COMBOBOX", "", 16, 216, 180, 88, kSelectionList, 0},
    {kStartGeographicTabs, WC_TABCONTROLA, "SysTabControl32_3", 16, 240, 180, 80, kTabStyle, 0},
    {kTargetParameterFrame, "BUTTON", "Target Parameter", 216, 4, 204, 346, kGroupBox,
     WS_EX_TRANSPARENT},
    {kTargetProjectionFrame, "BUTTON", "(4) Target Projection", 220, 16, 196, 120, kGroupBox,
     WS_EX_TRANSPARENT},
    {kTargetProjectionList, "COMBOBOX", "", 228, 32, 180, 88, kSelectionList, 0},
    {kTargetGridTabs, WC_TABCONTROLA, "SysTabControl32_2", 228, 56, 180, 68, kTabStyle, 0},
    {kTargetUnitsButton, "BUTTON", "&Target Units and Formats...", 261, 142, 106, 16,
     kCentredButton, 0},
    {kTargetSystemFrame, "BUTTON", "(3) Target System", 220, 164, 196, 178, kGroupBox,
     WS_EX_TRANSPARENT},
    {kTargetDatumLabel, "STATIC", "Target Datum", 232, 176, 84, 8, kLabel, 0},
    {kTargetDatumList, "COMBOBOX", "", 228, 186, 180, 88, kSelectionList, 0},
    {kTargetEllipsoidLabel, "STATIC", "Target Ellipsoid", 232, 206, 80, 8, kLabel, 0},
    {kTargetEllipsoidList, "COMBOBOX", "", 228, 216, 180, 88, kSelectionList, 0},
    {kTargetGeographicTabs, WC_TABCONTROLA, "SysTabControl32_4", 228, 240, 180, 80, kTabStyle, 0},
    {kExitButton, "BUTTON", "&Exit", 12, 358, 76, 16, kCentredButton, 0},
    {kStartInfoButton, "BUTTON", "&Start CRS Info", 92, 358, 76, 16, kButton, 0},
    // The default button: Enter in any box transforms.
    {kTransformButton, "BUTTON", ">> &Transform >>", 172, 358, 80, 16, kButton | BS_DEFPUSHBUTTON,
     0},
    {kTargetInfoButton, "BUTTON", "Target &CRS Info", 256, 358, 76, 16, kButton, 0},
    {kHelpButton, "BUTTON", "&Help", 336, 358, 76, 16, kButton, 0},
    // Always in view, whichever page shows: what the side's numbers mean.
    {kStartGridUnitLabel, "STATIC", "", 16, 125, 180, 9, kUnitLabel, 0},
    {kStartAngleFormatLabel, "STATIC", "", 16, 321, 180, 9, kUnitLabel, 0},
    {kTargetGridUnitLabel, "STATIC", "", 228, 125, 180, 9, kUnitLabel, 0},
    {kTargetAngleFormatLabel, "STATIC", "", 228, 321, 180, 9, kUnitLabel, 0},
    {kStartEllipsoidNoteLabel, "STATIC", "", 16, 331, 180, 9, kUnitLabel, 0},
    {kTargetEllipsoidNoteLabel, "STATIC", "", 228, 331, 180, 9, kUnitLabel, 0},
};

// ------------------------------------------------------------------ menu

struct MenuEntry {
  const char* text;  // nullptr: a separator
  UINT id;
};

// The id of a separator and of an entry that opens a popup.
constexpr UINT kNoCommand = 0;

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

// ------------------------------------------------------------ units

// EPSG's name of the unit a side's system has but the program does not
// offer ("" when it offers it): the side then works in metres.
std::string unofferedUnit[2];

std::string& UnofferedUnit(Side side) {
  return unofferedUnit[side == Side::kStart ? 0 : 1];
}

// The expected angle format inside each empty latitude and longitude box.
void ShowAngleCues(Side side) {
  const bool start = side == Side::kStart;
  const HWND page = PageWindow(start ? StartLatLon : TargetLatLon);
  if (page == nullptr) return;
  const std::u16string cue = CrsSideOf(side).unitsAndFormats.angleFormat == kAngleFormatDms
                                 ? u"52.3 = 52°30'"
                                 : u"decimal degrees";
  for (int box : {start ? kStartLatitudeBox : kTargetLatitudeBox,
                  start ? kStartLongitudeBox : kTargetLongitudeBox}) {
    SendDlgItemMessageA(page, box, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(cue.c_str()));
  }
}

void ShowUnitsAndFormats(HWND window, Side side) {
  const UnitsAndFormats& formats = CrsSideOf(side).unitsAndFormats;
  const LengthUnit* unit = FindLengthUnit(formats.lengthUnit);
  std::string grid = std::string("Easting, northing in ") + (unit ? unit->words : "");
  if (!UnofferedUnit(side).empty()) grid += " (own unit: " + UnofferedUnit(side) + ")";
  const std::string angles = std::string("Angles in ") + AngleFormatWords(formats.angleFormat);
  const bool start = side == Side::kStart;
  SetDlgItemTextA(window, start ? kStartGridUnitLabel : kTargetGridUnitLabel, grid.c_str());
  SetDlgItemTextA(window, start ? kStartAngleFormatLabel : kTargetAngleFormatLabel, angles.c_str());
  ShowAngleCues(side);
}

// Typed values keep their meaning through a change of unit or format.
void UnitsAndFormatsChanged(HWND window, Side side, const UnitsAndFormats& before) {
  const UnitsAndFormats& after = CrsSideOf(side).unitsAndFormats;
  if (after.angleFormat == before.angleFormat && after.lengthUnit == before.lengthUnit) return;
  ConvertTypedValues(side, before);
  ShowUnitsAndFormats(window, side);
  ClearTargetResults();
}

void SetSideLengthUnit(HWND window, Side side, int32_t unit) {
  const UnitsAndFormats before = CrsSideOf(side).unitsAndFormats;
  SetLengthUnit(CrsSideOf(side).unitsAndFormats, unit);
  UnitsAndFormatsChanged(window, side, before);
  ShowUnitsAndFormats(window, side);  // the unit not offered may have changed alone
}

// A unit by EPSG's name; one the program does not offer leaves the side in
// metres and is named beside the fields.
void TakeEpsgUnit(HWND window, Side side, const std::string& epsgName) {
  const int32_t unit = LengthUnitOfEpsgName(epsgName);
  UnofferedUnit(side) = unit == 0 ? epsgName : "";
  SetSideLengthUnit(window, side, unit == 0 ? kLengthUnitMetre : unit);
}

// A system the code index knows brings its own length unit.
void FollowSystemUnit(HWND window, Side side, int32_t position) {
  const std::string own = OwnUnitOfProjection(
      ProgramEpsgIndex(), TrimmedField(ProgramCatalogues().Projection(position).name));
  if (!own.empty()) TakeEpsgUnit(window, side, own);
}

// ------------------------------------------------------------ selections

// The system lets a side take any ellipsoid; one that is not its datum's is
// said beside the fields and in the side's report.
std::string EllipsoidNote(Side side) {
  const CrsSide& crs = CrsSideOf(side);
  const int32_t own = crs.datum.ellipsoidIndex;
  const std::string chosen = TrimmedField(crs.ellipsoid.name);
  if (chosen.empty() || own < 1 || own > ListedCount(ListRole::kEllipsoid)) return {};
  const std::string datums = TrimmedField(ProgramCatalogues().Ellipsoid(own).name);
  return chosen == datums ? std::string() : "Ellipsoid differs from the datum's (" + datums + ")";
}

void ShowEllipsoidNote(HWND window, Side side) {
  SetDlgItemTextA(window,
                  side == Side::kStart ? kStartEllipsoidNoteLabel : kTargetEllipsoidNoteLabel,
                  EllipsoidNote(side).c_str());
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

void EnableFields(Side side, bool projected) {
  const std::span<const FieldGroup> groups = side == Side::kStart
                                                 ? std::span<const FieldGroup>(kStartFields)
                                                 : std::span<const FieldGroup>(kTargetFields);
  for (const FieldGroup& group : groups) {
    for (int id : group.ids) {
      if (id != 0) EnableWindow(GetDlgItem(PageWindow(group.page), id), group.grid == projected);
    }
    // The boxes' frames too: Wine's themed edit boxes leave them as they were.
    RedrawWindow(PageWindow(group.page), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
  }
}

// The catalogue position of the list's selection, or 0 when it has none
// that lies in the catalogue.
int32_t ChosenPosition(HWND window, Side side, ListRole role) {
  const LRESULT index =
      SendDlgItemMessageA(window, SelectionListId(side, role), CB_GETCURSEL, 0, 0);
  if (index < 0 || index >= ListedCount(role)) return 0;
  return static_cast<int32_t>(index + 1);
}

void MoveListTo(HWND window, Side side, ListRole role, int32_t wanted);

// Copies the catalogue entry into the side; a projection moves the datum
// list to its datum, and a datum the ellipsoid list to its ellipsoid.
void TakeEntry(HWND window, Side side, ListRole role, int32_t position) {
  const Catalogues& catalogues = ProgramCatalogues();
  CrsSide& crs = CrsSideOf(side);
  switch (role) {
    case ListRole::kProjection:
      crs.projection = catalogues.Projection(position);
      MoveListTo(window, side, ListRole::kDatum, crs.projection.datumIndex);
      break;
    case ListRole::kDatum:
      crs.datum = catalogues.Datum(position);
      MoveListTo(window, side, ListRole::kEllipsoid, crs.datum.ellipsoidIndex);
      break;
    case ListRole::kEllipsoid:
      crs.ellipsoid = catalogues.Ellipsoid(position);
      break;
  }
  ShowEllipsoidNote(window, side);
}

// Moves the list to a catalogue position (at most its last entry) and takes
// that entry; a list with no entries stays as it is.
void MoveListTo(HWND window, Side side, ListRole role, int32_t wanted) {
  const int32_t position = std::min(ListedCount(role), wanted);
  if (position < 1) return;
  SendDlgItemMessageA(window, SelectionListId(side, role), CB_SETCURSEL, position - 1, 0);
  PostMessageA(window, kShowEntryStartMessage, SelectionListId(side, role), 0);
  TakeEntry(window, side, role, position);
}

void ListChosen(HWND window, const SelectionList& list) {
  const int32_t position = ChosenPosition(window, list.side, list.role);
  if (position < 1) return;
  // A choice, wherever it came from, ends a search.
  CloseSystemSearch();
  TakeEntry(window, list.side, list.role, position);
  // The first catalogue projection stands for geographic coordinates, and so
  // does a geographic system on its own prime meridian.
  if (list.role == ListRole::kProjection) {
    EnableFields(list.side, position > 1 && !IsGeographic(CrsSideOf(list.side).projection));
    FollowSystemUnit(window, list.side, position);
  }
  ClearTargetResults();
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

// All four get "Point Mode" before any gets "List Mode".
void FillModeTabs(HWND window) {
  const char* const names[] = {"Point Mode", "List Mode"};
  for (int index : {kPointModeTab, kListModeTab}) {
    for (const ModeTab& tab : kModeTabs) {
      TCITEMA item{TCIF_TEXT, 0, 0, const_cast<char*>(names[index]), 0, -1, 0};
      SendDlgItemMessageA(window, tab.id, TCM_INSERTITEMA, index, reinterpret_cast<LPARAM>(&item));
    }
  }
  for (const ModeTab& tab : kModeTabs) {
    SendDlgItemMessageA(window, tab.id, TCM_SETPADDING, 0, MAKELPARAM(4, 4));
    SendDlgItemMessageA(window, tab.id, TCM_SETCURSEL, kPointModeTab, 0);
  }
}

// One tab control's change, and through TCM_SETCURFOCUS the same change on
// the others: each that really changes announces it and comes back here, so
// all four end on the same tab with the matching pages shown. TCM_SETCURSEL
// would change them silently and leave their pages as they were.
void SwitchModeTab(HWND window, UINT code, const ModeTab& tab, LRESULT current) {
  ProgramErrorTrap trap("SwitchModeTab");
  trap.Guard([&] {
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
  });
}

void OnNotify(HWND window, const NMHDR& header) {
  const int id = static_cast<int>(header.idFrom);
  const LRESULT current = SendDlgItemMessageA(window, id, TCM_GETCURSEL, 0, 0);
  for (const ModeTab& tab : kModeTabs) {
    if (tab.id == id) SwitchModeTab(window, header.code, tab, current);
  }
}

// ------------------------------------------------------------ commands

void ShowCrsInfo(Side side) {
  const CrsSide& crs = CrsSideOf(side);
  std::string report = CrsReportText(crs.projection, crs.datum, crs.ellipsoid);
  if (const std::string note = EllipsoidNote(side); !note.empty()) report += "\r\r" + note;
  const std::string own =
      OwnEntriesText(ProgramCatalogues(), crs.projection, crs.datum, crs.ellipsoid);
  if (!own.empty()) report += "\r\r" + own;
  std::string text;
  for (char c : report) {
    if (c == '@') {
      text += SideName(side);
    } else {
      text += c;
    }
  }
  MessageBoxA(nullptr, text.c_str(), kCaptionInformation, MB_TASKMODAL | MB_ICONINFORMATION);
}

void OpenUnitsDialogFor(HWND window, Side side) {
  const UnitsAndFormats before = CrsSideOf(side).unitsAndFormats;
  unitsDialogSide = side;
  OpenUnitsDialog(window);
  UnitsAndFormatsChanged(window, side, before);
}

// The list index of the entry the side holds for the list, or -1. The side
// holds a copy: the first entry of that name is it.
LRESULT ChosenIndex(int listId) {
  const SelectionList* list = FindSelectionList(listId);
  if (list == nullptr) return -1;
  const Catalogues& catalogues = ProgramCatalogues();
  const CrsSide& crs = CrsSideOf(list->side);
  auto indexOf = [&](const std::string& chosen, auto nameAt) -> LRESULT {
    for (int32_t p = 1; !chosen.empty() && p <= ListedCount(list->role); ++p) {
      if (nameAt(p) == chosen) return p - 1;
    }
    return -1;
  };
  switch (list->role) {
    case ListRole::kProjection:
      return indexOf(TrimmedField(crs.projection.name),
                     [&](int32_t p) { return TrimmedField(catalogues.Projection(p).name); });
    case ListRole::kDatum:
      return indexOf(TrimmedField(crs.datum.name),
                     [&](int32_t p) { return TrimmedField(catalogues.Datum(p).name); });
    case ListRole::kEllipsoid:
      return indexOf(TrimmedField(crs.ellipsoid.name),
                     [&](int32_t p) { return TrimmedField(catalogues.Ellipsoid(p).name); });
  }
  return -1;
}

std::string WindowTextOf(HWND window) {
  std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  text.resize(
      static_cast<size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// What was typed into a list: the characters put into the chosen entry's
// text where the cursor was, or the whole text when it replaced the entry.
std::string TypedIntoList(HWND window, int listId) {
  const HWND list = GetDlgItem(window, listId);
  const std::string text = WindowTextOf(list);
  const LRESULT chosen = ChosenIndex(listId);
  if (chosen < 0) return text;
  std::string entry(static_cast<size_t>(SendMessageA(list, CB_GETLBTEXTLEN, chosen, 0)) + 1, '\0');
  entry.resize(static_cast<size_t>(
      SendMessageA(list, CB_GETLBTEXT, chosen, reinterpret_cast<LPARAM>(entry.data()))));
  if (text.size() <= entry.size()) return text;
  size_t before = 0;
  while (before < entry.size() && text[before] == entry[before]) ++before;
  const size_t after = entry.size() - before;
  if (text.compare(text.size() - after, after, entry, before, after) != 0) return text;
  return text.substr(before, text.size() - entry.size());
}

// Ctrl+F: the list with the focus (or its edit part) is searched, all its
// entries listed to begin with.
void SearchFocusedList(HWND window) {
  const HWND focus = GetFocus();
  for (const SelectionList& list : kSelectionLists) {
    const HWND combo = GetDlgItem(window, list.id);
    if (focus != nullptr && (focus == combo || IsChild(combo, focus))) {
      OpenSystemSearch(window, list.id, "");
      return;
    }
  }
}

INT_PTR OnCommand(HWND window, WORD id, WORD code) {
  if (const SelectionList* list = FindSelectionList(id)) {
    // Typing into a list is not a choice: it searches the list.
    if (code == CBN_SELCHANGE) ListChosen(window, *list);
    // The list selects its whole text on each of these, which shows the end
    // of a long entry; once it has, the start is shown again.
    if (code == CBN_SELCHANGE || code == CBN_SETFOCUS || code == CBN_KILLFOCUS) {
      PostMessageA(window, kShowEntryStartMessage, id, 0);
    }
    if (code == CBN_EDITCHANGE) OpenSystemSearch(window, id, TypedIntoList(window, id));
    return TRUE;
  }
  switch (id) {
    case kExitButton:
    case kMenuExit:
      if (IsClick(code)) DestroyWindow(window);
      return TRUE;
    case kStartInfoButton:
      if (IsClick(code)) ShowCrsInfo(Side::kStart);
      return TRUE;
    case kTargetInfoButton:
      if (IsClick(code)) ShowCrsInfo(Side::kTarget);
      return TRUE;
    case kTransformButton:
      TransformCommand();
      return TRUE;
    case kStartUnitsButton:
      if (IsClick(code)) OpenUnitsDialogFor(window, Side::kStart);
      return TRUE;
    case kTargetUnitsButton:
      if (IsClick(code)) OpenUnitsDialogFor(window, Side::kTarget);
      return TRUE;
    case kHelpButton:
    case kMenuHelp:
      if (IsClick(code)) ShowHelpDocument();
      return TRUE;
    case kMenuAbout:
      ShowAboutBox();
      return TRUE;
    case kMenuCopyResults:
      CopyResults(window);
      return TRUE;
    case kMenuFindSystem:
      SearchFocusedList(window);
      return TRUE;
    case kMenuAddProjection:
      OpenProjectionDialog(window);
      return TRUE;
    case kMenuAddDatum:
      OpenDatumDialog(window);
      return TRUE;
    case kMenuAddEllipsoid:
      OpenEllipsoidDialog(window);
      return TRUE;
    case kMenuEditMyEntries:
      OpenMyEntriesDialog(window);
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
      FillSelectionLists();
      ResetSides();
      for (Side side : kBothSides) {
        UnofferedUnit(side).clear();
        ShowUnitsAndFormats(window, side);
      }
      PostMessageA(window, kBuildPagesMessage, 0, 0);
      return TRUE;
    case kBuildPagesMessage:
      BuildEntryPages(window);
      // Each side starts as choosing "none" leaves it: geographic fields to
      // type into, its datum and ellipsoid chosen. Remembered systems win.
      for (Side side : kBothSides) {
        ShowAngleCues(side);
        if (ListedCount(ListRole::kProjection) > 0) {
          ChooseFoundEntry(SelectionListId(side, ListRole::kProjection), 1, "");
        }
      }
      RestoreSettings(window);
      return TRUE;
    case kShowEntryStartMessage:
      ShowEntryStart(GetDlgItem(window, static_cast<int>(wParam)));
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
      // The pages are still there: their list-file names are saved too.
      SaveSettings(window);
      // The loop may be waiting for a message; this one lets it see the end.
      PostMessageA(nullptr, WM_NULL, 0, 0);
      return FALSE;
    default:
      return FALSE;
  }
}

HMENU BuildMenuBar(HWND window) {
  const MenuEntry file[] = {{"&Exit", kMenuExit}};
  const MenuEntry edit[] = {{"&Copy results\tCtrl+Shift+C", kMenuCopyResults},
                            {"&Find in the list\tCtrl+F", kMenuFindSystem}};
  const MenuEntry data[] = {{"Add &Projection", kMenuAddProjection},
                            {nullptr, kNoCommand},
                            {"Add &Datum", kMenuAddDatum},
                            {"Add &Ellipsoid", kMenuAddEllipsoid},
                            {nullptr, kNoCommand},
                            {"Edit &my entries...", kMenuEditMyEntries}};
  const MenuEntry help[] = {{"&Help", kMenuHelp}, {nullptr, kNoCommand}, {"&About", kMenuAbout}};
  const HMENU bar = CreateMenu();
  AppendMenuEntry(bar, {"&File", kNoCommand}, PopupMenu(file));
  AppendMenuEntry(bar, {"&Edit", kNoCommand}, PopupMenu(edit));
  AppendMenuEntry(bar, {"&Data", kNoCommand}, PopupMenu(data));
  AppendMenuEntry(bar, {"&Help", kNoCommand}, PopupMenu(help));
  SetMenu(window, bar);
  return bar;
}

HWND CreateMainWindow() {
  DialogTemplate tmpl(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPSIBLINGS |
                          DS_MODALFRAME | DS_3DLOOK | DS_NOFAILCREATE,
                      WS_EX_CONTROLPARENT, 19, 42, 424, 393, kMainWindowCaption);
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

HACCEL MainWindowAccelerators() {
  static const HACCEL table = [] {
    ACCEL keys[] = {{FVIRTKEY | FCONTROL | FSHIFT, 'C', kMenuCopyResults},
                    {FVIRTKEY | FCONTROL, 'F', kMenuFindSystem}};
    return CreateAcceleratorTableA(keys, static_cast<int>(std::size(keys)));
  }();
  return table;
}

void RunMainWindow(HWND window) {
  ShowWindow(window, SW_SHOW);
  const HACCEL accelerators = MainWindowAccelerators();
  MSG msg;
  while (IsWindow(window) && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (TranslateAcceleratorA(window, accelerators, &msg)) continue;
    if (const HWND search = SystemSearchWindow(); search && IsDialogMessageA(search, &msg))
      continue;
    if (!IsDialogMessageA(window, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

void ChooseFoundEntry(int listId, int32_t position, const std::string& epsgUnit) {
  const SelectionList* list = FindSelectionList(listId);
  const HWND combo = GetDlgItem(mainWindow, listId);
  if (list == nullptr || combo == nullptr) return;
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(position - 1), 0);
  SendMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(listId, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
  if (list->role == ListRole::kProjection && !epsgUnit.empty()) {
    TakeEpsgUnit(mainWindow, list->side, epsgUnit);
  }
}

void SetUnitsAndFormats(HWND window, Side side, const UnitsAndFormats& wanted) {
  UnitsAndFormats& formats = CrsSideOf(side).unitsAndFormats;
  const UnitsAndFormats before = formats;
  formats.angleFormat = wanted.angleFormat;
  SetLengthUnit(formats, wanted.lengthUnit);
  UnitsAndFormatsChanged(window, side, before);
}

ListPositions ChosenListPositions() {
  ListPositions chosen{};
  for (size_t i = 0; i < std::size(kSelectionLists); ++i) {
    chosen.position[i] = static_cast<int32_t>(ChosenIndex(kSelectionLists[i].id) + 1);
  }
  return chosen;
}

void RefillSelectionLists(const ListPositions& before, ListRole role, int32_t removed,
                          int32_t moveTo) {
  CloseSystemSearch();
  FillSelectionLists();
  const Catalogues& catalogues = ProgramCatalogues();
  bool lost[std::size(kSelectionLists)] = {};
  for (size_t i = 0; i < std::size(kSelectionLists); ++i) {
    const SelectionList& list = kSelectionLists[i];
    int32_t position = before.position[i];
    if (list.role == role && removed > 0 && position >= removed) {
      lost[i] = position == removed;
      --position;
    }
    if (lost[i] || position < 1 || position > ListedCount(list.role)) continue;
    // The side's copy is taken again: the entry may have changed.
    SendDlgItemMessageA(mainWindow, list.id, CB_SETCURSEL, static_cast<WPARAM>(position - 1), 0);
    PostMessageA(mainWindow, kShowEntryStartMessage, static_cast<WPARAM>(list.id), 0);
    CrsSide& crs = CrsSideOf(list.side);
    switch (list.role) {
      case ListRole::kProjection:
        crs.projection = catalogues.Projection(position);
        break;
      case ListRole::kDatum:
        crs.datum = catalogues.Datum(position);
        break;
      case ListRole::kEllipsoid:
        crs.ellipsoid = catalogues.Ellipsoid(position);
        break;
    }
  }
  for (size_t i = 0; i < std::size(kSelectionLists); ++i) {
    if (lost[i]) ChooseFoundEntry(kSelectionLists[i].id, 1, "");
  }
  if (moveTo > 0) ChooseFoundEntry(SelectionListId(Side::kStart, role), moveTo, "");
  for (Side side : kBothSides) ShowEllipsoidNote(mainWindow, side);
  ClearTargetResults();
}

void ShowChosenEntry(int listId) {
  SendDlgItemMessageA(mainWindow, listId, CB_SETCURSEL, static_cast<WPARAM>(ChosenIndex(listId)),
                      0);
  ShowEntryStart(GetDlgItem(mainWindow, listId));
}
