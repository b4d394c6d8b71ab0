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
#include "fixed_text.h"
#include "line_breaks.h"
#include "message.h"

namespace {

constexpr size_t kDetectBytes = 256;

// Platform seams: opening for reading, putting a file in another's place,
// the full path of a name, a file's identity and the temporary file.
#ifdef _WIN32
// errno for the last Win32 error, so that the error numbers are the same.
void SetErrnoFromLastError() {
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
      errno = ENOENT;
      break;
    case ERROR_PATH_NOT_FOUND:
      errno = ENOTDIR;
      break;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      errno = EACCES;
      break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      errno = ENOSPC;
      break;
    case ERROR_NOT_SAME_DEVICE:
      errno = EXDEV;
      break;
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_INVALID_NAME:
      errno = ENAMETOOLONG;
      break;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      errno = ENOMEM;
      break;
    default:
      errno = EIO;
      break;
  }
}

int OpenForReading(const char* path) {
  return ::_open(path, _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}

// Replaces an existing target, and returns only when the move is on disk.
int MoveOver(const char* from, const char* to) {
  if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 0;
  SetErrnoFromLastError();
  return -1;
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
bool FileIdentity(const std::string& path, FileId& id) {
  const HANDLE file =
      CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION information;
  const bool ok = GetFileInformationByHandle(file, &information) != 0;
  CloseHandle(file);
  if (!ok) return false;
  id = {information.dwVolumeSerialNumber,
        (uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow};
  return true;
}
#else
int OpenForReading(const char* path) {
  return ::open(path, O_RDONLY | O_CLOEXEC);
}

int MoveOver(const char* from, const char* to) {
  return ::rename(from, to);
}

// The real file behind any links.
bool FullPath(const std::string& name, std::string& path) {
  char resolved[PATH_MAX];
  if (::realpath(name.c_str(), resolved) == nullptr) return false;
  path = resolved;
  return true;
}

using FileId = std::pair<uint64_t, uint64_t>;
bool FileIdentity(const std::string& path, FileId& id) {
  struct stat status;
  if (::stat(path.c_str(), &status) != 0) return false;
  id = {static_cast<uint64_t>(status.st_dev), static_cast<uint64_t>(status.st_ino)};
  return true;
}
#endif

RenameFunction renameFile = &MoveOver;
constexpr size_t kBlockSize = 1 << 20;

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

#ifdef _WIN32
// The converted text is written to a new file with a hidden name beside the
// target, removed on every failure the process lives through, and moved over
// the target once it is complete and flushed. Its permissions are the
// folder's: only the read-only attribute would differ, and a read-only file
// is never converted.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& folder) : folder_(folder.empty() ? "." : folder) {}
  ~TemporaryFile() {
    if (fd_ >= 0) ::_close(fd_);
    if (!name_.empty()) DeleteFileA(name_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool Create(mode_t /*mode*/) {
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
      std::string name = folder_ + "\\.varnel-" + std::to_string(GetCurrentProcessId()) + "-" +
                         std::to_string(attempt);
      fd_ = ::_open(name.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                    _S_IREAD | _S_IWRITE);
      if (fd_ >= 0) {
        name_ = std::move(name);
        return true;
      }
      if (errno != EEXIST) return false;
    }
    return false;
  }

  int fd() const { return fd_; }

  // Flushes, closes and puts the file in target's place.
  bool Replace(const std::string& target) {
    bool ok = ::_commit(fd_) == 0;
    const int closeResult = ::_close(fd_);
    fd_ = -1;
    ok = ok && closeResult == 0 && renameFile(name_.c_str(), target.c_str()) == 0;
    if (ok) name_.clear();  // moved: nothing left to remove
    return ok;
  }

 private:
  std::string folder_;
  std::string name_;
  int fd_ = -1;
};
#else
// The converted text is written to a file that has no name while it grows
// (O_TMPFILE), so that a process killed half-way leaves nothing behind. Only
// when it is complete does it get a hidden name beside the target, which is
// then renamed over the target. Where the file system has no unnamed files,
// the hidden name is made first (mkstemp) and removed on every failure the
// process lives through.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& folder) : folder_(folder.empty() ? "." : folder) {}
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!name_.empty()) ::unlink(name_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool Create(mode_t mode) {
#ifdef O_TMPFILE
    fd_ = ::open(folder_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode & 07777);
    if (fd_ >= 0) return ::fchmod(fd_, mode & 07777) == 0;  // the umask does not apply
#endif
    name_ = folder_ + "/.varnel-XXXXXX";
    fd_ = ::mkstemp(name_.data());
    if (fd_ < 0) {
      name_.clear();
      return false;
    }
    return ::fchmod(fd_, mode & 07777) == 0;
  }

  int fd() const {
    return fd_;
  }

  // Flushes, closes and puts the file in target's place.
  bool Replace(const std::string& target) {
    bool ok = ::fsync(fd_) == 0 && GiveName();
    const int closeResult = ::close(fd_);
    fd_ = -1;
    ok = ok && closeResult == 0 && renameFile(name_.c_str(), target.c_str()) == 0;
    if (ok) name_.clear();  // renamed: nothing left to remove
    return ok;
  }

 private:
  // An unnamed file gets a fresh hidden name through its /proc link.
  bool GiveName() {
    if (!name_.empty()) return true;
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
      std::string name =
          folder_ + "/.varnel-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
      if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        name_ = std::move(name);
        return true;
      }
      if (errno != EEXIST) return false;
    }
    return false;
  }

  std::string folder_;
  std::string name_;  // the file's hidden name, once it has one
  int fd_ = -1;
};
#endif

