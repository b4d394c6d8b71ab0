// Hotine Oblique Mercator, variants A and B (EPSG methods 9812 and 9815),
// after the Hotine Oblique Mercator formulas of IOGP Guidance Note 7-2: the ellipsoid is mapped
// conformally onto the aposphere, whose oblique Mercator gives the unrectified
// (u, v) grid, then rotated by the angle from the rectified to the skew grid.
// Variant A has its false origin at the natural origin (the intersection of
// the centre line with the aposphere's equator); variant B at the projection
// centre.
//
// Field mapping:
// clang-format off
/*   9812 Hotine Oblique Mercator (variant A): latitudeOfOrigin = latitude of projection centre, centralMeridian = longitude of projection centre, scaleFactor = scale factor on initial line, falseEasting, falseNorthing, firstStandardParallel = azimuth of initial line, secondStandardParallel = angle from rectified to skew grid */
/*   9815 Hotine Oblique Mercator (variant B): latitudeOfOrigin = latitude of projection centre, centralMeridian = longitude of projection centre, scaleFactor = scale factor on initial line, falseEasting = easting at projection centre, falseNorthing = northing at projection centre, firstStandardParallel = azimuth of initial line, secondStandardParallel = angle from rectified to skew grid */
// clang-format on
//
// The longitude of the natural origin, lonc - asin(G tan(gamma0)) / B, is
// taken in the equivalent form lonc - atan2(G sin(alphac), D |cos(alphac)|) / B
// (with G = sign(latc) sqrt(D^2 - 1)), which stays exact where the centre line
// is at its most northerly point (alphac = 90 degrees, Switzerland, Hungary):
// there the published arcsine is taken at 1 and would lose half its digits.
// With that form the general u of variant B is continuous through lonc, so the
// published special case for alphac = 90 degrees is not needed.
//
// The inverse takes the latitude from t' by the published series in e^8,
// whose truncation is about 1e-11 rad, and then Newton's steps on the
// isometric latitude until the step is below 1e-15 rad
// (LatitudeFromIsometricT). The forward takes Q = H / t^B as one exponential
// of logarithms. Points on the line 90 degrees from the centre line (U = +-1)
// and the poles have no image: NaN.
#include <cmath>
#include <complex>

#include "internal.h"
#include "method_support.h"
#include "ostrak32.h"
#include "projection_methods.h"

