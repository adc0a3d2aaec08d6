// Files on Windows. Handles share reading, writing and deleting, so the reminder
// and the editor can have the store open at once; writers coordinate through
// byte-range locks (LockFileEx), which belong to the handle.
#include <windows.h>

#include <algorithm>
#include <string>

#include "jet/errors.h"
#include "jet/file.h"

namespace jet {
namespace {

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::string Describe(DWORD err) {
  char buf[512] = {};
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, err, 0, buf,
                           sizeof buf, nullptr);
  std::string text(buf, n);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  if (text.empty()) text = "system error " + std::to_string(err);
  return text;
}

Error SystemError(const std::string& path, DWORD err) {
  int number = kErrDiskIo;
  if (err == ERROR_DISK_FULL || err == ERROR_HANDLE_DISK_FULL) number = kErrDiskFull;
  if (err == ERROR_ACCESS_DENIED || err == ERROR_WRITE_PROTECT) number = kErrReadOnly;
  if (err == ERROR_LOCK_VIOLATION || err == ERROR_SHARING_VIOLATION) number = kErrLocked;
  return MakeError(number, "'" + path + "': " + Describe(err));
}

// Virus scanners and indexers open a new file for a moment, often without sharing
// deletion; a file deleted while another handle is open stays "delete pending" (it
// cannot be opened or made again) until that handle closes. Both pass within a
// moment, so the journal's creation and removal are retried briefly, as careful
// engines do: 10 tries, 25 ms more each time (about 1.4 s in all).
bool Transient(DWORD err) { return err == ERROR_SHARING_VIOLATION || err == ERROR_ACCESS_DENIED || err == ERROR_LOCK_VIOLATION; }

template <typename Attempt>
DWORD Retrying(Attempt attempt) {
  DWORD err = ERROR_SUCCESS;
  for (int k = 0; k < 10; ++k) {
    if (attempt()) return ERROR_SUCCESS;
    err = GetLastError();
    if (!Transient(err)) return err;
    Sleep(static_cast<DWORD>(25 * (k + 1)));
  }
  return err;
}

// Whether an existing name is a file being deleted: every new open of it fails, even
// one asking for no access rights at all (which nothing else refuses). Such a file is
// as good as gone.
bool DeletePending(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_ACCESS_DENIED;
  CloseHandle(h);
  return false;
}

OVERLAPPED At(std::uint64_t offset) {
  OVERLAPPED ov{};
  ov.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
  ov.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return ov;
}

class Win32File final : public File {
 public:
  Win32File(HANDLE h, std::string path, bool writable) : h_(h), path_(std::move(path)), writable_(writable) {}
  ~Win32File() override { CloseHandle(h_); }
  Win32File(const Win32File&) = delete;
  Win32File& operator=(const Win32File&) = delete;

  Result<std::size_t> Read(std::uint64_t offset, std::span<std::uint8_t> out) override {
    std::size_t done = 0;
    while (done < out.size()) {
      OVERLAPPED ov = At(offset + done);
      DWORD n = 0;
      DWORD want = static_cast<DWORD>(std::min<std::size_t>(out.size() - done, 1u << 30));
      if (!ReadFile(h_, out.data() + done, want, &n, &ov)) {
        DWORD err = GetLastError();
        if (err == ERROR_HANDLE_EOF) break;
        return SystemError(path_, err);
      }
      if (n == 0) break;
      done += n;
    }
    return done;
  }

  Status Write(std::uint64_t offset, std::span<const std::uint8_t> data) override {
    if (!writable_) return MakeError(kErrReadOnly, "The file is open for reading only.");
    std::size_t done = 0;
    while (done < data.size()) {
      OVERLAPPED ov = At(offset + done);
      DWORD n = 0;
      DWORD want = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1u << 30));
      if (!WriteFile(h_, data.data() + done, want, &n, &ov)) return SystemError(path_, GetLastError());
      done += n;
    }
    return Ok();
  }

  Result<std::uint64_t> Size() override {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(h_, &size)) return SystemError(path_, GetLastError());
    return static_cast<std::uint64_t>(size.QuadPart);
  }

  Status Truncate(std::uint64_t size) override {
    // Checked here because wine reports ERROR_INVALID_PARAMETER, not ERROR_ACCESS_DENIED,
    // when the handle lacks write access.
    if (!writable_) return MakeError(kErrReadOnly, "The file is open for reading only.");
    FILE_END_OF_FILE_INFO info{};
    info.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
    if (!SetFileInformationByHandle(h_, FileEndOfFileInfo, &info, sizeof info)) {
      return SystemError(path_, GetLastError());
    }
    return Ok();
  }

  Status Sync() override {
    if (!FlushFileBuffers(h_)) return SystemError(path_, GetLastError());
    return Ok();
  }

  Status TryLock(std::uint64_t offset, std::uint64_t length, LockKind kind) override {
    OVERLAPPED ov = At(offset);
    DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (kind == LockKind::kExclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    if (!LockFileEx(h_, flags, 0, static_cast<DWORD>(length & 0xFFFFFFFFu), static_cast<DWORD>(length >> 32),
                    &ov)) {
      DWORD err = GetLastError();
      if (err == ERROR_LOCK_VIOLATION || err == ERROR_IO_PENDING) {
        return MakeError(kErrLocked, "Couldn't update; currently locked.");
      }
      return SystemError(path_, err);
    }
    return Ok();
  }

  Status Unlock(std::uint64_t offset, std::uint64_t length) override {
    OVERLAPPED ov = At(offset);
    if (!UnlockFileEx(h_, 0, static_cast<DWORD>(length & 0xFFFFFFFFu), static_cast<DWORD>(length >> 32), &ov)) {
      return SystemError(path_, GetLastError());
    }
    return Ok();
  }

 private:
  HANDLE h_;
  std::string path_;
  bool writable_;
};

