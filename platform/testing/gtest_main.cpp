// main() for GoogleTest programs that use the layer: the application as the
// program would have it, with the seam's hook installed from the start,
// offscreen unless QT_QPA_PLATFORM says otherwise.
#include <gtest/gtest.h>

#include <QApplication>

#include "../src/core.h"
#include "platform_testing.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  platform_testing::InitializeApplication();
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  win32::DestroyAllWindows();
  return result;
}
