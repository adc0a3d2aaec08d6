// The stress and kill suite: the reminder and the editor as two processes on one store
// on disk, each killed at random, mid-write or from outside. After every kill the
// store reopens, the journal is rolled back, the integrity check is clean, and every
// row each side was told it wrote is there as written.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <set>

#include "jet/database.h"
#include "jet/integrity.h"
#include "jet/journal.h"
#include "jet/new_database.h"
#include "store/jet_verse_table.h"
#include "store/verse_schema.h"
#include "stress_workers.h"
#include "support/result_assert.h"
#include "support/temp_dir.h"

namespace stress {
namespace {

constexpr int kRounds = 40;
constexpr int kOperationsPerChild = 80;

// What the parent knows of one row: its chapter when present. A row that an unsettled
// operation touched has two possible states until the store is read back.
struct Expected {
  std::optional<std::int32_t> version;  // nullopt: absent
  std::optional<std::optional<std::int32_t>> alternative;
};

struct Figures {
  int operations = 0, blankDeletes = 0, steps = 0, conflicts = 0, failures = 0, badReads = 0;
  int selfKills = 0, outsideKills = 0, unsettled = 0, journalsLeft = 0, recoveries = 0;
};

// One child and its pipes.
struct Child {
  pid_t pid = -1;
  int messages = -1;
  int stop = -1;
  std::optional<Message> pending;  // announced, not yet settled
  bool killedByParent = false;
  bool drained = false;
};

Child Start(bool reminder, WorkerPlan plan) {
  int messages[2];
  int stop[2];
  if (pipe(messages) != 0 || pipe(stop) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    close(messages[0]);
    close(stop[1]);
    plan.writeFd = messages[1];
    plan.stopFd = stop[0];
    if (reminder) RunReminder(plan);
    RunEditor(plan);
  }
  close(messages[1]);
  close(stop[0]);
  return Child{pid, messages[0], stop[1], std::nullopt};
}

class StressKillTest : public ::testing::Test {
 protected:
  void SetUp() override {
    signal(SIGPIPE, SIG_IGN);  // a child may die before it reads its stop request
    const char* seed = std::getenv("LUMARET_STRESS_SEED");
    seed_ = seed != nullptr ? static_cast<std::uint32_t>(std::strtoul(seed, nullptr, 10))
                            : std::random_device{}();
    random_.seed(seed_);
    std::cout << "seed " << seed_ << " (LUMARET_STRESS_SEED repeats a run)\n";
    path_ = dir_.File("verse97.mdb");
    auto bytes = jet::BuildNewDatabase(*store::VerseTableSchema(), 45000.5);
    ASSERT_OK(bytes);
    auto file = jet::SystemFileSystem().Open(path_, jet::OpenMode::kCreate);
    ASSERT_OK(file);
    ASSERT_OK((*file)->Write(0, *bytes));
  }

  // Applies one message of a child to the model.
  void Apply(Child& child, const Message& m) {
    switch (m.kind) {
      case Message::kBegin: child.pending = m; break;
      case Message::kDone:
        ++figures_.operations;
        child.pending.reset();
        // The two pipes are read one after the other, so the reminder's delete of a
        // blank row may be read before the editor's insert of it; keys are never reused,
        // so a deleted blank row stays deleted.
        if (m.op == Message::kDeleteBlank) {
          blanksDeleted_.insert(m.key);
          ++figures_.blankDeletes;
        }
        if (m.op == Message::kInsertBlank && blanksDeleted_.count(m.key) > 0) break;
        rows_[{Side(m.op), m.key}] = Expected{After(m), std::nullopt};
        break;
      case Message::kFailed:
        child.pending.reset();
        // A changed or deleted row (3197, 3167) or a busy file is the other side's doing.
        if (m.error == 3197 || m.error == 3167 || m.error == 3260 || m.error == 3218)
          ++figures_.conflicts;
        else
          ++figures_.failures;
        if (figures_.failures > 0 && m.error != 0) ADD_FAILURE() << "an operation failed with " << m.error;
        break;
      case Message::kStep: ++figures_.steps; break;
      case Message::kBadRead:
        ++figures_.badReads;
        ADD_FAILURE() << "a row was read half-written: " << m.key;
        break;
      case Message::kSummary: break;
    }
  }

