// Finding an entry of a selection list by words or by EPSG code, and choosing
// it as the drop-down would.
#include <QApplication>
#include <QListWidget>
#include <fstream>

#include "fixed_text.h"
#include "main_window_fixture.h"
#include "program_index.h"
#include "system_search.h"

namespace {

// Codes of the test catalogue's systems; 28993 stands for a variant of
// "Amersfoort / RD New" in international feet that the entry took in.
constexpr const char* kTestIndex =
    "7\r\n"
    "1314;transformation;OSGB 1936;degree\r\n"
    "3857;left out;WGS 84 / Pseudo-Mercator;metre;its method is not computed\r\n"
    "4277;geographic;OSGB 1936;degree\r\n"
    "27700;projected;OSGB 1936 / British National Grid;metre\r\n"
    "28992;projected;Amersfoort / RD New;metre\r\n"
    "28993;projected;Amersfoort / RD New;foot\r\n"
    "32040;projected;NAD27 / Texas South Central;US survey foot\r\n";

class SystemSearchTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    std::ofstream(kEpsgIndexFile, std::ios::binary) << kTestIndex;
    LoadProgramEpsgIndex("");
    ASSERT_EQ(ProgramEpsgIndex().size(), 7u);
  }
  void TearDown() override {
    LoadProgramEpsgIndex("no such folder");
    MainWindowTest::TearDown();
  }
  QComboBox* Combo(int list) const {
    return qobject_cast<QComboBox*>(platform_testing::Widget(Control(list)));
  }
  QListWidget* Matches() const {
    return qobject_cast<QListWidget*>(
        platform_testing::Widget(GetDlgItem(SystemSearchWindow(), kSearchMatchList)));
  }
};

struct FindCase {
  const char* what;
  ListRole role;
  const char* text;
  std::vector<int32_t> positions;  // catalogue positions, 1-based
  std::vector<std::string> units;  // of the code matches, "" for the others
};

TEST_F(SystemSearchTest, FindsByEveryWordInAnyOrderAndByCode) {
  const int32_t grid = kBritishNationalGrid + 1, rdNew = kRdNew + 1, texas = kTexasSouthCentral + 1;
  const FindCase cases[] = {
      {"words in any order and case",
       ListRole::kProjection,
       "grid NATIONAL  british",
       {grid},
       {""}},
      {"all that hold the word", ListRole::kProjection, "lambert", {5, 6, 7, 8}, {"", "", "", ""}},
      {"a code", ListRole::kProjection, "28992", {rdNew}, {"metre"}},
      {"EPSG: and a code", ListRole::kProjection, "epsg:32040", {texas}, {"US survey foot"}},
      {"a foot variant's code", ListRole::kProjection, "EPSG:28993", {rdNew}, {"foot"}},
      {"a code before words", ListRole::kProjection, "27700 new", {grid}, {"metre"}},
      {"a geographic code is a datum's", ListRole::kDatum, "4277", {kOsgb1936 + 1}, {""}},
      {"not a projection's", ListRole::kProjection, "4277", {}, {}},
      {"a transformation's code", ListRole::kDatum, "1314", {kOsgb1936 + 1}, {""}},
      {"an ellipsoid's own code", ListRole::kEllipsoid, "7008", {2}, {""}},
      {"a datum's area", ListRole::kDatum, "netherlands", {kAmersfoort + 1}, {""}},
      {"no match", ListRole::kProjection, "zzz", {}, {}},
      {"an unknown code", ListRole::kProjection, "99999", {}, {}},
      {"no words: every entry", ListRole::kEllipsoid, " ", {1, 2, 3, 4}, {"", "", "", ""}},
  };
  for (const FindCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<int32_t> positions;
    std::vector<std::string> units;
    for (const FoundEntry& entry : FindEntries(c.role, c.text)) {
      positions.push_back(entry.position);
      units.push_back(entry.unit);
    }
    EXPECT_EQ(positions, c.positions);
    EXPECT_EQ(units, c.units);
  }
}

// A name typed in full is the first match, before the others that hold its
// words, so that Return takes it.
TEST_F(SystemSearchTest, AWholeNameIsTheFirstMatch) {
  ProjectionRecord& last = ProgramCatalogues().Projection(9);
  const ProjectionRecord kept = last;
  SetFixedField(last.name, "Lambert");
  std::vector<int32_t> positions;
  for (const FoundEntry& entry : FindEntries(ListRole::kProjection, " LAMBERT ")) {
    positions.push_back(entry.position);
  }
  last = kept;
  EXPECT_EQ(positions, (std::vector<int32_t>{9, 5, 6, 7, 8}));
}

