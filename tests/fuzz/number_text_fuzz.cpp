// ReadNumber, HasOnlyNumberCharacters, RoundTo and the number formatters
// against the C library: strtod reads the prefix that ReadNumber accepts, and
// printf's exactly rounded conversions give the digits of the formatters.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "number_text.h"
#include "point_transform.h"

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The number strtod reads from the prefix ReadNumber accepts: blanks, a sign,
// digits with at most one point (at least one digit), and an exponent only
// when it has digits. No digits give 0.
double ExpectedNumber(std::string_view text) {
  size_t p = 0;
  while (p < text.size() && text[p] == ' ') ++p;
  const size_t first = p;
  if (p < text.size() && (text[p] == '+' || text[p] == '-')) ++p;
  size_t digits = 0;
  for (; p < text.size() && IsDigit(text[p]); ++p) ++digits;
  if (p < text.size() && text[p] == '.') {
    for (++p; p < text.size() && IsDigit(text[p]); ++p) ++digits;
  }
  if (digits == 0) return 0;
  if (p < text.size() && (text[p] == 'e' || text[p] == 'E')) {
    size_t q = p + 1;
    if (q < text.size() && (text[q] == '+' || text[q] == '-')) ++q;
    if (q < text.size() && IsDigit(text[q])) {
      while (q < text.size() && IsDigit(text[q])) ++q;
      p = q;
    }
  }
  const std::string prefix(text.substr(first, p - first));
  return std::strtod(prefix.c_str(), nullptr);
}

std::string Printf(const char* format, int precision, double value) {
  char text[400];  // %.4f of DBL_MAX has 314 characters
  std::snprintf(text, sizeof text, format, precision, value);
  return text;
}

// The general text built from printf: %.14e gives |v| rounded to 15
// significant digits; %f writes the plain form with as many decimals as those
// digits reach.
std::string ExpectedGeneral(double v) {
  const std::string sign = v < 0 ? "-" : " ";
  const double a = std::fabs(v);
  if (a == 0) return sign + "0";
  if (std::isinf(a)) return sign + "INF";
  if (std::isnan(a)) return sign + "NAN";
  const std::string scientific = Printf("%.*e", 14, a);  // d.ddddddddddddddde+XX
  std::string digits = scientific.substr(0, 1) + scientific.substr(2, 14);
  const int exponent = std::atoi(scientific.c_str() + 17);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  const int count = static_cast<int>(digits.size());
  const int lastPlace = exponent - count + 1;  // decimal place of the last digit
  const int positions = lastPlace >= 0 ? count + lastPlace : std::max(count, -lastPlace);
  if (positions <= 15) {
    std::string plain = Printf("%.*f", std::max(0, -lastPlace), a);
    if (plain.compare(0, 2, "0.") == 0) plain.erase(0, 1);
    return sign + plain;
  }
  std::string text = sign + digits.substr(0, 1);
  if (count > 1) text += "." + digits.substr(1);
  return text + (exponent < 0 ? "E-" : "E+") + std::to_string(std::abs(exponent));
}

std::string ExpectedPlain(double v) {
  const std::string general = ExpectedGeneral(v);
  return general[0] == ' ' ? general.substr(1) : general;
}

// v rounded to decimals places of its exact binary value, halves to even, and
// read back: the double nearest the decimal result.
double ExpectedRounded(double v, int decimals) {
  if (!std::isfinite(v)) return v;
  return std::strtod(Printf("%.*f", decimals, v).c_str(), nullptr);
}

bool SameBits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b));
}

// The sign of a zero does not show in any text of it.
bool SameValue(double a, double b) {
  return a == b || (std::isnan(a) && std::isnan(b));
}

void CheckFormatters(double v) {
  // Exactly the documented room, on the heap, so that any overrun is reported.
  const std::unique_ptr<char[]> out(new char[kNumberTextCapacity]);
  const std::string general = ExpectedGeneral(v);
  const std::string generalTo(out.get(), FormatGeneralTo(out.get(), v));
  FUZZ_CHECK(generalTo == general, "%a: \"%s\", expected \"%s\"", v, generalTo.c_str(),
             general.c_str());
  FUZZ_CHECK(FormatGeneral(v) == general, "%a", v);
  const std::string plain = ExpectedPlain(v);
  const std::string plainTo(out.get(), FormatPlainTo(out.get(), v));
  FUZZ_CHECK(plainTo == plain, "%a: \"%s\", expected \"%s\"", v, plainTo.c_str(), plain.c_str());
  FUZZ_CHECK(FormatPlain(v) == plain, "%a", v);

  for (int decimals = 0; decimals <= 2; ++decimals) {
    const double rounded = RoundTo(v, decimals);
    const double expected = ExpectedRounded(v, decimals);
    FUZZ_CHECK(SameValue(rounded, expected), "RoundTo(%a, %d) = %a, expected %a", v, decimals,
               rounded, expected);
  }
  const std::string roundedText(out.get(), FormatRoundedTo(out.get(), v));
  const std::string expectedRoundedText = ExpectedPlain(ExpectedRounded(v, 2));
  FUZZ_CHECK(roundedText == expectedRoundedText, "FormatRoundedTo(%a) = \"%s\", expected \"%s\"", v,
             roundedText.c_str(), expectedRoundedText.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  const double read = ReadNumber(text);
  const double expected = ExpectedNumber(text);
  FUZZ_CHECK(SameBits(read, expected), "ReadNumber(\"%.*s\") = %a, expected %a",
             static_cast<int>(size), text.data(), read, expected);

  const bool onlyNumberCharacters = text.find_first_not_of(" +-.0123456789") == text.npos;
  FUZZ_CHECK(HasOnlyNumberCharacters(text) == onlyNumberCharacters, "\"%.*s\"",
             static_cast<int>(size), text.data());

  CheckFormatters(read);
  // Any bit pattern: subnormals, infinities, NaNs, halves at every scale.
  if (size >= sizeof(double)) {
    double bits;
    std::memcpy(&bits, data, sizeof bits);
    CheckFormatters(bits);
  }
  return 0;
}
