#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#endif
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <vector>

#include <gtest/gtest.h>

#include "list_files.h"
#include "message_recorder.h"
#include "transform_fixtures.h"

namespace {

// The text with every LF turned into CR LF, worked out here independently.
std::string Dos(const std::string& unix) {
  std::string out;
  for (char c : unix) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

struct ConversionCase {
  const char* what;
  std::string before;
  std::string after;
};

TEST(ConvertListFile, ConvertsUnixTextAndLeavesDosText) {
  const std::string unix256 = std::string(251, '7') + " 1\n2\n";  // 256 bytes
  const std::string unix257 = std::string(252, '7') + " 1\n2\n";  // 257 bytes
  const std::string lateCr = std::string(300, '5') + "\n1 2\r\n3 4\n";
  const ConversionCase cases[] = {
      {"Unix lines", "1 2\n3 4\n", "1 2\r\n3 4\r\n"},
      {"exactly 256 bytes", unix256, Dos(unix256)},
      {"257 bytes", unix257, Dos(unix257)},
      {"a carriage return only after byte 256", lateCr, Dos(lateCr)},
      {"no line break at all", "12 34", "12 34"},
      {"empty", "", ""},
      {"DOS text", "1 2\r\n3 4\n", "1 2\r\n3 4\n"},
      {"carriage returns only", "1 2\r3 4\r", "1 2\r3 4\r"},
  };
  ASSERT_EQ(unix256.size(), 256u);
  ASSERT_EQ(unix257.size(), 257u);
  EXPECT_NE(Dos(lateCr).find("1 2\r\r\n"), std::string::npos);
  MessageRecorder recorder;
  for (const ConversionCase& c : cases) {
    TempFolder folder;
    const std::string file = folder.File("list.txt");
    WriteFile(file, c.before);
    int32_t error = 99;
    ConvertListFile(file, error);
    EXPECT_EQ(error, 0) << c.what;
    EXPECT_EQ(ReadFile(file), c.after) << c.what;
    EXPECT_EQ(FolderEntries(folder.path()), std::vector<std::string>{"list.txt"}) << c.what;
  }
  EXPECT_TRUE(recorder.messages().empty());
}

TEST(ConvertListFile, DosTextIsNeverRewritten) {
  TempFolder folder;
  const std::string file = folder.File("dos.txt");
  WriteFile(file, "1 2\r\n");
  // Not const: the Windows C library takes it through a plain pointer.
  struct utimbuf old {
    1000000000, 1000000000
  };
  ASSERT_EQ(::utime(file.c_str(), &old), 0);
  int32_t error = 0;
  ConvertListFile(file, error);
  struct stat status;
  ASSERT_EQ(::stat(file.c_str(), &status), 0);
  EXPECT_EQ(status.st_mtime, 1000000000);
}

TEST(ConvertListFile, ReadOnlyUnixTextIsReportedAndKept) {
  MessageRecorder recorder;
  TempFolder folder;
  const std::string file = folder.File("locked.txt");
  WriteFile(file, "1 2\n");
  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  int32_t error = 0;
  ConvertListFile("  " + file + " ", error);
  EXPECT_EQ(error, -1);
  EXPECT_EQ(ReadFile(file), "1 2\n");
  ASSERT_EQ(recorder.messages().size(), 1u);
  EXPECT_EQ(recorder.messages()[0].text,
            "Error: File " + file + " is in Unix-Ascii, but is read-only and cannot be converted.");
  EXPECT_EQ(recorder.messages()[0].caption, "Warning !");
  EXPECT_EQ(recorder.messages()[0].style, MB_ICONEXCLAMATION);  // not task-modal
}

TEST(ConvertListFile, AnExistingTmpfileIsLeftAlone) {
  TempFolder folder;
  WriteFile(folder.File("tmpfile.tmp"), "somebody else's data");
  WriteFile(folder.File("list.txt"), "1 2\n");
  int32_t error = 0;
  ConvertListFile(folder.File("list.txt"), error);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(ReadFile(folder.File("list.txt")), "1 2\r\n");
  EXPECT_EQ(ReadFile(folder.File("tmpfile.tmp")), "somebody else's data");
  EXPECT_EQ(FolderEntries(folder.path()), (std::vector<std::string>{"list.txt", "tmpfile.tmp"}));
}

int FailingRename(const char*, const char*) {
  errno = EACCES;
  return -1;
}

TEST(ConvertListFile, AFailedReplacementLeavesTheOriginal) {
  MessageRecorder recorder;
  TempFolder folder;
  const std::string file = folder.File("list.txt");
  WriteFile(file, "1 2\n3 4\n");
  SetRenameFunctionForTesting(&FailingRename);
  int32_t error = 0;
  ConvertListFile(file, error);
  SetRenameFunctionForTesting(nullptr);
  EXPECT_EQ(error, 70);
  EXPECT_EQ(ReadFile(file), "1 2\n3 4\n");
  EXPECT_EQ(FolderEntries(folder.path()), std::vector<std::string>{"list.txt"});
  EXPECT_EQ(recorder.texts(),
            std::vector<std::string>{
                "DLL/subroutine error 70 in ConvertListFile: File operation failed - permission "
                "denied!"});
}

#ifndef _WIN32
// POSIX only: fork, a file size limit and its signal, symbolic links (which
// need a privilege on Windows) and the permission bits.

// A conversion that dies half-way through writing (here: the file size limit
// kills it with SIGXFSZ, as SIGKILL would) leaves the folder as it was.
TEST(ConvertListFile, AProcessKilledWhileWritingLeavesNothingBehind) {
  TempFolder folder;
  const std::string file = folder.File("list.txt");
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "123456.78 654321.98\n";
  WriteFile(file, text);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const struct rlimit limit = {65536, 65536};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    int32_t error = 0;
    ConvertListFile(file, error);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
  EXPECT_EQ(ReadFile(file), text);
  EXPECT_EQ(FolderEntries(folder.path()), std::vector<std::string>{"list.txt"});
}

TEST(ConvertListFile, ThroughALinkTheTargetIsConvertedAndTheLinkStays) {
  TempFolder folder;
  WriteFile(folder.File("real.txt"), "1 2\n");
  std::filesystem::create_symlink(folder.File("real.txt"), folder.File("link.txt"));
  int32_t error = 0;
  ConvertListFile(folder.File("link.txt"), error);
  EXPECT_EQ(error, 0);
  EXPECT_TRUE(std::filesystem::is_symlink(folder.File("link.txt")));
  EXPECT_EQ(ReadFile(folder.File("real.txt")), "1 2\r\n");
}

// The replacement keeps the permissions, and where the process may give it
// (as root), the owner.
TEST(ConvertListFile, KeepsThePermissionsAndOwner) {
  TempFolder folder;
  const std::string file = folder.File("list.txt");
  WriteFile(file, "1 2\n");
  ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(file.c_str(), 4321, 4321), 0);
  }
  int32_t error = 0;
  ConvertListFile(file, error);
  struct stat status;
  ASSERT_EQ(::stat(file.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0640u);
  if (root) {
    EXPECT_EQ(status.st_uid, 4321u);
  }
}

// Where a file system has no unnamed files, the output's hidden name goes
// with the process that a signal ends.
TEST(LineWriter, AHiddenNameIsRemovedWhenASignalEndsTheProcess) {
  TempFolder folder;
  WriteFile(folder.File("out.txt"), "earlier\n");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    SetUnnamedFilesForTesting(false);
    LineWriter writer;
    if (writer.Open(folder.File("out.txt")) != 0) ::_exit(2);
    writer.Write("1\t2\r\n");
    writer.Flush();
    if (FolderEntries(folder.path()).size() != 2) ::_exit(3);  // no hidden file to remove
    ::raise(SIGTERM);
    ::_exit(4);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << WEXITSTATUS(status);
  EXPECT_EQ(WTERMSIG(status), SIGTERM);
  EXPECT_EQ(ReadFile(folder.File("out.txt")), "earlier\n");
  EXPECT_EQ(FolderEntries(folder.path()), std::vector<std::string>{"out.txt"});
}
#endif

std::vector<std::string> ReadLines(const std::string& path) {
  LineReader reader;
  EXPECT_EQ(reader.Open(path), 0);
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.Next(line)) lines.emplace_back(line);
  EXPECT_EQ(reader.Error(), 0);
  return lines;
}

