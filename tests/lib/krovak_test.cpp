// Krovak and its North Orientated and Modified forms, through the generic pair.
#include <gtest/gtest.h>

#include <cmath>

#include "ostrak32.h"
#include "test_records.h"

namespace {

// S-JTSK (method 9819 or 1041) and S-JTSK/05 (1042 or 1043) on Bessel 1841,
// referenced to Greenwich.
ProjectionRecord Sjtsk(int32_t method) {
  const bool modified = method == kKrovakModified || method == kKrovakModifiedNorthOrientated;
  const double falseOrigin = modified ? 5000000 : 0;
  return MakeProjection(method, MakeEllipsoidInverseFlattening(6377397.155, 299.1528128), 0.9999,
                        49.5, Dms(24, 50, 0), falseOrigin, falseOrigin,
                        modified ? 30.2881397222222 : 30.2881397527778, 78.5);
}

const double kLat = Dms(50, 12, 32.442), kLon = Dms(16, 50, 59.179);

// IOGP Guidance Note 7-2's worked example of Krovak Modified (and its North
// Orientated form): southing 6050538.71 m, westing 5568990.91 m.
TEST(Krovak, PublishedExampleOfTheModifiedForms) {
  const struct {
    int32_t method;
    double e, n;
  } cases[] = {{kKrovakModified, 5568990.91, 6050538.71},
               {kKrovakModifiedNorthOrientated, -5568990.91, -6050538.71}};
  for (const auto& c : cases) {
    const ProjectionRecord p = Sjtsk(c.method);
    double e = 0, n = 0, lat = 0, lon = 0;
    LATLONTOGRID(&p, kLat, kLon, &e, &n, p.centralMeridian);
    EXPECT_NEAR(e, c.e, 0.005) << c.method;
    EXPECT_NEAR(n, c.n, 0.005) << c.method;
    // Half a unit of the printed 0.001", plus the centimetre rounding of the grid values.
    GRIDTOLATLON(&p, c.e, c.n, &lat, &lon, p.centralMeridian);
    EXPECT_NEAR(lat, kLat, 0.0008 / 3600) << c.method;
    EXPECT_NEAR(lon, kLon, 0.0008 / 3600) << c.method;
  }
}

// Values of PROJ 9.1.1 (proj +proj=krovak +czech, and without +czech for the
// North Orientated signs), to the millimetre; the first is the worked example's point.
TEST(Krovak, AgreesWithProj) {
  const struct {
    double lat, lon, westing, southing;
  } cases[] = {
      {kLat, kLon, 568990.99544, 1050538.63085},
      {50.08, 14.4, 744518.851097, 1043703.385939},
      {48.72, 21.25, 263518.123647, 1239634.217677},
      {49.5, 18.0, 494300.297554, 1137014.357116},
  };
  for (const auto& c : cases) {
    for (int32_t method : {kKrovak, kKrovakNorthOrientated}) {
      const double sign = method == kKrovak ? 1 : -1;
      const ProjectionRecord p = Sjtsk(method);
      double e = 0, n = 0, lat = 0, lon = 0;
      LATLONTOGRID(&p, c.lat, c.lon, &e, &n, p.centralMeridian);
      EXPECT_NEAR(e, sign * c.westing, 0.001) << method << " " << c.lat;
      EXPECT_NEAR(n, sign * c.southing, 0.001) << method << " " << c.lat;
      GRIDTOLATLON(&p, sign * c.westing, sign * c.southing, &lat, &lon, p.centralMeridian);
      EXPECT_NEAR(lat, c.lat, 1e-9) << method << " " << c.lat;
      EXPECT_NEAR(lon, c.lon, 1e-9) << method << " " << c.lat;
    }
  }
}

TEST(Krovak, RoundTripOverTheArea) {
  for (int32_t method :
       {kKrovak, kKrovakNorthOrientated, kKrovakModified, kKrovakModifiedNorthOrientated}) {
    const ProjectionRecord p = Sjtsk(method);
    for (double lat : {47.7, 48.9, 50.1, 51.1}) {
      for (double lon : {12.0, 15.3, 18.9, 22.6}) {
        double e, n, latBack, lonBack;
        LATLONTOGRID(&p, lat, lon, &e, &n, p.centralMeridian);
        GRIDTOLATLON(&p, e, n, &latBack, &lonBack, p.centralMeridian);
        EXPECT_NEAR(latBack, lat, 1e-11) << method << " " << lat << " " << lon;
        EXPECT_NEAR(lonBack, lon, 1e-11) << method << " " << lat << " " << lon;
      }
    }
  }
}

TEST(Krovak, LatitudesBeyondThePolesGiveNaN) {
  for (int32_t method :
       {kKrovak, kKrovakNorthOrientated, kKrovakModified, kKrovakModifiedNorthOrientated}) {
    const ProjectionRecord p = Sjtsk(method);
    for (double lat : {90.5, -91.0}) {
      double e = 0, n = 0;
      LATLONTOGRID(&p, lat, 17, &e, &n, p.centralMeridian);
      EXPECT_TRUE(std::isnan(e) && std::isnan(n)) << method << " " << lat;
    }
  }
}

}  // namespace
