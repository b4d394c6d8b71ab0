#include "selection_lists.h"

#include <windows.h>
// <commctrl.h> needs the types of <windows.h>.
#include <commctrl.h>

#include <algorithm>
#include <string>

#include "catalogue.h"
#include "errormessage.h"
#include "main_window.h"
#include "user_entries.h"

namespace {

// Adds one entry per catalogue position; a list that runs out of memory is
// left as far as it got and the trap reports it.
void FillList(Side side, ListRole role, const char* routine) {
  ProgramErrorTrap trap(routine);
  const HWND list = GetDlgItem(mainWindow, SelectionListId(side, role));
  SendMessageA(list, CB_RESETCONTENT, 0, 0);
  const int32_t last = ListedCount(role);
  trap.Guard([&] {
    for (int32_t position = 1; position <= last; ++position) {
      const std::string text = ListEntryText(role, position);
      const LRESULT added =
          SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
      if (added == CB_ERR || added == CB_ERRSPACE) {
        trap.Raise(kErrOutOfMemory);
        return;
      }
    }
  });
}

// The width in pixels of the widest entry of a kind, in the font of one of
// its lists. The texts are the program's own: reading entries back from the
// list would depend on how long a text the system's combo box hands back.
LONG WidestEntry(HWND list, ListRole role) {
  const HDC dc = GetDC(list);
  const HGDIOBJ previous =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0)));
  LONG widest = 0;
  const int32_t last = ListedCount(role);
  for (int32_t position = 1; position <= last; ++position) {
    const std::string text = ListEntryText(role, position);
    SIZE size{};
    if (GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size)) {
      widest = std::max(widest, size.cx);
    }
  }
  if (previous != nullptr) SelectObject(dc, previous);
  ReleaseDC(list, dc);
  return widest;
}

// The dropped-down lists show whole names: as wide as the widest entry (but
// no wider than the screen) and twenty entries at a time. Both sides' lists
// of a kind hold the same entries.
void SizeDroppedLists() {
  RECT margin{0, 0, 8, 0};  // the entries' own margins, in dialog units
  MapDialogRect(mainWindow, &margin);
  const int extra = margin.right + GetSystemMetrics(SM_CXVSCROLL);
  for (ListRole role : {ListRole::kProjection, ListRole::kDatum, ListRole::kEllipsoid}) {
    const LONG widest =
        WidestEntry(GetDlgItem(mainWindow, SelectionListId(Side::kStart, role)), role);
    const int width = std::min<int>(widest + extra, GetSystemMetrics(SM_CXSCREEN));
    for (Side side : kBothSides) {
      SendDlgItemMessageA(mainWindow, SelectionListId(side, role), CB_SETDROPPEDWIDTH,
                          static_cast<WPARAM>(width), 0);
      SendDlgItemMessageA(mainWindow, SelectionListId(side, role), CB_SETMINVISIBLE,
                          kDroppedListRows, 0);
    }
  }
}

}  // namespace

int32_t ListedCount(ListRole role) {
  const Catalogues& catalogues = ProgramCatalogues();
  switch (role) {
    case ListRole::kProjection:
      return std::clamp(catalogues.projectionCount, 0, kProjectionCapacity);
    case ListRole::kDatum:
      return std::clamp(catalogues.datumCount, 0, kDatumCapacity);
    case ListRole::kEllipsoid:
      return std::clamp(catalogues.ellipsoidCount, 0, kEllipsoidCapacity);
  }
  return 0;
}

std::string ListEntryText(ListRole role, int32_t position) {
  const Catalogues& catalogues = ProgramCatalogues();
  // The user's own entries are marked at the end.
  const auto marked = [](std::string text, bool own) { return own ? text + kUserEntryMark : text; };
  switch (role) {
    case ListRole::kProjection:
      return marked(ProjectionListEntry(catalogues.Projection(position)),
                    IsUserProjection(catalogues, position));
    case ListRole::kDatum:
      return marked(DatumListEntry(catalogues.Datum(position)), IsUserDatum(catalogues, position));
    case ListRole::kEllipsoid:
      return marked(EllipsoidListEntry(catalogues.Ellipsoid(position)),
                    IsUserEllipsoid(catalogues, position));
  }
  return {};
}

void ShowEntryStart(HWND list) {
  COMBOBOXINFO parts{};
  parts.cbSize = sizeof parts;
  if (!GetComboBoxInfo(list, &parts) || parts.hwndItem == nullptr) return;
  const LRESULT length = SendMessageA(list, WM_GETTEXTLENGTH, 0, 0);
  if (length <= 0) return;
  // With the focus, the whole text stays selected for typing over: start and
  // end the other way round, as the caret goes to the end position. Without
  // it, nothing is selected, as the focus leaving the list leaves it.
  const HWND focus = GetFocus();
  const bool focused = focus != nullptr && (focus == list || IsChild(list, focus));
  const WORD last = focused ? static_cast<WORD>(std::min<LRESULT>(length, 0x7FFF)) : 0;
  SendMessageA(list, CB_SETEDITSEL, 0, MAKELPARAM(last, 0));
  // The edit box scrolls to the caret, with or without the focus.
  SendMessageA(parts.hwndItem, EM_SCROLLCARET, 0, 0);
}

void FillSelectionLists() {
  for (Side side : kBothSides) FillList(side, ListRole::kDatum, "FillDatumList");
  for (Side side : kBothSides) FillList(side, ListRole::kEllipsoid, "FillEllipsoidList");
  for (Side side : kBothSides) {
    FillList(side, ListRole::kProjection, "FillProjectionList");
    SendDlgItemMessageA(mainWindow, SelectionListId(side, ListRole::kProjection), CB_SETCURSEL, 0,
                        0);
  }
  SizeDroppedLists();
}
