// Catalogue lines the loader refuses, each with the message that names the
// file, the line and what is wrong.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "catalogue.h"
#include "catalogue_files.h"
#include "message.h"
#include "message_recorder.h"
#include "temp_folder.h"

namespace {

// A small set that loads; each case spoils one of its lines.
const std::vector<std::string> kEllipsoids = {
    "2",
    "7001;Airy 1830;6377563.396;6356256.909",
    "7030;WGS 84;6378137;6356752.314245",
};
// OSGB36 to WGS 84 (EPSG 1314): 0.15", 0.247", 0.842" and -20.489 ppm.
const std::vector<std::string> kDatums = {
    "2",
    "OSGB 1936;UK;4326;Airy 1830;9606;446.448;-125.157;542.06;7.272e-7;1.1975e-6;4.0821e-6;"
    "-2.0489e-5",
    "WGS 84;World;4326;WGS 84;9603;0;0;0;0;0;0;0",
};
const std::vector<std::string> kProjections = {
    "2",
    "none;WGS 84;0;1;0;0;0;0;0;0",
    "OSGB 1936 / British National Grid;OSGB 1936;9807;0.9996012717;49;-2;400000;-100000;0;0",
};

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

struct Refused {
  const char* file;
  int line;  // the line replaced by text; 0: text is the whole file
  const char* text;
  const char* message;
};

const Refused kRefused[] = {
    // The count and the record lines.
    {"ellips.txt", 0,
     "3\r\n7001;Airy 1830;6377563.396;6356256.909\r\n7030;WGS 84;6378137;6356752.3\r\n\r\n",
     "File 'ellips.txt', line 1: the record count is 3, but only 2 record lines follow; the count "
     "must be the number of record lines. Program stops"},
    {"ellips.txt", 0,
     "1\r\n7001;Airy 1830;6377563.396;6356256.909\r\n7030;WGS 84;6378137;6356752.3\r\n",
     "File 'ellips.txt', line 3: the record count on line 1 is 1, but more record lines follow "
     "from here; the count must be the number of record lines. Program stops"},
    {"projct.txt", 1, "2 records",
     "File 'projct.txt', line 1: the record count is \"2 records\"; it must be a whole number, 0 "
     "or more. Program stops"},
    {"ellips.txt", 2, "",
     "File 'ellips.txt', line 2: the line is empty, where the count on line 1 calls for a record. "
     "Program stops"},
    {"datums.txt", 2,
     "OSGB 1936;UK; Great Britain;4326;Airy 1830;9606;446.448;-125.157;542.06;0;0;0;0",
     "File 'datums.txt', line 2: the line has 13 fields; a line of datums.txt has 12, separated "
     "by ';' (a ';' inside a text starts a new field). Program stops"},
    // Names that must be found.
    {"datums.txt", 2, "OSGB 1936;UK;4326;Airy 1831;9606;446.448;-125.157;542.06;0;0;0;0",
     "File 'datums.txt', line 2: the ellipsoid \"Airy 1831\" (field 4) is not in ellips.txt; it "
     "must be the name of one of its ellipsoids. Program stops"},
    {"projct.txt", 3, "OSGB 1936 / British National Grid;OSGB 1937;9807;0.9996;49;-2;400000;0;0;0",
     "File 'projct.txt', line 3: the datum \"OSGB 1937\" (field 2) is not in datums.txt; it must "
     "be the name of one of its datums, or a part of it. Program stops"},
    {"projct.txt", 2, "none; ;0;1;0;0;0;0;0;0",
     "File 'projct.txt', line 2: the datum name (field 2) is empty; it must be the name of a datum "
     "of datums.txt, or a part of it. Program stops"},
    // How numbers are written.
    {"datums.txt", 3, "WGS 84;World;4326;WGS 84;9603;nan;0;0;0;0;0;0",
     "File 'datums.txt', line 3: the X translation (field 6) is \"nan\"; it must be a decimal "
     "number such as -87.5 or 6.7e-6. Program stops"},
    {"ellips.txt", 2, "7001;Airy 1830;6377563,396;6356256.909",
     "File 'ellips.txt', line 2: the semi-major axis a (field 3) is \"6377563,396\"; it must be a "
     "decimal number such as -87.5 or 6.7e-6, with a point, not a comma. Program stops"},
    {"projct.txt", 3, "OSGB 1936 / BNG;OSGB 1936;9807;0.9996;49;-2;400000m;-100000;0;0",
     "File 'projct.txt', line 3: the false easting (field 7) is \"400000m\"; it must be a decimal "
     "number such as -87.5 or 6.7e-6. Program stops"},
    {"ellips.txt", 3, "7030;WGS 84;6378137;",
     "File 'ellips.txt', line 3: the semi-minor axis b (field 4) is empty; it must be a decimal "
     "number such as -87.5 or 6.7e-6. Program stops"},
    {"datums.txt", 3, "WGS 84;World;4326;WGS 84;9603.5;0;0;0;0;0;0;0",
     "File 'datums.txt', line 3: the method code (field 5) is \"9603.5\"; it must be a whole "
     "number. Program stops"},
    {"projct.txt", 3, "OSGB 1936 / BNG;OSGB 1936;99999999999999999999;0.9996;49;-2;0;0;0;0",
     "File 'projct.txt', line 3: the method code (field 3) is 99999999999999999999; it must be a "
     "whole number from -2147483648 to 2147483647. Program stops"},
    // Values out of range.
    {"ellips.txt", 3, "7030;WGS 84;6378137;6378137.5",
     "File 'ellips.txt', line 3: the semi-minor axis b (field 4) is 6378137.5; it must be at most "
     "the semi-major axis a, 6378137. Program stops"},
    {"ellips.txt", 3, "7030;WGS 84;6378137;6000000",
     "File 'ellips.txt', line 3: the semi-minor axis b (field 4) is 6000000; it must be above "
     "6200000 metres. Program stops"},
    {"projct.txt", 3, "OSGB 1936 / BNG;OSGB 1936;9807;-0.9996;49;-2;400000;-100000;0;0",
     "File 'projct.txt', line 3: the scale factor (field 4) is -0.9996; it must be above 0 and at "
     "most 2. Program stops"},
    {"projct.txt", 3, "OSGB 1936 / BNG;OSGB 1936;9807;0.9996;1000;-2;400000;-100000;0;0",
     "File 'projct.txt', line 3: the latitude of origin (field 5) is 1000; it must be from -90 to "
     "90 degrees. Program stops"},
    {"projct.txt", 3, "OSGB 1936 / BNG;OSGB 1936;9807;0.9996;49;-182;400000;-100000;0;0",
     "File 'projct.txt', line 3: the central meridian (field 6) is -182; it must be from -180 to "
     "180 degrees. Program stops"},
    {"projct.txt", 3, "OSGB 1936 / BNG;OSGB 1936;9807;0.9996;49;-2;1e400;-100000;0;0",
     "File 'projct.txt', line 3: the false easting (field 7) is 1e400; it must be a number of "
     "metres below 1e308 in size. Program stops"},
    // The last two fields by the method: standard parallels, or an azimuth up to a turn.
    {"projct.txt", 3, "OSGB 1936 / LCC;OSGB 1936;9802;1;49;-2;0;0;44;95",
     "File 'projct.txt', line 3: the second standard parallel (field 10) is 95; it must be from "
     "-90 to 90 degrees. Program stops"},
    {"projct.txt", 3, "OSGB 1936 / RSO;OSGB 1936;9815;0.9996;4;115;0;0;412.5;0",
     "File 'projct.txt', line 3: the azimuth of initial line (field 9) is 412.5; it must be from "
     "-360 to 360 degrees. Program stops"},
    {"datums.txt", 2, "OSGB 1936;UK;4326;Airy 1830;9603;446.448;-125.157;1e300;0;0;0;0",
     "File 'datums.txt', line 2: the Z translation (field 8) is 1e300; it must be from -10000 to "
     "10000 metres. Program stops"},
    {"datums.txt", 2, "OSGB 1936;UK;4326;Airy 1830;9606;446.448;-125.157;542.06;0;0;0.842;0",
     "File 'datums.txt', line 2: the Z rotation (field 11) is 0.842; it must be from -0.001 to "
     "0.001 radians (one second of arc is 4.8481e-6). Program stops"},
    {"datums.txt", 2, "OSGB 1936;UK;4326;Airy 1830;9606;446.448;-125.157;542.06;0;0;0;-20.489",
     "File 'datums.txt', line 2: the scale difference (field 12) is -20.489; it must be from "
     "-0.001 to 0.001, a pure number (1 ppm is 1e-6). Program stops"},
};

TEST_F(CatalogueFiles, ARefusedLineStopsTheLoadingWithFileLineAndReason) {
  for (const Refused& c : kRefused) {
    SCOPED_TRACE(c.message);
    Write("ellips.txt", Joined(kEllipsoids));
    Write("datums.txt", Joined(kDatums));
    Write("projct.txt", Joined(kProjections));
    if (c.line == 0) {
      Write(c.file, c.text);
    } else {
      std::vector<std::string> lines = std::string(c.file) == "ellips.txt"   ? kEllipsoids
                                       : std::string(c.file) == "datums.txt" ? kDatums
                                                                             : kProjections;
      lines[c.line - 1] = c.text;
      Write(c.file, Joined(lines));
    }
    MessageRecorder recorder;
    EXPECT_EQ(Load(), 0);
    EXPECT_EQ(recorder.texts(), std::vector<std::string>{c.message});
  }
}

// The message box of a refused line is the missing file's: the path as the
// loader was given it, and the files after it are not read.
TEST(RefusedLine, ShowsItsMessageAsAMissingFileDoesAndStops) {
  TempFolder folder;
  WriteFile(folder.File("ellips.txt"), Joined(kEllipsoids));
  WriteFile(folder.File("datums.txt"),
            "2\r\n" + kDatums[1] + "\r\n" + kDatums[1] + "\r\n" + kDatums[2] + "\r\n");
  WriteFile(folder.File("projct.txt"), Joined(kProjections));
  auto catalogues = std::make_unique<Catalogues>();
  static std::vector<bool> busy;
  SetBusyCursorHook([](bool b) { busy.push_back(b); });
  MessageRecorder recorder;
  int32_t ok = 12345;
  LoadCatalogues(*catalogues, ok, folder.path());
  SetBusyCursorHook(nullptr);
  EXPECT_EQ(ok, 0);
  ASSERT_EQ(recorder.messages().size(), 1u);
  EXPECT_EQ(recorder.messages()[0].text,
            "File '" + folder.path() +
                "/datums.txt', line 4: the record count on line 1 is 2, but more record lines "
                "follow from here; the count must be the number of record lines. Program stops");
  EXPECT_EQ(recorder.messages()[0].caption, "Error !");
  EXPECT_EQ(recorder.messages()[0].style, MB_OK | MB_ICONHAND | MB_TASKMODAL);
  EXPECT_EQ(catalogues->ellipsoidCount, 2);
  EXPECT_EQ(catalogues->projectionCount, -1);
  EXPECT_EQ(busy, (std::vector<bool>{true, false}));
}

}  // namespace
