// The main window through its widgets: start-up, layout, the selection lists
// and the fields they enable, the mode tabs, focus keeping and ending.
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include <commctrl.h>

#include "fixed_text.h"
#include "main_window_fixture.h"
#include "units.h"

namespace {

// ------------------------------------------------------------------ start-up

// Counts the top-level windows that are shown.
class ShownWindows : public QObject {
 public:
  ShownWindows() { qApp->installEventFilter(this); }
  ~ShownWindows() override { qApp->removeEventFilter(this); }
  int count = 0;

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() == QEvent::Show && object->isWidgetType() &&
        static_cast<QWidget*>(object)->isWindow()) {
      ++count;
    }
    return false;
  }
};

// Runs act from inside WinMain's loop once the window is up with its pages.
// The returned flag stops the polling once WinMain has returned. The pending
// timer owns the poll, which refers to itself only weakly: nothing is left
// once the polling stops.
std::shared_ptr<bool> WhenProgramRuns(std::function<void()> act) {
  auto finished = std::make_shared<bool>(false);
  auto poll = std::make_shared<std::function<void(int)>>();
  *poll = [act, finished, self = std::weak_ptr(poll)](int triesLeft) {
    if (*finished) return;
    const HWND page = PageWindow(StartXY);
    if (IsWindow(mainWindow) && IsWindowVisible(mainWindow) && GetParent(page) == mainWindow) {
      *finished = true;
      act();
      return;
    }
    if (triesLeft == 0) {
      ADD_FAILURE() << "the main window did not come up";
      *finished = true;
      DestroyWindow(mainWindow);
      return;
    }
    QTimer::singleShot(5, [poll = self.lock(), triesLeft] { (*poll)(triesLeft - 1); });
  };
  QTimer::singleShot(0, [poll] { (*poll)(2000); });
  return finished;
}

using StartUpTest = InTempFolder;

TEST_F(StartUpTest, AMissingCatalogueFileShowsOnlyItsMessageAndNoWindow) {
  for (const char* missing : {kEllipsoidFile, kDatumFile, kProjectionFile}) {
    SCOPED_TRACE(missing);
    for (const char* name : {kEllipsoidFile, kDatumFile, kProjectionFile}) std::remove(name);
    WriteTestCatalogues(missing);
    seam.Clear();
    ShownWindows shown;
    EXPECT_NE(WinMain(nullptr, nullptr, nullptr, SW_SHOWDEFAULT), 0);
    EXPECT_EQ(shown.count, 0);
    ASSERT_EQ(seam.messageBoxes().size(), 1u);
    const platform_testing::MessageBoxRecord& box = seam.messageBoxes()[0];
    EXPECT_EQ(box.text, std::string("File '") + missing + "' not found! Program stops");
    EXPECT_EQ(box.caption, "Error !");
    EXPECT_EQ(box.icon, "critical");
    EXPECT_EQ(box.modality, "application");
    EXPECT_FALSE(IsWindow(mainWindow));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the arrow is back
  }
}

TEST_F(StartUpTest, TheProgramShowsItsWindowUntilExit) {
  WriteTestCatalogues();
  mainWindow = nullptr;
  pointMode = 0;
  PI = 3;
  const size_t controlsCallsBefore = platform_testing::CommonControlsCalls().size();
  bool shown = false;
  std::string caption;
  LRESULT bigIcon = 0;
  LRESULT smallIcon = 0;
  const auto finished = WhenProgramRuns([&] {
    shown = IsWindowVisible(mainWindow);
    caption = WindowText(mainWindow);
    bigIcon = SendMessageA(mainWindow, WM_GETICON, ICON_BIG, 0);
    smallIcon = SendMessageA(mainWindow, WM_GETICON, ICON_SMALL, 0);
    QTest::mouseClick(platform_testing::Widget(GetDlgItem(mainWindow, kExitButton)),
                      Qt::LeftButton);
  });
  EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, SW_SHOWDEFAULT), 0);
  *finished = true;
  EXPECT_TRUE(shown);
  EXPECT_EQ(caption, "Varnel - Coordinate Transformation V3.0");
  EXPECT_NE(bigIcon, 0);
  EXPECT_NE(smallIcon, 0);
  EXPECT_NE(bigIcon, smallIcon);
  EXPECT_FALSE(IsWindow(mainWindow));
  EXPECT_TRUE(seam.messageBoxes().empty());
  EXPECT_EQ(pointMode, 1);
  EXPECT_EQ(PI, 3.14159265358979);
  EXPECT_EQ(RAD_PER_DEGREE, 3.14159265358979 / 180);
  const auto calls = platform_testing::CommonControlsCalls();
  ASSERT_EQ(calls.size(), controlsCallsBefore + 1);
  EXPECT_EQ(calls.back(), (std::pair<DWORD, DWORD>{8, 0x9FF}));
}

