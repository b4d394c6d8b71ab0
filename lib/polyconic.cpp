// American Polyconic behind LATLONTOGRID and GRIDTOLATLON, after IOGP
// Guidance Note 7-2 (IOGP Publication 373-7-2, September 2019) section 3.1.5
// (the ellipsoidal Polyconic of Snyder, "Map Projections - A Working Manual").
//
// The meridian distance M is the published series in powers of e^2 up to
// e^6; it is the method, so its truncation is no error of ours. The inverse
// solves the equation of the published Newton iteration (the point lies on
// its parallel's circle) by bisection over the hemisphere instead, to 1e-15
// rad: the published iteration from phi = A diverges some 80 degrees of
// longitude from the central meridian. So forward then inverse returns the
// point. The longitude takes L from both its sine (as published) and its
// cosine, so that L beyond a right angle comes back; a grid point beyond the
// image of the ellipsoid (longitude difference over 180 degrees) gives NaN.
//
// Field mapping, one line per method:
// clang-format off
/*   9818 American Polyconic: latitudeOfOrigin = latitude of natural origin, centralMeridian = longitude of natural origin, falseEasting, falseNorthing; scaleFactor unused (1) */
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

struct Polyconic {
  Real a, e2;
  ostrak::MeridianSeries arc;
  Real M0;
};

Polyconic FormPolyconic(const ProjectionRecord& p) {
  Polyconic c;
  c.a = p.semiMajorAxis;
  c.e2 = ostrak::EccentricitySquared(c.a, p.semiMinorAxis);
  c.arc = ostrak::MeridianSeriesOf(c.e2);
  const Real phi0 = p.latitudeOfOrigin * kDegree;
  c.M0 = c.a * ostrak::ArcOverA(c.arc, phi0);
  return c;
}

}  // namespace

namespace ostrak {

void AmericanPolyconicForward(const ProjectionRecord& p, double latitude, double longitude,
                              double centralMeridian, double* easting, double* northing) {
  if (!(std::fabs(latitude) <= 90) || !std::isfinite(longitude)) {
    *easting = *northing = NAN;
    return;
  }
  const Polyconic& c = FormedFor<Polyconic, FormPolyconic>(p);
  const Real phi = latitude * kDegree;
  const Real deltaLambda =
      WrapLongitudeDifference(static_cast<Real>(longitude) - centralMeridian) * kDegree;
  if (latitude == 0) {
    *easting = static_cast<double>(p.falseEasting + c.a * deltaLambda);
    *northing = static_cast<double>(p.falseNorthing - c.M0);
    return;
  }
  Real sinPhi, cosPhi;
  SinCos(phi, sinPhi, cosPhi);
  const Real nuCot = c.a / Sqrt(1 - c.e2 * sinPhi * sinPhi) * cosPhi / sinPhi;
  Real sinL, cosL;
  SinCos(deltaLambda * sinPhi, sinL, cosL);
  *easting = static_cast<double>(p.falseEasting + nuCot * sinL);
  *northing = static_cast<double>(p.falseNorthing + c.a * ostrak::ArcOverA(c.arc, phi) - c.M0 +
                                  nuCot * (1 - cosL));
}

void AmericanPolyconicInverse(const ProjectionRecord& p, double easting, double northing,
                              double centralMeridian, double* latitude, double* longitude) {
  *latitude = *longitude = NAN;
  const Polyconic& c = FormedFor<Polyconic, FormPolyconic>(p);
  const Real x = (easting - static_cast<Real>(p.falseEasting)) / c.a;
  const Real A = (c.M0 + (northing - static_cast<Real>(p.falseNorthing))) / c.a;
  if (!std::isfinite(x) || !std::isfinite(A)) return;
  if (A == 0) {
    if (!(fabsl(x) <= kPi)) return;  // beyond the equator's ends
    *latitude = 0;
    *longitude = static_cast<double>(centralMeridian + x / kDegree);
    WrapStoredLongitude(longitude);
    return;
  }
  // The parallel through the point, in the hemisphere of A's sign: the root
  // of h(phi) = C (x^2 + (|A| - M/a)^2) - 2 (|A| - M/a), negative towards the
  // equator and positive towards the pole.
  const Real Y = fabsl(A);
  auto h = [&](Real phi) {
    Real sinPhi, cosPhi;
    SinCos(phi, sinPhi, cosPhi);
    const Real C = Sqrt(1 - c.e2 * sinPhi * sinPhi) * sinPhi / cosPhi;
    const Real d = Y - ostrak::ArcOverA(c.arc, phi);
    return C * (x * x + d * d) - 2 * d;
  };
  Real low = 0, high = kPi / 2;
  for (int step = 0; step < 200 && high - low > 1e-15L; ++step) {
    const Real middle = (low + high) / 2;
    if (middle <= low || middle >= high) break;
    (h(middle) < 0 ? low : high) = middle;
  }
  if (!(high - low <= 1e-15L)) return;
  const Real phi = (low + high) / 2;
  Real sinPhi, cosPhi;
  SinCos(phi, sinPhi, cosPhi);
  const Real C = Sqrt(1 - c.e2 * sinPhi * sinPhi) * sinPhi / cosPhi;
  // sin L = x C as published, and cos L = 1 - (A - M/a) C from the northing,
  // so that L beyond a right angle comes back too.
  const Real L = atan2l(x * C, 1 - (Y - ostrak::ArcOverA(c.arc, phi)) * C);
  const Real deltaLambda = L / sinPhi;
  if (!(fabsl(deltaLambda) <= kPi)) return;  // beyond the image of the ellipsoid
  *latitude = static_cast<double>((A < 0 ? -phi : phi) / kDegree);
  *longitude = static_cast<double>(centralMeridian + deltaLambda / kDegree);
  WrapStoredLongitude(longitude);
}

}  // namespace ostrak
