#include "jet/pager.h"

#include <chrono>
#include <thread>

#include "jet/errors.h"

namespace jet {

Pager::Pager(FileSystem& fs, std::string path, std::unique_ptr<File> file, PagerOptions options)
    : fs_(fs), path_(std::move(path)), file_(std::move(file)), options_(options) {}

Pager::~Pager() = default;

Result<std::unique_ptr<Pager>> Pager::Open(FileSystem& fs, const std::string& path, PagerOptions options) {
  JET_ASSIGN(auto file, fs.Open(path, options.writable ? OpenMode::kReadWrite : OpenMode::kReadOnly));
  std::unique_ptr<Pager> pager(new Pager(fs, path, std::move(file), options));
  Page page0{};
  JET_ASSIGN(std::size_t n, pager->file_->Read(0, page0));
  JET_ASSIGN(pager->header_, DecodeHeader(std::span(page0.data(), n), path));
  if (pager->header_.Encoded() && options.writable) {
    return MakeError(kErrReadOnly, "'" + path + "' is an encoded database; it can be read but not changed.");
  }
  return pager;
}

Status Pager::LockWithRetry(std::uint64_t offset, LockKind kind) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(options_.lockTimeoutMs);
  for (;;) {
    Status s = file_->TryLock(offset, 1, kind);
    if (s.ok() || s.error().number != kErrLocked) return s;
    if (Clock::now() >= deadline) {
      return MakeError(kErrLocked, "Couldn't read or update '" + path_ + "'; currently locked by another program.");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

Status Pager::RefreshPageCount() {
  JET_ASSIGN(std::uint64_t size, file_->Size());
  if (size / kPageSize > 0x80000) return Corrupt("the file is larger than an Access 97 database can be");
  pageCount_ = static_cast<std::uint32_t>(size / kPageSize);
  return Ok();
}

Status Pager::BeginRead() {
  if (readDepth_ > 0) {
    ++readDepth_;
    return Ok();
  }
  JET_TRY(LockWithRetry(kReadLock, LockKind::kShared));
  Status s = RefreshPageCount();
  if (!s.ok()) {
    (void)file_->Unlock(kReadLock, 1);
    return s;
  }
  readDepth_ = 1;
  return Ok();
}

void Pager::EndRead() {
  if (readDepth_ == 0) return;
  if (--readDepth_ > 0) return;
  cache_.clear();
  (void)file_->Unlock(kReadLock, 1);
}

Result<const Page*> Pager::Read(std::uint32_t number) {
  if (readDepth_ == 0) return MakeError(kErrDiskIo, "internal error: a page was read outside an operation");
  if (number >= pageCount_) {
    return Corrupt("page " + std::to_string(number) + " lies past the end of the file");
  }
  auto it = cache_.find(number);
  if (it != cache_.end()) return static_cast<const Page*>(it->second.get());
  auto page = std::make_unique<Page>();
  JET_ASSIGN(std::size_t n, file_->Read(std::uint64_t{number} * kPageSize, *page));
  if (n != kPageSize) return Corrupt("page " + std::to_string(number) + " is cut short");
  if (number > 0 && header_.Encoded()) TogglePageEncoding(header_.key, number, *page);
  const Page* result = page.get();
  cache_.emplace(number, std::move(page));
  return result;
}

}  // namespace jet
