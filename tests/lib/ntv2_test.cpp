// NTV2SHIFT and CHECKNTV2: the Debian grids against PROJ's cs2cs (run
// separately, tests/lib/data/make_ntv2_cs2cs.sh), small grids built here with
// shifts computed by hand, and damaged grids.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <iomanip>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "cs2cs_points.h"
#include "ostrak32.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int32_t Check(const Bytes& grid, std::string* reason = nullptr) {
  char text[200];
  const int32_t code = CHECKNTV2(grid.data(), static_cast<int64_t>(grid.size()), text, sizeof text);
  if (reason != nullptr) *reason = text;
  return code;
}

struct Shifted {
  int32_t code;
  double latitude, longitude;
};

Shifted Shift(const Bytes& grid, double latitude, double longitude, bool reverse = false) {
  Shifted s{-1, -999, -999};
  s.code = NTV2SHIFT(grid.data(), static_cast<int64_t>(grid.size()), latitude, longitude,
                     reverse ? 1 : 0, &s.latitude, &s.longitude);
  return s;
}

// The file's byte order reversed field by field, as a big-endian writer lays it out.
Bytes Swapped(Bytes g) {
  const auto swap = [&](size_t at, size_t width) {
    std::reverse(g.begin() + static_cast<long>(at), g.begin() + static_cast<long>(at + width));
  };
  for (size_t r = 0; r < 11; ++r) swap(16 * r + 8, r < 3 ? 4 : r > 6 ? 8 : 0);
  for (size_t at = 176, n = g[43]; n > 0; --n) {  // NUM_FILE, swapped: fewer than 256 here
    int32_t nodes;
    std::memcpy(&nodes, g.data() + at + 168, 4);
    for (size_t r = 4; r < 11; ++r) swap(at + 16 * r + 8, r < 10 ? 8 : 4);
    at += 176;
    for (size_t f = 0; f < 4 * static_cast<size_t>(nodes); ++f, at += 4) swap(at, 4);
  }
  return g;
}

// ---- The Debian grids against cs2cs ----

struct DebianGrid {
  const char* name;
  bool bigEndian;
};

class Ntv2Cs2cs : public testing::TestWithParam<DebianGrid> {};

TEST_P(Ntv2Cs2cs, ThousandPointsForwardAndReverse) {
  const std::string name = GetParam().name;
  Bytes grid = ReadFile("/usr/share/proj/" + name + ".gsb");
  if (grid.empty()) GTEST_SKIP() << "no /usr/share/proj/" << name << ".gsb";
  if (GetParam().bigEndian) grid = Swapped(grid);
  std::string reason;
  ASSERT_EQ(Check(grid, &reason), OSTRAK_GRID_SHIFTED) << reason;
  EXPECT_EQ(reason, "");
  const int points = test_grids::ExpectAgreesWithCs2cs(
      std::string(NTV2_TEST_DATA) + "/ntv2_cs2cs_" + name + ".txt",
      [&](double latitude, double longitude, bool reverse) {
        const Shifted s = Shift(grid, latitude, longitude, reverse);
        return test_grids::Shifted{s.code, s.latitude, s.longitude};
      });
  EXPECT_EQ(points, 1000);
}

INSTANTIATE_TEST_SUITE_P(DebianGrids, Ntv2Cs2cs,
                         testing::Values(DebianGrid{"BETA2007", false},
                                         DebianGrid{"BETA2007", true}, DebianGrid{"ntf_r93", false},
                                         DebianGrid{"CHENYX06", false},
                                         DebianGrid{"nzgd2kgrid0005", false}),
                         [](const auto& info) {
                           return std::string(info.param.name) +
                                  (info.param.bigEndian ? "_big_endian" : "");
                         });

