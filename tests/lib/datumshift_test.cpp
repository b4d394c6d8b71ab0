#include <cmath>

#include <gtest/gtest.h>

#include "ostrak32.h"
#include "test_records.h"

namespace {

struct Point {
  double x, y, z;
};

Point Forward(const DatumRecord& d, Point p) {
  Point out{};
  STARTTOWGS84(&out.x, &out.y, &out.z, p.x, p.y, p.z, &d);
  return out;
}

Point Reverse(const DatumRecord& d, Point p) {
  Point out{};
  WGS84TOTARGET(&out.x, &out.y, &out.z, p.x, p.y, p.z, &d);
  return out;
}

constexpr Point kStart{4000000, 1000000, 4800000};

TEST(DatumShift, GeocentricTranslationsBothWays) {
  const DatumRecord d = MakeDatum(kGeocentricTranslations, 100, -50, 25);
  const Point shifted = Forward(d, kStart);
  EXPECT_EQ(shifted.x, 4000100);
  EXPECT_EQ(shifted.y, 999950);
  EXPECT_EQ(shifted.z, 4800025);
  const Point back = Reverse(d, shifted);
  EXPECT_EQ(back.x, kStart.x);
  EXPECT_EQ(back.y, kStart.y);
  EXPECT_EQ(back.z, kStart.z);
}

TEST(DatumShift, PublishedTranslationExample) {
  // EPSG guidance: WGS 84 to ED50 in the North Sea, (+84.87, +96.49, +116.95) m.
  const Point shifted = Forward(MakeDatum(kGeocentricTranslations, 84.87, 96.49, 116.95),
                                {3771793.97, 140253.34, 5124304.35});
  EXPECT_NEAR(shifted.x, 3771878.84, 1e-6);
  EXPECT_NEAR(shifted.y, 140349.83, 1e-6);
  EXPECT_NEAR(shifted.z, 5124421.30, 1e-6);
}

TEST(DatumShift, PublishedHelmertExampleInBothConventions) {
  // EPSG guidance: 55 N, 4 E, h 0 on WGS 72 (a 6378135, 1/f 298.26) to WGS 84
  // with tZ +4.5 m, rZ +0.554" (position vector), dS +0.219 ppm; the
  // coordinate frame form has rZ -0.554". The published values are to the centimetre.
  const EllipsoidRecord wgs72 = MakeEllipsoidInverseFlattening(6378135.0, 298.26);
  Point start;
  CONVERTLATLONTOXYZ(55 * kArcSecond * 3600, 4 * kArcSecond * 3600, 0, &start.x, &start.y, &start.z,
                     &wgs72);
  EXPECT_NEAR(start.x, 3657660.66, 0.005);
  EXPECT_NEAR(start.y, 255768.55, 0.005);
  EXPECT_NEAR(start.z, 5201382.11, 0.005);
  const DatumRecord positionVector =
      MakeDatum(kPositionVector, 0, 0, 4.5, 0, 0, 0.554 * kArcSecond, 0.219e-6);
  const DatumRecord coordinateFrame =
      MakeDatum(kCoordinateFrame, 0, 0, 4.5, 0, 0, -0.554 * kArcSecond, 0.219e-6);
  for (const DatumRecord& d : {positionVector, coordinateFrame}) {
    const Point wgs84 = Forward(d, start);
    EXPECT_NEAR(wgs84.x, 3657660.78, 0.005) << d.methodCode;
    EXPECT_NEAR(wgs84.y, 255778.43, 0.005) << d.methodCode;
    EXPECT_NEAR(wgs84.z, 5201387.75, 0.005) << d.methodCode;
  }
}

TEST(DatumShift, UnknownMethodLeavesEveryOutputAsTheCallerSetIt) {
  for (int32_t method : {0, 9604, 9602, -1}) {
    const DatumRecord d = MakeDatum(method, 100, 200, 300, 1e-5, 1e-5, 1e-5, 1e-5);
    Point out{-1, -2, -3};
    STARTTOWGS84(&out.x, &out.y, &out.z, 1, 2, 3, &d);
    EXPECT_EQ(out.x, -1);
    EXPECT_EQ(out.y, -2);
    EXPECT_EQ(out.z, -3);
    WGS84TOTARGET(&out.x, &out.y, &out.z, 1, 2, 3, &d);
    EXPECT_EQ(out.x, -1);
    EXPECT_EQ(out.y, -2);
    EXPECT_EQ(out.z, -3);
  }
}

TEST(DatumShift, ZeroParametersLeaveThePointUnchanged) {
  for (int32_t method : {kGeocentricTranslations, kPositionVector, kCoordinateFrame}) {
    const DatumRecord d = MakeDatum(method, 0, 0, 0);
    for (const Point& p : {Forward(d, kStart), Reverse(d, kStart)}) {
      EXPECT_EQ(p.x, kStart.x) << method;
      EXPECT_EQ(p.y, kStart.y) << method;
      EXPECT_EQ(p.z, kStart.z) << method;
    }
  }
}

TEST(DatumShift, PositionVectorAndCoordinateFrameTurnInOppositeSenses) {
  const double r = 2e-5;
  const Point pv = Forward(MakeDatum(kPositionVector, 0, 0, 0, r, -r / 2, r / 3), kStart);
  const Point cf = Forward(MakeDatum(kCoordinateFrame, 0, 0, 0, r, -r / 2, r / 3), kStart);
  const Point dPv{pv.x - kStart.x, pv.y - kStart.y, pv.z - kStart.z};
  const Point dCf{cf.x - kStart.x, cf.y - kStart.y, cf.z - kStart.z};
  // Position vector: X' = X - rZ Y + rY Z, Y' = Y + rZ X - rX Z, Z' = Z - rY X + rX Y.
  EXPECT_NEAR(dPv.x, -(r / 3) * 1e6 + (-r / 2) * 4.8e6, 1e-6);
  EXPECT_NEAR(dPv.y, (r / 3) * 4e6 - r * 4.8e6, 1e-6);
  EXPECT_NEAR(dPv.z, -(-r / 2) * 4e6 + r * 1e6, 1e-6);
  EXPECT_NEAR(dCf.x, -dPv.x, 1e-6);
  EXPECT_NEAR(dCf.y, -dPv.y, 1e-6);
  EXPECT_NEAR(dCf.z, -dPv.z, 1e-6);
}

struct RoundTripCase {
  const char* what;
  DatumRecord datum;
  Point expectedDifference;  // back - start, worked out by hand from the reversed sense
};

TEST(DatumShift, ForwardThenReverseDiffersByTheNamedTermsOnly) {
  const double dS = 1e-3;
  const double rZ = 1e-5;
  const RoundTripCase cases[] = {
      // Pure scale: the reverse divides by 1 + dS, so it returns the start.
      {"scale 9606", MakeDatum(kPositionVector, 0, 0, 0, 0, 0, 0, dS), {0, 0, 0}},
      {"scale 9607", MakeDatum(kCoordinateFrame, 0, 0, 0, 0, 0, 0, dS), {0, 0, 0}},
      // Translation and scale: the translation is removed last, unscaled: (s - 1) t.
      {"t and scale",
       MakeDatum(kPositionVector, 100, -50, 25, 0, 0, 0, dS),
       {-100 * dS / (1 + dS), 50 * dS / (1 + dS), -25 * dS / (1 + dS)}},
      // Translation and a Z rotation: -R(RP) - Rt.
      //   position vector:  (rZ^2 X + rZ tY, rZ^2 Y - rZ tX, 0)
      //   coordinate frame: (rZ^2 X - rZ tY, rZ^2 Y + rZ tX, 0)
      {"t and rotation 9606",
       MakeDatum(kPositionVector, 100, -50, 0, 0, 0, rZ),
       {rZ * rZ * 4e6 + rZ * -50, rZ * rZ * 1e6 - rZ * 100, 0}},
      {"t and rotation 9607",
       MakeDatum(kCoordinateFrame, 100, -50, 0, 0, 0, rZ),
       {rZ * rZ * 4e6 - rZ * -50, rZ * rZ * 1e6 + rZ * 100, 0}},
  };
  for (const RoundTripCase& c : cases) {
    const Point back = Reverse(c.datum, Forward(c.datum, kStart));
    EXPECT_NEAR(back.x - kStart.x, c.expectedDifference.x, 2e-8) << c.what;
    EXPECT_NEAR(back.y - kStart.y, c.expectedDifference.y, 2e-8) << c.what;
    EXPECT_NEAR(back.z - kStart.z, c.expectedDifference.z, 2e-8) << c.what;
  }
}

TEST(DatumShift, ScaleMinusOneMakesTheReverseInfinite) {
  const DatumRecord d = MakeDatum(kPositionVector, 0, 0, 0, 0, 0, 0, -1);
  const Point p = Reverse(d, kStart);
  EXPECT_TRUE(std::isinf(p.x));
}

}  // namespace
