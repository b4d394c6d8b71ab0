// What the methods behind LATLONTOGRID and GRIDTOLATLON share: full-precision
// pi, the ellipsoid's eccentricity, the conformal and authalic latitudes and
// their inverses, and the storing of results (NaN where undefined).
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

#include "internal.h"
#include "ostrak32.h"

namespace ostrak {

inline constexpr Real kFullPi = 3.141592653589793238462643383279502884L;
inline constexpr Real kRadiansPerDegree = kFullPi / 180;

inline Real Radians(Real degrees) {
  return degrees * kRadiansPerDegree;
}

// The longitude difference from the origin in radians, wrapped into [-pi, pi].
inline Real LongitudeDifference(double longitude, double centralMeridian) {
  return WrapLongitudeDifference(static_cast<Real>(longitude) - centralMeridian) *
         kRadiansPerDegree;
}

struct Ellipsoid {
  Real a;
  Real e2;
  Real e;
};

inline Ellipsoid EllipsoidOf(const ProjectionRecord& p) {
  const Real e2 = EccentricitySquared(p.semiMajorAxis, p.semiMinorAxis);
  return {p.semiMajorAxis, e2, Sqrt(e2)};
}

// A latitude in degrees that no method computes: NaN or beyond a pole.
inline bool OutsideLatitudes(double latitude) {
  return !(std::fabs(latitude) <= 90);
}

// ln((1 + x) / (1 - x)), which is 2 atanh(x): for |x| <= 1/8 (e sin phi of
// every ellipsoid) the odd series 2 (x + x^3/3 + x^5/5 + ... + x^23/23), whose
// first omitted term is below 2^-70 of the sum, sparing a list run the
// logarithm per point; logl beyond.
inline constexpr Real kOddReciprocals[12] = {1.0L,      1.0L / 3,  1.0L / 5,  1.0L / 7,
                                             1.0L / 9,  1.0L / 11, 1.0L / 13, 1.0L / 15,
                                             1.0L / 17, 1.0L / 19, 1.0L / 21, 1.0L / 23};

inline Real LnRatio(Real x) {
  if (!(std::fabs(x) <= 0.125L)) return logl((1 + x) / (1 - x));
  // In powers of x^4, two chains at once: the even terms and the odd ones.
  const Real x2 = x * x;
  const Real x4 = x2 * x2;
  Real even = kOddReciprocals[10], odd = kOddReciprocals[11];
  for (int k = 8; k >= 0; k -= 2) {
    even = kOddReciprocals[k] + x4 * even;
    odd = kOddReciprocals[k + 1] + x4 * odd;
  }
  return 2 * x * (even + x2 * odd);
}

// t of the conformal methods for the north pole case,
// tan(pi/4 - phi/2) / [(1 - e sin phi) / (1 + e sin phi)]^(e/2).
Real IsometricT(Real phi, Real e);

// The latitude whose IsometricT is t: the series in e^8 of IOGP Guidance Note
// 7-2 (Mercator, Polar Stereographic) gives the start, then Newton's steps on the isometric
// latitude -ln t, each squaring the error, until the step is below 1e-15 rad (one or two after the
// series; at most 30; NaN if they do not settle).
Real LatitudeFromIsometricT(Real t, Real e);

// m = cos phi / (1 - e^2 sin^2 phi)^0.5.
Real ParallelRadiusRatio(Real phi, Real e2);

// q of the equal-area methods, (1 - e^2) [sin phi / (1 - e^2 sin^2 phi)
// - 1/(2e) ln((1 - e sin phi) / (1 + e sin phi))]; 2 sin phi on a sphere.
Real AuthalicQ(Real phi, Real e, Real e2);

// The latitude whose AuthalicQ is q: the authalic latitude asin(q / qP), the
// series in e^6 of IOGP Guidance Note 7-2 (Lambert Azimuthal Equal Area) for
// the start, then Newton's steps on q (Snyder eq. 3-16) to 1e-15 rad (at most
// 30; within about 1e-7 rad of a pole, where q is flat, until the steps stop
// shrinking, a few 1e-11 rad). NaN where |q| exceeds qP.
Real LatitudeFromAuthalicQ(Real q, Real e, Real e2);

// The geodetic latitude of an authalic latitude beta, the same way.
Real LatitudeFromAuthalic(Real beta, Real e, Real e2);

// The meridian arc as the series in e^6 of IOGP Guidance Note 7-2 gives it
// (Cassini-Soldner, American Polyconic, Bonne):
// M / a = c0 phi - c2 sin 2phi + c4 sin 4phi - c6 sin 6phi.
struct MeridianSeries {
  Real c0, c2, c4, c6;
};

inline MeridianSeries MeridianSeriesOf(Real e2) {
  const Real e4 = e2 * e2, e6 = e4 * e2;
  return {1 - e2 / 4 - 3 * e4 / 64 - 5 * e6 / 256, 3 * e2 / 8 + 3 * e4 / 32 + 45 * e6 / 1024,
          15 * e4 / 256 + 45 * e6 / 1024, 35 * e6 / 3072};
}

inline Real ArcOverA(const MeridianSeries& s, Real phi) {
  return s.c0 * phi - s.c2 * Sin(2 * phi) + s.c4 * Sin(4 * phi) - s.c6 * Sin(6 * phi);
}

// What a method derives from its record (eccentricity, cone or cylinder
// constants), formed once for a run of calls with the same record values on
// one thread: a list run makes a million calls with one record. The values
// are exactly those Form returns, so no result depends on the call before;
// the key is the bit pattern of every number of the record the methods read,
// and of the longitude of origin given apart.
template <class Constants, Constants (*Form)(const ProjectionRecord&, double)>
const Constants& FormedFor(const ProjectionRecord& p, double centralMeridian) {
  struct Memo {
    uint64_t key[11];
    Constants constants;
    bool formed;
  };
  thread_local Memo memo{};
  const double values[10] = {p.semiMajorAxis,    p.semiMinorAxis,         p.scaleFactor,
                             p.latitudeOfOrigin, p.centralMeridian,       p.falseEasting,
                             p.falseNorthing,    p.firstStandardParallel, p.secondStandardParallel,
                             centralMeridian};
  uint64_t key[11];
  std::memcpy(key, values, sizeof values);
  key[10] = static_cast<uint32_t>(p.methodCode);
  bool same = memo.formed;
  for (int i = 0; i < 11 && same; ++i) same = key[i] == memo.key[i];
  if (!same) {
    memo.constants = Form(p, centralMeridian);
    std::memcpy(memo.key, key, sizeof key);
    memo.formed = true;
  }
  return memo.constants;
}

// Wraps an angle difference in radians by one turn at most.
inline Real WrapRadians(Real angle) {
  if (angle < -kFullPi) angle += 2 * kFullPi;
  if (angle > kFullPi) angle -= 2 * kFullPi;
  return angle;
}

// The inverse of a forward through its published reverse where that reverse
// is approximate (Cassini-Soldner, Modified Azimuthal Equidistant): from the
// reverse of the grid point, (phi, lambda) is corrected by the reverse's miss
// at the forward of the current point until both corrections are below
// 1e-14 rad (at most 30 steps), so that forward then inverse returns the
// point. Forward and Reverse return false where they are undefined; the
// longitude difference stays within +-pi. False if it does not settle.
template <class Forward, class Reverse>
bool InverseThroughReverse(Real x, Real y, Forward forward, Reverse reverse, Real& phi,
                           Real& deltaLambda) {
  Real phiTarget, lambdaTarget;
  if (!reverse(x, y, phiTarget, lambdaTarget)) return false;
  phi = phiTarget;
  deltaLambda = lambdaTarget;
  for (int step = 0; step < 30; ++step) {
    Real xi, yi, phiBack, lambdaBack;
    if (!forward(phi, deltaLambda, xi, yi)) return false;
    if (!reverse(xi, yi, phiBack, lambdaBack)) return false;
    const Real dPhi = phiTarget - phiBack;
    const Real dLambda = WrapRadians(lambdaTarget - lambdaBack);
    phi += dPhi;
    deltaLambda = WrapRadians(deltaLambda + dLambda);
    if (std::fabs(dPhi) < 1e-14L && std::fabs(dLambda) < 1e-14L) {
      return std::fabs(phi) <= kFullPi / 2;
    }
  }
  return false;
}

// The same for a method whose constants do not take the longitude apart.
template <class Constants, Constants (*Form)(const ProjectionRecord&)>
Constants FormIgnoringMeridian(const ProjectionRecord& p, double) {
  return Form(p);
}
template <class Constants, Constants (*Form)(const ProjectionRecord&)>
const Constants& FormedFor(const ProjectionRecord& p) {
  return FormedFor<Constants, FormIgnoringMeridian<Constants, Form>>(p, 0);
}

inline void StoreUndefined(double* first, double* second) {
  *first = *second = NAN;
}

// Latitude and longitude in radians stored in degrees, the longitude wrapped
// once; a NaN in either makes both NaN.
void StoreGeographic(Real phi, Real lambda, double* latitude, double* longitude);

// Easting and northing stored; a NaN or infinity in either makes both NaN.
void StoreGrid(Real easting, Real northing, double* e, double* n);

}  // namespace ostrak
