// The clipboard with its global memory blocks, and accelerator tables.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <cstring>

#include "dialog_builder.h"
#include "platform_testing.h"

namespace {

HGLOBAL TextBlock(const char* text) {
  const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
  std::memcpy(GlobalLock(block), text, std::strlen(text) + 1);
  GlobalUnlock(block);
  return block;
}

TEST(Clipboard, TextGoesToTheDesktopWithItsLineEndsAndComesBack) {
  EXPECT_EQ(SetClipboardData(CF_TEXT, TextBlock("not open")), nullptr);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_FALSE(OpenClipboard(nullptr));  // one user at a time
  ASSERT_TRUE(EmptyClipboard());
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
  const HGLOBAL block = TextBlock("Start system: none\r\nEasting (US survey foot): 1000 \xB0\r\n");
  EXPECT_EQ(SetClipboardData(CF_TEXT, block), block);
  EXPECT_EQ(QApplication::clipboard()->text(),
            QString::fromUtf8("Start system: none\nEasting (US survey foot): 1000 \u00B0\n"));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  const HANDLE back = GetClipboardData(CF_TEXT);
  ASSERT_NE(back, nullptr);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(back)),
               "Start system: none\r\nEasting (US survey foot): 1000 \xB0\r\n");
  GlobalUnlock(back);
  EXPECT_TRUE(CloseClipboard());
  EXPECT_FALSE(CloseClipboard());
  EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);  // closed
}

TEST(GlobalMemory, LocksCountAndFreeingEndsTheBlock) {
  const HGLOBAL block = GlobalAlloc(GHND, 4);
  EXPECT_EQ(GlobalSize(block), 4u);
  const char* bytes = static_cast<const char*>(GlobalLock(block));
  EXPECT_EQ(std::memcmp(bytes, "\0\0\0\0", 4), 0);
  GlobalLock(block);
  EXPECT_TRUE(GlobalUnlock(block));  // still locked once
  EXPECT_FALSE(GlobalUnlock(block));
  EXPECT_EQ(GlobalFree(block), nullptr);
  EXPECT_EQ(GlobalLock(block), nullptr);
  EXPECT_EQ(GlobalFree(block), block);
}

class AcceleratorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartRecording();
    DialogBuilder builder(kPopup | WS_VISIBLE, WS_EX_CONTROLPARENT, 0, 0, 200, 60, "keys");
    builder.Item(WS_VISIBLE | WS_TABSTOP, WS_EX_CLIENTEDGE, 4, 4, 100, 12, 801, nullptr, 0x0081,
                 "text");
    dialog = CreateDialogIndirectParamA(nullptr, builder.get(), nullptr, RecordingProc, 0);
    ACCEL entries[] = {{FVIRTKEY | FCONTROL | FSHIFT, 'C', 1007}, {FVIRTKEY | FCONTROL, 'F', 1008}};
    table = CreateAcceleratorTableA(entries, 2);
    QApplication::setActiveWindow(platform_testing::Widget(dialog));
    SetFocus(GetDlgItem(dialog, 801));
    received.clear();
  }
  void TearDown() override {
    DestroyAcceleratorTable(table);
    DestroyWindow(dialog);
  }
  std::vector<WPARAM> CommandsAfter(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    received.clear();
    QTest::keyClick(platform_testing::Widget(GetDlgItem(dialog, 801)), key, modifiers);
    std::vector<WPARAM> commands;
    for (const Received& r : ReceivedOf(WM_COMMAND)) commands.push_back(r.wParam);
    return commands;
  }
  HWND dialog = nullptr;
  HACCEL table = nullptr;
};

TEST_F(AcceleratorTest, ABoundTableSendsItsCommandsForExactlyItsKeys) {
  const Qt::KeyboardModifiers controlShift = Qt::ControlModifier | Qt::ShiftModifier;
  EXPECT_TRUE(CommandsAfter(Qt::Key_C, controlShift).empty());  // not given to the window yet
  MSG idle{dialog, WM_NULL, 0, 0, 0, {0, 0}};
  EXPECT_EQ(TranslateAcceleratorA(dialog, table, &idle), 0);
  EXPECT_EQ(CommandsAfter(Qt::Key_C, controlShift), std::vector<WPARAM>{MAKEWPARAM(1007, 1)});
  EXPECT_EQ(CommandsAfter(Qt::Key_F, Qt::ControlModifier),
            std::vector<WPARAM>{MAKEWPARAM(1008, 1)});
  EXPECT_TRUE(CommandsAfter(Qt::Key_C, Qt::ControlModifier).empty());
  EXPECT_TRUE(CommandsAfter(Qt::Key_F, controlShift).empty());

  // A key message handed over is translated at once.
  received.clear();
  MSG key{dialog, WM_KEYDOWN, 'X', 0, 0, {0, 0}};
  EXPECT_EQ(TranslateAcceleratorA(dialog, table, &key), 0);
  EXPECT_TRUE(ReceivedOf(WM_COMMAND).empty());

  EnableWindow(dialog, FALSE);
  EXPECT_TRUE(CommandsAfter(Qt::Key_F, Qt::ControlModifier).empty());
  EnableWindow(dialog, TRUE);
  DestroyAcceleratorTable(table);
  EXPECT_TRUE(CommandsAfter(Qt::Key_F, Qt::ControlModifier).empty());
}

}  // namespace
