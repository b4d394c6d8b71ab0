// Lambert Conic Conformal with two standard parallels (EPSG method 9802),
// after the formulas of the EPSG guidance (IOGP Publication 373-7-2). The
// inverse takes the latitude from the conformal latitude by the series in e^2
// up to e^6 (Snyder, "Map Projections - A Working Manual", eq. 3-5) instead of
// the published iteration.
//
// A scale factor k other than 1 scales the projected plane uniformly: the
// forward multiplies r sin(theta), rF and r cos(theta) by k, the inverse
// divides the offsets from the false origin by k. With k = 1 both are exactly
// the published method.
#include <cmath>

#include "internal.h"
#include "ostrak32.h"

using ostrak::Real;

namespace {

struct Conic {
  Real e2;
  Real e;
  Real n;
  Real F;
  Real rF;
};

// t(phi) of the method.
Real IsometricT(Real phi, Real e) {
  using namespace ostrak;
  const Real sinPhi = Sin(phi);
  return Tan(PI / 4 - phi / 2) / Power((1 - e * sinPhi) / (1 + e * sinPhi), e / 2);
}

// m(phi) of the method.
Real ConformalM(Real phi, Real e2) {
  using namespace ostrak;
  return Cos(phi) / Sqrt(1 - e2 * PowerOf<2>(Sin(phi)));
}

// e^2, e, then n, F and rF from the base parallel and the two standard
// parallels of the record.
Conic FormConic(const ProjectionRecord& p, Real D2R) {
  using namespace ostrak;
  Conic c;
  const Real a = p.semiMajorAxis;
  c.e2 = EccentricitySquared(a, p.semiMinorAxis);
  c.e = Sqrt(c.e2);
  const Real phiF = p.latitudeOfOrigin * D2R;
  const Real phi1 = p.firstStandardParallel * D2R;
  const Real phi2 = p.secondStandardParallel * D2R;
  const Real tF = IsometricT(phiF, c.e);
  const Real m1 = ConformalM(phi1, c.e2);
  const Real t1 = IsometricT(phi1, c.e);
  const Real m2 = ConformalM(phi2, c.e2);
  const Real t2 = IsometricT(phi2, c.e);
  c.n = (Ln(m1) - Ln(m2)) / (Ln(t1) - Ln(t2));
  c.F = m1 / (c.n * Power(t1, c.n));
  c.rF = a * c.F * Power(tF, c.n);
  return c;
}

Real Signum(Real x) {
  return x > 0 ? Real(1) : (x < 0 ? Real(-1) : Real(0));
}

}  // namespace

extern "C" void LATLONTOLCC(const ProjectionRecord* projection, double latitude, double longitude,
                            double* easting, double* northing, double centralMeridian) {
  using namespace ostrak;
  LibraryErrorTrap trap("LATLONTOLCC");
  const Real D2R = PI / 180;
  const Real a = projection->semiMajorAxis;
  const Real k = projection->scaleFactor;
  const Real phi = latitude * D2R;
  const Real deltaLambda =
      WrapLongitudeDifference(static_cast<Real>(longitude) - centralMeridian) * D2R;

  const Conic c = FormConic(*projection, D2R);
  const Real t = IsometricT(phi, c.e);
  const Real r = a * c.F * Power(t, c.n);
  const Real theta = c.n * deltaLambda;
  Real sinTheta, cosTheta;
  SinCos(theta, sinTheta, cosTheta);

  *easting = static_cast<double>(projection->falseEasting + k * (r * sinTheta));
  *northing = static_cast<double>(projection->falseNorthing + k * c.rF - k * (r * cosTheta));
}

extern "C" void LCCTOLATLON(const ProjectionRecord* projection, double easting, double northing,
                            double* latitude, double* longitude, double centralMeridian) {
  using namespace ostrak;
  LibraryErrorTrap trap("LCCTOLATLON");
  const Real a = projection->semiMajorAxis;
  const Real k = projection->scaleFactor;
  const Real D2R = PI / 180;
  const Real R2D = 1 / D2R;
  const Real lambda0 = centralMeridian * D2R;
  const Conic c = FormConic(*projection, D2R);
  const Real e4 = c.e2 * c.e2;
  const Real e6 = e4 * c.e2;

  // The false origin is removed in the routine's own copies, as doubles.
  easting = static_cast<double>(easting - static_cast<Real>(projection->falseEasting));
  northing = static_cast<double>(northing - static_cast<Real>(projection->falseNorthing));
  const Real Ep = easting / k;
  const Real Np = northing / k;

  const Real rPrime = Signum(c.n) * fabsl(Sqrt(PowerOf<2>(Ep) + PowerOf<2>(c.rF - Np)));
  const Real tPrime = Power(rPrime / (a * c.F), 1 / c.n);
  const Real chi = PI / 2 - 2 * Atan(tPrime);
  const Real phi = chi + (c.e2 / 2 + 5 * e4 / 24 + e6 / 12) * Sin(2 * chi) +
                   (7 * e4 / 48 + 29 * e6 / 240) * Sin(4 * chi) + (7 * e6 / 120) * Sin(6 * chi);
  const Real thetaPrime = Atan(Ep / (c.rF - Np));
  const Real lambda = thetaPrime / c.n + lambda0;

  *latitude = static_cast<double>(R2D * phi);
  *longitude = static_cast<double>(R2D * lambda);
  WrapStoredLongitude(longitude);
}
