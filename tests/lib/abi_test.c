/* Loads libOstrak32.so at run time and calls every export through the public
 * header, as a C program or a foreign-function interface would. */
#include <math.h>
#include <stdio.h>
#include <string.h>

#include "ostrak32.h"

/* Loading, looking up and unloading: dlopen here, LoadLibraryA on Windows.
 * memcpy rather than a cast: ISO C has no conversion from object to function pointer. */
#ifdef _WIN32
#include <windows.h>
typedef HMODULE Library;
static Library OpenLibrary(const char* path) {
  return LoadLibraryA(path);
}
static const char* LoadError(void) {
  return "LoadLibraryA failed";
}
static void* Symbol(Library library, const char* name) {
  FARPROC found = GetProcAddress(library, name);
  void* symbol;
  memcpy(&symbol, &found, sizeof symbol);
  return symbol;
}
static void CloseLibrary(Library library) {
  FreeLibrary(library);
}
#else
#include <dlfcn.h>
typedef void* Library;
static Library OpenLibrary(const char* path) {
  return dlopen(path, RTLD_NOW | RTLD_LOCAL);
}
static const char* LoadError(void) {
  return dlerror();
}
static void* Symbol(Library library, const char* name) {
  return dlsym(library, name);
}
static void CloseLibrary(Library library) {
  dlclose(library);
}
#endif

static int passed;
static int failed;

static void Check(int ok, const char* what) {
  if (ok) {
    ++passed;
  } else {
    ++failed;
    printf("FAILED: %s\n", what);
  }
}

static void CheckNear(double actual, double expected, double tolerance, const char* what) {
  if (!(fabs(actual - expected) <= tolerance))
    printf("  %s: %.10f, expected %.10f\n", what, actual, expected);
  Check(fabs(actual - expected) <= tolerance, what);
}

