#include <cmath>

#include <gtest/gtest.h>

#include "ostrak32.h"
#include "test_records.h"

namespace {

// NAD27 / Texas South Central on Clarke 1866, the published worked example of the method.
ProjectionRecord TexasSouthCentral(double k = 1) {
  return MakeProjection(kLambertConic2SP, MakeEllipsoid(6378206.4, 6356583.8), k, 27.8333333333,
                        -99, 609601.2192, 0, 28.3833333333, 30.2833333333);
}

// RGF93 / Lambert-93 on GRS 1980.
ProjectionRecord Lambert93() {
  return MakeProjection(kLambertConic2SP, MakeEllipsoidInverseFlattening(6378137.0, 298.257222101),
                        1, 46.5, 3, 700000, 6600000, 44, 49);
}

TEST(LambertConformalConic, PublishedExample) {
  const ProjectionRecord p = TexasSouthCentral();
  double e = 0, n = 0;
  LATLONTOLCC(&p, 28.5, -96, &e, &n, -99);
  EXPECT_NEAR(e, 903277.799, 0.0005);
  EXPECT_NEAR(n, 77650.943, 0.0005);
  // In US survey feet, as published: 2963503.91 and 254759.80.
  EXPECT_NEAR(e / (1200.0 / 3937), 2963503.91, 0.005);
  EXPECT_NEAR(n / (1200.0 / 3937), 254759.80, 0.005);
}

TEST(LambertConformalConic, InverseOfThePublishedExampleUsesTheSeries) {
  const ProjectionRecord p = TexasSouthCentral();
  double lat = 0, lon = 0;
  LCCTOLATLON(&p, 903277.799, 77650.943, &lat, &lon, -99);
  EXPECT_NEAR(lon, -96, 1e-8);  // the inputs are rounded to the millimetre
  // The e^6 series ends about 1.1e-8 degree short of 28.5; the published
  // iteration would reach 28.5 to 1e-12.
  EXPECT_GT(28.5 - lat, 0.5e-8);
  EXPECT_LT(28.5 - lat, 2e-8);
}

TEST(LambertConformalConic, FalseOriginBothWays) {
  const ProjectionRecord p = Lambert93();
  double e = 0, n = 0;
  LATLONTOLCC(&p, 46.5, 3, &e, &n, 3);
  EXPECT_NEAR(e, 700000, 1e-6);
  EXPECT_NEAR(n, 6600000, 1e-6);
  double lat = 0, lon = 0;
  LCCTOLATLON(&p, 700000, 6600000, &lat, &lon, 3);
  EXPECT_NEAR(lat, 46.5, 1e-7);  // series truncation only
  EXPECT_NEAR(lon, 3, 1e-12);
  // Anywhere on the central meridian the easting is FE.
  LATLONTOLCC(&p, 43.1, 3, &e, &n, 3);
  EXPECT_EQ(e, 700000);
}

TEST(LambertConformalConic, LongitudeDifferenceWrapsOnce) {
  const ProjectionRecord p = Lambert93();
  struct Case {
    double difference;
    double equivalent;
  };
  const Case cases[] = {{190, -170}, {-190, 170}, {180, 180}, {-180, -180}};
  for (const Case& c : cases) {
    double e1, n1, e2, n2;
    LATLONTOLCC(&p, 45, 3 + c.difference, &e1, &n1, 3);
    LATLONTOLCC(&p, 45, 3 + c.equivalent, &e2, &n2, 3);
    EXPECT_NEAR(e1, e2, 1e-6) << c.difference;
    EXPECT_NEAR(n1, n2, 1e-6) << c.difference;
  }
  // 600 is moved by one turn only, to 240: with n about 0.73 the point lies
  // almost straight across the apex of the cone (the pole, where r = 0).
  double eApex, nApex, eMeridian, nMeridian, eFar, nFar;
  LATLONTOLCC(&p, 90, 3, &eApex, &nApex, 3);
  LATLONTOLCC(&p, 45, 3, &eMeridian, &nMeridian, 3);
  LATLONTOLCC(&p, 45, 603, &eFar, &nFar, 3);
  const double r = nApex - nMeridian;
  EXPECT_GT(nFar - nApex, 0.9 * r);
  // +180 and -180 stay as they are: they land on opposite sides.
  double eEast, nEast, eWest, nWest;
  LATLONTOLCC(&p, 45, 183, &eEast, &nEast, 3);
  LATLONTOLCC(&p, 45, -177, &eWest, &nWest, 3);
  EXPECT_GT(eEast, 700000);
  EXPECT_LT(eWest, 700000);
}

TEST(LambertConformalConic, InverseLongitudeWrapsOnce) {
  ProjectionRecord p = Lambert93();
  double e, n, lat, lon;
  LATLONTOLCC(&p, 45, -179, &e, &n, 179);  // two degrees east: comes out as 181
  LCCTOLATLON(&p, e, n, &lat, &lon, 179);
  EXPECT_NEAR(lon, -179, 1e-9);
  LATLONTOLCC(&p, 45, 179, &e, &n, -179);  // comes out as -181
  LCCTOLATLON(&p, e, n, &lat, &lon, -179);
  EXPECT_NEAR(lon, 179, 1e-9);
}

TEST(LambertConformalConic, SouthernDefinitionMirrorsTheNorthern) {
  const EllipsoidRecord grs80 = MakeEllipsoidInverseFlattening(6378137.0, 298.257222101);
  const ProjectionRecord north =
      MakeProjection(kLambertConic2SP, grs80, 1, 40, 20, 1000, 2000, 35, 45);
  const ProjectionRecord south =
      MakeProjection(kLambertConic2SP, grs80, 1, -40, 20, 1000, 2000, -35, -45);
  for (double lat : {30.0, 38.5, 47.0, 60.0}) {
    for (double lon : {12.0, 20.0, 27.5}) {
      double eN, nN, eS, nS;
      LATLONTOLCC(&north, lat, lon, &eN, &nN, 20);
      LATLONTOLCC(&south, -lat, lon, &eS, &nS, 20);
      EXPECT_NEAR(eS, eN, 1e-6) << lat << " " << lon;
      EXPECT_NEAR(nS - 2000, -(nN - 2000), 1e-6) << lat << " " << lon;
      double latBack, lonBack;
      LCCTOLATLON(&south, eS, nS, &latBack, &lonBack, 20);
      EXPECT_NEAR(latBack, -lat, 1e-7);
      EXPECT_NEAR(lonBack, lon, 1e-9);
    }
  }
}

TEST(LambertConformalConic, RoundTripIsLimitedBySeriesTruncation) {
  const ProjectionRecord p = TexasSouthCentral();
  double worst = 0;
  for (double lat = 5; lat <= 75; lat += 5) {
    for (double lon = -105; lon <= -93; lon += 3) {
      double e, n, latBack, lonBack;
      LATLONTOLCC(&p, lat, lon, &e, &n, -99);
      LCCTOLATLON(&p, e, n, &latBack, &lonBack, -99);
      EXPECT_NEAR(lonBack, lon, 1e-10);
      EXPECT_NEAR(latBack, lat, 1e-7);
      worst = std::max(worst, std::abs(latBack - lat));
    }
  }
  EXPECT_GT(worst, 1e-12);  // the published iteration would be exact to rounding
}

TEST(LambertConformalConic, ScaleFactorScalesThePlaneUniformly) {
  const double k = 0.9999;
  const ProjectionRecord scaled = TexasSouthCentral(k);
  const ProjectionRecord unscaled = TexasSouthCentral(1);
  for (double lat : {26.0, 28.5, 31.0}) {
    for (double lon : {-101.0, -96.0}) {
      double e1, n1, ek, nk;
      LATLONTOLCC(&unscaled, lat, lon, &e1, &n1, -99);
      LATLONTOLCC(&scaled, lat, lon, &ek, &nk, -99);
      EXPECT_NEAR(ek - 609601.2192, k * (e1 - 609601.2192), 1e-6);
      EXPECT_NEAR(nk, k * n1, 1e-6);
      double lat1, lon1, latK, lonK;
      LCCTOLATLON(&unscaled, e1, n1, &lat1, &lon1, -99);
      LCCTOLATLON(&scaled, ek, nk, &latK, &lonK, -99);
      EXPECT_NEAR(latK, lat1, 1e-11);
      EXPECT_NEAR(lonK, lon1, 1e-11);
    }
  }
}

}  // namespace
