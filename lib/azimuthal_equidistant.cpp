// Modified Azimuthal Equidistant and the Guam Projection behind LATLONTOGRID
// and GRIDTOLATLON, after the formulas and worked examples of IOGP Guidance
// Note 7-2 (IOGP Publication 373-7-2, September 2019) for the two methods
// (from Snyder, "Map Projections - A Working Manual", the ellipsoidal oblique
// Azimuthal Equidistant for Micronesia and its simplified form for Guam).
//
// Modified Azimuthal Equidistant. The forward is as published: psi, the
// latitude of the point seen from where the origin's normal meets the axis,
// the azimuth alpha and arc s on the sphere, then the distance c by the
// published series in s up to s^5 (the series is the method, so its
// truncation is no error of ours; Guidance Note 7-2 puts its departure from
// the geodesic as insignificant within 800 km). alpha and s are taken by
// atan2 from the arc's sine and cosine: the same values as the published
// arcsine within a quarter circle, where the arcsine would fold the arc back
// beyond it. The antipode of the origin on that sphere has no azimuth: it,
// and the points within 1e-12 rad of arc (some micrometres) of it, give NaN.
// The published reverse series (D, J and K up to D^4) is not the exact
// inverse of the forward series: it is off by under a micrometre within
// 50 km of the origin, some millimetres at 500 km and some centimetres at
// 800 km. The inverse here takes it as the first estimate and corrects it by
// the forward,
// p <- p + R(E, N) - R(F(p)), with F the forward and R the reverse series,
// until the step is below 1e-14 rad (at most 30 steps, otherwise NaN), so
// forward then inverse returns the point.
//
// Guam Projection. The forward is as published, the meridian distance M by
// the series in e^2 up to e^6 (the method's). The published reverse takes
// three fixed-point steps on the latitude, each from the footpoint series in
// e1 up to e1^4; that series is not the exact inverse of the e^6 series of M,
// so it is off by some 0.03 mm. The inverse here starts from the first of
// the three steps and solves the published northing equation
//   M(phi) + x^2 tan(phi) (1 - e^2 sin^2 phi)^0.5 / (2a) = M0 + (N - FN)
// by Newton's steps (its left side only grows with phi, so the root is
// unique) to 1e-14 rad (at most 30 steps, otherwise NaN); the longitude then
// comes from the easting exactly. A grid point whose longitude difference
// would exceed 180 degrees lies beyond the image of the ellipsoid: NaN.
//
// Field mapping, one line per method:
// clang-format off
/*   9832 Modified Azimuthal Equidistant: latitudeOfOrigin = latitude of natural origin, centralMeridian = longitude of natural origin, falseEasting, falseNorthing; scaleFactor unused (1) */
/*   9831 Guam Projection: latitudeOfOrigin = latitude of natural origin, centralMeridian = longitude of natural origin, falseEasting, falseNorthing; scaleFactor unused (1) */
// clang-format on
#include <cmath>

#include "internal.h"
#include "method_support.h"
#include "ostrak32.h"
#include "projection_methods.h"

using ostrak::Real;

