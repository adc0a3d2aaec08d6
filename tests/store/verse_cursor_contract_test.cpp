// What the reminder may rely on of its cursor, held against both the fake the reminder's
// tests use and the real cursor over a store file; and what only the real one shows.
#include <gtest/gtest.h>

#include "jet/database.h"
#include "jet/errors.h"
#include "jet/pager.h"
#include "reminder/fake_verse_cursor.h"
#include "store/data1.h"
#include "store/store_worlds.h"

namespace store::test {
namespace {

const std::vector<VerseRecord> kThree = {Verse("John"), Verse("Psalms"), Verse("Romans")};

// A cursor over its rows, and another program on the same rows.
class CursorWorld {
 public:
  virtual ~CursorWorld() = default;
  virtual VerseCursor& cursor() = 0;
  virtual void ChangeElsewhere(std::size_t index, const VerseRecord& values) = 0;
  // Only rows after the cursor's current one.
  virtual void RemoveElsewhere(std::size_t index) = 0;
  // From now on cursor() is a new cursor over the same rows on a store that cannot be written.
  virtual void MakeReadOnly() = 0;
  virtual std::vector<VerseRecord> Stored() = 0;
};

class FakeCursorWorld final : public CursorWorld {
 public:
  explicit FakeCursorWorld(const std::vector<VerseRecord>& rows) : cursor_(rows) {}
  VerseCursor& cursor() override { return cursor_; }
  void ChangeElsewhere(std::size_t index, const VerseRecord& values) override {
    cursor_.ChangeByOtherProgram(index, values);
  }
  void RemoveElsewhere(std::size_t index) override { cursor_.RemoveByOtherProgram(index); }
  void MakeReadOnly() override { cursor_.readOnly = true; }
  std::vector<VerseRecord> Stored() override { return cursor_.Rows(); }

 private:
  reminder::testing::FakeVerseCursor cursor_;
};

class FileCursorWorld final : public CursorWorld {
 public:
  explicit FileCursorWorld(const std::vector<VerseRecord>& rows) : file_(rows) {}
  VerseCursor& cursor() override { return *cursor_; }
  void ChangeElsewhere(std::size_t index, const VerseRecord& values) override { file_.Change(index, values); }
  void RemoveElsewhere(std::size_t index) override { file_.Remove(index); }
  void MakeReadOnly() override { cursor_ = std::make_unique<Data1>(file_.readOnly, file_.path); }
  std::vector<VerseRecord> Stored() override { return file_.Records(); }

 private:
  StoreFile file_;
  std::unique_ptr<Data1> cursor_ = std::make_unique<Data1>(file_.fs, file_.path);
};

class VerseCursorContract : public testing::TestWithParam<Kind<CursorWorld>> {
 protected:
  void Make(const std::vector<VerseRecord>& rows) {
    world_ = GetParam().make(rows);
    Listen();
  }
  void Listen() {
    changes_ = 0;
    cursor().SetRowChanged([this] { ++changes_; });
  }
  VerseCursor& cursor() { return world_->cursor(); }
  // Where the cursor stands: the current row's book, or "-" without one, and the position.
  std::string At() {
    return (cursor().HasCurrent() ? cursor().Current().book : "-") + "@" + std::to_string(cursor().Position());
  }

  std::unique_ptr<CursorWorld> world_;
  int changes_ = 0;
};

TEST_P(VerseCursorContract, StepsThroughTheTableInItsOrderAndEndsWithNoCurrentRow) {
  Make(kThree);
  ASSERT_OK(cursor().Refresh());
  EXPECT_EQ(cursor().Current(), kThree[0]);
  std::vector<std::string> seen{At()};
  for (int i = 0; i < 3; ++i) {
    ASSERT_OK(cursor().MoveNext());
    seen.push_back(At());
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"John@0", "Psalms@1", "Romans@2", "-@-1"}));
  EXPECT_EQ(cursor().Current(), VerseRecord{});
  EXPECT_ERROR(cursor().MoveNext(), jet::kErrNoCurrentRecord);
  ASSERT_OK(cursor().MoveFirst());
  EXPECT_EQ(At(), "John@0");
  EXPECT_EQ(changes_, 5) << "every change of the current row is notified, and only those";
}

