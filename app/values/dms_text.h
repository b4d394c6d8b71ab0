// The packed sexagesimal angle text DDD.MMSSsss: an optional "-", the whole
// degrees, ".", then minutes (two digits), seconds (two digits) and
// thousandths of a second (three digits). 12.3015250 is 12 degrees 30 minutes
// 15.250 seconds; it is not a decimal number.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// What a DMS text stands for; it decides the first words of ParseDms' message.
inline constexpr int32_t kDmsLatitude = 1;
inline constexpr int32_t kDmsLongitude = 2;
inline constexpr int32_t kDmsOther = 0;

// Room for any text that FormatDmsTo writes. No terminating NUL is written.
inline constexpr size_t kDmsTextCapacity = 48;

// Decimal degrees as DMS text, seconds rounded to the thousandth (halves up);
// 60 seconds carry into the minutes and 60 minutes into the degrees.
// Infinities and NaN give FormatPlain's text.
std::string FormatDms(double value);
// The same into out (at least kDmsTextCapacity characters); returns the length.
size_t FormatDmsTo(char* out, double value);

// Reads a DMS text into decimal degrees. The text is first normalised in place
// to exactly seven digits after its first point (zeros appended, or cut
// without rounding). Minutes or seconds above 60 show the range warning and
// give -1, leaving value unchanged; otherwise the result is 0.
int32_t ParseDms(std::string& text, int32_t kind, double& value);
