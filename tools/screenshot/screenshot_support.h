// What the screenshot programs share: choosing list entries and typing into
// boxes as a user would, and the program's start-up without its loop.
#pragma once

#include <stdlib.h>

#include <QComboBox>
#include <QLineEdit>
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
