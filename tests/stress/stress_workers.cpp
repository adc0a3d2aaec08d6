// The reminder's and the editor's side of the stress workload.
#include "stress_workers.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <charconv>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "jet/errors.h"
#include "jet/file.h"
#include "store/data1.h"
#include "store/jet_verse_table.h"
#include "support/faulty_file_system.h"

namespace stress {

namespace {

class Worker {
 public:
  explicit Worker(const WorkerPlan& plan) : plan_(plan), random_(plan.seed), files_(jet::SystemFileSystem()) {
    files_.FailAt(plan.killAtChange, support::FaultyFileSystem::Mode::kCrash);
    files_.OnCrash([] { raise(SIGKILL); });
  }

  void Send(Message::Kind kind, Message::Op op = Message::kNone, std::int32_t key = 0,
            std::int32_t version = 0, std::int32_t error = 0) {
    const Message m{kind, op, key, version, error};
    if (write(plan_.writeFd, &m, sizeof m) != static_cast<ssize_t>(sizeof m)) _exit(3);
  }
  // Settles the announced operation.
  void Settle(const jet::Status& s, Message::Op op, std::int32_t key, std::int32_t version) {
    Send(s.ok() ? Message::kDone : Message::kFailed, op, key, version, s.ok() ? 0 : s.error().number);
  }
  bool StopWanted() const {
    pollfd p{plan_.stopFd, POLLIN, 0};
    return poll(&p, 1, 0) > 0;
  }
  // A short random pause between operations, so the two sides interleave differently each run.
  void Pause() { std::this_thread::sleep_for(std::chrono::microseconds(Uniform(0, 1500))); }
  int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  [[noreturn]] void Exit() {
    Send(Message::kSummary);
    _exit(0);
  }

