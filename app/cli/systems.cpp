#include "systems.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>
#include <string_view>

#include "fixed_text.h"
#include "text_encoding.h"
#include "units.h"

namespace {

constexpr size_t kCandidateLimit = 20;

std::string Folded(std::string_view text) {
  std::string folded(TrimBlanks(text));
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

// The code of digits alone, or 0.
int32_t BareCode(std::string_view text) {
  int32_t code = 0;
  const char* last = text.data() + text.size();
  const auto [end, error] = std::from_chars(text.data(), last, code);
  return error == std::errc() && end == last && code > 0 ? code : 0;
}

// The code of "EPSG:NNNN", or 0.
int32_t EpsgCode(const std::string& text) {
  const std::string folded = Folded(text);
  if (folded.rfind("epsg:", 0) != 0) return 0;
  return BareCode(std::string_view(folded).substr(5));
}

int32_t GeographicPosition(const Catalogues& catalogues) {
  for (int32_t p = 1; p <= catalogues.projectionCount; ++p) {
    if (IsGreenwichGeographic(catalogues.Projection(p))) return p;
  }
  return 1;
}

// Systems by EPSG code: projected rows name a projection, the others a datum.
void AddCodeMatches(int32_t code, bool datumsOnly, const Catalogues& catalogues,
                    const std::vector<EpsgIndexEntry>& index, Resolution& result) {
  const int32_t geographic = GeographicPosition(catalogues);
  for (const EpsgIndexEntry& row : index) {
    if (row.code != code) continue;
    if (row.kind == EpsgIndexEntry::Kind::kLeftOut) {
      result.leftOut = TerminalTextOf(LeftOutText(row));
      continue;
    }
    NamedSystem system;
    if (row.NamesProjection()) {
      if (datumsOnly) continue;
      system.projection = CataloguePosition(catalogues, row);
      if (system.projection == 0) continue;
      if (row.kind == EpsgIndexEntry::Kind::kProjected) {
        system.lengthUnit = LengthUnitOfEpsgName(row.unit);
        system.unitName = row.unit;
      }
    } else {
      system.projection = geographic;
      system.datum = CataloguePosition(catalogues, row);
      if (system.datum == 0) continue;
    }
    result.matches.push_back(system);
    result.candidates.push_back(TerminalTextOf(row.entry));
  }
}

// Entries whose name holds every word of the text: what the user may have meant.
void AddCandidates(const std::string& text, bool datumsOnly, const Catalogues& catalogues,
                   Resolution& result) {
  const std::vector<std::string> words = SearchWords(text);
  auto consider = [&](const std::string& name) {
    if (result.candidates.size() < kCandidateLimit && NameHoldsEveryWord(name, words)) {
      result.candidates.push_back(TerminalTextOf(name));
    }
  };
  if (!datumsOnly) {
    for (int32_t p = 1; p <= catalogues.projectionCount; ++p) {
      consider(TrimmedField(catalogues.Projection(p).name));
    }
  }
  for (int32_t d = 1; d <= catalogues.datumCount; ++d) {
    consider(TrimmedField(catalogues.Datum(d).name));
  }
}

Resolution Resolve(const std::string& typed, bool datumsOnly, const Catalogues& catalogues,
                   const std::vector<EpsgIndexEntry>& index) {
  Resolution result;
  const std::optional<std::string> catalogueText = CatalogueTextOfArgument(typed);
  if (!catalogueText) {
    result.foreignCharacters = true;
    return result;
  }
  const std::string& text = *catalogueText;
  if (const int32_t code = EpsgCode(text); code != 0) {
    AddCodeMatches(code, datumsOnly, catalogues, index, result);
    return result;
  }
  const std::string wanted = Folded(text);
  if (!datumsOnly) {
    for (int32_t p = 1; p <= catalogues.projectionCount; ++p) {
      const ProjectionRecord& projection = catalogues.Projection(p);
      if (IsGreenwichGeographic(projection) || Folded(TrimmedField(projection.name)) != wanted)
        continue;
      result.matches.push_back({p, 0, 0, {}});
      result.candidates.push_back(TerminalTextOf(TrimmedField(projection.name)));
    }
  }
  const int32_t geographic = GeographicPosition(catalogues);
  for (int32_t d = 1; d <= catalogues.datumCount; ++d) {
    const std::string name = TrimmedField(catalogues.Datum(d).name);
    if (Folded(name) != wanted) continue;
    result.matches.push_back({geographic, d, 0, {}});
    result.candidates.push_back(TerminalTextOf(name));
  }
  // Digits that name no entry are a code.
  if (const int32_t code = BareCode(TrimBlanks(text)); code != 0 && result.matches.empty()) {
    AddCodeMatches(code, datumsOnly, catalogues, index, result);
    return result;
  }
  if (result.matches.empty()) AddCandidates(text, datumsOnly, catalogues, result);
  return result;
}

struct UnitName {
  int32_t id;
  const char* names;  // "|"-separated, the short one first
};

// The nine length units by their short and full names; EPSG's name for each
// is the unit table's (units.h).
constexpr UnitName kUnitNames[] = {
    {603, "m|metre|meter"},
    {604, "gm|german-legal-metre"},
    {605, "ft|foot|international-foot"},
    {606, "ft-br36|british-foot-1936"},
    {607, "ftUS|us-ft|us-survey-foot"},
    {608, "ftInd|ind-ft|indian-foot"},
    {609, "yd|yard|international-yard"},
    {610, "yd-br|british-yard"},
    {611, "ydInd|ind-yd|indian-yard"},
};

// Lower case, blanks and underscores as hyphens, no brackets.
std::string UnitKey(std::string_view name) {
  std::string key;
  for (const char c : TrimBlanks(name)) {
    if (c == '(' || c == ')') continue;
    if (c == ' ' || c == '_') {
      key += '-';
    } else {
      key += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
  }
  return key;
}

}  // namespace

Resolution ResolveSystem(const std::string& text, const Catalogues& catalogues,
                         const std::vector<EpsgIndexEntry>& index) {
  return Resolve(text, false, catalogues, index);
}

Resolution ResolveDatum(const std::string& text, const Catalogues& catalogues,
                        const std::vector<EpsgIndexEntry>& index) {
  return Resolve(text, true, catalogues, index);
}

CrsSide SideOf(const NamedSystem& system, int32_t datumPosition, const Catalogues& catalogues) {
  CrsSide side;
  std::memset(static_cast<void*>(&side), 0, sizeof side);
  side.projection = catalogues.Projection(system.projection);
  const int32_t datum = datumPosition != 0  ? datumPosition
                        : system.datum != 0 ? system.datum
                                            : side.projection.datumIndex;
  side.datum = catalogues.Datum(std::clamp(datum, 1, kDatumCapacity));
  side.ellipsoid =
      catalogues.Ellipsoid(std::clamp(side.datum.ellipsoidIndex, 1, kEllipsoidCapacity));
  side.unitsAndFormats = DefaultUnitsAndFormats();
  return side;
}

int32_t LengthUnitNamed(const std::string& name) {
  const std::string key = UnitKey(name);
  for (const UnitName& unit : kUnitNames) {
    std::string_view names = unit.names;
    while (!names.empty()) {
      const size_t bar = std::min(names.find('|'), names.size());
      if (UnitKey(names.substr(0, bar)) == key) return unit.id;
      names.remove_prefix(std::min(bar + 1, names.size()));
    }
    if (UnitKey(FindLengthUnit(unit.id)->epsgName) == key) return unit.id;
  }
  return 0;
}

std::string LengthUnitNames() {
  std::string text;
  for (const UnitName& unit : kUnitNames) {
    const std::string_view names = unit.names;
    if (!text.empty()) text += ", ";
    text += names.substr(0, names.find('|'));
  }
  return text;
}
