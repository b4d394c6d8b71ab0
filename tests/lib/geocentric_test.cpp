#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "ostrak32.h"
#include "test_records.h"

namespace {

constexpr double kDeg = 3.14159265358979323846 / 180;
// PI/2 and PI of the library as doubles: not the doubles nearest pi/2 and pi.
constexpr double kLibraryHalfPi = 1.570796326794895;
constexpr double kLibraryPi = 3.14159265358979;
constexpr double kUnwritten = -777.0;

TEST(Geocentric, PublishedExample) {
  // EPSG guidance, geographic/geocentric conversion example on WGS 84:
  // 53 48 33.820 N, 2 07 46.380 E, h 73.0 m.
  const EllipsoidRecord wgs84 = Wgs84Ellipsoid();
  const double lat = Dms(53, 48, 33.820) * kDeg;
  const double lon = Dms(2, 7, 46.380) * kDeg;
  double x, y, z;
  CONVERTLATLONTOXYZ(lat, lon, 73.0, &x, &y, &z, &wgs84);
  EXPECT_NEAR(x, 3771793.968, 0.0005);
  EXPECT_NEAR(y, 140253.342, 0.0005);
  EXPECT_NEAR(z, 5124304.349, 0.0005);

  double latBack = 0, lonBack = 0, h = 0;
  CONVERTXYZTOLATLON(3771793.968, 140253.342, 5124304.349, lat, &latBack, &lonBack, &h, &wgs84);
  EXPECT_NEAR(latBack / kDeg, Dms(53, 48, 33.820), 0.0005 / 3600);
  EXPECT_NEAR(lonBack / kDeg, Dms(2, 7, 46.380), 0.0005 / 3600);
  EXPECT_NEAR(h, 73.0, 0.001);
}

TEST(Geocentric, EquatorAtZeroLongitude) {
  const EllipsoidRecord wgs84 = Wgs84Ellipsoid();
  double x, y, z;
  CONVERTLATLONTOXYZ(0, 0, 0, &x, &y, &z, &wgs84);
  EXPECT_EQ(x, 6378137.0);
  EXPECT_EQ(y, 0.0);
  EXPECT_EQ(z, 0.0);
  double lat = 1, lon = 1, h = 1;
  CONVERTXYZTOLATLON(x, y, z, 0, &lat, &lon, &h, &wgs84);
  EXPECT_EQ(lat, 0.0);
  EXPECT_EQ(lon, 0.0);
  EXPECT_EQ(h, 0.0);
}

TEST(Geocentric, RoundTripsAwayFromThePoles) {
  const EllipsoidRecord ellipsoids[] = {Wgs84Ellipsoid(),
                                        MakeEllipsoidInverseFlattening(6377397.155, 299.1528128),
                                        MakeEllipsoid(6378206.4, 6356583.8)};
  for (const EllipsoidRecord& e : ellipsoids) {
    for (double latDeg = -85; latDeg <= 85; latDeg += 8.5) {
      for (double lonDeg = -175; lonDeg <= 180; lonDeg += 35) {
        for (double height : {-100.0, 0.0, 2500.0}) {
          double x, y, z, lat, lon, h;
          CONVERTLATLONTOXYZ(latDeg * kDeg, lonDeg * kDeg, height, &x, &y, &z, &e);
          CONVERTXYZTOLATLON(x, y, z, latDeg * kDeg, &lat, &lon, &h, &e);
          EXPECT_NEAR(lat, latDeg * kDeg, 2e-15) << latDeg << " " << lonDeg;
          EXPECT_NEAR(lon, lonDeg * kDeg, 4e-15) << latDeg << " " << lonDeg;
          // The height comes from X / cos(lat) cos(lon), which loses digits near 90 degrees.
          EXPECT_NEAR(h, height, 2e-5) << latDeg << " " << lonDeg;
        }
      }
    }
  }
}

TEST(Geocentric, FarStartingLatitudeStillConverges) {
  const EllipsoidRecord wgs84 = Wgs84Ellipsoid();
  double x, y, z, lat, lon, h;
  CONVERTLATLONTOXYZ(60 * kDeg, 10 * kDeg, 100, &x, &y, &z, &wgs84);
  CONVERTXYZTOLATLON(x, y, z, 0, &lat, &lon, &h, &wgs84);
  EXPECT_NEAR(lat, 60 * kDeg, 2e-15);
  EXPECT_NEAR(h, 100, 1e-6);
}

struct QuadrantCase {
  double x;
  double y;
  double longitude;  // kUnwritten: the output keeps the caller's value
};

TEST(Geocentric, LongitudeQuadrantTable) {
  // pi/4 = 0.785398163397448309615660845819875721 (published constant).
  const long double quarter = 0.785398163397448309615660845819875721L;
  const long double pi15 = 3.14159265358979L;
  const QuadrantCase cases[] = {
      {1e6, 1e6, static_cast<double>(quarter)},
      {0, 1e6, kLibraryHalfPi},
      {-1e6, 1e6, static_cast<double>(pi15 - quarter)},
      {1e6, 0, 0.0},
      {0, 0, kUnwritten},
      {-1e6, 0, kLibraryPi},
      {1e6, -1e6, static_cast<double>(-quarter)},
      {0, -1e6, -kLibraryHalfPi},
      {-1e6, -1e6, static_cast<double>(quarter - pi15)},
  };
  const EllipsoidRecord wgs84 = Wgs84Ellipsoid();
  for (const QuadrantCase& c : cases) {
    double lat = 0, lon = kUnwritten, h = 0;
    CONVERTXYZTOLATLON(c.x, c.y, 1e6, 0.1, &lat, &lon, &h, &wgs84);
    EXPECT_EQ(lon, c.longitude) << "X " << c.x << " Y " << c.y;
  }
}

TEST(Geocentric, PolarAxisKeepsLongitudeAndGetsHeightMinusN) {
  const EllipsoidRecord wgs84 = Wgs84Ellipsoid();
  double lat = 0, lon = 0.25, h = 0;
  CONVERTXYZTOLATLON(0, 0, 6356752.314245179, 1.0, &lat, &lon, &h, &wgs84);
  EXPECT_EQ(lat, 1.5707963267948966);  // full-precision pi/2 from the arctangent
  EXPECT_EQ(lon, 0.25);
  // X is exactly 0, so the height is -N at the pole, -a^2/b.
  EXPECT_NEAR(h, -6399593.625758493, 1e-6);

  CONVERTXYZTOLATLON(0, 0, -6356752.314245179, -1.0, &lat, &lon, &h, &wgs84);
  EXPECT_EQ(lat, -1.5707963267948966);
  EXPECT_EQ(lon, 0.25);
}

TEST(Geocentric, MeridianNinetyWithXZeroGetsHeightMinusN) {
  const EllipsoidRecord wgs84 = Wgs84Ellipsoid();
  double lat = 0, lon = 0, h = 0;
  CONVERTXYZTOLATLON(0, 6378137.0, 0, 0, &lat, &lon, &h, &wgs84);
  EXPECT_EQ(lat, 0.0);
  EXPECT_EQ(lon, kLibraryHalfPi);
  EXPECT_EQ(h, -6378137.0);  // N at the equator is a
}

TEST(Geocentric, CentreGivesNanLatitudeAndHeight) {
  const EllipsoidRecord wgs84 = Wgs84Ellipsoid();
  double lat = 0, lon = 0.5, h = 0;
  // Starting from latitude 0 the first ratio is 0/0.
  CONVERTXYZTOLATLON(0, 0, 0, 0, &lat, &lon, &h, &wgs84);
  EXPECT_TRUE(std::isnan(lat));
  EXPECT_EQ(lon, 0.5);
  EXPECT_TRUE(std::isnan(h));
  // From any other start the ratio is infinite and the iteration settles on the pole.
  CONVERTXYZTOLATLON(0, 0, 0, 0.3, &lat, &lon, &h, &wgs84);
  EXPECT_EQ(lat, 1.5707963267948966);
  EXPECT_EQ(lon, 0.5);
}

TEST(Geocentric, NonFiniteInputReturns) {
  const EllipsoidRecord wgs84 = Wgs84Ellipsoid();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Row {
    double x, y, z, start;
    bool latitudeIsNan;
  };
  const Row rows[] = {{nan, 1e6, 1e6, 0.5, true},  {1e6, 1e6, nan, 0.5, true},
                      {1e6, 1e6, 1e6, nan, true},  {inf, 1e6, 1e6, 0.5, false},
                      {1e6, 1e6, inf, 0.5, false}, {inf, inf, inf, inf, true},
                      {1e6, -inf, 1e6, 0.5, false}};
  for (const Row& r : rows) {
    double lat = 0, lon = 0, h = 0;
    CONVERTXYZTOLATLON(r.x, r.y, r.z, r.start, &lat, &lon, &h, &wgs84);
    EXPECT_EQ(std::isnan(lat), r.latitudeIsNan) << r.x << " " << r.y << " " << r.z;
  }
  // A degenerate ellipsoid gives NaN or infinities, and returns.
  const EllipsoidRecord zero = MakeEllipsoid(0, 0);
  double lat = 0, lon = 0, h = 0, x = 0, y = 0, z = 0;
  CONVERTLATLONTOXYZ(0.5, 0.5, 0, &x, &y, &z, &zero);
  EXPECT_TRUE(std::isnan(x));
  CONVERTXYZTOLATLON(1e6, 1e6, 1e6, 0.5, &lat, &lon, &h, &zero);
  EXPECT_TRUE(std::isnan(lat));
}

}  // namespace
