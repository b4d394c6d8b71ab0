#include "epsg_index.h"

#include <unistd.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "catalogue.h"
#include "fixed_text.h"
#include "message_recorder.h"
#include "temp_folder.h"

namespace {

using Kind = EpsgIndexEntry::Kind;

// The shipped index beside the shipped catalogues.
class ShippedIndex : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    catalogues_ = new Catalogues();
    MessageRecorder recorder;
    ASSERT_EQ(::chdir(VARNEL_DATA_DIR), 0);
    int32_t ok = 0;
    LoadCatalogues(*catalogues_, ok);
    ASSERT_EQ(ok, -1);
    ASSERT_TRUE(LoadEpsgIndex(VARNEL_DATA_DIR "/epsg-index.txt", index_, error_)) << error_;
  }
  static void TearDownTestSuite() { delete catalogues_; }

  // The entry of a code; a test failure when the index has none.
  static const EpsgIndexEntry& Code(int32_t code) {
    const EpsgIndexEntry* entry = FindEpsgCode(index_, code);
    EXPECT_NE(entry, nullptr) << "EPSG:" << code;
    static const EpsgIndexEntry none{0, Kind::kProjected, "", ""};
    return entry != nullptr ? *entry : none;
  }

  static inline Catalogues* catalogues_ = nullptr;
  static inline std::vector<EpsgIndexEntry> index_;
  static inline std::string error_;
};