  static char Side(Message::Op op) {
    return op == Message::kInsertBlank || op == Message::kDeleteBlank || op == Message::kFillBlank ? 'B'
                                                                                                   : 'E';
  }
  static std::optional<std::int32_t> After(const Message& m) {
    if (m.op == Message::kDelete || m.op == Message::kDeleteBlank) return std::nullopt;
    return m.version;
  }

  // Reads a child's messages until it has gone, and reaps it.
  void Drain(Child& child) {
    if (child.drained) return;
    child.drained = true;
    Message m;
    while (read(child.messages, &m, sizeof m) == static_cast<ssize_t>(sizeof m)) Apply(child, m);
    close(child.messages);
    close(child.stop);
    int status = 0;
    ASSERT_EQ(waitpid(child.pid, &status, 0), child.pid);
    if (child.pending) {
      // Killed between announcing and settling: either state may be in the file.
      ++figures_.unsettled;
      const Message& cut = *child.pending;
      if (cut.op == Message::kDeleteBlank) {
        blanksMaybeDeleted_.insert(cut.key);  // the editor's insert of it may not be read yet
      } else {
        rows_[{Side(cut.op), cut.key}].alternative = After(cut);
      }
    }
    if (WIFSIGNALED(status)) {
      EXPECT_EQ(WTERMSIG(status), SIGKILL);
      if (!child.killedByParent) ++figures_.selfKills;
    } else {
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    }
  }

  // Reads a child's messages until it has settled `count` operations or gone.
  void ReadUntil(Child& child, int count) {
    int settled = 0;
    Message m;
    while (settled < count && read(child.messages, &m, sizeof m) == static_cast<ssize_t>(sizeof m)) {
      Apply(child, m);
      if (m.kind == Message::kDone || m.kind == Message::kFailed || m.kind == Message::kStep) ++settled;
    }
  }

  // Reopens the store as the next program would and compares it with the model; the
  // unsettled rows take the state found.
  void Verify(int round) {
    SCOPED_TRACE("round " + std::to_string(round));
    auto journal = jet::SystemFileSystem().Exists(jet::JournalPath(path_));
    ASSERT_OK(journal);
    if (*journal) ++figures_.journalsLeft;
    store::JetVerseTable table(jet::SystemFileSystem(), path_);
    auto rows = table.ReadAll();  // opens for writing, so a dead writer's journal is rolled back
    ASSERT_OK(rows);
    auto after = jet::SystemFileSystem().Exists(jet::JournalPath(path_));
    ASSERT_OK(after);
    EXPECT_FALSE(*after) << "the journal was not rolled back";
    if (*journal && !*after) ++figures_.recoveries;

    auto findings = jet::CheckIntegrity(jet::SystemFileSystem(), path_);
    ASSERT_OK(findings);
    for (const auto& f : *findings) ADD_FAILURE() << "page " << f.page << ": " << f.text;

    std::map<std::pair<char, std::int32_t>, std::int32_t> found;
    for (const auto& r : *rows) {
      const std::pair<char, std::int32_t> id{r.record.book[0], std::atoi(r.record.book.c_str() + 1)};
      EXPECT_TRUE(found.emplace(id, std::atoi(r.record.chapter.c_str())).second)
          << "twice: " << r.record.book;
    }
    for (auto& [id, e] : rows_) {
      const auto it = found.find(id);
      const std::optional<std::int32_t> actual =
          it == found.end() ? std::nullopt : std::optional<std::int32_t>(it->second);
      const bool mayBeGone = id.first == 'B' && blanksMaybeDeleted_.count(id.second) > 0;
      const bool matches =
          actual == e.version || (e.alternative && actual == *e.alternative) || (mayBeGone && !actual);
      EXPECT_TRUE(matches) << id.first << id.second << ": found "
                           << (actual ? std::to_string(*actual) : "none") << ", acknowledged "
                           << (e.version ? std::to_string(*e.version) : "none");
      e = Expected{actual, std::nullopt};
      if (it != found.end()) found.erase(it);
    }
    for (const auto& [id, version] : found) ADD_FAILURE() << "a row nobody wrote: " << id.first << id.second;
  }

