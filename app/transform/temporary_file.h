// A new file written beside the file it is to replace, which takes that file's
// place only when it is complete: a reader of the target sees the old file or
// the whole new one, never a part.
//
// Where the file system has unnamed files (Linux O_TMPFILE) the new file has
// no name while it grows, so that a process killed at any moment leaves
// nothing behind; otherwise it has a hidden name (".varnel-...") from the
// start. A hidden name that exists is removed on every failure the process
// lives through and by the handler of a signal that ends it (SIGINT, SIGTERM,
// SIGHUP, SIGPIPE; on Windows Ctrl+C, Ctrl+Break and closing the console).
#pragma once

#include <sys/stat.h>

#include <string>

class TemporaryFile {
 public:
  TemporaryFile() = default;
  ~TemporaryFile() { Discard(); }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  // Creates the file in the folder of target (a path of this system).
  // existing: the target's status when it exists, whose permission bits (and,
  // where the process may, owner) the new file takes; nullptr for a new
  // target, which gets the permissions a new file gets. False with errno set.
  bool Create(const std::string& target, const struct stat* existing);

  int fd() const { return fd_; }

  // Flushes the file to disk, closes it and puts it in the target's place.
  // False with errno set: the target is as it was and the file is gone.
  bool Replace();

  // Closes and removes the file; the target is as it was.
  void Discard();

 private:
  // Ends Replace: removes what is left, errno kept.
  bool Finish(bool placed);
#ifndef _WIN32
  bool GiveHiddenName();
#endif

  std::string target_;
  std::string folder_;
  std::string name_;   // the hidden name, once the file has one
  int nameSlot_ = -1;  // where the signal handler finds the name
  int fd_ = -1;
};

// Test seams: the rename that puts a file in another's place (nullptr: the
// system's), and whether unnamed files are used where the system has them.
using RenameFunction = int (*)(const char* from, const char* to);
void SetRenameFunctionForTesting(RenameFunction rename);
void SetUnnamedFilesForTesting(bool used);
