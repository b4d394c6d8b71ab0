// Cassini-Soldner and Hyperbolic Cassini-Soldner behind LATLONTOGRID and
// GRIDTOLATLON, after IOGP Guidance Note 7-2 (IOGP Publication 373-7-2,
// September 2019) sections 3.2.2 and 3.2.2.1.
//
// The forward is the published series: the meridian distance in powers of e^2
// up to e^6, terms up to A^5 (easting) and A^4 (northing); the series is the
// method, so its truncation is no error of ours. The hyperbolic form replaces
// the northing offset X by X - X^3 / (6 rho nu), rho and nu at the point's
// latitude.
//
// The published reverse series (footpoint latitude in powers of e1 up to
// e1^4, terms up to D^5) is not the exact inverse of the forward series: it
// is off by up to some millimetres within a degree of the central meridian.
// The inverse here takes it as the first estimate and corrects it by the
// forward: p <- p + R(E, N) - R(F(p)), with F the forward and R the reverse
// series, until the step is below 1e-14 rad (at most 30 steps, otherwise
// NaN). The hyperbolic reverse first turns the northing offset back into X by
// Newton's method on X - X^3 / (6 rho0 nu0) with rho and nu at the origin;
// the correction by the forward then makes it exact. A northing offset beyond
// the largest the cubic reaches, (2/3) sqrt(2 rho nu), has no point: NaN.
//
// Field mapping, one line per method:
// clang-format off
/*   9806 Cassini-Soldner: latitudeOfOrigin = latitude of natural origin, centralMeridian = longitude of natural origin, falseEasting, falseNorthing; scaleFactor unused (1) */
/*   9833 Hyperbolic Cassini-Soldner: latitudeOfOrigin = latitude of natural origin, centralMeridian = longitude of natural origin, falseEasting, falseNorthing; scaleFactor unused (1) */
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

struct Cassini {
  Real a, e2, e4, e6, ep2;
  ostrak::MeridianSeries arc;
  Real phi0, M0;
  bool hyperbolic;
};

Real MeridianArc(const Cassini& c, Real phi) {
  return c.a * ostrak::ArcOverA(c.arc, phi);
}

Cassini FormCassini(const ProjectionRecord& p, bool hyperbolic) {
  Cassini c;
  c.a = p.semiMajorAxis;
  c.e2 = ostrak::EccentricitySquared(c.a, p.semiMinorAxis);
  c.e4 = c.e2 * c.e2;
  c.e6 = c.e4 * c.e2;
  c.arc = ostrak::MeridianSeriesOf(c.e2);
  c.ep2 = c.e2 / (1 - c.e2);
  c.phi0 = p.latitudeOfOrigin * kDegree;
  c.M0 = MeridianArc(c, c.phi0);
  c.hyperbolic = hyperbolic;
  return c;
}

// rho nu at phi.
Real RhoNu(const Cassini& c, Real phi) {
  using namespace ostrak;
  const Real w = 1 - c.e2 * PowerOf<2>(Sin(phi));
  return c.a * c.a * (1 - c.e2) / (w * w);
}

// Offsets from the false origin of the point (phi, deltaLambda), radians.
void Forward(const Cassini& c, Real phi, Real deltaLambda, Real& x, Real& y) {
  using namespace ostrak;
  Real sinPhi, cosPhi;
  SinCos(phi, sinPhi, cosPhi);
  const Real tanPhi = sinPhi / cosPhi;
  const Real nu = c.a / Sqrt(1 - c.e2 * sinPhi * sinPhi);
  const Real A = deltaLambda * cosPhi;
  const Real T = tanPhi * tanPhi;
  const Real C = c.ep2 * cosPhi * cosPhi;
  x = nu * (A - T * PowerOf<3>(A) / 6 - (8 - T + 8 * C) * T * PowerOf<5>(A) / 120);
  y = MeridianArc(c, phi) - c.M0 + nu * tanPhi * (A * A / 2 + (5 - T + 6 * C) * PowerOf<4>(A) / 24);
  if (c.hyperbolic) y -= PowerOf<3>(y) / (6 * RhoNu(c, phi));
}

