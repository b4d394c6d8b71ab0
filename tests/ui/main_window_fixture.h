// The program as start-up leaves it, on small catalogues of published systems
// written into a fresh folder that is the current directory while a test runs.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTabBar>
#include <QtTest/QTest>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include <commctrl.h>
#include <windows.h>

#include "catalogue.h"
#include "entry_pages.h"
#include "help_about.h"
#include "main_window.h"
#include "message.h"
#include "platform_testing.h"
#include "program_state.h"
#include "startup.h"
#include "temp_folder.h"

// Projection list entries of the test catalogue (0-based, as the lists count).
enum TestProjection {
  kNone,
  kBritishNationalGrid,
  kTexasSouthCentral,
  kRdNew,
  kLambertWrongOrder,
  kLambertHemispheres,
  kLambertEqual,
  kLambertBaseHemisphere,
  kUnknownDatum,
};
// Datum list entries; the ellipsoid list has the same order (each datum's own).
enum TestDatum { kOsgb1936, kNad27, kWgs84, kAmersfoort };

inline constexpr const char* kTestEllipsoids =
    "4\r\n"
    "7001;Airy 1830;6377563.396;6356256.909237285\r\n"
    "7008;Clarke 1866;6378206.4;6356583.8\r\n"
    "7030;WGS 84;6378137;6356752.314245179\r\n"
    "7004;Bessel 1841;6377397.155;6356078.962818189\r\n";

inline constexpr const char* kTestDatums =
    "4\r\n"
    "OSGB 1936;UK - Great Britain;4326;Airy 1830;9603;375;-111;431;0;0;0;0\r\n"
    "NAD27 (Texas);USA - Texas;4326;Clarke 1866;9603;-8;160;176;0;0;0;0\r\n"
    "WGS 84;World;4326;WGS 84;9603;0;0;0;0;0;0;0\r\n"
    "Amersfoort;Netherlands;4326;Bessel 1841;9603;593.16;26.15;478.54;0;0;0;0\r\n";

// Not in alphabetical order, so that a sorting list would show.
inline constexpr const char* kTestProjections =
    "9\r\n"
    "none;WGS 84;0;1;0;0;0;0;0;0\r\n"
    "OSGB 1936 / British National Grid;OSGB 1936;9807;0.9996012717;49;-2;400000;-100000;0;0\r\n"
    "NAD27 / Texas South Central;NAD27;9802;1;27.8333333333;-99;609601.2192;0;28.3833333333;"
    "30.2833333333\r\n"
    "Amersfoort / RD New;Amersfoort;9809;0.9999079;52.1561605556;5.3876388889;155000;463000;0;0\r\n"
    "Lambert wrong order;NAD27;9802;1;35;-99;0;0;40;30\r\n"
    "Lambert two hemispheres;NAD27;9802;1;10;-99;0;0;30;-40\r\n"
    "Lambert equal parallels;NAD27;9802;1;10;-99;0;0;30;30\r\n"
    "Lambert base in the south;NAD27;9802;1;-10;-99;0;0;30;40\r\n"
    // A test moves its datum beyond the catalogue; the file must name one
    // that is found.
    "Unknown datum;OSGB 1936;9807;1;0;0;0;0;0;0\r\n";

// Writes the three catalogue files into the current directory, leaving out
// the one named `missing`.
inline void WriteTestCatalogues(const char* missing = nullptr) {
  const std::pair<const char*, const char*> files[] = {{kEllipsoidFile, kTestEllipsoids},
                                                       {kDatumFile, kTestDatums},
                                                       {kProjectionFile, kTestProjections}};
  for (const auto& [name, text] : files) {
    if (missing == nullptr || std::strcmp(name, missing) != 0) {
      std::ofstream(name, std::ios::binary) << text;
    }
  }
}

