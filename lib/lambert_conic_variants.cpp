// The Lambert conic variants behind LATLONTOGRID and GRIDTOLATLON, after IOGP
// Guidance Note 7-2 (IOGP Publication 373-7-2, September 2019) section 3.1.1: Lambert Conic
// Conformal (1SP) and its West Orientated form, the 2SP Michigan and 2SP
// Belgium forms of the two-parallel method, and the Lambert Conic
// Near-Conformal of the Levant (section 3.1.1.6).
//
// The conformal methods take the latitude in the inverse by the published
// fixed-point iteration on t', carried to 1e-14 rad (at most 50 steps;
// otherwise NaN). The near-conformal inverse solves the published cubic in m
// by Newton's method (to 1e-9 m) and then the meridian distance series for
// the latitude, also by Newton's method (to 1e-14 rad), at most 50 steps each;
// its forward is the published truncated series, exact by construction.
//
// Field mapping, one line per method:
// clang-format off
/*   9801 Lambert Conic Conformal (1SP): latitudeOfOrigin = latitude of natural origin, centralMeridian = longitude of natural origin, scaleFactor = scale factor at natural origin, falseEasting, falseNorthing */
/*   9826 Lambert Conic Conformal (West Orientated): latitudeOfOrigin = latitude of natural origin, centralMeridian = longitude of natural origin, scaleFactor = scale factor at natural origin, falseEasting, falseNorthing (eastings increase westwards) */
/*   1051 Lambert Conic Conformal (2SP Michigan): latitudeOfOrigin = latitude of false origin, centralMeridian = longitude of false origin, firstStandardParallel = latitude of 1st standard parallel, secondStandardParallel = latitude of 2nd standard parallel, falseEasting = easting at false origin, falseNorthing = northing at false origin, scaleFactor = ellipsoid scaling factor */
/*   9803 Lambert Conic Conformal (2SP Belgium): latitudeOfOrigin = latitude of false origin, centralMeridian = longitude of false origin, firstStandardParallel = latitude of 1st standard parallel, secondStandardParallel = latitude of 2nd standard parallel, falseEasting = easting at false origin, falseNorthing = northing at false origin, scaleFactor unused (1) */
/*   9817 Lambert Conic Near-Conformal: latitudeOfOrigin = latitude of natural origin, centralMeridian = longitude of natural origin, scaleFactor = scale factor at natural origin, falseEasting, falseNorthing */
// clang-format on
#include <cmath>

#include "internal.h"
#include "method_support.h"
#include "ostrak32.h"
#include "projection_methods.h"

using ostrak::Real;

