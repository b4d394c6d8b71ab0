// Elementary functions of the library with their fallbacks for bad arguments.
#include <cmath>

#include "internal.h"

namespace ostrak {

namespace {

// pi/2 in three parts (Cody and Waite): the first two short enough that k times
// them is exact for |k| < 2^21, the third to the full 64 bits.
constexpr Real kHalfPi1 = 0x6487ed51p-30L;
constexpr Real kHalfPi2 = 0x85a308d3p-65L;
constexpr Real kHalfPi3 = 0x98cc51701b839a25p-132L;
constexpr Real kTwoOverPi = 0.636619772367581343075535053490057448L;
constexpr Real kQuarterPi = 0.785398163397448309615660845819875721L;
constexpr Real kReductionLimit = 1e6L;
// Adding and taking away 1.5 * 2^63 rounds to a whole number in the rounding
// mode of the unit, round to nearest (halves to even) in the library.
constexpr Real kRoundingShift = 0x1.8p63L;

#if defined(__x86_64__) || defined(__i386__)
// Within +-pi/4 the unit's own instructions need no argument reduction and
// are as accurate as the C library's kernels, at half their cost.
Real KernelSin(Real r) {
  Real y;
  __asm__("fsin" : "=t"(y) : "0"(r));
  return y;
}
Real KernelCos(Real r) {
  Real y;
  __asm__("fcos" : "=t"(y) : "0"(r));
  return y;
}
#else
Real KernelSin(Real r) {
  return sinl(r);
}
Real KernelCos(Real r) {
  return cosl(r);
}
#endif

// The C library reduces every argument beyond pi/4 with its multi-word
// routine, which dominated the cost of a projection; arguments of a few turns
// are reduced here instead, to the same accuracy.
struct Reduced {
  Real r;
  int quadrant;
};

Reduced ReduceHalfPi(Real x) {
  volatile Real shifted = x * kTwoOverPi + kRoundingShift;  // kept from being folded away
  const Real k = shifted - kRoundingShift;
  const Real r = ((x - k * kHalfPi1) - k * kHalfPi2) - k * kHalfPi3;
  return {r, static_cast<int>(static_cast<int64_t>(static_cast<double>(k)) & 3)};
}

}  // namespace

Real Sin(Real x) {
  const Real size = fabsl(x);
  if (size <= kQuarterPi) return KernelSin(x);
  if (!(size < kReductionLimit)) return sinl(x);  // also infinities and NaN
  const Reduced reduced = ReduceHalfPi(x);
  switch (reduced.quadrant) {
    case 0:
      return KernelSin(reduced.r);
    case 1:
      return KernelCos(reduced.r);
    case 2:
      return -KernelSin(reduced.r);
    default:
      return -KernelCos(reduced.r);
  }
}

Real Cos(Real x) {
  const Real size = fabsl(x);
  if (size <= kQuarterPi) return KernelCos(x);
  if (!(size < kReductionLimit)) return cosl(x);
  const Reduced reduced = ReduceHalfPi(x);
  switch (reduced.quadrant) {
    case 0:
      return KernelCos(reduced.r);
    case 1:
      return -KernelSin(reduced.r);
    case 2:
      return -KernelCos(reduced.r);
    default:
      return KernelSin(reduced.r);
  }
}

Real Tan(Real x) {
  return Sin(x) / Cos(x);
}
Real Atan(Real x) {
  return atanl(x);
}

Real Sqrt(Real x) {
  if (std::isnan(x) || x < 0) return x;
  return sqrtl(x);
}

Real Ln(Real x) {
  if (!(x > 0) || std::isinf(x) || std::fpclassify(x) == FP_SUBNORMAL) return 0;
  return logl(x);
}

Real Exp(Real x) {
  return expl(x);
}

namespace {

// x to a whole power below 65536 in size: repeated squaring and multiplying,
// so that x^2 is exactly x*x; the reciprocal for a negative power.
Real IntegerPower(Real x, int32_t n) {
  const bool negative = n < 0;
  uint32_t remaining = negative ? static_cast<uint32_t>(-n) : static_cast<uint32_t>(n);
  Real result = 1;
  Real base = x;
  while (remaining != 0) {
    if (remaining & 1u) result = result * base;
    remaining >>= 1;
    if (remaining != 0) base = base * base;
  }
  return negative ? 1 / result : result;
}

}  // namespace

Real Power(Real x, Real y) {
  if (y == 0) return 1;
  if (x == 0) return y > 0 ? Real(0) : Real(NAN);
  if (x < 0) y = nearbyintl(y);
  if (fabsl(y) < 65536) {
    const int32_t whole = static_cast<int32_t>(y);
    if (whole == y) return IntegerPower(x, whole);
  }
  return Exp(y * Ln(x));
}

Real ARCSIN(Real x) {
  if (fabsl(x) > 1) return 0;
  LibraryErrorTrap trap("ARCSIN");
  if (x == 1) return 2 * Atan(1);
  if (x == -1) return -2 * Atan(1);
  return Atan(x / Sqrt(1 - x * x));
}

}  // namespace ostrak
