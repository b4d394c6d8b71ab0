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

// The method of that EPSG code, or nullptr.
const ProjectionMethod* FindProjectionMethod(int32_t code);

// Oblique and special grids: Hotine Oblique Mercator (oblique_mercator.cpp).
void HotineObliqueMercatorAForward(const ProjectionRecord&, double, double, double, double*,
                                   double*);
void HotineObliqueMercatorAInverse(const ProjectionRecord&, double, double, double, double*,
                                   double*);
void HotineObliqueMercatorBForward(const ProjectionRecord&, double, double, double, double*,
                                   double*);
void HotineObliqueMercatorBInverse(const ProjectionRecord&, double, double, double, double*,
                                   double*);
// Laborde Oblique Mercator (oblique_mercator.cpp).
void LabordeObliqueMercatorForward(const ProjectionRecord&, double, double, double, double*,
                                   double*);
void LabordeObliqueMercatorInverse(const ProjectionRecord&, double, double, double, double*,
                                   double*);
// Krovak (krovak.cpp), by method code.
void KrovakForward9819(const ProjectionRecord&, double, double, double, double*, double*);
void KrovakInverse9819(const ProjectionRecord&, double, double, double, double*, double*);
void KrovakForward1041(const ProjectionRecord&, double, double, double, double*, double*);
void KrovakInverse1041(const ProjectionRecord&, double, double, double, double*, double*);
void KrovakForward1042(const ProjectionRecord&, double, double, double, double*, double*);
void KrovakInverse1042(const ProjectionRecord&, double, double, double, double*, double*);
void KrovakForward1043(const ProjectionRecord&, double, double, double, double*, double*);
void KrovakInverse1043(const ProjectionRecord&, double, double, double, double*, double*);
// New Zealand Map Grid (new_zealand_map_grid.cpp).
void NewZealandMapGridForward(const ProjectionRecord&, double, double, double, double*, double*);
void NewZealandMapGridInverse(const ProjectionRecord&, double, double, double, double*, double*);
// (end of the oblique and special grids)

}  // namespace ostrak
