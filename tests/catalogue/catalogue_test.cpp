// Reading the three catalogue files.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "catalogue.h"
#include "catalogue_files.h"
#include "message.h"
#include "message_recorder.h"

namespace {

// Fields of the packed records enter the assertions through unary +: the
// assertions bind references to their arguments, and a reference to a
// misaligned field is undefined behaviour.

const char kEllipsoids[] =
    "3\r\n"
    "7030;\"WGS 84\";6378137;6356752.314245\r\n"
    "7022;International 1924;6378388;6356911.946\r\n"
    "7004;Bessel 1841;6377397.155;6356078.963\r\n";
const char kDatums[] =
    "2\r\n"
    "\"DHDN\";\"Germany - west\";4326; bessel 1841  ;9606;598.1;73.7;418.2;9.793e-7;2.182e-7;"
    "-1.19e-5;6.7e-6\r\n"
    "WGS 84;World;4326;WGS 84;9603;0;0;0;0;0;0;0\r\n";
const char kProjections[] =
    "2\r\n"
    "none;WGS 84;0;1;0;0;0;0;0;0\r\n"
    "DHDN / 3-degree Gauss-Kruger zone 3;DHDN;9807;1;0;9;3500000;0;0;0\r\n";

bool IsZero(const void* record, size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(record);
  for (size_t k = 0; k < size; ++k) {
    if (bytes[k] != 0) return false;
  }
  return true;
}

TEST_F(CatalogueFiles, ReadsEveryFieldOfTheThreeFiles) {
  Write("ellips.txt", kEllipsoids);
  Write("datums.txt", kDatums);
  Write("projct.txt", kProjections);
  MessageRecorder recorder;
  EXPECT_EQ(Load(), -1);
  EXPECT_TRUE(recorder.messages().empty());
  const Catalogues& c = catalogues();
  ASSERT_EQ(c.ellipsoidCount, 3);
  ASSERT_EQ(c.datumCount, 2);
  ASSERT_EQ(c.projectionCount, 2);

  const EllipsoidRecord& wgs84 = c.Ellipsoid(1);
  EXPECT_EQ(+wgs84.code, 7030);
  EXPECT_EQ(std::string(wgs84.name, 64), "WGS 84" + std::string(58, ' '));
  EXPECT_EQ(+wgs84.semiMajorAxis, 6378137.0);
  EXPECT_EQ(+wgs84.semiMinorAxis, 6356752.314245);
  EXPECT_EQ(+c.Ellipsoid(3).semiMajorAxis, 6377397.155);

  const DatumRecord& dhdn = c.Datum(1);
  EXPECT_EQ(Trimmed(dhdn.name), "DHDN");
  EXPECT_EQ(std::string(dhdn.areaOfUse, 14), "Germany - west");
  EXPECT_EQ(dhdn.areaOfUse[1023], ' ');
  EXPECT_EQ(+dhdn.toCrsCode, kCrsWgs84);
  EXPECT_EQ(std::string(dhdn.ellipsoidName, 14), " bessel 1841  ");
  EXPECT_EQ(+dhdn.methodCode, kPositionVector);
  EXPECT_EQ(+dhdn.translationX, 598.1);
  EXPECT_EQ(+dhdn.translationY, 73.7);
  EXPECT_EQ(+dhdn.translationZ, 418.2);
  EXPECT_EQ(+dhdn.rotationX, 9.793e-7);
  EXPECT_EQ(+dhdn.rotationY, 2.182e-7);
  EXPECT_EQ(+dhdn.rotationZ, -1.19e-5);
  EXPECT_EQ(+dhdn.scaleDifference, 6.7e-6);
  EXPECT_EQ(+dhdn.ellipsoidIndex, 3);  // case and blanks do not count
  EXPECT_EQ(+c.Datum(2).ellipsoidIndex, 1);

  const ProjectionRecord& gk = c.Projection(2);
  EXPECT_EQ(Trimmed(gk.name), "DHDN / 3-degree Gauss-Kruger zone 3");
  EXPECT_EQ(+gk.methodCode, kTransverseMercator);
  EXPECT_EQ(+gk.scaleFactor, 1.0);
  EXPECT_EQ(+gk.centralMeridian, 9.0);
  EXPECT_EQ(+gk.falseEasting, 3500000.0);
  EXPECT_EQ(+gk.semiMajorAxis, 0.0);  // filled in by the transformation, not the file
  EXPECT_EQ(+gk.datumIndex, 1);
  EXPECT_EQ(+c.Projection(1).datumIndex, 2);
  EXPECT_TRUE(IsZero(&c.Projection(3), sizeof(ProjectionRecord)));
}

TEST_F(CatalogueFiles, TextFieldsFollowTheirRules) {
  const std::string seventy = std::string(60, 'N') + "0123456789";
  Write("ellips.txt",
        "4\r\n"
        "1;\"\"\"Triple\"\"\";6378137;6356752.3\r\n"   // all quotes at either end go
        "2;He said \"hi\"\";6378137;6356752.3\r\n"     // a quote inside stays
        "3;  \"Blanks kept\"  ;6378137;6356752.3\r\n"  // quotes only at the very ends
        "4;" +
            seventy + "; 6378137 ;+6.3567523e6 \r\n");  // cut to 64; blanks around numbers
  Write("datums.txt", "0\r\n");
  Write("projct.txt", "0\r\n");
  MessageRecorder recorder;
  EXPECT_EQ(Load(), -1);
  EXPECT_TRUE(recorder.messages().empty());
  const Catalogues& c = catalogues();
  ASSERT_EQ(c.ellipsoidCount, 4);
  EXPECT_EQ(Trimmed(c.Ellipsoid(1).name), "Triple");
  EXPECT_EQ(Trimmed(c.Ellipsoid(2).name), "He said \"hi");
  EXPECT_EQ(std::string(c.Ellipsoid(3).name, 18), "  \"Blanks kept\"   ");
  EXPECT_EQ(std::string(c.Ellipsoid(4).name, 64), seventy.substr(0, 64));
  EXPECT_EQ(+c.Ellipsoid(4).semiMajorAxis, 6378137.0);
  EXPECT_EQ(+c.Ellipsoid(4).semiMinorAxis, 6356752.3);
  EXPECT_EQ(c.datumCount, 0);
  EXPECT_EQ(c.projectionCount, 0);
}

TEST_F(CatalogueFiles, EveryLineEndStyleReadsAlike) {
  struct Style {
    const char* name;
    const char* end;
  };
  const Style styles[] = {{"CR LF", "\r\n"}, {"LF", "\n"}, {"CR", "\r"}};
  for (const Style& style : styles) {
    const auto lines = [&](std::vector<std::string> list) {
      std::string text;
      for (const std::string& line : list) text += line + style.end;
      return text;
    };
    Write("ellips.txt", lines({"2", "1;A;6378137;6356752.3", "2;B;6377563.396;6356256.9"}));
    Write("datums.txt", lines({"1", "D;area;4326;b;9603;1;2;3;0;0;0;0"}));
    // The last line needs no line end.
    Write("projct.txt", lines({"1"}) + "none;D;0;1;0;0;0;0;0;0");
    MessageRecorder recorder;
    EXPECT_EQ(Load(), -1) << style.name;
    EXPECT_TRUE(recorder.messages().empty()) << style.name;
    EXPECT_EQ(catalogues().ellipsoidCount, 2) << style.name;
    EXPECT_EQ(Trimmed(catalogues().Ellipsoid(2).name), "B") << style.name;
    EXPECT_EQ(+catalogues().Ellipsoid(2).semiMinorAxis, 6356256.9) << style.name;
    EXPECT_EQ(+catalogues().Datum(1).translationZ, 3.0) << style.name;
    EXPECT_EQ(+catalogues().Datum(1).ellipsoidIndex, 2) << style.name;
    EXPECT_EQ(catalogues().projectionCount, 1) << style.name;
  }
}

TEST_F(CatalogueFiles, BlankLinesAfterTheRecordsAndCtrlZEndTheFile) {
  Write("ellips.txt", "  2 \r\n1;A;6378137;6356752.3\r\n2;B;6378137;6356752.3\r\n\r\n  \r\n\r\n");
  // What follows a Ctrl-Z is not read, even in the middle of a line.
  Write("datums.txt", "1\r\nD;x;4326;A;9603;0;0;0;0;0;0;0\x1a;junk\r\nE;y\r\n");
  Write("projct.txt",
        "0\r\n\x1a"
        "5\r\nnone\r\n");
  MessageRecorder recorder;
  EXPECT_EQ(Load(), -1);
  EXPECT_TRUE(recorder.messages().empty());
  EXPECT_EQ(catalogues().ellipsoidCount, 2);
  EXPECT_TRUE(IsZero(&catalogues().Ellipsoid(3), sizeof(EllipsoidRecord)));
  EXPECT_EQ(catalogues().datumCount, 1);
  EXPECT_EQ(+catalogues().Datum(1).scaleDifference, 0.0);
  EXPECT_EQ(catalogues().projectionCount, 0);
}

TEST_F(CatalogueFiles, ACountBeyondTheCapacityLoadsWhatFitsAndWarnsOnce) {
  std::string ellipsoids = "70\r\n";
  for (int k = 1; k <= 70; ++k) {
    ellipsoids += std::to_string(k) + ";E" + std::to_string(k) + ";6378137;6356752.3\r\n";
  }
  Write("ellips.txt", ellipsoids);
  Write("datums.txt", "0\r\n");
  Write("projct.txt", "4200\r\nnone;WGS 84;0;1;0;0;0;0;0;0\r\n");
  MessageRecorder recorder;
  EXPECT_EQ(Load(), 0);
  EXPECT_EQ(catalogues().ellipsoidCount, 64);
  EXPECT_EQ(Trimmed(catalogues().Ellipsoid(64).name), "E64");
  EXPECT_EQ(catalogues().datumCount, 0);
  EXPECT_TRUE(IsZero(&catalogues().Datum(1), sizeof(DatumRecord)));  // nothing spilled over
  ASSERT_EQ(recorder.messages().size(), 3u);
  const RecordedMessage& ellipsoidWarning = recorder.messages()[0];
  EXPECT_EQ(ellipsoidWarning.text,
            "File 'ellips.txt' holds more records than the program can take: only the first 64 "
            "are loaded.");
  EXPECT_EQ(ellipsoidWarning.caption, "Warning !");
  EXPECT_EQ(ellipsoidWarning.style, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
  EXPECT_NE(recorder.messages()[1].text.find("'projct.txt'"), std::string::npos);
  EXPECT_NE(recorder.messages()[1].text.find(" 4096 "), std::string::npos);
  // The count line is refused before the datum name of line 2, which no
  // datum holds.
  EXPECT_EQ(recorder.messages()[2].text,
            "File 'projct.txt', line 1: the record count is 4200, but only 1 record line follows; "
            "the count must be the number of record lines. Program stops");
}

struct MissingCase {
  bool ellipsoids, datums, projections;
  const char* message;
  int32_t ellipsoidCount, datumCount, projectionCount;
};

TEST_F(CatalogueFiles, AMissingFileStopsTheLoadingWithItsMessage) {
  const MissingCase cases[] = {
      {false, true, true, "File 'ellips.txt' not found! Program stops", -1, -1, -1},
      {true, false, true, "File 'datums.txt' not found! Program stops", 1, -1, -1},
      {true, true, false, "File 'projct.txt' not found! Program stops", 1, 1, -1},
      {false, false, false, "File 'ellips.txt' not found! Program stops", -1, -1, -1},
  };
  static std::vector<bool> busy;
  SetBusyCursorHook([](bool b) { busy.push_back(b); });
  for (const MissingCase& c : cases) {
    std::filesystem::remove("ellips.txt");
    std::filesystem::remove("datums.txt");
    std::filesystem::remove("projct.txt");
    if (c.ellipsoids) Write("ellips.txt", "1\r\n1;A;6378137;6356752.3\r\n");
    if (c.datums) Write("datums.txt", "1\r\nD;;4326;A;9603;0;0;0;0;0;0;0\r\n");
    if (c.projections) Write("projct.txt", "1\r\nnone;D;0;1;0;0;0;0;0;0\r\n");
    busy.clear();
    MessageRecorder recorder;
    EXPECT_EQ(Load(), 0) << c.message;
    ASSERT_EQ(recorder.messages().size(), 1u) << c.message;
    EXPECT_EQ(recorder.messages()[0].text, c.message);
    EXPECT_EQ(recorder.messages()[0].caption, "Error !");
    EXPECT_EQ(recorder.messages()[0].style, MB_OK | MB_ICONHAND | MB_TASKMODAL);
    EXPECT_EQ(catalogues().ellipsoidCount, c.ellipsoidCount) << c.message;
    EXPECT_EQ(catalogues().datumCount, c.datumCount) << c.message;
    EXPECT_EQ(catalogues().projectionCount, c.projectionCount) << c.message;
    EXPECT_EQ(busy, (std::vector<bool>{true, false})) << c.message;
  }
  SetBusyCursorHook(nullptr);
}

// A folder where a file should be: its fault alone is reported, no message
// about its (missing) lines, and nothing after it is read.
TEST_F(CatalogueFiles, AFileThatCannotBeReadStopsTheLoading) {
  Write("ellips.txt", "1\r\n1;A;6378137;6356752.3\r\n");
  std::filesystem::create_directory("datums.txt");
  Write("projct.txt", "1\r\nnone;D;0;1;0;0;0;0;0;0\r\n");
  MessageRecorder recorder;
  EXPECT_EQ(Load(), 0);
  // Which fault depends on the system (Linux opens a folder, then cannot read it).
  ASSERT_EQ(recorder.messages().size(), 1u);
  EXPECT_EQ(recorder.messages()[0].text.rfind("DLL/subroutine error ", 0), 0u);
  EXPECT_EQ(recorder.messages()[0].text.find("error 7 "), std::string::npos);  // not out of memory
  EXPECT_NE(recorder.messages()[0].text.find(" in LoadCatalogues: "), std::string::npos);
  EXPECT_EQ(catalogues().datumCount, 0);
  EXPECT_EQ(catalogues().projectionCount, -1);
}

TEST(ListEntries, DatumEntryIsNameDashArea) {
  auto datum = std::make_unique<DatumRecord>();
  SetFixedField(datum->name, "  Pulkovo 1942 ");
  SetFixedField(datum->areaOfUse, " Europe - FSU ");
  EXPECT_EQ(DatumListEntry(*datum), "Pulkovo 1942 - Europe - FSU");
  SetFixedField(datum->areaOfUse, "");
  EXPECT_EQ(DatumListEntry(*datum), "Pulkovo 1942 - ");
  EllipsoidRecord ellipsoid{};
  SetFixedField(ellipsoid.name, " GRS 1980");
  EXPECT_EQ(EllipsoidListEntry(ellipsoid), "GRS 1980");
  ProjectionRecord projection{};
  EXPECT_EQ(ProjectionListEntry(projection), "");  // a zero-filled record has an empty name
}

}  // namespace