inline std::string WindowText(HWND window) {
  std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  text.resize(
      static_cast<size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// XDG_CONFIG_HOME names a folder while this lives, so that the window's
// settings are kept there and not in the user's own.
class ConfigurationFolder {
 public:
  explicit ConfigurationFolder(const std::string& folder) {
    if (const char* value = std::getenv("XDG_CONFIG_HOME")) previous_ = value;
    ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
  }
  ~ConfigurationFolder() {
    if (previous_) {
      ::setenv("XDG_CONFIG_HOME", previous_->c_str(), 1);
    } else {
      ::unsetenv("XDG_CONFIG_HOME");
    }
  }
  ConfigurationFolder(const ConfigurationFolder&) = delete;
  ConfigurationFolder& operator=(const ConfigurationFolder&) = delete;

 private:
  std::optional<std::string> previous_;
};

// A fresh folder as the current directory and the configuration folder,
// removed afterwards.
class InTempFolder : public testing::Test {
 protected:
  std::string Path(const std::string& name) const { return folder_.File(name); }

 private:
  TempFolder folder_;
  CurrentDirectory inFolder_{folder_.path()};
  ConfigurationFolder configuration_{folder_.File("config")};

 protected:
  platform_testing::Seam seam;
};

class MainWindowTest : public InTempFolder {
 protected:
  void SetUp() override {
    InTempFolder::SetUp();
    WriteTestCatalogues();
    // As start-up leaves the program before it builds the window.
    RememberProgramFolder();
    pointMode = 1;
    SetProgramConstants();
    InstallMessageFunction(&ProgramMessageBox);
    for (std::string* name :
         {&startProjListFile, &startSysListFile, &targetProjListFile, &targetSysListFile}) {
      name->clear();
    }
    int32_t loaded = 0;
    LoadCatalogues(ProgramCatalogues(), loaded);
    ASSERT_EQ(loaded, -1);
    window = CreateMainWindow();
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOW);
    platform_testing::DeliverPostedMessages();  // the pages are built now
    ASSERT_TRUE(IsWindow(PageWindow(StartXY)));
  }
  void TearDown() override {
    DestroyWindow(window);
    platform_testing::DeliverPostedMessages();
    InTempFolder::TearDown();
  }

  HWND Control(int id) const { return GetDlgItem(window, id); }
  HWND Box(PageId page, int id) const { return GetDlgItem(PageWindow(page), id); }
  std::string Text(PageId page, int id) const { return WindowText(Box(page, id)); }
  LRESULT Selection(int list) const { return SendMessageA(Control(list), CB_GETCURSEL, 0, 0); }
  LRESULT Tab(int tabs) const { return SendMessageA(Control(tabs), TCM_GETCURSEL, 0, 0); }

  // A choice from the open list: the entry becomes current, then activated.
  void Choose(int list, int index) {
    auto* combo = qobject_cast<QComboBox*>(platform_testing::Widget(Control(list)));
    ASSERT_NE(combo, nullptr);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
  }
  // Both sides' projections, datums (each moving its ellipsoid along).
  void ChooseSystems(int startProjection, int startDatum, int targetProjection, int targetDatum) {
    Choose(kStartProjectionList, startProjection);
    Choose(kStartDatumList, startDatum);
    Choose(kTargetProjectionList, targetProjection);
    Choose(kTargetDatumList, targetDatum);
  }
  // Replaces the box's text as a user would: select all, then type.
  void Type(PageId page, int id, const std::string& text) {
    auto* edit = qobject_cast<QLineEdit*>(platform_testing::Widget(Box(page, id)));
    ASSERT_NE(edit, nullptr);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, QString::fromLatin1(text.c_str()));
  }
  void Click(HWND button) { QTest::mouseClick(platform_testing::Widget(button), Qt::LeftButton); }
  void ClickTab(int tabs, int index) {
    auto* bar = qobject_cast<QTabBar*>(platform_testing::Widget(Control(tabs)));
    ASSERT_NE(bar, nullptr);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
  }

  HWND window = nullptr;
};
