// The tab control's notifications: their order, their NMHDR, TCM_SETCURSEL
// against TCM_SETCURFOCUS, and the cascade one handler sets off in others.
#include <gtest/gtest.h>

#include <QTabBar>
#include <QTest>

#include "dialog_builder.h"
#include "platform_testing.h"

namespace {

constexpr int kTabs[] = {501, 502, 503, 504};

class TabControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartRecording();
    DialogBuilder builder(kPopup | WS_VISIBLE, WS_EX_CONTROLPARENT, 0, 0, 400, 100, "tabs");
    dialog = CreateDialogIndirectParamA(nullptr, builder.get(), nullptr, RecordingProc, 0);
    int x = 4;
    for (int id : kTabs) {
      HWND tab = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, x, 4,
                                 90, 60, dialog, reinterpret_cast<HMENU>(id), nullptr, nullptr);
      x += 96;
      for (const char* text : {"Point Mode", "List Mode"}) {
        TCITEMA item{TCIF_TEXT, 0, 0, const_cast<char*>(text), 0, -1, 0};
        SendMessageA(tab, TCM_INSERTITEMA, SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0),
                     reinterpret_cast<LPARAM>(&item));
      }
      SendMessageA(tab, TCM_SETCURSEL, 0, 0);
    }
    received.clear();
  }
  void TearDown() override {
    react = nullptr;
    DestroyWindow(dialog);
  }
  HWND Tab(int id) { return GetDlgItem(dialog, id); }
  LRESULT Selection(int id) { return SendMessageA(Tab(id), TCM_GETCURSEL, 0, 0); }
  void ClickTab(int id, int index) {
    auto* bar = qobject_cast<QTabBar*>(platform_testing::Widget(Tab(id)));
    ASSERT_NE(bar, nullptr);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
  }
  HWND dialog = nullptr;
};

// One control changed once: SELCHANGING while on `from`, SELCHANGE on `to`.
void ExpectOneChange(const std::vector<Received>& notes, LRESULT from, LRESULT to) {
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes[0].code, TCN_SELCHANGING);
  EXPECT_EQ(notes[0].tabNow, from);
  EXPECT_EQ(notes[1].code, TCN_SELCHANGE);
  EXPECT_EQ(notes[1].tabNow, to);
}

TEST_F(TabControlTest, InsertedItemsStartOnTheFirstTabWithoutNotifications) {
  char text[32];
  TCITEMA item{TCIF_TEXT, 0, 0, text, sizeof text, 0, 0};
  ASSERT_TRUE(SendMessageA(Tab(501), TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item)));
  EXPECT_STREQ(text, "List Mode");
  EXPECT_EQ(Selection(501), 0);
  EXPECT_EQ(SendMessageA(Tab(501), TCM_GETITEMCOUNT, 0, 0), 2);
}

TEST_F(TabControlTest, UserClickSendsSelChangingOnTheOldTabThenSelChangeOnTheNew) {
  ClickTab(503, 1);
  const auto notes = ReceivedOf(WM_NOTIFY);
  ExpectOneChange(notes, 0, 1);
  for (const Received& note : notes) EXPECT_EQ(note.wParam, 503u);
  ClickTab(503, 1);  // the current tab: nothing
  EXPECT_EQ(ReceivedOf(WM_NOTIFY).size(), 2u);
}

TEST_F(TabControlTest, NotificationHeaderNamesTheControl) {
  std::vector<NMHDR> headers;
  react = [&](HWND, UINT message, WPARAM, LPARAM lParam) -> INT_PTR {
    if (message == WM_NOTIFY) headers.push_back(*reinterpret_cast<const NMHDR*>(lParam));
    return FALSE;
  };
  ClickTab(502, 1);
  ASSERT_EQ(headers.size(), 2u);
  for (const NMHDR& header : headers) {
    EXPECT_EQ(header.hwndFrom, Tab(502));
    EXPECT_EQ(header.idFrom, 502u);
  }
  EXPECT_EQ(static_cast<int>(headers[0].code), -552);
  EXPECT_EQ(static_cast<int>(headers[1].code), -551);
}

TEST_F(TabControlTest, SetCurSelIsSilentAndSetCurFocusNotifiesOnlyOnAChange) {
  EXPECT_EQ(SendMessageA(Tab(501), TCM_SETCURSEL, 1, 0), 0);  // returns the previous tab
  EXPECT_EQ(Selection(501), 1);
  EXPECT_TRUE(received.empty());
  EXPECT_EQ(SendMessageA(Tab(501), TCM_SETCURSEL, 5, 0), -1);

  SendMessageA(Tab(502), TCM_SETCURFOCUS, 0, 0);  // already there
  EXPECT_TRUE(received.empty());
  SendMessageA(Tab(502), TCM_SETCURFOCUS, 1, 0);
  ExpectOneChange(ReceivedOf(WM_NOTIFY), 0, 1);
}

TEST_F(TabControlTest, ANonZeroAnswerToSelChangingKeepsTheTab) {
  react = [](HWND window, UINT message, WPARAM, LPARAM lParam) -> INT_PTR {
    if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == TCN_SELCHANGING) {
      SetWindowLongPtrA(window, DWLP_MSGRESULT, TRUE);
      return TRUE;
    }
    return FALSE;
  };
  ClickTab(501, 1);
  EXPECT_EQ(Selection(501), 0);
  EXPECT_EQ(qobject_cast<QTabBar*>(platform_testing::Widget(Tab(501)))->currentIndex(), 0);
  EXPECT_EQ(ReceivedOf(WM_NOTIFY).size(), 1u);
}

// The program's mode switch: each TCN_SELCHANGE sends TCM_SETCURFOCUS to the
// three other tab controls from inside its own handler.
TEST_F(TabControlTest, CascadeFromAnyTabControlBringsAllFourToTheSameTab) {
  react = [this](HWND, UINT message, WPARAM, LPARAM lParam) -> INT_PTR {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (message != WM_NOTIFY || header->code != TCN_SELCHANGE) return FALSE;
    const LRESULT now = SendMessageA(header->hwndFrom, TCM_GETCURSEL, 0, 0);
    for (int other : kTabs) {
      if (other != static_cast<int>(header->idFrom)) {
        SendMessageA(Tab(other), TCM_SETCURFOCUS, static_cast<WPARAM>(now), 0);
      }
    }
    return FALSE;
  };
  for (int start : kTabs) {
    for (int target : {1, 0}) {
      received.clear();
      ClickTab(start, target);
      for (int id : kTabs) EXPECT_EQ(Selection(id), target) << start << " -> " << target;
      // Every control changed once: one SELCHANGING and one SELCHANGE each.
      const auto notes = ReceivedOf(WM_NOTIFY);
      EXPECT_EQ(notes.size(), 8u);
      EXPECT_EQ(notes[0].wParam, static_cast<WPARAM>(start));
      for (int id : kTabs) {
        std::vector<Received> mine;
        for (const Received& note : notes) {
          if (note.wParam == static_cast<WPARAM>(id)) mine.push_back(note);
        }
        ExpectOneChange(mine, 1 - target, target);
      }
    }
  }
}

TEST_F(TabControlTest, ArrowKeysOnTheFocusedStripAnnounceTheChange) {
  auto* bar = qobject_cast<QTabBar*>(platform_testing::Widget(Tab(504)));
  QTest::keyClick(bar, Qt::Key_Right);
  EXPECT_EQ(Selection(504), 1);
  EXPECT_EQ(ReceivedOf(WM_NOTIFY).size(), 2u);
}

}  // namespace
