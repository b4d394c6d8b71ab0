// File services of list mode: existence and identity of list files, the
// conversion of Unix text to CR LF, and streaming line input and output.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "line_breaks.h"
#include "native_path.h"

// A regular file of that name exists.
bool ListFileExists(const std::string& name);

// Both names lead to one file (after the folder and links are resolved), or,
// where neither exists yet, to one path.
bool SameFile(const std::string& a, const std::string& b);

// Converts a list file whose first 256 bytes hold no carriage return (Unix
// text) to CR LF line ends, in place. errorNumber: 0 when the file was already
// DOS text or has been converted; -1 when it is Unix text but read-only (after
// a warning); otherwise the run-time error number, reported by the error trap.
// The converted text goes to a new temporary file in the same folder, which
// replaces the list file only when it is complete: a failure leaves the
// original as it was.
void ConvertListFile(const std::string& name, int32_t& errorNumber);

// Test seam: the rename that puts a converted file in place (nullptr: the C library's).
using RenameFunction = int (*)(const char* from, const char* to);
void SetRenameFunctionForTesting(RenameFunction rename);

// Reads a file in chunks of whole lines, about chunkBytes each. A chunk ends
// after a line end (CR LF, CR or LF), never between the CR and LF of one; the
// last chunk takes the rest of the file, so a last line without an end is
// still a line. A line longer than a chunk makes a chunk of its own.
class ChunkReader {
 public:
  explicit ChunkReader(size_t chunkBytes = size_t{1} << 16);
  ~ChunkReader();
  ChunkReader(const ChunkReader&) = delete;
  ChunkReader& operator=(const ChunkReader&) = delete;

  // 0, or the run-time error number.
  int32_t Open(const std::string& name);
  // Reads an open descriptor (standard input, say), which Close leaves open.
  void Attach(int fd);
  // The next chunk; false at the end of the file or on an error.
  bool Next(std::string& chunk);
  int32_t Error() const { return error_; }
  uint64_t BytesRead() const { return bytesRead_; }
  uint64_t Size() const { return size_; }  // of the file when opened
  void Close();

 private:
  bool Fill();
  size_t CutAfterLastLine() const;

  int fd_ = -1;
  bool owned_ = true;
  size_t chunkBytes_;
  std::string buffer_;
  size_t begin_ = 0;
  size_t end_ = 0;
  bool eof_ = false;
  int32_t error_ = 0;
  uint64_t bytesRead_ = 0;
  uint64_t size_ = 0;
};

// Reads a file line by line, through chunks; an empty file has no lines.
class LineReader {
 public:
  // 0, or the run-time error number.
  int32_t Open(const std::string& name);
  // The next line without its end; false at the end of the file or on an error.
  bool Next(std::string_view& line);
  int32_t Error() const { return chunks_.Error(); }
  void Close() { chunks_.Close(); }

 private:
  ChunkReader chunks_;
  std::string chunk_;
  TextLines lines_;
};

// Writes a file through a large buffer; the first failure is kept.
class LineWriter {
 public:
  LineWriter() = default;
  ~LineWriter();
  LineWriter(const LineWriter&) = delete;
  LineWriter& operator=(const LineWriter&) = delete;

  // Creates the file or empties it. 0, or the run-time error number.
  int32_t Open(const std::string& name);
  // Writes to an open stream (standard output, say), which Close flushes but leaves open.
  void Attach(std::FILE* stream);
  bool IsOpen() const { return file_ != nullptr; }
  void Write(std::string_view text);
  void EndLine() { Write("\r\n"); }
  // Flushes and closes; 0, or the run-time error number of the first failure.
  int32_t Close();
  int32_t Error() const { return error_; }

 private:
  std::FILE* file_ = nullptr;
  bool owned_ = true;
  int32_t error_ = 0;
};
