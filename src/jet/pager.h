// Pages of one open database file: reading them whole, decoded, inside a lock
// that keeps other programs' writes out while an operation reads.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "jet/file.h"
#include "jet/header.h"
#include "jet/result.h"
#include "jet/table_def.h"

namespace jet {

using Page = std::array<std::uint8_t, kPageSize>;

// Byte-range locks far past the largest possible file (1 GiB), so they never
// cover data and never stop another handle's reads on Windows.
inline constexpr std::uint64_t kLockBase = 0x7FFFFF00;
inline constexpr std::uint64_t kWriterLock = kLockBase;      // held by the one writer for a whole write
inline constexpr std::uint64_t kReadLock = kLockBase + 1;    // shared by readers; exclusive while pages change

struct PagerOptions {
  bool writable = false;
  // How long an operation waits for another program's write to finish before it
  // reports the file as locked.
  int lockTimeoutMs = 3000;
};

class Pager {
 public:
  static Result<std::unique_ptr<Pager>> Open(FileSystem& fs, const std::string& path, PagerOptions options = {});
  ~Pager();
  Pager(const Pager&) = delete;
  Pager& operator=(const Pager&) = delete;

  const DatabaseHeader& header() const { return header_; }
  const std::string& path() const { return path_; }
  bool writable() const { return options_.writable; }

  // Brackets one read operation. Nested calls are counted; the outermost takes
  // the shared read lock and the page count, and the page cache lives until the
  // outermost EndRead, so every operation sees the file as it is now.
  Status BeginRead();
  void EndRead();

  // Number of whole pages in the file (as of the current operation).
  std::uint32_t PageCount() const { return pageCount_; }

  // Page `number`, decoded. Valid until the end of the current operation.
  // A page number past the end of the file is a corruption error.
  Result<const Page*> Read(std::uint32_t number);

 private:
  Pager(FileSystem& fs, std::string path, std::unique_ptr<File> file, PagerOptions options);
  Status LockWithRetry(std::uint64_t offset, LockKind kind);
  Status RefreshPageCount();

  FileSystem& fs_;
  std::string path_;
  std::unique_ptr<File> file_;
  PagerOptions options_;
  DatabaseHeader header_;
  std::uint32_t pageCount_ = 0;
  int readDepth_ = 0;
  std::unordered_map<std::uint32_t, std::unique_ptr<Page>> cache_;
};

// Holds a read operation open for a scope.
class ReadScope {
 public:
  explicit ReadScope(Pager& pager) : pager_(pager), status_(pager.BeginRead()) {}
  ~ReadScope() {
    if (status_.ok()) pager_.EndRead();
  }
  ReadScope(const ReadScope&) = delete;
  ReadScope& operator=(const ReadScope&) = delete;
  const Status& status() const { return status_; }

 private:
  Pager& pager_;
  Status status_;
};

}  // namespace jet
