// The projection methods behind LATLONTOGRID and GRIDTOLATLON, by EPSG
// method code. Each method's file states its published formulas (IOGP
// Guidance Note 7-2 section), the series or iteration it uses and their
// accuracy, and which ProjectionRecord field carries which EPSG parameter.
#pragma once

#include <cstdint>

#include "ostrak32.h"

namespace ostrak {

// Geographic (degrees) to grid (metres) and back, with the longitude of the
// origin given apart as the original exports take it. The record is only
// read. Where the method is undefined the results are NaN.
using GridForward = void (*)(const ProjectionRecord& projection, double latitude, double longitude,
                             double centralMeridian, double* easting, double* northing);
using GridInverse = void (*)(const ProjectionRecord& projection, double easting, double northing,
                             double centralMeridian, double* latitude, double* longitude);

struct ProjectionMethod {
  int32_t code;
  GridForward forward;
  GridInverse inverse;
  // The original three are exports with their own error trap; the others
  // run under the generic export's.
  bool trapsItself;
};

// The further methods, each in its family's file with its formulas, their
// accuracy and its field mapping. A family of variants is one pair that
// takes the variant from the record's method code.
#define OSTRAK_GRID_METHOD(Name)                                                            \
  void Name##Forward(const ProjectionRecord& projection, double latitude, double longitude, \
                     double centralMeridian, double* easting, double* northing);            \
  void Name##Inverse(const ProjectionRecord& projection, double easting, double northing,   \
                     double centralMeridian, double* latitude, double* longitude)
OSTRAK_GRID_METHOD(Mercator);                     // 1024, 9804, 9805: mercator.cpp
OSTRAK_GRID_METHOD(LambertAzimuthalEqualArea);    // 9820, 1027: azimuthal_equal_area.cpp
OSTRAK_GRID_METHOD(PolarStereographic);           // 9810, 9829, 9830: polar_stereographic.cpp
OSTRAK_GRID_METHOD(AlbersEqualArea);              // 9822, albers_equal_area.cpp
OSTRAK_GRID_METHOD(EqualEarth);                   // 1078, equal_earth.cpp
OSTRAK_GRID_METHOD(EquidistantCylindrical);       // 1028, cylindrical.cpp
OSTRAK_GRID_METHOD(LambertCylindricalEqualArea);  // 9835
OSTRAK_GRID_METHOD(LambertConic);             // 9801, 9826, 1051, 9803: lambert_conic_variants.cpp
OSTRAK_GRID_METHOD(LambertNearConformal);     // 9817
OSTRAK_GRID_METHOD(TransverseMercatorSouth);  // 9808, transverse_mercator_variants.cpp
OSTRAK_GRID_METHOD(TransverseMercatorZoned);  // 9824
OSTRAK_GRID_METHOD(CassiniSoldner);           // 9806, 9833: cassini_soldner.cpp
OSTRAK_GRID_METHOD(AmericanPolyconic);        // 9818, polyconic.cpp
OSTRAK_GRID_METHOD(BonneSouth);               // 9828, bonne.cpp
OSTRAK_GRID_METHOD(HotineObliqueMercator);    // 9812, 9815: oblique_mercator.cpp
OSTRAK_GRID_METHOD(LabordeObliqueMercator);   // 9813
OSTRAK_GRID_METHOD(Krovak);                   // 9819, 1041, 1042, 1043: krovak.cpp
OSTRAK_GRID_METHOD(NewZealandMapGrid);        // 9811, new_zealand_map_grid.cpp
OSTRAK_GRID_METHOD(ModifiedAzimuthal);        // 9832, azimuthal_equidistant.cpp
OSTRAK_GRID_METHOD(GuamProjection);           // 9831
OSTRAK_GRID_METHOD(ColombiaUrban);            // 1052, colombia_urban.cpp
OSTRAK_GRID_METHOD(TunisiaMiningGrid);        // 9816, tunisia_mining_grid.cpp
#undef OSTRAK_GRID_METHOD

// The method of that EPSG code, or nullptr.
const ProjectionMethod* FindProjectionMethod(int32_t code);

}  // namespace ostrak
