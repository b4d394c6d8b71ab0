// What the screenshot programs share: choosing list entries and typing into
// boxes as a user would, and the program's start-up without its loop.
#pragma once

#include <stdlib.h>

#include <QColor>
#include <QComboBox>
#include <QFont>
#include <QFontMetrics>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QString>
#include <filesystem>
#include <string>
#include <system_error>

#include <windows.h>

#include "catalogue.h"
#include "entry_pages.h"
#include "main_window.h"
#include "message.h"
#include "platform_testing.h"
#include "program_index.h"
#include "program_state.h"

// Offscreen windows have no frames: a popup window is drawn with a caption
// bar and border in the classic Windows colours.
inline constexpr int kFrameBorder = 3;

inline QFont CaptionFont(const QWidget* window) {
  QFont font = window->font();
  font.setBold(true);
  return font;
}

inline int CaptionHeight(const QWidget* window) {
  return QFontMetrics(CaptionFont(window)).height() + 6;
}

// The size of the window with its caption bar and border.
inline QSize FramedSize(const QWidget* window) {
  return window->size() + QSize(2 * kFrameBorder, CaptionHeight(window) + 2 * kFrameBorder);
}

// Paints the window with its caption bar and border, the frame's top left at `at`.
inline void PaintFramed(QPainter& painter, QPoint at, QWidget* window, const QString& caption) {
  const QPixmap client = window->grab();
  const int bar = CaptionHeight(window);
  const QRect frame(at, FramedSize(window));
  painter.fillRect(frame, QColor(212, 208, 200));
  painter.setPen(QColor(64, 64, 64));
  painter.drawRect(frame.adjusted(0, 0, -1, -1));
  painter.setPen(Qt::white);
  painter.drawRect(frame.adjusted(1, 1, -2, -2));
  const QRect title(frame.left() + kFrameBorder, frame.top() + kFrameBorder, client.width(), bar);
  QLinearGradient gradient(title.topLeft(), title.topRight());
  gradient.setColorAt(0, QColor(10, 36, 106));
  gradient.setColorAt(1, QColor(166, 202, 240));
  painter.fillRect(title, gradient);
  painter.setFont(CaptionFont(window));
  painter.drawText(title.adjusted(4, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, caption);
  painter.drawPixmap(title.bottomLeft() + QPoint(0, 1), client);
}

// The list entry whose text begins so, chosen as a user would.
inline bool Choose(HWND window, int list, const char* start) {
  auto* combo = qobject_cast<QComboBox*>(platform_testing::Widget(GetDlgItem(window, list)));
  const int index = combo->findText(QString::fromLatin1(start), Qt::MatchStartsWith);
  if (index < 0) return false;
  combo->setCurrentIndex(index);
  emit combo->activated(index);
  return true;
}

// Both sides on OSGB 1936, the target on the British National Grid.
inline bool ChooseGeographicToBritishNationalGrid(HWND window) {
  return Choose(window, kStartProjectionList, "none") &&
         Choose(window, kStartDatumList, "OSGB36 (UK - Great Britain onshore") &&
         Choose(window, kTargetProjectionList, "OSGB36 / British National Grid") &&
         Choose(window, kTargetDatumList, "OSGB36 (UK - Great Britain onshore");
}

inline void Type(PageId page, int box, const char* text) {
  auto* edit =
      qobject_cast<QLineEdit*>(platform_testing::Widget(GetDlgItem(PageWindow(page), box)));
  edit->setText(QString::fromLatin1(text));
}

// A folder of its own for the window's settings, removed at exit: a picture
// starts from the program's defaults and leaves the user's settings alone.
class OwnSettingsFolder {
 public:
  OwnSettingsFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "varnel-shot-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) folder_ = pattern;
    ::setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
  }
  ~OwnSettingsFolder() {
    std::error_code ignored;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
  }

 private:
  std::string folder_;
};

// The program as WinMain leaves it before its loop, with the catalogues and
// code index of the current folder and messages shown by `messages`; nullptr
// when they do not load.
inline HWND StartMainWindow(MessageFunction messages) {
  static OwnSettingsFolder settings;
  SetProgramConstants();
  InstallMessageFunction(messages);
  int32_t loaded = -1;
  LoadCatalogues(ProgramCatalogues(), loaded);
  if (loaded == 0) return nullptr;
  LoadProgramEpsgIndex("");
  return CreateMainWindow();
}
