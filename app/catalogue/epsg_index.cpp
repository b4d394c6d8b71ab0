#include "epsg_index.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>

#include "fixed_text.h"
#include "line_breaks.h"

namespace {

using Kind = EpsgIndexEntry::Kind;

struct KindName {
  std::string_view name;
  Kind kind;
};

constexpr KindName kKindNames[] = {{"projected", Kind::kProjected},
                                   {"meridian", Kind::kMeridian},
                                   {"geographic", Kind::kGeographic},
                                   {"transformation", Kind::kTransformation},
                                   {"left out", Kind::kLeftOut}};

constexpr size_t kIndexFields = 4;  // code;kind;entry;unit, and a reason when left out

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// The whole file, or nullopt and the errno of the failing call.
std::optional<std::string> ReadWholeFile(const std::string& path, int& errorNumber) {
  const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  errorNumber = errno;
  if (!file) return std::nullopt;
  std::string text;
  char chunk[1 << 16];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) text.append(chunk, got);
  errorNumber = errno;
  if (std::ferror(file.get())) return std::nullopt;
  return text;
}

// A whole field of decimal digits, within int32_t.
std::optional<int32_t> ReadWholeNumber(std::string_view text) {
  text = TrimBlanks(text);
  int32_t value = 0;
  const char* last = text.data() + text.size();
  const auto [end, fault] = std::from_chars(text.data(), last, value);
  if (text.empty() || fault != std::errc() || end != last) return std::nullopt;
  return value;
}

std::vector<std::string_view> SplitAtSemicolons(std::string_view line) {
  std::vector<std::string_view> fields;
  for (;;) {
    const size_t end = line.find(';');
    fields.push_back(line.substr(0, end));
    if (end == std::string_view::npos) return fields;
    line.remove_prefix(end + 1);
  }
}

// One row into entry; an empty result, or what is wrong with the row.
std::string ReadRow(std::string_view line, EpsgIndexEntry& entry) {
  const std::vector<std::string_view> fields = SplitAtSemicolons(line);
  const std::string_view kind = fields.size() > 1 ? TrimBlanks(fields[1]) : std::string_view();
  const auto known = std::find_if(std::begin(kKindNames), std::end(kKindNames),
                                  [&](const KindName& k) { return k.name == kind; });
  const size_t wanted =
      kIndexFields + (known != std::end(kKindNames) && known->kind == Kind::kLeftOut);
  if (fields.size() != wanted) {
    return std::to_string(wanted) + " fields expected, found " + std::to_string(fields.size());
  }
  const std::optional<int32_t> code = ReadWholeNumber(fields[0]);
  if (!code || *code <= 0) return "code '" + std::string(fields[0]) + "' is not a positive number";
  entry.code = *code;
  if (known == std::end(kKindNames)) return "unknown kind '" + std::string(kind) + "'";
  entry.kind = known->kind;
  entry.entry = TrimBlanks(fields[2]);
  if (entry.entry.empty()) return "no entry name";
  entry.unit = TrimBlanks(fields[3]);
  if (entry.unit.empty()) return "no unit";
  if (entry.kind == Kind::kLeftOut) {
    entry.reason = TrimBlanks(fields[4]);
    if (entry.reason.empty()) return "no reason for leaving it out";
  }
  return {};
}

// The entries of the text, or what is wrong and on which line.
std::string ReadIndex(std::string_view text, std::vector<EpsgIndexEntry>& entries) {
  TextLines lines(text);
  std::string_view line;
  const auto at = [&](const std::string& what) {
    return "line " + std::to_string(lines.number()) + ": " + what;
  };
  if (!lines.Next(line)) return "empty file";
  const std::optional<int32_t> count = ReadWholeNumber(line);
  if (!count || *count < 0) return at("the row count '" + std::string(line) + "' is not a number");
  // A row takes at least eight bytes: a wrong count reserves no more than the file could hold.
  entries.reserve(std::min(static_cast<size_t>(*count), text.size() / 8));
  for (int32_t k = 0; k < *count; ++k) {
    if (!lines.Next(line)) {
      return std::to_string(*count) + " rows counted, " + std::to_string(k) + " found";
    }
    EpsgIndexEntry entry;
    if (std::string fault = ReadRow(line, entry); !fault.empty()) return at(fault);
    // FindEpsgCode halves the range: one row a code, in order of code.
    if (!entries.empty() && entry.code <= entries.back().code) {
      return at("code " + std::to_string(entry.code) + " after " +
                std::to_string(entries.back().code) + " (out of order or repeated)");
    }
    entries.push_back(std::move(entry));
  }
  while (lines.Next(line)) {
    if (!TrimBlanks(line).empty()) {
      return at("a row beyond the count of " + std::to_string(*count));
    }
  }
  return {};
}

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view NameOf(const ProjectionRecord& record) {
  return TrimBlanks(FieldView(record.name, sizeof record.name));
}