TEST(Ntv2, PointsOutsideTheGridOrNotANumberAreOutside) {
  const Bytes grid = ReadFile("/usr/share/proj/BETA2007.gsb");
  if (grid.empty()) GTEST_SKIP() << "no /usr/share/proj/BETA2007.gsb";
  for (const bool reverse : {false, true}) {
    for (const auto& [lat, lon] : {std::pair{40.0, 10.0}, {50.0, 20.0}, {NAN, 10.0}, {50.0, NAN}}) {
      const Shifted s = Shift(grid, lat, lon, reverse);
      EXPECT_EQ(s.code, OSTRAK_GRID_OUTSIDE) << lat << " " << lon << " reverse " << reverse;
      EXPECT_EQ(s.latitude, -999);  // written only on success
      EXPECT_EQ(s.longitude, -999);
    }
  }
}

// ---- Grids built here ----

struct SubGridSpec {
  const char* name;
  const char* parent;
  double south, north, east, west, latitudeIncrement, longitudeIncrement;  // positive west
  std::function<std::pair<float, float>(int row, int column)> shift;       // lat, long (west)
};

// An NTv2 file in this machine's (little-endian) order; nodes from the
// south-east corner, rows westwards.
Bytes Build(const char* unit, const std::vector<SubGridSpec>& subGrids) {
  Bytes out;
  const auto record = [&](const char* label, const void* value, size_t size) {
    unsigned char r[16] = {};
    std::memset(r, ' ', 8);
    std::memcpy(r, label, std::strlen(label));
    std::memcpy(r + 8, value, size);
    out.insert(out.end(), r, r + 16);
  };
  const auto integer = [&](const char* label, int32_t v) { record(label, &v, 4); };
  const auto real = [&](const char* label, double v) { record(label, &v, 8); };
  const auto text = [&](const char* label, const char* v) {
    char field[8];
    std::memset(field, ' ', 8);
    std::memcpy(field, v, std::strlen(v));
    record(label, field, 8);
  };
  integer("NUM_OREC", 11);
  integer("NUM_SREC", 11);
  integer("NUM_FILE", static_cast<int32_t>(subGrids.size()));
  text("GS_TYPE", unit);
  for (const char* label : {"VERSION", "SYSTEM_F", "SYSTEM_T"}) text(label, "TEST");
  for (const char* label : {"MAJOR_F", "MINOR_F", "MAJOR_T", "MINOR_T"}) real(label, 6378137);
  for (const SubGridSpec& g : subGrids) {
    const int rows = static_cast<int>(std::lround((g.north - g.south) / g.latitudeIncrement)) + 1;
    const int columns = static_cast<int>(std::lround((g.west - g.east) / g.longitudeIncrement)) + 1;
    text("SUB_NAME", g.name);
    text("PARENT", g.parent);
    for (const char* label : {"CREATED", "UPDATED"}) text(label, "20240101");
    const std::pair<const char*, double> limits[] = {{"S_LAT", g.south},
                                                     {"N_LAT", g.north},
                                                     {"E_LONG", g.east},
                                                     {"W_LONG", g.west},
                                                     {"LAT_INC", g.latitudeIncrement},
                                                     {"LONG_INC", g.longitudeIncrement}};
    for (const auto& [label, value] : limits) real(label, value);
    integer("GS_COUNT", rows * columns);
    for (int row = 0; row < rows; ++row) {
      for (int column = 0; column < columns; ++column) {
        const auto [lat, lon] = g.shift(row, column);
        const float node[4] = {lat, lon, 0.01f, 0.01f};
        const auto* p = reinterpret_cast<const unsigned char*>(node);
        out.insert(out.end(), p, p + 16);
      }
    }
  }
  integer("END", 0);
  return out;
}

// One cell over 10 to 11 N, 20 to 21 E (in seconds: 36000 to 39600 N,
// -75600 to -72000 positive west); nodes SE 0, SW 4, NE 8, NW 16 seconds of
// latitude shift, and twice that of longitude shift.
const SubGridSpec kCell{
    "CELL", "NONE", 36000, 39600, -75600, -72000, 3600, 3600, [](int row, int column) {
      const float s = row == 0 ? (column == 0 ? 0 : 4) : (column == 0 ? 8 : 16);
      return std::pair{s, 2 * s};
    }};

