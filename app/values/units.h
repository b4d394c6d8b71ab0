// The units and formats of one side of a transformation: how its latitudes and
// longitudes are written, and the length unit of its eastings and northings.
#pragma once

#include <cstdint>
#include <string_view>

inline constexpr int32_t kAngleFormatDecimal = 0;  // DDD.dddddd
inline constexpr int32_t kAngleFormatDms = 1;      // DDD.MMSSsss

struct UnitsAndFormats {
  int32_t angleFormat;  // kAngleFormatDms or kAngleFormatDecimal
  int32_t lengthUnit;   // id of a LengthUnit, 603 to 611
  double lengthFactor;  // metres per unit
};

// The id is the option button's identifier in the formats dialog; the label is
// its text.
struct LengthUnit {
  int32_t id;
  const char* label;
  double factor;         // metres per unit
  const char* words;     // the unit as the window names it beside the fields
  const char* epsgName;  // EPSG's name of the unit
};

inline constexpr int32_t kLengthUnitMetre = 603;
inline constexpr int32_t kLengthUnitCount = 9;

// In the order of the dialog.
inline constexpr LengthUnit kLengthUnits[kLengthUnitCount] = {
    {603, "Meter (factor = 1)", 1.0, "metre", "metre"},
    {604, "Germ. Legal Meter (factor = 1.0000135965)", 1.0000135965, "German legal metre",
     "German legal metre"},
    {605, "Intern. feet (factor = 0.3048)", 0.3048, "international foot", "foot"},
    {606, "British feet (1936) (factor = 0.3048007491)", 0.3048007491, "British foot (1936)",
     "British foot (1936)"},
    // The label shows the rounded factor; the stored one is 1200/3937 to 15 digits.
    {607, "US feet (factor = 0.304800610)", 0.304800609601219, "US survey foot", "US survey foot"},
    {608, "Indian feet (factor = 0.304799510248147)", 0.304799510248147, "Indian foot",
     "Indian foot"},
    {609, "Intern. yard (factor = 0.9144)", 0.9144, "international yard", "yard"},
    {610, "British yard (truncated) (factor = 0.914398)", 0.914398, "British yard (truncated)",
     "British yard (Sears 1922 truncated)"},
    {611, "Indian yard (factor = 0.914398530744441)", 0.914398530744441, "Indian yard",
     "Indian yard"},
};

// The id of the unit that EPSG names so, or 0 when the program has none
// ("Gold Coast foot", or the untruncated "British yard (Sears 1922)").
int32_t LengthUnitOfEpsgName(std::string_view epsgName);

// The angle format in words: "degrees-minutes-seconds DDD.MMSSsss" or
// "decimal degrees DDD.dddddd".
const char* AngleFormatWords(int32_t angleFormat);

// The unit with this id, or nullptr.
const LengthUnit* FindLengthUnit(int32_t id);

// DMS angles and metres, as each side starts.
UnitsAndFormats DefaultUnitsAndFormats();

// Sets the length unit and its factor together; an unknown id changes nothing
// and gives false.
bool SetLengthUnit(UnitsAndFormats& formats, int32_t id);
