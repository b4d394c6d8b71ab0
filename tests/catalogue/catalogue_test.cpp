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
    "\"DHDN\";\"Germany - west\";4326; bessel 1841  ;9606;598.1;73.7;418.2;0.202;0.045;-2.455;"
    "6.7e-6\r\n"
    "WGS 84;World;4326;WGS 84;9603;0;0;0;0;0;0;0\r\n";
const char kProjections[] =
    "2\r\n"
    "none;WGS 84;0;0;0;0;0;0;0;0\r\n"
    "DHDN / 3-degree Gauss-Kruger zone 3;DHDN;9807;1;0;9;3500000;0;0;0\r\n";

const std::string kPastEndFault =
    "DLL/subroutine error 62 in LoadCatalogues: Reading past end of file or from file opened in "
    "OUPUT/APPEND mode!";

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
  EXPECT_EQ(+dhdn.rotationX, 0.202);
  EXPECT_EQ(+dhdn.rotationY, 0.045);
  EXPECT_EQ(+dhdn.rotationZ, -2.455);
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

TEST_F(CatalogueFiles, TextAndNumberFieldsFollowTheirRules) {
  const std::string seventy = std::string(60, 'N') + "0123456789";
  Write("ellips.txt",
        "6\r\n"
        "1;\"\"\"Triple\"\"\";1;1\r\n"   // all quotes at either end go
        "2;He said \"hi\"\";2;2\r\n"     // a quote inside stays
        "3;  \"Blanks kept\"  ;3;3\r\n"  // quotes only at the very ends
        "4;" +
            seventy +
            ";\"6378137\";4\r\n"  // cut to 64; a quoted number is 0
            "2.5;short\r\n"       // integers halve to even; missing fields
            "\r\n");              // a blank line is an empty record
  Write("datums.txt",
        "4\r\n"
        "A;;3.5;;-2.5\r\n"
        "B;area;4326.49;;9606.5\r\n"
        "C;;1e400\r\n"
        "D;;;;;;;;;;;;;extra;fields\r\n");
  Write("projct.txt", "0\r\n");
  MessageRecorder recorder;
  EXPECT_EQ(Load(), -1);
  EXPECT_TRUE(recorder.messages().empty());
  const Catalogues& c = catalogues();
  ASSERT_EQ(c.ellipsoidCount, 6);
  EXPECT_EQ(Trimmed(c.Ellipsoid(1).name), "Triple");
  EXPECT_EQ(Trimmed(c.Ellipsoid(2).name), "He said \"hi");
  EXPECT_EQ(std::string(c.Ellipsoid(3).name, 18), "  \"Blanks kept\"   ");
  EXPECT_EQ(std::string(c.Ellipsoid(4).name, 64), seventy.substr(0, 64));
  EXPECT_EQ(+c.Ellipsoid(4).semiMajorAxis, 0.0);
  EXPECT_EQ(+c.Ellipsoid(4).semiMinorAxis, 4.0);
  EXPECT_EQ(+c.Ellipsoid(5).code, 2);
  EXPECT_EQ(Trimmed(c.Ellipsoid(5).name), "short");
  EXPECT_EQ(+c.Ellipsoid(5).semiMajorAxis, 0.0);
  EXPECT_EQ(+c.Ellipsoid(6).code, 0);
  EXPECT_EQ(std::string(c.Ellipsoid(6).name, 64), std::string(64, ' '));

  ASSERT_EQ(c.datumCount, 4);
  EXPECT_EQ(+c.Datum(1).toCrsCode, 4);
  EXPECT_EQ(+c.Datum(1).methodCode, -2);
  EXPECT_EQ(+c.Datum(2).toCrsCode, kCrsWgs84);
  EXPECT_EQ(+c.Datum(2).methodCode, kPositionVector);
  EXPECT_EQ(+c.Datum(3).toCrsCode, 2147483647);  // out of range: held at the limit
  EXPECT_EQ(+c.Datum(3).scaleDifference, 0.0);
  EXPECT_EQ(+c.Datum(4).scaleDifference, 0.0);
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
    Write("ellips.txt", lines({"2", "1;A;1;1", "2;B;2;2"}));
    Write("datums.txt", lines({"1", "D;area;4326;b;9603;1;2;3;0;0;0;0"}));
    Write("projct.txt", lines({"1", "none;D;0;0;0;0;0;0;0;0"}));
    MessageRecorder recorder;
    EXPECT_EQ(Load(), -1) << style.name;
    EXPECT_TRUE(recorder.messages().empty()) << style.name;
    EXPECT_EQ(catalogues().ellipsoidCount, 2) << style.name;
    EXPECT_EQ(Trimmed(catalogues().Ellipsoid(2).name), "B") << style.name;
    EXPECT_EQ(+catalogues().Ellipsoid(2).semiMinorAxis, 2.0) << style.name;
    EXPECT_EQ(+catalogues().Datum(1).translationZ, 3.0) << style.name;
    EXPECT_EQ(+catalogues().Datum(1).ellipsoidIndex, 2) << style.name;
    EXPECT_EQ(catalogues().projectionCount, 1) << style.name;
  }
}

