// Draws the main window as a person sees it after transforming one point, and
// saves it as a PNG: run from a folder holding the catalogue files, with the
// picture's path as the argument (scripts/screenshot.sh does both).
//
// Start: geographic on OSGB 1936; target: the British National Grid; the
// point 50 30 N, 0 30 E.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>
#include <QtTest/QTest>

#include <windows.h>

#include <cstdio>
#include <string>

#include "catalogue.h"
#include "entry_pages.h"
#include "fixed_text.h"
#include "main_window.h"
#include "message.h"
#include "platform_testing.h"
#include "program_state.h"

namespace {

std::string picture = "main-window.png";

int32_t ShowMessageBox(const char* text, const char* caption, uint32_t style) {
  return MessageBoxA(nullptr, text, caption, style);
}

// The list entry whose text begins so, chosen as a user would.
bool Choose(HWND window, int list, const char* start) {
  auto* combo = qobject_cast<QComboBox*>(platform_testing::Widget(GetDlgItem(window, list)));
  const int index = combo->findText(QString::fromLatin1(start), Qt::MatchStartsWith);
  if (index < 0) return false;
  combo->setCurrentIndex(index);
  emit combo->activated(index);
  return true;
}

void Type(PageId page, int box, const char* text) {
  auto* edit =
      qobject_cast<QLineEdit*>(platform_testing::Widget(GetDlgItem(PageWindow(page), box)));
  edit->setText(QString::fromLatin1(text));
}

void ActAndSave(HWND window) {
  const bool chosen = Choose(window, kStartProjectionList, "none") &&
                      Choose(window, kStartDatumList, "OSGB36 (UK - Great Britain onshore") &&
                      Choose(window, kTargetProjectionList, "OSGB36 / British National Grid") &&
                      Choose(window, kTargetDatumList, "OSGB36 (UK - Great Britain onshore");
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
  SetProgramConstants();
  InstallMessageFunction(&ShowMessageBox);
  int32_t loaded = -1;
  LoadCatalogues(ProgramCatalogues(), loaded);
  if (loaded == 0) return 1;
  const HWND window = CreateMainWindow();
  QTimer::singleShot(300, [window] { ActAndSave(window); });
  RunMainWindow(window);
  return 0;
}
