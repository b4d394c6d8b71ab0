// What the grid shift formats share: a file's bytes read in its own byte
// order, the reason a check gives, the forward and reverse application of a
// shift, and each format's extent for GRIDEXTENT.
#pragma once

#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "internal.h"
#include "ostrak32.h"

namespace ostrak {

// Where a check writes why the bytes are no usable grid; nothing when text is null.
struct Reason {
  char* text;
  int32_t size;

  void Say(const char* format, ...) const __attribute__((format(printf, 2, 3))) {
    if (text == nullptr || size <= 0) return;
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, static_cast<size_t>(size), format, arguments);
    va_end(arguments);
  }
  // The empty reason of a usable grid.
  void Clear() const {
    if (text != nullptr && size > 0) text[0] = '\0';
  }
};

// A file's bytes, read in the file's byte order. The caller keeps every
// offset inside length.
struct FileBytes {
  const unsigned char* bytes;
  int64_t length;
  bool swapped;  // the file's byte order is not this machine's

  uint32_t Word(int64_t offset) const {
    uint32_t word;
    std::memcpy(&word, bytes + offset, sizeof word);
    return swapped ? __builtin_bswap32(word) : word;
  }
  int32_t Integer(int64_t offset) const { return static_cast<int32_t>(Word(offset)); }
  float Float(int64_t offset) const {
    const uint32_t word = Word(offset);
    float value;
    std::memcpy(&value, &word, sizeof value);
    return value;
  }
  double Double(int64_t offset) const {
    uint64_t word;
    std::memcpy(&word, bytes + offset, sizeof word);
    if (swapped) word = __builtin_bswap64(word);
    double value;
    std::memcpy(&value, &word, sizeof value);
    return value;
  }
};

enum class Found { kHeld, kOutside, kDamaged };

inline int32_t Code(Found found) {
  return found == Found::kOutside ? OSTRAK_GRID_OUTSIDE : OSTRAK_GRID_DAMAGED;
}

constexpr int kMostReverseSteps = 20;
constexpr Real kSettled = 1e-12;  // degree

// Forward, the given point plus the shift there. Reverse, the point whose
// forward shift gives the given one, by iteration: first the given point
// less the shift there, then the given point less the shift at the last
// estimate, until an estimate moves less than 1e-12 degree in either
// coordinate; twenty steps without settling give OSTRAK_GRID_UNSETTLED.
// shiftAt(latitude, longitude, dLatitude, dLongitude) gives the shift at a
// point, in degrees, east positive. The results are written only with
// OSTRAK_GRID_SHIFTED.
template <typename ShiftAt>
int32_t ApplyShift(const ShiftAt& shiftAt, double latitude, double longitude, int32_t reverse,
                   double* latitudeShifted, double* longitudeShifted) {
  const Real givenLatitude = latitude;
  const Real givenLongitude = longitude;
  Real dLatitude, dLongitude;
  if (const Found f = shiftAt(givenLatitude, givenLongitude, dLatitude, dLongitude);
      f != Found::kHeld) {
    return Code(f);
  }
  Real resultLatitude, resultLongitude;
  if (reverse == 0) {
    resultLatitude = givenLatitude + dLatitude;
    resultLongitude = givenLongitude + dLongitude;
  } else {
    Real lat = givenLatitude - dLatitude;
    Real lon = givenLongitude - dLongitude;
    bool settled = false;
    for (int step = 0; step < kMostReverseSteps && !settled; ++step) {
      if (const Found f = shiftAt(lat, lon, dLatitude, dLongitude); f != Found::kHeld) {
        return Code(f);
      }
      const Real nextLatitude = givenLatitude - dLatitude;
      const Real nextLongitude = givenLongitude - dLongitude;
      settled =
          std::fabs(nextLatitude - lat) < kSettled && std::fabs(nextLongitude - lon) < kSettled;
      lat = nextLatitude;
      lon = nextLongitude;
    }
    if (!settled) return OSTRAK_GRID_UNSETTLED;
    resultLatitude = lat;
    resultLongitude = lon;
  }
  *latitudeShifted = static_cast<double>(resultLatitude);
  *longitudeShifted = static_cast<double>(resultLongitude);
  return OSTRAK_GRID_SHIFTED;
}

// A grid's box in degrees, east positive.
struct Extent {
  Real south, west, north, east;
};

// The box of an NTv2 grid's top-level sub-grids; false for a grid that
// CHECKNTV2 refuses.
bool Ntv2Extent(const void* grid, int64_t length, Extent& extent);

// The lattice of a NADCON pair; false for a pair that CHECKNADCON refuses.
bool NadconExtent(const void* latitudeGrid, int64_t latitudeLength, const void* longitudeGrid,
                  int64_t longitudeLength, Extent& extent);

}  // namespace ostrak
