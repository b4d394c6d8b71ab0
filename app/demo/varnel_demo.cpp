// Transforms a few points through Ostrak32 and prints them: the published
// worked examples of the projections and a datum change through WGS 84.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "ostrak32.h"

namespace {

constexpr double kRadPerDegree = 3.14159265358979 / 180;

void SetText(char* field, size_t width, const char* text) {
  std::memset(field, ' ', width);
  std::memcpy(field, text, std::strlen(text) < width ? std::strlen(text) : width);
}

EllipsoidRecord Ellipsoid(const char* name, double a, double b) {
  EllipsoidRecord e{};
  SetText(e.name, sizeof e.name, name);
  e.semiMajorAxis = a;
  e.semiMinorAxis = b;
  return e;
}

}  // namespace

int main() {
  // Lambert Conic Conformal (2SP): NAD27 / Texas South Central.
  ProjectionRecord lcc{};
  lcc.methodCode = kLambertConic2SP;
  SetText(lcc.name, sizeof lcc.name, "NAD27 / Texas South Central");
  lcc.semiMajorAxis = 6378206.4;
  lcc.semiMinorAxis = 6356583.8;
  lcc.scaleFactor = 1;
  lcc.latitudeOfOrigin = 27.0 + 50.0 / 60;
  lcc.firstStandardParallel = 28.0 + 23.0 / 60;
  lcc.secondStandardParallel = 30.0 + 17.0 / 60;
  lcc.falseEasting = 2000000 * 1200.0 / 3937;
  double easting = 0, northing = 0;
  LATLONTOLCC(&lcc, 28.5, -96.0, &easting, &northing, -99.0);
  std::printf("NAD27 / Texas South Central   28.5 N  96 W      -> E %.3f m  N %.3f m\n", easting,
              northing);

  // Oblique Stereographic: Amersfoort / RD New.
  ProjectionRecord ost{};
  ost.methodCode = kObliqueStereographic;
  ost.semiMajorAxis = 6377397.155;
  ost.semiMinorAxis = 6356078.962818;
  ost.scaleFactor = 0.9999079;
  ost.latitudeOfOrigin = 52.1561605556;
  ost.falseEasting = 155000;
  ost.falseNorthing = 463000;
  LATLONTOOST(&ost, 53.0, 6.0, &easting, &northing, 5.3876388889);
  std::printf("Amersfoort / RD New           53 N    6 E       -> E %.3f m  N %.3f m\n", easting,
              northing);

  // A point on ED50 (International 1924) to WGS 84 by geocentric translation.
  const EllipsoidRecord intl = Ellipsoid("International 1924", 6378388.0, 6356911.946127946);
  const EllipsoidRecord wgs84 = Ellipsoid("WGS 84", 6378137.0, 6356752.314245179);
  DatumRecord ed50{};
  ed50.methodCode = kGeocentricTranslations;
  ed50.toCrsCode = kCrsWgs84;
  ed50.translationX = -87;
  ed50.translationY = -98;
  ed50.translationZ = -121;
  DatumRecord identity{};
  identity.methodCode = kGeocentricTranslations;
  identity.toCrsCode = kCrsWgs84;
  const double lat = 52.0, lon = 5.0;
  double x, y, z, x84, y84, z84, xt, yt, zt, lat84 = 0, lon84 = 0, h84 = 0;
  CONVERTLATLONTOXYZ(lat * kRadPerDegree, lon * kRadPerDegree, 0.0, &x, &y, &z, &intl);
  STARTTOWGS84(&x84, &y84, &z84, x, y, z, &ed50);
  WGS84TOTARGET(&xt, &yt, &zt, x84, y84, z84, &identity);
  CONVERTXYZTOLATLON(xt, yt, zt, lat * kRadPerDegree, &lat84, &lon84, &h84, &wgs84);
  std::printf("ED50 52 N 5 E                  -> WGS 84 %.9f N  %.9f E  h %.3f m\n",
              lat84 / kRadPerDegree, lon84 / kRadPerDegree, h84);

  // Transverse Mercator: WGS 84 / UTM zone 31N.
  ProjectionRecord utm{};
  utm.methodCode = kTransverseMercator;
  utm.semiMajorAxis = wgs84.semiMajorAxis;
  utm.semiMinorAxis = wgs84.semiMinorAxis;
  utm.scaleFactor = 0.9996;
  utm.falseEasting = 500000;
  LATLONTOTM(&utm, lat84 / kRadPerDegree, lon84 / kRadPerDegree, &easting, &northing, 3.0);
  std::printf("                               -> UTM 31N E %.3f m  N %.3f m\n", easting, northing);
  return std::isfinite(easting) ? 0 : 1;
}
