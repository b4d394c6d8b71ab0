#include "selection_lists.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "catalogue.h"
#include "errormessage.h"
#include "main_window.h"

namespace {

// Adds one entry per catalogue position; a list that runs out of memory is
// left as far as it got and the trap reports it.
template <typename EntryText>
void FillList(Side side, ListRole role, ErrorTrap& trap, EntryText entryText) {
  const HWND list = GetDlgItem(mainWindow, SelectionListId(side, role));
  SendMessageA(list, CB_RESETCONTENT, 0, 0);
  const int32_t last = ListedCount(role);
  trap.Guard([&] {
    for (int32_t position = 1; position <= last; ++position) {
      const std::string text = entryText(position);
      const LRESULT added =
          SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
      if (added == CB_ERR || added == CB_ERRSPACE) {
        trap.Raise(kErrOutOfMemory);
        return;
      }
    }
  });
}

void FillDatumList(Side side) {
  ProgramErrorTrap trap("FillDatumList");
  const Catalogues& catalogues = ProgramCatalogues();
  FillList(side, ListRole::kDatum, trap,
           [&](int32_t position) { return DatumListEntry(catalogues.Datum(position)); });
}

void FillEllipsoidList(Side side) {
  ProgramErrorTrap trap("FillEllipsoidList");
  const Catalogues& catalogues = ProgramCatalogues();
  FillList(side, ListRole::kEllipsoid, trap,
           [&](int32_t position) { return EllipsoidListEntry(catalogues.Ellipsoid(position)); });
}

void FillProjectionList(Side side) {
  ProgramErrorTrap trap("FillProjectionList");
  const Catalogues& catalogues = ProgramCatalogues();
  FillList(side, ListRole::kProjection, trap,
           [&](int32_t position) { return ProjectionListEntry(catalogues.Projection(position)); });
  SendDlgItemMessageA(mainWindow, SelectionListId(side, ListRole::kProjection), CB_SETCURSEL, 0, 0);
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

void FillSelectionLists() {
  for (Side side : kBothSides) FillDatumList(side);
  for (Side side : kBothSides) FillEllipsoidList(side);
  for (Side side : kBothSides) FillProjectionList(side);
}
