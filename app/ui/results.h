// The results the window shows: kept honest (emptied when what they were
// computed for changes) and copied, both sides, to the clipboard.
#pragma once

#include <windows.h>

#include <string>

// Empties the target's result boxes.
void ClearTargetResults();

// Both sides as text, one "name: value" a line ending in CR LF: the systems,
// then every coordinate box that the side's kind uses, its unit or format in
// the name.
std::string ResultsText();

// Puts ResultsText on the clipboard; a clipboard that cannot be opened is
// reported.
void CopyResults(HWND owner);

inline constexpr const char* kClipboardBusyMessage =
    "The results could not be copied: the clipboard is in use. Please try again.";
