// The error trap that ends every trapped routine.
//
// A routine creates one at its start with its own name. A failing file or
// memory operation records its run-time error number with Raise() and the
// routine carries on to its end; nothing is thrown across the routine's
// boundary. On leaving, the pending number is taken and cleared, stored in the
// module's error-number variable, and a non-zero number is reported once,
// naming the routine.
#pragma once

#include <cstdint>
#include <new>

// Run-time error numbers that the program raises.
inline constexpr int32_t kErrOutOfMemory = 7;
inline constexpr int32_t kErrSubscript = 9;
inline constexpr int32_t kErrInternal = 51;
inline constexpr int32_t kErrBadFileName = 52;
inline constexpr int32_t kErrFileNotFound = 53;
inline constexpr int32_t kErrFileAlreadyExists = 58;
inline constexpr int32_t kErrDiskFull = 61;
inline constexpr int32_t kErrReadPastEnd = 62;
inline constexpr int32_t kErrTooManyFiles = 67;
inline constexpr int32_t kErrPermissionDenied = 70;
inline constexpr int32_t kErrDiskMedia = 72;
inline constexpr int32_t kErrRenameAcrossDisks = 74;
inline constexpr int32_t kErrPathAccess = 75;
inline constexpr int32_t kErrPathNotFound = 76;

// Maps a failed C library call's errno to the run-time error number.
int32_t ErrorNumberFromErrno(int errnoValue);

class ErrorTrap {
 public:
  using Reporter = void (*)(const char* routine, int32_t number);

  ErrorTrap(const char* routine, int32_t& errorVariable, Reporter reporter) noexcept
      : routine_(routine), errorVariable_(errorVariable), reporter_(reporter) {}
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;

  ~ErrorTrap() {
    const int32_t number = pending_;
    pending_ = 0;
    errorVariable_ = number;
    if (number != 0) reporter_(routine_, number);
  }

  // Each error replaces the pending number: two errors give one message.
  void Raise(int32_t number) noexcept { pending_ = number; }

  // Runs the routine's body and stops any exception at the routine's edge:
  // a failed allocation raises 7, anything else 51. Objects of the body are
  // destroyed on the way out, so its files are closed. True when the body
  // ran to its end.
  template <typename Body>
  bool Guard(Body&& body) noexcept {
    try {
      body();
      return true;
    } catch (const std::bad_alloc&) {
      Raise(kErrOutOfMemory);
    } catch (...) {
      Raise(kErrInternal);
    }
    return false;
  }
  int32_t Pending() const noexcept { return pending_; }

 private:
  const char* routine_;
  int32_t& errorVariable_;
  Reporter reporter_;
  int32_t pending_ = 0;
};
