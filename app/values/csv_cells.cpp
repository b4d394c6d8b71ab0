#include "csv_cells.h"

#include <array>

namespace {

constexpr char kQuote = '"';

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// Blanks, but not the delimiter: a tab-delimited row has no blank tabs.
size_t SkipBlanks(std::string_view row, size_t at, char delimiter) {
  while (at < row.size() && IsBlank(row[at]) && row[at] != delimiter) ++at;
  return at;
}

}  // namespace

const char* CsvRowErrorMessage(CsvRowError error) {
  switch (error) {
    case CsvRowError::kOpenQuote:
      return "A quoted cell is not closed on its line (a cell may not hold a line break).";
    case CsvRowError::kTextAfterQuote:
      return "A quoted cell goes on after its closing quote.";
    case CsvRowError::kNone:
      break;
  }
  return "";
}

CsvRowError SplitCsvRow(std::string_view row, char delimiter,
                        std::vector<std::string_view>& cells) {
  cells.clear();
  size_t start = 0;
  for (;;) {
    size_t at = SkipBlanks(row, start, delimiter);
    if (at < row.size() && row[at] == kQuote) {
      // Up to the quote that is not doubled.
      for (++at;; at += 2) {
        at = row.find(kQuote, at);
        if (at == std::string_view::npos) return CsvRowError::kOpenQuote;
        if (at + 1 >= row.size() || row[at + 1] != kQuote) break;
      }
      at = SkipBlanks(row, at + 1, delimiter);
      if (at < row.size() && row[at] != delimiter) return CsvRowError::kTextAfterQuote;
    } else {
      at = row.find(delimiter, start);
      if (at == std::string_view::npos) at = row.size();
    }
    cells.push_back(row.substr(start, at - start));
    if (at >= row.size()) return CsvRowError::kNone;
    start = at + 1;
  }
}

std::string CsvCellText(std::string_view cell) {
  const size_t open = cell.find_first_not_of(" \t");
  if (open == std::string_view::npos || cell[open] != kQuote) return std::string(cell);
  const size_t close = cell.find_last_of(kQuote);
  std::string text;
  for (size_t i = open + 1; i < close; ++i) {
    text += cell[i];
    if (cell[i] == kQuote) ++i;  // the second of a doubled quote
  }
  return text;
}

char FindCsvDelimiter(std::string_view header) {
  constexpr std::array<char, 3> kDelimiters = {',', ';', '\t'};
  std::array<int, 3> counts{};
  bool quoted = false;
  for (const char c : header) {
    if (c == kQuote) quoted = !quoted;  // a doubled quote leaves and enters again
    if (quoted) continue;
    for (size_t k = 0; k < kDelimiters.size(); ++k) counts[k] += c == kDelimiters[k];
  }
  size_t best = 0;
  for (size_t k = 1; k < kDelimiters.size(); ++k) {
    if (counts[k] > counts[best]) best = k;
  }
  return counts[best] > 0 ? kDelimiters[best] : 0;
}