TEST_F(SystemSearchTest, TypingOpensTheMatchesAndAChosenMatchIsTheDropDownsChoice) {
  // The target side chosen from its drop-down, the start side by searching:
  // both must end the same.
  Choose(kTargetProjectionList, kTexasSouthCentral);
  Type(StartLatLon, kStartLatitudeBox, "1");
  Type(TargetLatLon, kTargetLatitudeBox, "stale");  // a result the choice must clear

  QTest::keyClicks(Combo(kStartProjectionList)->lineEdit(), "sou");
  ASSERT_NE(SystemSearchWindow(), nullptr);
  EXPECT_EQ(WindowText(SystemSearchWindow()), "Find a start projection");
  QTest::keyClicks(QApplication::focusWidget(), "th texas");  // the focus is in its words box
  EXPECT_EQ(WindowText(GetDlgItem(SystemSearchWindow(), kSearchWordsBox)), "south texas");
  ASSERT_EQ(Matches()->count(), 1);
  EXPECT_EQ(Matches()->item(0)->text().toStdString(), "NAD27 / Texas South Central");
  EXPECT_EQ(WindowText(GetDlgItem(SystemSearchWindow(), kSearchCountLabel)), "1 of 9 entries");

  const QPoint match = Matches()->visualItemRect(Matches()->item(0)).center();
  QTest::mouseClick(Matches()->viewport(), Qt::LeftButton, {}, match);
  QTest::mouseDClick(Matches()->viewport(), Qt::LeftButton, {}, match);
  EXPECT_EQ(SystemSearchWindow(), nullptr);
  EXPECT_EQ(Selection(kStartProjectionList), kTexasSouthCentral);
  EXPECT_EQ(Selection(kStartDatumList), Selection(kTargetDatumList));
  EXPECT_EQ(Selection(kStartEllipsoidList), Selection(kTargetEllipsoidList));
  EXPECT_EQ(TrimmedField(startSide.projection.name), TrimmedField(targetSide.projection.name));
  EXPECT_EQ(TrimmedField(startSide.datum.name), "NAD27 (Texas)");
  EXPECT_EQ(startSide.unitsAndFormats.lengthUnit, targetSide.unitsAndFormats.lengthUnit);
  EXPECT_EQ(startSide.unitsAndFormats.lengthUnit, 607);
  EXPECT_TRUE(IsWindowEnabled(Box(StartXY, kStartEastingBox)));
  EXPECT_EQ(Text(TargetLatLon, kTargetLatitudeBox), "");
  EXPECT_TRUE(seam.messageBoxes().empty());
}

TEST_F(SystemSearchTest, CtrlFOnAListSearchesItAndAFootVariantBringsItsUnit) {
  MSG idle{window, WM_NULL, 0, 0, 0, {0, 0}};
  TranslateAcceleratorA(window, MainWindowAccelerators(), &idle);  // as the loop does
  SetFocus(Control(kStartProjectionList));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
  ASSERT_NE(SystemSearchWindow(), nullptr);
  EXPECT_EQ(Matches()->count(), 9);  // no words yet: the whole list

  QTest::keyClicks(QApplication::focusWidget(), "28993");
  ASSERT_EQ(Matches()->count(), 1);
  EXPECT_EQ(Matches()->item(0)->text().toStdString(), "EPSG:28993 - Amersfoort / RD New (foot)");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(SystemSearchWindow(), nullptr);
  EXPECT_EQ(Selection(kStartProjectionList), kRdNew);
  EXPECT_EQ(startSide.unitsAndFormats.lengthUnit, 605);
  EXPECT_EQ(WindowText(Control(kStartGridUnitLabel)), "Easting, northing in international foot");
  EXPECT_EQ(GetFocus(), Control(kStartProjectionList));
}

TEST_F(SystemSearchTest, EscapeLeavesTheListOnItsSidesEntry) {
  Choose(kStartProjectionList, kBritishNationalGrid);
  QTest::keyClicks(Combo(kStartProjectionList)->lineEdit(), "zz");
  EXPECT_EQ(Selection(kStartProjectionList), CB_ERR);  // typing drops the selection
  ASSERT_NE(SystemSearchWindow(), nullptr);
  EXPECT_EQ(Matches()->count(), 0);
  EXPECT_EQ(WindowText(GetDlgItem(SystemSearchWindow(), kSearchCountLabel)),
            "No entry holds every word, and no entry has that EPSG code.");
  // One code left out: the reason.
  SetDlgItemTextA(SystemSearchWindow(), kSearchWordsBox, "EPSG:3857");
  EXPECT_EQ(WindowText(GetDlgItem(SystemSearchWindow(), kSearchCountLabel)),
            "EPSG:3857 WGS 84 / Pseudo-Mercator: its method is not computed");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);  // nothing to choose
  ASSERT_NE(SystemSearchWindow(), nullptr);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_EQ(SystemSearchWindow(), nullptr);
  EXPECT_EQ(Selection(kStartProjectionList), kBritishNationalGrid);
  EXPECT_EQ(WindowText(Control(kStartProjectionList)), "OSGB 1936 / British National Grid");
}

}  // namespace
