// Each side's length unit follows the chosen system through the EPSG code
// index, is shown beside the fields, and typed values keep their meaning.
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "fixed_text.h"
#include "main_window_fixture.h"
#include "program_index.h"
#include "ui_test_support.h"
#include "units_dialog.h"

namespace {

// Rows for the test catalogue's systems: NAD27 / Texas South Central is EPSG
// 32040, in US survey feet; "Lambert equal parallels" stands in for a system
// in Gold Coast feet (EPSG 2136), a unit the program does not offer.
constexpr const char* kTestIndex =
    "4\r\n"
    "2136;projected;Lambert equal parallels;Gold Coast foot\r\n"
    "27700;projected;OSGB 1936 / British National Grid;metre\r\n"
    "28992;projected;Amersfoort / RD New;metre\r\n"
    "32040;projected;NAD27 / Texas South Central;US survey foot\r\n";

class SystemUnitsTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    std::ofstream(kEpsgIndexFile, std::ios::binary) << kTestIndex;
    LoadProgramEpsgIndex("");
    ASSERT_EQ(ProgramEpsgIndex().size(), 4u);
  }
  void TearDown() override {
    LoadProgramEpsgIndex("no such folder");
    MainWindowTest::TearDown();
  }
  // Clicks options of the units dialog of one side, each on its button's
  // circle (a short label ends before the middle of its row), then "&Accept".
  void SetUnits(int unitsButton, std::vector<int> options) {
    WhenModalDialogRuns([options](HWND dialog) {
      for (int option : options) {
        QWidget* button = platform_testing::Widget(GetDlgItem(dialog, option));
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
      }
      ::Click(dialog, kIdAccept);
    });
    Click(Control(unitsButton));
  }
  std::string Label(int id) const { return WindowText(Control(id)); }
};

TEST_F(SystemUnitsTest, AChosenSystemBringsItsLengthUnitAndAMetreSystemTheMetreBack) {
  const UnitsAndFormats& start = startSide.unitsAndFormats;
  EXPECT_EQ(Label(kStartGridUnitLabel), "Easting, northing in metre");
  EXPECT_EQ(Label(kStartAngleFormatLabel), "Angles in degrees-minutes-seconds DDD.MMSSsss");

  Choose(kStartProjectionList, kTexasSouthCentral);
  EXPECT_EQ(start.lengthUnit, 607);
  EXPECT_EQ(start.lengthFactor, 0.304800609601219);
  EXPECT_EQ(Label(kStartGridUnitLabel), "Easting, northing in US survey foot");
  EXPECT_EQ(targetSide.unitsAndFormats.lengthUnit, 603);

  Choose(kStartProjectionList, kRdNew);
  EXPECT_EQ(start.lengthUnit, 603);
  EXPECT_EQ(Label(kStartGridUnitLabel), "Easting, northing in metre");

  // The dialog still decides; a system the index does not know leaves it.
  SetUnits(kStartUnitsButton, {605, kIdAngleDecimal});
  EXPECT_EQ(Label(kStartGridUnitLabel), "Easting, northing in international foot");
  EXPECT_EQ(Label(kStartAngleFormatLabel), "Angles in decimal degrees DDD.dddddd");
  Choose(kStartProjectionList, kLambertWrongOrder);
  EXPECT_EQ(start.lengthUnit, 605);

  // A unit the program does not have: metres, and the system's unit named.
  Choose(kStartProjectionList, kLambertEqual);
  EXPECT_EQ(start.lengthUnit, 603);
  EXPECT_EQ(start.lengthFactor, 1.0);
  EXPECT_EQ(Label(kStartGridUnitLabel), "Easting, northing in metre (own unit: Gold Coast foot)");
  Choose(kStartProjectionList, kRdNew);
  EXPECT_EQ(Label(kStartGridUnitLabel), "Easting, northing in metre");
  EXPECT_TRUE(seam.messageBoxes().empty());
}

TEST_F(SystemUnitsTest, AFootTargetIsWrittenInFeetWithoutTouchingTheUnitsDialog) {
  // NAD27 / Texas South Central: 28 30 N, 96 W is 2963503.91, 254759.80 US
  // survey feet (as the units dialog test gives it with the unit chosen by hand).
  ChooseSystems(kNone, kNad27, kTexasSouthCentral, kNad27);
  Type(StartLatLon, kStartLatitudeBox, "28.3");
  Type(StartLatLon, kStartLongitudeBox, "-96");
  Click(Control(kTransformButton));
  EXPECT_TRUE(seam.messageBoxes().empty());
  EXPECT_EQ(Text(TargetXY, kTargetEastingBox), " 2963503.91");
  EXPECT_EQ(Text(TargetXY, kTargetNorthingBox), " 254759.8");
  EXPECT_EQ(Label(kTargetGridUnitLabel), "Easting, northing in US survey foot");
  EXPECT_EQ(startSide.unitsAndFormats.lengthUnit, 603);
}

