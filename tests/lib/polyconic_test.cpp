// American Polyconic through LATLONTOGRID and GRIDTOLATLON, against PROJ 9.1.1
// (+proj=poly) on SAD69 / Brazil Polyconic's parameters.
#include <gtest/gtest.h>

#include <cmath>

#include "ostrak32.h"
#include "test_records.h"

namespace {

const ProjectionRecord kBrazil =
    MakeProjection(kAmericanPolyconic, MakeEllipsoidInverseFlattening(6378160, 298.25), 1, 0, -54,
                   5000000, 10000000);

// PROJ's meridian distance is not the published e^6 series: they part by
// 0.8 mm at 60 degrees, the tolerances' margin (2e-8 degree is 2 mm at most).
TEST(AmericanPolyconic, AgreesWithProjBothWays) {
  const struct {
    const char* name;
    double latitude, longitude, easting, northing;
  } cases[] = {
      {"south-east", -15, -47, 5752730.6866, 8329102.7578},
      {"south-west", -30, -60, 4421344.7065, 6664722.4786},
      {"on the equator", 0, -40, 6558478.4911, 10000000},
      {"on the central meridian", 5, -54, 5000000, 10552887.3550},
      {"far north", 60, -30, 6310025.5534, 16894349.0216},
      {"L beyond a right angle", 60, 66, 8583248.5659, 21234102.3715},
  };
  for (const auto& c : cases) {
    double e, n, lat, lon;
    LATLONTOGRID(&kBrazil, c.latitude, c.longitude, &e, &n, -54);
    EXPECT_NEAR(e, c.easting, 0.001) << c.name;
    EXPECT_NEAR(n, c.northing, 0.001) << c.name;
    GRIDTOLATLON(&kBrazil, c.easting, c.northing, &lat, &lon, -54);
    EXPECT_NEAR(lat, c.latitude, 2e-8) << c.name;
    EXPECT_NEAR(lon, c.longitude, 2e-8) << c.name;
  }
}

TEST(AmericanPolyconic, RoundTripReturnsThePoint) {
  for (double lat : {-80.0, -33.0, -0.5, 4.0, 60.0}) {
    for (double lon : {-74.0, -50.5, 66.0, 120.0}) {  // to 174 degrees from the meridian
      double e, n, latBack, lonBack;
      LATLONTOGRID(&kBrazil, lat, lon, &e, &n, -54);
      GRIDTOLATLON(&kBrazil, e, n, &latBack, &lonBack, -54);
      EXPECT_NEAR(latBack, lat, 1e-11) << lat << " " << lon;
      EXPECT_NEAR(lonBack, lon, 1e-11) << lat << " " << lon;
    }
  }
}

TEST(AmericanPolyconic, UndefinedPointsGiveNaN) {
  double e = 0, n = 0;
  LATLONTOGRID(&kBrazil, 90.5, -54, &e, &n, -54);
  EXPECT_TRUE(std::isnan(e) && std::isnan(n));
  // Beyond the ends of the equator (a pi) and beyond the 180th meridian off it.
  for (const double northing : {10000000.0, 11000000.0}) {
    double lat = 0, lon = 0;
    GRIDTOLATLON(&kBrazil, 5000000 + 2.1e7, northing, &lat, &lon, -54);
    EXPECT_TRUE(std::isnan(lat) && std::isnan(lon)) << northing;
  }
}

}  // namespace
