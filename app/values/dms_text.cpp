#include "dms_text.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <new>
#include <string_view>

#include "errormessage.h"
#include "message.h"
#include "number_text.h"

namespace {

constexpr std::string_view kDmsRangeText =
    "nput error! DMS selected - but minutes or seconds > 60!";

std::string DmsRangeMessage(int32_t kind) {
  const char* prefix = kind == kDmsLatitude    ? "Latitude i"
                       : kind == kDmsLongitude ? "Longitude i"
                                               : "I";
  return std::string(prefix).append(kDmsRangeText);
}

// Writes n (0 <= n < 10^width) with leading zeros.
char* AppendPadded(char* out, int n, int width) {
  for (int k = width - 1; k >= 0; --k, n /= 10) out[k] = static_cast<char>('0' + n % 10);
  return out + width;
}

// The whole minutes m = floor(60 f) and the thousandths of a second
// floor(3 600 000 (f - m / 60) + 1/2) of a fraction of a degree 0 <= f < 1,
// worked out exactly on the binary value of f, so that no rounding of a
// step can push a value across a thousandth. The thousandths may come out as
// 60 000, which the caller carries.
void SplitFraction(double fraction, int& minutes, int& thousandths) {
  // Below 2^-23 (a fortieth of a second) there is nothing to round up.
  if (fraction < 0x1p-23) {
    minutes = 0;
    thousandths = 0;
    return;
  }
  // fraction = significand / 2^shift, with 53 <= shift <= 75 for 2^-23 <= f < 1.
  const uint64_t bits = std::bit_cast<uint64_t>(fraction);
  const uint64_t significand = (bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
  const int shift = 1075 - static_cast<int>(bits >> 52);
  using Wide = unsigned __int128;
  minutes = static_cast<int>((Wide{significand} * 60) >> shift);
  const Wide halfUp = Wide{significand} * 3600000 + (Wide{1} << (shift - 1));
  thousandths = static_cast<int>(halfUp >> shift) - 60000 * minutes;
}

size_t FormatDmsText(char* out, double value) {
  if (!std::isfinite(value)) return FormatPlainTo(out, value);
  char* p = out;
  if (value < 0) *p++ = '-';
  const double a = std::fabs(value);
  // From 2^52 on, a double has no fraction.
  double degrees = a < 0x1p52 ? static_cast<double>(static_cast<int64_t>(a)) : a;
  int minutes = 0;
  int thousandths = 0;
  SplitFraction(a - degrees, minutes, thousandths);  // the subtraction is exact
  if (thousandths == 60000) {
    thousandths = 0;
    if (++minutes == 60) {
      minutes = 0;
      degrees += 1;
    }
  }
  p += FormatPlainTo(p, degrees);
  *p++ = '.';
  p = AppendPadded(p, minutes, 2);
  p = AppendPadded(p, thousandths, 5);
  return p - out;
}

// Seven decimals exactly (filled with zeros or cut), then degrees before the
// point, minutes and seconds after it.
int32_t ParseDmsText(std::string& text, int32_t kind, double& value) {
  size_t point = text.find('.');
  if (point == std::string::npos) {
    point = text.size();
    text.append(".0000000");
  } else {
    const size_t decimals = text.size() - point - 1;
    if (decimals < 7) {
      text.append(7 - decimals, '0');
    } else {
      text.resize(point + 8);
    }
  }
  const std::string_view normalised = text;
  const std::string_view degreeText = normalised.substr(0, point);
  const long double degrees = ReadNumber(degreeText);
  const long double minutes = ReadNumber(normalised.substr(point + 1, 2));
  const long double seconds = ReadNumber(normalised.substr(point + 3, 5)) / 1000.0L;
  if (minutes > 60 || seconds > 60) {
    ShowMessage(DmsRangeMessage(kind), kCaptionWarning, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
    return -1;
  }
  long double degreesValue = std::fabs(degrees) + minutes / 60 + seconds / 3600;
  // The sign comes from the text, so that -0.3 (minus half a degree) keeps it.
  const size_t firstNonBlank = degreeText.find_first_not_of(' ');
  if (firstNonBlank != std::string_view::npos && degreeText[firstNonBlank] == '-') {
    degreesValue = -degreesValue;
  }
  value = static_cast<double>(degreesValue);
  return 0;
}

}  // namespace

size_t FormatDmsTo(char* out, double value) {
  ProgramErrorTrap trap("FormatDms");
  return FormatDmsText(out, value);
}

std::string FormatDms(double value) {
  ProgramErrorTrap trap("FormatDms");
  std::string result;
  trap.Guard([&] {
    char text[kDmsTextCapacity];
    result.assign(text, FormatDmsText(text, value));
  });
  return result;
}

int32_t ParseDms(std::string& text, int32_t kind, double& value) {
  ProgramErrorTrap trap("ParseDms");
  int32_t result = -1;
  trap.Guard([&] { result = ParseDmsText(text, kind, value); });
  return result;
}
