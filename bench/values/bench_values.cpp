// Nanoseconds per call of the text routines that run once per list-file line,
// with the heap allocations per call as a counter (expected 0).
#include <cstdlib>
#include <new>
#include <string>
#include <string_view>

#include <benchmark/benchmark.h>

#include "dms_text.h"
#include "number_text.h"
#include "split_fields.h"

namespace {
size_t allocations = 0;
}  // namespace

// The global allocation functions, replaced to count calls. GCC takes the
// free() of a replaced operator new's pointer for a mismatch; it is not one.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(size_t size) {
  ++allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, size_t) noexcept {
  std::free(p);
}

namespace {

// Measures allocations over the timed loop of a benchmark.
class AllocationCount {
 public:
  explicit AllocationCount(benchmark::State& state) : state_(state), start_(allocations) {}
  ~AllocationCount() {
    state_.counters["allocs/call"] = benchmark::Counter(static_cast<double>(allocations - start_),
                                                        benchmark::Counter::kAvgIterations);
  }

 private:
  benchmark::State& state_;
  size_t start_;
};

constexpr std::string_view kNumbers[] = {
    "6378137", "  52.3712345678", "-0.9996", "4.5e-7", "5712345.678901234", "-87", "1200"};
// Results of a transformation have full precision; rounded ones are short.
constexpr double kLongValues[] = {5712345.678901234, 52.371234567812345, -0.12345678901234567,
                                  3.4067213455e-9};
constexpr double kShortValues[] = {500000, 0.9996, -87, 52.37, 6378137, 5712345.68};
constexpr double kAngles[] = {52.371234567812345, -0.5, 13.999999999, 179.25, -75.0001};
constexpr const char* kDmsTexts[] = {"52.2216444", "-0.3", "13.595999999", "179.15", "-75"};

template <size_t N, typename T>
const T& Cycle(const T (&items)[N], size_t& k) {
  const T& item = items[k];
  k = k + 1 == N ? 0 : k + 1;
  return item;
}

void BM_ReadNumber(benchmark::State& state) {
  AllocationCount count(state);
  size_t k = 0;
  for (auto _ : state) benchmark::DoNotOptimize(ReadNumber(Cycle(kNumbers, k)));
}
BENCHMARK(BM_ReadNumber);

constexpr const char* kListLine = "  52.2216444 ;\t13.2400360,  45.25  ";

template <typename Field>
void SplitBench(benchmark::State& state, int32_t (*split)(std::string&, Field*, int32_t)) {
  std::string line;
  line.reserve(64);
  Field fields[3];
  AllocationCount count(state);
  for (auto _ : state) {
    line.assign(kListLine);
    benchmark::DoNotOptimize(split(line, fields, 3));
  }
}
void BM_SplitFieldViews(benchmark::State& state) {
  SplitBench(state, &SplitFieldViews);
}
void BM_SplitFields(benchmark::State& state) {
  SplitBench(state, &SplitFields);
}
BENCHMARK(BM_SplitFieldViews);
BENCHMARK(BM_SplitFields);

// A routine that writes the text of a value into a caller's buffer.
template <size_t N>
void WriteBench(benchmark::State& state, size_t (*write)(char*, double),
                const double (&values)[N]) {
  char text[kDmsTextCapacity];
  static_assert(kDmsTextCapacity >= kNumberTextCapacity);
  size_t k = 0;
  AllocationCount count(state);
  for (auto _ : state) {
    benchmark::DoNotOptimize(write(text, Cycle(values, k)));
    benchmark::ClobberMemory();
  }
}
// List output: grid values rounded to centimetres.
size_t FormatPlainRounded(char* out, double value) {
  return FormatPlainTo(out, RoundTo(value, 2));
}

void BM_FormatGeneralTo_Long(benchmark::State& state) {
  WriteBench(state, &FormatGeneralTo, kLongValues);
}
void BM_FormatGeneralTo_Short(benchmark::State& state) {
  WriteBench(state, &FormatGeneralTo, kShortValues);
}
void BM_FormatPlainTo_RoundTo2(benchmark::State& state) {
  WriteBench(state, &FormatPlainRounded, kLongValues);
}
void BM_FormatDmsTo(benchmark::State& state) {
  WriteBench(state, &FormatDmsTo, kAngles);
}
BENCHMARK(BM_FormatGeneralTo_Long);
BENCHMARK(BM_FormatGeneralTo_Short);
BENCHMARK(BM_FormatPlainTo_RoundTo2);
BENCHMARK(BM_FormatDmsTo);

void BM_FormatGeneral_String(benchmark::State& state) {
  size_t k = 0;
  AllocationCount count(state);
  for (auto _ : state) benchmark::DoNotOptimize(FormatGeneral(Cycle(kLongValues, k)));
}
BENCHMARK(BM_FormatGeneral_String);

void BM_ParseDms(benchmark::State& state) {
  std::string text;
  text.reserve(32);
  double value = 0;
  size_t k = 0;
  AllocationCount count(state);
  for (auto _ : state) {
    text.assign(Cycle(kDmsTexts, k));
    benchmark::DoNotOptimize(ParseDms(text, kDmsLatitude, value));
  }
}
BENCHMARK(BM_ParseDms);

}  // namespace

BENCHMARK_MAIN();
