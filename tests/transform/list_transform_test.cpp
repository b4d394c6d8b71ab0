#include <sys/stat.h>

#include <cmath>
#include <filesystem>

#include <gtest/gtest.h>

#include "list_transform.h"
#include "message_recorder.h"
#include "number_text.h"
#include "point_transform.h"
#include "transform_fixtures.h"

namespace {

constexpr uint32_t kWarning = MB_ICONEXCLAMATION | MB_TASKMODAL;
const char* const kCompleted = "Transformation completed.";

// Geographic OSGB 1936 to the British National Grid on the same datum (no shift).
struct ListTransformTest : testing::Test {
  void SetUp() override {
    SetProgramConstants();
    catalogues = EmptyCatalogues();
    const DatumRecord osgb = Datum("OSGB 1936", kGeocentricTranslations, 375, -111, 431);
    start = Side(NoProjection(), osgb, Airy1830());
    target = Side(BritishNationalGrid(), osgb, Airy1830());
    startProjListFile.clear();
    startSysListFile.clear();
    targetProjListFile.clear();
    targetSysListFile.clear();
    boxes.startSysList = folder.File("in.txt");
    boxes.targetProjList = folder.File("grid.txt");
    boxes.targetSysList = folder.File("geo.txt");
  }
  void Run() { TransformList(start, target, *catalogues, boxes); }
  bool Exists(const std::string& name) { return std::filesystem::exists(folder.File(name)); }

