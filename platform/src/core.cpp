// Window records, handles, text conversion and the window functions that every
// class shares.
#include "core.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QTabBar>
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

namespace win32 {
namespace {

const char* const kHandleProperty = "win32_hwnd";

// Handles are numbers, never addresses, so that a destroyed window's handle
// is never mistaken for a new window's.
std::map<uintptr_t, std::unique_ptr<Window>>& Registry() {
  static std::map<uintptr_t, std::unique_ptr<Window>> registry;
  return registry;
}
uintptr_t nextHandle = 0x10010;
int programDepth = 0;

std::vector<QFont>& Fonts() {
  static std::vector<QFont> fonts;
  return fonts;
}

// Windows-1252 code points of the bytes 0x80 to 0x9F (the rest is Latin-1).
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

QWidget* UserWidget(const Window& window) {
  if (window.kind == Kind::TabControl && window.widget) {
    if (auto* bar = window.widget->findChild<QTabBar*>()) return bar;
  }
  return window.widget;
}

Window* Find(HWND handle) {
  auto& registry = Registry();
  auto it = registry.find(reinterpret_cast<uintptr_t>(handle));
  return it == registry.end() ? nullptr : it->second.get();
}

Window& NewWindow(Kind kind, ClassProcedure procedure, HWND parent) {
  auto window = std::make_unique<Window>();
  window->handle = reinterpret_cast<HWND>(nextHandle);
  nextHandle += 4;
  window->kind = kind;
  window->procedure = procedure;
  window->parent = parent;
  Window& result = *window;
  Registry()[reinterpret_cast<uintptr_t>(result.handle)] = std::move(window);
  return result;
}

void AttachWidget(Window& window, QWidget* widget, QWidget* client) {
  window.widget = widget;
  window.client = client ? client : widget;
  const QVariant handle = QVariant::fromValue(reinterpret_cast<quintptr>(window.handle));
  widget->setProperty(kHandleProperty, handle);
  if (client) client->setProperty(kHandleProperty, handle);
}

HWND HandleOf(const QObject* object) {
  for (; object != nullptr; object = object->parent()) {
    const QVariant value = object->property(kHandleProperty);
    if (value.isValid()) {
      HWND handle = reinterpret_cast<HWND>(value.value<quintptr>());
      if (Find(handle) != nullptr) return handle;
    }
    // A window of its own (a message box, a destroyed popup) ends the search.
    if (object->isWidgetType() && static_cast<const QWidget*>(object)->isWindow()) break;
  }
  return nullptr;
}

HWND RootOf(HWND handle) {
  Window* window = Find(handle);
  while (window != nullptr && (window->style & WS_CHILD) && Find(window->parent) != nullptr) {
    window = Find(window->parent);
  }
  return window ? window->handle : nullptr;
}

std::vector<HWND> AllWindows() {
  std::vector<HWND> result;
  for (auto& entry : Registry()) result.push_back(entry.second->handle);
  return result;
}

ProgramCall::ProgramCall() {
  ++programDepth;
}
ProgramCall::~ProgramCall() {
  --programDepth;
}

INT_PTR CallProgram(DLGPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const ProgramCall call;
  return procedure(window, message, wParam, lParam);
}

int ProgramDepth() {
  return programDepth;
}

void NotifyParent(const Window& control, WORD code) {
  SendMessageA(control.parent, WM_COMMAND, MAKEWPARAM(control.id, code),
               reinterpret_cast<LPARAM>(control.handle));
}

QString FromAnsi(const char* text) {
  QString result;
  if (text == nullptr) return result;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
    result.append(*p >= 0x80 && *p < 0xA0 ? QChar(kCp1252High[*p - 0x80]) : QChar(*p));
  }
  return result;
}

QString FromAnsi(const std::string& text) {
  return FromAnsi(text.c_str());
}

std::string ToAnsi(const QString& text) {
  std::string result;
  result.reserve(text.size());
  for (QChar c : text) {
    const char16_t u = c.unicode();
    char byte = '?';
    if (u < 0x80 || (u >= 0xA0 && u < 0x100)) {
      byte = static_cast<char>(u);
    } else {
      for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] == u) byte = static_cast<char>(0x80 + i);
      }
    }
    result.push_back(byte);
  }
  return result;
}