std::string_view NameOf(const DatumRecord& record) {
  return TrimBlanks(FieldView(record.name, sizeof record.name));
}

}  // namespace

bool LoadEpsgIndex(const std::string& path, std::vector<EpsgIndexEntry>& entries,
                   std::string& error) {
  entries.clear();
  error.clear();
  int errorNumber = 0;
  const std::optional<std::string> text = ReadWholeFile(path, errorNumber);
  if (!text) {
    error = path + ": cannot be read (" + std::strerror(errorNumber) + ")";
    return false;
  }
  if (std::string fault = ReadIndex(*text, entries); !fault.empty()) {
    entries.clear();
    error = path + ": " + fault;
    return false;
  }
  return true;
}

const EpsgIndexEntry* FindEpsgCode(const std::vector<EpsgIndexEntry>& entries, int32_t code) {
  const auto found = std::lower_bound(
      entries.begin(), entries.end(), code,
      [](const EpsgIndexEntry& entry, int32_t wanted) { return entry.code < wanted; });
  return found != entries.end() && found->code == code ? &*found : nullptr;
}

bool NameHoldsEveryWord(std::string_view name, const std::vector<std::string>& words) {
  const auto sameLetter = [](char a, char b) { return LowerAscii(a) == LowerAscii(b); };
  return std::all_of(words.begin(), words.end(), [&](const std::string& word) {
    return word.empty() || std::search(name.begin(), name.end(), word.begin(), word.end(),
                                       sameLetter) != name.end();
  });
}

std::vector<int32_t> ProjectionsHoldingWords(const Catalogues& catalogues,
                                             const std::vector<std::string>& words) {
  std::vector<int32_t> positions;
  for (int32_t p = 1; p <= std::min(catalogues.projectionCount, kProjectionCapacity); ++p) {
    if (NameHoldsEveryWord(NameOf(catalogues.Projection(p)), words)) positions.push_back(p);
  }
  return positions;
}

std::vector<int32_t> DatumsHoldingWords(const Catalogues& catalogues,
                                        const std::vector<std::string>& words) {
  std::vector<int32_t> positions;
  for (int32_t d = 1; d <= std::min(catalogues.datumCount, kDatumCapacity); ++d) {
    if (NameHoldsEveryWord(NameOf(catalogues.Datum(d)), words)) positions.push_back(d);
  }
  return positions;
}

std::string LeftOutText(const EpsgIndexEntry& entry) {
  return "EPSG:" + std::to_string(entry.code) + " " + entry.entry + ": " + entry.reason;
}

int32_t CataloguePosition(const Catalogues& catalogues, const EpsgIndexEntry& entry) {
  const std::string_view wanted = TrimBlanks(entry.entry);
  if (entry.kind == Kind::kLeftOut) return 0;
  if (entry.NamesProjection()) {
    for (int32_t p = 1; p <= std::min(catalogues.projectionCount, kProjectionCapacity); ++p) {
      if (NameOf(catalogues.Projection(p)) == wanted) return p;
    }
  } else {
    for (int32_t d = 1; d <= std::min(catalogues.datumCount, kDatumCapacity); ++d) {
      if (NameOf(catalogues.Datum(d)) == wanted) return d;
    }
  }
  return 0;
}

std::vector<std::string> SearchWords(std::string_view text) {
  std::vector<std::string> words;
  std::string word;
  for (const char c : text) {
    if (c != ' ' && c != '\t') {
      word += c;
    } else if (!word.empty()) {
      words.push_back(std::move(word));
      word.clear();
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}
