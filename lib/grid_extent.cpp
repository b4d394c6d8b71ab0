// GRIDEXTENT: the box a grid shift covers, for the program's reports.
#include <cstdint>

#include "grid_shift.h"
#include "internal.h"
#include "ostrak32.h"

extern "C" int32_t GRIDEXTENT(int32_t methodCode, const void* grid, int64_t length,
                              const void* grid2, int64_t length2, double* south, double* west,
                              double* north, double* east) {
  ostrak::LibraryErrorTrap trap("GRIDEXTENT");
  ostrak::Extent extent;
  bool usable = false;
  if (methodCode == kNtv2) {
    usable = ostrak::Ntv2Extent(grid, length, extent);
  } else if (methodCode == kNadcon) {
    usable = ostrak::NadconExtent(grid, length, grid2, length2, extent);
  }
  if (!usable) return OSTRAK_GRID_DAMAGED;
  *south = static_cast<double>(extent.south);
  *west = static_cast<double>(extent.west);
  *north = static_cast<double>(extent.north);
  *east = static_cast<double>(extent.east);
  return OSTRAK_GRID_SHIFTED;
}
