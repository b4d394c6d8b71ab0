// Tunisia Mining Grid through the generic pair, in degrees from Greenwich and
// metres: the worked example of IOGP Guidance Note 7-2 (grid reference 302598)
// and the ends of the grid it gives from the 1953 decree, their grads turned
// into degrees by hand (degrees = 0.9 grads; Greenwich = Paris + 2.5969213
// grads).
#include <gtest/gtest.h>

#include "grid_cases.h"
#include "test_records.h"

namespace {

// EPSG:22300 Carthage (Paris) / Tunisia Mining Grid: 36.5964 grads, 7.83445
// grads east of Paris, 270 km, 360 km. The ellipsoid is not used.
const ProjectionRecord kTunisia =
    MakeProjection(kTunisiaMiningGrid, MakeEllipsoidInverseFlattening(6378249.2, 293.4660213), 1,
                   36.5964 * 0.9, (7.83445 + 2.5969213) * 0.9, 270000, 360000);

// Each row's grads are exact sums of the published rates, so the degrees are too.
TEST(TunisiaMiningGrid, WorkedExamplesBothWays) {
  const double mm = 0.001, deg = 1e-10;
  const WorkedExample cases[] = {
      // 302598: 38.97997 grads N, 8.22437 grads E of Paris.
      {"302598", kTunisia, 38.97997 * 0.9, (8.22437 + 2.5969213) * 0.9, 302000, 598000, mm, deg},
      // 094040, the south-west end: 33.39 grads N, 5.68989 grads E of Paris.
      {"094040", kTunisia, 33.39 * 0.9, (5.68989 + 2.5969213) * 0.9, 94000, 40000, mm, deg},
      // 490860, the north-east end: 41.6039 grads N, 10.51515 grads E of Paris.
      {"490860", kTunisia, 41.6039 * 0.9, (10.51515 + 2.5969213) * 0.9, 490000, 860000, mm, deg},
      // 270360, the false origin itself, where the two latitude rates meet.
      {"270360", kTunisia, 36.5964 * 0.9, (7.83445 + 2.5969213) * 0.9, 270000, 360000, mm, deg},
  };
  for (const WorkedExample& c : cases) ExpectWorkedExample(c);
}

TEST(TunisiaMiningGrid, RoundTripReturnsThePoint) {
  for (double lat : {30.5, 32.9, 33.0, 37.3}) {
    for (double lon : {7.5, 9.4, 11.6}) ExpectRoundTrip(kTunisia, lat, lon);
  }
}

TEST(TunisiaMiningGrid, UndefinedPointsGiveNaN) {
  EXPECT_TRUE(ForwardIsNaN(kTunisia, 90.5, 9));
  EXPECT_TRUE(ForwardIsNaN(kTunisia, NAN, 9));
  EXPECT_TRUE(InverseIsNaN(kTunisia, 300000, 1e7));  // beyond the north pole
  EXPECT_TRUE(InverseIsNaN(kTunisia, NAN, 500000));
}

}  // namespace
