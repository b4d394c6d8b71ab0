// The window's settings come back at the next start; a damaged or missing
// file is passed over without a word.
#include <fstream>

#include "fixed_text.h"
#include "main_window_fixture.h"
#include "settings.h"
#include "ui_test_support.h"
#include "units_dialog.h"

namespace {

class SettingsTest : public MainWindowTest {
 protected:
  // The program's next start in this folder, with fresh state.
  void Restart() {
    DestroyWindow(window);
    platform_testing::DeliverPostedMessages();
    ResetSides();
    for (std::string* name :
         {&startProjListFile, &startSysListFile, &targetProjListFile, &targetSysListFile}) {
      name->clear();
    }
    window = CreateMainWindow();
    ShowWindow(window, SW_SHOW);
    platform_testing::DeliverPostedMessages();
  }
};

TEST_F(SettingsTest, SystemsUnitsFormatsAndListFilesComeBack) {
  EXPECT_EQ(SettingsFile(), Path("config") + "/varnel/Varnel3.ini");
  ChooseSystems(kTexasSouthCentral, kWgs84, kRdNew, kAmersfoort);
  Choose(kStartEllipsoidList, 0);  // Airy 1830 under WGS 84: the user's own choice
  WhenModalDialogRuns([](HWND dialog) {
    ::Click(dialog, 607);
    ::Click(dialog, kIdAngleDecimal);
    ::Click(dialog, kIdAccept);
  });
  Click(Control(kStartUnitsButton));
  Type(StartProjList, kStartProjListBox, "grid points.txt");
  Type(TargetSysList, kTargetSysListBox, "out/geo.txt");

  Restart();
  EXPECT_EQ(Selection(kStartProjectionList), kTexasSouthCentral);
  EXPECT_EQ(Selection(kStartDatumList), kWgs84);
  EXPECT_EQ(Selection(kStartEllipsoidList), 0);
  EXPECT_EQ(TrimmedField(startSide.ellipsoid.name), "Airy 1830");
  EXPECT_EQ(Selection(kTargetProjectionList), kRdNew);
  EXPECT_EQ(TrimmedField(targetSide.datum.name), "Amersfoort");
  EXPECT_TRUE(IsWindowEnabled(Box(StartXY, kStartEastingBox)));  // as a user's choice does
  EXPECT_EQ(startSide.unitsAndFormats.lengthUnit, 607);
  EXPECT_EQ(startSide.unitsAndFormats.lengthFactor, 0.304800609601219);
  EXPECT_EQ(startSide.unitsAndFormats.angleFormat, kAngleFormatDecimal);
  EXPECT_EQ(WindowText(Control(kStartGridUnitLabel)), "Easting, northing in US survey foot");
  EXPECT_EQ(targetSide.unitsAndFormats.lengthUnit, 603);
  EXPECT_EQ(Text(StartProjList, kStartProjListBox), "grid points.txt");
  EXPECT_EQ(startProjListFile, "grid points.txt");
  EXPECT_EQ(Text(TargetSysList, kTargetSysListBox), "out/geo.txt");
  EXPECT_TRUE(seam.messageBoxes().empty());
}

TEST_F(SettingsTest, ADamagedFileIsPassedOverWithoutAWord) {
  std::filesystem::create_directories(Path("config") + "/varnel");
  std::ofstream(SettingsFile(), std::ios::binary)
      << "\x01\xff[Start\r\nProjection=No such system\r\n[Target]\r\nLengthUnit=612\r\n"
         "AngleFormat=decimal\r\nDatum\r\n=x\r\n[Start]\r\nLengthUnit=60 7\r\nEllipsoid=";
  Restart();
  EXPECT_EQ(Selection(kStartProjectionList), kNone);
  EXPECT_EQ(Selection(kTargetDatumList), kWgs84);  // as "none" leaves it
  for (const CrsSide* side : {&startSide, &targetSide}) {
    EXPECT_EQ(side->unitsAndFormats.lengthUnit, 603);
    EXPECT_EQ(side->unitsAndFormats.angleFormat, kAngleFormatDms);
  }
  EXPECT_TRUE(seam.messageBoxes().empty());

  // A settings file that cannot be written is passed over too.
  std::filesystem::remove_all(Path("config"));
  std::ofstream(Path("config"), std::ios::binary) << "a file where the folder belongs";
  Restart();
  EXPECT_TRUE(seam.messageBoxes().empty());
}

}  // namespace
