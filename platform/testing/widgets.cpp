// What a test needs of the layer's Qt side: the widget behind a window, the
// action behind a menu command, posted messages delivered on demand.
#include <QAction>
#include <QMenuBar>

#include "../src/core.h"
#include "platform_testing.h"

namespace platform_testing {

QWidget* Widget(HWND handle) {
  const win32::Window* window = win32::Find(handle);
  return window ? win32::UserWidget(*window) : nullptr;
}

QAction* MenuAction(HWND handle, UINT commandId) {
  const win32::Window* window = win32::Find(handle);
  if (window == nullptr || !window->menuBar) return nullptr;
  for (QAction* action : window->menuBar->findChildren<QAction*>()) {
    const QVariant id = action->property(win32::kMenuCommandProperty);
    if (id.isValid() && id.toUInt() == commandId) return action;
  }
  return nullptr;
}

void DeliverPostedMessages() {
  win32::DeliverPosted();
}

}  // namespace platform_testing
