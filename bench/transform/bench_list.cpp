// Lines per second of a list run, and the peak memory it takes.
//
// A million grid lines from the British National Grid (OSGB 1936, Helmert to
// WGS 84) to ED50 / UTM zone 31N (translations from WGS 84): an inverse and a
// forward Transverse Mercator and two datum shifts per line. And a million
// geographic DMS lines to the same target. Then a million geographic DMS
// lines on WGS 84, each in the area of its target, to a system on each of
// four further methods: WGS 84 / Pseudo-Mercator (the same datum: no shift),
// ETRS89-extended / LAEA Europe, Timbalai 1948 / RSO Borneo (m) (Hotine
// variant B) and S-JTSK / Krovak, the last three with their datum's shift
// from WGS 84, each next to a twin run with Transverse Mercator (a UTM zone
// of the area) on the same datum and lines. And a million grid lines from
// DHDN / 3-degree Gauss-Kruger zone 3 through the BeTA2007 grid (proj-data's
// /usr/share/proj/BETA2007.gsb) to ETRS89 / UTM zone 32N. VARNEL_LIST_LINES
// sets another line count (for a run over a file of a gigabyte, say).
#include <sys/resource.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "fixed_text.h"
#include "list_transform.h"
#include "message.h"

namespace {

int32_t Silent(const char*, const char*, uint32_t) {
  return IDYES;
}

int64_t LineCount() {
  const char* text = std::getenv("VARNEL_LIST_LINES");
  return text ? std::atoll(text) : 1000000;
}

EllipsoidRecord Ellipsoid(const char* name, double a, double inverseFlattening) {
  EllipsoidRecord e{};
  SetFixedField(e.name, name);
  e.semiMajorAxis = a;
  e.semiMinorAxis = a * (1 - 1 / inverseFlattening);
  return e;
}

CrsSide Side(const char* datumName, int32_t method, const double (&shift)[7],
             const EllipsoidRecord& e) {
  CrsSide side{};
  SetFixedField(side.projection.name, "none");
  SetFixedField(side.datum.name, datumName);
  side.datum.methodCode = method;
  side.datum.toCrsCode = kCrsWgs84;
  side.datum.translationX = shift[0];
  side.datum.translationY = shift[1];
  side.datum.translationZ = shift[2];
  side.datum.rotationX = shift[3];
  side.datum.rotationY = shift[4];
  side.datum.rotationZ = shift[5];
  side.datum.scaleDifference = shift[6];
  side.ellipsoid = e;
  side.unitsAndFormats = DefaultUnitsAndFormats();
  return side;
}

void SetProjection(ProjectionRecord& p, const char* name, int32_t method, double k0, double lat0,
                   double lon0, double fe, double fn, double p1 = 0, double p2 = 0) {
  SetFixedField(p.name, name);
  p.methodCode = method;
  p.scaleFactor = k0;
  p.latitudeOfOrigin = lat0;
  p.centralMeridian = lon0;
  p.falseEasting = fe;
  p.falseNorthing = fn;
  p.firstStandardParallel = p1;
  p.secondStandardParallel = p2;
}

void SetTransverseMercator(ProjectionRecord& p, const char* name, double k0, double lat0,
                           double lon0, double fe, double fn) {
  SetProjection(p, name, kTransverseMercator, k0, lat0, lon0, fe, fn);
}

double Dms(double degrees, double minutes, double seconds) {
  return degrees + minutes / 60 + seconds / 3600;
}

constexpr double kArcSecond = 4.84813681109536e-6;

// Geographic lines on WGS 84, the start of the further methods' runs.
CrsSide Wgs84Geographic() {
  const double none[7] = {};
  return Side("WGS 84", kGeocentricTranslations, none, Ellipsoid("WGS 84", 6378137, 298.257223563));
}

// EPSG:3857, on the start's own datum.
CrsSide PseudoMercator() {
  CrsSide side = Wgs84Geographic();
  SetProjection(side.projection, "WGS 84 / Pseudo-Mercator", kPseudoMercator, 1, 0, 0, 0, 0);
  return side;
}

// EPSG:3035, ETRS89 to WGS 84 (1): no translation.
CrsSide LambertAzimuthalEurope() {
  const double none[7] = {};
  CrsSide side =
      Side("ETRS89", kGeocentricTranslations, none, Ellipsoid("GRS 1980", 6378137, 298.257222101));
  SetProjection(side.projection, "ETRS89-extended / LAEA Europe", kLambertAzimuthalEqualArea, 1, 52,
                10, 4321000, 3210000);
  return side;
}

// EPSG:29873, Timbalai 1948 to WGS 84 (1): translations.
CrsSide RsoBorneo() {
  const double shift[7] = {-679, 669, -48, 0, 0, 0, 0};
  CrsSide side = Side("Timbalai 1948", kGeocentricTranslations, shift,
                      Ellipsoid("Everest 1830 (1967 Definition)", 6377298.556, 300.8017));
  SetProjection(side.projection, "Timbalai 1948 / RSO Borneo (m)", kHotineObliqueMercatorB, 0.99984,
                4, 115, 590476.87, 442857.65, Dms(53, 18, 56.9537), Dms(53, 7, 48.3685));
  return side;
}

// EPSG:5513 with the longitude of origin from Greenwich (24 50 E, 42 30 E of
// Ferro), S-JTSK to WGS 84 (1): Helmert, position vector.
CrsSide KrovakSjtsk() {
  const double shift[7] = {
      570.8, 85.7, 462.8, 4.998 * kArcSecond, 1.587 * kArcSecond, 5.261 * kArcSecond, 3.56e-6};
  CrsSide side =
      Side("S-JTSK", kPositionVector, shift, Ellipsoid("Bessel 1841", 6377397.155, 299.1528128));
  SetProjection(side.projection, "S-JTSK / Krovak", kKrovak, 0.9999, 49.5, Dms(24, 50, 0), 0, 0,
                Dms(30, 17, 17.30311), 78.5);
  return side;
}

// The same side with Transverse Mercator in place of its own method (a UTM
// zone of its area): the run that differs from the side's own in the
// projection alone, datum shift and lines being the same.
CrsSide WithTransverseMercator(CrsSide side, double centralMeridian) {
  SetTransverseMercator(side.projection, "UTM zone on the same datum", 0.9996, 0, centralMeridian,
                        500000, 0);
  return side;
}

struct Setup {
  std::string folder;
  std::unique_ptr<Catalogues> catalogues = std::make_unique<Catalogues>();
  CrsSide start;
  CrsSide target;

