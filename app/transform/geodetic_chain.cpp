#include "geodetic_chain.h"

#include <cmath>
#include <cstring>

#include "floating_point_mode.h"
#include "grid_shift.h"
#include "method_table.h"
#include "ostrak32.h"

namespace {

void CopyAxes(CrsSide& side) {
  side.projection.semiMajorAxis = side.ellipsoid.semiMajorAxis;
  side.projection.semiMinorAxis = side.ellipsoid.semiMinorAxis;
}

// Geographic to grid by the projection's method; an unknown method makes no call.
void Forward(const ProjectionRecord& p, double latitude, double longitude, double& easting,
             double& northing) {
  if (!IsSupportedProjectionMethod(p.methodCode)) return;
  LATLONTOGRID(&p, latitude, longitude, &easting, &northing, p.centralMeridian);
  SetComputingFloatingPointMode();
}

}  // namespace

int32_t WgsHopPosition(int32_t toCrsCode) {
  if (toCrsCode == kCrsWgs72be) return kWgs72beDatumPosition;
  if (toCrsCode == kCrsWgs72) return kWgs72DatumPosition;
  return kNoWgsHop;
}

bool IsSupportedProjectionMethod(int32_t methodCode) {
  return FindProjectionMethodEntry(methodCode) != nullptr;
}

const char* LambertParallelProblem(const ProjectionRecord& projection) {
  const double base = projection.latitudeOfOrigin;
  const double first = projection.firstStandardParallel;
  const double second = projection.secondStandardParallel;
  // Zero counts as neither hemisphere.
  if ((first < 0 && second > 0) || (first > 0 && second < 0)) {
    return "Error - First and Second Parallel not in same hemisphere !";
  }
  if ((first > 0 && first > second) || (first < 0 && first < second)) {
    return "Error - First and Second Parallel in wrong order !";
  }
  if (second == first) return "Error - First and Second Parallel are equal !";
  if ((base > 0 && first < 0) || (base < 0 && first > 0)) {
    return "Baseparallel and First Parallel not in same hemisphere !";
  }
  return nullptr;
}

void InverseProjection(CrsSide& start, ChainValues& v) {
  CopyAxes(start);
  const ProjectionRecord& p = start.projection;
  if (!IsSupportedProjectionMethod(p.methodCode)) return;
  GRIDTOLATLON(&p, v.easting, v.northing, &v.latitude, &v.longitude, p.centralMeridian);
  SetComputingFloatingPointMode();
}

double RoundTripMiss(const CrsSide& start, const ChainValues& v) {
  // The start projection holds the ellipsoid's axes since the inverse.
  double easting = v.easting;
  double northing = v.northing;
  Forward(start.projection, v.latitude, v.longitude, easting, northing);
  const long double dE = static_cast<long double>(easting) - v.easting;
  const long double dN = static_cast<long double>(northing) - v.northing;
  return static_cast<double>(std::sqrt(dE * dE + dN * dN));
}

bool TransverseMercatorSurelyComesBack(const CrsSide& start, const ChainValues& v) {
  const ProjectionRecord& p = start.projection;
  if (p.methodCode != kTransverseMercator || !(p.semiMinorAxis >= 0.995 * p.semiMajorAxis)) {
    return false;
  }
  const double fromMeridian = std::remainder(v.longitude - p.centralMeridian, 360.0);
  return std::fabs(v.easting - p.falseEasting) <= 500000 * p.scaleFactor &&
         std::fabs(v.latitude) <= 70 && std::fabs(fromMeridian) <= 5;
}

bool InverseComesBack(const CrsSide& start, const ChainValues& v) {
  // Written so that a NaN anywhere fails.
  return TransverseMercatorSurelyComesBack(start, v) || RoundTripMiss(start, v) <= 1.0;
}

namespace {

// A longitude in degrees brought into -180 to 180.
double WrappedDegrees(long double degrees) {
  if (degrees > 180) degrees -= 360;
  if (degrees < -180) degrees += 360;
  return static_cast<double>(degrees);
}

// The side's longitudes are counted from its own prime meridian.
bool OnOwnMeridian(const CrsSide& side) {
  return side.projection.methodCode == kLongitudeRotation;
}

void SetGridFault(ChainValues& v, const GridShift* shift, int32_t code, double latitude,
                  double longitude) {
  v.gridFault = shift;
  v.gridFaultCode = code;
  v.gridFaultLatitude = latitude;
  v.gridFaultLongitude = longitude;
  v.latitudeTarget = v.longitudeTarget = v.heightTarget = std::nan("");
}

}  // namespace

