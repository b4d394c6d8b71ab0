// Albers Equal Area, after IOGP Guidance Note 7-2 (Snyder,
// "Map Projections - A Working Manual", eqs. 14-1 to 14-21). Two equal
// standard parallels give the one-parallel cone, n = sin phi1. The inverse
// takes the latitude from q by the authalic latitude's series in e^6, then
// Newton's steps on q (Snyder eq. 3-16) to 1e-15 rad. Standard parallels
// symmetric about the equator (n = 0), points whose cone radius is imaginary
// and grid points outside the fan of the map are undefined (NaN).
//
// clang-format off
/*   9822 Albers Equal Area: latitudeOfOrigin = latitude of false origin, centralMeridian = longitude of false origin, firstStandardParallel = latitude of 1st standard parallel, secondStandardParallel = latitude of 2nd standard parallel, falseEasting = easting at false origin, falseNorthing = northing at false origin */
// clang-format on
#include <cmath>

#include "method_support.h"
#include "projection_methods.h"

namespace ostrak {
namespace {

struct Cone {
  Ellipsoid el;
  Real n;
  Real C;
  Real rho0;
};

// rho = a (C - n q)^0.5 / n; NaN where C - n q is negative.
Real ConeRadius(const Cone& c, Real q) {
  const Real square = c.C - c.n * q;
  if (!(square >= 0)) return NAN;
  return c.el.a * Sqrt(square) / c.n;
}

Cone FormCone(const ProjectionRecord& p) {
  Cone c;
  c.el = EllipsoidOf(p);
  const Real phi1 = Radians(p.firstStandardParallel);
  const Real phi2 = Radians(p.secondStandardParallel);
  const Real m1 = ParallelRadiusRatio(phi1, c.el.e2);
  const Real m2 = ParallelRadiusRatio(phi2, c.el.e2);
  const Real q1 = AuthalicQ(phi1, c.el.e, c.el.e2);
  const Real q2 = AuthalicQ(phi2, c.el.e, c.el.e2);
  c.n = phi1 == phi2 ? Sin(phi1) : (m1 * m1 - m2 * m2) / (q2 - q1);
  if (c.n == 0) c.n = NAN;
  c.C = m1 * m1 + c.n * q1;
  c.rho0 = ConeRadius(c, AuthalicQ(Radians(p.latitudeOfOrigin), c.el.e, c.el.e2));
  return c;
}

}  // namespace

void AlbersEqualAreaForward(const ProjectionRecord& p, double latitude, double longitude,
                            double centralMeridian, double* easting, double* northing) {
  if (OutsideLatitudes(latitude)) {
    StoreUndefined(easting, northing);
    return;
  }
  const Cone& c = FormedFor<Cone, FormCone>(p);
  const Real rho = ConeRadius(c, AuthalicQ(Radians(latitude), c.el.e, c.el.e2));
  Real sinTheta, cosTheta;
  SinCos(c.n * LongitudeDifference(longitude, centralMeridian), sinTheta, cosTheta);
  StoreGrid(p.falseEasting + rho * sinTheta, p.falseNorthing + c.rho0 - rho * cosTheta, easting,
            northing);
}

void AlbersEqualAreaInverse(const ProjectionRecord& p, double easting, double northing,
                            double centralMeridian, double* latitude, double* longitude) {
  const Cone& c = FormedFor<Cone, FormCone>(p);
  const Real sign = c.n < 0 ? -1 : 1;
  const Real x = sign * (static_cast<Real>(easting) - p.falseEasting);
  const Real y = sign * (c.rho0 - (static_cast<Real>(northing) - p.falseNorthing));
  const Real rho = Sqrt(x * x + y * y);
  const Real theta = atan2l(x, y);
  const Real q = (c.C - PowerOf<2>(rho * c.n / c.el.a)) / c.n;
  if (!(std::fabs(theta) <= std::fabs(c.n) * kFullPi)) {
    StoreUndefined(latitude, longitude);
    return;
  }
  StoreGeographic(LatitudeFromAuthalicQ(q, c.el.e, c.el.e2), Radians(centralMeridian) + theta / c.n,
                  latitude, longitude);
}

}  // namespace ostrak
