// The modal "Coordinate formats" dialog: the angle format and the length unit
// of one side. Clicks take effect at once; "&Cancel" (or the close box, or
// Escape) puts back what the side had when the dialog opened.
#pragma once

#include <windows.h>

#include "side.h"
#include "units.h"

// The side the dialog edits. Set before opening it.
extern Side unitsDialogSide;

// Opens the dialog over parent for the side in unitsDialogSide and returns
// when it has been closed.
void OpenUnitsDialog(HWND parent);

// Control ids of the dialog.
inline constexpr int kIdDegreeFrame = 208;
inline constexpr int kIdLengthFrame = 209;
inline constexpr int kIdAngleDms = 601;
inline constexpr int kIdAngleDecimal = 602;
// The length unit options take their ids from the unit table, in its order.
inline constexpr int kIdFirstUnit = kLengthUnits[0].id;
inline constexpr int kIdLastUnit = kLengthUnits[kLengthUnitCount - 1].id;
inline constexpr int kIdAccept = 412;
inline constexpr int kIdCancel = 413;
