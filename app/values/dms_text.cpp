#include "dms_text.h"

#include <cmath>
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

size_t FormatDmsText(char* out, double value) {
  if (!std::isfinite(value)) return FormatPlainTo(out, value);
  char* p = out;
  if (value < 0) *p++ = '-';
  long double a = std::fabs(static_cast<long double>(value));
  const long double fraction = a - std::trunc(a);
  long double minutes = std::floor(60 * fraction);
  // Thousandths of a second, halves up. The fraction left over after the whole
  // minutes is below 1/60, so this is at most 60000.
  long double thousandths = std::floor(3600000 * (fraction - minutes / 60) + 0.5L);
  if (thousandths >= 60000) {
    thousandths = 0;
    minutes += 1;
    if (minutes >= 60) {
      minutes = 0;
      a += 1;
    }
  }
  p += FormatPlainTo(p, static_cast<double>(std::floor(a)));
  *p++ = '.';
  p = AppendPadded(p, static_cast<int>(minutes), 2);
  p = AppendPadded(p, static_cast<int>(thousandths), 5);
  return p - out;
}

}  // namespace

size_t FormatDmsTo(char* out, double value) {
  ProgramErrorTrap trap("FormatDms");
  return FormatDmsText(out, value);
}

std::string FormatDms(double value) {
  ProgramErrorTrap trap("FormatDms");
  char text[kDmsTextCapacity];
  const size_t length = FormatDmsText(text, value);
  try {
    return std::string(text, length);
  } catch (const std::bad_alloc&) {
    trap.Raise(kErrOutOfMemory);
    return std::string();
  }
}

int32_t ParseDms(std::string& text, int32_t kind, double& value) {
  ProgramErrorTrap trap("ParseDms");
  size_t point = text.find('.');
  try {
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
  } catch (const std::bad_alloc&) {
    trap.Raise(kErrOutOfMemory);
    return -1;
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
