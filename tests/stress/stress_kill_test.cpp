// The reminder and the editor as two processes on one store on disk, each killed at
// random, mid-write or from outside. After every kill the store reopens, the journal is
// rolled back, the integrity check is clean, and every row each side was told it wrote
// is there as written. LUMARET_STRESS_SEED repeats a run.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <thread>

#include "jet/errors.h"
#include "jet/integrity.h"
#include "jet/journal.h"
#include "jet/new_database.h"
#include "store/data1.h"
#include "store/jet_verse_table.h"
#include "store/verse_schema.h"
#include "support/faulty_file_system.h"
#include "support/result_assert.h"
#include "support/temp_dir.h"

namespace stress {
namespace {

constexpr int kRounds = 40, kOperations = 60;

// A child announces each operation and settles it; one killed in between leaves it
// unsettled: it may or may not have reached the file. The row is "E<key>" (the editor's)
// or "B<key>" (blank, for the reminder to delete), its chapter the version.
struct Message {
  enum Kind : std::uint8_t { kBegin, kDone, kFailed, kBadRead } kind;
  // The editor's own rows' operations first.
  enum Op : std::uint8_t { kInsert, kUpdate, kDelete, kInsertBlank, kDeleteBlank, kFillBlank } op;
  std::int32_t key, version, error;
};

std::int32_t KeyOf(const std::string& book) {
  std::int32_t key = -1;
  auto [end, ec] =
      std::from_chars(book.data() + std::min<std::size_t>(1, book.size()), book.data() + book.size(), key);
  return ec == std::errc() && end == book.data() + book.size() ? key : -1;
}

std::string Text(const std::string& book, const std::string& chapter, std::size_t dots) {
  return book + ":" + chapter + std::string(dots, '.');
}

// A row as the workload writes it, not half of one: a blank is chapter 1 without text.
bool WellFormed(const store::VerseRecord& r) {
  if (KeyOf(r.book) < 0 || (r.book[0] != 'E' && r.book[0] != 'B')) return false;
  if (r.book[0] == 'B' && r.chapter == "1") return r.verseTxt.empty();
  const std::string prefix = Text(r.book, r.chapter, 0);
  return r.verseTxt.size() > prefix.size() && r.verseTxt.starts_with(prefix) &&
         r.verseTxt.find_first_not_of('.', prefix.size()) == std::string::npos;
}

// One side of the workload, in a child process that never returns.
class Worker {
 public:
  Worker(int fd, std::uint32_t seed, std::uint32_t killAt) : fd_(fd), random_(seed) {
    files_.FailAt(killAt, support::FaultyFileSystem::Mode::kCrash);
    files_.OnCrash([] { raise(SIGKILL); });
  }
  void Send(Message::Kind kind, Message::Op op, std::int32_t key, std::int32_t version = 0, int error = 0) {
    const Message m{kind, op, key, version, error};
    if (write(fd_, &m, sizeof m) != static_cast<ssize_t>(sizeof m)) _exit(3);
  }
  void Run(Message::Op op, std::int32_t key, std::int32_t version, auto&& action) {
    Send(Message::kBegin, op, key, version);
    const auto s = action();  // a Status or a Result
    Send(s.ok() ? Message::kDone : Message::kFailed, op, key, version, s.ok() ? 0 : s.error().number);
  }
  int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  std::size_t Dots() {  // some texts long enough to leave the row for memo pages
    return static_cast<std::size_t>(Uniform(0, 9) < 8 ? Uniform(1, 200) : Uniform(1000, 4000));
  }
  void Pause() { std::this_thread::sleep_for(std::chrono::microseconds(Uniform(0, 1500))); }

  // Steps through the verses as Next Verse does, deleting the blank ones.
  [[noreturn]] void Reminder(const std::string& path) {
    store::Data1 data1(files_, path);
    jet::Status s = data1.Refresh();
    for (int op = 0; op < kOperations; ++op, Pause()) {
      if (!s.ok() || !data1.HasCurrent()) {  // at the end, or the row went: from the top
        s = data1.MoveFirst();
        if (!s.ok() && s.error().number != jet::kErrNoCurrentRecord) s = data1.Refresh();
        continue;
      }
      const store::VerseRecord row = data1.Current();
      if (!WellFormed(row)) Send(Message::kBadRead, Message::kInsert, KeyOf(row.book));
      if (row.verseTxt.empty())
        Run(Message::kDeleteBlank, KeyOf(row.book), 0, [&] { return data1.DeleteCurrent(); });
      s = data1.MoveNext();
    }
    _exit(0);
  }

