// Draws the progress window of a long list run over the main window, as a
// person sees it, and saves it as a PNG: run from a folder holding the
// catalogue files, with the picture's path as the argument
// (scripts/screenshot.sh does both).
//
// Start: geographic on OSGB 1936 in list mode, three million points from a
// list written into a temporary folder; target: the British National Grid.
// The picture is taken once two fifths of the input have been read, then the
// run is cancelled. Offscreen windows have no frames, so the progress
// window's caption bar is drawn here, in the classic Windows colours.
#include <QPainter>
#include <QPixmap>
#include <QTabBar>
#include <QTimer>
#include <QWidget>
#include <QtTest/QTest>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "progress_window.h"
#include "screenshot_support.h"

namespace {

std::string picture = "progress-window.png";
constexpr int kPoints = 3000000;
constexpr int kPercentShown = 40;

// The run's questions are answered Yes, its messages printed.
int32_t PrintMessage(const char* text, const char* caption, uint32_t style) {
  std::printf("%s: %s\n", caption ? caption : "Varnel", text);
  return (style & 0xFu) == MB_YESNO ? IDYES : IDOK;
}

void WritePoints(const std::filesystem::path& file) {
  std::ofstream points(file, std::ios::binary);
  for (int i = 0; i < kPoints; ++i) points << "50.3 0.3 0\r\n";
}

// The progress window with a caption bar over the main window, centred where
// the program put it.
QPixmap Compose(QWidget* main, QWidget* progress) {
  QPixmap picture = main->grab();
  QPainter painter(&picture);
  const QSize frame = FramedSize(progress);
  PaintFramed(painter,
              progress->geometry().center() - main->geometry().topLeft() -
                  QPoint(frame.width() / 2, frame.height() / 2),
              progress, QString::fromLatin1(kProgressCaption));
  return picture;
}

int PercentShown(HWND progress) {
  char text[64] = "";
  GetDlgItemTextA(progress, kProgressInputText, text, sizeof text);
  return std::atoi(text);
}

void ActAndSave(HWND window) {
  const bool chosen = ChooseGeographicToBritishNationalGrid(window);
  auto* tabs =
      qobject_cast<QTabBar*>(platform_testing::Widget(GetDlgItem(window, kStartGeographicTabs)));
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(kListModeTab).center());
  Type(StartSysList, kStartSysListBox, "points.txt");
  Type(TargetProjList, kTargetProjListBox, "grid.txt");

  // The run pumps its messages, so this looks in while it goes on.
  bool saved = false;
  QTimer look;
  look.callOnTimeout([&] {
    const HWND progress = ProgressWindow();
    if (progress == nullptr || PercentShown(progress) < kPercentShown) return;
    look.stop();
    saved = Compose(platform_testing::Widget(window), platform_testing::Widget(progress))
                .save(QString::fromStdString(picture));
    SendDlgItemMessageA(progress, IDCANCEL, BM_CLICK, 0, 0);
  });
  look.start(20);
  QTest::mouseClick(platform_testing::Widget(GetDlgItem(window, kTransformButton)), Qt::LeftButton);
  std::printf("%s %s\n", picture.c_str(), chosen && saved ? "saved" : "NOT saved");
  DestroyWindow(window);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  if (commandLine != nullptr && commandLine[0] != '\0') picture = commandLine;
  picture = std::filesystem::absolute(picture).string();  // the run changes the folder
  const HWND window = StartMainWindow(&PrintMessage);
  if (window == nullptr) return 1;
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / "varnel-progress-screenshot";
  std::filesystem::create_directories(folder);
  WritePoints(folder / "points.txt");
  SetCurrentDirectoryA(folder.c_str());
  QTimer::singleShot(300, [window] { ActAndSave(window); });
  RunMainWindow(window);
  std::filesystem::remove_all(folder);
  return 0;
}
