// The reminder's cursor over a real store file: order, moves, end and beginning
// of file, deletes, and the failures the reminder's window relies on.
#include <gtest/gtest.h>

#include "jet/database.h"
#include "jet/errors.h"
#include "jet/pager.h"
#include "store/data1.h"
#include "store_fixture.h"

namespace store::test {
namespace {

class Data1Test : public StoreTest {
 protected:
  std::vector<VerseRecord> Three() {
    return {Verse("John", "3", "16", "For God so loved the world"), Verse("Psalms", "23", "1", "The LORD is my shepherd"),
            Verse("Romans", "8", "28", "And we know that all things")};
  }
  Data1 cursor_{fs_, kStorePath};
  int changes_ = 0;
  void SetUp() override { cursor_.SetRowChanged([this] { ++changes_; }); }
};

TEST_F(Data1Test, OpensOnTheFirstRowAndSaysSo) {
  MakeStore(Three());
  ASSERT_OK(cursor_.Refresh());
  EXPECT_TRUE(cursor_.HasCurrent());
  EXPECT_EQ(cursor_.Position(), 0);
  EXPECT_EQ(cursor_.Current(), Three()[0]);
  EXPECT_EQ(changes_, 1);
}

TEST_F(Data1Test, StepsThroughTheTableInItsOrderAndEndsWithNoCurrentRow) {
  MakeStore(Three());
  ASSERT_OK(cursor_.Refresh());
  ASSERT_OK(cursor_.MoveNext());
  EXPECT_EQ(cursor_.Current(), Three()[1]);
  EXPECT_EQ(cursor_.Position(), 1);
  ASSERT_OK(cursor_.MoveNext());
  EXPECT_EQ(cursor_.Position(), 2);
  ASSERT_OK(cursor_.MoveNext());
  EXPECT_FALSE(cursor_.HasCurrent());
  EXPECT_EQ(cursor_.Position(), -1);
  EXPECT_EQ(cursor_.Current(), VerseRecord{});

  auto again = cursor_.MoveNext();
  ASSERT_FALSE(again.ok());
  EXPECT_EQ(again.error().number, jet::kErrNoCurrentRecord);
  ASSERT_OK(cursor_.MoveFirst());
  EXPECT_EQ(cursor_.Current(), Three()[0]);
  EXPECT_EQ(changes_, 5);
}

TEST_F(Data1Test, MovesBySavedPositionsIncludingPastEitherEnd) {
  MakeStore(Three());
  ASSERT_OK(cursor_.Refresh());
  ASSERT_OK(cursor_.Move(2));
  EXPECT_EQ(cursor_.Current(), Three()[2]);
  EXPECT_EQ(cursor_.Position(), 2);

  ASSERT_OK(cursor_.Move(-1));
  EXPECT_EQ(cursor_.Current(), Three()[1]);

  ASSERT_OK(cursor_.MoveFirst());
  ASSERT_OK(cursor_.Move(7));  // a saved place past the end: no row, no failure
  EXPECT_FALSE(cursor_.HasCurrent());

  ASSERT_OK(cursor_.MoveFirst());
  ASSERT_OK(cursor_.Move(-1));  // a saved -1: before the first row
  EXPECT_FALSE(cursor_.HasCurrent());
  EXPECT_EQ(cursor_.Position(), -1);
  ASSERT_OK(cursor_.MoveNext());
  EXPECT_EQ(cursor_.Current(), Three()[0]);
}

TEST_F(Data1Test, AnEmptyTableHasNoRowToMoveTo) {
  MakeStore({});
  ASSERT_OK(cursor_.Refresh());
  EXPECT_FALSE(cursor_.HasCurrent());
  EXPECT_EQ(cursor_.Position(), -1);
  for (auto status : {cursor_.MoveFirst(), cursor_.Move(1), cursor_.MoveNext(), cursor_.DeleteCurrent()}) {
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().number, jet::kErrNoCurrentRecord);
  }
}

TEST_F(Data1Test, DeletesTheCurrentRowFromTheFileAndGoesOnWithTheNext) {
  MakeStore(Three());
  ASSERT_OK(cursor_.Refresh());
  ASSERT_OK(cursor_.MoveNext());
  const int before = changes_;
  ASSERT_OK(cursor_.DeleteCurrent());
  EXPECT_EQ(changes_, before + 1);
  EXPECT_FALSE(cursor_.HasCurrent());
  EXPECT_EQ(cursor_.Position(), -1);

  ASSERT_OK(cursor_.MoveNext());
  EXPECT_EQ(cursor_.Current(), Three()[2]);
  EXPECT_EQ(cursor_.Position(), 1);
  EXPECT_EQ(Rows(), (std::vector<VerseRecord>{Three()[0], Three()[2]}));
  ExpectClean();
}

TEST_F(Data1Test, DeletingTheLastRowLeavesNothingToMoveTo) {
  MakeStore(Three());
  ASSERT_OK(cursor_.Refresh());
  ASSERT_OK(cursor_.Move(2));
  ASSERT_OK(cursor_.DeleteCurrent());
  ASSERT_OK(cursor_.MoveNext());
  EXPECT_FALSE(cursor_.HasCurrent());
  ASSERT_OK(cursor_.MoveFirst());
  EXPECT_EQ(cursor_.Current(), Three()[0]);
}

TEST_F(Data1Test, RefusesToDeleteARowAnotherProgramChanged) {
  MakeStore(Three());
  ASSERT_OK(cursor_.Refresh());
  JetVerseTable editor(fs_, kStorePath);
  auto rows = editor.ReadAll();
  ASSERT_OK(rows);
  ASSERT_OK(editor.Update((*rows)[0].id, (*rows)[0].record, Verse("John", "3", "17", "changed")));

  auto deleted = cursor_.DeleteCurrent();
  ASSERT_FALSE(deleted.ok());
  EXPECT_EQ(deleted.error().number, jet::kErrWriteConflict);
  EXPECT_EQ(Rows().size(), 3u);
}

// Opens every file as a read-only file or folder would let it be opened.
class ReadOnlyFileSystem final : public jet::FileSystem {
 public:
  explicit ReadOnlyFileSystem(jet::FileSystem& inner) : inner_(inner) {}
  jet::Result<std::unique_ptr<jet::File>> Open(const std::string& path, jet::OpenMode mode) override {
    if (mode != jet::OpenMode::kReadOnly) return jet::MakeError(jet::kErrCannotOpen, "Access is denied.");
    return inner_.Open(path, mode);
  }
  jet::Result<bool> Exists(const std::string& path) override { return inner_.Exists(path); }
  jet::Status Remove(const std::string&) override { return jet::MakeError(jet::kErrReadOnly, "Access is denied."); }

