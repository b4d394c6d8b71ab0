// Albers Equal Area through the generic pair, against PROJ (proj +proj=aea):
// Guidance Note 7-2 gives no worked example of the method.
#include <gtest/gtest.h>

#include "grid_cases.h"
#include "test_records.h"

namespace {

const EllipsoidRecord kGrs80 = MakeEllipsoidInverseFlattening(6378137, 298.257222101);

// NAD83 / Conus Albers (EPSG 5070).
const ProjectionRecord kConus =
    MakeProjection(kAlbersEqualArea, kGrs80, 1, 23, -96, 0, 0, 29.5, 45.5);
// A southern cone, its parallels given pole-side first.
const ProjectionRecord kSouth =
    MakeProjection(kAlbersEqualArea, kGrs80, 1, -32, 132, 1000, 2000, -18, -36);

TEST(AlbersEqualArea, AgainstProj) {
  const double mm = 0.001, deg = 1e-8;
  const WorkedExample cases[] = {
      {"5070 east", kConus, 40, -75, 1762648.0535, 2082524.8647, mm, deg},
      {"5070 west", kConus, 30, -120, -2288676.1221, 1059915.4842, mm, deg},
      {"south", kSouth, -25, 150, 1791401.0986, 660423.8257, mm, deg},
  };
  for (const WorkedExample& c : cases) ExpectWorkedExample(c);
}

TEST(AlbersEqualArea, RoundTrip) {
  for (const ProjectionRecord& p : {kConus, kSouth}) {
    for (double lat : {-89.0, -45.0, -10.0, 0.0, 23.0, 47.5, 89.0}) {
      for (double lon : {-179.0, -96.0, 0.0, 132.0, 178.0}) ExpectRoundTrip(p, lat, lon);
    }
  }
}

TEST(AlbersEqualArea, UndefinedCasesGiveNaN) {
  // Parallels symmetric about the equator make no cone.
  const ProjectionRecord flat = MakeProjection(kAlbersEqualArea, kGrs80, 1, 0, 0, 0, 0, 30, -30);
  EXPECT_TRUE(ForwardIsNaN(flat, 10, 10));
  EXPECT_TRUE(InverseIsNaN(flat, 1000, 1000));
  EXPECT_TRUE(ForwardIsNaN(kConus, 90.5, -96));
  // Beyond the apex of the cone, outside the fan of the map.
  EXPECT_TRUE(InverseIsNaN(kConus, 0, 3e7));
  EXPECT_TRUE(InverseIsNaN(kSouth, 1000, -3e7));
}

}  // namespace
