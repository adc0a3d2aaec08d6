#include "jet/pager.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
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

std::string AccessLockFilePath(const std::string& storePath) {
  const auto name = storePath.find_last_of("/\\");
  const auto dot = storePath.rfind('.');
  const bool hasExtension = dot != std::string::npos && (name == std::string::npos || dot > name);
  return (hasExtension ? storePath.substr(0, dot) : storePath) + ".ldb";
}

Status Pager::LockWithRetry(std::uint64_t offset, LockKind kind, int lockedNumber) {
  return RetryLocked([&] { return file_->TryLock(offset, 1, kind); }, lockedNumber);
}

Status Pager::LockForReading() {
  // A reader passes the pending lock on its way in, so none starts while a writer waits.
  return RetryLocked([&] {
    Status s = file_->TryLock(kPendingLock, 1, LockKind::kShared);
    if (!s.ok()) return s;
    s = file_->TryLock(kReadLock, 1, LockKind::kShared);
    (void)file_->Unlock(kPendingLock, 1);
    return s;
  });
}

Status Pager::LockForChanging() {
  // Announce the wait first: readers that come now wait behind it.
  JET_TRY(LockWithRetry(kPendingLock, LockKind::kExclusive));
  Status s = LockWithRetry(kReadLock, LockKind::kExclusive);
  if (!s.ok()) (void)file_->Unlock(kPendingLock, 1);
  return s;
}

void Pager::UnlockChanging() {
  (void)file_->Unlock(kReadLock, 1);
  (void)file_->Unlock(kPendingLock, 1);
}