namespace ostrak {
namespace {

constexpr Real kPi = ostrak::kFullPi;
constexpr Real kD2R = kPi / 180;

Real Signum(Real x) {
  return x > 0 ? Real(1) : (x < 0 ? Real(-1) : Real(0));
}

// t(phi) of the conformal mapping; 0 at the north pole.
struct Hotine {
  Real e;
  Real A, B, H;
  Real sinGamma0, cosGamma0;
  Real sinGammaC, cosGammaC;
  Real lonc;  // radians
  Real lonO;
  Real uc;  // signed: |uc| sign(latc)
};

Hotine FormHotine(const ProjectionRecord& p, double centralMeridian) {
  Hotine h;
  const Real e2 = EccentricitySquared(p.semiMajorAxis, p.semiMinorAxis);
  h.e = Sqrt(e2);
  const Real latc = p.latitudeOfOrigin * kD2R;
  const Real lonc = centralMeridian * kD2R;
  h.lonc = lonc;
  const Real alphac = p.firstStandardParallel * kD2R;
  Real sinLatc, cosLatc, sinAlphac, cosAlphac;
  SinCos(latc, sinLatc, cosLatc);
  SinCos(alphac, sinAlphac, cosAlphac);
  SinCos(static_cast<Real>(p.secondStandardParallel) * kD2R, h.sinGammaC, h.cosGammaC);
  const Real w = 1 - e2 * PowerOf<2>(sinLatc);
  h.B = Sqrt(1 + e2 * PowerOf<4>(cosLatc) / (1 - e2));
  h.A = p.semiMajorAxis * h.B * p.scaleFactor * Sqrt(1 - e2) / w;
  const Real t0 = IsometricT(latc, h.e);
  const Real D = h.B * Sqrt(1 - e2) / (cosLatc * Sqrt(w));
  const Real D2 = D < 1 ? Real(1) : D * D;
  const Real G = Signum(latc) * Sqrt(D2 - 1);
  const Real F = D + G;
  h.H = F * Power(t0, h.B);
  h.sinGamma0 = sinAlphac / D;
  h.cosGamma0 = Sqrt(1 - PowerOf<2>(h.sinGamma0));
  h.lonO = lonc - atan2l(G * sinAlphac, D * fabsl(cosAlphac)) / h.B;
  h.uc = (h.A / h.B) * atan2l(Sqrt(D2 - 1), cosAlphac) * Signum(latc);
  return h;
}

// (u, v) of the unrectified grid, u from the natural origin; false if none.
bool HotineUV(const Hotine& h, Real phi, Real lambda, Real& u, Real& v) {
  if (!(fabsl(phi) < kPi / 2)) return false;
  // Q = H / t^B as one exponential: ln t = ln tan(pi/4 - phi/2) + (e/2) ln((1 + e sin phi) /
  // (1 - e sin phi)), the tangent being cos phi / (1 + sin phi), or (1 - sin phi) / cos phi south
  // of the equator, where that one loses no digits.
  Real sinPhi, cosPhi;
  SinCos(phi, sinPhi, cosPhi);
  const Real esin = h.e * sinPhi;
  const Real tangent = sinPhi >= 0 ? cosPhi / (1 + sinPhi) : (1 - sinPhi) / cosPhi;
  const Real Q = h.H * expl(-h.B * (logl(tangent) + h.e / 2 * LnRatio(esin)));
  const Real S = (Q - 1 / Q) / 2;
  const Real T = (Q + 1 / Q) / 2;
  // The longitude difference from the centre is wrapped, that from the
  // natural origin follows from it.
  const Real dLon = WrapLongitudeDifference((lambda - h.lonc) / kD2R) * kD2R + (h.lonc - h.lonO);
  Real V, cosBdLon;
  SinCos(h.B * dLon, V, cosBdLon);
  const Real U = (-V * h.cosGamma0 + S * h.sinGamma0) / T;
  if (!(fabsl(U) < 1)) return false;
  v = -h.A * LnRatio(U) / (2 * h.B);
  u = h.A * atan2l(S * h.cosGamma0 + V * h.sinGamma0, cosBdLon) / h.B;
  return std::isfinite(u) && std::isfinite(v);
}

void HotineForward(const ProjectionRecord& p, double latitude, double longitude,
                   double centralMeridian, bool fromCentre, double* easting, double* northing) {
  const Hotine& h = FormedFor<Hotine, FormHotine>(p, centralMeridian);
  Real u, v;
  if (!HotineUV(h, latitude * kD2R, longitude * kD2R, u, v)) {
    *easting = *northing = NAN;
    return;
  }
  if (fromCentre) u -= h.uc;
  *easting = static_cast<double>(v * h.cosGammaC + u * h.sinGammaC + p.falseEasting);
  *northing = static_cast<double>(u * h.cosGammaC - v * h.sinGammaC + p.falseNorthing);
}

void HotineInverse(const ProjectionRecord& p, double easting, double northing,
                   double centralMeridian, bool fromCentre, double* latitude, double* longitude) {
  const Hotine& h = FormedFor<Hotine, FormHotine>(p, centralMeridian);
  const Real dE = static_cast<Real>(easting) - p.falseEasting;
  const Real dN = static_cast<Real>(northing) - p.falseNorthing;
  const Real vp = dE * h.cosGammaC - dN * h.sinGammaC;
  Real up = dN * h.cosGammaC + dE * h.sinGammaC;
  if (fromCentre) up += h.uc;
  const Real Qp = expl(-h.B * vp / h.A);
  const Real Sp = (Qp - 1 / Qp) / 2;
  const Real Tp = (Qp + 1 / Qp) / 2;
  Real Vp, cosBu;
  SinCos(h.B * up / h.A, Vp, cosBu);
  const Real Up = (Vp * h.cosGamma0 + Sp * h.sinGamma0) / Tp;
  Real phi, lambda;
  if (!std::isfinite(Up) || !std::isfinite(Tp)) {
    phi = lambda = NAN;
  } else if (fabsl(Up) >= 1) {
    // At a pole of the ellipsoid.
    phi = Signum(Up) * kPi / 2;
    lambda = h.lonO;
  } else {
    const Real tp = Power(h.H / Sqrt((1 + Up) / (1 - Up)), 1 / h.B);
    phi = LatitudeFromIsometricT(tp, h.e);
    lambda = h.lonO - atan2l(Sp * h.cosGamma0 - Vp * h.sinGamma0, cosBu) / h.B;
  }
  *latitude = static_cast<double>(phi / kD2R);
  *longitude = static_cast<double>(WrapLongitudeDifference(lambda / kD2R));
}

}  // namespace

void HotineObliqueMercatorForward(const ProjectionRecord& p, double latitude, double longitude,
                                  double centralMeridian, double* easting, double* northing) {
  HotineForward(p, latitude, longitude, centralMeridian, p.methodCode == kHotineObliqueMercatorB,
                easting, northing);
}

void HotineObliqueMercatorInverse(const ProjectionRecord& p, double easting, double northing,
                                  double centralMeridian, double* latitude, double* longitude) {
  HotineInverse(p, easting, northing, centralMeridian, p.methodCode == kHotineObliqueMercatorB,
                latitude, longitude);
}

}  // namespace ostrak