class Win32FileSystem final : public FileSystem {
 public:
  Result<std::unique_ptr<File>> Open(const std::string& path, OpenMode mode) override {
    DWORD access = GENERIC_READ | (mode == OpenMode::kReadOnly ? 0 : GENERIC_WRITE);
    DWORD disposition = mode == OpenMode::kCreate ? OPEN_ALWAYS : OPEN_EXISTING;
    const std::wstring wide = Wide(path);
    auto open = [&] {
      return CreateFileW(wide.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    HANDLE h = INVALID_HANDLE_VALUE;
    DWORD err = ERROR_SUCCESS;
    if (mode == OpenMode::kCreate) {
      // Making the journal where the last one is still being deleted waits for it to go.
      err = Retrying([&] { return (h = open()) != INVALID_HANDLE_VALUE; });
    } else {
      h = open();
      if (h == INVALID_HANDLE_VALUE) err = GetLastError();
    }
    if (h == INVALID_HANDLE_VALUE) {
      if (err == ERROR_ACCESS_DENIED && mode == OpenMode::kReadOnly && DeletePending(wide)) err = ERROR_FILE_NOT_FOUND;
      if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND) {
        return MakeError(kErrFileNotFound, "Could not find file '" + path + "'.");
      }
      if (err == ERROR_SHARING_VIOLATION) {
        return MakeError(kErrFileInUse, "Couldn't use '" + path + "'; file already in use.");
      }
      if (err == ERROR_ACCESS_DENIED || err == ERROR_WRITE_PROTECT) {
        return MakeError(kErrCannotOpen, "Cannot open the file '" + path + "': " + Describe(err));
      }
      return SystemError(path, err);
    }
    if (GetFileType(h) != FILE_TYPE_DISK) {
      CloseHandle(h);
      return MakeError(kErrCannotOpen, "'" + path + "' is not a file.");
    }
    return std::unique_ptr<File>(new Win32File(h, path, mode != OpenMode::kReadOnly));
  }

  Result<bool> Exists(const std::string& path) override {
    DWORD attrs = GetFileAttributesW(Wide(path).c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) {
      DWORD err = GetLastError();
      if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND) return false;
      return SystemError(path, err);
    }
    if ((attrs & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
    return !DeletePending(Wide(path));
  }

  Status Remove(const std::string& path) override {
    const std::wstring wide = Wide(path);
    DWORD err = Retrying([&] {
      if (DeleteFileW(wide.c_str())) return true;
      const DWORD why = GetLastError();
      // Gone, or going once the last handle closes: either way no longer there.
      if (why == ERROR_FILE_NOT_FOUND || why == ERROR_PATH_NOT_FOUND) return true;
      if (why == ERROR_ACCESS_DENIED && DeletePending(wide)) return true;
      SetLastError(why);
      return false;
    });
    if (err == ERROR_SUCCESS) return Ok();
    return SystemError(path, err);
  }

  Result<bool> HeldOpen(const std::string& path) override {
    // Asking for the file to ourselves fails while any other handle has it open.
    HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      CloseHandle(h);
      return false;
    }
    const DWORD err = GetLastError();
    if (err == ERROR_SHARING_VIOLATION || err == ERROR_LOCK_VIOLATION) return true;
    if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND || DeletePending(Wide(path))) return false;
    return SystemError(path, err);
  }

  Status Rename(const std::string& from, const std::string& to) override {
    if (!MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_WRITE_THROUGH)) {
      return SystemError(from, GetLastError());
    }
    return Ok();
  }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static Win32FileSystem fs;
  return fs;
}

}  // namespace jet
