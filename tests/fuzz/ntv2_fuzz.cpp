// CHECKNTV2 and NTV2SHIFT on any bytes: nothing read past the given length
// (the sanitizers watch), a reason terminated within its room and given
// exactly for a damaged grid, and for a grid that passes the check: no point
// found damaged, finite results, outputs written only with a shift.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz_check.h"
#include "ostrak32.h"

namespace {

double DoubleAt(const uint8_t* data, size_t at) {
  double v;
  std::memcpy(&v, data + at, sizeof v);
  return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int64_t length = static_cast<int64_t>(size);
  char reason[48];
  std::memset(reason, 'x', sizeof reason);
  const int32_t checked = CHECKNTV2(data, length, reason, 40);
  FUZZ_CHECK(checked == OSTRAK_GRID_SHIFTED || checked == OSTRAK_GRID_DAMAGED, "check %d", checked);
  FUZZ_CHECK(std::memchr(reason, '\0', 40) != nullptr && reason[40] == 'x', "reason overran");
  FUZZ_CHECK((checked == OSTRAK_GRID_DAMAGED) == (reason[0] != '\0'), "check %d, reason \"%s\"",
             checked, reason);

  // Points: the middle of the first sub-grid's extent as this machine reads it,
  // in each unit, and two doubles from the end of the input.
  std::vector<std::pair<double, double>> points = {{0, 0}, {NAN, 1}};
  if (size >= 352) {
    const double south = DoubleAt(data, 248), north = DoubleAt(data, 264);
    const double east = DoubleAt(data, 280), west = DoubleAt(data, 296);
    for (const double unitsPerDegree : {3600.0, 60.0, 1.0}) {
      points.push_back({(south + north) / 2 / unitsPerDegree, -(east + west) / 2 / unitsPerDegree});
      points.push_back({south / unitsPerDegree, -east / unitsPerDegree});
    }
  }
  if (size >= 16) points.push_back({DoubleAt(data, size - 16), DoubleAt(data, size - 8)});

  for (const auto& [latitude, longitude] : points) {
    for (const int32_t reverse : {0, 1}) {
      double lat = -999, lon = -999;
      const int32_t code = NTV2SHIFT(data, length, latitude, longitude, reverse, &lat, &lon);
      FUZZ_CHECK(code >= OSTRAK_GRID_SHIFTED && code <= OSTRAK_GRID_UNSETTLED, "code %d", code);
      if (code != OSTRAK_GRID_SHIFTED) {
        FUZZ_CHECK(lat == -999 && lon == -999, "written with code %d", code);
      }
      if (checked == OSTRAK_GRID_SHIFTED) {
        FUZZ_CHECK(code != OSTRAK_GRID_DAMAGED, "checked grid damaged at %a %a reverse %d",
                   latitude, longitude, reverse);
        if (code == OSTRAK_GRID_SHIFTED) {
          FUZZ_CHECK(std::isfinite(lat) && std::isfinite(lon), "%a %a gave %a %a", latitude,
                     longitude, lat, lon);
        }
      }
    }
  }
  return 0;
}
