// In-memory dialog templates (DLGTEMPLATE with DS_SETFONT), laid out as Win32
// defines them: every dialog of the program is built from one at run time.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

class DialogTemplate {
 public:
  // The dialog itself, in dialog units of "MS Sans Serif" 8.
  DialogTemplate(DWORD style, DWORD exStyle, short x, short y, short width, short height,
                 const char* caption);

  // One control, by window class name ("BUTTON", "EDIT", "STATIC", "COMBOBOX").
  DialogTemplate& Control(DWORD style, DWORD exStyle, short x, short y, short width, short height,
                          WORD id, const char* className, const char* caption);

  // The finished template; valid while this object lives and is not changed.
  LPCDLGTEMPLATEA get();

 private:
  template <typename T>
  void Put(const T& value);
  void PutText(const char* text);

  std::vector<WORD> words_;
  WORD count_ = 0;
};