// The published reverse series: (phi, deltaLambda) from the offsets; false
// where the hyperbolic offset has no point.
bool ReverseSeries(const Cassini& c, Real x, Real y, Real& phi, Real& deltaLambda) {
  using namespace ostrak;
  if (c.hyperbolic) {
    // X - X^3 / (6 rho0 nu0) = y, Newton's method from X = y.
    const Real k = 6 * RhoNu(c, c.phi0);
    if (!(fabsl(y) < 2 * Sqrt(2 * k / 6) / 3)) return false;
    Real X = y;
    for (int step = 0; step < 30; ++step) {
      const Real delta = (y - X + PowerOf<3>(X) / k) / (1 - 3 * X * X / k);
      X += delta;
      if (fabsl(delta) < 1e-9L) break;
    }
    y = X;
  }
  const Real s = Sqrt(1 - c.e2);
  const Real e1 = (1 - s) / (1 + s);
  const Real mu1 = (c.M0 + y) / (c.a * c.arc.c0);
  const Real phi1 = mu1 + (3 * e1 / 2 - 27 * PowerOf<3>(e1) / 32) * Sin(2 * mu1) +
                    (21 * e1 * e1 / 16 - 55 * PowerOf<4>(e1) / 32) * Sin(4 * mu1) +
                    (151 * PowerOf<3>(e1) / 96) * Sin(6 * mu1) +
                    (1097 * PowerOf<4>(e1) / 512) * Sin(8 * mu1);
  if (!(fabsl(phi1) < kPi / 2)) return false;
  Real sinPhi1, cosPhi1;
  SinCos(phi1, sinPhi1, cosPhi1);
  const Real tanPhi1 = sinPhi1 / cosPhi1;
  const Real w = 1 - c.e2 * sinPhi1 * sinPhi1;
  const Real nu1 = c.a / Sqrt(w);
  const Real rho1 = c.a * (1 - c.e2) / (w * Sqrt(w));
  const Real T1 = tanPhi1 * tanPhi1;
  const Real D = x / nu1;
  phi = phi1 - (nu1 * tanPhi1 / rho1) * (D * D / 2 - (1 + 3 * T1) * PowerOf<4>(D) / 24);
  deltaLambda = (D - T1 * PowerOf<3>(D) / 3 + (1 + 3 * T1) * T1 * PowerOf<5>(D) / 15) / cosPhi1;
  return std::isfinite(phi) && std::isfinite(deltaLambda);
}

// The constants of the record's own form, hyperbolic or not.
Cassini FormCassiniOf(const ProjectionRecord& p) {
  return FormCassini(p, p.methodCode == kHyperbolicCassiniSoldner);
}

void CassiniForward(bool hyperbolic, const ProjectionRecord& p, double latitude, double longitude,
                    double centralMeridian, double* easting, double* northing) {
  using namespace ostrak;
  if (!(std::fabs(latitude) <= 90) || !std::isfinite(longitude)) {
    *easting = *northing = NAN;
    return;
  }
  const Cassini& c = FormedFor<Cassini, FormCassiniOf>(p);
  const Real deltaLambda =
      WrapLongitudeDifference(static_cast<Real>(longitude) - centralMeridian) * kDegree;
  Real x = 0, y;
  if (std::fabs(latitude) == 90) {
    // The pole is the end of the central meridian.
    y = MeridianArc(c, latitude * kDegree) - c.M0;
    if (hyperbolic) y -= PowerOf<3>(y) / (6 * RhoNu(c, latitude * kDegree));
  } else {
    Forward(c, latitude * kDegree, deltaLambda, x, y);
  }
  *easting = static_cast<double>(p.falseEasting + x);
  *northing = static_cast<double>(p.falseNorthing + y);
}

void CassiniInverse(const ProjectionRecord& p, double easting, double northing,
                    double centralMeridian, double* latitude, double* longitude) {
  using namespace ostrak;
  *latitude = *longitude = NAN;
  const Cassini& c = FormedFor<Cassini, FormCassiniOf>(p);
  const Real x = easting - static_cast<Real>(p.falseEasting);
  const Real y = northing - static_cast<Real>(p.falseNorthing);
  Real phi, deltaLambda;
  if (!InverseThroughReverse(
          x, y,
          [&c](Real f, Real l, Real& xi, Real& yi) {
            Forward(c, f, l, xi, yi);
            return true;
          },
          [&c](Real xi, Real yi, Real& f, Real& l) { return ReverseSeries(c, xi, yi, f, l); }, phi,
          deltaLambda)) {
    return;
  }
  *latitude = static_cast<double>(phi / kDegree);
  *longitude = static_cast<double>(centralMeridian + deltaLambda / kDegree);
  WrapStoredLongitude(longitude);
}

}  // namespace

namespace ostrak {

void CassiniSoldnerForward(const ProjectionRecord& p, double latitude, double longitude,
                           double centralMeridian, double* easting, double* northing) {
  CassiniForward(p.methodCode == kHyperbolicCassiniSoldner, p, latitude, longitude, centralMeridian,
                 easting, northing);
}
void CassiniSoldnerInverse(const ProjectionRecord& p, double easting, double northing,
                           double centralMeridian, double* latitude, double* longitude) {
  CassiniInverse(p, easting, northing, centralMeridian, latitude, longitude);
}

}  // namespace ostrak