  // Adds, changes and deletes its own rows, adds blank ones and fills some in, racing
  // the reminder's delete of them.
  [[noreturn]] void Editor(const std::string& path, std::int32_t nextKey) {
    store::JetVerseTable table(files_, path);
    for (int op = 0; op < kOperations; ++op, Pause()) {
      auto rows = table.ReadAll();
      if (!rows.ok()) {
        Send(Message::kFailed, Message::kInsert, 0, 0, rows.error().number);
        continue;
      }
      std::vector<const store::StoredVerse*> own, blanks;
      for (const auto& r : *rows) {
        if (!WellFormed(r.record)) Send(Message::kBadRead, Message::kInsert, KeyOf(r.record.book));
        if (r.record.book[0] == 'E') own.push_back(&r);
        if (r.record.book[0] == 'B' && r.record.verseTxt.empty()) blanks.push_back(&r);
      }
      const int dice = Uniform(0, 99);
      const bool fill = dice >= 90 && !blanks.empty();
      if (!fill && (dice < 55 || own.empty())) {
        const std::int32_t key = nextKey++;
        const bool blank = dice >= 35 && dice < 55;
        const std::string book = (blank ? "B" : "E") + std::to_string(key);
        const store::VerseRecord row{book, "1", "1", blank ? "" : Text(book, "1", Dots()), false};
        Run(blank ? Message::kInsertBlank : Message::kInsert, key, 1, [&] { return table.Insert(row); });
        continue;
      }
      auto& pool = fill ? blanks : own;
      const store::StoredVerse& row =
          *pool[static_cast<std::size_t>(Uniform(0, static_cast<int>(pool.size()) - 1))];
      const std::int32_t key = KeyOf(row.record.book);
      if (!fill && dice >= 85) {
        Run(Message::kDelete, key, 0, [&] { return table.Delete(row.id, row.record); });
        continue;
      }
      // Texts and verses of changing length move the row, or its memo out of it.
      store::VerseRecord changed = row.record;
      const std::int32_t version = fill ? 2 : KeyOf("x" + row.record.chapter) + 1;
      changed.chapter = std::to_string(version);
      changed.verseTxt = Text(row.record.book, changed.chapter, Dots());
      changed.verses = std::string(static_cast<std::size_t>(Uniform(1, 40)), 'v');
      Run(fill ? Message::kFillBlank : Message::kUpdate, key, version,
          [&] { return table.Update(row.id, row.record, changed); });
    }
    _exit(0);
  }

  int fd_;
  std::mt19937 random_;
  support::FaultyFileSystem files_{jet::SystemFileSystem()};
};

// What the parent knows of one row: its version, none when absent; a row an unsettled
// operation touched may also be found in its other state.
struct Expected {
  std::optional<std::int32_t> version;
  std::optional<std::optional<std::int32_t>> alternative;
};

struct Child {
  pid_t pid = -1;
  int fd = -1;
  std::optional<Message> pending;  // announced, not yet settled
};

class StressKillTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* seed = std::getenv("LUMARET_STRESS_SEED");
    const auto value = seed != nullptr ? std::strtoul(seed, nullptr, 10) : std::random_device{}();
    random_.seed(static_cast<std::uint32_t>(value));
    std::cout << "seed " << value << "\n";
    ASSERT_OK(jet::CreateDatabase(jet::SystemFileSystem(), path_, *store::VerseTableSchema(), 45000.5));
  }