TEST_F(ShippedIndex, ProjectedCodesNameTheirProjectionAndUnit) {
  // EPSG's definitions: the British National Grid in metres (FN -100 000 m);
  // Texas South Central of NAD83 in metres (32140, FE 600 000 m, FN 4 000 000 m)
  // and in US survey feet (2278, FE 1 968 500 ftUS, FN 13 123 333.333 ftUS:
  // the same grid, so its row names the metre entry and keeps its foot unit).
  const struct {
    int32_t code;
    const char* entry;
    const char* unit;
    double falseEasting, falseNorthing;  // metres
  } cases[] = {
      {27700, "OSGB36 / British National Grid", "metre", 400000, -100000},
      {32140, "NAD83 / Texas South Central", "metre", 600000, 4000000},
      {2278, "NAD83 / Texas South Central", "US survey foot", 600000, 4000000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    const EpsgIndexEntry& row = Code(c.code);
    EXPECT_EQ(row.kind, Kind::kProjected);
    EXPECT_EQ(row.entry, c.entry);
    EXPECT_EQ(row.unit, c.unit);
    const int32_t position = CataloguePosition(*catalogues_, row);
    ASSERT_GT(position, 1);
    const ProjectionRecord& projection = catalogues_->Projection(position);
    EXPECT_EQ(TrimmedField(projection.name), c.entry);
    EXPECT_NEAR(projection.falseEasting, c.falseEasting, 1e-3);
    EXPECT_NEAR(projection.falseNorthing, c.falseNorthing, 1e-3);
  }
  EXPECT_EQ(FindEpsgCode(index_, 1), nullptr);
}

TEST_F(ShippedIndex, GeographicAndTransformationCodesNameDatumRecords) {
  // OSGB36 (EPSG:4277) takes the record its British National Grid takes.
  const EpsgIndexEntry& osgb36 = Code(4277);
  EXPECT_EQ(osgb36.kind, Kind::kGeographic);
  EXPECT_EQ(osgb36.unit, "degree");
  const EpsgIndexEntry& grid = Code(27700);
  EXPECT_EQ(CataloguePosition(*catalogues_, osgb36),
            catalogues_->Projection(CataloguePosition(*catalogues_, grid)).datumIndex);

  // EPSG:1314, OSGB36 to WGS 84 (6): position vector, tX 446.448 m,
  // tY -125.157 m, tZ 542.06 m, rZ 0.842", dS -20.489 ppm.
  const EpsgIndexEntry& transformation = Code(1314);
  EXPECT_EQ(transformation.kind, Kind::kTransformation);
  const int32_t position = CataloguePosition(*catalogues_, transformation);
  ASSERT_GT(position, 0);
  const DatumRecord& datum = catalogues_->Datum(position);
  EXPECT_EQ(datum.methodCode, kPositionVector);
  EXPECT_DOUBLE_EQ(datum.translationX, 446.448);
  EXPECT_DOUBLE_EQ(datum.translationY, -125.157);
  EXPECT_DOUBLE_EQ(datum.translationZ, 542.06);
  EXPECT_NEAR(datum.rotationZ, 0.842 * M_PI / 648000, 1e-15);
  EXPECT_NEAR(datum.scaleDifference, -20.489e-6, 1e-15);

  // WGS 84 (EPSG:4326) is the identity record.
  EXPECT_EQ(Code(4326).entry, "WGS 84");
}

TEST_F(ShippedIndex, EveryEntryNamesARecordOfItsCatalogue) {
  ASSERT_GT(index_.size(), 4000u);
  for (const EpsgIndexEntry& row : index_) {
    if (row.kind == Kind::kLeftOut) continue;
    const int32_t position = CataloguePosition(*catalogues_, row);
    // Position 1 of the projections is "none", which no code stands for.
    EXPECT_GE(position, row.kind == Kind::kProjected ? 2 : 1)
        << "EPSG:" << row.code << " " << row.entry;
  }
}

// EPSG:3295's datum, Guam 1963, has no shift to WGS 84 over the Yap Islands;
// EPSG deprecated EPSG:3785 and names 3857 in its place.
TEST_F(ShippedIndex, LeftOutCodesSayWhy) {
  const EpsgIndexEntry& yap = Code(3295);
  EXPECT_EQ(yap.kind, Kind::kLeftOut);
  EXPECT_EQ(CataloguePosition(*catalogues_, yap), 0);
  EXPECT_EQ(LeftOutText(yap),
            "EPSG:3295 Guam 1963 / Yap Islands: no transformation of its datum, Guam 1963, to "
            "WGS 84 covers its area of use");
  EXPECT_EQ(Code(3785).reason, "EPSG has deprecated it in favour of EPSG:3857");
}

TEST_F(ShippedIndex, WordsFindNamesHoldingEveryOne) {
  const std::vector<int32_t> found = ProjectionsHoldingWords(*catalogues_, {"national", "british"});
  ASSERT_FALSE(found.empty());
  bool grid = false;
  for (const int32_t p : found) {
    const std::string name = TrimmedField(catalogues_->Projection(p).name);
    grid |= name == "OSGB36 / British National Grid";
    EXPECT_NE(name.find("British"), std::string::npos) << name;
    EXPECT_NE(name.find("National"), std::string::npos) << name;
  }
  EXPECT_TRUE(grid);
  EXPECT_FALSE(DatumsHoldingWords(*catalogues_, {"osgb36", "great britain"}).empty());
}

TEST(NameHoldsEveryWord, AnyOrderAnyCaseEveryWord) {
  const std::string name = "OSGB36 / British National Grid";
  const struct {
    std::vector<std::string> words;
    bool holds;
  } cases[] = {
      {{"grid", "OSGB"}, true},
      {{"BRITISH NAT"}, true},  // a word may hold a blank
      {{}, true},
      {{"british", "irish grid"}, false},
      {{"national", "britain"}, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NameHoldsEveryWord(name, c.words), c.holds) << testing::PrintToString(c.words);
  }
  // Only a to z fold: Windows-1252 "é" (0xE9) and "É" (0xC9) stay apart.
  EXPECT_FALSE(NameHoldsEveryWord("R\xC9UNION", {"r\xE9union"}));
}

TEST(LoadEpsgIndex, ReadsRowsAndRefusesABrokenFile) {
  TempFolder folder;
  const std::string path = folder.File("epsg-index.txt");
  std::vector<EpsgIndexEntry> entries;
  std::string error;

  // LF line ends, a blank line after the rows.
  WriteFile(path,
            "3\n4277;geographic;OSGB36 (UK);degree\n27700;projected;OSGB36 / BNG;metre\n"
            "27701;left out;Other grid;foot;its method is not computed\n\n");
  ASSERT_TRUE(LoadEpsgIndex(path, entries, error)) << error;
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[1].code, 27700);
  EXPECT_EQ(entries[1].kind, Kind::kProjected);
  EXPECT_EQ(entries[1].entry, "OSGB36 / BNG");
  EXPECT_EQ(entries[1].unit, "metre");
  EXPECT_EQ(entries[1].reason, "");
  EXPECT_EQ(entries[2].kind, Kind::kLeftOut);
  EXPECT_EQ(entries[2].unit, "foot");
  EXPECT_EQ(entries[2].reason, "its method is not computed");

  const struct {
    const char* text;
    const char* fault;
  } broken[] = {
      {"x\r\n", "line 1: the row count"},
      {"2\r\n1;projected;A;metre\r\n", "2 rows counted, 1 found"},
      {"1\r\n1;projected;A\r\n", "line 2: 4 fields expected, found 3"},
      {"1\r\n-1;projected;A;metre\r\n", "line 2: code '-1'"},
      {"1\r\n1;vertical;A;metre\r\n", "line 2: unknown kind 'vertical'"},
      {"1\r\n1;projected;A;metre;why\r\n", "line 2: 4 fields expected, found 5"},
      {"1\r\n1;left out;A;metre\r\n", "line 2: 5 fields expected, found 4"},
      {"1\r\n1;left out;A;metre; \r\n", "line 2: no reason"},
      {"1\r\n1;projected; ;metre\r\n", "line 2: no entry name"},
      {"2\r\n2;projected;A;metre\r\n1;projected;B;metre\r\n", "line 3: code 1 after 2"},
      {"2\r\n1;projected;A;metre\r\n1;projected;B;metre\r\n", "line 3: code 1 after 1"},
      {"1\r\n1;projected;A;metre\r\n2;projected;B;metre\r\n", "line 3: a row beyond the count"},
  };
  for (const auto& b : broken) {
    WriteFile(path, b.text);
    EXPECT_FALSE(LoadEpsgIndex(path, entries, error)) << b.text;
    EXPECT_EQ(error.rfind(path + ": " + b.fault, 0), 0u) << error;
    EXPECT_TRUE(entries.empty());
  }
  EXPECT_FALSE(LoadEpsgIndex(folder.File("missing.txt"), entries, error));
  EXPECT_NE(error.find("missing.txt: cannot be read"), std::string::npos) << error;
}

}  // namespace
