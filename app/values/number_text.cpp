#include "number_text.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// from_chars leaves the value alone when the number is out of the double range.
// Out of range means either beyond DBL_MAX or below half the smallest
// subnormal, so the decimal position of the first significant digit tells
// which: positive overflows to infinity, otherwise the number is zero.
double OutOfRangeValue(const char* first, const char* last) {
  long long position = 0;  // decimal exponent of the first significant digit, plus one
  bool afterPoint = false;
  bool significant = false;
  const char* p = first;
  for (; p < last && *p != 'e' && *p != 'E'; ++p) {
    if (*p == '.') {
      afterPoint = true;
    } else if (!significant && *p == '0') {
      if (afterPoint) --position;
    } else {
      significant = true;
      if (afterPoint) break;
      ++position;
    }
  }
  while (p < last && *p != 'e' && *p != 'E') ++p;
  long long exponent = 0;
  if (p < last) {
    ++p;
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    for (; p < last; ++p) exponent = std::min(exponent * 10 + (*p - '0'), 1000000LL);
    if (negative) exponent = -exponent;
  }
  return position + exponent > 0 ? HUGE_VAL : 0.0;
}

// The significant digits of a > 0 rounded to 15 places, without trailing
// zeros, and the decimal exponent of the first of them.
struct Significand {
  char digits[17];
  int count;
  int exponent;
};

// Reads std::to_chars' scientific text "d[.ddd]e[+-]xx".
void ReadScientific(const char* text, const char* end, Significand& out) {
  out.count = 0;
  const char* p = text;
  for (; p < end && *p != 'e'; ++p) {
    if (*p != '.') out.digits[out.count++] = *p;
  }
  while (out.count > 1 && out.digits[out.count - 1] == '0') --out.count;
  ++p;
  const bool negative = *p == '-';
  ++p;
  int exponent = 0;
  for (; p < end; ++p) exponent = exponent * 10 + (*p - '0');
  out.exponent = negative ? -exponent : exponent;
}

// Rounds 16 or 17 digits to 15, halves up, carrying into the exponent.
void RoundDigitsTo15(Significand& out) {
  const bool up = out.digits[15] >= '5';
  out.count = 15;
  if (up) {
    int k = 14;
    for (; k >= 0 && out.digits[k] == '9'; --k) out.digits[k] = '0';
    if (k >= 0) {
      ++out.digits[k];
    } else {
      out.digits[0] = '1';
      ++out.exponent;
    }
  }
  while (out.count > 1 && out.digits[out.count - 1] == '0') --out.count;
}

void RoundTo15Digits(double a, Significand& out) {
  char text[40];
  // Subnormals hold fewer bits than 15 digits need; they take the exact route.
  if (a >= DBL_MIN) {
    const auto shortest = std::to_chars(text, text + sizeof text, a, std::chars_format::scientific);
    ReadScientific(text, shortest.ptr, out);
    // The shortest text that reads back as a: with at most 15 digits it is a
    // rounded to 15 digits, because every decimal of 15 significant digits
    // survives the trip to a normal double and back.
    if (out.count <= 15) return;
    // With 16 or 17 digits no rounding boundary lies strictly between a and
    // the text (the boundary, a decimal of 16 digits that reads back as a and
    // is closer to it, would have been chosen), so rounding the text rounds a,
    // unless the text is a boundary itself: a 5 in the sixteenth place.
    if (out.count == 17 || out.digits[15] != '5') {
      RoundDigitsTo15(out);
      return;
    }
  }
  // Rounds the exact binary value, an exact half to even.
  const auto rounded =
      std::to_chars(text, text + sizeof text, a, std::chars_format::scientific, 14);
  ReadScientific(text, rounded.ptr, out);
}

char* AppendDigits(char* out, const char* digits, int count) {
  std::copy(digits, digits + count, out);
  return out + count;
}

char* AppendZeros(char* out, int count) {
  std::fill(out, out + count, '0');
  return out + count;
}

// |value| in the general notation, after the sign position.
char* AppendMagnitude(char* out, double value) {
  const double a = std::fabs(value);
  if (a == 0) {
    *out++ = '0';
    return out;
  }
  if (std::isinf(a)) return std::copy_n("INF", 3, out);
  if (std::isnan(a)) return std::copy_n("NAN", 3, out);

  Significand d;
  RoundTo15Digits(a, d);
  const int nd = d.count;
  const int e = d.exponent - nd + 1;  // a = D x 10^e with D the nd digits
  if (e >= 0 && nd + e <= 15) {
    out = AppendDigits(out, d.digits, nd);
    return AppendZeros(out, e);
  }
  if (e < 0 && -e <= 15) {
    if (nd > -e) {
      out = AppendDigits(out, d.digits, nd + e);
      *out++ = '.';
      return AppendDigits(out, d.digits + nd + e, -e);
    }
    *out++ = '.';
    out = AppendZeros(out, -e - nd);
    return AppendDigits(out, d.digits, nd);
  }
  *out++ = d.digits[0];
  if (nd > 1) {
    *out++ = '.';
    out = AppendDigits(out, d.digits + 1, nd - 1);
  }
  *out++ = 'E';
  *out++ = d.exponent < 0 ? '-' : '+';
  return std::to_chars(out, out + 4, std::abs(d.exponent)).ptr;
}

