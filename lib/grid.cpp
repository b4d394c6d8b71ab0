// LATLONTOGRID and GRIDTOLATLON: any projection record, computed by its
// method code. The original three methods go through their own exports, so
// their results are those exports' to the last bit; an unknown code gives NaN.
#include <cmath>
#include <iterator>

#include "internal.h"
#include "ostrak32.h"
#include "projection_methods.h"

namespace ostrak {
namespace {

template <void (*Export)(const ProjectionRecord*, double, double, double*, double*, double)>
void Through(const ProjectionRecord& p, double a, double b, double centralMeridian, double* c,
             double* d) {
  Export(&p, a, b, c, d, centralMeridian);
}

constexpr ProjectionMethod kMethods[] = {
    {kTransverseMercator, &Through<LATLONTOTM>, &Through<TMTOLATLON>, true},
    {kLambertConic2SP, &Through<LATLONTOLCC>, &Through<LCCTOLATLON>, true},
    {kObliqueStereographic, &Through<LATLONTOOST>, &Through<OSTTOLATLON>, true},
    // Oblique and special grids.
    {kHotineObliqueMercatorA, &HotineObliqueMercatorAForward, &HotineObliqueMercatorAInverse,
     false},
    {kHotineObliqueMercatorB, &HotineObliqueMercatorBForward, &HotineObliqueMercatorBInverse,
     false},
    {kLabordeObliqueMercator, &LabordeObliqueMercatorForward, &LabordeObliqueMercatorInverse,
     false},
    {kNewZealandMapGrid, &NewZealandMapGridForward, &NewZealandMapGridInverse, false},
    {kKrovak, &KrovakForward9819, &KrovakInverse9819, false},
    {kKrovakNorthOrientated, &KrovakForward1041, &KrovakInverse1041, false},
    {kKrovakModified, &KrovakForward1042, &KrovakInverse1042, false},
    {kKrovakModifiedNorthOrientated, &KrovakForward1043, &KrovakInverse1043, false},
};

}  // namespace

const ProjectionMethod* FindProjectionMethod(int32_t code) {
  for (const ProjectionMethod& method : kMethods) {
    if (method.code == code) return &method;
  }
  return nullptr;
}

}  // namespace ostrak

extern "C" void LATLONTOGRID(const ProjectionRecord* projection, double latitude, double longitude,
                             double* easting, double* northing, double centralMeridian) {
  using namespace ostrak;
  const ProjectionMethod* method = FindProjectionMethod(projection->methodCode);
  if (method == nullptr) {
    *easting = *northing = NAN;
    return;
  }
  if (method->trapsItself) {
    method->forward(*projection, latitude, longitude, centralMeridian, easting, northing);
    return;
  }
  LibraryErrorTrap trap("LATLONTOGRID");
  method->forward(*projection, latitude, longitude, centralMeridian, easting, northing);
}

extern "C" void GRIDTOLATLON(const ProjectionRecord* projection, double easting, double northing,
                             double* latitude, double* longitude, double centralMeridian) {
  using namespace ostrak;
  const ProjectionMethod* method = FindProjectionMethod(projection->methodCode);
  if (method == nullptr) {
    *latitude = *longitude = NAN;
    return;
  }
  if (method->trapsItself) {
    method->inverse(*projection, easting, northing, centralMeridian, latitude, longitude);
    return;
  }
  LibraryErrorTrap trap("GRIDTOLATLON");
  method->inverse(*projection, easting, northing, centralMeridian, latitude, longitude);
}
