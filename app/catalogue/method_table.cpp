#include "method_table.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <utility>

namespace {

using enum RecordField;
using Kind = ParameterKind;

// EPSG's parameters, each with the field the catalogue gives it.
constexpr MethodParameter kLatitudeOfNaturalOrigin{"Latitude of natural origin", kLatitudeOfOrigin,
                                                   Kind::kLatitude};
constexpr MethodParameter kLongitudeOfNaturalOrigin{"Longitude of natural origin", kCentralMeridian,
                                                    Kind::kLongitude};
constexpr MethodParameter kScaleAtNaturalOrigin{"Scale factor at natural origin", kScaleFactor,
                                                Kind::kScaleFactor};
constexpr MethodParameter kEasting{"False easting", kFalseEasting, Kind::kLength};
constexpr MethodParameter kNorthing{"False northing", kFalseNorthing, Kind::kLength};
constexpr MethodParameter kLatitudeOfFalseOrigin{"Latitude of false origin", kLatitudeOfOrigin,
                                                 Kind::kLatitude};
constexpr MethodParameter kLongitudeOfFalseOrigin{"Longitude of false origin", kCentralMeridian,
                                                  Kind::kLongitude};
constexpr MethodParameter kFirstParallel{"Latitude of 1st standard parallel",
                                         kFirstStandardParallel, Kind::kLatitude};
constexpr MethodParameter kSecondParallel{"Latitude of 2nd standard parallel",
                                          kSecondStandardParallel, Kind::kLatitude};
constexpr MethodParameter kEastingAtFalseOrigin{"Easting at false origin", kFalseEasting,
                                                Kind::kLength};
constexpr MethodParameter kNorthingAtFalseOrigin{"Northing at false origin", kFalseNorthing,
                                                 Kind::kLength};
constexpr MethodParameter kEllipsoidScaling{"Ellipsoid scaling factor", kScaleFactor,
                                            Kind::kScaleFactor};
constexpr MethodParameter kLatitudeOfCentre{"Latitude of projection centre", kLatitudeOfOrigin,
                                            Kind::kLatitude};
constexpr MethodParameter kLongitudeOfCentre{"Longitude of projection centre", kCentralMeridian,
                                             Kind::kLongitude};
constexpr MethodParameter kAzimuth{"Azimuth of initial line", kFirstStandardParallel, Kind::kAngle};
constexpr MethodParameter kRectifiedToSkew{"Angle from Rectified to Skew Grid",
                                           kSecondStandardParallel, Kind::kAngle};
constexpr MethodParameter kScaleOnInitialLine{"Scale factor on initial line", kScaleFactor,
                                              Kind::kScaleFactor};
constexpr MethodParameter kEastingAtCentre{"Easting at projection centre", kFalseEasting,
                                           Kind::kLength};
constexpr MethodParameter kNorthingAtCentre{"Northing at projection centre", kFalseNorthing,
                                            Kind::kLength};
constexpr MethodParameter kLongitudeOfOrigin{"Longitude of origin", kCentralMeridian,
                                             Kind::kLongitude};
constexpr MethodParameter kConeAxisColatitude{"Co-latitude of cone axis", kFirstStandardParallel,
                                              Kind::kAngle};
constexpr MethodParameter kPseudoParallel{"Latitude of pseudo standard parallel",
                                          kSecondStandardParallel, Kind::kLatitude};
constexpr MethodParameter kScaleOnPseudoParallel{"Scale factor on pseudo standard parallel",
                                                 kScaleFactor, Kind::kScaleFactor};
constexpr MethodParameter kInitialLongitude{"Initial longitude", kCentralMeridian,
                                            Kind::kLongitude};
constexpr MethodParameter kZoneWidth{"Zone width", kFirstStandardParallel, Kind::kAngle};
constexpr MethodParameter kStandardParallel{"Latitude of standard parallel", kFirstStandardParallel,
                                            Kind::kLatitude};
constexpr MethodParameter kPlaneOriginHeight{"Projection plane origin height",
                                             kFirstStandardParallel, Kind::kLength};

// The sets that several methods share.
#define NATURAL_ORIGIN kLatitudeOfNaturalOrigin, kLongitudeOfNaturalOrigin
#define NATURAL_ORIGIN_SCALED NATURAL_ORIGIN, kScaleAtNaturalOrigin, kEasting, kNorthing
#define FALSE_ORIGIN_TWO_PARALLELS                                                  \
  kLatitudeOfFalseOrigin, kLongitudeOfFalseOrigin, kFirstParallel, kSecondParallel, \
      kEastingAtFalseOrigin, kNorthingAtFalseOrigin
#define KROVAK                                                                 \
  kLatitudeOfCentre, kLongitudeOfOrigin, kConeAxisColatitude, kPseudoParallel, \
      kScaleOnPseudoParallel, kEasting, kNorthing

// The original three, then the others by name; the record fields are those
// lib/ostrak32.h gives each method's parameters.
constexpr ProjectionMethodEntry kEntries[] = {
    {kTransverseMercator, "Transverse Mercator", {NATURAL_ORIGIN_SCALED}},
    {kLambertConic2SP, "Lambert Conic Conformal (2SP)", {FALSE_ORIGIN_TWO_PARALLELS}},
    {kObliqueStereographic, "Oblique Stereographic", {NATURAL_ORIGIN_SCALED}},
    {kAlbersEqualArea, "Albers Equal Area", {FALSE_ORIGIN_TWO_PARALLELS}},
    {kAmericanPolyconic, "American Polyconic", {NATURAL_ORIGIN, kEasting, kNorthing}},
    {kBonneSouthOrientated, "Bonne (South Orientated)", {NATURAL_ORIGIN, kEasting, kNorthing}},
    {kCassiniSoldner, "Cassini-Soldner", {NATURAL_ORIGIN, kEasting, kNorthing}},
    {kColombiaUrban, "Colombia Urban", {NATURAL_ORIGIN, kEasting, kNorthing, kPlaneOriginHeight}},
    {kEqualEarth, "Equal Earth", {kLongitudeOfNaturalOrigin, kEasting, kNorthing}},
    {kEquidistantCylindrical,
     "Equidistant Cylindrical",
     {kFirstParallel, kLongitudeOfNaturalOrigin, kEasting, kNorthing}},
    {kGuamProjection, "Guam Projection", {NATURAL_ORIGIN, kEasting, kNorthing}},
    {kHotineObliqueMercatorA,
     "Hotine Oblique Mercator (variant A)",
     {kLatitudeOfCentre, kLongitudeOfCentre, kAzimuth, kRectifiedToSkew, kScaleOnInitialLine,
      kEasting, kNorthing}},
    {kHotineObliqueMercatorB,
     "Hotine Oblique Mercator (variant B)",
     {kLatitudeOfCentre, kLongitudeOfCentre, kAzimuth, kRectifiedToSkew, kScaleOnInitialLine,
      kEastingAtCentre, kNorthingAtCentre}},
    {kHyperbolicCassiniSoldner,
     "Hyperbolic Cassini-Soldner",
     {NATURAL_ORIGIN, kEasting, kNorthing}},
    {kKrovak, "Krovak", {KROVAK}},
    {kKrovakNorthOrientated, "Krovak (North Orientated)", {KROVAK}},
    {kKrovakModified, "Krovak Modified", {KROVAK}},
    {kKrovakModifiedNorthOrientated, "Krovak Modified (North Orientated)", {KROVAK}},
    {kLabordeObliqueMercator,
     "Laborde Oblique Mercator",
     {kLatitudeOfCentre, kLongitudeOfCentre, kAzimuth, kScaleOnInitialLine, kEasting, kNorthing}},
    {kLambertAzimuthalEqualArea,
     "Lambert Azimuthal Equal Area",
     {NATURAL_ORIGIN, kEasting, kNorthing}},
    {kLambertAzimuthalEqualAreaSpherical,
     "Lambert Azimuthal Equal Area (Spherical)",
     {NATURAL_ORIGIN, kEasting, kNorthing}},
    {kLambertConic1SP, "Lambert Conic Conformal (1SP)", {NATURAL_ORIGIN_SCALED}},
    {kLambertConic2SPBelgium,
     "Lambert Conic Conformal (2SP Belgium)",
     {FALSE_ORIGIN_TWO_PARALLELS}},
    {kLambertConic2SPMichigan,
     "Lambert Conic Conformal (2SP Michigan)",
     {FALSE_ORIGIN_TWO_PARALLELS, kEllipsoidScaling}},
    {kLambertConicWestOrientated,
     "Lambert Conic Conformal (West Orientated)",
     {NATURAL_ORIGIN_SCALED}},
    {kLambertConicNearConformal, "Lambert Conic Near-Conformal", {NATURAL_ORIGIN_SCALED}},
    {kLambertCylindricalEqualArea,
     "Lambert Cylindrical Equal Area",
     {kFirstParallel, kLongitudeOfNaturalOrigin, kEasting, kNorthing}},
    {kMercatorA, "Mercator (variant A)", {NATURAL_ORIGIN_SCALED}},
    {kMercatorB,
     "Mercator (variant B)",
     {kFirstParallel, kLongitudeOfNaturalOrigin, kEasting, kNorthing}},
    {kModifiedAzimuthalEquidistant,
     "Modified Azimuthal Equidistant",
     {NATURAL_ORIGIN, kEasting, kNorthing}},
    {kNewZealandMapGrid, "New Zealand Map Grid", {NATURAL_ORIGIN, kEasting, kNorthing}},
    {kPolarStereographicA, "Polar Stereographic (variant A)", {NATURAL_ORIGIN_SCALED}},
    {kPolarStereographicB,
     "Polar Stereographic (variant B)",
     {kStandardParallel, kLongitudeOfOrigin, kEasting, kNorthing}},
    {kPolarStereographicC,
     "Polar Stereographic (variant C)",
     {kStandardParallel, kLongitudeOfOrigin, kEastingAtFalseOrigin, kNorthingAtFalseOrigin}},
    {kPseudoMercator,
     "Popular Visualisation Pseudo Mercator",
     {NATURAL_ORIGIN, kEasting, kNorthing}},
    {kTransverseMercatorSouthOrientated,
     "Transverse Mercator (South Orientated)",
     {NATURAL_ORIGIN_SCALED}},
    {kTransverseMercator3D, "Transverse Mercator 3D", {NATURAL_ORIGIN_SCALED}},
    {kTransverseMercatorZonedGrid,
     "Transverse Mercator Zoned Grid System",
     {kLatitudeOfNaturalOrigin, kInitialLongitude, kZoneWidth, kScaleAtNaturalOrigin, kEasting,
      kNorthing}},
    {kTunisiaMiningGrid,
     "Tunisia Mining Grid",
     {kLatitudeOfFalseOrigin, kLongitudeOfFalseOrigin, kEastingAtFalseOrigin,
      kNorthingAtFalseOrigin}},
};

#undef NATURAL_ORIGIN
#undef NATURAL_ORIGIN_SCALED
#undef FALSE_ORIGIN_TWO_PARALLELS
#undef KROVAK

}  // namespace

