// Records for the library tests, from published ellipsoid and projection parameters.
#pragma once

#include <cmath>
#include <cstring>

#include "records.h"

inline EllipsoidRecord MakeEllipsoid(double a, double b) {
  EllipsoidRecord e;
  std::memset(&e, 0, sizeof e);
  e.semiMajorAxis = a;
  e.semiMinorAxis = b;
  return e;
}

// b = a (1 - f) for the given inverse flattening.
inline EllipsoidRecord MakeEllipsoidInverseFlattening(double a, double inverseFlattening) {
  return MakeEllipsoid(a, a * (1 - 1 / inverseFlattening));
}

inline EllipsoidRecord Wgs84Ellipsoid() {
  return MakeEllipsoidInverseFlattening(6378137.0, 298.257223563);
}

inline ProjectionRecord MakeProjection(int32_t method, const EllipsoidRecord& e, double k0,
                                       double latitudeOfOrigin, double centralMeridian,
                                       double falseEasting, double falseNorthing,
                                       double firstParallel = 0, double secondParallel = 0) {
  ProjectionRecord p;
  std::memset(&p, 0, sizeof p);
  p.methodCode = method;
  p.semiMajorAxis = e.semiMajorAxis;
  p.semiMinorAxis = e.semiMinorAxis;
  p.scaleFactor = k0;
  p.latitudeOfOrigin = latitudeOfOrigin;
  p.centralMeridian = centralMeridian;
  p.falseEasting = falseEasting;
  p.falseNorthing = falseNorthing;
  p.firstStandardParallel = firstParallel;
  p.secondStandardParallel = secondParallel;
  return p;
}

inline DatumRecord MakeDatum(int32_t method, double tX, double tY, double tZ, double rX = 0,
                             double rY = 0, double rZ = 0, double dS = 0) {
  DatumRecord d;
  std::memset(&d, 0, sizeof d);
  d.methodCode = method;
  d.toCrsCode = kCrsWgs84;
  d.translationX = tX;
  d.translationY = tY;
  d.translationZ = tZ;
  d.rotationX = rX;
  d.rotationY = rY;
  d.rotationZ = rZ;
  d.scaleDifference = dS;
  return d;
}

inline double Dms(double degrees, double minutes, double seconds) {
  const double sign = degrees < 0 ? -1 : 1;
  return sign * (std::abs(degrees) + minutes / 60 + seconds / 3600);
}

constexpr double kArcSecond = 3.14159265358979323846 / 648000;
