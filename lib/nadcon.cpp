// CHECKNADCON and NADCONSHIFT: datum shifts by a NADCON grid (EPSG 9613),
// the US National Geodetic Survey's pair of files, read straight from their
// bytes on every call.
//
// Each file is a run of records of 4 (NC + 1) bytes, as NGS's programs
// write them (unformatted direct access: no record markers). The first is
// the header: 56 characters naming the grid, 8 naming the program that wrote
// it, the 32-bit integers NC, NR and NZ (columns, rows, and 1 for one value
// a node), the 32-bit floats XMIN, DX, YMIN, DY (the south-west node's
// longitude, east positive, and latitude, and the spacings, in degrees) and
// ANGLE (0), then padding to the record's end; a record holds those 96
// bytes only when NC is 23 or more. One record a row follows, from the
// south: 4 bytes that the programs write as 0 and never read, then the NC
// shifts of the row as floats, from the west. The .las file holds latitude
// shifts, the .los file longitude shifts, positive west, both in seconds of
// arc, and both headers describe the same lattice. Nothing marks the byte
// order; the file's is the one that reads NZ as 1.
//
// The lattice is closed: it holds the nodes' rows and columns and every
// point between them. Alaska's runs from 194 W, so a point whose longitude
// is not in it is looked for a turn east or west as well; the result keeps
// the caller's longitude. The shifts are interpolated bilinearly between the
// four nodes of the point's cell (IOGP Guidance Note 7-2, geographic offsets
// by interpolation of gridded data), in the extended format, from the nodes'
// float values: exact to the rounding of the extended format, a node's own
// shift on a node. What the result is worth is the grid's: NGS gives 0.15 m
// for the conterminous states. Forward, the latitude shift is added and the
// longitude shift subtracted from the east-positive longitude; reverse is
// iterated as for NTv2 (grid_shift.h).
//
// Nothing is kept between calls and nothing is allocated: each call reads
// and checks both headers and the length again, and the eight nodes it
// interpolates, so damaged bytes give OSTRAK_GRID_DAMAGED and no read goes
// past the given lengths. CHECKNADCON checks the rest once: a number at
// every node.
#include <cmath>
#include <cstdint>
#include <initializer_list>

#include "grid_shift.h"
#include "internal.h"
#include "ostrak32.h"

namespace ostrak {
namespace {

constexpr int64_t kHeaderBytes = 96;
constexpr int32_t kFewestColumns = 23;  // a record of 4 (NC + 1) bytes holds the header
// Rows or columns: far beyond any grid, small enough that a file's byte
// count stays exact in 64 bits.
constexpr int32_t kMostLines = 10000000;
constexpr Real kSecondsPerDegree = 3600;

// The lattice a header describes, its values as stored.
struct Lattice {
  int32_t columns, rows;                         // NC, NR
  float west, columnSpacing, south, rowSpacing;  // XMIN, DX, YMIN, DY (degrees)

  int64_t RecordBytes() const { return 4 * (static_cast<int64_t>(columns) + 1); }
  Real East() const { return west + static_cast<Real>(columns - 1) * columnSpacing; }
  Real North() const { return south + static_cast<Real>(rows - 1) * rowSpacing; }
  bool operator==(const Lattice&) const = default;
};

// One file of the pair and the lattice its header describes.
struct ShiftFile {
  FileBytes file;
  Lattice lattice;

