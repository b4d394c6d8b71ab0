// The dialog keyboard interface: Tab and Shift+Tab through the tab stops
// (into WS_EX_CONTROLPARENT child dialogs), arrows within a group, mnemonics,
// Enter and Escape. It follows what IsDialogMessage does on Windows, but
// works on Qt's key events directly, whatever the message loop calls.
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

#include "core.h"

namespace win32 {
namespace {

bool Usable(const Window& window) {
  return (window.style & WS_VISIBLE) && !(window.style & WS_DISABLED);
}

// The controls of a dialog in tab order: creation order, going into the
// usable child dialogs that are WS_EX_CONTROLPARENT.
void Flatten(HWND parent, std::vector<HWND>& controls) {
  Window* window = Find(parent);
  if (window == nullptr) return;
  for (HWND child : window->children) {
    Window* control = Find(child);
    if (control == nullptr) continue;
    if (control->exStyle & WS_EX_CONTROLPARENT) {
      if (Usable(*control)) Flatten(child, controls);
    } else {
      controls.push_back(child);
    }
  }
}

// The next window from `from` (exclusive) on, wrapping, that passes `accept`;
// with `from` absent, the first (or last) one.
template <typename Accept>
HWND NextInCycle(const std::vector<HWND>& cycle, HWND from, bool previous, Accept accept) {
  const int count = static_cast<int>(cycle.size());
  int position = -1;
  for (int i = 0; i < count; ++i) {
    if (cycle[i] == from) position = i;
  }
  if (position < 0) position = previous ? 0 : count - 1;
  for (int step = 1; step <= count; ++step) {
    const int i = ((position + (previous ? -step : step)) % count + count) % count;
    if (accept(cycle[i])) return cycle[i];
  }
  return nullptr;
}

bool IsPushButton(const Window& window) {
  const DWORD type = window.style & BS_TYPEMASK;
  return window.kind == Kind::Button && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

bool IsRadio(const Window& window) {
  const DWORD type = window.style & BS_TYPEMASK;
  return window.kind == Kind::Button && (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON);
}

bool WantsKeys(const Window& window) {
  return window.kind == Kind::Edit || window.kind == Kind::ComboBox ||
         window.kind == Kind::ListBox || window.kind == Kind::TabControl;
}

// Focus as the dialog manager gives it: an edit box gets its text selected.
void FocusByKeyboard(HWND control) {
  SetFocus(control);
  const Window* window = Find(control);
  QWidget* widget = window ? UserWidget(*window) : nullptr;
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) edit->selectAll();
  if (auto* combo = qobject_cast<QComboBox*>(widget); combo && combo->lineEdit()) {
    combo->lineEdit()->selectAll();
  }
}

// The button or label whose mnemonic is `key`, searched from the focused
// control on, as Windows does.
HWND FindMnemonic(HWND dialog, HWND focus, QChar key) {
  std::vector<HWND> controls;
  Flatten(dialog, controls);
  if (controls.empty()) return nullptr;
  auto matches = [key](HWND handle) {
    Window* window = Find(handle);
    if (window == nullptr || !Usable(*window)) return false;
    if (window->kind != Kind::Button && window->kind != Kind::Static) return false;
    if (window->kind == Kind::Static && (window->style & SS_NOPREFIX)) return false;
    return MnemonicOf(FromAnsi(window->text)) == key;
  };
  if (matches(focus)) return focus;
  return NextInCycle(controls, focus, false, matches);
}

QChar KeyCharacter(const QKeyEvent& event) {
  const int key = event.key();
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
    return QChar(key);
  }
  return event.text().isEmpty() ? QChar() : event.text()[0].toUpper();
}

enum class Action { None, Next, Previous, Cancel, Enter, GroupNext, GroupPrevious, Mnemonic };

Action Decide(const QKeyEvent& event, const Window& focus, HWND dialog, HWND& mnemonicTarget) {
  const Qt::KeyboardModifiers modifiers =
      event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
  const bool plain = modifiers == Qt::NoModifier;
  switch (event.key()) {
    case Qt::Key_Tab:
      if (modifiers == Qt::NoModifier) return Action::Next;
      return modifiers == Qt::ShiftModifier ? Action::Previous : Action::None;
    case Qt::Key_Backtab:
      return modifiers & (Qt::ControlModifier | Qt::AltModifier) ? Action::None : Action::Previous;
    case Qt::Key_Escape:
      return plain ? Action::Cancel : Action::None;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return plain ? Action::Enter : Action::None;
    case Qt::Key_Left:
    case Qt::Key_Up:
      return plain && !WantsKeys(focus) && focus.kind != Kind::Dialog ? Action::GroupPrevious
                                                                      : Action::None;
    case Qt::Key_Right:
    case Qt::Key_Down:
      return plain && !WantsKeys(focus) && focus.kind != Kind::Dialog ? Action::GroupNext
                                                                      : Action::None;
    default:
      break;
  }
  const bool alt = modifiers == Qt::AltModifier;
  const bool typed = (plain || modifiers == Qt::ShiftModifier) && !WantsKeys(focus);
  const QChar character = KeyCharacter(event);
  if ((alt || typed) && !character.isNull()) {
    mnemonicTarget = FindMnemonic(dialog, focus.handle, character);
    if (mnemonicTarget) return Action::Mnemonic;
  }
  return Action::None;
}

void Perform(Action action, HWND dialog, HWND focus, HWND mnemonicTarget) {
  switch (action) {
    case Action::Next:
    case Action::Previous:
      if (HWND next = GetNextDlgTabItem(dialog, focus, action == Action::Previous)) {
        FocusByKeyboard(next);
      }
      break;
    case Action::Cancel:
      SendMessageA(dialog, WM_COMMAND, IDCANCEL,
                   reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
      break;
    case Action::Enter: {
      // The focused push button, else the dialog's default id (when its
      // control is enabled, or there is no such control), else IDOK.
      Window* window = Find(focus);
      if (window && IsPushButton(*window)) {
        SendMessageA(focus, BM_CLICK, 0, 0);
        break;
      }
      const LRESULT defaultId = SendMessageA(dialog, DM_GETDEFID, 0, 0);
      if (HIWORD(defaultId) == DC_HASDEFID) {
        const HWND button = GetDlgItem(dialog, LOWORD(defaultId));
        if (button == nullptr || IsWindowEnabled(button)) {
          SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(LOWORD(defaultId), BN_CLICKED),
                       reinterpret_cast<LPARAM>(button));
        }
        break;
      }
      SendMessageA(dialog, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
      break;
    }
    case Action::GroupNext:
    case Action::GroupPrevious: {
      const HWND next = GetNextDlgGroupItem(dialog, focus, action == Action::GroupPrevious);
      Window* window = Find(next);
      if (window == nullptr || next == focus) break;
      FocusByKeyboard(next);
      window = Find(next);
      if (window && (window->style & BS_TYPEMASK) == BS_AUTORADIOBUTTON && IsRadio(*window) &&
          SendMessageA(next, BM_GETCHECK, 0, 0) != BST_CHECKED) {
        SendMessageA(next, BM_CLICK, 0, 0);
      }
      break;
    }
    case Action::Mnemonic: {
      Window* target = Find(mnemonicTarget);
      if (target == nullptr) break;
      if (target->kind == Kind::Static || (target->style & BS_TYPEMASK) == BS_GROUPBOX) {
        // A label hands the focus on to the control after it.
        if (HWND next = GetNextDlgTabItem(dialog, mnemonicTarget, FALSE)) FocusByKeyboard(next);
      } else {
        SendMessageA(mnemonicTarget, BM_CLICK, 0, 0);
      }
      break;
    }
    case Action::None:
      break;
  }
}

class DialogKeyboard : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    const QEvent::Type type = event->type();
    if ((type != QEvent::KeyPress && type != QEvent::ShortcutOverride) || !object->isWidgetType()) {
      return false;
    }
    const HWND focus = HandleOf(object);
    Window* focusWindow = Find(focus);
    if (focusWindow == nullptr) return false;
    if (focusWindow->kind == Kind::Dialog) {
      // A key that a control passed up to its dialog was the control's.
      QWidget* inside = static_cast<QWidget*>(object)->window()->focusWidget();
      if (inside != nullptr && inside != object && HandleOf(inside) != focus) return false;
    }
    const HWND dialog = RootOf(focus);
    Window* root = Find(dialog);
    if (root == nullptr || root->kind != Kind::Dialog) return false;
    // The window's accelerators come before the dialog keys.
    if (MatchAccelerator(dialog, *static_cast<QKeyEvent*>(event), type == QEvent::KeyPress)) {
      event->accept();
      return true;
    }
    HWND mnemonicTarget = nullptr;
    const Action action =
        Decide(*static_cast<QKeyEvent*>(event), *focusWindow, dialog, mnemonicTarget);
    if (action == Action::None) return false;
    event->accept();
    // The override is accepted so that no Qt shortcut (a menu's) takes the key.
    if (type == QEvent::KeyPress) Perform(action, dialog, focus, mnemonicTarget);
    return true;
  }
};

}  // namespace

