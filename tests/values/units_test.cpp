// The length units and the default units and formats.
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "number_text.h"
#include "units.h"

namespace {

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
  EXPECT_FALSE(SetLengthUnit(formats, 602));
  EXPECT_EQ(formats.lengthUnit, 605);
  EXPECT_EQ(formats.lengthFactor, 0.3048);
}

}  // namespace
