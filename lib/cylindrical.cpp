// Two normal cylindrical methods on the ellipsoid, after IOGP Guidance Note
// 7-2: Equidistant Cylindrical (its ellipsoidal form) and Lambert Cylindrical Equal
// Area (Snyder, "Map Projections - A Working Manual", eqs. 10-13 to 10-18).
//
// The meridian arc M(phi) of the equidistant method is Helmert's series in the
// third flattening n to n^4 (truncation below 0.1 micrometre on the Earth's
// ellipsoids); its inverse is Newton's steps on M to 1e-15 rad (at most 30).
// The equal-area inverse takes the latitude from q by the authalic latitude's
// series in e^6, then Newton's steps on q to 1e-15 rad. Grid points beyond
// the poles' lines are undefined (NaN), as is a standard parallel at a pole.
//
// clang-format off
/*   1028 Equidistant Cylindrical: firstStandardParallel = latitude of 1st standard parallel, centralMeridian = longitude of natural origin, falseEasting, falseNorthing */
/*   9835 Lambert Cylindrical Equal Area: firstStandardParallel = latitude of 1st standard parallel, centralMeridian = longitude of natural origin, falseEasting, falseNorthing */
// clang-format on
#include <cmath>

#include "method_support.h"
#include "projection_methods.h"

namespace ostrak {
namespace {

// The meridian arc from the equator to phi.
Real MeridianArc(const Ellipsoid& el, Real b, Real phi) {
  const Real n = (el.a - b) / (el.a + b);
  const Real n2 = n * n, n3 = n2 * n, n4 = n2 * n2;
  return el.a / (1 + n) * (1 + n2 / 4 + n4 / 64) *
         (phi + (-3 * n / 2 + 9 * n3 / 16) * Sin(2 * phi) +
          (15 * n2 / 16 - 15 * n4 / 32) * Sin(4 * phi) + (-35 * n3 / 48) * Sin(6 * phi) +
          (315 * n4 / 512) * Sin(8 * phi));
}

// a k0 = a cos phi1 / (1 - e^2 sin^2 phi1)^0.5, the radius of the standard
// parallel; NaN when it is a pole.
Real ParallelRadius(const ProjectionRecord& p, const Ellipsoid& el) {
  if (std::fabs(p.firstStandardParallel) >= 90) return NAN;
  return el.a * ParallelRadiusRatio(Radians(p.firstStandardParallel), el.e2);
}

}  // namespace

void EquidistantCylindricalForward(const ProjectionRecord& p, double latitude, double longitude,
                                   double centralMeridian, double* easting, double* northing) {
  if (OutsideLatitudes(latitude)) {
    StoreUndefined(easting, northing);
    return;
  }
  const Ellipsoid el = EllipsoidOf(p);
  StoreGrid(
      p.falseEasting + ParallelRadius(p, el) * LongitudeDifference(longitude, centralMeridian),
      p.falseNorthing + MeridianArc(el, p.semiMinorAxis, Radians(latitude)), easting, northing);
}

void EquidistantCylindricalInverse(const ProjectionRecord& p, double easting, double northing,
                                   double centralMeridian, double* latitude, double* longitude) {
  const Ellipsoid el = EllipsoidOf(p);
  const Real arc = static_cast<Real>(northing) - p.falseNorthing;
  // The poles' lines, with a micrometre for the rounding of stored northings.
  if (!(std::fabs(arc) <= MeridianArc(el, p.semiMinorAxis, kFullPi / 2) + 1e-6L)) {
    StoreUndefined(latitude, longitude);
    return;
  }
  Real phi = arc / (el.a * (1 - el.e2));
  Real change = 1;
  for (int step = 0; step < 30 && !(std::fabs(change) <= 1e-15L); ++step) {
    const Real w = 1 - el.e2 * PowerOf<2>(Sin(phi));
    change = (arc - MeridianArc(el, p.semiMinorAxis, phi)) * w * Sqrt(w) / (el.a * (1 - el.e2));
    phi = fminl(kFullPi / 2, fmaxl(-kFullPi / 2, phi + change));
  }
  if (!(std::fabs(change) <= 1e-15L)) phi = NAN;
  StoreGeographic(phi,
                  Radians(centralMeridian) +
                      (static_cast<Real>(easting) - p.falseEasting) / ParallelRadius(p, el),
                  latitude, longitude);
}

void LambertCylindricalEqualAreaForward(const ProjectionRecord& p, double latitude,
                                        double longitude, double centralMeridian, double* easting,
                                        double* northing) {
  if (OutsideLatitudes(latitude)) {
    StoreUndefined(easting, northing);
    return;
  }
  const Ellipsoid el = EllipsoidOf(p);
  const Real radius = ParallelRadius(p, el);
  const Real k0 = radius / el.a;
  StoreGrid(p.falseEasting + radius * LongitudeDifference(longitude, centralMeridian),
            p.falseNorthing + el.a * AuthalicQ(Radians(latitude), el.e, el.e2) / (2 * k0), easting,
            northing);
}

void LambertCylindricalEqualAreaInverse(const ProjectionRecord& p, double easting, double northing,
                                        double centralMeridian, double* latitude,
                                        double* longitude) {
  const Ellipsoid el = EllipsoidOf(p);
  const Real radius = ParallelRadius(p, el);
  const Real k0 = radius / el.a;
  const Real q = 2 * k0 * (static_cast<Real>(northing) - p.falseNorthing) / el.a;
  StoreGeographic(LatitudeFromAuthalicQ(q, el.e, el.e2),
                  Radians(centralMeridian) + (static_cast<Real>(easting) - p.falseEasting) / radius,
                  latitude, longitude);
}

}  // namespace ostrak
