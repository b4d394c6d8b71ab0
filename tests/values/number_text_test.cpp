// Number text: the notation boundaries of the general format, reading numbers,
// and rounding to decimals.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "number_text.h"

namespace {

struct FormatCase {
  double value;
  const char* text;
};

TEST(FormatGeneral, NotationBoundaries) {
  const FormatCase cases[] = {
      {0.5, " .5"},
      {0.0001, " .0001"},
      {0.9996, " .9996"},
      {500000, " 500000"},
      {1e15, " 1E+15"},
      {1.5e-15, " 1.5E-15"},
      {1e-15, " .000000000000001"},
      {1e-16, " 1E-16"},
      {-3.5, "-3.5"},
      {0.0, " 0"},
      {-0.0, " 0"},
      {1, " 1"},
      {-87, "-87"},
      {1e14, " 100000000000000"},
      {999999999999999, " 999999999999999"},
      {1234567890123456, " 1.23456789012346E+15"},
      {1.5e15, " 1.5E+15"},
      {123.456, " 123.456"},
      {-2.5e-5, "-.000025"},
      {0.00012345, " .00012345"},
      {0.000123456789012345, " 1.23456789012345E-4"},
      {1e100, " 1E+100"},
      {-1e-100, "-1E-100"},
  };
  for (const FormatCase& c : cases) {
    EXPECT_EQ(FormatGeneral(c.value), c.text) << c.value;
  }
}

TEST(FormatGeneral, RoundsToFifteenSignificantDigits) {
  const FormatCase cases[] = {
      {1.0 / 3, " .333333333333333"},
      {2.0 / 3, " .666666666666667"},
      {0.1 + 0.2, " .3"},  // 0.30000000000000004
      {12345678.9012345678, " 12345678.9012346"},
      {123456789012345.6, " 123456789012346"},
      {999999999999999.4, " 999999999999999"},
      // Exact halves in the sixteenth digit go to the even neighbour.
      {100000000000000.5, " 100000000000000"},
      {100000000000001.5, " 100000000000002"},
      {100000000000002.5, " 100000000000002"},
      {999999999999999.5, " 1E+15"},
      {-100000000000003.5, "-100000000000004"},
      // The largest double and the smallest subnormal (2^-1074 =
      // 4.9406564584124654e-324) round on their exact values.
      {std::numeric_limits<double>::max(), " 1.79769313486232E+308"},
      {std::numeric_limits<double>::denorm_min(), " 4.94065645841247E-324"},
  };
  for (const FormatCase& c : cases) {
    EXPECT_EQ(FormatGeneral(c.value), c.text) << c.value;
  }
}

TEST(FormatGeneral, ReadsBackAsTheCRoundingToFifteenDigits) {
  // The C library's "%.14e" rounds the exact value to 15 significant digits;
  // the general text must stand for the same decimal whatever notation it takes.
  std::mt19937_64 random(20240611);
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  std::uniform_int_distribution<int> exponent(-20, 20);
  std::uniform_int_distribution<int> digits(1, 17);
  for (int i = 0; i < 200000; ++i) {
    double value = mantissa(random) * std::pow(10.0, exponent(random));
    char decimal[40];
    if (i % 4 == 1) {  // short decimals as well, as rounded results are
      std::snprintf(decimal, sizeof decimal, "%.*e", digits(random) - 1, value);
      value = std::strtod(decimal, nullptr);
    } else if (i % 4 == 2) {  // next to a rounding boundary: a 5 in the sixteenth digit
      const int length = std::snprintf(decimal, sizeof decimal, "%.15e", value);
      const int five = static_cast<int>(std::string_view(decimal, length).find('e')) - 1;
      decimal[five] = '5';
      value = std::strtod(decimal, nullptr);
    }
    if (i % 3 == 0) value = -value;
    char expected[40];
    std::snprintf(expected, sizeof expected, "%.14e", value);
    const std::string text = FormatGeneral(value);
    ASSERT_EQ(std::strtod(text.c_str(), nullptr), std::strtod(expected, nullptr))
        << text << " for " << expected;
    ASSERT_EQ(text[0], value < 0 ? '-' : ' ');
  }
}

TEST(FormatPlain, DropsOnlyTheBlank) {
  EXPECT_EQ(FormatPlain(-3), "-3");
  EXPECT_EQ(FormatPlain(0.25), ".25");
  EXPECT_EQ(FormatPlain(0), "0");
  EXPECT_EQ(FormatPlain(1e15), "1E+15");
  EXPECT_EQ(FormatPlain(-0.5), "-.5");
}

struct ReadCase {
  const char* text;
  double value;
  bool whole;  // the number is the whole text
};

// ReadNumber reads the longest number at the start; ReadWholeNumber takes a
// text only when that number is all of it (blanks around it aside).
TEST(ReadNumber, StopsAtTheFirstCharacterThatCannotContinue) {
  const ReadCase cases[] = {
      {"", 0, false},
      {"   ", 0, false},
      {"abc", 0, false},
      {".", 0, false},
      {"-", 0, false},
      {"+", 0, false},
      {"-.", 0, false},
      {"\"12\"", 0, false},  // a quoted number is not a number
      {"inf", 0, false},
      {"nan", 0, false},
      {"0x10", 0, false},
      {"1e", 1, false},
      {"1e+", 1, false},
      {"1E5", 100000, true},
      {"1.5e-3", 0.0015, true},
      {"2.5E+2", 250, true},
      {"  -12.5xyz", -12.5, false},
      {" +7", 7, true},
      {"12 34", 12, false},
      {"1 e5", 1, false},
      {"1.2.3", 1.2, false},
      {"12,5", 12, false},
      {"1e5.5", 100000, false},
      {".5", 0.5, true},
      {"5.", 5, true},
      {"-.25", -0.25, true},
      {"000123", 123, true},
      {"- 5", 0, false},
      {"304.800609601219", 304.800609601219, true},
      {"6378137", 6378137, true},
      {"0.1", 0.1, true},
      {" 5 ", 5, true},
      {"5-", 5, false},
      {"--5", 0, false},
  };
  for (const ReadCase& c : cases) {
    EXPECT_EQ(ReadNumber(c.text), c.value) << '"' << c.text << '"';
    double value = -1;
    EXPECT_EQ(ReadWholeNumber(c.text, value), c.whole) << '"' << c.text << '"';
    EXPECT_EQ(IsWholeNumber(c.text), c.whole) << '"' << c.text << '"';
    if (c.whole) {
      EXPECT_EQ(value, c.value) << '"' << c.text << '"';
    }
  }
}

TEST(ReadNumber, OutOfRangeGivesInfinityOrZero) {
  EXPECT_EQ(ReadNumber("1e400"), HUGE_VAL);
  EXPECT_EQ(ReadNumber("-1e400"), -HUGE_VAL);
  EXPECT_EQ(ReadNumber("12345e305"), HUGE_VAL);
  EXPECT_EQ(ReadNumber("1e-400"), 0.0);
  EXPECT_EQ(ReadNumber("0.00001e-320"), 0.0);
  EXPECT_EQ(ReadNumber("0e999"), 0.0);
  EXPECT_EQ(ReadNumber("1e99999999999999999999"), HUGE_VAL);
  EXPECT_TRUE(std::signbit(ReadNumber("-0")));
}

struct RoundCase {
  double value;
  int32_t decimals;
  double rounded;
};

TEST(RoundTo, HalvesToEvenOnTheExactValue) {
  const RoundCase cases[] = {
      {0.125, 2, 0.12},  // exact halves
      {0.375, 2, 0.38},
      {-0.125, 2, -0.12},
      {2.5, 0, 2},
      {3.5, 0, 4},
      {-2.5, 0, -2},
      {-3.5, 0, -4},
      {2.675, 2, 2.67},  // the double lies below 2.675
      // v x 100 in double arithmetic lands on the half; the exact product
      // does not (0.015 is 0.01499999999999999944..., 0.025 is
      // 0.02500000000000000138...).
      {0.015, 2, 0.01},
      {0.025, 2, 0.03},
      {0.045, 2, 0.04},
      {0.055, 2, 0.06},
      {1234.5678, 2, 1234.57},
      {304.8 / 0.304800609601219, 3, 999.998},
      {1234.5, -1, 1230},
      {1250, -2, 1200},
      {1350, -2, 1400},
      {0.1, 25, 0.1},  // limited to 18 decimals
      {1e300, 2, 1e300},
  };
  for (const RoundCase& c : cases) {
    EXPECT_EQ(RoundTo(c.value, c.decimals), c.rounded) << c.value << " to " << c.decimals;
  }
  EXPECT_TRUE(std::isnan(RoundTo(std::nan(""), 2)));
  EXPECT_EQ(RoundTo(HUGE_VAL, 2), HUGE_VAL);
}

TEST(RoundTo, GivesTheDoubleNearestTheDecimal) {
  // Rounded results are printed, so they must be the doubles that their
  // decimals read as.
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> values(-1e7, 1e7);
  for (int i = 0; i < 20000; ++i) {
    const double rounded = RoundTo(values(random), 2);
    char text[40];
    std::snprintf(text, sizeof text, "%.2f", rounded);
    ASSERT_EQ(rounded, std::strtod(text, nullptr)) << text;
  }
}

// Beyond 2^53 hundredths the whole number of hundredths is no double; the
// result is still the double nearest the decimal that printf rounds to.
TEST(RoundTo, LargeValuesRoundOnceToo) {
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> large(9.1e13, 9e15);
  for (int i = 0; i < 20000; ++i) {
    const double value = large(random);
    char text[40];
    std::snprintf(text, sizeof text, "%.2f", value);
    ASSERT_EQ(RoundTo(value, 2), std::strtod(text, nullptr)) << text;
  }
}

TEST(FormatRounded, SameTextAsTheGeneralFormatter) {
  // The general formatter is the reference; the values cover halves at the
  // third decimal, signs, values below 1 and the limit of the short way.
  std::vector<double> values = {
      0,           -0.0,       0.004,   0.005,       0.015,   -0.005,  -0.0051,
      0.25,        -0.5,       1,       -1,          123.455, 2.675,   1.005,
      9999999.995, 577274.984, -100000, 1e13 - 0.01, 1e13,    -1.5e13, 123456789012.345,
      0.1 + 0.2};
  uint64_t state = 88172645463325252ULL;
  for (int i = 0; i < 200000; ++i) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    const double unit = static_cast<double>(state >> 11) / 9007199254740992.0;
    const double scale = std::pow(10.0, static_cast<double>(state % 15) - 2);
    values.push_back((unit - 0.5) * scale);
    values.push_back(std::round((unit - 0.5) * scale * 1000) / 1000);  // exact thousandths
  }
  for (double v : values) {
    char fast[kNumberTextCapacity];
    char general[kNumberTextCapacity];
    const std::string a(fast, FormatRoundedTo(fast, v));
    const std::string b(general, FormatPlainTo(general, RoundTo(v, 2)));
    ASSERT_EQ(a, b) << std::hexfloat << v;
  }
}

}  // namespace
