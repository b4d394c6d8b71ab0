// The main window's commands from its widgets: transforming a typed point and
// a list file, the CRS information, the units buttons, Browse, the menu.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "fixed_text.h"
#include "main_window_fixture.h"
#include "ui_test_support.h"
#include "units_dialog.h"

namespace {

using platform_testing::MessageBoxRecord;

struct Entry {
  PageId page;
  int box;
  const char* text;
};

class CommandsTest : public MainWindowTest {
 protected:
  // Clicks options of the units dialog of one side, then "&Accept".
  void SetUnits(int unitsButton, std::vector<int> options) {
    if (options.empty()) return;
    WhenModalDialogRuns([options](HWND dialog) {
      for (int option : options) ::Click(dialog, option);
      ::Click(dialog, kIdAccept);
    });
    Click(Control(unitsButton));
  }
  // Empties the start boxes that can be typed into.
  void ClearStartBoxes() {
    const Entry boxes[] = {{StartXY, kStartEastingBox, ""},
                           {StartXY, kStartNorthingBox, ""},
                           {StartLatLon, kStartLatitudeBox, ""},
                           {StartLatLon, kStartLongitudeBox, ""},
                           {StartLatLon, kStartHeightBox, ""}};
    for (const Entry& e : boxes) {
      if (IsWindowEnabled(Box(e.page, e.box))) Type(e.page, e.box, "");
    }
  }
  void Transform() { Click(Control(kTransformButton)); }
  std::vector<std::string> Shown() const {
    std::vector<std::string> texts;
    for (const MessageBoxRecord& box : seam.messageBoxes()) texts.push_back(box.text);
    return texts;
  }
};

// ------------------------------------------------------------ point mode

struct PointCase {
  const char* what;
  int startProjection, startDatum, targetProjection, targetDatum;
  std::vector<int> startOptions, targetOptions;  // clicked in the units dialogs
  std::vector<Entry> typed;
  std::vector<Entry> expected;
  double latitude, longitude;  // checked to 1e-7 degrees when the target is decimal
};

TEST_F(CommandsTest, ATypedPointIsTransformedIntoTheTargetBoxes) {
  // EPSG Guidance Note 7-2: 50 30 N, 0 30 E on the British National Grid is
  // 577274.99, 69740.50; the series the library follows gives 577274.984,
  // 69740.492 (evaluated independently). NAD27 / Texas South Central: 28 30 N,
  // 96 W is 2963503.91, 254759.80 US survey feet (903277.798, 77650.942 m).
  const PointCase cases[] = {
      {"geographic DMS to grid in metres",
       kNone,
       kOsgb1936,
       kBritishNationalGrid,
       kOsgb1936,
       {},
       {},
       {{StartLatLon, 808, "50.3"}, {StartLatLon, 807, "0.3"}},
       {{TargetXY, 805, " 577274.98"},
        {TargetXY, 806, " 69740.49"},
        {TargetLatLon, 810, "50.3000000"},
        {TargetLatLon, 811, "0.3000000"},
        {TargetLatLon, 812, " 0"}},
       0,
       0},
      {"grid in metres to geographic DMS",
       kBritishNationalGrid,
       kOsgb1936,
       kNone,
       kOsgb1936,
       {},
       {},
       {{StartXY, 801, "577274.99"}, {StartXY, 802, " 69740.50 "}},
       {{StartLatLon, 808, "50.3000000"},
        {StartLatLon, 807, "0.3000000"},
        {StartLatLon, 809, "0.0"},
        {TargetLatLon, 810, "50.3000000"},
        {TargetLatLon, 811, "0.3000000"},
        {TargetLatLon, 812, " 0"}},
       0,
       0},
      {"geographic DMS to grid in US feet",
       kNone,
       kNad27,
       kTexasSouthCentral,
       kNad27,
       {},
       {607},
       {{StartLatLon, 808, "28.3"}, {StartLatLon, 807, "-96"}},
       {{TargetXY, 805, " 2963503.91"}, {TargetXY, 806, " 254759.8"}},
       0,
       0},
      {"grid in metres to decimal degrees",
       kTexasSouthCentral,
       kNad27,
       kNone,
       kNad27,
       {},
       {602},
       {{StartXY, 801, "903277.798"}, {StartXY, 802, "77650.942"}},
       {{StartLatLon, 808, "28.3000000"}, {StartLatLon, 807, "-96.0000000"}},
       28.5,
       -96},
      {"grid in US feet to decimal degrees",
       kTexasSouthCentral,
       kNad27,
       kNone,
       kNad27,
       {607},
       {602},
       {{StartXY, 801, "2963503.91"}, {StartXY, 802, "254759.80"}},
       {{TargetLatLon, 812, " 0"}},
       28.5,
       -96},
  };
  for (const PointCase& c : cases) {
    SCOPED_TRACE(c.what);
    startSide.unitsAndFormats = targetSide.unitsAndFormats = DefaultUnitsAndFormats();
    ChooseSystems(c.startProjection, c.startDatum, c.targetProjection, c.targetDatum);
    SetUnits(kStartUnitsButton, c.startOptions);
    SetUnits(kTargetUnitsButton, c.targetOptions);
    ClearStartBoxes();
    for (const Entry& e : c.typed) Type(e.page, e.box, e.text);
    seam.Clear();
    Transform();
    EXPECT_EQ(Shown(), std::vector<std::string>{});
    for (const Entry& e : c.expected) EXPECT_EQ(Text(e.page, e.box), e.text) << e.box;
    if (c.latitude != 0) {
      EXPECT_NEAR(std::stod(Text(TargetLatLon, kTargetLatitudeBox)), c.latitude, 1e-7);
      EXPECT_NEAR(std::stod(Text(TargetLatLon, kTargetLongitudeBox)), c.longitude, 1e-7);
    }
  }
}

struct MessageCase {
  const char* what;
  int startProjection;
  int droppedList;  // typed into, which drops its selection; 0 for none
  std::vector<Entry> typed;
  const char* message;
  const char* icon;
};

TEST_F(CommandsTest, EveryMessageOfThePointChainReachesTheUser) {
  const char* const warning = "warning";
  const MessageCase cases[] = {
      {"start projection",
       kNone,
       kStartProjectionList,
       {},
       "Please select a start projection first.",
       warning},
      {"start datum", kNone, kStartDatumList, {}, "Please select a start datum first.", warning},
      {"start ellipsoid",
       kNone,
       kStartEllipsoidList,
       {},
       "Please select a start ellipsoid first.",
       warning},
      {"target projection",
       kNone,
       kTargetProjectionList,
       {},
       "Please select a target projection first.",
       warning},
      {"target datum", kNone, kTargetDatumList, {}, "Please select a target datum first.", warning},
      {"target ellipsoid",
       kNone,
       kTargetEllipsoidList,
       {},
       "Please select a target ellipsoid first.",
       warning},
      {"no easting", kBritishNationalGrid, 0, {}, "Please select a start easting first.", warning},
      {"decimal comma",
       kBritishNationalGrid,
       0,
       {{StartXY, 801, "577274,99"}, {StartXY, 802, "1"}},
       "Bad character in numeric field.",
       warning},
      {"no northing",
       kBritishNationalGrid,
       0,
       {{StartXY, 801, "577274.99"}},
       "Please select a start northing first.",
       warning},
      {"no latitude",
       kNone,
       0,
       {{StartLatLon, 807, "1"}},
       "Please select a start latitude first.",
       warning},
      {"pole",
       kNone,
       0,
       {{StartLatLon, 808, "-90"}},
       "Program does not work for latitude +/- 90 degrees",
       "critical"},
      {"beyond the pole",
       kNone,
       0,
       {{StartLatLon, 808, "91"}},
       "Latitude input error! Latitude > 90 degrees!",
       warning},
      {"61 minutes",
       kNone,
       0,
       {{StartLatLon, 808, "12.61"}},
       "Latitude input error! DMS selected - but minutes or seconds > 60!",
       warning},
      {"no longitude",
       kNone,
       0,
       {{StartLatLon, 808, "51"}},
       "Please select a start longitude first.",
       warning},
      {"bad height",
       kNone,
       0,
       {{StartLatLon, 808, "51"}, {StartLatLon, 807, "1"}, {StartLatLon, 809, "1O"}},
       "Bad character in numeric field.",
       warning},
      {"parallel order",
       kLambertWrongOrder,
       0,
       {{StartXY, 801, "500000"}, {StartXY, 802, "100000"}},
       "Error - First and Second Parallel in wrong order !",
       "none"},
      {"parallel hemispheres",
       kLambertHemispheres,
       0,
       {{StartXY, 801, "500000"}, {StartXY, 802, "100000"}},
       "Error - First and Second Parallel not in same hemisphere !",
       "none"},
      {"equal parallels",
       kLambertEqual,
       0,
       {{StartXY, 801, "500000"}, {StartXY, 802, "100000"}},
       "Error - First and Second Parallel are equal !",
       "none"},
      {"base parallel",
       kLambertBaseHemisphere,
       0,
       {{StartXY, 801, "500000"}, {StartXY, 802, "100000"}},
       "Baseparallel and First Parallel not in same hemisphere !",
       "none"},
  };
  for (const MessageCase& c : cases) {
    SCOPED_TRACE(c.what);
    ChooseSystems(c.startProjection, kNad27, kBritishNationalGrid, kOsgb1936);
    ClearStartBoxes();
    Type(TargetXY, kTargetEastingBox, "");
    if (c.droppedList != 0) {
      auto* combo = qobject_cast<QComboBox*>(platform_testing::Widget(Control(c.droppedList)));
      QTest::keyClicks(combo->lineEdit(), "x");
    }
    for (const Entry& e : c.typed) Type(e.page, e.box, e.text);
    seam.Clear();
    Transform();
    ASSERT_EQ(seam.messageBoxes().size(), 1u);
    const MessageBoxRecord& box = seam.messageBoxes()[0];
    EXPECT_EQ(box.text, c.message);
    EXPECT_EQ(box.icon, c.icon);
    EXPECT_EQ(box.owner, nullptr);
    if (std::string(c.icon) == "none") {
      // The parallel messages bring neither caption nor icon of their own.
      EXPECT_TRUE(box.defaultCaption);
      EXPECT_EQ(box.caption, "Varnel");
    } else {
      EXPECT_EQ(box.caption, "Warning !");
      EXPECT_EQ(box.modality, "application");
    }
    EXPECT_EQ(Text(TargetXY, kTargetEastingBox), "");  // no result after a failed check
  }
}

TEST_F(CommandsTest, TheKeyboardAloneChoosesTypesAndTransforms) {
  auto press = [](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
  };
  auto tabTo = [&](HWND control) {
    for (int presses = 0; presses < 60 && GetFocus() != control; ++presses) press(Qt::Key_Tab);
    ASSERT_EQ(GetFocus(), control);
  };
  SetFocus(Control(kStartProjectionList));
  press(Qt::Key_Down);  // the entry after "none"
  tabTo(Control(kTargetProjectionList));
  press(Qt::Key_Down);
  EXPECT_EQ(Selection(kStartDatumList), kOsgb1936);
  EXPECT_EQ(Selection(kTargetDatumList), kOsgb1936);

  // One round of the tab order: the usable boxes of the shown pages only.
  std::vector<HWND> visited;
  for (int presses = 0; presses < 60; ++presses) {
    press(Qt::Key_Tab);
    visited.push_back(GetFocus());
  }
  auto reached = [&](PageId page, int id) {
    return std::find(visited.begin(), visited.end(), Box(page, id)) != visited.end();
  };
  EXPECT_TRUE(reached(StartXY, kStartEastingBox));
  EXPECT_TRUE(reached(TargetXY, kTargetNorthingBox));
  EXPECT_FALSE(reached(StartLatLon, kStartLatitudeBox));   // disabled
  EXPECT_TRUE(reached(TargetLatLon, kTargetLatitudeBox));  // read-only, to copy from
  EXPECT_FALSE(reached(StartSysList, kStartSysListBox));   // on a hidden page

  tabTo(Box(StartXY, kStartEastingBox));
  QTest::keyClicks(QApplication::focusWidget(), "577274.99");
  press(Qt::Key_Tab);
  QTest::keyClicks(QApplication::focusWidget(), "69740.50");
  // Alt+T would reach "&Target Units and Formats..." first, which shares the letter.
  tabTo(Control(kTransformButton));
  press(Qt::Key_Return);
  EXPECT_TRUE(seam.messageBoxes().empty());
  // Back and forth on one datum: the typed point again.
  EXPECT_EQ(Text(TargetXY, kTargetEastingBox), " 577274.99");
  EXPECT_EQ(Text(TargetXY, kTargetNorthingBox), " 69740.5");
  EXPECT_EQ(Text(StartLatLon, kStartLatitudeBox), "50.3000000");
}

TEST_F(CommandsTest, EnterInATypedBoxTransforms) {
  ChooseSystems(kNone, kOsgb1936, kBritishNationalGrid, kOsgb1936);
  Type(StartLatLon, kStartLatitudeBox, "50.3");
  Type(StartLatLon, kStartLongitudeBox, "0.3");
  QTest::keyClick(platform_testing::Widget(Box(StartLatLon, kStartLongitudeBox)), Qt::Key_Return);
  EXPECT_TRUE(seam.messageBoxes().empty());
  EXPECT_EQ(Text(TargetXY, kTargetEastingBox), " 577274.98");
}

TEST_F(CommandsTest, TargetResultsGoWhenWhatTheyWereComputedForChanges) {
  const std::pair<const char*, std::function<void()>> changes[] = {
      {"start datum", [this] { Choose(kStartDatumList, kWgs84); }},
      {"target projection", [this] { Choose(kTargetProjectionList, kRdNew); }},
      {"target ellipsoid", [this] { Choose(kTargetEllipsoidList, 2); }},
      {"start length unit", [this] { SetUnits(kStartUnitsButton, {605}); }},
      {"target angle format", [this] { SetUnits(kTargetUnitsButton, {kIdAngleDecimal}); }},
      {"a failed check",
       [this] {
         Type(StartLatLon, kStartLatitudeBox, "");
         Transform();
       }},
  };
  for (const auto& [what, change] : changes) {
    SCOPED_TRACE(what);
    startSide.unitsAndFormats = targetSide.unitsAndFormats = DefaultUnitsAndFormats();
    ChooseSystems(kNone, kOsgb1936, kBritishNationalGrid, kOsgb1936);
    Type(StartLatLon, kStartLatitudeBox, "50.3");
    Type(StartLatLon, kStartLongitudeBox, "0.3");
    Transform();
    ASSERT_EQ(Text(TargetXY, kTargetEastingBox), " 577274.98");
    change();
    for (const auto& [page, box] : {std::pair{TargetXY, kTargetEastingBox},
                                    {TargetXY, kTargetNorthingBox},
                                    {TargetLatLon, kTargetLatitudeBox},
                                    {TargetLatLon, kTargetLongitudeBox},
                                    {TargetLatLon, kTargetHeightBox}}) {
      EXPECT_EQ(Text(page, box), "") << box;
    }
  }
}

TEST_F(CommandsTest, CopyResultsPutsBothSidesWithTheirUnitsOnTheClipboard) {
  ChooseSystems(kNone, kOsgb1936, kBritishNationalGrid, kOsgb1936);
  SetUnits(kTargetUnitsButton, {605, kIdAngleDecimal});
  Type(StartLatLon, kStartLatitudeBox, "50.3");
  Type(StartLatLon, kStartLongitudeBox, "0.3");
  Transform();
  const QString expected =
      "Start system: none\n"
      "Start datum: OSGB 1936\n"
      "Start ellipsoid: Airy 1830\n"
      "Start latitude (degrees-minutes-seconds DDD.MMSSsss): 50.3\n"
      "Start longitude (degrees-minutes-seconds DDD.MMSSsss): 0.3\n"
      "Start height above ellipsoid (metre):\n"
      "Target system: OSGB 1936 / British National Grid\n"
      "Target datum: OSGB 1936\n"
      "Target ellipsoid: Airy 1830\n"
      // 577274.984 m and 69740.492 m (the series' values, as above) in feet of 0.3048 m.
      "Target easting (international foot): 1893946.8\n"
      "Target northing (international foot): 228807.39\n"
      "Target latitude (decimal degrees DDD.dddddd): 50.5\n"
      "Target longitude (decimal degrees DDD.dddddd): .5\n"
      "Target height above ellipsoid (metre): 0\n";
  QApplication::clipboard()->clear();
  platform_testing::MenuAction(window, kMenuCopyResults)->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), expected);

  // Ctrl+Shift+C anywhere in the window, once the loop has the table.
  QApplication::clipboard()->clear();
  MSG idle{window, WM_NULL, 0, 0, 0, {0, 0}};
  TranslateAcceleratorA(window, MainWindowAccelerators(), &idle);
  QTest::keyClick(platform_testing::Widget(Box(StartLatLon, kStartLatitudeBox)), Qt::Key_C,
                  Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), expected);
  EXPECT_TRUE(seam.messageBoxes().empty());
}

