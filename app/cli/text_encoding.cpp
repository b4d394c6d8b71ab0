#include "text_encoding.h"

#include <array>
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <clocale>
#include <cstring>
#endif

namespace {

// Windows-1252 0x80 to 0x9F; 0xA0 to 0xFF are U+00A0 to U+00FF.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t CodePointOf(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte;
}

std::optional<char> ByteOf(char32_t codePoint) {
  if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
    return static_cast<char>(codePoint);
  }
  for (size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == codePoint) return static_cast<char>(0x80 + i);
  }
  return std::nullopt;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The next code point of UTF-8 text, or nullopt for a malformed sequence
// (overlong forms and surrogates included).
std::optional<char32_t> NextUtf8(std::string_view& text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  const size_t length = lead < 0x80         ? 1
                        : (lead >> 5) == 6  ? 2
                        : (lead >> 4) == 14 ? 3
                        : (lead >> 3) == 30 ? 4
                                            : 0;
  if (length == 0 || text.size() < length) return std::nullopt;
  char32_t c = length == 1 ? lead : lead & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    c = (c << 6) | (next & 0x3F);
  }
  constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kLeast[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
  text.remove_prefix(length);
  return c;
}

#ifdef _WIN32
// Through UTF-16, as Windows converts between its code pages.
std::optional<std::string> Recode(std::string_view text, UINT from, UINT to, bool exact) {
  if (text.empty() || from == to) return std::string(text);
  const int size = static_cast<int>(text.size());
  const int wide = MultiByteToWideChar(from, 0, text.data(), size, nullptr, 0);
  std::wstring utf16(static_cast<size_t>(wide), L'\0');
  if (wide == 0 || MultiByteToWideChar(from, 0, text.data(), size, utf16.data(), wide) != wide) {
    return std::nullopt;
  }
  BOOL defaulted = FALSE;
  const DWORD flags = exact && to != CP_UTF8 ? WC_NO_BEST_FIT_CHARS : 0;
  BOOL* usedDefault = to == CP_UTF8 ? nullptr : &defaulted;
  const int narrow =
      WideCharToMultiByte(to, flags, utf16.data(), wide, nullptr, 0, nullptr, usedDefault);
  std::string out(static_cast<size_t>(narrow), '\0');
  if (narrow == 0 || WideCharToMultiByte(to, flags, utf16.data(), wide, out.data(), narrow, nullptr,
                                         usedDefault) != narrow) {
    return std::nullopt;
  }
  if (exact && defaulted) return std::nullopt;
  return out;
}
#else
enum class Terminal { kBytes, kUtf8, kWindows1252, kOther };
Terminal terminal = Terminal::kBytes;
std::string terminalCodeset;

// Through iconv, for a locale that is neither UTF-8 nor Windows-1252.
std::optional<std::string> Iconv(std::string_view text, const std::string& from,
                                 const std::string& to) {
  const iconv_t converter = iconv_open(to.c_str(), from.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out(text.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  char* at = out.data();
  size_t outLeft = out.size();
  const size_t done = iconv(converter, &in, &inLeft, &at, &outLeft);
  iconv_close(converter);
  if (done == static_cast<size_t>(-1)) return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}
#endif

}  // namespace

std::string Utf8OfWindows1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) AppendUtf8(out, CodePointOf(static_cast<unsigned char>(c)));
  return out;
}

std::optional<std::string> Windows1252OfUtf8(std::string_view text) {
  std::string out;
  while (!text.empty()) {
    const std::optional<char32_t> c = NextUtf8(text);
    const std::optional<char> byte = c ? ByteOf(*c) : std::nullopt;
    if (!byte) return std::nullopt;
    out += *byte;
  }
  return out;
}

#ifdef _WIN32
// Arguments come in the ANSI code page; the console shows its output code page.
void UseTerminalCharacterSet() {}

std::optional<std::string> CatalogueTextOfArgument(std::string_view argument) {
  return Recode(argument, CP_ACP, 1252, true);
}

std::string TerminalTextOf(std::string_view catalogueText) {
  const UINT console = GetConsoleOutputCP();
  if (console == 0) return std::string(catalogueText);  // no console: bytes as they are
  return Recode(catalogueText, 1252, console, false).value_or(std::string(catalogueText));
}
#else
void UseTerminalCharacterSet() {
  if (std::setlocale(LC_CTYPE, "") == nullptr) return;
  terminalCodeset = nl_langinfo(CODESET);
  if (terminalCodeset == "UTF-8") {
    terminal = Terminal::kUtf8;
  } else if (terminalCodeset == "CP1252" || terminalCodeset == "WINDOWS-1252") {
    terminal = Terminal::kWindows1252;
  } else if (terminalCodeset == "ANSI_X3.4-1968") {
    terminal = Terminal::kBytes;  // the C locale: bytes pass as they always have
  } else {
    terminal = Terminal::kOther;
  }
}

std::optional<std::string> CatalogueTextOfArgument(std::string_view argument) {
  switch (terminal) {
    case Terminal::kUtf8:
      return Windows1252OfUtf8(argument);
    case Terminal::kOther:
      return Iconv(argument, terminalCodeset, "WINDOWS-1252");
    default:
      return std::string(argument);
  }
}

std::string TerminalTextOf(std::string_view catalogueText) {
  switch (terminal) {
    case Terminal::kUtf8:
      return Utf8OfWindows1252(catalogueText);
    case Terminal::kOther: {
      std::optional<std::string> text = Iconv(catalogueText, "WINDOWS-1252", terminalCodeset);
      if (!text) text = Iconv(catalogueText, "WINDOWS-1252", terminalCodeset + "//TRANSLIT");
      return text.value_or(std::string(catalogueText));
    }
    default:
      return std::string(catalogueText);
  }
}
#endif
