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
#include "temp_folder.h"

class CatalogueFiles : public ::testing::Test {
 protected:
  void SetUp() override { catalogues_ = std::make_unique<Catalogues>(); }

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
  TempFolder directory_;
  CurrentDirectory inDirectory_{directory_.path()};
  std::unique_ptr<Catalogues> catalogues_;
};

template <size_t N>
std::string Trimmed(const char (&field)[N]) {
  return TrimmedField(field);
}
