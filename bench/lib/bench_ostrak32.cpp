// Calls per second of each export of Ostrak32, through the shared library.
#include <benchmark/benchmark.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "ostrak32.h"

namespace {

constexpr double kRadPerDegree = 3.14159265358979 / 180;

EllipsoidRecord Wgs84() {
  EllipsoidRecord e;
  std::memset(&e, 0, sizeof e);
  e.semiMajorAxis = 6378137.0;
  e.semiMinorAxis = 6356752.314245179;
  return e;
}

ProjectionRecord Projection(int32_t method) {
  ProjectionRecord p;
  std::memset(&p, 0, sizeof p);
  p.methodCode = method;
  p.semiMajorAxis = 6378137.0;
  p.semiMinorAxis = 6356752.314245179;
  p.scaleFactor =
      method == kObliqueStereographic ? 0.9999079 : (method == kTransverseMercator ? 0.9996 : 1.0);
  p.latitudeOfOrigin =
      method == kLambertConic2SP ? 46.5 : (method == kObliqueStereographic ? 52.1561605556 : 0);
  p.centralMeridian = 3;
  p.falseEasting = 500000;
  p.firstStandardParallel = 44;
  p.secondStandardParallel = 49;
  return p;
}

DatumRecord Helmert(int32_t method) {
  DatumRecord d;
  std::memset(&d, 0, sizeof d);
  d.methodCode = method;
  d.translationX = -87;
  d.translationY = -98;
  d.translationZ = -121;
  d.rotationX = 1e-6;
  d.rotationY = -2e-6;
  d.rotationZ = 3e-6;
  d.scaleDifference = 2e-6;
  return d;
}

// Further methods through LATLONTOGRID and GRIDTOLATLON, each on a system of
// its own (WGS 84 axes; the cost hardly depends on the ellipsoid), with a
// point inside it.
struct GridCase {
  ProjectionRecord projection;
  double latitude, longitude;
};

GridCase FurtherMethod(int32_t method) {
  ProjectionRecord p = Projection(method);
  p.scaleFactor = 1;
  p.firstStandardParallel = p.secondStandardParallel = 0;
  p.falseEasting = p.falseNorthing = 0;
  switch (method) {
    case kLambertAzimuthalEqualArea:  // ETRS89-extended / LAEA Europe
      p.latitudeOfOrigin = 52;
      p.centralMeridian = 10;
      return {p, 50, 5};
    case kHotineObliqueMercatorB:  // Timbalai 1948 / RSO Borneo
      p.latitudeOfOrigin = 4;
      p.centralMeridian = 115;
      p.scaleFactor = 0.99984;
      p.firstStandardParallel = 53.31582047222222;
      p.secondStandardParallel = 53.13010236111111;
      return {p, 5.4, 115.8};
    case kKrovak:  // S-JTSK / Krovak
      p.latitudeOfOrigin = 49.5;
      p.centralMeridian = 24.833333333333332;
      p.scaleFactor = 0.9999;
      p.firstStandardParallel = 30.288139752777777;
      p.secondStandardParallel = 78.5;
      return {p, 50.2, 16.85};
    default:  // Popular Visualisation Pseudo Mercator
      p.latitudeOfOrigin = 0;
      p.centralMeridian = 0;
      return {p, 24.4, -100.3};
  }
}

// Varies the input a little from call to call so nothing is hoisted out of the loop.
double Wobble(int64_t i) {
  return static_cast<double>(i & 1023) * 1e-4;
}

void BM_CONVERTLATLONTOXYZ(benchmark::State& state) {
  const EllipsoidRecord e = Wgs84();
  double x, y, z;
  int64_t i = 0;
  for (auto _ : state) {
    CONVERTLATLONTOXYZ((47 + Wobble(i++)) * kRadPerDegree, 8 * kRadPerDegree, 400, &x, &y, &z, &e);
    benchmark::DoNotOptimize(x);
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_CONVERTXYZTOLATLON(benchmark::State& state) {
  const EllipsoidRecord e = Wgs84();
  double x, y, z, lat = 0, lon = 0, h = 0;
  CONVERTLATLONTOXYZ(47 * kRadPerDegree, 8 * kRadPerDegree, 400, &x, &y, &z, &e);
  int64_t i = 0;
  for (auto _ : state) {
    // The start latitude a datum shift away, as in the chain.
    CONVERTXYZTOLATLON(x + Wobble(i++), y, z, 47.001 * kRadPerDegree, &lat, &lon, &h, &e);
    benchmark::DoNotOptimize(lat);
  }
  state.SetItemsProcessed(state.iterations());
}

template <void (*Shift)(double*, double*, double*, double, double, double, const DatumRecord*)>
void BM_Shift(benchmark::State& state) {
  const DatumRecord d = Helmert(static_cast<int32_t>(state.range(0)));
  double x, y, z;
  int64_t i = 0;
  for (auto _ : state) {
    Shift(&x, &y, &z, 4321000 + Wobble(i++), 654000, 4650000, &d);
    benchmark::DoNotOptimize(x);
  }
  state.SetItemsProcessed(state.iterations());
}

template <void (*Forward)(const ProjectionRecord*, double, double, double*, double*, double)>
void BM_Forward(benchmark::State& state) {
  const ProjectionRecord p = Projection(static_cast<int32_t>(state.range(0)));
  double e, n;
  int64_t i = 0;
  for (auto _ : state) {
    Forward(&p, 48 + Wobble(i++), 4, &e, &n, p.centralMeridian);
    benchmark::DoNotOptimize(e);
  }
  state.SetItemsProcessed(state.iterations());
}

template <void (*Forward)(const ProjectionRecord*, double, double, double*, double*, double),
          void (*Inverse)(const ProjectionRecord*, double, double, double*, double*, double)>
void BM_Inverse(benchmark::State& state) {
  const ProjectionRecord p = Projection(static_cast<int32_t>(state.range(0)));
  double e, n, lat, lon;
  Forward(&p, 48, 4, &e, &n, p.centralMeridian);
  int64_t i = 0;
  for (auto _ : state) {
    Inverse(&p, e + Wobble(i++), n, &lat, &lon, p.centralMeridian);
    benchmark::DoNotOptimize(lat);
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_GridForward(benchmark::State& state) {
  const GridCase c = FurtherMethod(static_cast<int32_t>(state.range(0)));
  double e, n;
  int64_t i = 0;
  for (auto _ : state) {
    LATLONTOGRID(&c.projection, c.latitude + Wobble(i++), c.longitude, &e, &n,
                 c.projection.centralMeridian);
    benchmark::DoNotOptimize(e);
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_GridInverse(benchmark::State& state) {
  const GridCase c = FurtherMethod(static_cast<int32_t>(state.range(0)));
  double e, n, lat, lon;
  LATLONTOGRID(&c.projection, c.latitude, c.longitude, &e, &n, c.projection.centralMeridian);
  int64_t i = 0;
  for (auto _ : state) {
    GRIDTOLATLON(&c.projection, e + Wobble(i++), n, &lat, &lon, c.projection.centralMeridian);
    benchmark::DoNotOptimize(lat);
  }
  state.SetItemsProcessed(state.iterations());
}

// One point of a list run from British National Grid (OSGB36, position vector
// shift) to ED50 / UTM zone 31N (geocentric translations), export by export as
// the chain calls them, over points spread across Great Britain.
void BM_BritishGridToUtm31(benchmark::State& state) {
  EllipsoidRecord airy{}, international{};
  airy.semiMajorAxis = 6377563.396;
  airy.semiMinorAxis = 6356256.909237285;
  international.semiMajorAxis = 6378388;
  international.semiMinorAxis = 6356911.9461279465;
  DatumRecord osgb36{}, ed50{};
  osgb36.methodCode = kPositionVector;
  osgb36.translationX = 446.448;
  osgb36.translationY = -125.157;
  osgb36.translationZ = 542.06;
  osgb36.rotationX = 0.000000727220521664304;
  osgb36.rotationY = 0.0000011974897923405538;
  osgb36.rotationZ = 0.000004082131194942293;
  osgb36.scaleDifference = -0.000020489;
  ed50.methodCode = kGeocentricTranslations;
  ed50.translationX = -87;
  ed50.translationY = -98;
  ed50.translationZ = -121;
  ProjectionRecord grid{}, utm{};
  grid.methodCode = utm.methodCode = kTransverseMercator;
  grid.semiMajorAxis = airy.semiMajorAxis;
  grid.semiMinorAxis = airy.semiMinorAxis;
  grid.scaleFactor = 0.9996012717;
  grid.latitudeOfOrigin = 49;
  grid.centralMeridian = -2;
  grid.falseEasting = 400000;
  grid.falseNorthing = -100000;
  utm.semiMajorAxis = international.semiMajorAxis;
  utm.semiMinorAxis = international.semiMinorAxis;
  utm.scaleFactor = 0.9996;
  utm.centralMeridian = 3;
  utm.falseEasting = 500000;
  double lat, lon, x, y, z, x84, y84, z84, xt, yt, zt, phiT, lambdaT = 0, hT, e, n;
  int64_t i = 0;
  for (auto _ : state) {
    const double easting = 100000 + static_cast<double>(i & 1023) * 500;
    const double northing = 50000 + static_cast<double>((i >> 10) & 1023) * 950;
    ++i;
    TMTOLATLON(&grid, easting, northing, &lat, &lon, grid.centralMeridian);
    const double phi = lat * kRadPerDegree, lambda = lon * kRadPerDegree;
    CONVERTLATLONTOXYZ(phi, lambda, 0, &x, &y, &z, &airy);
    STARTTOWGS84(&x84, &y84, &z84, x, y, z, &osgb36);
    WGS84TOTARGET(&xt, &yt, &zt, x84, y84, z84, &ed50);
    CONVERTXYZTOLATLON(xt, yt, zt, phi, &phiT, &lambdaT, &hT, &international);
    LATLONTOTM(&utm, phiT / kRadPerDegree, lambdaT / kRadPerDegree, &e, &n, utm.centralMeridian);
    benchmark::DoNotOptimize(n);
  }
  state.SetItemsProcessed(state.iterations());
}

// NTV2SHIFT on the German BETA2007 grid (one sub-grid, 84 x 62 nodes), read
// once; each call reads its headers again. Arg 0 forward, 1 reverse.
void BM_NTV2SHIFT(benchmark::State& state) {
  std::ifstream in("/usr/share/proj/BETA2007.gsb", std::ios::binary);
  const std::vector<char> grid((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
  if (grid.empty()) {
    state.SkipWithError("no /usr/share/proj/BETA2007.gsb");
    return;
  }
  const auto length = static_cast<int64_t>(grid.size());
  const auto reverse = static_cast<int32_t>(state.range(0));
  double lat = 0, lon = 0;
  int64_t i = 0;
  for (auto _ : state) {
    NTV2SHIFT(grid.data(), length, 48 + Wobble(i++) * 50, 10, reverse, &lat, &lon);
    benchmark::DoNotOptimize(lat);
  }
  state.SetItemsProcessed(state.iterations());
}

// A NADCON file of the size of NGS's conus pair (273 x 121 nodes from 131 W,
// 20 N by 0.25 degree), built here: the header record, then each row from the
// south behind a 4-byte 0. Shifts of a few seconds, varying smoothly.
std::vector<char> NadconFile(bool longitudes) {
  constexpr int32_t kColumns = 273, kRows = 121;
  constexpr size_t kRecord = 4 * (kColumns + 1);
  std::vector<char> file(kRecord * (kRows + 1), 0);
  const int32_t counts[3] = {kColumns, kRows, 1};
  const float lattice[5] = {-131, 0.25f, 20, 0.25f, 0};
  std::memcpy(file.data() + 64, counts, sizeof counts);
  std::memcpy(file.data() + 76, lattice, sizeof lattice);
  for (int32_t row = 0; row < kRows; ++row) {
    for (int32_t column = 0; column < kColumns; ++column) {
      const float shift =
          longitudes ? 3.0f - 0.02f * column + 0.01f * row : 0.5f + 0.01f * column - 0.005f * row;
      std::memcpy(file.data() + kRecord * (row + 1) + 4 + 4 * column, &shift, 4);
    }
  }
  return file;
}

// NADCONSHIFT over that pair; each call reads both headers again. Arg 0
// forward, 1 reverse.
void BM_NADCONSHIFT(benchmark::State& state) {
  const std::vector<char> las = NadconFile(false), los = NadconFile(true);
  const auto reverse = static_cast<int32_t>(state.range(0));
  double lat = 0, lon = 0;
  int64_t i = 0;
  for (auto _ : state) {
    NADCONSHIFT(las.data(), static_cast<int64_t>(las.size()), los.data(),
                static_cast<int64_t>(los.size()), 38 + Wobble(i++) * 50, -97, reverse, &lat, &lon);
    benchmark::DoNotOptimize(lat);
  }
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_CONVERTLATLONTOXYZ);
BENCHMARK(BM_CONVERTXYZTOLATLON);
BENCHMARK(BM_Shift<STARTTOWGS84>)
    ->Name("STARTTOWGS84")
    ->Arg(kGeocentricTranslations)
    ->Arg(kPositionVector)
    ->Arg(kCoordinateFrame);
BENCHMARK(BM_Shift<WGS84TOTARGET>)
    ->Name("WGS84TOTARGET")
    ->Arg(kGeocentricTranslations)
    ->Arg(kPositionVector)
    ->Arg(kCoordinateFrame);
BENCHMARK(BM_Forward<LATLONTOTM>)->Name("LATLONTOTM")->Arg(kTransverseMercator);
BENCHMARK((BM_Inverse<LATLONTOTM, TMTOLATLON>))->Name("TMTOLATLON")->Arg(kTransverseMercator);
BENCHMARK(BM_Forward<LATLONTOLCC>)->Name("LATLONTOLCC")->Arg(kLambertConic2SP);
BENCHMARK((BM_Inverse<LATLONTOLCC, LCCTOLATLON>))->Name("LCCTOLATLON")->Arg(kLambertConic2SP);
BENCHMARK(BM_Forward<LATLONTOOST>)->Name("LATLONTOOST")->Arg(kObliqueStereographic);
BENCHMARK((BM_Inverse<LATLONTOOST, OSTTOLATLON>))->Name("OSTTOLATLON")->Arg(kObliqueStereographic);
BENCHMARK(BM_GridForward)
    ->Name("LATLONTOGRID")
    ->Arg(kPseudoMercator)
    ->Arg(kLambertAzimuthalEqualArea)
    ->Arg(kHotineObliqueMercatorB)
    ->Arg(kKrovak);
BENCHMARK(BM_GridInverse)
    ->Name("GRIDTOLATLON")
    ->Arg(kPseudoMercator)
    ->Arg(kLambertAzimuthalEqualArea)
    ->Arg(kHotineObliqueMercatorB)
    ->Arg(kKrovak);
BENCHMARK(BM_BritishGridToUtm31);
BENCHMARK(BM_NTV2SHIFT)->Name("NTV2SHIFT")->Arg(0)->Arg(1);
BENCHMARK(BM_NADCONSHIFT)->Name("NADCONSHIFT")->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
