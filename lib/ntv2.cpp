// CHECKNTV2 and NTV2SHIFT: datum shifts by an NTv2 grid (.gsb, EPSG 9615),
// read straight from the bytes of the file on every call.
//
// The file is a run of 16-byte records, each an 8-character label and an
// 8-byte value: a 32-bit integer and 4 bytes of padding, a double, or 8
// characters. The overview has 11: NUM_OREC (11), NUM_SREC (11), NUM_FILE
// (the number of sub-grids), GS_TYPE (SECONDS, MINUTES or DEGREES: the unit
// of every angle and shift that follows), VERSION, SYSTEM_F, SYSTEM_T,
// MAJOR_F, MINOR_F, MAJOR_T, MINOR_T. Each sub-grid then has 11 of its own:
// SUB_NAME, PARENT (the name of the sub-grid it refines, or NONE), CREATED,
// UPDATED, S_LAT, N_LAT, E_LONG, W_LONG (longitudes positive west), LAT_INC,
// LONG_INC, GS_COUNT; and GS_COUNT nodes of four floats each: latitude shift,
// longitude shift (positive west), latitude and longitude accuracy (metres).
// The nodes run from the south-east corner, a row of longitudes westwards at
// a time, rows from south to north. An END record closes the file. Either
// byte order occurs: the file's is the one that reads NUM_OREC as 11. The
// program reads up to 1,024 sub-grids, many times what published grids have.
//
// A point takes its shift from the densest sub-grid holding it: the first
// top-level sub-grid (PARENT NONE) that holds it, then the first of that
// one's children that holds it, and so on down. A top-level sub-grid holds
// its closed extent; a child does not hold its northern and western edges,
// which its parent covers with the same shifts. The shifts are interpolated
// bilinearly between the four nodes of the point's cell, in the extended
// format, from the nodes' float values: exact to the rounding of the extended
// format, a node's own shift on a node.
//
// Forward, the latitude shift is added and the longitude shift (positive
// west) subtracted from the east-positive longitude. Reverse, the point is
// found by iteration: first the given point less the shift there, then the
// given point less the shift at the last estimate, until an estimate moves
// less than 1e-12 degree in either coordinate. The shifts change by parts per
// million across a cell, so two or three steps settle to that; twenty without
// settling give OSTRAK_GRID_UNSETTLED. The forward shift of the result gives
// back the given point to about 1e-12 degree.
//
// Nothing is kept between calls and nothing is allocated: each call reads
// the overview and every sub-grid header again (a few dozen loads for the
// usual one-sub-grid file) and checks each as it goes, so damaged bytes give
// OSTRAK_GRID_DAMAGED and no read goes past the given length. CHECKNTV2
// checks the rest once: unique names, parents that exist, no sub-grid its own
// ancestor, a number at every node.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "grid_shift.h"
#include "internal.h"
#include "ostrak32.h"

