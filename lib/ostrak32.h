/* Ostrak32: the coordinate transformation library.
 *
 * Plain C interface. Inputs by value as double; results through distinct
 * double pointers; catalogue records by pointer, only read. Angles are radians
 * for the geodetic/geocentric pair and decimal degrees for the projections;
 * lengths are metres. */
#ifndef OSTRAK32_H
#define OSTRAK32_H

#include <stdint.h>

#include "ostrak32_records.h"

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32) && defined(OSTRAK32_BUILD)
#define OSTRAK32_API /* exported by the module-definition file */
#elif defined(_WIN32)
#define OSTRAK32_API __declspec(dllimport)
#elif defined(OSTRAK32_BUILD)
#define OSTRAK32_API __attribute__((visibility("default")))
#else
#define OSTRAK32_API
#endif

/* Geodetic latitude, longitude (radians), height (m) to geocentric X, Y, Z. */
OSTRAK32_API void CONVERTLATLONTOXYZ(double latitude, double longitude, double height, double* x,
                                     double* y, double* z, const EllipsoidRecord* ellipsoid);

/* Geocentric X, Y, Z to latitude, longitude (radians) and height, iterating
 * from startLatitude. On the polar axis the longitude is left as it was. */
OSTRAK32_API void CONVERTXYZTOLATLON(double x, double y, double z, double startLatitude,
                                     double* latitude, double* longitude, double* height,
                                     const EllipsoidRecord* ellipsoid);

/* Local datum to WGS 84 (or to the CRS the record's parameters lead to). */
OSTRAK32_API void STARTTOWGS84(double* xShifted, double* yShifted, double* zShifted, double x,
                               double y, double z, const DatumRecord* datum);

/* WGS 84 to the local datum of the record. */
OSTRAK32_API void WGS84TOTARGET(double* xLocal, double* yLocal, double* zLocal, double x, double y,
                                double z, const DatumRecord* datum);

/* Transverse Mercator (EPSG 9807). */
OSTRAK32_API void LATLONTOTM(const ProjectionRecord* projection, double latitude, double longitude,
                             double* easting, double* northing, double centralMeridian);
OSTRAK32_API void TMTOLATLON(const ProjectionRecord* projection, double easting, double northing,
                             double* latitude, double* longitude, double centralMeridian);

/* Lambert Conic Conformal with two standard parallels (EPSG 9802). */
OSTRAK32_API void LATLONTOLCC(const ProjectionRecord* projection, double latitude, double longitude,
                              double* easting, double* northing, double centralMeridian);
OSTRAK32_API void LCCTOLATLON(const ProjectionRecord* projection, double easting, double northing,
                              double* latitude, double* longitude, double centralMeridian);

/* Oblique Stereographic (EPSG 9809). */
OSTRAK32_API void LATLONTOOST(const ProjectionRecord* projection, double latitude, double longitude,
                              double* easting, double* northing, double centralMeridian);
OSTRAK32_API void OSTTOLATLON(const ProjectionRecord* projection, double easting, double northing,
                              double* latitude, double* longitude, double centralMeridian);

/* Any projection record, computed by its methodCode: the three above (the
 * same results as their own exports) and the further EPSG methods the
 * library computes. Which record field carries which EPSG parameter is
 * listed per method below. An unknown method code, or a point where the
 * method is undefined, gives NaN results. Results for 9819 and 1042 (Krovak,
 * south orientated) are the westing and southing, in that order.
 *
 * Fields of the further methods (angles in degrees, lengths in metres; the
 * separate centralMeridian argument is the longitude named here): */
