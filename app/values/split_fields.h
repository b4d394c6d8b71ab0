// Splitting a list-file line into its coordinate fields.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Splits a list-file line into fields. Blanks, tabs, ";" and "," all separate
// fields; a run of them counts as one separator, and separators at the start
// or end of the line are ignored. The line is rewritten in place to its fields
// joined by single commas. The first `capacity` fields are stored into
// fields[0], fields[1], ... (positions the line has no field for are emptied);
// the result is the number of fields in the line, stored or not (0 for a line
// of separators only).
int32_t SplitFields(std::string& line, std::string* fields, int32_t capacity);
// The same without allocation: the views point into the rewritten line and stay
// valid while the line is not changed.
int32_t SplitFieldViews(std::string& line, std::string_view* fields, int32_t capacity);
