// Without a message box in the process the library's error message goes to standard error.
#include <gtest/gtest.h>

#include "internal.h"

TEST(LibraryErrorMessage, WrittenToStandardErrorWithoutAMessageBox) {
  testing::internal::CaptureStderr();
  ostrak::ERRORMESSAGE("TMTOLATLON", 11);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "DLL error 11 in TMTOLATLON: No description available.\n");
}
