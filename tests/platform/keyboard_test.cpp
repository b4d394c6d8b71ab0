// The dialog keyboard: Tab order through a child page, arrows in a radio
// group, mnemonics, Enter and Escape.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "dialog_builder.h"
#include "platform_testing.h"

namespace {

class KeyboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartRecording();
    DialogBuilder builder(kPopup | WS_VISIBLE, WS_EX_CONTROLPARENT, 0, 0, 300, 160, "keys");
    builder.Item(WS_VISIBLE | CBS_DROPDOWN | WS_TABSTOP, 0, 4, 4, 100, 80, 301, nullptr, 0x0085, "")
        .Item(WS_VISIBLE | WS_TABSTOP, 0, 110, 4, 60, 14, 410, nullptr, 0x0080, "&Start Units")
        .Item(WS_VISIBLE | SS_LEFT, 0, 4, 24, 60, 8, 701, nullptr, 0x0082, "&Datum")
        .Item(WS_VISIBLE | WS_TABSTOP | WS_DISABLED, 0, 70, 24, 60, 12, 802, nullptr, 0x0081, "")
        .Item(WS_VISIBLE | BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0, 4, 40, 60, 12, 601,
              nullptr, 0x0080, "DDD.MMSSsss")
        .Item(WS_VISIBLE | BS_AUTORADIOBUTTON, 0, 70, 40, 60, 12, 602, nullptr, 0x0080,
              "DDD.dddddd")
        .Item(WS_VISIBLE | WS_TABSTOP | WS_GROUP, 0, 4, 120, 60, 14, 401, nullptr, 0x0080, "&Exit");
    dialog = CreateDialogIndirectParamA(nullptr, builder.get(), nullptr, RecordingProc, 0);
    CheckRadioButton(dialog, 601, 602, 601);
    // Two pages over the same place; only the visible one is in the tab order.
    for (const char* name : {"StartXY", "StartProjList"}) {
      DialogBuilder page(kPage, WS_EX_CONTROLPARENT, 0, 0, 120, 30, name);
      const WORD base = name[5] == 'X' ? 801 : 803;
      page.Item(WS_VISIBLE | WS_TABSTOP, WS_EX_CLIENTEDGE, 0, 0, 76, 12, base, nullptr, 0x0081, "")
          .Item(WS_VISIBLE | SS_LEFT, 0, 0, 16, 44, 12, 706, nullptr, 0x0082, "Northing")
          .Item(WS_VISIBLE | WS_TABSTOP, WS_EX_CLIENTEDGE, 44, 16, 76, 12, base + 1, nullptr,
                0x0081, "");
      pages.push_back(CreateDialogIndirectParamA(nullptr, page.get(), dialog, RecordingProc, 0));
      SetWindowPos(pages.back(), nullptr, 20, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    ShowWindow(pages[0], SW_SHOW);
    QApplication::setActiveWindow(platform_testing::Widget(dialog));
    received.clear();
  }
  void TearDown() override {
    react = nullptr;
    DestroyWindow(dialog);
  }
  HWND Item(int id) { return GetDlgItem(dialog, id); }
  void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : platform_testing::Widget(dialog), static_cast<Qt::Key>(key),
                    modifiers);
  }
  HWND dialog = nullptr;
  std::vector<HWND> pages;
};

TEST_F(KeyboardTest, TabVisitsTabStopsInCreationOrderIntoTheVisiblePage) {
  SetFocus(Item(301));
  ASSERT_EQ(GetFocus(), Item(301));
  // 802 is disabled, 602 is no tab stop, the hidden page's boxes are skipped.
  const std::vector<HWND> order = {
      Item(410), Item(601), Item(401), GetDlgItem(pages[0], 801), GetDlgItem(pages[0], 802),
      Item(301)};
  for (HWND expected : order) {
    Press(Qt::Key_Tab);
    EXPECT_EQ(GetFocus(), expected);
  }
  Press(Qt::Key_Tab, Qt::ShiftModifier);
  EXPECT_EQ(GetFocus(), GetDlgItem(pages[0], 802));

  ShowWindow(pages[0], SW_HIDE);
  ShowWindow(pages[1], SW_SHOW);
  SetFocus(Item(401));
  Press(Qt::Key_Tab);
  EXPECT_EQ(GetFocus(), GetDlgItem(pages[1], 803));
  EXPECT_TRUE(received.empty());
}

TEST_F(KeyboardTest, ArrowsMoveWithinTheRadioGroupAndCheckAsTheyGo) {
  SetFocus(Item(601));
  Press(Qt::Key_Down);
  EXPECT_EQ(GetFocus(), Item(602));
  EXPECT_EQ(IsDlgButtonChecked(dialog, 602), static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(dialog, 601), static_cast<UINT>(BST_UNCHECKED));
  const auto commands = ReceivedOf(WM_COMMAND);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].wParam, MAKEWPARAM(602, BN_CLICKED));
  Press(Qt::Key_Down);  // wraps inside the group, never to "&Exit"
  EXPECT_EQ(GetFocus(), Item(601));
}

