// The engine's lowest layer: files as byte arrays with byte-range locks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "jet/result.h"

namespace jet {

enum class OpenMode {
  kReadOnly,   // the file must exist
  kReadWrite,  // the file must exist
  kCreate,     // read-write; created when missing, kept as it is otherwise
};

enum class LockKind { kShared, kExclusive };

// One open handle. Locks belong to the handle (as on Windows): two handles of one
// process conflict, and closing a handle drops its locks.
class File {
 public:
  virtual ~File() = default;

  // Reads up to out.size() bytes at offset; returns how many were read, fewer only at
  // the end of the file.
  virtual Result<std::size_t> Read(std::uint64_t offset, std::span<std::uint8_t> out) = 0;
  virtual Status Write(std::uint64_t offset, std::span<const std::uint8_t> data) = 0;
  virtual Result<std::uint64_t> Size() = 0;
  virtual Status Truncate(std::uint64_t size) = 0;
  // Returns once everything written so far is on stable storage.
  virtual Status Sync() = 0;
  // Takes the lock at once or fails with kErrLocked; never waits.
  virtual Status TryLock(std::uint64_t offset, std::uint64_t length, LockKind kind) = 0;
  virtual Status Unlock(std::uint64_t offset, std::uint64_t length) = 0;
};

// Paths are UTF-8.
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual Result<std::unique_ptr<File>> Open(const std::string& path, OpenMode mode) = 0;
  virtual Result<bool> Exists(const std::string& path) = 0;
  // Removing a file that does not exist succeeds.
  virtual Status Remove(const std::string& path) = 0;
  // Whether some program has the file open, as far as the system can tell: on Windows
  // it cannot be opened without sharing; on POSIX systems (where opening locks
  // nothing) some handle holds a byte-range lock on it. A missing file is not held.
  // (Decorators that do not pass it on see nothing held.)
  virtual Result<bool> HeldOpen(const std::string& /*path*/) { return false; }
  // Gives a file a new name in the same folder; the caller makes sure `to` is free.
  virtual Status Rename(const std::string& from, const std::string& to) {
    return Error{3251, "Renaming '" + from + "' to '" + to + "' is not supported here.", "FileSystem::Rename"};
  }
};

// The operating system's files: POSIX on Linux, Win32 on Windows.
FileSystem& SystemFileSystem();

}  // namespace jet
