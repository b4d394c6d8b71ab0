// Oblique Stereographic (EPSG method 9809), after the formulas of the EPSG
// guidance (IOGP Publication 373-7-2): the ellipsoid is mapped conformally onto
// a sphere of radius R (the double projection), which is then projected
// stereographically. The inverse takes the latitude from the conformal-sphere
// latitude by the published iteration.
#include <cmath>

#include "internal.h"
#include "ostrak32.h"

using ostrak::Real;

namespace {

struct Sphere {
  Real e2;
  Real e;
  Real R;
  Real n;
  Real c;
  Real chi0;
};

// Constants of the double projection for the origin latitude phi0 (radians).
Sphere FormSphere(Real a, Real b, Real phi0) {
  using namespace ostrak;
  Sphere s;
  Real s0, c0;
  SinCos(phi0, s0, c0);
  s.e2 = EccentricitySquared(a, b);
  s.e = Sqrt(s.e2);
  const Real rho0 = a * (1 - s.e2) / Power(1 - s.e2 * PowerOf<2>(s0), 1.5L);
  const Real nu0 = a / Sqrt(1 - s.e2 * PowerOf<2>(s0));
  s.R = Sqrt(nu0 * rho0);
  const Real S1 = (1 + s0) / (1 - s0);
  const Real S2 = (1 - s.e * s0) / (1 + s.e * s0);
  s.n = Sqrt(1 + s.e2 * PowerOf<4>(c0) / (1 - s.e2));
  const Real w1 = Power(S1 * Power(S2, s.e), s.n);
  const Real sinChi0Prime = (w1 - 1) / (w1 + 1);
  s.c = (s.n + s0) * (1 - sinChi0Prime) / ((s.n - s0) * (1 + sinChi0Prime));
  const Real w2 = s.c * w1;
  s.chi0 = ARCSIN((w2 - 1) / (w2 + 1));
  return s;
}

}  // namespace

extern "C" void LATLONTOOST(const ProjectionRecord* projection, double latitude, double longitude,
                            double* easting, double* northing, double centralMeridian) {
  using namespace ostrak;
  LibraryErrorTrap trap("LATLONTOOST");
  const Real D2R = PI / 180;
  const Real phi = latitude * D2R;
  const Real phi0 = projection->latitudeOfOrigin * D2R;
  const Sphere s = FormSphere(projection->semiMajorAxis, projection->semiMinorAxis, phi0);
  const Real k0 = projection->scaleFactor;

  const Real deltaLambda =
      WrapLongitudeDifference(static_cast<Real>(longitude) - centralMeridian) * D2R;
  const Real deltaLambdaSphere = s.n * deltaLambda;

  const Real sinPhi = Sin(phi);
  const Real Sa = (1 + sinPhi) / (1 - sinPhi);
  const Real Sb = (1 - s.e * sinPhi) / (1 + s.e * sinPhi);
  const Real w = s.c * Power(Sa * Power(Sb, s.e), s.n);
  const Real chi = ARCSIN((w - 1) / (w + 1));

  Real sinChi, cosChi, sinChi0, cosChi0, sinDeltaLambda, cosDeltaLambda;
  SinCos(chi, sinChi, cosChi);
  SinCos(s.chi0, sinChi0, cosChi0);
  SinCos(deltaLambdaSphere, sinDeltaLambda, cosDeltaLambda);
  const Real B = 1 + sinChi * sinChi0 + cosChi * cosChi0 * cosDeltaLambda;
  *easting =
      static_cast<double>(projection->falseEasting + 2 * s.R * k0 * cosChi * sinDeltaLambda / B);
  *northing = static_cast<double>(projection->falseNorthing +
                                  2 * s.R * k0 *
                                      (sinChi * cosChi0 - cosChi * sinChi0 * cosDeltaLambda) / B);
}

// Has no error trap.
extern "C" void OSTTOLATLON(const ProjectionRecord* projection, double easting, double northing,
                            double* latitude, double* longitude, double centralMeridian) {
  using namespace ostrak;
  const Real D2R = PI / 180;
  const Real R2D = 1 / D2R;
  const Real lambda0 = centralMeridian * D2R;
  const Real phi0 = projection->latitudeOfOrigin * D2R;
  const Sphere s = FormSphere(projection->semiMajorAxis, projection->semiMinorAxis, phi0);
  const Real k0 = projection->scaleFactor;

  const Real g = 2 * s.R * k0 * Tan(PI / 4 - s.chi0 / 2);
  const Real h = 4 * s.R * k0 * Tan(s.chi0) + g;
  const Real Ep = static_cast<Real>(easting) - projection->falseEasting;
  const Real Np = static_cast<Real>(northing) - projection->falseNorthing;
  const Real i = Atan(Ep / (h + Np));
  const Real j = Atan(Ep / (g - Np)) - i;
  const Real chi = s.chi0 + 2 * Atan((Np - Ep * Tan(j / 2)) / (2 * s.R * k0));
  const Real LambdaSphere = j + 2 * i + lambda0;
  const Real lambda = (LambdaSphere - lambda0) / s.n + lambda0;
  *longitude = static_cast<double>(R2D * lambda);
  WrapStoredLongitude(longitude);

  const Real sinChi = Sin(chi);
  const Real psi = Ln((1 + sinChi) / (s.c * (1 - sinChi))) / (2 * s.n);
  Real phi = 2 * Atan(Exp(psi)) - PI / 2;
  // Converges in three or four passes on an Earth ellipsoid; the pass limit
  // only guarantees an end, and a NaN ends the loop at once.
  constexpr int kPassLimit = 100;
  Real previous;
  int passes = 0;
  do {
    previous = phi;
    const Real sinPhi = Sin(phi);
    const Real psiI =
        Ln(Tan(phi / 2 + PI / 4) * Power((1 - s.e * sinPhi) / (1 + s.e * sinPhi), s.e / 2));
    phi = phi - (psiI - psi) * Cos(phi) * (1 - s.e2 * PowerOf<2>(sinPhi)) / (1 - s.e2);
  } while (fabsl(previous - phi) > 1e-13L && ++passes < kPassLimit);
  *latitude = static_cast<double>(R2D * phi);
}