 private:
  jet::FileSystem& inner_;
};

TEST_F(Data1Test, AReadOnlyStoreShowsItsRowsButRefusesDeletes) {
  MakeStore(Three());
  ReadOnlyFileSystem readOnly(fs_);
  Data1 cursor(readOnly, kStorePath);
  ASSERT_OK(cursor.Refresh());
  EXPECT_EQ(cursor.Current(), Three()[0]);
  ASSERT_OK(cursor.MoveNext());
  EXPECT_FALSE(cursor.DeleteCurrent().ok());
  EXPECT_EQ(cursor.Current(), Three()[1]) << "the row stays current";
  EXPECT_EQ(Rows().size(), 3u);
}

TEST_F(Data1Test, WalksATableSpreadOverManyPages) {
  std::vector<VerseRecord> many;
  for (int i = 0; i < 400; ++i) {
    many.push_back(Verse("Book" + std::to_string(i), std::to_string(i % 150 + 1), "1",
                         std::string(static_cast<std::size_t>(40 + i % 300), 'a' + static_cast<char>(i % 26))));
  }
  MakeStore(many);
  ASSERT_OK(cursor_.Refresh());
  for (int i = 1; i < 400; ++i) {
    ASSERT_OK(cursor_.MoveNext());
    ASSERT_EQ(cursor_.Position(), i);
    ASSERT_EQ(cursor_.Current(), many[static_cast<std::size_t>(i)]);
  }
  ASSERT_OK(cursor_.MoveNext());
  EXPECT_FALSE(cursor_.HasCurrent());
  ASSERT_OK(cursor_.MoveFirst());
  ASSERT_OK(cursor_.Move(321));
  EXPECT_EQ(cursor_.Current(), many[321]);
}

TEST_F(Data1Test, ReportsStoresItCannotOpen) {
  auto missing = cursor_.Refresh();
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().number, jet::kErrFileNotFound);

  fs_.SetBytes(kStorePath, std::vector<std::uint8_t>(4096, 'x'));
  auto notDb = cursor_.Refresh();
  ASSERT_FALSE(notDb.ok());
  EXPECT_EQ(notDb.error().number, jet::kErrUnrecognizedFormat);
  EXPECT_FALSE(cursor_.HasCurrent());
}

// The table scan trusts the page map only for pages that say they are the table's;
// the cursor must read the same rows, not fail where the editor reads the file.
TEST_F(Data1Test, APageMapNamingAnotherTablesPageIsFilteredAsTheScanFiltersIt) {
  MakeStore(Three());
  jet::RowPointer map;
  std::uint32_t foreign = 0;
  {
    auto db = jet::Database::Open(fs_, kStorePath);
    ASSERT_OK(db);
    auto verses = (*db)->OpenTable("versetbl");
    auto catalog = (*db)->OpenTable("MSysObjects");
    ASSERT_OK(verses);
    ASSERT_OK(catalog);
    map = verses->ownedMap;
    jet::ReadScope scope((*db)->pager());
    auto pages = (*db)->DataPages(*catalog);
    ASSERT_OK(pages);
    foreign = pages->front();
  }
  auto& bytes = fs_.Bytes(kStorePath);
  const std::size_t slot = map.page * 2048 + 10 + 2 * map.row;
  const std::size_t row = map.page * 2048 + ((bytes[slot] | bytes[slot + 1] << 8) & 0x1FFF);
  const std::uint32_t start = bytes[row + 1] | bytes[row + 2] << 8 | bytes[row + 3] << 16;
  ASSERT_EQ(bytes[row], 0);  // an inline bitmap
  ASSERT_GE(foreign, start);
  bytes[row + 5 + (foreign - start) / 8] |= static_cast<std::uint8_t>(1u << ((foreign - start) % 8));
  ASSERT_OK(cursor_.Refresh());
  for (std::size_t i = 0; i < 3; ++i, (void)cursor_.MoveNext()) EXPECT_EQ(cursor_.Current(), Three()[i]);
  EXPECT_FALSE(cursor_.HasCurrent());
}

}  // namespace
}  // namespace store::test