TEST_P(VerseCursorContract, MovesBySavedPositionsIncludingPastEitherEnd) {
  Make(kThree);
  ASSERT_OK(cursor().Refresh());
  ASSERT_OK(cursor().Move(2));
  EXPECT_EQ(At(), "Romans@2");
  ASSERT_OK(cursor().Move(-1));
  EXPECT_EQ(At(), "Psalms@1");
  ASSERT_OK(cursor().Move(7));  // a saved place past the end: no row, no failure
  EXPECT_EQ(At(), "-@-1");
  EXPECT_ERROR(cursor().Move(1), jet::kErrNoCurrentRecord);
  ASSERT_OK(cursor().MoveFirst());
  ASSERT_OK(cursor().Move(-1));  // a saved -1: before the first row
  EXPECT_EQ(At(), "-@-1");
  ASSERT_OK(cursor().MoveNext());
  EXPECT_EQ(At(), "John@0");
}

TEST_P(VerseCursorContract, AnEmptyTableHasNoRowToMoveTo) {
  Make({});
  ASSERT_OK(cursor().Refresh());
  EXPECT_EQ(At(), "-@-1");
  for (auto status : {cursor().MoveFirst(), cursor().Move(1), cursor().MoveNext(), cursor().DeleteCurrent()}) {
    EXPECT_ERROR(status, jet::kErrNoCurrentRecord);
  }
}

TEST_P(VerseCursorContract, DeletesTheCurrentRowAndGoesOnWithTheOneThatFollowed) {
  Make(kThree);
  ASSERT_OK(cursor().Refresh());
  ASSERT_OK(cursor().MoveNext());
  const int before = changes_;
  ASSERT_OK(cursor().DeleteCurrent());
  EXPECT_EQ(changes_, before + 1);
  EXPECT_EQ(At(), "-@-1");
  ASSERT_OK(cursor().MoveNext());
  EXPECT_EQ(At(), "Romans@1");
  EXPECT_EQ(world_->Stored(), (std::vector<VerseRecord>{kThree[0], kThree[2]}));
  ASSERT_OK(cursor().DeleteCurrent());  // the last row: nothing follows
  ASSERT_OK(cursor().MoveNext());
  EXPECT_EQ(At(), "-@-1");
}

TEST_P(VerseCursorContract, PassesOverTheNextRowWhenAnotherProgramRemovedIt) {
  Make({Verse("John"), Verse("Psalms"), Verse("Romans"), Verse("Jude")});
  ASSERT_OK(cursor().Refresh());
  world_->RemoveElsewhere(1);
  ASSERT_OK(cursor().MoveNext());
  EXPECT_EQ(At(), "Romans@1") << "the position counts the rows there are";
  world_->RemoveElsewhere(2);  // Jude, now the third row
  ASSERT_OK(cursor().MoveNext());
  EXPECT_EQ(At(), "-@-1");
}

TEST_P(VerseCursorContract, RefusesToDeleteARowAnotherProgramChanged) {
  Make(kThree);
  ASSERT_OK(cursor().Refresh());
  world_->ChangeElsewhere(0, Verse("Jude"));
  EXPECT_ERROR(cursor().DeleteCurrent(), jet::kErrWriteConflict);
  EXPECT_EQ(At(), "John@0") << "the row as read stays current";
  EXPECT_EQ(world_->Stored().size(), 3u);
}

TEST_P(VerseCursorContract, AStoreThatCannotBeWrittenShowsItsRowsButRefusesDeletes) {
  Make(kThree);
  world_->MakeReadOnly();
  Listen();
  ASSERT_OK(cursor().Refresh());
  ASSERT_OK(cursor().MoveNext());
  EXPECT_ERROR(cursor().DeleteCurrent(), jet::kErrReadOnly);
  EXPECT_EQ(At(), "Psalms@1") << "the row stays current";
  ASSERT_OK(cursor().MoveNext());
  EXPECT_EQ(At(), "Romans@2");
  EXPECT_EQ(world_->Stored(), kThree);
}