  TempFolder folder;
  std::unique_ptr<Catalogues> catalogues;
  CrsSide start;
  CrsSide target;
  ListBoxes boxes;
  MessageRecorder recorder;
};

TEST_F(ListTransformTest, OutputsByteForByte) {
  // 50 30 N, 0 30 E: 577274.984, 69740.492 by an independent evaluation of the series.
  WriteFile(folder.File("in.txt"),
            "# survey points\r\n"
            "\r\n"
            "50.3000000 0.3000000 0\r\n"
            "   # indented comment\r\n"
            "    \r\n"
            " 50.3;  0.3 ,, 0.25\r\n"
            "50.3\t0.3\t-.5");
  Run();
  EXPECT_EQ(recorder.texts(), std::vector<std::string>{kCompleted});
  EXPECT_EQ(recorder.messages()[0].caption, "Information.");
  EXPECT_EQ(recorder.messages()[0].style, MB_ICONASTERISK | MB_TASKMODAL);
  EXPECT_EQ(ReadFile(folder.File("grid.txt")),
            "# survey points\r\n"
            "\r\n"
            "577274.98\t69740.49\r\n"
            "   # indented comment\r\n"
            "\r\n"
            "577274.98\t69740.49\r\n"
            "577274.98\t69740.49\r\n");
  EXPECT_EQ(ReadFile(folder.File("geo.txt")),
            "# survey points\r\n"
            "\r\n"
            "50.3000000\t0.3000000\t0\r\n"
            "   # indented comment\r\n"
            "\r\n"
            "50.3000000\t0.3000000\t.25\r\n"
            "50.3000000\t0.3000000\t-.5\r\n");
  // Both output names are forgotten after a completed run.
  EXPECT_TRUE(targetProjListFile.empty());
  EXPECT_TRUE(targetSysListFile.empty());
  EXPECT_EQ(startSysListFile, folder.File("in.txt"));
}

TEST_F(ListTransformTest, GridInputInUsFeetToDecimalDegrees) {
  start = Side(BritishNationalGrid(), target.datum, Airy1830());
  target = Side(NoProjection(), start.datum, Airy1830());
  target.unitsAndFormats.angleFormat = kAngleFormatDecimal;
  start.unitsAndFormats.lengthUnit = 607;
  start.unitsAndFormats.lengthFactor = 0.304800609601219;
  boxes.startProjList = folder.File("in.txt");
  // The origin of the grid in US survey feet: 400000 m and -100000 m.
  WriteFile(folder.File("in.txt"), "1312333.3333333333 -328083.33333333333\r\n");
  Run();
  EXPECT_EQ(recorder.texts(), std::vector<std::string>{kCompleted});
  EXPECT_FALSE(Exists("grid.txt"));  // a geographic target writes no grid list
  const std::string geo = ReadFile(folder.File("geo.txt"));
  char* rest = nullptr;
  EXPECT_NEAR(std::strtod(geo.c_str(), &rest), 49, 1e-8);  // series truncation
  EXPECT_EQ(*rest, '\t');
  EXPECT_NEAR(std::strtod(rest + 1, &rest), -2, 1e-8);
  EXPECT_EQ(std::string(rest), "\t0\r\n");
}

struct MessageCase {
  const char* what;
  bool startProjected;
  std::string input;  // lines of the input file
  std::string message;
  int line;                // the line that stops the run
  std::string gridBefore;  // what the grid output holds afterwards
};

TEST_F(ListTransformTest, BadLinesEndTheRunWithTheirMessage) {
  const MessageCase cases[] = {
      {"grid line with three values", true, "400000 -100000\r\n1 2 3\r\n4 5\r\n",
       "Illegal format! Format should be 'Easting' 'Northing'.", 2, "400000\t-100000\r\n"},
      {"bad character after a comment and a blank line", true,
       "# c\r\n\r\n400000 -100000\r\n1 2x\r\n", "Bad character in numeric field.", 4,
       "# c\r\n\r\n400000\t-100000\r\n"},
      {"geographic line with two values", false, "49 -2 0\r\n50 1\r\n",
       "Illegal format! Format should be 'Latitude' 'Longitude' 'Height'.", 2,
       "400000\t-100000\r\n"},
      // A first line that holds no coordinates is told what would have let it pass.
      {"geographic line with letters", false, "12abc 0 0\r\n",
       "Bad character in numeric field. (comment lines start with #)", 1, ""},
      {"header after a comment", true, "# c\r\nE N H\r\n",
       "Illegal format! Format should be 'Easting' 'Northing'. (comment lines start with #)", 2,
       "# c\r\n"},
      {"latitude beyond the pole", false, "95 0 0\r\n",
       "Latitude input error! Latitude > 90 degrees!", 1, ""},
      {"latitude at the pole", false, "-90 0 0\r\n",
       "Program does not work for latitude +/- 90 degrees", 1, ""},
      {"61 minutes", false, "12.6100000 0 0\r\n",
       "Input error! DMS selected - but minutes or seconds > 60!", 1, ""},
      {"a height too large for a number", false,
       "49 -2 0\r\n49 -2 " + std::string(400, '9') + "\r\n", kBadCharacterMessage, 2,
       "400000\t-100000\r\n"},
      {"an easting without a finite result", true,
       "400000 -100000\r\n1" + std::string(300, '0') + " 5\r\n", kOutsideProjectionMessage, 2,
       "400000\t-100000\r\n"},
      {"an easting where the projection means nothing", true,
       "400000 -100000\r\n1000000000000000 0\r\n", kOutsideProjectionMessage, 2,
       "400000\t-100000\r\n"},
      {"a number with a sign after it", true, "400000 -100000\r\n5- 5\r\n", kBadCharacterMessage, 2,
       "400000\t-100000\r\n"},
      {"a DMS angle with two points", false, "1.2.3 0 0\r\n",
       std::string(kBadCharacterMessage) + " (comment lines start with #)", 1, ""},
      {"a longitude beyond 180 degrees", false, "49 -2 0\r\n49 400 0\r\n", kLongitudeRangeMessage,
       2, "400000\t-100000\r\n"},
  };
  for (const MessageCase& c : cases) {
    recorder.Clear();
    targetProjListFile.clear();
    targetSysListFile.clear();
    std::filesystem::remove(folder.File("grid.txt"));
    std::filesystem::remove(folder.File("geo.txt"));
    const DatumRecord osgb = start.datum;
    start = Side(c.startProjected ? BritishNationalGrid() : NoProjection(), osgb, Airy1830());
    boxes.startProjList = boxes.startSysList = folder.File("in.txt");
    boxes.targetSysList.clear();
    WriteFile(folder.File("in.txt"), c.input);
    Run();
    ASSERT_EQ(recorder.texts().size(), 1u) << c.what;
    EXPECT_EQ(recorder.texts()[0],
              c.message + "\nLine " + std::to_string(c.line) + " of " + folder.File("in.txt"))
        << c.what;
    EXPECT_EQ(recorder.messages()[0].caption, "Warning !") << c.what;
    EXPECT_EQ(ReadFile(folder.File("grid.txt")), c.gridBefore) << c.what;
    // The output name stays set after an early end.
    EXPECT_EQ(targetProjListFile, folder.File("grid.txt")) << c.what;
  }
}

TEST_F(ListTransformTest, NamesAndFilesAreCheckedFirst) {
  struct Case {
    const char* what;
    std::function<void()> setUp;
    std::string message;
    bool converted = false;  // the input is converted before the outputs are looked at
  };
  const std::string in = folder.File("in.txt");
  const Case cases[] = {
      {"no geographic input", [&] { boxes.startSysList = "   "; },
       "Please select a start lat/lon file list first."},
      {"no grid input",
       [&] {
         start.projection = BritishNationalGrid();
         boxes.startProjList = "";
       },
       "Please select a start XY file list first."},
      {"missing input", [&] { boxes.startSysList = " " + folder.File("none.txt") + " "; },
       "File " + folder.File("none.txt") + " not found."},
      {"no grid output", [&] { boxes.targetProjList = " "; },
       "Please select a target XY file first.", true},
      {"output is the input", [&] { boxes.targetSysList = in; },
       "File " + in + " is the input file."},
      {"output is the input by another path",
       [&] { boxes.targetProjList = folder.path() + "/./in.txt"; },
       "File " + folder.path() + "/./in.txt is the input file."},
      {"both outputs one file", [&] { boxes.targetSysList = folder.File("grid.txt"); },
       "File " + folder.File("grid.txt") + " is named for both output lists."},
  };
  for (const Case& c : cases) {
    SetUp();
    recorder.Clear();
    WriteFile(in, "49 -2 0\n");
    c.setUp();
    Run();
    EXPECT_EQ(recorder.texts(), std::vector<std::string>{c.message}) << c.what;
    EXPECT_EQ(recorder.messages()[0].style, kWarning) << c.what;
    EXPECT_FALSE(Exists("geo.txt")) << c.what;
    EXPECT_FALSE(Exists("grid.txt")) << c.what;
    EXPECT_EQ(ReadFile(in), c.converted ? "49 -2 0\r\n" : "49 -2 0\n") << c.what;
  }
}

TEST_F(ListTransformTest, UnknownStartMethodIsRefused) {
  start.projection = Projection("Orthographic", 9840, 1, 90, 0, 0, 0);
  boxes.startProjList = folder.File("in.txt");
  WriteFile(folder.File("in.txt"), "1 2\r\n");
  Run();
  ASSERT_EQ(recorder.texts().size(), 1u);
  EXPECT_NE(recorder.texts()[0].find("9840"), std::string::npos);
  EXPECT_FALSE(Exists("grid.txt"));
  EXPECT_FALSE(Exists("geo.txt"));
}

// Records the program cannot compute with are refused before any file is written.
TEST_F(ListTransformTest, UnusableSystemsAreRefused) {
  struct Case {
    const char* what;
    std::function<void()> setUp;
    const char* expected;  // in the message
  };
  const Case cases[] = {
      {"unknown datum method", [&] { target.datum.methodCode = 96; }, "code 96"},
      {"axes that did not read", [&] { start.ellipsoid.semiMinorAxis = 0; }, "no usable axes"},
      {"infinite axis", [&] { target.ellipsoid.semiMajorAxis = INFINITY; }, "no usable axes"},
      {"no WGS 72 shift in the catalogue", [&] { start.datum.toCrsCode = kCrsWgs72; },
       "position 601"},
  };
  for (const Case& c : cases) {
    SetUp();
    recorder.Clear();
    WriteFile(folder.File("in.txt"), "49 -2 0\r\n");
    c.setUp();
    Run();
    ASSERT_EQ(recorder.texts().size(), 1u) << c.what;
    EXPECT_NE(recorder.texts()[0].find(c.expected), std::string::npos) << recorder.texts()[0];
    EXPECT_FALSE(Exists("grid.txt")) << c.what;
    EXPECT_FALSE(Exists("geo.txt")) << c.what;
  }
}

TEST_F(ListTransformTest, CancelKeepsWholeLinesAndTheNames) {
  std::string input;
  for (int i = 0; i < 150000; ++i) input += "49 -2 0\r\n";  // more than one chunk
  WriteFile(folder.File("in.txt"), input);
  ListRunOptions options;
  options.threads = 2;
  int calls = 0;
  options.progress = [&](const ListProgress& progress) {
    EXPECT_GT(progress.lines, 0);
    EXPECT_EQ(progress.bytesTotal, input.size());
    return ++calls < 1;
  };
  TransformList(start, target, *catalogues, boxes, options);
  const std::string grid = ReadFile(folder.File("grid.txt"));
  const size_t lines = grid.size() / std::string("400000\t-100000\r\n").size();
  ASSERT_GT(lines, 0u);
  ASSERT_LT(lines, 150000u);
  std::string expected;
  for (size_t i = 0; i < lines; ++i) expected += "400000\t-100000\r\n";
  EXPECT_EQ(grid, expected);
  EXPECT_EQ(recorder.texts(), std::vector<std::string>{
                                  "Transformation cancelled: the first " + std::to_string(lines) +
                                  " lines of " + folder.File("in.txt") + " are in the output."});
  EXPECT_EQ(targetProjListFile, folder.File("grid.txt"));
  EXPECT_EQ(targetSysListFile, folder.File("geo.txt"));
}

TEST_F(ListTransformTest, OverwriteQuestionFollowsTheStoredNames) {
  const std::string question =
      "File " + folder.File("grid.txt") + " exists. Do you want to overwrite ?";
  boxes.targetSysList.clear();
  WriteFile(folder.File("grid.txt"), "precious\r\n");
  WriteFile(folder.File("in.txt"), "49 -2 0\r\n");

  // No: the file is untouched and the run ends.
  recorder.AnswerNext(IDNO);
  Run();
  EXPECT_EQ(recorder.texts(), std::vector<std::string>{question});
  EXPECT_EQ(recorder.messages()[0].caption, "Please confirm.");
  EXPECT_EQ(recorder.messages()[0].style, MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL);
  EXPECT_EQ(ReadFile(folder.File("grid.txt")), "precious\r\n");

  // Yes, then a run that ends early: the next run replaces the file unasked.
  recorder.Clear();
  recorder.AnswerNext(IDYES);
  WriteFile(folder.File("in.txt"), "49 -2 0\r\n49 -2\r\n");
  Run();
  EXPECT_EQ(recorder.texts().size(), 2u);
  recorder.Clear();
  WriteFile(folder.File("in.txt"), "49 -2 0\r\n");
  Run();
  EXPECT_EQ(recorder.texts(), std::vector<std::string>{kCompleted});
  EXPECT_EQ(ReadFile(folder.File("grid.txt")), "400000\t-100000\r\n");

  // After a completed run the question comes again.
  recorder.Clear();
  recorder.AnswerNext(IDNO);
  Run();
  EXPECT_EQ(recorder.texts(), std::vector<std::string>{question});
}

#ifndef _WIN32  // Windows file names ignore case: Out.txt is OUT.TXT there
TEST_F(ListTransformTest, TypedNamesKeepTheirCase) {
  boxes.targetProjList = folder.File("Out.txt");
  boxes.targetSysList.clear();
  WriteFile(folder.File("OUT.TXT"), "other file\r\n");
  WriteFile(folder.File("in.txt"), "49 -2 0\r\n");
  Run();
  EXPECT_EQ(recorder.texts(), std::vector<std::string>{kCompleted});
  EXPECT_EQ(ReadFile(folder.File("OUT.TXT")), "other file\r\n");
  EXPECT_EQ(ReadFile(folder.File("Out.txt")), "400000\t-100000\r\n");
}
#endif

TEST_F(ListTransformTest, EmptyInputCompletesWithEmptyOutputs) {
  WriteFile(folder.File("in.txt"), "");
  Run();
  EXPECT_EQ(recorder.texts(), std::vector<std::string>{kCompleted});
  EXPECT_EQ(ReadFile(folder.File("grid.txt")), "");
  EXPECT_EQ(ReadFile(folder.File("geo.txt")), "");
}

TEST_F(ListTransformTest, GeographicTargetWithoutOutputWritesNothingAndCompletes) {
  target.projection = NoProjection();
  boxes.targetSysList = "  ";
  WriteFile(folder.File("in.txt"), "49 -2 0\r\n");
  Run();
  EXPECT_EQ(recorder.texts(), std::vector<std::string>{kCompleted});
  EXPECT_FALSE(Exists("grid.txt"));
  EXPECT_FALSE(Exists("geo.txt"));
}

TEST_F(ListTransformTest, UnixInputIsConvertedFirst) {
  WriteFile(folder.File("in.txt"), "# a\n49 -2 0\n");
  Run();
  EXPECT_EQ(recorder.texts(), std::vector<std::string>{kCompleted});
  EXPECT_EQ(ReadFile(folder.File("in.txt")), "# a\r\n49 -2 0\r\n");
  EXPECT_EQ(ReadFile(folder.File("grid.txt")), "# a\r\n400000\t-100000\r\n");
}

TEST_F(ListTransformTest, LambertLinesFailingTheParallelChecksAreSkipped) {
  start = Side(Projection("Lambert", kLambertConic2SP, 1, 35, 10, 500000, 0, 40, 30), start.datum,
               Airy1830());
  target.projection = NoProjection();
  boxes.startProjList = folder.File("in.txt");
  WriteFile(folder.File("in.txt"), "# kept\r\n500000 100000\r\n500000 200000\r\n");
  Run();
  EXPECT_EQ(recorder.texts(), std::vector<std::string>{kCompleted});
  EXPECT_EQ(ReadFile(folder.File("geo.txt")), "# kept\r\n");
}

#ifndef _WIN32  // Windows has no device that is always full
TEST_F(ListTransformTest, AFullDiskEndsTheRunAsAFault) {
  boxes.targetProjList = "/dev/full";
  boxes.targetSysList.clear();
  WriteFile(folder.File("in.txt"), "49 -2 0\r\n");
  Run();
  EXPECT_EQ(recorder.texts(),
            std::vector<std::string>{"DLL/subroutine error 61 in TransformCommand: Disk is full!"});
}
#endif

}  // namespace

namespace {}  // namespace
