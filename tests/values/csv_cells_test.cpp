// Rows of delimited files: cells as written, their texts, and the delimiter of
// a header.
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "csv_cells.h"

namespace {

struct RowCase {
  const char* row;
  char delimiter;
  CsvRowError error;
  std::vector<std::string> cells;  // as written
  std::vector<std::string> texts;  // as CsvCellText reads them
};

// The quoted rows follow RFC 4180's examples: delimiters and doubled quotes
// within quotes.
const RowCase kRowCases[] = {
    {"P1,577274.98,69740.49", ',', CsvRowError::kNone, {"P1", "577274.98", "69740.49"}, {}},
    {R"("a, b",1,"say ""hi""")",
     ',',
     CsvRowError::kNone,
     {R"("a, b")", "1", R"("say ""hi""")"},
     {"a, b", "1", R"(say "hi")"}},
    {R"(x;"1;2";)", ';', CsvRowError::kNone, {"x", R"("1;2")", ""}, {"x", "1;2", ""}},
    {"a\t\"b\tc\"\t", '\t', CsvRowError::kNone, {"a", "\"b\tc\"", ""}, {"a", "b\tc", ""}},
    {R"(1, "a,b" ,2)", ',', CsvRowError::kNone, {"1", R"( "a,b" )", "2"}, {"1", "a,b", "2"}},
    {R"(,,)", ',', CsvRowError::kNone, {"", "", ""}, {}},
    {"", ',', CsvRowError::kNone, {""}, {}},
    {R"(ab"c,d)", ',', CsvRowError::kNone, {R"(ab"c)", "d"}, {}},
    {R"("""",x)", ',', CsvRowError::kNone, {R"("""")", "x"}, {R"(")", "x"}},
    {R"(1,"open)", ',', CsvRowError::kOpenQuote, {}, {}},
    {R"(1,"ends "" here)", ',', CsvRowError::kOpenQuote, {}, {}},
    {R"("a"b,c)", ',', CsvRowError::kTextAfterQuote, {}, {}},
};

TEST(CsvCells, RowsSplitAsWrittenAndReadAsText) {
  for (const RowCase& c : kRowCases) {
    std::vector<std::string_view> cells;
    ASSERT_EQ(SplitCsvRow(c.row, c.delimiter, cells), c.error) << c.row;
    if (c.error != CsvRowError::kNone) continue;
    EXPECT_EQ(std::vector<std::string>(cells.begin(), cells.end()), c.cells) << c.row;
    const std::vector<std::string>& texts = c.texts.empty() ? c.cells : c.texts;
    for (size_t i = 0; i < cells.size() && i < texts.size(); ++i) {
      EXPECT_EQ(CsvCellText(cells[i]), texts[i]) << c.row << " cell " << i;
    }
  }
}

TEST(CsvCells, TheHeaderNamesItsDelimiter) {
  const struct {
    const char* header;
    char delimiter;
  } cases[] = {
      {"id,easting,northing", ','},
      {"id;easting;northing", ';'},
      {"id\teasting\tnorthing", '\t'},
      {R"("name, first";x;y)", ';'},  // a comma within quotes does not count
      {"a,b;c,d", ','},               // the most
      {"a;b,c", ','},                 // a tie: the first of comma, semicolon, tab
      {"E N H", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(FindCsvDelimiter(c.header), c.delimiter) << c.header;
}

}  // namespace
