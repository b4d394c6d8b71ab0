// The normal Mercator methods, after IOGP Guidance Note 7-2 (its Mercator
// variants A and B, and Popular Visualisation Pseudo Mercator). The inverse of the ellipsoidal
// variants starts from the published series in e^8 for the latitude and iterates the isometric
// latitude to 1e-15 rad. The poles are undefined (NaN).
//
// clang-format off
/*   1024 Popular Visualisation Pseudo Mercator: latitudeOfOrigin = latitude of natural origin (0), centralMeridian = longitude of natural origin, falseEasting, falseNorthing */
/*   9804 Mercator (variant A): latitudeOfOrigin = latitude of natural origin (0), centralMeridian = longitude of natural origin, scaleFactor = scale factor at natural origin, falseEasting, falseNorthing */
/*   9805 Mercator (variant B): firstStandardParallel = latitude of 1st standard parallel, centralMeridian = longitude of natural origin, falseEasting, falseNorthing */
// clang-format on
#include <cmath>

#include "method_support.h"
#include "projection_methods.h"

namespace ostrak {
namespace {

// The ellipsoid and the radius a k0 of the equator on the projection.
struct Cylinder {
  Ellipsoid ellipsoid;
  Real radius;
};

Cylinder VariantA(const ProjectionRecord& p) {
  const Ellipsoid el = EllipsoidOf(p);
  return {el, el.a * p.scaleFactor};
}

// k0 = cos phi1 / (1 - e^2 sin^2 phi1)^0.5 of the absolute standard parallel.
Cylinder VariantB(const ProjectionRecord& p) {
  const Ellipsoid el = EllipsoidOf(p);
  const Real phi1 = std::fabs(Radians(p.firstStandardParallel));
  return {el, el.a * ParallelRadiusRatio(phi1, el.e2)};
}

// The sphere of radius a, without the eccentricity.
Cylinder PseudoSphere(const ProjectionRecord& p) {
  return {{p.semiMajorAxis, 0, 0}, p.semiMajorAxis};
}

// The record's variant: A, B or the Pseudo Mercator's sphere.
Cylinder CylinderOf(const ProjectionRecord& p) {
  if (p.methodCode == kMercatorA) return VariantA(p);
  if (p.methodCode == kMercatorB) return VariantB(p);
  return PseudoSphere(p);
}

void Forward(const Cylinder& c, const ProjectionRecord& p, double latitude, double longitude,
             double centralMeridian, double* easting, double* northing) {
  if (!(std::fabs(latitude) < 90)) {
    StoreUndefined(easting, northing);
    return;
  }
  const Real phi = Radians(latitude);
  const Real t = IsometricT(phi, c.ellipsoid.e);
  StoreGrid(p.falseEasting + c.radius * LongitudeDifference(longitude, centralMeridian),
            p.falseNorthing - c.radius * Ln(t), easting, northing);
}

void Inverse(const Cylinder& c, const ProjectionRecord& p, double easting, double northing,
             double centralMeridian, double* latitude, double* longitude) {
  const Real t = Exp((p.falseNorthing - static_cast<Real>(northing)) / c.radius);
  const Real phi = LatitudeFromIsometricT(t, c.ellipsoid.e);
  const Real lambda =
      (static_cast<Real>(easting) - p.falseEasting) / c.radius + Radians(centralMeridian);
  StoreGeographic(phi, lambda, latitude, longitude);
}

}  // namespace

void MercatorForward(const ProjectionRecord& p, double latitude, double longitude,
                     double centralMeridian, double* easting, double* northing) {
  Forward(CylinderOf(p), p, latitude, longitude, centralMeridian, easting, northing);
}

void MercatorInverse(const ProjectionRecord& p, double easting, double northing,
                     double centralMeridian, double* latitude, double* longitude) {
  Inverse(CylinderOf(p), p, easting, northing, centralMeridian, latitude, longitude);
}

}  // namespace ostrak