namespace {

constexpr Real kPi = ostrak::kFullPi;
constexpr Real kDegree = kPi / 180;
// The Belgian correction of the convergence, 29.2985 arc-seconds.
constexpr Real kBelgianAlpha = 29.2985L / 3600 * kDegree;

enum class Form { kOneParallel, kWestOrientated, kMichigan, kBelgium };

struct Cone {
  Real e;
  Real n;
  Real aF;  // a F, times k0 (1SP) or the ellipsoid scaling factor K (Michigan)
  Real r0;  // radius of the parallel of the origin
  Real alpha;
  bool westOrientated;  // eastings increase westwards
  bool valid;
};

Real SignOf(Real x) {
  return x < 0 ? Real(-1) : Real(1);
}

Cone FormCone(const ProjectionRecord& p, Form form) {
  using namespace ostrak;
  Cone c{};
  const Real a = p.semiMajorAxis;
  const Real e2 = EccentricitySquared(a, p.semiMinorAxis);
  c.e = Sqrt(e2);
  const Real phi0 = p.latitudeOfOrigin * kDegree;
  const Real t0 = ostrak::IsometricT(phi0, c.e);
  if (form == Form::kOneParallel || form == Form::kWestOrientated) {
    c.n = Sin(phi0);
    const Real F = ostrak::ParallelRadiusRatio(phi0, e2) / (c.n * Power(t0, c.n));
    c.aF = a * F * p.scaleFactor;
  } else {
    const Real phi1 = p.firstStandardParallel * kDegree;
    const Real phi2 = p.secondStandardParallel * kDegree;
    const Real m1 = ostrak::ParallelRadiusRatio(phi1, e2);
    const Real t1 = ostrak::IsometricT(phi1, c.e);
    c.n = (logl(m1) - logl(ostrak::ParallelRadiusRatio(phi2, e2))) /
          (logl(t1) - logl(ostrak::IsometricT(phi2, c.e)));
    const Real F = m1 / (c.n * Power(t1, c.n));
    c.aF = a * F * (form == Form::kMichigan ? Real(p.scaleFactor) : Real(1));
  }
  c.r0 = c.aF * Power(t0, c.n);
  c.alpha = form == Form::kBelgium ? kBelgianAlpha : 0;
  c.westOrientated = form == Form::kWestOrientated;
  c.valid = std::isfinite(c.n) && c.n != 0 && std::isfinite(c.aF) && std::isfinite(c.r0);
  return c;
}

// The constants of the record's own form.
Cone FormConeOf(const ProjectionRecord& p) {
  switch (p.methodCode) {
    case kLambertConicWestOrientated:
      return FormCone(p, Form::kWestOrientated);
    case kLambertConic2SPMichigan:
      return FormCone(p, Form::kMichigan);
    case kLambertConic2SPBelgium:
      return FormCone(p, Form::kBelgium);
    default:
      return FormCone(p, Form::kOneParallel);
  }
}

void ConicForward(const ProjectionRecord& p, double latitude, double longitude,
                  double centralMeridian, double* easting, double* northing) {
  using namespace ostrak;
  const Cone& c = FormedFor<Cone, FormConeOf>(p);
  // The pole away from the apex of the cone lies at infinity.
  if (!c.valid || !(fabsl(latitude) <= 90) || latitude == -90 * SignOf(c.n)) {
    *easting = *northing = NAN;
    return;
  }
  const Real phi = latitude * kDegree;
  const Real deltaLambda =
      WrapLongitudeDifference(static_cast<Real>(longitude) - centralMeridian) * kDegree;
  // The apex is the pole on the cone's side, taken exactly (at -90 the
  // tangent's argument rounds to beyond a right angle).
  const Real r = latitude == 90 * SignOf(c.n) ? 0 : c.aF * Power(ostrak::IsometricT(phi, c.e), c.n);
  Real sinTheta, cosTheta;
  SinCos(c.n * deltaLambda - c.alpha, sinTheta, cosTheta);
  const Real x = r * sinTheta;
  const Real y = c.r0 - r * cosTheta;
  *easting = static_cast<double>(c.westOrientated ? p.falseEasting - x : p.falseEasting + x);
  *northing = static_cast<double>(p.falseNorthing + y);
}

void ConicInverse(const ProjectionRecord& p, double easting, double northing,
                  double centralMeridian, double* latitude, double* longitude) {
  using namespace ostrak;
  const Cone& c = FormedFor<Cone, FormConeOf>(p);
  *latitude = *longitude = NAN;
  if (!c.valid) return;
  const Real x = c.westOrientated ? static_cast<Real>(p.falseEasting) - easting
                                  : easting - static_cast<Real>(p.falseEasting);
  const Real y = c.r0 - (northing - static_cast<Real>(p.falseNorthing));
  const Real sign = SignOf(c.n);
  const Real rPrime = sign * Sqrt(x * x + y * y);
  const Real thetaPrime = atan2l(sign * x, sign * y);
  if (rPrime == 0) {  // the apex: the pole on the cone's side
    *latitude = static_cast<double>(90 * sign);
    *longitude = centralMeridian;
    return;
  }
  const Real tPrime = Power(rPrime / c.aF, 1 / c.n);
  if (!std::isfinite(tPrime)) return;

  Real phi = kPi / 2 - 2 * Atan(tPrime);
  bool converged = false;
  for (int step = 0; step < 50 && !converged; ++step) {
    const Real es = c.e * Sin(phi);
    const Real next = kPi / 2 - 2 * Atan(tPrime * Power((1 - es) / (1 + es), c.e / 2));
    converged = fabsl(next - phi) < 1e-14L;
    phi = next;
  }
  if (!converged) return;
  const Real lambda = (thetaPrime + c.alpha) / c.n + static_cast<Real>(centralMeridian) * kDegree;
  *latitude = static_cast<double>(phi / kDegree);
  *longitude = static_cast<double>(lambda / kDegree);
  WrapStoredLongitude(longitude);
}

// Lambert Conic Near-Conformal: the constants of the truncated series.
struct NearConformal {
  Real A;                   // 1 / (6 rho0 nu0)
  Real Ap, Bp, Cp, Dp, Ep;  // A' (per degree), B', C', D', E' of the meridian distance
  Real r0;
  Real s0;
  Real sinPhi0;
  Real k0;
  bool valid;
};

// s(phi) of the method: A' in degrees, the other terms in radians.
Real NearConformalS(const NearConformal& c, Real phi) {
  using namespace ostrak;
  return c.Ap * (phi / kDegree) - c.Bp * Sin(2 * phi) + c.Cp * Sin(4 * phi) - c.Dp * Sin(6 * phi) +
         c.Ep * Sin(8 * phi);
}

NearConformal FormNearConformal(const ProjectionRecord& p) {
  using namespace ostrak;
  NearConformal c{};
  const Real a = p.semiMajorAxis;
  const Real b = p.semiMinorAxis;
  const Real e2 = EccentricitySquared(a, b);
  const Real f = (a - b) / a;
  const Real n = f / (2 - f);
  const Real n2 = n * n, n3 = n2 * n, n4 = n3 * n, n5 = n4 * n;
  const Real phi0 = p.latitudeOfOrigin * kDegree;
  Real cosPhi0;
  SinCos(phi0, c.sinPhi0, cosPhi0);
  const Real w = 1 - e2 * c.sinPhi0 * c.sinPhi0;
  const Real nu0 = a / Sqrt(w);
  const Real rho0 = a * (1 - e2) / (w * Sqrt(w));
  c.k0 = p.scaleFactor;
  c.A = 1 / (6 * rho0 * nu0);
  c.Ap = a * (1 - n + 5 * (n2 - n3) / 4 + 81 * (n4 - n5) / 64) * kDegree;
  c.Bp = 3 * a * (n - n2 + 7 * (n3 - n4) / 8 + 55 * n5 / 64) / 2;
  c.Cp = 15 * a * (n2 - n3 + 3 * (n4 - n5) / 4) / 16;
  c.Dp = 35 * a * (n3 - n4 + 11 * n5 / 16) / 48;
  c.Ep = 315 * a * (n4 - n5) / 512;
  c.r0 = c.k0 * nu0 * cosPhi0 / c.sinPhi0;
  c.s0 = NearConformalS(c, phi0);
  c.valid = c.sinPhi0 != 0 && std::isfinite(c.r0) && c.k0 > 0;
  return c;
}

}  // namespace

