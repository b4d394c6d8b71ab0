// The progress window of a list run: a small modeless dialog over the main
// window with the lines done, the share of the input read and "Cancel". It
// shows when a run lasts longer than a moment; meanwhile the owner takes no
// input, and the run pumps the messages so that the windows stay painted.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "list_engine.h"

inline constexpr const char* kProgressCaption = "Transforming list";
// Control ids. "Cancel" is IDCANCEL, so that Escape and the close command act
// like it.
inline constexpr int kProgressLinesText = 901;
inline constexpr int kProgressInputText = 902;

// Runs `run` with a progress function for the list engine. From the first
// progress call the owner is disabled; once the run has lasted the delay the
// window shows, centred over the owner. Cancel makes the progress function
// return false. The window goes, and the owner gets its input and focus back,
// when a message is shown (the run's last) or `run` returns.
void RunWithProgressWindow(HWND owner, const std::function<void(ListProgressFunction)>& run);

// How long a run goes before its window shows (500 ms); gives the previous
// delay. Tests set 0.
DWORD SetProgressWindowDelay(DWORD milliseconds);

// The progress window while it is shown, otherwise nullptr.
HWND ProgressWindow();

// The window's two lines: "123,456 lines done"; "42 % of the input read",
// empty when the size of the input is not known.
std::string ProgressLinesText(int64_t lines);
std::string ProgressInputText(uint64_t bytesRead, uint64_t bytesTotal);