TEST(Ntv2, BilinearFromTheSouthEastCornerWestwardsInEachUnit) {
  // kCell with 56.25 times its shifts (225", 450", 900": exact floats in each unit).
  for (const auto& [unit, secondsPerUnit] :
       {std::pair{"SECONDS", 1.0}, {"MINUTES", 60.0}, {"DEGREES", 3600.0}}) {
    SubGridSpec g = kCell;
    for (double* v :
         {&g.south, &g.north, &g.east, &g.west, &g.latitudeIncrement, &g.longitudeIncrement}) {
      *v /= secondsPerUnit;
    }
    g.shift = [k = 56.25 / secondsPerUnit](int row, int column) {
      const auto [lat, lon] = kCell.shift(row, column);
      return std::pair{static_cast<float>(lat * k), static_cast<float>(lon * k)};
    };
    const Bytes grid = Build(unit, {g});
    ASSERT_EQ(Check(grid), OSTRAK_GRID_SHIFTED) << unit;
    // 10.5 N, 20.75 E: half way north, a quarter of the cell west of its eastern edge:
    // 0 + (4 - 0) 0.25 + (8 - 0) 0.5 + (0 + 16 - 4 - 8) 0.125 = 5.5 (times 56.25).
    // And the north-west corner, on the closed upper edges of a top-level grid: 16.
    for (const auto& [lat, lon, shift] : {std::tuple{10.5, 20.75, 5.5}, {11.0, 20.0, 16.0}}) {
      const Shifted s = Shift(grid, lat, lon);
      ASSERT_EQ(s.code, OSTRAK_GRID_SHIFTED) << unit;
      EXPECT_NEAR(s.latitude, lat + shift * 56.25 / 3600, 1e-13) << unit;
      EXPECT_NEAR(s.longitude, lon - 2 * shift * 56.25 / 3600, 1e-13) << unit;
    }
  }
}

// A parent of 2 x 2 cells over 10 to 12 N, 20 to 22 E with no shift, and a
// child over 10.5 to 11.5 N, 20.5 to 21.5 E (half-degree cells) shifting 36"
// north and 72" west at every node.
auto Everywhere(float latitude, float longitudeWest) {
  return [=](int, int) { return std::pair{latitude, longitudeWest}; };
}
const std::vector<SubGridSpec> kFamily = {
    {"PARENT", "NONE", 36000, 43200, -79200, -72000, 3600, 3600, Everywhere(0, 0)},
    {"CHILD", "PARENT", 37800, 41400, -77400, -73800, 1800, 1800, Everywhere(36, 72)},
};

TEST(Ntv2, TheChildInsideItsParentWinsButNotOnItsNorthernAndWesternEdges) {
  const Bytes grid = Build("SECONDS", kFamily);
  ASSERT_EQ(Check(grid), OSTRAK_GRID_SHIFTED);
  struct Case {
    double latitude, longitude, latitudeShift;  // seconds
  };
  for (const Case& c : {Case{11, 21, 36},      // inside the child
                        Case{10.5, 20.7, 36},  // its southern edge
                        Case{11, 21.5, 36},    // its eastern edge (21.5 E)
                        Case{11.5, 21, 0},     // its northern edge: the parent's
                        Case{11, 20.5, 0},     // its western edge (20.5 E): the parent's
                        Case{10.2, 21, 0}}) {  // the parent only
    const Shifted s = Shift(grid, c.latitude, c.longitude);
    ASSERT_EQ(s.code, OSTRAK_GRID_SHIFTED) << c.latitude << " " << c.longitude;
    EXPECT_NEAR(s.latitude, c.latitude + c.latitudeShift / 3600, 1e-14) << c.latitude;
    EXPECT_NEAR(s.longitude, c.longitude - 2 * c.latitudeShift / 3600, 1e-14) << c.longitude;
  }
}

