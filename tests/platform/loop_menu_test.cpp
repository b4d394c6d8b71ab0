// The message loop, menus, icons, activation and the library table.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include "dialog_builder.h"
#include "platform_testing.h"

namespace {

class LoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartRecording();
    DialogBuilder builder(kPopup | WS_MINIMIZEBOX, WS_EX_CONTROLPARENT, 19, 42, 200, 120, "main");
    dialog = CreateDialogIndirectParamA(nullptr, builder.get(), nullptr, RecordingProc, 0);
    received.clear();
  }
  void TearDown() override {
    react = nullptr;
    DestroyWindow(dialog);
  }
  HWND dialog = nullptr;
};

TEST_F(LoopTest, PostedMessagesComeOutOfGetMessageInOrderThenQuit) {
  PostMessageA(dialog, WM_USER, 1, 0);
  PostMessageA(dialog, WM_USER, 2, 0);
  PostQuitMessage(3);
  EXPECT_TRUE(received.empty());  // posting delivers nothing by itself
  std::vector<WPARAM> order;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0)) {
    order.push_back(msg.wParam);
    EXPECT_TRUE(IsDialogMessageA(dialog, &msg));  // it dispatches what is the dialog's
  }
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 3u);
  EXPECT_EQ(order, (std::vector<WPARAM>{1, 2}));
  const auto users = ReceivedOf(WM_USER);
  ASSERT_EQ(users.size(), 2u);
  EXPECT_EQ(users[0].wParam, 1u);
  EXPECT_EQ(users[1].wParam, 2u);
  EXPECT_FALSE(PostMessageA(reinterpret_cast<HWND>(uintptr_t{0x4}), WM_USER, 0, 0));
}

TEST_F(LoopTest, TheProgramLoopRunsUntilItsWindowIsDestroyed) {
  // The main window's loop: while the window exists, messages posted from
  // inside handlers come round in turn.
  react = [](HWND window, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
    if (message == WM_USER && wParam < 3) PostMessageA(window, WM_USER, wParam + 1, 0);
    if (message == WM_USER && wParam == 3) DestroyWindow(window);
    return FALSE;
  };
  PostMessageA(dialog, WM_USER, 1, 0);
  MSG msg;
  while (IsWindow(dialog) && GetMessageA(&msg, nullptr, 0, 0)) {
    if (!IsDialogMessageA(dialog, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  EXPECT_FALSE(IsWindow(dialog));
  std::vector<WPARAM> order;
  for (const Received& r : ReceivedOf(WM_USER)) order.push_back(r.wParam);
  EXPECT_EQ(order, (std::vector<WPARAM>{1, 2, 3}));
}

TEST_F(LoopTest, PeekMessageLetsQtRunThenGivesPostedMessagesToItsCallerWithoutWaiting) {
  MSG msg;
  bool timerRan = false;
  QTimer::singleShot(0, [&] { timerRan = true; });
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_TRUE(timerRan);
  PostMessageA(dialog, WM_USER, 1, 0);
  PostQuitMessage(4);
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
  EXPECT_TRUE(received.empty());  // the caller dispatches it, nobody else
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));  // whatever the filter
  EXPECT_EQ(msg.wParam, 4u);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(LoopTest, AMessagePeekLeavesWakesTheLoopThatWaitsFurtherOut) {
  // The program's loop waits; a handler called from Qt meanwhile posts a
  // message and peeks for another kind, as a run pumping its own window would.
  react = [](HWND window, UINT message, WPARAM, LPARAM) -> INT_PTR {
    if (message == WM_USER + 1) {
      PostMessageA(window, WM_USER, 7, 0);
      MSG other;
      PeekMessageA(&other, nullptr, WM_APP, WM_APP, PM_REMOVE);
    }
    return FALSE;
  };
  HWND window = dialog;
  QTimer::singleShot(0, [window] { SendMessageA(window, WM_USER + 1, 0, 0); });
  bool rescued = false;
  QTimer rescue;
  rescue.setSingleShot(true);
  QObject::connect(&rescue, &QTimer::timeout, [&] {
    rescued = true;
    PostMessageA(nullptr, WM_NULL, 0, 0);
  });
  rescue.start(2000);
  MSG msg;
  ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_FALSE(rescued);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
  EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(LoopTest, MenuItemsSendWmCommandWithTheirIdAndNotificationZero) {
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  HMENU help = CreatePopupMenu();
  auto add = [](HMENU menu, UINT type, UINT id, const char* text, HMENU sub) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_TYPE | MIIM_ID | (sub ? MIIM_SUBMENU : 0);
    info.fType = type;
    info.wID = id;
    info.hSubMenu = sub;
    info.dwTypeData = const_cast<char*>(text);
    return InsertMenuItemA(menu, static_cast<UINT>(-1), TRUE, &info);
  };
  EXPECT_TRUE(add(file, MFT_STRING, 1001, "&Exit", nullptr));
  EXPECT_TRUE(add(help, MFT_STRING, 1005, "&Help", nullptr));
  EXPECT_TRUE(add(help, MFT_SEPARATOR, 0, nullptr, nullptr));
  EXPECT_TRUE(add(help, MFT_STRING, 1006, "&About", nullptr));
  EXPECT_TRUE(add(bar, MFT_STRING, 0, "&File", file));
  EXPECT_TRUE(add(bar, MFT_STRING, 0, "&Help", help));
  RECT before;
  GetClientRect(dialog, &before);
  ASSERT_TRUE(SetMenu(dialog, bar));
  EXPECT_EQ(GetMenu(dialog), bar);

  auto* menuBar = platform_testing::Widget(dialog)->findChild<QMenuBar*>();
  ASSERT_NE(menuBar, nullptr);
  ASSERT_EQ(menuBar->actions().size(), 2);
  EXPECT_EQ(menuBar->actions()[1]->text(), "&Help");
  ASSERT_EQ(menuBar->actions()[1]->menu()->actions().size(), 3);
  EXPECT_TRUE(menuBar->actions()[1]->menu()->actions()[1]->isSeparator());
  // As on Windows, the window keeps its size and the client area gives way.
  RECT after;
  GetClientRect(dialog, &after);
  EXPECT_EQ(after.right, before.right);
  EXPECT_EQ(after.bottom, before.bottom - menuBar->sizeHint().height());

  platform_testing::MenuAction(dialog, 1006)->trigger();
  const auto commands = ReceivedOf(WM_COMMAND);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].wParam, MAKEWPARAM(1006, 0));
  EXPECT_EQ(commands[0].lParam, 0);
  EXPECT_EQ(platform_testing::MenuAction(dialog, 4242), nullptr);
}

