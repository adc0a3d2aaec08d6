// Pages of one open database file: reading them whole, decoded, inside a lock
// that keeps other programs' writes out while an operation reads; and changing
// them in one journalled write at a time.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "jet/file.h"
#include "jet/format.h"
#include "jet/header.h"
#include "jet/journal.h"
#include "jet/result.h"
#include "jet/table_def.h"

namespace jet {

// Byte-range locks far past the largest possible file (1 GiB), so they never
// cover data and never stop another handle's reads on Windows.
//
// The protocol. A read operation holds the read lock shared. A writer holds the
// writer lock for its whole write (one writer at a time), reads under the shared read
// lock, and to change pages takes first the pending lock, then the read lock, both
// exclusively, and keeps them until its pages are written. A reader takes the pending
// lock shared for just the moment it takes the read lock. So once a writer waits, new
// readers wait behind it while the readers already in finish, and a writer is never
// starved by a stream of readers after it has written its journal. Recovery from a
// dead writer's journal goes the same way under the writer lock.
inline constexpr std::uint64_t kLockBase = 0x7FFFFF00;
inline constexpr std::uint64_t kWriterLock = kLockBase;    // held by the one writer for a whole write
inline constexpr std::uint64_t kReadLock = kLockBase + 1;  // shared by readers; exclusive while pages change
inline constexpr std::uint64_t kPendingLock = kLockBase + 2;  // exclusive while a writer waits for readers

struct PagerOptions {
  bool writable = false;
  // How long an operation waits for another program's write to finish before it
  // reports the file as locked.
  int lockTimeoutMs = 3000;
};

// The one code page text is written in (see code_page.h).
inline constexpr std::uint16_t kWrittenCodePage = 1252;

// The lock file Access keeps beside a database it has open: "verse97.ldb".
std::string AccessLockFilePath(const std::string& storePath);

class Pager {
 public:
  static Result<std::unique_ptr<Pager>> Open(FileSystem& fs, const std::string& path,
                                             PagerOptions options = {});
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
  // For a scan that goes through `numbers` in order: reads the first of them that are
  // not read yet into the read-ahead window (128 KiB a call), each run of pages a few apart
  // in one read with the pages between (a table's pages alternate with its long
  // values'), and returns how many of `numbers` it went past. The pages it read are
  // forgotten by the call after next: until then they, and the bytes of their
  // rows, stay valid. Outside a read operation, or where a dead
  // writer's journal stands in for pages, it reads nothing and passes them all; a
  // page it cannot read is left for Read, which says why.
  std::size_t ReadAhead(std::span<const std::uint32_t> numbers);
  // Counts the times pages read before were let go (a read or write ended, a scan's
  // window moved on): a page pointer kept from an earlier count may hold another page.
  std::uint64_t epoch() const { return epoch_; }

  // One write operation, on a writable pager outside any read operation:
  //  BeginWrite takes the writer lock (waiting up to the lock timeout, then 3260),
  //   rolls back a journal a dead writer left, and opens a read operation (shared
  //   read lock), so every page read from then on is the file's current page.
  //  Modify and Append stage changes in memory; Read sees them.
  //  CommitWrite writes the old images of the changed pages and the old file size to
  //   the journal and syncs it, takes the read lock exclusively (waiting for readers),
  //   writes the pages, syncs the store and removes the journal. When a step fails it
  //   puts the old pages back; if even that fails, the pager refuses writes (broken)
  //   until it is opened again. Either way the locks are released.
  //  AbortWrite drops the staged changes; the file was not touched.
  Status BeginWrite();
  Result<Page*> Modify(std::uint32_t number);
  // A new zero-filled page after the last one; returns its number.
  Result<std::uint32_t> Append();
  Status CommitWrite();
  void AbortWrite();
  bool writing() const { return state_ == State::kWriting; }
  // How often a lock was found held by another handle and waited for (for tests and logs).
  std::uint64_t lockWaits() const { return lockWaits_; }
  bool broken() const { return state_ == State::kBroken || state_ == State::kBrokenReading; }
  // What happened that the user should hear of though no operation failed (a journal
  // of another store set aside); each is returned once.
  std::vector<std::string> TakeNotices() { return std::exchange(notices_, {}); }

