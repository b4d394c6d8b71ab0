// Sides, catalogues and files for the transformation tests, from published parameters.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "catalogue.h"
#include "fixed_text.h"
#include "program_state.h"
#include "temp_folder.h"

inline EllipsoidRecord Ellipsoid(const char* name, double a, double inverseFlattening) {
  EllipsoidRecord e;
  std::memset(&e, 0, sizeof e);
  SetFixedField(e.name, name);
  e.semiMajorAxis = a;
  e.semiMinorAxis = a * (1 - 1 / inverseFlattening);
  return e;
}

inline EllipsoidRecord Airy1830() {
  return Ellipsoid("Airy 1830", 6377563.396, 299.3249646);
}
inline EllipsoidRecord Wgs84Ellipsoid() {
  return Ellipsoid("WGS 84", 6378137.0, 298.257223563);
}
inline EllipsoidRecord Bessel1841() {
  return Ellipsoid("Bessel 1841", 6377397.155, 299.1528128);
}
inline EllipsoidRecord Clarke1866() {
  EllipsoidRecord e = Ellipsoid("Clarke 1866", 6378206.4, 300);
  e.semiMinorAxis = 6356583.8;
  return e;
}

inline DatumRecord Datum(const char* name, int32_t method, double tX, double tY, double tZ,
                         int32_t toCrs = kCrsWgs84) {
  DatumRecord d;
  std::memset(&d, 0, sizeof d);
  SetFixedField(d.name, name);
  d.methodCode = method;
  d.toCrsCode = toCrs;
  d.translationX = tX;
  d.translationY = tY;
  d.translationZ = tZ;
  return d;
}

inline ProjectionRecord Projection(const char* name, int32_t method, double k0, double lat0,
                                   double lon0, double fe, double fn, double p1 = 0,
                                   double p2 = 0) {
  ProjectionRecord p;
  std::memset(&p, 0, sizeof p);
  SetFixedField(p.name, name);
  p.methodCode = method;
  p.scaleFactor = k0;
  p.latitudeOfOrigin = lat0;
  p.centralMeridian = lon0;
  p.falseEasting = fe;
  p.falseNorthing = fn;
  p.firstStandardParallel = p1;
  p.secondStandardParallel = p2;
  return p;
}

inline ProjectionRecord NoProjection() {
  return Projection("none", 0, 0, 0, 0, 0, 0);
}

inline ProjectionRecord BritishNationalGrid() {
  return Projection("OSGB36 / British National Grid", kTransverseMercator, 0.9996012717, 49, -2,
                    400000, -100000);
}
inline ProjectionRecord RdNew() {
  return Projection("Amersfoort / RD New", kObliqueStereographic, 0.9999079, 52.1561605556,
                    5.3876388889, 155000, 463000);
}
inline ProjectionRecord TexasSouthCentral() {
  return Projection("NAD27 / Texas South Central", kLambertConic2SP, 1, 27.8333333333, -99,
                    609601.2192, 0, 28.3833333333, 30.2833333333);
}
inline ProjectionRecord Utm31() {
  return Projection("WGS 84 / UTM zone 31N", kTransverseMercator, 0.9996, 0, 3, 500000, 0);
}

inline CrsSide Side(const ProjectionRecord& p, const DatumRecord& d, const EllipsoidRecord& e) {
  CrsSide side;
  std::memset(static_cast<void*>(&side), 0, sizeof side);
  side.projection = p;
  side.datum = d;
  side.ellipsoid = e;
  side.unitsAndFormats = DefaultUnitsAndFormats();
  return side;
}

inline std::unique_ptr<Catalogues> EmptyCatalogues() {
  return std::make_unique<Catalogues>();
}
