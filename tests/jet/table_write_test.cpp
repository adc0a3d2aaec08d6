// Row writes on a verse store in memory: order, batches, moved updates, freed memo rows,
// bad input, conflicts, locks, misuse and page maps that must grow.
#include <gtest/gtest.h>

#include "fixture.h"
#include "jet/byte_reader.h"
#include "jet/data_page.h"
#include "jet/journal.h"
#include "jet/long_value.h"
#include "jet/row_format.h"

namespace jet::test {
namespace {

template <typename T>
Status StatusOf(const Result<T>& r) {
  return r.ok() ? Ok() : Status(r.error());
}

class TableWriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs_.SetBytes(kPath, NewVerseStoreBytes());
    Reopen();
  }
  void Reopen(PagerOptions options = {true, 200}) {
    db_.reset();
    auto db = Database::Open(fs_, kPath, options);
    ASSERT_OK(db);
    db_ = std::move(db).value();
    auto def = db_->OpenTable("versetbl");
    ASSERT_OK(def);
    def_ = *def;
  }
  RowId Add(std::vector<Value> row) {
    auto id = db_->Insert(def_, row);
    EXPECT_OK(id);
    expected_.push_back(std::move(row));
    return id.ok() ? *id : RowId{};
  }
  // Updates row `index` of the table, which has the id `id`.
  void Change(std::size_t index, RowId id, std::vector<Value> row) {
    ASSERT_OK(db_->Update(def_, id, expected_[index], row));
    expected_[index] = std::move(row);
  }
  // The stored header of the memo in row `id`.
  Bytes MemoField(RowId id) {
    ReadScope scope(db_->pager());
    auto row = db_->ReadRow(def_, id);
    EXPECT_OK(row);
    auto fields = SplitRow(def_, row->bytes);
    return Bytes((*fields)[4].bytes.begin(), (*fields)[4].bytes.end());
  }
  void ExpectStored() {
    EXPECT_EQ(ReadRows(*db_, def_), expected_);
    EXPECT_EQ(Findings(fs_, kPath), "");
    auto fresh = db_->ReloadTable(def_);
    ASSERT_OK(fresh);
    EXPECT_EQ(fresh->rowCount, expected_.size());
  }

  static constexpr const char* kPath = "verse97.mdb";
  MemoryFileSystem fs_;
  std::unique_ptr<Database> db_;
  TableDef def_;
  Rows expected_;
};

TEST_F(TableWriteTest, RowsGoToTheEndOfTheTableOrderAcrossNewPages) {
  std::vector<RowId> ids;
  for (int i = 0; i < 300; ++i) {
    ids.push_back(Add(VerseRow("Book" + std::to_string(i), std::to_string(i), i % 2 == 0,
                               std::string(40, 'v'), Memo(static_cast<std::size_t>(i % 70)))));
  }
  for (std::size_t i = 1; i < ids.size(); ++i) {
    EXPECT_TRUE(ids[i].page > ids[i - 1].page ||
                (ids[i].page == ids[i - 1].page && ids[i].row > ids[i - 1].row));
  }
  EXPECT_GT(ids.back().page, ids.front().page);
  // Deleting rows on early pages leaves room there; new rows still go to the end.
  for (int i = 0; i < 20; ++i) {
    ASSERT_OK(db_->Delete(def_, ids[static_cast<std::size_t>(i)], expected_[0]));
    expected_.erase(expected_.begin());
  }
  RowId last = Add(VerseRow("Last", "1", false, "1", Value()));
  EXPECT_GT(last.page, ids.front().page);
  EXPECT_TRUE(last.page >= ids.back().page);
  ExpectStored();
}

TEST_F(TableWriteTest, ABatchAddsAllItsRowsInOneWriteOrNone) {
  Add(VerseRow("John", "3", false, "16", Memo(20)));
  Rows batch;
  for (int i = 0; i < 250; ++i) {
    batch.push_back(
        VerseRow("B" + std::to_string(i), "1", false, "1", Memo(static_cast<std::size_t>(i * 37 % 4000))));
  }
  auto ids = db_->InsertMany(def_, batch);
  ASSERT_OK(ids);
  ASSERT_EQ(ids->size(), batch.size());
  expected_.insert(expected_.end(), batch.begin(), batch.end());
  ExpectStored();

  // One bad row refuses the whole batch before anything is written.
  const Bytes before = fs_.Bytes(kPath);
  Rows bad = {VerseRow("Fine", "1", false, "1", Memo(10)),
              VerseRow("Bad", std::string(51, '9'), false, "1", Value())};
  auto refused = db_->InsertMany(def_, bad);
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.error().number, kErrFieldTooSmall);
  EXPECT_EQ(fs_.Bytes(kPath), before);
}

