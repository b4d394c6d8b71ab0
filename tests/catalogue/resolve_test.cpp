// How a datum finds its ellipsoid and a projection its datum.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "catalogue.h"
#include "fixed_text.h"

namespace {

// Fields of the packed records enter the assertions through unary +: the
// assertions bind references to their arguments, and a reference to a
// misaligned field is undefined behaviour.

std::unique_ptr<Catalogues> WithNames(const std::vector<std::string>& ellipsoids,
                                      const std::vector<std::string>& datums) {
  auto c = std::make_unique<Catalogues>();
  c->ellipsoidCount = static_cast<int32_t>(ellipsoids.size());
  for (size_t k = 0; k < ellipsoids.size(); ++k)
    SetFixedField(c->ellipsoids[k].name, ellipsoids[k]);
  c->datumCount = static_cast<int32_t>(datums.size());
  for (size_t k = 0; k < datums.size(); ++k) SetFixedField(c->datums[k].name, datums[k]);
  return c;
}

struct Lookup {
  const char* wanted;
  int32_t position;
};

TEST(ResolveDatumEllipsoids, NeedsEqualNamesApartFromCaseAndBlanks) {
  auto c =
      WithNames({"Airy 1830", "Bessel 1841", "Bessel 1841 (Namibia)", "", "Clarke 1880 (RGS)"}, {});
  const Lookup lookups[] = {
      {"Bessel 1841", 2},
      {"  bEsSeL 1841   ", 2},
      {"BESSEL 1841 (NAMIBIA)", 3},
      {"Bessel", 1},  // a part of a name is no match: the first ellipsoid
      {"Bessel 1841x", 1},
      {"", 4},  // an empty name equals the empty name
      {"clarke 1880 (rgs)", 5},
  };
  c->datumCount = 0;
  for (const Lookup& l : lookups) {
    SetFixedField(c->datums[c->datumCount++].ellipsoidName, l.wanted);
  }
  ResolveDatumEllipsoids(*c);
  for (int32_t i = 1; i <= c->datumCount; ++i) {
    EXPECT_EQ(+c->Datum(i).ellipsoidIndex, lookups[i - 1].position) << lookups[i - 1].wanted;
  }
}

TEST(ResolveDatumEllipsoids, AnEmptyEllipsoidCatalogueGivesPositionOne) {
  auto c = WithNames({}, {"A", "B"});
  SetFixedField(c->datums[0].ellipsoidName, "A");
  ResolveDatumEllipsoids(*c);
  EXPECT_EQ(+c->Datum(1).ellipsoidIndex, 1);
  EXPECT_EQ(+c->Datum(2).ellipsoidIndex, 1);
}

TEST(ResolveProjectionDatums, FirstDatumInFileOrderContainingTheName) {
  auto c = WithNames({}, {"", "   ", "Potsdam Datum/83 (Germany)", "Rauenberg Datum/83",
                          "Potsdam Datum/83", "WGS 84", "ETRS89 (Europe)"});
  const Lookup lookups[] = {
      {"Potsdam Datum/83", 3},  // the longer name comes first in the file
      {"potsdam datum/83 (germany)", 3},
      {"  datum/83 ", 3},
      {"rauenberg", 4},
      {"WGS 84", 6},
      {"wgs", 6},
      {"", 3},  // the first datum whose name is not empty
      {"   ", 3},
      {"Tokyo", 1},  // no match: the first datum
      {"ETRS89 (Europe) ", 7},
  };
  int32_t count = 0;
  for (const Lookup& l : lookups) SetFixedField(c->projections[count++].datumName, l.wanted);
  c->projectionCount = count;
  ResolveProjectionDatums(*c);
  for (int32_t i = 1; i <= count; ++i) {
    EXPECT_EQ(+c->Projection(i).datumIndex, lookups[i - 1].position) << lookups[i - 1].wanted;
  }
}

TEST(ResolveProjectionDatums, AnEmptyDatumCatalogueGivesPositionOne) {
  auto c = WithNames({}, {});
  c->projectionCount = 2;
  SetFixedField(c->projections[0].datumName, "WGS 84");
  ResolveProjectionDatums(*c);
  EXPECT_EQ(+c->Projection(1).datumIndex, 1);
  EXPECT_EQ(+c->Projection(2).datumIndex, 1);
}

TEST(FixedText, CutsPadsAndTrims) {
  char field[8];
  SetFixedField(field, "abcdefghij");
  EXPECT_EQ(std::string(field, 8), "abcdefgh");
  SetFixedField(field, " ab");
  EXPECT_EQ(std::string(field, 8), " ab     ");
  EXPECT_EQ(TrimmedField(field), "ab");
  EXPECT_EQ(std::string(TrimTrailingBlanks(FieldView(field, 8))), " ab");
  const char zeroFilled[8] = {};
  EXPECT_EQ(TrimmedField(zeroFilled), "");
  const char endsEarly[8] = {'x', ' ', 'y', '\0', 'z', 'z', 'z', 'z'};
  EXPECT_EQ(TrimmedField(endsEarly), "x y");
}

}  // namespace
