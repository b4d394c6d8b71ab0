// Polar Stereographic through the generic pair: Guidance Note 7-2's worked
// examples of the three variants, and EPSG 3413 and 3031 against PROJ
// (proj +proj=stere).
#include <gtest/gtest.h>

#include "grid_cases.h"
#include "test_records.h"

namespace {

const EllipsoidRecord kWgs84 = Wgs84Ellipsoid();

// WGS 84 / UPS North.
const ProjectionRecord kUpsNorth =
    MakeProjection(kPolarStereographicA, kWgs84, 0.994, 90, 0, 2000000, 2000000);
// WGS 84 / Australian Antarctic Polar Stereographic.
const ProjectionRecord kAustralianAntarctic =
    MakeProjection(kPolarStereographicB, kWgs84, 1, 0, 70, 6000000, 6000000, -71);
// Petrels 1972 / Terre Adelie Polar Stereographic on International 1924.
const ProjectionRecord kTerreAdelie =
    MakeProjection(kPolarStereographicC, MakeEllipsoidInverseFlattening(6378388, 297), 1, 0, 140,
                   300000, 200000, -67);
// WGS 84 / NSIDC Sea Ice Polar Stereographic North (EPSG 3413).
const ProjectionRecord k3413 = MakeProjection(kPolarStereographicB, kWgs84, 1, 0, -45, 0, 0, 70);
// WGS 84 / Antarctic Polar Stereographic (EPSG 3031).
const ProjectionRecord k3031 = MakeProjection(kPolarStereographicB, kWgs84, 1, 0, 0, 0, 0, -71);

TEST(PolarStereographic, WorkedExamples) {
  const double mm = 0.001, deg = 1e-8;
  const WorkedExample cases[] = {
      // Guidance Note 7-2's UPS North, Australian Antarctic and Terre Adelie.
      {"9810 GN7-2", kUpsNorth, 73, 44, 3320416.75, 632668.43},
      {"9829 GN7-2", kAustralianAntarctic, -75, 120, 7255380.79, 7053389.56},
      {"9830 GN7-2", kTerreAdelie, Dms(-66, 36, 18.820), Dms(140, 4, 17.040), 303169.52, 244055.72},
      {"9829 north", k3413, 65, -100, -2252871.0013, -1577477.2577, mm, deg},
      {"9829 south", k3031, -80, 30, 544589.7278, 943257.0779, mm, deg},
  };
  for (const WorkedExample& c : cases) ExpectWorkedExample(c);
}

TEST(PolarStereographic, RoundTrip) {
  for (const ProjectionRecord& p : {kUpsNorth, kAustralianAntarctic, kTerreAdelie, k3413, k3031}) {
    const double s =
        p.methodCode == kPolarStereographicA ? 1 : (p.firstStandardParallel > 0 ? 1 : -1);
    for (double lat : {-30.0, 0.0, 45.0, 71.0, 84.5, 89.99}) {
      for (double lon : {-179.0, -45.0, 0.0, 70.0, 140.0}) ExpectRoundTrip(p, s * lat, lon);
    }
  }
}

TEST(PolarStereographic, OppositePoleAndBadRecordsAreUndefined) {
  EXPECT_TRUE(ForwardIsNaN(kUpsNorth, -90, 0));
  EXPECT_TRUE(ForwardIsNaN(kAustralianAntarctic, 90, 0));
  EXPECT_TRUE(ForwardIsNaN(kTerreAdelie, 90, 0));
  EXPECT_TRUE(ForwardIsNaN(k3413, -91, 0));
  // Variant A's origin must be a pole; B's and C's standard parallel not the equator.
  ProjectionRecord notAPole = kUpsNorth;
  notAPole.latitudeOfOrigin = 60;
  ProjectionRecord equator = k3031;
  equator.firstStandardParallel = 0;
  for (const ProjectionRecord& p : {notAPole, equator}) {
    EXPECT_TRUE(ForwardIsNaN(p, 80, 0));
    EXPECT_TRUE(InverseIsNaN(p, 1000, 1000));
  }
}

}  // namespace
