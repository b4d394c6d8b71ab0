// Dialogs from in-memory templates, their default handling and modal runs.
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QWindow>
#include <cstring>

#include "core.h"

namespace win32 {
namespace {

// A top-level dialog: the close box and activation become messages.
class DialogFrame : public QWidget {
 public:
  DialogFrame(QWidget* owner, Qt::WindowFlags flags) : QWidget(owner, flags) {}

 protected:
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    const HWND handle = HandleOf(this);
    if (handle != nullptr && IsWindowEnabled(handle)) {
      SendMessageA(handle, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
  }
  bool event(QEvent* event) override {
    const bool activate = event->type() == QEvent::WindowActivate;
    if (activate || event->type() == QEvent::WindowDeactivate) {
      if (HWND handle = HandleOf(this)) {
        SendMessageA(handle, WM_NCACTIVATE, activate ? TRUE : FALSE, 0);
        SendMessageA(handle, WM_ACTIVATE, activate ? WA_ACTIVE : WA_INACTIVE, 0);
      }
    }
    return QWidget::event(event);
  }
  void resizeEvent(QResizeEvent* event) override {
    if (Window* window = Find(HandleOf(this))) LayoutFrame(*window);
    QWidget::resizeEvent(event);
  }
};

bool IsUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
      return true;
    default:
      return false;
  }
}

// A visible, enabled top-level window that the window owns, or nullptr.
Window* EnabledOwnedWindow(HWND owner) {
  for (HWND handle : AllWindows()) {
    Window* window = Find(handle);
    if (window->parent == owner && !(window->style & (WS_CHILD | WS_DISABLED)) &&
        (window->style & WS_VISIBLE) && window->widget) {
      return window;
    }
  }
  return nullptr;
}

// The widget an input event goes to: the widget itself, or the top-level
// widget of the window that gets it first (before Qt moves the focus on a
// click).
const QWidget* InputWidget(const QObject* object) {
  if (object->isWidgetType()) return static_cast<const QWidget*>(object);
  if (!object->isWindowType()) return nullptr;
  for (const QWidget* top : QApplication::topLevelWidgets()) {
    if (static_cast<const QObject*>(top->windowHandle()) == object) return top;
  }
  return nullptr;
}

// A disabled top-level window keeps its look, so its widgets stay enabled in
// Qt; the input for them ends here instead, its focus unmoved. A click on it
// activates a window it owns (the one that made it disabled, as a rule), as
// Windows does.
class DisabledWindowInput : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    if (!IsUserInput(event->type())) return false;
    const QWidget* widget = InputWidget(object);
    if (widget == nullptr) return false;
    const HWND root = RootOf(HandleOf(widget));
    if (root == nullptr || IsWindowEnabled(root)) return false;
    if (event->type() == QEvent::MouseButtonPress) {
      if (Window* owned = EnabledOwnedWindow(root)) BringForward(owned->widget);
    }
    // An accepted ShortcutOverride keeps the key from the menu's shortcuts too.
    event->accept();
    return true;
  }
};

// Reads a dialog template; WORD fields are read byte-wise because a template
// is only guaranteed WORD alignment.
class TemplateReader {
 public:
  explicit TemplateReader(const void* start) : start_(static_cast<const unsigned char*>(start)) {}

  template <typename T>
  T Read() {
    T value;
    std::memcpy(&value, start_ + offset_, sizeof(T));
    offset_ += sizeof(T);
    return value;
  }
  WORD Peek() const {
    WORD value;
    std::memcpy(&value, start_ + offset_, sizeof(WORD));
    return value;
  }
  QString ReadString() {
    QString result;
    for (WORD c = Read<WORD>(); c != 0; c = Read<WORD>()) result.append(QChar(c));
    return result;
  }
  // A string, or 0xFFFF and an ordinal (returned in ordinal), or 0x0000 for none.
  QString ReadStringOrOrdinal(int& ordinal) {
    ordinal = -1;
    if (Peek() == 0xFFFF) {
      Read<WORD>();
      ordinal = Read<WORD>();
      return QString();
    }
    return ReadString();
  }
  void AlignToDword() { offset_ = (offset_ + 3) & ~size_t{3}; }

 private:
  const unsigned char* start_;
  size_t offset_ = 0;
};

