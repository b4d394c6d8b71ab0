// NADCON .las/.los pairs written for the tests, as NGS's programs write them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

namespace test_grids {

using Bytes = std::vector<unsigned char>;

// A lattice and its shifts (seconds; longitude positive west) at column i
// from the west and row j from the south.
struct Lattice {
  int32_t columns, rows;
  float west, columnSpacing, south, rowSpacing;
  std::function<float(int i, int j)> las, los;
};

// 24 columns from 100 W by 0.5 degree, 6 rows from 30 N by 0.25, to 88.5 W
// and 31.25 N. Latitude shifts quadratic in the row, longitude shifts in the
// column, so that a wrong cell gives a wrong shift; the products i j check
// the bilinear cross term. The same in make_nadcon_cs2cs.sh.
inline const Lattice kLattice{24,
                              6,
                              -100,
                              0.5f,
                              30,
                              0.25f,
                              [](int i, int j) { return 0.5f * i + j * j + 0.25f * i * j; },
                              [](int i, int j) { return 0.125f * i * i - j + 0.5f * i * j; }};

struct Pair {
  Bytes las, los;
};

// One file as NGS's programs write it: records of 4 (NC + 1) bytes, the
// header first, then each row from the south behind a 4-byte 0.
inline Bytes File(const Lattice& g, const std::function<float(int, int)>& shift, bool bigEndian) {
  const size_t record = 4 * (static_cast<size_t>(g.columns) + 1);
  Bytes out(record * (static_cast<size_t>(g.rows) + 1), 0);
  const auto put = [&](size_t at, const void* value) {
    std::memcpy(out.data() + at, value, 4);
    if (bigEndian)
      std::reverse(out.begin() + static_cast<long>(at), out.begin() + static_cast<long>(at + 4));
  };
  std::memcpy(out.data(), "SYNTHETIC LATTICE FOR THE TESTS", 31);
  std::memcpy(out.data() + 56, "VARNEL  ", 8);
  const int32_t nz = 1;
  const float angle = 0;
  put(64, &g.columns);
  put(68, &g.rows);
  put(72, &nz);
  put(76, &g.west);
  put(80, &g.columnSpacing);
  put(84, &g.south);
  put(88, &g.rowSpacing);
  put(92, &angle);
  for (int j = 0; j < g.rows; ++j) {
    for (int i = 0; i < g.columns; ++i) {
      const float s = shift(i, j);
      put(record * (static_cast<size_t>(j) + 1) + 4 + 4 * static_cast<size_t>(i), &s);
    }
  }
  return out;
}

inline Pair Build(const Lattice& g, bool bigEndian = false) {
  return {File(g, g.las, bigEndian), File(g, g.los, bigEndian)};
}

}  // namespace test_grids
