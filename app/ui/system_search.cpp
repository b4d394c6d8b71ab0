#include "system_search.h"

#include <algorithm>
#include <charconv>

#include "catalogue.h"
#include "dialog_conventions.h"
#include "dialog_template.h"
#include "epsg_index.h"
#include "fixed_text.h"
#include "main_window.h"
#include "program_index.h"
#include "user_entries.h"

namespace {

struct Search {
  HWND window = nullptr;
  int listId = 0;
  std::vector<FoundEntry> matches;  // in the order of the match list
};
Search search;

// The code a word names: digits, or "EPSG:" and digits; 0 for none.
int32_t CodeOf(std::string_view word) {
  if (word.size() > 5 && (word.substr(0, 5) == "EPSG:" || word.substr(0, 5) == "epsg:")) {
    word.remove_prefix(5);
  }
  int32_t code = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), code);
  return error == std::errc() && end == word.data() + word.size() && code > 0 ? code : 0;
}

// The entries that stand for an EPSG code: from the index for projections
// and datums, from the records' own codes for ellipsoids.
void AddCodeMatches(ListRole role, int32_t code, std::vector<FoundEntry>& found) {
  const std::string prefix = "EPSG:" + std::to_string(code) + " - ";
  if (role == ListRole::kEllipsoid) {
    for (int32_t p = 1; p <= ListedCount(role); ++p) {
      if (ProgramCatalogues().Ellipsoid(p).code == code) {
        found.push_back({p, prefix + ListEntryText(role, p), {}});
      }
    }
    return;
  }
  const EpsgIndexEntry* row = FindEpsgCode(ProgramEpsgIndex(), code);
  if (row == nullptr) return;
  const bool projected = row->NamesProjection();
  if (projected != (role == ListRole::kProjection)) return;
  const int32_t position = CataloguePosition(ProgramCatalogues(), *row);
  if (position < 1 || position > ListedCount(role)) return;
  if (projected) {
    found.push_back(
        {position, prefix + ListEntryText(role, position) + " (" + row->unit + ")", row->unit});
  } else {
    found.push_back({position, prefix + ListEntryText(role, position), {}});
  }
}

// Why nothing was found: for one code that the index keeps as left out, the
// reason it was left out.
std::string NothingFoundText(std::string_view text) {
  const std::vector<std::string> words = SearchWords(text);
  if (words.size() == 1) {
    const EpsgIndexEntry* row = FindEpsgCode(ProgramEpsgIndex(), CodeOf(words[0]));
    if (row != nullptr && row->kind == EpsgIndexEntry::Kind::kLeftOut) return LeftOutText(*row);
  }
  return "No entry holds every word, and no entry has that EPSG code.";
}

const char* RoleName(ListRole role) {
  switch (role) {
    case ListRole::kProjection:
      return "projection";
    case ListRole::kDatum:
      return "datum";
    case ListRole::kEllipsoid:
      return "ellipsoid";
  }
  return "";
}

