// Elementary functions of the library with their fallbacks for bad arguments.
#include <cmath>

#include "internal.h"

namespace ostrak {

Real Sin(Real x) {
  return sinl(x);
}
Real Cos(Real x) {
  return cosl(x);
}
Real Tan(Real x) {
  return sinl(x) / cosl(x);
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
  if (y == truncl(y) && fabsl(y) < 65536) return IntegerPower(x, static_cast<int32_t>(y));
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
