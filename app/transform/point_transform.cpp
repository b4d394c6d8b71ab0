#include "point_transform.h"

#include <array>
#include <cmath>

#include "dms_text.h"
#include "errormessage.h"
#include "fixed_text.h"
#include "geodetic_chain.h"
#include "message.h"
#include "number_text.h"

namespace {

constexpr uint32_t kWarningStyle = MB_ICONEXCLAMATION | MB_TASKMODAL;

// A latitude or longitude in the side's angle format, without blanks.
std::string AngleText(double degrees, const UnitsAndFormats& formats) {
  if (formats.angleFormat == kAngleFormatDms) return FormatDms(degrees);
  return std::string(TrimBlanks(FormatGeneral(degrees)));
}

// A start box must hold something, and only number characters.
bool CheckBoxText(const std::string& text, const char* what) {
  if (TrimBlanks(text).empty()) {
    ShowSelectFirst(true, what);
    return false;
  }
  if (!HasOnlyNumberCharacters(text)) {
    ShowMessage(kBadCharacterMessage, kCaptionWarning, kWarningStyle);
    return false;
  }
  return true;
}

// Reads a grid value from its box, scaled to metres.
bool ReadGridValue(const std::string& text, const char* what, double factor, double& metres) {
  if (!CheckBoxText(text, what)) return false;
  metres = static_cast<double>(static_cast<long double>(ReadNumber(text)) * factor);
  return true;
}

// Reads an angle from its box in the side's angle format.
bool ReadAngle(const std::string& text, const char* what, int32_t kind,
               const UnitsAndFormats& formats, double& degrees) {
  if (!CheckBoxText(text, what)) return false;
  if (formats.angleFormat == kAngleFormatDms) {
    std::string normalised = text;
    return ParseDms(normalised, kind, degrees) == 0;
  }
  degrees = ReadNumber(text);
  return true;
}

}  // namespace

void ShowSelectFirst(bool startSide, const char* what) {
  std::string text = startSide ? "Please select a start " : "Please select a target ";
  text += what;
  text += " first.";
  ShowMessage(text, kCaptionWarning, kWarningStyle);
}

bool HasOnlyNumberCharacters(std::string_view text) {
  // A table rather than a search of the set for each character: list mode
  // checks every field of every line.
  static constexpr auto kAllowed = [] {
    std::array<bool, 256> allowed{};
    for (const char c : std::string_view(" +-.1234567890")) {
      allowed[static_cast<unsigned char>(c)] = true;
    }
    return allowed;
  }();
  for (const char c : text) {
    if (!kAllowed[static_cast<unsigned char>(c)]) return false;
  }
  return true;
}

bool CheckLatitude(double latitude) {
  if (std::fabs(latitude) == 90) {
    ShowMessage(kPoleMessage, kCaptionWarning, MB_ICONHAND | MB_TASKMODAL);
    return false;
  }
  if (std::fabs(latitude) > 90) {
    ShowMessage(kLatitudeRangeMessage, kCaptionWarning, kWarningStyle);
    return false;
  }
  return true;
}

bool CheckSelections(const Selections& s) {
  struct Check {
    bool selected;
    bool start;
    const char* what;
  };
  const Check checks[] = {
      {s.startProjection, true, "projection"}, {s.startDatum, true, "datum"},
      {s.startEllipsoid, true, "ellipsoid"},   {s.targetProjection, false, "projection"},
      {s.targetDatum, false, "datum"},         {s.targetEllipsoid, false, "ellipsoid"},
  };
  for (const Check& c : checks) {
    if (!c.selected) {
      ShowSelectFirst(c.start, c.what);
      return false;
    }
  }
  return true;
}

PointOutput TransformPoint(CrsSide& start, CrsSide& target, const Catalogues& catalogues,
                           const PointInput& input) {
  ProgramErrorTrap trap("TransformCommand");
  PointOutput out;
  ChainValues v;
  const UnitsAndFormats& startFormats = start.unitsAndFormats;

  if (!IsGeographic(start.projection)) {
    if (!ReadGridValue(input.easting, "easting", startFormats.lengthFactor, v.easting) ||
        !ReadGridValue(input.northing, "northing", startFormats.lengthFactor, v.northing)) {
      return {};
    }
    if (start.projection.methodCode == kLambertConic2SP) {
      if (const char* problem = LambertParallelProblem(start.projection)) {
        ShowMessage(problem, nullptr, MB_OK | MB_APPLMODAL);
        return {};
      }
    }
    InverseProjection(start, v);
    out.startLatitude = AngleText(v.latitude, startFormats);
    out.startLongitude = AngleText(v.longitude, startFormats);
    out.startHeight = "0.0";
    v.height = 0;
  } else {
    if (!ReadAngle(input.latitude, "latitude", kDmsLatitude, startFormats, v.latitude) ||
        !CheckLatitude(v.latitude) ||
        !ReadAngle(input.longitude, "longitude", kDmsLongitude, startFormats, v.longitude)) {
      return {};
    }
    if (!HasOnlyNumberCharacters(input.height)) {
      ShowMessage(kBadCharacterMessage, kCaptionWarning, kWarningStyle);
      return {};
    }
    v.height = ReadNumber(TrimBlanks(input.height));
  }

  RunGeodeticChain(start, target, catalogues, v);
  const UnitsAndFormats& targetFormats = target.unitsAndFormats;
  out.targetLatitude = AngleText(v.latitudeTarget, targetFormats);
  out.targetLongitude = AngleText(v.longitudeTarget, targetFormats);
  out.targetHeight = FormatGeneral(RoundTo(v.heightTarget, 2));

  if (!IsGeographic(target.projection)) {
    ForwardProjection(target, v);
    const long double factor = targetFormats.lengthFactor;
    out.targetEasting = FormatGeneral(RoundTo(static_cast<double>(v.eastingTarget / factor), 2));
    out.targetNorthing = FormatGeneral(RoundTo(static_cast<double>(v.northingTarget / factor), 2));
  }
  return out;
}