std::string WordsText() {
  const HWND box = GetDlgItem(search.window, kSearchWordsBox);
  std::string text(static_cast<size_t>(GetWindowTextLengthA(box)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(box, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The match list and its count for the words now in the box; the first match
// is selected, so that Enter chooses it.
void ShowMatches() {
  const SelectionList* list = FindSelectionList(search.listId);
  if (list == nullptr) return;
  search.matches = FindEntries(list->role, WordsText());
  const HWND matches = GetDlgItem(search.window, kSearchMatchList);
  SendMessageA(matches, LB_RESETCONTENT, 0, 0);
  const HDC dc = GetDC(matches);
  const HGDIOBJ previous =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(matches, WM_GETFONT, 0, 0)));
  LONG widest = 0;
  for (size_t i = 0; i < search.matches.size(); ++i) {
    const std::string& text = search.matches[i].text;
    const LRESULT at =
        SendMessageA(matches, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(matches, LB_SETITEMDATA, static_cast<WPARAM>(at), static_cast<LPARAM>(i));
    SIZE size{};
    if (GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size)) {
      widest = std::max(widest, size.cx);
    }
  }
  if (previous != nullptr) SelectObject(dc, previous);
  ReleaseDC(matches, dc);
  SendMessageA(matches, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
  if (!search.matches.empty()) SendMessageA(matches, LB_SETCURSEL, 0, 0);

  const int32_t all = ListedCount(list->role);
  const std::string count = search.matches.empty() ? NothingFoundText(WordsText())
                                                   : std::to_string(search.matches.size()) +
                                                         " of " + std::to_string(all) + " entries";
  SetDlgItemTextA(search.window, kSearchCountLabel, count.c_str());
}

// The selected match, chosen in the list as a choice from its drop-down is.
void ChooseSelectedMatch() {
  const HWND matches = GetDlgItem(search.window, kSearchMatchList);
  const LRESULT selected = SendMessageA(matches, LB_GETCURSEL, 0, 0);
  if (selected < 0) return;
  const LRESULT index = SendMessageA(matches, LB_GETITEMDATA, static_cast<WPARAM>(selected), 0);
  if (index < 0 || static_cast<size_t>(index) >= search.matches.size()) return;
  const FoundEntry found = search.matches[static_cast<size_t>(index)];
  const int listId = search.listId;
  CloseSystemSearch();
  ChooseFoundEntry(listId, found.position, found.unit);
  SetFocus(GetDlgItem(mainWindow, listId));
}

INT_PTR CALLBACK SearchProcedure(HWND window, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return FALSE;  // the opener gives the focus to the words box
    case WM_NCACTIVATE:
      KeepFocus(window, wParam);
      return FALSE;
    case WM_DESTROY:
      // Also when the main window takes it along.
      if (search.window == window) search = Search{};
      return FALSE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const WORD code = HIWORD(wParam);
      if (id == kSearchWordsBox && code == EN_CHANGE) {
        ShowMatches();
      } else if ((id == kSearchMatchList && code == LBN_DBLCLK) || (id == IDOK && IsClick(code))) {
        ChooseSelectedMatch();
      } else if (id == IDCANCEL) {
        // Escape, "Cancel" or the close box: the list shows its side's entry again.
        const int listId = search.listId;
        CloseSystemSearch();
        ShowChosenEntry(listId);
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

HWND CreateSearchWindow(HWND main, const char* caption) {
  constexpr DWORD kVisible = WS_CHILD | WS_VISIBLE;
  DialogTemplate tmpl(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK, 0, 0, 0, 320,
                      170, caption);
  tmpl.Control(kVisible | SS_LEFT, 0, 6, 6, 300, 8, kSearchWordsLabel, "STATIC",
               "&Words of the name, or an EPSG code:")
      .Control(kVisible | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 6, 16, 308, 12,
               kSearchWordsBox, "EDIT", "")
      // Two lines: the reason a code was left out is a sentence.
      .Control(kVisible | SS_LEFT | SS_NOPREFIX, 0, 6, 32, 308, 16, kSearchCountLabel, "STATIC", "")
      .Control(kVisible | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
               WS_EX_CLIENTEDGE, 6, 50, 308, 96, kSearchMatchList, "LISTBOX", "")
      .Control(kVisible | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 186, 150, 62, 14, IDOK, "BUTTON",
               "&Choose")
      .Control(kVisible | BS_PUSHBUTTON | WS_TABSTOP, 0, 252, 150, 62, 14, IDCANCEL, "BUTTON",
               "Cancel");
  return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), tmpl.get(), main, &SearchProcedure,
                                    0);
}

}  // namespace

std::vector<FoundEntry> FindEntries(ListRole role, std::string_view text) {
  std::vector<FoundEntry> found;
  const std::vector<std::string> words = SearchWords(text);
  for (const std::string& word : words) {
    if (const int32_t code = CodeOf(word)) AddCodeMatches(role, code, found);
  }
  std::vector<bool> taken(static_cast<size_t>(ListedCount(role)) + 1, false);
  for (const FoundEntry& entry : found) taken[static_cast<size_t>(entry.position)] = true;
  for (int32_t p = 1; p <= ListedCount(role); ++p) {
    if (taken[static_cast<size_t>(p)]) continue;
    std::string entry = ListEntryText(role, p);
    if (NameHoldsEveryWord(entry, words)) found.push_back({p, std::move(entry), {}});
  }
  // The entry whose name is the whole text comes first, so that a name typed
  // in full is the one that Return takes.
  const std::string folded = CaseFoldedName(text);
  const std::string marked = CaseFoldedName(folded + kUserEntryMark);
  std::stable_partition(found.begin(), found.end(), [&](const FoundEntry& entry) {
    const std::string name = CaseFoldedName(entry.text);
    return !folded.empty() &&
           (name == folded || name == marked || name.rfind(folded + " - ", 0) == 0);
  });
  return found;
}

void OpenSystemSearch(HWND main, int listId, const std::string& text) {
  const SelectionList* list = FindSelectionList(listId);
  if (list == nullptr) return;
  if (search.window != nullptr && search.listId != listId) CloseSystemSearch();
  search.listId = listId;
  if (search.window == nullptr) {
    const std::string caption = std::string("Find a ") +
                                (list->side == Side::kStart ? "start " : "target ") +
                                RoleName(list->role);
    search.window = CreateSearchWindow(main, caption.c_str());
    if (search.window == nullptr) return;
    // Under the list, its left edges on the list's.
    RECT under;
    GetWindowRect(GetDlgItem(main, listId), &under);
    SetWindowPos(search.window, nullptr, under.left, under.bottom, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(search.window, SW_SHOW);
  }
  // Setting the words shows their matches (EN_CHANGE), also for no words.
  SetDlgItemTextA(search.window, kSearchWordsBox, text.c_str());
  if (text.empty()) ShowMatches();
  const HWND box = GetDlgItem(search.window, kSearchWordsBox);
  SetFocus(box);
  SendMessageA(box, EM_SETSEL, text.size(), static_cast<LPARAM>(text.size()));
}

HWND SystemSearchWindow() {
  return search.window;
}

void CloseSystemSearch() {
  const HWND window = search.window;
  search = Search{};
  if (window != nullptr) DestroyWindow(window);
}
