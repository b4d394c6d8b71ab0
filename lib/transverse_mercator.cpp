// Transverse Mercator (EPSG method 9807), after the series of the EPSG
// guidance (IOGP Publication 373-7-2, "Transverse Mercator", the USGS form):
// meridian arc in powers of e^2 up to e^6, terms up to the sixth power of the
// longitude difference, footpoint latitude in powers of e1 up to e1^4.
// Added here: exact +-90 in the forward, the footpoint clamp at the poles in
// the inverse, one-turn wrapping of longitudes.
#include "internal.h"
#include "ostrak32.h"

using ostrak::Real;

namespace {

struct Eccentricities {
  Real e2;
  Real e4;
  Real e6;
  Real ep2;  // second eccentricity squared
};

Eccentricities FormEccentricities(Real a, Real b) {
  Eccentricities e;
  e.e2 = ostrak::EccentricitySquared(a, b);
  e.e4 = ostrak::PowerOf<2>(e.e2);
  e.e6 = e.e4 * e.e2;
  e.ep2 = e.e2 / (1 - e.e2);
  return e;
}

// Meridian arc from the equator to latitude phi (radians).
Real MeridianArc(Real a, const Eccentricities& e, Real phi) {
  using ostrak::Sin;
  return a *
         ((phi * (1 - e.e2 / 4 - 3 * e.e4 / 64 - 5 * e.e6 / 256) -
           (3 * e.e2 / 8 + 3 * e.e4 / 32 + 45 * e.e6 / 1024) * Sin(2 * phi)) +
          (15 * e.e4 / 256 + 45 * e.e6 / 1024) * Sin(4 * phi) - (35 * e.e6 / 3072) * Sin(6 * phi));
}

}  // namespace

extern "C" void LATLONTOTM(const ProjectionRecord* projection, double latitude, double longitude,
                           double* easting, double* northing, double centralMeridian) {
  using namespace ostrak;
  LibraryErrorTrap trap("LATLONTOTM");
  const Real D2R = PI / 180;
  const Real a = projection->semiMajorAxis;
  const Real k0 = projection->scaleFactor;
  const Real phi0 = projection->latitudeOfOrigin * D2R;
  const Real phi = latitude * D2R;

  const Eccentricities e = FormEccentricities(a, projection->semiMinorAxis);
  const Real M0 = MeridianArc(a, e, phi0);
  const Real deltaLambda =
      WrapLongitudeDifference(static_cast<Real>(longitude) - centralMeridian) * D2R;
  const Real M = MeridianArc(a, e, phi);

  if (latitude == 90.0 || latitude == -90.0) {
    *easting = 0.0;
    *northing = static_cast<double>(k0 * (M - M0));
  } else {
    // Each sine and cosine is formed once; tan is their quotient, as Tan forms it.
    Real sinPhi, cosPhi;
    SinCos(phi, sinPhi, cosPhi);
    const Real tanPhi = sinPhi / cosPhi;
    const Real nu = a / Sqrt(1 - PowerOf<2>(sinPhi) * e.e2);
    const Real T = PowerOf<2>(tanPhi);
    const Real C = PowerOf<2>(cosPhi) * e.ep2;
    const Real A = cosPhi * deltaLambda;
    *easting = static_cast<double>(
        (nu * k0) *
        ((PowerOf<3>(A) * ((1 - T) + C) / 6 + A) +
         PowerOf<5>(A) * ((((5 - 18 * T) + PowerOf<2>(T)) + 72 * C) - 58 * e.ep2) / 120));
    *northing = static_cast<double>(
        ((M - M0) +
         (tanPhi * nu) *
             ((PowerOf<4>(A) * (((5 - T) + 9 * C) + 4 * PowerOf<2>(C)) / 24 + PowerOf<2>(A) / 2) +
              PowerOf<6>(A) * ((((61 - 58 * T) + PowerOf<2>(T)) + 600 * C) - 330 * e.ep2) / 720)) *
        k0);
  }
  *easting = static_cast<double>(projection->falseEasting + static_cast<Real>(*easting));
  *northing = static_cast<double>(projection->falseNorthing + static_cast<Real>(*northing));
}

