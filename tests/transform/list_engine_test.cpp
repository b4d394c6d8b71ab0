// The list engine on many threads writes, byte for byte, what it writes on
// one, and stops where one thread stops.
#include <sstream>

#include <gtest/gtest.h>

#include "list_engine.h"
#include "message_recorder.h"
#include "ostrak32.h"
#include "transform_fixtures.h"

namespace {

struct EngineRun {
  std::string grid;
  std::string geographic;
  ListResult result;
};

EngineRun RunEngine(const CrsSide& start, const CrsSide& target, const Catalogues& catalogues,
                    const std::string& input, int threads, size_t chunkBytes,
                    size_t maxLineBytes = kMaxLineBytes) {
  TempFolder folder;
  WriteFile(folder.File("in.txt"), input);
  ChunkReader reader(chunkBytes, maxLineBytes);
  EXPECT_EQ(reader.Open(folder.File("in.txt")), 0);
  const bool projected = !IsGeographic(target.projection);
  LineWriter grid;
  LineWriter geographic;
  if (projected) {
    EXPECT_EQ(grid.Open(folder.File("grid.txt")), 0);
  }
  EXPECT_EQ(geographic.Open(folder.File("geo.txt")), 0);
  ListEngineOptions options;
  options.threads = threads;
  EngineRun run;
  run.result = RunListEngine(start, target, catalogues, reader, &grid, &geographic, options);
  grid.Close();
  geographic.Close();
  if (projected) run.grid = ReadFile(folder.File("grid.txt"));
  run.geographic = ReadFile(folder.File("geo.txt"));
  return run;
}

// Lines split at CR LF, CR and LF, worked out here on their own.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') {
      lines.back() += text[i];
      continue;
    }
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    lines.emplace_back();
  }
  if (lines.back().empty()) lines.pop_back();
  return lines;
}

std::string Field(const std::string& line, int index) {
  std::stringstream fields(line);
  std::string field;
  for (int i = 0; i <= index; ++i) std::getline(fields, field, '\t');
  return field;
}

std::vector<std::string> Texts(const ListResult& result) {
  std::vector<std::string> texts;
  for (const CapturedMessage& m : result.messages) texts.push_back(m.text);
  return texts;
}

void ExpectSameRuns(const CrsSide& start, const CrsSide& target, const Catalogues& catalogues,
                    const std::string& input) {
  const EngineRun one = RunEngine(start, target, catalogues, input, 1, 1 << 20);
  for (const int threads : {2, 3}) {
    for (const size_t chunk : {size_t{1}, size_t{7}, size_t{64}}) {
      const EngineRun many = RunEngine(start, target, catalogues, input, threads, chunk);
      SCOPED_TRACE(testing::Message() << threads << " threads, chunks of " << chunk);
      EXPECT_EQ(many.grid, one.grid);
      EXPECT_EQ(many.geographic, one.geographic);
      EXPECT_EQ(many.result.end, one.result.end);
      EXPECT_EQ(many.result.stopLine, one.result.stopLine);
      EXPECT_EQ(many.result.linesWritten, one.result.linesWritten);
      EXPECT_EQ(Texts(many.result), Texts(one.result));
    }
  }
}

struct ListEngineTest : testing::Test {
  void SetUp() override { SetProgramConstants(); }
  std::unique_ptr<Catalogues> catalogues = EmptyCatalogues();
  MessageRecorder recorder;  // nothing may reach the window
};

// A start datum whose shift moves the point at 45 N 0 E onto the polar axis:
// there the chain leaves the target longitude as the line before left it.
TEST_F(ListEngineTest, ManyThreadsWriteWhatOneThreadWrites) {
  const long double radians = 45 * static_cast<long double>(RAD_PER_DEGREE);
  double x = 0, y = 0, z = 0;
  const EllipsoidRecord airy = Airy1830();
  CONVERTLATLONTOXYZ(static_cast<double>(radians), 0, 0, &x, &y, &z, &airy);
  const CrsSide start =
      Side(NoProjection(), Datum("Onto the axis", kGeocentricTranslations, -x, 0, 0), airy);
  const CrsSide target =
      Side(NoProjection(), Datum("WGS 84", kGeocentricTranslations, 0, 0, 0), Wgs84Ellipsoid());

  std::string input = "# survey\r\n";
  for (int i = 0; i < 40; ++i) {
    // Packed DMS, the default angle format: minutes below 60.
    input += std::to_string(50 + i % 7) + "." + std::to_string(10 + i) + " " +
             std::to_string(i % 5) + ".25 " + std::to_string(i) + (i % 3 == 0 ? "\n" : "\r\n");
    if (i % 4 == 0) input += "45 0 0\r";
    if (i % 9 == 0) input += "\r\n  \r\n # note\r\n";
  }
  const std::string goodLines = input;
  input += "51 1x 0\r\n52 1 0\r\n";

  const EngineRun one = RunEngine(start, target, *catalogues, input, 1, 1 << 20);
  ASSERT_EQ(one.result.end, ListEnd::kStoppedAtLine);
  const std::vector<std::string> in = Lines(goodLines);
  EXPECT_EQ(one.result.stopLine, static_cast<int64_t>(in.size()) + 1);
  // Each axis point shows the longitude of the coordinate line before it.
  const std::vector<std::string> out = Lines(one.geographic);
  ASSERT_EQ(out.size(), in.size());
  int axisPoints = 0;
  for (size_t i = 1; i < in.size(); ++i) {
    if (in[i] != "45 0 0") continue;
    ++axisPoints;
    EXPECT_EQ(Field(out[i], 1), Field(out[i - 1], 1)) << "line " << i + 1;
  }
  EXPECT_EQ(axisPoints, 10);
  ExpectSameRuns(start, target, *catalogues, input);
}