TEST_F(TableWriteTest, UpdatesMoveRowsThatOutgrowTheirPageAndKeepTheirPlace) {
  std::vector<RowId> ids;
  for (int i = 0; i < 12; ++i)
    ids.push_back(Add(VerseRow("B" + std::to_string(i), "1", false, "1", Memo(10))));
  // Fill the page so that growing rows must move.
  for (int i = 0; i < 12; ++i) ids.push_back(Add(VerseRow(std::string(140, 'f'), "1", false, "1", Value())));
  const std::uint32_t firstPage = ids[0].page;
  Change(2, ids[2],
         VerseRow(std::string(255, 'g'), std::string(50, 'c'), true, std::string(50, 'v'), Memo(32)));
  {
    ReadScope scope(db_->pager());
    auto dp = ReadDataPage(db_->pager(), firstPage);
    ASSERT_OK(dp);
    EXPECT_EQ(dp->slots[ids[2].row].kind, SlotKind::kStub);
  }
  ExpectStored();
  // Moved again (it grows on its new page too), then shrunk back.
  for (int i = 0; i < 20; ++i) Add(VerseRow(std::string(200, 'h'), "1", false, "1", Value()));
  Change(2, ids[2],
         VerseRow(std::string(255, 'i'), std::string(50, 'c'), true, std::string(50, 'v'), Memo(2000)));
  ExpectStored();
  Change(2, ids[2], VerseRow("j", "1", false, "1", Value()));
  ExpectStored();
  // A forwarded row can be deleted: stub and copy go.
  ASSERT_OK(db_->Delete(def_, ids[2], expected_[2]));
  expected_.erase(expected_.begin() + 2);
  ExpectStored();
}

TEST_F(TableWriteTest, ChangedAndDeletedRowsFreeTheirOldMemoRows) {
  RowId id = Add(VerseRow("John", "3", false, "16", Memo(5000)));
  const Bytes before = MemoField(id);
  const RowPointer firstPiece = RowPointer::FromRaw(ByteReader(before).U32(4));
  Change(0, id, VerseRow("John", "3", false, "16", Memo(300, 'k')));
  {
    ReadScope scope(db_->pager());
    auto dp = ReadDataPage(db_->pager(), firstPiece.page);
    ASSERT_OK(dp);
    EXPECT_EQ(dp->slots[firstPiece.row].kind, SlotKind::kDeleted);
    EXPECT_EQ(dp->slots[firstPiece.row].start, dp->slots[firstPiece.row].end);
  }
  ExpectStored();
  // An unchanged memo keeps its LVAL row.
  const Bytes kept = MemoField(id);
  Change(0, id, VerseRow("Jn", "3", false, "16", Memo(300, 'k')));
  EXPECT_EQ(MemoField(id), kept);
  ASSERT_OK(db_->Delete(def_, id, expected_[0]));
  expected_.clear();
  ExpectStored();
}

TEST_F(TableWriteTest, BadValuesConflictsAndIndexedTablesChangeNothing) {
  RowId id = Add(VerseRow("John", "3", false, "16", Memo(50)));
  const Bytes before = fs_.Bytes(kPath);
  const auto row = [](const std::string& book, const std::string& chapter, const char* verses, Value memo) {
    return VerseRow(book, chapter, false, verses, memo);
  };
  EXPECT_ERROR(db_->Insert(def_, row(std::string(256, 'x'), "1", "1", Value())), kErrFieldTooSmall);
  EXPECT_ERROR(db_->Insert(def_, row("a", std::string(51, 'x'), "1", Value())), kErrFieldTooSmall);
  EXPECT_ERROR(db_->Insert(def_, row("a", "1", "1", Bytes{1, 2})), kErrInvalidArgument);
  EXPECT_ERROR(db_->Update(def_, id, row("John", "3", "17", Memo(50)), row("x", "1", "1", Value())),
               kErrWriteConflict);
  EXPECT_ERROR(db_->Delete(def_, id, VerseRow("John", "3", true, "16", Memo(50))), kErrWriteConflict);
  EXPECT_ERROR(db_->Delete(def_, RowId{id.page, 9}, expected_[0]), kErrRecordDeleted);
  EXPECT_EQ(fs_.Bytes(kPath), before);
  EXPECT_FALSE(*fs_.Exists(JournalPath(kPath)));
  ASSERT_OK(db_->Delete(def_, id, expected_[0]));
  EXPECT_ERROR(db_->Delete(def_, id, expected_[0]), kErrRecordDeleted);
  EXPECT_ERROR(db_->Update(def_, id, expected_[0], expected_[0]), kErrRecordDeleted);
  expected_.clear();
  ExpectStored();

  // A sample table with indexes is read but never written.
  fs_.SetBytes("t.mdb", support::SampleBytes("testV1997.mdb"));
  auto sample = Database::Open(fs_, "t.mdb", {true, 200});
  ASSERT_OK(sample);
  auto table = (*sample)->OpenTable("Table1");
  ASSERT_OK(table);
  ASSERT_TRUE(table->HasIndexes());
  const Bytes sampleBefore = fs_.Bytes("t.mdb");
  auto rows = ReadRows(**sample, *table);
  ASSERT_FALSE(rows.empty());
  EXPECT_ERROR((*sample)->Insert(*table, rows[0]), kErrNotSupported);
  EXPECT_ERROR((*sample)->Delete(*table, RowId{31, 0}, rows[0]), kErrNotSupported);
  EXPECT_EQ(fs_.Bytes("t.mdb"), sampleBefore);
}

