// Lambert Azimuthal Equal Area, after IOGP Guidance Note 7-2:
// the ellipsoidal method through the authalic latitude (oblique and
// equatorial aspects by the oblique formulas, the polar aspects by their own),
// and the spherical method on the sphere of the same area (radius Rq, which is
// a on a sphere). The inverse takes the latitude from the authalic latitude
// by the published series in e^6, then Newton's steps on q (Snyder eq. 3-16)
// to 1e-15 rad. The antipode of the origin, and points within about 0.3 m
// of it, are undefined (NaN), as is any grid point beyond the circle of
// radius 2 Rq that bounds the map.
//
// clang-format off
/*   9820 Lambert Azimuthal Equal Area: latitudeOfOrigin = latitude of natural origin, centralMeridian = longitude of natural origin, falseEasting, falseNorthing */
/*   1027 Lambert Azimuthal Equal Area (Spherical): latitudeOfOrigin = latitude of natural origin, centralMeridian = longitude of natural origin, falseEasting, falseNorthing */
// clang-format on
#include <cmath>

#include "method_support.h"
#include "projection_methods.h"

namespace ostrak {
namespace {

// 1 + sin(b0) sin(b) + cos(b0) cos(b) cos(dl) below this is the antipode.
constexpr Real kAntipode = 1e-15L;

struct Azimuthal {
  Ellipsoid el;
  Real qP;
  Real Rq;
  int pole;  // +1 or -1 for a polar aspect, 0 otherwise
  Real sinB0, cosB0;
  Real D;
};

Azimuthal FormAzimuthal(const ProjectionRecord& p, bool spherical) {
  Azimuthal z;
  z.el = EllipsoidOf(p);
  z.qP = AuthalicQ(kFullPi / 2, z.el.e, z.el.e2);
  z.Rq = z.el.a * Sqrt(z.qP / 2);
  z.pole = p.latitudeOfOrigin == 90 ? 1 : (p.latitudeOfOrigin == -90 ? -1 : 0);
  const Real phi0 = Radians(p.latitudeOfOrigin);
  const Real beta0 = spherical ? phi0 : asinl(AuthalicQ(phi0, z.el.e, z.el.e2) / z.qP);
  SinCos(beta0, z.sinB0, z.cosB0);
  z.D =
      spherical || z.pole != 0 ? 1 : z.el.a * ParallelRadiusRatio(phi0, z.el.e2) / (z.Rq * z.cosB0);
  return z;
}

Azimuthal FormAzimuthalOf(const ProjectionRecord& p, double) {
  return FormAzimuthal(p, p.methodCode == kLambertAzimuthalEqualAreaSpherical);
}

void Forward(bool spherical, const ProjectionRecord& p, double latitude, double longitude,
             double centralMeridian, double* easting, double* northing) {
  if (OutsideLatitudes(latitude)) {
    StoreUndefined(easting, northing);
    return;
  }
  const Azimuthal& z = FormedFor<Azimuthal, FormAzimuthalOf>(p, 0);
  const Real phi = Radians(latitude);
  const Real beta = spherical ? phi : asinl(AuthalicQ(phi, z.el.e, z.el.e2) / z.qP);
  Real sinB, cosB, sinL, cosL;
  SinCos(beta, sinB, cosB);
  SinCos(LongitudeDifference(longitude, centralMeridian), sinL, cosL);
  if (z.pole != 0) {
    // sin(b0) = +-1 and cos(b0) = 0 exactly.
    if (1 + z.pole * sinB < kAntipode) {
      StoreUndefined(easting, northing);
      return;
    }
    const Real rho = spherical
                         ? z.Rq * Sqrt(fmaxl(0, 2 - 2 * z.pole * sinB))
                         : z.el.a * Sqrt(fmaxl(0, z.qP - z.pole * AuthalicQ(phi, z.el.e, z.el.e2)));
    StoreGrid(p.falseEasting + rho * sinL, p.falseNorthing - z.pole * rho * cosL, easting,
              northing);
    return;
  }
  const Real denominator = 1 + z.sinB0 * sinB + z.cosB0 * cosB * cosL;
  if (!(denominator >= kAntipode)) {
    StoreUndefined(easting, northing);
    return;
  }
  const Real B = z.Rq * Sqrt(2 / denominator);
  StoreGrid(p.falseEasting + B * z.D * cosB * sinL,
            p.falseNorthing + B / z.D * (z.cosB0 * sinB - z.sinB0 * cosB * cosL), easting,
            northing);
}

void Inverse(bool spherical, const ProjectionRecord& p, double easting, double northing,
             double centralMeridian, double* latitude, double* longitude) {
  const Azimuthal& z = FormedFor<Azimuthal, FormAzimuthalOf>(p, 0);
  const Real x = static_cast<Real>(easting) - p.falseEasting;
  const Real y = static_cast<Real>(northing) - p.falseNorthing;
  const Real lambda0 = Radians(centralMeridian);
  const Real rho = Sqrt(PowerOf<2>(x / z.D) + PowerOf<2>(z.D * y));
  const Real half = rho / (2 * z.Rq);
  if (std::isnan(half) || half > 1) {
    StoreUndefined(latitude, longitude);
    return;
  }
  if (rho == 0) {
    StoreGeographic(Radians(p.latitudeOfOrigin), lambda0, latitude, longitude);
    return;
  }
  Real sinC, cosC;
  SinCos(2 * asinl(half), sinC, cosC);
  Real beta, lambda;
  if (z.pole != 0) {
    beta = z.pole * asinl(cosC);
    lambda = lambda0 + atan2l(x, -z.pole * y);
  } else {
    beta = asinl(fminl(1, fmaxl(-1, cosC * z.sinB0 + z.D * y * sinC * z.cosB0 / rho)));
    lambda =
        lambda0 + atan2l(x * sinC, z.D * rho * z.cosB0 * cosC - z.D * z.D * y * z.sinB0 * sinC);
  }
  const Real phi = spherical ? beta : LatitudeFromAuthalic(beta, z.el.e, z.el.e2);
  StoreGeographic(phi, lambda, latitude, longitude);
}

}  // namespace

void LambertAzimuthalEqualAreaForward(const ProjectionRecord& p, double latitude, double longitude,
                                      double centralMeridian, double* easting, double* northing) {
  Forward(p.methodCode == kLambertAzimuthalEqualAreaSpherical, p, latitude, longitude,
          centralMeridian, easting, northing);
}

void LambertAzimuthalEqualAreaInverse(const ProjectionRecord& p, double easting, double northing,
                                      double centralMeridian, double* latitude, double* longitude) {
  Inverse(p.methodCode == kLambertAzimuthalEqualAreaSpherical, p, easting, northing,
          centralMeridian, latitude, longitude);
}

}  // namespace ostrak
