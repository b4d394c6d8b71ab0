// Helpers for the window tests: a plain owner window, and acting on a modal
// dialog while its loop runs.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QtTest/QTest>
#include <functional>

#include <windows.h>

#include "dialog_template.h"
#include "platform_testing.h"

inline INT_PTR CALLBACK PlainDialogProcedure(HWND, UINT, WPARAM, LPARAM) {
  return FALSE;
}

// A visible top-level window to own the dialogs under test.
inline HWND CreateOwnerWindow(short x = 19, short y = 42, short width = 424, short height = 383) {
  DialogTemplate owner(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, WS_EX_CONTROLPARENT, x, y,
                       width, height, "Owner");
  return CreateDialogIndirectParamA(nullptr, owner.get(), nullptr, &PlainDialogProcedure, 0);
}

// Runs act on the modal dialog once its loop is running; act must end it.
inline void WhenModalDialogRuns(std::function<void(HWND)> act) {
  QTimer::singleShot(0, [act] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) return;
    QApplication::setActiveWindow(modal);
    act(GetActiveWindow());
  });
}

inline void Click(HWND dialog, int id) {
  QWidget* widget = platform_testing::Widget(GetDlgItem(dialog, id));
  if (widget != nullptr) widget->setFocus();
  QTest::mouseClick(widget, Qt::LeftButton);
}