struct ItemTemplate {
  DLGITEMTEMPLATE header;
  QString className;
  QString title;
};

struct DialogTemplate {
  DLGTEMPLATE header;
  QString title;
  WORD pointSize = 8;
  QString face;
  std::vector<ItemTemplate> items;
};

QString ClassOfAtom(int atom) {
  switch (atom) {
    case 0x0080:
      return "BUTTON";
    case 0x0081:
      return "EDIT";
    case 0x0082:
      return "STATIC";
    case 0x0083:
      return "LISTBOX";
    case 0x0085:
      return "COMBOBOX";
    default:
      return QString();
  }
}

bool ParseTemplate(const DLGTEMPLATE* source, DialogTemplate& result) {
  TemplateReader reader(source);
  if (reader.Peek() == 1) {
    TemplateReader probe(source);
    probe.Read<WORD>();
    if (probe.Peek() == 0xFFFF) return false;  // DLGTEMPLATEEX is not part of the subset
  }
  result.header = reader.Read<DLGTEMPLATE>();
  int ordinal = -1;
  reader.ReadStringOrOrdinal(ordinal);  // menu: the program attaches its own with SetMenu
  reader.ReadStringOrOrdinal(ordinal);  // window class: always the dialog class here
  result.title = reader.ReadString();
  if (result.header.style & DS_SETFONT) {
    result.pointSize = reader.Read<WORD>();
    result.face = reader.ReadString();
  }
  for (int i = 0; i < result.header.cdit; ++i) {
    reader.AlignToDword();
    ItemTemplate item;
    item.header = reader.Read<DLGITEMTEMPLATE>();
    item.className = reader.ReadStringOrOrdinal(ordinal);
    if (ordinal >= 0) item.className = ClassOfAtom(ordinal);
    item.title = reader.ReadStringOrOrdinal(ordinal);
    const WORD extra = reader.Read<WORD>();
    for (WORD skipped = 0; skipped < extra; ++skipped) reader.Read<unsigned char>();
    result.items.push_back(item);
  }
  return true;
}