std::vector<HWND> GroupOf(HWND control) {
  Window* window = Find(control);
  Window* parent = window ? Find(window->parent) : nullptr;
  if (parent == nullptr) return {};
  const std::vector<HWND>& siblings = parent->children;
  const auto at = std::find(siblings.begin(), siblings.end(), control);
  if (at == siblings.end()) return {};
  auto start = at;
  while (start != siblings.begin() && !(Find(*start)->style & WS_GROUP)) --start;
  auto end = start + 1;
  while (end != siblings.end() && !(Find(*end)->style & WS_GROUP)) ++end;
  return std::vector<HWND>(start, end);
}

void InstallDialogKeyboard() {
  static bool installed = false;
  if (installed || qApp == nullptr) return;
  qApp->installEventFilter(new DialogKeyboard(qApp));
  installed = true;
}

}  // namespace win32

using namespace win32;

extern "C" {

HWND WINAPI GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
  std::vector<HWND> controls;
  Flatten(dialog, controls);
  return NextInCycle(controls, control, previous, [](HWND handle) {
    Window* window = Find(handle);
    return window && Usable(*window) && (window->style & WS_TABSTOP);
  });
}

HWND WINAPI GetNextDlgGroupItem(HWND /*dialog*/, HWND control, BOOL previous) {
  const std::vector<HWND> group = GroupOf(control);
  HWND next = NextInCycle(group, control, previous, [](HWND handle) {
    Window* window = Find(handle);
    return window && Usable(*window);
  });
  return next ? next : control;
}

BOOL WINAPI IsDialogMessageA(HWND dialog, LPMSG msg) {
  // Keyboard input reaches the dialogs through Qt; what comes through the
  // loop for the dialog or its controls is dispatched here, as on Windows.
  if (msg == nullptr || !IsWindow(dialog)) return FALSE;
  if (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd)) return FALSE;
  DispatchMessageA(msg);
  return TRUE;
}

}  // extern "C"
