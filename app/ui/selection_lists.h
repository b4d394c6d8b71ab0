// The six selection lists of the main window, filled from the catalogues in
// catalogue order: list entry p is catalogue position p + 1.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "side.h"

inline constexpr int kStartProjectionList = 301;
inline constexpr int kTargetProjectionList = 302;
inline constexpr int kStartDatumList = 303;
inline constexpr int kTargetDatumList = 304;
inline constexpr int kStartEllipsoidList = 305;
inline constexpr int kTargetEllipsoidList = 306;

// What a list chooses. A projection names its datum and a datum its
// ellipsoid, so a choice moves the lists below it along.
enum class ListRole { kProjection, kDatum, kEllipsoid };

struct SelectionList {
  int id;
  Side side;
  ListRole role;
};

inline constexpr SelectionList kSelectionLists[] = {
    {kStartProjectionList, Side::kStart, ListRole::kProjection},
    {kTargetProjectionList, Side::kTarget, ListRole::kProjection},
    {kStartDatumList, Side::kStart, ListRole::kDatum},
    {kTargetDatumList, Side::kTarget, ListRole::kDatum},
    {kStartEllipsoidList, Side::kStart, ListRole::kEllipsoid},
    {kTargetEllipsoidList, Side::kTarget, ListRole::kEllipsoid},
};

// The list with this control id, or nullptr.
constexpr const SelectionList* FindSelectionList(int id) {
  for (const SelectionList& list : kSelectionLists) {
    if (list.id == id) return &list;
  }
  return nullptr;
}

// The control id of a side's list.
constexpr int SelectionListId(Side side, ListRole role) {
  for (const SelectionList& list : kSelectionLists) {
    if (list.side == side && list.role == role) return list.id;
  }
  return 0;
}

// How many entries a dropped-down list shows at a time.
inline constexpr int kDroppedListRows = 20;

// How many entries a list of that role shows: its catalogue's count, kept
// between 0 and the catalogue's capacity.
int32_t ListedCount(ListRole role);

// The text of a list's entry for a catalogue position (1-based), as the lists
// of that role show it.
std::string ListEntryText(ListRole role, int32_t position);

// Scrolls a list's edit box back to the start of its entry, where the system's
// name is: a list that selects its whole text puts the caret, and so the view,
// at the end of a long entry. The caret goes to the start; a list with the
// focus keeps its whole text selected.
void ShowEntryStart(HWND list);

// Fills all six of the main window's lists: the datum lists, then the
// ellipsoid lists, then the projection lists, start before target. The datum
// and ellipsoid lists are left without a selection; the projection lists on
// their first entry ("none"), which sends no selection change. Dropped down,
// each list is as wide as its widest entry and shows kDroppedListRows.
void FillSelectionLists();
