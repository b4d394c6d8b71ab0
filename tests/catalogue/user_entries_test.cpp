// The user's own entries: written whole into their files and read back after
// the shipped records, positions of the shipped ones unmoved.
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "catalogue_files.h"
#include "user_entries.h"
#include "user_entry_files.h"

namespace {

class UserEntryFiles : public CatalogueFiles {
 protected:
  void SetUp() override {
    CatalogueFiles::SetUp();
    Write(kEllipsoidFile, "1\r\n7001;Airy 1830;6377563.396;6356256.909237285\r\n");
    Write(kDatumFile, "1\r\nOSGB 1936;UK;4326;Airy 1830;9603;375;-111;431;0;0;0;0\r\n");
    Write(kProjectionFile, "1\r\nnone;OSGB 1936;0;1;0;0;0;0;0;0\r\n");
    ASSERT_EQ(Load(), -1);
  }
};

TEST_F(UserEntryFiles, WrittenEntriesComeBackBitForBitAfterTheShippedOnes) {
  Catalogues& c = catalogues();
  std::string problem;
  ASSERT_TRUE(LoadUserEntries(c, "own", problem)) << problem;  // no files yet: none
  ASSERT_EQ(c.ellipsoidCount, 1);
  // An ellipsoid, a datum on it and a projection on that datum, with values
  // whose shortest decimals need all 17 digits or an exponent.
  c.ellipsoidCount = 2;
  EllipsoidRecord& e = c.Ellipsoid(2);
  SetFixedField(e.name, "Estate 1850");
  e.semiMajorAxis = 6377000.1 + 0.2;
  e.semiMinorAxis = 6356000.333333333;
  c.datumCount = 2;
  DatumRecord& d = c.Datum(2);
  SetFixedField(d.name, "Estate datum");
  SetFixedField(d.areaOfUse, "The estate");
  SetFixedField(d.ellipsoidName, "Estate 1850");
  d.toCrsCode = kCrsWgs84;
  d.methodCode = kCoordinateFrame;
  d.translationX = 0.1 + 0.2;
  d.rotationZ = 0.842 * 3.141592653589793 / 648000;
  d.scaleDifference = -2.0489e-5;
  c.projectionCount = 2;
  ProjectionRecord& p = c.Projection(2);
  SetFixedField(p.name, "Estate grid");
  SetFixedField(p.datumName, "Estate datum");
  p.methodCode = kTransverseMercator;
  p.scaleFactor = 0.9996012717;
  p.latitudeOfOrigin = 49;
  p.centralMeridian = -2.0 / 3;
  p.falseEasting = 400000;
  p.falseNorthing = -100000;
  ASSERT_TRUE(SaveUserEntries(c, "own", problem)) << problem;
  // Written as the shipped files are: plain decimals, CR LF.
  std::ifstream written("own/my-datums.txt", std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(written)), {});
  EXPECT_EQ(
      text.rfind("1\r\nEstate datum;The estate;4326;Estate 1850;9607;0.30000000000000004;", 0), 0u)
      << text;
  EXPECT_EQ(text.find_first_of("eE", text.find("9607")), std::string::npos) << text;

  auto again = std::make_unique<Catalogues>();
  int32_t ok = 0;
  LoadCatalogues(*again, ok);
  ASSERT_TRUE(LoadUserEntries(*again, "own", problem)) << problem;
  ASSERT_EQ(again->ellipsoidCount, 2);
  ASSERT_EQ(again->datumCount, 2);
  ASSERT_EQ(again->projectionCount, 2);
  EXPECT_EQ(std::memcmp(&again->Ellipsoid(2), &e, sizeof e), 0);
  d.ellipsoidIndex = 2;  // resolved on loading
  p.datumIndex = 2;
  EXPECT_EQ(std::memcmp(&again->Datum(2), &d, sizeof d), 0);
  EXPECT_EQ(std::memcmp(&again->Projection(2), &p, sizeof p), 0);
  EXPECT_FALSE(IsUserDatum(*again, 1));
  EXPECT_TRUE(IsUserDatum(*again, 2));
}

TEST_F(UserEntryFiles, ANameNotFoundLoadsNoneOfTheUsersEntries) {
  std::filesystem::create_directory("own");
  Write("own/my-datums.txt", "1\r\nEstate datum;Estate;4326;Estate 1850;9603;1;2;3;0;0;0;0\r\n");
  std::string problem;
  EXPECT_FALSE(LoadUserEntries(catalogues(), "own", problem));
  EXPECT_EQ(problem,
            "File 'own/my-datums.txt', line 2: the ellipsoid \"Estate 1850\" (field 4) is in "
            "neither ellips.txt nor my-ellips.txt; it must be the name of one of their ellipsoids");
  EXPECT_EQ(catalogues().datumCount, 1);
}

}  // namespace
