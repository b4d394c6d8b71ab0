// Colombia Urban through the generic pair: the worked example of IOGP
// Guidance Note 7-2 (MAGNA-SIRGAS / Bogota urban grid) and, in the other
// quadrant, PROJ 9.1.1 (+proj=col_urban).
#include <gtest/gtest.h>

#include "grid_cases.h"
#include "test_records.h"

namespace {

// EPSG:6247 MAGNA-SIRGAS / Bogota urban grid: GRS 1980, the plane 2550 m up.
const ProjectionRecord kBogota =
    MakeProjection(kColombiaUrban, MakeEllipsoidInverseFlattening(6378137, 298.257222101), 1,
                   Dms(4, 40, 49.75), Dms(-74, 8, 47.73), 92334.879, 109320.965, 2550);

TEST(ColombiaUrban, WorkedExamplesBothWays) {
  const WorkedExample cases[] = {
      // GN7-2, to its printed millimetres and thousandths of an arc-second.
      {"Bogota", kBogota, Dms(4, 48, 0), Dms(-74, 15, 0), 80859.033, 122543.174, 0.0005},
      {"Bogota, south-east", kBogota, Dms(4, 35, 0), Dms(-74, 5, 0), 99357.2021, 98573.6411, 0.0001,
       1e-9},
  };
  for (const WorkedExample& c : cases) ExpectWorkedExample(c);
}

// The published reverse is off by tenths of a millimetre; the inverse solves
// the forward.
TEST(ColombiaUrban, RoundTripReturnsThePoint) {
  for (double dLat : {-1.0, -0.1, 0.0, 0.4}) {
    for (double dLon : {-1.0, 0.0, 0.2, 1.0}) {
      ExpectRoundTrip(kBogota, kBogota.latitudeOfOrigin + dLat, kBogota.centralMeridian + dLon);
    }
  }
}

TEST(ColombiaUrban, UndefinedPointsGiveNaN) {
  EXPECT_TRUE(ForwardIsNaN(kBogota, -90.5, -74));
  EXPECT_TRUE(ForwardIsNaN(kBogota, 4, NAN));
  // More than half a turn of longitude away, and beyond the north pole.
  EXPECT_TRUE(InverseIsNaN(kBogota, 2.5e7, 109320.965));
  EXPECT_TRUE(InverseIsNaN(kBogota, 92334.879, 1.1e7));
}

}  // namespace
