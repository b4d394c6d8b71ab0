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
  int32_t toCrsCode; /* 4326 WGS 84, 4324 WGS 72BE, 4322 WGS 72 */
  char ellipsoidName[kEllipsoidNameWidth];
  double translationX; /* metres */
  double translationY;
  double translationZ;
  double rotationX; /* radians */
  double rotationY;
  double rotationZ;
  double scaleDifference; /* pure number; the shift scales by 1 + this */
  int32_t methodCode;     /* 9603, 9606 or 9607 */
  int32_t ellipsoidIndex; /* 1-based position in the ellipsoid catalogue */
} DatumRecord;

typedef struct ProjectionRecord {
  int32_t methodCode; /* 9807 TM, 9802 LCC 2SP, 9809 Oblique Stereographic */
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
