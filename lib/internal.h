// What the library's families share: the extended format, PI, the elementary
// functions with their fallbacks, and the library's error trap.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>

#include "errortrap.h"

static_assert(LDBL_MANT_DIG == 64, "the library computes in the 80-bit extended format");

namespace ostrak {

using Real = long double;

// PI as the decimal 3.14159265358979, not full-precision pi; set by LIBMAIN.
extern Real PI;

// Elementary functions on extended values, angles in radians. Sine and
// cosine are within one unit in the last place of the C library's sinl and
// cosl; arctangent and square root give exactly its atanl and sqrtl.
Real Sin(Real x);
Real Cos(Real x);
void SinCos(Real x, Real& sine, Real& cosine);  // exactly Sin(x) and Cos(x)
Real Tan(Real x);                               // sine over cosine of the same argument
inline Real Atan(Real x);                       // one argument, result in [-pi/2, pi/2]
inline Real Sqrt(Real x);                       // a negative or NaN argument is returned unchanged
Real Ln(Real x);  // zero, negative, infinite, NaN or denormal argument gives 0
Real Exp(Real x);
Real Power(Real x, Real y);

#if defined(__x86_64__) || defined(__i386__)
// The C library's atanl and sqrtl are these two instructions of the unit;
// written in line they spare the call into the C library.
inline Real Atan(Real x) {
  Real y;
  __asm__("fpatan" : "=t"(y) : "0"(Real(1)), "u"(x) : "st(1)");
  return y;
}
inline Real Sqrt(Real x) {
  if (std::isnan(x) || x < 0) return x;
  Real y;
  __asm__("fsqrt" : "=t"(y) : "0"(x));
  return y;
}
#else
inline Real Atan(Real x) {
  return atanl(x);
}
inline Real Sqrt(Real x) {
  if (std::isnan(x) || x < 0) return x;
  return sqrtl(x);
}
#endif

// Power(x, N) for a whole N from 1 to 6, known when compiling: the same
// repeated squaring and multiplying, so the same products to the last bit.
template <int N>
inline Real PowerOf(Real x) {
  static_assert(N >= 1 && N <= 6);
  Real result = 1;
  Real base = x;
  for (int remaining = N; remaining != 0;) {
    if (remaining & 1) result = result * base;
    remaining >>= 1;
    if (remaining != 0) base = base * base;
  }
  return result;
}

// Arcsine for the Oblique Stereographic: 0 outside [-1, 1], full-precision pi/2 at +-1.
Real ARCSIN(Real x);

// The library's copy of the run-time error message routine (prefix "DLL error").
void ERRORMESSAGE(const char* routine, int32_t number);

// Number of the library's last trapped run-time error. Every trapped export
// writes it on leaving, so each thread has its own: two threads calling the
// library at once would otherwise race on it. Nothing reads it across threads.
extern constinit thread_local int32_t libraryErrorNumber;

// Nothing in the library allocates or calls anything that throws or fails, so
// no trap of its routines ever reports. The traps stay because each exported
// routine is a trapped routine of the library's interface: a routine that
// some day opens a file or allocates has its report in place, and the error
// number variable keeps its meaning for callers that read it.
class LibraryErrorTrap : public ErrorTrap {
 public:
  explicit LibraryErrorTrap(const char* routine) noexcept
      : ErrorTrap(routine, libraryErrorNumber, &ERRORMESSAGE) {}
};

// The first eccentricity squared of the projections, 1 - b^2/a^2 (the two
// squares formed first).
inline Real EccentricitySquared(Real a, Real b) {
  const Real b2 = b * b;
  const Real a2 = a * a;
  return 1 - b2 / a2;
}

// Wraps a longitude difference in degrees by one turn at most.
inline Real WrapLongitudeDifference(Real deltaDegrees) {
  if (deltaDegrees < -180) deltaDegrees += 360;
  if (deltaDegrees > 180) deltaDegrees -= 360;
  return deltaDegrees;
}

// Wraps a stored longitude output once, on the stored double.
inline void WrapStoredLongitude(double* longitude) {
  if (*longitude < -180) *longitude = *longitude + 360;
  if (*longitude > 180) *longitude = *longitude - 360;
}

}  // namespace ostrak