Status Pager::RetryLocked(const std::function<Status()>& attempt, int lockedNumber) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(options_.lockTimeoutMs);
  for (;;) {
    Status s = attempt();
    if (s.ok() || s.error().number != kErrLocked) return s;
    ++lockWaits_;
    if (Clock::now() >= deadline) {
      if (lockedNumber == kErrLockedByUser) {
        return MakeError(kErrLockedByUser,
                         "Couldn't update '" + path_ + "'; currently locked by another program.");
      }
      return MakeError(kErrLocked,
                       "Couldn't read or update '" + path_ + "'; currently locked by another program.");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

Status Pager::RefreshPageCount() {
  JET_ASSIGN(std::uint64_t size, file_->Size());
  if (size / kPageSize > kMaxPages) return Corrupt("the file is larger than an Access 97 database can be");
  pageCount_ = static_cast<std::uint32_t>(size / kPageSize);
  return Ok();
}

Status Pager::BeginRead() {
  if (Reading() || state_ == State::kWriting) {
    ++nesting_;
    return Ok();
  }
  const bool broken = state_ == State::kBroken;
  // A journal with no live writer means a writer died mid-write: the store is put
  // back first, or, where this handle cannot change it, read as the journal says.
  for (int attempt = 0;; ++attempt) {
    JET_TRY(LockForReading());
    Status s = RefreshPageCount();
    Result<bool> hot = s.ok() ? JournalIsHot() : Result<bool>(s.error());
    if (hot.ok() && *hot) {
      auto otherProgram = fs_.HeldOpen(AccessLockFilePath(path_));
      if (options_.writable && !broken && attempt < 3 && otherProgram.ok() && !*otherProgram) {
        (void)file_->Unlock(kReadLock, 1);
        if (Recover().ok()) continue;
        JET_TRY(LockForReading());
      }
      s = UseJournalOverlay();
    } else if (!hot.ok()) {
      s = hot.error();
    }
    if (!s.ok()) {
      overlay_.reset();
      (void)file_->Unlock(kReadLock, 1);
      return s;
    }
    break;
  }
  state_ = broken ? State::kBrokenReading : State::kReading;
  nesting_ = 1;
  return Ok();
}

void Pager::EndRead() {
  if (state_ == State::kWriting) {  // the write's own read operation ends with the write
    if (nesting_ > 0) --nesting_;
    return;
  }
  if (!Reading() || --nesting_ > 0) return;
  state_ = state_ == State::kBrokenReading ? State::kBroken : State::kIdle;
  cache_.clear();
  blocks_.clear();
  ++epoch_;
  window_.reset();
  inWindow_[0].clear();
  inWindow_[1].clear();
  overlay_.reset();
  (void)file_->Unlock(kReadLock, 1);
}

Result<bool> Pager::JournalIsHot() {
  JET_ASSIGN(bool exists, fs_.Exists(JournalPath(path_)));
  if (!exists) return false;
  // A live writer holds its lock for the whole write. A shared probe works on
  // read-only handles too, and never blocks anyone for long.
  Status probe = file_->TryLock(kWriterLock, 1, LockKind::kShared);
  if (!probe.ok()) {
    if (probe.error().number == kErrLocked) return false;
    return probe.error();
  }
  (void)file_->Unlock(kWriterLock, 1);
  return true;
}

Status Pager::Recover() {
  JET_TRY(LockWithRetry(kWriterLock, LockKind::kExclusive, kErrLockedByUser));
  Status s = RollBackJournalFile();
  (void)file_->Unlock(kWriterLock, 1);
  return s;
}

Result<bool> Pager::JournalIsOurs(const JournalFile& journal) {
  if (!journal.read.valid || !journal.fits) return false;
  return JournalBelongs(*file_, journal.read.image);
}

Status Pager::RollBackJournalFile() {
  JET_ASSIGN(std::uint64_t size, file_->Size());
  JET_ASSIGN(JournalFile journal, LoadJournal(fs_, path_, size));
  if (!journal.exists) return Ok();
  // Readers must not see the pages change under them.
  JET_TRY(LockForChanging());
  Status s = Ok();
  Result<bool> ours = JournalIsOurs(journal);
  if (!ours.ok()) {
    s = ours.error();
  } else if (*ours) {
    s = ApplyJournal(*file_, journal.read.image);
    if (s.ok()) s = fs_.Remove(JournalPath(path_));
  } else if (!journal.read.valid) {
    s = fs_.Remove(JournalPath(path_));  // incomplete: the store was never touched
  } else {
    // A whole journal written for another store (or this one before it was put
    // back from a copy): applying it would paste that store's pages into this one.
    auto aside = SetJournalAside(fs_, path_);
    if (aside.ok()) {
      notices_.push_back(
          "The journal beside '" + path_ +
          "' belongs to another copy of the database; it was not applied and has been kept as '" + *aside +
          "'.");
    } else {
      s = MakeError(kErrCannotOpen,
                    "The journal beside '" + path_ +
                        "' belongs to another copy of the database and could not be set aside (" +
                        aside.error().description + "); move '" + JournalPath(path_) +
                        "' away and try again.");
    }
  }
  UnlockChanging();
  return s;
}

Status Pager::UseJournalOverlay() {
  JET_ASSIGN(JournalFile journal, LoadJournal(fs_, path_, std::uint64_t{pageCount_} * kPageSize));
  // An incomplete journal means the writer never reached the store; a foreign one
  // says nothing about it.
  if (!journal.exists) return Ok();
  JET_ASSIGN(bool ours, JournalIsOurs(journal));
  if (!ours) return Ok();
  overlay_ = std::move(journal.read.image);
  if (overlay_->originalSize / kPageSize > kMaxPages)
    return Corrupt("the journal names an impossible file size");
  pageCount_ = static_cast<std::uint32_t>(overlay_->originalSize / kPageSize);
  return Ok();
}

Status Pager::BeginWrite() {
  if (!options_.writable) return MakeError(kErrReadOnly, "'" + path_ + "' is open for reading only.");
  if (broken()) {
    return MakeError(kErrDiskIo,
                     "An earlier change to '" + path_ +
                         "' failed and could not be undone; close the database and open it again.");
  }
  if (state_ != State::kIdle) return Misuse("a write began inside another operation");
  // Text is written as Windows-1252 bytes; a store that declares another code page
  // would get text it cannot read back, so it is read (as 1252) but never written.
  if (header_.codePage != kWrittenCodePage) {
    return MakeError(kErrNotSupported,
                     "'" + path_ + "' uses code page " + std::to_string(header_.codePage) +
                         "; only databases in code page 1252 (Western European) can be changed.");
  }
  // Access (and every Jet program) keeps a lock file open beside a database it has
  // open, and ignores our locks and our journal: writing now would interleave with
  // its writes. Reading goes on; its writes are seen as they land.
  const std::string lockFile = AccessLockFilePath(path_);
  JET_ASSIGN(bool inUse, fs_.HeldOpen(lockFile));
  if (inUse) {
    return MakeError(kErrFileInUse, "Couldn't update '" + path_ +
                                        "'; it is in use by another program (its lock file '" + lockFile +
                                        "' is open). Close that program and try again.");
  }
  JET_TRY(LockWithRetry(kWriterLock, LockKind::kExclusive, kErrLockedByUser));
  // With the writer lock held, any journal is a dead writer's (or ours, from a
  // failed roll-back): the store is put back before anything else is read.
  Status s = RollBackJournalFile();
  if (s.ok()) s = LockForReading();
  if (!s.ok()) {
    (void)file_->Unlock(kWriterLock, 1);
    return s;
  }
  s = RefreshPageCount();
  if (!s.ok()) {
    (void)file_->Unlock(kReadLock, 1);
    (void)file_->Unlock(kWriterLock, 1);
    return s;
  }
  originalSize_ = std::uint64_t{pageCount_} * kPageSize;
  state_ = State::kWriting;
  nesting_ = 0;
  return Ok();
}

Result<Page*> Pager::Modify(std::uint32_t number) {
  if (state_ != State::kWriting) return Misuse("a page was changed outside a write");
  JET_ASSIGN(const Page* page, Read(number));
  if (std::uint64_t{number} * kPageSize < originalSize_ && originals_.count(number) == 0) {
    originals_.emplace(number, Bytes(page->begin(), page->end()));
  }
  dirty_.insert(number);
  return cache_.at(number);
}

Result<std::uint32_t> Pager::Append() {
  if (state_ != State::kWriting) return Misuse("a page was added outside a write");
  if (pageCount_ >= kMaxPages)
    return MakeError(kErrDiskFull,
                     "'" + path_ + "' has reached the largest size an Access 97 database can have.");
  const std::uint32_t number = pageCount_++;
  Page* page = NewPages(1);
  page->fill(0);
  cache_[number] = page;
  dirty_.insert(number);
  return number;
}

Status Pager::WriteJournal(const JournalImage& image) {
  JET_ASSIGN(auto journal, fs_.Open(JournalPath(path_), OpenMode::kCreate));
  JET_TRY(journal->Truncate(0));
  JET_TRY(journal->Write(0, EncodeJournal(image)));
  return journal->Sync();
}

Status Pager::CommitWrite() {
  if (state_ != State::kWriting) return Misuse("commit without a write");
  if (dirty_.empty()) {
    EndWrite(State::kIdle);
    return Ok();
  }
  JournalImage image;
  image.originalSize = originalSize_;
  image.newSize = std::uint64_t{pageCount_} * kPageSize;
  image.pages = originals_;
  for (const auto& [number, old] : originals_) image.written[number] = HashSectors(*cache_.at(number));
  const std::string journalPath = JournalPath(path_);
  State next = State::kIdle;
  Status s = WriteJournal(image);
  if (s.ok()) {
    // Readers finish their operations first; none starts until the pages are written.
    (void)file_->Unlock(kReadLock, 1);
    s = LockForChanging();
    if (!s.ok()) {
      (void)fs_.Remove(journalPath);  // the store is untouched; a journal left behind is harmless
      EndWrite(State::kIdle);
      return s;
    }
    for (std::uint32_t number : dirty_) {
      s = file_->Write(std::uint64_t{number} * kPageSize, *cache_.at(number));
      if (!s.ok()) break;
    }
    if (s.ok()) s = file_->Sync();
    if (s.ok()) s = fs_.Remove(journalPath);  // the write is complete from here on
    if (!s.ok()) {
      Status undo = ApplyJournal(*file_, image);
      if (undo.ok()) undo = fs_.Remove(journalPath);
      if (!undo.ok()) next = State::kBroken;
    }
  } else {
    // The store was not touched. A journal that did get written whole names the
    // pages as they still are, so leaving it behind would be harmless.
    (void)fs_.Remove(journalPath);
  }
  EndWrite(next);
  return s;
}

void Pager::AbortWrite() {
  if (state_ == State::kWriting) EndWrite(State::kIdle);
}

void Pager::EndWrite(State next) {
  state_ = next;
  nesting_ = 0;
  cache_.clear();
  blocks_.clear();
  ++epoch_;
  originals_.clear();
  dirty_.clear();
  UnlockChanging();  // or the shared read lock
  (void)file_->Unlock(kWriterLock, 1);
}

Page* Pager::NewPages(std::size_t count) {
  blocks_.push_back(std::make_unique_for_overwrite<Page[]>(count));
  return blocks_.back().get();
}

Status Pager::LoadPages(std::uint32_t first, std::span<Page> pages) {
  std::span<std::uint8_t> bytes(pages.front().data(), pages.size() * kPageSize);
  JET_ASSIGN(std::size_t n, file_->Read(std::uint64_t{first} * kPageSize, bytes));
  if (n != bytes.size()) return Corrupt("page " + std::to_string(first + n / kPageSize) + " is cut short");
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const auto number = static_cast<std::uint32_t>(first + i);
    if (number > 0 && header_.Encoded()) TogglePageEncoding(header_.key, number, pages[i]);
  }
  return Ok();
}

Result<const Page*> Pager::Read(std::uint32_t number) {
  if (!Reading() && state_ != State::kWriting) return Misuse("a page was read outside an operation");
  if (number >= pageCount_) {
    return Corrupt("page " + std::to_string(number) + " lies past the end of the file");
  }
  if (auto it = cache_.find(number); it != cache_.end()) return static_cast<const Page*>(it->second);
  Page* page = NewPages(1);
  const Bytes* old = nullptr;
  if (overlay_) {
    auto found = overlay_->pages.find(number);
    if (found != overlay_->pages.end()) old = &found->second;
  }
  if (old != nullptr) {
    std::memcpy(page->data(), old->data(), kPageSize);
    if (number > 0 && header_.Encoded()) TogglePageEncoding(header_.key, number, *page);
  } else {
    JET_TRY(LoadPages(number, std::span<Page>(page, 1)));
  }
  cache_.emplace(number, page);
  return static_cast<const Page*>(page);
}

std::size_t Pager::ReadAhead(std::span<const std::uint32_t> numbers) {
  if (!Reading() || overlay_) return numbers.size();
  constexpr std::uint32_t kWindowPages = 64;
  constexpr std::uint32_t kLongestGap = 8;
  // Two halves: the pages of the call before stay, as the first rows of a page often
  // have their long values on the pages before it.
  half_ = 1 - half_;
  if (!inWindow_[half_].empty()) ++epoch_;
  for (std::uint32_t n : inWindow_[half_]) cache_.erase(n);
  inWindow_[half_].clear();
  if (!window_) window_ = std::make_unique_for_overwrite<Page[]>(2 * kWindowPages);
  std::size_t i = 0;
  std::uint32_t used = 0;
  while (i < numbers.size()) {
    const std::uint32_t first = numbers[i];
    if (first >= pageCount_ || cache_.contains(first)) {
      ++i;
      continue;
    }
    // Whole pieces: a page asked for, with the pages up to the next one when that
    // is near (where its rows' long values most often are).
    std::uint32_t end = first;
    for (; i < numbers.size() && numbers[i] == end && numbers[i] < pageCount_; ++i) {
      const bool nearNext =
          i + 1 < numbers.size() && numbers[i + 1] > numbers[i] && numbers[i + 1] - numbers[i] <= kLongestGap;
      const std::uint32_t pieceEnd = std::min(nearNext ? numbers[i + 1] : numbers[i] + 1, pageCount_);
      if (used + (pieceEnd - first) > kWindowPages) break;
      end = pieceEnd;
    }
    if (end == first) break;  // the window is full
    Page* pages = window_.get() + half_ * kWindowPages + used;
    used += end - first;
    if (!LoadPages(first, std::span<Page>(pages, end - first)).ok()) continue;
    for (std::uint32_t n = first; n < end; ++n) {
      if (cache_.emplace(n, pages + (n - first)).second) inWindow_[half_].push_back(n);
    }
  }
  return std::max<std::size_t>(i, 1);
}

}  // namespace jet
