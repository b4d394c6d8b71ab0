// Start-up cost of the largest catalogues: 64 ellipsoids, 1024 datums and
// 4096 projections, generated into a temporary directory.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "catalogue.h"
#include "fixed_text.h"

namespace {

std::string Padded(int n, int width) {
  std::string digits = std::to_string(n);
  return std::string(width - digits.size(), '0') + digits;
}

std::string DatumName(int k) {
  return "Datum " + Padded(k, 4) + " (Region " + Padded(k % 97, 2) + ")";
}

// Full-size files. Each projection names its datum by the short part of the
// name, in lower case, so that the look-up needs the folding and the
// substring search; the datums are spread over the whole catalogue.
void WriteCatalogues() {
  std::ofstream ellipsoids("ellips.txt", std::ios::binary);
  ellipsoids << kEllipsoidCapacity << "\r\n";
  for (int k = 1; k <= kEllipsoidCapacity; ++k) {
    ellipsoids << 7000 + k << ";\"Ellipsoid " << Padded(k, 2) << "\";6378137." << k
               << ";6356752.314245\r\n";
  }
  std::ofstream datums("datums.txt", std::ios::binary);
  datums << kDatumCapacity << "\r\n";
  const std::string area(180, 'a');
  for (int k = 1; k <= kDatumCapacity; ++k) {
    datums << '"' << DatumName(k) << "\";\"" << area << ' ' << k << "\";4326;ellipsoid "
           << Padded(k % kEllipsoidCapacity + 1, 2)
           << "  ;9606;598.1;73.7;418.2;9.793e-7;2.182e-7;-1.19e-5;6.7e-6\r\n";
  }
  std::ofstream projections("projct.txt", std::ios::binary);
  projections << kProjectionCapacity << "\r\n";
  for (int k = 1; k <= kProjectionCapacity; ++k) {
    const int datum = (k * 389) % kDatumCapacity + 1;
    const std::string datumName = "datum " + Padded(datum, 4);
    projections << "\"Projected CRS " << k << " / zone " << k % 60 << "\";" << datumName
                << ";9807;0.9996;0;" << (k % 60) * 6 - 177 << ";500000;0;0;0\r\n";
  }
}

class TemporaryDirectory {
 public:
  TemporaryDirectory() : previous_(std::filesystem::current_path()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "varnel-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
    std::filesystem::current_path(path_);
  }
  ~TemporaryDirectory() {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(path_);
  }

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};

void BM_LoadCatalogues(benchmark::State& state) {
  TemporaryDirectory directory;
  WriteCatalogues();
  auto catalogues = std::make_unique<Catalogues>();
  int32_t ok = 0;
  for (auto _ : state) {
    LoadCatalogues(*catalogues, ok);
    benchmark::DoNotOptimize(catalogues->Projection(kProjectionCapacity).datumIndex);
  }
  if (ok != -1 || catalogues->projectionCount != kProjectionCapacity) {
    state.SkipWithError("the catalogues did not load");
  }
}

// The datum look-up at its slowest: no projection finds its datum, so every
// look-up runs through all 1024 names (the loader then refuses the file).
void BM_ResolveProjectionDatums_NoDatumMatches(benchmark::State& state) {
  TemporaryDirectory directory;
  WriteCatalogues();
  auto catalogues = std::make_unique<Catalogues>();
  int32_t ok = 0;
  LoadCatalogues(*catalogues, ok);
  if (ok != -1) {
    state.SkipWithError("the catalogues did not load");
    return;
  }
  for (int32_t k = 1; k <= catalogues->projectionCount; ++k) {
    SetFixedField(catalogues->Projection(k).datumName, "no such datum " + std::to_string(k));
  }
  for (auto _ : state) {
    ResolveProjectionDatums(*catalogues);
    benchmark::DoNotOptimize(catalogues->Projection(kProjectionCapacity).datumIndex);
  }
}

}  // namespace

BENCHMARK(BM_LoadCatalogues)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResolveProjectionDatums_NoDatumMatches)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
