// The EPSG code index that ships beside the catalogues ("epsg-index.txt"): for
// an EPSG code, the catalogue entry that stands for it. A projected CRS names
// its projection record (a CRS that differs from its metre twin only in a
// foot unit names the twin, with its own unit); a geographic CRS or a
// transformation names a datum record. Several codes may name one entry.
// A projected or geographic CRS that no entry stands for is "left out": its
// row keeps the CRS's EPSG name and why it was left out, so that a code is
// never just unknown.
//
// The file: a count line, then one row a code in order of code,
// "code;kind;entry;unit", Windows-1252 like the catalogues so that the entry
// matches its record's name byte for byte. CR LF, CR and LF end lines. A
// left-out row is "code;left out;EPSG name;unit;reason", the only row with a
// fifth field; the reason is a sentence that follows "EPSG:code name: ".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue.h"

struct EpsgIndexEntry {
  int32_t code;
  // kProjected: a projct.txt record; kMeridian: a geographic CRS on another
  // prime meridian, its projct.txt record (a longitude rotation); kGeographic,
  // kTransformation: a datums.txt record; kLeftOut: no record.
  enum class Kind { kProjected, kMeridian, kGeographic, kTransformation, kLeftOut } kind;

  // The row names a projct.txt record.
  bool NamesProjection() const { return kind == Kind::kProjected || kind == Kind::kMeridian; }
  std::string entry;  // the record's name, trimmed; for kLeftOut the CRS's EPSG name
  std::string unit;   // EPSG's name of the unit of the CRS's axes: "metre", "US survey foot", ...
  std::string reason{};  // kLeftOut only: why no entry stands for the CRS
};

// "EPSG:3857 WGS 84 / Pseudo-Mercator: its projection method, ..., is not
// computed by this version": what to tell of a code that is left out.
std::string LeftOutText(const EpsgIndexEntry& entry);

// Reads an index file into entries, in order of code. A file that cannot be
// read or breaks the format leaves entries empty, and error says why (the
// path, and the line where the fault is).
bool LoadEpsgIndex(const std::string& path, std::vector<EpsgIndexEntry>& entries,
                   std::string& error);

// The entry for a code, or nullptr. The entries are in order of code, as
// LoadEpsgIndex gives them.
const EpsgIndexEntry* FindEpsgCode(const std::vector<EpsgIndexEntry>& entries, int32_t code);

// Whether the name holds every word, in any order, a to z compared without
// case (other letters as they are). No words: true.
bool NameHoldsEveryWord(std::string_view name, const std::vector<std::string>& words);

// The words of a search text: separated by blanks and tabs.
std::vector<std::string> SearchWords(std::string_view text);

// Catalogue positions (1-based, ascending) of the records whose trimmed name
// holds every word.
std::vector<int32_t> ProjectionsHoldingWords(const Catalogues& catalogues,
                                             const std::vector<std::string>& words);
std::vector<int32_t> DatumsHoldingWords(const Catalogues& catalogues,
                                        const std::vector<std::string>& words);

// The position (1-based) of the record an entry names: a projection position
// for kProjected, a datum position for kGeographic and kTransformation; the
// first record whose trimmed name equals the entry exactly. 0 when none does,
// and always for kLeftOut.
int32_t CataloguePosition(const Catalogues& catalogues, const EpsgIndexEntry& entry);