/* clang-format off */
/*
 *   9822 Albers Equal Area: latitudeOfOrigin = latitude of false origin, centralMeridian =
 *       longitude of false origin, firstStandardParallel = latitude of 1st standard parallel,
 *       secondStandardParallel = latitude of 2nd standard parallel, falseEasting = easting at
 *       false origin, falseNorthing = northing at false origin
 *   9818 American Polyconic: latitudeOfOrigin = latitude of natural origin, centralMeridian =
 *       longitude of natural origin, falseEasting, falseNorthing; scaleFactor unused (1)
 *   9828 Bonne (South Orientated): latitudeOfOrigin = latitude of natural origin,
 *       centralMeridian = longitude of natural origin, falseEasting, falseNorthing (the
 *       westing and southing at the natural origin); scaleFactor unused (1)
 *   9806 Cassini-Soldner: latitudeOfOrigin = latitude of natural origin, centralMeridian =
 *       longitude of natural origin, falseEasting, falseNorthing; scaleFactor unused (1)
 *   1052 Colombia Urban: latitudeOfOrigin = latitude of natural origin, centralMeridian =
 *       longitude of natural origin, falseEasting, falseNorthing, firstStandardParallel =
 *       projection plane origin height (metres); scaleFactor unused (1)
 *   1078 Equal Earth: centralMeridian = longitude of natural origin, falseEasting,
 *       falseNorthing
 *   1028 Equidistant Cylindrical: firstStandardParallel = latitude of 1st standard parallel,
 *       centralMeridian = longitude of natural origin, falseEasting, falseNorthing
 *   9831 Guam Projection: latitudeOfOrigin = latitude of natural origin, centralMeridian =
 *       longitude of natural origin, falseEasting, falseNorthing; scaleFactor unused (1)
 *   9812 Hotine Oblique Mercator (variant A): latitudeOfOrigin = latitude of projection
 *       centre, centralMeridian = longitude of projection centre, scaleFactor = scale factor
 *       on initial line, falseEasting, falseNorthing, firstStandardParallel = azimuth of
 *       initial line, secondStandardParallel = angle from rectified to skew grid
 *   9815 Hotine Oblique Mercator (variant B): latitudeOfOrigin = latitude of projection
 *       centre, centralMeridian = longitude of projection centre, scaleFactor = scale factor
 *       on initial line, falseEasting = easting at projection centre, falseNorthing =
 *       northing at projection centre, firstStandardParallel = azimuth of initial line,
 *       secondStandardParallel = angle from rectified to skew grid
 *   9833 Hyperbolic Cassini-Soldner: latitudeOfOrigin = latitude of natural origin,
 *       centralMeridian = longitude of natural origin, falseEasting, falseNorthing;
 *       scaleFactor unused (1)
 *   1041 Krovak (North Orientated): latitudeOfOrigin = latitude of projection centre,
 *       centralMeridian = longitude of origin, scaleFactor = scale factor on pseudo standard
 *       parallel, falseEasting, falseNorthing, firstStandardParallel = co-latitude of cone
 *       axis, secondStandardParallel = latitude of pseudo standard parallel
 *   1043 Krovak Modified (North Orientated): latitudeOfOrigin = latitude of projection
 *       centre, centralMeridian = longitude of origin, scaleFactor = scale factor on pseudo
 *       standard parallel, falseEasting, falseNorthing, firstStandardParallel = co-latitude
 *       of cone axis, secondStandardParallel = latitude of pseudo standard parallel; the
 *       evaluation point and C1 to C10 are constants of the method
 *   1042 Krovak Modified: latitudeOfOrigin = latitude of projection centre, centralMeridian =
 *       longitude of origin, scaleFactor = scale factor on pseudo standard parallel,
 *       falseEasting, falseNorthing, firstStandardParallel = co-latitude of cone axis,
 *       secondStandardParallel = latitude of pseudo standard parallel; the evaluation point
 *       and C1 to C10 are constants of the method
 *   9819 Krovak: latitudeOfOrigin = latitude of projection centre, centralMeridian =
 *       longitude of origin, scaleFactor = scale factor on pseudo standard parallel,
 *       falseEasting, falseNorthing, firstStandardParallel = co-latitude of cone axis,
 *       secondStandardParallel = latitude of pseudo standard parallel
 *   9813 Laborde Oblique Mercator: latitudeOfOrigin = latitude of projection centre,
 *       centralMeridian = longitude of projection centre, scaleFactor = scale factor on
 *       initial line, falseEasting, falseNorthing, firstStandardParallel = azimuth of initial
 *       line
 *   1027 Lambert Azimuthal Equal Area (Spherical): latitudeOfOrigin = latitude of natural
 *       origin, centralMeridian = longitude of natural origin, falseEasting, falseNorthing
 *   9820 Lambert Azimuthal Equal Area: latitudeOfOrigin = latitude of natural origin,
 *       centralMeridian = longitude of natural origin, falseEasting, falseNorthing
 *   9801 Lambert Conic Conformal (1SP): latitudeOfOrigin = latitude of natural origin,
 *       centralMeridian = longitude of natural origin, scaleFactor = scale factor at natural
 *       origin, falseEasting, falseNorthing
 *   9803 Lambert Conic Conformal (2SP Belgium): latitudeOfOrigin = latitude of false origin,
 *       centralMeridian = longitude of false origin, firstStandardParallel = latitude of 1st
 *       standard parallel, secondStandardParallel = latitude of 2nd standard parallel,
 *       falseEasting = easting at false origin, falseNorthing = northing at false origin,
 *       scaleFactor unused (1)
 *   1051 Lambert Conic Conformal (2SP Michigan): latitudeOfOrigin = latitude of false origin,
 *       centralMeridian = longitude of false origin, firstStandardParallel = latitude of 1st
 *       standard parallel, secondStandardParallel = latitude of 2nd standard parallel,
 *       falseEasting = easting at false origin, falseNorthing = northing at false origin,
 *       scaleFactor = ellipsoid scaling factor
 *   9826 Lambert Conic Conformal (West Orientated): latitudeOfOrigin = latitude of natural
 *       origin, centralMeridian = longitude of natural origin, scaleFactor = scale factor at
 *       natural origin, falseEasting, falseNorthing (eastings increase westwards)
 *   9817 Lambert Conic Near-Conformal: latitudeOfOrigin = latitude of natural origin,
 *       centralMeridian = longitude of natural origin, scaleFactor = scale factor at natural
 *       origin, falseEasting, falseNorthing
 *   9835 Lambert Cylindrical Equal Area: firstStandardParallel = latitude of 1st standard
 *       parallel, centralMeridian = longitude of natural origin, falseEasting, falseNorthing
 *   9804 Mercator (variant A): latitudeOfOrigin = latitude of natural origin (0),
 *       centralMeridian = longitude of natural origin, scaleFactor = scale factor at natural
 *       origin, falseEasting, falseNorthing
 *   9805 Mercator (variant B): firstStandardParallel = latitude of 1st standard parallel,
 *       centralMeridian = longitude of natural origin, falseEasting, falseNorthing
 *   9832 Modified Azimuthal Equidistant: latitudeOfOrigin = latitude of natural origin,
 *       centralMeridian = longitude of natural origin, falseEasting, falseNorthing;
 *       scaleFactor unused (1)
 *   9811 New Zealand Map Grid: latitudeOfOrigin = latitude of natural origin, centralMeridian
 *       = longitude of natural origin, scaleFactor = 1 (unused), falseEasting, falseNorthing
 *   9810 Polar Stereographic (variant A): latitudeOfOrigin = latitude of natural origin (90
 *       or -90), centralMeridian = longitude of natural origin, scaleFactor = scale factor at
 *       natural origin, falseEasting, falseNorthing
 *   9829 Polar Stereographic (variant B): firstStandardParallel = latitude of standard
 *       parallel, centralMeridian = longitude of origin, falseEasting, falseNorthing
 *   9830 Polar Stereographic (variant C): firstStandardParallel = latitude of standard
 *       parallel, centralMeridian = longitude of origin, falseEasting = easting at false
 *       origin, falseNorthing = northing at false origin
 *   1024 Popular Visualisation Pseudo Mercator: latitudeOfOrigin = latitude of natural origin
 *       (0), centralMeridian = longitude of natural origin, falseEasting, falseNorthing
 *   9808 Transverse Mercator (South Orientated): latitudeOfOrigin = latitude of natural
 *       origin, centralMeridian = longitude of natural origin, scaleFactor = scale factor at
 *       natural origin, falseEasting, falseNorthing (the westing and southing at the natural
 *       origin)
 *   1111 Transverse Mercator 3D: latitudeOfOrigin = latitude of natural origin,
 *       centralMeridian = longitude of natural origin, scaleFactor = scale factor at natural
 *       origin, falseEasting, falseNorthing
 *   9824 Transverse Mercator Zoned Grid System: latitudeOfOrigin = latitude of natural
 *       origin, centralMeridian = initial longitude, firstStandardParallel = zone width,
 *       scaleFactor = scale factor at natural origin, falseEasting, falseNorthing
 *   9816 Tunisia Mining Grid: latitudeOfOrigin = latitude of false origin, centralMeridian =
 *       longitude of false origin, falseEasting = easting at false origin, falseNorthing =
 *       northing at false origin; scaleFactor unused (1)
 */
