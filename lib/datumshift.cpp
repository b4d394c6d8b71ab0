// Datum shifts between a local datum and WGS 84 (EPSG guidance: geocentric
// translations 9603, Helmert position vector 9606, Helmert coordinate frame
// 9607). The reverse shift reverses the sense of the same parameters: it
// subtracts the rotation products formed from the WGS 84 coordinates, divides
// by the scale and subtracts the translation last, so it is not the exact
// inverse of the forward shift.
//
// In the Helmert steps the rotation product goes through the output first
// (rounded to double) and is read back for the final value.
#include "internal.h"
#include "ostrak32.h"

using ostrak::Real;

namespace {

struct ShiftParameters {
  Real tX, tY, tZ, rX, rY, rZ;
};

ShiftParameters Parameters(const DatumRecord& d) {
  return {d.translationX, d.translationY, d.translationZ, d.rotationX, d.rotationY, d.rotationZ};
}

// The sense of the rotation terms: the position vector convention rotates the
// point, the coordinate frame convention the axes, so its terms change sign.
Real RotationSense(int32_t method) {
  return method == kCoordinateFrame ? -1 : 1;
}

// The rotation step of a Helmert shift: the small-angle rotation products of
// (X, Y, Z), each stored through its output as the algorithm stores it.
// Negating every angle negates each product exactly, so both conventions
// share this one step.
void StoreRotationProducts(double* xOut, double* yOut, double* zOut, Real X, Real Y, Real Z,
                           const ShiftParameters& p, Real sense) {
  const Real rX = sense * p.rX;
  const Real rY = sense * p.rY;
  const Real rZ = sense * p.rZ;
  *xOut = static_cast<double>(Z * rY - Y * rZ);
  *yOut = static_cast<double>(X * rZ - Z * rX);
  *zOut = static_cast<double>(Y * rX - X * rY);
}

bool IsHelmert(int32_t method) {
  return method == kPositionVector || method == kCoordinateFrame;
}

// Towards WGS 84 the shift adds its terms and multiplies by the scale; away
// from it the same terms are subtracted and the scale divides.
constexpr Real kTowardsWgs84 = 1;
constexpr Real kAwayFromWgs84 = -1;

void Shift(double* xOut, double* yOut, double* zOut, double x, double y, double z,
           const DatumRecord& datum, Real direction) {
  const ShiftParameters p = Parameters(datum);
  const Real X = x;
  const Real Y = y;
  const Real Z = z;
  const int32_t method = datum.methodCode;
  if (method == kGeocentricTranslations) {
    *xOut = static_cast<double>(X + direction * p.tX);
    *yOut = static_cast<double>(Y + direction * p.tY);
    *zOut = static_cast<double>(Z + direction * p.tZ);
  } else if (IsHelmert(method)) {
    const Real scale = direction == kTowardsWgs84
                           ? static_cast<double>(datum.scaleDifference + 1.0L)
                           : static_cast<double>(1 / (datum.scaleDifference + 1.0L));
    StoreRotationProducts(xOut, yOut, zOut, X, Y, Z, p, RotationSense(method));
    *xOut = static_cast<double>(scale * (X + direction * *xOut) + direction * p.tX);
    *yOut = static_cast<double>(scale * (Y + direction * *yOut) + direction * p.tY);
    *zOut = static_cast<double>(scale * (Z + direction * *zOut) + direction * p.tZ);
  }
}

}  // namespace

extern "C" void STARTTOWGS84(double* xShifted, double* yShifted, double* zShifted, double x,
                             double y, double z, const DatumRecord* datum) {
  ostrak::LibraryErrorTrap trap("STARTTOWGS84");
  Shift(xShifted, yShifted, zShifted, x, y, z, *datum, kTowardsWgs84);
}

extern "C" void WGS84TOTARGET(double* xLocal, double* yLocal, double* zLocal, double x, double y,
                              double z, const DatumRecord* datum) {
  ostrak::LibraryErrorTrap trap("WGS84TOTARGET");
  Shift(xLocal, yLocal, zLocal, x, y, z, *datum, kAwayFromWgs84);
}
