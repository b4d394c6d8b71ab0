#include <unistd.h>

#include <cctype>
#include <cmath>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "catalogue.h"
#include "fixed_text.h"
#include "grid_files.h"
#include "message_recorder.h"
#include "method_table.h"

namespace {

// Fields of the packed records enter the assertions through unary +: the
// assertions bind references to their arguments, and a reference to a
// misaligned field is undefined behaviour.

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

class ShippedCatalogues : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    catalogues_ = new Catalogues();
    MessageRecorder recorder;
    ASSERT_EQ(::chdir(VARNEL_DATA_DIR), 0);
    LoadCatalogues(*catalogues_, ok_);
    messages_ = recorder.texts();
  }
  static void TearDownTestSuite() { delete catalogues_; }

  // The projection of that name, or nullptr.
  static const ProjectionRecord* Find(const std::string& name) {
    for (int32_t i = 1; i <= catalogues_->projectionCount; ++i) {
      if (TrimmedField(catalogues_->Projection(i).name) == name) return &catalogues_->Projection(i);
    }
    return nullptr;
  }

  static inline Catalogues* catalogues_ = nullptr;
  static inline int32_t ok_ = 0;
  static inline std::vector<std::string> messages_;
};

TEST_F(ShippedCatalogues, LoadWithoutAMessageWithinCapacity) {
  EXPECT_EQ(ok_, -1);
  EXPECT_TRUE(messages_.empty()) << messages_.front();
  EXPECT_GT(catalogues_->ellipsoidCount, 20);
  EXPECT_LE(catalogues_->ellipsoidCount, kEllipsoidCapacity);
  EXPECT_GE(catalogues_->datumCount, 603);
  EXPECT_LE(catalogues_->datumCount, kDatumCapacity);
  EXPECT_GT(catalogues_->projectionCount, 1000);
  EXPECT_LE(catalogues_->projectionCount, kProjectionCapacity);
  EXPECT_EQ(TrimmedField(catalogues_->Projection(1).name), "none");
}

TEST_F(ShippedCatalogues, FixedDatumPositionsHoldTheWgs72Shifts) {
  // EPSG 1237 and 1240: WGS 72 and WGS 72BE to WGS 84, position vector.
  const double arcSecond = M_PI / 648000;
  const DatumRecord& wgs72 = catalogues_->Datum(kWgs72DatumPosition);
  EXPECT_EQ(TrimmedField(wgs72.name), "WGS 72");
  EXPECT_EQ(+wgs72.toCrsCode, kCrsWgs84);
  EXPECT_EQ(+wgs72.methodCode, kPositionVector);
  EXPECT_DOUBLE_EQ(wgs72.translationZ, 4.5);
  EXPECT_NEAR(wgs72.rotationZ, 0.554 * arcSecond, 1e-15);
  EXPECT_NEAR(wgs72.scaleDifference, 0.2263e-6, 1e-15);
  const DatumRecord& wgs72be = catalogues_->Datum(kWgs72beDatumPosition);
  EXPECT_EQ(TrimmedField(wgs72be.name), "WGS 72BE");
  EXPECT_EQ(+wgs72be.methodCode, kPositionVector);
  EXPECT_DOUBLE_EQ(wgs72be.translationZ, 1.9);
  EXPECT_NEAR(wgs72be.rotationZ, 0.814 * arcSecond, 1e-15);
  EXPECT_NEAR(wgs72be.scaleDifference, -0.38e-6, 1e-15);
}

TEST_F(ShippedCatalogues, EveryDatumFindsItsOwnEllipsoid) {
  for (int32_t i = 1; i <= catalogues_->datumCount; ++i) {
    const DatumRecord& d = catalogues_->Datum(i);
    ASSERT_GE(+d.ellipsoidIndex, 1);
    ASSERT_LE(+d.ellipsoidIndex, catalogues_->ellipsoidCount);
    EXPECT_EQ(Upper(TrimmedField(catalogues_->Ellipsoid(d.ellipsoidIndex).name)),
              Upper(TrimmedField(d.ellipsoidName)))
        << TrimmedField(d.name);
    EXPECT_TRUE(d.methodCode == kGeocentricTranslations || d.methodCode == kPositionVector ||
                d.methodCode == kCoordinateFrame || IsGridShiftMethod(d.methodCode));
    // A grid's own datum's ellipsoid is there too, by the name it is looked up by.
    if (IsGridShiftMethod(d.methodCode)) {
      const auto grid = ReadGridReference(FieldView(d.areaOfUse, kAreaOfUseWidth));
      ASSERT_TRUE(grid) << TrimmedField(d.name);
      bool found = false;
      for (int32_t e = 1; e <= catalogues_->ellipsoidCount; ++e) {
        found = found || TrimmedField(catalogues_->Ellipsoid(e).name) == grid->ellipsoid;
      }
      EXPECT_TRUE(found) << TrimmedField(d.name);
    }
    EXPECT_TRUE(d.toCrsCode == kCrsWgs84 || d.toCrsCode == kCrsWgs72 || d.toCrsCode == kCrsWgs72be);
  }
}