  Child Start(bool reminder, std::uint32_t killAt, std::int32_t firstKey) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    const std::uint32_t seed = static_cast<std::uint32_t>(random_());
    const pid_t pid = fork();
    if (pid == 0) {
      close(fds[0]);
      Worker worker(fds[1], seed, killAt);
      if (reminder) worker.Reminder(path_);
      worker.Editor(path_, firstKey);
    }
    close(fds[1]);
    return Child{pid, fds[0], std::nullopt};
  }

  static std::pair<char, std::int32_t> Id(const Message& m) {
    return {m.op <= Message::kDelete ? 'E' : 'B', m.key};
  }
  static std::optional<std::int32_t> After(const Message& m) {
    return m.op == Message::kDelete || m.op == Message::kDeleteBlank ? std::nullopt
                                                                     : std::optional(m.version);
  }

  // Reads a child's messages into the model until it has settled `count` or gone.
  void Read(Child& child, int count) {
    Message m;
    for (int settled = 0;
         settled < count && read(child.fd, &m, sizeof m) == static_cast<ssize_t>(sizeof m);) {
      if (m.kind == Message::kBadRead) ADD_FAILURE() << "a row was read half-written: " << m.key;
      if (m.kind == Message::kBegin) child.pending = m;
      if (m.kind == Message::kBadRead || m.kind == Message::kBegin) continue;
      ++settled;
      child.pending.reset();
      // A row changed (3197) or deleted (3167) meanwhile, or a busy file, is the other side's doing.
      if (m.kind == Message::kFailed) {
        EXPECT_TRUE(m.error == 3197 || m.error == 3167 || m.error == 3260 || m.error == 3218) << m.error;
        continue;
      }
      ++operations_;
      // The pipes are read one after the other, so the reminder's delete of a blank row
      // may be read before the editor's insert of it; keys are never reused.
      if (m.op == Message::kDeleteBlank) blankDeletes_ += blanksDeleted_.insert(m.key).second;
      if (m.op != Message::kInsertBlank || !blanksDeleted_.contains(m.key))
        rows_[Id(m)] = {After(m), std::nullopt};
    }
  }

  // Reads a child's messages until it has gone, and reaps it.
  void Drain(Child& child) {
    Read(child, INT32_MAX);
    close(child.fd);
    int status = 0;
    ASSERT_EQ(waitpid(child.pid, &status, 0), child.pid);
    EXPECT_TRUE(WIFSIGNALED(status) ? WTERMSIG(status) == SIGKILL : WEXITSTATUS(status) == 0) << status;
    kills_ += WIFSIGNALED(status);
    if (!child.pending) return;
    // Killed between announcing and settling: either state may be in the file.
    const Message& cut = *child.pending;
    if (cut.op == Message::kDeleteBlank) {
      blanksMaybeDeleted_.insert(cut.key);  // the editor's insert of it may not be read yet
    } else {
      rows_[Id(cut)].alternative = After(cut);
    }
  }

  // Reopens the store as the next program would and compares it with the model; the
  // unsettled rows take the state found.
  void Verify() {
    jet::FileSystem& fs = jet::SystemFileSystem();
    auto rows = store::JetVerseTable(fs, path_).ReadAll();  // rolls a journal back
    ASSERT_OK(rows);
    EXPECT_FALSE(*fs.Exists(jet::JournalPath(path_))) << "the journal was not rolled back";
    auto findings = jet::CheckIntegrity(fs, path_);
    ASSERT_OK(findings);
    for (const auto& f : *findings) ADD_FAILURE() << "page " << f.page << ": " << f.text;

    std::map<std::pair<char, std::int32_t>, std::int32_t> found;
    for (const auto& r : *rows) {
      const auto id = std::pair(r.record.book[0], KeyOf(r.record.book));
      EXPECT_TRUE(found.emplace(id, KeyOf("x" + r.record.chapter)).second) << "twice: " << r.record.book;
    }
    for (auto& [id, e] : rows_) {
      const auto it = found.find(id);
      const std::optional<std::int32_t> actual = it == found.end() ? std::nullopt : std::optional(it->second);
      const bool mayBeGone = id.first == 'B' && blanksMaybeDeleted_.contains(id.second);
      EXPECT_TRUE(actual == e.version || (e.alternative && actual == *e.alternative) ||
                  (mayBeGone && !actual))
          << id.first << id.second << ": found " << actual.value_or(-1) << ", acknowledged "
          << e.version.value_or(-1);
      e = Expected{actual, std::nullopt};
      if (it != found.end()) found.erase(it);
    }
    for (const auto& [id, version] : found) ADD_FAILURE() << "a row nobody wrote: " << id.first << id.second;
  }

  support::TempDir dir_;
  const std::string path_ = dir_.File("verse97.mdb");
  std::mt19937 random_;
  std::map<std::pair<char, std::int32_t>, Expected> rows_;
  std::set<std::int32_t> blanksDeleted_, blanksMaybeDeleted_;
  int operations_ = 0, blankDeletes_ = 0, kills_ = 0;
};

TEST_F(StressKillTest, EveryAcknowledgedRowSurvivesKillsOfEitherProgramMidWrite) {
  signal(SIGPIPE, SIG_IGN);
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    // Who dies and how: killing itself halfway through a file change, or killed from
    // outside after some of its operations were settled. The survivor runs to its end.
    const int victim = static_cast<int>(random_() % 3);  // 0 reminder, 1 editor, 2 both
    const bool midWrite = random_() % 2 == 0;
    Child children[2];
    for (int c = 0; c < 2; ++c) {
      const bool dies = (victim == c || victim == 2) && midWrite;
      children[c] = Start(c == 0, dies ? 1 + static_cast<std::uint32_t>(random_() % (c == 0 ? 12 : 60)) : 0,
                          (round + 1) * 1000);
      ASSERT_GT(children[c].pid, 0);
    }
    for (int c = 0; c < 2; ++c) {
      if ((victim != c && victim != 2) || midWrite) continue;
      Read(children[c], 1 + static_cast<int>(random_() % 30));
      usleep(static_cast<useconds_t>(random_() % 3000));  // lands anywhere in what it does next
      kill(children[c].pid, SIGKILL);
    }
    for (auto& child : children) Drain(child);
    Verify();
    if (HasFailure()) return;
  }
  std::cout << "stress: " << operations_ << " operations, " << blankDeletes_ << " blank deletes, " << kills_
            << " kills\n";
  EXPECT_GT(operations_, kRounds);
  EXPECT_GT(blankDeletes_, 0) << "the reminder never deleted a blank verse";
  // Many planned deaths never come: the reminder seldom writes, and a child may end
  // before the kill from outside. Seeds 1 to 12 gave 23 to 34 kills, a loaded machine
  // fewer (20 once): the floor only shows that the run killed at all.
  EXPECT_GT(kills_, kRounds / 4);
}

}  // namespace
}  // namespace stress
