// The modal "Coordinate formats" dialog: the angle format and the length unit
// of one side. Clicks take effect at once; "&Cancel" (or the close box, or
// Escape) puts back what the side had when the dialog opened.
#pragma once

#include <windows.h>

#include <cstdint>

// The side the dialog edits: 1 start, 0 target. Set before opening it.
extern int32_t unitsDialogSide;

// Opens the dialog over parent for the side in unitsDialogSide and returns
// when it has been closed.
void OpenUnitsDialog(HWND parent);

// Control ids of the dialog.
inline constexpr int kIdDegreeFrame = 208;
inline constexpr int kIdLengthFrame = 209;
inline constexpr int kIdAngleDms = 601;
inline constexpr int kIdAngleDecimal = 602;
inline constexpr int kIdFirstUnit = 603;  // 603 to 611, in the order of the unit table
inline constexpr int kIdAccept = 412;
inline constexpr int kIdCancel = 413;
