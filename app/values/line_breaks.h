// Line ends of the program's 8-bit text files: CR LF, CR and LF each end a
// line, so that files saved on any system read alike.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

// A line end in a text: the line runs up to end; the next one starts at next.
struct LineBreak {
  size_t end;
  size_t next;
};

// The first line end at or after from. None when the text has no CR or LF
// there, or when more text may follow and the text ends in a CR that may be
// the first half of a CR LF.
inline std::optional<LineBreak> FindLineBreak(std::string_view text, size_t from,
                                              bool moreFollows) {
  const char* const data = text.data();
  const size_t size = text.size();
  for (size_t i = from; i < size; ++i) {
    const char c = data[i];
    // One comparison lets nearly every character of a line pass.
    if (c > '\r' || (c != '\r' && c != '\n')) continue;
    if (c == '\n') return LineBreak{i, i + 1};
    if (i + 1 < size) return LineBreak{i, data[i + 1] == '\n' ? i + 2 : i + 1};
    if (moreFollows) return std::nullopt;
    return LineBreak{i, i + 1};
  }
  return std::nullopt;
}

// The lines of a text held in memory, in order, without their ends; a last
// line without an end is still a line, and an empty text has none.
class TextLines {
 public:
  explicit TextLines(std::string_view text = {}) : text_(text) {}

  bool Next(std::string_view& line) {
    if (position_ >= text_.size()) return false;
    const auto lineBreak = FindLineBreak(text_, position_, false);
    const size_t end = lineBreak ? lineBreak->end : text_.size();
    line = text_.substr(position_, end - position_);
    position_ = lineBreak ? lineBreak->next : text_.size();
    ++number_;
    return true;
  }
  // Of the line Next gave last, counted from 1.
  int64_t number() const { return number_; }

 private:
  std::string_view text_;
  size_t position_ = 0;
  int64_t number_ = 0;
};
