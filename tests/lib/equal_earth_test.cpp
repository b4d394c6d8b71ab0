// Equal Earth through the generic pair, against PROJ (proj +proj=eqearth).
#include <gtest/gtest.h>

#include "grid_cases.h"
#include "test_records.h"

namespace {

// WGS 84 / Equal Earth Greenwich (EPSG 8857).
const ProjectionRecord kGreenwich = MakeProjection(kEqualEarth, Wgs84Ellipsoid(), 1, 0, 0, 0, 0);
const ProjectionRecord kPacific =
    MakeProjection(kEqualEarth, Wgs84Ellipsoid(), 1, 0, 150, 100, 200);

TEST(EqualEarth, AgainstProj) {
  const double mm = 0.001, deg = 1e-8;
  const WorkedExample cases[] = {
      {"8857", kGreenwich, 34.5, -100, -8770248.4281, 4294320.8592, mm, deg},
      {"origin moved", kPacific, -60, 150, 100, -6923835.1376, mm, deg},
  };
  for (const WorkedExample& c : cases) ExpectWorkedExample(c);
}

TEST(EqualEarth, RoundTrip) {
  for (const ProjectionRecord& p : {kGreenwich, kPacific}) {
    for (double lat : {-89.9, -61.0, -5.0, 0.0, 34.5, 80.0, 89.9}) {
      for (double lon : {-179.9, -100.0, 0.0, 150.0, 179.0}) ExpectRoundTrip(p, lat, lon);
    }
  }
  // The northing is stationary at the poles: they come back to about 1e-8 rad.
  for (double pole : {-90.0, 90.0}) {
    double e, n, lat = NAN, lon = NAN;
    LATLONTOGRID(&kGreenwich, pole, 30, &e, &n, 0);
    GRIDTOLATLON(&kGreenwich, e, n, &lat, &lon, 0);
    EXPECT_NEAR(lat, pole, 2e-6);
    EXPECT_NEAR(lon, 30, 1e-11);
  }
}

TEST(EqualEarth, OutsideTheMapIsUndefined) {
  EXPECT_TRUE(ForwardIsNaN(kGreenwich, -90.5, 0));
  EXPECT_TRUE(InverseIsNaN(kGreenwich, 0, 8.5e6));  // beyond the pole line
  EXPECT_TRUE(InverseIsNaN(kGreenwich, 0, -8.5e6));
  EXPECT_TRUE(InverseIsNaN(kGreenwich, 1.8e7, 0));       // beyond the outline at the equator
  EXPECT_TRUE(InverseIsNaN(kGreenwich, -1.2e7, 8.0e6));  // beyond it near the pole line
}

}  // namespace
