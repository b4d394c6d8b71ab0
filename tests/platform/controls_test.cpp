// Buttons, radio groups, edit boxes and combo boxes: what a user does becomes
// the notification a Win32 control sends; what the program sends is silent.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>
#include <QWheelEvent>
#include <cstring>
#include <string>

#include "dialog_builder.h"
#include "platform_testing.h"

namespace {

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartRecording();
    DialogBuilder builder(kPopup | WS_VISIBLE, WS_EX_CONTROLPARENT, 0, 0, 240, 160, "controls");
    builder
        .Item(WS_VISIBLE | WS_TABSTOP, 0, 4, 4, 60, 14, 401, nullptr, 0x0080, "&Exit")
        // Two groups with the same parent, as in the "Coordinate formats" dialog.
        .Item(WS_VISIBLE | BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0, 4, 24, 60, 12, 601,
              nullptr, 0x0080, "DDD.MMSSsss")
        .Item(WS_VISIBLE | BS_AUTORADIOBUTTON, 0, 70, 24, 60, 12, 602, nullptr, 0x0080,
              "DDD.dddddd")
        .Item(WS_VISIBLE | BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0, 4, 40, 60, 12, 603,
              nullptr, 0x0080, "Meter")
        .Item(WS_VISIBLE | BS_AUTORADIOBUTTON, 0, 70, 40, 60, 12, 604, nullptr, 0x0080, "Feet")
        .Item(WS_VISIBLE | BS_RADIOBUTTON | WS_GROUP, 0, 140, 40, 60, 12, 605, nullptr, 0x0080,
              "Manual")
        .Item(WS_VISIBLE | CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 0, 4, 60, 120, 88,
              301, nullptr, 0x0085, "")
        .Item(WS_VISIBLE | CBS_DROPDOWNLIST | WS_TABSTOP, 0, 130, 60, 100, 60, 302, nullptr, 0x0085,
              "")
        .Item(WS_VISIBLE | ES_RIGHT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 4, 80, 76, 12,
              801, nullptr, 0x0081, "");
    dialog = CreateDialogIndirectParamA(nullptr, builder.get(), nullptr, RecordingProc, 0);
    received.clear();
  }
  void TearDown() override { DestroyWindow(dialog); }

  QWidget* WidgetOf(int id) { return platform_testing::Widget(GetDlgItem(dialog, id)); }
  void ClickRadio(int id) {  // on its indicator, where a user clicks
    QWidget* radio = WidgetOf(id);
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
  }
  std::vector<std::pair<int, int>> Commands() {  // (id, notification code)
    std::vector<std::pair<int, int>> result;
    for (const Received& r : ReceivedOf(WM_COMMAND)) {
      EXPECT_EQ(reinterpret_cast<HWND>(r.lParam), GetDlgItem(dialog, LOWORD(r.wParam)));
      result.emplace_back(LOWORD(r.wParam), HIWORD(r.wParam));
    }
    return result;
  }
  void Fill(int id, std::initializer_list<const char*> items) {
    for (const char* item : items) SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, (LPARAM)item);
  }

  HWND dialog = nullptr;
};

TEST_F(ControlsTest, ClickingAPushButtonSendsBnClickedWithItsIdAndHandle) {
  QTest::mouseClick(WidgetOf(401), Qt::LeftButton);
  EXPECT_EQ(Commands(), (std::vector<std::pair<int, int>>{{401, BN_CLICKED}}));
  QTest::mouseClick(WidgetOf(401), Qt::RightButton);
  EXPECT_EQ(Commands().size(), 1u);
}

