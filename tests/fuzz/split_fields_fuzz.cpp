// SplitFields and SplitFieldViews against a plain tokenizer: the fields, their
// count and the rewritten line must agree for any line and capacity.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "split_fields.h"

namespace {

std::vector<std::string> Tokens(const std::string& line) {
  std::vector<std::string> tokens;
  std::string current;
  for (const char c : line + ' ') {
    if (c == ' ' || c == '\t' || c == ';' || c == ',') {
      if (!current.empty()) tokens.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  return tokens;
}

std::string Joined(const std::vector<std::string>& tokens) {
  std::string line;
  for (const std::string& token : tokens) line += (line.empty() ? "" : ",") + token;
  return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int32_t capacity = data[0] % 7 - 1;  // -1 to 5
  const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::vector<std::string> tokens = Tokens(input);
  const int32_t count = static_cast<int32_t>(tokens.size());
  const std::string joined = Joined(tokens);

  constexpr int32_t kSlots = 6;
  std::string line = input;
  std::string fields[kSlots];
  for (std::string& field : fields) field = "stale";
  FUZZ_CHECK(SplitFields(line, fields, capacity) == count, "count of \"%s\"", input.c_str());
  FUZZ_CHECK(line == joined, "\"%s\" rewritten as \"%s\"", input.c_str(), line.c_str());
  for (int32_t k = 0; k < capacity; ++k) {
    FUZZ_CHECK(fields[k] == (k < count ? tokens[k] : ""), "field %d of \"%s\"", k, input.c_str());
  }
  for (int32_t k = std::max(capacity, 0); k < kSlots; ++k)
    FUZZ_CHECK(fields[k] == "stale", "%d", k);

  line = input;
  std::string_view views[kSlots];
  for (std::string_view& view : views) view = "stale";
  FUZZ_CHECK(SplitFieldViews(line, views, capacity) == count, "count of \"%s\"", input.c_str());
  FUZZ_CHECK(line == joined, "\"%s\" rewritten as \"%s\"", input.c_str(), line.c_str());
  for (int32_t k = 0; k < capacity; ++k) {
    FUZZ_CHECK(views[k] == (k < count ? tokens[k] : ""), "view %d of \"%s\"", k, input.c_str());
    // The views point into the rewritten line.
    FUZZ_CHECK(views[k].empty() || (views[k].data() >= line.data() &&
                                    views[k].data() + views[k].size() <= line.data() + line.size()),
               "view %d outside the line", k);
  }
  for (int32_t k = std::max(capacity, 0); k < kSlots; ++k) FUZZ_CHECK(views[k] == "stale", "%d", k);
  return 0;
}