TEST(CommonControls, InitialisedThroughTheLibraryWhenItHasTheCall) {
  const size_t before = platform_testing::CommonControlsCalls().size();
  platform_testing::HideProcedure("InitCommonControlsEx", true);
  InitializeCommonControls();
  platform_testing::HideProcedure("InitCommonControlsEx", false);
  platform_testing::HideLibrary("COMCTL32.DLL", true);
  InitializeCommonControls();  // no library: no call, and start-up goes on
  platform_testing::HideLibrary("COMCTL32.DLL", false);
  const auto calls = platform_testing::CommonControlsCalls();
  ASSERT_EQ(calls.size(), before + 1);
  EXPECT_EQ(calls.back(), (std::pair<DWORD, DWORD>{0, 0}));  // InitCommonControls
}

// ------------------------------------------------------------------ layout

struct Placed {
  const char* what;
  std::function<HWND()> parent;
  std::function<HWND()> control;
  int x, y, width, height;  // dialog units; height -1: a drop-down list's own
};

// Where the control lies in its parent's client area, in pixels.
RECT Geometry(HWND parent, HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  POINT origin{0, 0};
  ClientToScreen(parent, &origin);
  return RECT{r.left - origin.x, r.top - origin.y, r.right - r.left, r.bottom - r.top};
}

TEST_F(MainWindowTest, ControlsLieWhereTheLayoutPutsThem) {
  auto main = [this] { return window; };
  auto inMain = [this](int id) { return [this, id] { return Control(id); }; };
  auto page = [](PageId p) { return [p] { return PageWindow(p); }; };
  auto inPage = [](PageId p, int id) { return [p, id] { return GetDlgItem(PageWindow(p), id); }; };
  const Placed sample[] = {
      {"Start Parameter", main, inMain(201), 4, 4, 204, 346},
      {"start projection list", main, inMain(kStartProjectionList), 16, 32, 180, -1},
      {"start grid tabs", main, inMain(kStartGridTabs), 16, 56, 180, 68},
      {"start units", main, inMain(kStartUnitsButton), 49, 142, 106, 16},
      {"Start Ellipsoid label", main, inMain(702), 20, 206, 80, 8},
      {"target ellipsoid list", main, inMain(kTargetEllipsoidList), 228, 216, 180, -1},
      {"target geographic tabs", main, inMain(kTargetGeographicTabs), 228, 240, 180, 80},
      {"transform", main, inMain(kTransformButton), 172, 358, 80, 16},
      {"help", main, inMain(kHelpButton), 336, 358, 76, 16},
      {"ellipsoid note", main, inMain(kTargetEllipsoidNoteLabel), 228, 331, 180, 9},
      {"StartXY", main, page(StartXY), 37, 80, 121, 30},
      {"TargetProjList", main, page(TargetProjList), 239, 81, 156, 36},
      {"TargetLatLon", main, page(TargetLatLon), 239, 266, 161, 49},
      {"northing box", page(StartXY), inPage(StartXY, kStartNorthingBox), 44, 16, 76, 12},
      {"start height label", page(StartLatLon), inPage(StartLatLon, 711), 0, 36, 84, 12},
      {"target height label", page(TargetLatLon), inPage(TargetLatLon, 714), 0, 36, 88, 12},
      {"start height box", page(StartLatLon), inPage(StartLatLon, 809), 84, 32, 76, 12},
      {"grid input box", page(StartProjList), inPage(StartProjList, 803), 0, 0, 156, 12},
      {"Browse", page(TargetSysList), inPage(TargetSysList, 409), 84, 16, 68, 16},
  };
  for (const Placed& p : sample) {
    SCOPED_TRACE(p.what);
    const HWND parent = p.parent();
    RECT expected{p.x, p.y, p.width, p.height};  // each value mapped on its own
    MapDialogRect(parent, &expected);
    const RECT actual = Geometry(parent, p.control());
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    if (p.height >= 0) {
      EXPECT_EQ(actual.bottom, expected.bottom);
    }
  }
  RECT client;
  GetClientRect(window, &client);
  RECT size{0, 0, 424, 393};
  MapDialogRect(window, &size);
  EXPECT_EQ(client.right, size.right);
  EXPECT_LT(client.bottom, size.bottom);  // the menu bar takes its height from the client area
}

