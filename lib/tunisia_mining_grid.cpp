// Tunisia Mining Grid behind LATLONTOGRID and GRIDTOLATLON, after the
// Tunisia Mining Grid formulas and worked example of IOGP Guidance Note 7-2
// (IOGP Publication 373-7-2, September 2019), which takes them from the
// tabulation of the mining decree of 1st January 1953. The grid is linear in
// latitude and longitude, in grads and kilometres:
//   latitude (grads) = 36.5964 + (N - 360) A, A = 0.010015 if N > 360, else 0.01002,
//   longitude (grads east of Paris) = 7.83445 + (E - 270) 0.012185,
// and back, E = 270 + (longitude - 7.83445) / 0.012185 and
// N = 360 + (latitude - 36.5964) / B, B = 0.010015 if the latitude is north of
// 36.5964 grads, else 0.01002. Each 2 km of the decree's blocks is 0.02437
// grads of longitude, and 0.02003 grads of latitude north of 360 km N,
// 0.02004 grads south of it: the rates are their halves (the worked example
// uses 0.012185; some transcriptions print 0.01285 by mistake). The three
// rates are constants of the method; the origin and its grid coordinates are
// its parameters. Nothing is approximated and nothing iterated: both ways
// are exact to rounding.
//
// The records carry degrees (longitudes from Greenwich) and metres, so the
// grid's units are converted, as Guidance Note 7-2 gives: degrees = grads *
// 0.9, and longitude from Greenwich (degrees) = (longitude from Paris (grads)
// + 2.5969213) * 0.9. For EPSG:22300 Carthage (Paris) / Tunisia Mining Grid,
// latitudeOfOrigin = 36.5964 grads = 32.93676 degrees, centralMeridian =
// 7.83445 grads east of Paris = 9.38823417 degrees east of Greenwich,
// falseEasting = 270 km = 270000 m and falseNorthing = 360 km = 360000 m; the
// rates become 0.0109665 degrees of longitude per km and 0.0090135 (north)
// or 0.009018 (south) degrees of latitude per km, and eastings and northings
// are in metres: the grid reference 302598 is E = 302000, N = 598000. A
// latitude beyond a pole (from a grid point or given) gives NaN.
//
// Field mapping (angles in degrees from Greenwich, lengths in metres):
// clang-format off
/*   9816 Tunisia Mining Grid: latitudeOfOrigin = latitude of false origin, centralMeridian = longitude of false origin, falseEasting = easting at false origin, falseNorthing = northing at false origin; scaleFactor unused (1) */
// clang-format on
#include <cmath>

#include "internal.h"
#include "method_support.h"
#include "ostrak32.h"
#include "projection_methods.h"

using ostrak::Real;

namespace {

constexpr Real kDegreesPerGrad = 0.9L;
// Grads per kilometre of the grid, from the decree's tabulation.
constexpr Real kLongitudeRate = 0.012185L;
constexpr Real kLatitudeRateNorth = 0.010015L;  // north of the false origin
constexpr Real kLatitudeRateSouth = 0.01002L;   // at and south of it
constexpr Real kMetresPerKilometre = 1000;

}  // namespace

namespace ostrak {

void TunisiaMiningGridForward(const ProjectionRecord& p, double latitude, double longitude,
                              double centralMeridian, double* easting, double* northing) {
  if (OutsideLatitudes(latitude)) return StoreUndefined(easting, northing);
  // In grads from the false origin.
  const Real dLatitude = (latitude - static_cast<Real>(p.latitudeOfOrigin)) / kDegreesPerGrad;
  const Real dLongitude =
      WrapLongitudeDifference(static_cast<Real>(longitude) - centralMeridian) / kDegreesPerGrad;
  const Real rate = dLatitude > 0 ? kLatitudeRateNorth : kLatitudeRateSouth;
  StoreGrid(p.falseEasting + dLongitude / kLongitudeRate * kMetresPerKilometre,
            p.falseNorthing + dLatitude / rate * kMetresPerKilometre, easting, northing);
}

void TunisiaMiningGridInverse(const ProjectionRecord& p, double easting, double northing,
                              double centralMeridian, double* latitude, double* longitude) {
  StoreUndefined(latitude, longitude);
  // In kilometres from the false origin.
  const Real dE = (easting - static_cast<Real>(p.falseEasting)) / kMetresPerKilometre;
  const Real dN = (northing - static_cast<Real>(p.falseNorthing)) / kMetresPerKilometre;
  if (!std::isfinite(dE) || !std::isfinite(dN)) return;
  const Real rate = dN > 0 ? kLatitudeRateNorth : kLatitudeRateSouth;
  const Real phi = p.latitudeOfOrigin + dN * rate * kDegreesPerGrad;
  if (!(fabsl(phi) <= 90)) return;
  *latitude = static_cast<double>(phi);
  *longitude = static_cast<double>(centralMeridian + dE * kLongitudeRate * kDegreesPerGrad);
  WrapStoredLongitude(longitude);
}

}  // namespace ostrak
