// Dialogs from in-memory templates: parsing, dialog units, default handling,
// modal runs and destruction.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFontMetrics>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <cmath>

#include "dialog_builder.h"
#include "platform_testing.h"

namespace {

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override { StartRecording(); }
  void TearDown() override {
    react = nullptr;
    for (HWND window : created) DestroyWindow(window);
  }
  HWND Create(DialogBuilder& builder, HWND parent = nullptr, LPARAM param = 0) {
    HWND window = CreateDialogIndirectParamA(nullptr, builder.get(), parent, RecordingProc, param);
    if (window) created.push_back(window);
    return window;
  }
  RECT ClientRectOf(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    POINT corner{rect.left, rect.top};
    ScreenToClient(GetParent(control), &corner);
    return RECT{corner.x, corner.y, corner.x + rect.right - rect.left,
                corner.y + rect.bottom - rect.top};
  }
  std::vector<HWND> created;
};

TEST_F(DialogTest, TemplateItemsBecomeControlsWithTheirIdsTextsStylesAndPlaces) {
  DialogBuilder builder(kPopup, WS_EX_CONTROLPARENT, 10, 20, 200, 120, "Coordinate formats");
  builder.Item(WS_VISIBLE | BS_GROUPBOX, 0, 4, 4, 100, 60, 208, nullptr, 0x0080, "Degree")
      .Item(WS_VISIBLE | ES_RIGHT | WS_TABSTOP, WS_EX_CLIENTEDGE, 8, 16, 76, 12, 801, "Edit", 0,
            "12.5", {1, 2, 3})  // odd creation data: the next item is still found
      .Item(WS_VISIBLE | SS_LEFT, 0, 8, 32, 44, 8, 705, nullptr, 0x0082, "Easting")
      .Item(WS_VISIBLE | CBS_DROPDOWN | WS_TABSTOP, 0, 8, 44, 90, 60, 301, nullptr, 0x0085, "");
  HWND dialog = Create(builder, nullptr, 1234);
  ASSERT_NE(dialog, nullptr);

  EXPECT_EQ(TextOf(dialog), "Coordinate formats");
  EXPECT_EQ(TextOf(GetDlgItem(dialog, 208)), "Degree");
  EXPECT_EQ(TextOf(GetDlgItem(dialog, 801)), "12.5");
  EXPECT_EQ(TextOf(GetDlgItem(dialog, 705)), "Easting");
  EXPECT_EQ(GetDlgCtrlID(GetDlgItem(dialog, 301)), 301);
  EXPECT_EQ(GetParent(GetDlgItem(dialog, 301)), dialog);
  EXPECT_TRUE(GetWindowLongPtrA(GetDlgItem(dialog, 801), GWL_STYLE) & ES_RIGHT);
  EXPECT_EQ(GetWindowLongPtrA(dialog, GWL_EXSTYLE), WS_EX_CONTROLPARENT);
  EXPECT_FALSE(IsWindowVisible(dialog));  // no WS_VISIBLE in the template

  // WM_INITDIALOG: the first tab stop and the creation parameter.
  const auto init = ReceivedOf(WM_INITDIALOG);
  ASSERT_EQ(init.size(), 1u);
  EXPECT_EQ(reinterpret_cast<HWND>(init[0].wParam), GetDlgItem(dialog, 801));
  EXPECT_EQ(init[0].lParam, 1234);

  RECT expected{8, 16, 8 + 76, 16 + 12};
  MapDialogRect(dialog, &expected);
  const RECT actual = ClientRectOf(GetDlgItem(dialog, 801));
  EXPECT_EQ(actual.left, expected.left);
  EXPECT_EQ(actual.top, expected.top);
  EXPECT_EQ(actual.right, expected.right);
  EXPECT_EQ(actual.bottom, expected.bottom);
  RECT client;
  GetClientRect(dialog, &client);
  RECT size{0, 0, 200, 120};
  MapDialogRect(dialog, &size);
  EXPECT_EQ(client.right, size.right);
  EXPECT_EQ(client.bottom, size.bottom);
}