TEST_F(ControlsTest, AutoRadioButtonsAreExclusiveWithinTheirWsGroupOnly) {
  CheckRadioButton(dialog, 601, 602, 601);
  CheckRadioButton(dialog, 603, 604, 603);
  EXPECT_TRUE(received.empty());  // BM_SETCHECK sends nothing

  ClickRadio(604);
  EXPECT_EQ(IsDlgButtonChecked(dialog, 604), static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(dialog, 603), static_cast<UINT>(BST_UNCHECKED));
  EXPECT_EQ(IsDlgButtonChecked(dialog, 601), static_cast<UINT>(BST_CHECKED));  // other group
  // A click on the checked button keeps it checked and still notifies.
  ClickRadio(604);
  EXPECT_EQ(IsDlgButtonChecked(dialog, 604), static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(Commands(), (std::vector<std::pair<int, int>>{{604, BN_CLICKED}, {604, BN_CLICKED}}));
  // The checked radio button is the group's tab stop.
  EXPECT_TRUE(GetWindowLongPtrA(GetDlgItem(dialog, 604), GWL_STYLE) & WS_TABSTOP);
  EXPECT_FALSE(GetWindowLongPtrA(GetDlgItem(dialog, 603), GWL_STYLE) & WS_TABSTOP);
}

TEST_F(ControlsTest, ManualRadioButtonNotifiesButLeavesItsStateToTheProgram) {
  ClickRadio(605);
  EXPECT_EQ(IsDlgButtonChecked(dialog, 605), static_cast<UINT>(BST_UNCHECKED));
  EXPECT_EQ(Commands(), (std::vector<std::pair<int, int>>{{605, BN_CLICKED}}));
  SendDlgItemMessageA(dialog, 605, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(IsDlgButtonChecked(dialog, 605), static_cast<UINT>(BST_CHECKED));
}

TEST_F(ControlsTest, ComboBoxKeepsInsertionOrderAndStartsWithoutSelection) {
  SetDlgItemTextA(dialog, 301, "typed");
  Fill(301, {"none", "Zulu", "Alpha"});
  EXPECT_EQ(SendDlgItemMessageA(dialog, 301, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendDlgItemMessageA(dialog, 301, CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(TextOf(GetDlgItem(dialog, 301)), "typed");  // adding leaves the edit text alone
  char item[32];
  EXPECT_EQ(SendDlgItemMessageA(dialog, 301, CB_GETLBTEXT, 1, (LPARAM)item), 4);
  EXPECT_STREQ(item, "Zulu");
  EXPECT_EQ(SendDlgItemMessageA(dialog, 301, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM) "alpha"), 2);
  EXPECT_EQ(SendDlgItemMessageA(dialog, 301, CB_RESETCONTENT, 0, 0), CB_OKAY);
  EXPECT_EQ(SendDlgItemMessageA(dialog, 301, CB_GETCOUNT, 0, 0), 0);
}

TEST_F(ControlsTest, SetCurSelIsSilentWhileAUserChoiceSendsSelChange) {
  Fill(301, {"none", "UTM 32N", "Lambert"});
  EXPECT_EQ(SendDlgItemMessageA(dialog, 301, CB_SETCURSEL, 1, 0), 1);
  EXPECT_EQ(SendDlgItemMessageA(dialog, 301, CB_SETCURSEL, 7, 0), CB_ERR);
  EXPECT_EQ(SendDlgItemMessageA(dialog, 301, CB_GETCURSEL, 0, 0), CB_ERR);
  SendDlgItemMessageA(dialog, 301, CB_SETCURSEL, 1, 0);
  EXPECT_EQ(TextOf(GetDlgItem(dialog, 301)), "UTM 32N");
  EXPECT_TRUE(Commands().empty());

  auto* combo = qobject_cast<QComboBox*>(WidgetOf(301));
  ASSERT_NE(combo, nullptr);
  QTest::keyClick(combo, Qt::Key_Down);  // the user moves the closed list
  EXPECT_EQ(Commands(), (std::vector<std::pair<int, int>>{{301, CBN_SELCHANGE}}));
  EXPECT_EQ(SendDlgItemMessageA(dialog, 301, CB_GETCURSEL, 0, 0), 2);
  emit combo->activated(0);  // chosen from the open list
  EXPECT_EQ(SendDlgItemMessageA(dialog, 301, CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(Commands().back(), (std::pair<int, int>{301, CBN_SELCHANGE}));
}

TEST_F(ControlsTest, AChosenEntryShowsTheBeginningOfItsText) {
  const std::string longEntry = "ED50 (Europe - west) - Austria, Belgium, Denmark, Finland, France";
  Fill(301, {"none", longEntry.c_str()});
  auto* combo = qobject_cast<QComboBox*>(WidgetOf(301));
  ASSERT_NE(combo, nullptr);
  SendDlgItemMessageA(dialog, 301, CB_SETCURSEL, 1, 0);
  EXPECT_EQ(combo->lineEdit()->cursorPosition(), 0);
  combo->lineEdit()->setCursorPosition(10);
  emit combo->activated(1);
  EXPECT_EQ(combo->lineEdit()->cursorPosition(), 0);
}

TEST_F(ControlsTest, TypingInAComboSendsEditChangeAndDropsTheSelection) {
  Fill(301, {"none", "UTM 32N"});
  SendDlgItemMessageA(dialog, 301, CB_SETCURSEL, 1, 0);
  auto* combo = qobject_cast<QComboBox*>(WidgetOf(301));
  combo->lineEdit()->end(false);  // the user puts the caret after the text
  QTest::keyClicks(combo->lineEdit(), "x");
  const auto commands = Commands();
  ASSERT_FALSE(commands.empty());
  EXPECT_EQ(commands.back(), (std::pair<int, int>{301, CBN_EDITCHANGE}));
  EXPECT_EQ(SendDlgItemMessageA(dialog, 301, CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(TextOf(GetDlgItem(dialog, 301)), "UTM 32Nx");
}

TEST_F(ControlsTest, AComboBoxTellsWhenItGetsAndLosesTheFocusButNotForItsOwnList) {
  Fill(301, {"none", "UTM 32N"});
  focusNotices.clear();
  SetFocus(GetDlgItem(dialog, 301));
  SendDlgItemMessageA(dialog, 301, CB_SHOWDROPDOWN, TRUE, 0);
  SendDlgItemMessageA(dialog, 301, CB_SHOWDROPDOWN, FALSE, 0);
  SetFocus(GetDlgItem(dialog, 801));
  std::vector<std::pair<int, int>> notices;
  for (const Received& r : focusNotices) notices.emplace_back(LOWORD(r.wParam), HIWORD(r.wParam));
  EXPECT_EQ(notices, (std::vector<std::pair<int, int>>{{301, CBN_SETFOCUS}, {301, CBN_KILLFOCUS}}));
}

TEST_F(ControlsTest, SetEditSelPutsTheCaretAtTheEndPositionEvenBeforeTheStart) {
  const char* const entry = "OSGB36 (UK - Great Britain onshore and nearshore) - a long area text";
  Fill(301, {entry});
  SendDlgItemMessageA(dialog, 301, CB_SETCURSEL, 0, 0);
  const LPARAM length = static_cast<LPARAM>(std::strlen(entry));
  auto* edit = qobject_cast<QComboBox*>(WidgetOf(301))->lineEdit();
  EXPECT_EQ(SendDlgItemMessageA(dialog, 301, CB_SETEDITSEL, 0, MAKELPARAM(length, 0)), TRUE);
  EXPECT_EQ(edit->selectedText().toStdString(), entry);
  EXPECT_EQ(edit->cursorPosition(), 0);
  SendDlgItemMessageA(dialog, 301, CB_SETEDITSEL, 0, MAKELPARAM(2, -1));  // to the last character
  EXPECT_EQ(edit->selectionStart(), 2);
  EXPECT_EQ(edit->cursorPosition(), static_cast<int>(length));
  SendDlgItemMessageA(dialog, 301, CB_SETEDITSEL, 0, MAKELPARAM(-1, 0));  // no selection
  EXPECT_FALSE(edit->hasSelectedText());
  EXPECT_EQ(SendDlgItemMessageA(dialog, 302, CB_SETEDITSEL, 0, 0), CB_ERR);  // no edit box
}

TEST_F(ControlsTest, DropDownListShowsTheSelectedItemAsItsText) {
  Fill(302, {"Meter", "Feet"});
  EXPECT_EQ(TextOf(GetDlgItem(dialog, 302)), "");
  SendDlgItemMessageA(dialog, 302, CB_SETCURSEL, 1, 0);
  EXPECT_EQ(TextOf(GetDlgItem(dialog, 302)), "Feet");
}

TEST_F(ControlsTest, ADroppedListTakesItsWidthAndLeastRowsAndTextIsMeasuredInItsFont) {
  const HWND combo = GetDlgItem(dialog, 301);
  const char* const longest = "NAD83(HARN) / Washington North (ftUS) - USA - Washington - north";
  Fill(301, {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m", longest});
  const HDC dc = GetDC(combo);
  SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(combo, WM_GETFONT, 0, 0)));
  SIZE size{};
  ASSERT_TRUE(GetTextExtentPoint32A(dc, longest, static_cast<int>(std::strlen(longest)), &size));
  ReleaseDC(combo, dc);
  auto* widget = qobject_cast<QComboBox*>(WidgetOf(301));
  EXPECT_EQ(size.cx, widget->fontMetrics().horizontalAdvance(longest));

  EXPECT_EQ(SendMessageA(combo, CB_GETDROPPEDWIDTH, 0, 0), widget->width());  // never set
  EXPECT_EQ(SendMessageA(combo, CB_SETDROPPEDWIDTH, size.cx + 30, 0), size.cx + 30);
  EXPECT_EQ(SendMessageA(combo, CB_GETDROPPEDWIDTH, 0, 0), size.cx + 30);
  EXPECT_TRUE(SendMessageA(combo, CB_SETMINVISIBLE, 12, 0));
  EXPECT_EQ(SendMessageA(combo, CB_GETMINVISIBLE, 0, 0), 12);
  SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
  const QWidget* popup = widget->view()->window();
  EXPECT_GE(popup->width(), size.cx + 30);
  EXPECT_EQ(widget->maxVisibleItems(), 12);
  SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
}

TEST(ListBox, KeepsEntriesAndDataAndTellsOnlyWhatTheUserDoes) {
  StartRecording();
  DialogBuilder builder(kPopup | WS_VISIBLE, 0, 0, 0, 160, 100, "list");
  builder.Item(WS_VISIBLE | LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 4, 4, 150, 80,
               904, nullptr, 0x0083, "");
  const HWND dialog = CreateDialogIndirectParamA(nullptr, builder.get(), nullptr, RecordingProc, 0);
  const HWND list = GetDlgItem(dialog, 904);
  for (const char* entry : {"Airy 1830", "Clarke 1866", "WGS 84"}) {
    const LRESULT at = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
    SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(at), 7000 + at);
  }
  EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
  char text[32];
  EXPECT_EQ(SendMessageA(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(text)), 11);
  EXPECT_STREQ(text, "Clarke 1866");
  EXPECT_EQ(SendMessageA(list, LB_GETITEMDATA, 2, 0), 7002);
  received.clear();
  EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 2, 0), 2);  // silent
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 2);
  EXPECT_TRUE(ReceivedOf(WM_COMMAND).empty());

  auto* widget = qobject_cast<QListWidget*>(platform_testing::Widget(list));
  const QPoint first = widget->visualItemRect(widget->item(0)).center();
  QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, first);
  QTest::mouseDClick(widget->viewport(), Qt::LeftButton, {}, first);
  std::vector<WPARAM> commands;
  for (const Received& r : ReceivedOf(WM_COMMAND)) commands.push_back(r.wParam);
  EXPECT_EQ(commands,
            (std::vector<WPARAM>{MAKEWPARAM(904, LBN_SELCHANGE), MAKEWPARAM(904, LBN_DBLCLK)}));
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 0);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
  DestroyWindow(dialog);
}

TEST_F(ControlsTest, EditBoxTextRoundTripsWindows1252) {
  HWND edit = GetDlgItem(dialog, 801);
  auto* line = qobject_cast<QLineEdit*>(WidgetOf(801));
  EXPECT_TRUE(line->alignment() & Qt::AlignRight);
  const char text[] = "51\xB0 28' \x80 \x93quoted\x94";  // degree sign, euro, curly quotes
  SetWindowTextA(edit, text);
  EXPECT_EQ(line->text(), QString::fromUtf8("51° 28' € “quoted”"));
  EXPECT_EQ(TextOf(edit), text);
  EXPECT_EQ(GetWindowTextLengthA(edit), static_cast<int>(sizeof text - 1));
  char small[4];
  EXPECT_EQ(GetWindowTextA(edit, small, sizeof small), 3);
  EXPECT_STREQ(small, "51\xB0");
}

TEST_F(ControlsTest, ADisabledEditBoxLooksDisabledAndAnEmptyOneShowsItsCue) {
  HWND edit = GetDlgItem(dialog, 801);
  auto* line = qobject_cast<QLineEdit*>(WidgetOf(801));
  const QPalette standard = QApplication::palette(line);
  EnableWindow(edit, FALSE);
  EXPECT_EQ(line->palette().color(QPalette::Disabled, QPalette::Base),
            standard.color(QPalette::Window));
  EXPECT_NE(line->palette().color(QPalette::Disabled, QPalette::Text),
            standard.color(QPalette::Active, QPalette::Text));
  EXPECT_EQ(line->palette().color(QPalette::Active, QPalette::Base),
            standard.color(QPalette::Base));

  const char16_t cue[] = u"52.3 = 52\u00B030'";
  EXPECT_TRUE(SendMessageA(edit, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(cue)));
  EXPECT_EQ(line->placeholderText(), QString::fromUtf8("52.3 = 52°30'"));
  char16_t back[8];
  EXPECT_TRUE(SendMessageA(edit, EM_GETCUEBANNER, reinterpret_cast<WPARAM>(back), 8));
  EXPECT_EQ(std::u16string(back), u"52.3 = ");  // cut to the buffer, terminated
}

TEST_F(ControlsTest, TheWheelTurnsTheListWithTheFocusNotTheOneUnderThePointer) {
  Fill(301, {"none", "UTM 31N", "UTM 31S"});
  Fill(302, {"none", "UTM 31N", "UTM 31S"});
  SendDlgItemMessageA(dialog, 301, CB_SETCURSEL, 1, 0);
  SendDlgItemMessageA(dialog, 302, CB_SETCURSEL, 1, 0);
  auto turn = [this](int id) {
    QWidget* combo = WidgetOf(id);
    const QPointF at(combo->width() / 2.0, combo->height() / 2.0);
    QWheelEvent wheel(at, combo->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(combo, &wheel);
  };
  SetFocus(GetDlgItem(dialog, 801));  // an edit box has it
  turn(302);
  EXPECT_EQ(SendDlgItemMessageA(dialog, 302, CB_GETCURSEL, 0, 0), 1);
  SetFocus(GetDlgItem(dialog, 301));
  turn(302);  // goes to the list with the focus
  EXPECT_EQ(SendDlgItemMessageA(dialog, 302, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(SendDlgItemMessageA(dialog, 301, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(Commands().back(), (std::pair<int, int>{301, CBN_SELCHANGE}));
}

TEST_F(ControlsTest, EnableWindowReportsThePreviousStateAndBlocksClicks) {
  HWND button = GetDlgItem(dialog, 401);
  EXPECT_FALSE(EnableWindow(button, FALSE));  // was enabled
  EXPECT_TRUE(EnableWindow(button, FALSE));   // was disabled
  EXPECT_FALSE(IsWindowEnabled(button));
  QTest::mouseClick(WidgetOf(401), Qt::LeftButton);
  EXPECT_TRUE(Commands().empty());
  EXPECT_TRUE(EnableWindow(button, TRUE));
  EXPECT_TRUE(IsWindowEnabled(button));
}

TEST_F(ControlsTest, ShowWindowHidesAndShowsAndReportsThePreviousVisibility) {
  ShowWindow(dialog, SW_SHOW);
  HWND edit = GetDlgItem(dialog, 801);
  EXPECT_TRUE(ShowWindow(edit, SW_HIDE));
  EXPECT_FALSE(IsWindowVisible(edit));
  EXPECT_FALSE(ShowWindow(edit, SW_SHOW));
  EXPECT_TRUE(IsWindowVisible(edit));
  ShowWindow(dialog, SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(edit));  // a child is visible only with its parent
}

}  // namespace