QString FromPath(const char* path) {
  return QFile::decodeName(QByteArray::fromStdString(NativePath(path)));
}

std::string ToPath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

int CopyOut(const std::string& text, char* buffer, int size) {
  if (buffer == nullptr || size <= 0) return 0;
  const int length = std::min<int>(static_cast<int>(text.size()), size - 1);
  std::memcpy(buffer, text.data(), static_cast<size_t>(length));
  buffer[length] = '\0';
  return length;
}

QString WithoutMnemonic(const QString& text) {
  QString result;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == u'&' && i + 1 < text.size()) ++i;
    result.append(text[i]);
  }
  return result;
}

QChar MnemonicOf(const QString& text) {
  for (qsizetype i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != u'&') continue;
    if (text[i + 1] != u'&') return text[i + 1].toUpper();
    ++i;
  }
  return QChar();
}

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const int64_t product = static_cast<int64_t>(a) * b;
  const int64_t half = (c > 0 ? c : -c) / 2;
  const bool negative = (product < 0) != (c < 0);
  const int64_t magnitude = ((product < 0 ? -product : product) + half) / (c > 0 ? c : -c);
  return static_cast<int>(negative ? -magnitude : magnitude);
}

QFont DialogFont(const QString& face, int pointSize) {
  QFont font;
  QStringList families;
  if (!face.isEmpty()) families << face;
  families << "MS Sans Serif"
           << "Microsoft Sans Serif"
           << "DejaVu Sans"
           << "Liberation Sans"
           << "Sans Serif";
  font.setFamilies(families);
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(pointSize > 0 ? pointSize : 8);
  return font;
}

// As Windows: the rounded average width of the 52 letters, and the font height.
void BaseUnits(const QFont& font, int& baseX, int& baseY) {
  const QFontMetrics metrics(font);
  const int width =
      metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  baseX = (width / 26 + 1) / 2;
  baseY = metrics.height();
}

HFONT FontHandle(const QFont& font) {
  auto& fonts = Fonts();
  for (size_t i = 0; i < fonts.size(); ++i) {
    if (fonts[i] == font) return reinterpret_cast<HFONT>(static_cast<uintptr_t>(0x8000 + i));
  }
  fonts.push_back(font);
  return reinterpret_cast<HFONT>(static_cast<uintptr_t>(0x8000 + fonts.size() - 1));
}

const QFont* FontOf(HFONT font) {
  const uintptr_t index = reinterpret_cast<uintptr_t>(font) - 0x8000;
  return index < Fonts().size() ? &Fonts()[index] : nullptr;
}

LRESULT CommonProcedure(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETTEXT:
      window.text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      return TRUE;
    case WM_GETTEXT:
      return CopyOut(window.text, reinterpret_cast<char*>(lParam), static_cast<int>(wParam));
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(window.text.size());
    case WM_SETFONT:
      if (const QFont* font = FontOf(reinterpret_cast<HFONT>(wParam))) {
        window.font = reinterpret_cast<HFONT>(wParam);
        if (window.widget) window.widget->setFont(*font);
      }
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(window.font);
    default:
      return 0;
  }
}

void Destroy(HWND handle) {
  if (Find(handle) == nullptr) return;
  // Owned windows go first, as on Windows.
  for (HWND other : AllWindows()) {
    Window* owned = Find(other);
    if (owned && owned->parent == handle && !(owned->style & WS_CHILD)) Destroy(other);
  }
  if (Find(handle) == nullptr) return;
  SendMessageA(handle, WM_DESTROY, 0, 0);
  Window* window = Find(handle);
  if (window == nullptr) return;
  const std::vector<HWND> children = window->children;
  for (HWND child : children) Destroy(child);
  window = Find(handle);
  if (window == nullptr) return;
  if (Window* parent = Find(window->parent)) {
    std::erase(parent->children, handle);
  }
  if (window->modalLoop) window->modalLoop->quit();
  QPointer<QWidget> widget = window->widget;
  if (window->client) window->client->setProperty(kHandleProperty, QVariant());
  if (widget) widget->setProperty(kHandleProperty, QVariant());
  Registry().erase(reinterpret_cast<uintptr_t>(handle));
  if (widget) {
    widget->hide();
    widget->deleteLater();
  }
}

