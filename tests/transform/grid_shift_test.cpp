// Grid datum shifts and own prime meridians through the point chain. Expected
// values: PROJ 9.1.1's cs2cs with the same grid (Debian proj-data), run
// separately:
//   cs2cs -f "%.12f" +proj=longlat +ellps=bessel +nadgrids=BETA2007.gsb
//         +to +proj=longlat +ellps=GRS80 +towgs84=0,0,0        (and back)
//   cs2cs -f "%.12f" +proj=longlat +ellps=clrk80ign +pm=paris
//         +towgs84=-168,-60,320 +to +proj=longlat +datum=WGS84
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "grid_shift.h"
#include "message_recorder.h"
#include "nadcon_pair.h"
#include "point_transform.h"
#include "transform_fixtures.h"

namespace {

constexpr double kDegreeTolerance = 1e-9;  // about 0.1 mm

EllipsoidRecord Grs80() {
  return Ellipsoid("GRS 1980", 6378137.0, 298.257222101);
}

// DHDN through BETA2007 to ETRS89, no shift onward; ETRS89 by a null shift.
DatumRecord Dhdn(const char* grid = "BETA2007.gsb") {
  DatumRecord d = Datum("DHDN (Germany)", kNtv2, 0, 0, 0);
  SetFixedField(d.areaOfUse, std::string(grid) + "|GRS 1980|BKG|Germany - onshore.");
  return d;
}

struct GridShiftTest : testing::Test {
  void SetUp() override {
    SetProgramConstants();
    // Debian's proj-data, named so that the Windows build finds it too.
    SetNamedGridFolder("/usr/share/proj");
    catalogues = EmptyCatalogues();
    catalogues->ellipsoidCount = 2;
    catalogues->Ellipsoid(1) = Bessel1841();
    catalogues->Ellipsoid(2) = Grs80();
    dhdn = Side(NoProjection(), Dhdn(), Bessel1841());
    etrs89 = Side(NoProjection(), Datum("ETRS89", kGeocentricTranslations, 0, 0, 0), Grs80());
  }
  void TearDown() override { SetNamedGridFolder(""); }
  PointOutput Run(CrsSide& from, CrsSide& to, const char* latitude, const char* longitude) {
    return TransformPoint(from, to, *catalogues, {"", "", latitude, longitude, "0"});
  }
  std::unique_ptr<Catalogues> catalogues;
  CrsSide dhdn;
  CrsSide etrs89;
  MessageRecorder recorder;
};

void ExpectDegrees(const std::optional<std::string>& text, double expected,
                   double tolerance = kDegreeTolerance) {
  ASSERT_TRUE(text);
  EXPECT_NEAR(std::stod(*text), expected, tolerance) << *text;
}

struct GridCase {
  const char* latitude;
  const char* longitude;
  double latitudeShifted;
  double longitudeShifted;
};

TEST_F(GridShiftTest, ThroughTheGridBothWaysAsCs2cs) {
  dhdn.unitsAndFormats.angleFormat = kAngleFormatDecimal;
  etrs89.unitsAndFormats.angleFormat = kAngleFormatDecimal;
  const GridCase forward[] = {{"50.1", "8.5", 50.098838797284, 8.499025352766},
                              {"52.5", "13.4", 52.498594413040, 13.398256805573},
                              {"53.6", "7.1", 53.598450577236, 7.099233175560}};
  for (const GridCase& c : forward) {
    const PointOutput out = Run(dhdn, etrs89, c.latitude, c.longitude);
    ExpectDegrees(out.targetLatitude, c.latitudeShifted);
    ExpectDegrees(out.targetLongitude, c.longitudeShifted);
  }
  const GridCase reverse[] = {{"50.1", "8.5", 50.101161327679, 8.500974797863},
                              {"52.5", "13.4", 52.501405739858, 13.401743509650}};
  for (const GridCase& c : reverse) {
    const PointOutput out = Run(etrs89, dhdn, c.latitude, c.longitude);
    ExpectDegrees(out.targetLatitude, c.latitudeShifted);
    ExpectDegrees(out.targetLongitude, c.longitudeShifted);
  }
  EXPECT_TRUE(recorder.texts().empty());
}

TEST_F(GridShiftTest, APointOutsideTheGridIsRefusedNotLeftUnshifted) {
  dhdn.unitsAndFormats.angleFormat = kAngleFormatDecimal;
  EXPECT_FALSE(Run(dhdn, etrs89, "40", "-4").targetLatitude);
  // The box of the grid's nodes, from its header: 169200" to 199080" north,
  // 19800" to 56400" east.
  EXPECT_EQ(recorder.texts(),
            std::vector<std::string>{"The point at latitude 40, longitude -4 lies outside the grid "
                                     "BETA2007.gsb, which covers latitude 47 to 55.3, longitude "
                                     "5.5 to 15.6666667 degrees."});
}

TEST_F(GridShiftTest, AMissingOrDamagedGridNamesTheFile) {
  const TempFolder folder;
  SetNamedGridFolder(folder.path());
  dhdn.datum = Dhdn("MISSING.gsb");
  EXPECT_FALSE(Run(dhdn, etrs89, "50", "8").targetLatitude);
  ASSERT_EQ(recorder.texts().size(), 1u);
  const std::string missing = recorder.texts()[0];
  EXPECT_NE(missing.find("shifts by the grid MISSING.gsb, which is not installed. It was looked "
                         "for in: " +
                         folder.path() + ", "),
            std::string::npos)
      << missing;
  EXPECT_NE(missing.find("The grid is published by BKG;"), std::string::npos) << missing;

  std::ofstream(folder.path() + "/DAMAGED.gsb") << "NUM_OREC" << std::string(200, '\0');
  recorder.Clear();
  dhdn.datum = Dhdn("DAMAGED.gsb");
  EXPECT_FALSE(Run(dhdn, etrs89, "50", "8").targetLatitude);
  ASSERT_EQ(recorder.texts().size(), 1u);
  EXPECT_EQ(recorder.texts()[0].rfind("The grid file " + folder.path() +
                                          "/DAMAGED.gsb of the start datum DHDN (Germany) is "
                                          "damaged: ",
                                      0),
            0u)
      << recorder.texts()[0];
  // Replaced with a sound grid, it is read again.
  std::filesystem::copy_file("/usr/share/proj/BETA2007.gsb", folder.path() + "/DAMAGED.gsb",
                             std::filesystem::copy_options::overwrite_existing);
  recorder.Clear();
  EXPECT_TRUE(Run(dhdn, etrs89, "50", "8").targetLatitude);
  EXPECT_TRUE(recorder.texts().empty());
}

// A NADCON pair (the library tests' synthetic lattice) in a grid folder: the
// shift at a node is the node's, 2.5" north and 0.5" west at column 2, row 1.
TEST_F(GridShiftTest, ANadconPairIsReadAndShiftsThePoint) {
  const TempFolder folder;
  SetNamedGridFolder(folder.path());
  const test_grids::Pair pair = test_grids::Build(test_grids::kLattice);
  std::ofstream(folder.path() + "/SYNTH.las", std::ios::binary)
      .write(reinterpret_cast<const char*>(pair.las.data()), std::ssize(pair.las));
  std::ofstream(folder.path() + "/SYNTH.los", std::ios::binary)
      .write(reinterpret_cast<const char*>(pair.los.data()), std::ssize(pair.los));
  DatumRecord nad27 = Datum("NAD27 (synthetic)", kNadcon, 0, 0, 0);
  SetFixedField(nad27.areaOfUse, "SYNTH.las|GRS 1980|NGS|Test lattice");
  CrsSide start = Side(NoProjection(), nad27, Clarke1866());
  start.unitsAndFormats.angleFormat = kAngleFormatDecimal;
  etrs89.unitsAndFormats.angleFormat = kAngleFormatDecimal;
  const PointOutput out = Run(start, etrs89, "30.25", "-99");
  ExpectDegrees(out.targetLatitude, 30.25 + 2.5 / 3600);
  ExpectDegrees(out.targetLongitude, -99 - 0.5 / 3600);
  EXPECT_TRUE(recorder.texts().empty()) << recorder.texts()[0];
}

TEST_F(GridShiftTest, LongitudesOfAnOwnPrimeMeridianGoThroughGreenwich) {
  // NTF (Paris): Clarke 1880 (IGN), NTF to WGS 84 (1), Paris 2.5969213 grads.
  const EllipsoidRecord clarke = Ellipsoid("Clarke 1880 (IGN)", 6378249.2, 293.4660212936269);
  const DatumRecord ntf = Datum("NTF", kGeocentricTranslations, -168, -60, 320);
  const ProjectionRecord paris =
      Projection("NTF (Paris)", kLongitudeRotation, 1, 0, 2.33722917, 0, 0);
  CrsSide start = Side(paris, ntf, clarke);
  CrsSide wgs84 =
      Side(NoProjection(), Datum("WGS 84", kGeocentricTranslations, 0, 0, 0), Wgs84Ellipsoid());
  start.unitsAndFormats.angleFormat = kAngleFormatDecimal;
  wgs84.unitsAndFormats.angleFormat = kAngleFormatDecimal;
  // The geocentric shift agrees with cs2cs to a millimetre (1e-8 degree).
  const double tolerance = 1e-8;
  const GridCase cases[] = {{"46.8", "0", 46.799948781127, 2.336533608362},
                            {"48.4", "-4.5", 48.399902067408, -2.163666170466}};
  for (const GridCase& c : cases) {
    const PointOutput out = Run(start, wgs84, c.latitude, c.longitude);
    ExpectDegrees(out.targetLatitude, c.latitudeShifted, tolerance);
    ExpectDegrees(out.targetLongitude, c.longitudeShifted, tolerance);
    // And back onto the Paris meridian.
    char longitude[32];
    std::snprintf(longitude, sizeof longitude, "%.12f", c.longitudeShifted);
    char latitude[32];
    std::snprintf(latitude, sizeof latitude, "%.12f", c.latitudeShifted);
    const PointOutput back = Run(wgs84, start, latitude, longitude);
    ExpectDegrees(back.targetLatitude, std::stod(c.latitude), tolerance);
    ExpectDegrees(back.targetLongitude, std::stod(c.longitude), tolerance);
  }
}

}  // namespace