// ------------------------------------------------------------ initial state

struct Field {
  PageId page;
  int id;
};

constexpr Field kCoordinateBoxes[] = {
    {StartXY, 801},      {StartXY, 802},      {TargetXY, 805},    {TargetXY, 806},
    {StartLatLon, 807},  {StartLatLon, 808},  {StartLatLon, 809}, {TargetLatLon, 810},
    {TargetLatLon, 811}, {TargetLatLon, 812},
};

TEST_F(MainWindowTest, StartsInPointModeWithNoneChosenAndItsDatumAndEllipsoid) {
  EXPECT_EQ(WindowText(Control(kStartProjectionList)), "none");
  for (int list : {kStartProjectionList, kTargetProjectionList}) EXPECT_EQ(Selection(list), kNone);
  for (int list : {kStartDatumList, kTargetDatumList, kStartEllipsoidList, kTargetEllipsoidList}) {
    EXPECT_EQ(Selection(list), kWgs84) << list;
  }
  // The start's geographic boxes take a point; the target's geographic
  // results are read-only, to be selected and copied; grid boxes are off.
  for (const Field& box : kCoordinateBoxes) {
    const bool geographic = box.page == StartLatLon || box.page == TargetLatLon;
    EXPECT_EQ(IsWindowEnabled(Box(box.page, box.id)), geographic) << box.id;
    EXPECT_EQ((GetWindowLongPtrA(Box(box.page, box.id), GWL_STYLE) & ES_READONLY) != 0,
              box.page == TargetLatLon || box.page == TargetXY)
        << box.id;
    EXPECT_EQ(Text(box.page, box.id), "") << box.id;
  }
  const Field enabled[] = {{StartLatLon, 709},   {StartLatLon, 711},  {TargetLatLon, 712},
                           {TargetLatLon, 714},  {StartSysList, 408}, {StartSysList, 813},
                           {TargetSysList, 409}, {TargetSysList, 814}};
  const Field disabled[] = {{StartXY, 705},       {TargetXY, 708},       {StartProjList, 406},
                            {StartProjList, 803}, {TargetProjList, 407}, {TargetProjList, 804}};
  for (const Field& f : enabled) EXPECT_TRUE(IsWindowEnabled(Box(f.page, f.id))) << f.id;
  for (const Field& f : disabled) EXPECT_FALSE(IsWindowEnabled(Box(f.page, f.id))) << f.id;

  for (int tabs : {501, 502, 503, 504}) {
    EXPECT_EQ(Tab(tabs), kPointModeTab) << tabs;
    char text[32];
    for (int index : {0, 1}) {
      TCITEMA item{TCIF_TEXT, 0, 0, text, sizeof text, 0, 0};
      SendMessageA(Control(tabs), TCM_GETITEMA, index, reinterpret_cast<LPARAM>(&item));
      EXPECT_STREQ(text, index == 0 ? "Point Mode" : "List Mode");
    }
  }
  EXPECT_EQ(pointMode, 1);
  for (PageId p : {StartXY, TargetXY, StartLatLon, TargetLatLon})
    EXPECT_TRUE(IsWindowVisible(PageWindow(p)));
  for (PageId p : {StartProjList, TargetProjList, StartSysList, TargetSysList}) {
    EXPECT_FALSE(IsWindowVisible(PageWindow(p)));
  }
  for (const CrsSide* side : {&startSide, &targetSide}) {
    EXPECT_EQ(TrimmedField(side->projection.name), "none");
    EXPECT_EQ(TrimmedField(side->datum.name), "WGS 84");
    EXPECT_EQ(TrimmedField(side->ellipsoid.name), "WGS 84");
    EXPECT_EQ(side->unitsAndFormats.angleFormat, kAngleFormatDms);
    EXPECT_EQ(side->unitsAndFormats.lengthUnit, 603);
    EXPECT_EQ(side->unitsAndFormats.lengthFactor, 1.0);
  }
  EXPECT_EQ(platform_testing::Widget(Box(StartLatLon, kStartLatitudeBox))
                ->property("placeholderText")
                .toString(),
            QString::fromUtf8("52.3 = 52°30'"));
}

