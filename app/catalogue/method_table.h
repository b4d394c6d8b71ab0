// The projection methods the library computes, by EPSG method code: EPSG's
// name of each method and of its parameters, in EPSG's order, with the
// record field that carries each one and what kind of value it is. Names
// are exactly EPSG's (as in the EPSG dataset and PROJ's proj.db).
#pragma once

#include <cstdint>
#include <span>

#include "records.h"

// The fields of ProjectionRecord that carry a method's parameters.
enum class RecordField {
  kScaleFactor,
  kCentralMeridian,
  kFalseEasting,
  kFalseNorthing,
  kLatitudeOfOrigin,
  kFirstStandardParallel,
  kSecondStandardParallel,
};

// The field's value, read by name: the record is packed, so its fields are
// never reached through a pointer or reference.
double FieldValue(const ProjectionRecord& projection, RecordField field);

enum class ParameterKind {
  kLatitude,     // degrees, north positive
  kLongitude,    // degrees, east positive
  kAngle,        // degrees of neither (an azimuth, a zone width, a co-latitude)
  kLength,       // metres
  kScaleFactor,  // a pure number near 1
};

struct MethodParameter {
  const char* name;  // EPSG's
  RecordField field;
  ParameterKind kind;
};

inline constexpr int kMostMethodParameters = 7;

struct ProjectionMethodEntry {
  int32_t code;
  const char* name;  // EPSG's
  // In EPSG's order; the ones after the last have no name (nullptr).
  MethodParameter parameters[kMostMethodParameters];

  std::span<const MethodParameter> Parameters() const;
};

// The method of the code, or nullptr for a method this program cannot compute.
const ProjectionMethodEntry* FindProjectionMethodEntry(int32_t code);