TEST_F(DialogTest, DialogBaseUnitsComeFromTheAverageLetterWidthAndTheFontHeight) {
  DialogBuilder builder(kPopup, 0, 0, 0, 100, 100, "units");
  HWND dialog = Create(builder);
  RECT unit{0, 0, 4, 8};
  ASSERT_TRUE(MapDialogRect(dialog, &unit));
  const QFontMetrics metrics(platform_testing::Widget(dialog)->font());
  const int letters =
      metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  const int baseX = (letters / 26 + 1) / 2;
  EXPECT_EQ(unit.right, baseX);
  EXPECT_EQ(unit.bottom, metrics.height());

  // Each coordinate is rounded to the nearest pixel, halves away from zero.
  const int baseY = metrics.height();
  for (int v : {1, 2, 3, 5, 7, 19, 42, 383, 424, -1, -3}) {
    RECT r{v, v, v, v};
    MapDialogRect(dialog, &r);
    const double x = v * baseX / 4.0;
    const double y = v * baseY / 8.0;
    EXPECT_EQ(r.left, static_cast<LONG>(std::lround(x))) << v;
    EXPECT_EQ(r.right, static_cast<LONG>(std::lround(x))) << v;
    EXPECT_EQ(r.top, static_cast<LONG>(std::lround(y))) << v;
    EXPECT_EQ(r.bottom, static_cast<LONG>(std::lround(y))) << v;
  }
  HWND button = CreateWindowExA(0, "BUTTON", "x", WS_CHILD, 0, 0, 10, 10, dialog,
                                reinterpret_cast<HMENU>(1), nullptr, nullptr);
  EXPECT_FALSE(MapDialogRect(button, &unit));  // only dialogs have dialog units
}

TEST_F(DialogTest, EmptyTemplateTakesControlsFromCreateWindowEx) {
  DialogBuilder builder(kPopup, 0, 0, 0, 100, 60, "empty");
  HWND dialog = Create(builder);
  ASSERT_NE(dialog, nullptr);
  HWND button = CreateWindowExA(0, "BUTTON", "&Exit", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 1, 2, 30,
                                12, dialog, reinterpret_cast<HMENU>(401), nullptr, nullptr);
  HWND tab = CreateWindowExA(0, WC_TABCONTROLA, "SysTabControl32_1", WS_CHILD | WS_VISIBLE, 1, 20,
                             60, 30, dialog, reinterpret_cast<HMENU>(501), nullptr, nullptr);
  EXPECT_EQ(GetDlgItem(dialog, 401), button);
  EXPECT_EQ(GetDlgItem(dialog, 501), tab);
  EXPECT_EQ(TextOf(tab), "SysTabControl32_1");  // a tab control's text is never shown
  EXPECT_EQ(CreateWindowExA(0, "SysListView32", "", WS_CHILD, 0, 0, 5, 5, dialog, nullptr, nullptr,
                            nullptr),
            nullptr);
  EXPECT_EQ(
      CreateWindowExA(0, "BUTTON", "", WS_POPUP, 0, 0, 5, 5, dialog, nullptr, nullptr, nullptr),
      nullptr);
  EXPECT_EQ(GetDlgItem(dialog, 999), nullptr);
}

TEST_F(DialogTest, ExtendedTemplatesAreRefused) {
  const WORD extended[] = {1, 0xFFFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(CreateDialogIndirectParamA(nullptr, reinterpret_cast<const DLGTEMPLATE*>(extended),
                                       nullptr, RecordingProc, 0),
            nullptr);
}

TEST_F(DialogTest, CloseBoxEndsADialogThatIgnoresIdCancel) {
  DialogBuilder builder(kPopup | WS_VISIBLE, 0, 0, 0, 100, 60, "main");
  HWND dialog = Create(builder);
  received.clear();
  platform_testing::Widget(dialog)->close();
  std::erase_if(received, [](const Received& r) { return r.message == WM_NCACTIVATE; });
  ASSERT_EQ(received.size(), 3u);
  EXPECT_EQ(received[0].message, static_cast<UINT>(WM_SYSCOMMAND));
  EXPECT_EQ(received[0].wParam & 0xFFF0, static_cast<WPARAM>(SC_CLOSE));
  EXPECT_EQ(received[1].message, static_cast<UINT>(WM_CLOSE));
  EXPECT_EQ(received[2].message, static_cast<UINT>(WM_COMMAND));
  EXPECT_EQ(received[2].wParam, static_cast<WPARAM>(IDCANCEL));
  EXPECT_FALSE(IsWindow(dialog));
}

TEST_F(DialogTest, CloseBoxGoesThroughIdCancelWhenTheDialogAnswersIt) {
  react = [](HWND window, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
      EndDialog(window, 7);
      return TRUE;
    }
    return FALSE;
  };
  DialogBuilder builder(kPopup | WS_VISIBLE, 0, 0, 0, 100, 60, "units");
  HWND dialog = Create(builder);
  platform_testing::Widget(dialog)->close();
  // EndDialog on a modeless dialog hides it and keeps it, as on Windows.
  EXPECT_TRUE(IsWindow(dialog));
  EXPECT_FALSE(IsWindowVisible(dialog));
}

