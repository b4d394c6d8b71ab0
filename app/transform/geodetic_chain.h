// The chain of library calls shared by point and list mode: start grid ->
// start geographic -> start geocentric -> WGS 84 (with an optional hop through
// WGS 72 or WGS 72BE) -> target geocentric -> target geographic -> target grid.
#pragma once

#include "catalogue.h"
#include "program_state.h"

// The working values of one point. In list mode they carry over from one line
// to the next, so a value that a library call leaves unwritten keeps the
// previous line's.
struct ChainValues {
  double easting = 0, northing = 0;                          // start grid, metres
  double latitude = 0, longitude = 0, height = 0;            // start geographic, degrees, metres
  double phi = 0, lambda = 0;                                // start, radians
  double x = 0, y = 0, z = 0;                                // start datum, geocentric
  double x84 = 0, y84 = 0, z84 = 0;                          // WGS 84, geocentric
  double xTarget = 0, yTarget = 0, zTarget = 0;              // target datum, geocentric
  double phiTarget = 0, lambdaTarget = 0, heightTarget = 0;  // radians, metres
  double latitudeTarget = 0, longitudeTarget = 0;            // degrees
  double eastingTarget = 0, northingTarget = 0;              // target grid, metres
  // A point that could not go through a side's grid: that grid (else null),
  // the OSTRAK_GRID_* code, and the point on the datum it was shifted from,
  // degrees. The target values are then NaN.
  const GridShift* gridFault = nullptr;
  int32_t gridFaultCode = 0;
  double gridFaultLatitude = 0, gridFaultLongitude = 0;
};

// The library computes the method (LATLONTOGRID and GRIDTOLATLON), and the
// program knows EPSG's names of it and its parameters.
bool IsSupportedProjectionMethod(int32_t methodCode);

// The catalogue position of the shift from WGS 72 or WGS 72BE to WGS 84, for a
// datum whose own shift leads there; kNoWgsHop for any other code.
inline constexpr int32_t kNoWgsHop = 0;
int32_t WgsHopPosition(int32_t toCrsCode);

// The first failing check of a Lambert definition's parallels, or nullptr.
const char* LambertParallelProblem(const ProjectionRecord& projection);

// Grid to geographic on the start side by its projection method (easting and
// northing in metres to latitude and longitude in degrees); an unknown method
// makes no call. The side's ellipsoid axes are copied into its projection first.
void InverseProjection(CrsSide& start, ChainValues& v);

// The grid coordinates that InverseProjection turned into latitude and
// longitude come back from them by the forward projection, within 1 m. Far
// outside a projection's area its series no longer agree (a wrong point that
// looks right) or give no number at all; a point at a zone's edge comes back.
bool InverseComesBack(const CrsSide& start, const ChainValues& v);

// How far the forward projection of the latitude and longitude lands from
// the grid coordinates, metres (NaN where it gives no number).
double RoundTripMiss(const CrsSide& start, const ChainValues& v);

// Where the Transverse Mercator series come back for certain, so that the
// round trip need not be computed: within 500 km (times k0) of the false
// easting, up to latitude 70 and 5 degrees of longitude from the central
// meridian, on an ellipsoid no flatter than 1/200. A sweep of that whole zone
// (bench/lib/tm_round_trip_sweep: every 250 m east by 500 m north, both
// hemispheres, a from 6.2e6 to 6.5e6 m, flattening 1/1000 to 1/250) finds
// the forward of the inverse within 0.014 m of every point. Beyond the zone it
// may not: near the poles or far from the meridian the inverse series can
// give a latitude and longitude in range that lead thousands of km away.
bool TransverseMercatorSurelyComesBack(const CrsSide& start, const ChainValues& v);

// Geographic start to geographic target: the longitude wrap, the same-system
// shortcut, and the library calls through WGS 84. A side on its own prime
// meridian has its longitudes turned to and from Greenwich; a side whose
// datum shifts by grid goes through its grid (made ready by
// PrepareGridShift) in the geographic domain and on by the grid datum's
// shift. A point outside a grid sets gridFault.
void RunGeodeticChain(const CrsSide& start, const CrsSide& target, const Catalogues& catalogues,
                      ChainValues& v);

// Geographic to grid on the target side by its projection method.
void ForwardProjection(CrsSide& target, ChainValues& v);
