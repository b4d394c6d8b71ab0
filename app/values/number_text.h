// Numbers as text: reading a number, the general number text of results and
// rounding to decimals.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Room for any text that FormatGeneralTo or FormatPlainTo writes (the longest,
// "-1.23456789012345E-308", has 22 characters). No terminating NUL is written.
inline constexpr size_t kNumberTextCapacity = 32;

// Reads the number at the start of text: leading blanks, an optional sign,
// digits with at most one decimal point, an optional exponent (E or e, optional
// sign, digits). Reading stops at the first character that cannot continue the
// number; an empty or non-numeric text gives 0.
double ReadNumber(std::string_view text);

// The whole text is one number as ReadNumber reads it, with blanks around it
// at most: at least one digit, and nothing left over ("1.2.3", "5-", "-" and
// "" are not numbers). Gives its value.
bool ReadWholeNumber(std::string_view text, double& value);
// The same test without the value.
bool IsWholeNumber(std::string_view text);

// The general number text: a blank (v >= 0) or "-" in the sign position, then
// |v| rounded to 15 significant digits without trailing zeros, no zero before
// the point below 1, exponent form ("1E+15", "1.5E-15") where the plain form
// would need more than 15 digit positions. Zero gives " 0".
std::string FormatGeneral(double value);
// The same text without the blank in the sign position ("-" stays).
std::string FormatPlain(double value);

// Allocation-free forms: write the text into out (at least kNumberTextCapacity
// characters) and return its length.
size_t FormatGeneralTo(char* out, double value);
size_t FormatPlainTo(char* out, double value);

// value x 10^decimals rounded to the nearest integer, halves to even, divided
// by 10^decimals. decimals is limited to -18..18.
double RoundTo(double value, int32_t decimals);

// FormatPlain(RoundTo(value, 2)), the text of list results, without the
// general formatter where the rounded value has at most 15 significant digits
// (below 1e13 in size): the text of a whole number of hundredths. Writes at
// most kNumberTextCapacity characters and gives the length.
size_t FormatRoundedTo(char* out, double value);