  Setup() {
    char pattern[] = "/tmp/varnel-bench-XXXXXX";
    folder = ::mkdtemp(pattern);
    const double osgb[7] = {446.448,           -125.157,           542.06,
                            0.15 * kArcSecond, 0.247 * kArcSecond, 0.842 * kArcSecond,
                            -20.489e-6};
    const double ed50[7] = {-87, -98, -121, 0, 0, 0, 0};
    start =
        Side("OSGB 1936", kPositionVector, osgb, Ellipsoid("Airy 1830", 6377563.396, 299.3249646));
    target =
        Side("ED50", kGeocentricTranslations, ed50, Ellipsoid("International 1924", 6378388, 297));
    SetTransverseMercator(target.projection, "ED50 / UTM zone 31N", 0.9996, 0, 3, 500000, 0);
  }
  ~Setup() { std::filesystem::remove_all(folder); }

  // Writes the input once; lines vary so that no two points are alike.
  // Geographic lines lie within a degree north and east of the given whole
  // degrees.
  std::string Input(const char* name, bool grid, int latitude = 51, int longitude = 0,
                    double easting = 500000, double northing = 150000) {
    const std::string path = folder + "/" + name;
    if (std::filesystem::exists(path)) return path;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const int64_t count = LineCount();
    for (int64_t i = 0; i < count; ++i) {
      if (grid) {
        std::fprintf(file, "%.2f %.2f\r\n", easting + (i % 9973) * 7.31,
                     northing + (i % 7919) * 9.17);
      } else {
        std::fprintf(file, "%d.%02d%05d %d.%02d%05d 45.5\r\n", latitude, static_cast<int>(i % 60),
                     static_cast<int>(i % 60000), longitude, static_cast<int>((i / 7) % 60),
                     static_cast<int>((i * 7) % 60000));
      }
    }
    std::fclose(file);
    ::sync();
    return path;
  }
};

Setup& Shared() {
  static Setup setup;
  return setup;
}

// state.range(0) threads, 0 for one per core.
// The sides are copies: the run writes the ellipsoids' axes into them.
void Run(benchmark::State& state, CrsSide start, CrsSide target, const std::string& input,
         bool grid) {
  InstallMessageFunction(&Silent);
  Setup& s = Shared();
  ListBoxes boxes;
  (grid ? boxes.startProjList : boxes.startSysList) = input;
  boxes.targetProjList = s.folder + "/out-grid.txt";
  boxes.targetSysList = s.folder + "/out-geo.txt";
  ListRunOptions options;
  options.threads = static_cast<int>(state.range(0));
  for (auto _ : state) {
    TransformList(start, target, *s.catalogues, boxes, options);
    // The outputs reach the disk before the next run starts, so that no run
    // shares its cores with the writing back of another's.
    state.PauseTiming();
    ::sync();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * LineCount());
  struct rusage usage;
  ::getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024;
}

void BM_GridLinesTmToTm(benchmark::State& state) {
  Setup& s = Shared();
  CrsSide start = s.start;
  SetTransverseMercator(start.projection, "OSGB36 / British National Grid", 0.9996012717, 49, -2,
                        400000, -100000);
  Run(state, start, s.target, s.Input("grid.txt", true), true);
}
void BM_GeographicDmsLinesToTm(benchmark::State& state) {
  Setup& s = Shared();
  Run(state, s.start, s.target, s.Input("dms.txt", false), false);
}

// Geographic lines on WGS 84 to the further methods, each over its area.
void BM_GeographicDmsLinesToPseudoMercator(benchmark::State& state) {
  Run(state, Wgs84Geographic(), PseudoMercator(), Shared().Input("dms.txt", false), false);
}
void BM_GeographicDmsLinesToLambertAzimuthal(benchmark::State& state) {
  Run(state, Wgs84Geographic(), LambertAzimuthalEurope(), Shared().Input("dms.txt", false), false);
}
void BM_GeographicDmsLinesToHotineB(benchmark::State& state) {
  Run(state, Wgs84Geographic(), RsoBorneo(), Shared().Input("dms-borneo.txt", false, 4, 115),
      false);
}
void BM_GeographicDmsLinesToKrovak(benchmark::State& state) {
  Run(state, Wgs84Geographic(), KrovakSjtsk(), Shared().Input("dms-bohemia.txt", false, 49, 15),
      false);
}

// Their twins with Transverse Mercator on the same datum and lines.
void BM_GeographicDmsLinesToTmOnEtrs89(benchmark::State& state) {
  Run(state, Wgs84Geographic(), WithTransverseMercator(LambertAzimuthalEurope(), 3),
      Shared().Input("dms.txt", false), false);
}
void BM_GeographicDmsLinesToTmOnTimbalai(benchmark::State& state) {
  Run(state, Wgs84Geographic(), WithTransverseMercator(RsoBorneo(), 117),
      Shared().Input("dms-borneo.txt", false, 4, 115), false);
}
void BM_GeographicDmsLinesToTmOnSjtsk(benchmark::State& state) {
  Run(state, Wgs84Geographic(), WithTransverseMercator(KrovakSjtsk(), 15),
      Shared().Input("dms-bohemia.txt", false, 49, 15), false);
}

// EPSG:31467 with DHDN to ETRS89 (8), the BeTA2007 grid, to EPSG:25832.
void BM_GridLinesThroughBeta2007(benchmark::State& state) {
  Setup& s = Shared();
  const EllipsoidRecord grs80 = Ellipsoid("GRS 1980", 6378137, 298.257222101);
  s.catalogues->ellipsoidCount = 1;
  s.catalogues->Ellipsoid(1) = grs80;
  const double none[7] = {};
  CrsSide start = Side("DHDN", kNtv2, none, Ellipsoid("Bessel 1841", 6377397.155, 299.1528128));
  SetFixedField(start.datum.areaOfUse, "BETA2007.gsb|GRS 1980|BKG|Germany");
  SetTransverseMercator(start.projection, "DHDN / 3-degree Gauss-Kruger zone 3", 1, 0, 9, 3500000,
                        0);
  CrsSide target = Side("ETRS89", kGeocentricTranslations, none, grs80);
  SetTransverseMercator(target.projection, "ETRS89 / UTM zone 32N", 0.9996, 0, 9, 500000, 0);
  Run(state, start, target, s.Input("grid-dhdn.txt", true, 0, 0, 3480000, 5500000), true);
}

// One, two and all threads, each over the whole input once, in wall-clock time.
void ThreadCounts(benchmark::internal::Benchmark* benchmark) {
  benchmark->ArgName("threads")->Arg(1)->Arg(2)->Arg(0);
  benchmark->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
}

BENCHMARK(BM_GridLinesTmToTm)->Apply(ThreadCounts);
BENCHMARK(BM_GeographicDmsLinesToTm)->Apply(ThreadCounts);
BENCHMARK(BM_GeographicDmsLinesToPseudoMercator)->Apply(ThreadCounts);
BENCHMARK(BM_GeographicDmsLinesToLambertAzimuthal)->Apply(ThreadCounts);
BENCHMARK(BM_GeographicDmsLinesToHotineB)->Apply(ThreadCounts);
BENCHMARK(BM_GeographicDmsLinesToKrovak)->Apply(ThreadCounts);
BENCHMARK(BM_GeographicDmsLinesToTmOnEtrs89)->Apply(ThreadCounts);
BENCHMARK(BM_GeographicDmsLinesToTmOnTimbalai)->Apply(ThreadCounts);
BENCHMARK(BM_GeographicDmsLinesToTmOnSjtsk)->Apply(ThreadCounts);
BENCHMARK(BM_GridLinesThroughBeta2007)->Apply(ThreadCounts);

}  // namespace

BENCHMARK_MAIN();