// ------------------------------------------------------------ list mode

TEST_F(CommandsTest, AListFileIsTransformedAndItsOutputsAskedAboutOnlyAfterCompletion) {
  ChooseSystems(kNone, kOsgb1936, kBritishNationalGrid, kOsgb1936);
  std::ofstream("points.txt", std::ios::binary)
      << "# two points\r\n50.3 0.3 0\r\n\r\n50.3;0.3, 10\r\n";
  std::ofstream("bad.txt", std::ios::binary) << "50.3 0.3\r\n";
  ClickTab(kStartGeographicTabs, kListModeTab);
  Type(StartSysList, kStartSysListBox, "points.txt");
  Type(TargetProjList, kTargetProjListBox, "grid.txt");
  Type(TargetSysList, kTargetSysListBox, "geo.txt");
  Transform();
  ASSERT_EQ(Shown(), std::vector<std::string>{"Transformation completed."});
  EXPECT_EQ(seam.messageBoxes()[0].caption, "Information.");
  EXPECT_EQ(seam.messageBoxes()[0].icon, "information");
  const std::string grid = "# two points\r\n577274.98\t69740.49\r\n\r\n577274.98\t69740.49\r\n";
  EXPECT_EQ(ReadFile("grid.txt"), grid);
  EXPECT_EQ(ReadFile("geo.txt"),
            "# two points\r\n50.3000000\t0.3000000\t0\r\n\r\n50.3000000\t0.3000000\t10\r\n");
  EXPECT_EQ(startSysListFile, "points.txt");

  // A completed run forgets its outputs: the same names are asked about.
  const std::string question = "File grid.txt exists. Do you want to overwrite ?";
  seam.Clear();
  seam.AnswerMessageBox(IDNO);
  Transform();
  EXPECT_EQ(Shown(), std::vector<std::string>{question});
  EXPECT_EQ(seam.messageBoxes()[0].caption, "Please confirm.");
  EXPECT_EQ(ReadFile("grid.txt"), grid);

  // A run that ends early keeps them: the next one replaces them unasked.
  const std::string format =
      "Illegal format! Format should be 'Latitude' 'Longitude' 'Height'. (comment lines start "
      "with #)\nLine 1 of bad.txt";
  Type(StartSysList, kStartSysListBox, "bad.txt");
  seam.Clear();
  seam.AnswerMessageBox(IDYES);
  seam.AnswerMessageBox(IDYES);
  Transform();
  EXPECT_EQ(Shown(), (std::vector<std::string>{
                         question, "File geo.txt exists. Do you want to overwrite ?", format}));
  seam.Clear();
  Transform();
  EXPECT_EQ(Shown(), std::vector<std::string>{format});
  EXPECT_EQ(startSysListFile, "bad.txt");
}

