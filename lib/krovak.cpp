// Krovak oblique conformal conic (EPSG methods 9819, 1041, 1042 and 1043),
// after the Krovak formulas of IOGP Guidance Note 7-2: the ellipsoid is mapped
// conformally onto a sphere, on which an oblique cone touches the pseudo
// standard parallel around the cone axis. The plain method gives southing and
// westing; the North Orientated ones easting = -westing and northing =
// -southing. The Modified ones subtract from (Xp, Yp) the published
// correction polynomial of S-JTSK/05.
//
// Field mapping:
// clang-format off
/*   9819 Krovak: latitudeOfOrigin = latitude of projection centre, centralMeridian = longitude of origin, scaleFactor = scale factor on pseudo standard parallel, falseEasting, falseNorthing, firstStandardParallel = co-latitude of cone axis, secondStandardParallel = latitude of pseudo standard parallel */
/*   1041 Krovak (North Orientated): latitudeOfOrigin = latitude of projection centre, centralMeridian = longitude of origin, scaleFactor = scale factor on pseudo standard parallel, falseEasting, falseNorthing, firstStandardParallel = co-latitude of cone axis, secondStandardParallel = latitude of pseudo standard parallel */
/*   1042 Krovak Modified: latitudeOfOrigin = latitude of projection centre, centralMeridian = longitude of origin, scaleFactor = scale factor on pseudo standard parallel, falseEasting, falseNorthing, firstStandardParallel = co-latitude of cone axis, secondStandardParallel = latitude of pseudo standard parallel; the evaluation point and C1 to C10 are constants of the method */
/*   1043 Krovak Modified (North Orientated): latitudeOfOrigin = latitude of projection centre, centralMeridian = longitude of origin, scaleFactor = scale factor on pseudo standard parallel, falseEasting, falseNorthing, firstStandardParallel = co-latitude of cone axis, secondStandardParallel = latitude of pseudo standard parallel; the evaluation point and C1 to C10 are constants of the method */
// clang-format on
//
// For 9819 and 1042 the pair of results is (westing, southing): the first,
// in the easting's place, is the westing Y, the second the southing X.
// The false easting and northing are added to westing and southing, as EPSG
// defines them, before the North Orientated methods change the signs.
//
// The Modified methods need twelve numbers beyond the record's seven: the
// evaluation point (X0 = 1089000 m, Y0 = 654000 m) and the coefficients C1 to
// C10, which EPSG defines once, for S-JTSK/05 (the only use of the methods).
// They are carried here as constants of the methods.
//
// D and, in the inverse, V' are taken by atan2 of their sine and cosine (the
// form GN7-2 gives for pseudo-longitudes beyond 90 degrees from the central
// line); within 90 degrees it equals the published arcsine.
//
// Iterations: the latitude in the inverse from the conformal sphere's
// isometric latitude, by the series in e^8 and Newton's steps until the step
// is below 1e-15 rad, in place of the published fixed-point iteration (same
// equation, fewer steps). The inverse of the Modified
// methods takes the correction at the grid point, as GN7-2 does, and then
// repeats it at the corrected point until (Xp, Yp) change by less than 1e-9 m
// (at most 10 steps), so that it inverts the forward exactly; GN7-2's single
// step differs from that by micrometres.
//
// The point opposite the cone's apex (T = -90 degrees) has no image: NaN.
#include <cmath>

#include "internal.h"
#include "method_support.h"
#include "ostrak32.h"
#include "projection_methods.h"

