#include "info_report.h"

#include <cmath>
#include <cstdio>
#include <string_view>

#include "fixed_text.h"
#include "grid_files.h"
#include "grid_shift.h"
#include "method_table.h"
#include "units.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kArcSecondsPerRadian = 648000 / kPi;
constexpr size_t kLabelWidth = 36;
constexpr char kDegree = '\xB0';  // Windows-1252, as the catalogues

// Twelve significant digits: the catalogue's decimals come back as EPSG
// publishes them, without the last bits of a conversion.
std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.12g", value == 0 ? 0.0 : value);
  return text;
}

// Degrees, minutes and seconds to 1e-5 second of the angle's size.
std::string Dms(double degrees) {
  const long long total = std::llround(std::fabs(degrees) * 3600e5);
  char text[48];
  std::snprintf(text, sizeof text, "%lld%c%02lld'%02lld.%05lld\"", total / 3600'00000, kDegree,
                total / 60'00000 % 60, total / 1'00000 % 60, total % 1'00000);
  return text;
}

// Degrees, and degrees, minutes and seconds with the hemisphere letter.
std::string Angle(double degrees, char positive, char negative) {
  return Number(degrees) + kDegree + " (" + Dms(degrees) + " " +
         (degrees < 0 ? negative : positive) + ")";
}

// An angle that is no latitude or longitude (an azimuth, a zone width): the
// same, with the sign in place of the letter.
std::string Angle(double degrees) {
  return Number(degrees) + kDegree + " (" + (degrees < 0 ? "-" : "") + Dms(degrees) + ")";
}

// How the lengths of the system are told: in its own unit and in metres.
struct LengthTeller {
  const LengthUnit* unit;  // nullptr: metres alone

  std::string operator()(double metres) const {
    if (unit == nullptr || unit->id == kLengthUnitMetre) return Number(metres) + " m";
    return Number(metres / unit->factor) + " " + unit->epsgName + " (" + Number(metres) + " m)";
  }
};

class Lines {
 public:
  void Add(std::string_view label, const std::string& value) {
    text_.append(label).append(":");
    text_.append(label.size() + 1 < kLabelWidth ? kLabelWidth - label.size() - 1 : 1, ' ');
    text_.append(value).append("\n");
  }
  void Gap() { text_ += "\n"; }
  std::string& text() { return text_; }

 private:
  std::string text_;
};

// The codes of the index that stand for an entry, with what each is.
std::string CodesOf(const std::vector<EpsgIndexEntry>& index, const std::string& entry,
                    bool projected) {
  std::string codes;
  for (const EpsgIndexEntry& row : index) {
    if (row.entry != entry || row.kind == EpsgIndexEntry::Kind::kLeftOut ||
        row.NamesProjection() != projected) {
      continue;
    }
    const std::string what = row.kind == EpsgIndexEntry::Kind::kMeridian     ? "geographic"
                             : projected                                     ? row.unit
                             : row.kind == EpsgIndexEntry::Kind::kGeographic ? "geographic"
                                                                             : "transformation";
    codes += (codes.empty() ? "" : ", ") + std::to_string(row.code) + " (" + what + ")";
  }
  return codes.empty() ? "none" : codes;
}

const char* ShiftMethodName(int32_t method) {
  switch (method) {
    case kPositionVector:
      return "Position Vector transformation (geog2D domain)";
    case kCoordinateFrame:
      return "Coordinate Frame rotation (geog2D domain)";
    case kNtv2:
      return "NTv2";
    case kNadcon:
      return "NADCON";
    default:
      return "Geocentric translations (geog2D domain)";
  }
}

const char* TargetName(int32_t code) {
  switch (code) {
    case kCrsWgs72:
      return "WGS 72";
    case kCrsWgs72be:
      return "WGS 72BE";
    default:
      return "WGS 84";
  }
}

void AddProjection(Lines& out, const NamedSystem& system, const ProjectionRecord& projection,
                   const std::vector<EpsgIndexEntry>& index, const LengthTeller& length) {
  const std::string name = TrimmedField(projection.name);
  out.Add("Projected system", name);
  out.Add("EPSG codes", CodesOf(index, name, true));
  if (length.unit != nullptr) {
    out.Add("Unit",
            std::string(length.unit->epsgName) + " (" + Number(length.unit->factor) + " m)");
  } else {
    out.Add("Unit", system.unitName + ", which varnel does not have; lengths in metres");
  }
  const ProjectionMethodEntry* method = FindProjectionMethodEntry(projection.methodCode);
  const std::string code = " (EPSG:" + std::to_string(projection.methodCode) + ")";
  if (method == nullptr) {
    out.Add("Method", "one varnel cannot compute" + code);
    return;
  }
  out.Add("Method", method->name + code);
  // EPSG's parameters of the method, in EPSG's order.
  for (const MethodParameter& parameter : method->Parameters()) {
    const double value = FieldValue(projection, parameter.field);
    switch (parameter.kind) {
      case ParameterKind::kLatitude:
        out.Add(parameter.name, Angle(value, 'N', 'S'));
        break;
      case ParameterKind::kLongitude:
        out.Add(parameter.name, Angle(value, 'E', 'W'));
        break;
      case ParameterKind::kAngle:
        out.Add(parameter.name, Angle(value));
        break;
      case ParameterKind::kLength:
        out.Add(parameter.name, length(value));
        break;
      case ParameterKind::kScaleFactor:
        out.Add(parameter.name, Number(value));
        break;
    }
  }
}

// A grid shift's grid, and the shift on from the grid's datum (position
// vector convention) that the lines after it give.
void AddGrid(Lines& out, const DatumRecord& datum) {
  const std::optional<GridReference> grid =
      ReadGridReference(FieldView(datum.areaOfUse, kAreaOfUseWidth));
  if (!grid) return;
  const GridDescription found =
      DescribeGrid(datum.methodCode, std::string(grid->file), ProgramGridFolders());
  std::string file(grid->file);
  if (datum.methodCode == kNadcon) file += " and " + NadconLongitudeFile(grid->file);
  out.Add("Grid file", file);
  out.Add("Grid source", std::string(grid->source));
  out.Add("Grid extent", found.extent);
  out.Add("Grid found", found.where);
  out.Add("Grid leads to", "a datum on " + std::string(grid->ellipsoid) +
                               ", then on by a position vector transformation");
}

void AddDatum(Lines& out, const DatumRecord& datum, const std::vector<EpsgIndexEntry>& index,
              const LengthTeller& length) {
  const std::string name = TrimmedField(datum.name);
  out.Add("Datum", name);
  out.Add("EPSG codes", CodesOf(index, name, false));
  out.Add("Area of use", std::string(AreaOfUseText(datum)));
  out.Add("Shift to", std::string(TargetName(datum.toCrsCode)) +
                          " (EPSG:" + std::to_string(datum.toCrsCode) + ")");
  out.Add("Method", std::string(ShiftMethodName(datum.methodCode)) +
                        " (EPSG:" + std::to_string(datum.methodCode) + ")");
  const bool grid = IsGridShiftMethod(datum.methodCode);
  if (grid) AddGrid(out, datum);
  out.Add(grid ? "Onward X-axis translation" : "X-axis translation", length(datum.translationX));
  out.Add(grid ? "Onward Y-axis translation" : "Y-axis translation", length(datum.translationY));
  out.Add(grid ? "Onward Z-axis translation" : "Z-axis translation", length(datum.translationZ));
  if (!grid && datum.methodCode != kPositionVector && datum.methodCode != kCoordinateFrame) {
    return;
  }
  const auto rotation = [](double radians) {
    return Number(radians * kArcSecondsPerRadian) + " arc-seconds (" + Number(radians) + " rad)";
  };
  out.Add("X-axis rotation", rotation(datum.rotationX));
  out.Add("Y-axis rotation", rotation(datum.rotationY));
  out.Add("Z-axis rotation", rotation(datum.rotationZ));
  out.Add("Scale difference", Number(datum.scaleDifference * 1e6) + " ppm");
}

}  // namespace

