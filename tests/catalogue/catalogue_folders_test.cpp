// The order in which the programs look for their catalogues.
#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "catalogue.h"
#include "catalogue_folders.h"
#include "temp_folder.h"

namespace {

#ifdef _WIN32

// On Windows the installed folder is the running program's own: the test
// program's folder (ctest runs it from another), joined to a name as the
// catalogue loader joins them.
TEST(CatalogueFolders, InstalledFolderIsTheProgramsOwnOnWindows) {
  const std::string folder = InstalledCatalogueFolder();
  ASSERT_TRUE(std::filesystem::path(folder).is_absolute()) << folder;
  std::error_code error;
  EXPECT_TRUE(
      std::filesystem::is_regular_file(CatalogueFilePath(folder, "catalogue_tests.exe"), error))
      << folder;
}

#else  // the folder search order of Linux ($XDG_DATA_HOME, $HOME/.local/share)

enum class Held { kNone, kSome, kAll };
enum class Xdg { kUnset, kRelative, kAbsolute };
enum class Found { kNowhere, kCurrent, kXdg, kHome, kInstalled };

// An environment variable set (or unset) for a while.
class Environment {
 public:
  Environment(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = ::getenv(name)) previous_ = old;
    if (value) {
      ::setenv(name, value->c_str(), 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~Environment() {
    if (previous_) {
      ::setenv(name_, previous_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  Environment(const Environment&) = delete;
  Environment& operator=(const Environment&) = delete;

 private:
  const char* name_;
  std::optional<std::string> previous_;
};

void Fill(const std::string& folder, Held held) {
  std::filesystem::create_directories(folder);
  if (held == Held::kNone) return;
  WriteFile(folder + "/" + kEllipsoidFile, "0\r\n");
  WriteFile(folder + "/" + kDatumFile, "0\r\n");
  if (held == Held::kAll) WriteFile(folder + "/" + kProjectionFile, "0\r\n");
}

struct Case {
  const char* what;
  Held current;
  Xdg xdg;
  Held xdgFolder;   // $XDG_DATA_HOME/varnel (a relative one under the current folder)
  Held homeFolder;  // $HOME/.local/share/varnel
  Held installed;
  Found expected;
};

TEST(CatalogueFolders, CurrentThenUserThenInstalledAndOnlyWithAllThreeFiles) {
  const Case cases[] = {
      {"the current folder wins", Held::kAll, Xdg::kAbsolute, Held::kAll, Held::kAll, Held::kAll,
       Found::kCurrent},
      {"an incomplete current folder does not count", Held::kSome, Xdg::kAbsolute, Held::kAll,
       Held::kAll, Held::kAll, Found::kXdg},
      {"XDG_DATA_HOME takes the place of ~/.local/share", Held::kNone, Xdg::kAbsolute, Held::kNone,
       Held::kAll, Held::kAll, Found::kInstalled},
      {"~/.local/share without XDG_DATA_HOME", Held::kNone, Xdg::kUnset, Held::kAll, Held::kAll,
       Held::kAll, Found::kHome},
      {"a relative XDG_DATA_HOME is ignored", Held::kNone, Xdg::kRelative, Held::kAll, Held::kAll,
       Held::kAll, Found::kHome},
      {"an incomplete user folder does not count", Held::kNone, Xdg::kAbsolute, Held::kSome,
       Held::kNone, Held::kAll, Found::kInstalled},
      {"no folder holds all three", Held::kSome, Xdg::kAbsolute, Held::kSome, Held::kNone,
       Held::kSome, Found::kNowhere},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder temp;
    const std::string current = temp.File("current");
    const std::string home = temp.File("home");
    const std::string installed = temp.File("installed");
    Fill(current, c.current);
    Fill(home + "/.local/share/varnel", c.homeFolder);
    Fill(installed, c.installed);
    std::optional<std::string> xdg;
    if (c.xdg == Xdg::kAbsolute) {
      xdg = temp.File("xdg");
      Fill(*xdg + "/varnel", c.xdgFolder);
    } else if (c.xdg == Xdg::kRelative) {
      xdg = "xdg";
      Fill(current + "/xdg/varnel", c.xdgFolder);
    }
    CurrentDirectory inCurrent(current);
    Environment setHome("HOME", home);
    Environment setXdg("XDG_DATA_HOME", xdg);

    const std::optional<std::string> found = FindCatalogueFolder(CatalogueSearchFolders(installed));
    const std::optional<std::string> expected[] = {std::nullopt, "", temp.File("xdg/varnel"),
                                                   home + "/.local/share/varnel", installed};
    EXPECT_EQ(found, expected[static_cast<int>(c.expected)]);
  }
}

#endif

}  // namespace
