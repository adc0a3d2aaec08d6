// What the reminder may rely on of its cursor, held against both the real cursor over
// a store file on disk and the fake the reminder's tests use, so the two cannot drift.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "jet/errors.h"
#include "jet/file.h"
#include "jet/new_database.h"
#include "reminder/fake_verse_cursor.h"
#include "store/data1.h"
#include "store/jet_verse_table.h"
#include "store/verse_schema.h"
#include "support/read_only_file_system.h"
#include "support/result_assert.h"
#include "support/temp_dir.h"
#include "support/verse_print.h"

namespace store {
namespace {

VerseRecord Verse(std::string book) { return {book, "1", "1", book + " text", false}; }

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

class FakeWorld final : public CursorWorld {
 public:
  explicit FakeWorld(const std::vector<VerseRecord>& rows) : cursor_(rows) {}
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

class FileWorld final : public CursorWorld {
 public:
  explicit FileWorld(const std::vector<VerseRecord>& rows) {
    auto schema = VerseTableSchema();
    EXPECT_OK(schema);
    EXPECT_OK(jet::CreateDatabase(fs_, path_, *schema, 46000.5));
    for (const auto& row : rows) EXPECT_OK(other_.Insert(row));
  }
  VerseCursor& cursor() override { return *cursor_; }
  void ChangeElsewhere(std::size_t index, const VerseRecord& values) override {
    auto rows = other_.ReadAll();
    ASSERT_OK(rows);
    ASSERT_OK(other_.Update((*rows)[index].id, (*rows)[index].record, values));
  }
  void RemoveElsewhere(std::size_t index) override {
    auto rows = other_.ReadAll();
    ASSERT_OK(rows);
    ASSERT_OK(other_.Delete((*rows)[index].id, (*rows)[index].record));
  }
  void MakeReadOnly() override { cursor_ = std::make_unique<Data1>(readOnly_, path_); }
  std::vector<VerseRecord> Stored() override {
    std::vector<VerseRecord> records;
    auto rows = other_.ReadAll();
    EXPECT_OK(rows);
    if (rows.ok()) {
      for (const auto& row : *rows) records.push_back(row.record);
    }
    return records;
  }

 private:
  support::TempDir dir_;
  std::string path_ = dir_.File("verse97.mdb");
  jet::FileSystem& fs_ = jet::SystemFileSystem();
  support::ReadOnlyFileSystem readOnly_{fs_};
  JetVerseTable other_{fs_, path_};
  std::unique_ptr<Data1> cursor_ = std::make_unique<Data1>(fs_, path_);
};

struct Kind {
  const char* name;
  std::function<std::unique_ptr<CursorWorld>(const std::vector<VerseRecord>&)> make;
};
void PrintTo(const Kind& kind, std::ostream* os) { *os << kind.name; }

class VerseCursorContract : public testing::TestWithParam<Kind> {
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
    return (cursor().HasCurrent() ? cursor().Current().book : "-") + "@" +
           std::to_string(cursor().Position());
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
  for (auto status :
       {cursor().MoveFirst(), cursor().Move(1), cursor().MoveNext(), cursor().DeleteCurrent()}) {
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
  world_->RemoveElsewhere(3 - 1);  // Jude, now the third row
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
                         testing::Values(Kind{"Fake",
                                              [](const auto& rows) -> std::unique_ptr<CursorWorld> {
                                                return std::make_unique<FakeWorld>(rows);
                                              }},
                                         Kind{"FileOnDisk",
                                              [](const auto& rows) -> std::unique_ptr<CursorWorld> {
                                                return std::make_unique<FileWorld>(rows);
                                              }}),
                         [](const testing::TestParamInfo<Kind>& kind) {
                           return std::string(kind.param.name);
                         });

}  // namespace
}  // namespace store
