// The normal Mercator methods through the generic pair, against the worked
// examples of IOGP Guidance Note 7-2.
#include <gtest/gtest.h>

#include "grid_cases.h"
#include "test_records.h"

namespace {

const EllipsoidRecord kWgs84 = Wgs84Ellipsoid();

// WGS 84 / Pseudo-Mercator (EPSG 3857).
const ProjectionRecord kPseudo = MakeProjection(kPseudoMercator, kWgs84, 1, 0, 0, 0, 0);
// Makassar / NEIEZ on Bessel 1841 as the example states it (1/f = 299.15281).
const ProjectionRecord kNeiez =
    MakeProjection(kMercatorA, MakeEllipsoidInverseFlattening(6377397.155, 299.15281), 0.997, 0,
                   110, 3900000, 900000);
// Pulkovo 1942 / Caspian Sea Mercator on Krassowsky 1940.
const ProjectionRecord kCaspian =
    MakeProjection(kMercatorB, MakeEllipsoidInverseFlattening(6378245, 298.3), 1, 0, 51, 0, 0, 42);
// WGS 84 / World Mercator (EPSG 3395).
const ProjectionRecord kWorld = MakeProjection(kMercatorA, kWgs84, 1, 0, 0, 0, 0);

TEST(Mercator, WorkedExamples) {
  const WorkedExample cases[] = {
      // Guidance Note 7-2's Pseudo Mercator example: forward, and the inverse
      // of the point 10 km north.
      {"1024 forward", kPseudo, Dms(24, 22, 54.433), Dms(-100, 20, 0), -11169055.58, 2800000.00},
      {"1024 inverse", kPseudo, Dms(24, 27, 48.889), Dms(-100, 20, 0), -11169055.58, 2810000.00},
      {"9804", kNeiez, -3, 120, 5009726.58, 569150.82},
      {"9805", kCaspian, 53, 53, 165704.29, 5171848.07},
  };
  for (const WorkedExample& c : cases) ExpectWorkedExample(c);
}

TEST(Mercator, RoundTrip) {
  for (const ProjectionRecord& p : {kPseudo, kNeiez, kCaspian, kWorld}) {
    for (double lat : {-84.0, -45.5, 0.0, 12.25, 60.0, 89.5}) {
      for (double lon : {-179.5, -3.0, 0.0, 111.0, 179.9}) ExpectRoundTrip(p, lat, lon);
    }
  }
}

TEST(Mercator, PolesAreUndefined) {
  for (const ProjectionRecord& p : {kPseudo, kNeiez, kCaspian}) {
    for (double lat : {90.0, -90.0, 90.5, double(NAN)})
      EXPECT_TRUE(ForwardIsNaN(p, lat, 10)) << lat;
    EXPECT_TRUE(InverseIsNaN(p, NAN, 0));
  }
}

}  // namespace