void ResizeWidget(Window& window, QSize size) {
  // Without a sizing border a top-level window keeps the size it is given.
  if (window.widget->isWindow() && !(window.style & WS_THICKFRAME)) {
    window.widget->setFixedSize(size);
  } else {
    window.widget->resize(size);
  }
}

void BringForward(QWidget* window) {
  if (QGuiApplication::platformName() != "offscreen") window->raise();  // it has no stacking
  window->activateWindow();
}

void DestroyAllWindows() {
  std::vector<HWND> all = AllWindows();
  for (auto it = all.rbegin(); it != all.rend(); ++it) Destroy(*it);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace win32

using namespace win32;

extern "C" {

BOOL WINAPI IsWindow(HWND window) {
  return Find(window) != nullptr;
}

HWND WINAPI GetParent(HWND handle) {
  Window* window = Find(handle);
  return window && Find(window->parent) ? window->parent : nullptr;
}

BOOL WINAPI IsChild(HWND parent, HWND handle) {
  for (Window* window = Find(handle); window && (window->style & WS_CHILD);
       window = Find(window->parent)) {
    if (window->parent == parent) return TRUE;
  }
  return FALSE;
}

LRESULT WINAPI SendMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* window = Find(handle);
  if (window == nullptr || window->procedure == nullptr) return 0;
  return window->procedure(*window, message, wParam, lParam);
}

int WINAPI GetWindowTextA(HWND window, LPSTR buffer, int size) {
  if (buffer && size > 0) buffer[0] = '\0';
  if (!IsWindow(window)) return 0;
  return static_cast<int>(SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(size),
                                       reinterpret_cast<LPARAM>(buffer)));
}

int WINAPI GetWindowTextLengthA(HWND window) {
  return static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
}

BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text) {
  if (!IsWindow(window)) return FALSE;
  return SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0;
}

HWND WINAPI GetDlgItem(HWND dialog, int id) {
  Window* window = Find(dialog);
  if (window == nullptr) return nullptr;
  for (HWND child : window->children) {
    if (Find(child)->id == id) return child;
  }
  return nullptr;
}

int WINAPI GetDlgCtrlID(HWND control) {
  Window* window = Find(control);
  return window ? window->id : 0;
}

LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam,
                                   LPARAM lParam) {
  return SendMessageA(GetDlgItem(dialog, id), message, wParam, lParam);
}

UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size) {
  return static_cast<UINT>(GetWindowTextA(GetDlgItem(dialog, id), buffer, size));
}

BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
  return SetWindowTextA(GetDlgItem(dialog, id), text);
}

