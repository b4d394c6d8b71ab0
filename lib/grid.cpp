// LATLONTOGRID and GRIDTOLATLON: any projection record, computed by its
// method code. The original three methods go through their own exports, so
// their results are those exports' to the last bit; an unknown code gives NaN.
#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <utility>

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
    {kPseudoMercator, &MercatorForward, &MercatorInverse, false},
    {kMercatorA, &MercatorForward, &MercatorInverse, false},
    {kMercatorB, &MercatorForward, &MercatorInverse, false},
    {kLambertAzimuthalEqualArea, &LambertAzimuthalEqualAreaForward,
     &LambertAzimuthalEqualAreaInverse, false},
    {kLambertAzimuthalEqualAreaSpherical, &LambertAzimuthalEqualAreaForward,
     &LambertAzimuthalEqualAreaInverse, false},
    {kPolarStereographicA, &PolarStereographicForward, &PolarStereographicInverse, false},
    {kPolarStereographicB, &PolarStereographicForward, &PolarStereographicInverse, false},
    {kPolarStereographicC, &PolarStereographicForward, &PolarStereographicInverse, false},
    {kAlbersEqualArea, &AlbersEqualAreaForward, &AlbersEqualAreaInverse, false},
    {kEqualEarth, &EqualEarthForward, &EqualEarthInverse, false},
    {kEquidistantCylindrical, &EquidistantCylindricalForward, &EquidistantCylindricalInverse,
     false},
    {kLambertCylindricalEqualArea, &LambertCylindricalEqualAreaForward,
     &LambertCylindricalEqualAreaInverse, false},
    // The further methods, under the generic exports' trap.
    {kLambertConic1SP, &LambertConicForward, &LambertConicInverse, false},
    {kLambertConicWestOrientated, &LambertConicForward, &LambertConicInverse, false},
    {kLambertConic2SPMichigan, &LambertConicForward, &LambertConicInverse, false},
    {kLambertConic2SPBelgium, &LambertConicForward, &LambertConicInverse, false},
    {kLambertConicNearConformal, &LambertNearConformalForward, &LambertNearConformalInverse, false},
    {kTransverseMercatorSouthOrientated, &TransverseMercatorSouthForward,
     &TransverseMercatorSouthInverse, false},
    {kTransverseMercatorZonedGrid, &TransverseMercatorZonedForward, &TransverseMercatorZonedInverse,
     false},
    // Transverse Mercator 3D carries the height across unchanged: in the
    // plane it is the 9807 computation, through its own trapped exports.
    {kTransverseMercator3D, &Through<LATLONTOTM>, &Through<TMTOLATLON>, true},
    {kCassiniSoldner, &CassiniSoldnerForward, &CassiniSoldnerInverse, false},
    {kHyperbolicCassiniSoldner, &CassiniSoldnerForward, &CassiniSoldnerInverse, false},
    {kAmericanPolyconic, &AmericanPolyconicForward, &AmericanPolyconicInverse, false},
    {kBonneSouthOrientated, &BonneSouthForward, &BonneSouthInverse, false},
    // Oblique and special grids.
    {kHotineObliqueMercatorA, &HotineObliqueMercatorForward, &HotineObliqueMercatorInverse, false},
    {kHotineObliqueMercatorB, &HotineObliqueMercatorForward, &HotineObliqueMercatorInverse, false},
    {kLabordeObliqueMercator, &LabordeObliqueMercatorForward, &LabordeObliqueMercatorInverse,
     false},
    {kNewZealandMapGrid, &NewZealandMapGridForward, &NewZealandMapGridInverse, false},
    {kKrovak, &KrovakForward, &KrovakInverse, false},
    {kKrovakNorthOrientated, &KrovakForward, &KrovakInverse, false},
    {kKrovakModified, &KrovakForward, &KrovakInverse, false},
    {kKrovakModifiedNorthOrientated, &KrovakForward, &KrovakInverse, false},
    {kModifiedAzimuthalEquidistant, &ModifiedAzimuthalForward, &ModifiedAzimuthalInverse, false},
    {kGuamProjection, &GuamProjectionForward, &GuamProjectionInverse, false},
    {kColombiaUrban, &ColombiaUrbanForward, &ColombiaUrbanInverse, false},
    {kTunisiaMiningGrid, &TunisiaMiningGridForward, &TunisiaMiningGridInverse, false},
};

}  // namespace

namespace {

// The methods' positions in order of code, for a binary search: a list run
// looks its method up for every point.
constexpr auto kByCode = [] {
  std::array<std::pair<int32_t, size_t>, std::size(kMethods)> byCode{};
  for (size_t i = 0; i < byCode.size(); ++i) byCode[i] = {kMethods[i].code, i};
  std::sort(byCode.begin(), byCode.end());
  return byCode;
}();

}  // namespace

const ProjectionMethod* FindProjectionMethod(int32_t code) {
  const auto found = std::lower_bound(kByCode.begin(), kByCode.end(), code,
                                      [](const auto& entry, int32_t c) { return entry.first < c; });
  return found != kByCode.end() && found->first == code ? &kMethods[found->second] : nullptr;
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
