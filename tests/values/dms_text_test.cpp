// The packed DMS angle text: formatting with its carries, reading with its
// normalisation and range message, and the round trip between the two.
#include <cmath>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "dms_text.h"
#include "message.h"
#include "message_recorder.h"

namespace {

double Degrees(double d, double m, double s) {
  return d + m / 60 + s / 3600;
}

struct FormatDmsCase {
  double value;
  const char* text;
};

TEST(FormatDms, SevenDigitsWithCarries) {
  const FormatDmsCase cases[] = {
      {12.5, "12.3000000"},
      {-12.5, "-12.3000000"},
      {0.0001, "0.0000360"},
      {0, "0.0000000"},
      {-0.0, "0.0000000"},
      {Degrees(12, 30, 15.2504), "12.3015250"},
      {Degrees(12, 30, 15.2506), "12.3015251"},
      {Degrees(12, 5, 1.5), "12.0501500"},
      {Degrees(7, 0, 0.009), "7.0000009"},
      // Exact halves of a thousandth round up: 1/256 degree is 14.0625 seconds,
      // 3/256 degree 42.1875 seconds.
      {0.00390625, "0.0014063"},
      {-1.00390625, "-1.0014063"},
      {30.01171875, "30.0042188"},
      // Seconds that round up to 60 carry into the minutes, and 60 minutes
      // into the degrees.
      {Degrees(12, 29, 59.9996), "12.3000000"},
      {Degrees(10, 59, 59.9996), "11.0000000"},
      {179.9999999, "180.0000000"},
      {Degrees(10, 59, 59.9994), "10.5959999"},
      // Between 0 and -1 the sign stays although the degrees are 0.
      {-0.5, "-0.3000000"},
      {-0.0001, "-0.0000360"},
      {-0.999999, "-0.5959996"},
      {-0.99999999, "-1.0000000"},
      {-1e-9, "-0.0000000"},
      {-Degrees(45, 59, 59.9999), "-46.0000000"},
      {123456789.5, "123456789.3000000"},
      {HUGE_VAL, "INF"},
      {-HUGE_VAL, "-INF"},
  };
  for (const FormatDmsCase& c : cases) {
    EXPECT_EQ(FormatDms(c.value), c.text) << c.value;
    char text[kDmsTextCapacity];
    EXPECT_EQ(std::string(text, FormatDmsTo(text, c.value)), c.text) << c.value;
  }
}

struct ParseDmsCase {
  const char* text;
  const char* normalised;
  double value;
};

TEST(ParseDms, NormalisesAndReads) {
  const ParseDmsCase cases[] = {
      {"12.3", "12.3000000", 12.5},
      {"12", "12.0000000", 12.0},
      {"12.301525099", "12.3015250", Degrees(12, 30, 15.25)},
      {"12.3015250", "12.3015250", Degrees(12, 30, 15.25)},
      {"12.6000000", "12.6000000", 13.0},  // exactly 60 minutes pass
      {"12.0060000", "12.0060000", Degrees(12, 1, 0)},
      {"-0.3", "-0.3000000", -0.5},
      {"  -12.3", "  -12.3000000", -12.5},
      {"-12.3015250", "-12.3015250", -Degrees(12, 30, 15.25)},
      {"0.0000360", "0.0000360", 0.0001},
      {"180", "180.0000000", 180.0},
      {"", ".0000000", 0.0},
      {"5.30.15", "5.30.1500", 5.5 + 0.15 / 1000 / 3600},  // the first point counts
  };
  for (const ParseDmsCase& c : cases) {
    MessageRecorder recorder;
    std::string text = c.text;
    double value = -999;
    EXPECT_EQ(ParseDms(text, kDmsOther, value), 0) << c.text;
    EXPECT_EQ(text, c.normalised);
    EXPECT_NEAR(value, c.value, 1e-12) << c.text;
    EXPECT_TRUE(recorder.messages().empty()) << c.text;
  }
}

TEST(ParseDms, MinutesOrSecondsAboveSixtyShowTheWarning) {
  struct Case {
    const char* text;
    int32_t kind;
    const char* message;
  };
  const Case cases[] = {
      {"12.6100000", kDmsLatitude,
       "Latitude input error! DMS selected - but minutes or seconds > 60!"},
      {"12.0060001", kDmsLongitude,
       "Longitude input error! DMS selected - but minutes or seconds > 60!"},
      {"12.99", kDmsOther, "Input error! DMS selected - but minutes or seconds > 60!"},
      {"-1.0099999", 7, "Input error! DMS selected - but minutes or seconds > 60!"},
  };
  for (const Case& c : cases) {
    MessageRecorder recorder;
    std::string text = c.text;
    double value = 42;
    EXPECT_EQ(ParseDms(text, c.kind, value), -1) << c.text;
    EXPECT_EQ(value, 42) << c.text;
    ASSERT_EQ(recorder.messages().size(), 1u) << c.text;
    const RecordedMessage& shown = recorder.messages()[0];
    EXPECT_EQ(shown.text, c.message);
    EXPECT_EQ(shown.caption, "Warning !");
    EXPECT_EQ(shown.style, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
  }
}

TEST(ParseDms, ReadsBackWhatFormatDmsWrote) {
  const double halfThousandthSecond = 0.0005 / 3600;
  std::mt19937_64 random(1994);
  std::uniform_real_distribution<double> anyAngle(-180, 180);
  std::uniform_real_distribution<double> belowOneDegree(-1, 0);
  for (int i = 0; i < 200000; ++i) {
    const double value = i % 4 == 0 ? belowOneDegree(random) : anyAngle(random);
    std::string text = FormatDms(value);
    double back = 0;
    ASSERT_EQ(ParseDms(text, kDmsOther, back), 0) << text;
    ASSERT_NEAR(back, value, halfThousandthSecond + 1e-12) << text;
  }
}

}  // namespace
