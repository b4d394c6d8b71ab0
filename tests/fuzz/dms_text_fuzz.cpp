// DMS text: ParseDms on any text (normalisation, range check, value of a
// well-formed text by the definition of the notation), and FormatDms then
// ParseDms returning to the angle within half a thousandth of a second.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "dms_text.h"
#include "fuzz_check.h"
#include "message_recorder.h"

namespace {

constexpr long double kHalfThousandthDegrees = 0.0005L / 3600;

// The text ParseDms leaves: seven characters after the first point, padded
// with zeros or cut; a text without a point gets ".0000000".
std::string Normalised(std::string text) {
  const size_t point = text.find('.');
  if (point == std::string::npos) return text + ".0000000";
  text.resize(point + 8, '0');
  return text;
}

// -?D+.MMSSsss with digits only: the angle the notation defines, or NaN.
long double DefinedValue(const std::string& text) {
  const size_t start = text[0] == '-' ? 1 : 0;
  const size_t point = text.find('.');
  if (point == start || text.find_first_not_of("0123456789", start) != point ||
      text.find_first_not_of("0123456789", point + 1) != std::string::npos) {
    return NAN;
  }
  const long double degrees = std::strtold(text.substr(start, point - start).c_str(), nullptr);
  const long double minutes = std::strtold(text.substr(point + 1, 2).c_str(), nullptr);
  const long double seconds = std::strtold(text.substr(point + 3, 5).c_str(), nullptr) / 1000;
  if (minutes > 60 || seconds > 60) return NAN;
  const long double value = degrees + minutes / 60 + seconds / 3600;
  return start == 1 ? -value : value;
}

void CheckParse(const std::string& input) {
  MessageRecorder recorder;
  std::string text = input;
  double value = 12345.678;  // must survive a rejected text
  const int32_t result = ParseDms(text, kDmsOther, value);
  FUZZ_CHECK(text == Normalised(input), "\"%s\" normalised to \"%s\"", input.c_str(), text.c_str());
  FUZZ_CHECK(result == 0 || result == -1, "result %d", result);
  FUZZ_CHECK(recorder.messages().size() == (result == -1 ? 1u : 0u), "\"%s\": %zu messages",
             input.c_str(), recorder.messages().size());
  if (result == -1) {
    FUZZ_CHECK(value == 12345.678, "rejected \"%s\" changed the value", input.c_str());
    return;
  }
  const long double defined = DefinedValue(text);
  if (!std::isnan(defined) && std::fabs(defined) < 1e15L) {
    FUZZ_CHECK(std::fabs(value - defined) <= 1e-15L * std::fmax(1.0L, std::fabs(defined)),
               "\"%s\" read as %.17g, defined %.17Lg", text.c_str(), value, defined);
  }
}

// Below this the seconds of a double still resolve a thousandth.
constexpr double kRoundTripLimit = 1e8;

void CheckRoundTrip(double value) {
  const std::unique_ptr<char[]> out(new char[kDmsTextCapacity]);
  const std::string text(out.get(), FormatDmsTo(out.get(), value));
  FUZZ_CHECK(FormatDms(value) == text, "%a", value);
  if (!(std::fabs(value) < kRoundTripLimit)) return;
  MessageRecorder recorder;
  std::string parsedText = text;
  double parsed = NAN;
  FUZZ_CHECK(ParseDms(parsedText, kDmsOther, parsed) == 0, "%a as \"%s\" rejected", value,
             text.c_str());
  const long double tolerance =
      kHalfThousandthDegrees +
      4 * std::ldexp(1.0L, std::ilogb(std::fmax(std::fabs(value), 1.0)) - 52);
  FUZZ_CHECK(std::fabs(static_cast<long double>(parsed) - value) <= tolerance,
             "%.17g as \"%s\" read back as %.17g", value, text.c_str(), parsed);
  // "-0.0000000" (a small negative angle) reads back as a zero without sign.
  if (parsed != 0) {
    FUZZ_CHECK(FormatDms(parsed) == text, "%.17g as \"%s\", again as \"%s\"", value, text.c_str(),
               FormatDms(parsed).c_str());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  CheckParse(input);
  if (size >= sizeof(double)) {
    double value;
    std::memcpy(&value, data, sizeof value);
    CheckRoundTrip(value);
  }
  // The angle of the text, which is near the texts the fuzzer builds.
  MessageRecorder recorder;
  std::string text = input;
  double value = 0;
  if (ParseDms(text, kDmsOther, value) == 0) CheckRoundTrip(value);
  return 0;
}
