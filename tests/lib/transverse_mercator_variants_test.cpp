// The Transverse Mercator variants through LATLONTOGRID and GRIDTOLATLON:
// the worked examples of IOGP Guidance Note 7-2 and values of PROJ 9.1.1.
#include <gtest/gtest.h>

#include <cmath>

#include "ostrak32.h"
#include "test_records.h"

namespace {

const EllipsoidRecord kInternational = MakeEllipsoidInverseFlattening(6378388, 297);

// The UTM zones as a zoned grid system: initial longitude 180 W, zones 6 degrees wide.
const ProjectionRecord kZoned =
    MakeProjection(kTransverseMercatorZonedGrid, kInternational, 0.9996, 0, -180, 500000, 0, 6);

struct Example {
  const char* name;
  ProjectionRecord p;
  double latitude, longitude;  // degrees
  double easting, northing;    // metres
  double gridTolerance;        // metres: half the last printed digit
  double angleTolerance;       // arc-seconds: the printed digit, and the grid's rounding
};

const Example kExamples[] = {
    // GN7-2 3.2.3.3, Hartebeesthoek94 / Lo29: westing and southing.
    {"South Orientated",
     MakeProjection(kTransverseMercatorSouthOrientated, Wgs84Ellipsoid(), 1, 0, 29, 0, 0),
     Dms(-25, 43, 55.302), Dms(28, 16, 57.479), 71984.48, 2847342.74, 0.005, 0.0007},
    // GN7-2, Transverse Mercator 3D: LUREF / Luxembourg TM (3D).
    {"3D",
     MakeProjection(kTransverseMercator3D, kInternational, 1, Dms(49, 50, 0), Dms(6, 10, 0), 80000,
                    100000),
     Dms(49, 34, 0.7381), Dms(5, 56, 16.146), 63444.834, 70387.372, 0.0005, 0.0001},
    // PROJ, +proj=utm with the zone's million added: zones 31, 30, 60, 1 and 33.
    {"Zoned 31", kZoned, 51.2, 3.5, 31534935.3311, 5672301.2977, 0.002, 0.0001},
    {"Zoned 30", kZoned, -33.4, -2.9, 30509299.6112, -3695693.6811, 0.002, 0.0001},
    {"Zoned 60", kZoned, 10, 179.5, 60774081.9582, 1106463.8105, 0.002, 0.0001},
    {"Zoned 1 from 180 E", kZoned, 45, 180, 1263542.9903, 4987422.4302, 0.002, 0.0001},
    {"Zoned 33 on its edge", kZoned, 0, 12, 33166008.2956, 0, 0.002, 0.0001},
};

TEST(TransverseMercatorVariants, WorkedExamplesBothWays) {
  for (const Example& x : kExamples) {
    double e, n, lat, lon;
    LATLONTOGRID(&x.p, x.latitude, x.longitude, &e, &n, x.p.centralMeridian);
    EXPECT_NEAR(e, x.easting, x.gridTolerance) << x.name;
    EXPECT_NEAR(n, x.northing, x.gridTolerance) << x.name;
    GRIDTOLATLON(&x.p, x.easting, x.northing, &lat, &lon, x.p.centralMeridian);
    EXPECT_NEAR(lat, x.latitude, x.angleTolerance / 3600) << x.name;
    EXPECT_NEAR(std::remainder(lon - x.longitude, 360.0), 0, x.angleTolerance / 3600) << x.name;
  }
}

// To the truncation of the library's Transverse Mercator series: some 3e-9
// degree at four degrees from the central meridian.
TEST(TransverseMercatorVariants, RoundTripReturnsThePoint) {
  for (const Example& x : kExamples) {
    for (double dLat : {-3.0, 0.0, 4.5}) {
      for (double dLon : {-1.5, 0.25, 1.0}) {
        const double lat = x.latitude + dLat, lon = x.longitude + dLon;
        double e, n, latBack, lonBack;
        LATLONTOGRID(&x.p, lat, lon, &e, &n, x.p.centralMeridian);
        GRIDTOLATLON(&x.p, e, n, &latBack, &lonBack, x.p.centralMeridian);
        EXPECT_NEAR(latBack, lat, 1e-8) << x.name << " " << lat << " " << lon;
        EXPECT_NEAR(std::remainder(lonBack - lon, 360.0), 0, 1e-8) << x.name << " " << lon;
      }
    }
  }
}

TEST(TransverseMercatorVariants, UndefinedPointsGiveNaN) {
  ProjectionRecord sevenDegrees = kZoned;
  sevenDegrees.firstStandardParallel = 7;  // no whole number of zones
  const struct {
    const char* name;
    const ProjectionRecord* p;
    bool forward;
    double a, b;
  } cases[] = {
      {"south orientated, no latitude", &kExamples[0].p, true, 90.5, 29},
      {"zoned, no latitude", &kZoned, true, -91, 3},
      {"zoned, zones not whole", &sevenDegrees, true, 10, 3},
      {"zoned, easting below zone 1", &kZoned, false, 400000, 100000},
      {"zoned, easting beyond zone 60", &kZoned, false, 61500000, 100000},
  };
  for (const auto& c : cases) {
    double u = 0, v = 0;
    if (c.forward) {
      LATLONTOGRID(c.p, c.a, c.b, &u, &v, c.p->centralMeridian);
    } else {
      GRIDTOLATLON(c.p, c.a, c.b, &u, &v, c.p->centralMeridian);
    }
    EXPECT_TRUE(std::isnan(u) && std::isnan(v)) << c.name;
  }
}

}  // namespace
