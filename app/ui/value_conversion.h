// Typed values through a change of unit or format: the same value in new
// text, never the old text read in the new sense. Text that does not read as a
// value in the old unit or format stays as it is (the transform reports it).
#pragma once

#include <cstdint>
#include <string>

#include "side.h"

// A length typed in units of fromFactor metres, in units of toFactor.
std::string LengthInUnit(const std::string& text, double fromFactor, double toFactor);

// An angle typed in fromFormat (kAngleFormatDms or kAngleFormatDecimal), in
// toFormat; kind is kDmsLatitude or kDmsLongitude.
std::string AngleInFormat(const std::string& text, int32_t fromFormat, int32_t toFormat,
                          int32_t kind);

// Rewrites the side's typed boxes from `before` into its present units and
// formats: the start's easting and northing, latitude and longitude. The
// target's boxes hold results, which are emptied instead.
void ConvertTypedValues(Side side, const UnitsAndFormats& before);
