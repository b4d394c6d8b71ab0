// Equidistant Cylindrical and Lambert Cylindrical Equal Area through the
// generic pair: Guidance Note 7-2's example of the first, and values from PROJ
// (geod for the meridian arc, proj +proj=cea for the equal-area method and the
// radius of a standard parallel).
#include <gtest/gtest.h>

#include "grid_cases.h"
#include "test_records.h"

namespace {

const EllipsoidRecord kWgs84 = Wgs84Ellipsoid();
const EllipsoidRecord kGrs80 = MakeEllipsoidInverseFlattening(6378137, 298.257222101);

// WGS 84 / World Equidistant Cylindrical (EPSG 4087).
const ProjectionRecord kWorld = MakeProjection(kEquidistantCylindrical, kWgs84, 1, 0, 0, 0, 0, 0);
const ProjectionRecord kThirty = MakeProjection(kEquidistantCylindrical, kWgs84, 1, 0, 0, 0, 0, 30);
// WGS 84 / NSIDC EASE-Grid 2.0 Global (EPSG 6933).
const ProjectionRecord kEase =
    MakeProjection(kLambertCylindricalEqualArea, kWgs84, 1, 0, 0, 0, 0, 30);
const ProjectionRecord kEquator =
    MakeProjection(kLambertCylindricalEqualArea, kGrs80, 1, 0, -100, 500, 0, 0);

TEST(Cylindrical, WorkedExamples) {
  const double mm = 0.001, deg = 1e-8;
  const WorkedExample cases[] = {
      {"1028 GN7-2", kWorld, 55, 10, 1113194.91, 6097230.31},
      {"1028 parallel 30", kThirty, 55, 10, 964862.8025, 6097230.313, mm, deg},
      {"9835 EASE-Grid 2.0", kEase, 55, 10, 964862.8025, 6005522.3876, mm, deg},
      {"9835 equator", kEquator, -40, -120, -2225889.8159, -4079869.9246, mm, deg},
  };
  for (const WorkedExample& c : cases) ExpectWorkedExample(c);
}

TEST(Cylindrical, RoundTrip) {
  for (const ProjectionRecord& p : {kWorld, kThirty, kEase, kEquator}) {
    for (double lat : {-89.9, -40.0, 0.0, 12.5, 55.0, 89.5}) {
      for (double lon : {-179.9, -100.0, 0.0, 10.0, 179.0}) ExpectRoundTrip(p, lat, lon);
    }
  }
  ExpectRoundTrip(kWorld, 90, 10);
}

TEST(Cylindrical, BeyondThePolesIsUndefined) {
  for (const ProjectionRecord& p : {kWorld, kEase}) {
    EXPECT_TRUE(ForwardIsNaN(p, 90.5, 0));
    EXPECT_TRUE(InverseIsNaN(p, 0, 1.1e7));
    EXPECT_TRUE(InverseIsNaN(p, 0, -1.1e7));
    ProjectionRecord polar = p;
    polar.firstStandardParallel = 90;
    EXPECT_TRUE(ForwardIsNaN(polar, 10, 10));
    EXPECT_TRUE(InverseIsNaN(polar, 1000, 1000));
  }
}

}  // namespace