TEST_F(ShippedCatalogues, EveryProjectionFindsTheRecordOfItsOwnDatum) {
  for (int32_t i = 1; i <= catalogues_->projectionCount; ++i) {
    const ProjectionRecord& p = catalogues_->Projection(i);
    ASSERT_GE(+p.datumIndex, 1);
    ASSERT_LE(+p.datumIndex, catalogues_->datumCount);
    // The name it is found by is the full name of the intended record.
    EXPECT_EQ(TrimmedField(catalogues_->Datum(p.datumIndex).name), TrimmedField(p.datumName))
        << TrimmedField(p.name);
    if (i > 1 && p.methodCode != kLongitudeRotation) {
      EXPECT_NE(FindProjectionMethodEntry(p.methodCode), nullptr) << TrimmedField(p.name);
    }
  }
}

TEST_F(ShippedCatalogues, LambertDefinitionsPassTheParallelChecks) {
  int lamberts = 0;
  for (int32_t i = 2; i <= catalogues_->projectionCount; ++i) {
    const ProjectionRecord& p = catalogues_->Projection(i);
    if (p.methodCode != kLambertConic2SP) continue;
    ++lamberts;
    const double base = p.latitudeOfOrigin, first = p.firstStandardParallel,
                 second = p.secondStandardParallel;
    EXPECT_FALSE((first < 0 && second > 0) || (first > 0 && second < 0)) << TrimmedField(p.name);
    EXPECT_FALSE((first > 0 && first > second) || (first < 0 && first < second))
        << TrimmedField(p.name);
    EXPECT_NE(first, second) << TrimmedField(p.name);
    EXPECT_FALSE((base > 0 && first < 0) || (base < 0 && first > 0)) << TrimmedField(p.name);
  }
  EXPECT_GT(lamberts, 100);
}

struct Published {
  const char* name;
  int32_t method;
  double k0, lat0, lon0, fe, fn, first, second;
  const char* datumStart;  // the datum record's name begins so
  const char* ellipsoid;
  double a;
};

TEST_F(ShippedCatalogues, PublishedDefinitions) {
  const double usFoot = 1200.0 / 3937;
  const Published cases[] = {
      {"OSGB36 / British National Grid", kTransverseMercator, 0.9996012717, 49, -2, 400000, -100000,
       0, 0, "OSGB36", "Airy 1830", 6377563.396},
      {"Amersfoort / RD New", kObliqueStereographic, 0.9999079, 52 + 9 / 60.0 + 22.178 / 3600,
       5 + 23 / 60.0 + 15.5 / 3600, 155000, 463000, 0, 0, "Amersfoort", "Bessel 1841", 6377397.155},
      {"RGF93 v1 / Lambert-93", kLambertConic2SP, 1, 46.5, 3, 700000, 6600000, 44, 49, "RGF93",
       "GRS 1980", 6378137},
      {"NAD27 / Texas South Central", kLambertConic2SP, 1, 27 + 50 / 60.0, -99, 2000000 * usFoot, 0,
       28 + 23 / 60.0, 30 + 17 / 60.0, "NAD27", "Clarke 1866", 6378206.4},
      {"ED50 / UTM zone 31N", kTransverseMercator, 0.9996, 0, 3, 500000, 0, 0, 0, "ED50",
       "International 1924", 6378388},
      {"WGS 84 / UTM zone 31N", kTransverseMercator, 0.9996, 0, 3, 500000, 0, 0, 0, "WGS 84",
       "WGS 84", 6378137},
  };
  for (const Published& c : cases) {
    const ProjectionRecord* p = Find(c.name);
    ASSERT_NE(p, nullptr) << c.name;
    EXPECT_EQ(+p->methodCode, c.method) << c.name;
    EXPECT_NEAR(p->scaleFactor, c.k0, 1e-12) << c.name;
    EXPECT_NEAR(p->latitudeOfOrigin, c.lat0, 1e-9) << c.name;
    EXPECT_NEAR(p->centralMeridian, c.lon0, 1e-9) << c.name;
    EXPECT_NEAR(p->falseEasting, c.fe, 1e-6) << c.name;
    EXPECT_NEAR(p->falseNorthing, c.fn, 1e-6) << c.name;
    EXPECT_NEAR(p->firstStandardParallel, c.first, 1e-9) << c.name;
    EXPECT_NEAR(p->secondStandardParallel, c.second, 1e-9) << c.name;
    const DatumRecord& d = catalogues_->Datum(p->datumIndex);
    EXPECT_EQ(TrimmedField(d.name).rfind(c.datumStart, 0), 0u) << TrimmedField(d.name);
    const EllipsoidRecord& e = catalogues_->Ellipsoid(d.ellipsoidIndex);
    EXPECT_EQ(TrimmedField(e.name), c.ellipsoid) << c.name;
    EXPECT_DOUBLE_EQ(e.semiMajorAxis, c.a) << c.name;
  }
}

}  // namespace