/* clang-format on */
OSTRAK32_API void LATLONTOGRID(const ProjectionRecord* projection, double latitude,
                               double longitude, double* easting, double* northing,
                               double centralMeridian);
OSTRAK32_API void GRIDTOLATLON(const ProjectionRecord* projection, double easting, double northing,
                               double* latitude, double* longitude, double centralMeridian);

/* Datum shifts by grid, in the geographic domain: NTv2 (EPSG 9615), one
 * file, and NADCON (EPSG 9613), a pair of files from the US National
 * Geodetic Survey, .las (latitude shifts) and .los (longitude shifts). A
 * grid is the bytes of its file as the program read or mapped them, with
 * their length; the library reads nothing else and keeps nothing between
 * calls. Latitudes and longitudes in decimal degrees, east positive; forward
 * from the grid's source datum to its target, reverse (reverse != 0) back,
 * iterated until the change is below 1e-12 degree. Each returns one of the
 * OSTRAK_GRID_* codes; the shifted point is written only with
 * OSTRAK_GRID_SHIFTED. The checks write a short reason for a damaged grid
 * into reason (reasonSize bytes, terminated), empty otherwise.
 *
 * GRIDEXTENT gives the box a grid covers, in degrees, east positive: for
 * 9615 that of the NTv2 file's top-level sub-grids (grid2 is not read and may
 * be null), for 9613 the lattice of the .las (grid) and .los (grid2) pair.
 * It returns OSTRAK_GRID_SHIFTED, or OSTRAK_GRID_DAMAGED for a grid that its
 * check refuses or an unknown method code, and writes the box only with
 * OSTRAK_GRID_SHIFTED. */
