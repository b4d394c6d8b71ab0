#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "ostrak32.h"
#include "test_records.h"

namespace {

// Amersfoort / RD New on Bessel 1841, the published worked example of the method.
ProjectionRecord RdNew() {
  return MakeProjection(kObliqueStereographic, MakeEllipsoid(6377397.155, 6356078.962818),
                        0.9999079, 52.1561605556, 5.3876388889, 155000, 463000);
}

TEST(ObliqueStereographic, PublishedExample) {
  const ProjectionRecord p = RdNew();
  double e = 0, n = 0;
  LATLONTOOST(&p, 53, 6, &e, &n, p.centralMeridian);
  EXPECT_NEAR(e, 196105.283, 0.0005);
  EXPECT_NEAR(n, 557057.739, 0.0005);
  double lat = 0, lon = 0;
  OSTTOLATLON(&p, 196105.283, 557057.739, &lat, &lon, p.centralMeridian);
  EXPECT_NEAR(lat, 53, 1e-8);
  EXPECT_NEAR(lon, 6, 1e-8);
}

TEST(ObliqueStereographic, NaturalOriginBothWays) {
  const ProjectionRecord p = RdNew();
  double e = 0, n = 0;
  LATLONTOOST(&p, p.latitudeOfOrigin, p.centralMeridian, &e, &n, p.centralMeridian);
  EXPECT_NEAR(e, 155000, 1e-6);
  EXPECT_NEAR(n, 463000, 1e-6);
  double lat = 0, lon = 0;
  OSTTOLATLON(&p, 155000, 463000, &lat, &lon, p.centralMeridian);
  EXPECT_NEAR(lat, p.latitudeOfOrigin, 1e-11);
  EXPECT_NEAR(lon, p.centralMeridian, 1e-12);
  LATLONTOOST(&p, 50.25, p.centralMeridian, &e, &n, p.centralMeridian);
  EXPECT_NEAR(e, 155000, 1e-9);
}

TEST(ObliqueStereographic, RoundTripToTheIterationTolerance) {
  const ProjectionRecord projections[] = {
      RdNew(),
      MakeProjection(kObliqueStereographic, Wgs84Ellipsoid(), 0.999908, 46.5, 25, 500000, 500000),
      MakeProjection(kObliqueStereographic, Wgs84Ellipsoid(), 1, -40, -70, 0, 0)};
  for (const ProjectionRecord& p : projections) {
    for (double dLat = -8; dLat <= 8; dLat += 2) {
      for (double dLon = -8; dLon <= 8; dLon += 2) {
        const double lat = p.latitudeOfOrigin + dLat;
        const double lon = p.centralMeridian + dLon;
        double e, n, latBack, lonBack;
        LATLONTOOST(&p, lat, lon, &e, &n, p.centralMeridian);
        OSTTOLATLON(&p, e, n, &latBack, &lonBack, p.centralMeridian);
        EXPECT_NEAR(latBack, lat, 1e-11) << lat << " " << lon;
        EXPECT_NEAR(lonBack, lon, 1e-11) << lat << " " << lon;
      }
    }
  }
}

TEST(ObliqueStereographic, LongitudeDifferenceWrapsOnce) {
  const ProjectionRecord p = RdNew();
  const double lon0 = p.centralMeridian;
  double e1, n1, e2, n2;
  for (const auto& pair : {std::pair{190.0, -170.0}, std::pair{-190.0, 170.0}}) {
    LATLONTOOST(&p, 52, lon0 + pair.first, &e1, &n1, lon0);
    LATLONTOOST(&p, 52, lon0 + pair.second, &e2, &n2, lon0);
    EXPECT_NEAR(e1, e2, 1e-6) << pair.first;
    EXPECT_NEAR(n1, n2, 1e-6) << pair.first;
  }
  // 600 becomes 240 and -600 becomes -240: mirror images across the central
  // meridian, and not the point at -120 that a full reduction would give.
  LATLONTOOST(&p, 52, lon0 + 600, &e1, &n1, lon0);
  LATLONTOOST(&p, 52, lon0 - 600, &e2, &n2, lon0);
  EXPECT_NEAR(e1 - 155000, -(e2 - 155000), 1e-6);
  EXPECT_NEAR(n1, n2, 1e-6);
  double eFull, nFull;
  LATLONTOOST(&p, 52, lon0 - 120, &eFull, &nFull, lon0);
  EXPECT_GT(std::hypot(e1 - eFull, n1 - nFull), 1000);
}

TEST(ObliqueStereographic, InverseLongitudeWrapsOnce) {
  const ProjectionRecord p =
      MakeProjection(kObliqueStereographic, Wgs84Ellipsoid(), 0.9999, 60, 179, 300000, 700000);
  double e, n, lat, lon;
  LATLONTOOST(&p, 61, -179, &e, &n, 179);  // two degrees east: 181 before the wrap
  OSTTOLATLON(&p, e, n, &lat, &lon, 179);
  EXPECT_NEAR(lon, -179, 1e-9);
  EXPECT_NEAR(lat, 61, 1e-9);
}

TEST(ObliqueStereographic, NonFiniteInputReturns) {
  const ProjectionRecord p = RdNew();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (const auto& en :
       {std::pair{nan, 463000.0}, std::pair{155000.0, nan}, std::pair{inf, 463000.0},
        std::pair{155000.0, -inf}, std::pair{inf, inf}}) {
    double lat = 0, lon = 0;
    OSTTOLATLON(&p, en.first, en.second, &lat, &lon, p.centralMeridian);
    EXPECT_FALSE(std::isfinite(lat) && std::isfinite(lon) && lat == 0 && lon == 0);
  }
}

}  // namespace
