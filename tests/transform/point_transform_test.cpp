#include <gtest/gtest.h>

#include "message_recorder.h"
#include "point_transform.h"
#include "transform_fixtures.h"

namespace {

// Fields of the packed records enter the assertions through unary +: the
// assertions bind references to their arguments, and a reference to a
// misaligned field is undefined behaviour.

constexpr uint32_t kWarning = MB_ICONEXCLAMATION | MB_TASKMODAL;

// Start and target on OSGB 1936 / Airy by name; only the projections differ.
struct PointTransformTest : testing::Test {
  void SetUp() override {
    SetProgramConstants();
    catalogues = EmptyCatalogues();
    const DatumRecord osgb = Datum("OSGB 1936", kGeocentricTranslations, 375, -111, 431);
    start = Side(NoProjection(), osgb, Airy1830());
    target = Side(BritishNationalGrid(), osgb, Airy1830());
  }
  PointOutput Run(const PointInput& input) {
    return TransformPoint(start, target, *catalogues, input);
  }
  std::unique_ptr<Catalogues> catalogues;
  CrsSide start;
  CrsSide target;
  MessageRecorder recorder;
};

void ExpectNoResult(const PointOutput& out) {
  EXPECT_FALSE(out.startLatitude || out.startLongitude || out.startHeight || out.targetLatitude ||
               out.targetLongitude || out.targetHeight || out.targetEasting || out.targetNorthing);
}

struct SelectionCase {
  Selections selections;
  const char* message;
};

TEST(Selections, FirstMissingListWins) {
  MessageRecorder recorder;
  const SelectionCase cases[] = {
      {{}, "Please select a start projection first."},
      {{true, false, false, false, false, false}, "Please select a start datum first."},
      {{true, true, false, true, true, true}, "Please select a start ellipsoid first."},
      {{true, true, true, false, false, false}, "Please select a target projection first."},
      {{true, true, true, true, false, false}, "Please select a target datum first."},
      {{true, true, true, true, true, false}, "Please select a target ellipsoid first."},
  };
  for (const SelectionCase& c : cases) {
    recorder.Clear();
    EXPECT_FALSE(CheckSelections(c.selections));
    ASSERT_EQ(recorder.messages().size(), 1u);
    EXPECT_EQ(recorder.messages()[0].text, c.message);
    EXPECT_EQ(recorder.messages()[0].caption, "Warning !");
    EXPECT_EQ(recorder.messages()[0].style, kWarning);
  }
  recorder.Clear();
  EXPECT_TRUE(CheckSelections({true, true, true, true, true, true}));
  EXPECT_TRUE(recorder.messages().empty());
}

struct InputCase {
  const char* what;
  bool dms;
  PointInput input;
  const char* message;
  uint32_t style;
};

TEST_F(PointTransformTest, GeographicInputChecksInOrder) {
  const uint32_t pole = MB_ICONHAND | MB_TASKMODAL;
  const InputCase cases[] = {
      {"empty latitude",
       true,
       {"", "", "  ", "x", "y"},
       "Please select a start latitude first.",
       kWarning},
      {"letter in latitude",
       true,
       {"", "", "5O", "x", "y"},
       "Bad character in numeric field.",
       kWarning},
      {"comma in latitude",
       false,
       {"", "", "51,5", "", ""},
       "Bad character in numeric field.",
       kWarning},
      {"61 minutes",
       true,
       {"", "", "12.6100000", "x", ""},
       "Latitude input error! DMS selected - but minutes or seconds > 60!",
       kWarning},
      {"north pole",
       false,
       {"", "", "90", "x", ""},
       "Program does not work for latitude +/- 90 degrees",
       pole},
      {"south pole in DMS",
       true,
       {"", "", "-90", "x", ""},
       "Program does not work for latitude +/- 90 degrees",
       pole},
      {"beyond the pole",
       false,
       {"", "", "90.0001", "x", ""},
       "Latitude input error! Latitude > 90 degrees!",
       kWarning},
      {"empty longitude",
       true,
       {"", "", "51", " ", "y"},
       "Please select a start longitude first.",
       kWarning},
      {"bad longitude",
       true,
       {"", "", "51", "1e5", ""},
       "Bad character in numeric field.",
       kWarning},
      {"61 seconds in longitude",
       true,
       {"", "", "51", "1.0061000", ""},
       "Longitude input error! DMS selected - but minutes or seconds > 60!",
       kWarning},
      {"bad height", true, {"", "", "51", "1", "1O"}, "Bad character in numeric field.", kWarning},
  };
  for (const InputCase& c : cases) {
    recorder.Clear();
    start.unitsAndFormats.angleFormat = c.dms ? kAngleFormatDms : kAngleFormatDecimal;
    const PointOutput out = Run(c.input);
    ExpectNoResult(out);
    ASSERT_EQ(recorder.messages().size(), 1u) << c.what;
    EXPECT_EQ(recorder.messages()[0].text, c.message) << c.what;
    EXPECT_EQ(recorder.messages()[0].caption, "Warning !") << c.what;
    EXPECT_EQ(recorder.messages()[0].style, c.style) << c.what;
  }
}

TEST_F(PointTransformTest, GridInputChecksInOrder) {
  start.projection = BritishNationalGrid();
  const InputCase cases[] = {
      {"empty easting",
       true,
       {" ", "1", "", "", ""},
       "Please select a start easting first.",
       kWarning},
      {"comma as decimal separator",
       true,
       {"577274,99", "1", "", "", ""},
       "Bad character in numeric field.",
       kWarning},
      {"empty northing",
       true,
       {"577274.99", "", "", "", ""},
       "Please select a start northing first.",
       kWarning},
      {"bad northing",
       true,
       {"577274.99", "6974O", "", "", ""},
       "Bad character in numeric field.",
       kWarning},
  };
  for (const InputCase& c : cases) {
    recorder.Clear();
    ExpectNoResult(Run(c.input));
    ASSERT_EQ(recorder.messages().size(), 1u) << c.what;
    EXPECT_EQ(recorder.messages()[0].text, c.message) << c.what;
  }
}

struct ParallelCase {
  double base, first, second;
  const char* message;  // nullptr: accepted
};

TEST_F(PointTransformTest, LambertParallelChecks) {
  const ParallelCase cases[] = {
      {35, 40, 30, "Error - First and Second Parallel in wrong order !"},
      {-35, -30, -40, nullptr},  // the same order is right in the south
      {-35, -40, -30, "Error - First and Second Parallel in wrong order !"},
      {10, 30, -40, "Error - First and Second Parallel not in same hemisphere !"},
      {10, -30, 40, "Error - First and Second Parallel not in same hemisphere !"},
      {10, 30, 30, "Error - First and Second Parallel are equal !"},
      {-10, 30, 40, "Baseparallel and First Parallel not in same hemisphere !"},
      {0, 30, 40, nullptr},  // zero is in neither hemisphere
  };
  for (const ParallelCase& c : cases) {
    recorder.Clear();
    start.projection =
        Projection("Lambert", kLambertConic2SP, 1, c.base, 10, 500000, 0, c.first, c.second);
    const PointOutput out = Run({"500000", "100000", "", "", ""});
    if (c.message == nullptr) {
      EXPECT_TRUE(recorder.messages().empty()) << c.first << " " << c.second;
      EXPECT_TRUE(out.targetLatitude.has_value());
      continue;
    }
    ExpectNoResult(out);
    ASSERT_EQ(recorder.messages().size(), 1u);
    EXPECT_EQ(recorder.messages()[0].text, c.message);
    EXPECT_EQ(recorder.messages()[0].caption, "<default>");  // no caption, no icon
    EXPECT_EQ(recorder.messages()[0].style, MB_OK | MB_APPLMODAL);
  }
}

TEST_F(PointTransformTest, GeographicToGridOnOneDatum) {
  // 50 30 N, 0 30 E on the British National Grid: 577274.984, 69740.492 by an
  // independent evaluation of the same series (published: 577274.99, 69740.50).
  const PointOutput out = Run({"", "", "50.3000000", "0.3000000", ""});
  EXPECT_TRUE(recorder.messages().empty());
  EXPECT_EQ(out.targetEasting, " 577274.98");
  EXPECT_EQ(out.targetNorthing, " 69740.49");
  EXPECT_EQ(out.targetLatitude, "50.3000000");
  EXPECT_EQ(out.targetLongitude, "0.3000000");
  EXPECT_EQ(out.targetHeight, " 0");
  EXPECT_FALSE(out.startLatitude.has_value());

  // In US survey feet: 1893943.009, 228806.932.
  target.unitsAndFormats.lengthUnit = 607;
  target.unitsAndFormats.lengthFactor = 0.304800609601219;
  const PointOutput feet = Run({"", "", "50.3", "0.3", "-12.5"});
  EXPECT_EQ(feet.targetEasting, " 1893943.01");
  EXPECT_EQ(feet.targetNorthing, " 228806.93");
  EXPECT_EQ(feet.targetHeight, "-12.5");
}

TEST_F(PointTransformTest, AFurtherMethodIsComputedByTheChain) {
  // EPSG's Popular Visualisation Pseudo Mercator example (WGS 84 /
  // Pseudo-Mercator): 24 22 54.433 N, 100 20 00 W is -11169055.58 E,
  // 2800000.00 N.
  const DatumRecord wgs84 = Datum("WGS 84", kGeocentricTranslations, 0, 0, 0);
  start = Side(NoProjection(), wgs84, Wgs84Ellipsoid());
  target = Side(Projection("WGS 84 / Pseudo-Mercator", kPseudoMercator, 1, 0, 0, 0, 0), wgs84,
                Wgs84Ellipsoid());
  const PointOutput out = Run({"", "", "24.2254433", "-100.2000000", ""});
  EXPECT_TRUE(recorder.messages().empty());
  EXPECT_EQ(out.targetEasting, "-11169055.58");
  EXPECT_EQ(out.targetNorthing, " 2800000");  // shown without the zero decimals
}

TEST_F(PointTransformTest, SameSystemShortcutPassesValuesAndHeight) {
  target.projection = NoProjection();
  target.unitsAndFormats.angleFormat = kAngleFormatDecimal;
  // Datums named alike but with different parameters: no shift is made.
  target.datum.translationX = 1000;
  // A longitude beyond 180 degrees is refused, not wrapped.
  ExpectNoResult(Run({"", "", "51.3000000", "200", " 12.5 "}));
  EXPECT_EQ(recorder.texts(), std::vector<std::string>{kLongitudeRangeMessage});
  recorder.Clear();
  const PointOutput out = Run({"", "", "51.3000000", "-160", " 12.5 "});
  EXPECT_TRUE(recorder.messages().empty());
  EXPECT_EQ(out.targetLatitude, "51.5");
  EXPECT_EQ(out.targetLongitude, "-160");  // 15 significant digits
  EXPECT_EQ(out.targetHeight, " 12.5");
  EXPECT_FALSE(out.targetEasting.has_value());
}

TEST_F(PointTransformTest, ProjectedStartWritesItsGeographicCoordinate) {
  // The published Lambert example, on NAD27 / Clarke 1866 at both ends.
  const DatumRecord nad27 = Datum("NAD27", kGeocentricTranslations, -8, 160, 176);
  start = Side(TexasSouthCentral(), nad27, Clarke1866());
  target = Side(NoProjection(), nad27, Clarke1866());
  const PointOutput out = Run({" 903277.799 ", "77650.943", "", "", ""});
  EXPECT_TRUE(recorder.messages().empty());
  // 28.49999999 N (series), 96 W; seconds round to 60.000 and carry.
  EXPECT_EQ(out.startLatitude, "28.3000000");
  EXPECT_EQ(out.startLongitude, "-96.0000000");
  EXPECT_EQ(out.startHeight, "0.0");
  EXPECT_EQ(out.targetLatitude, "28.3000000");
  EXPECT_EQ(out.targetLongitude, "-96.0000000");
  EXPECT_EQ(out.targetHeight, " 0");
  // The projection records got their ellipsoid's axes.
  EXPECT_EQ(+start.projection.semiMajorAxis, 6378206.4);
  EXPECT_EQ(+start.projection.semiMinorAxis, 6356583.8);

  start.unitsAndFormats.angleFormat = kAngleFormatDecimal;
  const PointOutput decimal = Run({"903277.799", "77650.943", "", "", ""});
  EXPECT_EQ(decimal.startLatitude.value().substr(0, 10), "28.4999999");
  EXPECT_EQ(decimal.startLongitude.value().substr(0, 10), "-96.000000");
}

TEST_F(PointTransformTest, DatumShiftThroughWgs84) {
  // EPSG guidance: 53 48 33.820 N, 2 07 46.380 E, 73 m on WGS 84 is
  // 53 48 36.565 N, 2 07 51.477 E, 28.02 m on ED50 (North Sea translations).
  start = Side(NoProjection(), Datum("WGS 84", kGeocentricTranslations, 0, 0, 0), Wgs84Ellipsoid());
  target = Side(NoProjection(), Datum("ED50", kGeocentricTranslations, -84.87, -96.49, -116.95),
                Ellipsoid("International 1924", 6378388.0, 297.0));
  const PointOutput out = Run({"", "", "53.4833820", "2.0746380", "73"});
  EXPECT_TRUE(recorder.messages().empty());
  EXPECT_EQ(out.targetLatitude, "53.4836565");
  EXPECT_EQ(out.targetLongitude, "2.0751477");
  EXPECT_EQ(out.targetHeight, " 28.02");
}

TEST_F(PointTransformTest, FirstFailingCheckWinsAndNothingIsWritten) {
  const PointOutput out = Run({"", "", "", "bad", "bad"});
  ExpectNoResult(out);
  EXPECT_EQ(recorder.texts(), std::vector<std::string>{"Please select a start latitude first."});
}

TEST_F(PointTransformTest, NonFiniteNumbersAndResultsGiveNoResult) {
  const std::string huge = "1" + std::string(400, '0');  // beyond the double range
  EXPECT_NO_FATAL_FAILURE(ExpectNoResult(Run({"", "", "49", "-2", huge})));
  start = Side(BritishNationalGrid(), start.datum, Airy1830());
  EXPECT_NO_FATAL_FAILURE(ExpectNoResult(Run({huge, "5", "", "", ""})));
  EXPECT_NO_FATAL_FAILURE(ExpectNoResult(Run({huge.substr(0, 301), "5", "", "", ""})));
  EXPECT_EQ(recorder.texts(), (std::vector<std::string>{kBadCharacterMessage, kBadCharacterMessage,
                                                        kOutsideProjectionMessage}));
}

TEST_F(PointTransformTest, AnUnusableDatumIsRefusedBeforeAnyComputation) {
  start.datum.methodCode = 96;  // "96O3" as a number
  ExpectNoResult(Run({"", "", "49", "-2", "0"}));
  EXPECT_EQ(recorder.texts(),
            std::vector<std::string>{
                "The start datum OSGB 1936 has shift method code 96, which this program cannot "
                "compute. Choose a datum with a geocentric translation (9603), Helmert (9606, "
                "9607), NTv2 (9615) or NADCON (9613) shift."});
}

}  // namespace
