// The open and save choosers of the list pages, and the hook that centres
// them over their owner.
#pragma once

#include <windows.h>

#include <cstddef>

// The file-name buffer the choosers take: the platform's path limit.
inline constexpr size_t kFileNameCapacity = MAX_PATH;

// "Open list of coordinates": an existing file. fileName holds the initial
// name on entry and the chosen path on success. Nonzero when a file was
// chosen, 0 when cancelled (fileName is then unchanged).
BOOL OpenListChooser(HWND owner, char* fileName);

// "Save list of coordinates": a file to write, with the default extension
// "DAT" and a question before an existing file is replaced.
BOOL SaveListChooser(HWND owner, char* fileName);

// Centres the chooser over its owner once it is set up (CDN_INITDONE).
UINT_PTR CALLBACK ChooserPlacementHook(HWND hook, UINT message, WPARAM wParam, LPARAM lParam);
