// Draws two pictures of the main window with the shipped catalogues and code
// index, and saves them as PNGs into the folder given as the argument (run
// from a folder holding the catalogue files; scripts/screenshot.sh does both):
//
// - system-search.png: "blm 14n" typed into the target projection list, with
//   the window of matches open under it;
// - foot-system-result.png: the chosen "NAD27 / BLM 14N (ftUS)" (UTM zone 14N
//   in US survey feet) as target, the point 35 30 N, 99 W on its own datum
//   transformed, its easting and northing in feet and the unit named under them.
#include <QApplication>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <QtTest/QTest>

#include <cstdio>
#include <string>

#include "screenshot_support.h"
#include "system_search.h"

namespace {

std::string folder = ".";

int32_t PrintMessage(const char* text, const char* caption, uint32_t) {
  std::printf("%s: %s\n", caption ? caption : "Varnel", text);
  return IDOK;
}

std::string WindowTextOf(HWND window) {
  char text[256] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// The main window with the search window where the program put it.
QPixmap WithSearch(HWND window) {
  QWidget* main = platform_testing::Widget(window);
  QWidget* search = platform_testing::Widget(SystemSearchWindow());
  const QSize framed = FramedSize(search);
  const QPoint at = search->geometry().topLeft() - main->geometry().topLeft();
  const QRect all = QRect(QPoint(0, 0), main->size()).united(QRect(at, framed));
  QPixmap picture(all.size());
  picture.fill(Qt::white);
  QPainter painter(&picture);
  painter.drawPixmap(-all.topLeft(), main->grab());
  PaintFramed(painter, at - all.topLeft(), search,
              QString::fromLatin1(WindowTextOf(SystemSearchWindow()).c_str()));
  return picture;
}

bool Save(const QPixmap& picture, const char* name) {
  const std::string path = folder + "/" + name;
  const bool saved = picture.save(QString::fromStdString(path));
  std::printf("%s %s\n", path.c_str(), saved ? "saved" : "NOT saved");
  return saved;
}

void ActAndSave(HWND window) {
  // Typing into the list opens the search; the rest is typed into its box.
  auto* target =
      qobject_cast<QComboBox*>(platform_testing::Widget(GetDlgItem(window, kTargetProjectionList)));
  target->lineEdit()->selectAll();
  QTest::keyClicks(target->lineEdit(), "b");
  QTest::keyClicks(QApplication::focusWidget(), "lm 14n");
  const HWND search = SystemSearchWindow();
  auto* matches =
      qobject_cast<QListWidget*>(platform_testing::Widget(GetDlgItem(search, kSearchMatchList)));
  const QList<QListWidgetItem*> wanted =
      matches->findItems("NAD27 / BLM 14N (ftUS)", Qt::MatchExactly);
  if (!wanted.isEmpty()) matches->setCurrentItem(wanted.front());
  Save(WithSearch(window), "system-search.png");
  QTest::keyClick(matches, Qt::Key_Return);

  // The start: geographic on the target's own datum.
  char datum[1100] = "";
  const LRESULT chosen = SendDlgItemMessageA(window, kTargetDatumList, CB_GETCURSEL, 0, 0);
  SendDlgItemMessageA(window, kTargetDatumList, CB_GETLBTEXT, chosen,
                      reinterpret_cast<LPARAM>(datum));
  Choose(window, kStartProjectionList, "none");
  Choose(window, kStartDatumList, datum);
  Type(StartLatLon, kStartLatitudeBox, "35.3");
  Type(StartLatLon, kStartLongitudeBox, "-99");
  Type(StartLatLon, kStartHeightBox, "0");
  QTest::mouseClick(platform_testing::Widget(GetDlgItem(window, kTransformButton)), Qt::LeftButton);
  Save(platform_testing::Widget(window)->grab(), "foot-system-result.png");
  DestroyWindow(window);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  if (commandLine != nullptr && commandLine[0] != '\0') folder = commandLine;
  const HWND window = StartMainWindow(&PrintMessage);
  if (window == nullptr) return 1;
  QTimer::singleShot(300, [window] { ActAndSave(window); });
  RunMainWindow(window);
  return 0;
}
