// Lines per second of a list run, and the peak memory it takes.
//
// A million grid lines from the British National Grid (OSGB 1936, Helmert to
// WGS 84) to ED50 / UTM zone 31N (translations from WGS 84): an inverse and a
// forward Transverse Mercator and two datum shifts per line. And a million
// geographic DMS lines to the same target. VARNEL_LIST_LINES sets another
// line count (for a run over a file of a gigabyte, say).
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

void SetTransverseMercator(ProjectionRecord& p, const char* name, double k0, double lat0,
                           double lon0, double fe, double fn) {
  SetFixedField(p.name, name);
  p.methodCode = kTransverseMercator;
  p.scaleFactor = k0;
  p.latitudeOfOrigin = lat0;
  p.centralMeridian = lon0;
  p.falseEasting = fe;
  p.falseNorthing = fn;
}

struct Setup {
  std::string folder;
  std::unique_ptr<Catalogues> catalogues = std::make_unique<Catalogues>();
  CrsSide start;
  CrsSide target;

  Setup() {
    char pattern[] = "/tmp/varnel-bench-XXXXXX";
    folder = ::mkdtemp(pattern);
    const double arcSecond = 4.84813681109536e-6;
    const double osgb[7] = {446.448,           -125.157,          542.06,    0.15 * arcSecond,
                            0.247 * arcSecond, 0.842 * arcSecond, -20.489e-6};
    const double ed50[7] = {-87, -98, -121, 0, 0, 0, 0};
    start =
        Side("OSGB 1936", kPositionVector, osgb, Ellipsoid("Airy 1830", 6377563.396, 299.3249646));
    target =
        Side("ED50", kGeocentricTranslations, ed50, Ellipsoid("International 1924", 6378388, 297));
    SetTransverseMercator(target.projection, "ED50 / UTM zone 31N", 0.9996, 0, 3, 500000, 0);
  }
  ~Setup() { std::filesystem::remove_all(folder); }

  // Writes the input once; lines vary so that no two points are alike.
  std::string Input(const char* name, bool grid) {
    const std::string path = folder + "/" + name;
    if (std::filesystem::exists(path)) return path;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const int64_t count = LineCount();
    for (int64_t i = 0; i < count; ++i) {
      if (grid) {
        std::fprintf(file, "%.2f %.2f\r\n", 500000.0 + (i % 9973) * 7.31,
                     150000.0 + (i % 7919) * 9.17);
      } else {
        std::fprintf(file, "51.%02d%05d 0.%02d%05d 45.5\r\n", static_cast<int>(i % 60),
                     static_cast<int>(i % 60000), static_cast<int>((i / 7) % 60),
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
void Run(benchmark::State& state, bool grid) {
  InstallMessageFunction(&Silent);
  Setup& s = Shared();
  CrsSide start = s.start;
  if (grid) {
    SetTransverseMercator(start.projection, "OSGB36 / British National Grid", 0.9996012717, 49, -2,
                          400000, -100000);
  }
  ListBoxes boxes;
  (grid ? boxes.startProjList : boxes.startSysList) = s.Input(grid ? "grid.txt" : "dms.txt", grid);
  boxes.targetProjList = s.folder + "/out-grid.txt";
  boxes.targetSysList = s.folder + "/out-geo.txt";
  ListRunOptions options;
  options.threads = static_cast<int>(state.range(0));
  for (auto _ : state) {
    TransformList(start, s.target, *s.catalogues, boxes, options);
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
  Run(state, true);
}
void BM_GeographicDmsLinesToTm(benchmark::State& state) {
  Run(state, false);
}

// One, two and all threads, each over the whole input once, in wall-clock time.
void ThreadCounts(benchmark::internal::Benchmark* benchmark) {
  benchmark->ArgName("threads")->Arg(1)->Arg(2)->Arg(0);
  benchmark->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
}

BENCHMARK(BM_GridLinesTmToTm)->Apply(ThreadCounts);
BENCHMARK(BM_GeographicDmsLinesToTm)->Apply(ThreadCounts);

}  // namespace

BENCHMARK_MAIN();
