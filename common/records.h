/* Catalogue records shared by the program and the transformation library.
 *
 * One definition for both deliverables and for C callers of the library:
 * fields in a fixed order, packed without gaps, text fields of fixed width
 * (blank-padded, not NUL-terminated). */
#ifndef VARNEL_COMMON_RECORDS_H
#define VARNEL_COMMON_RECORDS_H

#include <stdint.h>

#ifdef __cplusplus
#define VARNEL_STATIC_ASSERT static_assert
#else
#define VARNEL_STATIC_ASSERT _Static_assert
#endif

enum {
  kEllipsoidNameWidth = 64,
  kDatumNameWidth = 64,
  kAreaOfUseWidth = 1024,
  kProjectionNameWidth = 64
};

/* EPSG codes that the records carry: the datum shift methods and the systems
 * a datum shifts to (DatumRecord), the projection methods (ProjectionRecord). */
enum {
  kGeocentricTranslations = 9603, /* three translations */
  kPositionVector = 9606,         /* Helmert, position vector rotation */
  kCoordinateFrame = 9607,        /* Helmert, coordinate frame rotation */
  kNtv2 = 9615,                   /* NTv2 grid */
  kNadcon = 9613,                 /* NADCON grid pair */
  kLongitudeRotation = 9601,      /* a geographic system on another prime meridian */
  kTransverseMercator = 9807,
  kLambertConic2SP = 9802,
  kObliqueStereographic = 9809,
  /* Methods computed through LATLONTOGRID and GRIDTOLATLON only */
  kPseudoMercator = 1024, /* Popular Visualisation Pseudo Mercator */
  kMercatorA = 9804,
  kMercatorB = 9805,
  kLambertAzimuthalEqualArea = 9820,
  kLambertAzimuthalEqualAreaSpherical = 1027,
  kPolarStereographicA = 9810,
  kPolarStereographicB = 9829,
  kPolarStereographicC = 9830,
  kAlbersEqualArea = 9822,
  kEqualEarth = 1078,
  kEquidistantCylindrical = 1028,
  kLambertCylindricalEqualArea = 9835,
  /* Further projection methods behind LATLONTOGRID and GRIDTOLATLON: the
   * Lambert conic variants, the Transverse Mercator variants, Cassini-Soldner,
   * American Polyconic and Bonne (South Orientated). */
  kLambertConic1SP = 9801,
  kLambertConicWestOrientated = 9826,
  kLambertConic2SPMichigan = 1051,
  kLambertConic2SPBelgium = 9803,
  kLambertConicNearConformal = 9817,
  kTransverseMercatorSouthOrientated = 9808,
  kTransverseMercatorZonedGrid = 9824,
  kTransverseMercator3D = 1111,
  kCassiniSoldner = 9806,
  kHyperbolicCassiniSoldner = 9833,
  kAmericanPolyconic = 9818,
  kBonneSouthOrientated = 9828,
  /* Methods behind LATLONTOGRID/GRIDTOLATLON: oblique and special grids. */
  kNewZealandMapGrid = 9811,
  kHotineObliqueMercatorA = 9812,
  kHotineObliqueMercatorB = 9815,
  kLabordeObliqueMercator = 9813,
  kKrovak = 9819,
  kKrovakNorthOrientated = 1041,
  kKrovakModified = 1042,
  kKrovakModifiedNorthOrientated = 1043,
  kModifiedAzimuthalEquidistant = 9832,
  kGuamProjection = 9831,
  kColombiaUrban = 1052,
  kTunisiaMiningGrid = 9816,
  kCrsWgs84 = 4326,
  kCrsWgs72 = 4322,
  kCrsWgs72be = 4324
};

#pragma pack(push, 1)

typedef struct EllipsoidRecord {
  int32_t code;
  char name[kEllipsoidNameWidth];
  double semiMajorAxis; /* a, metres */
  double semiMinorAxis; /* b, metres */
} EllipsoidRecord;

typedef struct DatumRecord {
  char name[kDatumNameWidth];
  char areaOfUse[kAreaOfUseWidth];
  int32_t toCrsCode; /* kCrsWgs84, kCrsWgs72be or kCrsWgs72 */
  char ellipsoidName[kEllipsoidNameWidth];
  double translationX; /* metres */
  double translationY;
  double translationZ;
  double rotationX; /* radians */
  double rotationY;
  double rotationZ;
  double scaleDifference; /* pure number; the shift scales by 1 + this */
  int32_t methodCode;     /* kGeocentricTranslations, kPositionVector, kCoordinateFrame */
  int32_t ellipsoidIndex; /* 1-based position in the ellipsoid catalogue */
} DatumRecord;

typedef struct ProjectionRecord {
  int32_t methodCode; /* an EPSG projection method code of the list above */
  char name[kProjectionNameWidth];
  char datumName[kDatumNameWidth];
  double semiMajorAxis; /* copied in from the side's ellipsoid before each call */
  double semiMinorAxis;
  double scaleFactor;
  double centralMeridian;        /* degrees */
  double falseEasting;           /* metres */
  double falseNorthing;          /* metres */
  double latitudeOfOrigin;       /* degrees */
  double firstStandardParallel;  /* degrees */
  double secondStandardParallel; /* degrees */
  int32_t datumIndex;            /* 1-based position in the datum catalogue */
} ProjectionRecord;

#pragma pack(pop)

VARNEL_STATIC_ASSERT(sizeof(EllipsoidRecord) == 84, "EllipsoidRecord must be 84 bytes");
VARNEL_STATIC_ASSERT(sizeof(DatumRecord) == 1220, "DatumRecord must be 1220 bytes");
VARNEL_STATIC_ASSERT(sizeof(ProjectionRecord) == 208, "ProjectionRecord must be 208 bytes");

#endif