namespace ostrak {
namespace {

constexpr int64_t kRecordBytes = 16;
constexpr int64_t kHeaderBytes = 11 * kRecordBytes;  // the overview and each sub-grid header
constexpr int64_t kNodeBytes = 16;
// More sub-grids than any published grid has; CHECKNTV2 keeps their places on the stack.
constexpr int32_t kMostSubGrids = 1024;
// Rows or columns of one sub-grid: far beyond any grid, small enough that
// their product and its byte count stay exact in 64 bits.
constexpr Real kMostLines = 1e8;
// Sub-grids holding one point that the search remembers; more (a hierarchy
// deeper than any grid has) send it back over the headers.
constexpr int kHeldRemembered = 16;

// The file's bytes and how to read them.
struct Grid : FileBytes {
  Real unitsPerDegree;  // 3600 for SECONDS, 60 for MINUTES, 1 for DEGREES
  int32_t subGridCount;
};

// An 8-character field without its trailing blanks or NULs.
struct Name {
  const unsigned char* text;
  int length;
};

Name NameAt(const unsigned char* field) {
  int length = 8;
  while (length > 0 && (field[length - 1] == ' ' || field[length - 1] == '\0')) --length;
  return {field, length};
}

bool SameName(Name a, Name b) {
  return a.length == b.length && std::memcmp(a.text, b.text, static_cast<size_t>(a.length)) == 0;
}

bool NameIs(Name a, const char* word) {
  return SameName(
      a, {reinterpret_cast<const unsigned char*>(word), static_cast<int>(std::strlen(word))});
}

// A name as a reason shows it: printable characters, others as '?'.
struct Shown {
  char text[9];
  explicit Shown(Name name) {
    for (int i = 0; i < name.length; ++i) {
      const unsigned char c = name.text[i];
      text[i] = c >= 0x20 && c < 0x7f ? static_cast<char>(c) : '?';
    }
    text[name.length] = '\0';
  }
};

constexpr const char* kOverviewLabels[11] = {"NUM_OREC", "NUM_SREC", "NUM_FILE", "GS_TYPE",
                                             "VERSION",  "SYSTEM_F", "SYSTEM_T", "MAJOR_F",
                                             "MINOR_F",  "MAJOR_T",  "MINOR_T"};
constexpr const char* kSubGridLabels[11] = {"SUB_NAME", "PARENT",   "CREATED", "UPDATED",
                                            "S_LAT",    "N_LAT",    "E_LONG",  "W_LONG",
                                            "LAT_INC",  "LONG_INC", "GS_COUNT"};

// The record at offset of the header carries each expected label in turn;
// the index of the first that does not, or -1.
int WrongLabel(const Grid& grid, int64_t offset, const char* const (&labels)[11]) {
  for (int i = 0; i < 11; ++i) {
    if (!NameIs(NameAt(grid.bytes + offset + i * kRecordBytes), labels[i])) return i;
  }
  return -1;
}

bool ReadOverview(const void* bytes, int64_t length, Grid& grid, const Reason& reason) {
  if (bytes == nullptr || length < kHeaderBytes) {
    reason.Say("the grid holds %lld bytes, fewer than the %lld of its overview header",
               static_cast<long long>(bytes == nullptr ? 0 : length),
               static_cast<long long>(kHeaderBytes));
    return false;
  }
  grid = {{static_cast<const unsigned char*>(bytes), length, false}, 0, 0};
  if (grid.Integer(8) != 11) {
    grid.swapped = true;
    if (grid.Integer(8) != 11) {
      grid.swapped = false;
      reason.Say("NUM_OREC reads %d where the overview has 11 records (in either byte order)",
                 grid.Integer(8));
      return false;
    }
  }
  if (const int wrong = WrongLabel(grid, 0, kOverviewLabels); wrong >= 0) {
    reason.Say("overview record %d is labelled \"%s\" where %s belongs", wrong + 1,
               Shown(NameAt(grid.bytes + wrong * kRecordBytes)).text, kOverviewLabels[wrong]);
    return false;
  }
  if (const int32_t records = grid.Integer(24); records != 11) {
    reason.Say("NUM_SREC reads %d where a sub-grid header has 11 records", records);
    return false;
  }
  grid.subGridCount = grid.Integer(40);
  if (grid.subGridCount < 1 || grid.subGridCount > kMostSubGrids) {
    reason.Say("NUM_FILE reads %d where the program reads 1 to %d sub-grids", grid.subGridCount,
               kMostSubGrids);
    return false;
  }
  const Name type = NameAt(grid.bytes + 56);
  if (NameIs(type, "SECONDS")) {
    grid.unitsPerDegree = 3600;
  } else if (NameIs(type, "MINUTES")) {
    grid.unitsPerDegree = 60;
  } else if (NameIs(type, "DEGREES")) {
    grid.unitsPerDegree = 1;
  } else {
    reason.Say("GS_TYPE is \"%s\", not SECONDS, MINUTES or DEGREES", Shown(type).text);
    return false;
  }
  return true;
}

// One sub-grid's header as read, angles in the file's unit, longitudes positive west.
struct SubGrid {
  int32_t number;  // from 1, in the order of the file
  int64_t header;  // offset of its header; its nodes follow
  Name name, parent;
  bool topLevel;
  Real south, north, east, west, latitudeIncrement, longitudeIncrement;
  int64_t rows, columns;

