// Finding an entry of one of the six selection lists by any words of its
// name or by its EPSG code: a small window under the list shows the matches
// as the user types, and choosing one chooses it in the list.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "selection_lists.h"

struct FoundEntry {
  int32_t position;  // in the list's catalogue, 1-based
  std::string text;  // as the window lists it
  std::string unit;  // for a projected system's EPSG code: EPSG's name of its unit
};

// The entries of a list of that role that the text finds: first those whose
// EPSG code it holds (a number, or "EPSG:" and a number; a code of a foot
// variant finds the entry that stands for it, with the variant's unit), then
// those whose list entry holds every word of it, in any order and case, in
// catalogue order; each entry once; an entry whose name is the whole text
// (a datum's before its " - area") comes first. No words: every entry.
std::vector<FoundEntry> FindEntries(ListRole role, std::string_view text);

// Opens the search window of the list with that id under it (or turns the
// open one to that list), with text as its words, and gives it the focus.
void OpenSystemSearch(HWND main, int listId, const std::string& text);
// The open search window, or nullptr; the message loop offers it its keys.
HWND SystemSearchWindow();
void CloseSystemSearch();

// Control ids of the search window; Choose is IDOK, Cancel IDCANCEL.
inline constexpr int kSearchWordsLabel = 901;
inline constexpr int kSearchWordsBox = 902;
inline constexpr int kSearchCountLabel = 903;
inline constexpr int kSearchMatchList = 904;