  // The shift at a node: row from the south, column from the west.
  float Node(int64_t row, int64_t column) const {
    return file.Float((row + 1) * lattice.RecordBytes() + 4 + 4 * column);
  }
};

constexpr const char* kLatitudeFile = "latitude file (.las)";
constexpr const char* kLongitudeFile = "longitude file (.los)";

// Reads and checks one file's header and that its length is the lattice's.
bool ReadFile(const void* bytes, int64_t length, const char* which, ShiftFile& f,
              const Reason& reason) {
  if (bytes == nullptr || length < kHeaderBytes) {
    reason.Say("the %s holds %lld bytes, fewer than the %lld of its header", which,
               static_cast<long long>(bytes == nullptr ? 0 : length),
               static_cast<long long>(kHeaderBytes));
    return false;
  }
  f.file = {static_cast<const unsigned char*>(bytes), length, false};
  if (f.file.Integer(72) != 1) {
    f.file.swapped = true;
    if (f.file.Integer(72) != 1) {
      f.file.swapped = false;
      reason.Say("the %s: NZ reads %d where a file of shifts has 1 (in either byte order)", which,
                 f.file.Integer(72));
      return false;
    }
  }
  Lattice& g = f.lattice;
  g = {f.file.Integer(64), f.file.Integer(68), f.file.Float(76),
       f.file.Float(80),   f.file.Float(84),   f.file.Float(88)};
  if (const float angle = f.file.Float(92); angle != 0) {
    reason.Say("the %s: ANGLE reads %g where a lattice along meridians and parallels has 0", which,
               static_cast<double>(angle));
    return false;
  }
  if (g.columns < kFewestColumns || g.columns > kMostLines || g.rows < 2 || g.rows > kMostLines) {
    reason.Say("the %s: NC %d and NR %d, where a file has %d to %d columns and 2 to %d rows", which,
               g.columns, g.rows, kFewestColumns, kMostLines, kMostLines);
    return false;
  }
  if (const int64_t needed = (static_cast<int64_t>(g.rows) + 1) * g.RecordBytes();
      length != needed) {
    reason.Say("the %s holds %lld bytes where NC %d and NR %d need %lld", which,
               static_cast<long long>(length), g.columns, g.rows, static_cast<long long>(needed));
    return false;
  }
  for (const float v : {g.west, g.columnSpacing, g.south, g.rowSpacing}) {
    if (!std::isfinite(v)) {
      reason.Say("the %s has a corner or spacing that is no finite number", which);
      return false;
    }
  }
  if (!(g.columnSpacing > 0 && g.rowSpacing > 0)) {
    reason.Say("the %s has spacings DX %g and DY %g where both must be positive", which,
               static_cast<double>(g.columnSpacing), static_cast<double>(g.rowSpacing));
    return false;
  }
  if (!(g.south >= -90 && g.North() <= 90)) {
    reason.Say("the %s spans latitudes %.9g to %.9g, beyond a pole", which,
               static_cast<double>(g.south), static_cast<double>(g.North()));
    return false;
  }
  if (!(g.west >= -360 && g.East() <= 360 && g.East() - g.west <= 360)) {
    reason.Say("the %s spans longitudes %.9g to %.9g: more than a turn, or beyond 360 either way",
               which, static_cast<double>(g.west), static_cast<double>(g.East()));
    return false;
  }
  return true;
}

// Reads and checks both files, and that they describe the same lattice.
bool ReadPair(const void* latitudeGrid, int64_t latitudeLength, const void* longitudeGrid,
              int64_t longitudeLength, ShiftFile& las, ShiftFile& los, const Reason& reason) {
  if (!ReadFile(latitudeGrid, latitudeLength, kLatitudeFile, las, reason) ||
      !ReadFile(longitudeGrid, longitudeLength, kLongitudeFile, los, reason)) {
    return false;
  }
  if (!(las.lattice == los.lattice)) {
    const Lattice &a = las.lattice, &b = los.lattice;
    reason.Say(
        "the two files describe different lattices: NC %d and %d, NR %d and %d, XMIN %.9g and "
        "%.9g, DX %.9g and %.9g, YMIN %.9g and %.9g, DY %.9g and %.9g",
        a.columns, b.columns, a.rows, b.rows, static_cast<double>(a.west),
        static_cast<double>(b.west), static_cast<double>(a.columnSpacing),
        static_cast<double>(b.columnSpacing), static_cast<double>(a.south),
        static_cast<double>(b.south), static_cast<double>(a.rowSpacing),
        static_cast<double>(b.rowSpacing));
    return false;
  }
  return true;
}

// The point's longitude in the lattice: its own, or a turn east or west of
// it. NaN is held by none.
bool Place(const Lattice& g, Real latitude, Real longitude, Real& x) {
  if (!(latitude >= g.south && latitude <= g.North())) return false;
  for (const Real turn : {Real(0), Real(-360), Real(360)}) {
    x = longitude + turn;
    if (x >= g.west && x <= g.East()) return true;
  }
  return false;
}

// The shift at a point in degrees, east positive, interpolated in its cell.
Found ShiftAt(const ShiftFile& las, const ShiftFile& los, Real latitude, Real longitude,
              Real& dLatitude, Real& dLongitude) {
  const Lattice& g = las.lattice;
  Real x;
  if (!Place(g, latitude, longitude, x)) return Found::kOutside;
  const Real rowPlace = (latitude - g.south) / g.rowSpacing;
  const Real columnPlace = (x - g.west) / g.columnSpacing;
  int64_t row = static_cast<int64_t>(rowPlace);
  int64_t column = static_cast<int64_t>(columnPlace);
  if (row > g.rows - 2) row = g.rows - 2;
  if (column > g.columns - 2) column = g.columns - 2;
  const Real across = columnPlace - static_cast<Real>(column);  // eastwards across the cell
  const Real up = rowPlace - static_cast<Real>(row);            // northwards across the cell
  // Bilinear: s1 + (s2 - s1) X + (s3 - s1) Y + (s1 + s4 - s2 - s3) X Y, from
  // the south-west node s1, its eastern neighbour s2, northern s3, and s4.
  const auto interpolate = [&](const ShiftFile& f) {
    const Real s1 = f.Node(row, column), s2 = f.Node(row, column + 1);
    const Real s3 = f.Node(row + 1, column), s4 = f.Node(row + 1, column + 1);
    return s1 + (s2 - s1) * across + (s3 - s1) * up + (s1 + s4 - s2 - s3) * across * up;
  };
  const Real latitudeSeconds = interpolate(las);
  const Real longitudeWestSeconds = interpolate(los);
  if (!std::isfinite(latitudeSeconds) || !std::isfinite(longitudeWestSeconds)) {
    return Found::kDamaged;
  }
  dLatitude = latitudeSeconds / kSecondsPerDegree;
  dLongitude = -(longitudeWestSeconds / kSecondsPerDegree);
  return Found::kHeld;
}

int32_t Shift(const void* latitudeGrid, int64_t latitudeLength, const void* longitudeGrid,
              int64_t longitudeLength, double latitude, double longitude, int32_t reverse,
              double* latitudeShifted, double* longitudeShifted) {
  ShiftFile las, los;
  if (!ReadPair(latitudeGrid, latitudeLength, longitudeGrid, longitudeLength, las, los,
                Reason{nullptr, 0})) {
    return OSTRAK_GRID_DAMAGED;
  }
  const auto shiftAt = [&](Real lat, Real lon, Real& dLatitude, Real& dLongitude) {
    return ShiftAt(las, los, lat, lon, dLatitude, dLongitude);
  };
  return ApplyShift(shiftAt, latitude, longitude, reverse, latitudeShifted, longitudeShifted);
}

int32_t Check(const void* latitudeGrid, int64_t latitudeLength, const void* longitudeGrid,
              int64_t longitudeLength, const Reason& reason) {
  ShiftFile las, los;
  if (!ReadPair(latitudeGrid, latitudeLength, longitudeGrid, longitudeLength, las, los, reason)) {
    return OSTRAK_GRID_DAMAGED;
  }
  for (const ShiftFile* f : {&las, &los}) {
    for (int32_t row = 0; row < f->lattice.rows; ++row) {
      for (int32_t column = 0; column < f->lattice.columns; ++column) {
        if (!std::isfinite(f->Node(row, column))) {
          reason.Say(
              "the %s: the shift at row %d, column %d (from 1 at the south-west) is no "
              "finite number",
              f == &las ? kLatitudeFile : kLongitudeFile, row + 1, column + 1);
          return OSTRAK_GRID_DAMAGED;
        }
      }
    }
  }
  reason.Clear();
  return OSTRAK_GRID_SHIFTED;
}

}  // namespace

bool NadconExtent(const void* latitudeGrid, int64_t latitudeLength, const void* longitudeGrid,
                  int64_t longitudeLength, Extent& extent) {
  if (Check(latitudeGrid, latitudeLength, longitudeGrid, longitudeLength, Reason{nullptr, 0}) !=
      OSTRAK_GRID_SHIFTED) {
    return false;
  }
  ShiftFile las, los;
  ReadPair(latitudeGrid, latitudeLength, longitudeGrid, longitudeLength, las, los,
           Reason{nullptr, 0});
  const Lattice& g = las.lattice;
  extent = {g.south, g.west, g.North(), g.East()};
  return true;
}

}  // namespace ostrak

extern "C" int32_t CHECKNADCON(const void* latitudeGrid, int64_t latitudeLength,
                               const void* longitudeGrid, int64_t longitudeLength, char* reason,
                               int32_t reasonSize) {
  ostrak::LibraryErrorTrap trap("CHECKNADCON");
  return ostrak::Check(latitudeGrid, latitudeLength, longitudeGrid, longitudeLength,
                       ostrak::Reason{reason, reasonSize});
}

extern "C" int32_t NADCONSHIFT(const void* latitudeGrid, int64_t latitudeLength,
                               const void* longitudeGrid, int64_t longitudeLength, double latitude,
                               double longitude, int32_t reverse, double* latitudeShifted,
                               double* longitudeShifted) {
  ostrak::LibraryErrorTrap trap("NADCONSHIFT");
  return ostrak::Shift(latitudeGrid, latitudeLength, longitudeGrid, longitudeLength, latitude,
                       longitude, reverse, latitudeShifted, longitudeShifted);
}