// ------------------------------------------------------------ Browse

struct BrowseCase {
  int startProjection;  // the start pages are usable with a grid or a geographic start
  PageId page;
  int button;
  int box;
  bool save;
  const char* initialName;
  std::string* listFile;
};

TEST_F(CommandsTest, BrowseNamesTheListFileOfItsPage) {
  ClickTab(kStartGridTabs, kListModeTab);
  std::ofstream(Path("list file.txt "), std::ios::binary) << "";
  const BrowseCase cases[] = {
      {kBritishNationalGrid, StartProjList, kStartProjBrowse, kStartProjListBox, false, "*.*",
       &startProjListFile},
      {kBritishNationalGrid, TargetProjList, kTargetProjBrowse, kTargetProjListBox, true, "*",
       &targetProjListFile},
      {kNone, StartSysList, kStartSysBrowse, kStartSysListBox, false, "*.*", &startSysListFile},
      {kNone, TargetSysList, kTargetSysBrowse, kTargetSysListBox, true, "*", &targetSysListFile},
  };
  for (const BrowseCase& c : cases) {
    SCOPED_TRACE(WindowText(PageWindow(c.page)));
    ChooseSystems(c.startProjection, kOsgb1936, kBritishNationalGrid, kOsgb1936);
    seam.Clear();
    seam.CancelChooser();
    Click(Box(c.page, c.button));
    ASSERT_EQ(seam.choosers().size(), 1u);
    EXPECT_EQ(seam.choosers()[0].save, c.save);
    EXPECT_EQ(seam.choosers()[0].initialName, c.initialName);
    EXPECT_EQ(*c.listFile, "");
    EXPECT_EQ(Text(c.page, c.box), "");

    // Chosen by the keyboard: Enter on the focused button.
    seam.AnswerChooser(Path("list file.txt "));
    SetFocus(Box(c.page, c.button));
    QTest::keyClick(platform_testing::Widget(Box(c.page, c.button)), Qt::Key_Return);
    ASSERT_EQ(seam.choosers().size(), 2u);
    const std::string chosen = *c.listFile;
    EXPECT_NE(chosen.find("list file.txt"), std::string::npos) << chosen;
    EXPECT_EQ(chosen.back(), ' ');  // kept as the chooser gave it
    EXPECT_EQ(Text(c.page, c.box), std::string(TrimBlanks(chosen)));
  }
}

