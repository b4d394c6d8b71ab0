// New Zealand Map Grid through the generic pair.
#include <gtest/gtest.h>

#include <cmath>

#include "ostrak32.h"
#include "test_records.h"

namespace {

// NZGD49 / New Zealand Map Grid on International 1924.
ProjectionRecord Nzmg() {
  return MakeProjection(kNewZealandMapGrid, MakeEllipsoidInverseFlattening(6378388, 297), 1, -41,
                        173, 2510000, 6023150);
}

// The points of the published test vectors (given to 1e-6 degree, so their
// grid values to about 0.04 m: 2487100.638 6751049.719, 2486533.395
// 6077263.661, 2216746.425 5388508.765), with PROJ 9.1.1's values
// (proj +proj=nzmg) for those very coordinates, to the millimetre.
TEST(NewZealandMapGrid, AgreesWithProjAndThePublishedVectors) {
  const ProjectionRecord p = Nzmg();
  const struct {
    double lat, lon, e, n, ePublished, nPublished;
  } cases[] = {
      {-34.444066, 172.739194, 2487100.664431, 6751049.754312, 2487100.638, 6751049.719},
      {-40.512409, 172.723106, 2486533.434284, 6077263.670245, 2486533.395, 6077263.661},
      {-46.651295, 169.172062, 2216746.394789, 5388508.714774, 2216746.425, 5388508.765},
  };
  for (const auto& c : cases) {
    double e = 0, n = 0, lat = 0, lon = 0;
    LATLONTOGRID(&p, c.lat, c.lon, &e, &n, 173);
    EXPECT_NEAR(e, c.e, 0.001) << c.lat;
    EXPECT_NEAR(n, c.n, 0.001) << c.lat;
    GRIDTOLATLON(&p, c.e, c.n, &lat, &lon, 173);
    EXPECT_NEAR(lat, c.lat, 1e-9) << c.lat;
    EXPECT_NEAR(lon, c.lon, 1e-9) << c.lat;
    GRIDTOLATLON(&p, c.ePublished, c.nPublished, &lat, &lon, 173);
    EXPECT_NEAR(lat, c.lat, 0.5e-6) << c.lat;
    EXPECT_NEAR(lon, c.lon, 0.5e-6) << c.lat;
  }
}

TEST(NewZealandMapGrid, RoundTripOverNewZealand) {
  const ProjectionRecord p = Nzmg();
  for (double lat : {-34.0, -37.5, -41.0, -44.2, -47.3}) {
    for (double lon : {166.5, 170.0, 173.0, 175.8, 178.5}) {
      double e, n, latBack, lonBack;
      LATLONTOGRID(&p, lat, lon, &e, &n, 173);
      GRIDTOLATLON(&p, e, n, &latBack, &lonBack, 173);
      EXPECT_NEAR(latBack, lat, 1e-11) << lat << " " << lon;
      EXPECT_NEAR(lonBack, lon, 1e-11) << lat << " " << lon;
    }
  }
}

TEST(NewZealandMapGrid, LatitudesBeyondThePolesGiveNaN) {
  const ProjectionRecord p = Nzmg();
  for (double lat : {90.5, -91.0}) {
    double e = 0, n = 0;
    LATLONTOGRID(&p, lat, 173, &e, &n, 173);
    EXPECT_TRUE(std::isnan(e) && std::isnan(n)) << lat;
  }
}

}  // namespace
