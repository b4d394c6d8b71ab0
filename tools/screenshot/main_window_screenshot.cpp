// Draws the main window as a person sees it after transforming one point, and
// saves it as a PNG: run from a folder holding the catalogue files, with the
// picture's path as the argument (scripts/screenshot.sh does both).
//
// Start: geographic on OSGB 1936; target: the British National Grid; the
// point 50 30 N, 0 30 E.
#include <QTimer>
#include <QWidget>
#include <QtTest/QTest>

#include <cstdio>
#include <string>

#include "screenshot_support.h"

namespace {

std::string picture = "main-window.png";

int32_t ShowMessageBox(const char* text, const char* caption, uint32_t style) {
  return MessageBoxA(nullptr, text, caption, style);
}

void ActAndSave(HWND window) {
  const bool chosen = ChooseGeographicToBritishNationalGrid(window);
  Type(StartLatLon, kStartLatitudeBox, "50.3000000");
  Type(StartLatLon, kStartLongitudeBox, "0.3000000");
  Type(StartLatLon, kStartHeightBox, "0");
  QTest::mouseClick(platform_testing::Widget(GetDlgItem(window, kTransformButton)), Qt::LeftButton);
  const bool saved = platform_testing::Widget(window)->grab().save(QString::fromStdString(picture));
  std::printf("%s %s\n", picture.c_str(), chosen && saved ? "saved" : "NOT saved");
  DestroyWindow(window);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  if (commandLine != nullptr && commandLine[0] != '\0') picture = commandLine;
  const HWND window = StartMainWindow(&ShowMessageBox);
  if (window == nullptr) return 1;
  QTimer::singleShot(300, [window] { ActAndSave(window); });
  RunMainWindow(window);
  return 0;
}
