#include "program_state.h"

#include <cstring>

#include "fixed_text.h"

CrsSide startSide{};
CrsSide targetSide{};
double PI = kProgramPi;
double RAD_PER_DEGREE = kProgramPi / 180;
int32_t pointMode = 1;
std::string startProjListFile;
std::string startSysListFile;
std::string targetProjListFile;
std::string targetSysListFile;

void SetProgramConstants() {
  PI = kProgramPi;
  RAD_PER_DEGREE = PI / 180;
}

void ResetSides() {
  for (CrsSide* side : {&startSide, &targetSide}) {
    std::memset(static_cast<void*>(side), 0, sizeof *side);
    SetFixedField(side->projection.name, "none");
    side->unitsAndFormats = DefaultUnitsAndFormats();
  }
}

bool IsGeographic(const ProjectionRecord& projection) {
  return projection.methodCode == kLongitudeRotation || IsGreenwichGeographic(projection);
}

bool IsGreenwichGeographic(const ProjectionRecord& projection) {
  return TrimBlanks(FieldView(projection.name, sizeof projection.name)) == "none";
}