namespace {

constexpr Real kPi = ostrak::kFullPi;

// Modified Azimuthal Equidistant.

struct Modified {
  Real e2, e, sinPhi0, cosPhi0, nu0, G;
};

Modified FormModified(const ProjectionRecord& p) {
  using namespace ostrak;
  const Ellipsoid el = EllipsoidOf(p);
  Modified m;
  m.e2 = el.e2;
  m.e = el.e;
  SinCos(Radians(p.latitudeOfOrigin), m.sinPhi0, m.cosPhi0);
  m.nu0 = el.a / Sqrt(1 - m.e2 * m.sinPhi0 * m.sinPhi0);
  m.G = m.e * m.sinPhi0 / Sqrt(1 - m.e2);
  return m;
}

// Offsets from the false origin of (phi, deltaLambda) in radians; false at
// the antipode.
bool ModifiedForward(const Modified& m, Real phi, Real deltaLambda, Real& x, Real& y) {
  using namespace ostrak;
  Real sinPhi, cosPhi;
  SinCos(phi, sinPhi, cosPhi);
  cosPhi = fabsl(cosPhi);  // at a pole the rounded pi/2 may give a cosine below zero
  const Real nuOverNu0 = Sqrt(1 - m.e2 * m.sinPhi0 * m.sinPhi0) / Sqrt(1 - m.e2 * sinPhi * sinPhi);
  // tan psi = (1 - e^2) tan phi + e^2 nu0 sin phi0 / (nu cos phi), both sides
  // times nu cos phi / nu0, so that a pole needs no tangent.
  const Real psi = atan2l((1 - m.e2) * nuOverNu0 * sinPhi + m.e2 * m.sinPhi0, nuOverNu0 * cosPhi);
  Real sinPsi, cosPsi, sinDl, cosDl;
  SinCos(psi, sinPsi, cosPsi);
  SinCos(deltaLambda, sinDl, cosDl);
  // The arc from the origin to (psi, deltaLambda) on the sphere: the parts
  // of its sine across and along the origin's meridian, and its cosine.
  const Real across = cosPsi * sinDl;
  const Real along = m.cosPhi0 * sinPsi - m.sinPhi0 * cosPsi * cosDl;
  const Real cosS = m.sinPhi0 * sinPsi + m.cosPhi0 * cosPsi * cosDl;
  const Real sinS = hypotl(across, along);
  if (sinS <= 1e-12L && cosS < 0) return false;  // at the antipode: no azimuth
  const Real s = atan2l(sinS, cosS);
  const Real alpha = atan2l(across, along);
  Real sinAlpha, cosAlpha;
  SinCos(alpha, sinAlpha, cosAlpha);
  const Real G = m.G;
  const Real H = m.e * m.cosPhi0 * cosAlpha / Sqrt(1 - m.e2);
  const Real H2 = H * H;
  const Real c = m.nu0 * s *
                 (1 - s * s * H2 * (1 - H2) / 6 + PowerOf<3>(s) / 8 * G * H * (1 - 2 * H2) +
                  PowerOf<4>(s) / 120 * (H2 * (4 - 7 * H2) - 3 * G * G * (1 - 7 * H2)) -
                  PowerOf<5>(s) / 48 * G * H);
  x = c * sinAlpha;
  y = c * cosAlpha;
  return true;
}

// The published reverse series: (phi, deltaLambda) from the offsets; false
// where it gives no point.
bool ModifiedReverseSeries(const Modified& m, Real x, Real y, Real& phi, Real& deltaLambda) {
  using namespace ostrak;
  const Real cPrime = hypotl(x, y);
  const Real alpha = atan2l(x, y);
  Real sinAlpha, cosAlpha;
  SinCos(alpha, sinAlpha, cosAlpha);
  const Real A = -m.e2 * m.cosPhi0 * m.cosPhi0 * cosAlpha * cosAlpha / (1 - m.e2);
  const Real B = 3 * m.e2 * (1 - A) * m.sinPhi0 * m.cosPhi0 * cosAlpha / (1 - m.e2);
  const Real D = cPrime / m.nu0;
  const Real J = D - A * (1 + A) * PowerOf<3>(D) / 6 - B * (1 + 3 * A) * PowerOf<4>(D) / 24;
  const Real K = 1 - A * J * J / 2 - B * PowerOf<3>(J) / 6;
  Real sinJ, cosJ;
  SinCos(J, sinJ, cosJ);
  const Real sinPsi = m.sinPhi0 * cosJ + m.cosPhi0 * sinJ * cosAlpha;
  if (!(fabsl(sinPsi) <= 1)) return false;
  const Real cosPsi = Sqrt(1 - sinPsi * sinPsi);
  // lon - lonO = asin(sin alpha' sin J / cos psi') as published, here by
  // atan2 with the cosine of the same spherical triangle.
  deltaLambda = atan2l(sinAlpha * sinJ * m.cosPhi0, cosJ - m.sinPhi0 * sinPsi);
  // tan phi = (1 - e^2 K sin phi0 / sin psi') tan psi' / (1 - e^2).
  phi = atan2l(sinPsi - m.e2 * K * m.sinPhi0, (1 - m.e2) * cosPsi);
  return std::isfinite(phi) && std::isfinite(deltaLambda);
}

// Guam Projection.

struct Guam {
  Real a, e2;
  ostrak::MeridianSeries arc;
  Real M0, tanPhi0, w0;
};

Guam FormGuam(const ProjectionRecord& p) {
  using namespace ostrak;
  const Ellipsoid el = EllipsoidOf(p);
  Guam g;
  g.a = el.a;
  g.e2 = el.e2;
  g.arc = MeridianSeriesOf(g.e2);
  const Real phi0 = Radians(p.latitudeOfOrigin);
  g.M0 = g.a * ArcOverA(g.arc, phi0);
  Real sinPhi0, cosPhi0;
  SinCos(phi0, sinPhi0, cosPhi0);
  g.tanPhi0 = sinPhi0 / cosPhi0;
  g.w0 = Sqrt(1 - g.e2 * sinPhi0 * sinPhi0);
  return g;
}

// The footpoint latitude of the meridian distance M: the published series in
// e1 = [1 - (1 - e^2)^0.5] / [1 + (1 - e^2)^0.5] up to e1^4.
Real Footpoint(const Guam& g, Real M) {
  using namespace ostrak;
  const Real s = Sqrt(1 - g.e2);
  const Real e1 = (1 - s) / (1 + s);
  const Real mu = M / (g.a * g.arc.c0);
  return mu + (3 * e1 / 2 - 27 * PowerOf<3>(e1) / 32) * Sin(2 * mu) +
         (21 * e1 * e1 / 16 - 55 * PowerOf<4>(e1) / 32) * Sin(4 * mu) +
         (151 * PowerOf<3>(e1) / 96) * Sin(6 * mu) + (1097 * PowerOf<4>(e1) / 512) * Sin(8 * mu);
}

}  // namespace

