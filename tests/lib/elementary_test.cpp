#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "internal.h"

#ifdef _WIN32
#include <quadmath.h>
#endif

using ostrak::Real;

namespace {

const Real kNan = std::numeric_limits<Real>::quiet_NaN();
const Real kInf = std::numeric_limits<Real>::infinity();

// Position of an extended value among all extended values, from its 80-bit
// representation: neighbours differ by one, across binades too.
__int128 Position(Real x) {
  uint64_t significand;
  uint16_t signAndExponent;
  std::memcpy(&significand, &x, sizeof significand);
  std::memcpy(&signAndExponent, reinterpret_cast<const char*>(&x) + 8, sizeof signAndExponent);
  const __int128 magnitude = (static_cast<__int128>(signAndExponent & 0x7fff) << 63) |
                             (significand & ~(uint64_t{1} << 63));
  return (signAndExponent & 0x8000) ? -magnitude : magnitude;
}

int64_t UlpsApart(Real a, Real b) {
  const __int128 d = Position(a) - Position(b);
  return static_cast<int64_t>(d < 0 ? -d : d);
}

// A random extended value with all 64 bits of its significand random: in
// [low, high), or with a random sign and a binary exponent in [low, high).
struct Arguments {
  std::mt19937_64 bits{20240607};
  Real Uniform(Real low, Real high) {
    return low + (high - low) * ldexpl(static_cast<Real>(bits() | 1), -64);
  }
  Real AnyMagnitude(int lowExponent, int highExponent) {
    const int exponent = lowExponent + static_cast<int>(bits() % (highExponent - lowExponent));
    const Real magnitude = ldexpl(static_cast<Real>(bits() | (uint64_t{1} << 63)), exponent - 63);
    return (bits() & 1) ? -magnitude : magnitude;
  }
};

Real OurSin(Real x) {
  return ostrak::Sin(x);
}
Real OurCos(Real x) {
  return ostrak::Cos(x);
}
Real OurAtan(Real x) {
  return ostrak::Atan(x);
}
Real OurSqrt(Real x) {
  return ostrak::Sqrt(x);
}
#ifdef _WIN32
// MinGW's sinl and cosl are the unit's FSIN and FCOS, which reduce by a 66-bit
// pi; the reference there is quadruple precision, rounded once.
Real TheirSin(Real x) {
  return static_cast<Real>(sinq(static_cast<__float128>(x)));
}
Real TheirCos(Real x) {
  return static_cast<Real>(cosq(static_cast<__float128>(x)));
}
#else
Real TheirSin(Real x) {
  return sinl(x);
}
Real TheirCos(Real x) {
  return cosl(x);
}
#endif
Real TheirAtan(Real x) {
  return atanl(x);
}
Real TheirSqrt(Real x) {
  return sqrtl(x);
}

struct Agreement {
  const char* name;
  Real (*ours)(Real);
  Real (*theirs)(Real);
  int64_t allowedUlps;  // atanl and sqrtl are the same unit instructions as ours
  Real (*argument)(Arguments&);
};

TEST(ElementaryFunctions, AgreeWithTheCLibraryOverAMillionArguments) {
  // Sine and cosine over some six turns, the projections' multiple angles
  // included; arctangent and square root over all magnitudes.
  const Agreement agreements[] = {
      {"Sin", OurSin, TheirSin, 1, [](Arguments& a) { return a.Uniform(-40, 40); }},
      {"Cos", OurCos, TheirCos, 1, [](Arguments& a) { return a.Uniform(-40, 40); }},
      {"Atan", OurAtan, TheirAtan, 0, [](Arguments& a) { return a.AnyMagnitude(-80, 80); }},
      {"Sqrt", OurSqrt, TheirSqrt, 0,
       [](Arguments& a) { return fabsl(a.AnyMagnitude(-16000, 16000)); }},
  };
  for (const Agreement& f : agreements) {
    Arguments arguments;
    int64_t worst = 0;
    Real worstAt = 0;
    for (int i = 0; i < 1000000; ++i) {
      const Real x = f.argument(arguments);
      const int64_t apart = UlpsApart(f.ours(x), f.theirs(x));
      if (apart > worst) worst = apart, worstAt = x;
    }
    EXPECT_LE(worst, f.allowedUlps) << f.name << " at " << std::hexfloat << worstAt;
  }
}

TEST(SineAndCosine, AgreeWithTheCLibraryNearMultiplesOfAQuarterTurn) {
  // A few units either side of k pi/4 for six turns both ways: the reduced
  // argument is tiny at even k and the kernel changes at odd k.
  const Real quarterPi = 0.785398163397448309615660845819875721L;
  std::vector<Real> arguments = {999999.5L, 2e6L, 1e300L, -1e4000L, LDBL_MIN, -LDBL_TRUE_MIN};
  for (int k = -48; k <= 48; ++k) {
    Real above = k * quarterPi, below = above;
    for (int step = 0; step <= 6; ++step) {
      arguments.push_back(above);
      arguments.push_back(below);
      above = nextafterl(above, kInf);
      below = nextafterl(below, -kInf);
    }
  }
  for (Real x : arguments) {
    EXPECT_LE(UlpsApart(ostrak::Sin(x), TheirSin(x)), 1) << std::hexfloat << x;
    EXPECT_LE(UlpsApart(ostrak::Cos(x), TheirCos(x)), 1) << std::hexfloat << x;
  }
  EXPECT_TRUE(std::isnan(ostrak::Sin(kNan)));
  EXPECT_TRUE(std::isnan(ostrak::Cos(kInf)));
}

TEST(SineAndCosine, SinCosAndTanAreMadeOfTheSameTwoValues) {
  // SinCos takes both from one FSINCOS; they must be the bits of Sin and Cos.
  Arguments arguments;
  for (int i = 0; i < 200000; ++i) {
    const Real x = i % 2 ? arguments.Uniform(-40, 40) : arguments.AnyMagnitude(-70, 22);
    Real sine, cosine;
    ostrak::SinCos(x, sine, cosine);
    const Real s = ostrak::Sin(x), c = ostrak::Cos(x);
    ASSERT_EQ(std::memcmp(&sine, &s, 10), 0) << std::hexfloat << x;
    ASSERT_EQ(std::memcmp(&cosine, &c, 10), 0) << std::hexfloat << x;
    ASSERT_EQ(ostrak::Tan(x), s / c) << std::hexfloat << x;
  }
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
