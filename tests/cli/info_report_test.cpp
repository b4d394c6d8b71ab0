// What `varnel info` tells of a system on one of the further methods.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "fixed_text.h"
#include "info_report.h"

namespace {

// EPSG:5514 S-JTSK / Krovak East North is on the same parameters as EPSG's
// Krovak example: latitude of projection centre 49 30 N, longitude of origin
// 24 50 E, co-latitude of cone axis 30 17 17.30311, pseudo standard parallel
// 78 30 N, scale factor 0.9999, no false easting or northing.
TEST(InfoReport, AFurtherMethodIsToldByEpsgsNamesInEpsgsOrder) {
  CrsSide side;
  std::memset(static_cast<void*>(&side), 0, sizeof side);
  ProjectionRecord& p = side.projection;
  SetFixedField(p.name, "S-JTSK / Krovak");
  p.methodCode = kKrovak;
  p.latitudeOfOrigin = 49.5;
  p.centralMeridian = 24.8333333333333;
  p.firstStandardParallel = 30.2881397527778;
  p.secondStandardParallel = 78.5;
  p.scaleFactor = 0.9999;
  const std::string text = InfoReportText(NamedSystem{}, side, {});

  const struct {
    std::string label, value;
  } lines[] = {
      {"Method", "Krovak (EPSG:9819)"},
      {"Latitude of projection centre",
       "49.5\xB0 (49\xB0"
       "30'00.00000\" N)"},
      {"Longitude of origin",
       "24.8333333333\xB0 (24\xB0"
       "50'00.00000\" E)"},
      {"Co-latitude of cone axis",
       "30.2881397528\xB0 (30\xB0"
       "17'17.30311\")"},
      {"Latitude of pseudo standard parallel",
       "78.5\xB0 (78\xB0"
       "30'00.00000\" N)"},
      {"Scale factor on pseudo standard parallel", "0.9999"},
      {"False easting", "0 m"},
      {"False northing", "0 m"},
  };
  size_t after = 0;
  for (const auto& line : lines) {
    const size_t at = text.find("\n" + line.label + ":", after);
    ASSERT_NE(at, std::string::npos) << line.label << " after " << after << " in\n" << text;
    const size_t start = text.find_first_not_of(' ', at + line.label.size() + 2);
    EXPECT_EQ(text.substr(start, text.find('\n', start) - start), line.value);
    after = at + 1;
  }
}

}  // namespace