// A first point, typed as a new user types it: no list touched.
TEST_F(MainWindowTest, AFreshWindowTakesAPointByClickAndByTab) {
  auto press = [](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); };
  auto type = [](const char* text) { QTest::keyClicks(QApplication::focusWidget(), text); };
  SetFocus(Control(kStartProjectionList));  // where a fresh window has it
  Click(Box(StartLatLon, kStartLatitudeBox));
  EXPECT_EQ(GetFocus(), Box(StartLatLon, kStartLatitudeBox));
  // Tab goes from the tab control into the page on it.
  SetFocus(Control(kStartGeographicTabs));
  press(Qt::Key_Tab);
  ASSERT_EQ(GetFocus(), Box(StartLatLon, kStartLatitudeBox));
  type("52.3");
  press(Qt::Key_Tab);
  type("1.3");
  press(Qt::Key_Tab);
  type("45");
  press(Qt::Key_Return);
  EXPECT_TRUE(seam.messageBoxes().empty());
  EXPECT_EQ(Text(TargetLatLon, kTargetLatitudeBox), "52.3000000");
  EXPECT_EQ(Text(TargetLatLon, kTargetLongitudeBox), "1.3000000");
  EXPECT_EQ(Text(TargetLatLon, kTargetHeightBox), " 45");

  // An edit of a start value leaves no result of the earlier point.
  Click(Box(StartLatLon, kStartLatitudeBox));
  press(Qt::Key_End);
  type("1");
  for (int box : {kTargetLatitudeBox, kTargetLongitudeBox, kTargetHeightBox}) {
    EXPECT_EQ(Text(TargetLatLon, box), "") << box;
  }
}

TEST_F(MainWindowTest, AnEllipsoidOtherThanTheDatumsIsSaid) {
  Choose(kTargetEllipsoidList, kAmersfoort);  // Bessel 1841 under WGS 84
  EXPECT_EQ(WindowText(Control(kTargetEllipsoidNoteLabel)),
            "Ellipsoid differs from the datum's (WGS 84)");
  EXPECT_EQ(WindowText(Control(kStartEllipsoidNoteLabel)), "");
  Click(Control(kTargetInfoButton));
  ASSERT_EQ(seam.messageBoxes().size(), 1u);
  const std::string& report = seam.messageBoxes()[0].text;
  EXPECT_EQ(report.substr(report.rfind('\r') + 1), "Ellipsoid differs from the datum's (WGS 84)");
  Choose(kTargetDatumList, kAmersfoort);  // its own ellipsoid again
  EXPECT_EQ(WindowText(Control(kTargetEllipsoidNoteLabel)), "");
}

// ------------------------------------------------------------ selections

struct SideCase {
  const char* side;
  int projectionList, datumList, ellipsoidList;
  CrsSide* crs;
  CrsSide* other;
};

const SideCase kSides[] = {
    {"start", kStartProjectionList, kStartDatumList, kStartEllipsoidList, &startSide, &targetSide},
    {"target", kTargetProjectionList, kTargetDatumList, kTargetEllipsoidList, &targetSide,
     &startSide},
};

