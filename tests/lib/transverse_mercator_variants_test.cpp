// The Transverse Mercator variants through LATLONTOGRID and GRIDTOLATLON:
// the worked examples of IOGP Guidance Note 7-2 and values of PROJ 9.1.1.
#include <gtest/gtest.h>

#include <cmath>

#include "grid_cases.h"
#include "ostrak32.h"
#include "test_records.h"

namespace {

const EllipsoidRecord kInternational = MakeEllipsoidInverseFlattening(6378388, 297);

// The UTM zones as a zoned grid system: initial longitude 180 W, zones 6 degrees wide.
const ProjectionRecord kZoned =
    MakeProjection(kTransverseMercatorZonedGrid, kInternational, 0.9996, 0, -180, 500000, 0, 6);

const WorkedExample kExamples[] = {
    // GN7-2 3.2.3.3, Hartebeesthoek94 / Lo29: westing and southing.
    {"South Orientated",
     MakeProjection(kTransverseMercatorSouthOrientated, Wgs84Ellipsoid(), 1, 0, 29, 0, 0),
     Dms(-25, 43, 55.302), Dms(28, 16, 57.479), 71984.48, 2847342.74, 0.005, 0.0007 / 3600},
    // GN7-2, Transverse Mercator 3D: LUREF / Luxembourg TM (3D).
    {"3D",
     MakeProjection(kTransverseMercator3D, kInternational, 1, Dms(49, 50, 0), Dms(6, 10, 0), 80000,
                    100000),
     Dms(49, 34, 0.7381), Dms(5, 56, 16.146), 63444.834, 70387.372, 0.0005, 0.0001 / 3600},
    // PROJ, +proj=utm with the zone's million added: zones 31, 30, 60, 1 and 33.
    {"Zoned 31", kZoned, 51.2, 3.5, 31534935.3311, 5672301.2977, 0.002, 0.0001 / 3600},
    {"Zoned 30", kZoned, -33.4, -2.9, 30509299.6112, -3695693.6811, 0.002, 0.0001 / 3600},
    {"Zoned 60", kZoned, 10, 179.5, 60774081.9582, 1106463.8105, 0.002, 0.0001 / 3600},
    {"Zoned 1 from 180 E", kZoned, 45, 180, 1263542.9903, 4987422.4302, 0.002, 0.0001 / 3600},
    {"Zoned 33 on its edge", kZoned, 0, 12, 33166008.2956, 0, 0.002, 0.0001 / 3600},
};

TEST(TransverseMercatorVariants, WorkedExamplesBothWays) {
  for (const WorkedExample& x : kExamples) ExpectWorkedExample(x);
}

// To the truncation of the library's Transverse Mercator series: some 3e-9
// degree at four degrees from the central meridian.
TEST(TransverseMercatorVariants, RoundTripReturnsThePoint) {
  ExpectRoundTripsAround(kExamples, {-3.0, 0.0, 4.5}, {-1.5, 0.25, 1.0}, 1e-8);
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
      {"south orientated, no latitude", &kExamples[0].projection, true, 90.5, 29},
      {"zoned, no latitude", &kZoned, true, -91, 3},
      {"zoned, zones not whole", &sevenDegrees, true, 10, 3},
      {"zoned, easting below zone 1", &kZoned, false, 400000, 100000},
      {"zoned, easting beyond zone 60", &kZoned, false, 61500000, 100000},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(c.forward ? ForwardIsNaN(*c.p, c.a, c.b) : InverseIsNaN(*c.p, c.a, c.b)) << c.name;
  }
}

}  // namespace