// Laborde Oblique Mercator (EPSG method 9813), after the Laborde formulas of
// IOGP Guidance Note 7-2 (from IGN technical note NT/G 74): the ellipsoid is
// mapped conformally onto a sphere, rotated to the oblique frame of the
// projection centre, and the oblique Mercator coordinates H are corrected by
// the complex cubic H + G H^3 with G from the azimuth.
//
// clang-format off
/*   9813 Laborde Oblique Mercator: latitudeOfOrigin = latitude of projection centre, centralMeridian = longitude of projection centre, scaleFactor = scale factor on initial line, falseEasting, falseNorthing, firstStandardParallel = azimuth of initial line */
// clang-format on
//
// The inverse solves H + G H^3 = H0 by Newton's iteration
// H(k+1) = (H0 + 2 G H(k)^3) / (3 G H(k)^2 + 1), the published one, started
// from H0, until H changes by less than 1e-15 (at most 30 steps); the latitude
// comes from the sphere's isometric latitude q as the latitude whose t is
// exp(-q) (LatitudeFromIsometricT: the series in e^8, then Newton's steps to
// 1e-15 rad). The poles have no image: NaN.
namespace ostrak {
namespace {

struct Laborde {
  Real e;
  Real B;
  Real R;
  Real C;
  Real sinPhiS, cosPhiS;
  std::complex<Real> G;
  Real lonc;  // radians
};

// ln of tan(pi/4 + phi/2) ((1 - e sin phi) / (1 + e sin phi))^(e/2): the isometric latitude.
Real IsometricLatitude(Real phi, Real e) {
  const Real esin = e * Sin(phi);
  return logl(Tan(kPi / 4 + phi / 2)) + (e / 2) * logl((1 - esin) / (1 + esin));
}

Laborde FormLaborde(const ProjectionRecord& p, double centralMeridian) {
  Laborde l;
  const Real e2 = EccentricitySquared(p.semiMajorAxis, p.semiMinorAxis);
  l.e = Sqrt(e2);
  const Real phiC = p.latitudeOfOrigin * kD2R;
  Real sinPhiC, cosPhiC;
  SinCos(phiC, sinPhiC, cosPhiC);
  l.B = Sqrt(1 + e2 * PowerOf<4>(cosPhiC) / (1 - e2));
  const Real phiS = asinl(sinPhiC / l.B);
  SinCos(phiS, l.sinPhiS, l.cosPhiS);
  l.R = p.semiMajorAxis * p.scaleFactor * Sqrt(1 - e2) / (1 - e2 * PowerOf<2>(sinPhiC));
  l.C = logl(Tan(kPi / 4 + phiS / 2)) - l.B * IsometricLatitude(phiC, l.e);
  Real sin2Alpha, cos2Alpha;
  SinCos(2 * (static_cast<Real>(p.firstStandardParallel) * kD2R), sin2Alpha, cos2Alpha);
  l.G = std::complex<Real>(1 - cos2Alpha, sin2Alpha) / Real(12);
  l.lonc = centralMeridian * kD2R;
  return l;
}

}  // namespace

void LabordeObliqueMercatorForward(const ProjectionRecord& p, double latitude, double longitude,
                                   double centralMeridian, double* easting, double* northing) {
  const Laborde& l = FormedFor<Laborde, FormLaborde>(p, centralMeridian);
  const Real phi = latitude * kD2R;
  if (!(fabsl(phi) < kPi / 2)) {
    *easting = *northing = NAN;
    return;
  }
  const Real L =
      l.B * WrapLongitudeDifference(static_cast<Real>(longitude) - centralMeridian) * kD2R;
  const Real q = l.C + l.B * IsometricLatitude(phi, l.e);
  const Real P = 2 * atanl(expl(q)) - kPi / 2;
  Real sinP, cosP, sinL, cosL;
  SinCos(P, sinP, cosP);
  SinCos(L, sinL, cosL);
  const Real U = cosP * cosL * l.cosPhiS + sinP * l.sinPhiS;
  const Real V = cosP * cosL * l.sinPhiS - sinP * l.cosPhiS;
  const Real W = cosP * sinL;
  const Real d = Sqrt(U * U + V * V);
  Real Lp, Pp;
  if (d != 0) {
    Lp = 2 * atanl(V / (U + d));
    Pp = atanl(W / d);
  } else {
    Lp = 0;
    Pp = (W < 0 ? -1 : 1) * kPi / 2;
  }
  const std::complex<Real> H(-Lp, logl(Tan(kPi / 4 + Pp / 2)));
  const std::complex<Real> grid = H + l.G * H * H * H;
  if (!std::isfinite(grid.real()) || !std::isfinite(grid.imag())) {
    *easting = *northing = NAN;
    return;
  }
  *easting = static_cast<double>(p.falseEasting + l.R * grid.imag());
  *northing = static_cast<double>(p.falseNorthing + l.R * grid.real());
}

void LabordeObliqueMercatorInverse(const ProjectionRecord& p, double easting, double northing,
                                   double centralMeridian, double* latitude, double* longitude) {
  const Laborde& l = FormedFor<Laborde, FormLaborde>(p, centralMeridian);
  *latitude = *longitude = NAN;
  const std::complex<Real> H0((static_cast<Real>(northing) - p.falseNorthing) / l.R,
                              (static_cast<Real>(easting) - p.falseEasting) / l.R);
  std::complex<Real> H = H0;
  bool settled = false;
  for (int i = 0; i < 30 && !settled; ++i) {
    const std::complex<Real> next =
        (H0 + Real(2) * l.G * H * H * H) / (Real(3) * l.G * H * H + Real(1));
    settled = std::abs(next - H) < 1e-15L;
    H = next;
  }
  if (!settled) return;
  const Real Lp = -H.real();
  const Real Pp = 2 * atanl(expl(H.imag())) - kPi / 2;
  Real sinPp, cosPp, sinLp, cosLp;
  SinCos(Pp, sinPp, cosPp);
  SinCos(Lp, sinLp, cosLp);
  // Back from the oblique frame: the transpose of the forward rotation.
  const Real Up = cosPp * cosLp, Vp = cosPp * sinLp, Wp = sinPp;
  const Real x1 = Up * l.cosPhiS + Vp * l.sinPhiS;
  const Real x3 = Up * l.sinPhiS - Vp * l.cosPhiS;
  const Real L = atan2l(Wp, x1);
  const Real P = atan2l(x3, Sqrt(x1 * x1 + Wp * Wp));
  const Real q = (logl(Tan(kPi / 4 + P / 2)) - l.C) / l.B;
  // q is the isometric latitude: t = exp(-q).
  const Real phi = LatitudeFromIsometricT(expl(-q), l.e);
  if (std::isnan(phi)) return;
  *latitude = static_cast<double>(phi / kD2R);
  *longitude = static_cast<double>(WrapLongitudeDifference((l.lonc + L / l.B) / kD2R));
}

}  // namespace ostrak
