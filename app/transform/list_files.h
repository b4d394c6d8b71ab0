// File services of list mode: existence and identity of list files, the
// conversion of Unix text to CR LF, and streaming line input and output.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "line_breaks.h"
#include "native_path.h"
#include "temporary_file.h"

// A regular file of that name exists.
bool ListFileExists(const std::string& name);

// The folder a file of that name would be in, as the name writes it, when
// there is no such folder; "" when there is, or the name has no folder part.
std::string MissingFolderOf(const std::string& name);

// Both names lead to one file (after the folder and links are resolved), or,
// where neither exists yet, to one path.
bool SameFile(const std::string& a, const std::string& b);
// The open descriptor (standard input, say) is a file of that name.
bool IsFileOfDescriptor(int fd, const std::string& name);

// Converts a list file whose first 256 bytes hold no carriage return (Unix
// text) to CR LF line ends, in place. errorNumber: 0 when the file was already
// DOS text or has been converted; -1 when it is Unix text but read-only (after
// a warning); otherwise the run-time error number, reported by the error trap.
// The converted text goes to a new temporary file in the same folder, which
// replaces the list file only when it is complete: a failure leaves the
// original as it was.
void ConvertListFile(const std::string& name, int32_t& errorNumber);

// The longest line a list may hold: a longer one (or a file without line
// ends, /dev/zero say) stops the run instead of filling the memory.
inline constexpr size_t kMaxLineBytes = size_t{64} << 20;

// Reads a file in chunks of whole lines, about chunkBytes each. A chunk ends
// after a line end (CR LF, CR or LF), never between the CR and LF of one; the
// last chunk takes the rest of the file, so a last line without an end is
// still a line. A line longer than a chunk makes a chunk of its own; one
// longer than maxLineBytes ends the reading (LineTooLong).
class ChunkReader {
 public:
  explicit ChunkReader(size_t chunkBytes = size_t{1} << 16, size_t maxLineBytes = kMaxLineBytes);
  ~ChunkReader();
  ChunkReader(const ChunkReader&) = delete;
  ChunkReader& operator=(const ChunkReader&) = delete;

  // 0, or the run-time error number (a folder is refused).
  int32_t Open(const std::string& name);
  // Reads an open descriptor (standard input, say), which Close leaves open.
  void Attach(int fd);
  // The next chunk; false at the end of the file, on an error or at a line
  // that is too long.
  bool Next(std::string& chunk);
  // The next line alone, without its end (a header, before the chunks of the
  // lines after it); false as Next.
  bool NextLine(std::string& line);
  int32_t Error() const { return error_; }
  bool LineTooLong() const { return lineTooLong_; }
  uint64_t BytesRead() const { return bytesRead_; }
  uint64_t Size() const { return size_; }  // of the file when opened
  void Close();

 private:
  void Reset();
  bool Fill();
  size_t CutAfterLastLine();

  int fd_ = -1;
  bool owned_ = true;
  size_t chunkBytes_;
  size_t maxLineBytes_;
  std::string buffer_;
  size_t begin_ = 0;
  size_t end_ = 0;
  size_t scanned_ = 0;  // no line end from begin_ up to here
  bool eof_ = false;
  bool lineTooLong_ = false;
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

// Writes a list output through a buffer; the first failure is kept.
// A regular file (or a new one) is written beside itself and takes its name
// only when Close succeeds: until then, and for good after a failure or
// Discard, the file keeps its earlier content and nothing is left beside it.
// A device or pipe given by name (/dev/null, a FIFO) is written as it goes.
class LineWriter {
 public:
  LineWriter() = default;
  ~LineWriter() { Discard(); }
  LineWriter(const LineWriter&) = delete;
  LineWriter& operator=(const LineWriter&) = delete;

  // 0, or the run-time error number (a folder is refused).
  int32_t Open(const std::string& name);
  // Writes to an open descriptor (standard output, say), which Close flushes but leaves open.
  void Attach(int fd);
  bool IsOpen() const { return fd_ >= 0; }
  void Write(std::string_view text);
  void EndLine() { Write("\r\n"); }
  // Writes out the buffer, so that the failures of writing show before
  // either of two outputs is put in place. 0, or the run-time error number.
  int32_t Flush();
  // Flushes and closes, putting a file written beside its name in its place
  // once it is on disk. 0, or the run-time error number of the first
  // failure: the file is then as it was.
  int32_t Close();
  // Ends the output without putting it in place; the file is as it was.
  void Discard();
  int32_t Error() const { return error_; }

 private:
  bool WriteBuffer();

  TemporaryFile temporary_;
  bool replacing_ = false;  // writing temporary_, which replaces the file
  int fd_ = -1;
  bool owned_ = false;
  bool flushed_ = false;
  std::string buffer_;
  int32_t error_ = 0;
};
