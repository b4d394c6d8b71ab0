// Elementary functions of the library with their fallbacks for bad arguments.
#include <cmath>

#include "internal.h"

#ifdef _WIN32
#include <quadmath.h>
#endif

namespace ostrak {

namespace {

// The exact sine and cosine where the library's own reduction is not enough:
// near multiples of pi/2 and beyond a few turns.
#ifdef _WIN32
// MinGW's sinl and cosl are the unit's FSIN and FCOS, whose reduction by a
// 66-bit pi keeps few correct digits near multiples of pi; quadruple
// precision (libquadmath, linked into the library) reduces exactly and
// rounds once.
Real ExactSin(Real x) {
  return static_cast<Real>(sinq(static_cast<__float128>(x)));
}
Real ExactCos(Real x) {
  return static_cast<Real>(cosq(static_cast<__float128>(x)));
}
#else
// glibc's sinl and cosl reduce exactly.
Real ExactSin(Real x) {
  return sinl(x);
}
Real ExactCos(Real x) {
  return cosl(x);
}
#endif

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
// are as accurate as the C library's kernels, at half their cost. FSINCOS
// gives the same two values as FSIN and FCOS.
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
void KernelSinCos(Real r, Real& s, Real& c) {
  __asm__("fsincos" : "=t"(c), "=u"(s) : "0"(r));
}
#else
Real KernelSin(Real r) {
  return sinl(r);
}
Real KernelCos(Real r) {
  return cosl(r);
}
void KernelSinCos(Real r, Real& s, Real& c) {
  s = sinl(r);
  c = cosl(r);
}
#endif

// The C library reduces every argument beyond pi/4 with its multi-word
// routine, which dominated the cost of a projection; arguments of a few turns
// are reduced here instead. The two subtractions after the exact first one
// each round; tail is the sum of their rounding errors (Dekker's fast two-sum,
// exact while r is at least four times k times the second part), which is
// what r lacks of x - k pi/2 but for the rounding of k times the third part,
// under 2^-36 of a unit of r. The kernel need not wait for the tail.
struct Reduced {
  Real r;
  Real weightedTail;  // the tail times kTailWeight, or NaN where it is not known
  int quadrant;
};

// The kernels are within 0.54 units in the last place of the true value
// (measured over millions of arguments); a tail worth less than 0.95 of a unit
// keeps the kernel's value within 1.5 units, and so within one unit of a
// correctly rounded result. Adding the tail times this weight leaves the
// value unchanged exactly then.
constexpr Real kTailWeight = 0.5L / 0.95L;

[[gnu::always_inline]] inline Reduced ReduceHalfPi(Real x) {
  Real shifted = x * kTwoOverPi + kRoundingShift;
  __asm__("" : "+t"(shifted));  // kept from being folded away
  const Real k = shifted - kRoundingShift;
  const Real a = x - k * kHalfPi1;  // exact
  const Real part2 = k * kHalfPi2;  // exact
  const Real b = a - part2;
  const Real part3 = k * kHalfPi3;
  const Real r = b - part3;
  const Real tail = ((b - r) - part3) + ((a - b) - part2);
  const bool known = fabsl(r) >= 4 * fabsl(part2);
  return {r, known ? tail * kTailWeight : Real(NAN),
          static_cast<int>(static_cast<int64_t>(static_cast<double>(k)) & 3)};
}

// The sine (quadrant 0) or cosine (quadrant 1) of x from its reduced argument
// and the kernel value of that quadrant: the kernel's value while the tail is
// small enough, otherwise (and close to a multiple of pi/2) the exact one. So results are those of
// the plain reduction wherever that was accurate enough; the tests hold them within one unit of the
// C library's.
[[gnu::always_inline]] inline Real FromKernel(Real x, const Reduced& reduced, int quadrant,
                                              Real kernel, bool cosine) {
  const Real r = reduced.r;
  const Real r2 = r * r;
  // The slope of the kernel at r to a few bits: cos r, or -sin r.
  const Real slope = (quadrant & 1) == 0 ? 1 - r2 * 0.5L : r2 * r * (1 / 6.0L) - r;
  const Real step = slope * reduced.weightedTail;
  const Real value = (quadrant & 2) ? -kernel : kernel;
  if (((quadrant & 2) ? value - step : value + step) == value) return value;
  return cosine ? ExactCos(x) : ExactSin(x);
}

}  // namespace

Real Sin(Real x) {
  const Real size = fabsl(x);
  if (size <= kQuarterPi) return KernelSin(x);
  if (!(size < kReductionLimit)) return ExactSin(x);  // also infinities and NaN
  const Reduced reduced = ReduceHalfPi(x);
  const int quadrant = reduced.quadrant;
  const Real kernel = (quadrant & 1) == 0 ? KernelSin(reduced.r) : KernelCos(reduced.r);
  return FromKernel(x, reduced, quadrant, kernel, false);
}

Real Cos(Real x) {
  const Real size = fabsl(x);
  if (size <= kQuarterPi) return KernelCos(x);
  if (!(size < kReductionLimit)) return ExactCos(x);
  const Reduced reduced = ReduceHalfPi(x);
  const int quadrant = reduced.quadrant + 1;
  const Real kernel = (quadrant & 1) == 0 ? KernelSin(reduced.r) : KernelCos(reduced.r);
  return FromKernel(x, reduced, quadrant, kernel, true);
}

void SinCos(Real x, Real& sine, Real& cosine) {
  const Real size = fabsl(x);
  if (size <= kQuarterPi) {
    KernelSinCos(x, sine, cosine);
    return;
  }
  if (!(size < kReductionLimit)) {
    sine = ExactSin(x);
    cosine = ExactCos(x);
    return;
  }
  const Reduced reduced = ReduceHalfPi(x);
  Real s, c;
  KernelSinCos(reduced.r, s, c);
  const bool even = (reduced.quadrant & 1) == 0;
  sine = FromKernel(x, reduced, reduced.quadrant, even ? s : c, false);
  cosine = FromKernel(x, reduced, reduced.quadrant + 1, even ? c : s, true);
}

Real Tan(Real x) {
  Real sine, cosine;
  SinCos(x, sine, cosine);
  return sine / cosine;
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
