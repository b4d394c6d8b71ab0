// Equal Earth, after IOGP Guidance Note 7-2 (Šavrič, Patterson
// and Jenny, 2018), through the authalic latitude. The inverse iterates the
// northing's polynomial by Newton's steps, as published, to 1e-15 rad (at
// most 30), then takes the latitude from the authalic latitude by the series
// in e^6 and Newton's steps on q to 1e-15 rad. Grid points beyond the poles'
// lines (by more than a micrometre) or outside the outline of the map are
// undefined (NaN). The northing is stationary in latitude at the poles, so
// the latitude of a pole comes back from its stored northing to about 1e-8
// rad only.
//
// clang-format off
/*   1078 Equal Earth: centralMeridian = longitude of natural origin, falseEasting, falseNorthing */
// clang-format on
#include <cmath>

#include "method_support.h"
#include "projection_methods.h"

namespace ostrak {
namespace {

constexpr Real A1 = 1.340264L, A2 = -0.081106L, A3 = 0.000893L, A4 = 0.003796L;
constexpr Real kRoot3 = 1.732050807568877293527446341505872367L;

// N / Rq as a function of theta, and its derivative.
Real Northing(Real theta) {
  const Real t2 = theta * theta;
  return theta * (A1 + A2 * t2 + PowerOf<3>(t2) * (A3 + A4 * t2));
}
Real Slope(Real theta) {
  const Real t2 = theta * theta;
  return A1 + 3 * A2 * t2 + PowerOf<3>(t2) * (7 * A3 + 9 * A4 * t2);
}

struct Authalic {
  Ellipsoid el;
  Real qP;
  Real Rq;
};

Authalic FormAuthalic(const ProjectionRecord& p) {
  Authalic z;
  z.el = EllipsoidOf(p);
  z.qP = AuthalicQ(kFullPi / 2, z.el.e, z.el.e2);
  z.Rq = z.el.a * Sqrt(z.qP / 2);
  return z;
}

}  // namespace

void EqualEarthForward(const ProjectionRecord& p, double latitude, double longitude,
                       double centralMeridian, double* easting, double* northing) {
  if (OutsideLatitudes(latitude)) {
    StoreUndefined(easting, northing);
    return;
  }
  const Authalic& z = FormedFor<Authalic, FormAuthalic>(p);
  const Real sinBeta = fminl(1, fmaxl(-1, AuthalicQ(Radians(latitude), z.el.e, z.el.e2) / z.qP));
  const Real theta = asinl(kRoot3 / 2 * sinBeta);
  StoreGrid(p.falseEasting + z.Rq * 2 * LongitudeDifference(longitude, centralMeridian) *
                                 Cos(theta) / (kRoot3 * Slope(theta)),
            p.falseNorthing + z.Rq * Northing(theta), easting, northing);
}

void EqualEarthInverse(const ProjectionRecord& p, double easting, double northing,
                       double centralMeridian, double* latitude, double* longitude) {
  const Authalic& z = FormedFor<Authalic, FormAuthalic>(p);
  const Real target = (static_cast<Real>(northing) - p.falseNorthing) / z.Rq;
  const Real poleTheta = kFullPi / 3;
  // The poles' lines, with a micrometre for the rounding of stored northings.
  if (!(std::fabs(target) <= Northing(poleTheta) * (1 + 1e-13L))) {
    StoreUndefined(latitude, longitude);
    return;
  }
  Real theta = target;
  bool settled = false;
  for (int step = 0; step < 30 && !settled; ++step) {
    const Real change = (Northing(theta) - target) / Slope(theta);
    theta = fminl(poleTheta, fmaxl(-poleTheta, theta - change));
    settled = std::fabs(change) <= 1e-15L;
  }
  const Real cosTheta = Cos(theta);
  const Real deltaLambda =
      kRoot3 * (static_cast<Real>(easting) - p.falseEasting) * Slope(theta) / (2 * z.Rq * cosTheta);
  if (!settled || !(std::fabs(deltaLambda) <= kFullPi * (1 + 1e-15L))) {
    StoreUndefined(latitude, longitude);
    return;
  }
  const Real beta = asinl(fminl(1, fmaxl(-1, 2 * Sin(theta) / kRoot3)));
  StoreGeographic(LatitudeFromAuthalic(beta, z.el.e, z.el.e2),
                  Radians(centralMeridian) + deltaLambda, latitude, longitude);
}

}  // namespace ostrak
