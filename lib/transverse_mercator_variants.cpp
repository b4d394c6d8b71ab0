// The Transverse Mercator variants behind LATLONTOGRID and GRIDTOLATLON,
// after IOGP Guidance Note 7-2 (IOGP Publication 373-7-2, September 2019) sections 3.2.3.2
// (Transverse Mercator Zoned Grid System) and 3.2.3.3 (Transverse Mercator
// (South Orientated)). Both reuse the library's Transverse Mercator
// (LATLONTOTM and TMTOLATLON, the USGS series of transverse_mercator.cpp,
// millimetre-accurate within a few degrees of the central meridian) on the
// projection without its false origin, and apply the false origin and axis
// directions of the variant. Transverse Mercator 3D (EPSG method 1111) is the
// two-dimensional method with the ellipsoidal height carried across
// unchanged; as the grid pair has no height it is the 9807 computation
// itself, registered in grid.cpp.
//
// Field mapping, one line per method:
// clang-format off
/*   9808 Transverse Mercator (South Orientated): latitudeOfOrigin = latitude of natural origin, centralMeridian = longitude of natural origin, scaleFactor = scale factor at natural origin, falseEasting, falseNorthing (the westing and southing at the natural origin) */
/*   9824 Transverse Mercator Zoned Grid System: latitudeOfOrigin = latitude of natural origin, centralMeridian = initial longitude, firstStandardParallel = zone width, scaleFactor = scale factor at natural origin, falseEasting, falseNorthing */
/*   1111 Transverse Mercator 3D: latitudeOfOrigin = latitude of natural origin, centralMeridian = longitude of natural origin, scaleFactor = scale factor at natural origin, falseEasting, falseNorthing */
// clang-format on
#include <cmath>

#include "internal.h"
#include "ostrak32.h"
#include "projection_methods.h"

using ostrak::Real;

namespace {

// The record without its false origin.
ProjectionRecord AtNaturalOrigin(const ProjectionRecord& p) {
  ProjectionRecord q = p;
  q.falseEasting = 0;
  q.falseNorthing = 0;
  return q;
}

bool IsLatitude(double latitude) {
  return std::fabs(latitude) <= 90;
}

}  // namespace

namespace ostrak {

void TransverseMercatorSouthForward(const ProjectionRecord& p, double latitude, double longitude,
                                    double centralMeridian, double* westing, double* southing) {
  if (!IsLatitude(latitude) || !std::isfinite(longitude)) {
    *westing = *southing = NAN;
    return;
  }
  const ProjectionRecord q = AtNaturalOrigin(p);
  double x, y;
  LATLONTOTM(&q, latitude, longitude, &x, &y, centralMeridian);
  *westing = static_cast<double>(static_cast<Real>(p.falseEasting) - x);
  *southing = static_cast<double>(static_cast<Real>(p.falseNorthing) - y);
}

void TransverseMercatorSouthInverse(const ProjectionRecord& p, double westing, double southing,
                                    double centralMeridian, double* latitude, double* longitude) {
  const ProjectionRecord q = AtNaturalOrigin(p);
  const double x = static_cast<double>(static_cast<Real>(p.falseEasting) - westing);
  const double y = static_cast<double>(static_cast<Real>(p.falseNorthing) - southing);
  TMTOLATLON(&q, x, y, latitude, longitude, centralMeridian);
}

void TransverseMercatorZonedForward(const ProjectionRecord& p, double latitude, double longitude,
                                    double initialLongitude, double* easting, double* northing) {
  const Real width = p.firstStandardParallel;
  const Real zones = 360 / width;
  if (!IsLatitude(latitude) || !std::isfinite(longitude) || !(width > 0) ||
      zones != nearbyintl(zones)) {
    *easting = *northing = NAN;
    return;
  }
  // Z = (floor((lon - lonI) / W) mod (360 / W)) + 1, mod rounding towards minus infinity.
  const Real whole = floorl((static_cast<Real>(longitude) - initialLongitude) / width);
  const Real zone = whole - floorl(whole / zones) * zones + 1;
  const Real zoneMeridian = initialLongitude + zone * width - width / 2;
  const ProjectionRecord q = AtNaturalOrigin(p);
  double x, y;
  LATLONTOTM(&q, latitude, longitude, &x, &y, static_cast<double>(zoneMeridian));
  *easting = static_cast<double>(zone * 1000000 + p.falseEasting + x);
  *northing = static_cast<double>(p.falseNorthing + static_cast<Real>(y));
}

void TransverseMercatorZonedInverse(const ProjectionRecord& p, double easting, double northing,
                                    double initialLongitude, double* latitude, double* longitude) {
  *latitude = *longitude = NAN;
  const Real width = p.firstStandardParallel;
  const Real zones = 360 / width;
  if (!(width > 0) || zones != nearbyintl(zones)) return;
  // The zone is the easting's prefix in millions: the offset from the zone's
  // false easting stays within half a million metres.
  const Real zone = nearbyintl((easting - static_cast<Real>(p.falseEasting)) / 1000000);
  if (!(zone >= 1 && zone <= zones)) return;
  const Real zoneMeridian = initialLongitude + zone * width - width / 2;
  const ProjectionRecord q = AtNaturalOrigin(p);
  const double x = static_cast<double>(easting - (zone * 1000000 + p.falseEasting));
  const double y = static_cast<double>(northing - static_cast<Real>(p.falseNorthing));
  TMTOLATLON(&q, x, y, latitude, longitude, static_cast<double>(zoneMeridian));
}

}  // namespace ostrak
