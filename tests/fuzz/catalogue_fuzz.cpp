// LoadCatalogues on any bytes: the input, cut at its first two NUL bytes, is
// written as ellips.txt, datums.txt and projct.txt (a file with no part is
// left missing). Loading must not fault. It ends with ok -1 and no error
// message, or with ok 0 and an error message naming a file as its last,
// after which no file is read. Either way every record within the counts
// holds what the loader lets through: axes, shifts and projection values
// within their ranges, each datum's ellipsoid and each projection's datum
// found by name.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

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

// A name as the files compare it: blanks at the ends dropped, a to z upper case.
std::string Folded(const char* field, size_t width) {
  std::string name(field, strnlen(field, width));
  name.erase(0, std::min(name.find_first_not_of(' '), name.size()));
  name.erase(name.find_last_not_of(' ') + 1);
  for (char& c : name) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return name;
}

bool Within(double value, double limit) {
  return value >= -limit && value <= limit;
}

void CheckRecords(const Catalogues& c) {
  for (int32_t i = 1; i <= c.ellipsoidCount; ++i) {
    const double a = c.Ellipsoid(i).semiMajorAxis, b = c.Ellipsoid(i).semiMinorAxis;
    FUZZ_CHECK(6.2e6 < b && b <= a && a < 6.5e6, "ellipsoid %d: a %g, b %g", i, a, b);
  }
  for (int32_t i = 1; i <= c.datumCount; ++i) {
    const DatumRecord& d = c.Datum(i);
    const int32_t e = d.ellipsoidIndex;
    FUZZ_CHECK(e >= 1 && e <= c.ellipsoidCount, "datum %d: ellipsoid %d", i, e);
    FUZZ_CHECK(Folded(c.Ellipsoid(e).name, kEllipsoidNameWidth) ==
                   Folded(d.ellipsoidName, kEllipsoidNameWidth),
               "datum %d: ellipsoid %d has another name", i, e);
    FUZZ_CHECK(
        Within(d.translationX, 1e4) && Within(d.translationY, 1e4) && Within(d.translationZ, 1e4),
        "datum %d: translations", i);
    FUZZ_CHECK(Within(d.rotationX, 1e-3) && Within(d.rotationY, 1e-3) && Within(d.rotationZ, 1e-3),
               "datum %d: rotations", i);
    FUZZ_CHECK(Within(d.scaleDifference, 1e-3), "datum %d: scale difference", i);
  }
  for (int32_t i = 1; i <= c.projectionCount; ++i) {
    const ProjectionRecord& p = c.Projection(i);
    const int32_t d = p.datumIndex;
    FUZZ_CHECK(d >= 1 && d <= c.datumCount, "projection %d: datum %d", i, d);
    const std::string wanted = Folded(p.datumName, kDatumNameWidth);
    FUZZ_CHECK(!wanted.empty() &&
                   Folded(c.Datum(d).name, kDatumNameWidth).find(wanted) != std::string::npos,
               "projection %d: datum %d is not named so", i, d);
    FUZZ_CHECK(p.scaleFactor > 0 && p.scaleFactor <= 2, "projection %d: scale factor", i);
    FUZZ_CHECK(Within(p.latitudeOfOrigin, 90) && Within(p.firstStandardParallel, 90) &&
                   Within(p.secondStandardParallel, 90) && Within(p.centralMeridian, 180),
               "projection %d: angles", i);
    FUZZ_CHECK(std::isfinite(p.falseEasting) && std::isfinite(p.falseNorthing),
               "projection %d: false origin", i);
  }
}

bool EndsWith(const std::string& text, std::string_view end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
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
  // The files read: all three, or up to the one the error message names.
  int read = 3;
  if (ok == 0) {
    const std::vector<RecordedMessage>& shown = recorder.messages();
    FUZZ_CHECK(!shown.empty() && shown.back().caption == kCaptionError, "ok 0 without an error");
    const std::string& text = shown.back().text;
    read = 0;
    while (read < 3 && text.rfind(std::string("File '") + names[read] + "'", 0) != 0) ++read;
    FUZZ_CHECK(read < 3 && EndsWith(text, "Program stops"), "error \"%s\"", text.c_str());
    ++read;
  } else {
    FUZZ_CHECK(ok == -1 && parts == 3, "ok %d with %d files", ok, parts);
    for (const RecordedMessage& message : recorder.messages()) {
      FUZZ_CHECK(message.caption != kCaptionError, "error \"%s\" with ok -1", message.text.c_str());
    }
  }
  CheckCount(catalogues->ellipsoidCount, read >= 1 && parts >= 1, kEllipsoidCapacity,
             kEllipsoidFile);
  CheckCount(catalogues->datumCount, read >= 2 && parts >= 2, kDatumCapacity, kDatumFile);
  CheckCount(catalogues->projectionCount, read >= 3 && parts >= 3, kProjectionCapacity,
             kProjectionFile);
  CheckRecords(*catalogues);
  return 0;
}
