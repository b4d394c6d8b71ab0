#include "crs_report.h"

#include <span>
#include <string_view>

#include "errormessage.h"
#include "fixed_text.h"
#include "grid_files.h"
#include "method_table.h"
#include "number_text.h"

namespace {

constexpr std::string_view kRule = "===============";

std::string_view ProjectionMethodText(int32_t code) {
  switch (code) {
    case kTransverseMercator:
      return "Tansverse Mercator";  // sic: users know the report by this text
    case kLambertConic2SP:
      return "Lambert Conformal Conic (2StdPar)";
    case kObliqueStereographic:
      return "Oblique Stereographic";
    default:
      return "";
  }
}

std::string_view DatumMethodText(int32_t code) {
  switch (code) {
    case kGeocentricTranslations:
      return "Geocentric Translation.";
    case kPositionVector:
      return "Helmert Transf. (Position Vector)";
    case kCoordinateFrame:
      return "Helmert Transf. (Frame Rotation)";
    case kNtv2:
      return "NTv2 grid, then Helmert Transf. (Position Vector)";
    case kNadcon:
      return "NADCON grid, then Helmert Transf. (Position Vector)";
    default:
      return "";
  }
}

std::string_view TargetSystemText(int32_t code) {
  switch (code) {
    case kCrsWgs84:
      return "WGS 84";
    case kCrsWgs72be:
      return "WGS 72(BE)";
    case kCrsWgs72:
      return "WGS 72";
    default:
      return "";
  }
}

class ReportWriter {
 public:
  explicit ReportWriter(std::string& text) : text_(text) {}

  // label, the value, then the given number of line ends
  void Line(std::string_view label, std::string_view value, int lineEnds) {
    text_.append(label).append(value).append(lineEnds, '\r');
  }
  // The number as the report writes it, with a blank before a positive one
  // (none with trimmed, where the label ends in a blank).
  void Number(std::string_view label, double value, int lineEnds, bool trimmed = false) {
    char digits[kNumberTextCapacity];
    std::string_view text(digits, FormatGeneralTo(digits, value));
    if (trimmed) text = TrimBlanks(text);
    Line(label, text, lineEnds);
  }

 private:
  std::string& text_;
};

std::string_view ShownText(const char* field, size_t width) {
  return TrimTrailingBlanks(FieldView(field, width));
}

// A grid shift's grid: its file, who publishes it, what it covers and
// where it was found.
void WriteGrid(ReportWriter& out, const DatumRecord& datum) {
  const std::optional<GridReference> grid =
      ReadGridReference(FieldView(datum.areaOfUse, kAreaOfUseWidth));
  if (!grid) return;
  const GridDescription found =
      DescribeGrid(datum.methodCode, std::string(grid->file), GridSearchFolders());
  out.Line("Grid file:\t\t", grid->file, 1);
  out.Line("Grid source:\t", grid->source, 1);
  out.Line("Grid datum on:\t", grid->ellipsoid, 1);
  out.Line("Grid extent:\t", found.extent, 1);
  out.Line("Grid found:\t", found.where, 2);
}

void WriteReport(ReportWriter& out, const ProjectionRecord& projection, const DatumRecord& datum,
                 const EllipsoidRecord& ellipsoid) {
  const std::string_view projectionName = ShownText(projection.name, kProjectionNameWidth);
  out.Line("@-Projection", "", 1);
  out.Line(kRule, "", 2);
  out.Line("Name:\t\t", projectionName, 2);
  // The original three keep their own texts and lines, and an unknown
  // method is shown as they are; the further methods show EPSG's names.
  const ProjectionMethodEntry* method = FindProjectionMethodEntry(projection.methodCode);
  const bool epsgNames = method != nullptr && ProjectionMethodText(projection.methodCode).empty();
  if (projectionName != "none" && epsgNames) {
    out.Line("Method:\t\t", method->name, 2);
    // One parameter a line, its value after the name: names this long leave
    // no tab column that lines up in a proportional font.
    const std::span<const MethodParameter> parameters = method->Parameters();
    for (const MethodParameter& parameter : parameters) {
      out.Number(std::string(parameter.name) + ": ", FieldValue(projection, parameter.field),
                 &parameter == &parameters.back() ? 2 : 1, true);
    }
  } else if (projection.methodCode == kLongitudeRotation) {
    out.Line("Method:\t\t", "Geographic, longitudes from its own prime meridian", 2);
    out.Number("Prime meridian (degrees east of Greenwich): ", projection.centralMeridian, 2, true);
  } else if (projectionName != "none") {
    out.Line("Method:\t\t", ProjectionMethodText(projection.methodCode), 2);
    out.Number("Central Meridian:\t\t", projection.centralMeridian, 1);
    out.Number("Base Parallel:\t\t", projection.latitudeOfOrigin, 1);
    if (projection.methodCode == kLambertConic2SP) {
      out.Number("1st Parallel:\t\t", projection.firstStandardParallel, 1);
      out.Number("2nd Parallel:\t\t", projection.secondStandardParallel, 1);
    }
    out.Number("False Easting:\t\t", projection.falseEasting, 1);
    out.Number("False Northing:\t\t", projection.falseNorthing, 1);
    out.Number("Scale Factor:\t\t", projection.scaleFactor, 2);
  }

  out.Line("@-Datum: ", "", 1);
  out.Line(kRule, "", 2);
  out.Line("Name:\t\t", ShownText(datum.name, kDatumNameWidth), 1);
  out.Line("Area:\t\t", AreaOfUseText(datum), 2);
  out.Line("Method:\t\t", DatumMethodText(datum.methodCode), 2);
  if (IsGridShiftMethod(datum.methodCode)) WriteGrid(out, datum);
  out.Line("to:\t\t", TargetSystemText(datum.toCrsCode), 2);
  out.Number("X_Shift (m):\t", datum.translationX, 1);
  out.Number("Y_Shift (m):\t", datum.translationY, 1);
  out.Number("Z_Shift (m):\t", datum.translationZ, 2);
  out.Number("X_Rot (Rad):\t", datum.rotationX, 1);
  out.Number("Y_Rot (Rad):\t", datum.rotationY, 1);
  out.Number("Z_Rot (Rad):\t", datum.rotationZ, 2);
  out.Number("Scale:\t\t", datum.scaleDifference, 2);

  out.Line("@-Ellipsoid:", "", 1);
  out.Line(kRule, "", 2);
  out.Line("Name:\t\t", ShownText(ellipsoid.name, kEllipsoidNameWidth), 2);
  out.Number("Major Axis (m):\t", ellipsoid.semiMajorAxis, 1);
  out.Number("Minor Axis (m):\t", ellipsoid.semiMinorAxis, 0);
}

}  // namespace

std::string CrsReportText(const ProjectionRecord& projection, const DatumRecord& datum,
                          const EllipsoidRecord& ellipsoid) {
  ProgramErrorTrap trap("CrsReportText");
  std::string text;
  trap.Guard([&] {  // after a failure the caller shows what was built
    ReportWriter out(text);
    WriteReport(out, projection, datum, ellipsoid);
  });
  return text;
}