// ------------------------------------------------------------ reports and menu

TEST_F(CommandsTest, CrsInformationNamesItsSide) {
  SetFixedField(ProgramCatalogues().Datum(kWgs84 + 1).areaOfUse, "World @ sea");
  ChooseSystems(kBritishNationalGrid, kOsgb1936, kNone, kWgs84);
  Click(Control(kStartInfoButton));
  Click(Control(kTargetInfoButton));
  ASSERT_EQ(seam.messageBoxes().size(), 2u);
  const std::string start = seam.messageBoxes()[0].text;
  const std::string target = seam.messageBoxes()[1].text;
  EXPECT_EQ(start.rfind("Start-Projection\r===============\r\r"
                        "Name:\t\tOSGB 1936 / British National Grid\r\r"
                        "Method:\t\tTansverse Mercator\r\r",
                        0),
            0u);
  EXPECT_NE(start.find("\rStart-Datum: \r===============\r\rName:\t\tOSGB 1936\r"),
            std::string::npos);
  EXPECT_NE(start.find("\rStart-Ellipsoid:\r===============\r\rName:\t\tAiry 1830\r\r"),
            std::string::npos);
  EXPECT_EQ(
      target.rfind("Target-Projection\r===============\r\rName:\t\tnone\r\rTarget-Datum: \r", 0),
      0u);
  EXPECT_NE(target.find("Area:\t\tWorld Target sea\r"), std::string::npos);
  for (const MessageBoxRecord& box : seam.messageBoxes()) {
    EXPECT_EQ(box.text.find('@'), std::string::npos);
    EXPECT_EQ(box.caption, "Information");
    EXPECT_EQ(box.icon, "information");
    EXPECT_EQ(box.modality, "application");
    EXPECT_EQ(box.owner, nullptr);
  }
}