BOOL WINAPI EnableWindow(HWND handle, BOOL enable) {
  Window* window = Find(handle);
  if (window == nullptr) return FALSE;
  const bool wasDisabled = window->style & WS_DISABLED;
  if (wasDisabled == !enable) return wasDisabled;
  window->style = enable ? window->style & ~WS_DISABLED : window->style | WS_DISABLED;
  // A disabled top-level window keeps its look on Windows; Qt would grey every
  // control, so only child windows are disabled in Qt (modality blocks owners).
  if ((window->style & WS_CHILD) && window->widget) window->widget->setEnabled(enable);
  SendMessageA(handle, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return wasDisabled;
}

BOOL WINAPI IsWindowEnabled(HWND handle) {
  Window* window = Find(handle);
  return window && !(window->style & WS_DISABLED);
}

BOOL WINAPI ShowWindow(HWND handle, int command) {
  Window* window = Find(handle);
  if (window == nullptr || !window->widget) return FALSE;
  const bool wasVisible = window->style & WS_VISIBLE;
  const bool show = command != SW_HIDE;
  if (show) {
    window->style |= WS_VISIBLE;
  } else {
    window->style &= ~WS_VISIBLE;
  }
  QWidget* widget = window->widget;
  if (!show) {
    widget->hide();
  } else if (widget->isWindow() && (command == SW_MINIMIZE || command == SW_SHOWMINIMIZED ||
                                    command == SW_SHOWMINNOACTIVE)) {
    widget->showMinimized();
  } else if (widget->isWindow() && command == SW_SHOWMAXIMIZED) {
    widget->showMaximized();
  } else {
    widget->show();
    if (widget->isWindow() && command != SW_SHOWNA && command != SW_SHOWNOACTIVATE) {
      BringForward(widget);
    }
  }
  if (wasVisible != show) SendMessageA(handle, WM_SHOWWINDOW, show, 0);
  return wasVisible;
}

BOOL WINAPI IsWindowVisible(HWND handle) {
  for (Window* window = Find(handle); window != nullptr; window = Find(window->parent)) {
    if (!(window->style & WS_VISIBLE)) return FALSE;
    if (!(window->style & WS_CHILD)) return TRUE;
  }
  return FALSE;
}

namespace win32 {
namespace {

// A child placed right after a sibling: next in the tab order, and drawn
// over the sibling as the children before it are.
void PlaceAfter(Window& window, const Window& sibling) {
  Window* parent = Find(window.parent);
  if (parent == nullptr || window.handle == sibling.handle) return;
  std::vector<HWND>& children = parent->children;
  if (std::find(children.begin(), children.end(), sibling.handle) == children.end()) return;
  std::erase(children, window.handle);
  const auto at = std::find(children.begin(), children.end(), sibling.handle);
  const auto placed = children.insert(at + 1, window.handle);
  Window* next = placed + 1 == children.end() ? nullptr : Find(*(placed + 1));
  if (next != nullptr && next->widget) {
    window.widget->stackUnder(next->widget);
  } else {
    window.widget->raise();
  }
}

}  // namespace
}  // namespace win32

BOOL WINAPI SetWindowPos(HWND handle, HWND insertAfter, int x, int y, int width, int height,
                         UINT flags) {
  Window* window = Find(handle);
  if (window == nullptr || !window->widget) return FALSE;
  QWidget* widget = window->widget;
  if (!(flags & SWP_NOMOVE)) widget->move(x, y);  // a window's move places its frame
  if (!(flags & SWP_NOSIZE)) {
    if (widget->isWindow()) {
      // The Windows size includes the frame; Qt sizes the inside.
      const QSize frame = widget->frameGeometry().size() - widget->geometry().size();
      width -= frame.width();
      height -= frame.height();
    }
    if (window->kind == Kind::ComboBox) height = widget->height();  // the list height is separate
    ResizeWidget(*window, QSize(std::max(0, width), std::max(0, height)));
  }
  if (!(flags & SWP_NOZORDER)) {
    if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST) widget->raise();
    if (insertAfter == HWND_BOTTOM) widget->lower();
    if (Window* sibling = Find(insertAfter); sibling && sibling->parent == window->parent) {
      PlaceAfter(*window, *sibling);
    }
  }
  if (flags & SWP_SHOWWINDOW) ShowWindow(handle, SW_SHOWNA);
  if (flags & SWP_HIDEWINDOW) ShowWindow(handle, SW_HIDE);
  return TRUE;
}

BOOL WINAPI RedrawWindow(HWND handle, const RECT* /*rect*/, HRGN /*region*/, UINT flags) {
  Window* window = Find(handle);
  if (window == nullptr || !window->widget) return FALSE;
  if (flags & RDW_UPDATENOW) {
    window->widget->repaint();
  } else if (flags & RDW_INVALIDATE) {
    window->widget->update();
  }
  return TRUE;
}

BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL /*repaint*/) {
  return SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL WINAPI GetWindowRect(HWND handle, LPRECT rect) {
  Window* window = Find(handle);
  if (window == nullptr || !window->widget || rect == nullptr) return FALSE;
  QWidget* widget = window->widget;
  const QRect r = widget->isWindow() ? widget->frameGeometry()
                                     : QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
  *rect = RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
  return TRUE;
}

BOOL WINAPI GetClientRect(HWND handle, LPRECT rect) {
  Window* window = Find(handle);
  if (window == nullptr || !window->client || rect == nullptr) return FALSE;
  *rect = RECT{0, 0, window->client->width(), window->client->height()};
  return TRUE;
}

BOOL WINAPI ClientToScreen(HWND handle, LPPOINT point) {
  Window* window = Find(handle);
  if (window == nullptr || !window->client || point == nullptr) return FALSE;
  const QPoint p = window->client->mapToGlobal(QPoint(point->x, point->y));
  *point = POINT{p.x(), p.y()};
  return TRUE;
}

BOOL WINAPI ScreenToClient(HWND handle, LPPOINT point) {
  Window* window = Find(handle);
  if (window == nullptr || !window->client || point == nullptr) return FALSE;
  const QPoint p = window->client->mapFromGlobal(QPoint(point->x, point->y));
  *point = POINT{p.x(), p.y()};
  return TRUE;
}

HWND WINAPI GetFocus(void) {
  return HandleOf(QApplication::focusWidget());
}

HWND WINAPI GetActiveWindow(void) {
  return HandleOf(QApplication::activeWindow());
}

HWND WINAPI SetFocus(HWND handle) {
  const HWND previous = GetFocus();
  if (handle == nullptr) {
    if (QWidget* focus = QApplication::focusWidget()) focus->clearFocus();
    return previous;
  }
  Window* window = Find(handle);
  if (window == nullptr || !window->widget) return nullptr;
  // As on Windows, focusing a control of an inactive window activates it.
  QWidget* top = window->widget->window();
  if (top->isVisible() && !top->isActiveWindow()) {
    top->activateWindow();
#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
    QApplication::setActiveWindow(top);
#endif
  }
  window = Find(handle);
  if (window == nullptr) return previous;
  QWidget* target = window->kind == Kind::Dialog ? window->client.data() : UserWidget(*window);
  if (target) target->setFocus(Qt::OtherFocusReason);
  return previous;
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND handle, int index) {
  Window* window = Find(handle);
  if (window == nullptr) return 0;
  switch (index) {
    case GWL_STYLE:
      return static_cast<LONG_PTR>(window->style);
    case GWL_EXSTYLE:
      return static_cast<LONG_PTR>(window->exStyle);
    case GWLP_ID:
      return window->id;
    case GWLP_USERDATA:
      return window->userData;
    case DWLP_MSGRESULT:
      return window->msgResult;
    case DWLP_USER:
      return window->user;
    case DWLP_DLGPROC:
      return reinterpret_cast<LONG_PTR>(window->dialogProc);
    default:
      return 0;
  }
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND handle, int index, LONG_PTR value) {
  Window* window = Find(handle);
  if (window == nullptr) return 0;
  const LONG_PTR previous = GetWindowLongPtrA(handle, index);
  switch (index) {
    case GWL_STYLE:
      window->style = static_cast<DWORD>(value);
      break;
    case GWL_EXSTYLE:
      window->exStyle = static_cast<DWORD>(value);
      break;
    case GWLP_ID:
      window->id = static_cast<int>(value);
      break;
    case GWLP_USERDATA:
      window->userData = value;
      break;
    case DWLP_MSGRESULT:
      window->msgResult = value;
      break;
    case DWLP_USER:
      window->user = value;
      break;
    case DWLP_DLGPROC:
      window->dialogProc = reinterpret_cast<DLGPROC>(value);
      break;
    default:
      return 0;
  }
  return previous;
}

BOOL WINAPI DestroyWindow(HWND window) {
  if (!IsWindow(window)) return FALSE;
  Destroy(window);
  return TRUE;
}

}  // extern "C"
