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
 * method is undefined, gives NaN results. */
OSTRAK32_API void LATLONTOGRID(const ProjectionRecord* projection, double latitude,
                               double longitude, double* easting, double* northing,
                               double centralMeridian);
OSTRAK32_API void GRIDTOLATLON(const ProjectionRecord* projection, double easting, double northing,
                               double* latitude, double* longitude, double centralMeridian);

/* Load and unload notification; sets PI and returns 1. */
OSTRAK32_API int32_t LIBMAIN(void* instance, int32_t reason, void* reserved);

#ifdef __cplusplus
}
#endif

#endif
