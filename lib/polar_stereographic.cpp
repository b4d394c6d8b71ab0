// Polar Stereographic, variants A, B and C, after IOGP Guidance Note 7-2.
// The pole of the projection is the sign of the latitude of
// natural origin (A) or of the standard parallel (B, C). The inverse starts
// from the published series in e^8 for the latitude and iterates the
// isometric latitude to 1e-15 rad. The opposite pole is undefined (NaN), as
// is a variant A record whose origin is not a pole or a B or C record whose
// standard parallel is the equator.
//
// clang-format off
/*   9810 Polar Stereographic (variant A): latitudeOfOrigin = latitude of natural origin (90 or -90), centralMeridian = longitude of natural origin, scaleFactor = scale factor at natural origin, falseEasting, falseNorthing */
/*   9829 Polar Stereographic (variant B): firstStandardParallel = latitude of standard parallel, centralMeridian = longitude of origin, falseEasting, falseNorthing */
/*   9830 Polar Stereographic (variant C): firstStandardParallel = latitude of standard parallel, centralMeridian = longitude of origin, falseEasting = easting at false origin, falseNorthing = northing at false origin */
// clang-format on
#include <cmath>

#include "method_support.h"
#include "projection_methods.h"

namespace ostrak {
namespace {

enum class Variant { A, B, C };

Variant VariantOf(const ProjectionRecord& p) {
  if (p.methodCode == kPolarStereographicA) return Variant::A;
  return p.methodCode == kPolarStereographicB ? Variant::B : Variant::C;
}

// rho = a K t, with t of the north pole case on s phi; the false origin lies
// s rhoF towards the pole from the grid's (FE, FN) in variant C.
struct Polar {
  Ellipsoid el;
  int s;  // +1 north pole, -1 south pole, 0 undefined
  Real K;
  Real rhoF;
};

Polar FormPolar(const ProjectionRecord& p, Variant variant) {
  Polar z;
  z.el = EllipsoidOf(p);
  const Real e = z.el.e;
  const double parameter = variant == Variant::A ? p.latitudeOfOrigin : p.firstStandardParallel;
  z.s = parameter > 0 ? 1 : (parameter < 0 ? -1 : 0);
  if (variant == Variant::A && std::fabs(parameter) != 90) z.s = 0;
  const Real c = Sqrt(Power(1 + e, 1 + e) * Power(1 - e, 1 - e));
  z.K = 2 / c * (variant == Variant::A ? p.scaleFactor : 1);
  z.rhoF = 0;
  if (variant != Variant::A && std::fabs(parameter) != 90) {
    const Real phiF = std::fabs(Radians(parameter));
    const Real mF = ParallelRadiusRatio(phiF, z.el.e2);
    const Real tF = IsometricT(phiF, e);
    z.K = mF / tF;  // k0 = mF c / (2 tF) in variant B
    if (variant == Variant::C) z.rhoF = z.el.a * mF;
  }
  return z;
}

// The constants of the record's own variant.
Polar FormPolarOf(const ProjectionRecord& p) {
  return FormPolar(p, VariantOf(p));
}

void Forward(const ProjectionRecord& p, double latitude, double longitude, double centralMeridian,
             double* easting, double* northing) {
  const Polar& z = FormedFor<Polar, FormPolarOf>(p);
  if (z.s == 0 || OutsideLatitudes(latitude) || z.s * latitude == -90) {
    StoreUndefined(easting, northing);
    return;
  }
  const Real rho = z.el.a * z.K * IsometricT(z.s * Radians(latitude), z.el.e);
  Real sinL, cosL;
  SinCos(LongitudeDifference(longitude, centralMeridian), sinL, cosL);
  StoreGrid(p.falseEasting + rho * sinL, p.falseNorthing + z.s * (z.rhoF - rho * cosL), easting,
            northing);
}

void Inverse(const ProjectionRecord& p, double easting, double northing, double centralMeridian,
             double* latitude, double* longitude) {
  const Polar& z = FormedFor<Polar, FormPolarOf>(p);
  if (z.s == 0) {
    StoreUndefined(latitude, longitude);
    return;
  }
  const Real x = static_cast<Real>(easting) - p.falseEasting;
  const Real y = static_cast<Real>(northing) - p.falseNorthing - z.s * z.rhoF;
  const Real rho = Sqrt(x * x + y * y);
  const Real phi = z.s * LatitudeFromIsometricT(rho / (z.el.a * z.K), z.el.e);
  StoreGeographic(phi, Radians(centralMeridian) + atan2l(x, -z.s * y), latitude, longitude);
}

}  // namespace

void PolarStereographicForward(const ProjectionRecord& p, double latitude, double longitude,
                               double centralMeridian, double* easting, double* northing) {
  Forward(p, latitude, longitude, centralMeridian, easting, northing);
}

void PolarStereographicInverse(const ProjectionRecord& p, double easting, double northing,
                               double centralMeridian, double* latitude, double* longitude) {
  Inverse(p, easting, northing, centralMeridian, latitude, longitude);
}

}  // namespace ostrak