TEST(LineReader, LineEnds) {
  TempFolder folder;
  const std::string file = folder.File("lines.txt");
  WriteFile(file, "a\r\nb\rc\nd\r\n\r\ne");
  EXPECT_EQ(ReadLines(file), (std::vector<std::string>{"a", "b", "c", "d", "", "e"}));
  WriteFile(file, "");
  EXPECT_TRUE(ReadLines(file).empty());
  WriteFile(file, "only\r\n");
  EXPECT_EQ(ReadLines(file), std::vector<std::string>{"only"});
  WriteFile(file, "\r\n");
  EXPECT_EQ(ReadLines(file), std::vector<std::string>{""});
}

TEST(LineReader, LineEndAcrossBlocksAndVeryLongLines) {
  TempFolder folder;
  const std::string file = folder.File("big.txt");
  // A CR as the last byte of the first 1 MiB block, its LF the first of the next.
  const std::string first(1048575, 'x');
  const std::string longLine(3 * 1048576 + 17, 'y');
  WriteFile(file, first + "\r\n" + longLine + "\nz");
  const std::vector<std::string> lines = ReadLines(file);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], first);
  EXPECT_EQ(lines[1], longLine);
  EXPECT_EQ(lines[2], "z");
}

// A header line taken alone, its end across reads or at the end of the
// file, and the chunks after it holding the rest exactly.
TEST(ChunkReader, AFirstLineAloneThenTheChunks) {
  TempFolder folder;
  const std::string file = folder.File("rows.csv");
  const struct {
    std::string text;
    std::string first;
    std::string rest;
  } cases[] = {
      {"id,e,n\r\n1,2,3\r\n4,5,6", "id,e,n", "1,2,3\r\n4,5,6"},
      {"id,e,n\n\r\n", "id,e,n", "\r\n"},
      {"id,e,n\r", "id,e,n", ""},
      {"id,e,n", "id,e,n", ""},
  };
  for (const auto& c : cases) {
    WriteFile(file, c.text);
    for (const size_t chunkBytes : {1, 3, 7, 64}) {
      ChunkReader reader(chunkBytes);
      ASSERT_EQ(reader.Open(file), 0);
      std::string first;
      ASSERT_TRUE(reader.NextLine(first));
      EXPECT_EQ(first, c.first) << chunkBytes;
      std::string rest;
      for (std::string chunk; reader.Next(chunk);) rest += chunk;
      EXPECT_EQ(rest, c.rest) << c.text << " in chunks of " << chunkBytes;
    }
  }
  WriteFile(file, "");
  ChunkReader empty;
  ASSERT_EQ(empty.Open(file), 0);
  std::string none;
  EXPECT_FALSE(empty.NextLine(none));
  EXPECT_EQ(empty.Error(), 0);
}

TEST(ListFiles, ExistenceIdentityAndWindowsPaths) {
  TempFolder folder;
  WriteFile(folder.File("a.txt"), "1");
  std::filesystem::create_directory(folder.File("sub"));
  EXPECT_TRUE(ListFileExists(folder.File("a.txt")));
  EXPECT_FALSE(ListFileExists(folder.File("b.txt")));
  EXPECT_FALSE(ListFileExists(folder.File("sub")));  // a folder is no list file
  EXPECT_TRUE(ListFileExists(folder.path() + "\\a.txt"));
  EXPECT_TRUE(SameFile(folder.File("a.txt"), folder.File("sub/../a.txt")));
  EXPECT_TRUE(SameFile(folder.File("new.txt"), folder.File("sub/../new.txt")));
  EXPECT_FALSE(SameFile(folder.File("a.txt"), folder.File("new.txt")));
#ifndef _WIN32  // symbolic links need a privilege on Windows
  std::filesystem::create_symlink(folder.File("a.txt"), folder.File("link.txt"));
  EXPECT_TRUE(SameFile(folder.File("link.txt"), folder.File("a.txt")));
#endif
}

}  // namespace
