// NADCONSHIFT, CHECKNADCON and GRIDEXTENT on NADCON pairs built here: shifts
// computed by hand, the same lattice as an NTv2 file through PROJ's cs2cs
// (run separately, tests/lib/data/make_nadcon_cs2cs.sh), and damaged pairs.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cs2cs_points.h"
#include "nadcon_pair.h"
#include "ostrak32.h"

namespace {

using namespace test_grids;

int32_t Check(const Pair& p, std::string* reason = nullptr) {
  char text[300];
  const int32_t code = CHECKNADCON(p.las.data(), static_cast<int64_t>(p.las.size()), p.los.data(),
                                   static_cast<int64_t>(p.los.size()), text, sizeof text);
  if (reason != nullptr) *reason = text;
  return code;
}

struct Shifted {
  int32_t code;
  double latitude, longitude;
};

Shifted Shift(const Pair& p, double latitude, double longitude, bool reverse = false) {
  Shifted s{-1, -999, -999};
  s.code = NADCONSHIFT(p.las.data(), static_cast<int64_t>(p.las.size()), p.los.data(),
                       static_cast<int64_t>(p.los.size()), latitude, longitude, reverse ? 1 : 0,
                       &s.latitude, &s.longitude);
  return s;
}

TEST(Nadcon, BilinearBetweenTheFourNodesOfTheCellAndBack) {
  Lattice wrapped = kLattice;  // 190 W to 178.5 W, as Alaska's runs past 180
  wrapped.west = -190;
  struct Case {
    const char* what;
    const Lattice& lattice;
    bool bigEndian;
    double latitude, longitude, las, los;  // shifts in seconds, by hand
    // Shifted back from the forward result, unless that lies outside or its
    // source on an edge, where an estimate may fall just outside.
    bool back = true;
  };
  const Case cases[] = {
      // Node i 4, j 2: las 2 + 4 + 2 = 8, los 2 - 2 + 4 = 4.
      {"node", kLattice, false, 30.5, -98, 8, 4},
      // i 10.25, j 3.5 in the cell from node (10, 3), 1/4 east and 1/2 north:
      // las 0.5 x 10.25 + (9 + 16) / 2 + 0.25 x 10.25 x 3.5 = 26.59375,
      // los 0.125 (0.75 x 100 + 0.25 x 121) - 3.5 + 0.5 x 10.25 x 3.5 = 27.59375.
      {"inside a cell", kLattice, false, 30.875, -94.875, 26.59375, 27.59375},
      {"big-endian files", kLattice, true, 30.875, -94.875, 26.59375, 27.59375},
      {"lattice past 180 W, point at 175.125 E", wrapped, false, 30.875, 175.125, 26.59375,
       27.59375},
      // Eastern edge i 23 half way from j 2 to 3: las (27 + 37.75) / 2, los (87.125 + 97.625) / 2.
      {"eastern edge", kLattice, false, 30.625, -88.5, 32.375, 92.375, false},
      // North-eastern corner i 23, j 5: las 11.5 + 25 + 28.75, los 66.125 - 5 + 57.5.
      {"north-eastern corner", kLattice, false, 31.25, -88.5, 65.25, 118.625, false},
      // South-western corner: no shift.
      {"south-western corner", kLattice, false, 30, -100, 0, 0},
  };
  for (const Case& c : cases) {
    const Pair pair = Build(c.lattice, c.bigEndian);
    std::string reason;
    ASSERT_EQ(Check(pair, &reason), OSTRAK_GRID_SHIFTED) << c.what << ": " << reason;
    EXPECT_EQ(reason, "");
    const Shifted forward = Shift(pair, c.latitude, c.longitude);
    ASSERT_EQ(forward.code, OSTRAK_GRID_SHIFTED) << c.what;
    EXPECT_NEAR(forward.latitude, c.latitude + c.las / 3600, 1e-13) << c.what;
    EXPECT_NEAR(forward.longitude, c.longitude - c.los / 3600, 1e-13) << c.what;
    if (!c.back) continue;
    const Shifted back = Shift(pair, forward.latitude, forward.longitude, true);
    ASSERT_EQ(back.code, OSTRAK_GRID_SHIFTED) << c.what;
    EXPECT_NEAR(back.latitude, c.latitude, 1e-12) << c.what;
    EXPECT_NEAR(back.longitude, c.longitude, 1e-12) << c.what;
  }
}

TEST(Nadcon, AgreesWithCs2csOnTheSameLatticeAsNtv2) {
  const Pair pair = Build(kLattice);
  const int points = test_grids::ExpectAgreesWithCs2cs(
      std::string(NTV2_TEST_DATA) + "/nadcon_cs2cs_synthetic.txt",
      [&](double latitude, double longitude, bool reverse) {
        const Shifted s = Shift(pair, latitude, longitude, reverse);
        return test_grids::Shifted{s.code, s.latitude, s.longitude};
      });
  EXPECT_EQ(points, 300);
}

TEST(Nadcon, PointsOutsideTheLatticeOrNotANumberAreOutside) {
  const Pair pair = Build(kLattice);
  for (const bool reverse : {false, true}) {
    for (const auto& [lat, lon] : {std::pair{29.999, -95.0},
                                   {31.251, -95.0},
                                   {30.5, -100.001},
                                   {30.5, -88.499},
                                   {30.5, 85.0},
                                   {NAN, -95.0},
                                   {30.5, NAN}}) {
      const Shifted s = Shift(pair, lat, lon, reverse);
      EXPECT_EQ(s.code, OSTRAK_GRID_OUTSIDE) << lat << " " << lon << " reverse " << reverse;
      EXPECT_EQ(s.latitude, -999);  // written only on success
      EXPECT_EQ(s.longitude, -999);
    }
  }
}

// ---- Damaged pairs ----

template <typename T>
void Put(Bytes& file, size_t at, T value) {
  std::memcpy(file.data() + at, &value, sizeof value);
}

TEST(Nadcon, DamagedPairsAreRefusedWithAReason) {
  struct Damage {
    const char* what;
    std::function<void(Pair&)> apply;
    const char* reasonHas;
    int32_t shiftCode;  // NADCONSHIFT at 30.875 N 94.875 W (node i 10, j 3 is that cell's)
  };
  constexpr size_t kRecord = 100;  // 4 (24 + 1)
  Lattice coarser = kLattice;
  coarser.rowSpacing = 0.5f;
  const std::vector<Damage> damages = {
      {"NZ", [](Pair& p) { Put(p.los, 72, int32_t{2}); }, "longitude file (.los): NZ reads 2",
       OSTRAK_GRID_DAMAGED},
      {"ANGLE", [](Pair& p) { Put(p.las, 92, 1.0f); }, "ANGLE reads 1", OSTRAK_GRID_DAMAGED},
      {"NR not the length", [](Pair& p) { Put(p.las, 68, int32_t{7}); },
       "latitude file (.las) holds 700 bytes where NC 24 and NR 7 need 800", OSTRAK_GRID_DAMAGED},
      {"a byte more", [](Pair& p) { p.los.push_back(0); }, "holds 701 bytes", OSTRAK_GRID_DAMAGED},
      {"NC too few for the header",
       [](Pair& p) {
         Put(p.las, 64, int32_t{22});
         p.las.resize(92 * 7);
       },
       "NC 22 and NR 6", OSTRAK_GRID_DAMAGED},
      {"DX zero",
       [](Pair& p) {
         Put(p.las, 80, 0.0f);
         Put(p.los, 80, 0.0f);
       },
       "DX 0", OSTRAK_GRID_DAMAGED},
      {"DY not a number",
       [](Pair& p) {
         Put(p.las, 88, float{NAN});
         Put(p.los, 88, float{NAN});
       },
       "no finite number", OSTRAK_GRID_DAMAGED},
      {"past the pole",
       [](Pair& p) {
         Put(p.las, 84, 89.0f);
         Put(p.los, 84, 89.0f);
       },
       "latitudes 89 to 90.25", OSTRAK_GRID_DAMAGED},
      {"more than a turn",
       [](Pair& p) {
         Put(p.las, 80, 16.0f);
         Put(p.los, 80, 16.0f);
       },
       "longitudes -100 to 268", OSTRAK_GRID_DAMAGED},
      {"mismatched pair", [&](Pair& p) { p.los = Build(coarser).los; },
       "different lattices: NC 24 and 24, NR 6 and 6, XMIN -100 and -100, DX 0.5 and 0.5, YMIN "
       "30 and 30, DY 0.25 and 0.5",
       OSTRAK_GRID_DAMAGED},
      {"shift NaN in the cell", [](Pair& p) { Put(p.los, 4 * kRecord + 4 + 4 * 11, float{NAN}); },
       "longitude file (.los): the shift at row 4, column 12", OSTRAK_GRID_DAMAGED},
      {"shift NaN elsewhere", [](Pair& p) { Put(p.las, kRecord + 4, float{NAN}); },
       "latitude file (.las): the shift at row 1, column 1", OSTRAK_GRID_SHIFTED},
  };
  const Pair good = Build(kLattice);
  ASSERT_EQ(Check(good), OSTRAK_GRID_SHIFTED);
  for (const Damage& d : damages) {
    Pair pair = good;
    d.apply(pair);
    std::string reason;
    EXPECT_EQ(Check(pair, &reason), OSTRAK_GRID_DAMAGED) << d.what;
    EXPECT_NE(reason.find(d.reasonHas), std::string::npos) << d.what << ": " << reason;
    EXPECT_EQ(Shift(pair, 30.875, -94.875).code, d.shiftCode) << d.what;
    double south = -999, west = -999, north = -999, east = -999;
    EXPECT_EQ(
        GRIDEXTENT(kNadcon, pair.las.data(), static_cast<int64_t>(pair.las.size()), pair.los.data(),
                   static_cast<int64_t>(pair.los.size()), &south, &west, &north, &east),
        OSTRAK_GRID_DAMAGED)
        << d.what;
    EXPECT_EQ(south, -999) << d.what;
  }
}

TEST(Nadcon, EveryTruncationOfEitherFileIsDamagedAndReadsNothingPastItsEnd) {
  const Pair good = Build(kLattice);
  for (const bool cutLongitudes : {false, true}) {
    const Bytes& whole = cutLongitudes ? good.los : good.las;
    for (size_t length = 0; length < whole.size(); ++length) {
      // Exactly length bytes on the heap: the sanitizer build sees any read past them.
      Pair cut = good;
      (cutLongitudes ? cut.los : cut.las) =
          Bytes(whole.begin(), whole.begin() + static_cast<long>(length));
      std::string reason;
      ASSERT_EQ(Check(cut, &reason), OSTRAK_GRID_DAMAGED) << length;
      ASSERT_FALSE(reason.empty()) << length;
      for (const bool reverse : {false, true}) {
        ASSERT_EQ(Shift(cut, 30.875, -94.875, reverse).code, OSTRAK_GRID_DAMAGED) << length;
      }
    }
  }
  EXPECT_EQ(CHECKNADCON(nullptr, 0, nullptr, 0, nullptr, 0), OSTRAK_GRID_DAMAGED);
}

// ---- GRIDEXTENT ----

TEST(GridExtent, IsTheNadconLatticeAndNothingForAnUnknownMethod) {
  const Pair pair = Build(kLattice);
  const auto extent = [&](int32_t method, double box[4]) {
    return GRIDEXTENT(method, pair.las.data(), static_cast<int64_t>(pair.las.size()),
                      pair.los.data(), static_cast<int64_t>(pair.los.size()), &box[0], &box[1],
                      &box[2], &box[3]);
  };
  double box[4] = {-999, -999, -999, -999};
  ASSERT_EQ(extent(kNadcon, box), OSTRAK_GRID_SHIFTED);
  EXPECT_EQ(box[0], 30);
  EXPECT_EQ(box[1], -100);
  EXPECT_EQ(box[2], 31.25);
  EXPECT_EQ(box[3], -88.5);
  double untouched[4] = {-999, -999, -999, -999};
  for (const int32_t method : {9614, int32_t{kGeocentricTranslations}, 0}) {
    EXPECT_EQ(extent(method, untouched), OSTRAK_GRID_DAMAGED) << method;
    EXPECT_EQ(untouched[0], -999) << method;
  }
}

}  // namespace
