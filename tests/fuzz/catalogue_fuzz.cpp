// LoadCatalogues on any bytes: the input, cut at its first two NUL bytes, is
// written as ellips.txt, datums.txt and projct.txt (a file with no part is
// left missing). Loading must not fault, counts stay within the capacities,
// and every resolved index names a loaded record.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "catalogue.h"
#include "fuzz_check.h"
#include "message_recorder.h"

namespace {

std::unique_ptr<Catalogues> catalogues;

void Write(const char* name, std::string_view bytes) {
  std::ofstream(name, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void CheckCount(int32_t count, bool read, int32_t capacity, const char* name) {
  if (read) {
    FUZZ_CHECK(count >= 0 && count <= capacity, "%s: count %d", name, count);
  } else {
    FUZZ_CHECK(count == -1, "%s not read, count %d", name, count);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The loader reads the current directory: a folder of the harness's own.
  std::string folder = (std::filesystem::temp_directory_path() / "varnel-fuzz-XXXXXX").string();
  FUZZ_CHECK(::mkdtemp(folder.data()) != nullptr, "no temporary folder");
  std::filesystem::current_path(folder);
  std::atexit([] {
    const std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path(here.parent_path());
    std::error_code ignored;
    std::filesystem::remove_all(here, ignored);
  });
  catalogues = std::make_unique<Catalogues>();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  const char* const names[] = {kEllipsoidFile, kDatumFile, kProjectionFile};
  int parts = 0;
  for (const char* name : names) std::remove(name);
  for (const char* name : names) {
    const size_t end = parts == 2 ? rest.npos : rest.find('\0');  // the last part takes the rest
    Write(name, rest.substr(0, end));
    ++parts;
    if (end == rest.npos) break;
    rest.remove_prefix(end + 1);
  }

  MessageRecorder recorder;
  int32_t ok = 123;
  LoadCatalogues(*catalogues, ok);
  FUZZ_CHECK(ok == (parts == 3 ? -1 : 0), "ok %d with %d files", ok, parts);
  CheckCount(catalogues->ellipsoidCount, parts >= 1, kEllipsoidCapacity, kEllipsoidFile);
  CheckCount(catalogues->datumCount, parts >= 2, kDatumCapacity, kDatumFile);
  CheckCount(catalogues->projectionCount, parts >= 3, kProjectionCapacity, kProjectionFile);
  const int32_t ellipsoids = std::max(catalogues->ellipsoidCount, 1);
  for (int32_t i = 1; i <= catalogues->datumCount; ++i) {
    const int32_t index = catalogues->Datum(i).ellipsoidIndex;
    FUZZ_CHECK(index >= 1 && index <= ellipsoids, "datum %d: ellipsoid %d", i, index);
  }
  const int32_t datums = std::max(catalogues->datumCount, 1);
  for (int32_t i = 1; i <= catalogues->projectionCount; ++i) {
    const int32_t index = catalogues->Projection(i).datumIndex;
    FUZZ_CHECK(index >= 1 && index <= datums, "projection %d: datum %d", i, index);
  }
  return 0;
}