TEST(Ntv2, ReverseThatCannotSettleSaysSo) {
  // Latitude shift equal to the latitude above 0 (degrees): from 5 N the
  // estimates go 0, 5, 0, 5, ... and never settle.
  const Bytes grid = Build("DEGREES", {{"STEEP", "NONE", 0, 10, -10, 0, 10, 10, [](int row, int) {
                                          return std::pair{row == 0 ? 0.0f : 10.0f, 0.0f};
                                        }}});
  ASSERT_EQ(Check(grid), OSTRAK_GRID_SHIFTED);
  const Shifted s = Shift(grid, 5, 5, true);
  EXPECT_EQ(s.code, OSTRAK_GRID_UNSETTLED);
  EXPECT_EQ(s.latitude, -999);
}

// ---- Damaged grids ----

struct Damage {
  const char* what;
  std::function<void(Bytes&)> apply;
  const char* reasonHas;
  int32_t shiftCode;  // NTV2SHIFT at 11 N 21 E (in the child)
};

void Put(Bytes& grid, size_t at, const char* text) {
  std::memcpy(grid.data() + at, text, std::strlen(text));
}
template <typename T>
void Put(Bytes& grid, size_t at, T value) {
  std::memcpy(grid.data() + at, &value, sizeof value);
}

constexpr size_t kChild = 176 + 176 + 9 * 16;  // the child's header

TEST(Ntv2, DamagedGridsAreRefusedWithAReason) {
  const std::vector<Damage> damages = {
      {"NUM_OREC", [](Bytes& g) { Put(g, 8, int32_t{12}); }, "NUM_OREC", OSTRAK_GRID_DAMAGED},
      {"GS_TYPE", [](Bytes& g) { Put(g, 56, "RADIANS "); }, "GS_TYPE", OSTRAK_GRID_DAMAGED},
      {"GS_COUNT", [](Bytes& g) { Put(g, kChild + 168, int32_t{8}); },
       "sub-grid 2 (CHILD) holds 8 shift records where its extent needs 9", OSTRAK_GRID_DAMAGED},
      {"S_LAT north of N_LAT", [](Bytes& g) { Put(g, 176 + 72, 43300.0); }, "not south of",
       OSTRAK_GRID_DAMAGED},
      {"increment", [](Bytes& g) { Put(g, 176 + 152, -3600.0); }, "positive", OSTRAK_GRID_DAMAGED},
      {"END", [](Bytes& g) { Put(g, g.size() - 16, "FIN"); }, "END", OSTRAK_GRID_DAMAGED},
      {"shift NaN in the cell", [](Bytes& g) { Put(g, kChild + 176 + 8 * 16, float{NAN}); },
       "node 9", OSTRAK_GRID_DAMAGED},
      // What only the check reads: the search finds the parent, or no top-level grid.
      {"PARENT unknown", [](Bytes& g) { Put(g, kChild + 24, "NOSUCH  "); }, "NOSUCH",
       OSTRAK_GRID_SHIFTED},
      {"parents in a loop", [](Bytes& g) { Put(g, 176 + 24, "CHILD   "); }, "own ancestor",
       OSTRAK_GRID_OUTSIDE},
      {"names twice", [](Bytes& g) { Put(g, kChild + 8, "PARENT  "); }, "name of sub-grid 1",
       OSTRAK_GRID_DAMAGED},
  };
  const Bytes good = Build("SECONDS", kFamily);
  ASSERT_EQ(Check(good), OSTRAK_GRID_SHIFTED);
  for (const Damage& d : damages) {
    Bytes grid = good;
    d.apply(grid);
    std::string reason;
    EXPECT_EQ(Check(grid, &reason), OSTRAK_GRID_DAMAGED) << d.what;
    EXPECT_NE(reason.find(d.reasonHas), std::string::npos) << d.what << ": " << reason;
    EXPECT_EQ(Shift(grid, 11, 21).code, d.shiftCode) << d.what;
  }
}

