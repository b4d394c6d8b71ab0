#include "units.h"

const LengthUnit* FindLengthUnit(int32_t id) {
  for (const LengthUnit& unit : kLengthUnits) {
    if (unit.id == id) return &unit;
  }
  return nullptr;
}

UnitsAndFormats DefaultUnitsAndFormats() {
  return {kAngleFormatDms, kLengthUnitMetre, 1.0};
}

bool SetLengthUnit(UnitsAndFormats& formats, int32_t id) {
  const LengthUnit* unit = FindLengthUnit(id);
  if (unit == nullptr) return false;
  formats.lengthUnit = unit->id;
  formats.lengthFactor = unit->factor;
  return true;
}

const char* AngleFormatWords(int32_t angleFormat) {
  return angleFormat == kAngleFormatDms ? "degrees-minutes-seconds DDD.MMSSsss"
                                        : "decimal degrees DDD.dddddd";
}

int32_t LengthUnitOfEpsgName(std::string_view epsgName) {
  for (const LengthUnit& unit : kLengthUnits) {
    if (epsgName == unit.epsgName) return unit.id;
  }
  return 0;
}
