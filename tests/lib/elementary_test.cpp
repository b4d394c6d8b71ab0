#include <cfloat>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "internal.h"

using ostrak::Real;

namespace {

const Real kNan = std::numeric_limits<Real>::quiet_NaN();
const Real kInf = std::numeric_limits<Real>::infinity();

TEST(SineAndCosine, AgreeWithTheCLibraryToTheLastBits) {
  // The library reduces moderate arguments itself; the C library's reduction
  // is the reference. Allow two units in the last place of the extended format.
  const Real ulp = LDBL_EPSILON;
  int checked = 0;
  for (Real x = -40; x <= 40; x += 0.000731L) {
    const Real s = ostrak::Sin(x), c = ostrak::Cos(x);
    const Real sRef = sinl(x), cRef = cosl(x);
    ASSERT_LE(fabsl(s - sRef), 2 * ulp * fmaxl(fabsl(sRef), LDBL_MIN)) << static_cast<double>(x);
    ASSERT_LE(fabsl(c - cRef), 2 * ulp * fmaxl(fabsl(cRef), LDBL_MIN)) << static_cast<double>(x);
    ++checked;
  }
  EXPECT_GT(checked, 100000);
  // Near multiples of pi/2 the result is tiny and must keep its relative accuracy.
  const Real pi = 3.14159265358979323846264338327950288L;
  for (Real x : {pi, 2 * pi, pi / 2, 3 * pi / 2, 6 * pi, 1000 * pi, 999999.5L, 2e6L}) {
    EXPECT_LE(fabsl(ostrak::Sin(x) - sinl(x)), 2 * ulp * fabsl(sinl(x))) << static_cast<double>(x);
    EXPECT_LE(fabsl(ostrak::Cos(x) - cosl(x)), 2 * ulp * fabsl(cosl(x))) << static_cast<double>(x);
  }
  EXPECT_TRUE(std::isnan(ostrak::Sin(kNan)));
  EXPECT_TRUE(std::isnan(ostrak::Cos(kInf)));
}

TEST(SquareRoot, BadArgumentsComeBackUnchanged) {
  EXPECT_EQ(ostrak::Sqrt(-4), -4);
  EXPECT_EQ(ostrak::Sqrt(-1e-300L), -1e-300L);
  EXPECT_TRUE(std::isnan(ostrak::Sqrt(kNan)));
  EXPECT_EQ(ostrak::Sqrt(2.25L), 1.5L);
}

TEST(Logarithm, BadArgumentsGiveZero) {
  const Real denormal = LDBL_MIN / 4;
  ASSERT_EQ(std::fpclassify(denormal), FP_SUBNORMAL);
  for (Real x : {Real(0), Real(-1), -kInf, kInf, kNan, denormal}) {
    EXPECT_EQ(ostrak::Ln(x), 0) << static_cast<double>(x);
  }
  EXPECT_NEAR(static_cast<double>(ostrak::Ln(2.718281828459045235360287L)), 1.0, 1e-18);
}

TEST(ArcTangent, InfiniteArgumentGivesFullPrecisionQuarterTurn) {
  EXPECT_EQ(ostrak::Atan(kInf), 1.57079632679489661923132169163975L);
  EXPECT_EQ(ostrak::Atan(-kInf), -1.57079632679489661923132169163975L);
}

TEST(Power, Rules) {
  EXPECT_EQ(ostrak::Power(0, 0), 1);
  EXPECT_EQ(ostrak::Power(kNan, 0), 1);
  EXPECT_EQ(ostrak::Power(0, 2.5L), 0);
  EXPECT_TRUE(std::isnan(ostrak::Power(0, -1)));
  // A negative base takes the exponent rounded to a whole number.
  EXPECT_EQ(ostrak::Power(-2, 2.4L), 4);
  EXPECT_EQ(ostrak::Power(-2, 2.6L), -8);
  EXPECT_EQ(ostrak::Power(-2, -2), 0.25L);
  EXPECT_EQ(ostrak::Power(2, -3), 0.125L);
  EXPECT_EQ(ostrak::Power(10, 4), 10000);
  // Fractional exponents go through e^(y ln x).
  EXPECT_NEAR(static_cast<double>(ostrak::Power(2, 0.5L)), 1.4142135623730951, 1e-15);
  EXPECT_NEAR(static_cast<double>(ostrak::Power(4, 1.5L)), 8.0, 1e-15);
}

TEST(Power, SquaresAreExactProducts) {
  // Repeated squaring: x^2 is x*x and x^4 is (x*x)*(x*x), to the last bit.
  for (Real x : {0.1L, 1.7320508075688772L, 123456.789L, -0.333L}) {
    EXPECT_EQ(ostrak::Power(x, 2), x * x);
    const Real square = x * x;
    EXPECT_EQ(ostrak::Power(x, 4), square * square);
    EXPECT_EQ(ostrak::Power(x, 3), x * square);
    EXPECT_EQ(ostrak::Power(x, 6), square * (square * square));
  }
}

TEST(ArcSine, RangeAndEnds) {
  EXPECT_EQ(ostrak::ARCSIN(1.0000001L), 0);
  EXPECT_EQ(ostrak::ARCSIN(-1.5L), 0);
  EXPECT_EQ(ostrak::ARCSIN(1), 1.57079632679489661923132169163975L);
  EXPECT_EQ(ostrak::ARCSIN(-1), -1.57079632679489661923132169163975L);
  EXPECT_LT(fabsl(ostrak::ARCSIN(0.5L) - 0.523598775598298873077107230546583814L), 1e-18L);
  EXPECT_EQ(ostrak::ARCSIN(0), 0);
}

}  // namespace
