// Lambert Azimuthal Equal Area through the generic pair: Guidance Note 7-2's
// worked example, and the polar, equatorial and spherical cases against PROJ
// (proj +proj=laea, with +R_A for the sphere of the same area).
#include <gtest/gtest.h>

#include "grid_cases.h"
#include "test_records.h"

namespace {

const EllipsoidRecord kGrs80 = MakeEllipsoidInverseFlattening(6378137, 298.257222101);
const EllipsoidRecord kWgs84 = Wgs84Ellipsoid();

// ETRS89 / LAEA Europe (EPSG 3035).
const ProjectionRecord kEurope =
    MakeProjection(kLambertAzimuthalEqualArea, kGrs80, 1, 52, 10, 4321000, 3210000);
const ProjectionRecord kNorth =
    MakeProjection(kLambertAzimuthalEqualArea, kWgs84, 1, 90, -45, 0, 0);
const ProjectionRecord kSouth =
    MakeProjection(kLambertAzimuthalEqualArea, kWgs84, 1, -90, 0, 1000, 2000);
const ProjectionRecord kEquator =
    MakeProjection(kLambertAzimuthalEqualArea, kWgs84, 1, 0, -100, 0, 0);
const ProjectionRecord kSphere =
    MakeProjection(kLambertAzimuthalEqualAreaSpherical, kGrs80, 1, 52, 10, 4321000, 3210000);

TEST(LambertAzimuthalEqualArea, WorkedExamples) {
  const double mm = 0.001, deg = 1e-8;
  const WorkedExample cases[] = {
      // ETRS89 / LAEA Europe, Guidance Note 7-2's example.
      {"9820 GN7-2", kEurope, 50, 5, 3962799.45, 2999718.85},
      {"9820 north polar", kNorth, 70, -100, -1819886.2492, -1274298.0704, mm, deg},
      {"9820 south polar", kSouth, -70, 100, 2188918.7146, -383789.1010, mm, deg},
      {"9820 equatorial", kEquator, 5, -120, -2208768.1488, 561219.9894, mm, deg},
      {"1027 authalic sphere", kSphere, 50, 5, 3963890.5332, 2999823.8488, mm, deg},
  };
  for (const WorkedExample& c : cases) ExpectWorkedExample(c);
}

TEST(LambertAzimuthalEqualArea, RoundTrip) {
  for (const ProjectionRecord& p : {kEurope, kNorth, kSouth, kEquator, kSphere}) {
    for (double lat : {-60.0, -5.5, 0.0, 35.0, 52.0, 71.25}) {
      for (double lon : {-40.0, 0.0, 10.0, 33.5}) ExpectRoundTrip(p, lat, lon);
    }
  }
  ExpectRoundTrip(kNorth, 90, -45);
  ExpectRoundTrip(kSouth, -89.999, 17);
}

TEST(LambertAzimuthalEqualArea, AntipodeAndBeyondTheBoundingCircleAreUndefined) {
  EXPECT_TRUE(ForwardIsNaN(kEurope, -52, -170));
  EXPECT_TRUE(ForwardIsNaN(kSphere, -52, -170));
  EXPECT_TRUE(ForwardIsNaN(kNorth, -90, 0));
  EXPECT_TRUE(ForwardIsNaN(kSouth, 90, 0));
  EXPECT_TRUE(ForwardIsNaN(kEquator, 0, 80));
  EXPECT_TRUE(ForwardIsNaN(kEurope, 90.5, 0));
  // The map is the disc of radius 2 Rq, about 12 742 km.
  EXPECT_TRUE(InverseIsNaN(kEurope, 4321000 + 13e6, 3210000));
  EXPECT_TRUE(InverseIsNaN(kNorth, 0, -13e6));
  EXPECT_TRUE(InverseIsNaN(kSphere, 4321000, 3210000 - 13e6));
}

}  // namespace
