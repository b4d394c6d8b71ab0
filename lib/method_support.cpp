// The latitudes and storing shared by the methods behind the generic pair.
#include "method_support.h"

#include <cmath>

namespace ostrak {

Real IsometricT(Real phi, Real e) {
  const Real eSin = e * Sin(phi);
  return Tan(kFullPi / 4 - phi / 2) / Power((1 - eSin) / (1 + eSin), e / 2);
}

Real LatitudeFromIsometricT(Real t, Real e) {
  if (std::isnan(t) || t < 0) return NAN;
  const Real chi = kFullPi / 2 - 2 * Atan(t);
  if (e == 0 || std::fabs(chi) >= kFullPi / 2) return chi;
  const Real e2 = e * e;
  const Real e4 = e2 * e2;
  const Real e6 = e4 * e2;
  const Real e8 = e4 * e4;
  // The series in sin 2chi, sin 4chi, sin 6chi and sin 8chi, the multiples
  // from sin 2chi and cos 2chi.
  Real s2, c2;
  SinCos(2 * chi, s2, c2);
  const Real s4 = 2 * s2 * c2;
  const Real c4 = 1 - 2 * s2 * s2;
  const Real s6 = s4 * c2 + c4 * s2;
  const Real s8 = 2 * s4 * c4;
  Real phi = chi + (e2 / 2 + 5 * e4 / 24 + e6 / 12 + 13 * e8 / 360) * s2 +
             (7 * e4 / 48 + 29 * e6 / 240 + 811 * e8 / 11520) * s4 +
             (7 * e6 / 120 + 81 * e8 / 1120) * s6 + (4279 * e8 / 161280) * s8;
  // Newton's steps on the isometric latitude, psi(phi) = ln tan(pi/4 + phi/2)
  // - (e/2) ln((1 + e sin phi) / (1 - e sin phi)) = -ln t, whose derivative
  // is (1 - e^2) / ((1 - e^2 sin^2 phi) cos phi); tan(pi/4 + phi/2) is
  // (1 + sin phi) / cos phi.
  const Real psi = -logl(t);
  for (int step = 0; step < 30; ++step) {
    Real sinPhi, cosPhi;
    SinCos(phi, sinPhi, cosPhi);
    if (!(cosPhi > 0)) return phi;  // at a pole to the last bit
    const Real esin = e * sinPhi;
    const Real miss = logl((1 + sinPhi) / cosPhi) - e / 2 * LnRatio(esin) - psi;
    const Real change = -miss * (1 - esin * esin) * cosPhi / (1 - e2);
    phi += change;
    if (std::fabs(change) <= 1e-15L) return phi;
  }
  return NAN;
}

Real ParallelRadiusRatio(Real phi, Real e2) {
  return Cos(phi) / Sqrt(1 - e2 * PowerOf<2>(Sin(phi)));
}

namespace {

Real AuthalicQOfSine(Real sinPhi, Real e, Real e2) {
  if (e == 0) return 2 * sinPhi;
  const Real eSin = e * sinPhi;
  return (1 - e2) * (sinPhi / (1 - eSin * eSin) + LnRatio(eSin) / (2 * e));
}

}  // namespace

Real AuthalicQ(Real phi, Real e, Real e2) {
  return AuthalicQOfSine(Sin(phi), e, e2);
}

Real LatitudeFromAuthalic(Real beta, Real e, Real e2) {
  if (std::isnan(beta)) return NAN;
  if (e == 0 || std::fabs(beta) >= kFullPi / 2) return beta;
  const Real e4 = e2 * e2;
  const Real e6 = e4 * e2;
  // The series in sin 2beta, sin 4beta and sin 6beta, the multiples from
  // sin 2beta and cos 2beta.
  Real s2, c2;
  SinCos(2 * beta, s2, c2);
  const Real s4 = 2 * s2 * c2;
  const Real s6 = s4 * c2 + (1 - 2 * s2 * s2) * s2;
  Real phi = beta + (e2 / 3 + 31 * e4 / 180 + 517 * e6 / 5040) * s2 +
             (23 * e4 / 360 + 251 * e6 / 3780) * s4 + (761 * e6 / 45360) * s6;
  const Real qP = AuthalicQOfSine(1, e, e2);
  const Real q = qP * Sin(beta);
  Real previous = INFINITY;
  for (int step = 0; step < 30; ++step) {
    Real sinPhi, cosPhi;
    SinCos(phi, sinPhi, cosPhi);
    if (cosPhi <= 0) return phi;  // at a pole to the last bit
    const Real w = 1 - e2 * sinPhi * sinPhi;
    const Real change =
        w * w / (2 * cosPhi) * (q / (1 - e2) - AuthalicQOfSine(sinPhi, e, e2) / (1 - e2));
    phi += change;
    if (std::fabs(change) <= 1e-15L) return phi;
    // Within about 1e-7 rad of a pole q is flat and its rounding stops the
    // steps short of 1e-15: they no longer halve, a few 1e-11 rad each.
    if (std::fabs(change) < 1e-9L && std::fabs(change) > previous / 2) return phi;
    previous = std::fabs(change);
  }
  return NAN;
}

Real LatitudeFromAuthalicQ(Real q, Real e, Real e2) {
  const Real qP = AuthalicQ(kFullPi / 2, e, e2);
  const Real ratio = q / qP;
  if (std::isnan(ratio) || std::fabs(ratio) > 1) return NAN;
  return LatitudeFromAuthalic(asinl(ratio), e, e2);
}

void StoreGeographic(Real phi, Real lambda, double* latitude, double* longitude) {
  if (std::isnan(phi) || std::isnan(lambda) || std::isinf(lambda)) {
    StoreUndefined(latitude, longitude);
    return;
  }
  *latitude = static_cast<double>(phi / kRadiansPerDegree);
  *longitude = static_cast<double>(lambda / kRadiansPerDegree);
  WrapStoredLongitude(longitude);
}

void StoreGrid(Real easting, Real northing, double* e, double* n) {
  if (!std::isfinite(easting) || !std::isfinite(northing)) {
    StoreUndefined(e, n);
    return;
  }
  *e = static_cast<double>(easting);
  *n = static_cast<double>(northing);
}

}  // namespace ostrak
