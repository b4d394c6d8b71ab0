#include "temporary_file.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <io.h>
#include <windows.h>
#endif
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <random>

#include "file_errors.h"

namespace {

// Hidden names that exist on disk, for the handler of a signal that ends the
// process. Lock-free, so that the handler may read them at any moment.
constexpr int kNameSlots = 16;
constexpr int kFree = 0;
constexpr int kFilling = 1;
constexpr int kHeld = 2;
#ifdef _WIN32
constexpr size_t kPathCapacity = MAX_PATH + 1;
#else
constexpr size_t kPathCapacity = PATH_MAX;
#endif
struct NameSlot {
  std::atomic<int> state{kFree};
  char path[kPathCapacity];
};
NameSlot nameSlots[kNameSlots];
static_assert(std::atomic<int>::is_always_lock_free);

void RemoveFile(const char* path) {
#ifdef _WIN32
  DeleteFileA(path);
#else
  ::unlink(path);
#endif
}

void RemoveHeldNames() {
  for (NameSlot& slot : nameSlots) {
    if (slot.state.load() == kHeld) RemoveFile(slot.path);
  }
}

#ifdef _WIN32
BOOL WINAPI RemoveOnConsoleEnd(DWORD event) {
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT) {
    RemoveHeldNames();
  }
  return FALSE;  // the default: the process ends
}

void InstallSignalHandlers() {
  SetConsoleCtrlHandler(&RemoveOnConsoleEnd, TRUE);
}
#else
extern "C" void RemoveAndEnd(int signal) {
  const int saved = errno;
  RemoveHeldNames();
  // The handler was reset on entry (SA_RESETHAND): the signal, delivered
  // again when this returns, ends the process as it would have.
  ::raise(signal);
  errno = saved;
}

// Only signals whose default ends the process, and only where nobody has
// set a handler (or SIG_IGN, as nohup does) of their own.
void InstallSignalHandlers() {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
    struct sigaction current;
    if (::sigaction(signal, nullptr, &current) != 0) continue;
    if ((current.sa_flags & SA_SIGINFO) != 0 || current.sa_handler != SIG_DFL) continue;
    struct sigaction action {};
    action.sa_handler = &RemoveAndEnd;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    ::sigaction(signal, &action, nullptr);
  }
}
#endif

// The slot now holding path, or -1 when there is none free (the name is then
// removed on every failure but a signal).
int HoldName(const std::string& path) {
  static std::once_flag installed;
  std::call_once(installed, &InstallSignalHandlers);
  if (path.size() >= kPathCapacity) return -1;
  for (int i = 0; i < kNameSlots; ++i) {
    int expected = kFree;
    if (!nameSlots[i].state.compare_exchange_strong(expected, kFilling)) continue;
    std::memcpy(nameSlots[i].path, path.c_str(), path.size() + 1);
    nameSlots[i].state.store(kHeld);
    return i;
  }
  return -1;
}

void ReleaseName(int& slot) {
  if (slot >= 0) nameSlots[slot].state.store(kFree);
  slot = -1;
}

// A name no other file in the folder has, made of the process and a random number.
std::string HiddenName(const std::string& folder) {
  static std::atomic<unsigned> counter{0};
  thread_local std::minstd_rand random(std::random_device{}());
#ifdef _WIN32
  const unsigned long process = GetCurrentProcessId();
  const char separator = '\\';
#else
  const unsigned long process = static_cast<unsigned long>(::getpid());
  const char separator = '/';
#endif
  return folder + separator + ".varnel-" + std::to_string(process) + "-" +
         std::to_string(counter.fetch_add(1)) + "-" + std::to_string(random());
}

#ifdef _WIN32
// Replaces an existing target, and returns only when the move is on disk.
int MoveOver(const char* from, const char* to) {
  if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 0;
  SetErrnoFromLastError();
  return -1;
}
#else
int MoveOver(const char* from, const char* to) {
  return ::rename(from, to);
}

// Unnamed files need O_TMPFILE and, to be named, /proc.
bool CanNameUnnamedFiles() {
#ifdef O_TMPFILE
  static const bool procMounted = ::access("/proc/self/fd", X_OK) == 0;
  return procMounted;
#else
  return false;
#endif
}
#endif

