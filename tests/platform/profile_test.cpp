// Initialisation files as Win32 reads and writes them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <windows.h>

namespace {

struct ProfileTest : testing::Test {
  ProfileTest() {
    folder = std::filesystem::temp_directory_path() /
             ("varnel-profile-" + std::to_string(std::rand()) + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    file = (folder / "Varnel3.ini").string();
  }
  ~ProfileTest() override { std::filesystem::remove_all(folder); }
  std::string Get(const char* section, const char* key, const char* fallback = "none",
                  DWORD size = 64) {
    char buffer[64] = {};
    const DWORD length =
        GetPrivateProfileStringA(section, key, fallback, buffer, size, file.c_str());
    return std::string(buffer, length);
  }
  std::string Contents() {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::filesystem::path folder;
  std::string file;
};

TEST_F(ProfileTest, ReadsNamesWithoutCaseValuesWithoutBlanksOrQuotes) {
  EXPECT_EQ(Get("Start", "Projection", "metre  "), "metre");  // no file: the default, trimmed
  std::ofstream(file, std::ios::binary)
      << "[Start]\r\n Projection = NAD27 / BLM 14N (ftUS) \r\n"
         "Quoted=\"  two blanks  \"\r\n[Target]\nLengthUnit=607\n";
  EXPECT_EQ(Get("start", "PROJECTION"), "NAD27 / BLM 14N (ftUS)");
  EXPECT_EQ(Get("Start", "Quoted"), "  two blanks  ");
  EXPECT_EQ(Get("Target", "LengthUnit"), "607");
  EXPECT_EQ(Get("Target", "Projection"), "none");         // another section's key
  EXPECT_EQ(Get("Start", "Projection", "", 6), "NAD27");  // cut to the buffer
  EXPECT_EQ(Get("Start", nullptr), std::string("Projection\0Quoted\0", 18));
  EXPECT_EQ(Get(nullptr, nullptr), std::string("Start\0Target\0", 13));
}

TEST_F(ProfileTest, WritesReplacesAndDeletesKeepingTheOtherLines) {
  std::ofstream(file, std::ios::binary)
      << "; kept\r\n[Start]\r\nAngleFormat=1\r\n\r\n[Other]\r\nx=1\r\n";
  EXPECT_TRUE(WritePrivateProfileStringA("start", "angleformat", "0", file.c_str()));
  EXPECT_TRUE(WritePrivateProfileStringA("Start", "LengthUnit", "607", file.c_str()));
  EXPECT_TRUE(WritePrivateProfileStringA("Target", "Projection", "none", file.c_str()));
  EXPECT_TRUE(WritePrivateProfileStringA("Other", "x", nullptr, file.c_str()));
  EXPECT_EQ(Contents(),
            "; kept\r\n[Start]\r\nangleformat=0\r\nLengthUnit=607\r\n\r\n[Other]\r\n"
            "[Target]\r\nProjection=none\r\n");
  EXPECT_TRUE(WritePrivateProfileStringA("Other", nullptr, nullptr, file.c_str()));
  EXPECT_EQ(Get(nullptr, nullptr), std::string("Start\0Target\0", 13));
  EXPECT_FALSE(WritePrivateProfileStringA("Start", "x", "1", (folder / "no/such.ini").c_str()));
}

}  // namespace
