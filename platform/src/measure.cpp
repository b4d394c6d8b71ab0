// Screen metrics, and device contexts that only measure text.
#include <QApplication>
#include <QFontMetrics>
#include <QScreen>
#include <QStyle>
#include <map>

#include "core.h"

namespace win32 {
namespace {

// A device context here is the font it measures with.
std::map<uintptr_t, HFONT>& Contexts() {
  static std::map<uintptr_t, HFONT> contexts;
  return contexts;
}
uintptr_t nextContext = 0x50010;

HFONT* FindContext(HDC dc) {
  auto it = Contexts().find(reinterpret_cast<uintptr_t>(dc));
  return it == Contexts().end() ? nullptr : &it->second;
}

}  // namespace
}  // namespace win32

using namespace win32;

extern "C" {

int WINAPI GetSystemMetrics(int index) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  switch (index) {
    case SM_CXSCREEN:
      return screen ? screen->geometry().width() : 0;
    case SM_CYSCREEN:
      return screen ? screen->geometry().height() : 0;
    case SM_CXVSCROLL:
      return QApplication::style() ? QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent)
                                   : 0;
    default:
      return 0;
  }
}

HDC WINAPI GetDC(HWND window) {
  const Window* record = Find(window);
  if (window != nullptr && record == nullptr) return nullptr;
  const HDC dc = reinterpret_cast<HDC>(nextContext);
  nextContext += 4;
  Contexts()[reinterpret_cast<uintptr_t>(dc)] = record ? record->font : nullptr;
  return dc;
}

int WINAPI ReleaseDC(HWND /*window*/, HDC dc) {
  return Contexts().erase(reinterpret_cast<uintptr_t>(dc)) > 0 ? 1 : 0;
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
  HFONT* font = FindContext(dc);
  if (font == nullptr || FontOf(static_cast<HFONT>(object)) == nullptr) return nullptr;
  const HFONT previous = *font;
  *font = static_cast<HFONT>(object);
  // Windows gives back the context's first font, a stock one, where here there is none.
  return previous ? previous : object;
}

BOOL WINAPI GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, LPSIZE size) {
  const HFONT* font = FindContext(dc);
  if (font == nullptr || size == nullptr || length < 0 || (text == nullptr && length > 0)) {
    return FALSE;
  }
  const QFont* chosen = FontOf(*font);
  const QFontMetrics metrics(chosen ? *chosen : QApplication::font());
  size->cx = metrics.horizontalAdvance(FromAnsi(std::string(text ? text : "", length)));
  size->cy = metrics.height();
  return TRUE;
}

}  // extern "C"
