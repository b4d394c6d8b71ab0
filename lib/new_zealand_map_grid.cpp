// New Zealand Map Grid (EPSG method 9811), after the New Zealand Map Grid
// formulas of IOGP Guidance Note 7-2 (from Department of Lands and Survey
// Technical Circular 1973/32): the latitude difference in units of 1e5
// arc-seconds gives the isometric latitude difference by the series A1..A10;
// the complex polynomial B1..B6 of (delta psi + i delta lambda), times the
// semi-major axis, gives northing and easting. The coefficients are those of
// the International 1924 ellipsoid, for which the method is defined.
//
// Field mapping:
// clang-format off
/*   9811 New Zealand Map Grid: latitudeOfOrigin = latitude of natural origin, centralMeridian = longitude of natural origin, scaleFactor = 1 (unused), falseEasting, falseNorthing */
// clang-format on
//
// The inverse starts from the published series C1..C6 and refines it by the
// published Newton iteration on the B polynomial, until the change is below
// 1e-15 (at most 20 steps) instead of the two published steps; the latitude
// difference starts from the published series D1..D9 and is refined by
// Newton's iteration on the A series until the change is below 1e-15 of the
// 1e5 arc-second unit (at most 20 steps), so that the inverse returns the
// forward's point exactly (the D series alone is within 6e-9 degree of it
// from 33 to 48 degrees south). Far from New Zealand the polynomials have no meaning;
// an inverse that does not settle gives NaN.
#include <cmath>
#include <complex>

#include "internal.h"
#include "method_support.h"
#include "ostrak32.h"
#include "projection_methods.h"

namespace ostrak {
namespace {

using Complex = std::complex<Real>;

constexpr Real kPi = ostrak::kFullPi;
constexpr Real kD2R = kPi / 180;
// Degrees to units of 1e5 arc-seconds.
constexpr Real kDegreesToUnits = 3600 * 1e-5L;

constexpr Real kA[10] = {0.6399175073L, -0.1358797613L, 0.063294409L, -0.02526853L, 0.0117879L,
                         -0.0055161L,   0.0026906L,     -0.001333L,   0.00067L,     -0.00034L};
const Complex kB[6] = {
    {0.7557853228L, 0},          {0.249204646L, 0.003371507L}, {-0.001541739L, 0.041058560L},
    {-0.10162907L, 0.01727609L}, {-0.26623489L, -0.36249218L}, {-0.6870983L, -1.1651967L}};
const Complex kC[6] = {
    {1.3231270439L, 0},          {-0.577245789L, -0.007809598L}, {0.508307513L, -0.112208952L},
    {-0.15094762L, 0.18200602L}, {1.01418179L, 1.64497696L},     {1.9660549L, 2.5127645L}};
constexpr Real kD[9] = {1.5627014243L, 0.5185406398L, -0.03333098L, -0.1052906L, -0.0368594L,
                        0.007317L,     0.01220L,      0.00394L,     -0.0013L};

// Sum of coefficient[n-1] x^n for n = 1..count, by Horner's rule.
template <typename T, typename C>
T Series(const C* coefficient, int count, T x) {
  T sum = coefficient[count - 1];
  for (int n = count - 2; n >= 0; --n) sum = coefficient[n] + x * sum;
  return sum * x;
}

// Its derivative: sum of n coefficient[n-1] x^(n-1).
template <typename T, typename C>
T SeriesDerivative(const C* coefficient, int count, T x) {
  T sum = coefficient[count - 1] * static_cast<Real>(count);
  for (int n = count - 2; n >= 0; --n) sum = coefficient[n] * static_cast<Real>(n + 1) + x * sum;
  return sum;
}

}  // namespace

void NewZealandMapGridForward(const ProjectionRecord& p, double latitude, double longitude,
                              double centralMeridian, double* easting, double* northing) {
  if (!(std::fabs(latitude) <= 90)) {
    *easting = *northing = NAN;
    return;
  }
  const Real dPhi = (static_cast<Real>(latitude) - p.latitudeOfOrigin) * kDegreesToUnits;
  const Real dPsi = Series(kA, 10, dPhi);
  const Real dLambda =
      WrapLongitudeDifference(static_cast<Real>(longitude) - centralMeridian) * kD2R;
  const Complex z = Series(kB, 6, Complex(dPsi, dLambda));
  *northing = static_cast<double>(p.falseNorthing + p.semiMajorAxis * z.real());
  *easting = static_cast<double>(p.falseEasting + p.semiMajorAxis * z.imag());
}

void NewZealandMapGridInverse(const ProjectionRecord& p, double easting, double northing,
                              double centralMeridian, double* latitude, double* longitude) {
  *latitude = *longitude = NAN;
  const Complex z((static_cast<Real>(northing) - p.falseNorthing) / p.semiMajorAxis,
                  (static_cast<Real>(easting) - p.falseEasting) / p.semiMajorAxis);
  Complex zeta = Series(kC, 6, z);
  bool settled = false;
  for (int i = 0; i < 20 && !settled; ++i) {
    const Complex next = zeta - (Series(kB, 6, zeta) - z) / SeriesDerivative(kB, 6, zeta);
    settled = std::abs(next - zeta) < 1e-15L;
    zeta = next;
  }
  if (!settled) return;
  const Real dPsi = zeta.real();
  Real dPhi = Series(kD, 9, dPsi);
  settled = false;
  for (int i = 0; i < 20 && !settled; ++i) {
    const Real next = dPhi - (Series(kA, 10, dPhi) - dPsi) / SeriesDerivative(kA, 10, dPhi);
    settled = fabsl(next - dPhi) < 1e-15L;
    dPhi = next;
  }
  if (!settled) return;
  *latitude = static_cast<double>(p.latitudeOfOrigin + dPhi / kDegreesToUnits);
  *longitude = static_cast<double>(WrapLongitudeDifference(centralMeridian + zeta.imag() / kD2R));
}

}  // namespace ostrak
