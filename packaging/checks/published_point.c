/* The same point through the library: Transverse Mercator of the British
 * National Grid on the Airy 1830 ellipsoid. */
#include <stdio.h>
#include <string.h>

#include <ostrak32.h>

int main(void) {
  ProjectionRecord grid;
  memset(&grid, 0, sizeof grid);
  grid.methodCode = kTransverseMercator;
  grid.semiMajorAxis = 6377563.396;
  grid.semiMinorAxis = 6356256.909237285;
  grid.scaleFactor = 0.9996012717;
  grid.latitudeOfOrigin = 49;
  grid.centralMeridian = -2;
  grid.falseEasting = 400000;
  grid.falseNorthing = -100000;
  double easting = 0, northing = 0;
  LATLONTOTM(&grid, 50.5, 0.5, &easting, &northing, grid.centralMeridian);
  printf("%.2f\t%.2f\n", easting, northing);
  return 0;
}
