// The evidence behind TransverseMercatorSurelyComesBack (app/transform/
// geodetic_chain.h): every grid point of a Transverse Mercator zone whose
// inverse lands within latitude 70 and 5 degrees of longitude of the central
// meridian, and within 500 km of it in easting, is carried back by the
// forward projection to within centimetres. Sweeps the zone east of the
// meridian (the series are the same west of it, mirrored), both hemispheres
// and past the poles in northing, every 250 m east by 500 m north, on the
// widest ellipsoids the catalogue loader takes and on real ones, and prints
// the largest miss for each. Takes a few minutes; not part of the tests.
//
//   ./build/bench/lib/tm_round_trip_sweep
#include <cmath>
#include <cstdio>
#include <cstring>

#include "ostrak32.h"

int main() {
  const struct {
    const char* name;
    double a;
    double inverseFlattening;
  } ellipsoids[] = {
      {"a 6.2e6 m, f 1/250", 6.2e6, 250},
      {"a 6.5e6 m, f 1/250", 6.5e6, 250},
      {"Everest 1830, f 1/300.8", 6377276.345, 300.8017},
      {"WGS 84", 6378137, 298.257223563},
      {"f 1/1000", 6371000, 1000},
  };
  double widest = 0;
  for (const auto& e : ellipsoids) {
    ProjectionRecord p;
    std::memset(&p, 0, sizeof p);
    p.semiMajorAxis = e.a;
    p.semiMinorAxis = e.a * (1 - 1 / e.inverseFlattening);
    p.scaleFactor = 1;
    double worst = 0, worstEasting = 0, worstNorthing = 0;
    long points = 0;
    for (double easting = 0; easting <= 500e3; easting += 250) {
      for (double northing = -10700e3; northing <= 10700e3; northing += 500) {
        double latitude, longitude, backEasting, backNorthing;
        TMTOLATLON(&p, easting, northing, &latitude, &longitude, 0);
        if (!(std::fabs(latitude) <= 70) || !(std::fabs(longitude) <= 5)) continue;
        ++points;
        LATLONTOTM(&p, latitude, longitude, &backEasting, &backNorthing, 0);
        double miss = std::hypot(backEasting - easting, backNorthing - northing);
        if (std::isnan(miss)) miss = INFINITY;
        if (miss > worst) {
          worst = miss;
          worstEasting = easting;
          worstNorthing = northing;
        }
      }
    }
    if (worst > widest) widest = worst;
    std::printf("%-26s %9ld points in the zone, largest miss %.4f m (E %.2f km, N %.1f km)\n",
                e.name, points, worst, worstEasting / 1e3, worstNorthing / 1e3);
  }
  std::printf("largest miss of all: %.4f m\n", widest);
  return widest < 0.05 ? 0 : 1;
}