namespace ostrak {

void ModifiedAzimuthalForward(const ProjectionRecord& p, double latitude, double longitude,
                              double centralMeridian, double* easting, double* northing) {
  if (OutsideLatitudes(latitude)) return StoreUndefined(easting, northing);
  const Modified& m = FormedFor<Modified, FormModified>(p);
  Real x, y;
  if (!ModifiedForward(m, Radians(latitude), LongitudeDifference(longitude, centralMeridian), x,
                       y)) {
    return StoreUndefined(easting, northing);
  }
  StoreGrid(p.falseEasting + x, p.falseNorthing + y, easting, northing);
}

void ModifiedAzimuthalInverse(const ProjectionRecord& p, double easting, double northing,
                              double centralMeridian, double* latitude, double* longitude) {
  StoreUndefined(latitude, longitude);
  const Modified& m = FormedFor<Modified, FormModified>(p);
  const Real x = easting - static_cast<Real>(p.falseEasting);
  const Real y = northing - static_cast<Real>(p.falseNorthing);
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  Real phi, deltaLambda;
  if (!InverseThroughReverse(
          x, y,
          [&m](Real f, Real l, Real& xi, Real& yi) { return ModifiedForward(m, f, l, xi, yi); },
          [&m](Real xi, Real yi, Real& f, Real& l) {
            return ModifiedReverseSeries(m, xi, yi, f, l);
          },
          phi, deltaLambda)) {
    return;
  }
  StoreGeographic(phi, Radians(centralMeridian) + deltaLambda, latitude, longitude);
}

void GuamProjectionForward(const ProjectionRecord& p, double latitude, double longitude,
                           double centralMeridian, double* easting, double* northing) {
  if (OutsideLatitudes(latitude)) return StoreUndefined(easting, northing);
  const Guam& g = FormedFor<Guam, FormGuam>(p);
  const Real phi = Radians(latitude);
  const Real deltaLambda = LongitudeDifference(longitude, centralMeridian);
  Real sinPhi, cosPhi;
  SinCos(phi, sinPhi, cosPhi);
  const Real w = Sqrt(1 - g.e2 * sinPhi * sinPhi);
  const Real x = g.a * deltaLambda * cosPhi / w;
  // x^2 tan(phi) w / (2a), written without the tangent so that a pole is no
  // infinity times zero: a deltaLambda^2 sin(phi) cos(phi) / (2w).
  const Real y = g.a * ArcOverA(g.arc, phi) - g.M0 +
                 g.a * deltaLambda * deltaLambda * sinPhi * cosPhi / (2 * w);
  StoreGrid(p.falseEasting + x, p.falseNorthing + y, easting, northing);
}

void GuamProjectionInverse(const ProjectionRecord& p, double easting, double northing,
                           double centralMeridian, double* latitude, double* longitude) {
  StoreUndefined(latitude, longitude);
  const Guam& g = FormedFor<Guam, FormGuam>(p);
  const Real x = easting - static_cast<Real>(p.falseEasting);
  const Real target = g.M0 + (northing - static_cast<Real>(p.falseNorthing));
  if (!std::isfinite(x) || !std::isfinite(target)) return;
  const Real x2 = x * x;
  // The published first step, from the origin's latitude.
  Real phi = Footpoint(g, target - x2 * g.tanPhi0 * g.w0 / (2 * g.a));
  bool converged = false;
  for (int step = 0; step < 30 && !converged; ++step) {
    if (!(fabsl(phi) < kPi / 2)) return;
    Real sinPhi, cosPhi;
    SinCos(phi, sinPhi, cosPhi);
    const Real w2 = 1 - g.e2 * sinPhi * sinPhi;
    const Real w = Sqrt(w2);
    const Real f = g.a * ArcOverA(g.arc, phi) + x2 * sinPhi / cosPhi * w / (2 * g.a) - target;
    // The slope: rho, plus the x^2 term's (its w held constant, which
    // only slows the last steps by a part in a hundred).
    const Real slope = g.a * (1 - g.e2) / (w2 * w) + x2 * w / (2 * g.a * cosPhi * cosPhi);
    const Real change = f / slope;
    phi -= change;
    converged = fabsl(change) < 1e-14L;
  }
  if (!converged || !(fabsl(phi) < kPi / 2)) return;
  Real sinPhi, cosPhi;
  SinCos(phi, sinPhi, cosPhi);
  const Real deltaLambda = x * Sqrt(1 - g.e2 * sinPhi * sinPhi) / (g.a * cosPhi);
  if (!(fabsl(deltaLambda) <= kPi)) return;  // beyond the image of the ellipsoid
  StoreGeographic(phi, Radians(centralMeridian) + deltaLambda, latitude, longitude);
}

}  // namespace ostrak