TEST_F(DialogTest, DialogBoxRunsModallyUntilEndDialogAndDisablesItsOwner) {
  DialogBuilder ownerTemplate(kPopup | WS_VISIBLE, 0, 0, 0, 100, 60, "owner");
  HWND owner = Create(ownerTemplate);
  bool ownerEnabledMeanwhile = true;
  react = [&](HWND window, UINT message, WPARAM, LPARAM) -> INT_PTR {
    if (message == WM_INITDIALOG && window != owner) PostMessageA(window, WM_USER, 0, 0);
    if (message == WM_USER) {
      ownerEnabledMeanwhile = IsWindowEnabled(owner);
      EndDialog(window, 42);
    }
    return FALSE;
  };
  DialogBuilder boxTemplate(kPopup, 0, 10, 10, 80, 40, "box");
  EXPECT_EQ(DialogBoxIndirectParamA(nullptr, boxTemplate.get(), owner, RecordingProc, 0), 42);
  EXPECT_FALSE(ownerEnabledMeanwhile);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(ReceivedOf(WM_USER).size(), 1u);
}

TEST_F(DialogTest, ModalDialogClosedByItsCloseBoxReturnsIdCancel) {
  react = [](HWND window, UINT message, WPARAM, LPARAM) -> INT_PTR {
    if (message == WM_INITDIALOG) PostMessageA(window, WM_USER, 0, 0);
    if (message == WM_USER) platform_testing::Widget(window)->close();
    return FALSE;
  };
  DialogBuilder boxTemplate(kPopup, 0, 10, 10, 80, 40, "box");
  EXPECT_EQ(DialogBoxIndirectParamA(nullptr, boxTemplate.get(), nullptr, RecordingProc, 0),
            IDCANCEL);
}

TEST_F(DialogTest, ADisabledTopLevelWindowTakesNoInputAndHandsAClickToTheWindowItOwns) {
  DialogBuilder ownerTemplate(kPopup | WS_VISIBLE, 0, 0, 0, 100, 60, "owner");
  ownerTemplate.Item(WS_VISIBLE | WS_TABSTOP, 0, 4, 4, 60, 14, 401, nullptr, 0x0080, "&Exit")
      .Item(WS_VISIBLE | WS_TABSTOP, 0, 4, 24, 60, 14, 402, nullptr, 0x0080, "Other");
  HWND owner = Create(ownerTemplate);
  DialogBuilder ownedTemplate(kPopup | WS_VISIBLE, 0, 110, 0, 80, 40, "owned");
  HWND owned = Create(ownedTemplate, owner);
  QWidget* button = platform_testing::Widget(GetDlgItem(owner, 401));
  QWidget* focused = platform_testing::Widget(GetDlgItem(owner, 402));
  SetFocus(GetDlgItem(owner, 402));
  EnableWindow(owner, FALSE);
  received.clear();
  // Through the window, as the window system delivers it.
  QWidget* frame = platform_testing::Widget(owner);
  QTest::mouseClick(frame->windowHandle(), Qt::LeftButton, {},
                    button->mapTo(frame, button->rect().center()));
  QTest::keyClick(focused, Qt::Key_Escape);
  QTest::keyClick(focused, Qt::Key_E, Qt::AltModifier);
  platform_testing::Widget(owner)->close();  // the close box
  QCoreApplication::processEvents();
  EXPECT_TRUE(ReceivedOf(WM_COMMAND).empty());
  EXPECT_TRUE(ReceivedOf(WM_SYSCOMMAND).empty());
  EXPECT_TRUE(IsWindow(owner));
  EXPECT_EQ(GetActiveWindow(), owned);
  EXPECT_EQ(frame->focusWidget(), focused);
  // Its look stays: the controls are not greyed.
  EXPECT_TRUE(button->isEnabled());

  EnableWindow(owner, TRUE);
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(ReceivedOf(WM_COMMAND).size(), 1u);
}

TEST_F(DialogTest, DestroyingADialogDestroysItsPagesAndControls) {
  DialogBuilder mainTemplate(kPopup, WS_EX_CONTROLPARENT, 0, 0, 200, 100, "main");
  HWND dialog = Create(mainTemplate);
  DialogBuilder pageTemplate(kPage, WS_EX_CONTROLPARENT, 0, 0, 100, 40, "StartXY");
  pageTemplate.Item(WS_VISIBLE | WS_TABSTOP, WS_EX_CLIENTEDGE, 0, 0, 50, 12, 801, nullptr, 0x0081,
                    "");
  HWND page = CreateDialogIndirectParamA(nullptr, pageTemplate.get(), dialog, RecordingProc, 0);
  ASSERT_NE(page, nullptr);
  HWND box = GetDlgItem(page, 801);
  EXPECT_EQ(GetParent(page), dialog);
  EXPECT_TRUE(IsChild(dialog, box));
  EXPECT_EQ(TextOf(page), "StartXY");
  EXPECT_TRUE(DestroyWindow(dialog));
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_FALSE(IsWindow(page));
  EXPECT_FALSE(IsWindow(box));
  EXPECT_FALSE(DestroyWindow(dialog));
  created.clear();
}

}  // namespace
