// Posted messages and the message loop, on Qt's event loop.
//
// Each posted message also posts a Qt event to the pump. A GetMessageA that
// waits, or a PeekMessageA that runs, at the current depth of program calls
// takes the message itself; any other running loop (a dialog box, a message
// box, a file chooser started from a handler) delivers it at once, as
// Windows' modal loops do.
#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <deque>

#include "core.h"

namespace win32 {
namespace {

struct Waiter {
  QEventLoop* loop;  // nullptr: a PeekMessageA, which looks at the queue when Qt is done
  int depth;
  bool woken = false;
};

std::deque<MSG> queue;
bool quitPosted = false;
int quitCode = 0;
Waiter* waiting = nullptr;

const QEvent::Type kWake = static_cast<QEvent::Type>(QEvent::registerEventType());

bool DeliverOne() {
  if (queue.empty()) return false;
  const MSG msg = queue.front();
  queue.pop_front();
  DispatchMessageA(&msg);
  return true;
}

class Pump : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool event(QEvent* event) override {
    if (event->type() != kWake) return QObject::event(event);
    if (waiting != nullptr && waiting->depth == ProgramDepth()) {
      waiting->woken = true;
      if (waiting->loop != nullptr) waiting->loop->quit();
    } else {
      DeliverOne();
    }
    return true;
  }
};

QObject* ThePump() {
  static QPointer<Pump> pump;
  if (!pump) pump = new Pump(QCoreApplication::instance());
  return pump;
}

bool Matches(const MSG& msg, HWND window, UINT low, UINT high) {
  if (window != nullptr && msg.hwnd != window && !IsChild(window, msg.hwnd)) return false;
  return (low == 0 && high == 0) || (msg.message >= low && msg.message <= high);
}

// The first matching message, else WM_QUIT once PostQuitMessage was called
// (whatever the filter, as on Windows); taken out of the queue when remove.
bool TakeMessage(MSG& msg, HWND window, UINT low, UINT high, bool remove) {
  for (auto it = queue.begin(); it != queue.end(); ++it) {
    if (Matches(*it, window, low, high)) {
      msg = *it;
      if (remove) queue.erase(it);
      return true;
    }
  }
  if (!quitPosted) return false;
  if (remove) quitPosted = false;
  msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(quitCode), 0, 0, POINT{0, 0}};
  return true;
}

}  // namespace

void WakeMessageLoop() {
  if (QCoreApplication::instance()) QCoreApplication::postEvent(ThePump(), new QEvent(kWake));
}

void DeliverPosted() {
  while (DeliverOne()) {
  }
}

}  // namespace win32

using namespace win32;

extern "C" {

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window != nullptr && !IsWindow(window)) return FALSE;
  queue.push_back(MSG{window, message, wParam, lParam, 0, POINT{0, 0}});
  WakeMessageLoop();
  return TRUE;
}

void WINAPI PostQuitMessage(int exitCode) {
  quitPosted = true;
  quitCode = exitCode;
  WakeMessageLoop();
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
  if (msg == nullptr) return -1;
  while (true) {
    if (TakeMessage(*msg, window, filterMin, filterMax, true)) return msg->message != WM_QUIT;
    if (QCoreApplication::instance() == nullptr) return -1;
    QEventLoop loop;
    Waiter waiter{&loop, ProgramDepth()};
    Waiter* outer = waiting;
    waiting = &waiter;
    loop.exec();
    waiting = outer;
  }
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMsg) {
  if (msg == nullptr) return FALSE;
  Waiter waiter{nullptr, ProgramDepth()};
  if (QCoreApplication::instance() != nullptr) {
    Waiter* outer = waiting;
    waiting = &waiter;
    QCoreApplication::processEvents();
    waiting = outer;
  }
  const bool found = TakeMessage(*msg, window, filterMin, filterMax, (removeMsg & PM_REMOVE) != 0);
  // The wakes this call took: a loop further out may wait for what is left.
  if (waiter.woken && (!queue.empty() || quitPosted)) WakeMessageLoop();
  return found;
}

BOOL WINAPI TranslateMessage(const MSG* /*msg*/) {
  return FALSE;  // key input never comes through the queue; Qt makes the characters
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
  if (msg == nullptr || msg->hwnd == nullptr) return 0;
  return SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

}  // extern "C"