TEST_F(ListEngineTest, SkippedLambertLinesAndCommentsAlike) {
  ProjectionRecord lambert = TexasSouthCentral();
  lambert.firstStandardParallel = 31;  // wrong order: every coordinate line is skipped
  const DatumRecord nad27 = Datum("NAD27", kGeocentricTranslations, -8, 160, 176);
  const CrsSide start = Side(lambert, nad27, Clarke1866());
  const CrsSide target =
      Side(Utm31(), Datum("WGS 84", kGeocentricTranslations, 0, 0, 0), Wgs84Ellipsoid());
  std::string input;
  for (int i = 0; i < 30; ++i) input += i % 4 == 0 ? "# c\r\n" : (i % 5 == 0 ? "\r\n" : "1 2\r\n");
  input += "1 2 3\r\n";
  ExpectSameRuns(start, target, *catalogues, input);
}

// Under a process limit only some workers start, or none: the run goes on
// with those that did, and writes the same bytes.
TEST_F(ListEngineTest, WorkersThatCannotStartLeaveTheRunToTheOthers) {
  const CrsSide start =
      Side(NoProjection(), Datum("OSGB 1936", kGeocentricTranslations, 375, -111, 431), Airy1830());
  const CrsSide target =
      Side(Utm31(), Datum("WGS 84", kGeocentricTranslations, 0, 0, 0), Wgs84Ellipsoid());
  std::string input;
  for (int i = 0; i < 60; ++i)
    input += "50." + std::to_string(10 + i % 50) + " 1.3 " + std::to_string(i) + "\r\n";
  const EngineRun one = RunEngine(start, target, *catalogues, input, 1, 1 << 20);
  ASSERT_EQ(one.result.end, ListEnd::kCompleted);
  for (const int started : {0, 1}) {
    SetThreadStartLimitForTesting(started);
    const EngineRun limited = RunEngine(start, target, *catalogues, input, 4, 64);
    SetThreadStartLimitForTesting(-1);
    EXPECT_EQ(limited.result.end, ListEnd::kCompleted) << started;
    EXPECT_EQ(limited.grid, one.grid) << started;
    EXPECT_EQ(limited.geographic, one.geographic) << started;
  }
}

// A line longer than the limit stops the run there, the lines before it written.
TEST_F(ListEngineTest, ALineTooLongStopsTheRunAtIt) {
  const CrsSide start =
      Side(NoProjection(), Datum("OSGB 1936", kGeocentricTranslations, 375, -111, 431), Airy1830());
  const CrsSide target = start;
  const std::string good = "49 -2 0\r\n# c\r\n";
  const struct {
    const char* what;
    std::string input;
  } cases[] = {
      {"a long line", good + std::string(300, '1') + "\r\n49 -2 0\r\n"},
      {"a long last line without an end", good + std::string(300, '1')},
      {"no line end at all", std::string(1000, ' ')},
  };
  for (const auto& c : cases) {
    for (const int threads : {1, 3}) {
      SCOPED_TRACE(testing::Message() << c.what << ", " << threads << " threads");
      const EngineRun run = RunEngine(start, target, *catalogues, c.input, threads, 16, 200);
      EXPECT_EQ(run.result.end, ListEnd::kStoppedAtLine);
      const bool atStart = c.input[0] == ' ';
      EXPECT_EQ(run.result.stopLine, atStart ? 1 : 3);
      EXPECT_EQ(Texts(run.result), std::vector<std::string>{kLineTooLongMessage});
      EXPECT_EQ(run.geographic, atStart ? "" : "49.0000000\t-2.0000000\t0\r\n# c\r\n");
    }
  }
}

}  // namespace