TEST(Ntv2, EveryTruncationIsDamagedAndReadsNothingPastItsEnd) {
  const Bytes good = Build("SECONDS", kFamily);
  for (size_t length = 0; length < good.size(); ++length) {
    // Exactly length bytes on the heap: the sanitizer build sees any read past them.
    const Bytes cut(good.begin(), good.begin() + static_cast<long>(length));
    std::string reason;
    ASSERT_EQ(Check(cut, &reason), OSTRAK_GRID_DAMAGED) << length;
    ASSERT_FALSE(reason.empty()) << length;
    for (const bool reverse : {false, true}) {
      ASSERT_EQ(Shift(cut, 11, 21, reverse).code, OSTRAK_GRID_DAMAGED) << length;
    }
  }
  EXPECT_EQ(CHECKNTV2(nullptr, 0, nullptr, 0), OSTRAK_GRID_DAMAGED);
}

TEST(Ntv2, TheReasonIsCutToItsRoomAndTerminated) {
  Bytes grid = Build("SECONDS", kFamily);
  Put(grid, 56, "RADIANS ");
  char reason[8];
  std::memset(reason, 'x', sizeof reason);
  EXPECT_EQ(CHECKNTV2(grid.data(), static_cast<int64_t>(grid.size()), reason, 6),
            OSTRAK_GRID_DAMAGED);
  EXPECT_STREQ(reason, "GS_TY");
  EXPECT_EQ(reason[6], 'x');
  EXPECT_EQ(CHECKNTV2(grid.data(), static_cast<int64_t>(grid.size()), nullptr, 0),
            OSTRAK_GRID_DAMAGED);
}

// ---- GRIDEXTENT ----

bool Extent(const Bytes& grid, double box[4]) {
  return GRIDEXTENT(kNtv2, grid.data(), static_cast<int64_t>(grid.size()), nullptr, 0, &box[0],
                    &box[1], &box[2], &box[3]) == OSTRAK_GRID_SHIFTED;
}

TEST(GridExtent, CoversTheTopLevelSubGridsOfAnNtv2Grid) {
  // kFamily and a second top-level sub-grid north-east of it, 11 to 13 N and
  // 22 to 23 E; the child inside PARENT adds nothing.
  std::vector<SubGridSpec> subGrids = kFamily;
  subGrids.push_back({"EAST", "NONE", 39600, 46800, -82800, -79200, 3600, 3600, Everywhere(0, 0)});
  double box[4];
  ASSERT_TRUE(Extent(Build("SECONDS", subGrids), box));
  EXPECT_EQ(std::vector<double>(box, box + 4), (std::vector<double>{10, 20, 13, 23}));
  Bytes damaged = Build("SECONDS", kFamily);
  Put(damaged, kChild + 24, "NOSUCH  ");  // refused by the check only
  box[0] = -999;
  EXPECT_FALSE(Extent(damaged, box));
  EXPECT_EQ(box[0], -999);

  // BETA2007's one sub-grid, read from its header with
  // od -A d -t f8 -j 248 -N 64 -w16 /usr/share/proj/BETA2007.gsb: S_LAT 169200",
  // N_LAT 199080", E_LONG -56400", W_LONG -19800" (positive west).
  const Bytes beta = ReadFile("/usr/share/proj/BETA2007.gsb");
  if (beta.empty()) GTEST_SKIP() << "no /usr/share/proj/BETA2007.gsb";
  ASSERT_TRUE(Extent(beta, box));
  EXPECT_EQ(box[0], 47);
  EXPECT_EQ(box[1], 5.5);
  EXPECT_DOUBLE_EQ(box[2], 55.3);
  EXPECT_NEAR(box[3], 15 + 2.0 / 3, 1e-14);
}

}  // namespace
