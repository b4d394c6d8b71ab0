// The built varnel program, run as a script would run it, on the shipped
// catalogues.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "catalogue.h"
#include "csv_cells.h"
#include "fixed_text.h"
#include "list_transform.h"
#include "message_recorder.h"
#include "temp_folder.h"

namespace {

const std::string kBng = "OSGB36 / British National Grid";
// The datum entry that the British National Grid entry stands on.
const std::string kOsgb = "OSGB36 (UK - Great Britain onshore and...) [UKOOA-Pet]";

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// The shell command that runs varnel in folder with the arguments, in the
// locale named (LC_ALL) or the one of the test.
std::string VarnelCommand(const TempFolder& folder, const std::vector<std::string>& arguments,
                          const std::string& locale = "") {
  std::string command = "cd " + Quoted(folder.path()) + " && " +
                        (locale.empty() ? "" : "LC_ALL=" + locale + " ") +
                        "VARNEL_DATA=" + Quoted(VARNEL_DATA_DIR) + " " + Quoted(VARNEL_PROGRAM);
  for (const std::string& argument : arguments) command += " " + Quoted(argument);
  return command;
}

// Runs varnel in folder with the arguments, input on standard input and
// standard output into the file "stdout" (or the one named).
Outcome Varnel(const TempFolder& folder, const std::vector<std::string>& arguments,
               const std::string& input = "", const std::string& standardOutput = "stdout",
               const std::string& locale = "") {
  WriteFile(folder.File("stdin"), input);
  const std::string command =
      VarnelCommand(folder, arguments, locale) + " <stdin >" + standardOutput + " 2>stderr";
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(folder.File("stdout")),
          ReadFile(folder.File("stderr"))};
}

// Latitude and longitude of a geographic output line.
std::pair<double, double> LatLon(const std::string& line) {
  char* rest = nullptr;
  const double latitude = std::strtod(line.c_str(), &rest);
  const double longitude = std::strtod(rest, nullptr);
  return {latitude, longitude};
}

TEST(Varnel, PublishedPointBothWays) {
  TempFolder folder;
  // 50 30 N 0 30 E on the Airy ellipsoid: 577274.98 69740.49 (EPSG's worked
  // example of the British National Grid, by an independent evaluation).
  const Outcome grid =
      Varnel(folder, {"transform", "--from", kOsgb, "--to", kBng, "--lf", "--", "50.5", "0.5"});
  EXPECT_EQ(grid.status, 0) << grid.err;
  EXPECT_EQ(grid.out, "577274.98\t69740.49\n");
  const Outcome geographic = Varnel(
      folder, {"transform", "--from", "EPSG:27700", "--to", kOsgb, "--", "577274.98", "69740.49"});
  EXPECT_EQ(geographic.status, 0) << geographic.err;
  ASSERT_EQ(geographic.out.substr(geographic.out.size() - 4), "\t0\r\n");
  const auto [latitude, longitude] = LatLon(geographic.out);
  EXPECT_NEAR(latitude, 50.5, 1e-7);  // a centimetre is 1e-7 degrees
  EXPECT_NEAR(longitude, 0.5, 1.5e-7);
}

// A published point on each of ten systems of the further methods, from its
// geographic CRS, to the centimetre the output gives: IOGP Guidance Note 7-2's
// worked examples (3857, 3035, 5514, 2053) and PROJ 9.1.1's cs2cs (the others).
TEST(Varnel, SystemsOfTheFurtherMethodsGiveTheirPublishedPoints) {
  TempFolder folder;
  const struct {
    const char *from, *to, *latitude, *longitude, *out;
  } cases[] = {
      {"4326", "3857", "24.22544330", "-100.2", "-11169055.58\t2800000\n"},
      {"4258", "3035", "50", "5", "3962799.45\t2999718.85\n"},
      {"4156", "5514", "50.12324420", "16.50591790", "-568991\t-1050538.63\n"},
      {"4148", "2053", "-25.4355302", "28.1657479", "71984.48\t2847342.74\n"},
      {"4150", "2056", "47", "8", "2642617.53\t1205442.81\n"},
      {"4275", "27572", "46.48", "2.18", "597158.17\t2200000.67\n"},
      {"4269", "5070", "40", "-100", "-338390.59\t1894100.14\n"},
      {"4326", "3031", "-75", "120", "1419227.92\t-819391.62\n"},
      {"4326", "3413", "75", "-30", "422879.13\t-1578206.4\n"},
      {"4326", "8857", "-34.3", "-70", "-6139173.9\t-4294320.86\n"},
  };
  for (const auto& c : cases) {
    const Outcome run =
        Varnel(folder, {"transform", "--from", c.from, "--to", c.to, "--from-angles", "dms", "--lf",
                        "--", c.latitude, c.longitude});
    EXPECT_EQ(run.status, 0) << c.to << " " << run.err;
    EXPECT_EQ(run.out, c.out) << c.to;
  }
}