TEST_F(SystemUnitsTest, TypedValuesKeepTheirValueWhenTheUnitOrFormatChanges) {
  // Grid values: 1000 m is 1000 / 0.304800609601219 = 3280.8333333333355 US
  // survey feet, 2000 m 6561.666666666671 (15 significant digits kept).
  Choose(kStartProjectionList, kBritishNationalGrid);
  Type(StartXY, kStartEastingBox, "1000");
  Type(StartXY, kStartNorthingBox, "2000");
  Choose(kStartProjectionList, kTexasSouthCentral);
  EXPECT_EQ(Text(StartXY, kStartEastingBox), "3280.83333333334");
  EXPECT_EQ(Text(StartXY, kStartNorthingBox), "6561.66666666667");
  SetUnits(kStartUnitsButton, {603});
  EXPECT_EQ(Text(StartXY, kStartEastingBox), "1000");
  EXPECT_EQ(Text(StartXY, kStartNorthingBox), "2000");
  Type(StartXY, kStartNorthingBox, "20OO");  // not a value: left for the transform to report
  SetUnits(kStartUnitsButton, {605});
  EXPECT_EQ(Text(StartXY, kStartEastingBox), "3280.83989501312");  // 1000 / 0.3048
  EXPECT_EQ(Text(StartXY, kStartNorthingBox), "20OO");

  // Angles: 50 30 00 N is 50.5 degrees, 0 30 15 W is -0.5041666... degrees.
  Choose(kStartProjectionList, kNone);
  Type(StartLatLon, kStartLatitudeBox, "50.3");
  Type(StartLatLon, kStartLongitudeBox, "-0.3015");
  SetUnits(kStartUnitsButton, {kIdAngleDecimal});
  EXPECT_EQ(Text(StartLatLon, kStartLatitudeBox), "50.5");
  EXPECT_EQ(Text(StartLatLon, kStartLongitudeBox), "-.504166666666667");
  SetUnits(kStartUnitsButton, {kIdAngleDms});
  EXPECT_EQ(Text(StartLatLon, kStartLatitudeBox), "50.3000000");
  EXPECT_EQ(Text(StartLatLon, kStartLongitudeBox), "-0.3015000");
  EXPECT_TRUE(seam.messageBoxes().empty());
}

TEST_F(SystemUnitsTest, AChangedFormatTransformsTheSamePoint) {
  ChooseSystems(kNone, kOsgb1936, kBritishNationalGrid, kOsgb1936);
  Type(StartLatLon, kStartLatitudeBox, "50.3");
  Type(StartLatLon, kStartLongitudeBox, "0.3");
  Click(Control(kTransformButton));
  const std::string easting = Text(TargetXY, kTargetEastingBox);
  EXPECT_EQ(easting, " 577274.98");
  SetUnits(kStartUnitsButton, {kIdAngleDecimal});
  Click(Control(kTransformButton));
  EXPECT_EQ(Text(TargetXY, kTargetEastingBox), easting);
}

TEST(OwnUnitOfProjection, TheMetreRowOfAnEntryThatTookInItsFootVariantsWins) {
  using Kind = EpsgIndexEntry::Kind;
  const std::vector<EpsgIndexEntry> index = {
      {2225, Kind::kProjected, "NAD83 / California zone 1", "US survey foot"},
      {3489, Kind::kProjected, "NAD83 / California zone 1", "metre"},
      {4267, Kind::kGeographic, "NAD83 / California zone 1", "degree"},
      {32040, Kind::kProjected, "NAD27 / Texas South Central", "US survey foot"},
  };
  EXPECT_EQ(OwnUnitOfProjection(index, "NAD83 / California zone 1"), "metre");
  EXPECT_EQ(OwnUnitOfProjection(index, "NAD27 / Texas South Central"), "US survey foot");
  EXPECT_EQ(OwnUnitOfProjection(index, "none"), "");
}

// The rule above against the generator's record of each projection's own
// EPSG code (data/sources.tsv: file, position, code, ...).
TEST(OwnUnitOfProjection, IsTheUnitOfEveryShippedRecordsOwnCode) {
  std::vector<EpsgIndexEntry> index;
  std::string error;
  ASSERT_TRUE(LoadEpsgIndex(VARNEL_SHIPPED_DATA "/epsg-index.txt", index, error)) << error;
  std::map<int32_t, std::string> unitOfCode;
  for (const EpsgIndexEntry& row : index) {
    // A geographic system on its own meridian has no length unit.
    if (row.kind != EpsgIndexEntry::Kind::kMeridian) unitOfCode[row.code] = row.unit;
  }

  std::ifstream projections(VARNEL_SHIPPED_DATA "/projct.txt", std::ios::binary);
  std::vector<std::string> names;
  std::string line;
  std::getline(projections, line);  // the count
  while (std::getline(projections, line)) names.push_back(line.substr(0, line.find(';')));

  std::ifstream sources(VARNEL_SHIPPED_DATA "/sources.tsv", std::ios::binary);
  int checked = 0;
  while (std::getline(sources, line)) {
    std::istringstream fields(line);
    std::string file, position, code;
    std::getline(fields, file, '\t');
    std::getline(fields, position, '\t');
    std::getline(fields, code, '\t');
    if (file != "projct" || position == "1") continue;  // 1: "none"
    ++checked;
    if (!unitOfCode.count(std::stoi(code))) continue;
    const std::string name(TrimBlanks(names.at(std::stoul(position) - 1)));
    EXPECT_EQ(OwnUnitOfProjection(index, name), unitOfCode[std::stoi(code)]) << name;
  }
  EXPECT_EQ(checked, static_cast<int>(names.size()) - 1);
}

}  // namespace