double FieldValue(const ProjectionRecord& projection, RecordField field) {
  switch (field) {
    case kScaleFactor:
      return projection.scaleFactor;
    case kCentralMeridian:
      return projection.centralMeridian;
    case kFalseEasting:
      return projection.falseEasting;
    case kFalseNorthing:
      return projection.falseNorthing;
    case kLatitudeOfOrigin:
      return projection.latitudeOfOrigin;
    case kFirstStandardParallel:
      return projection.firstStandardParallel;
    case kSecondStandardParallel:
      return projection.secondStandardParallel;
  }
  return 0;
}

std::span<const MethodParameter> ProjectionMethodEntry::Parameters() const {
  size_t count = 0;
  while (count < kMostMethodParameters && parameters[count].name != nullptr) ++count;
  return {parameters, count};
}

namespace {

// The entries' positions in order of code, for a binary search: the chain
// asks for each point it projects.
constexpr auto kByCode = [] {
  std::array<std::pair<int32_t, size_t>, std::size(kEntries)> byCode{};
  for (size_t i = 0; i < byCode.size(); ++i) byCode[i] = {kEntries[i].code, i};
  std::sort(byCode.begin(), byCode.end());
  return byCode;
}();

}  // namespace

const ProjectionMethodEntry* FindProjectionMethodEntry(int32_t code) {
  const auto found = std::lower_bound(kByCode.begin(), kByCode.end(), code,
                                      [](const auto& entry, int32_t c) { return entry.first < c; });
  return found != kByCode.end() && found->first == code ? &kEntries[found->second] : nullptr;
}
