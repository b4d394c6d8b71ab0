#include "units_dialog.h"

#include "dialog_conventions.h"
#include "dialog_template.h"

Side unitsDialogSide = Side::kStart;

namespace {

// What the side had when the dialog opened, for "&Cancel".
struct Backup {
  int32_t angleFormat;
  int32_t lengthUnit;
};
Backup startBackup{};
Backup targetBackup{};

UnitsAndFormats& EditedSide() {
  return CrsSideOf(unitsDialogSide).unitsAndFormats;
}

Backup& EditedBackup() {
  return unitsDialogSide == Side::kStart ? startBackup : targetBackup;
}

void PutBack() {
  UnitsAndFormats& side = EditedSide();
  const Backup& backup = EditedBackup();
  side.angleFormat = backup.angleFormat;
  side.lengthUnit = backup.lengthUnit;
  if (const LengthUnit* unit = FindLengthUnit(backup.lengthUnit)) side.lengthFactor = unit->factor;
}

INT_PTR CALLBACK UnitsDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: {
      UnitsAndFormats& side = EditedSide();
      CheckRadioButton(dialog, kIdAngleDms, kIdAngleDecimal,
                       side.angleFormat == kAngleFormatDms ? kIdAngleDms : kIdAngleDecimal);
      CheckRadioButton(dialog, kIdFirstUnit, kIdLastUnit, side.lengthUnit);
      EditedBackup() = {side.angleFormat, side.lengthUnit};
      return TRUE;
    }
    case WM_NCACTIVATE:
      KeepFocus(dialog, wParam);
      return FALSE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const WORD code = HIWORD(wParam);
      if (id == kIdAngleDms || id == kIdAngleDecimal) {
        EditedSide().angleFormat = id == kIdAngleDms ? kAngleFormatDms : kAngleFormatDecimal;
        return TRUE;
      }
      // A length unit option: its id is the unit's.
      if (SetLengthUnit(EditedSide(), id)) return TRUE;
      const bool clicked = IsClick(code);
      if (id == kIdAccept && clicked) {
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      // The close box and Escape act like "&Cancel".
      if ((id == kIdCancel && clicked) || id == IDCANCEL) {
        PutBack();
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

void OpenUnitsDialog(HWND parent) {
  constexpr DWORD kVisible = WS_CHILD | WS_VISIBLE;
  constexpr DWORD kFrame = kVisible | BS_GROUPBOX;
  constexpr DWORD kOption = kVisible | BS_AUTORADIOBUTTON;
  DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK, 0, 70, 70,
                        188, 222, "Coordinate formats");
  dialog.Control(kFrame, 0, 8, 8, 172, 32, kIdDegreeFrame, "BUTTON", "Degree")
      .Control(kFrame, 0, 8, 44, 172, 144, kIdLengthFrame, "BUTTON", "Length")
      .Control(kOption | WS_GROUP | WS_TABSTOP, 0, 16, 20, 68, 12, kIdAngleDms, "BUTTON",
               "DDD.MMSSsss")
      .Control(kOption, 0, 102, 20, 64, 12, kIdAngleDecimal, "BUTTON", "DDD.dddddd");
  for (int k = 0; k < kLengthUnitCount; ++k) {
    const DWORD first = k == 0 ? WS_GROUP | WS_TABSTOP : 0;
    dialog.Control(kOption | first, 0, 16, static_cast<short>(56 + 14 * k), 160, 12,
                   static_cast<WORD>(kLengthUnits[k].id), "BUTTON", kLengthUnits[k].label);
  }
  dialog
      .Control(kVisible | BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, 0, 8, 196, 82, 16, kIdAccept,
               "BUTTON", "&Accept")
      .Control(kVisible | BS_PUSHBUTTON | WS_TABSTOP, 0, 98, 196, 82, 16, kIdCancel, "BUTTON",
               "&Cancel");
  DialogBoxIndirectParamA(nullptr, dialog.get(), parent, &UnitsDialogProcedure, 0);
}
