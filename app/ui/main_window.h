// The main window: its controls, menu, icon and mode tabs, and the procedure
// that keeps the two sides in step with the selection lists.
#pragma once

#include <windows.h>

#include <cstdint>
#include <iterator>
#include <string>

#include "selection_lists.h"

// The main window, kept for the run: the list fillers and the transform
// command address the selection lists through it.
extern HWND mainWindow;

// Frames and the labels over the datum and ellipsoid lists. The selection
// lists themselves are in selection_lists.h.
inline constexpr int kStartParameterFrame = 201;
inline constexpr int kTargetParameterFrame = 202;
inline constexpr int kStartProjectionFrame = 203;
inline constexpr int kTargetProjectionFrame = 204;
inline constexpr int kStartSystemFrame = 205;
inline constexpr int kTargetSystemFrame = 207;
inline constexpr int kStartDatumLabel = 701;
inline constexpr int kStartEllipsoidLabel = 702;
inline constexpr int kTargetDatumLabel = 703;
inline constexpr int kTargetEllipsoidLabel = 704;
// Under the tab controls: each side's length unit and angle format in words.
inline constexpr int kStartGridUnitLabel = 715;
inline constexpr int kTargetGridUnitLabel = 716;
inline constexpr int kStartAngleFormatLabel = 717;
inline constexpr int kTargetAngleFormatLabel = 718;
// Under the angle format: a side's ellipsoid that is not its datum's.
inline constexpr int kStartEllipsoidNoteLabel = 719;
inline constexpr int kTargetEllipsoidNoteLabel = 720;

// Push buttons.
inline constexpr int kExitButton = 401;
inline constexpr int kStartInfoButton = 402;
inline constexpr int kTransformButton = 403;
inline constexpr int kTargetInfoButton = 404;
inline constexpr int kHelpButton = 405;
inline constexpr int kStartUnitsButton = 410;
inline constexpr int kTargetUnitsButton = 411;

// Mode tab controls: over the start grid, target grid, start geographic and
// target geographic pages.
inline constexpr int kStartGridTabs = 501;
inline constexpr int kTargetGridTabs = 502;
inline constexpr int kStartGeographicTabs = 503;
inline constexpr int kTargetGeographicTabs = 504;
inline constexpr int kPointModeTab = 0;
inline constexpr int kListModeTab = 1;

// Menu commands.
inline constexpr int kMenuExit = 1001;
inline constexpr int kMenuAddProjection = 1002;
inline constexpr int kMenuAddDatum = 1003;
inline constexpr int kMenuAddEllipsoid = 1004;
inline constexpr int kMenuHelp = 1005;
inline constexpr int kMenuAbout = 1006;
inline constexpr int kMenuCopyResults = 1007;
inline constexpr int kMenuFindSystem = 1008;
inline constexpr int kMenuEditMyEntries = 1009;

// Posted to itself at initialisation: build the entry pages once the window
// procedure has returned from WM_INITDIALOG.
inline constexpr UINT kBuildPagesMessage = WM_USER + 999;
// Posted after a list's own selection change: show the start of its entry
// (wParam: the list's id) once the list has put the entry in its edit box.
inline constexpr UINT kShowEntryStartMessage = WM_USER + 998;

inline constexpr const char* kMainWindowCaption = "Varnel - Coordinate Transformation V3.0";

// Builds the main window hidden with its controls, menu bar, icon and tabs;
// it initialises itself (lists filled, both sides reset) on the way.
HWND CreateMainWindow();

// Shows the main window and runs its messages until it has been destroyed.
void RunMainWindow(HWND window);

// The main window's keyboard commands (Ctrl+Shift+C copies the results,
// Ctrl+F searches the list that has the focus), for its message loop; made
// with the window.
HACCEL MainWindowAccelerators();

// Chooses a catalogue position in a selection list exactly as a choice from
// its drop-down does (CB_SETCURSEL, then CBN_SELCHANGE to the window); for a
// projection found by the EPSG code of a variant in other units, the side
// then takes that unit (EPSG's name).
void ChooseFoundEntry(int listId, int32_t position, const std::string& epsgUnit);

// The list shows its side's chosen entry again (or none), after typing.
void ShowChosenEntry(int listId);

// A side's units and formats as the units dialog would leave them: typed
// values rewritten, the words beside the fields and the results kept true.
void SetUnitsAndFormats(HWND window, Side side, const UnitsAndFormats& wanted);

// The catalogue positions the six lists show (0 for none), in the order of
// kSelectionLists: taken before the user's entries change.
struct ListPositions {
  int32_t position[std::size(kSelectionLists)];
};
ListPositions ChosenListPositions();

// After the user's entries have changed: the six lists are filled again and
// each shows what it showed, its side taking the entry afresh. A list that
// showed the removed entry (of that role; 0: none removed) goes to its first
// entry, as at start; one after it moves up with it. Then the start side's
// list of that role moves to moveTo (0: stays).
void RefillSelectionLists(const ListPositions& before, ListRole role, int32_t removed,
                          int32_t moveTo);

// Attaches the menu bar and gives it.
HMENU BuildMenuBar(HWND window);

INT_PTR CALLBACK MainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
