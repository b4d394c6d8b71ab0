// The Lambert conic variants through LATLONTOGRID and GRIDTOLATLON: the
// worked examples of IOGP Guidance Note 7-2 and values of PROJ 9.1.1.
#include <gtest/gtest.h>

#include <cmath>

#include "grid_cases.h"
#include "ostrak32.h"
#include "test_records.h"

namespace {

constexpr double kUsFoot = 1200.0 / 3937;

const EllipsoidRecord kClarke1866 = MakeEllipsoid(6378206.4, 6356583.8);

const WorkedExample kExamples[] = {
    // GN7-2 3.1.1.2, JAD69 / Jamaica National Grid.
    {"1SP", MakeProjection(kLambertConic1SP, kClarke1866, 1, 18, -77, 250000, 150000),
     Dms(17, 55, 55.80), Dms(-76, 56, 37.26), 255966.58, 142493.51, 0.005, 0.006 / 3600},
    // GN7-2 3.1.1.5, NAD27 / Michigan Central, published in US survey feet.
    {"2SP Michigan",
     MakeProjection(kLambertConic2SPMichigan, kClarke1866, 1.0000382, Dms(43, 19, 0),
                    Dms(-84, 20, 0), 2000000 * kUsFoot, 0, Dms(44, 11, 0), Dms(45, 42, 0)),
     43.75, Dms(-83, 10, 0), 2308335.75 * kUsFoot, 160210.48 * kUsFoot, 0.005 * kUsFoot,
     0.0006 / 3600},
    // GN7-2 3.1.1.4, Belge 1972 / Belge Lambert 72.
    {"2SP Belgium",
     MakeProjection(kLambertConic2SPBelgium, MakeEllipsoidInverseFlattening(6378388, 297), 1, 90,
                    Dms(4, 21, 24.983), 150000.01, 5400088.44, Dms(49, 50, 0), Dms(51, 10, 0)),
     Dms(50, 40, 46.461), Dms(5, 48, 26.533), 251763.20, 153034.13, 0.005, 0.0007 / 3600},
    // GN7-2 3.1.1.6, Deir ez Zor / Levant Zone.
    {"Near-Conformal",
     MakeProjection(kLambertConicNearConformal,
                    MakeEllipsoidInverseFlattening(6378249.2, 293.46602), 0.99962560,
                    Dms(34, 39, 0), Dms(37, 21, 0), 300000, 300000),
     Dms(37, 31, 17.625), Dms(34, 8, 11.291), 15707.96, 623165.96, 0.005, 0.0007 / 3600},
    // PROJ, +proj=lcc with +axis=wnu and x_0=0, the false easting added.
    {"West Orientated",
     MakeProjection(kLambertConicWestOrientated, kClarke1866, 1, 18, -77, 250000, 150000),
     Dms(17, 55, 55.80), Dms(-76, 56, 37.26), 250000 - 5966.5818, 142493.5110, 0.0001,
     0.0001 / 3600},
    // PROJ, a southern cone: n and r negative.
    {"1SP south",
     MakeProjection(kLambertConic1SP, Wgs84Ellipsoid(), 0.9995, -30, 25, 500000, 1000000), -38, 20,
     56779.0928, 100442.7216, 0.0001, 0.0001 / 3600},
};

TEST(LambertConicVariants, WorkedExamplesBothWays) {
  for (const WorkedExample& x : kExamples) ExpectWorkedExample(x);
}

TEST(LambertConicVariants, RoundTripReturnsThePoint) {
  ExpectRoundTripsAround(kExamples, {-6.0, 0.0, 7.5}, {-5.0, 0.5, 4.0}, 1e-10);
}

// Each cone's apex is its own pole, southern cones' too.
TEST(LambertConicVariants, TheApexIsThePole) {
  for (const WorkedExample& x : kExamples) {
    if (x.projection.methodCode == kLambertConicNearConformal)
      continue;  // no apex: a truncated series
    const double pole = x.projection.latitudeOfOrigin < 0 ? -90 : 90;
    double e, n, lat, lon;
    LATLONTOGRID(&x.projection, pole, x.projection.centralMeridian, &e, &n,
                 x.projection.centralMeridian);
    GRIDTOLATLON(&x.projection, e, n, &lat, &lon, x.projection.centralMeridian);
    EXPECT_EQ(lat, pole) << x.name;
  }
}

TEST(LambertConicVariants, UndefinedPointsGiveNaN) {
  const ProjectionRecord north = kExamples[0].projection;
  const ProjectionRecord south = kExamples[5].projection;
  const ProjectionRecord equator = MakeProjection(kLambertConic1SP, kClarke1866, 1, 0, 0, 0, 0);
  const struct {
    const ProjectionRecord* p;
    double latitude;
  } cases[] = {
      {&north, -90},   // the pole away from the apex
      {&south, 90},    // the same for a southern cone
      {&north, 90.5},  // no latitude
      {&equator, 10},  // a cone with no apex: the 1SP method on the equator
  };
  for (const auto& c : cases) {
    double e = 0, n = 0;
    LATLONTOGRID(c.p, c.latitude, c.p->centralMeridian, &e, &n, c.p->centralMeridian);
    EXPECT_TRUE(std::isnan(e) && std::isnan(n)) << c.latitude << " " << e << " " << n;
  }
  double lat = 0, lon = 0;
  GRIDTOLATLON(&equator, 1000, 1000, &lat, &lon, 0);
  EXPECT_TRUE(std::isnan(lat) && std::isnan(lon));
}

}  // namespace