  int64_t Next() const { return header + kHeaderBytes + rows * columns * kNodeBytes; }
  int64_t Node(int64_t row, int64_t column) const {
    return header + kHeaderBytes + (row * columns + column) * kNodeBytes;
  }
  // Whether the sub-grid holds the point: a child leaves its northern and
  // western edges to its parent. NaN is held by none.
  bool Holds(Real latitude, Real longitudeWest) const {
    if (!(latitude >= south && longitudeWest >= east)) return false;
    if (topLevel) return latitude <= north && longitudeWest <= west;
    return latitude < north && longitudeWest < west;
  }
};

// Reads and checks the header of sub-grid number at offset, and that its nodes fit.
bool ReadSubGrid(const Grid& grid, int32_t number, int64_t offset, SubGrid& g,
                 const Reason& reason) {
  if (grid.length - offset < kHeaderBytes) {
    reason.Say("the grid ends inside the header of sub-grid %d (%lld bytes, %lld needed)", number,
               static_cast<long long>(grid.length), static_cast<long long>(offset + kHeaderBytes));
    return false;
  }
  const unsigned char* h = grid.bytes + offset;
  g.number = number;
  g.header = offset;
  g.name = NameAt(h + 8);
  g.parent = NameAt(h + 24);
  g.topLevel = NameIs(g.parent, "NONE");
  const Shown shown(g.name);
  if (const int wrong = WrongLabel(grid, offset, kSubGridLabels); wrong >= 0) {
    reason.Say("sub-grid %d (%s): record %d is labelled \"%s\" where %s belongs", number,
               shown.text, wrong + 1, Shown(NameAt(h + wrong * kRecordBytes)).text,
               kSubGridLabels[wrong]);
    return false;
  }
  const double south = grid.Double(offset + 72), north = grid.Double(offset + 88);
  const double east = grid.Double(offset + 104), west = grid.Double(offset + 120);
  const double latitudeIncrement = grid.Double(offset + 136);
  const double longitudeIncrement = grid.Double(offset + 152);
  const int32_t count = grid.Integer(offset + 168);
  for (double v : {south, north, east, west, latitudeIncrement, longitudeIncrement}) {
    if (!std::isfinite(v)) {
      reason.Say("sub-grid %d (%s) has a limit or increment that is no finite number", number,
                 shown.text);
      return false;
    }
  }
  if (!(latitudeIncrement > 0 && longitudeIncrement > 0)) {
    reason.Say("sub-grid %d (%s) has increments %g and %g where both must be positive", number,
               shown.text, latitudeIncrement, longitudeIncrement);
    return false;
  }
  if (!(south < north)) {
    reason.Say("sub-grid %d (%s): S_LAT %g is not south of N_LAT %g", number, shown.text, south,
               north);
    return false;
  }
  if (!(east < west)) {
    reason.Say("sub-grid %d (%s): E_LONG %g is not east of W_LONG %g (positive west)", number,
               shown.text, east, west);
    return false;
  }
  g.south = south;
  g.north = north;
  g.east = east;
  g.west = west;
  g.latitudeIncrement = latitudeIncrement;
  g.longitudeIncrement = longitudeIncrement;
  // Nodes on both limits: the increments into the extent, to the nearest whole one, plus one.
  const Real rowSpans = (g.north - g.south) / g.latitudeIncrement;
  const Real columnSpans = (g.west - g.east) / g.longitudeIncrement;
  if (!(rowSpans < kMostLines && columnSpans < kMostLines)) {
    reason.Say("sub-grid %d (%s) has an extent of more than %.0f increments", number, shown.text,
               static_cast<double>(kMostLines));
    return false;
  }
  g.rows = static_cast<int64_t>(rowSpans + Real(0.5)) + 1;
  g.columns = static_cast<int64_t>(columnSpans + Real(0.5)) + 1;
  if (g.rows < 2 || g.columns < 2) {
    reason.Say("sub-grid %d (%s) spans less than one cell (%lld x %lld nodes)", number, shown.text,
               static_cast<long long>(g.rows), static_cast<long long>(g.columns));
    return false;
  }
  if (count != g.rows * g.columns) {
    reason.Say("sub-grid %d (%s) holds %d shift records where its extent needs %lld", number,
               shown.text, count, static_cast<long long>(g.rows * g.columns));
    return false;
  }
  if (grid.length - offset - kHeaderBytes < g.rows * g.columns * kNodeBytes) {
    reason.Say("the grid ends inside the shifts of sub-grid %d (%s) (%lld bytes, %lld needed)",
               number, shown.text, static_cast<long long>(grid.length),
               static_cast<long long>(g.Next()));
    return false;
  }
  return true;
}

bool ReadEnd(const Grid& grid, int64_t offset, const Reason& reason) {
  if (grid.length - offset < kRecordBytes || !NameIs(NameAt(grid.bytes + offset), "END")) {
    reason.Say("no END record follows the last sub-grid (at byte %lld)",
               static_cast<long long>(offset));
    return false;
  }
  return true;
}

// The sub-grids holding a point, as many as are remembered.
struct Holding {
  SubGrid held[kHeldRemembered];
  int count = 0;
  bool overflowed = false;
};

// One walk over the headers: checks each and the END record after them
// (false: damaged) and gathers the sub-grids holding the point.
bool Walk(const Grid& grid, Real latitude, Real longitudeWest, Holding& holding) {
  int64_t offset = kHeaderBytes;
  const Reason none{nullptr, 0};
  for (int32_t number = 1; number <= grid.subGridCount; ++number) {
    SubGrid g;
    if (!ReadSubGrid(grid, number, offset, g, none)) return false;
    if (g.Holds(latitude, longitudeWest)) {
      if (holding.count < kHeldRemembered) {
        holding.held[holding.count++] = g;
      } else {
        holding.overflowed = true;
      }
    }
    offset = g.Next();
  }
  return ReadEnd(grid, offset, none);
}

// The first sub-grid holding the point whose parent is the given one (a
// top-level one when parent is null).
bool FindChild(const Grid& grid, const Holding& holding, const SubGrid* parent, Real latitude,
               Real longitudeWest, SubGrid& child) {
  const auto isChild = [&](const SubGrid& g) {
    return parent == nullptr ? g.topLevel : !g.topLevel && SameName(g.parent, parent->name);
  };
  if (!holding.overflowed) {
    for (int i = 0; i < holding.count; ++i) {
      if (isChild(holding.held[i])) {
        child = holding.held[i];
        return true;
      }
    }
    return false;
  }
  // Headers already checked by the walk.
  int64_t offset = kHeaderBytes;
  for (int32_t number = 1; number <= grid.subGridCount; ++number) {
    SubGrid g;
    ReadSubGrid(grid, number, offset, g, Reason{nullptr, 0});
    if (g.Holds(latitude, longitudeWest) && isChild(g)) {
      child = g;
      return true;
    }
    offset = g.Next();
  }
  return false;
}

// The shift at a point (degrees, east positive) in the file's unit: latitude
// and longitude (positive west), interpolated in the densest sub-grid holding it.
Found ShiftAt(const Grid& grid, Real latitude, Real longitude, Real& latitudeShift,
              Real& longitudeWestShift) {
  const Real y = latitude * grid.unitsPerDegree;
  const Real x = -longitude * grid.unitsPerDegree;
  Holding holding;
  if (!Walk(grid, y, x, holding)) return Found::kDamaged;
  SubGrid g;
  if (!FindChild(grid, holding, nullptr, y, x, g)) return Found::kOutside;
  // Down the hierarchy; a longer descent than there are sub-grids goes round a loop of parents.
  for (int32_t depth = 0;; ++depth) {
    if (depth > grid.subGridCount) return Found::kDamaged;
    SubGrid child;
    if (!FindChild(grid, holding, &g, y, x, child)) break;
    g = child;
  }
  // The cell: rows and columns of nodes from the south-east corner.
  const Real rowPlace = (y - g.south) / g.latitudeIncrement;
  const Real columnPlace = (x - g.east) / g.longitudeIncrement;
  int64_t row = static_cast<int64_t>(rowPlace);
  int64_t column = static_cast<int64_t>(columnPlace);
  if (row > g.rows - 2) row = g.rows - 2;
  if (column > g.columns - 2) column = g.columns - 2;
  const Real down = rowPlace - static_cast<Real>(row);          // northwards across the cell
  const Real across = columnPlace - static_cast<Real>(column);  // westwards across the cell
  const int64_t node1 = g.Node(row, column), node2 = g.Node(row, column + 1);
  const int64_t node3 = g.Node(row + 1, column), node4 = g.Node(row + 1, column + 1);
  // Bilinear: s1 + (s2 - s1) X + (s3 - s1) Y + (s1 + s4 - s2 - s3) X Y per shift.
  const auto interpolate = [&](int64_t field) {
    const Real s1 = grid.Float(node1 + field), s2 = grid.Float(node2 + field);
    const Real s3 = grid.Float(node3 + field), s4 = grid.Float(node4 + field);
    return s1 + (s2 - s1) * across + (s3 - s1) * down + (s1 + s4 - s2 - s3) * across * down;
  };
  latitudeShift = interpolate(0);
  longitudeWestShift = interpolate(4);
  if (!std::isfinite(latitudeShift) || !std::isfinite(longitudeWestShift)) return Found::kDamaged;
  return Found::kHeld;
}

int32_t Shift(const void* bytes, int64_t length, double latitude, double longitude, int32_t reverse,
              double* latitudeShifted, double* longitudeShifted) {
  Grid grid;
  if (!ReadOverview(bytes, length, grid, Reason{nullptr, 0})) return OSTRAK_GRID_DAMAGED;
  const auto shiftAt = [&grid](Real lat, Real lon, Real& dLatitude, Real& dLongitude) {
    Real latitudeShift, longitudeWestShift;
    const Found found = ShiftAt(grid, lat, lon, latitudeShift, longitudeWestShift);
    if (found == Found::kHeld) {
      dLatitude = latitudeShift / grid.unitsPerDegree;
      dLongitude = -(longitudeWestShift / grid.unitsPerDegree);
    }
    return found;
  };
  return ApplyShift(shiftAt, latitude, longitude, reverse, latitudeShifted, longitudeShifted);
}

int32_t Check(const void* bytes, int64_t length, const Reason& reason) {
  Grid grid;
  if (!ReadOverview(bytes, length, grid, reason)) return OSTRAK_GRID_DAMAGED;
  // Each sub-grid's header offset and its parent's number (0 for NONE).
  int64_t headers[kMostSubGrids];
  int32_t parents[kMostSubGrids];
  int64_t offset = kHeaderBytes;
  for (int32_t i = 0; i < grid.subGridCount; ++i) {
    SubGrid g;
    if (!ReadSubGrid(grid, i + 1, offset, g, reason)) return OSTRAK_GRID_DAMAGED;
    headers[i] = offset;
    offset = g.Next();
  }
  if (!ReadEnd(grid, offset, reason)) return OSTRAK_GRID_DAMAGED;
  const auto nameOf = [&](int32_t i) { return NameAt(grid.bytes + headers[i] + 8); };
  const auto parentOf = [&](int32_t i) { return NameAt(grid.bytes + headers[i] + 24); };
  for (int32_t i = 0; i < grid.subGridCount; ++i) {
    const Shown shown(nameOf(i));
    for (int32_t j = 0; j < i; ++j) {
      if (SameName(nameOf(i), nameOf(j))) {
        reason.Say("sub-grid %d (%s) has the name of sub-grid %d", i + 1, shown.text, j + 1);
        return OSTRAK_GRID_DAMAGED;
      }
    }
    if (NameIs(nameOf(i), "NONE")) {
      reason.Say("sub-grid %d is named NONE, which marks a sub-grid without parent", i + 1);
      return OSTRAK_GRID_DAMAGED;
    }
    parents[i] = 0;
    if (NameIs(parentOf(i), "NONE")) continue;
    for (int32_t j = 0; j < grid.subGridCount && parents[i] == 0; ++j) {
      if (SameName(parentOf(i), nameOf(j))) parents[i] = j + 1;
    }
    if (parents[i] == 0) {
      reason.Say("sub-grid %d (%s) names the parent \"%s\", which is no sub-grid of the grid",
                 i + 1, shown.text, Shown(parentOf(i)).text);
      return OSTRAK_GRID_DAMAGED;
    }
  }
  for (int32_t i = 0; i < grid.subGridCount; ++i) {
    int32_t ancestor = parents[i];
    for (int32_t steps = 0; ancestor != 0; ++steps) {
      if (ancestor == i + 1 || steps > grid.subGridCount) {
        reason.Say("sub-grid %d (%s) is its own ancestor", i + 1, Shown(nameOf(i)).text);
        return OSTRAK_GRID_DAMAGED;
      }
      ancestor = parents[ancestor - 1];
    }
  }
  // Every shift a number (the accuracies are not used).
  for (int32_t i = 0; i < grid.subGridCount; ++i) {
    SubGrid g;
    ReadSubGrid(grid, i + 1, headers[i], g, Reason{nullptr, 0});
    for (int64_t n = 0; n < g.rows * g.columns; ++n) {
      const int64_t node = g.header + kHeaderBytes + n * kNodeBytes;
      if (!std::isfinite(grid.Float(node)) || !std::isfinite(grid.Float(node + 4))) {
        reason.Say("sub-grid %d (%s): the shift at node %lld is no finite number", i + 1,
                   Shown(g.name).text, static_cast<long long>(n + 1));
        return OSTRAK_GRID_DAMAGED;
      }
    }
  }
  reason.Clear();
  return OSTRAK_GRID_SHIFTED;
}

}  // namespace

bool Ntv2Extent(const void* bytes, int64_t length, Extent& extent) {
  if (Check(bytes, length, Reason{nullptr, 0}) != OSTRAK_GRID_SHIFTED) return false;
  Grid grid;
  ReadOverview(bytes, length, grid, Reason{nullptr, 0});
  const Real unit = grid.unitsPerDegree;
  // The check found a top-level sub-grid: parents exist and none is its own ancestor.
  bool first = true;
  int64_t offset = kHeaderBytes;
  for (int32_t number = 1; number <= grid.subGridCount; ++number) {
    SubGrid g;
    ReadSubGrid(grid, number, offset, g, Reason{nullptr, 0});
    offset = g.Next();
    if (!g.topLevel) continue;
    const Extent box{g.south / unit, -(g.west / unit), g.north / unit, -(g.east / unit)};
    if (first) {
      extent = box;
      first = false;
    } else {
      extent.south = std::fmin(extent.south, box.south);
      extent.west = std::fmin(extent.west, box.west);
      extent.north = std::fmax(extent.north, box.north);
      extent.east = std::fmax(extent.east, box.east);
    }
  }
  return !first;
}

}  // namespace ostrak

extern "C" int32_t CHECKNTV2(const void* grid, int64_t length, char* reason, int32_t reasonSize) {
  ostrak::LibraryErrorTrap trap("CHECKNTV2");
  return ostrak::Check(grid, length, ostrak::Reason{reason, reasonSize});
}

extern "C" int32_t NTV2SHIFT(const void* grid, int64_t length, double latitude, double longitude,
                             int32_t reverse, double* latitudeShifted, double* longitudeShifted) {
  ostrak::LibraryErrorTrap trap("NTV2SHIFT");
  return ostrak::Shift(grid, length, latitude, longitude, reverse, latitudeShifted,
                       longitudeShifted);
}
