// Menus: CreateMenu and CreatePopupMenu build a tree that SetMenu shows as a
// QMenuBar at the top of a window. Choosing an item sends WM_COMMAND with the
// item's id and notification 0.
#include <QMenuBar>
#include <map>
#include <memory>

#include "core.h"

namespace win32 {
namespace {

struct MenuItem {
  UINT type = MFT_STRING;
  UINT state = MFS_ENABLED;
  UINT id = 0;
  HMENU submenu = nullptr;
  std::string text;
  ULONG_PTR data = 0;
};

struct Menu {
  bool popup = false;
  std::vector<MenuItem> items;
};

std::map<uintptr_t, Menu>& Menus() {
  static std::map<uintptr_t, Menu> menus;
  return menus;
}
uintptr_t nextMenu = 0x20010;

Menu* FindMenu(HMENU handle) {
  auto it = Menus().find(reinterpret_cast<uintptr_t>(handle));
  return it == Menus().end() ? nullptr : &it->second;
}

HMENU NewMenu(bool popup) {
  const HMENU handle = reinterpret_cast<HMENU>(nextMenu);
  nextMenu += 4;
  Menus()[reinterpret_cast<uintptr_t>(handle)].popup = popup;
  return handle;
}

bool Contains(HMENU root, HMENU wanted) {
  if (root == wanted) return true;
  Menu* menu = FindMenu(root);
  if (menu == nullptr) return false;
  for (const MenuItem& item : menu->items) {
    if (item.submenu && Contains(item.submenu, wanted)) return true;
  }
  return false;
}

void AddItems(QWidget* target, HMENU handle, HWND window, int depth) {
  Menu* menu = FindMenu(handle);
  if (menu == nullptr || depth > 16) return;
  for (const MenuItem& item : menu->items) {
    if (item.type & MFT_SEPARATOR) {
      auto* separator = new QAction(target);
      separator->setSeparator(true);
      target->addAction(separator);
      continue;
    }
    const QString text = FromAnsi(item.text);
    QAction* action;
    if (item.submenu) {
      auto* submenu = new QMenu(text, target);
      AddItems(submenu, item.submenu, window, depth + 1);
      action = submenu->menuAction();
    } else {
      action = new QAction(text, target);
      action->setProperty(kMenuCommandProperty, item.id);
      const UINT id = item.id;
      QObject::connect(action, &QAction::triggered, action,
                       [window, id] { SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); });
    }
    action->setEnabled((item.state & MFS_GRAYED) == 0);
    if (item.state & MFS_CHECKED) {
      action->setCheckable(true);
      action->setChecked(true);
    }
    target->addAction(action);
  }
}

}  // namespace

void RebuildMenuBar(Window& window) {
  if (window.menuBar) {
    window.menuBar->hide();
    window.menuBar->deleteLater();
    window.menuBar = nullptr;
  }
  if (window.menu != nullptr && window.widget) {
    auto* bar = new QMenuBar(window.widget);
    bar->setNativeMenuBar(false);
    AddItems(bar, window.menu, window.handle, 0);
    window.menuBar = bar;
    bar->show();
  }
  LayoutFrame(window);
}

}  // namespace win32

using namespace win32;

extern "C" {

HMENU WINAPI CreateMenu(void) {
  return NewMenu(false);
}

HMENU WINAPI CreatePopupMenu(void) {
  return NewMenu(true);
}

BOOL WINAPI InsertMenuItemA(HMENU handle, UINT item, BOOL byPosition, LPCMENUITEMINFOA info) {
  Menu* menu = FindMenu(handle);
  // The record before Windows 2000 lacks hbmpItem; both sizes are accepted.
  if (menu == nullptr || info == nullptr ||
      (info->cbSize != sizeof(MENUITEMINFOA) &&
       info->cbSize != offsetof(MENUITEMINFOA, hbmpItem))) {
    return FALSE;
  }
  MenuItem entry;
  if (info->fMask & (MIIM_FTYPE | MIIM_TYPE)) entry.type = info->fType;
  const bool textType = !(entry.type & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW));
  if (((info->fMask & MIIM_STRING) || ((info->fMask & MIIM_TYPE) && textType)) &&
      info->dwTypeData != nullptr) {
    entry.text = info->dwTypeData;
  }
  if (info->fMask & MIIM_ID) entry.id = info->wID;
  if (info->fMask & MIIM_SUBMENU) {
    if (info->hSubMenu != nullptr && FindMenu(info->hSubMenu) == nullptr) return FALSE;
    entry.submenu = info->hSubMenu;
  }
  if (info->fMask & MIIM_STATE) entry.state = info->fState;
  if (info->fMask & MIIM_DATA) entry.data = info->dwItemData;

  auto at = menu->items.end();
  if (byPosition) {
    if (item < menu->items.size()) at = menu->items.begin() + item;
  } else {
    at = std::find_if(menu->items.begin(), menu->items.end(),
                      [item](const MenuItem& existing) { return existing.id == item; });
    if (at == menu->items.end()) return FALSE;
  }
  menu->items.insert(at, entry);
  for (HWND handleOfWindow : AllWindows()) {
    Window* window = win32::Find(handleOfWindow);
    if (window && window->menu && Contains(window->menu, handle)) RebuildMenuBar(*window);
  }
  return TRUE;
}

BOOL WINAPI SetMenu(HWND handle, HMENU menu) {
  Window* window = win32::Find(handle);
  if (window == nullptr || (window->style & WS_CHILD) || window->kind != Kind::Dialog) return FALSE;
  if (menu != nullptr && FindMenu(menu) == nullptr) return FALSE;
  window->menu = menu;
  RebuildMenuBar(*window);
  return TRUE;
}

HMENU WINAPI GetMenu(HWND handle) {
  Window* window = win32::Find(handle);
  return window ? window->menu : nullptr;
}

BOOL WINAPI DestroyMenu(HMENU menu) {
  Menu* entry = FindMenu(menu);
  if (entry == nullptr) return FALSE;
  for (const MenuItem& item : entry->items) {
    if (item.submenu) DestroyMenu(item.submenu);
  }
  Menus().erase(reinterpret_cast<uintptr_t>(menu));
  return TRUE;
}

}  // extern "C"
