#include "text_encoding.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// Values from the Unicode Consortium's mapping of Windows-1252 (CP1252.TXT),
// the five undefined bytes as Windows' MultiByteToWideChar gives them.
TEST(TextEncoding, Windows1252ToUtf8ByTheTable) {
  const struct {
    const char* windows1252;
    const char* utf8;
  } cases[] = {
      {"\x80", "\xE2\x82\xAC"},  // U+20AC euro sign
      {"\x8A", "\xC5\xA0"},      // U+0160 S with caron
      {"\x9F", "\xC5\xB8"},      // U+0178 Y with diaeresis
      {"\x81", "\xC2\x81"},      // undefined: U+0081
      {"\xB0", "\xC2\xB0"},      // degree sign
      {"m\xE9tropolitaine", "m\xC3\xA9tropolitaine"},
      {"plain ASCII", "plain ASCII"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8OfWindows1252(c.windows1252), c.utf8);
    EXPECT_EQ(Windows1252OfUtf8(c.utf8), std::string(c.windows1252));
  }
  std::string every;
  for (int byte = 0; byte < 256; ++byte) every += static_cast<char>(byte);
  EXPECT_EQ(Windows1252OfUtf8(Utf8OfWindows1252(every)), every);
}

TEST(TextEncoding, Utf8ThatNoWindows1252TextHoldsIsRefused) {
  const char* refused[] = {
      "29.25\xE2\x86\x92N",  // U+2192 arrow: not in Windows-1252
      "\xF0\x9F\x98\x80",    // U+1F600, four bytes
      "\xC5\x81\xC3\xB3",    // U+0141 L with stroke
      "\xC3",                // cut short
      "\xC0\xB0",            // overlong form of U+0030
      "\xED\xA0\x80",        // a surrogate
      "\xB0",                // a Windows-1252 byte is not UTF-8
  };
  for (const char* text : refused) EXPECT_EQ(Windows1252OfUtf8(text), std::nullopt) << text;
}

}  // namespace