  support::TempDir dir_;
  std::string path_;
  std::uint32_t seed_ = 0;
  std::mt19937 random_;
  std::map<std::pair<char, std::int32_t>, Expected> rows_;
  std::set<std::int32_t> blanksDeleted_;       // blank rows the reminder was told it deleted
  std::set<std::int32_t> blanksMaybeDeleted_;  // blank rows whose delete was cut off
  Figures figures_;
};

TEST_F(StressKillTest, EveryAcknowledgedRowSurvivesKillsOfEitherProgramMidWrite) {
  for (int round = 0; round < kRounds; ++round) {
    // Who dies and how: a child killing itself halfway through a file change, or the
    // parent killing it from outside after some of its operations were settled.
    const int victim = static_cast<int>(random_() % 3);  // 0 reminder, 1 editor, 2 both
    const bool midWrite = random_() % 2 == 0;
    Child children[2];
    for (int c = 0; c < 2; ++c) {
      WorkerPlan plan;
      plan.path = path_;
      plan.seed = static_cast<std::uint32_t>(random_());
      plan.operations = kOperationsPerChild;
      plan.firstKey = (round + 1) * 1000;
      const bool dies = victim == c || victim == 2;
      if (dies && midWrite) plan.killAtChange = 1 + static_cast<std::uint32_t>(random_() % (c == 0 ? 12 : 60));
      children[c] = Start(c == 0, plan);
      ASSERT_GT(children[c].pid, 0);
    }
    for (int c = 0; c < 2; ++c) {
      const bool dies = victim == c || victim == 2;
      if (!dies) continue;
      if (midWrite) {
        Drain(children[c]);  // until it has killed itself (or run out of operations first)
      } else {
        ReadUntil(children[c], 1 + static_cast<int>(random_() % 30));
        usleep(static_cast<useconds_t>(random_() % 3000));  // lands anywhere in what the child does next
        kill(children[c].pid, SIGKILL);
        children[c].killedByParent = true;
        ++figures_.outsideKills;
      }
    }
    // The survivor finishes the operation it is in and stops.
    for (auto& child : children) {
      if (!child.drained && !child.killedByParent) (void)!write(child.stop, "s", 1);
    }
    for (auto& child : children) Drain(child);
    Verify(round);
    if (HasFatalFailure()) return;
  }
  std::cout << "stress: " << kRounds << " rounds, " << figures_.operations << " operations ("
            << figures_.blankDeletes << " of them the reminder's deletes), " << figures_.steps
            << " Next Verse steps, " << figures_.conflicts << " conflicts, " << figures_.selfKills
            << " kills mid-write, " << figures_.outsideKills << " kills from outside, " << figures_.unsettled
            << " operations cut off, " << figures_.journalsLeft << " journals left, " << figures_.recoveries
            << " recoveries on reopen\n";
  EXPECT_EQ(figures_.failures, 0);
  EXPECT_EQ(figures_.badReads, 0);
  EXPECT_GT(figures_.operations, kRounds);
  EXPECT_GT(figures_.blankDeletes, 0) << "the reminder never deleted a blank verse";
  EXPECT_GT(figures_.selfKills + figures_.outsideKills, kRounds / 2);
}

}  // namespace
}  // namespace stress
