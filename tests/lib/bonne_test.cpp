// Bonne (South Orientated) through LATLONTOGRID and GRIDTOLATLON, against
// PROJ 9.1.1 (+proj=bonne +axis=wsu, no false origin).
#include <gtest/gtest.h>

#include <cmath>

#include "ostrak32.h"
#include "test_records.h"

namespace {

// The Portuguese Bonne's origin on International 1924, and a southern one on WGS 84.
const ProjectionRecord kNorth =
    MakeProjection(kBonneSouthOrientated, MakeEllipsoidInverseFlattening(6378388, 297), 1,
                   39.6666666666667, -8.13190611111111, 0, 0);
const ProjectionRecord kSouth =
    MakeProjection(kBonneSouthOrientated, Wgs84Ellipsoid(), 1, -35, 20, 0, 0);

// PROJ's meridian distance is not the published e^6 series: the latitudes
// part by some 1e-9 degree (0.1 mm); 1e-8 degree is about 1 mm.
TEST(BonneSouthOrientated, AgreesWithProjBothWays) {
  const struct {
    const char* name;
    const ProjectionRecord* p;
    double latitude, longitude, westing, southing;
  } cases[] = {
      {"south-west of the origin", &kNorth, 39, -9, 75202.0615, 73653.0107},
      {"north-east of the origin", &kNorth, 41.5, -7, -94511.6292, -204185.6002},
      {"the pole at the apex", &kNorth, 90, -8.13190611111111, 0, -5609694.8658},
      {"southern cone, north-east", &kSouth, -30, 25, -482231.4433, -542452.1603},
      {"southern cone, south-west", &kSouth, -42, 15, 414083.5678, 787327.6303},
  };
  for (const auto& c : cases) {
    double w, s, lat, lon;
    LATLONTOGRID(c.p, c.latitude, c.longitude, &w, &s, c.p->centralMeridian);
    EXPECT_NEAR(w, c.westing, 0.0005) << c.name;
    EXPECT_NEAR(s, c.southing, 0.0005) << c.name;
    GRIDTOLATLON(c.p, c.westing, c.southing, &lat, &lon, c.p->centralMeridian);
    EXPECT_NEAR(lat, c.latitude, 1e-8) << c.name;
    EXPECT_NEAR(lon, c.longitude, 1e-8) << c.name;
  }
}

TEST(BonneSouthOrientated, RoundTripReturnsThePoint) {
  for (const ProjectionRecord* p : {&kNorth, &kSouth}) {
    for (double dLat : {-6.0, 0.0, 5.5}) {
      for (double dLon : {-7.0, 0.25, 3.0}) {
        const double lat = p->latitudeOfOrigin + dLat, lon = p->centralMeridian + dLon;
        double w, s, latBack, lonBack;
        LATLONTOGRID(p, lat, lon, &w, &s, p->centralMeridian);
        GRIDTOLATLON(p, w, s, &latBack, &lonBack, p->centralMeridian);
        EXPECT_NEAR(latBack, lat, 1e-11) << lat << " " << lon;
        EXPECT_NEAR(lonBack, lon, 1e-11) << lat << " " << lon;
      }
    }
  }
}

TEST(BonneSouthOrientated, UndefinedPointsGiveNaN) {
  const ProjectionRecord equator =
      MakeProjection(kBonneSouthOrientated, Wgs84Ellipsoid(), 1, 0, 20, 0, 0);
  double u = 0, v = 0;
  LATLONTOGRID(&equator, 10, 21, &u, &v, 20);  // no cone on the equator
  EXPECT_TRUE(std::isnan(u) && std::isnan(v));
  u = v = 0;
  GRIDTOLATLON(&equator, 1000, 1000, &u, &v, 20);
  EXPECT_TRUE(std::isnan(u) && std::isnan(v));
  u = v = 0;
  LATLONTOGRID(&kNorth, -90.5, 0, &u, &v, kNorth.centralMeridian);
  EXPECT_TRUE(std::isnan(u) && std::isnan(v));
}

}  // namespace