INSTANTIATE_TEST_SUITE_P(BothCursors, VerseCursorContract,
                         (BothKinds<CursorWorld, FakeCursorWorld, FileCursorWorld>()), KindName<Kind<CursorWorld>>);

// Only the real cursor reads pages: a table over many of them, a page map naming a page
// of another table, and stores it cannot open.
TEST(Data1, WalksATableSpreadOverManyPagesAsTheTableScanReadsIt) {
  std::vector<VerseRecord> many;
  for (std::size_t i = 0; i < 400; ++i) {
    many.push_back(Verse("Book" + std::to_string(i), std::string(40 + i % 300, static_cast<char>('a' + i % 26))));
  }
  StoreFile file(many);
  // The table scan trusts the page map only for pages that say they are the table's;
  // the cursor must read the same rows, not fail where the editor reads the file.
  {
    auto opened = OpenStore(file.fs, file.path);
    ASSERT_OK(opened);
    auto catalog = opened->db->OpenTable("MSysObjects");
    ASSERT_OK(catalog);
    jet::ReadScope scope(opened->db->pager());
    auto pages = opened->db->DataPages(*catalog);
    ASSERT_OK(pages);
    const std::uint32_t foreign = pages->front();
    const jet::RowPointer map = opened->def.ownedMap;
    auto& bytes = file.fs.Bytes(file.path);
    const std::size_t slot = map.page * 2048 + 10 + 2 * map.row;
    const std::size_t row = map.page * 2048 + ((bytes[slot] | bytes[slot + 1] << 8) & 0x1FFF);
    const std::uint32_t start = bytes[row + 1] | bytes[row + 2] << 8 | bytes[row + 3] << 16;
    ASSERT_EQ(bytes[row], 0);  // an inline bitmap
    ASSERT_GE(foreign, start);
    bytes[row + 5 + (foreign - start) / 8] |= static_cast<std::uint8_t>(1u << ((foreign - start) % 8));
  }
  Data1 cursor(file.fs, file.path);
  ASSERT_OK(cursor.Refresh());
  for (std::size_t i = 1; i < many.size(); ++i) {
    ASSERT_OK(cursor.MoveNext());
    ASSERT_EQ(cursor.Position(), static_cast<int>(i));
    ASSERT_EQ(cursor.Current(), many[i]);
  }
  ASSERT_OK(cursor.MoveNext());
  EXPECT_FALSE(cursor.HasCurrent());
  ASSERT_OK(cursor.MoveFirst());
  ASSERT_OK(cursor.Move(321));
  EXPECT_EQ(cursor.Current(), many[321]);
}

TEST(Data1, ReportsStoresItCannotOpen) {
  StoreFile file({Verse("John")});
  auto schema = VerseTableSchema();
  ASSERT_OK(schema);
  schema->name = "verses";
  ASSERT_OK(jet::CreateDatabase(file.fs, "renamed.mdb", *schema, 46000.5));
  file.fs.SetBytes("junk.mdb", std::vector<std::uint8_t>(4096, 'x'));
  const std::pair<const char*, int> cases[] = {{"missing.mdb", jet::kErrFileNotFound},
                                               {"junk.mdb", jet::kErrUnrecognizedFormat},
                                               {"renamed.mdb", jet::kErrTableNotFound}};
  for (const auto& [path, expected] : cases) {
    Data1 cursor(file.fs, path);
    EXPECT_ERROR(cursor.Refresh(), expected);
    EXPECT_FALSE(cursor.HasCurrent());
    EXPECT_ERROR(JetVerseTable(file.fs, path).ReadAll(), expected);  // the editor opens it the same way
  }
}

}  // namespace
}  // namespace store::test
