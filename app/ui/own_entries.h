// The user's own ellipsoids, datums and projections in the window: loaded
// after the shipped catalogues at start-up, and added, changed or removed
// through the Data menu. Each change is saved at once (the three files
// written whole), and the lists follow it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "records.h"
#include "selection_lists.h"

// Loads the user's entries (UserEntriesFolder) after the shipped catalogues;
// a damaged file is told, with its file and line, and none of the user's
// entries is loaded. The files are then left alone for the run: changes to
// the user's entries are refused, so that the damaged file is not replaced.
void LoadUserEntriesShowingProblem();

// The dialogs of one entry: position 0 adds one at the end of the user's
// part of its catalogue, a user's position changes that entry. true when
// the entry was stored.
bool OpenEllipsoidDialog(HWND parent, int32_t position = 0);
bool OpenDatumDialog(HWND parent, int32_t position = 0);
bool OpenProjectionDialog(HWND parent, int32_t position = 0);

// "My own entries": the user's entries listed, to change or remove.
void OpenMyEntriesDialog(HWND parent);

// Stores a checked record (position 0: a new one) and saves the user's
// entries; a failure is told and leaves the catalogue as it was. A changed
// name goes to the user's entries that name the entry. The lists are filled
// again and the start side's list moves to the entry.
bool StoreUserEntry(const EllipsoidRecord& record, int32_t position);
bool StoreUserEntry(const DatumRecord& record, int32_t position);
bool StoreUserEntry(const ProjectionRecord& record, int32_t position);

// Removes one of the user's entries after asking, unless a user's entry
// still uses it (that is told); true when removed and saved.
bool RemoveUserEntry(ListRole role, int32_t position);

// Control ids of the entry dialogs. Each has "OK" (IDOK, the default button)
// and "Cancel" (IDCANCEL).
inline constexpr int kIdEntryName = 802;
// The ellipsoid dialog.
inline constexpr int kIdSemiMajorAxis = 804;
inline constexpr int kIdUseSemiMinorAxis = 805;
inline constexpr int kIdSemiMinorAxis = 806;
inline constexpr int kIdUseInverseFlattening = 807;
inline constexpr int kIdInverseFlattening = 808;
inline constexpr int kIdLengthUnit = 810;
// The datum dialog.
inline constexpr int kIdAreaOfUse = 822;
inline constexpr int kIdDatumEllipsoid = 824;
inline constexpr int kIdShiftMethod = 826;
inline constexpr int kIdToWgs84 = 827;
inline constexpr int kIdToWgs72 = 828;
inline constexpr int kIdToWgs72be = 829;
inline constexpr int kIdGridFile = 831;
inline constexpr int kIdGridBrowse = 832;
inline constexpr int kIdGridEllipsoid = 834;
inline constexpr int kIdParameterNote = 835;
// X, Y, Z translation, X, Y, Z rotation, scale difference: the edit of
// parameter k is kIdFirstShiftParameter + k, its label 10 before it.
inline constexpr int kIdFirstShiftParameter = 850;
// The projection dialog.
inline constexpr int kIdProjectionDatum = 862;
inline constexpr int kIdProjectionMethod = 864;
// The edit of the method's parameter k (in EPSG's order) is
// kIdFirstMethodParameter + k, its label 10 before it.
inline constexpr int kIdFirstMethodParameter = 880;
// "My own entries".
inline constexpr int kIdMyEntryList = 902;
inline constexpr int kIdChangeEntry = 903;
inline constexpr int kIdRemoveEntry = 904;
