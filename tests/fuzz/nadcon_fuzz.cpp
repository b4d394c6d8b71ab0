// CHECKNADCON, NADCONSHIFT and GRIDEXTENT on any pair of files: nothing read
// past either length (each file has a buffer of its own size, which the
// sanitizers watch), a reason terminated within its room and given exactly
// for a damaged pair, GRIDEXTENT refusing exactly what the check refuses, and
// for a pair that passes: no point found damaged, the extent's south-west
// corner (a node) shifted forward, finite results, outputs written only with
// a shift.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>
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
  // The first two bytes say how long the latitude file is; the longitude file is the rest.
  if (size < 2) return 0;
  const size_t split = (data[0] | static_cast<size_t>(data[1]) << 8) % (size - 1);
  const std::vector<uint8_t> las(data + 2, data + 2 + split), los(data + 2 + split, data + size);
  const auto lasLength = static_cast<int64_t>(las.size());
  const auto losLength = static_cast<int64_t>(los.size());

  char reason[48];
  std::memset(reason, 'x', sizeof reason);
  const int32_t checked = CHECKNADCON(las.data(), lasLength, los.data(), losLength, reason, 40);
  FUZZ_CHECK(checked == OSTRAK_GRID_SHIFTED || checked == OSTRAK_GRID_DAMAGED, "check %d", checked);
  FUZZ_CHECK(std::memchr(reason, '\0', 40) != nullptr && reason[40] == 'x', "reason overran");
  FUZZ_CHECK((checked == OSTRAK_GRID_DAMAGED) == (reason[0] != '\0'), "check %d, reason \"%s\"",
             checked, reason);

  double box[4] = {-999, -999, -999, -999};  // south, west, north, east
  const int32_t extent = GRIDEXTENT(kNadcon, las.data(), lasLength, los.data(), losLength, &box[0],
                                    &box[1], &box[2], &box[3]);
  FUZZ_CHECK(extent == checked, "extent %d, check %d", extent, checked);
  if (extent == OSTRAK_GRID_SHIFTED) {
    FUZZ_CHECK(box[0] <= box[2] && box[1] <= box[3] && box[0] >= -90 && box[2] <= 90,
               "extent %a %a %a %a", box[0], box[1], box[2], box[3]);
  } else {
    FUZZ_CHECK(box[0] == -999 && box[3] == -999, "extent written with code %d", extent);
  }

  // Points: the extent's corners and middle, and two doubles from the end of the input.
  std::vector<std::pair<double, double>> points = {{0, 0}, {NAN, 1}};
  if (extent == OSTRAK_GRID_SHIFTED) {
    points.push_back({box[0], box[1]});
    points.push_back({box[2], box[3]});
    points.push_back({(box[0] + box[2]) / 2, (box[1] + box[3]) / 2});
  }
  if (size >= 16) points.push_back({DoubleAt(data, size - 16), DoubleAt(data, size - 8)});

  for (size_t p = 0; p < points.size(); ++p) {
    const auto [latitude, longitude] = points[p];
    for (const int32_t reverse : {0, 1}) {
      double lat = -999, lon = -999;
      const int32_t code = NADCONSHIFT(las.data(), lasLength, los.data(), losLength, latitude,
                                       longitude, reverse, &lat, &lon);
      FUZZ_CHECK(code >= OSTRAK_GRID_SHIFTED && code <= OSTRAK_GRID_UNSETTLED, "code %d", code);
      if (code != OSTRAK_GRID_SHIFTED) {
        FUZZ_CHECK(lat == -999 && lon == -999, "written with code %d", code);
      }
      if (checked == OSTRAK_GRID_SHIFTED) {
        FUZZ_CHECK(code != OSTRAK_GRID_DAMAGED, "checked pair damaged at %a %a reverse %d",
                   latitude, longitude, reverse);
        if (p == 2 && reverse == 0) {
          FUZZ_CHECK(code == OSTRAK_GRID_SHIFTED, "south-west corner %a %a gave %d", latitude,
                     longitude, code);
        }
        if (code == OSTRAK_GRID_SHIFTED) {
          FUZZ_CHECK(std::isfinite(lat) && std::isfinite(lon), "%a %a gave %a %a", latitude,
                     longitude, lat, lon);
        }
      }
    }
  }
  return 0;
}