// A number at the start of a text, after blanks: an optional sign, digits
// with at most one decimal point, an optional exponent.
struct ScannedNumber {
  bool found = false;  // at least one digit
  bool whole = false;  // and nothing but blanks after it
  bool negative = false;
  const char* digits = nullptr;  // after the sign
  const char* last = nullptr;    // just past the number

  double Value() const {
    double value = 0;
    if (std::from_chars(digits, last, value).ec == std::errc::result_out_of_range) {
      value = OutOfRangeValue(digits, last);
    }
    return negative ? -value : value;
  }
};

const char* SkipBlanks(const char* p, const char* const end) {
  while (p < end && *p == ' ') ++p;
  return p;
}

ScannedNumber ScanNumber(std::string_view text) {
  ScannedNumber number;
  const char* const end = text.data() + text.size();
  const char* p = SkipBlanks(text.data(), end);
  number.negative = p < end && *p == '-';
  if (p < end && (*p == '+' || *p == '-')) ++p;
  number.digits = p;
  while (p < end && IsDigit(*p)) ++p;
  ptrdiff_t count = p - number.digits;
  if (p < end && *p == '.') {
    const char* const fraction = ++p;
    while (p < end && IsDigit(*p)) ++p;
    count += p - fraction;
  }
  if (count == 0) return number;
  if (p < end && (*p == 'E' || *p == 'e')) {
    const char* q = p + 1;
    if (q < end && (*q == '+' || *q == '-')) ++q;
    if (q < end && IsDigit(*q)) {
      while (q < end && IsDigit(*q)) ++q;
      p = q;
    }
  }
  number.found = true;
  number.last = p;
  number.whole = SkipBlanks(p, end) == end;
  return number;
}

}  // namespace

double ReadNumber(std::string_view text) {
  const ScannedNumber number = ScanNumber(text);
  return number.found ? number.Value() : 0;
}

bool IsWholeNumber(std::string_view text) {
  return ScanNumber(text).whole;
}

bool ReadWholeNumber(std::string_view text, double& value) {
  const ScannedNumber number = ScanNumber(text);
  if (number.whole) value = number.Value();
  return number.whole;
}

size_t FormatGeneralTo(char* out, double value) {
  out[0] = value < 0 ? '-' : ' ';
  return AppendMagnitude(out + 1, value) - out;
}

size_t FormatPlainTo(char* out, double value) {
  char* p = out;
  if (value < 0) *p++ = '-';
  return AppendMagnitude(p, value) - out;
}

std::string FormatGeneral(double value) {
  char text[kNumberTextCapacity];
  return std::string(text, FormatGeneralTo(text, value));
}

std::string FormatPlain(double value) {
  char text[kNumberTextCapacity];
  return std::string(text, FormatPlainTo(text, value));
}

double RoundTo(double value, int32_t decimals) {
  static constexpr long double kPowersOfTen[] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,
                                                 1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
                                                 1e14L, 1e15L, 1e16L, 1e17L, 1e18L};
  if (!std::isfinite(value)) return value;
  decimals = std::clamp(decimals, -18, 18);
  const long double scale = kPowersOfTen[std::abs(decimals)];  // exact in both formats
  // In the extended format: with up to two decimals v x 10^n is exact (53 + 7
  // bits fit the 64-bit significand), so a value just below a half is never
  // pushed onto it.
  const long double x = decimals >= 0 ? value * scale : value / scale;
  long double n = std::floor(x);
  const long double fraction = x - n;  // exact
  if (fraction == 0) return value;     // nothing beyond the decimals
  if (fraction > 0.5L || (fraction == 0.5L && std::fmod(n, 2.0L) != 0)) n += 1;
  if (decimals < 0) return static_cast<double>(n * scale);
  // Divided in double: a whole number below 2^53 over an exact power of ten
  // gives the double nearest the decimal result, as reading its text would.
  if (std::fabs(n) < 0x1p53L) return static_cast<double>(n) / static_cast<double>(scale);
  // Beyond that n itself would be rounded first; its text is read instead,
  // which rounds once. (|x| below 2^63 here: larger ones have no fraction.)
  char text[32];
  std::snprintf(text, sizeof text, "%llde-%d", static_cast<long long>(n), decimals);
  return std::strtod(text, nullptr);
}

size_t FormatRoundedTo(char* out, double value) {
  const double rounded = RoundTo(value, 2);
  if (!(std::fabs(rounded) < 1e13)) return FormatPlainTo(out, rounded);
  // rounded is the double nearest a whole number of hundredths, which times
  // 100 in the extended format is within a hair of that number.
  const long long hundredths = std::llround(static_cast<long double>(rounded) * 100);
  char* p = out;
  unsigned long long magnitude = hundredths < 0 ? 0ULL - static_cast<unsigned long long>(hundredths)
                                                : static_cast<unsigned long long>(hundredths);
  if (hundredths < 0) *p++ = '-';
  const unsigned long long whole = magnitude / 100;
  const unsigned cents = static_cast<unsigned>(magnitude % 100);
  if (whole != 0 || cents == 0) p = std::to_chars(p, out + kNumberTextCapacity, whole).ptr;
  if (cents != 0) {
    *p++ = '.';
    *p++ = static_cast<char>('0' + cents / 10);
    if (cents % 10 != 0) *p++ = static_cast<char>('0' + cents % 10);
  }
  return static_cast<size_t>(p - out);
}
