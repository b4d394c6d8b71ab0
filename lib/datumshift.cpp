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

constexpr int32_t kGeocentricTranslations = 9603;
constexpr int32_t kPositionVector = 9606;
constexpr int32_t kCoordinateFrame = 9607;

struct ShiftParameters {
  Real tX, tY, tZ, rX, rY, rZ;
};

ShiftParameters Parameters(const DatumRecord& d) {
  return {d.translationX, d.translationY, d.translationZ, d.rotationX, d.rotationY, d.rotationZ};
}

}  // namespace

extern "C" void STARTTOWGS84(double* xShifted, double* yShifted, double* zShifted, double x,
                             double y, double z, const DatumRecord* datum) {
  using namespace ostrak;
  LibraryErrorTrap trap("STARTTOWGS84");
  const auto [tX, tY, tZ, rX, rY, rZ] = Parameters(*datum);
  const Real X = x;
  const Real Y = y;
  const Real Z = z;
  const int32_t method = datum->methodCode;
  if (method == kGeocentricTranslations) {
    *xShifted = static_cast<double>(tX + X);
    *yShifted = static_cast<double>(tY + Y);
    *zShifted = static_cast<double>(tZ + Z);
  } else if (method == kPositionVector) {
    const Real M = static_cast<double>(datum->scaleDifference + 1.0L);
    *xShifted = static_cast<double>(Z * rY - Y * rZ);
    *xShifted = static_cast<double>(M * (*xShifted + X) + tX);
    *yShifted = static_cast<double>(X * rZ - Z * rX);
    *yShifted = static_cast<double>(M * (*yShifted + Y) + tY);
    *zShifted = static_cast<double>(Y * rX - X * rY);
    *zShifted = static_cast<double>(M * (*zShifted + Z) + tZ);
  } else if (method == kCoordinateFrame) {
    const Real M = static_cast<double>(datum->scaleDifference + 1.0L);
    *xShifted = static_cast<double>(Y * rZ - Z * rY);
    *xShifted = static_cast<double>(M * (*xShifted + X) + tX);
    *yShifted = static_cast<double>(Z * rX - X * rZ);
    *yShifted = static_cast<double>(M * (*yShifted + Y) + tY);
    *zShifted = static_cast<double>(X * rY - Y * rX);
    *zShifted = static_cast<double>(M * (*zShifted + Z) + tZ);
  }
}

extern "C" void WGS84TOTARGET(double* xLocal, double* yLocal, double* zLocal, double x, double y,
                              double z, const DatumRecord* datum) {
  using namespace ostrak;
  LibraryErrorTrap trap("WGS84TOTARGET");
  const auto [tX, tY, tZ, rX, rY, rZ] = Parameters(*datum);
  const Real X = x;
  const Real Y = y;
  const Real Z = z;
  const int32_t method = datum->methodCode;
  if (method == kGeocentricTranslations) {
    *xLocal = static_cast<double>(X - tX);
    *yLocal = static_cast<double>(Y - tY);
    *zLocal = static_cast<double>(Z - tZ);
  } else if (method == kPositionVector) {
    const Real s = static_cast<double>(1 / (datum->scaleDifference + 1.0L));
    *xLocal = static_cast<double>(Z * rY - Y * rZ);
    *xLocal = static_cast<double>(s * (X - *xLocal) - tX);
    *yLocal = static_cast<double>(X * rZ - Z * rX);
    *yLocal = static_cast<double>(s * (Y - *yLocal) - tY);
    *zLocal = static_cast<double>(Y * rX - X * rY);
    *zLocal = static_cast<double>(s * (Z - *zLocal) - tZ);
  } else if (method == kCoordinateFrame) {
    const Real s = static_cast<double>(1 / (datum->scaleDifference + 1.0L));
    *xLocal = static_cast<double>(Y * rZ - Z * rY);
    *xLocal = static_cast<double>(s * (X - *xLocal) - tX);
    *yLocal = static_cast<double>(Z * rX - X * rZ);
    *yLocal = static_cast<double>(s * (Y - *yLocal) - tY);
    *zLocal = static_cast<double>(X * rY - Y * rX);
    *zLocal = static_cast<double>(s * (Z - *zLocal) - tZ);
  }
}