#define LOOKUP(variable, name)                   \
  do {                                           \
    void* symbol = Symbol(library, #name);       \
    memcpy(&variable, &symbol, sizeof variable); \
  } while (0)

int main(void) {
  Library library = OpenLibrary(OSTRAK32_PATH);
  if (library == NULL) {
    printf("cannot load %s: %s\n", OSTRAK32_PATH, LoadError());
    return 1;
  }
  __typeof__(&CONVERTLATLONTOXYZ) toXyz;
  LOOKUP(toXyz, CONVERTLATLONTOXYZ);
  __typeof__(&CONVERTXYZTOLATLON) toLatLon;
  LOOKUP(toLatLon, CONVERTXYZTOLATLON);
  __typeof__(&STARTTOWGS84) toWgs84;
  LOOKUP(toWgs84, STARTTOWGS84);
  __typeof__(&WGS84TOTARGET) toTarget;
  LOOKUP(toTarget, WGS84TOTARGET);
  __typeof__(&LATLONTOTM) toTm;
  LOOKUP(toTm, LATLONTOTM);
  __typeof__(&TMTOLATLON) fromTm;
  LOOKUP(fromTm, TMTOLATLON);
  __typeof__(&LATLONTOLCC) toLcc;
  LOOKUP(toLcc, LATLONTOLCC);
  __typeof__(&LCCTOLATLON) fromLcc;
  LOOKUP(fromLcc, LCCTOLATLON);
  __typeof__(&LATLONTOOST) toOst;
  LOOKUP(toOst, LATLONTOOST);
  __typeof__(&OSTTOLATLON) fromOst;
  LOOKUP(fromOst, OSTTOLATLON);
  __typeof__(&CHECKNTV2) checkNtv2;
  LOOKUP(checkNtv2, CHECKNTV2);
  __typeof__(&NTV2SHIFT) ntv2Shift;
  LOOKUP(ntv2Shift, NTV2SHIFT);
  __typeof__(&CHECKNADCON) checkNadcon;
  LOOKUP(checkNadcon, CHECKNADCON);
  __typeof__(&NADCONSHIFT) nadconShift;
  LOOKUP(nadconShift, NADCONSHIFT);
  __typeof__(&GRIDEXTENT) gridExtent;
  LOOKUP(gridExtent, GRIDEXTENT);
  __typeof__(&LIBMAIN) libMain;
  LOOKUP(libMain, LIBMAIN);
  Check(toXyz && toLatLon && toWgs84 && toTarget && toTm && fromTm && toLcc && fromLcc && toOst &&
            fromOst && checkNtv2 && ntv2Shift && checkNadcon && nadconShift && gridExtent &&
            libMain,
        "every export is found by name");
  if (failed) return 1;

  Check(libMain(NULL, 1, NULL) == 1, "LIBMAIN acknowledges process attach");

  /* Geocentric, on WGS 84: the equator at longitude 0 is X = a. */
  EllipsoidRecord wgs84;
  memset(&wgs84, 0, sizeof wgs84);
  wgs84.semiMajorAxis = 6378137.0;
  wgs84.semiMinorAxis = 6356752.314245179;
  double x = 0, y = 0, z = 0, lat = 1, lon = 1, h = 1;
  toXyz(0.0, 0.0, 0.0, &x, &y, &z, &wgs84);
  Check(x == 6378137.0 && y == 0.0 && z == 0.0, "CONVERTLATLONTOXYZ at the equator");
  toLatLon(x, y, z, 0.0, &lat, &lon, &h, &wgs84);
  Check(lat == 0.0 && lon == 0.0 && h == 0.0, "CONVERTXYZTOLATLON at the equator");

  /* Geocentric translations there and back. */
  DatumRecord datum;
  memset(&datum, 0, sizeof datum);
  datum.methodCode = kGeocentricTranslations;
  datum.translationX = 100;
  datum.translationY = -50;
  datum.translationZ = 25;
  double xs = 0, ys = 0, zs = 0, xb = 0, yb = 0, zb = 0;
  toWgs84(&xs, &ys, &zs, 4000000, 1000000, 4800000, &datum);
  Check(xs == 4000100 && ys == 999950 && zs == 4800025, "STARTTOWGS84, geocentric translations");
  toTarget(&xb, &yb, &zb, xs, ys, zs, &datum);
  Check(xb == 4000000 && yb == 1000000 && zb == 4800000, "WGS84TOTARGET, geocentric translations");

  /* Lambert: the published example (NAD27 / Texas South Central). */
  ProjectionRecord lcc;
  memset(&lcc, 0, sizeof lcc);
  lcc.methodCode = kLambertConic2SP;
  lcc.semiMajorAxis = 6378206.4;
  lcc.semiMinorAxis = 6356583.8;
  lcc.scaleFactor = 1;
  lcc.latitudeOfOrigin = 27.8333333333;
  lcc.firstStandardParallel = 28.3833333333;
  lcc.secondStandardParallel = 30.2833333333;
  lcc.falseEasting = 609601.2192;
  lcc.centralMeridian = -99;
  double e = 0, n = 0;
  toLcc(&lcc, 28.5, -96, &e, &n, -99);
  CheckNear(e, 903277.799, 0.0005, "LATLONTOLCC easting");
  CheckNear(n, 77650.943, 0.0005, "LATLONTOLCC northing");
  fromLcc(&lcc, e, n, &lat, &lon, -99);
  CheckNear(lat, 28.5, 2e-8, "LCCTOLATLON latitude");
  CheckNear(lon, -96, 1e-9, "LCCTOLATLON longitude");

  /* Oblique Stereographic: the published example (Amersfoort / RD New). */
  ProjectionRecord ost;
  memset(&ost, 0, sizeof ost);
  ost.methodCode = kObliqueStereographic;
  ost.semiMajorAxis = 6377397.155;
  ost.semiMinorAxis = 6356078.962818;
  ost.scaleFactor = 0.9999079;
  ost.latitudeOfOrigin = 52.1561605556;
  ost.falseEasting = 155000;
  ost.falseNorthing = 463000;
  toOst(&ost, 53, 6, &e, &n, 5.3876388889);
  CheckNear(e, 196105.283, 0.0005, "LATLONTOOST easting");
  CheckNear(n, 557057.739, 0.0005, "LATLONTOOST northing");
  fromOst(&ost, 196105.283, 557057.739, &lat, &lon, 5.3876388889);
  CheckNear(lat, 53, 1e-8, "OSTTOLATLON latitude");
  CheckNear(lon, 6, 1e-8, "OSTTOLATLON longitude");

  /* Transverse Mercator: the published example (British National Grid). */
  ProjectionRecord tm;
  memset(&tm, 0, sizeof tm);
  tm.methodCode = kTransverseMercator;
  tm.semiMajorAxis = 6377563.396;
  tm.semiMinorAxis = 6356256.909237285;
  tm.scaleFactor = 0.9996012717;
  tm.latitudeOfOrigin = 49;
  tm.falseEasting = 400000;
  tm.falseNorthing = -100000;
  toTm(&tm, 50.5, 0.5, &e, &n, -2);
  CheckNear(e, 577274.99, 0.01, "LATLONTOTM easting");
  CheckNear(n, 69740.50, 0.01, "LATLONTOTM northing");
  fromTm(&tm, 577274.99, 69740.50, &lat, &lon, -2);
  CheckNear(lat, 50.5, 1e-7, "TMTOLATLON latitude");
  CheckNear(lon, 0.5, 1e-7, "TMTOLATLON longitude");

  /* NTv2: a grid of one cell, 1 to 2 degrees north and east (3600 to 7200
   * seconds; 7200 to 3600 west is -3600 to -7200 positive west), every node
   * shifting by 9" north and 18" west: 0.0025 and -0.005 degree. */
  {
    static const char* const labels[] = {"NUM_OREC", "NUM_SREC", "NUM_FILE", "GS_TYPE ", "VERSION ",
                                         "SYSTEM_F", "SYSTEM_T", "MAJOR_F ", "MINOR_F ", "MAJOR_T ",
                                         "MINOR_T ", "SUB_NAME", "PARENT  ", "CREATED ", "UPDATED ",
                                         "S_LAT   ", "N_LAT   ", "E_LONG  ", "W_LONG  ", "LAT_INC ",
                                         "LONG_INC", "GS_COUNT"};
    const int32_t counts[] = {11, 11, 1};
    const double limits[] = {3600, 7200, -7200, -3600, 3600, 3600};
    const int32_t nodes = 4;
    const float node[4] = {9, 18, 0, 0};
    unsigned char grid[22 * 16 + 4 * 16 + 16];
    char reason[80] = "x";
    int i;
    memset(grid, 0, sizeof grid);
    for (i = 0; i < 22; ++i) memcpy(grid + 16 * i, labels[i], 8);
    for (i = 0; i < 3; ++i) memcpy(grid + 16 * i + 8, &counts[i], 4);
    memcpy(grid + 3 * 16 + 8, "SECONDS ", 8);
    memcpy(grid + 11 * 16 + 8, "ONE     ", 8);
    memcpy(grid + 12 * 16 + 8, "NONE    ", 8);
    for (i = 0; i < 6; ++i) memcpy(grid + (15 + i) * 16 + 8, &limits[i], 8);
    memcpy(grid + 21 * 16 + 8, &nodes, 4);
    for (i = 0; i < 4; ++i) memcpy(grid + (22 + i) * 16, node, sizeof node);
    memcpy(grid + 26 * 16, "END     ", 8);
    Check(checkNtv2(grid, (int64_t)sizeof grid, reason, (int32_t)sizeof reason) ==
                  OSTRAK_GRID_SHIFTED &&
              reason[0] == 0,
          "CHECKNTV2 accepts a one-cell grid");
    lat = lon = 0;
    Check(ntv2Shift(grid, (int64_t)sizeof grid, 1.5, 1.5, 0, &lat, &lon) == OSTRAK_GRID_SHIFTED,
          "NTV2SHIFT shifts a point of the one-cell grid");
    CheckNear(lat, 1.5025, 1e-12, "NTV2SHIFT latitude");
    CheckNear(lon, 1.495, 1e-12, "NTV2SHIFT longitude");
    {
      double box[4] = {0, 0, 0, 0};
      Check(gridExtent(kNtv2, grid, (int64_t)sizeof grid, NULL, 0, &box[0], &box[1], &box[2],
                       &box[3]) == OSTRAK_GRID_SHIFTED &&
                box[0] == 1 && box[1] == 1 && box[2] == 2 && box[3] == 2,
            "GRIDEXTENT of the one-cell NTv2 grid");
    }
  }

  /* NADCON: the smallest pair, 23 columns (a record of 4 x 24 bytes holds the
   * header) from 1 to 23 degrees east and 2 rows from 1 to 2 north, every node
   * shifting by 9" north (.las) and 18" west (.los). */
  {
    enum { kRecord = 4 * 24 };
    const int32_t lattice[3] = {23, 2, 1};   /* NC, NR, NZ */
    const float corner[5] = {1, 1, 1, 1, 0}; /* XMIN, DX, YMIN, DY, ANGLE */
    unsigned char las[3 * kRecord], los[3 * kRecord];
    char reason[80] = "x";
    double box[4] = {0, 0, 0, 0};
    int row, column;
    memset(las, 0, sizeof las);
    memcpy(las, "ONE ROW OF CELLS", 16);
    memcpy(las + 64, lattice, sizeof lattice);
    memcpy(las + 76, corner, sizeof corner);
    memcpy(los, las, sizeof los);
    for (row = 1; row <= 2; ++row) {
      for (column = 0; column < 23; ++column) {
        const float north = 9, west = 18;
        memcpy(las + row * kRecord + 4 + 4 * column, &north, 4);
        memcpy(los + row * kRecord + 4 + 4 * column, &west, 4);
      }
    }
    Check(checkNadcon(las, (int64_t)sizeof las, los, (int64_t)sizeof los, reason,
                      (int32_t)sizeof reason) == OSTRAK_GRID_SHIFTED &&
              reason[0] == 0,
          "CHECKNADCON accepts a pair of one row of cells");
    lat = lon = 0;
    Check(nadconShift(las, (int64_t)sizeof las, los, (int64_t)sizeof los, 1.5, 1.5, 0, &lat,
                      &lon) == OSTRAK_GRID_SHIFTED,
          "NADCONSHIFT shifts a point of the pair");
    CheckNear(lat, 1.5025, 1e-12, "NADCONSHIFT latitude");
    CheckNear(lon, 1.495, 1e-12, "NADCONSHIFT longitude");
    Check(gridExtent(kNadcon, las, (int64_t)sizeof las, los, (int64_t)sizeof los, &box[0], &box[1],
                     &box[2], &box[3]) == OSTRAK_GRID_SHIFTED &&
              box[0] == 1 && box[1] == 1 && box[2] == 2 && box[3] == 23,
          "GRIDEXTENT of the NADCON pair");
  }

  Check(libMain(NULL, 0, NULL) == 1, "LIBMAIN acknowledges process detach");
  CloseLibrary(library);
  printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
