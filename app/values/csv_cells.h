// The cells of a delimited file's row, quoted as RFC 4180 has it: a cell in
// double quotes may hold the delimiter and doubled quotes. A row is one line:
// a quoted cell that would go on past the line end is refused.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class CsvRowError {
  kNone,
  kOpenQuote,       // a quoted cell is not closed on its line
  kTextAfterQuote,  // something other than blanks follows a closing quote
};

// The message for a row that cannot be split.
const char* CsvRowErrorMessage(CsvRowError error);

// Splits a row (a line without its end) at the delimiter into its cells as
// they are written, quotes and blanks included, so that a cell passed on is
// passed on byte for byte. A cell is quoted when its first character other
// than blanks is a double quote; blanks after the closing quote belong to the
// cell too. A quote within an unquoted cell is taken as it is. An empty line
// is one empty cell.
CsvRowError SplitCsvRow(std::string_view row, char delimiter, std::vector<std::string_view>& cells);

// The text of a cell as SplitCsvRow gives it: a quoted cell without its quotes
// and blanks around them, its doubled quotes single; an unquoted one as it is.
std::string CsvCellText(std::string_view cell);

// The delimiter of a header row: whichever of comma, semicolon and tab occurs
// most often outside quotes (the first of them in that order on a tie), or 0
// when none does.
char FindCsvDelimiter(std::string_view header);