extern "C" void TMTOLATLON(const ProjectionRecord* projection, double easting, double northing,
                           double* latitude, double* longitude, double centralMeridian) {
  using namespace ostrak;
  LibraryErrorTrap trap("TMTOLATLON");
  const Real D2R = PI / 180;
  const Real R2D = 1 / D2R;
  const Real lambda0 = centralMeridian * D2R;
  const Real phi0 = projection->latitudeOfOrigin * D2R;
  const Real a = projection->semiMajorAxis;
  const Real k0 = projection->scaleFactor;

  const Eccentricities e = FormEccentricities(a, projection->semiMinorAxis);
  const Real M0 = MeridianArc(a, e, phi0);

  // The false origin is removed in the routine's own copies, as doubles.
  easting = static_cast<double>(easting - static_cast<Real>(projection->falseEasting));
  northing = static_cast<double>(northing - static_cast<Real>(projection->falseNorthing));

  const Real e1 = (1 - Sqrt(1 - e.e2)) / (Sqrt(1 - e.e2) + 1);
  const Real M1 = northing / k0 + M0;
  const Real mu1 = M1 / ((1 - e.e2 / 4 - 3 * e.e4 / 64 - 5 * e.e6 / 256) * a);
  const Real phi1 = (((mu1 + (3 * e1 / 2 - 27 * PowerOf<3>(e1) / 32) * Sin(2 * mu1)) +
                      (21 * PowerOf<2>(e1) / 16 - 55 * PowerOf<4>(e1) / 32) * Sin(4 * mu1)) +
                     (151 * PowerOf<3>(e1) / 96) * Sin(6 * mu1)) +
                    (1097 * PowerOf<4>(e1) / 512) * Sin(8 * mu1);

  const Real footpointDegrees = phi1 * R2D;
  if (footpointDegrees >= 90) {
    *latitude = 90.0;
    *longitude = centralMeridian;
    return;
  }
  if (footpointDegrees <= -90) {
    *latitude = -90.0;
    *longitude = centralMeridian;
    return;
  }

  Real sinPhi1, cosPhi1;
  SinCos(phi1, sinPhi1, cosPhi1);
  const Real tanPhi1 = sinPhi1 / cosPhi1;
  const Real C1 = PowerOf<2>(cosPhi1) * e.ep2;
  const Real T1 = PowerOf<2>(tanPhi1);
  const Real nu1 = a / Sqrt(1 - PowerOf<2>(sinPhi1) * e.e2);
  const Real rho1 = ((1 - e.e2) * a) / Sqrt(PowerOf<3>(1 - PowerOf<2>(sinPhi1) * e.e2));
  const Real D = easting / (k0 * nu1);

  const Real phi =
      phi1 - ((PowerOf<2>(D) / 2 -
               PowerOf<4>(D) * ((((3 * T1 + 5) + 10 * C1) - 4 * PowerOf<2>(C1)) - 9 * e.ep2) / 24) +
              PowerOf<6>(D) *
                  (((((90 * T1 + 61) + 298 * C1) + 45 * PowerOf<2>(T1)) - 3 * PowerOf<2>(C1)) -
                   252 * e.ep2) /
                  720) *
                 (tanPhi1 * nu1 / rho1);
  *latitude = static_cast<double>(R2D * phi);

  const Real lambda =
      ((D - PowerOf<3>(D) * ((2 * T1 + 1) + C1) / 6) +
       PowerOf<5>(D) *
           (((((5 - 2 * C1) + 28 * T1) - 3 * PowerOf<2>(C1)) + 24 * PowerOf<2>(T1)) + 8 * e.ep2) /
           120) /
          cosPhi1 +
      lambda0;
  *longitude = static_cast<double>(R2D * lambda);
  WrapStoredLongitude(longitude);
}