Qt::WindowFlags FrameFlags(DWORD style, bool owned) {
  Qt::WindowFlags flags = owned ? Qt::Dialog : Qt::Window;
  if ((style & WS_CAPTION) != WS_CAPTION) return flags | Qt::FramelessWindowHint;
  flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (style & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (style & WS_MINIMIZEBOX) flags |= Qt::WindowMinimizeButtonHint;
  if (style & WS_MAXIMIZEBOX) flags |= Qt::WindowMaximizeButtonHint;
  return flags;
}

QRect ToPixels(const Window& dialog, int x, int y, int cx, int cy) {
  return QRect(MulDiv(x, dialog.baseX, 4), MulDiv(y, dialog.baseY, 8), MulDiv(cx, dialog.baseX, 4),
               MulDiv(cy, dialog.baseY, 8));
}

// The style a dialog gets from its template: DS_CONTROL pages have no caption.
DWORD DialogStyle(const DialogTemplate& parsed) {
  const DWORD style = parsed.header.style;
  return (style & DS_CONTROL) ? style & ~(WS_CAPTION | WS_SYSMENU) : style;
}

// A WS_CHILD dialog (a page): a plain widget in the parent's client area,
// hidden until shown, and the parent's last child.
void AttachPage(Window& dialog, Window& parentWindow, const QFont& font, QRect rect) {
  auto* page = new QWidget(parentWindow.client);
  page->setFont(font);
  page->hide();
  AttachWidget(dialog, page);
  page->setGeometry(rect);
  parentWindow.children.push_back(dialog.handle);
}

// A top-level dialog: a frame with the client area inside, placed as its
// style says (centred, relative to the owner's client area, or absolute).
void AttachFrame(Window& dialog, Window* owner, DWORD style, const QFont& font, QRect rect,
                 const QString& title, bool modal) {
  QWidget* ownerWidget = owner ? owner->widget.data() : nullptr;
  auto* frame = new DialogFrame(ownerWidget, FrameFlags(style, ownerWidget != nullptr));
  auto* client = new QWidget(frame);
  frame->setFont(font);
  frame->setWindowTitle(title);
  AttachWidget(dialog, frame, client);
  QPoint position = rect.topLeft();
  if (style & DS_CENTER) {
    const QRect area = ownerWidget ? ownerWidget->frameGeometry()
                                   : QGuiApplication::primaryScreen()->availableGeometry();
    position = area.center() - QPoint(rect.width() / 2, rect.height() / 2);
  } else if (owner && !(style & DS_ABSALIGN)) {
    position = owner->client->mapToGlobal(position);
  }
  frame->move(position);
  ResizeWidget(dialog, rect.size());
  LayoutFrame(dialog);
  if (modal) frame->setWindowModality(ownerWidget ? Qt::WindowModal : Qt::NonModal);
}

// Registers the dialog's window with its font and base units and makes its
// widget; nullptr when a child dialog has no parent to live in.
HWND CreateDialogWindow(const DialogTemplate& parsed, HWND parent, DLGPROC dialogProc, bool modal) {
  const DWORD style = DialogStyle(parsed);
  const bool child = style & WS_CHILD;
  Window* parentWindow = Find(child ? parent : RootOf(parent));
  if (child && (parentWindow == nullptr || !parentWindow->client)) return nullptr;

  Window& dialog =
      NewWindow(Kind::Dialog, &DialogProcedure, parentWindow ? parentWindow->handle : nullptr);
  dialog.style = style & ~WS_VISIBLE;
  dialog.exStyle = parsed.header.dwExtendedStyle;
  dialog.dialogProc = dialogProc;
  dialog.modal = modal;
  dialog.text = ToAnsi(parsed.title);
  const QFont font = DialogFont(parsed.face, parsed.pointSize);
  dialog.font = FontHandle(font);
  BaseUnits(font, dialog.baseX, dialog.baseY);

  const QRect rect =
      ToPixels(dialog, parsed.header.x, parsed.header.y, parsed.header.cx, parsed.header.cy);
  if (child) {
    AttachPage(dialog, *parentWindow, font, rect);
  } else {
    AttachFrame(dialog, parentWindow, style, font, rect, parsed.title, modal);
  }
  return dialog.handle;
}

bool IsDefaultPushButton(HWND control) {
  const Window* window = Find(control);
  return window && window->kind == Kind::Button &&
         (window->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

// The first default push button among the dialog's controls, looking into
// its WS_EX_CONTROLPARENT child dialogs as well; nullptr when there is none.
HWND FindDefaultPushButton(HWND dialog) {
  const Window* window = Find(dialog);
  if (window == nullptr) return nullptr;
  for (HWND child : window->children) {
    const Window* control = Find(child);
    if (control == nullptr) continue;
    if (IsDefaultPushButton(child)) return child;
    if (control->kind == Kind::Dialog && (control->exStyle & WS_EX_CONTROLPARENT)) {
      if (HWND found = FindDefaultPushButton(child)) return found;
    }
  }
  return nullptr;
}

// DM_SETDEFID: the old default button becomes a plain push button, the new
// one the default push button, and the id is kept even without a button.
void SetDefaultId(HWND handle, int id) {
  Window* dialog = Find(handle);
  if (dialog == nullptr) return;
  const int old = dialog->defaultId;
  if (old != 0) {
    const HWND oldButton = GetDlgItem(handle, old);
    if (IsDefaultPushButton(oldButton)) SendMessageA(oldButton, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  }
  const HWND newButton = GetDlgItem(handle, id);
  const Window* button = Find(newButton);
  if (button && button->kind == Kind::Button && (button->style & BS_TYPEMASK) == BS_PUSHBUTTON) {
    SendMessageA(newButton, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  }
  if ((dialog = Find(handle))) dialog->defaultId = id;
}

// The dialog's font to the dialog, then each item as a control with that
// font. False when the dialog is gone: destroyed by its procedure, or here
// because a control could not be made (unless DS_NOFAILCREATE).
bool CreateItems(HWND handle, const DialogTemplate& parsed) {
  Window* dialog = Find(handle);
  SendMessageA(handle, WM_SETFONT, reinterpret_cast<WPARAM>(dialog->font), FALSE);
  for (const ItemTemplate& item : parsed.items) {
    Window* self = Find(handle);
    if (self == nullptr) return false;
    const DLGITEMTEMPLATE& h = item.header;
    const HWND control =
        CreateControl(h.dwExtendedStyle, item.className, ToAnsi(item.title).c_str(),
                      h.style | WS_CHILD, ToPixels(*self, h.x, h.y, h.cx, h.cy), handle, h.id);
    if (control == nullptr) {
      if (DialogStyle(parsed) & DS_NOFAILCREATE) continue;
      Destroy(handle);
      return false;
    }
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(self->font), FALSE);
    // The template's default push button is the dialog's default id.
    self = Find(handle);
    if (self && IsDefaultPushButton(control)) self->defaultId = h.id;
  }
  return true;
}

// WM_INITDIALOG with the first tab stop; that control gets the focus when the
// procedure asks for it, and a WS_VISIBLE dialog is shown unless it ended.
HWND InitializeDialog(HWND handle, const DialogTemplate& parsed, LPARAM initParam) {
  const HWND first = GetNextDlgTabItem(handle, nullptr, FALSE);
  const LRESULT focus =
      SendMessageA(handle, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), initParam);
  if (!IsWindow(handle)) return nullptr;
  if (focus && first) SetFocus(first);
  Window* self = Find(handle);
  if (self == nullptr) return nullptr;  // destroyed by its procedure on taking the focus
  if ((DialogStyle(parsed) & WS_VISIBLE) && !self->ended) ShowWindow(handle, SW_SHOWNORMAL);
  return handle;
}

HWND CreateDialogFromTemplate(const DLGTEMPLATE* source, HWND parent, DLGPROC dialogProc,
                              LPARAM initParam, bool modal) {
  DialogTemplate parsed;
  if (source == nullptr || !ParseTemplate(source, parsed)) return nullptr;
  const HWND handle = CreateDialogWindow(parsed, parent, dialogProc, modal);
  if (handle == nullptr || !CreateItems(handle, parsed)) return nullptr;
  return InitializeDialog(handle, parsed, initParam);
}

QIcon CombinedIcon(const Window& window) {
  QIcon combined;
  for (HICON handle : window.icons) {
    const QIcon icon = IconOf(handle);
    for (QSize size : icon.availableSizes()) combined.addPixmap(icon.pixmap(size));
  }
  return combined;
}

// What a dialog gets for the messages its procedure leaves alone.
LRESULT DefaultDialog(Window& dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND handle = dialog.handle;
  switch (message) {
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageA(handle, WM_CLOSE, 0, 0);
      if ((wParam & 0xFFF0) == SC_MINIMIZE) ShowWindow(handle, SW_MINIMIZE);
      return 0;
    case WM_CLOSE: {
      // Windows turns the close into IDCANCEL for the procedure. A dialog that
      // does nothing on IDCANCEL is ended all the same, so that its close box
      // always works.
      SendMessageA(handle, WM_COMMAND, IDCANCEL,
                   reinterpret_cast<LPARAM>(GetDlgItem(handle, IDCANCEL)));
      Window* self = Find(handle);
      if (self == nullptr || self->ended) return 0;
      if (self->modal) {
        EndDialog(handle, IDCANCEL);
      } else {
        DestroyWindow(handle);
      }
      return 0;
    }
    case WM_SETTEXT:
      CommonProcedure(dialog, message, wParam, lParam);
      if (dialog.widget && dialog.widget->isWindow()) {
        dialog.widget->setWindowTitle(FromAnsi(dialog.text));
      }
      return TRUE;
    case WM_SETICON:
    case WM_GETICON: {
      HICON& slot = dialog.icons[wParam == ICON_BIG ? 1 : 0];
      const HICON previous = slot;
      if (message == WM_SETICON) {
        slot = reinterpret_cast<HICON>(lParam);
        if (dialog.widget) dialog.widget->setWindowIcon(CombinedIcon(dialog));
      }
      return reinterpret_cast<LRESULT>(previous);
    }
    case DM_GETDEFID: {
      if (dialog.defaultId != 0) return MAKELONG(dialog.defaultId, DC_HASDEFID);
      const HWND button = FindDefaultPushButton(handle);
      return button ? MAKELONG(GetDlgCtrlID(button), DC_HASDEFID) : 0;
    }
    case DM_SETDEFID:
      SetDefaultId(handle, static_cast<int>(wParam));
      return TRUE;
    case WM_NEXTDLGCTL: {
      HWND target = reinterpret_cast<HWND>(wParam);
      if (!LOWORD(lParam)) target = GetNextDlgTabItem(handle, GetFocus(), wParam != 0);
      if (target) SetFocus(target);
      return 0;
    }
    default:
      return CommonProcedure(dialog, message, wParam, lParam);
  }
}

}  // namespace

LRESULT DialogProcedure(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND handle = window.handle;
  window.msgResult = 0;
  const INT_PTR handled =
      window.dialogProc ? CallProgram(window.dialogProc, handle, message, wParam, lParam) : FALSE;
  Window* self = Find(handle);
  if (self == nullptr) return handled;
  if (!handled) return DefaultDialog(*self, message, wParam, lParam);
  return message == WM_INITDIALOG ? handled : self->msgResult;
}

void InstallDisabledWindowInput() {
  static bool installed = false;
  if (installed || qApp == nullptr) return;
  qApp->installEventFilter(new DisabledWindowInput(qApp));
  installed = true;
}

void LayoutFrame(Window& dialog) {
  QWidget* frame = dialog.widget;
  if (frame == nullptr || !frame->isWindow() || dialog.client == frame) return;
  int top = 0;
  if (dialog.menuBar) {
    top = dialog.menuBar->sizeHint().height();
    dialog.menuBar->setGeometry(0, 0, frame->width(), top);
  }
  dialog.client->setGeometry(0, top, frame->width(), std::max(0, frame->height() - top));
}

}  // namespace win32

using namespace win32;

extern "C" {

HWND WINAPI CreateDialogIndirectParamA(HINSTANCE /*instance*/, LPCDLGTEMPLATEA dialogTemplate,
                                       HWND parent, DLGPROC dialogProc, LPARAM initParam) {
  return CreateDialogFromTemplate(dialogTemplate, parent, dialogProc, initParam, false);
}

INT_PTR WINAPI DialogBoxIndirectParamA(HINSTANCE /*instance*/, LPCDLGTEMPLATEA dialogTemplate,
                                       HWND owner, DLGPROC dialogProc, LPARAM initParam) {
  const HWND ownerRoot = RootOf(owner);
  const HWND handle =
      CreateDialogFromTemplate(dialogTemplate, ownerRoot, dialogProc, initParam, true);
  if (handle == nullptr) return -1;
  // As on Windows, the owner is disabled while the dialog runs.
  const bool disableOwner = ownerRoot && IsWindowEnabled(ownerRoot);
  if (disableOwner) EnableWindow(ownerRoot, FALSE);
  Window* dialog = Find(handle);
  if (dialog && !dialog->ended) {
    ShowWindow(handle, SW_SHOWNORMAL);
    QEventLoop loop;
    dialog = Find(handle);
    if (dialog && !dialog->ended) {
      dialog->modalLoop = &loop;
      loop.exec();
    }
  }
  dialog = Find(handle);
  const INT_PTR result = dialog ? dialog->endResult : 0;
  if (dialog) dialog->modalLoop = nullptr;
  if (disableOwner) EnableWindow(ownerRoot, TRUE);
  DestroyWindow(handle);
  if (IsWindow(ownerRoot) && IsWindowVisible(ownerRoot)) SetFocus(ownerRoot);
  return result;
}

BOOL WINAPI EndDialog(HWND handle, INT_PTR result) {
  Window* dialog = Find(handle);
  if (dialog == nullptr || dialog->kind != Kind::Dialog) return FALSE;
  dialog->ended = true;
  dialog->endResult = result;
  ShowWindow(handle, SW_HIDE);
  dialog = Find(handle);
  if (dialog && dialog->modalLoop) dialog->modalLoop->quit();
  return TRUE;
}

BOOL WINAPI MapDialogRect(HWND handle, LPRECT rect) {
  Window* dialog = Find(handle);
  if (dialog == nullptr || dialog->kind != Kind::Dialog || rect == nullptr) return FALSE;
  rect->left = MulDiv(rect->left, dialog->baseX, 4);
  rect->right = MulDiv(rect->right, dialog->baseX, 4);
  rect->top = MulDiv(rect->top, dialog->baseY, 8);
  rect->bottom = MulDiv(rect->bottom, dialog->baseY, 8);
  return TRUE;
}

LRESULT WINAPI DefDlgProcA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* dialog = Find(handle);
  return dialog && dialog->kind == Kind::Dialog ? DefaultDialog(*dialog, message, wParam, lParam)
                                                : 0;
}

}  // extern "C"
