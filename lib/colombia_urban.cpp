// Colombia Urban behind LATLONTOGRID and GRIDTOLATLON, after the Colombia
// Urban formulas and worked example (MAGNA-SIRGAS / Bogota urban grid) of
// IOGP Guidance Note 7-2 (IOGP Publication 373-7-2, September 2019): a plane
// through the origin at the height h0 of the city,
//   E = FE + A nu cos(phi) (lon - lonO),
//   N = FN + G rhoO [(phi - phiO) + B (lon - lonO)^2 nu^2 cos^2(phi)],
// with A = 1 + h0 / nuO, B = tan(phiO) / (2 rhoO nuO) and G = 1 + h0 / rhoM,
// rhoM at the mean of phi and phiO. The forward is closed.
//
// The published reverse (with C = 1 + h0 / a and D = rhoO [1 + h0 / (a (1 -
// e^2))] in place of A and G) is not the exact inverse of the forward: it is
// off by about half a millimetre 20 km from the origin. The inverse here
// takes it as the first estimate, then solves the forward's own equations:
// with u = (E - FE) / A = nu cos(phi) (lon - lonO), the latitude is the fixed
// point phi = phiO - B u^2 + (N - FN) / (G(phi) rhoO), iterated to 1e-15 rad
// (at most 30 steps, otherwise NaN; G hardly changes with phi, so each step
// gains some ten digits), and lon - lonO = u / (nu cos phi). A grid point
// beyond a pole or more than 180 degrees of longitude away gives NaN.
//
// Field mapping (the projection plane origin height in metres):
// clang-format off
/*   1052 Colombia Urban: latitudeOfOrigin = latitude of natural origin, centralMeridian = longitude of natural origin, falseEasting, falseNorthing, firstStandardParallel = projection plane origin height (metres); scaleFactor unused (1) */
// clang-format on
#include <cmath>

#include "internal.h"
#include "method_support.h"
#include "ostrak32.h"
#include "projection_methods.h"

using ostrak::Real;

namespace {

constexpr Real kPi = ostrak::kFullPi;

struct Urban {
  Real a, e2, phi0, h0, rho0, A, B, C, D;
};

// rho, the radius of curvature in the meridian.
Real Rho(const Urban& u, Real phi) {
  using namespace ostrak;
  const Real w2 = 1 - u.e2 * PowerOf<2>(Sin(phi));
  return u.a * (1 - u.e2) / (w2 * Sqrt(w2));
}

// nu, the radius of curvature in the prime vertical.
Real Nu(const Urban& u, Real phi) {
  using namespace ostrak;
  return u.a / Sqrt(1 - u.e2 * PowerOf<2>(Sin(phi)));
}

Urban FormUrban(const ProjectionRecord& p) {
  using namespace ostrak;
  const Ellipsoid el = EllipsoidOf(p);
  Urban u;
  u.a = el.a;
  u.e2 = el.e2;
  u.phi0 = Radians(p.latitudeOfOrigin);
  u.h0 = p.firstStandardParallel;
  u.rho0 = Rho(u, u.phi0);
  const Real nu0 = Nu(u, u.phi0);
  u.A = 1 + u.h0 / nu0;
  u.B = Tan(u.phi0) / (2 * u.rho0 * nu0);
  u.C = 1 + u.h0 / u.a;
  u.D = u.rho0 * (1 + u.h0 / (u.a * (1 - u.e2)));
  return u;
}

// G = 1 + h0 / rhoM, rhoM at the mean latitude.
Real G(const Urban& u, Real phi) {
  return 1 + u.h0 / Rho(u, (u.phi0 + phi) / 2);
}

}  // namespace

namespace ostrak {

void ColombiaUrbanForward(const ProjectionRecord& p, double latitude, double longitude,
                          double centralMeridian, double* easting, double* northing) {
  if (OutsideLatitudes(latitude)) return StoreUndefined(easting, northing);
  const Urban& u = FormedFor<Urban, FormUrban>(p);
  const Real phi = Radians(latitude);
  const Real deltaLambda = LongitudeDifference(longitude, centralMeridian);
  const Real across = Nu(u, phi) * fabsl(Cos(phi)) * deltaLambda;  // nu cos(phi) (lon - lonO)
  const Real x = u.A * across;
  const Real y = G(u, phi) * u.rho0 * ((phi - u.phi0) + u.B * across * across);
  StoreGrid(p.falseEasting + x, p.falseNorthing + y, easting, northing);
}

void ColombiaUrbanInverse(const ProjectionRecord& p, double easting, double northing,
                          double centralMeridian, double* latitude, double* longitude) {
  StoreUndefined(latitude, longitude);
  const Urban& u = FormedFor<Urban, FormUrban>(p);
  const Real x = easting - static_cast<Real>(p.falseEasting);
  const Real y = northing - static_cast<Real>(p.falseNorthing);
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  const Real across = x / u.A;
  // The published reverse for the latitude, then the forward's fixed point.
  Real phi = u.phi0 + y / u.D - u.B * PowerOf<2>(x / u.C);
  bool converged = false;
  for (int step = 0; step < 30 && !converged; ++step) {
    if (!(fabsl(phi) <= kPi / 2)) return;
    const Real next = u.phi0 - u.B * across * across + y / (G(u, phi) * u.rho0);
    converged = fabsl(next - phi) <= 1e-15L;
    phi = next;
  }
  if (!converged || !(fabsl(phi) <= kPi / 2)) return;
  const Real deltaLambda = across / (Nu(u, phi) * Cos(phi));
  if (!(fabsl(deltaLambda) <= kPi)) return;  // beyond the image of the ellipsoid
  StoreGeographic(phi, Radians(centralMeridian) + deltaLambda, latitude, longitude);
}

}  // namespace ostrak
