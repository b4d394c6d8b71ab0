// The test seam: message boxes, file choosers with the placement hook, and
// the shell; and the paths the layer takes in Windows form.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <cstring>
#include <fstream>

#include "dialog_builder.h"
#include "platform_testing.h"

namespace {

struct BoxCase {
  const char* caption;
  UINT style;
  bool owned;
  std::vector<int> script;
  const char* icon;
  std::vector<int> buttons;
  const char* modality;
  int answer;
};

TEST(MessageBoxSeam, BoxesAreBuiltFromTheirFlagsRecordedAndAnswered) {
  DialogBuilder builder(kPopup, 0, 0, 0, 100, 60, "owner");
  HWND owner = CreateDialogIndirectParamA(nullptr, builder.get(), nullptr, nullptr, 0);
  const std::vector<BoxCase> cases = {
      {"Warning !",
       MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL,
       false,
       {},
       "warning",
       {IDOK},
       "application",
       IDOK},
      {"Error !", MB_ICONHAND | MB_TASKMODAL, false, {}, "critical", {IDOK}, "application", IDOK},
      {"Information",
       MB_ICONINFORMATION | MB_TASKMODAL,
       false,
       {},
       "information",
       {IDOK},
       "application",
       IDOK},
      {"Please confirm.",
       MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL,
       false,
       {IDNO},
       "question",
       {IDYES, IDNO},
       "application",
       IDNO},
      // Unscripted: the default button, as Enter would choose.
      {"Please confirm.",
       MB_YESNO | MB_ICONQUESTION,
       false,
       {},
       "question",
       {IDYES, IDNO},
       "none",
       IDYES},
      {"Please confirm.",
       MB_YESNO | MB_DEFBUTTON2,
       true,
       {},
       "none",
       {IDYES, IDNO},
       "window",
       IDNO},
      // An answer the box has no button for is not taken.
      {nullptr, MB_OK, false, {IDYES}, "none", {IDOK}, "none", IDOK},
  };
  for (const BoxCase& c : cases) {
    platform_testing::Seam seam;
    for (int answer : c.script) seam.AnswerMessageBox(answer);
    EXPECT_EQ(MessageBoxA(c.owned ? owner : nullptr, "text\r\nline", c.caption, c.style), c.answer);
    ASSERT_EQ(seam.messageBoxes().size(), 1u);
    const platform_testing::MessageBoxRecord& box = seam.messageBoxes()[0];
    EXPECT_EQ(box.text, "text\r\nline");
    EXPECT_EQ(box.caption, c.caption ? c.caption : "Varnel");
    EXPECT_EQ(box.defaultCaption, c.caption == nullptr);
    EXPECT_EQ(box.style, c.style);
    EXPECT_EQ(box.icon, c.icon) << box.caption;
    EXPECT_EQ(box.buttons, c.buttons);
    EXPECT_EQ(box.modality, c.modality) << c.style;
  }
  DestroyWindow(owner);
}

TEST(MessageBoxSeam, TheLibraryFindsMessageBoxAAtRunTime) {
  using Function = int (*)(void*, const char*, const char*, unsigned);
  auto* found = reinterpret_cast<Function>(dlsym(RTLD_DEFAULT, "MessageBoxA"));
  ASSERT_NE(found, nullptr);
  platform_testing::Seam seam;
  EXPECT_EQ(found(nullptr, "Run-time error 11 in CONVERTXYZTOLATLON", nullptr, 0), IDOK);
  ASSERT_EQ(seam.messageBoxes().size(), 1u);
  EXPECT_EQ(seam.messageBoxes()[0].caption, "Varnel");
}

// The program's placement hook: centre the chooser over its owner.
UINT_PTR CALLBACK CentreHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_NOTIFY &&
      reinterpret_cast<const OFNOTIFYA*>(lParam)->hdr.code == CDN_INITDONE) {
    HWND chooser = GetParent(hook);
    RECT r1, r2;
    GetWindowRect(GetParent(chooser), &r1);
    GetWindowRect(chooser, &r2);
    SetWindowPos(chooser, nullptr, r1.left + (r1.right - r1.left) / 2 - (r2.right - r2.left) / 2,
                 r1.top + (r1.bottom - r1.top) / 2 - (r2.bottom - r2.top) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
  }
  return 1;
}

class ChooserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    previous = QDir::currentPath();
    DialogBuilder mainTemplate(kPopup | WS_VISIBLE, WS_EX_CONTROLPARENT, 40, 30, 424, 383, "main");
    main = CreateDialogIndirectParamA(nullptr, mainTemplate.get(), nullptr, nullptr, 0);
    DialogBuilder pageTemplate(kPage | WS_VISIBLE, WS_EX_CONTROLPARENT, 27, 81, 157, 33, "list");
    page = CreateDialogIndirectParamA(nullptr, pageTemplate.get(), main, nullptr, 0);
  }
  void TearDown() override {
    QDir::setCurrent(previous);
    DestroyWindow(main);
  }
  OPENFILENAMEA Chooser(char* buffer, const char* title, DWORD flags, const char* defaultExt) {
    OPENFILENAMEA ofn{};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = page;
    ofn.lpstrFilter = "All Files (*.*)\0*.*\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = initialDir.c_str();
    ofn.lpstrTitle = title;
    ofn.Flags = flags;
    ofn.lpstrDefExt = defaultExt;
    ofn.lpfnHook = CentreHook;
    return ofn;
  }
  QTemporaryDir folder;
  std::string initialDir = folder.path().toStdString();
  QString previous;
  HWND main = nullptr;
  HWND page = nullptr;
};

TEST_F(ChooserTest, SaveChooserIsCentredByTheHookAndAddsTheDefaultExtension) {
  platform_testing::Seam seam;
  seam.AnswerChooser("result");
  char buffer[MAX_PATH] = "*";
  OPENFILENAMEA ofn = Chooser(buffer, "Save list of coordinates",
                              OFN_EXPLORER | OFN_ENABLEHOOK | OFN_PATHMUSTEXIST |
                                  OFN_EXTENSIONDIFFERENT | OFN_OVERWRITEPROMPT,
                              "DAT");
  ASSERT_TRUE(GetSaveFileNameA(&ofn));
  const std::string expected = folder.path().toStdString() + "/result.DAT";
  EXPECT_EQ(std::string(buffer), expected);
  EXPECT_EQ(std::string(buffer + ofn.nFileOffset), "result.DAT");
  EXPECT_EQ(std::string(buffer + ofn.nFileExtension), "DAT");
  EXPECT_FALSE(ofn.Flags & OFN_EXTENSIONDIFFERENT);
  EXPECT_EQ(QDir::currentPath(), QDir(folder.path()).canonicalPath());

  ASSERT_EQ(seam.choosers().size(), 1u);
  const platform_testing::ChooserRecord& record = seam.choosers()[0];
  EXPECT_TRUE(record.save);
  EXPECT_TRUE(record.hookCalled);
  EXPECT_EQ(record.owner, main);  // the page's top-level window
  EXPECT_EQ(record.title, "Save list of coordinates");
  EXPECT_EQ(record.initialName, "*");
  EXPECT_EQ(record.initialDir, initialDir);
  EXPECT_EQ(record.filters, (std::vector<std::string>{"All Files (*.*)|*.*"}));
  RECT owner;
  GetWindowRect(main, &owner);
  const RECT& chooser = record.rectAfterHook;
  EXPECT_EQ(chooser.left,
            owner.left + (owner.right - owner.left) / 2 - (chooser.right - chooser.left) / 2);
  EXPECT_EQ(chooser.top,
            owner.top + (owner.bottom - owner.top) / 2 - (chooser.bottom - chooser.top) / 2);
  EXPECT_FALSE(IsWindow(record.chooser));  // gone with the call
}

TEST_F(ChooserTest, ATypedExtensionIsKeptAndMarkedDifferent) {
  platform_testing::Seam seam;
  seam.AnswerChooser("list.txt");
  char buffer[MAX_PATH] = "*";
  OPENFILENAMEA ofn = Chooser(buffer, "Save", OFN_ENABLEHOOK, "DAT");
  ASSERT_TRUE(GetSaveFileNameA(&ofn));
  EXPECT_EQ(std::string(buffer + ofn.nFileOffset), "list.txt");
  EXPECT_TRUE(ofn.Flags & OFN_EXTENSIONDIFFERENT);
}

