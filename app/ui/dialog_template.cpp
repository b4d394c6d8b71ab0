#include "dialog_template.h"

#include <cstddef>
#include <cstring>

namespace {

// The dialog font of every window of the program.
constexpr const char* kDialogFont = "MS Sans Serif";
constexpr WORD kDialogFontPoints = 8;

}  // namespace

DialogTemplate::DialogTemplate(DWORD style, DWORD exStyle, short x, short y, short width,
                               short height, const char* caption) {
  Put(DLGTEMPLATE{static_cast<DWORD>(style | DS_SETFONT), exStyle, 0, x, y, width, height});
  words_.push_back(0);  // no menu
  words_.push_back(0);  // the standard dialog class
  PutText(caption);
  words_.push_back(kDialogFontPoints);
  PutText(kDialogFont);
}

DialogTemplate& DialogTemplate::Control(DWORD style, DWORD exStyle, short x, short y, short width,
                                        short height, WORD id, const char* className,
                                        const char* caption) {
  if (words_.size() % 2 != 0) words_.push_back(0);  // items start on a DWORD boundary
  Put(DLGITEMTEMPLATE{style, exStyle, x, y, width, height, id});
  PutText(className);
  PutText(caption);
  words_.push_back(0);  // no creation data
  ++count_;
  return *this;
}

LPCDLGTEMPLATEA DialogTemplate::get() {
  std::memcpy(reinterpret_cast<char*>(words_.data()) + offsetof(DLGTEMPLATE, cdit), &count_,
              sizeof count_);
  return reinterpret_cast<LPCDLGTEMPLATEA>(words_.data());
}

template <typename T>
void DialogTemplate::Put(const T& value) {
  static_assert(sizeof(T) % sizeof(WORD) == 0);
  const size_t at = words_.size();
  words_.resize(at + sizeof(T) / sizeof(WORD));
  std::memcpy(&words_[at], &value, sizeof(T));
}

// 8-bit Windows-1252 text as the template's 16-bit characters.
void DialogTemplate::PutText(const char* text) {
  for (const char* p = text ? text : ""; *p != '\0'; ++p) {
    words_.push_back(static_cast<unsigned char>(*p));
  }
  words_.push_back(0);
}
