#include "list_files.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <io.h>
#include <windows.h>
#endif
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>

#include "errormessage.h"
#include "file_errors.h"
#include "fixed_text.h"
#include "line_breaks.h"
#include "message.h"

namespace {

constexpr size_t kDetectBytes = 256;

// Platform seams: opening, the full path of a name and a file's
// identity.
#ifdef _WIN32
int OpenForReading(const char* path) {
  return ::_open(path, _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}

int OpenForWriting(const char* path) {
  return ::_open(path, _O_WRONLY | _O_BINARY | _O_NOINHERIT);
}

// The real file behind any links, as a path with its drive (or a UNC path).
bool FullPath(const std::string& name, std::string& path) {
  const HANDLE file =
      CreateFileA(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    SetErrnoFromLastError();
    return false;
  }
  char buffer[MAX_PATH + 8];
  const DWORD length = GetFinalPathNameByHandleA(file, buffer, sizeof buffer,
                                                 FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (length == 0) SetErrnoFromLastError();
  CloseHandle(file);
  if (length == 0 || length >= sizeof buffer) {
    if (length >= sizeof buffer) errno = ENAMETOOLONG;
    return false;
  }
  const std::string_view resolved(buffer, length);
  if (resolved.starts_with("\\\\?\\UNC\\")) {
    path = "\\\\" + std::string(resolved.substr(8));
  } else if (resolved.starts_with("\\\\?\\")) {
    path = resolved.substr(4);
  } else {
    path = resolved;
  }
  return true;
}

// The volume and the file index: the same pair is the same file.
using FileId = std::pair<uint64_t, uint64_t>;
bool HandleIdentity(HANDLE file, FileId& id) {
  BY_HANDLE_FILE_INFORMATION information;
  if (GetFileInformationByHandle(file, &information) == 0) return false;
  id = {information.dwVolumeSerialNumber,
        (uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow};
  return true;
}

bool DescriptorIdentity(int fd, FileId& id) {
  const intptr_t handle = ::_get_osfhandle(fd);
  return handle != -1 && GetFileType(reinterpret_cast<HANDLE>(handle)) == FILE_TYPE_DISK &&
         HandleIdentity(reinterpret_cast<HANDLE>(handle), id);
}

bool FileIdentity(const std::string& path, FileId& id) {
  const HANDLE file =
      CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool ok = HandleIdentity(file, id);
  CloseHandle(file);
  return ok;
}
#else
int OpenForReading(const char* path) {
  return ::open(path, O_RDONLY | O_CLOEXEC);
}

int OpenForWriting(const char* path) {
  return ::open(path, O_WRONLY | O_CLOEXEC);
}

// The real file behind any links.
bool FullPath(const std::string& name, std::string& path) {
  char resolved[PATH_MAX];
  if (::realpath(name.c_str(), resolved) == nullptr) return false;
  path = resolved;
  return true;
}

using FileId = std::pair<uint64_t, uint64_t>;
FileId IdentityOf(const struct stat& status) {
  return {static_cast<uint64_t>(status.st_dev), static_cast<uint64_t>(status.st_ino)};
}

bool FileIdentity(const std::string& path, FileId& id) {
  struct stat status;
  if (::stat(path.c_str(), &status) != 0) return false;
  id = IdentityOf(status);
  return true;
}

// Regular files only: a terminal or a pipe is no file that could be named.
bool DescriptorIdentity(int fd, FileId& id) {
  struct stat status;
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) return false;
  id = IdentityOf(status);
  return true;
}
#endif

constexpr size_t kBlockSize = 1 << 20;
// A list output goes out in pieces of this size: about a chunk of the engine.
constexpr size_t kWriteBufferBytes = 1 << 16;

// Closes a descriptor when it goes out of scope.
struct Descriptor {
  int fd = -1;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
  bool Close() {
    const int result = ::close(fd);
    fd = -1;
    return result == 0;
  }
};

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

ssize_t ReadSome(int fd, char* data, size_t size) {
  ssize_t got;
  do {
    got = ::read(fd, data, size);
  } while (got < 0 && errno == EINTR);
  return got;
}

// Reads up to size bytes, fewer only at the end of the file.
ssize_t ReadFully(int fd, char* data, size_t size) {
  size_t total = 0;
  while (total < size) {
    const ssize_t got = ReadSome(fd, data + total, size - total);
    if (got < 0) return -1;
    if (got == 0) break;
    total += static_cast<size_t>(got);
  }
  return static_cast<ssize_t>(total);
}

// Copies the open source to destination with every LF turned into CR LF.
bool CopyAsDosText(int source, int destination) {
  std::unique_ptr<char[]> in(new char[kBlockSize]);
  std::unique_ptr<char[]> out(new char[2 * kBlockSize]);
  for (;;) {
    const ssize_t got = ReadSome(source, in.get(), kBlockSize);
    if (got < 0) return false;
    if (got == 0) return true;
    size_t size = 0;
    for (ssize_t i = 0; i < got; ++i) {
      if (in[i] == '\n') out[size++] = '\r';
      out[size++] = in[i];
    }
    if (!WriteAll(destination, out.get(), size)) return false;
  }
}

// Writes a copy of the open file in DOS text beside target and puts it in
// target's place. Raises the error number of a failure; target is then left
// as it was.
void ReplaceWithDosText(Descriptor& source, const std::string& target, const struct stat& status,
                        ErrorTrap& trap) {
  TemporaryFile temporary;
  // The original is closed before it is replaced: Windows replaces no file
  // that is open.
  const bool ok = temporary.Create(target, &status) && CopyAsDosText(source.fd, temporary.fd()) &&
                  source.Close() && temporary.Replace();
  if (!ok) trap.Raise(ErrorNumberFromErrno(errno));
}

// Converts the file if it is Unix text. Gives true when it is Unix text but
// read-only, which the caller reports.
bool ConvertIfUnixText(const std::string& name, ErrorTrap& trap) {
  // The real file behind any links is the one replaced.
  std::string resolved;
  if (!FullPath(name, resolved)) {
    trap.Raise(ErrorNumberFromErrno(errno));
    return false;
  }
  Descriptor file{OpenForReading(resolved.c_str())};
  if (file.fd < 0) {
    trap.Raise(ErrorNumberFromErrno(errno));
    return false;
  }
  char head[kDetectBytes];
  const ssize_t got = ReadFully(file.fd, head, sizeof head);
  if (got < 0) {
    trap.Raise(ErrorNumberFromErrno(errno));
    return false;
  }
  if (std::string_view(head, static_cast<size_t>(got)).find('\r') != std::string_view::npos) {
    return false;  // DOS text: left untouched
  }
  struct stat status;
  if (::fstat(file.fd, &status) != 0) {
    trap.Raise(ErrorNumberFromErrno(errno));
    return false;
  }
  // The read-only attribute: no write permission for anyone.
  if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return true;
  if (::lseek(file.fd, 0, SEEK_SET) != 0) {
    trap.Raise(ErrorNumberFromErrno(errno));
    return false;
  }
  ReplaceWithDosText(file, resolved, status, trap);
  return false;
}

}  // namespace

bool ListFileExists(const std::string& name) {
  struct stat status;
  return ::stat(NativePath(name).c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::string MissingFolderOf(const std::string& name) {
  // Same length as the name: "\" becomes "/" at most.
  const std::string path = NativePath(name);
#ifdef _WIN32
  const size_t separator = path.find_last_of("\\/");
#else
  const size_t separator = path.find_last_of('/');
#endif
  if (separator == std::string::npos || separator == 0) return {};
  std::error_code ignored;
  if (std::filesystem::is_directory(path.substr(0, separator), ignored)) return {};
  return name.substr(0, separator);
}

bool SameFile(const std::string& a, const std::string& b) {
  const std::string pathA = NativePath(a);
  const std::string pathB = NativePath(b);
  FileId idA, idB;
  const bool existsA = FileIdentity(pathA, idA);
  const bool existsB = FileIdentity(pathB, idB);
  if (existsA && existsB) return idA == idB;
  if (existsA != existsB) return false;
  std::error_code error;
  const auto canonicalA = std::filesystem::weakly_canonical(pathA, error);
  if (error) return pathA == pathB;
  const auto canonicalB = std::filesystem::weakly_canonical(pathB, error);
  if (error) return pathA == pathB;
  return canonicalA == canonicalB;
}

bool IsFileOfDescriptor(int fd, const std::string& name) {
  FileId open, named;
  return DescriptorIdentity(fd, open) && FileIdentity(NativePath(name), named) && open == named;
}

void ConvertListFile(const std::string& name, int32_t& errorNumber) {
  errorNumber = 0;
  bool readOnly = false;
  {
    ErrorTrap trap("ConvertListFile", errorNumber, &ERRORMESSAGE);
    readOnly = ConvertIfUnixText(NativePath(TrimBlanks(name)), trap);
  }
  if (readOnly) {
    errorNumber = -1;
    ShowMessage("Error: File " + std::string(TrimBlanks(name)) +
                    " is in Unix-Ascii, but is read-only and cannot be converted.",
                kCaptionWarning, MB_ICONEXCLAMATION);
  }
}

ChunkReader::ChunkReader(size_t chunkBytes, size_t maxLineBytes)
    : chunkBytes_(std::max<size_t>(chunkBytes, 1)),
      maxLineBytes_(std::max(maxLineBytes, chunkBytes_)) {}

ChunkReader::~ChunkReader() {
  Close();
}

void ChunkReader::Reset() {
  Close();
  begin_ = end_ = scanned_ = 0;
  eof_ = lineTooLong_ = false;
  bytesRead_ = size_ = 0;
  error_ = 0;
}

void ChunkReader::Attach(int fd) {
  Reset();
  fd_ = fd;
  owned_ = false;
}

int32_t ChunkReader::Open(const std::string& name) {
  Reset();
  owned_ = true;
  fd_ = OpenForReading(NativePath(name).c_str());
  if (fd_ < 0) {
    error_ = ErrorNumberFromErrno(errno);
    return error_;
  }
  struct stat status;
  if (::fstat(fd_, &status) == 0) {
    if (S_ISDIR(status.st_mode)) {
      Close();
      error_ = ErrorNumberFromErrno(EISDIR);
      return error_;
    }
    if (S_ISREG(status.st_mode)) size_ = static_cast<uint64_t>(status.st_size);
  }
  return 0;
}

void ChunkReader::Close() {
  if (fd_ >= 0 && owned_) ::close(fd_);
  fd_ = -1;
}

bool ChunkReader::Next(std::string& chunk) {
  for (;;) {
    if (end_ - begin_ >= chunkBytes_ || eof_) {
      const size_t cut = eof_ ? end_ : CutAfterLastLine();
      if (cut > begin_) {
        chunk.assign(buffer_.data() + begin_, cut - begin_);
        begin_ = scanned_ = cut;
        return true;
      }
      if (eof_) return false;
    }
    if (!Fill()) return false;
  }
}

bool ChunkReader::NextLine(std::string& line) {
  for (;;) {
    const std::string_view unread(buffer_.data() + begin_, end_ - begin_);
    if (const auto lineBreak = FindLineBreak(unread, 0, !eof_)) {
      line.assign(unread.substr(0, lineBreak->end));
      begin_ = scanned_ = begin_ + lineBreak->next;
      return true;
    }
    if (eof_) {
      if (unread.empty()) return false;
      line.assign(unread);
      begin_ = scanned_ = end_;
      return true;
    }
    if (!Fill()) return false;
  }
}

// Just past the last line end that is surely whole within the first
// chunkBytes_ of what is read, or, for a longer line, just past its end;
// begin_ when there is none yet.
size_t ChunkReader::CutAfterLastLine() {
  const char* data = buffer_.data();
  const size_t limit = std::min(end_, begin_ + chunkBytes_);
  for (size_t i = limit; i > begin_; --i) {
    const char c = data[i - 1];
    if (c != '\n' && c != '\r') continue;
    // A CR as the last byte read may have its LF still to come.
    if (c == '\r' && i == end_) continue;
    // Nor is a CR whose LF is just past the limit a whole line end.
    if (c == '\r' && i < end_ && data[i] == '\n') return i + 1;
    return i;
  }
  // A line longer than a chunk: its end is searched in what is new since the
  // last search, so that a long line costs its length, not its length squared.
  for (size_t i = std::max(limit, scanned_); i < end_; ++i) {
    if (data[i] == '\n') return i + 1;
    if (data[i] != '\r') continue;
    if (i + 1 == end_) {
      scanned_ = i;
      return begin_;
    }
    return data[i + 1] == '\n' ? i + 2 : i + 1;
  }
  scanned_ = end_;
  return begin_;
}

// Moves the unread rest to the front and reads more behind it. Called only
// when no chunk can be cut from what is read: more than maxLineBytes_ of it
// is a line too long.
bool ChunkReader::Fill() {
  if (fd_ < 0 || error_ != 0 || lineTooLong_) return false;
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    scanned_ = scanned_ > begin_ ? scanned_ - begin_ : 0;
    begin_ = 0;
  }
  if (end_ > maxLineBytes_) {
    lineTooLong_ = true;
    return false;
  }
  // A long line grows the buffer, up to what shows it too long.
  const size_t wanted = std::min(std::max(2 * chunkBytes_, 2 * end_), maxLineBytes_ + chunkBytes_);
  if (buffer_.size() < wanted) {
    // No room for a longer line fails like a read: what was read before stays good.
    try {
      buffer_.resize(wanted);
    } catch (const std::bad_alloc&) {
      error_ = kErrOutOfMemory;
      return false;
    }
  }
  const ssize_t got = ReadSome(fd_, buffer_.data() + end_, buffer_.size() - end_);
  if (got < 0) {
    error_ = ErrorNumberFromErrno(errno);
    return false;
  }
  if (got == 0) {
    eof_ = true;
  } else {
    end_ += static_cast<size_t>(got);
    bytesRead_ += static_cast<uint64_t>(got);
  }
  return true;
}

int32_t LineReader::Open(const std::string& name) {
  chunk_.clear();
  lines_ = TextLines();
  return chunks_.Open(name);
}

bool LineReader::Next(std::string_view& line) {
  while (!lines_.Next(line)) {
    if (!chunks_.Next(chunk_)) return false;
    lines_ = TextLines(chunk_);
  }
  return true;
}

void LineWriter::Attach(int fd) {
  Discard();
  fd_ = fd;
  owned_ = false;
  error_ = 0;
}

int32_t LineWriter::Open(const std::string& name) {
  Discard();
  error_ = 0;
  const std::string path = NativePath(name);
  struct stat status;
  const bool exists = ::stat(path.c_str(), &status) == 0;
  if (exists && S_ISDIR(status.st_mode)) {
    error_ = ErrorNumberFromErrno(EISDIR);
    return error_;
  }
  if (exists && !S_ISREG(status.st_mode)) {
    // A device or a pipe: nothing there to keep, and nothing to replace.
    fd_ = OpenForWriting(path.c_str());
  } else {
    // A file behind a link is replaced, the link kept.
    std::string target = path;
    if (exists && !FullPath(path, target)) target = path;
    replacing_ = temporary_.Create(target, exists ? &status : nullptr);
    fd_ = replacing_ ? temporary_.fd() : -1;
  }
  if (fd_ < 0) {
    error_ = ErrorNumberFromErrno(errno);
    replacing_ = false;
    return error_;
  }
  owned_ = true;
  flushed_ = false;
  buffer_.reserve(kWriteBufferBytes);
  return 0;
}

bool LineWriter::WriteBuffer() {
  if (error_ == 0 && !WriteAll(fd_, buffer_.data(), buffer_.size())) {
    error_ = ErrorNumberFromErrno(errno);
  }
  buffer_.clear();
  return error_ == 0;
}

// The buffer never grows past its size: a text that would not fit goes out
// after what is in it, a long one directly.
void LineWriter::Write(std::string_view text) {
  if (fd_ < 0 || error_ != 0) return;
  if (buffer_.size() + text.size() > kWriteBufferBytes && !buffer_.empty() && !WriteBuffer()) {
    return;
  }
  if (text.size() >= kWriteBufferBytes) {
    if (!WriteAll(fd_, text.data(), text.size())) error_ = ErrorNumberFromErrno(errno);
    return;
  }
  buffer_.append(text);
}

int32_t LineWriter::Flush() {
  if (fd_ < 0 || flushed_) return error_;
  flushed_ = true;
  WriteBuffer();
  return error_;
}

int32_t LineWriter::Close() {
  if (fd_ < 0) return error_;
  Flush();
  if (replacing_) {
    fd_ = -1;  // the temporary file's own
    replacing_ = false;
    if (error_ != 0) {
      temporary_.Discard();
    } else if (!temporary_.Replace()) {
      error_ = ErrorNumberFromErrno(errno);
    }
  } else if (owned_) {
    if (::close(fd_) != 0 && error_ == 0) error_ = ErrorNumberFromErrno(errno);
    fd_ = -1;
  }
  fd_ = -1;
  return error_;
}

void LineWriter::Discard() {
  buffer_.clear();
  if (replacing_) {
    temporary_.Discard();
  } else if (fd_ >= 0 && owned_) {
    ::close(fd_);
  }
  fd_ = -1;
  replacing_ = false;
}