TEST_F(TableWriteTest, ReadOnlyHandlesAndLockedFilesRefuseWrites) {
  Add(VerseRow("John", "3", false, "16", Value()));
  const Bytes before = fs_.Bytes(kPath);
  auto reader = Database::Open(fs_, kPath);
  ASSERT_OK(reader);
  EXPECT_ERROR((*reader)->Insert(def_, expected_[0]), kErrReadOnly);
  auto other = fs_.Open(kPath, OpenMode::kReadWrite);
  ASSERT_OK(other);
  const struct {
    std::uint64_t lock;
    LockKind kind;
    bool open;   // whether opening a reader is what waits, else a write
    int number;  // 0: any failure
  } cases[] = {
      {kWriterLock, LockKind::kExclusive, false, kErrLockedByUser},  // another writer past the timeout
      {kReadLock, LockKind::kShared, false, 0},  // a reader mid-operation holds writes off the pages
      {kPendingLock, LockKind::kExclusive, true, kErrLocked},  // a waiting writer: new readers wait behind it
      {kPendingLock, LockKind::kShared, false, 0},             // and a writer takes it before it waits
  };
  for (const auto& c : cases) {
    ASSERT_OK((*other)->TryLock(c.lock, 1, c.kind));
    const Status s =
        c.open ? StatusOf(Database::Open(fs_, kPath, {false, 0})) : StatusOf(db_->Insert(def_, expected_[0]));
    if (c.number != 0)
      EXPECT_ERROR(s, c.number);
    else
      EXPECT_FALSE(s.ok());
    EXPECT_EQ(fs_.Bytes(kPath), before);
    EXPECT_FALSE(*fs_.Exists(JournalPath(kPath)));
    ASSERT_OK((*other)->Unlock(c.lock, 1));
  }
  Add(VerseRow("John", "3", false, "16", Value()));
  ExpectStored();
}

// Calling the pager out of order is the program's fault, never the disk's.
TEST_F(TableWriteTest, PagesUsedOutsideTheirOperationAreMisuseAndChangeNothing) {
  const Bytes before = fs_.Bytes(kPath);
  Pager& pager = db_->pager();
  EXPECT_ERROR(pager.Read(0), kErrMisuse);
  EXPECT_ERROR(pager.Modify(0), kErrMisuse);
  EXPECT_ERROR(pager.Append(), kErrMisuse);
  EXPECT_ERROR(pager.CommitWrite(), kErrMisuse);
  {
    ReadScope scope(pager);
    EXPECT_ERROR(pager.BeginWrite(), kErrMisuse);
    EXPECT_OK(pager.Read(0));
  }
  EXPECT_EQ(fs_.Bytes(kPath), before);
}

TEST_F(TableWriteTest, PageMapsGrowPastTheirFirstThousandPages) {
  // Chained memos of two full pages each take about 1,300 pages.
  for (int i = 0; i < 650; ++i)
    Add(VerseRow("B", std::to_string(i), false, "1", Memo(4064, 'a' + static_cast<char>(i % 20))));
  ReadScope scope(db_->pager());
  EXPECT_GT(db_->pager().PageCount(), 1100u);
  ExpectStored();
}

}  // namespace
}  // namespace jet::test