TEST_F(LoopTest, IconResourceIsDrawnAtTheAskedSizesAndSetOnTheWindow) {
  HICON big = static_cast<HICON>(LoadImageA(nullptr, "ICON1", IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
  HICON small = static_cast<HICON>(LoadImageA(nullptr, "ICON1", IMAGE_ICON, 16, 16, 0));
  ASSERT_NE(big, nullptr);
  ASSERT_NE(small, nullptr);
  EXPECT_EQ(LoadImageA(nullptr, "ICON2", IMAGE_ICON, 16, 16, 0), nullptr);
  EXPECT_EQ(SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big)), 0);
  SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  EXPECT_EQ(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(big));
  const QIcon icon = platform_testing::Widget(dialog)->windowIcon();
  EXPECT_TRUE(icon.availableSizes().contains(QSize(32, 32)));
  EXPECT_TRUE(icon.availableSizes().contains(QSize(16, 16)));
  const QImage image = icon.pixmap(32, 32).toImage();
  EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0);     // round, on a clear ground
  EXPECT_GT(image.pixelColor(16, 8).alpha(), 200);  // the globe itself
}

TEST_F(LoopTest, NcActivateTellsTheDialogWhenItGainsAndLosesActivation) {
  ShowWindow(dialog, SW_SHOW);
  QApplication::setActiveWindow(platform_testing::Widget(dialog));
  DialogBuilder other(kPopup | WS_VISIBLE, 0, 100, 100, 60, 40, "other");
  HWND second = CreateDialogIndirectParamA(nullptr, other.get(), nullptr, nullptr, 0);
  received.clear();
  QApplication::setActiveWindow(platform_testing::Widget(second));
  QApplication::setActiveWindow(platform_testing::Widget(dialog));
  std::vector<WPARAM> states;
  for (const Received& r : ReceivedOf(WM_NCACTIVATE)) {
    if (r.window == dialog) states.push_back(r.wParam != 0);
  }
  EXPECT_EQ(states, (std::vector<WPARAM>{0, 1}));
  DestroyWindow(second);
}

TEST(LibraryTable, CommonControlsAreFoundAndCanBeHidden) {
  HMODULE module = LoadLibraryA("COMCTL32.DLL");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(LoadLibraryA("C:\\Windows\\System32\\comctl32.dll"), module);
  EXPECT_EQ(LoadLibraryA("OSTRAK32.DLL"), nullptr);
  using Init = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  auto init = reinterpret_cast<Init>(
      reinterpret_cast<void (*)()>(GetProcAddress(module, "InitCommonControlsEx")));
  ASSERT_NE(init, nullptr);
  const size_t before = platform_testing::CommonControlsCalls().size();
  INITCOMMONCONTROLSEX controls{sizeof controls,
                                ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_INTERNET_CLASSES};
  EXPECT_EQ(controls.dwICC, 0x9FFu);
  EXPECT_EQ(controls.dwSize, 8u);
  EXPECT_TRUE(init(&controls));
  EXPECT_EQ(platform_testing::CommonControlsCalls().back(), (std::pair<DWORD, DWORD>{8, 0x9FF}));
  EXPECT_EQ(platform_testing::CommonControlsCalls().size(), before + 1);
  EXPECT_EQ(GetProcAddress(module, "DllGetVersion"), nullptr);
  EXPECT_TRUE(FreeLibrary(module));

  platform_testing::HideProcedure("InitCommonControlsEx", true);
  EXPECT_EQ(GetProcAddress(module, "InitCommonControlsEx"), nullptr);
  platform_testing::HideProcedure("InitCommonControlsEx", false);
  platform_testing::HideLibrary("COMCTL32.DLL", true);
  EXPECT_EQ(LoadLibraryA("COMCTL32.DLL"), nullptr);
  platform_testing::HideLibrary("COMCTL32.DLL", false);
}

TEST(Cursors, StockCursorsBecomeTheApplicationOverrideCursor) {
  HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  HCURSOR busy = LoadCursorA(nullptr, IDC_APPSTARTING);
  ASSERT_NE(arrow, nullptr);
  ASSERT_NE(busy, nullptr);
  SetCursor(busy);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
  EXPECT_EQ(SetCursor(arrow), busy);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

}  // namespace