TEST_F(MainWindowTest, ChoosingAProjectionMovesItsDatumAndEllipsoidAndCopiesTheRecords) {
  for (const SideCase& s : kSides) {
    SCOPED_TRACE(s.side);
    Choose(s.projectionList, kTexasSouthCentral);
    EXPECT_EQ(Selection(s.datumList), kNad27);
    EXPECT_EQ(Selection(s.ellipsoidList), 1);  // Clarke 1866
    EXPECT_EQ(TrimmedField(s.crs->projection.name), "NAD27 / Texas South Central");
    EXPECT_EQ(+s.crs->projection.falseEasting, 609601.2192);
    EXPECT_EQ(+s.crs->projection.secondStandardParallel, 30.2833333333);
    EXPECT_EQ(TrimmedField(s.crs->datum.name), "NAD27 (Texas)");
    EXPECT_EQ(+s.crs->datum.translationZ, 176);
    EXPECT_EQ(TrimmedField(s.crs->ellipsoid.name), "Clarke 1866");
    EXPECT_EQ(+s.crs->ellipsoid.semiMinorAxis, 6356583.8);

    // "none" names WGS 84 as its datum.
    Choose(s.projectionList, kNone);
    EXPECT_EQ(Selection(s.datumList), kWgs84);
    EXPECT_EQ(Selection(s.ellipsoidList), 2);
    EXPECT_EQ(TrimmedField(s.crs->projection.name), "none");
    EXPECT_EQ(TrimmedField(s.crs->ellipsoid.name), "WGS 84");
  }
}

TEST_F(MainWindowTest, ChoosingADatumMovesOnlyTheEllipsoidAndAnEllipsoidNothing) {
  for (const SideCase& s : kSides) {
    SCOPED_TRACE(s.side);
    const std::string otherProjection = TrimmedField(s.other->projection.name);
    Choose(s.projectionList, kBritishNationalGrid);
    Choose(s.datumList, kAmersfoort);
    EXPECT_EQ(Selection(s.projectionList), kBritishNationalGrid);
    EXPECT_EQ(Selection(s.ellipsoidList), 3);  // Bessel 1841
    EXPECT_EQ(TrimmedField(s.crs->projection.name), "OSGB 1936 / British National Grid");
    EXPECT_EQ(TrimmedField(s.crs->datum.name), "Amersfoort");
    EXPECT_EQ(+s.crs->ellipsoid.semiMajorAxis, 6377397.155);

    Choose(s.ellipsoidList, 0);
    EXPECT_EQ(Selection(s.datumList), kAmersfoort);
    EXPECT_EQ(Selection(s.projectionList), kBritishNationalGrid);
    EXPECT_EQ(TrimmedField(s.crs->datum.name), "Amersfoort");
    EXPECT_EQ(TrimmedField(s.crs->ellipsoid.name), "Airy 1830");
    EXPECT_EQ(TrimmedField(s.other->projection.name), otherProjection);
  }
}

TEST_F(MainWindowTest, ADroppedListShowsWholeEntriesTwentyAtATime) {
  SetFixedField(ProgramCatalogues().Datum(kNad27 + 1).areaOfUse,
                "USA - CONUS west of Mississippi River - onshore - Texas, New Mexico, Oklahoma");
  FillSelectionLists();
  auto* combo = qobject_cast<QComboBox*>(platform_testing::Widget(Control(kTargetDatumList)));
  const QString longest = combo->itemText(kNad27);
  SendMessageA(Control(kTargetDatumList), CB_SHOWDROPDOWN, TRUE, 0);
  const QWidget* popup = combo->view()->window();
  EXPECT_GT(popup->width(), combo->width());
  EXPECT_GE(combo->view()->viewport()->width(), combo->fontMetrics().horizontalAdvance(longest));
  EXPECT_EQ(combo->maxVisibleItems(), 20);
  SendMessageA(Control(kTargetDatumList), CB_SHOWDROPDOWN, FALSE, 0);
}

TEST_F(MainWindowTest, PositionsBeyondTheCataloguesSelectTheLastEntry) {
  ProgramCatalogues().Projection(kUnknownDatum + 1).datumIndex = 99;
  ProgramCatalogues().Datum(kNad27 + 1).ellipsoidIndex = 50;
  Choose(kStartProjectionList, kUnknownDatum);
  EXPECT_EQ(Selection(kStartDatumList), kAmersfoort);
  EXPECT_EQ(TrimmedField(startSide.datum.name), "Amersfoort");
  Choose(kTargetDatumList, kNad27);
  EXPECT_EQ(Selection(kTargetEllipsoidList), 3);
  EXPECT_EQ(TrimmedField(targetSide.ellipsoid.name), "Bessel 1841");
}