TEST_F(CommandsTest, TheUnitsButtonsOpenTheDialogForTheirSide) {
  SetUnits(kStartUnitsButton, {605});
  EXPECT_EQ(startSide.unitsAndFormats.lengthUnit, 605);
  EXPECT_EQ(startSide.unitsAndFormats.lengthFactor, 0.3048);
  EXPECT_EQ(targetSide.unitsAndFormats.lengthUnit, 603);
  SetUnits(kTargetUnitsButton, {kIdAngleDecimal});
  EXPECT_EQ(targetSide.unitsAndFormats.angleFormat, kAngleFormatDecimal);
  EXPECT_EQ(startSide.unitsAndFormats.angleFormat, kAngleFormatDms);
  EXPECT_TRUE(seam.messageBoxes().empty());
}

TEST_F(CommandsTest, HelpFromButtonAndMenuAboutFromTheMenu) {
  const std::string missing = "Knowing your latitude and longitude.pdf not found.";
  Click(Control(kHelpButton));
  platform_testing::MenuAction(window, kMenuHelp)->trigger();
  ASSERT_EQ(seam.messageBoxes().size(), 2u);
  for (const MessageBoxRecord& box : seam.messageBoxes()) {
    EXPECT_EQ(box.text.rfind("File ", 0), 0u);
    EXPECT_EQ(box.text.substr(box.text.size() - missing.size()), missing);
    EXPECT_EQ(box.caption, "Warning !");
  }
  std::ofstream("Knowing your latitude and longitude.pdf") << "%PDF";
  Click(Control(kHelpButton));
  EXPECT_EQ(seam.shellExecutes().size(), 1u);

  seam.Clear();
  platform_testing::MenuAction(window, kMenuAbout)->trigger();
  ASSERT_EQ(seam.messageBoxes().size(), 1u);
  // The version of the running program, whatever folder it started in.
  EXPECT_EQ(seam.messageBoxes()[0].text.rfind("Varnel Version 3.0.2 (former Ostrak)", 0), 0u);
  EXPECT_EQ(seam.messageBoxes()[0].caption, "Information");
}

TEST_F(CommandsTest, ButtonsActOnClicksAndTheirKeyboardCodeTransformAndMenusOnAny) {
  const int otherCode = 5;
  const std::pair<int, size_t> commands[] = {
      {kStartInfoButton, 0},  {kTargetInfoButton, 0},  {kHelpButton, 0},      {kMenuHelp, 0},
      {kStartUnitsButton, 0}, {kTargetUnitsButton, 0}, {kTransformButton, 1}, {kMenuAbout, 1},
  };
  for (const auto& [id, boxes] : commands) {
    seam.Clear();
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, otherCode), 0);
    EXPECT_EQ(seam.messageBoxes().size(), boxes) << id;
  }
  seam.Clear();
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(kStartInfoButton, 1), 0);  // an accelerator
  EXPECT_EQ(seam.messageBoxes().size(), 1u);
}

}  // namespace
