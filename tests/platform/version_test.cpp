// The version record embedded by varnel_embed_version_info (this test program
// carries product version 3.0.0.2 and file version 1.2.3.4) and read back as
// the About box reads it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <vector>

#include "windows.h"

namespace {

std::vector<unsigned char> Block(const char* path) {
  DWORD handle = 99;
  const DWORD size = GetFileVersionInfoSizeA(path, &handle);
  EXPECT_EQ(handle, 0u);
  std::vector<unsigned char> block(size);
  if (size > 0) {
    EXPECT_TRUE(GetFileVersionInfoA(path, 0, size, block.data()));
  }
  return block;
}

TEST(VersionRecord, RoundTripsThroughTheExecutable) {
  std::vector<unsigned char> block = Block("/proc/self/exe");
  ASSERT_EQ(block.size(), 92u);
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &length));
  ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(reinterpret_cast<unsigned char*>(info) - block.data(), 40);  // as in a PE resource
  EXPECT_EQ(info->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(info->dwProductVersionMS, 0x00030000u);
  EXPECT_EQ(info->dwProductVersionLS, 0x00000002u);
  EXPECT_EQ(info->dwFileVersionMS, 0x00010002u);
  EXPECT_EQ(info->dwFileVersionLS, 0x00030004u);

  // The About box's rule: high and low word of MS in hexadecimal, LS in decimal.
  char text[64];
  std::snprintf(text, sizeof text, "%X.%X.%u", HIWORD(info->dwProductVersionMS),
                LOWORD(info->dwProductVersionMS), info->dwProductVersionLS);
  EXPECT_STREQ(text, "3.0.2");
  EXPECT_FALSE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904b0\\ProductVersion",
                              reinterpret_cast<void**>(&info), &length));
}

TEST(VersionRecord, IsFoundThroughAWindowsPathToACopy) {
  QTemporaryDir folder;
  ASSERT_TRUE(QDir(folder.path()).mkdir("bin"));
  ASSERT_TRUE(QFile::copy("/proc/self/exe", folder.path() + "/bin/Varnel3"));
  const QString previous = QDir::currentPath();
  QDir::setCurrent(folder.path());
  EXPECT_EQ(Block("bin\\Varnel3").size(), 92u);
  QDir::setCurrent(previous);
}

TEST(VersionRecord, FilesWithoutARecordGiveNone) {
  QTemporaryDir folder;
  const std::string text = folder.path().toStdString() + "/notes.txt";
  std::ofstream(text) << "VS_VERSION_INFO is only text here";
  EXPECT_EQ(GetFileVersionInfoSizeA(text.c_str(), nullptr), 0u);
  EXPECT_EQ(GetFileVersionInfoSizeA((folder.path().toStdString() + "/absent").c_str(), nullptr),
            0u);
  // An executable cut short loses its section table.
  const std::string cut = folder.path().toStdString() + "/cut";
  {
    std::ifstream in("/proc/self/exe", std::ios::binary);
    std::vector<char> head(4096);
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    std::ofstream(cut, std::ios::binary).write(head.data(), in.gcount());
  }
  EXPECT_EQ(GetFileVersionInfoSizeA(cut.c_str(), nullptr), 0u);
  unsigned char buffer[92] = {};
  EXPECT_FALSE(GetFileVersionInfoA(cut.c_str(), 0, sizeof buffer, buffer));
}

}  // namespace
