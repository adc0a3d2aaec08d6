// Two processes write the same verse store on disk at once: one deletes and re-adds
// rows, the other updates rows. Every row must survive exactly once.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <map>

#include "jet/errors.h"
#include "oracle_check.h"
#include "support/temp_dir.h"
#include "write_fixture.h"

namespace jet::test {
namespace {

constexpr int kKeys = 12;
constexpr int kOperations = 60;

struct Tally {
  std::uint64_t done = 0;       // operations that went through
  std::uint64_t conflicts = 0;  // 3197/3167: the row changed or went meanwhile, so it was read again
  std::uint64_t lockWaits = 0;  // times a lock was held by the other process
  std::uint64_t failures = 0;   // anything else
};

std::string Key(int i) { return "K" + std::to_string(i); }

// Finds the row whose Book is `key`.
bool Find(Database& db, const TableDef& def, const std::string& key, RowId& id, std::vector<Value>& values) {
  bool found = false;
  Status s = db.Scan(def, [&](const RowRef& r) {
    auto v = db.RowValues(def, r.bytes);
    if (v.ok() && std::get<Text>((*v)[0]) == T(key)) {
      id = r.id;
      values = *v;
      found = true;
      return false;
    }
    return true;
  });
  return s.ok() && found;
}

// One operation, retried after an optimistic conflict until it goes through.
Tally Work(const std::string& path, bool deleter) {
  Tally tally;
  auto db = Database::Open(SystemFileSystem(), path, {true, 20000});
  if (!db.ok()) return Tally{0, 0, 0, 1};
  auto def = (*db)->OpenTable("versetbl");
  if (!def.ok()) return Tally{0, 0, 0, 1};
  for (int op = 0; op < kOperations; ++op) {
    const std::string key = Key(deleter ? op % kKeys : (op * 7 + 3) % kKeys);
    for (int attempt = 0; attempt < 1000; ++attempt) {
      RowId id;
      std::vector<Value> values;
      if (!Find(**db, *def, key, id, values)) {  // between the other's delete and insert
        ++tally.conflicts;
        usleep(1000);  // give the other process time to add the row again
        continue;
      }
      Status s = Ok();
      if (deleter) {
        s = (*db)->Delete(*def, id, values);
        if (s.ok()) {
          values[1] = T("A" + std::to_string(op));
          auto added = (*db)->Insert(*def, values);
          if (!added.ok()) ++tally.failures;  // the row would be lost
        }
      } else {
        auto changed = values;
        changed[3] = T("B" + std::to_string(op));
        changed[4] = Memo(static_cast<std::size_t>(op * 97 % 3000), 'b');
        s = (*db)->Update(*def, id, values, changed);
      }
      if (s.ok()) {
        ++tally.done;
        break;
      }
      if (s.error().number == kErrWriteConflict || s.error().number == kErrRecordDeleted) {
        ++tally.conflicts;
        continue;
      }
      ++tally.failures;
      break;
    }
  }
  tally.lockWaits = (*db)->pager().lockWaits();
  return tally;
}

TEST(TwoProcessTest, ADeleterAndAnUpdaterOnOneStoreLoseAndDuplicateNoRow) {
  lumaret::test::TempDir dir;
  const std::string path = dir.File("verse97.mdb");
  {
    std::ofstream out(path, std::ios::binary);
    const Bytes bytes = NewVerseStoreBytes();
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  {
    auto db = Database::Open(SystemFileSystem(), path, {true, 1000});
    ASSERT_OK(db);
    auto def = (*db)->OpenTable("versetbl");
    ASSERT_OK(def);
    for (int i = 0; i < kKeys; ++i) ASSERT_OK((*db)->Insert(*def, VerseRow(Key(i), "0", false, "0", Memo(40))));
  }
  // Both processes start while this one holds the writer lock, so each of them
  // meets a held lock at least once however the scheduler runs them.
  auto gate = SystemFileSystem().Open(path, OpenMode::kReadWrite);
  ASSERT_OK(gate);
  ASSERT_OK((*gate)->TryLock(kWriterLock, 1, LockKind::kExclusive));
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  int pipes[2][2];
  pid_t children[2];
  for (int c = 0; c < 2; ++c) {
    ASSERT_EQ(pipe(pipes[c]), 0);
    children[c] = fork();
    ASSERT_GE(children[c], 0);
    if (children[c] == 0) {
      (void)!write(ready[1], "r", 1);
      Tally t = Work(path, c == 0);
      (void)!write(pipes[c][1], &t, sizeof t);
      _exit(0);
    }
    close(pipes[c][1]);
  }
  char signal[2];
  ASSERT_EQ(read(ready[0], signal, 1), 1);
  ASSERT_EQ(read(ready[0], signal + 1, 1), 1);
  // A child's first write follows its "ready" within a scan of twelve rows.
  usleep(200 * 1000);
  ASSERT_OK((*gate)->Unlock(kWriterLock, 1));
  gate->reset();
  Tally tallies[2];
  for (int c = 0; c < 2; ++c) {
    ASSERT_EQ(read(pipes[c][0], &tallies[c], sizeof(Tally)), static_cast<ssize_t>(sizeof(Tally)));
    close(pipes[c][0]);
    int status = 0;
    ASSERT_EQ(waitpid(children[c], &status, 0), children[c]);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const char* names[] = {"deleter", "updater"};
  for (int c = 0; c < 2; ++c) {
    SCOPED_TRACE(names[c]);
    EXPECT_EQ(tallies[c].done, static_cast<std::uint64_t>(kOperations));
    EXPECT_EQ(tallies[c].failures, 0u);
    EXPECT_GT(tallies[c].lockWaits, 0u) << "the writer lock held at the start was not waited for";
    std::cout << names[c] << ": " << tallies[c].done << " done, " << tallies[c].conflicts << " conflicts, "
              << tallies[c].lockWaits << " lock waits\n";
  }
  // Every key exactly once, with the last change of each process where it applies.
  auto db = Database::Open(SystemFileSystem(), path);
  ASSERT_OK(db);
  auto def = (*db)->OpenTable("versetbl");
  ASSERT_OK(def);
  std::map<std::string, int> seen;
  for (const auto& row : ReadRows(**db, *def)) {
    const auto& book = std::get<Text>(row[0]).bytes;
    ++seen[std::string(book.begin(), book.end())];
  }
  EXPECT_EQ(seen.size(), static_cast<std::size_t>(kKeys));
  for (const auto& [key, count] : seen) EXPECT_EQ(count, 1) << key;
  EXPECT_EQ(def->rowCount, static_cast<std::uint32_t>(kKeys));
  db->reset();
  EXPECT_EQ(Findings(SystemFileSystem(), path), "");
  std::ifstream in(path, std::ios::binary);
  ExpectOraclesAgree(Bytes(std::istreambuf_iterator<char>(in), {}), "versetbl");
}

}  // namespace
}  // namespace jet::test