 private:
  // What the pager is doing. `nesting_` counts the BeginRead calls still open: all of
  // them in the reading states, the ones nested inside the write in kWriting.
  //
  //            BeginRead (outermost)
  //   kIdle ------------------------> kReading        the read lock shared; the page
  //     |   <------------------------                 cache, and for a store a dead
  //     |       EndRead (outermost)                   writer left, its journal's pages
  //     |
  //     |  BeginWrite                 CommitWrite, AbortWrite
  //     +----------------> kWriting -------------------------> kIdle
  //                           |
  //                           |  CommitWrite failed and could not put the old pages back
  //                           v
  //                        kBroken <----------------------> kBrokenReading
  //                             BeginRead / EndRead (outermost)
  //
  // A broken pager still reads (as the journal it left says the store was) but refuses
  // every write until the file is opened again. Reading a page in kIdle or kBroken, or
  // changing one outside kWriting, is a programming error (Misuse), never a disk error.
  enum class State { kIdle, kReading, kWriting, kBroken, kBrokenReading };

  Pager(FileSystem& fs, std::string path, std::unique_ptr<File> file, PagerOptions options);
  Status LockWithRetry(std::uint64_t offset, LockKind kind, int lockedNumber = 3218);
  // Retries `attempt` while it finds a lock held, up to the lock timeout.
  Status RetryLocked(const std::function<Status()>& attempt, int lockedNumber = 3218);
  // The read lock, shared, behind any writer that waits (see the protocol above).
  Status LockForReading();
  // The pending and the read lock, exclusively; UnlockChanging drops both.
  Status LockForChanging();
  void UnlockChanging();
  Status RefreshPageCount();
  // Room for `count` pages that live until the cache is dropped.
  Page* NewPages(std::size_t count);
  // Reads pages first.. into `pages` from the file and decodes them.
  Status LoadPages(std::uint32_t first, std::span<Page> pages);
  // Whether a journal exists that no live writer owns.
  Result<bool> JournalIsHot();
  // Rolls back a journal left behind; takes and releases the writer lock.
  Status Recover();
  // Rolls back the journal while this pager holds the writer lock.
  Status RollBackJournalFile();
  // Reads the store as a dead writer's journal says it was (when it cannot be fixed).
  Status UseJournalOverlay();
  // Whether a journal read from disk was written for this store as it is now.
  Result<bool> JournalIsOurs(const JournalFile& journal);
  Status WriteJournal(const JournalImage& image);
  // Ends the write, dropping its pages and locks, in state `next`.
  void EndWrite(State next);
  bool Reading() const { return state_ == State::kReading || state_ == State::kBrokenReading; }

  FileSystem& fs_;
  std::string path_;
  std::unique_ptr<File> file_;
  PagerOptions options_;
  DatabaseHeader header_;
  std::uint32_t pageCount_ = 0;
  State state_ = State::kIdle;
  int nesting_ = 0;
  // The pages read or changed in this operation; they live in blocks_, allocated a
  // run at a time.
  std::unordered_map<std::uint32_t, Page*> cache_;
  std::vector<std::unique_ptr<Page[]>> blocks_;
  // The read-ahead window: two halves, the one read last and the one before, and
  // the pages each holds now (see ReadAhead).
  std::unique_ptr<Page[]> window_;
  std::array<std::vector<std::uint32_t>, 2> inWindow_;
  std::size_t half_ = 0;
  std::uint64_t epoch_ = 0;
  // Pages of a store left half-written, as the journal has them (this operation only).
  std::optional<JournalImage> overlay_;
  // The write in progress.
  std::uint64_t lockWaits_ = 0;
  std::uint64_t originalSize_ = 0;
  std::map<std::uint32_t, Bytes> originals_;
  std::set<std::uint32_t> dirty_;
  std::vector<std::string> notices_;
};

// Holds a write operation open for a scope; it is dropped unless Commit() is called.
class WriteScope {
 public:
  explicit WriteScope(Pager& pager) : pager_(pager), status_(pager.BeginWrite()) {}
  ~WriteScope() {
    if (status_.ok() && pager_.writing()) pager_.AbortWrite();
  }
  WriteScope(const WriteScope&) = delete;
  WriteScope& operator=(const WriteScope&) = delete;
  const Status& status() const { return status_; }
  Status Commit() { return pager_.CommitWrite(); }

 private:
  Pager& pager_;
  Status status_;
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
