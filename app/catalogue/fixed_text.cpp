#include "fixed_text.h"

#include <algorithm>
#include <cstring>

std::string_view FieldView(const char* field, size_t width) {
  const void* nul = std::memchr(field, '\0', width);
  return std::string_view(field, nul ? static_cast<const char*>(nul) - field : width);
}

std::string_view TrimTrailingBlanks(std::string_view text) {
  const size_t last = text.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

std::string_view TrimBlanks(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string_view()
                                         : TrimTrailingBlanks(text.substr(first));
}

std::string TrimmedField(const char* field, size_t width) {
  return std::string(TrimBlanks(FieldView(field, width)));
}

void SetFixedField(char* field, size_t width, std::string_view text) {
  const size_t length = std::min(text.size(), width);
  // An empty view may carry no address at all: nothing to copy then.
  if (length != 0) std::memcpy(field, text.data(), length);
  std::memset(field + length, ' ', width - length);
}

std::string CaseFoldedName(std::string_view text) {
  std::string folded(TrimBlanks(text));
  for (char& c : folded) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return folded;
}

bool SameName(std::string_view a, std::string_view b) {
  return CaseFoldedName(a) == CaseFoldedName(b);
}
