// The library's results over every entry of the shipped catalogues, compared to
// the last bit with the results stored in shipped_results.txt. The stored
// results were written by this test from the library before its elementary
// functions were made faster; a faster Sin, Cos, Atan or Sqrt must not change
// a single stored bit.
//
// Each projection: the forward and the inverse (LATLONTOGRID, GRIDTOLATLON) of
// the point half a degree north (south, from the north pole) and east of its
// origin. Each datum: a point (spread over the globe by
// the datum's position) to geocentric, shifted to WGS 84 and back, and
// converted back to geodetic on WGS 84 and on the datum's own ellipsoid.
//
// VARNEL_WRITE_SHIPPED_RESULTS=<file> writes the results to <file> instead,
// for a deliberate change of results or new catalogue files.
#include <unistd.h>

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "catalogue.h"
#include "fixed_text.h"
#include "floating_point_mode.h"
#include "grid_files.h"
#include "message_recorder.h"
#include "ostrak32.h"

namespace {

struct Entry {
  std::string key;  // "P 12" for projection 12, "D 7" for datum 7
  std::vector<double> values;
  uint64_t allowedUlps = 0;  // from the stored results, in units of the double
};

// Results of the methods other than Transverse Mercator go through the C
// library's expl, logl or powl, and MinGW's are not glibc's (each within two units in the last
// place of the extended result): on Windows they may end one unit of the double from the results
// stored on Linux. Every other result is the same to the last bit.
#ifdef _WIN32
constexpr uint64_t kExponentialUlps = 1;
#else
constexpr uint64_t kExponentialUlps = 0;
#endif

Entry ProjectionEntry(const Catalogues& catalogues, int32_t position) {
  ProjectionRecord p = catalogues.Projection(position);
  const EllipsoidRecord& e = catalogues.Ellipsoid(catalogues.Datum(p.datumIndex).ellipsoidIndex);
  p.semiMajorAxis = e.semiMajorAxis;
  p.semiMinorAxis = e.semiMinorAxis;
  // Half a degree south of an origin at the north pole.
  const double latitude = p.latitudeOfOrigin + (p.latitudeOfOrigin > 89.5 ? -0.5 : 0.5);
  const double longitude = p.centralMeridian + 0.5;
  double easting = 0, northing = 0, latitudeBack = 0, longitudeBack = 0;
  LATLONTOGRID(&p, latitude, longitude, &easting, &northing, p.centralMeridian);
  SetComputingFloatingPointMode();
  GRIDTOLATLON(&p, easting, northing, &latitudeBack, &longitudeBack, p.centralMeridian);
  SetComputingFloatingPointMode();
  // Transverse Mercator alone computes without the exponential.
  const bool exponential = p.methodCode != kTransverseMercator;
  return {"P " + std::to_string(position),
          {easting, northing, latitudeBack, longitudeBack},
          exponential ? kExponentialUlps : 0};
}

Entry DatumEntry(const Catalogues& catalogues, int32_t position) {
  // A grid record's numbers are its onward shift, position vector convention.
  DatumRecord d = catalogues.Datum(position);
  if (IsGridShiftMethod(d.methodCode)) d.methodCode = kPositionVector;
  const EllipsoidRecord& own = catalogues.Ellipsoid(d.ellipsoidIndex);
  EllipsoidRecord wgs84{};
  wgs84.semiMajorAxis = 6378137;
  wgs84.semiMinorAxis = 6356752.314245179;
  const double radPerDegree = 3.14159265358979 / 180;
  const double latitude = ((position * 37) % 170 - 85 + 0.123) * radPerDegree;
  const double longitude = ((position * 71) % 360 - 180 + 0.456) * radPerDegree;
  const double height = 100 + position;
  double x, y, z, x84, y84, z84, xBack, yBack, zBack;
  double lat84 = 0, lon84 = 0, h84 = 0, latBack = 0, lonBack = 0, hBack = 0;
  CONVERTLATLONTOXYZ(latitude, longitude, height, &x, &y, &z, &own);
  STARTTOWGS84(&x84, &y84, &z84, x, y, z, &d);
  CONVERTXYZTOLATLON(x84, y84, z84, latitude, &lat84, &lon84, &h84, &wgs84);
  WGS84TOTARGET(&xBack, &yBack, &zBack, x84, y84, z84, &d);
  CONVERTXYZTOLATLON(xBack, yBack, zBack, lat84, &latBack, &lonBack, &hBack, &own);
  SetComputingFloatingPointMode();
  return {"D " + std::to_string(position), {x, y, z, lat84, lon84, h84, latBack, lonBack, hBack}};
}

std::vector<Entry> ComputeAll(const Catalogues& catalogues) {
  std::vector<Entry> entries;
  for (int32_t i = 2; i <= catalogues.projectionCount; ++i) {
    // A geographic system on its own meridian is no projection.
    if (catalogues.Projection(i).methodCode == kLongitudeRotation) continue;
    entries.push_back(ProjectionEntry(catalogues, i));
  }
  for (int32_t i = 1; i <= catalogues.datumCount; ++i) {
    entries.push_back(DatumEntry(catalogues, i));
  }
  return entries;
}

uint64_t Bits(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// Steps between two finite doubles of the same sign.
uint64_t UlpDistance(uint64_t a, uint64_t b) {
  return a > b ? a - b : b - a;
}

// The shipped catalogues, loaded from data/ (which becomes the working folder).
void LoadShipped(Catalogues& catalogues) {
  MessageRecorder recorder;
  int32_t ok = 0;
  ASSERT_EQ(::chdir(VARNEL_DATA_DIR), 0);
  LoadCatalogues(catalogues, ok);
  ASSERT_EQ(ok, -1);
}

TEST(ShippedResults, EveryResultEqualsTheStoredOneToTheLastBit) {
  SetComputingFloatingPointMode();
  auto catalogues = std::make_unique<Catalogues>();
  ASSERT_NO_FATAL_FAILURE(LoadShipped(*catalogues));
  const std::vector<Entry> entries = ComputeAll(*catalogues);

  if (const char* path = std::getenv("VARNEL_WRITE_SHIPPED_RESULTS")) {
    std::ofstream out(path, std::ios::binary);
    for (const Entry& entry : entries) {
      out << entry.key;
      for (double value : entry.values) {
        char hex[20];
        std::snprintf(hex, sizeof hex, " %016" PRIx64, Bits(value));
        out << hex;
      }
      out << '\n';
    }
    ASSERT_TRUE(out.good()) << path;
    GTEST_SKIP() << "results written to " << path;
  }

  std::ifstream in(VARNEL_SHIPPED_RESULTS);
  ASSERT_TRUE(in.is_open()) << VARNEL_SHIPPED_RESULTS;
  std::string line;
  size_t index = 0, differing = 0;
  while (std::getline(in, line)) {
    ASSERT_LT(index, entries.size()) << "more stored results than catalogue entries";
    const Entry& entry = entries[index++];
    std::istringstream fields(line);
    std::string kind, position;
    fields >> kind >> position;
    ASSERT_EQ(kind + " " + position, entry.key) << "the catalogues changed; write the file anew";
    for (size_t k = 0; k < entry.values.size(); ++k) {
      uint64_t stored = 0;
      ASSERT_TRUE(fields >> std::hex >> stored) << line;
      const uint64_t now = Bits(entry.values[k]);
      if (UlpDistance(now, stored) <= entry.allowedUlps) continue;
      ++differing;
      double storedValue;
      std::memcpy(&storedValue, &stored, sizeof storedValue);
      ADD_FAILURE() << entry.key << " value " << k << ": " << std::hexfloat << entry.values[k]
                    << " stored " << storedValue << std::dec << " (" << UlpDistance(now, stored)
                    << " ulp)";
    }
  }
  EXPECT_EQ(index, entries.size()) << "fewer stored results than catalogue entries";
  EXPECT_EQ(differing, 0u);
}

// How far forward then inverse may miss, in degrees of arc. The further
// methods iterate their inverses to 1e-12 rad or better: 1e-9 degree. The
// original three keep their published series bit for bit: Lambert's latitude
// series stops at e^6 (its first omitted term, e^8, is some 1e-9 rad), and
// Transverse Mercator's meridian arc and footpoint stop at e^6 and e1^4 and
// its terms at the sixth power of the longitude difference, which leaves
// under 1e-8 degree within 3 degrees of the central meridian and up to a few
// 1e-6 (a few decimetres) at 9 degrees, the edge of the widest areas shipped.
double RoundTripTolerance(const ProjectionRecord& p, double longitude) {
  switch (p.methodCode) {
    case kLambertConic2SP:
      return 1e-7;
    case kTransverseMercator:
    case kTransverseMercator3D:
    case kTransverseMercatorZonedGrid:  // within 3 degrees of its zone's meridian
      return p.methodCode != kTransverseMercatorZonedGrid &&
                     std::fabs(std::remainder(longitude - p.centralMeridian, 360.0)) > 3
                 ? 5e-6
                 : 1e-8;
    default:
      return 1e-9;
  }
}

// Every shipped projection over its area of use (data/areas.tsv: position,
// code, south, north, west, east): 25 points, the centres of a 5 by 5 split of
// the box, forward then inverse come back within the method's tolerance.
TEST(ShippedResults, EveryProjectionComesBackOverItsArea) {
  SetComputingFloatingPointMode();
  auto catalogues = std::make_unique<Catalogues>();
  ASSERT_NO_FATAL_FAILURE(LoadShipped(*catalogues));
  std::ifstream areas("areas.tsv");
  std::string line;
  ASSERT_TRUE(std::getline(areas, line)) << "areas.tsv";
  int32_t swept = 0;
  int32_t meridians = 0;  // geographic systems on their own meridian: no projection
  for (int32_t i = 2; i <= catalogues->projectionCount; ++i) {
    meridians += catalogues->Projection(i).methodCode == kLongitudeRotation;
  }
  while (std::getline(areas, line)) {
    std::istringstream fields(line);
    int32_t position = 0, code = 0;
    double south, north, west, east;
    ASSERT_TRUE(fields >> position >> code >> south >> north >> west >> east) << line;
    ProjectionRecord p = catalogues->Projection(position);
    if (p.methodCode == kLongitudeRotation) continue;
    const EllipsoidRecord& e =
        catalogues->Ellipsoid(catalogues->Datum(p.datumIndex).ellipsoidIndex);
    p.semiMajorAxis = e.semiMajorAxis;
    p.semiMinorAxis = e.semiMinorAxis;
    int misses = 0;
    for (int i = 0; i < 5; ++i) {
      for (int j = 0; j < 5; ++j) {
        const double latitude = south + (north - south) * (i + 0.5) / 5;
        const double longitude = west + (east - west) * (j + 0.5) / 5;
        double easting = NAN, northing = NAN, latitudeBack = NAN, longitudeBack = NAN;
        LATLONTOGRID(&p, latitude, longitude, &easting, &northing, p.centralMeridian);
        GRIDTOLATLON(&p, easting, northing, &latitudeBack, &longitudeBack, p.centralMeridian);
        SetComputingFloatingPointMode();
        const double parallel = std::cos(latitude * M_PI / 180);
        const double dLongitude = std::remainder(longitudeBack - longitude, 360.0);
        const double tolerance = RoundTripTolerance(p, longitude);
        if (std::fabs(latitudeBack - latitude) <= tolerance &&
            std::fabs(dLongitude) * parallel <= tolerance) {
          continue;
        }
        if (++misses <= 2) {
          ADD_FAILURE() << "EPSG:" << code << " " << TrimmedField(p.name) << " (method "
                        << p.methodCode << ") at " << latitude << ", " << longitude << ": "
                        << easting << ", " << northing << " back to " << latitudeBack << ", "
                        << longitudeBack;
        }
      }
    }
    ++swept;
  }
  EXPECT_EQ(swept, catalogues->projectionCount - 1 - meridians);
}

}  // namespace