TEST_F(KeyboardTest, MnemonicsClickButtonsAndLabelsPassTheFocusOn) {
  SetFocus(Item(301));
  Press(Qt::Key_E, Qt::AltModifier);
  auto commands = ReceivedOf(WM_COMMAND);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].wParam, MAKEWPARAM(401, BN_CLICKED));
  EXPECT_EQ(GetFocus(), Item(401));

  Press(Qt::Key_D, Qt::AltModifier);  // "&Datum": on to the next enabled tab stop
  EXPECT_EQ(GetFocus(), Item(601));
  Press(Qt::Key_S);  // on a button a plain letter is a mnemonic too
  commands = ReceivedOf(WM_COMMAND);
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[1].wParam, MAKEWPARAM(410, BN_CLICKED));
}

TEST_F(KeyboardTest, EnterAndSpaceClickTheFocusedButton) {
  SetFocus(Item(410));
  Press(Qt::Key_Return);
  Press(Qt::Key_Space);
  const auto commands = ReceivedOf(WM_COMMAND);
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0].wParam, MAKEWPARAM(410, BN_CLICKED));
  EXPECT_EQ(commands[1].wParam, MAKEWPARAM(410, BN_CLICKED));
}

TEST_F(KeyboardTest, EnterElsewhereSendsTheDefaultIdWhileItsButtonIsEnabled) {
  auto enterIn = [this](HWND control) {
    received.clear();
    SetFocus(control);
    Press(Qt::Key_Return);
    return ReceivedOf(WM_COMMAND);
  };
  auto type = [this](int id) { return GetWindowLongPtrA(Item(id), GWL_STYLE) & BS_TYPEMASK; };
  const HWND box = GetDlgItem(pages[0], 801);
  EXPECT_EQ(SendMessageA(dialog, DM_GETDEFID, 0, 0), 0);
  auto commands = enterIn(box);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].wParam, static_cast<WPARAM>(IDOK));

  SendMessageA(dialog, DM_SETDEFID, 410, 0);
  EXPECT_EQ(SendMessageA(dialog, DM_GETDEFID, 0, 0), MAKELONG(410, DC_HASDEFID));
  EXPECT_EQ(type(410), BS_DEFPUSHBUTTON);
  commands = enterIn(box);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].window, dialog);
  EXPECT_EQ(commands[0].wParam, MAKEWPARAM(410, BN_CLICKED));
  EXPECT_EQ(commands[0].lParam, reinterpret_cast<LPARAM>(Item(410)));

  // The default moves; a disabled default button takes no Enter.
  SendMessageA(dialog, DM_SETDEFID, 401, 0);
  EXPECT_EQ(type(410), BS_PUSHBUTTON);
  EXPECT_EQ(type(401), BS_DEFPUSHBUTTON);
  EnableWindow(Item(401), FALSE);
  EXPECT_TRUE(enterIn(box).empty());
}

TEST_F(KeyboardTest, AnOpenDropDownListTakesEnterItself) {
  for (const char* entry : {"none", "OSGB 1936 / British National Grid"}) {
    SendMessageA(Item(301), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
  }
  SendMessageA(dialog, DM_SETDEFID, 410, 0);
  SetFocus(Item(301));
  SendMessageA(Item(301), CB_SHOWDROPDOWN, TRUE, 0);
  ASSERT_TRUE(SendMessageA(Item(301), CB_GETDROPPEDSTATE, 0, 0));
  Press(Qt::Key_Down);
  Press(Qt::Key_Return);
  const auto commands = ReceivedOf(WM_COMMAND);
  ASSERT_FALSE(commands.empty());
  for (const Received& command : commands) EXPECT_EQ(LOWORD(command.wParam), 301);
  EXPECT_EQ(commands.back().wParam, MAKEWPARAM(301, CBN_SELCHANGE));
  EXPECT_FALSE(SendMessageA(Item(301), CB_GETDROPPEDSTATE, 0, 0));
}

TEST_F(KeyboardTest, EscapeOnlySendsIdCancelToTheDialog) {
  SetFocus(GetDlgItem(pages[0], 801));
  Press(Qt::Key_Escape);
  const auto commands = ReceivedOf(WM_COMMAND);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].window, dialog);
  EXPECT_EQ(commands[0].wParam, static_cast<WPARAM>(IDCANCEL));
  EXPECT_TRUE(IsWindow(dialog));
  EXPECT_TRUE(IsWindowVisible(dialog));
}

}  // namespace
