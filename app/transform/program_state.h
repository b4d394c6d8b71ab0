// Program-wide state that the transformation reads: the two sides, the
// constants set at start-up, the mode, and the four list-file names.
#pragma once

#include <cstdint>
#include <string>

#include "records.h"
#include "units.h"

struct GridShift;

// One side of a transformation: copies of the chosen catalogue records and the
// side's units and formats.
struct CrsSide {
  ProjectionRecord projection;  // named "none" for geographic coordinates
  DatumRecord datum;
  EllipsoidRecord ellipsoid;
  UnitsAndFormats unitsAndFormats;
  // The datum's grid shift, made ready before each transformation
  // (PrepareGridShift); null for a datum that shifts by parameters.
  const GridShift* gridShift;
};

extern CrsSide startSide;
extern CrsSide targetSide;

// 3.14159265358979 as written (not full-precision pi), and PI / 180.
extern double PI;
extern double RAD_PER_DEGREE;

// 1 in point mode, 0 in list mode.
extern int32_t pointMode;

// The list files of the four list pages, as last chosen or used.
extern std::string startProjListFile;
extern std::string startSysListFile;
extern std::string targetProjListFile;
extern std::string targetSysListFile;

inline constexpr double kProgramPi = 3.14159265358979;

// Sets PI and RAD_PER_DEGREE.
void SetProgramConstants();

// Both sides as the main window starts them: projection empty but for its
// name "none", datum and ellipsoid empty, default units and formats.
void ResetSides();

// A projection whose name, without its blanks, is "none" stands for
// geographic coordinates; so does a longitude rotation (EPSG 9601), a
// geographic system whose longitudes are counted from the prime meridian at
// its centralMeridian (degrees east of Greenwich).
bool IsGeographic(const ProjectionRecord& projection);

// Only "none": longitudes from Greenwich.
bool IsGreenwichGeographic(const ProjectionRecord& projection);