TEST_F(ChooserTest, CancelledChooserLeavesBufferAndDirectoryAlone) {
  platform_testing::Seam seam;  // unscripted: cancelled, the hook still runs
  char buffer[MAX_PATH] = "*.*";
  OPENFILENAMEA ofn = Chooser(buffer, "Open list of coordinates",
                              OFN_EXPLORER | OFN_ENABLEHOOK | OFN_FILEMUSTEXIST, nullptr);
  EXPECT_FALSE(GetOpenFileNameA(&ofn));
  EXPECT_STREQ(buffer, "*.*");
  EXPECT_EQ(QDir::currentPath(), previous);
  ASSERT_EQ(seam.choosers().size(), 1u);
  EXPECT_TRUE(seam.choosers()[0].hookCalled);
  EXPECT_EQ(seam.choosers()[0].initialName, "*.*");
}

TEST_F(ChooserTest, NoChangeDirKeepsTheDirectoryAndBackslashesAreAccepted) {
  QDir(folder.path()).mkdir("sub");
  std::ofstream(folder.path().toStdString() + "/sub/in.dat") << "1 2\r\n";
  std::string windowsForm = folder.path().toStdString();
  for (char& c : windowsForm) {
    if (c == '/') c = '\\';
  }
  initialDir = windowsForm + "\\sub";
  platform_testing::Seam seam;
  seam.AnswerChooser("in.dat");
  char buffer[MAX_PATH] = "*.*";
  OPENFILENAMEA ofn = Chooser(buffer, "Open", OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR, nullptr);
  ASSERT_TRUE(GetOpenFileNameA(&ofn));
  EXPECT_EQ(std::string(buffer), folder.path().toStdString() + "/sub/in.dat");
  EXPECT_EQ(QDir::currentPath(), previous);
  EXPECT_FALSE(seam.choosers()[0].hookCalled);  // no OFN_ENABLEHOOK
}

TEST_F(ChooserTest, ATooSmallBufferFailsWithTheWindowsError) {
  platform_testing::Seam seam;
  seam.AnswerChooser("a-rather-long-file-name.dat");
  char buffer[MAX_PATH] = "*";
  OPENFILENAMEA ofn = Chooser(buffer, "Save", 0, nullptr);
  ofn.nMaxFile = 8;
  EXPECT_FALSE(GetSaveFileNameA(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(FNERR_BUFFERTOOSMALL));
  ofn.lStructSize = 12;
  EXPECT_FALSE(GetSaveFileNameA(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(CDERR_STRUCTSIZE));
}

TEST_F(ChooserTest, ShellExecuteIsRecordedAndFindsOnlyExistingFiles) {
  QDir::setCurrent(folder.path());
  std::ofstream("Knowing your latitude and longitude.pdf") << "%PDF";
  char directory[MAX_PATH];
  ASSERT_GT(GetCurrentDirectoryA(MAX_PATH, directory), 0u);
  const std::string path = std::string(directory) + "\\Knowing your latitude and longitude.pdf";
  platform_testing::Seam seam;
  const std::string quoted = "\"" + path + "\"";
  HINSTANCE result =
      ShellExecuteA(nullptr, nullptr, quoted.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  EXPECT_GT(reinterpret_cast<INT_PTR>(result), 32);
  HINSTANCE missing =
      ShellExecuteA(nullptr, nullptr, "\"absent.pdf\"", nullptr, nullptr, SW_SHOWNORMAL);
  EXPECT_EQ(reinterpret_cast<INT_PTR>(missing), SE_ERR_FNF);
  ASSERT_EQ(seam.shellExecutes().size(), 2u);
  EXPECT_EQ(seam.shellExecutes()[0].file, quoted);
  EXPECT_EQ(seam.shellExecutes()[0].path,
            folder.path().toStdString() + "/Knowing your latitude and longitude.pdf");
  EXPECT_EQ(seam.shellExecutes()[0].show, SW_SHOWNORMAL);
}

TEST_F(ChooserTest, CurrentDirectoryTakesBackslashesAndReportsTheSizeItNeeds) {
  QDir::setCurrent(folder.path());
  QDir(folder.path()).mkpath("a/b");
  EXPECT_TRUE(SetCurrentDirectoryA("a\\b"));
  const std::string expected = QDir(folder.path() + "/a/b").canonicalPath().toStdString();
  char small[4] = "xyz";
  EXPECT_EQ(GetCurrentDirectoryA(sizeof small, small), expected.size() + 1);
  char buffer[MAX_PATH];
  EXPECT_EQ(GetCurrentDirectoryA(MAX_PATH, buffer), expected.size());
  EXPECT_EQ(std::string(buffer), expected);
  EXPECT_FALSE(SetCurrentDirectoryA("no\\such\\folder"));
}

}  // namespace
