// main() for GoogleTest programs that use the layer: the application as the
// program would have it, offscreen unless QT_QPA_PLATFORM says otherwise.
#include <gtest/gtest.h>

#include <QApplication>

#include "core.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  win32::InitializeApplication();
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  win32::DestroyAllWindows();
  return result;
}