std::string InfoReportText(const NamedSystem& system, const CrsSide& side,
                           const std::vector<EpsgIndexEntry>& index) {
  Lines out;
  const bool projected = !IsGeographic(side.projection);
  // A system named by a code in a unit that varnel has not is told in metres.
  const bool unitKnown =
      system.lengthUnit != 0 || system.unitName.empty() || system.unitName == "metre";
  const LengthTeller length{
      projected && unitKnown
          ? FindLengthUnit(system.lengthUnit != 0 ? system.lengthUnit : kLengthUnitMetre)
          : nullptr};
  if (projected) {
    AddProjection(out, system, side.projection, index, length);
  } else if (side.projection.methodCode == kLongitudeRotation) {
    const std::string name = TrimmedField(side.projection.name);
    out.Add("Geographic system", name + ": latitude and longitude in degrees, on the datum below");
    out.Add("EPSG codes", CodesOf(index, name, true));
    out.Add("Prime meridian", Number(side.projection.centralMeridian) +
                                  " degrees east of Greenwich; longitudes are counted from it");
  } else {
    out.Add("Geographic system", "latitude and longitude in degrees, on the datum below");
  }
  out.Gap();
  AddDatum(out, side.datum, index, length);
  out.Gap();
  out.Add("Ellipsoid", TrimmedField(side.ellipsoid.name) +
                           " (EPSG:" + std::to_string(side.ellipsoid.code) + ")");
  out.Add("Semi-major axis", length(side.ellipsoid.semiMajorAxis));
  out.Add("Semi-minor axis", length(side.ellipsoid.semiMinorAxis));
  return std::move(out.text());
}
