// Bonne (South Orientated) behind LATLONTOGRID and GRIDTOLATLON, after IOGP
// Guidance Note 7-2 (IOGP Publication 373-7-2, September 2019) sections 3.1.4
// and 3.1.4.1: the Bonne formulas with westing W = FE - (the Bonne easting
// offset) and southing S = FN - (the Bonne northing offset).
//
// The meridian distance M is the published series in powers of e^2 up to
// e^6; it is the method. The inverse takes the latitude from M by Newton's
// method on that same series (instead of the published footpoint series,
// which is not its exact inverse), to 1e-14 rad in at most 50 steps, else
// NaN; so forward then inverse returns the point. A latitude of origin on the
// equator has no cone (a m0 / sin phi0 is infinite): NaN.
//
// Field mapping, one line per method:
// clang-format off
/*   9828 Bonne (South Orientated): latitudeOfOrigin = latitude of natural origin, centralMeridian = longitude of natural origin, falseEasting, falseNorthing (the westing and southing at the natural origin); scaleFactor unused (1) */
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

struct Bonne {
  Real a, e2;
  ostrak::MeridianSeries arc;
  Real M0;
  Real apex;  // a m0 / sin phi0
  Real sign;  // of phi0
  bool valid;
};

// m(phi) of the method.
Real BonneM(const Bonne& c, Real phi) {
  using namespace ostrak;
  Real sinPhi, cosPhi;
  SinCos(phi, sinPhi, cosPhi);
  return cosPhi / Sqrt(1 - c.e2 * sinPhi * sinPhi);
}

Bonne FormBonne(const ProjectionRecord& p) {
  Bonne c;
  c.a = p.semiMajorAxis;
  c.e2 = ostrak::EccentricitySquared(c.a, p.semiMinorAxis);
  c.arc = ostrak::MeridianSeriesOf(c.e2);
  const Real phi0 = p.latitudeOfOrigin * kDegree;
  c.M0 = c.a * ostrak::ArcOverA(c.arc, phi0);
  c.apex = c.a * BonneM(c, phi0) / ostrak::Sin(phi0);
  c.sign = phi0 < 0 ? -1 : 1;
  c.valid = p.latitudeOfOrigin != 0 && std::isfinite(c.apex);
  return c;
}

}  // namespace

namespace ostrak {

void BonneSouthForward(const ProjectionRecord& p, double latitude, double longitude,
                       double centralMeridian, double* westing, double* southing) {
  const Bonne& c = FormedFor<Bonne, FormBonne>(p);
  if (!c.valid || !(std::fabs(latitude) <= 90) || !std::isfinite(longitude)) {
    *westing = *southing = NAN;
    return;
  }
  const Real phi = latitude * kDegree;
  const Real deltaLambda =
      WrapLongitudeDifference(static_cast<Real>(longitude) - centralMeridian) * kDegree;
  const Real rho = c.apex + c.M0 - c.a * ostrak::ArcOverA(c.arc, phi);
  // At the pole away from the apex rho is zero and so is T's product with it.
  const Real T = rho == 0 ? Real(0) : c.a * BonneM(c, phi) * deltaLambda / rho;
  Real sinT, cosT;
  SinCos(T, sinT, cosT);
  *westing = static_cast<double>(p.falseEasting - rho * sinT);
  *southing = static_cast<double>(p.falseNorthing - (c.apex - rho * cosT));
}

void BonneSouthInverse(const ProjectionRecord& p, double westing, double southing,
                       double centralMeridian, double* latitude, double* longitude) {
  *latitude = *longitude = NAN;
  const Bonne& c = FormedFor<Bonne, FormBonne>(p);
  if (!c.valid) return;
  // The Bonne offsets, east and north.
  const Real x = static_cast<Real>(p.falseEasting) - westing;
  const Real y = c.apex - (static_cast<Real>(p.falseNorthing) - southing);
  const Real rho = c.sign * Sqrt(x * x + y * y);
  const Real target = (c.apex + c.M0 - rho) / c.a;  // M / a
  Real phi = target / c.arc.c0;
  bool converged = false;
  for (int step = 0; step < 50 && !converged; ++step) {
    const Real slope = c.arc.c0 - 2 * c.arc.c2 * Cos(2 * phi) + 4 * c.arc.c4 * Cos(4 * phi) -
                       6 * c.arc.c6 * Cos(6 * phi);
    const Real delta = (target - ostrak::ArcOverA(c.arc, phi)) / slope;
    phi += delta;
    converged = fabsl(delta) < 1e-14L;
  }
  if (!converged || !(fabsl(phi) <= kPi / 2)) return;
  const Real m = BonneM(c, phi);
  Real deltaLambda = 0;  // at a pole every longitude is the point
  if (fabsl(phi) < kPi / 2 && m != 0) {
    deltaLambda = rho * atan2l(c.sign * x, c.sign * y) / (c.a * m);
  }
  *latitude = static_cast<double>(phi / kDegree);
  *longitude = static_cast<double>(centralMeridian + deltaLambda / kDegree);
  WrapStoredLongitude(longitude);
}

}  // namespace ostrak