RenameFunction renameFile = &MoveOver;
bool unnamedFilesUsed = true;

}  // namespace

void SetRenameFunctionForTesting(RenameFunction rename) {
  renameFile = rename ? rename : &MoveOver;
}

void SetUnnamedFilesForTesting(bool used) {
  unnamedFilesUsed = used;
}

#ifdef _WIN32
bool TemporaryFile::Create(const std::string& target, const struct stat*) {
  Discard();
  target_ = target;
  folder_ = std::filesystem::path(target).parent_path().string();
  if (folder_.empty()) folder_ = ".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = HiddenName(folder_);
    // Shared for deletion, so that the console handler can remove it while it is open.
    const HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_FILE_EXISTS) continue;
      SetErrnoFromLastError();
      return false;
    }
    fd_ = ::_open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_BINARY);
    if (fd_ < 0) {
      CloseHandle(file);
      DeleteFileA(name.c_str());
      return false;
    }
    name_ = std::move(name);
    nameSlot_ = HoldName(name_);
    return true;
  }
  errno = EEXIST;
  return false;
}

bool TemporaryFile::Replace() {
  bool ok = ::_commit(fd_) == 0;
  ok = ::close(fd_) == 0 && ok;
  fd_ = -1;
  ok = ok && renameFile(name_.c_str(), target_.c_str()) == 0;
  return Finish(ok);
}

#else
bool TemporaryFile::Create(const std::string& target, const struct stat* existing) {
  Discard();
  target_ = target;
  folder_ = std::filesystem::path(target).parent_path().string();
  if (folder_.empty()) folder_ = ".";
  // A new file's permissions are those of any new file: 0666 less the umask.
  constexpr mode_t kNewFileMode = 0666;
#ifdef O_TMPFILE
  if (unnamedFilesUsed && CanNameUnnamedFiles()) {
    fd_ = ::open(folder_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, kNewFileMode);
  }
#endif
  for (int attempt = 0; fd_ < 0 && attempt < 100; ++attempt) {
    std::string name = HiddenName(folder_);
    fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
    if (fd_ >= 0) {
      name_ = std::move(name);
      nameSlot_ = HoldName(name_);
    } else if (errno != EEXIST) {
      return false;
    }
  }
  if (fd_ < 0) return false;
  if (existing != nullptr) {
    // The replaced file's owner where the process may give it (as root), and its permissions.
    if (existing->st_uid != ::geteuid() || existing->st_gid != ::getegid()) {
      [[maybe_unused]] const int ignored = ::fchown(fd_, existing->st_uid, existing->st_gid);
    }
    if (::fchmod(fd_, existing->st_mode & 07777) != 0) {
      const int saved = errno;
      Discard();
      errno = saved;
      return false;
    }
  }
  return true;
}

// An unnamed file gets a fresh hidden name through its /proc link.
bool TemporaryFile::GiveHiddenName() {
  if (!name_.empty()) return true;
  const std::string self = "/proc/self/fd/" + std::to_string(fd_);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = HiddenName(folder_);
    // Held before it exists: a signal between the link and the rename removes it.
    nameSlot_ = HoldName(name);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      name_ = std::move(name);
      return true;
    }
    ReleaseName(nameSlot_);
    if (errno != EEXIST) return false;
  }
  return false;
}

bool TemporaryFile::Replace() {
  bool ok = ::fsync(fd_) == 0;
  bool placed = false;
  if (ok && name_.empty() && renameFile == &MoveOver) {
    // A target that does not exist takes the unnamed file's name directly.
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    placed = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, target_.c_str(), AT_SYMLINK_FOLLOW) == 0;
  }
  ok = ok && (placed || GiveHiddenName());
  ok = ::close(fd_) == 0 && ok;
  fd_ = -1;
  ok = ok && (placed || renameFile(name_.c_str(), target_.c_str()) == 0);
  return Finish(ok);
}

#endif

bool TemporaryFile::Finish(bool placed) {
  const int saved = errno;
  if (placed) name_.clear();  // in the target's place: nothing left to remove
  Discard();
  errno = saved;
  return placed;
}

void TemporaryFile::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!name_.empty()) RemoveFile(name_.c_str());
  name_.clear();
  ReleaseName(nameSlot_);
}
