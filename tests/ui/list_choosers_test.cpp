#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "list_choosers.h"
#include "temp_folder.h"
#include "ui_test_support.h"

namespace {

struct ChooserTest : testing::Test {
  void SetUp() override {
    std::filesystem::create_directory(folder + "/lists");
    WriteFile(folder + "/lists/points.txt", "1 2\r\n");
    owner = CreateOwnerWindow(60, 50, 300, 200);
  }
  void TearDown() override { DestroyWindow(owner); }
  TempFolder temp;
  CurrentDirectory inTemp{temp.path()};
  const std::string folder = temp.path();
  HWND owner = nullptr;
  platform_testing::Seam seam;
};

TEST_F(ChooserTest, OpenChooserReturnsTheChosenPathAndMovesTheCurrentDirectory) {
  char name[kFileNameCapacity] = "*.*";
  seam.AnswerChooser(folder + "/lists/points.txt");
  EXPECT_NE(OpenListChooser(owner, name), 0);
  EXPECT_EQ(std::string(name), folder + "/lists/points.txt");
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(folder + "/lists"));
  ASSERT_EQ(seam.choosers().size(), 1u);
  const platform_testing::ChooserRecord& c = seam.choosers()[0];
  EXPECT_FALSE(c.save);
  EXPECT_EQ(c.title, "Open list of coordinates");
  EXPECT_EQ(c.initialName, "*.*");
  EXPECT_EQ(c.filters, std::vector<std::string>{"All Files (*.*)|*.*"});
  EXPECT_EQ(c.flags, static_cast<DWORD>(OFN_EXPLORER | OFN_ENABLEHOOK | OFN_FILEMUSTEXIST));
  EXPECT_TRUE(c.defaultExt.empty());
}

TEST_F(ChooserTest, CancelledChooserLeavesTheNameAlone) {
  char name[kFileNameCapacity] = "*";
  seam.CancelChooser();
  EXPECT_EQ(SaveListChooser(owner, name), 0);
  EXPECT_STREQ(name, "*");
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(folder));
}

TEST_F(ChooserTest, SaveChooserAddsTheDefaultExtension) {
  char name[kFileNameCapacity] = "*";
  seam.AnswerChooser(folder + "/lists/result");
  EXPECT_NE(SaveListChooser(owner, name), 0);
  EXPECT_EQ(std::string(name), folder + "/lists/result.DAT");
  const platform_testing::ChooserRecord& c = seam.choosers().at(0);
  EXPECT_TRUE(c.save);
  EXPECT_EQ(c.title, "Save list of coordinates");
  EXPECT_EQ(c.initialName, "*");
  EXPECT_EQ(c.defaultExt, "DAT");
  EXPECT_EQ(c.flags, static_cast<DWORD>(OFN_EXPLORER | OFN_ENABLEHOOK | OFN_PATHMUSTEXIST |
                                        OFN_EXTENSIONDIFFERENT | OFN_OVERWRITEPROMPT));
}

TEST_F(ChooserTest, EachChooserKeepsTheFolderItFirstStartedIn) {
  char name[kFileNameCapacity] = "*.*";
  seam.CancelChooser();
  OpenListChooser(owner, name);
  const std::string first = seam.choosers().at(0).initialDir;
  EXPECT_FALSE(first.empty());
  std::filesystem::current_path(folder + "/lists");
  seam.CancelChooser();
  OpenListChooser(owner, name);
  EXPECT_EQ(seam.choosers().at(1).initialDir, first);
}

TEST_F(ChooserTest, HookCentresTheChooserOverItsOwner) {
  char name[kFileNameCapacity] = "*.*";
  seam.CancelChooser();
  OpenListChooser(owner, name);
  const platform_testing::ChooserRecord& c = seam.choosers().at(0);
  EXPECT_TRUE(c.hookCalled);
  RECT ownerRect;
  GetWindowRect(owner, &ownerRect);
  const RECT& r = c.rectAfterHook;
  // Left = owner centre - half the chooser's width, each half truncated.
  EXPECT_EQ(r.left,
            ownerRect.left + (ownerRect.right - ownerRect.left) / 2 - (r.right - r.left) / 2);
  EXPECT_EQ(r.top, ownerRect.top + (ownerRect.bottom - ownerRect.top) / 2 - (r.bottom - r.top) / 2);
}

}  // namespace
