// The generic pair: the original three methods give their own exports' bits,
// an unknown method NaN.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "ostrak32.h"
#include "test_records.h"

namespace {

using Pair = void (*)(const ProjectionRecord*, double, double, double*, double*, double);

TEST(Grid, TheOriginalThreeGiveTheirOwnExportsBits) {
  const EllipsoidRecord airy = MakeEllipsoid(6377563.396, 6356256.909);
  const struct {
    ProjectionRecord p;
    Pair forward, inverse;
  } cases[] = {
      {MakeProjection(kTransverseMercator, airy, 0.9996012717, 49, -2, 400000, -100000),
       &LATLONTOTM, &TMTOLATLON},
      {MakeProjection(kLambertConic2SP, airy, 1, 27.8333333333, -99, 600000, 4000000, 28.3833333,
                      30.2833333),
       &LATLONTOLCC, &LCCTOLATLON},
      {MakeProjection(kObliqueStereographic, airy, 0.9999079, 52.156160556, 5.387638889, 155000,
                      463000),
       &LATLONTOOST, &OSTTOLATLON},
  };
  for (const auto& c : cases) {
    double e1, n1, e2, n2, lat1, lon1, lat2, lon2;
    c.forward(&c.p, 50.5, 0.5, &e1, &n1, c.p.centralMeridian);
    LATLONTOGRID(&c.p, 50.5, 0.5, &e2, &n2, c.p.centralMeridian);
    c.inverse(&c.p, e1, n1, &lat1, &lon1, c.p.centralMeridian);
    GRIDTOLATLON(&c.p, e1, n1, &lat2, &lon2, c.p.centralMeridian);
    const double got[] = {e2, n2, lat2, lon2};
    const double own[] = {e1, n1, lat1, lon1};
    EXPECT_EQ(std::memcmp(got, own, sizeof got), 0) << c.p.methodCode;
  }
}

TEST(Grid, AnUnknownMethodGivesNaN) {
  const ProjectionRecord p = MakeProjection(9999, Wgs84Ellipsoid(), 1, 0, 0, 0, 0);
  double a = 1, b = 1;
  LATLONTOGRID(&p, 10, 10, &a, &b, 0);
  EXPECT_TRUE(std::isnan(a) && std::isnan(b));
  a = b = 1;
  GRIDTOLATLON(&p, 10, 10, &a, &b, 0);
  EXPECT_TRUE(std::isnan(a) && std::isnan(b));
}

}  // namespace