  const WorkerPlan& plan_;
  std::mt19937 random_;
  support::FaultyFileSystem files_;
};

std::int32_t KeyOf(const std::string& book) {
  std::int32_t key = -1;
  if (book.size() < 2) return -1;
  auto [end, ec] = std::from_chars(book.data() + 1, book.data() + book.size(), key);
  return ec == std::errc() && end == book.data() + book.size() ? key : -1;
}

// A row as the workload writes it: "E<key>" rows carry text, "B<key>" rows none, and
// the chapter is a number.
// The text of an editor's row: its book and chapter, then dots of a random count,
// some long enough to leave the row for memo pages.
std::string EditorText(const std::string& book, const std::string& chapter, std::size_t dots) {
  return "Verse text of " + book + " " + chapter + std::string(dots, '.');
}

bool WellFormed(const store::VerseRecord& r) {
  if (KeyOf(r.book) < 0) return false;
  if (r.book[0] == 'E') {
    const std::string prefix = EditorText(r.book, r.chapter, 0);
    return r.verseTxt.size() > prefix.size() && r.verseTxt.compare(0, prefix.size(), prefix) == 0 &&
           r.verseTxt.find_first_not_of('.', prefix.size()) == std::string::npos;
  }
  // A blank row is chapter 1; the editor fills one in as chapter 2.
  if (r.book[0] != 'B') return false;
  if (r.chapter == "1") return r.verseTxt.empty();
  const std::string prefix = EditorText(r.book, r.chapter, 0);
  return r.chapter == "2" && r.verseTxt.size() > prefix.size() &&
         r.verseTxt.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

std::string EditorBook(std::int32_t key) { return "E" + std::to_string(key); }
std::string BlankBook(std::int32_t key) { return "B" + std::to_string(key); }

void RunReminder(const WorkerPlan& plan) {
  Worker w(plan);
  store::Data1 data1(w.files_, plan.path);
  jet::Status s = data1.Refresh();
  for (int op = 0; op < plan.operations && !w.StopWanted(); ++op) {
    if (!s.ok() || !data1.HasCurrent()) {
      // End of the table, or the row under the cursor went: start again from the top.
      s = data1.MoveFirst();
      if (!s.ok() && s.error().number != jet::kErrNoCurrentRecord) s = data1.Refresh();
      w.Pause();
      continue;
    }
    const store::VerseRecord row = data1.Current();
    if (!WellFormed(row)) w.Send(Message::kBadRead, Message::kNone, KeyOf(row.book));
    if (row.verseTxt.empty()) {
      const std::int32_t key = KeyOf(row.book);
      w.Send(Message::kBegin, Message::kDeleteBlank, key);
      w.Settle(data1.DeleteCurrent(), Message::kDeleteBlank, key, 0);
    }
    s = data1.MoveNext();  // Next Verse
    w.Send(Message::kStep);
    w.Pause();
  }
  w.Exit();
}

void RunEditor(const WorkerPlan& plan) {
  Worker w(plan);
  store::JetVerseTable table(w.files_, plan.path);
  std::int32_t nextKey = plan.firstKey;
  const auto dots = [&w] {
    return static_cast<std::size_t>(w.Uniform(0, 9) < 8 ? w.Uniform(1, 200) : w.Uniform(1000, 4000));
  };
  for (int op = 0; op < plan.operations && !w.StopWanted(); ++op) {
    auto rows = table.ReadAll();
    if (!rows.ok()) {
      w.Send(Message::kFailed, Message::kNone, 0, 0, rows.error().number);
      w.Pause();
      continue;
    }
    std::vector<const store::StoredVerse*> own;
    std::vector<const store::StoredVerse*> blanks;  // the reminder may delete these meanwhile
    for (const auto& r : *rows) {
      if (!WellFormed(r.record)) w.Send(Message::kBadRead, Message::kNone, KeyOf(r.record.book));
      if (!r.record.book.empty() && r.record.book[0] == 'E') own.push_back(&r);
      if (!r.record.book.empty() && r.record.book[0] == 'B' && r.record.verseTxt.empty())
        blanks.push_back(&r);
    }
    const int dice = w.Uniform(0, 99);
    if (dice >= 90 && !blanks.empty()) {
      // Fills in a blank verse, racing the reminder's delete of it: one of the two must fail.
      const store::StoredVerse& row =
          *blanks[static_cast<std::size_t>(w.Uniform(0, static_cast<int>(blanks.size()) - 1))];
      const std::int32_t key = KeyOf(row.record.book);
      store::VerseRecord filled = row.record;
      filled.chapter = "2";
      filled.verseTxt = EditorText(row.record.book, "2", dots());
      w.Send(Message::kBegin, Message::kFillBlank, key, 2);
      w.Settle(table.Update(row.id, row.record, filled), Message::kFillBlank, key, 2);
    } else if (dice < 35 || own.empty()) {
      const std::int32_t key = nextKey++;
      const store::VerseRecord row{EditorBook(key), "1", "1", EditorText(EditorBook(key), "1", dots()),
                                   false};
      w.Send(Message::kBegin, Message::kInsert, key, 1);
      auto added = table.Insert(row);
      w.Settle(added.ok() ? jet::Ok() : jet::Status(added.error()), Message::kInsert, key, 1);
    } else if (dice < 55) {
      const std::int32_t key = nextKey++;
      w.Send(Message::kBegin, Message::kInsertBlank, key, 1);
      auto added = table.Insert(store::VerseRecord{BlankBook(key), "1", "1", "", false});
      w.Settle(added.ok() ? jet::Ok() : jet::Status(added.error()), Message::kInsertBlank, key, 1);
    } else {
      const store::StoredVerse& row =
          *own[static_cast<std::size_t>(w.Uniform(0, static_cast<int>(own.size()) - 1))];
      const std::int32_t key = KeyOf(row.record.book);
      if (dice < 85) {
        const std::int32_t version = KeyOf("x" + row.record.chapter) + 1;
        store::VerseRecord changed = row.record;
        changed.chapter = std::to_string(version);
        // Memo texts of changing length move the row, or its memo out of it.
        changed.verseTxt = EditorText(row.record.book, changed.chapter, dots());
        changed.verses = std::string(static_cast<std::size_t>(w.Uniform(1, 40)), 'v');
        w.Send(Message::kBegin, Message::kUpdate, key, version);
        w.Settle(table.Update(row.id, row.record, changed), Message::kUpdate, key, version);
      } else {
        w.Send(Message::kBegin, Message::kDelete, key);
        w.Settle(table.Delete(row.id, row.record), Message::kDelete, key, 0);
      }
    }
    w.Pause();
  }
  w.Exit();
}

}  // namespace stress
