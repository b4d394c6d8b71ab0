// Grid shifts against points that PROJ's cs2cs shifted, run separately: a
// file of lines "latitude longitude forward-latitude forward-longitude
// reverse-latitude reverse-longitude" (degrees; "#" lines are comments).
#pragma once

#include <cmath>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iomanip>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "ostrak32.h"

namespace test_grids {

struct Shifted {
  int32_t code;
  double latitude, longitude;
};

// Every point of the file forward and reverse through shift, within
// tolerance; the number of points read (0 when the file is missing).
inline int ExpectAgreesWithCs2cs(const std::string& path,
                                 const std::function<Shifted(double, double, bool)>& shift,
                                 double tolerance = 1e-9) {
  std::ifstream data(path);
  EXPECT_TRUE(data) << "no cs2cs data " << path;
  int points = 0, wrong = 0;
  for (std::string line; std::getline(data, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    double lat, lon, expected[4];  // forward latitude and longitude, reverse ones
    if (!(fields >> lat >> lon >> expected[0] >> expected[1] >> expected[2] >> expected[3])) {
      ADD_FAILURE() << path << ": " << line;
      break;
    }
    ++points;
    const Shifted forward = shift(lat, lon, false), reverse = shift(lat, lon, true);
    const double got[4] = {forward.latitude, forward.longitude, reverse.latitude,
                           reverse.longitude};
    bool agrees = forward.code == OSTRAK_GRID_SHIFTED && reverse.code == OSTRAK_GRID_SHIFTED;
    for (int i = 0; i < 4; ++i) agrees = agrees && std::fabs(got[i] - expected[i]) <= tolerance;
    if (!agrees && ++wrong <= 5) {
      ADD_FAILURE() << std::setprecision(13) << path << ": " << line << "\n  codes " << forward.code
                    << " " << reverse.code << ", " << got[0] << " " << got[1] << " " << got[2]
                    << " " << got[3];
    }
  }
  EXPECT_EQ(wrong, 0);
  return points;
}

}  // namespace test_grids
