// The fixed-width text fields of the catalogue records: blank-padded to their
// width and not NUL-terminated. A NUL ends the text early, so the fields of a
// zero-filled record read as empty.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The field's text up to its width or its first NUL, blanks kept.
std::string_view FieldView(const char* field, size_t width);

std::string_view TrimBlanks(std::string_view text);
std::string_view TrimTrailingBlanks(std::string_view text);

// A name as the catalogues compare names: blanks trimmed, a to z as upper
// case (other letters, the accented ones of Windows-1252 among them, as they
// are).
std::string CaseFoldedName(std::string_view text);
bool SameName(std::string_view a, std::string_view b);

// The field's text with leading and trailing blanks removed.
std::string TrimmedField(const char* field, size_t width);
template <size_t N>
std::string TrimmedField(const char (&field)[N]) {
  return TrimmedField(field, N);
}

// Stores text in the field: cut to the width, or padded with blanks to it.
void SetFixedField(char* field, size_t width, std::string_view text);
template <size_t N>
void SetFixedField(char (&field)[N], std::string_view text) {
  SetFixedField(field, N, text);
}