TEST_F(CatalogueFiles, LinesAfterTheCountAreNotRead) {
  Write("ellips.txt", "  3\r\n1;A\r\n2;B\r\n3;C\r\n4;D\r\n5;E");
  Write("datums.txt", "0\r\n");
  Write("projct.txt", "-4\r\nnone\r\n");
  MessageRecorder recorder;
  EXPECT_EQ(Load(), -1);
  EXPECT_TRUE(recorder.messages().empty());
  EXPECT_EQ(catalogues().ellipsoidCount, 3);
  EXPECT_EQ(Trimmed(catalogues().Ellipsoid(3).name), "C");
  EXPECT_TRUE(IsZero(&catalogues().Ellipsoid(4), sizeof(EllipsoidRecord)));
  EXPECT_EQ(catalogues().datumCount, 0);
  EXPECT_EQ(catalogues().projectionCount, 0);  // a negative count is an empty catalogue
}

TEST_F(CatalogueFiles, ACountBeyondTheLinesLoadsWhatIsThereAndReportsOnce) {
  Write("ellips.txt", "4\r\n1;A\r\n2;B");  // the last line needs no line end
  Write("datums.txt", "2\r\nD;x\r\n");
  Write("projct.txt", "1\r\nnone\r\n");
  MessageRecorder recorder;
  EXPECT_EQ(Load(), -1);  // the program starts with what was read
  EXPECT_EQ(catalogues().ellipsoidCount, 4);
  EXPECT_EQ(Trimmed(catalogues().Ellipsoid(2).name), "B");
  EXPECT_TRUE(IsZero(&catalogues().Ellipsoid(3), sizeof(EllipsoidRecord)));
  EXPECT_TRUE(IsZero(&catalogues().Ellipsoid(4), sizeof(EllipsoidRecord)));
  EXPECT_EQ(catalogues().datumCount, 2);
  EXPECT_EQ(catalogues().projectionCount, 1);  // the later files are read all the same
  ASSERT_EQ(recorder.messages().size(), 1u);
  EXPECT_EQ(recorder.messages()[0].text, kPastEndFault);
  EXPECT_EQ(recorder.messages()[0].caption, "<default>");
  EXPECT_EQ(recorder.messages()[0].style, MB_OK);
}

TEST_F(CatalogueFiles, CtrlZEndsTheFile) {
  Write("ellips.txt", "3\r\n1;A;1\r\n2;B;2\x1a;junk\r\n3;C;3\r\n");
  Write("datums.txt", "1\r\nD\x1a\r\n");
  Write("projct.txt",
        "\x1a"
        "1\r\nnone\r\n");
  MessageRecorder recorder;
  EXPECT_EQ(Load(), -1);
  EXPECT_EQ(catalogues().ellipsoidCount, 3);
  EXPECT_EQ(+catalogues().Ellipsoid(2).semiMajorAxis, 2.0);
  EXPECT_EQ(+catalogues().Ellipsoid(2).semiMinorAxis, 0.0);
  EXPECT_TRUE(IsZero(&catalogues().Ellipsoid(3), sizeof(EllipsoidRecord)));
  EXPECT_EQ(Trimmed(catalogues().Datum(1).name), "D");
  EXPECT_EQ(catalogues().projectionCount, 0);  // no count line at all
  ASSERT_EQ(recorder.messages().size(), 1u);   // one report for both faults
  EXPECT_EQ(recorder.messages()[0].text, kPastEndFault);
}

TEST_F(CatalogueFiles, ACountBeyondTheCapacityLoadsWhatFitsAndWarnsOnce) {
  std::string ellipsoids = "70\r\n";
  for (int k = 1; k <= 70; ++k) ellipsoids += std::to_string(k) + ";E" + std::to_string(k) + "\r\n";
  Write("ellips.txt", ellipsoids);
  Write("datums.txt", "0\r\n");
  Write("projct.txt", "1e9\r\nnone\r\n");
  MessageRecorder recorder;
  EXPECT_EQ(Load(), -1);
  EXPECT_EQ(catalogues().ellipsoidCount, 64);
  EXPECT_EQ(Trimmed(catalogues().Ellipsoid(64).name), "E64");
  EXPECT_EQ(catalogues().datumCount, 0);
  EXPECT_TRUE(IsZero(&catalogues().Datum(1), sizeof(DatumRecord)));  // nothing spilled over
  EXPECT_EQ(catalogues().projectionCount, 3072);
  ASSERT_EQ(recorder.messages().size(), 3u);
  const RecordedMessage& ellipsoidWarning = recorder.messages()[0];
  EXPECT_EQ(ellipsoidWarning.text,
            "File 'ellips.txt' holds more records than the program can take: only the first 64 "
            "are loaded.");
  EXPECT_EQ(ellipsoidWarning.caption, "Warning !");
  EXPECT_EQ(ellipsoidWarning.style, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
  EXPECT_NE(recorder.messages()[1].text.find("'projct.txt'"), std::string::npos);
  EXPECT_NE(recorder.messages()[1].text.find(" 3072 "), std::string::npos);
  EXPECT_EQ(recorder.messages()[2].text, kPastEndFault);  // 3072 lines were promised
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
    if (c.ellipsoids) Write("ellips.txt", "1\r\n1;A;1;1\r\n");
    if (c.datums) Write("datums.txt", "1\r\nD;;4326;A;9603\r\n");
    if (c.projections) Write("projct.txt", "1\r\nnone;D\r\n");
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
