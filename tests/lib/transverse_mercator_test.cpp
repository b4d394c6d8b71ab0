#include <cmath>

#include <gtest/gtest.h>

#include "ostrak32.h"
#include "test_records.h"

namespace {

ProjectionRecord BritishNationalGrid() {
  // OSGB 1936 / British National Grid on Airy 1830.
  return MakeProjection(kTransverseMercator,
                        MakeEllipsoidInverseFlattening(6377563.396, 299.3249646), 0.9996012717, 49,
                        -2, 400000, -100000);
}

ProjectionRecord Utm(double centralMeridian) {
  return MakeProjection(kTransverseMercator, Wgs84Ellipsoid(), 0.9996, 0, centralMeridian, 500000,
                        0);
}

TEST(TransverseMercator, PublishedExample) {
  // EPSG guidance: 50 30 00 N, 00 30 00 E on the British National Grid gives
  // 577274.99, 69740.50. The guidance now computes its example with the exact
  // (JHS) formulas; the series used here lies within 1 cm of it at 2.5 degrees
  // from the central meridian (577274.984, 69740.492 by an independent
  // evaluation of the same series).
  const ProjectionRecord p = BritishNationalGrid();
  double e = 0, n = 0;
  LATLONTOTM(&p, 50.5, 0.5, &e, &n, p.centralMeridian);
  EXPECT_NEAR(e, 577274.99, 0.01);
  EXPECT_NEAR(n, 69740.50, 0.01);
  EXPECT_NEAR(e, 577274.984, 0.0005);
  EXPECT_NEAR(n, 69740.492, 0.0005);

  double lat = 0, lon = 0;
  TMTOLATLON(&p, 577274.99, 69740.50, &lat, &lon, p.centralMeridian);
  EXPECT_NEAR(lat, 50.5, 0.0005 / 3600);
  EXPECT_NEAR(lon, 0.5, 0.0005 / 3600);
}

TEST(TransverseMercator, OriginGoesToTheFalseOrigin) {
  const ProjectionRecord p = BritishNationalGrid();
  double e = 0, n = 0;
  LATLONTOTM(&p, 49, -2, &e, &n, -2);
  EXPECT_EQ(e, 400000);
  EXPECT_EQ(n, -100000);
}

TEST(TransverseMercator, ExactPolesTakeTheirOwnPath) {
  const ProjectionRecord p = Utm(3);
  // Quarter meridian of WGS 84, 10 001 965.729 m, times k0.
  for (double lon : {3.0, 50.0, -120.0}) {
    double e = 1, n = 1;
    LATLONTOTM(&p, 90.0, lon, &e, &n, 3);
    EXPECT_EQ(e, 500000) << lon;
    EXPECT_NEAR(n, 0.9996 * 10001965.729, 0.002) << lon;
    LATLONTOTM(&p, -90.0, lon, &e, &n, 3);
    EXPECT_EQ(e, 500000) << lon;
    EXPECT_NEAR(n, -0.9996 * 10001965.729, 0.002) << lon;
  }
  // Just short of the pole the general series runs: the easting moves off FE.
  double e = 0, n = 0;
  LATLONTOTM(&p, 89.9999999, 50, &e, &n, 3);
  EXPECT_NE(e, 500000);
  EXPECT_GT(e, 500000);
}

TEST(TransverseMercator, LongitudeDifferenceWrapsAcrossTheAntimeridian) {
  const ProjectionRecord p = Utm(0);
  double eWrapped, nWrapped, eDirect, nDirect;
  // 179 - (-179) = 358 -> -2, and -179 - 179 = -358 -> +2.
  LATLONTOTM(&p, 40, 179, &eWrapped, &nWrapped, -179);
  LATLONTOTM(&p, 40, -1, &eDirect, &nDirect, 1);
  EXPECT_EQ(eWrapped, eDirect);
  EXPECT_EQ(nWrapped, nDirect);
  EXPECT_LT(eWrapped, 500000);
  LATLONTOTM(&p, 40, -179, &eWrapped, &nWrapped, 179);
  LATLONTOTM(&p, 40, 1, &eDirect, &nDirect, -1);
  EXPECT_EQ(eWrapped, eDirect);
  EXPECT_EQ(nWrapped, nDirect);
  EXPECT_GT(eWrapped, 500000);
}

TEST(TransverseMercator, InverseClampsAtThePoles) {
  const ProjectionRecord p = Utm(3);
  double lat = 0, lon = 0;
  TMTOLATLON(&p, 612345, 1.1e7, &lat, &lon, 12.345678);
  EXPECT_EQ(lat, 90.0);
  EXPECT_EQ(lon, 12.345678);  // the central meridian as given, not wrapped
  TMTOLATLON(&p, 400000, -1.1e7, &lat, &lon, 200.5);
  EXPECT_EQ(lat, -90.0);
  EXPECT_EQ(lon, 200.5);
}

TEST(TransverseMercator, InverseOnTheCentralMeridian) {
  const ProjectionRecord p = Utm(9);
  double lat = 0, lon = 0;
  TMTOLATLON(&p, 500000, 5000000, &lat, &lon, 9);
  EXPECT_NEAR(lon, 9, 1e-13);
  // The footpoint latitude of 5000 km northing on WGS 84 / UTM (about 45.1 degrees).
  double e = 0, n = 0;
  LATLONTOTM(&p, lat, 9, &e, &n, 9);
  EXPECT_NEAR(n, 5000000, 1e-3);  // footpoint series truncation
}

TEST(TransverseMercator, InverseLongitudeWrapsOnce) {
  const ProjectionRecord p = Utm(179);
  double lat = 0, lon = 0, e = 0, n = 0;
  LATLONTOTM(&p, 10, -179, &e, &n, 179);  // two degrees east of the central meridian
  TMTOLATLON(&p, e, n, &lat, &lon, 179);
  EXPECT_NEAR(lon, -179, 1e-7);
  LATLONTOTM(&p, 10, 177, &e, &n, -179);  // two degrees west of -179
  TMTOLATLON(&p, e, n, &lat, &lon, -179);
  EXPECT_NEAR(lon, 177, 1e-7);
}

TEST(TransverseMercator, RoundTripWithinThreeDegreesOfTheCentralMeridian) {
  const ProjectionRecord projections[] = {
      Utm(-93), BritishNationalGrid(),
      MakeProjection(kTransverseMercator, Wgs84Ellipsoid(), 1.0, -30.5, 25, 0, 10000000)};
  for (const ProjectionRecord& p : projections) {
    for (double lat = -80; lat <= 80; lat += 4) {
      for (double dLon = -3; dLon <= 3; dLon += 0.75) {
        const double lon = p.centralMeridian + dLon;
        double e, n, latBack, lonBack;
        LATLONTOTM(&p, lat, lon, &e, &n, p.centralMeridian);
        TMTOLATLON(&p, e, n, &latBack, &lonBack, p.centralMeridian);
        EXPECT_NEAR(latBack, lat, 1e-6) << lat << " " << dLon;
        EXPECT_NEAR(lonBack, lon, 1e-6) << lat << " " << dLon;
      }
    }
  }
}

}  // namespace
