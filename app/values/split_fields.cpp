#include <algorithm>

#include "errormessage.h"
#include "split_fields.h"

namespace {

bool IsSeparator(char c) {
  return c == ' ' || c == '\t' || c == ';' || c == ',';
}

// One pass over the line: the fields are moved forward over the separators and
// joined by single commas, which is what replacing every separator by a comma,
// stripping the ends and collapsing the runs would leave.
int32_t Split(std::string& line, std::string_view* fields, int32_t capacity) {
  char* const text = line.data();
  const size_t length = line.size();
  size_t written = 0;
  size_t fieldStart = 0;
  int32_t count = 0;
  bool inField = false;
  for (size_t i = 0; i <= length; ++i) {
    if (i == length || IsSeparator(text[i])) {
      if (inField && count <= capacity) {
        fields[count - 1] = std::string_view(text + fieldStart, written - fieldStart);
      }
      inField = false;
      continue;
    }
    if (!inField) {
      if (count > 0) text[written++] = ',';
      fieldStart = written;
      ++count;
      inField = true;
    }
    text[written++] = text[i];
  }
  line.resize(written);  // shrinking keeps the characters where the views point
  for (int32_t k = count; k < capacity; ++k) fields[k] = std::string_view();
  return count;
}

}  // namespace

int32_t SplitFieldViews(std::string& line, std::string_view* fields, int32_t capacity) {
  ProgramErrorTrap trap("SplitFields");
  return Split(line, fields, std::max(capacity, 0));
}

int32_t SplitFields(std::string& line, std::string* fields, int32_t capacity) {
  ProgramErrorTrap trap("SplitFields");
  const int32_t count = Split(line, nullptr, 0);
  // The rewritten line holds the fields joined by single commas.
  trap.Guard([&] {
    std::string_view rest = line;
    for (int32_t k = 0; k < capacity; ++k) {
      const size_t comma = std::min(rest.find(','), rest.size());
      fields[k] = rest.substr(0, comma);
      rest.remove_prefix(std::min(comma + 1, rest.size()));
    }
  });
  return count;
}
