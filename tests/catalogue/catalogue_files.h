// Catalogue files written by the tests into a fresh directory, which is the
// current directory while a test runs.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "catalogue.h"
#include "fixed_text.h"

class CatalogueFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = std::filesystem::current_path();
    std::string pattern = (std::filesystem::temp_directory_path() / "varnel-cat-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    directory_ = pattern;
    std::filesystem::current_path(directory_);
    catalogues_ = std::make_unique<Catalogues>();
  }
  void TearDown() override {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(directory_);
  }

  static void Write(const char* name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
  }

  // Loads the catalogues from the current directory and gives ok.
  int32_t Load() {
    int32_t ok = 12345;
    LoadCatalogues(*catalogues_, ok);
    return ok;
  }

  Catalogues& catalogues() { return *catalogues_; }

 private:
  std::filesystem::path previous_;
  std::filesystem::path directory_;
  std::unique_ptr<Catalogues> catalogues_;
};

template <size_t N>
std::string Trimmed(const char (&field)[N]) {
  return TrimmedField(field);
}
