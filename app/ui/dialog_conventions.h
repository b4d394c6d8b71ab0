// What every dialog procedure of the program does the same way: which
// WM_COMMAND notifications count as a click, and keeping the focus.
#pragma once

#include <windows.h>

// The notification code of a command that comes from an accelerator key.
inline constexpr WORD kAcceleratorCode = 1;

// A button's click (BN_CLICKED, which is also a menu command's code) or the
// same command from the keyboard.
inline bool IsClick(WORD code) {
  return code == BN_CLICKED || code == kAcceleratorCode;
}

// Remembers the focused control when the dialog loses activation (active ==
// 0) and gives the focus back, once, when it is activated again. The control
// is kept in the dialog's DWLP_USER, which starts empty.
inline void KeepFocus(HWND dialog, WPARAM active) {
  if (active == 0) {
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(GetFocus()));
    return;
  }
  const HWND saved = reinterpret_cast<HWND>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (saved == nullptr) return;
  SetFocus(saved);
  SetWindowLongPtrA(dialog, DWLP_USER, 0);
}
