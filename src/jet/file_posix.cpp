// Files on POSIX systems. Locks are open-file-description locks, which belong to
// the handle like Windows locks do (classic fcntl locks belong to the process and
// vanish when any descriptor of the file is closed).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "jet/errors.h"
#include "jet/file.h"

namespace jet {
namespace {

Error SystemError(const std::string& path, int err, int number = kErrDiskIo) {
  if (err == ENOSPC) number = kErrDiskFull;
  if (err == EROFS || err == EACCES || err == EPERM) number = kErrReadOnly;
  return MakeError(number, "'" + path + "': " + std::strerror(err));
}

// Makes a file's creation, removal or renaming durable: until its folder is synced a
// power loss can bring back a removed journal (and so undo a committed write) or lose
// a new one (and so leave a half-written store with nothing to roll it back).
Status SyncFolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return SystemError(folder, errno);
  int rc = ::fsync(fd);
  int err = errno;
  ::close(fd);
  // Some file systems cannot sync a folder; they order such changes themselves.
  if (rc != 0 && err != EINVAL && err != ENOTSUP) return SystemError(folder, err);
  return Ok();
}

class PosixFile final : public File {
 public:
  PosixFile(int fd, std::string path, bool writable) : fd_(fd), path_(std::move(path)), writable_(writable) {}
  ~PosixFile() override { ::close(fd_); }
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  Result<std::size_t> Read(std::uint64_t offset, std::span<std::uint8_t> out) override {
    std::size_t done = 0;
    while (done < out.size()) {
      ssize_t n = ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
      if (n < 0) {
        if (errno == EINTR) continue;
        return SystemError(path_, errno);
      }
      if (n == 0) break;
      done += static_cast<std::size_t>(n);
    }
    return done;
  }

  Status Write(std::uint64_t offset, std::span<const std::uint8_t> data) override {
    // A read-only descriptor would fail with EBADF, which reads as a disk fault.
    if (!writable_) return MakeError(kErrReadOnly, "The file is open for reading only.");
    std::size_t done = 0;
    while (done < data.size()) {
      ssize_t n = ::pwrite(fd_, data.data() + done, data.size() - done, static_cast<off_t>(offset + done));
      if (n < 0) {
        if (errno == EINTR) continue;
        return SystemError(path_, errno);
      }
      done += static_cast<std::size_t>(n);
    }
    return Ok();
  }

  Result<std::uint64_t> Size() override {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return SystemError(path_, errno);
    return static_cast<std::uint64_t>(st.st_size);
  }

  Status Truncate(std::uint64_t size) override {
    if (!writable_) return MakeError(kErrReadOnly, "The file is open for reading only.");
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) return SystemError(path_, errno);
    return Ok();
  }

  Status Sync() override {
    if (::fdatasync(fd_) != 0) return SystemError(path_, errno);
    return Ok();
  }

  Status TryLock(std::uint64_t offset, std::uint64_t length, LockKind kind) override {
    struct flock fl {};
    fl.l_type = kind == LockKind::kShared ? F_RDLCK : F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(offset);
    fl.l_len = static_cast<off_t>(length);
    if (::fcntl(fd_, F_OFD_SETLK, &fl) != 0) {
      if (errno == EAGAIN || errno == EACCES) {
        return MakeError(kErrLocked, "Couldn't update; currently locked.");
      }
      return SystemError(path_, errno);
    }
    return Ok();
  }

  Status Unlock(std::uint64_t offset, std::uint64_t length) override {
    struct flock fl {};
    fl.l_type = F_UNLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(offset);
    fl.l_len = static_cast<off_t>(length);
    if (::fcntl(fd_, F_OFD_SETLK, &fl) != 0) return SystemError(path_, errno);
    return Ok();
  }

 private:
  int fd_;
  std::string path_;
  bool writable_;
};

class PosixFileSystem final : public FileSystem {
 public:
  Result<std::unique_ptr<File>> Open(const std::string& path, OpenMode mode) override {
    int flags = O_CLOEXEC;
    switch (mode) {
      case OpenMode::kReadOnly: flags |= O_RDONLY; break;
      case OpenMode::kReadWrite: flags |= O_RDWR; break;
      case OpenMode::kCreate: flags |= O_RDWR | O_CREAT; break;
    }
    int fd = ::open(path.c_str(), flags | (mode == OpenMode::kCreate ? O_EXCL : 0), 0666);
    bool created = fd >= 0 && mode == OpenMode::kCreate;
    if (fd < 0 && mode == OpenMode::kCreate && errno == EEXIST) fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) {
      int err = errno;
      if (err == ENOENT) return MakeError(kErrFileNotFound, "Could not find file '" + path + "'.");
      if (err == EACCES || err == EROFS || err == EPERM) {
        return MakeError(kErrCannotOpen, "Cannot open the file '" + path + "': " + std::strerror(err));
      }
      return SystemError(path, err);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      return MakeError(kErrCannotOpen, "'" + path + "' is not a file.");
    }
    if (created) {
      Status synced = SyncFolderOf(path);
      if (!synced.ok()) {
        ::close(fd);
        return synced.error();
      }
    }
    return std::unique_ptr<File>(new PosixFile(fd, path, mode != OpenMode::kReadOnly));
  }

  Result<bool> Exists(const std::string& path) override {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return S_ISREG(st.st_mode);
    if (errno == ENOENT || errno == ENOTDIR) return false;
    return SystemError(path, errno);
  }

  Status Remove(const std::string& path) override {
    if (::unlink(path.c_str()) != 0) {
      if (errno == ENOENT) return Ok();
      return SystemError(path, errno);
    }
    return SyncFolderOf(path);
  }

  Result<bool> HeldOpen(const std::string& path) override {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      if (errno == ENOENT || errno == ENOTDIR) return false;
      return SystemError(path, errno);
    }
    struct flock fl {};
    fl.l_type = F_WRLCK;  // would conflict with any lock, shared or not
    fl.l_whence = SEEK_SET;
    fl.l_start = 0;
    fl.l_len = 0;  // the whole file and beyond
    int rc = ::fcntl(fd, F_OFD_GETLK, &fl);
    int err = errno;
    ::close(fd);
    if (rc != 0) return SystemError(path, err);
    return fl.l_type != F_UNLCK;
  }

  Status Rename(const std::string& from, const std::string& to) override {
    if (::rename(from.c_str(), to.c_str()) != 0) return SystemError(from, errno);
    return SyncFolderOf(to);
  }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static PosixFileSystem fs;
  return fs;
}

}  // namespace jet
