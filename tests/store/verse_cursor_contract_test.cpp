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
  reminder::test::FakeVerseCursor cursor_;
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

using CursorOp = std::function<jet::Status(VerseCursor&, CursorWorld&)>;
const CursorOp kNext = [](VerseCursor& c, CursorWorld&) { return c.MoveNext(); };
const CursorOp kFirst = [](VerseCursor& c, CursorWorld&) { return c.MoveFirst(); };
const CursorOp kDelete = [](VerseCursor& c, CursorWorld&) { return c.DeleteCurrent(); };
CursorOp MoveBy(int n) { return [n](VerseCursor& c, CursorWorld&) { return c.Move(n); }; }
// Another program removes a row, or changes it to Jude (index in the table's order now).
CursorOp Elsewhere(bool remove, std::size_t i) {
  return [=](VerseCursor&, CursorWorld& w) {
    remove ? w.RemoveElsewhere(i) : w.ChangeElsewhere(i, Verse("Jude"));
    return jet::Ok();
  };
}

// Each walk refreshes the cursor over its rows, applies its steps and ends with the rows
// stored and the number of row-change notifications it names.
struct Walk {
  const char* name;
  std::vector<VerseRecord> rows;
  bool readOnly;
  struct Step {
    CursorOp op;
    int error;
    const char* at;  // the current row's book, or "-" without one, "@" the position
  };
  std::vector<Step> steps;
  std::vector<std::string> stored;
  int changes;
};

TEST_P(VerseCursorContract, WalksFollowTheDataControlsRules) {
  const auto four = std::vector<VerseRecord>{Verse("John"), Verse("Psalms"), Verse("Romans"), Verse("Jude")};
  const Walk walks[] = {
      {"steps to the end and no further",
       kThree, false,
       {{kNext, 0, "Psalms@1"}, {kNext, 0, "Romans@2"}, {kNext, 0, "-@-1"}, {kNext, 3021, "-@-1"},
        {kFirst, 0, "John@0"}},
       {"John", "Psalms", "Romans"}, 5},
      {"moves by saved positions, also past either end",
       kThree, false,
       {{MoveBy(2), 0, "Romans@2"}, {MoveBy(-1), 0, "Psalms@1"}, {MoveBy(7), 0, "-@-1"}, {MoveBy(1), 3021, "-@-1"},
        {kFirst, 0, "John@0"}, {MoveBy(-1), 0, "-@-1"}, {kNext, 0, "John@0"}},
       {"John", "Psalms", "Romans"}, 7},
      {"an empty table has no row to move to",
       {}, false,
       {{kFirst, 3021, "-@-1"}, {MoveBy(1), 3021, "-@-1"}, {kNext, 3021, "-@-1"}, {kDelete, 3021, "-@-1"}},
       {}, 2},
      {"a delete goes on with the row that followed",
       kThree, false,
       {{kNext, 0, "Psalms@1"}, {kDelete, 0, "-@-1"}, {kNext, 0, "Romans@1"}, {kDelete, 0, "-@-1"},
        {kNext, 0, "-@-1"}},
       {"John"}, 6},
      {"rows another program removed are passed over and not counted",
       four, false,
       {{Elsewhere(true, 1), 0, "John@0"}, {kNext, 0, "Romans@1"}, {Elsewhere(true, 2), 0, "Romans@1"},
        {kNext, 0, "-@-1"}},
       {"John", "Romans"}, 3},
      {"a row another program changed is not deleted",
       kThree, false,
       {{Elsewhere(false, 0), 0, "John@0"}, {kDelete, 3197, "John@0"}},
       {"Jude", "Psalms", "Romans"}, 1},
      {"a store that cannot be written shows its rows but refuses deletes",
       kThree, true,
       {{kNext, 0, "Psalms@1"}, {kDelete, 3027, "Psalms@1"}, {kNext, 0, "Romans@2"}},
       {"John", "Psalms", "Romans"}, 3},
  };
  for (const Walk& walk : walks) {
    SCOPED_TRACE(walk.name);
    Make(walk.rows);
    if (walk.readOnly) {
      world_->MakeReadOnly();
      Listen();
    }
    ASSERT_OK(cursor().Refresh());
    EXPECT_EQ(cursor().Current(), walk.rows.empty() ? VerseRecord{} : walk.rows[0]);
    for (const Walk::Step& step : walk.steps) {
      jet::Status status = step.op(cursor(), *world_);
      EXPECT_EQ(status.ok() ? 0 : status.error().number, step.error);
      EXPECT_EQ(At(), step.at);
    }
    EXPECT_TRUE(cursor().HasCurrent() || cursor().Current() == VerseRecord{}) << "no row shows no values";
    std::vector<std::string> stored;
    for (const auto& row : world_->Stored()) stored.push_back(row.book);
    EXPECT_EQ(stored, walk.stored);
    EXPECT_EQ(changes_, walk.changes) << "every change of the current row is notified, and only those";
  }
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
