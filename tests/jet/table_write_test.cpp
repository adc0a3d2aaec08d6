// Row writes on a verse store in memory: batches, conflicts, locks, misuse and page maps
// that must grow. What single writes leave (rows that move off their page among them) is
// checked under fault injection and by the other readers.
#include "fixture.h"
#include "jet/journal.h"

namespace jet::test {
namespace {

class TableWriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs_.SetBytes(kPath, NewVerseStoreBytes());
    Opened o = OpenVerses(fs_, kPath, {true, 200});
    db_ = std::move(o.db);
    def_ = o.def;
  }
  RowId Add(std::vector<Value> row) {
    auto id = db_->Insert(def_, row);
    EXPECT_OK(id);
    expected_.push_back(std::move(row));
    return id.ok() ? *id : RowId{};
  }
  void ExpectStored() {
    EXPECT_EQ(ReadRows(*db_, def_), expected_);
    EXPECT_EQ(Findings(fs_, kPath), "");
    EXPECT_EQ(db_->ReloadTable(def_).value().rowCount, expected_.size());
  }
  // Checks that the store and its journal are as `before` left them.
  void ExpectUnchanged(const Bytes& before) {
    EXPECT_EQ(fs_.Bytes(kPath), before);
    EXPECT_FALSE(*fs_.Exists(JournalPath(kPath)));
  }
  static constexpr const char* kPath = "verse97.mdb";
  MemoryFileSystem fs_;
  std::unique_ptr<Database> db_;
  TableDef def_;
  Rows expected_;
};

// Chained memos of two full pages each take about 1,300 pages: the page maps grow.
TEST_F(TableWriteTest, ABatchAddsAllItsRowsInOneWriteOrNoneAndPageMapsGrow) {
  Add(VerseRow("John", "3", false, "16", Memo(20)));
  Rows batch;
  for (int i = 0; i < 650; ++i)
    batch.push_back(VerseRow("B" + std::to_string(i), "1", false, "1",
                             Memo(static_cast<std::size_t>(i % 10 ? 4064 - i % 7 : i * 37 % 4000),
                                  static_cast<char>('a' + i % 20))));
  ASSERT_EQ(db_->InsertMany(def_, batch).value().size(), batch.size());
  expected_.insert(expected_.end(), batch.begin(), batch.end());
  ExpectStored();
  {
    ReadScope scope(db_->pager());
    EXPECT_GT(db_->pager().PageCount(), 1100u);
  }
  // One bad row refuses the whole batch before anything is written.
  const Bytes before = fs_.Bytes(kPath);
  EXPECT_ERROR(db_->InsertMany(def_, {VerseRow("Fine", "1", false, "1", Memo(10)),
                                      VerseRow("Bad", std::string(51, '9'), false, "1", Value())}),
               kErrFieldTooSmall);
  ExpectUnchanged(before);
}

TEST_F(TableWriteTest, ConflictsDeletedRowsAndIndexedTablesChangeNothing) {
  RowId id = Add(VerseRow("John", "3", false, "16", Memo(5000)));
  // A row changed but for its memo keeps the memo's pages; none are added.
  const std::size_t size = fs_.Bytes(kPath).size();
  ASSERT_OK(db_->Update(def_, id, expected_[0], VerseRow("Jn", "3", false, "16", Memo(5000))));
  EXPECT_EQ(fs_.Bytes(kPath).size(), size);
  expected_[0] = VerseRow("Jn", "3", false, "16", Memo(5000));
  const Bytes before = fs_.Bytes(kPath);
  const auto other = VerseRow("Jn", "3", true, "16", Memo(5000));
  EXPECT_ERROR(db_->Update(def_, id, other, expected_[0]), kErrWriteConflict);
  EXPECT_ERROR(db_->Delete(def_, id, other), kErrWriteConflict);
  EXPECT_ERROR(db_->Delete(def_, RowId{id.page, 9}, expected_[0]), kErrRecordDeleted);
  EXPECT_ERROR(db_->Insert(def_, VerseRow("a", "1", false, "1", Bytes{1, 2})), kErrInvalidArgument);
  ExpectUnchanged(before);
  ASSERT_OK(db_->Delete(def_, id, expected_[0]));
  EXPECT_ERROR(db_->Delete(def_, id, expected_[0]), kErrRecordDeleted);
  EXPECT_ERROR(db_->Update(def_, id, expected_[0], expected_[0]), kErrRecordDeleted);
  expected_.clear();
  ExpectStored();
  // A sample table with indexes is read but never written.
  fs_.SetBytes("t.mdb", support::SampleBytes("testV1997.mdb"));
  auto [sample, table] = OpenVerses(fs_, "t.mdb", {true, 200}, "Table1");
  ASSERT_TRUE(sample);
  const Bytes sampleBefore = fs_.Bytes("t.mdb");
  auto rows = ReadRows(*sample, table);
  ASSERT_FALSE(rows.empty());
  EXPECT_ERROR(sample->Insert(table, rows[0]), kErrNotSupported);
  EXPECT_ERROR(sample->Delete(table, RowId{31, 0}, rows[0]), kErrNotSupported);
  EXPECT_EQ(fs_.Bytes("t.mdb"), sampleBefore);
}

TEST_F(TableWriteTest, ReadOnlyHandlesLockedFilesAndMisusedPagesRefuseWrites) {
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
    bool open;  // whether opening a reader is what waits, else a write
    int number;
  } cases[] = {
      {kWriterLock, LockKind::kExclusive, false, kErrLockedByUser},  // another writer past the timeout
      {kReadLock, LockKind::kShared, false, kErrLocked},  // a reader mid-operation holds writes off the pages
      {kPendingLock, LockKind::kExclusive, true, kErrLocked},  // a waiting writer: new readers wait behind it
      {kPendingLock, LockKind::kShared, false, kErrLocked},    // and a writer takes it before it waits
  };
  for (const auto& c : cases) {
    ASSERT_OK((*other)->TryLock(c.lock, 1, c.kind));
    if (c.open) {
      EXPECT_ERROR(Database::Open(fs_, kPath, {false, 0}), c.number);
    } else {
      EXPECT_ERROR(db_->Insert(def_, expected_[0]), c.number);
    }
    ExpectUnchanged(before);
    ASSERT_OK((*other)->Unlock(c.lock, 1));
  }
  // Calling the pager out of order is the program's fault, never the disk's.
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
  ExpectUnchanged(before);
  Add(VerseRow("John", "3", false, "16", Value()));
  ExpectStored();
}

}  // namespace
}  // namespace jet::test
