// The dialogs of the user's own ellipsoids, datums and projections, driven
// through the Data menu on the test catalogues.
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "fixed_text.h"
#include "grid_files.h"
#include "main_window_fixture.h"
#include "own_entries.h"
#include "ui_test_support.h"
#include "user_entries.h"

namespace {

constexpr double kArcSecond = 3.14159265358979323846 / 648000;

// One text, a choice by its index (a combo box's, as a user picks it; by its
// text with kByText) or a click (kClick).
struct Fill {
  int id;
  std::string text;
  int choice = -1;
};
constexpr int kClick = -2;
constexpr int kByText = -3;

class OwnEntriesTest : public MainWindowTest {
 protected:
  void SetUp() override {
    ::setenv("VARNEL_USER_DATA", Path("user").c_str(), 1);
    ProgramCatalogues().shippedEllipsoidCount = -1;  // as before start-up
    MainWindowTest::SetUp();
    LoadUserEntriesShowingProblem();
  }
  void TearDown() override {
    MainWindowTest::TearDown();
    ProgramCatalogues().shippedEllipsoidCount = -1;
    ::unsetenv("VARNEL_USER_DATA");
  }

  static void Apply(HWND dialog, const std::vector<Fill>& fills) {
    for (const Fill& fill : fills) {
      if (fill.choice == kClick) {
        ::Click(dialog, fill.id);
        continue;
      }
      if (fill.choice == -1) {
        SetDlgItemTextA(dialog, fill.id, fill.text.c_str());
        continue;
      }
      auto* combo = qobject_cast<QComboBox*>(platform_testing::Widget(GetDlgItem(dialog, fill.id)));
      ASSERT_NE(combo, nullptr) << fill.id;
      const int index = fill.choice != kByText
                            ? fill.choice
                            : static_cast<int>(SendDlgItemMessageA(
                                  dialog, fill.id, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                  reinterpret_cast<LPARAM>(fill.text.c_str())));
      ASSERT_GE(index, 0) << fill.text;
      combo->setCurrentIndex(index);
      emit combo->activated(index);
    }
  }
  // Opens the menu's dialog, fills it and presses OK; a dialog still open
  // after that is cancelled.
  void AddThrough(UINT menu, const std::vector<Fill>& fills) {
    WhenModalDialogRuns([fills](HWND dialog) {
      Apply(dialog, fills);
      ::Click(dialog, IDOK);
      if (IsWindow(dialog) && IsWindowVisible(dialog)) ::Click(dialog, IDCANCEL);
    });
    platform_testing::MenuAction(window, menu)->trigger();
  }
};

const std::vector<Fill> kGoodEllipsoid = {{kIdEntryName, "Test ellipsoid"},
                                          {kIdSemiMajorAxis, "6378137"},
                                          {kIdInverseFlattening, "298.257223563"}};
const std::vector<Fill> kGoodDatum = {{kIdEntryName, "Test datum"},
                                      {kIdAreaOfUse, "Here"},
                                      {kIdShiftMethod, "", 1},  // Position Vector
                                      {kIdFirstShiftParameter, "446.448"},
                                      {kIdFirstShiftParameter + 1, "-125.157"},
                                      {kIdFirstShiftParameter + 2, "542.06"},
                                      {kIdFirstShiftParameter + 3, "0.15"},
                                      {kIdFirstShiftParameter + 4, "0.247"},
                                      {kIdFirstShiftParameter + 5, "0.842"},
                                      {kIdFirstShiftParameter + 6, "-20.489"}};
// On OSGB 1936 (datum 0), the method it starts on: Transverse Mercator.
const std::vector<Fill> kGoodProjection = {{kIdEntryName, "Test grid"},
                                           {kIdProjectionDatum, "", 0},
                                           {kIdFirstMethodParameter, "49"},
                                           {kIdFirstMethodParameter + 1, "-2"},
                                           {kIdFirstMethodParameter + 2, "0.9996012717"},
                                           {kIdFirstMethodParameter + 3, "400000"},
                                           {kIdFirstMethodParameter + 4, "-100000"}};

std::vector<Fill> With(std::vector<Fill> fills, Fill changed) {
  fills.push_back(std::move(changed));
  return fills;
}

TEST_F(OwnEntriesTest, EachFaultyFieldIsToldOnceAndNothingIsStored) {
  const int lat = kIdFirstMethodParameter;
  const struct {
    UINT menu;
    std::vector<Fill> fills;
    const char* message;
  } cases[] = {
      {kMenuAddEllipsoid, With(kGoodEllipsoid, {kIdEntryName, "airy 1830"}),
       "The name \"airy 1830\" is taken by another ellipsoid; choose another."},
      {kMenuAddEllipsoid, With(kGoodEllipsoid, {kIdSemiMajorAxis, "6.5e6"}),
       "The semi-major axis a must be above 6200000 and below 6500000 metres."},
      {kMenuAddEllipsoid, With(kGoodEllipsoid, {kIdSemiMajorAxis, "6378,137"}),
       "The semi-major axis a must be a number such as 6378137; \"6378,137\" is none."},
      // 6378137 - 6378137 / 2
      {kMenuAddEllipsoid, With(kGoodEllipsoid, {kIdInverseFlattening, "2"}),
       "The inverse flattening 1/f gives a semi-minor axis b of 3189068.5 metres; b must be "
       "above 6200000 metres."},
      {kMenuAddDatum, With(kGoodDatum, {kIdFirstShiftParameter, "10000.5"}),
       "The X translation must be from -10000 to 10000 metres."},
      // 0.001 radians are 206.26480624... seconds of arc.
      {kMenuAddDatum, With(kGoodDatum, {kIdFirstShiftParameter + 4, "-206.265"}),
       "The Y rotation must be from -206.2648 to 206.2648 seconds of arc (0.001 radians)."},
      {kMenuAddDatum, With(kGoodDatum, {kIdFirstShiftParameter + 6, "1000.1"}),
       "The scale difference must be from -1000 to 1000 ppm."},
      {kMenuAddDatum, With(kGoodDatum, {kIdEntryName, "NAD27"}),
       "The name \"NAD27\" is part of the datum name \"NAD27 (Texas)\", so that a projection "
       "could not tell them apart; choose another."},
      {kMenuAddProjection, With(kGoodProjection, {kIdEntryName, "Grid; mine"}),
       "The name holds a \";\" or \"|\", which the catalogue files keep for themselves."},
      {kMenuAddProjection, With(kGoodProjection, {lat, "90.0000001"}),
       "The latitude of natural origin must be from -90 to 90 degrees."},
      {kMenuAddProjection, With(kGoodProjection, {lat, "49.6000000"}),
       "The latitude of natural origin must be an angle as DDD.MMSSsss (52.3015 is 52 degrees "
       "30 minutes 15 seconds; minutes and seconds below 60); \"49.6000000\" is none."},
      {kMenuAddProjection, With(kGoodProjection, {lat + 2, "0"}),
       "The scale factor at natural origin must be above 0 and at most 2."},
      // A conic with its one standard parallel on the equator is no cone.
      {kMenuAddProjection,
       With(With(kGoodProjection,
                 {kIdProjectionMethod, "Lambert Conic Conformal (1SP) (EPSG 9801)", kByText}),
            {lat, "0"}),
       "The parameters do not make a usable projection: its origin does not come back."},
  };
  for (const auto& c : cases) {
    seam.Clear();
    AddThrough(c.menu, c.fills);
    ASSERT_EQ(seam.messageBoxes().size(), 1u) << c.message;
    EXPECT_EQ(seam.messageBoxes()[0].text, c.message);
    EXPECT_EQ(ProgramCatalogues().ellipsoidCount, 4);
    EXPECT_EQ(ProgramCatalogues().datumCount, 4);
    EXPECT_EQ(ProgramCatalogues().projectionCount, 9);
  }
  EXPECT_FALSE(std::filesystem::exists(Path("user")));
}

TEST_F(OwnEntriesTest, AddedEntriesComeBackFromTheSavedFiles) {
  // Airy 1830 by a and 1/f (EPSG 7001: b = 6356256.909237285 m), a datum on
  // it with EPSG's OSGB36 to WGS 84 Helmert (1314), a grid on that datum.
  AddThrough(kMenuAddEllipsoid, {{kIdEntryName, "My Airy"},
                                 {kIdSemiMajorAxis, "6377563.396"},
                                 {kIdInverseFlattening, "299.3249646"}});
  AddThrough(kMenuAddDatum,
             With(With(kGoodDatum, {kIdDatumEllipsoid, "", 4}), {kIdToWgs72, "", kClick}));
  AddThrough(kMenuAddProjection, With(With(With(kGoodProjection, {kIdProjectionDatum, "", 4}),
                                           {kIdFirstMethodParameter, "49.3"}),
                                      {kIdFirstMethodParameter + 1, "-2.1515"}));
  EXPECT_TRUE(seam.messageBoxes().empty());
  // The start side's lists went to each new entry in turn.
  EXPECT_EQ(Selection(kStartProjectionList), 9);
  EXPECT_EQ(Selection(kStartDatumList), 4);
  EXPECT_EQ(Selection(kStartEllipsoidList), 4);
  EXPECT_EQ(WindowText(Control(kStartProjectionList)), "Test grid (my own)");

  auto again = std::make_unique<Catalogues>();
  int32_t loaded = 0;
  LoadCatalogues(*again, loaded);
  std::string problem;
  ASSERT_TRUE(LoadUserEntries(*again, Path("user"), problem)) << problem;
  const EllipsoidRecord& e = again->Ellipsoid(5);
  EXPECT_EQ(TrimmedField(e.name), "My Airy");
  EXPECT_EQ(+e.semiMajorAxis, 6377563.396);
  EXPECT_NEAR(+e.semiMinorAxis, 6356256.909237285, 1e-8);
  const DatumRecord& d = again->Datum(5);
  EXPECT_EQ(TrimmedField(d.ellipsoidName), "My Airy");
  EXPECT_EQ(+d.ellipsoidIndex, 5);
  EXPECT_EQ(+d.methodCode, kPositionVector);
  EXPECT_EQ(+d.toCrsCode, kCrsWgs72);
  EXPECT_EQ(+d.translationY, -125.157);
  EXPECT_NEAR(+d.rotationX, 7.27220521664304e-7, 1e-20);  // 0.15 seconds of arc
  EXPECT_DOUBLE_EQ(+d.rotationZ, 0.842 * kArcSecond);
  EXPECT_DOUBLE_EQ(+d.scaleDifference, -20.489e-6);
  const ProjectionRecord& p = again->Projection(10);
  EXPECT_EQ(TrimmedField(p.datumName), "Test datum");
  EXPECT_EQ(+p.datumIndex, 5);
  EXPECT_EQ(+p.methodCode, kTransverseMercator);
  EXPECT_EQ(+p.latitudeOfOrigin, 49.5);
  EXPECT_DOUBLE_EQ(+p.centralMeridian, -(2 + 15.0 / 60 + 15.0 / 3600));
  EXPECT_EQ(+p.scaleFactor, 0.9996012717);
  EXPECT_EQ(+p.falseNorthing, -100000);
  EXPECT_EQ(+p.firstStandardParallel, 0);
}

// A grid datum: a file that is no grid is refused; a sound one is copied
// into the user's folder, where grids are looked for, and the record names
// it and the ellipsoid of its datum.
TEST_F(OwnEntriesTest, AGridDatumKeepsACopyOfItsSoundGrid) {
  const std::vector<Fill> site = {{kIdEntryName, "Site datum"},
                                  {kIdAreaOfUse, "The site"},
                                  {kIdShiftMethod, "NTv2 grid (EPSG 9615)", kByText},
                                  {kIdGridFile, Path("SITE.gsb")},
                                  {kIdGridEllipsoid, "WGS 84", kByText}};
  WriteFile(Path("SITE.gsb"), "no grid");
  AddThrough(kMenuAddDatum, site);
  ASSERT_EQ(seam.messageBoxes().size(), 1u);
  EXPECT_EQ(seam.messageBoxes()[0].text.rfind(
                "The grid file " + Path("SITE.gsb") + " is no usable grid: ", 0),
            0u)
      << seam.messageBoxes()[0].text;
  EXPECT_EQ(ProgramCatalogues().datumCount, 4);

  const std::string grid = ReadFile("/usr/share/proj/BETA2007.gsb");
  WriteFile(Path("SITE.gsb"), grid);
  AddThrough(kMenuAddDatum, site);
  ASSERT_EQ(ProgramCatalogues().datumCount, 5);
  EXPECT_EQ(ReadFile(Path("user/SITE.gsb")), grid);
  const DatumRecord& d = ProgramCatalogues().Datum(5);
  EXPECT_EQ(+d.methodCode, kNtv2);
  EXPECT_EQ(TrimmedField(d.areaOfUse).rfind("SITE.gsb|WGS 84|", 0), 0u)
      << TrimmedField(d.areaOfUse);
  EXPECT_EQ(AreaOfUseText(d), "The site");
}

// A datum renamed through "Change..." takes its projections along: they
// still find it, also after the files are read again.
TEST_F(OwnEntriesTest, ARenamedDatumKeepsItsProjections) {
  AddThrough(kMenuAddDatum, kGoodDatum);
  AddThrough(kMenuAddProjection, With(kGoodProjection, {kIdProjectionDatum, "", 4}));
  WhenModalDialogRuns([](HWND list) {
    SendDlgItemMessageA(list, kIdMyEntryList, LB_SETCURSEL, 0, 0);  // the datum
    WhenModalDialogRuns([](HWND dialog) {
      SetDlgItemTextA(dialog, kIdEntryName, "Renamed datum");
      ::Click(dialog, IDOK);
    });
    ::Click(list, kIdChangeEntry);
    ::Click(list, IDCANCEL);
  });
  platform_testing::MenuAction(window, kMenuEditMyEntries)->trigger();
  EXPECT_TRUE(seam.messageBoxes().empty());
  auto again = std::make_unique<Catalogues>();
  int32_t loaded = 0;
  LoadCatalogues(*again, loaded);
  std::string problem;
  ASSERT_TRUE(LoadUserEntries(*again, Path("user"), problem)) << problem;
  EXPECT_EQ(TrimmedField(again->Datum(5).name), "Renamed datum");
  EXPECT_EQ(TrimmedField(again->Projection(10).datumName), "Renamed datum");
  EXPECT_EQ(+again->Projection(10).datumIndex, 5);
}

TEST_F(OwnEntriesTest, ADatumInUseIsNotRemovedAndAFreeProjectionIs) {
  AddThrough(kMenuAddDatum, kGoodDatum);
  AddThrough(kMenuAddProjection, With(kGoodProjection, {kIdProjectionDatum, "", 4}));
  ASSERT_EQ(ProgramCatalogues().projectionCount, 10);
  seam.AnswerMessageBox(IDYES);  // the question before the projection goes
  WhenModalDialogRuns([](HWND dialog) {
    SendDlgItemMessageA(dialog, kIdMyEntryList, LB_SETCURSEL, 0, 0);  // the datum
    ::Click(dialog, kIdRemoveEntry);
    SendDlgItemMessageA(dialog, kIdMyEntryList, LB_SETCURSEL, 1, 0);  // the projection
    ::Click(dialog, kIdRemoveEntry);
    ::Click(dialog, IDCANCEL);
  });
  platform_testing::MenuAction(window, kMenuEditMyEntries)->trigger();
  ASSERT_EQ(seam.messageBoxes().size(), 2u);
  EXPECT_EQ(seam.messageBoxes()[0].text,
            "The datum \"Test datum\" cannot be removed; it is used by your projections: Test "
            "grid. Change or remove them first.");
  EXPECT_EQ(seam.messageBoxes()[1].caption, "Please confirm.");
  EXPECT_EQ(ProgramCatalogues().datumCount, 5);
  EXPECT_EQ(ProgramCatalogues().projectionCount, 9);
  // The start side had it chosen: it is back on "none".
  EXPECT_EQ(Selection(kStartProjectionList), 0);
  std::ifstream saved(Path("user/my-projct.txt"));
  std::string count;
  std::getline(saved, count);
  EXPECT_EQ(count, "0\r");
}

}  // namespace