TEST_F(MainWindowTest, AChoiceOutsideTheCataloguesCopiesNothing) {
  // A selection change from a list without a selection.
  SendDlgItemMessageA(window, kStartDatumList, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(kStartDatumList, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(Control(kStartDatumList)));
  EXPECT_EQ(TrimmedField(startSide.datum.name), "WGS 84");
  EXPECT_EQ(Selection(kStartEllipsoidList), kWgs84);

  // Entries that lie beyond what the catalogues hold, and a projection whose
  // datum cannot be found in an empty catalogue.
  ProgramCatalogues().datumCount = 0;
  ProgramCatalogues().ellipsoidCount = 0;
  Choose(kStartProjectionList, kBritishNationalGrid);
  EXPECT_EQ(TrimmedField(startSide.projection.name), "OSGB 1936 / British National Grid");
  EXPECT_EQ(TrimmedField(startSide.datum.name), "WGS 84");
  EXPECT_TRUE(IsWindowEnabled(Box(StartXY, kStartEastingBox)));
  Choose(kStartDatumList, kNad27);
  Choose(kStartEllipsoidList, 1);
  EXPECT_EQ(TrimmedField(startSide.datum.name), "WGS 84");
  EXPECT_EQ(TrimmedField(startSide.ellipsoid.name), "WGS 84");
}

// What the projection list of a side enables: the grid fields for a projected
// system, the geographic ones for "none".
struct EnablingCase {
  const char* what;
  int projectionList;
  int projection;
  std::vector<Field> enabled;
  std::vector<Field> disabled;
};

TEST_F(MainWindowTest, TheProjectionEnablesTheFieldsItsKindNeeds) {
  const std::vector<Field> startGrid{{StartXY, 705}, {StartXY, 706},       {StartXY, 801},
                                     {StartXY, 802}, {StartProjList, 406}, {StartProjList, 803}};
  const std::vector<Field> startGeographic{
      {StartLatLon, 709}, {StartLatLon, 710}, {StartLatLon, 711},  {StartLatLon, 808},
      {StartLatLon, 807}, {StartLatLon, 809}, {StartSysList, 408}, {StartSysList, 813}};
  const std::vector<Field> targetGrid{{TargetXY, 707},       {TargetXY, 708},
                                      {TargetXY, 805},       {TargetXY, 806},
                                      {TargetProjList, 407}, {TargetProjList, 804}};
  // Results only: never typed into but usable, whatever the target is.
  const std::vector<Field> targetAlways{
      {TargetLatLon, 810}, {TargetLatLon, 811}, {TargetLatLon, 812},  {TargetLatLon, 712},
      {TargetLatLon, 713}, {TargetLatLon, 714}, {TargetSysList, 409}, {TargetSysList, 814}};
  auto join = [](std::vector<Field> a, const std::vector<Field>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  const EnablingCase cases[] = {
      {"start projected", kStartProjectionList, kRdNew, startGrid, startGeographic},
      {"start geographic", kStartProjectionList, kNone, startGeographic, startGrid},
      {"target projected", kTargetProjectionList, kRdNew, join(targetGrid, targetAlways), {}},
      {"target geographic", kTargetProjectionList, kNone, targetAlways, targetGrid},
  };
  for (const EnablingCase& c : cases) {
    SCOPED_TRACE(c.what);
    Choose(c.projectionList, c.projection);
    for (const Field& f : c.enabled) EXPECT_TRUE(IsWindowEnabled(Box(f.page, f.id))) << f.id;
    for (const Field& f : c.disabled) EXPECT_FALSE(IsWindowEnabled(Box(f.page, f.id))) << f.id;
  }
  for (int id : {805, 806, 810, 811, 812}) {
    const PageId page = id < 810 ? TargetXY : TargetLatLon;
    EXPECT_NE(GetWindowLongPtrA(Box(page, id), GWL_STYLE) & ES_READONLY, 0) << id;
  }
}

// ------------------------------------------------------------ mode tabs

TEST_F(MainWindowTest, AnyModeTabSwitchesAllFourAndTheirPages) {
  const PageId pointPages[] = {StartXY, TargetXY, StartLatLon, TargetLatLon};
  const PageId listPages[] = {StartProjList, TargetProjList, StartSysList, TargetSysList};
  for (int clicked :
       {kStartGridTabs, kTargetGridTabs, kStartGeographicTabs, kTargetGeographicTabs}) {
    SCOPED_TRACE(clicked);
    for (int mode : {kListModeTab, kPointModeTab}) {
      ClickTab(clicked, mode);
      const bool list = mode == kListModeTab;
      EXPECT_EQ(pointMode, list ? 0 : 1);
      for (int tabs : {501, 502, 503, 504}) EXPECT_EQ(Tab(tabs), mode) << tabs;
      for (PageId p : pointPages) EXPECT_EQ(IsWindowVisible(PageWindow(p)), !list) << p;
      for (PageId p : listPages) EXPECT_EQ(IsWindowVisible(PageWindow(p)), list) << p;
    }
  }
}

TEST_F(MainWindowTest, TypedTextStaysAcrossModeSwitchesAndChoices) {
  Choose(kStartProjectionList, kBritishNationalGrid);
  Type(StartXY, kStartEastingBox, "577274.99");
  Type(StartXY, kStartNorthingBox, " 69740.50 ");
  ClickTab(kStartGeographicTabs, kListModeTab);
  Type(StartProjList, kStartProjListBox, "grid points.txt");
  ClickTab(kTargetGridTabs, kPointModeTab);
  Choose(kStartProjectionList, kNone);
  ClickTab(kStartGridTabs, kListModeTab);
  ClickTab(kStartGridTabs, kPointModeTab);
  EXPECT_EQ(Text(StartXY, kStartEastingBox), "577274.99");
  EXPECT_EQ(Text(StartXY, kStartNorthingBox), " 69740.50 ");
  EXPECT_EQ(Text(StartProjList, kStartProjListBox), "grid points.txt");
}

// ------------------------------------------------------------ focus and ending

TEST_F(MainWindowTest, FocusComesBackWhenTheWindowIsActivatedAgain) {
  Choose(kStartProjectionList, kNone);
  struct Case {
    HWND dialog;
    HWND kept;
  };
  const Case cases[] = {{window, Box(StartLatLon, kStartLongitudeBox)},
                        {PageWindow(StartLatLon), Box(StartLatLon, kStartLatitudeBox)}};
  const HWND elsewhere = Control(kTransformButton);
  for (const Case& c : cases) {
    SetFocus(c.kept);
    QApplication::processEvents();
    SendMessageA(c.dialog, WM_NCACTIVATE, FALSE, 0);
    SetFocus(elsewhere);
    SendMessageA(c.dialog, WM_NCACTIVATE, TRUE, 0);
    EXPECT_EQ(GetFocus(), c.kept);
    // Given back once: a further activation leaves the focus where it is.
    SetFocus(elsewhere);
    SendMessageA(c.dialog, WM_NCACTIVATE, TRUE, 0);
    EXPECT_EQ(GetFocus(), elsewhere);
  }
}

TEST_F(MainWindowTest, ExitCloseBoxAndMenuEndTheWindowEscapeAndOtherCodesDoNot) {
  const HWND exit = Control(kExitButton);
  SetFocus(exit);
  QTest::keyClick(platform_testing::Widget(exit), Qt::Key_Escape);
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(kExitButton, BN_DOUBLECLICKED),
               reinterpret_cast<LPARAM>(exit));
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(kMenuExit, 2), 0);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_TRUE(IsWindowVisible(window));

  const std::pair<const char*, std::function<void()>> enders[] = {
      {"button", [this] { Click(Control(kExitButton)); }},
      {"keyboard",
       [this] {
         QTest::keyClick(platform_testing::Widget(Control(kTransformButton)), Qt::Key_E,
                         Qt::AltModifier);
       }},
      {"menu", [this] { platform_testing::MenuAction(window, kMenuExit)->trigger(); }},
      {"close box", [this] { platform_testing::Widget(window)->close(); }},
  };
  for (const auto& [what, end] : enders) {
    SCOPED_TRACE(what);
    if (!IsWindow(window)) {
      window = CreateMainWindow();
      ShowWindow(window, SW_SHOW);
      platform_testing::DeliverPostedMessages();
    }
    end();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IsWindow(PageWindow(StartXY)));  // the pages go with it
  }
  EXPECT_TRUE(seam.messageBoxes().empty());
}

}  // namespace