namespace ostrak {

void LambertConicForward(const ProjectionRecord& p, double latitude, double longitude,
                         double centralMeridian, double* easting, double* northing) {
  ConicForward(p, latitude, longitude, centralMeridian, easting, northing);
}
void LambertConicInverse(const ProjectionRecord& p, double easting, double northing,
                         double centralMeridian, double* latitude, double* longitude) {
  ConicInverse(p, easting, northing, centralMeridian, latitude, longitude);
}

void LambertNearConformalForward(const ProjectionRecord& p, double latitude, double longitude,
                                 double centralMeridian, double* easting, double* northing) {
  const NearConformal& c = FormedFor<NearConformal, FormNearConformal>(p);
  if (!c.valid || !(fabsl(latitude) <= 90)) {
    *easting = *northing = NAN;
    return;
  }
  const Real phi = latitude * kDegree;
  const Real deltaLambda =
      WrapLongitudeDifference(static_cast<Real>(longitude) - centralMeridian) * kDegree;
  const Real m = NearConformalS(c, phi) - c.s0;
  const Real M = c.k0 * (m + c.A * m * m * m);
  const Real r = c.r0 - M;
  const Real theta = deltaLambda * c.sinPhi0;
  const Real sinTheta = Sin(theta);
  *easting = static_cast<double>(p.falseEasting + r * sinTheta);
  *northing = static_cast<double>(p.falseNorthing + M + r * sinTheta * Tan(theta / 2));
}

void LambertNearConformalInverse(const ProjectionRecord& p, double easting, double northing,
                                 double centralMeridian, double* latitude, double* longitude) {
  *latitude = *longitude = NAN;
  const NearConformal& c = FormedFor<NearConformal, FormNearConformal>(p);
  if (!c.valid) return;
  const Real x = easting - static_cast<Real>(p.falseEasting);
  const Real y = c.r0 - (northing - static_cast<Real>(p.falseNorthing));
  const Real sign = c.sinPhi0 < 0 ? Real(-1) : Real(1);
  const Real thetaPrime = atan2l(sign * x, sign * y);
  const Real rPrime = sign * Sqrt(x * x + y * y);
  const Real MPrime = c.r0 - rPrime;

  // k0 (m + A m^3) = M' by Newton's method from m = M'.
  Real m = MPrime;
  bool converged = false;
  for (int step = 0; step < 50 && !converged; ++step) {
    const Real delta =
        (MPrime - c.k0 * m - c.k0 * c.A * m * m * m) / (c.k0 + 3 * c.k0 * c.A * m * m);
    m += delta;
    converged = fabsl(delta) < 1e-9L;  // metres
  }
  if (!converged) return;
  // s(phi) = m + s0 by Newton's method, ds/dphi from the series.
  const Real target = m + c.s0;
  Real phi = p.latitudeOfOrigin * kDegree + m / (c.Ap / kDegree);
  converged = false;
  for (int step = 0; step < 50 && !converged; ++step) {
    const Real slope = c.Ap / kDegree - 2 * c.Bp * Cos(2 * phi) + 4 * c.Cp * Cos(4 * phi) -
                       6 * c.Dp * Cos(6 * phi) + 8 * c.Ep * Cos(8 * phi);
    const Real delta = (target - NearConformalS(c, phi)) / slope;
    phi += delta;
    converged = fabsl(delta) < 1e-14L;
  }
  if (!converged || !(fabsl(phi) <= kPi / 2)) return;
  *latitude = static_cast<double>(phi / kDegree);
  *longitude =
      static_cast<double>(centralMeridian + static_cast<Real>(thetaPrime / c.sinPhi0) / kDegree);
  WrapStoredLongitude(longitude);
}

}  // namespace ostrak