#define OSTRAK_GRID_SHIFTED 0   /* the point lies in the grid and was shifted */
#define OSTRAK_GRID_OUTSIDE 1   /* the point lies outside every (sub-)grid */
#define OSTRAK_GRID_DAMAGED 2   /* the bytes are no usable grid of the format */
#define OSTRAK_GRID_UNSETTLED 3 /* the reverse did not settle */

OSTRAK32_API int32_t CHECKNTV2(const void* grid, int64_t length, char* reason, int32_t reasonSize);
OSTRAK32_API int32_t NTV2SHIFT(const void* grid, int64_t length, double latitude, double longitude,
                               int32_t reverse, double* latitudeShifted, double* longitudeShifted);
OSTRAK32_API int32_t CHECKNADCON(const void* latitudeGrid, int64_t latitudeLength,
                                 const void* longitudeGrid, int64_t longitudeLength, char* reason,
                                 int32_t reasonSize);
OSTRAK32_API int32_t NADCONSHIFT(const void* latitudeGrid, int64_t latitudeLength,
                                 const void* longitudeGrid, int64_t longitudeLength,
                                 double latitude, double longitude, int32_t reverse,
                                 double* latitudeShifted, double* longitudeShifted);
OSTRAK32_API int32_t GRIDEXTENT(int32_t methodCode, const void* grid, int64_t length,
                                const void* grid2, int64_t length2, double* south, double* west,
                                double* north, double* east);

/* Load and unload notification; sets PI and returns 1. */
OSTRAK32_API int32_t LIBMAIN(void* instance, int32_t reason, void* reserved);

#ifdef __cplusplus
}
#endif

#endif
