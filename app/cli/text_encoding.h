// The catalogues' names are Windows-1252; a terminal speaks the locale's
// character set. varnel converts at its edges: the arguments that name
// systems or words on their way in, catalogue names and reports on their way
// out. List files stay bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Takes the character set from the environment (LC_CTYPE only: numbers keep
// their point). Call once, before anything else here.
void UseTerminalCharacterSet();

// An argument in the terminal's characters as Windows-1252 text, or nullopt
// when it holds a character that Windows-1252 has not (so that no catalogue
// name can hold it).
std::optional<std::string> CatalogueTextOfArgument(std::string_view argument);

// Windows-1252 text in the terminal's characters; what the terminal cannot
// show becomes '?'.
std::string TerminalTextOf(std::string_view catalogueText);

// The exact Windows-1252 <-> UTF-8 conversions (the five bytes Windows-1252
// leaves undefined stand for U+0081, U+008D, U+008F, U+0090 and U+009D, as
// Windows converts them).
std::string Utf8OfWindows1252(std::string_view text);
std::optional<std::string> Windows1252OfUtf8(std::string_view text);
