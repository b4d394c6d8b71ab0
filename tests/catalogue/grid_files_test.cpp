// Where grid files are looked for, and that a run reads each one once.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "catalogue.h"
#include "grid_files.h"
#include "temp_folder.h"

namespace {

// The named folder, then $VARNEL_GRIDS, before the catalogue folders; the
// first folder holding the name wins; a name no folder holds is not found.
TEST(GridFiles, NamedFolderFirstThenTheFirstHoldingTheName) {
  TempFolder named, other;
  WriteFile(other.path() + "/b.gsb", "other");
  WriteFile(named.path() + "/a.gsb", "named");
  WriteFile(other.path() + "/a.gsb", "other");
  const std::vector<std::string> folders = GridSearchFolders(named.path());
  ASSERT_FALSE(folders.empty());
  EXPECT_EQ(folders.front(), named.path());
  const std::vector<std::string> both = {named.path(), other.path()};
  EXPECT_EQ(FindGridFile("a.gsb", both), CatalogueFilePath(named.path(), "a.gsb"));
  EXPECT_EQ(FindGridFile("b.gsb", both), CatalogueFilePath(other.path(), "b.gsb"));
  EXPECT_EQ(FindGridFile("c.gsb", both), std::nullopt);
  EXPECT_EQ(FindGridFile("", both), std::nullopt);
}

// A grid is read at its first use and then served from memory, also after
// its file is gone; a missing one says so each time it is asked for.
TEST(GridFiles, AStoreReadsEachGridOnce) {
  TempFolder folder;
  WriteFile(folder.path() + "/a.gsb", "0123456789");
  GridStore store({folder.path()});
  std::string problem;
  const auto first = store.Get("a.gsb", &problem);
  ASSERT_NE(first, nullptr) << problem;
  EXPECT_EQ(first->bytes.size(), 10u);
  std::filesystem::remove(folder.path() + "/a.gsb");
  EXPECT_EQ(store.Get("a.gsb", &problem), first);
  EXPECT_EQ(store.Get("missing.gsb", &problem), nullptr);
  EXPECT_EQ(problem, "not found");
}

}  // namespace