// DHDN / 3-degree Gauss-Kruger zone 3 to ETRS89 / UTM zone 32N goes through
// the BeTA2007 grid. Expected: PROJ 9.1.1, run separately with the same grid:
//   cs2cs -f "%.12f" +proj=tmerc +lat_0=0 +lon_0=9 +k=1 +x_0=3500000 +y_0=0
//         +ellps=bessel +nadgrids=BETA2007.gsb
//         +to +proj=latlong +ellps=GRS80 +towgs84=0,0,0       (and +proj=utm +zone=32)
TEST(Varnel, GaussKrugerToUtmGoesThroughBeta2007AsCs2cs) {
  TempFolder folder;
  WriteFile(folder.File("gk.txt"), "3500000 5500000\n3420000 5300000\n3560000 5900000\n");
  const Outcome run =
      Varnel(folder, {"--grids", "/usr/share/proj", "transform", "--from", "EPSG:31467", "--to",
                      "EPSG:25832", "--lf", "--geographic-output", "geo.txt", "gk.txt", "utm.txt"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadFile(folder.File("utm.txt")),
            "499924.83\t5498239.54\n419956.47\t5298319.17\n559905.15\t5898079.55\n");
  const double expected[][2] = {{49.636708261709, 8.998958968391},
                                {47.833235998820, 7.930402273904},
                                {53.228625701746, 9.897394070936}};
  std::istringstream geographic(ReadFile(folder.File("geo.txt")));
  for (const auto& point : expected) {
    double latitude = 0, longitude = 0, height = 0;
    ASSERT_TRUE(geographic >> latitude >> longitude >> height);
    EXPECT_NEAR(latitude, point[0], 1e-8);  // a millimetre
    EXPECT_NEAR(longitude, point[1], 1e-8);
  }
}

// The README's line for a grid of one's own, added to a copy of the
// catalogues with the count raised, and the grid in the catalogue folder:
// BeTA2007 under another name, so that cs2cs gives the expected point
// (+proj=longlat +ellps=bessel +nadgrids=BETA2007.gsb +to +proj=longlat
// +datum=WGS84).
TEST(Varnel, AGridOfOnesOwnWorksAfterTheReadmesOneLine) {
  TempFolder folder;
  std::istringstream readme(ReadFile(VARNEL_README));
  std::string line, added;
  while (std::getline(readme, line)) {
    if (line.rfind("    My site grid;", 0) == 0) added = line.substr(4);
  }
  ASSERT_FALSE(added.empty()) << "README.md shows no line for a grid of one's own";
  for (const char* name : {"ellips.txt", "projct.txt", "epsg-index.txt"}) {
    WriteFile(folder.File(name), ReadFile(std::string(VARNEL_DATA_DIR) + "/" + name));
  }
  const std::string datums = ReadFile(std::string(VARNEL_DATA_DIR) + "/datums.txt");
  const size_t firstLineEnd = datums.find("\r\n");
  WriteFile(folder.File("datums.txt"),
            std::to_string(std::stoi(datums.substr(0, firstLineEnd)) + 1) +
                datums.substr(firstLineEnd) + added + "\r\n");
  WriteFile(folder.File("MYSITE.gsb"), ReadFile("/usr/share/proj/BETA2007.gsb"));
  const Outcome run =
      Varnel(folder, {"--data", folder.path(), "transform", "--from", "My site grid", "--to",
                      "WGS 84", "--lf", "--", "50.1", "8.5"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto [latitude, longitude] = LatLon(run.out);
  EXPECT_NEAR(latitude, 50.098838797284, 1e-8);
  EXPECT_NEAR(longitude, 8.499025352766, 1e-8);
}

// The user's own entries, in files of their own ($VARNEL_USER_DATA here): a
// site grid with the British National Grid's parameters on the shipped
// OSGB36 datum, and one on a datum of the user's with EPSG's published
// parameters of OSGB36 to WGS 84 (6) (EPSG 1314: 446.448, -125.157, 542.06 m,
// 0.150, 0.247, 0.842", -20.489 ppm, position vector), give the shipped
// entry's results to the last digit.
class UserEntries : public testing::Test {
 protected:
  void SetUp() override { ::setenv("VARNEL_USER_DATA", folder.path().c_str(), 1); }
  void TearDown() override { ::unsetenv("VARNEL_USER_DATA"); }
  TempFolder folder;
};

TEST_F(UserEntries, ASiteGridAndADatumOfOnesOwnComputeAsTheShippedEntries) {
  const double arcSecond = M_PI / 648000;
  char rotations[200];
  std::snprintf(rotations, sizeof rotations, "%.17g;%.17g;%.17g", 0.150 * arcSecond,
                0.247 * arcSecond, 0.842 * arcSecond);
  WriteFile(folder.File("my-datums.txt"),
            "1\r\nMy OSGB36;Great Britain;4326;Airy 1830;9606;446.448;-125.157;542.06;" +
                std::string(rotations) + ";-0.000020489\r\n");
  WriteFile(folder.File("my-projct.txt"),
            "2\r\nMy site grid;" + kOsgb +
                ";9807;0.9996012717;49;-2;400000;-100000;0;0\r\n"
                "My grid on my datum;My OSGB36;9807;0.9996012717;49;-2;400000;-100000;0;0\r\n");
  WriteFile(folder.File("points.txt"), "50.5 0.5 0\n51.4778 -0.0015 0\n57.1 -4.2 10\n52 -1 0\n");
  const Outcome shipped =
      Varnel(folder, {"transform", "--from", "WGS 84", "--to", kBng, "--lf", "points.txt", "-"});
  ASSERT_EQ(shipped.status, 0) << shipped.err;
  for (const char* own : {"My site grid", "My grid on my datum"}) {
    const Outcome run =
        Varnel(folder, {"transform", "--from", "WGS 84", "--to", own, "--lf", "points.txt", "-"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, shipped.out) << own;
  }
  EXPECT_NE(Varnel(folder, {"find", "my", "site"}).out.find("My site grid"), std::string::npos);
  EXPECT_NE(Varnel(folder, {"info", "My grid on my datum"})
                .out.find("Your own entries: the projection, the datum (kept in " + folder.path()),
            std::string::npos);
}

TEST_F(UserEntries, ADamagedFileIsToldAndTheShippedCataloguesServe) {
  WriteFile(folder.File("my-projct.txt"),
            "1\r\nMy site grid;" + kOsgb + ";9807;0.9996012717;95;-2;400000;-100000;0;0\r\n");
  const Outcome run =
      Varnel(folder, {"transform", "--from", kOsgb, "--to", kBng, "--lf", "--", "50.5", "0.5"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "577274.98\t69740.49\n");
  EXPECT_EQ(run.err, "varnel: File '" + folder.File("my-projct.txt") +
                         "', line 2: the latitude of origin (field 5) is 95; it must be from -90 "
                         "to 90 degrees; your own entries are not loaded\n");
}

// What the window's list mode writes for the same systems, formats and input.
TEST(Varnel, ListBytesAreTheWindowListBytes) {
  TempFolder folder;
  std::string input = "# points\r\n\r\n";
  for (int i = 0; i < 500; ++i) {
    input += std::to_string(400000 + 37 * i) + " " + std::to_string(100000 + 53 * i) + "\r\n";
  }
  WriteFile(folder.File("in.txt"), input);
  const Outcome run = Varnel(folder, {"transform", "--from", kBng, "--to", "WGS 84", "--to-angles",
                                      "dms", "in.txt", "out.txt"});
  ASSERT_EQ(run.status, 0) << run.err;

  // The window's sides: the projection, its datum, the datum's ellipsoid.
  auto catalogues = std::make_unique<Catalogues>();
  int32_t ok = 0;
  LoadCatalogues(*catalogues, ok, VARNEL_DATA_DIR);
  auto side = [&](const std::string& projection, const std::string& datum) {
    CrsSide s{};
    for (int32_t p = 1; p <= catalogues->projectionCount; ++p) {
      if (TrimmedField(catalogues->Projection(p).name) == projection)
        s.projection = catalogues->Projection(p);
    }
    for (int32_t d = 1; d <= catalogues->datumCount; ++d) {
      if (TrimmedField(catalogues->Datum(d).name) == datum) s.datum = catalogues->Datum(d);
    }
    s.ellipsoid = catalogues->Ellipsoid(s.datum.ellipsoidIndex);
    s.unitsAndFormats = DefaultUnitsAndFormats();
    return s;
  };
  SetProgramConstants();
  CrsSide start = side(kBng, kOsgb);
  CrsSide target = side("none", "WGS 84");
  ListBoxes boxes;
  boxes.startProjList = folder.File("in.txt");
  boxes.targetSysList = folder.File("window.txt");
  MessageRecorder recorder;
  TransformList(start, target, *catalogues, boxes);
  ASSERT_EQ(recorder.texts(), std::vector<std::string>{"Transformation completed."});
  EXPECT_EQ(ReadFile(folder.File("out.txt")), ReadFile(folder.File("window.txt")));
}

TEST(Varnel, CodesNamesAndTheirMistakes) {
  TempFolder folder;
  // EPSG:2278 is the Texas South Central zone in US survey feet: the false
  // easting 600000 m is 1968500 ftUS.
  const Outcome feet = Varnel(folder, {"transform", "--from", "EPSG:2278", "--to", "EPSG:2278",
                                       "--lf", "--", "1968500", "0"});
  EXPECT_EQ(feet.status, 0) << feet.err;
  EXPECT_EQ(feet.out, "1968500\t0\n");
  const Outcome ambiguous =
      Varnel(folder, {"transform", "--from", "OSGB36", "--to", "WGS 84", "--", "1", "2"});
  EXPECT_EQ(ambiguous.status, 2);
  EXPECT_NE(ambiguous.err.find(kOsgb), std::string::npos) << ambiguous.err;
  const Outcome unknown = Varnel(folder, {"info", "EPSG:1"});
  EXPECT_EQ(unknown.status, 2);
  const Outcome found = Varnel(folder, {"find", "national", "british", "grid"});
  EXPECT_EQ(found.status, 0);
  EXPECT_NE(found.out.find("EPSG:27700\tprojected, Transverse Mercator\tmetre\t" + kBng),
            std::string::npos)
      << found.out;
}

// EPSG:3295's datum, Guam 1963, has no shift to WGS 84 over its area; EPSG
// deprecated 3785 for 3857.
TEST(Varnel, ACodeLeftOutIsToldWhyWhereverASystemIsNamed) {
  TempFolder folder;
  const std::string yap =
      "varnel: EPSG:3295 Guam 1963 / Yap Islands: no transformation of its datum, Guam 1963, to "
      "WGS 84 covers its area of use\n";
  const struct {
    std::vector<std::string> arguments;
    std::string err;
  } cases[] = {
      {{"find", "3295"}, yap},
      {{"info", "EPSG:3295"}, yap},
      {{"info", "3295"}, yap},
      {{"transform", "--from", "4326", "--to", "3295", "--", "1", "2"}, yap},
      {{"find", "EPSG:3785"},
       "varnel: EPSG:3785 Popular Visualisation CRS / Mercator: EPSG has deprecated it in "
       "favour of EPSG:3857\n"},
  };
  for (const auto& c : cases) {
    const Outcome run = Varnel(folder, c.arguments);
    EXPECT_EQ(run.status, 2) << c.arguments[1];
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, c.err);
  }
  // A code beside it that an entry stands for is found all the same.
  const Outcome both = Varnel(folder, {"find", "3295", "27700"});
  EXPECT_EQ(both.status, 0);
  EXPECT_EQ(both.out, "EPSG:27700\tprojected, Transverse Mercator\tmetre\t" + kBng + "\n");
  EXPECT_EQ(both.err, yap);
}

// EPSG:2278, NAD83 / Texas South Central (ftUS): false easting 1968500 ftUS
// = 600000 m, false northing 13123333.333 ftUS = 4000000 m (1 ftUS =
// 1200/3937 m); its metre twin is EPSG:32140. EPSG:1314, OSGB36 to WGS 84
// (6): tX 446.448 m, rX 0.15", rY 0.247", rZ 0.842", dS -20.489 ppm.
TEST(Varnel, InfoTellsValuesWithTheirUnitsAndABareCodeNamesASystem) {
  TempFolder folder;
  const Outcome feet = Varnel(folder, {"info", "2278"}, "", "stdout", "C.UTF-8");
  ASSERT_EQ(feet.status, 0) << feet.err;
  const Outcome datum = Varnel(folder, {"info", "EPSG:1314"});
  ASSERT_EQ(datum.status, 0) << datum.err;
  const struct {
    const Outcome& run;
    std::string label, value;
  } lines[] = {
      {feet, "Easting at false origin", "1968500 US survey foot (600000 m)"},
      {feet, "Northing at false origin", "13123333.3333 US survey foot (4000000 m)"},
      {feet, "Longitude of false origin",
       "-99\xC2\xB0 (99\xC2\xB0"
       "00'00.00000\" W)"},
      {feet, "Latitude of 1st standard parallel",
       "28.3833333333\xC2\xB0 (28\xC2\xB0"
       "23'00.00000\" N)"},
      {feet, "Semi-major axis", "20925604.4742 US survey foot (6378137 m)"},
      {datum, "X-axis translation", "446.448 m"},
      {datum, "X-axis rotation", "0.15 arc-seconds (7.27220521664e-07 rad)"},
      {datum, "Y-axis rotation", "0.247 arc-seconds (1.19748979234e-06 rad)"},
      {datum, "Z-axis rotation", "0.842 arc-seconds (4.08213119494e-06 rad)"},
      {datum, "Scale difference", "-20.489 ppm"},
  };
  for (const auto& line : lines) {
    const size_t at = line.run.out.find("\n" + line.label + ":");
    ASSERT_NE(at, std::string::npos) << line.label;
    const size_t start = line.run.out.find_first_not_of(' ', at + line.label.size() + 2);
    EXPECT_EQ(line.run.out.substr(start, line.run.out.find('\n', start) - start), line.value);
  }
  const std::string codes = feet.out.substr(feet.out.find("EPSG codes:"));
  EXPECT_NE(codes.find("2278 (US survey foot)"), std::string::npos) << feet.out;
  EXPECT_NE(codes.find("32140 (metre)"), std::string::npos) << feet.out;
  EXPECT_NE(datum.out.find("1314 (transformation), 4277 (geographic)"), std::string::npos);

  // A bare code transforms as EPSG:code does.
  const std::vector<std::string> point = {"--lf", "--", "1968500", "13123333.33"};
  std::vector<std::string> bare = {"transform", "--from", "2278", "--to", "4267"};
  std::vector<std::string> prefixed = {"transform", "--from", "EPSG:2278", "--to", "EPSG:4267"};
  bare.insert(bare.end(), point.begin(), point.end());
  prefixed.insert(prefixed.end(), point.begin(), point.end());
  const Outcome byBare = Varnel(folder, bare);
  EXPECT_EQ(byBare.status, 0) << byBare.err;
  EXPECT_EQ(byBare.out, Varnel(folder, prefixed).out);
}

// Catalogue names are Windows-1252 ("\xB0" is the degree sign); a UTF-8
// terminal types and reads them in UTF-8 ("\xC2\xB0").
TEST(Varnel, NamesCrossAUtf8TerminalInItsCharacters) {
  TempFolder folder;
  const std::string name1252 = "Ain el Abd (Kuwait - north of 29.25\xB0N)";
  const std::string nameUtf8 = "Ain el Abd (Kuwait - north of 29.25\xC2\xB0N)";
  const Outcome found =
      Varnel(folder, {"find", "29.25\xC2\xB0N", "north"}, "", "stdout", "C.UTF-8");
  EXPECT_EQ(found.status, 0) << found.err;
  EXPECT_EQ(found.out, "EPSG:1057\tgeographic datum\tdegree\t" + nameUtf8 + "\n");
  const Outcome info = Varnel(folder, {"info", nameUtf8}, "", "stdout", "C.UTF-8");
  EXPECT_EQ(info.status, 0) << info.err;
  EXPECT_EQ(info.out.substr(info.out.find("\nDatum:") + 37, nameUtf8.size() + 1), nameUtf8 + "\n")
      << info.out;
  const Outcome transform =
      Varnel(folder, {"transform", "--from", nameUtf8, "--to", "WGS 84", "--", "29.5", "47.5"}, "",
             "stdout", "C.UTF-8");
  EXPECT_EQ(transform.status, 0) << transform.err;
  // A character that Windows-1252 has not ("\xE2\x86\x92", an arrow) fits no name.
  const Outcome arrow = Varnel(folder, {"info", "29.25\xE2\x86\x92N"}, "", "stdout", "C.UTF-8");
  EXPECT_EQ(arrow.status, 2);
  EXPECT_EQ(arrow.err,
            "varnel: system \"29.25\xE2\x86\x92N\" fits no catalogue entry: no entry's name "
            "holds all of its characters\n");
  // The C locale passes bytes as they are.
  const Outcome bytes = Varnel(folder, {"find", "29.25\xB0N", "north"}, "", "stdout", "C");
  EXPECT_EQ(bytes.out, "EPSG:1057\tgeographic datum\tdegree\t" + name1252 + "\n");
}

TEST(Varnel, BadLinesStopOrAreKeptInPlace) {
  TempFolder folder;
  const std::string input = "400000 -100000\n1 2x\n400000 -100000\n";
  const Outcome stop = Varnel(folder, {"transform", "--from", kBng, "--to", kBng, "--lf"}, input);
  EXPECT_EQ(stop.status, 1);
  EXPECT_EQ(stop.out, "400000\t-100000\n");
  EXPECT_EQ(stop.err, "<stdin>:2: Bad character in numeric field.\n");
  const Outcome going =
      Varnel(folder, {"transform", "--from", kBng, "--to", kBng, "--lf", "--keep-going"}, input);
  EXPECT_EQ(going.status, 1);
  EXPECT_EQ(going.out, "400000\t-100000\n\n400000\t-100000\n");
  EXPECT_EQ(going.err, stop.err);
  // A run that stops before it has written a line leaves its output file as it was.
  WriteFile(folder.File("out.txt"), "earlier\n");
  const Outcome first =
      Varnel(folder, {"transform", "--from", kBng, "--to", kBng, "-", "out.txt"}, "1 2x\n");
  EXPECT_EQ(first.status, 1);
  EXPECT_EQ(ReadFile(folder.File("out.txt")), "earlier\n");
}

TEST(Varnel, ExitStatusesOfUsageAndFiles) {
  TempFolder folder;
  EXPECT_EQ(Varnel(folder, {"transform", "--from", kBng}).status, 2);
  EXPECT_EQ(Varnel(folder, {"transform", "--from", kBng, "--to", kBng, "--bogus"}).status, 2);
  EXPECT_EQ(Varnel(folder, {"transform", "--from", kBng, "--to", kBng, "missing.txt"}).status, 3);
  EXPECT_EQ(Varnel(folder, {"--data", folder.path(), "info", kBng}).status, 3);
  const Outcome noFolder =
      Varnel(folder, {"transform", "--from", kBng, "--to", kBng, "-", "no/such/out.txt"}, "1 2\n");
  EXPECT_EQ(noFolder.status, 3);
  EXPECT_EQ(noFolder.err, "varnel: no/such/out.txt: folder no/such does not exist\n");
  EXPECT_EQ(Varnel(folder, {"--help"}).status, 0);
  // Nothing of a point, or a second output that a geographic target has no use for.
  EXPECT_EQ(Varnel(folder, {"transform", "--from", kBng, "--to", kBng, "--", "", ""}).status, 2);
  EXPECT_EQ(Varnel(folder, {"transform", "--from", kBng, "--to", kBng, "--"}).status, 2);
  EXPECT_EQ(Varnel(folder, {"transform", "--from", kBng, "--to", kOsgb, "--geographic-output",
                            "geo.txt", "--", "1", "2"})
                .status,
            2);
}

// A catalogue line out of range stops varnel as an unreadable file does,
// with the loader's message alone.
TEST(Varnel, ARefusedCatalogueLineIsAFileFault) {
  TempFolder folder;
  WriteFile(folder.File("ellips.txt"), "1\r\n7030;WGS 84;6378137;6356752.314245\r\n");
  WriteFile(folder.File("datums.txt"), "1\r\nWGS 84;World;4326;WGS 84;9603;0;0;0;0;0;0;0\r\n");
  WriteFile(
      folder.File("projct.txt"),
      "2\r\nnone;WGS 84;0;1;0;0;0;0;0;0\r\nBroken;WGS 84;9807;0.9996;1000;3;500000;0;0;0\r\n");
  const Outcome run = Varnel(folder, {"--data", folder.path(), "find", "broken"});
  EXPECT_EQ(run.status, 3);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "varnel: File '" + folder.path() +
                         "/projct.txt', line 3: the latitude of origin (field 5) is 1000; it must "
                         "be from -90 to 90 degrees. Program stops\n");
}

std::vector<std::string> FolderEntries(const TempFolder& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A file both read and written, however it is named, is refused before
// anything is opened for writing.
TEST(Varnel, OneFileAsInputAndOutputIsRefused) {
  TempFolder folder;
  const std::string points = "400000 -100000\n";
  WriteFile(folder.File("pts.txt"), points);
  WriteFile(folder.File("out.txt"), "earlier\n");
  std::filesystem::create_symlink("pts.txt", folder.File("link.txt"));
  const std::vector<std::string> systems = {"transform", "--from", kBng, "--to", "EPSG:32631"};
  const struct {
    std::vector<std::string> files;
    std::string named;  // both names in the message
  } cases[] = {
      {{"pts.txt", "pts.txt"}, "\"pts.txt\" (OUTPUT) and \"pts.txt\" (INPUT)"},
      {{"pts.txt", "./pts.txt"}, "\"./pts.txt\" (OUTPUT) and \"pts.txt\" (INPUT)"},
      {{"pts.txt", "link.txt"}, "\"link.txt\" (OUTPUT) and \"pts.txt\" (INPUT)"},
      {{"-", "stdin"}, "\"stdin\" (OUTPUT) and standard input (INPUT)"},
      {{"--geographic-output", "pts.txt", "pts.txt", "out.txt"},
       "\"pts.txt\" (--geographic-output) and \"pts.txt\" (INPUT)"},
      {{"--geographic-output", "./out.txt", "pts.txt", "out.txt"},
       "\"out.txt\" (OUTPUT) and \"./out.txt\" (--geographic-output)"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments = systems;
    arguments.insert(arguments.end(), c.files.begin(), c.files.end());
    const Outcome run = Varnel(folder, arguments, points);
    EXPECT_EQ(run.status, 2) << c.named;
    EXPECT_EQ(run.err, "varnel: " + c.named + " are the same file\n");
    EXPECT_EQ(ReadFile(folder.File("pts.txt")), points) << c.named;
    EXPECT_EQ(ReadFile(folder.File("stdin")), points) << c.named;
    EXPECT_EQ(ReadFile(folder.File("out.txt")), "earlier\n") << c.named;
  }
}

// Whatever signal ends a run, the output keeps its earlier content and
// nothing is left beside it. The input comes through a pipe that stays open,
// so the run is surely under way, its output partly written, when it ends.
TEST(Varnel, AKilledRunLeavesTheEarlierOutput) {
  std::string lines;
  for (int i = 0; i < 200000; ++i) lines += std::to_string(400000 + i) + " 100000\n";
  for (const int signal : {SIGKILL, SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    TempFolder folder;
    WriteFile(folder.File("out.txt"), "earlier\n");
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::dup2(pipe[0], STDIN_FILENO);
      ::close(pipe[0]);
      ::close(pipe[1]);
      if (::chdir(folder.path().c_str()) != 0) ::_exit(127);
      ::setenv("VARNEL_DATA", VARNEL_DATA_DIR, 1);
      ::execl(VARNEL_PROGRAM, "varnel", "transform", "--from", kBng.c_str(), "--to", "EPSG:32631",
              "-", "out.txt", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(pipe[0]);
    // Every byte taken by the program: megabytes of output are written by now.
    ASSERT_EQ(::write(pipe[1], lines.data(), lines.size()), static_cast<ssize_t>(lines.size()));
    ::kill(child, signal);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ::close(pipe[1]);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), signal);
    EXPECT_EQ(ReadFile(folder.File("out.txt")), "earlier\n");
    EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"out.txt"});
  }
}

// Two runs into one output: each puts a whole file in place, the later wins.
TEST(Varnel, TwoRunsIntoOneOutputLeaveOneWholeFile) {
  TempFolder folder;
  std::string a, b;
  for (int i = 0; i < 100000; ++i) {
    a += std::to_string(400000 + i) + " 100000\n";
    b += std::to_string(300000 + i) + " 200000\n";
  }
  WriteFile(folder.File("a.txt"), a);
  WriteFile(folder.File("b.txt"), b);
  const std::vector<std::string> systems = {"transform", "--from", kBng, "--to", "EPSG:32631"};
  auto with = [&](std::vector<std::string> files) {
    std::vector<std::string> arguments = systems;
    arguments.insert(arguments.end(), files.begin(), files.end());
    return VarnelCommand(folder, arguments);
  };
  ASSERT_EQ(std::system(
                (with({"a.txt", "alone-a.txt"}) + " && " + with({"b.txt", "alone-b.txt"})).c_str()),
            0);
  const std::string both = "(" + with({"a.txt", "out.txt"}) + ") & (" + with({"b.txt", "out.txt"}) +
                           "); wait $! && wait";
  ASSERT_EQ(std::system(("bash -c " + Quoted(both)).c_str()), 0);
  const std::string out = ReadFile(folder.File("out.txt"));
  EXPECT_TRUE(out == ReadFile(folder.File("alone-a.txt")) ||
              out == ReadFile(folder.File("alone-b.txt")));
  EXPECT_EQ(FolderEntries(folder),
            (std::vector<std::string>{"a.txt", "alone-a.txt", "alone-b.txt", "b.txt", "out.txt"}));
}

// Every command checks that what it printed was written.
TEST(Varnel, AFullStandardOutputIsAFileFault) {
  TempFolder folder;
  WriteFile(folder.File("pts.txt"), "400000 -100000\n");
  const std::vector<std::string> commands[] = {
      {"find", "british", "national", "grid"},
      {"info", "EPSG:27700"},
      {"--help"},
      {"--version"},
      {"transform", "--from", kBng, "--to", kOsgb, "--", "400000", "-100000"},
      {"transform", "--from", kBng, "--to", kOsgb, "pts.txt"},
  };
  for (const std::vector<std::string>& command : commands) {
    const Outcome run = Varnel(folder, command, "", "/dev/full");
    EXPECT_EQ(run.status, 3) << command[0];
    EXPECT_EQ(run.err.rfind("varnel: standard output: ", 0), 0u) << run.err;
  }
  const Outcome named =
      Varnel(folder, {"transform", "--from", kBng, "--to", kOsgb, "pts.txt", "/dev/full"});
  EXPECT_EQ(named.status, 3);
  EXPECT_EQ(named.err, "varnel: /dev/full: Disk is full!\n");
}

// A cell of an expected output row: a text passed on as it was, or a number
// within a tolerance.
struct Near {
  double value;
  double tolerance;
};
using ExpectedCell = std::variant<std::string, Near>;

// The output rows, split at line ends and commas as written.
void ExpectRows(const std::string& out, const std::string& lineEnd,
                const std::vector<std::vector<ExpectedCell>>& rows) {
  std::vector<std::string> lines;
  for (size_t at = 0, end; (end = out.find(lineEnd, at)) != std::string::npos;
       at = end + lineEnd.size()) {
    lines.push_back(out.substr(at, end - at));
  }
  ASSERT_EQ(lines.size(), rows.size()) << out;
  for (size_t r = 0; r < rows.size(); ++r) {
    std::vector<std::string_view> cells;
    ASSERT_EQ(SplitCsvRow(lines[r], ',', cells), CsvRowError::kNone) << lines[r];
    ASSERT_EQ(cells.size(), rows[r].size()) << lines[r];
    for (size_t c = 0; c < cells.size(); ++c) {
      if (const auto* text = std::get_if<std::string>(&rows[r][c])) {
        EXPECT_EQ(cells[c], *text) << lines[r];
      } else {
        const Near near = std::get<Near>(rows[r][c]);
        EXPECT_NEAR(std::stod(std::string(cells[c])), near.value, near.tolerance) << lines[r];
      }
    }
  }
}

// Expected values by PROJ 9.1.1 (cct) on the catalogue's parameters: the
// British National Grid's Transverse Mercator, OSGB36's position vector
// shift (446.448 -125.157 542.06 m, 0.150 0.247 0.842", -20.489 ppm) and
// UTM zone 31N on WGS 84. A centimetre is 1e-7 degrees.
const std::string kSurvey =
    "id,note,easting,northing,h\r\n"
    "P1,\"a, b\",577274.98,69740.49,10\r\n"
    "P2,\"say \"\"x\"\"\",400000,-100000,0\r\n";

TEST(Varnel, CsvRowsGetResultsInTheirCoordinateCellsAlone) {
  TempFolder folder;
  WriteFile(folder.File("in.csv"), kSurvey);
  const Outcome geographic =
      Varnel(folder, {"transform", "--from", kBng, "--to", "WGS 84", "--csv", "--lf", "in.csv"});
  ASSERT_EQ(geographic.status, 0) << geographic.err;
  ExpectRows(
      geographic.out, "\n",
      {{"id", "note", "easting", "northing", "h"},
       {"P1", "\"a, b\"", Near{0.4983640014, 1e-7}, Near{50.5006365796, 1e-7}, Near{53.9969, 0.01}},
       {"P2", "\"say \"\"x\"\"\"", Near{-2.0013074689, 1e-7}, Near{49.0007707829, 1e-7},
        Near{45.1089, 0.01}}});
  // Columns by number and by name (any case); CR LF unless --lf.
  const Outcome grid = Varnel(folder, {"transform", "--from", kBng, "--to", "EPSG:32631", "--csv",
                                       "--x", "3", "--y", "NORTHING", "in.csv"});
  ASSERT_EQ(grid.status, 0) << grid.err;
  ExpectRows(
      grid.out, "\r\n",
      {{"id", "note", "easting", "northing", "h"},
       {"P1", "\"a, b\"", Near{322594.4140, 0.01}, Near{5597285.5110, 0.01}, Near{53.9969, 0.01}},
       {"P2", "\"say \"\"x\"\"\"", Near{134262.0393, 0.01}, Near{5439602.9764, 0.01},
        Near{45.1089, 0.01}}});
  // A geographic start: the latitude column is y, whichever comes first;
  // semicolons found from the header; no height column, none written.
  const Outcome start =
      Varnel(folder, {"transform", "--from", "WGS 84", "--to", kBng, "--csv", "--lf"},
             "name;lat;lon\r\nA;50.5;0.5\r\n");
  ASSERT_EQ(start.status, 0) << start.err;
  EXPECT_EQ(start.out.substr(0, 17), "name;lat;lon\nA;69");
  EXPECT_NEAR(std::stod(start.out.substr(15)), 69673.6227, 0.01) << start.out;
  EXPECT_NEAR(std::stod(start.out.substr(start.out.rfind(';') + 1)), 577393.3728, 0.01);
}

TEST(Varnel, CsvBadRowsAndColumns) {
  TempFolder folder;
  WriteFile(folder.File("in.csv"),
            kSurvey + "P3,\"x\",abc,5,1\r\nP4,short\r\n" + "P5,,400000,-100000,0\r\n");
  const std::vector<std::string> run = {"transform", "--from", kBng,   "--to",
                                        kBng,        "--csv",  "--lf", "in.csv"};
  std::vector<std::string> going = run;
  going.push_back("--keep-going");
  const Outcome kept = Varnel(folder, going);
  EXPECT_EQ(kept.status, 1);
  EXPECT_EQ(kept.out.substr(kept.out.find("P3")), "P3,\"x\",,,\nP4,short\nP5,,400000,-100000,0\n");
  EXPECT_EQ(kept.err,
            "in.csv:4: Bad character in numeric field.\n"
            "in.csv:5: The row has 2 cells; its coordinates are in cells 3, 4 and 5.\n");
  const Outcome stopped = Varnel(folder, run);
  EXPECT_EQ(stopped.status, 1);
  EXPECT_EQ(stopped.out.find("P3"), std::string::npos);
  EXPECT_EQ(stopped.err, "in.csv:4: Bad character in numeric field.\n");

  std::vector<std::string> unknown = run;
  unknown.insert(unknown.end(), {"--x", "east"});
  const Outcome named = Varnel(folder, unknown);
  EXPECT_EQ(named.status, 2);
  EXPECT_EQ(named.err,
            "varnel: --x \"east\" is no column of the header row (id, note, easting, northing, "
            "h)\n");
  // Without --csv the header is a list line that says what would read it.
  const Outcome list = Varnel(folder, {"transform", "--from", kBng, "--to", kBng, "in.csv"});
  EXPECT_EQ(list.status, 1);
  EXPECT_EQ(list.err,
            "in.csv:1: Illegal format! Format should be 'Easting' 'Northing'. (comment lines "
            "start with #; --csv for delimited files with a header)\n");
}

}  // namespace
