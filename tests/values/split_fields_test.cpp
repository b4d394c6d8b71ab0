// Splitting list-file lines into fields.
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "split_fields.h"

namespace {

struct SplitCase {
  const char* line;
  int32_t count;
  const char* rewritten;
  std::vector<std::string> stored;  // what three positions receive
};

const SplitCase kSplitCases[] = {
    {"   12.5\t;34.25,", 2, "12.5,34.25", {"12.5", "34.25", ""}},
    {"52.3015250 ;  13.2400000;   45.5",
     3,
     "52.3015250,13.2400000,45.5",
     {"52.3015250", "13.2400000", "45.5"}},
    {"1;2,3 4\t5", 5, "1,2,3,4,5", {"1", "2", "3"}},
    {"a,,,,;;\t  b", 2, "a,b", {"a", "b", ""}},
    {",;\t,x,;\t,", 1, "x", {"x", "", ""}},
    {"single", 1, "single", {"single", "", ""}},
    {"", 0, "", {"", "", ""}},
    {" ,;\t ", 0, "", {"", "", ""}},
    {"#5 6", 2, "#5,6", {"#5", "6", ""}},
};

TEST(SplitFields, AnyRunOfSeparatorsIsOne) {
  for (const SplitCase& c : kSplitCases) {
    std::string line = c.line;
    std::string fields[3] = {"old", "old", "old"};
    EXPECT_EQ(SplitFields(line, fields, 3), c.count) << c.line;
    EXPECT_EQ(line, c.rewritten) << c.line;
    EXPECT_EQ(std::vector<std::string>(fields, fields + 3), c.stored) << c.line;

    std::string viewLine = c.line;
    std::string_view views[3] = {"old", "old", "old"};
    EXPECT_EQ(SplitFieldViews(viewLine, views, 3), c.count) << c.line;
    EXPECT_EQ(viewLine, c.rewritten) << c.line;
    EXPECT_EQ(std::vector<std::string>(views, views + 3), c.stored) << c.line;
  }
}

TEST(SplitFields, CountsFieldsBeyondTheArray) {
  std::string line = "1 2 3 4";
  std::string one;
  EXPECT_EQ(SplitFields(line, &one, 1), 4);
  EXPECT_EQ(one, "1");
  line = "1 2";
  EXPECT_EQ(SplitFields(line, nullptr, 0), 2);
  EXPECT_EQ(line, "1,2");
}

}  // namespace
