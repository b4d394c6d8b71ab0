// Modified Azimuthal Equidistant and the Guam Projection through the generic
// pair: the worked examples of IOGP Guidance Note 7-2 (Guam 1963 / Yap
// Islands, Guam 1963 / Guam SPCS) and, in the other quadrant, PROJ 9.1.1
// (+proj=aeqd, the geodesic, and +proj=aeqd +guam).
#include <gtest/gtest.h>

#include <cmath>

#include "grid_cases.h"
#include "test_records.h"

namespace {

// Clarke 1866, a and b as EPSG defines it.
const EllipsoidRecord kClarke1866 = MakeEllipsoid(6378206.4, 6356583.8);

// EPSG:3295 Guam 1963 / Yap Islands.
const ProjectionRecord kYap = MakeProjection(kModifiedAzimuthalEquidistant, kClarke1866, 1,
                                             Dms(9, 32, 48.15), Dms(138, 10, 7.48), 40000, 60000);
// EPSG:3993 Guam 1963 / Guam SPCS.
const ProjectionRecord kGuam = MakeProjection(
    kGuamProjection, kClarke1866, 1, Dms(13, 28, 20.87887), Dms(144, 44, 55.50254), 50000, 50000);

TEST(AzimuthalEquidistant, WorkedExamplesBothWays) {
  const WorkedExample cases[] = {
      // GN7-2, to its printed centimetres and thousandths of an arc-second.
      {"Yap", kYap, Dms(9, 35, 47.493), Dms(138, 11, 34.908), 42665.90, 65509.82},
      {"Guam", kGuam, Dms(13, 20, 20.53846), Dms(144, 38, 7.19265), 37712.48, 35242.00},
      // PROJ's geodesic, 20 km south-west of the origin: the normal-section
      // azimuth and the published series part from it by well under 1 mm.
      {"Yap, south-west", kYap, Dms(9, 25, 0), Dms(138, 2, 0), 25127.7091, 45620.5948, 0.001, 1e-8},
      // PROJ's +guam, 20 km north-east of the origin.
      {"Guam, north-east", kGuam, Dms(13, 35, 0), Dms(144, 55, 0), 68173.0736, 62271.3203, 0.0005,
       1e-9},
  };
  for (const WorkedExample& c : cases) ExpectWorkedExample(c);
}

// Far out the forward's distance series is the geodesic distance, PROJ's
// radial distance, to some 0.04 mm; its azimuth is the normal section's, not
// the geodesic's, which parts from it by under an arc-second at 570 km.
TEST(AzimuthalEquidistant, ModifiedDistanceIsTheGeodesicsFarOut) {
  const struct {
    double latitude, longitude, projEasting, projNorthing;
  } cases[] = {
      {12, 142, 457354.8954, 333861.9321},
      {5.5, 135, -311420.8631, -386126.6200},
      {6, 141.5, 409050.1171, -330662.3115},
      {12.5, 134.5, -358955.0542, 388994.8493},
  };
  for (const auto& c : cases) {
    double e, n;
    LATLONTOGRID(&kYap, c.latitude, c.longitude, &e, &n, kYap.centralMeridian);
    const double x = e - 40000, y = n - 60000, px = c.projEasting - 40000,
                 py = c.projNorthing - 60000;
    EXPECT_NEAR(std::hypot(x, y), std::hypot(px, py), 0.001) << c.latitude << " " << c.longitude;
    EXPECT_NEAR(std::atan2(x, y), std::atan2(px, py), kArcSecond)
        << c.latitude << " " << c.longitude;
  }
}

// The published reverse of either method is not the exact inverse of its
// forward; the inverse solves the forward, out to 500 km from the origin.
TEST(AzimuthalEquidistant, RoundTripReturnsThePoint) {
  for (const ProjectionRecord& p : {kYap, kGuam}) {
    for (double dLat : {-4.5, -0.2, 0.0, 3.0}) {
      for (double dLon : {-4.0, 0.0, 0.3, 4.5}) {
        ExpectRoundTrip(p, p.latitudeOfOrigin + dLat, p.centralMeridian + dLon);
      }
    }
  }
}

TEST(AzimuthalEquidistant, UndefinedPointsGiveNaN) {
  for (const ProjectionRecord& p : {kYap, kGuam}) {
    EXPECT_TRUE(ForwardIsNaN(p, 90.5, p.centralMeridian)) << p.methodCode;
    EXPECT_TRUE(ForwardIsNaN(p, NAN, p.centralMeridian)) << p.methodCode;
    EXPECT_TRUE(InverseIsNaN(p, NAN, 1000)) << p.methodCode;
  }
  // The antipode of an origin on the equator, where psi is the latitude.
  const ProjectionRecord equator =
      MakeProjection(kModifiedAzimuthalEquidistant, kClarke1866, 1, 0, 10, 0, 0);
  EXPECT_TRUE(ForwardIsNaN(equator, 0, -170));
  EXPECT_FALSE(ForwardIsNaN(equator, 0.001, -170));
  // More than half a turn of longitude along a Guam parallel.
  EXPECT_TRUE(InverseIsNaN(kGuam, 50000 + 2.5e7, 50000));
}

}  // namespace
