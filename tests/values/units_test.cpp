// The length units and the default units and formats.
#include <cmath>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "number_text.h"
#include "units.h"

namespace {

TEST(LengthUnits, IdsRunFrom603To611InDialogOrder) {
  for (int32_t k = 0; k < kLengthUnitCount; ++k) {
    EXPECT_EQ(kLengthUnits[k].id, 603 + k);
    EXPECT_EQ(FindLengthUnit(603 + k), &kLengthUnits[k]);
  }
  EXPECT_EQ(FindLengthUnit(602), nullptr);
  EXPECT_EQ(FindLengthUnit(612), nullptr);
}

TEST(LengthUnits, UsFootIsTwelveHundredOver3937ToFifteenDigits) {
  const LengthUnit* usFoot = FindLengthUnit(607);
  ASSERT_NE(usFoot, nullptr);
  EXPECT_STREQ(usFoot->label, "US feet (factor = 0.304800610)");
  EXPECT_EQ(FormatPlain(1200.0 / 3937.0), FormatPlain(usFoot->factor));
  EXPECT_EQ(usFoot->factor, 0.304800609601219);
  // An easting of 1000 US feet is 304.800609601219 m; 304.8 m are 999.998 US feet.
  EXPECT_EQ(FormatPlain(1000 * usFoot->factor), "304.800609601219");
  EXPECT_EQ(RoundTo(304.8 / usFoot->factor, 3), 999.998);
}

TEST(LengthUnits, EachLabelShowsItsFactor) {
  // Every label ends with "(factor = <f>)"; apart from the US foot, whose
  // label shows it rounded, the text is the stored factor.
  for (const LengthUnit& unit : kLengthUnits) {
    const std::string label = unit.label;
    const size_t at = label.rfind("(factor = ");
    ASSERT_NE(at, std::string::npos) << label;
    ASSERT_EQ(label.back(), ')') << label;
    const std::string shown = label.substr(at + 10, label.size() - at - 11);
    if (unit.id == 607) {
      EXPECT_NEAR(ReadNumber(shown), unit.factor, 5e-10);
    } else {
      EXPECT_EQ(ReadNumber(shown), unit.factor) << label;
    }
  }
}

TEST(UnitsAndFormats, DefaultsAreDmsAndMetres) {
  const UnitsAndFormats formats = DefaultUnitsAndFormats();
  EXPECT_EQ(formats.angleFormat, kAngleFormatDms);
  EXPECT_EQ(formats.angleFormat, 1);
  EXPECT_EQ(formats.lengthUnit, 603);
  EXPECT_EQ(formats.lengthFactor, 1.0);
  EXPECT_STREQ(FindLengthUnit(formats.lengthUnit)->label, "Meter (factor = 1)");
}

TEST(UnitsAndFormats, SetLengthUnitMovesUnitAndFactorTogether) {
  UnitsAndFormats formats = DefaultUnitsAndFormats();
  ASSERT_TRUE(SetLengthUnit(formats, 605));
  EXPECT_EQ(formats.lengthUnit, 605);
  EXPECT_EQ(formats.lengthFactor, 0.3048);
  EXPECT_EQ(formats.angleFormat, kAngleFormatDms);
  EXPECT_FALSE(SetLengthUnit(formats, 612));
  EXPECT_EQ(formats.lengthUnit, 605);
  EXPECT_EQ(formats.lengthFactor, 0.3048);
}

}  // namespace
