// Accelerator tables. Keys reach the program through Qt's key events, not
// through the message queue, so a table given to TranslateAcceleratorA for a
// window stays bound to it and the dialog keyboard asks it about every key
// pressed in that window (MatchAccelerator).
#include <QGuiApplication>
#include <QKeyEvent>
#include <map>
#include <vector>

#include "core.h"

namespace win32 {
namespace {

std::map<uintptr_t, std::vector<ACCEL>>& Tables() {
  static std::map<uintptr_t, std::vector<ACCEL>> tables;
  return tables;
}
uintptr_t nextTable = 0x40010;

// The table last given for each window.
std::map<HWND, HACCEL>& Bindings() {
  static std::map<HWND, HACCEL> bindings;
  return bindings;
}

const std::vector<ACCEL>* FindTable(HACCEL table) {
  auto it = Tables().find(reinterpret_cast<uintptr_t>(table));
  return it == Tables().end() ? nullptr : &it->second;
}

// The virtual-key code of a Qt key, or 0 for one that no table can name.
WORD VirtualKey(int key) {
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
    return static_cast<WORD>(key);
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return static_cast<WORD>(VK_F1 + (key - Qt::Key_F1));
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return VK_RETURN;
    case Qt::Key_Escape:
      return VK_ESCAPE;
    case Qt::Key_Delete:
      return VK_DELETE;
    default:
      return 0;
  }
}

BYTE ModifierFlags(Qt::KeyboardModifiers modifiers) {
  return static_cast<BYTE>(((modifiers & Qt::ShiftModifier) ? FSHIFT : 0) |
                           ((modifiers & Qt::ControlModifier) ? FCONTROL : 0) |
                           ((modifiers & Qt::AltModifier) ? FALT : 0));
}

// The command of the entry for a virtual key with exactly these modifiers,
// or of a character entry for the typed character; -1 when none matches.
int CommandFor(const std::vector<ACCEL>& table, WORD virtualKey, BYTE modifiers, QChar typed) {
  constexpr BYTE kModifiers = FSHIFT | FCONTROL | FALT;
  for (const ACCEL& entry : table) {
    if (entry.fVirt & FVIRTKEY) {
      if (virtualKey != 0 && entry.key == virtualKey && (entry.fVirt & kModifiers) == modifiers) {
        return entry.cmd;
      }
    } else if (!typed.isNull() && entry.key == typed.unicode()) {
      return entry.cmd;
    }
  }
  return -1;
}

void SendCommand(HWND window, int command) {
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(command, 1), 0);
}

}  // namespace

bool MatchAccelerator(HWND root, const QKeyEvent& event, bool act) {
  auto binding = Bindings().find(root);
  if (binding == Bindings().end() || !IsWindow(root) || !IsWindowEnabled(root)) return false;
  const std::vector<ACCEL>* table = FindTable(binding->second);
  if (table == nullptr) return false;
  const QChar typed = event.text().isEmpty() ? QChar() : event.text()[0];
  const int command =
      CommandFor(*table, VirtualKey(event.key()), ModifierFlags(event.modifiers()), typed);
  if (command < 0) return false;
  if (act) SendCommand(root, command);
  return true;
}

}  // namespace win32

using namespace win32;

extern "C" {

HACCEL WINAPI CreateAcceleratorTableA(LPACCEL entries, int count) {
  if (entries == nullptr || count <= 0) return nullptr;
  const HACCEL handle = reinterpret_cast<HACCEL>(nextTable);
  nextTable += 4;
  Tables()[reinterpret_cast<uintptr_t>(handle)] = std::vector<ACCEL>(entries, entries + count);
  return handle;
}

BOOL WINAPI DestroyAcceleratorTable(HACCEL table) {
  return Tables().erase(reinterpret_cast<uintptr_t>(table)) > 0;
}

int WINAPI TranslateAcceleratorA(HWND window, HACCEL table, LPMSG msg) {
  const std::vector<ACCEL>* entries = FindTable(table);
  if (entries == nullptr || !IsWindow(window)) return 0;
  Bindings()[window] = table;
  if (msg == nullptr || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return 0;
  const BYTE modifiers = ModifierFlags(QGuiApplication::queryKeyboardModifiers());
  const int command = CommandFor(*entries, static_cast<WORD>(msg->wParam), modifiers, QChar());
  if (command < 0 || !IsWindowEnabled(window)) return 0;
  SendCommand(window, command);
  return 1;
}

}  // extern "C"
