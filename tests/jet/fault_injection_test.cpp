// Every write is interrupted at each of its file changes in turn (a failing write, sync,
// truncate or remove; once, from then on, or as a crash), and the store must reopen
// holding wholly the old rows or wholly the new ones. Every allocation of an open, a
// write and a read fails in turn, too.
#include <atomic>
#include <cstdlib>
#include <functional>
#include <new>
#include <optional>

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

#include "fixture.h"
#include "jet/journal.h"
#include "support/faulty_file_system.h"

namespace jet::test {
namespace {

using support::FaultyFileSystem;
using Mode = FaultyFileSystem::Mode;
using Row = std::vector<Value>;
using Change = std::function<std::optional<Row>(Row)>;
constexpr const char* kPath = "verse97.mdb";

// Writes `row` as row `index` of the table: a new row past the end, no row deletes it.
Status Put(Database& db, const TableDef& def, std::size_t index, const std::optional<Row>& row) {
  JET_ASSIGN(auto stored, db.ReadAllRows(def));
  if (index == stored.size()) {
    auto id = db.Insert(def, *row);
    return id.ok() ? Ok() : Status(id.error());
  }
  const StoredRow& old = stored[index];
  return row ? db.Update(def, old.id, old.values, *row) : db.Delete(def, old.id, old.values);
}

Change Becomes(Row row) {
  return [row](Row) { return row; };
}
const Change kGone = [](Row) -> std::optional<Row> { return std::nullopt; };

// A verse store of `count` rows with books of `book` letters and memos of `memo` + i
// letters (row 2 forwarded to another page when `forward`, then `fill` rows of 200
// letters after it), then one write to row `index`. A forwarded row updated stays where
// it moved to (Again) or, grown past that page's room, moves once more (Elsewhere).
const struct Scenario {
  const char* name;
  int count;
  std::size_t book, memo;
  bool forward;
  std::size_t index;
  Change change;
  int fill = 0;
} kScenarios[] = {
    {"InsertInline", 3, 10, 5, false, 3, Becomes(VerseRow("John", "3", true, "16", Memo(20)))},
    {"InsertMemoSingle", 3, 10, 40, false, 3, Becomes(VerseRow("John", "3", true, "16", Memo(700)))},
    {"InsertMemoChained", 2, 10, 40, false, 2, Becomes(VerseRow("John", "3", true, "16", Memo(5000)))},
    {"InsertOntoNewPage", 9, 200, 0, false, 9,
     Becomes(VerseRow(std::string(250, 'n'), "3", true, "16", Memo(3)))},
    {"UpdateInPlace", 4, 10, 5, false, 1,
     [](Row r) -> std::optional<Row> { return r[2] = !std::get<bool>(r[2]), r; }},
    {"UpdateRepacked", 4, 10, 5, false, 1,
     Becomes(VerseRow(std::string(180, 'r'), "9", false, "9", Memo(30)))},
    {"UpdateForwarded", 9, 225, 0, false, 2,
     Becomes(VerseRow(std::string(255, 'f'), std::string(50, 'c'), true, std::string(50, 'v'), Memo(32)))},
    {"UpdateForwardedAgain", 9, 225, 0, true, 2, Becomes(VerseRow("j", "1", false, "1", Memo(2000)))},
    {"UpdateForwardedElsewhere", 9, 225, 0, true, 2,
     Becomes(VerseRow(std::string(255, 'i'), std::string(50, 'c'), true, std::string(50, 'v'), Memo(2000))),
     20},
    {"UpdateMemoChainedToSingle", 3, 10, 4500, false, 1,
     [](Row r) -> std::optional<Row> { return r[4] = Memo(900, 'q'), r; }},
    {"DeleteWithMemo", 4, 10, 3000, false, 1, kGone},
    {"DeleteForwarded", 9, 225, 0, true, 2, kGone},
};

Rows RowsOf(MemoryFileSystem& fs, PagerOptions options = {}) {
  Opened o = OpenVerses(fs, kPath, options);
  return o.db ? ReadRows(*o.db, o.def) : Rows{};
}

// Whether the row at `index` moved off its home page.
bool Moved(MemoryFileSystem& fs, std::size_t index) {
  Opened o = OpenVerses(fs, kPath);
  return IsStub(fs.Bytes(kPath), o.db->ReadAllRows(o.def).value().at(index).id);
}

class FaultInjectionTest : public testing::TestWithParam<std::tuple<std::size_t, Mode>> {
 protected:
  const Scenario& scenario() const { return kScenarios[std::get<0>(GetParam())]; }
  Bytes Prepared() {
    MemoryFileSystem fs;
    fs.SetBytes(kPath, NewVerseStoreBytes());
    Opened o = OpenVerses(fs, kPath, {true, 100});
    const Scenario& s = scenario();
    for (int i = 0; i < s.count; ++i) {
      EXPECT_OK(o.db->Insert(
          o.def, VerseRow(std::string(s.book, static_cast<char>('a' + i % 26)), std::to_string(i), i % 3 == 0,
                          "1", Memo(s.memo + static_cast<std::size_t>(i)))));
    }
    if (s.forward) {
      EXPECT_OK(Put(*o.db, o.def, 2, VerseRow(std::string(255, 'f'), "1", true, "1", Memo(600))));
      EXPECT_TRUE(Moved(fs, 2)) << "the scenario must start from a row that moved off its page";
    }
    for (int i = 0; i < s.fill; ++i)
      EXPECT_OK(o.db->Insert(o.def, VerseRow(std::string(200, 'h'), "1", false, "1", {})));
    return fs.Bytes(kPath);
  }
  // Runs the write of `row` through `faulty`, armed at change `n`.
  Status Run(FaultyFileSystem& faulty, std::uint64_t n, Mode mode, const std::optional<Row>& row) {
    Opened o = OpenVerses(faulty, kPath, {true, 100});
    faulty.FailAt(n, mode);
    Status status = Put(*o.db, o.def, scenario().index, row);
    // The handle that could not undo its write refuses the next one.
    if (mode == Mode::kPersistent && faulty.triggered() && o.db->pager().broken())
      EXPECT_ERROR(Put(*o.db, o.def, scenario().index, row), kErrDiskIo);
    return status;
  }
};

TEST_P(FaultInjectionTest, EveryInterruptedWriteLeavesWhollyTheOldOrTheNewRows) {
  const Mode mode = std::get<1>(GetParam());
  const Bytes before = Prepared();
  MemoryFileSystem start;
  start.SetBytes(kPath, before);
  const Rows oldRows = RowsOf(start);
  Rows newRows = oldRows;
  const std::size_t index = scenario().index;
  const auto row = scenario().change(index < oldRows.size() ? oldRows[index] : Row{});
  if (index == newRows.size())
    newRows.push_back(*row);
  else if (row)
    newRows[index] = *row;
  else
    newRows.erase(newRows.begin() + static_cast<std::ptrdiff_t>(index));
  for (std::uint64_t n = 1;; ++n) {
    SCOPED_TRACE("fault at change " + std::to_string(n));
    MemoryFileSystem mem;
    mem.SetBytes(kPath, before);
    FaultyFileSystem faulty(mem);
    Status status = Run(faulty, n, mode, row);
    if (!faulty.triggered()) {  // the write ran to its end: it did what it says
      ASSERT_OK(status);
      EXPECT_EQ(RowsOf(mem), newRows);
      EXPECT_EQ(Findings(mem, kPath), "");
      EXPECT_GT(n, 5u) << "too few changes to interrupt";
      if (std::string_view(scenario().name).starts_with("UpdateForwarded")) {
        EXPECT_TRUE(Moved(mem, 2)) << "the scenario must leave a row that moved off its page";
      }
      break;
    }
    if (mode != Mode::kCrash) {
      EXPECT_FALSE(status.ok()) << "a failed change must be reported";
    }
    // What the disk holds now, as another process (or the restarted one) finds it. A
    // read-only handle reads through a journal without touching the file. Removing the
    // journal is the last change and the commit point: every interruption leaves the old rows.
    const Bytes storeBytes = mem.Bytes(kPath);
    EXPECT_EQ(RowsOf(mem), oldRows);
    EXPECT_EQ(mem.Bytes(kPath), storeBytes);
    // A writable handle puts the store right and removes the journal.
    EXPECT_EQ(RowsOf(mem, {true, 100}), oldRows);
    EXPECT_FALSE(*mem.Exists(JournalPath(kPath)));
    EXPECT_EQ(Findings(mem, kPath), "");
    if (mode == Mode::kCrash && n % 4 == 1)
      ExpectOraclesAgree(mem.Bytes(kPath), "versetbl", scenario().forward);
  }
}

std::string Name(const testing::TestParamInfo<std::tuple<std::size_t, Mode>>& param) {
  const char* modes[] = {"FailOnce", "FailFromThenOn", "Crash"};
  return std::string(kScenarios[std::get<0>(param.param)].name) + "_" +
         modes[static_cast<int>(std::get<1>(param.param))];
}

INSTANTIATE_TEST_SUITE_P(AllWrites, FaultInjectionTest,
                         testing::Combine(testing::Range<std::size_t>(0, std::size(kScenarios)),
                                          testing::Values(Mode::kOnce, Mode::kPersistent, Mode::kCrash)),
                         Name);

// A large file can name lengths this process cannot allocate (a 32-bit one most of
// all); the failed allocation is an error like any other, wherever it happens.
TEST(AllocationFailure, EveryFailedAllocationIsErrorOrSuccessAndTheStoreStaysWhole) {
  MemoryFileSystem setup;
  setup.SetBytes(kPath, NewVerseStoreBytes());
  {
    Opened o = OpenVerses(setup, kPath, {true, 0});
    ASSERT_OK(o.db->Insert(o.def, VerseRow("John", "3", false, "16", Memo(3000))));
  }
  const Bytes start = setup.Bytes(kPath);
  const Row row = VerseRow("Jude", "1", true, "24", Memo(5000, 'j'));
  std::size_t failures = 0, rowsRead = 0;
  for (long n = 0;; ++n) {
    SCOPED_TRACE("allocation " + std::to_string(n));
    MemoryFileSystem fs;
    fs.SetBytes(kPath, start);
    gFailingAllocation = n;
    Status s = [&]() -> Status {
      JET_ASSIGN(auto db, Database::Open(fs, kPath, {true, 0}));
      JET_ASSIGN(auto def, db->OpenTable("versetbl"));
      JET_TRY(db->Insert(def, row));
      JET_ASSIGN(auto rows, db->ReadAllRows(def));
      rowsRead = rows.size();
      return Ok();
    }();
    if (gFailingAllocation.exchange(-1) >= 0) {  // no allocation failed: the write is done
      ASSERT_OK(s);
      EXPECT_EQ(rowsRead, 2u);
      break;
    }
    ++failures;
    ASSERT_TRUE(s.ok() || s.error().number == kErrOutOfMemory) << s.error().description;
    ASSERT_EQ(Findings(fs, kPath), "");
  }
  EXPECT_GT(failures, 100u);
}

}  // namespace
}  // namespace jet::test
