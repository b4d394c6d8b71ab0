#include "point_transform.h"

#include <array>
#include <cmath>

#include "dms_text.h"
#include "errormessage.h"
#include "fixed_text.h"
#include "geodetic_chain.h"
#include "grid_shift.h"
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
  double value = 0;
  if (!CheckBoxText(text, what) || !ReadNumberField(text, value)) return false;
  metres = static_cast<double>(static_cast<long double>(value) * factor);
  return true;
}

// Reads an angle from its box in the side's angle format.
bool ReadAngle(const std::string& text, const char* what, int32_t kind,
               const UnitsAndFormats& formats, double& degrees) {
  return CheckBoxText(text, what) && ReadAngleField(text, formats.angleFormat, kind, degrees);
}

void Warn(const std::string& text) {
  ShowMessage(text, kCaptionWarning, kWarningStyle);
}

std::string SideName(bool startSide) {
  return startSide ? "start" : "target";
}

bool IsDatumShiftMethod(int32_t methodCode) {
  return methodCode == kGeocentricTranslations || methodCode == kPositionVector ||
         methodCode == kCoordinateFrame;
}

bool IsComputedShiftMethod(int32_t methodCode) {
  return IsDatumShiftMethod(methodCode) || IsGridShiftMethod(methodCode);
}

PointOutput TransformCheckedPoint(CrsSide& start, CrsSide& target, const Catalogues& catalogues,
                                  const PointInput& input);

bool CheckSide(CrsSide& side, bool startSide, const Catalogues& catalogues) {
  const std::string which = SideName(startSide);
  if (!IsGeographic(side.projection) && !IsSupportedProjectionMethod(side.projection.methodCode)) {
    Warn("The " + which + " projection has method code " +
         std::to_string(side.projection.methodCode) +
         ", which this program cannot compute. Choose another projection.");
    return false;
  }
  if (!IsComputedShiftMethod(side.datum.methodCode)) {
    Warn("The " + which + " datum " + TrimmedField(side.datum.name) + " has shift method code " +
         std::to_string(side.datum.methodCode) +
         ", which this program cannot compute. Choose a datum with a geocentric translation "
         "(9603), Helmert (9606, 9607), NTv2 (9615) or NADCON (9613) shift.");
    return false;
  }
  const int32_t hop = WgsHopPosition(side.datum.toCrsCode);
  if (hop != kNoWgsHop && !IsDatumShiftMethod(catalogues.Datum(hop).methodCode)) {
    Warn("The " + which + " datum leads through the shift at datum position " +
         std::to_string(hop) +
         ", which this program cannot compute: the datum catalogue has no usable shift there.");
    return false;
  }
  const double a = side.ellipsoid.semiMajorAxis;
  const double b = side.ellipsoid.semiMinorAxis;
  if (!(std::isfinite(a) && std::isfinite(b) && a > 0 && b > 0)) {
    Warn("The " + which + " ellipsoid " + TrimmedField(side.ellipsoid.name) +
         " has no usable axes: both must be positive numbers.");
    return false;
  }
  return PrepareGridShift(side, startSide, catalogues);
}

// Every value the point's result would show is a number; otherwise the
// message and no result.
bool ResultIsFinite(const ChainValues& v, bool targetProjected) {
  const bool finite =
      std::isfinite(v.latitudeTarget) && std::isfinite(v.longitudeTarget) &&
      std::isfinite(v.heightTarget) &&
      (!targetProjected || (std::isfinite(v.eastingTarget) && std::isfinite(v.northingTarget)));
  if (!finite) Warn(kNoFiniteResultMessage);
  return finite;
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

bool ReadNumberField(std::string_view text, double& value) {
  if (!HasOnlyNumberCharacters(text) || !ReadWholeNumber(text, value)) {
    Warn(kBadCharacterMessage);
    return false;
  }
  return CheckFinite(value);
}

bool ReadAngleField(std::string_view text, int32_t angleFormat, int32_t kind, double& degrees) {
  if (angleFormat != kAngleFormatDms) return ReadNumberField(text, degrees);
  // A DMS text is a number as text too: "1.2.3" or "-" is no angle.
  if (!HasOnlyNumberCharacters(text) || !IsWholeNumber(text)) {
    Warn(kBadCharacterMessage);
    return false;
  }
  std::string normalised(TrimBlanks(text));
  return ParseDms(normalised, kind, degrees) == 0 && CheckFinite(degrees);
}

bool CheckFinite(double value) {
  if (std::isfinite(value)) return true;
  Warn(kBadCharacterMessage);
  return false;
}

bool CheckSidesAreUsable(CrsSide& start, CrsSide& target, const Catalogues& catalogues) {
  return CheckSide(start, true, catalogues) && CheckSide(target, false, catalogues);
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

bool CheckLongitude(double longitude) {
  if (std::fabs(longitude) <= 180) return true;
  Warn(kLongitudeRangeMessage);
  return false;
}

bool CheckGridFault(const ChainValues& v) {
  if (v.gridFault == nullptr) return true;
  Warn(GridFaultMessage(*v.gridFault, v.gridFaultCode, v.gridFaultLatitude, v.gridFaultLongitude));
  return false;
}

bool CheckInverseComesBack(const CrsSide& start, const ChainValues& v) {
  if (InverseComesBack(start, v)) return true;
  Warn(kOutsideProjectionMessage);
  return false;
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
  trap.Guard([&] { out = TransformCheckedPoint(start, target, catalogues, input); });
  return out;
}

namespace {

PointOutput TransformCheckedPoint(CrsSide& start, CrsSide& target, const Catalogues& catalogues,
                                  const PointInput& input) {
  if (!CheckSidesAreUsable(start, target, catalogues)) return {};
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
    if (!CheckInverseComesBack(start, v)) return {};
    out.startLatitude = AngleText(v.latitude, startFormats);
    out.startLongitude = AngleText(v.longitude, startFormats);
    out.startHeight = "0.0";
    v.height = 0;
  } else {
    if (!ReadAngle(input.latitude, "latitude", kDmsLatitude, startFormats, v.latitude) ||
        !CheckLatitude(v.latitude) ||
        !ReadAngle(input.longitude, "longitude", kDmsLongitude, startFormats, v.longitude) ||
        !CheckLongitude(v.longitude)) {
      return {};
    }
    // An empty height box is height 0.
    if (!TrimBlanks(input.height).empty() && !ReadNumberField(input.height, v.height)) return {};
  }

  RunGeodeticChain(start, target, catalogues, v);
  if (!CheckGridFault(v)) return {};
  const bool targetProjected = !IsGeographic(target.projection);
  if (targetProjected) ForwardProjection(target, v);
  if (!ResultIsFinite(v, targetProjected)) return {};
  const UnitsAndFormats& targetFormats = target.unitsAndFormats;
  out.targetLatitude = AngleText(v.latitudeTarget, targetFormats);
  out.targetLongitude = AngleText(v.longitudeTarget, targetFormats);
  out.targetHeight = FormatGeneral(RoundTo(v.heightTarget, 2));

  if (targetProjected) {
    const long double factor = targetFormats.lengthFactor;
    out.targetEasting = FormatGeneral(RoundTo(static_cast<double>(v.eastingTarget / factor), 2));
    out.targetNorthing = FormatGeneral(RoundTo(static_cast<double>(v.northingTarget / factor), 2));
  }
  return out;
}

}  // namespace
