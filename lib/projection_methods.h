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

// Further methods, each in its family's file with its formulas and field
// mapping.
#define OSTRAK_GRID_METHOD(Name)                                                            \
  void Name##Forward(const ProjectionRecord& projection, double latitude, double longitude, \
                     double centralMeridian, double* easting, double* northing);            \
  void Name##Inverse(const ProjectionRecord& projection, double easting, double northing,   \
                     double centralMeridian, double* latitude, double* longitude);
OSTRAK_GRID_METHOD(PseudoMercator)  // mercator.cpp
OSTRAK_GRID_METHOD(MercatorA)
OSTRAK_GRID_METHOD(MercatorB)
OSTRAK_GRID_METHOD(LambertAzimuthalEqualArea)  // azimuthal_equal_area.cpp
OSTRAK_GRID_METHOD(LambertAzimuthalEqualAreaSpherical)
OSTRAK_GRID_METHOD(PolarStereographicA)  // polar_stereographic.cpp
OSTRAK_GRID_METHOD(PolarStereographicB)
OSTRAK_GRID_METHOD(PolarStereographicC)
OSTRAK_GRID_METHOD(AlbersEqualArea)         // albers_equal_area.cpp
OSTRAK_GRID_METHOD(EqualEarth)              // equal_earth.cpp
OSTRAK_GRID_METHOD(EquidistantCylindrical)  // cylindrical.cpp
OSTRAK_GRID_METHOD(LambertCylindricalEqualArea)
#undef OSTRAK_GRID_METHOD

// The method of that EPSG code, or nullptr.
const ProjectionMethod* FindProjectionMethod(int32_t code);

// ---- Further methods (lambert_conic_variants.cpp, transverse_mercator_variants.cpp,
// cassini_soldner.cpp, polyconic.cpp, bonne.cpp) ----
#define OSTRAK_GRID_PAIR(Name)                                                              \
  void Name##Forward(const ProjectionRecord& projection, double latitude, double longitude, \
                     double centralMeridian, double* easting, double* northing);            \
  void Name##Inverse(const ProjectionRecord& projection, double easting, double northing,   \
                     double centralMeridian, double* latitude, double* longitude)
OSTRAK_GRID_PAIR(LambertConic1SP);          // 9801
OSTRAK_GRID_PAIR(LambertConicWest);         // 9826
OSTRAK_GRID_PAIR(LambertConicMichigan);     // 1051
OSTRAK_GRID_PAIR(LambertConicBelgium);      // 9803
OSTRAK_GRID_PAIR(LambertNearConformal);     // 9817
OSTRAK_GRID_PAIR(TransverseMercatorSouth);  // 9808
OSTRAK_GRID_PAIR(TransverseMercatorZoned);  // 9824
OSTRAK_GRID_PAIR(CassiniSoldner);           // 9806
OSTRAK_GRID_PAIR(HyperbolicCassini);        // 9833
OSTRAK_GRID_PAIR(AmericanPolyconic);        // 9818
OSTRAK_GRID_PAIR(BonneSouth);               // 9828
#undef OSTRAK_GRID_PAIR
// ---- end of the further methods ----

}  // namespace ostrak
