// PI, LIBMAIN, the floating-point mode and the library's error messages.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "errortext.h"
#include "floating_point_mode.h"
#include "internal.h"
#include "ostrak32.h"

using ostrak::Real;

namespace {

struct Shown {
  std::string text;
  bool hasCaption;
  unsigned style;
};
std::vector<Shown> shown;

}  // namespace

// The process's message box, which the library looks up at run time: an
// export of the program.
#ifdef _WIN32
#define PROGRAM_EXPORT __declspec(dllexport)
#else
#define PROGRAM_EXPORT __attribute__((visibility("default")))
#endif
extern "C" PROGRAM_EXPORT int MessageBoxA(void*, const char* text, const char* caption,
                                          unsigned style) {
  shown.push_back({text, caption != nullptr, style});
  return 1;
}

namespace {

TEST(LibraryPi, ExtendedPrecisionFacts) {
  const Real d2r = ostrak::PI / 180;
  char digits[64];
  std::snprintf(digits, sizeof digits, "%.20Lf", d2r);
  EXPECT_STREQ(digits, "0.01745329251994327778");
  EXPECT_EQ(180 * d2r, ostrak::PI);
  EXPECT_EQ(static_cast<double>(90 * d2r), 1.570796326794895);
  EXPECT_NE(static_cast<double>(90 * d2r), 1.5707963267948966);
  // Fifteen significant digits, short of pi by about 3.1e-15.
  EXPECT_NEAR(static_cast<double>(3.14159265358979323846L - ostrak::PI), 3.2e-15, 0.1e-15);
}

TEST(LibraryMain, AcknowledgesEveryNotificationAndKeepsPi) {
  int handle = 0;
  for (int32_t reason : {0, 1, 2, 3}) {
    EXPECT_EQ(LIBMAIN(nullptr, reason, nullptr), 1);
    EXPECT_EQ(LIBMAIN(&handle, reason, &handle), 1);
    EXPECT_EQ(ostrak::PI, 3.14159265358979L);
  }
}

TEST(LibraryMain, LoadSetsTheFloatingPointMode) {
  SetFpuControlWord(kFpuPrecisionExtended | kFpuRoundDown | kFpuExceptionMasks);
  SetComputingFloatingPointMode();
  EXPECT_EQ(FpuControlWord() & kFpuModeBits,
            kFpuPrecisionExtended | kFpuRoundToNearest | kFpuExceptionMasks);
}

TEST(LibraryErrorMessage, ShownThroughTheProcessMessageBox) {
  shown.clear();
  ostrak::ERRORMESSAGE("LATLONTOLCC", 5);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "DLL error 5 in LATLONTOLCC: Illegal function call!");
  EXPECT_FALSE(shown[0].hasCaption);
  EXPECT_EQ(shown[0].style, 0u);
}

TEST(LibraryErrorTrap, ReportsOnceWithTheLaterNumber) {
  shown.clear();
  {
    ostrak::LibraryErrorTrap trap("STARTTOWGS84");
    trap.Raise(61);
    trap.Raise(53);
  }
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "DLL error 53 in STARTTOWGS84: File not found!");
  EXPECT_EQ(ostrak::libraryErrorNumber, 53);
  { ostrak::LibraryErrorTrap trap("STARTTOWGS84"); }
  EXPECT_EQ(shown.size(), 1u);
  EXPECT_EQ(ostrak::libraryErrorNumber, 0);
}

TEST(LibraryErrorTrap, OrdinaryCallsReportNothing) {
  shown.clear();
  const EllipsoidRecord e{0, {}, 6378137.0, 6356752.314245179};
  double x = 0, y = 0, z = 0, lat = 0, lon = 0, h = 0;
  CONVERTLATLONTOXYZ(0.5, 0.5, 10, &x, &y, &z, &e);
  CONVERTXYZTOLATLON(x, y, z, 0.5, &lat, &lon, &h, &e);
  // Degenerate input is no run-time fault either.
  CONVERTXYZTOLATLON(0, 0, 0, 0, &lat, &lon, &h, &e);
  EXPECT_TRUE(shown.empty());
}

}  // namespace
