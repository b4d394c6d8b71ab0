// A failed allocation in the middle of a list run ends the run at the edge of
// the trapped routine: reported through its trap, files closed, the output
// as it was before the run, nothing thrown into the caller.
#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <new>

#include <gtest/gtest.h>

#include "list_transform.h"
#include "message_recorder.h"
#include "transform_fixtures.h"

namespace {

// While set, allocations of at least this many bytes fail.
size_t failFrom = SIZE_MAX;

void* Allocate(size_t size) {
  if (size >= failFrom) throw std::bad_alloc();
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(size_t size) {
  return Allocate(size);
}
void* operator new[](size_t size) {
  return Allocate(size);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, size_t) noexcept {
  std::free(p);
}

namespace {

#ifdef _WIN32
// The process's open handles: files, and threads not yet closed.
size_t OpenDescriptors() {
  DWORD count = 0;
  GetProcessHandleCount(GetCurrentProcess(), &count);
  return count;
}
#else
size_t OpenDescriptors() {
  size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    ++count;
  }
  return count;
}
#endif

TEST(ListRunEdge, AFailedAllocationEndsTheRunWithItsMessageAndClosedFiles) {
  SetProgramConstants();
  const std::unique_ptr<Catalogues> catalogues = EmptyCatalogues();
  const DatumRecord osgb = Datum("OSGB 1936", kGeocentricTranslations, 375, -111, 431);
  CrsSide start = Side(NoProjection(), osgb, Airy1830());
  CrsSide target = Side(BritishNationalGrid(), osgb, Airy1830());
  TempFolder folder;
  ListBoxes boxes;
  boxes.startSysList = folder.File("in.txt");
  boxes.targetProjList = folder.File("grid.txt");
  // An earlier run's output, which the failed run must leave as it was.
  WriteFile(folder.File("grid.txt"), "earlier\r\n");
  targetProjListFile = folder.File("grid.txt");
  // The reader's buffer (2 MiB) must grow to 4 MiB for the long second line.
  WriteFile(folder.File("in.txt"),
            "49 -2 0\r\n" + std::string(2560 * 1024, '1') + "\r\n49 -2 0\r\n");
  MessageRecorder recorder;
  const size_t descriptors = OpenDescriptors();

  failFrom = 3 * 1024 * 1024;
  TransformList(start, target, *catalogues, boxes);
  failFrom = SIZE_MAX;

  EXPECT_EQ(recorder.texts(),
            std::vector<std::string>{
                "DLL/subroutine error 7 in TransformCommand: Subroutine ran out of memory!"});
  EXPECT_EQ(ReadFile(folder.File("grid.txt")), "earlier\r\n");
  EXPECT_EQ(OpenDescriptors(), descriptors);
  EXPECT_EQ(targetProjListFile, folder.File("grid.txt"));  // a rerun replaces it unasked
}

}  // namespace
