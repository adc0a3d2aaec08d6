// Every write is interrupted at each of its file changes in turn (a failing write,
// sync, truncate or remove; once, from then on, or as a crash), and the store must
// reopen holding wholly the old rows or wholly the new ones. Every allocation of an
// open, a write and a read fails in turn, too.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <new>

// The allocation this many allocations from now fails once (none while negative).
static std::atomic<long> gFailingAllocation{-1};

void* operator new(std::size_t size) {
  if (gFailingAllocation.load() >= 0 && gFailingAllocation.fetch_sub(1) == 0) throw std::bad_alloc();
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

#include "jet/errors.h"
#include "jet/journal.h"
#include "oracle_check.h"
#include "support/faulty_file_system.h"
#include "write_fixture.h"

namespace jet::test {
namespace {

using support::FaultyFileSystem;
using Mode = FaultyFileSystem::Mode;

constexpr const char* kPath = "verse97.mdb";

struct Scenario {
  const char* name;
  // Brings a new verse store to the scenario's starting point.
  std::function<void(Database&, const TableDef&)> prepare;
  // The write under test.
  std::function<Status(Database&, const TableDef&, const Rows&)> write;
};

RowId IdOf(Database& db, const TableDef& def, std::size_t index) {
  auto rows = db.ReadAllRows(def);
  EXPECT_OK(rows);
  return rows.ok() ? rows->at(index).id : RowId{};
}

void Fill(Database& db, const TableDef& def, int count, std::size_t bookLength, std::size_t memo) {
  for (int i = 0; i < count; ++i) {
    ASSERT_OK(db.Insert(def, VerseRow(std::string(bookLength, static_cast<char>('a' + i % 26)), std::to_string(i),
                                      i % 3 == 0, "1", Memo(memo + static_cast<std::size_t>(i)))));
  }
}

Status UpdateRow(Database& db, const TableDef& def, const Rows& rows, std::size_t index, std::vector<Value> row) {
  return db.Update(def, IdOf(db, def, index), rows[index], row);
}

const std::vector<Scenario>& Scenarios() {
  static const std::vector<Scenario> scenarios = {
      {"InsertInline", [](Database& db, const TableDef& def) { Fill(db, def, 3, 10, 5); },
       [](Database& db, const TableDef& def, const Rows&) {
         auto id = db.Insert(def, VerseRow("John", "3", true, "16", Memo(20)));
         return id.ok() ? Ok() : Status(id.error());
       }},
      {"InsertMemoSingle", [](Database& db, const TableDef& def) { Fill(db, def, 3, 10, 40); },
       [](Database& db, const TableDef& def, const Rows&) {
         auto id = db.Insert(def, VerseRow("John", "3", true, "16", Memo(700)));
         return id.ok() ? Ok() : Status(id.error());
       }},
      {"InsertMemoChained", [](Database& db, const TableDef& def) { Fill(db, def, 2, 10, 40); },
       [](Database& db, const TableDef& def, const Rows&) {
         auto id = db.Insert(def, VerseRow("John", "3", true, "16", Memo(5000)));
         return id.ok() ? Ok() : Status(id.error());
       }},
      {"InsertOntoNewPage", [](Database& db, const TableDef& def) { Fill(db, def, 9, 200, 0); },
       [](Database& db, const TableDef& def, const Rows&) {
         auto id = db.Insert(def, VerseRow(std::string(250, 'n'), "3", true, "16", Memo(3)));
         return id.ok() ? Ok() : Status(id.error());
       }},
      {"UpdateInPlace", [](Database& db, const TableDef& def) { Fill(db, def, 4, 10, 5); },
       [](Database& db, const TableDef& def, const Rows& rows) {
         auto row = rows[1];
         row[2] = !std::get<bool>(row[2]);
         return UpdateRow(db, def, rows, 1, row);
       }},
      {"UpdateRepacked", [](Database& db, const TableDef& def) { Fill(db, def, 4, 10, 5); },
       [](Database& db, const TableDef& def, const Rows&) {
         return UpdateRow(db, def, ReadRows(db, def), 1, VerseRow(std::string(180, 'r'), "9", false, "9", Memo(30)));
       }},
      {"UpdateForwarded", [](Database& db, const TableDef& def) { Fill(db, def, 9, 200, 0); },
       [](Database& db, const TableDef& def, const Rows& rows) {
         return UpdateRow(db, def, rows, 2, VerseRow(std::string(255, 'f'), std::string(50, 'c'), true,
                                                    std::string(50, 'v'), Memo(32)));
       }},
      {"UpdateMemoChainedToSingle", [](Database& db, const TableDef& def) { Fill(db, def, 3, 10, 4500); },
       [](Database& db, const TableDef& def, const Rows& rows) {
         auto row = rows[1];
         row[4] = Memo(900, 'q');
         return UpdateRow(db, def, rows, 1, row);
       }},
      {"DeleteWithMemo", [](Database& db, const TableDef& def) { Fill(db, def, 4, 10, 3000); },
       [](Database& db, const TableDef& def, const Rows& rows) {
         return db.Delete(def, IdOf(db, def, 1), rows[1]);
       }},
      {"DeleteForwarded",
       [](Database& db, const TableDef& def) {
         Fill(db, def, 9, 200, 0);
         auto rows = ReadRows(db, def);
         ASSERT_OK(UpdateRow(db, def, rows, 2, VerseRow(std::string(255, 'f'), "1", true, "1", Memo(600))));
       },
       [](Database& db, const TableDef& def, const Rows& rows) { return db.Delete(def, IdOf(db, def, 2), rows[2]); }},
  };
  return scenarios;
}

struct Outcome {
  Bytes store;
  Rows rows;
  std::uint64_t changes = 0;
};

class FaultInjectionTest : public ::testing::TestWithParam<std::tuple<std::size_t, Mode>> {
 protected:
  const Scenario& scenario() const { return Scenarios()[std::get<0>(GetParam())]; }

  Bytes Prepared() {
    MemoryFileSystem fs;
    fs.SetBytes(kPath, NewVerseStoreBytes());
    auto db = Database::Open(fs, kPath, {true, 100});
    EXPECT_OK(db);
    auto def = (*db)->OpenTable("versetbl");
    EXPECT_OK(def);
    scenario().prepare(**db, *def);
    return fs.Bytes(kPath);
  }

  static Rows RowsOf(MemoryFileSystem& fs, PagerOptions options = {}) {
    auto db = Database::Open(fs, kPath, options);
    EXPECT_OK(db);
    if (!db.ok()) return {};
    auto def = (*db)->OpenTable("versetbl");
    EXPECT_OK(def);
    return def.ok() ? ReadRows(**db, *def) : Rows{};
  }

  // Runs the write through `faulty`, armed at change `n` (0: never).
  static Status Run(const Scenario& s, MemoryFileSystem& mem, FaultyFileSystem& faulty, std::uint64_t n, Mode mode) {
    auto db = Database::Open(faulty, kPath, {true, 100});
    EXPECT_OK(db);
    auto def = (*db)->OpenTable("versetbl");
    EXPECT_OK(def);
    const Rows rows = ReadRows(**db, *def);
    faulty.FailAt(n, mode);
    Status status = s.write(**db, *def, rows);
    if (mode == Mode::kPersistent && faulty.triggered() && (*db)->pager().broken()) {
      // The handle that could not undo its write refuses the next one.
      EXPECT_ERROR(s.write(**db, *def, rows), kErrDiskIo);
    }
    (void)mem;
    return status;
  }
};

TEST_P(FaultInjectionTest, EveryInterruptedWriteLeavesWhollyTheOldOrTheNewRows) {
  const Mode mode = std::get<1>(GetParam());
  const Bytes before = Prepared();
  MemoryFileSystem plain;
  plain.SetBytes(kPath, before);
  const Rows oldRows = RowsOf(plain);

  // The write without faults: its result and how many changes it makes.
  MemoryFileSystem clean;
  clean.SetBytes(kPath, before);
  FaultyFileSystem counting(clean);
  ASSERT_OK(Run(scenario(), clean, counting, 0, mode));
  const std::uint64_t changes = counting.changes();
  const Rows newRows = RowsOf(clean);
  ASSERT_NE(oldRows, newRows);
  ASSERT_GE(changes, 5u);

  std::size_t sawOld = 0, sawNew = 0;
  for (std::uint64_t n = 1;; ++n) {
    SCOPED_TRACE("fault at change " + std::to_string(n));
    ASSERT_LE(n, changes + 1);
    MemoryFileSystem mem;
    mem.SetBytes(kPath, before);
    FaultyFileSystem faulty(mem);
    Status status = Run(scenario(), mem, faulty, n, mode);
    if (!faulty.triggered()) {
      ASSERT_OK(status);
      EXPECT_EQ(n, changes + 1);
      EXPECT_EQ(RowsOf(mem), newRows);
      break;
    }
    // What the disk holds now, as another process (or the restarted one) finds it.
    MemoryFileSystem after;
    after.SetBytes(kPath, mem.Bytes(kPath));
    const bool journalLeft = *mem.Exists(JournalPath(kPath));
    if (journalLeft) after.SetBytes(JournalPath(kPath), mem.Bytes(JournalPath(kPath)));
    if (mode != Mode::kCrash) {
      EXPECT_FALSE(status.ok()) << "a failed change must be reported";
      EXPECT_EQ(RowsOf(after), oldRows) << "a reported failure must leave the old rows";
    }
    // A read-only handle reads through a journal without touching the file.
    const Bytes storeBytes = after.Bytes(kPath);
    const Rows readOnly = RowsOf(after);
    EXPECT_EQ(after.Bytes(kPath), storeBytes);
    EXPECT_TRUE(readOnly == oldRows || readOnly == newRows);
    // A writable handle puts the store right and removes the journal.
    const Rows recovered = RowsOf(after, {true, 100});
    EXPECT_EQ(recovered, readOnly);
    EXPECT_FALSE(*after.Exists(JournalPath(kPath)));
    EXPECT_EQ(Findings(after, kPath), "");
    (recovered == oldRows ? sawOld : sawNew)++;
    // The independent readers agree on a sample of the outcomes.
    if (mode == Mode::kCrash && n % 4 == 1) ExpectOraclesAgree(after.Bytes(kPath), "versetbl");
  }
  // Removing the journal is the last change and the commit point: every interruption
  // comes before it, so every outcome is the old rows.
  EXPECT_EQ(sawOld, changes);
  EXPECT_EQ(sawNew, 0u);
}

// A large file can name lengths this process cannot allocate (a 32-bit one most of
// all); the failed allocation is an error like any other, wherever it happens.
TEST(AllocationFailure, EveryFailedAllocationIsErrorOrSuccessAndTheStoreStaysWhole) {
  MemoryFileSystem setup;
  setup.SetBytes(kPath, NewVerseStoreBytes());
  {
    auto db = Database::Open(setup, kPath, {true, 0});
    ASSERT_OK(db);
    auto def = (*db)->OpenTable("versetbl");
    ASSERT_OK(def);
    ASSERT_OK((*db)->Insert(*def, VerseRow("John", "3", false, "16", Memo(3000))));
  }
  const Bytes start = setup.Bytes(kPath);
  const std::vector<Value> row = VerseRow("Jude", "1", true, "24", Memo(5000, 'j'));
  std::size_t failures = 0;
  for (long n = 0;; ++n) {
    ASSERT_LT(n, 100000);
    MemoryFileSystem fs;
    fs.SetBytes(kPath, start);
    std::size_t rowsRead = 0;
    Database* db = nullptr;
    TableDef def;
    gFailingAllocation = n;
    Status s = [&]() -> Status {
      JET_ASSIGN(auto opened, Database::Open(fs, kPath, {true, 0}));
      db = opened.get();
      JET_ASSIGN(def, db->OpenTable("versetbl"));
      JET_TRY(db->Insert(def, row));
      JET_ASSIGN(auto rows, db->ReadAllRows(def));
      rowsRead = rows.size();
      return Ok();
    }();
    const bool failed = gFailingAllocation.exchange(-1) < 0;
    if (!failed) {
      ASSERT_OK(s);
      EXPECT_EQ(rowsRead, 2u);
      break;
    }
    ++failures;
    if (!s.ok()) {
      ASSERT_EQ(s.error().number, kErrOutOfMemory) << "allocation " << n << ": " << s.error().description;
    }
    ASSERT_EQ(Findings(fs, kPath), "") << "allocation " << n;
  }
  EXPECT_GT(failures, 100u);
}

std::string Name(const ::testing::TestParamInfo<std::tuple<std::size_t, Mode>>& info) {
  const char* modes[] = {"FailOnce", "FailFromThenOn", "Crash"};
  return std::string(Scenarios()[std::get<0>(info.param)].name) + "_" +
         modes[static_cast<int>(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(AllWrites, FaultInjectionTest,
                         ::testing::Combine(::testing::Range<std::size_t>(0, 10),
                                            ::testing::Values(Mode::kOnce, Mode::kPersistent, Mode::kCrash)),
                         Name);

}  // namespace
}  // namespace jet::test