void RunGeodeticChain(const CrsSide& start, const CrsSide& target, const Catalogues& catalogues,
                      ChainValues& v) {
  v.gridFault = nullptr;
  double longitude = v.longitude;
  if (OnOwnMeridian(start)) {
    longitude =
        WrappedDegrees(static_cast<long double>(longitude) + start.projection.centralMeridian);
  }
  v.phi = static_cast<double>(static_cast<long double>(v.latitude) * RAD_PER_DEGREE);
  v.lambda = static_cast<double>(static_cast<long double>(longitude) * RAD_PER_DEGREE);
  if (v.lambda > PI) v.lambda = static_cast<double>(v.lambda - 2 * static_cast<long double>(PI));

  // The same system on both sides: the full name fields compared exactly.
  const bool sameSystem =
      std::memcmp(start.datum.name, target.datum.name, sizeof start.datum.name) == 0 &&
      std::memcmp(start.ellipsoid.name, target.ellipsoid.name, sizeof start.ellipsoid.name) == 0;
  bool targetGridDone = false;
  if (sameSystem) {
    v.phiTarget = v.phi;
    v.lambdaTarget = v.lambda;
    v.heightTarget = v.height;
  } else {
    const EllipsoidRecord* startEllipsoid = &start.ellipsoid;
    const DatumRecord* startDatum = &start.datum;
    if (const GridShift* grid = start.gridShift) {
      // Through the grid to its datum, then on from there.
      const double from = WrappedDegrees(longitude);
      double latitude = 0;
      double shifted = 0;
      if (const int32_t code = ShiftByGrid(*grid, false, v.latitude, from, latitude, shifted);
          code != OSTRAK_GRID_SHIFTED) {
        SetGridFault(v, grid, code, v.latitude, from);
        return;
      }
      v.phi = static_cast<double>(static_cast<long double>(latitude) * RAD_PER_DEGREE);
      v.lambda = static_cast<double>(static_cast<long double>(shifted) * RAD_PER_DEGREE);
      startEllipsoid = &grid->ellipsoid;
      startDatum = &grid->onward;
    }
    const EllipsoidRecord* targetEllipsoid = &target.ellipsoid;
    const DatumRecord* targetDatum = &target.datum;
    if (const GridShift* grid = target.gridShift) {
      targetEllipsoid = &grid->ellipsoid;
      targetDatum = &grid->onward;
    }
    CONVERTLATLONTOXYZ(v.phi, v.lambda, v.height, &v.x, &v.y, &v.z, startEllipsoid);
    SetComputingFloatingPointMode();
    STARTTOWGS84(&v.x84, &v.y84, &v.z84, v.x, v.y, v.z, startDatum);
    SetComputingFloatingPointMode();
    if (const int32_t hop = WgsHopPosition(startDatum->toCrsCode); hop != kNoWgsHop) {
      STARTTOWGS84(&v.x84, &v.y84, &v.z84, v.x84, v.y84, v.z84, &catalogues.Datum(hop));
      SetComputingFloatingPointMode();
    }
    if (const int32_t hop = WgsHopPosition(targetDatum->toCrsCode); hop != kNoWgsHop) {
      WGS84TOTARGET(&v.x84, &v.y84, &v.z84, v.x84, v.y84, v.z84, &catalogues.Datum(hop));
      SetComputingFloatingPointMode();
    }
    WGS84TOTARGET(&v.xTarget, &v.yTarget, &v.zTarget, v.x84, v.y84, v.z84, targetDatum);
    SetComputingFloatingPointMode();
    CONVERTXYZTOLATLON(v.xTarget, v.yTarget, v.zTarget, v.phi, &v.phiTarget, &v.lambdaTarget,
                       &v.heightTarget, targetEllipsoid);
    SetComputingFloatingPointMode();
    if (const GridShift* grid = target.gridShift) {
      // Back through the grid from its datum to the target datum.
      const double latitude =
          static_cast<double>(v.phiTarget / static_cast<long double>(RAD_PER_DEGREE));
      const double from =
          static_cast<double>(v.lambdaTarget / static_cast<long double>(RAD_PER_DEGREE));
      if (const int32_t code =
              ShiftByGrid(*grid, true, latitude, from, v.latitudeTarget, v.longitudeTarget);
          code != OSTRAK_GRID_SHIFTED) {
        SetGridFault(v, grid, code, latitude, from);
        return;
      }
      targetGridDone = true;
    }
  }
  if (!targetGridDone) {
    v.latitudeTarget = static_cast<double>(v.phiTarget / static_cast<long double>(RAD_PER_DEGREE));
    v.longitudeTarget =
        static_cast<double>(v.lambdaTarget / static_cast<long double>(RAD_PER_DEGREE));
  }
  if (OnOwnMeridian(target)) {
    v.longitudeTarget = WrappedDegrees(static_cast<long double>(v.longitudeTarget) -
                                       target.projection.centralMeridian);
  }
}

void ForwardProjection(CrsSide& target, ChainValues& v) {
  CopyAxes(target);
  Forward(target.projection, v.latitudeTarget, v.longitudeTarget, v.eastingTarget,
          v.northingTarget);
}
