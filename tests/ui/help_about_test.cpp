#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "help_about.h"
#include "message_recorder.h"
#include "platform_testing.h"
#include "temp_folder.h"

namespace {

struct HelpAboutTest : testing::Test {
  HelpAboutTest() { RememberProgramFolder(); }  // as start-up does
  TempFolder temp;
  CurrentDirectory inTemp{temp.path()};
  const std::string folder = temp.path();
  platform_testing::Seam seam;
  MessageRecorder recorder;
};

TEST_F(HelpAboutTest, HelpHandsTheDocumentToTheViewer) {
  std::ofstream(folder + "/Knowing your latitude and longitude.pdf") << "%PDF-1.4\n";
  ShowHelpDocument();
  ASSERT_EQ(seam.shellExecutes().size(), 1u);
  const platform_testing::ShellExecuteRecord& r = seam.shellExecutes()[0];
  EXPECT_EQ(r.file, "\"" + folder + "/Knowing your latitude and longitude.pdf\"");
  EXPECT_EQ(r.path, folder + "/Knowing your latitude and longitude.pdf");
  EXPECT_TRUE(r.operation.empty());
  EXPECT_EQ(r.show, SW_SHOWNORMAL);
  EXPECT_TRUE(recorder.messages().empty());
}

TEST_F(HelpAboutTest, MissingHelpDocumentIsReportedWithItsPath) {
  ShowHelpDocument();
  EXPECT_TRUE(seam.shellExecutes().empty());
  ASSERT_EQ(recorder.messages().size(), 1u);
  EXPECT_EQ(recorder.messages()[0].text,
            "File " + folder + "/Knowing your latitude and longitude.pdf not found.");
  EXPECT_EQ(recorder.messages()[0].caption, "Warning !");
  EXPECT_EQ(recorder.messages()[0].style, MB_TASKMODAL | MB_ICONEXCLAMATION);
}

TEST_F(HelpAboutTest, NoViewerForTheDocumentIsReportedWithItsPath) {
  std::ofstream(folder + "/Knowing your latitude and longitude.pdf") << "%PDF-1.4\n";
  seam.SetShellExecuteResult(SE_ERR_NOASSOC);
  ShowHelpDocument();
  ASSERT_EQ(recorder.messages().size(), 1u);
  EXPECT_EQ(recorder.messages()[0].text, "No program could be started to open " + folder +
                                             "/Knowing your latitude and longitude.pdf.");
  EXPECT_EQ(recorder.messages()[0].caption, "Warning !");
}

TEST_F(HelpAboutTest, HelpAndAboutFindTheirFilesWhereTheProgramStartedAfterBrowsing) {
  std::ofstream(folder + "/Knowing your latitude and longitude.pdf") << "%PDF-1.4\n";
  RememberProgramFolder();
  std::filesystem::create_directory(folder + "/lists");
  ASSERT_TRUE(SetCurrentDirectoryA((folder + "\\lists").c_str()));  // as a chooser may
  ShowHelpDocument();
  ASSERT_EQ(seam.shellExecutes().size(), 1u);
  EXPECT_EQ(seam.shellExecutes()[0].path, folder + "/Knowing your latitude and longitude.pdf");
  // The version comes from the running program's file, which is not in
  // either folder.
  const std::string about = AboutText();
  EXPECT_EQ(about.substr(0, about.find('\r')), "Varnel Version 3.0.2 (former Ostrak)");
  EXPECT_TRUE(recorder.messages().empty());
}

TEST_F(HelpAboutTest, VersionTextFromTheProgramFile) {
  // This test program carries product version 3.0.0.2, as Varnel3 does.
  EXPECT_EQ(ProgramVersionText("/proc/self/exe"), "3.0.2");
  std::ofstream(folder + "/plain") << "no record here";
  EXPECT_EQ(ProgramVersionText(folder + "/plain"), "");
  EXPECT_EQ(ProgramVersionText(folder + "/missing"), "");
}

TEST_F(HelpAboutTest, AboutText) {
  const std::string text = AboutText();
  EXPECT_EQ(text.substr(0, text.find('\r')), "Varnel Version 3.0.2 (former Ostrak)");
  const std::string purpose =
      "\r\rThis program performs a coordinate transformation between two coordinate reference "
      "systems using a geocentric translation or Helmert Transformations.";
  EXPECT_EQ(text.find(purpose), text.find('\r'));
  EXPECT_EQ(text.find('\n'), std::string::npos);  // carriage returns only
  EXPECT_NE(text.find("\r\r(The transformation methods"), std::string::npos);
  EXPECT_NE(text.find("OGP Surveying & Positioning Committee"), std::string::npos);

  ShowAboutBox();
  ASSERT_EQ(recorder.messages().size(), 1u);
  EXPECT_EQ(recorder.messages()[0].text, text);
  EXPECT_EQ(recorder.messages()[0].caption, "Information");
  EXPECT_EQ(recorder.messages()[0].style, MB_TASKMODAL | MB_ICONINFORMATION);
}

}  // namespace
