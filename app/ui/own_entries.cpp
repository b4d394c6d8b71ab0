#include "own_entries.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "catalogue.h"
#include "dialog_conventions.h"
#include "dialog_template.h"
#include "fixed_text.h"
#include "grid_files.h"
#include "main_window.h"
#include "message.h"
#include "user_entries.h"
#include "user_entry_files.h"

namespace {

// Why the user's files were not loaded at start; "" when they were.
std::string loadProblem;

// A catalogue that was never joined by the user's entries counts as holding
// none of them.
void MarkShippedPart(Catalogues& c) {
  if (c.shippedEllipsoidCount >= 0) return;
  c.shippedEllipsoidCount = std::max(c.ellipsoidCount, 0);
  c.shippedDatumCount = std::max(c.datumCount, 0);
  c.shippedProjectionCount = std::max(c.projectionCount, 0);
}

bool UserFilesWritable() {
  if (loadProblem.empty()) return true;
  ShowMessage(loadProblem +
                  ". Your own entries stay as they are until that file is mended and Varnel "
                  "starts again.",
              kCaptionWarning, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
  return false;
}

// Changes the catalogues, saves the user's entries and shows the lists
// again; when the files cannot be written, everything goes back.
bool ChangeAndSave(ListRole role, int32_t removed,
                   const std::function<int32_t(Catalogues&)>& edit) {
  if (!UserFilesWritable()) return false;
  Catalogues& catalogues = ProgramCatalogues();
  MarkShippedPart(catalogues);
  const ListPositions before = ChosenListPositions();
  const auto backup = std::make_unique<Catalogues>(catalogues);
  const int32_t moveTo = edit(catalogues);
  if (moveTo < 0) return false;
  std::string problem;
  if (!SaveUserEntries(catalogues, UserEntriesFolder(), problem)) {
    catalogues = *backup;
    std::string ignored;  // the files as they were, as far as they can be
    SaveUserEntries(catalogues, UserEntriesFolder(), ignored);
    ShowMessage(problem + ". Your entry is not stored.", kCaptionError,
                MB_OK | MB_ICONHAND | MB_TASKMODAL);
    return false;
  }
  ResolveDatumEllipsoids(catalogues);
  ResolveProjectionDatums(catalogues);
  RefillSelectionLists(before, role, removed, moveTo);
  return true;
}

// Says so and gives -1, for ChangeAndSave.
int32_t NoRoom(const char* kind, int32_t capacity) {
  ShowMessage(std::string("There is no room for another ") + kind +
                  "; the catalogue holds at most " + std::to_string(capacity) + ".",
              kCaptionWarning, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
  return -1;
}

// The grid datums of the user whose grid leads to a datum on that ellipsoid.
std::string GridUsersOfEllipsoid(const Catalogues& c, std::string_view ellipsoid) {
  std::string users;
  for (int32_t p = c.shippedDatumCount + 1; p <= c.datumCount; ++p) {
    const DatumRecord& datum = c.Datum(p);
    if (!IsGridShiftMethod(datum.methodCode)) continue;
    const auto grid = ReadGridReference(FieldView(datum.areaOfUse, kAreaOfUseWidth));
    if (grid && SameName(grid->ellipsoid, ellipsoid)) {
      users += (users.empty() ? "" : ", ") + TrimmedField(datum.name);
    }
  }
  return users;
}

}  // namespace

void LoadUserEntriesShowingProblem() {
  std::string problem;
  loadProblem.clear();
  if (LoadUserEntries(ProgramCatalogues(), UserEntriesFolder(), problem)) return;
  loadProblem = problem;
  ShowMessage(problem + ". Your own entries are not loaded; the shipped catalogues are.",
              kCaptionWarning, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
}

bool StoreUserEntry(const EllipsoidRecord& record, int32_t position) {
  return ChangeAndSave(ListRole::kEllipsoid, 0, [&](Catalogues& c) -> int32_t {
    if (position == 0) {
      if (c.ellipsoidCount >= kEllipsoidCapacity) return NoRoom("ellipsoid", kEllipsoidCapacity);
      c.ellipsoids[c.ellipsoidCount++] = record;
      return c.ellipsoidCount;
    }
    // The user's datums follow a new name: by name, and of a grid datum the
    // ellipsoid its grid leads to.
    const std::string old = TrimmedField(c.Ellipsoid(position).name);
    const std::string renamed = TrimmedField(record.name);
    for (int32_t p = c.shippedDatumCount + 1; p <= c.datumCount; ++p) {
      DatumRecord& datum = c.Datum(p);
      if (SameName(FieldView(datum.ellipsoidName, kEllipsoidNameWidth), old)) {
        SetFixedField(datum.ellipsoidName, renamed);
      }
      if (!IsGridShiftMethod(datum.methodCode)) continue;
      const auto grid = ReadGridReference(FieldView(datum.areaOfUse, kAreaOfUseWidth));
      if (grid && SameName(grid->ellipsoid, old)) {
        SetFixedField(datum.areaOfUse, std::string(grid->file) + "|" + renamed + "|" +
                                           std::string(grid->source) + "|" +
                                           std::string(grid->area));
      }
    }
    c.Ellipsoid(position) = record;
    return position;
  });
}

bool StoreUserEntry(const DatumRecord& record, int32_t position) {
  return ChangeAndSave(ListRole::kDatum, 0, [&](Catalogues& c) -> int32_t {
    if (position == 0) {
      if (c.datumCount >= kDatumCapacity) return NoRoom("datum", kDatumCapacity);
      c.datums[c.datumCount++] = record;
      return c.datumCount;
    }
    // The user's projections on it take its new name.
    for (int32_t p = c.shippedProjectionCount + 1; p <= c.projectionCount; ++p) {
      if (c.Projection(p).datumIndex == position) {
        SetFixedField(c.Projection(p).datumName, TrimmedField(record.name));
      }
    }
    c.Datum(position) = record;
    return position;
  });
}

bool StoreUserEntry(const ProjectionRecord& record, int32_t position) {
  return ChangeAndSave(ListRole::kProjection, 0, [&](Catalogues& c) -> int32_t {
    if (position == 0) {
      if (c.projectionCount >= kProjectionCapacity) {
        return NoRoom("projection", kProjectionCapacity);
      }
      c.projections[c.projectionCount++] = record;
      return c.projectionCount;
    }
    c.Projection(position) = record;
    return position;
  });
}

bool RemoveUserEntry(ListRole role, int32_t position) {
  const Catalogues& catalogues = ProgramCatalogues();
  std::string kind;
  std::string name;
  std::string users;
  switch (role) {
    case ListRole::kEllipsoid:
      kind = "ellipsoid";
      name = TrimmedField(catalogues.Ellipsoid(position).name);
      users = UsersOfEllipsoid(catalogues, position);
      if (const std::string grids = GridUsersOfEllipsoid(catalogues, name); !grids.empty()) {
        users += (users.empty() ? "" : ", ") + grids;
      }
      if (!users.empty()) users = "your datums: " + users;
      break;
    case ListRole::kDatum:
      kind = "datum";
      name = TrimmedField(catalogues.Datum(position).name);
      users = UsersOfDatum(catalogues, position);
      if (!users.empty()) users = "your projections: " + users;
      break;
    case ListRole::kProjection:
      kind = "projection";
      name = TrimmedField(catalogues.Projection(position).name);
      break;
  }
  if (!users.empty()) {
    ShowMessage("The " + kind + " \"" + name + "\" cannot be removed; it is used by " + users +
                    ". Change or remove them first.",
                kCaptionWarning, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
    return false;
  }
  if (ShowMessage("Remove the " + kind + " \"" + name + "\" from your own entries?",
                  kCaptionQuestion, MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL) != IDYES) {
    return false;
  }
  return ChangeAndSave(role, position, [&](Catalogues& c) -> int32_t {
    const auto takeOut = [position](auto* records, int32_t& count) {
      std::copy(records + position, records + count, records + position - 1);
      std::memset(static_cast<void*>(records + count - 1), 0, sizeof records[0]);
      --count;
    };
    switch (role) {
      case ListRole::kEllipsoid:
        takeOut(c.ellipsoids, c.ellipsoidCount);
        break;
      case ListRole::kDatum:
        takeOut(c.datums, c.datumCount);
        break;
      case ListRole::kProjection:
        takeOut(c.projections, c.projectionCount);
        break;
    }
    return 0;
  });
}

// ------------------------------------------------------------ my entries

namespace {

constexpr int kIdMyEntriesLabel = 901;

// A list entry's item data: the role and the catalogue position.
constexpr LPARAM kRoleStep = 100000;

void FillMyEntries(HWND dialog, LRESULT select) {
  const Catalogues& c = ProgramCatalogues();
  const HWND list = GetDlgItem(dialog, kIdMyEntryList);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  const auto add = [&](ListRole role, const char* kind, const char* name, int32_t position) {
    const std::string text = std::string(kind) + ":  " + TrimmedField(name, kEllipsoidNameWidth);
    const LRESULT at = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (at >= 0) {
      SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(at),
                   static_cast<LPARAM>(role) * kRoleStep + position);
    }
  };
  if (c.shippedEllipsoidCount >= 0) {
    for (int32_t p = c.shippedEllipsoidCount + 1; p <= c.ellipsoidCount; ++p) {
      add(ListRole::kEllipsoid, "Ellipsoid", c.Ellipsoid(p).name, p);
    }
    for (int32_t p = c.shippedDatumCount + 1; p <= c.datumCount; ++p) {
      add(ListRole::kDatum, "Datum", c.Datum(p).name, p);
    }
    for (int32_t p = c.shippedProjectionCount + 1; p <= c.projectionCount; ++p) {
      add(ListRole::kProjection, "Projection", c.Projection(p).name, p);
    }
  }
  const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  if (count > 0) {
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(std::clamp<LRESULT>(select, 0, count - 1)),
                 0);
  }
  EnableWindow(GetDlgItem(dialog, kIdChangeEntry), count > 0);
  EnableWindow(GetDlgItem(dialog, kIdRemoveEntry), count > 0);
}

// The chosen entry's role and position; position 0 when none is chosen.
std::pair<ListRole, int32_t> ChosenEntry(HWND dialog) {
  const LRESULT at = SendDlgItemMessageA(dialog, kIdMyEntryList, LB_GETCURSEL, 0, 0);
  if (at < 0) return {ListRole::kProjection, 0};
  const LRESULT data =
      SendDlgItemMessageA(dialog, kIdMyEntryList, LB_GETITEMDATA, static_cast<WPARAM>(at), 0);
  return {static_cast<ListRole>(data / kRoleStep), static_cast<int32_t>(data % kRoleStep)};
}

void ChangeChosen(HWND dialog) {
  const auto [role, position] = ChosenEntry(dialog);
  if (position == 0) return;
  bool changed = false;
  switch (role) {
    case ListRole::kEllipsoid:
      changed = OpenEllipsoidDialog(dialog, position);
      break;
    case ListRole::kDatum:
      changed = OpenDatumDialog(dialog, position);
      break;
    case ListRole::kProjection:
      changed = OpenProjectionDialog(dialog, position);
      break;
  }
  if (changed) {
    FillMyEntries(dialog, SendDlgItemMessageA(dialog, kIdMyEntryList, LB_GETCURSEL, 0, 0));
  }
}

INT_PTR CALLBACK MyEntriesProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      FillMyEntries(dialog, 0);
      return TRUE;
    case WM_NCACTIVATE:
      KeepFocus(dialog, wParam);
      return FALSE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const WORD code = HIWORD(wParam);
      if (id == kIdMyEntryList && code == LBN_DBLCLK) {
        ChangeChosen(dialog);
      } else if (id == kIdChangeEntry && IsClick(code)) {
        ChangeChosen(dialog);
      } else if (id == kIdRemoveEntry && IsClick(code)) {
        const LRESULT at = SendDlgItemMessageA(dialog, kIdMyEntryList, LB_GETCURSEL, 0, 0);
        const auto [role, position] = ChosenEntry(dialog);
        if (position != 0 && RemoveUserEntry(role, position)) FillMyEntries(dialog, at);
      } else if (id == IDCANCEL || id == IDOK) {
        EndDialog(dialog, IDOK);
      } else {
        return FALSE;
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

void OpenMyEntriesDialog(HWND parent) {
  constexpr DWORD kVisible = WS_CHILD | WS_VISIBLE;
  constexpr DWORD kButton = kVisible | BS_PUSHBUTTON | WS_TABSTOP;
  DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK, 0, 60, 60,
                        316, 178, "My own entries");
  dialog
      .Control(kVisible | SS_LEFT, 0, 8, 8, 300, 8, kIdMyEntriesLabel, "STATIC",
               "&Your own ellipsoids, datums and projections (the shipped ones stay as they are):")
      .Control(kVisible | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP,
               WS_EX_CLIENTEDGE, 8, 20, 300, 128, kIdMyEntryList, "LISTBOX", "")
      .Control(kButton | BS_DEFPUSHBUTTON, 0, 8, 154, 70, 16, kIdChangeEntry, "BUTTON",
               "&Change...")
      .Control(kButton, 0, 84, 154, 70, 16, kIdRemoveEntry, "BUTTON", "&Remove")
      .Control(kButton, 0, 238, 154, 70, 16, IDCANCEL, "BUTTON", "Close");
  DialogBoxIndirectParamA(nullptr, dialog.get(), parent, &MyEntriesProcedure, 0);
}
