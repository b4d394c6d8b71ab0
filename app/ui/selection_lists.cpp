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
void FillList(int id, int32_t count, int32_t capacity, ErrorTrap& trap, EntryText entryText) {
  const HWND list = GetDlgItem(mainWindow, id);
  SendMessageA(list, CB_RESETCONTENT, 0, 0);
  const int32_t last = std::clamp(count, 0, capacity);
  for (int32_t position = 1; position <= last; ++position) {
    const std::string text = entryText(position);
    const LRESULT added =
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (added == CB_ERR || added == CB_ERRSPACE) {
      trap.Raise(kErrOutOfMemory);
      return;
    }
  }
}

}  // namespace

void FillDatumList(int id) {
  ProgramErrorTrap trap("FillDatumList");
  const Catalogues& catalogues = ProgramCatalogues();
  FillList(id, catalogues.datumCount, kDatumCapacity, trap,
           [&](int32_t position) { return DatumListEntry(catalogues.Datum(position)); });
}

void FillEllipsoidList(int id) {
  ProgramErrorTrap trap("FillEllipsoidList");
  const Catalogues& catalogues = ProgramCatalogues();
  FillList(id, catalogues.ellipsoidCount, kEllipsoidCapacity, trap,
           [&](int32_t position) { return EllipsoidListEntry(catalogues.Ellipsoid(position)); });
}

void FillProjectionList(int id) {
  ProgramErrorTrap trap("FillProjectionList");
  const Catalogues& catalogues = ProgramCatalogues();
  FillList(id, catalogues.projectionCount, kProjectionCapacity, trap,
           [&](int32_t position) { return ProjectionListEntry(catalogues.Projection(position)); });
  SendDlgItemMessageA(mainWindow, id, CB_SETCURSEL, 0, 0);
}
