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
  const Real e2 = e * e;
  const Real e4 = e2 * e2;
  const Real e6 = e4 * e2;
  const Real e8 = e4 * e4;
  Real phi = chi + (e2 / 2 + 5 * e4 / 24 + e6 / 12 + 13 * e8 / 360) * Sin(2 * chi) +
             (7 * e4 / 48 + 29 * e6 / 240 + 811 * e8 / 11520) * Sin(4 * chi) +
             (7 * e6 / 120 + 81 * e8 / 1120) * Sin(6 * chi) + (4279 * e8 / 161280) * Sin(8 * chi);
  if (e == 0 || std::fabs(chi) >= kFullPi / 2) return chi;
  for (int step = 0; step < 30; ++step) {
    const Real eSin = e * Sin(phi);
    const Real next = kFullPi / 2 - 2 * Atan(t * Power((1 - eSin) / (1 + eSin), e / 2));
    const Real change = next - phi;
    phi = next;
    if (std::fabs(change) <= 1e-15L) return phi;
  }
  return NAN;
}

Real ParallelRadiusRatio(Real phi, Real e2) {
  return Cos(phi) / Sqrt(1 - e2 * PowerOf<2>(Sin(phi)));
}

Real AuthalicQ(Real phi, Real e, Real e2) {
  const Real sinPhi = Sin(phi);
  if (e == 0) return 2 * sinPhi;
  const Real eSin = e * sinPhi;
  return (1 - e2) * (sinPhi / (1 - eSin * eSin) - Ln((1 - eSin) / (1 + eSin)) / (2 * e));
}

Real LatitudeFromAuthalic(Real beta, Real e, Real e2) {
  if (std::isnan(beta)) return NAN;
  if (e == 0 || std::fabs(beta) >= kFullPi / 2) return beta;
  const Real e4 = e2 * e2;
  const Real e6 = e4 * e2;
  Real phi = beta + (e2 / 3 + 31 * e4 / 180 + 517 * e6 / 5040) * Sin(2 * beta) +
             (23 * e4 / 360 + 251 * e6 / 3780) * Sin(4 * beta) + (761 * e6 / 45360) * Sin(6 * beta);
  const Real qP = AuthalicQ(kFullPi / 2, e, e2);
  const Real q = qP * Sin(beta);
  Real previous = INFINITY;
  for (int step = 0; step < 30; ++step) {
    Real sinPhi, cosPhi;
    SinCos(phi, sinPhi, cosPhi);
    if (cosPhi <= 0) return phi;  // at a pole to the last bit
    const Real w = 1 - e2 * sinPhi * sinPhi;
    const Real change = w * w / (2 * cosPhi) * (q / (1 - e2) - AuthalicQ(phi, e, e2) / (1 - e2));
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