namespace ostrak {
namespace {

constexpr Real kPi = ostrak::kFullPi;
constexpr Real kD2R = kPi / 180;

// S-JTSK/05's correction polynomial.
constexpr Real kX0 = 1089000;
constexpr Real kY0 = 654000;
constexpr Real kC[11] = {0,
                         2.946529277E-02L,
                         2.515965696E-02L,
                         1.193845912E-07L,
                         -4.668270147E-07L,
                         9.233980362E-12L,
                         1.523735715E-12L,
                         1.696780024E-18L,
                         4.408314235E-18L,
                         -8.331083518E-24L,
                         -3.689471323E-24L};

// dX and dY of the correction polynomial at (Xp, Yp).
void Correction(Real Xp, Real Yp, Real& dX, Real& dY) {
  const Real Xr = Xp - kX0;
  const Real Yr = Yp - kY0;
  const Real Xr2 = Xr * Xr;
  const Real Yr2 = Yr * Yr;
  const Real quartic = Xr2 * Xr2 + Yr2 * Yr2 - 6 * Xr2 * Yr2;
  dX = kC[1] + kC[3] * Xr - kC[4] * Yr - 2 * kC[6] * Xr * Yr + kC[5] * (Xr2 - Yr2) +
       kC[7] * Xr * (Xr2 - 3 * Yr2) - kC[8] * Yr * (3 * Xr2 - Yr2) +
       4 * kC[9] * Xr * Yr * (Xr2 - Yr2) + kC[10] * quartic;
  dY = kC[2] + kC[3] * Yr + kC[4] * Xr + 2 * kC[5] * Xr * Yr + kC[6] * (Xr2 - Yr2) +
       kC[8] * Xr * (Xr2 - 3 * Yr2) + kC[7] * Yr * (3 * Xr2 - Yr2) -
       4 * kC[10] * Xr * Yr * (Xr2 - Yr2) + kC[9] * quartic;
}

struct Cone {
  Real e;
  Real B;
  Real t0;
  Real n;
  Real r0;
  Real sinAlpha, cosAlpha;
  Real tanPhiP;     // tan(pi/4 + phiP/2)
  Real r0TanPhiPn;  // r0 tanPhiP^n
  Real lnT0;
  Real lonO;  // radians
};

Cone FormCone(const ProjectionRecord& p, double centralMeridian) {
  Cone c;
  const Real e2 = EccentricitySquared(p.semiMajorAxis, p.semiMinorAxis);
  c.e = Sqrt(e2);
  const Real phiC = p.latitudeOfOrigin * kD2R;
  const Real phiP = p.secondStandardParallel * kD2R;
  Real sinPhiC, cosPhiC;
  SinCos(phiC, sinPhiC, cosPhiC);
  SinCos(static_cast<Real>(p.firstStandardParallel) * kD2R, c.sinAlpha, c.cosAlpha);
  const Real A = p.semiMajorAxis * Sqrt(1 - e2) / (1 - e2 * PowerOf<2>(sinPhiC));
  c.B = Sqrt(1 + e2 * PowerOf<4>(cosPhiC) / (1 - e2));
  const Real gamma0 = asinl(sinPhiC / c.B);
  c.t0 = Tan(kPi / 4 + gamma0 / 2) *
         Power((1 + c.e * sinPhiC) / (1 - c.e * sinPhiC), c.e * c.B / 2) /
         Power(Tan(kPi / 4 + phiC / 2), c.B);
  c.n = Sin(phiP);
  c.r0 = p.scaleFactor * A / Tan(phiP);
  c.tanPhiP = Tan(kPi / 4 + phiP / 2);
  c.r0TanPhiPn = c.r0 * Power(c.tanPhiP, c.n);
  c.lnT0 = logl(c.t0);
  c.lonO = centralMeridian * kD2R;
  return c;
}

// (Xp, Yp) of the cone; false where there is none.
// The forward of GN7-2 with its trigonometry taken algebraically, to spare the
// per-point transcendental calls of a list run: ln tan(x/2 + pi/4) is
// ln((1 + sin x) / (1 - sin x)) / 2, U = 2 atan(w) - pi/2 gives sin U =
// (w^2 - 1) / (w^2 + 1) and cos U = 2w / (w^2 + 1), D is taken from its sine
// and cosine both times cos T (not negative, T lying within +-90 degrees),
// and the powers are taken as one exponential of their logarithms.
bool ConeXY(const Cone& c, Real phi, Real lambda, Real& Xp, Real& Yp) {
  if (!(fabsl(phi) <= kPi / 2)) return false;
  const Real sinPhi = Sin(phi);
  // w = tan(U/2 + pi/4) = t0 tan(phi/2 + pi/4)^B / ((1 + e sin phi) / (1 - e sin phi))^(eB/2)
  const Real w = c.t0 * expl(c.B / 2 * (LnRatio(sinPhi) - c.e * LnRatio(c.e * sinPhi)));
  const Real w2 = w * w;
  const Real sinU = (w2 - 1) / (w2 + 1);
  const Real cosU = 2 * w / (w2 + 1);
  const Real V = c.B * WrapLongitudeDifference((c.lonO - lambda) / kD2R) * kD2R;
  Real sinV, cosV;
  SinCos(V, sinV, cosV);
  Real sinT = c.cosAlpha * sinU + c.sinAlpha * cosU * cosV;
  sinT = sinT > 1 ? 1 : (sinT < -1 ? -1 : sinT);
  const Real D = atan2l(cosU * sinV, (c.cosAlpha * sinT - sinU) / c.sinAlpha);
  const Real theta = c.n * D;
  // r = r0 (tan(phiP/2 + pi/4) / tan(T/2 + pi/4))^n
  const Real r = c.r0TanPhiPn * expl(-c.n / 2 * LnRatio(sinT));
  Real sinTheta, cosTheta;
  SinCos(theta, sinTheta, cosTheta);
  Xp = r * cosTheta;
  Yp = r * sinTheta;
  return std::isfinite(Xp) && std::isfinite(Yp);
}

// The inverse of GN7-2 taken algebraically as the forward is: tan(T/2 +
// pi/4) = (r0 / r)^(1/n) tan(phiP/2 + pi/4) gives sin T and cos T, V is taken
// from its sine and cosine both times cos U, and the latitude follows from
// the conformal sphere's isometric latitude: its t is (t0 / tan(U/2 +
// pi/4))^(1/B), the latitude whose t that is (LatitudeFromIsometricT).
void ConeInverse(const Cone& c, Real Xp, Real Yp, Real& phi, Real& lambda) {
  phi = lambda = NAN;
  const Real r = Sqrt(Xp * Xp + Yp * Yp);
  const Real D = atan2l(Yp, Xp) / c.n;
  const Real w = c.tanPhiP * expl(logl(c.r0 / r) / c.n);
  const Real w2 = w * w;
  const Real sinT = (w2 - 1) / (w2 + 1);
  const Real cosT = 2 * w / (w2 + 1);
  Real sinD, cosD;
  SinCos(D, sinD, cosD);
  Real sinU = c.cosAlpha * sinT - c.sinAlpha * cosT * cosD;
  sinU = sinU > 1 ? 1 : (sinU < -1 ? -1 : sinU);
  const Real V = atan2l(cosT * sinD, (sinT - c.cosAlpha * sinU) / c.sinAlpha);
  if (!std::isfinite(sinU) || !std::isfinite(V)) return;
  const Real t = expl((c.lnT0 - LnRatio(sinU) / 2) / c.B);
  phi = LatitudeFromIsometricT(t, c.e);
  if (std::isnan(phi)) return;
  lambda = c.lonO - V / c.B;
}

void KrovakToGrid(const ProjectionRecord& p, double latitude, double longitude,
                  double centralMeridian, bool modified, bool northOrientated, double* easting,
                  double* northing) {
  const Cone& c = FormedFor<Cone, FormCone>(p, centralMeridian);
  Real Xp, Yp;
  if (!ConeXY(c, latitude * kD2R, longitude * kD2R, Xp, Yp)) {
    *easting = *northing = NAN;
    return;
  }
  if (modified) {
    Real dX, dY;
    Correction(Xp, Yp, dX, dY);
    Xp -= dX;
    Yp -= dY;
  }
  const Real southing = Xp + p.falseNorthing;
  const Real westing = Yp + p.falseEasting;
  *easting = static_cast<double>(northOrientated ? -westing : westing);
  *northing = static_cast<double>(northOrientated ? -southing : southing);
}

void KrovakFromGrid(const ProjectionRecord& p, double easting, double northing,
                    double centralMeridian, bool modified, bool northOrientated, double* latitude,
                    double* longitude) {
  const Cone& c = FormedFor<Cone, FormCone>(p, centralMeridian);
  const Real southing = northOrientated ? -static_cast<Real>(northing) : northing;
  const Real westing = northOrientated ? -static_cast<Real>(easting) : easting;
  const Real X = southing - p.falseNorthing;
  const Real Y = westing - p.falseEasting;
  Real Xp = X, Yp = Y;
  if (modified) {
    bool settled = false;
    for (int i = 0; i < 10 && !settled; ++i) {
      Real dX, dY;
      Correction(Xp, Yp, dX, dY);
      const Real nextX = X + dX, nextY = Y + dY;
      settled = fabsl(nextX - Xp) < 1e-9L && fabsl(nextY - Yp) < 1e-9L;
      Xp = nextX;
      Yp = nextY;
    }
    if (!settled) Xp = Yp = NAN;
  }
  Real phi, lambda;
  ConeInverse(c, Xp, Yp, phi, lambda);
  *latitude = static_cast<double>(phi / kD2R);
  *longitude = static_cast<double>(WrapLongitudeDifference(lambda / kD2R));
}

// The Modified methods add the polynomial correction; the North Orientated
// ones give easting and northing in place of westing and southing.
bool IsModified(const ProjectionRecord& p) {
  return p.methodCode == kKrovakModified || p.methodCode == kKrovakModifiedNorthOrientated;
}
bool IsNorthOrientated(const ProjectionRecord& p) {
  return p.methodCode == kKrovakNorthOrientated || p.methodCode == kKrovakModifiedNorthOrientated;
}

}  // namespace

void KrovakForward(const ProjectionRecord& p, double latitude, double longitude,
                   double centralMeridian, double* easting, double* northing) {
  KrovakToGrid(p, latitude, longitude, centralMeridian, IsModified(p), IsNorthOrientated(p),
               easting, northing);
}

void KrovakInverse(const ProjectionRecord& p, double easting, double northing,
                   double centralMeridian, double* latitude, double* longitude) {
  KrovakFromGrid(p, easting, northing, centralMeridian, IsModified(p), IsNorthOrientated(p),
                 latitude, longitude);
}

}  // namespace ostrak
