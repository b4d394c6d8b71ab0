// The CRS information report, character for character.
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "crs_report.h"
#include "fixed_text.h"
#include "message_recorder.h"

namespace {

struct Side {
  ProjectionRecord projection{};
  DatumRecord datum{};
  EllipsoidRecord ellipsoid{};

  std::string Report() const { return CrsReportText(projection, datum, ellipsoid); }
};

std::unique_ptr<Side> GaussKrugerOnDhdn() {
  auto side = std::make_unique<Side>();
  ProjectionRecord& p = side->projection;
  SetFixedField(p.name, "DHDN / 3-degree Gauss-Kruger zone 3");
  p.methodCode = kTransverseMercator;
  p.centralMeridian = 9;
  p.latitudeOfOrigin = 0;
  p.falseEasting = 3500000;
  p.falseNorthing = 0;
  p.scaleFactor = 1;
  p.firstStandardParallel = 11;  // not shown for this method
  DatumRecord& d = side->datum;
  SetFixedField(d.name, "DHDN (Rauenberg)");
  SetFixedField(d.areaOfUse, "Germany - west");
  d.methodCode = kPositionVector;
  d.toCrsCode = kCrsWgs84;
  d.translationX = 598.1;
  d.translationY = 73.7;
  d.translationZ = 418.2;
  d.rotationX = 9.793e-7;
  d.rotationY = 2.182e-7;
  d.rotationZ = -1.19e-5;
  d.scaleDifference = 6.7e-6;
  EllipsoidRecord& e = side->ellipsoid;
  SetFixedField(e.name, "Bessel 1841");
  e.semiMajorAxis = 6377397.155;
  e.semiMinorAxis = 6356078.96281819;
  return side;
}

const std::string kDhdnDatumAndBessel =
    "@-Datum: \r"
    "===============\r\r"
    "Name:\t\tDHDN (Rauenberg)\r"
    "Area:\t\tGermany - west\r\r"
    "Method:\t\tHelmert Transf. (Position Vector)\r\r"
    "to:\t\tWGS 84\r\r"
    "X_Shift (m):\t 598.1\r"
    "Y_Shift (m):\t 73.7\r"
    "Z_Shift (m):\t 418.2\r\r"
    "X_Rot (Rad):\t .0000009793\r"
    "Y_Rot (Rad):\t .0000002182\r"
    "Z_Rot (Rad):\t-.0000119\r\r"
    "Scale:\t\t .0000067\r\r"
    "@-Ellipsoid:\r"
    "===============\r\r"
    "Name:\t\tBessel 1841\r\r"
    "Major Axis (m):\t 6377397.155\r"
    "Minor Axis (m):\t 6356078.96281819";

TEST(CrsReport, TransverseMercatorInFull) {
  MessageRecorder recorder;
  EXPECT_EQ(GaussKrugerOnDhdn()->Report(),
            "@-Projection\r"
            "===============\r\r"
            "Name:\t\tDHDN / 3-degree Gauss-Kruger zone 3\r\r"
            "Method:\t\tTansverse Mercator\r\r"
            "Central Meridian:\t\t 9\r"
            "Base Parallel:\t\t 0\r"
            "False Easting:\t\t 3500000\r"
            "False Northing:\t\t 0\r"
            "Scale Factor:\t\t 1\r\r" +
                kDhdnDatumAndBessel);
  EXPECT_TRUE(recorder.messages().empty());
}

TEST(CrsReport, GeographicShowsOnlyTheProjectionName) {
  auto side = std::make_unique<Side>();
  SetFixedField(side->projection.name, "none");
  side->projection.methodCode = kTransverseMercator;
  SetFixedField(side->datum.name, "WGS 72 to WGS 84 @ 1");
  SetFixedField(side->datum.areaOfUse, "World");
  side->datum.methodCode = kGeocentricTranslations;
  side->datum.toCrsCode = kCrsWgs72;
  side->datum.translationX = -87;
  SetFixedField(side->ellipsoid.name, "WGS 72");
  side->ellipsoid.semiMajorAxis = 6378135;
  side->ellipsoid.semiMinorAxis = 6356750.52001609;
  EXPECT_EQ(side->Report(),
            "@-Projection\r"
            "===============\r\r"
            "Name:\t\tnone\r\r"
            "@-Datum: \r"
            "===============\r\r"
            "Name:\t\tWGS 72 to WGS 84 @ 1\r"
            "Area:\t\tWorld\r\r"
            "Method:\t\tGeocentric Translation.\r\r"
            "to:\t\tWGS 72\r\r"
            "X_Shift (m):\t-87\r"
            "Y_Shift (m):\t 0\r"
            "Z_Shift (m):\t 0\r\r"
            "X_Rot (Rad):\t 0\r"
            "Y_Rot (Rad):\t 0\r"
            "Z_Rot (Rad):\t 0\r\r"
            "Scale:\t\t 0\r\r"
            "@-Ellipsoid:\r"
            "===============\r\r"
            "Name:\t\tWGS 72\r\r"
            "Major Axis (m):\t 6378135\r"
            "Minor Axis (m):\t 6356750.52001609");
}

// The report up to the datum block.
std::string ProjectionBlock(const std::string& report) {
  return report.substr(0, report.find("@-Datum: \r"));
}

TEST(CrsReport, LambertShowsBothParallelsAndStereographicNone) {
  auto side = GaussKrugerOnDhdn();
  ProjectionRecord& p = side->projection;
  SetFixedField(p.name, "Belge 1972 / Belgian Lambert 72");
  p.methodCode = kLambertConic2SP;
  p.latitudeOfOrigin = 90;
  p.centralMeridian = 4.36748666666667;
  p.firstStandardParallel = 51.1666672333333;
  p.secondStandardParallel = 49.8333339;
  p.falseEasting = 150000.013;
  p.falseNorthing = 5400088.438;
  EXPECT_EQ(ProjectionBlock(side->Report()),
            "@-Projection\r"
            "===============\r\r"
            "Name:\t\tBelge 1972 / Belgian Lambert 72\r\r"
            "Method:\t\tLambert Conformal Conic (2StdPar)\r\r"
            "Central Meridian:\t\t 4.36748666666667\r"
            "Base Parallel:\t\t 90\r"
            "1st Parallel:\t\t 51.1666672333333\r"
            "2nd Parallel:\t\t 49.8333339\r"
            "False Easting:\t\t 150000.013\r"
            "False Northing:\t\t 5400088.438\r"
            "Scale Factor:\t\t 1\r\r");

  SetFixedField(p.name, "Amersfoort / RD New");
  p.methodCode = kObliqueStereographic;
  p.latitudeOfOrigin = 52.1561605555556;
  p.centralMeridian = 5.38763888888889;
  p.falseEasting = 155000;
  p.falseNorthing = 463000;
  p.scaleFactor = 0.9999079;
  EXPECT_EQ(ProjectionBlock(side->Report()),
            "@-Projection\r"
            "===============\r\r"
            "Name:\t\tAmersfoort / RD New\r\r"
            "Method:\t\tOblique Stereographic\r\r"
            "Central Meridian:\t\t 5.38763888888889\r"
            "Base Parallel:\t\t 52.1561605555556\r"
            "False Easting:\t\t 155000\r"
            "False Northing:\t\t 463000\r"
            "Scale Factor:\t\t .9999079\r\r");
}

// The other methods are shown by EPSG's names, each parameter from its own
// field. Timbalai 1948 / RSO Borneo (m), EPSG's Hotine variant B example:
// centre 4 N, 115 E, azimuth 53 18 56.9537, skew angle 53 07 48.3685,
// k 0.99984, centre at 590476.87 m E, 442857.65 m N.
TEST(CrsReport, AFurtherMethodShowsEpsgsNamesInEpsgsOrder) {
  auto side = GaussKrugerOnDhdn();
  ProjectionRecord& p = side->projection;
  SetFixedField(p.name, "Timbalai 1948 / RSO Borneo (m)");
  p.methodCode = kHotineObliqueMercatorB;
  p.latitudeOfOrigin = 4;
  p.centralMeridian = 115;
  p.firstStandardParallel = 53.3158204722222;
  p.secondStandardParallel = 53.1301023611111;
  p.scaleFactor = 0.99984;
  p.falseEasting = 590476.87;
  p.falseNorthing = 442857.65;
  EXPECT_EQ(ProjectionBlock(side->Report()),
            "@-Projection\r"
            "===============\r\r"
            "Name:\t\tTimbalai 1948 / RSO Borneo (m)\r\r"
            "Method:\t\tHotine Oblique Mercator (variant B)\r\r"
            "Latitude of projection centre: 4\r"
            "Longitude of projection centre: 115\r"
            "Azimuth of initial line: 53.3158204722222\r"
            "Angle from Rectified to Skew Grid: 53.1301023611111\r"
            "Scale factor on initial line: .99984\r"
            "Easting at projection centre: 590476.87\r"
            "Northing at projection centre: 442857.65\r\r");
}

// A system on its own prime meridian, and a datum that shifts by a grid that
// is not installed: the grid's file, publisher, extent and where it is.
TEST(CrsReport, AMeridianAndAGridAreNamed) {
  auto side = GaussKrugerOnDhdn();
  SetFixedField(side->projection.name, "NTF (Paris)");
  side->projection.methodCode = kLongitudeRotation;
  side->projection.centralMeridian = 2.33722917;
  side->datum.methodCode = kNtv2;
  SetFixedField(side->datum.areaOfUse, "NOSUCH.gsb|GRS 1980|BKG|Germany - west");
  const std::string report = side->Report();
  EXPECT_EQ(ProjectionBlock(report),
            "@-Projection\r===============\r\r"
            "Name:\t\tNTF (Paris)\r\r"
            "Method:\t\tGeographic, longitudes from its own prime meridian\r\r"
            "Prime meridian (degrees east of Greenwich): 2.33722917\r\r");
  for (const char* line : {"Area:\t\tGermany - west\r\r",
                           "Method:\t\tNTv2 grid, then Helmert Transf. (Position Vector)\r\r"
                           "Grid file:\t\tNOSUCH.gsb\rGrid source:\tBKG\rGrid datum on:\tGRS 1980\r"
                           "Grid extent:\tunknown while the grid is not installed\r"
                           "Grid found:\tnot installed; looked for in "}) {
    EXPECT_NE(report.find(line), std::string::npos) << line << "\n" << report;
  }
}

TEST(CrsReport, OnlyTheExactWordNoneIsGeographic) {
  struct Case {
    const char* name;
    bool geographic;
  };
  const Case cases[] = {{"none", true},
                        {"none          ", true},
                        {"None", false},
                        {" none", false},
                        {"none!", false}};
  for (const Case& c : cases) {
    auto side = GaussKrugerOnDhdn();
    SetFixedField(side->projection.name, c.name);
    const std::string shownName(TrimTrailingBlanks(c.name));
    const std::string head = "@-Projection\r===============\r\rName:\t\t" + shownName + "\r\r";
    const std::string next = c.geographic ? "@-Datum: \r" : "Method:\t\tTansverse Mercator\r\r";
    EXPECT_EQ(side->Report().substr(0, head.size() + next.size()), head + next)
        << '"' << c.name << '"';
  }
}

TEST(CrsReport, UnknownCodesGiveEmptyTexts) {
  auto side = GaussKrugerOnDhdn();
  side->projection.methodCode = 9999;
  side->datum.methodCode = 0;
  side->datum.toCrsCode = 4258;
  SetFixedField(side->datum.areaOfUse, "");
  const std::string report = side->Report();
  EXPECT_NE(report.find("Name:\t\tDHDN / 3-degree Gauss-Kruger zone 3\r\rMethod:\t\t\r\rCentral"),
            std::string::npos);
  EXPECT_EQ(report.find("1st Parallel"), std::string::npos);
  EXPECT_NE(report.find("Area:\t\t\r\rMethod:\t\t\r\rto:\t\t\r\rX_Shift"), std::string::npos);
}

}  // namespace