// Writes a copy of the open file in DOS text beside target and puts it in
// target's place. Raises the error number of a failure; target is then left
// as it was.
void ReplaceWithDosText(Descriptor& source, const std::string& target, const struct stat& status,
                        ErrorTrap& trap) {
  TemporaryFile temporary(std::filesystem::path(target).parent_path().string());
  // The original is closed before it is replaced: Windows replaces no file
  // that is open.
  const bool ok = temporary.Create(status.st_mode) && CopyAsDosText(source.fd, temporary.fd()) &&
                  source.Close() && temporary.Replace(target);
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

void SetRenameFunctionForTesting(RenameFunction rename) {
  renameFile = rename ? rename : &MoveOver;
}

bool ListFileExists(const std::string& name) {
  struct stat status;
  return ::stat(NativePath(name).c_str(), &status) == 0 && S_ISREG(status.st_mode);
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

ChunkReader::ChunkReader(size_t chunkBytes) : chunkBytes_(std::max<size_t>(chunkBytes, 1)) {}

ChunkReader::~ChunkReader() {
  Close();
}

void ChunkReader::Attach(int fd) {
  Close();
  begin_ = end_ = 0;
  eof_ = false;
  bytesRead_ = size_ = 0;
  error_ = 0;
  fd_ = fd;
  owned_ = false;
}

int32_t ChunkReader::Open(const std::string& name) {
  Close();
  owned_ = true;
  begin_ = end_ = 0;
  eof_ = false;
  bytesRead_ = size_ = 0;
  error_ = 0;
  fd_ = OpenForReading(NativePath(name).c_str());
  if (fd_ < 0) {
    error_ = ErrorNumberFromErrno(errno);
    return error_;
  }
  struct stat status;
  if (::fstat(fd_, &status) == 0 && S_ISREG(status.st_mode)) {
    size_ = static_cast<uint64_t>(status.st_size);
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
        begin_ = cut;
        return true;
      }
      if (eof_) return false;
    }
    if (!Fill()) return false;
  }
}

// Just past the last line end that is surely whole within the first
// chunkBytes_ of what is read, or, for a longer line, anywhere in it; begin_
// when there is none.
size_t ChunkReader::CutAfterLastLine() const {
  const char* data = buffer_.data();
  auto lastLineEnd = [&](size_t limit) {
    for (size_t i = limit; i > begin_; --i) {
      const char c = data[i - 1];
      if (c != '\n' && c != '\r') continue;
      // A CR as the last byte read may have its LF still to come.
      if (c == '\r' && i == end_) continue;
      // Nor is a CR whose LF is just past the limit a whole line end.
      if (c == '\r' && i < end_ && data[i] == '\n') return i + 1;
      return i;
    }
    return begin_;
  };
  const size_t cut = lastLineEnd(std::min(end_, begin_ + chunkBytes_));
  return cut > begin_ ? cut : lastLineEnd(end_);
}

// Moves the unread rest to the front and reads more behind it.
bool ChunkReader::Fill() {
  if (fd_ < 0 || error_ != 0) return false;
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  const size_t wanted = std::max(2 * chunkBytes_, 2 * end_);  // a very long line grows it
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

LineWriter::~LineWriter() {
  Close();
}

void LineWriter::Attach(std::FILE* stream) {
  Close();
  file_ = stream;
  owned_ = false;
  error_ = 0;
}

int32_t LineWriter::Open(const std::string& name) {
  Close();
  owned_ = true;
  file_ = std::fopen(NativePath(name).c_str(), "wb");
  if (file_ == nullptr) {
    error_ = ErrorNumberFromErrno(errno);
    return error_;
  }
  std::setvbuf(file_, nullptr, _IOFBF, kBlockSize);
  error_ = 0;
  return 0;
}

void LineWriter::Write(std::string_view text) {
  if (file_ == nullptr || error_ != 0 || text.empty()) return;
  if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) {
    error_ = ErrorNumberFromErrno(errno);
  }
}

int32_t LineWriter::Close() {
  if (file_ == nullptr) return error_;
  if (std::fflush(file_) != 0 && error_ == 0) error_ = ErrorNumberFromErrno(errno);
  if (owned_ && std::fclose(file_) != 0 && error_ == 0) error_ = ErrorNumberFromErrno(errno);
  file_ = nullptr;
  return error_;
}
