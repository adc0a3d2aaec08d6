// What the editor's data layer may rely on of a verse table, held against both the
// in-memory fake and the real table over a store file.
#include <gtest/gtest.h>

#include "jet/errors.h"
#include "store/store_worlds.h"

namespace store::test {
namespace {

class VerseTableContract : public testing::TestWithParam<Kind<TableWorld>> {
 protected:
  void Make(const std::vector<VerseRecord>& rows) { world_ = GetParam().make(rows); }
  VerseTable& table() { return world_->table(); }
  std::vector<StoredVerse> ReadAll() {
    auto rows = table().ReadAll();
    EXPECT_OK(rows);
    return rows.ok() ? *rows : std::vector<StoredVerse>{};
  }

  std::unique_ptr<TableWorld> world_;
};

TEST_P(VerseTableContract, AddsAndUpdatesRowsInPlaceAndReadsThemBackInOrder) {
  Make({Verse("John", "For God so loved the world", true), Verse("Romans")});
  // Windows-1252 letters, curly quotes and a memo long enough for its own page.
  const auto accented = Verse("Psalms", "\u201CThe LORD\u201D \u2014 caf\u00E9 " + std::string(3000, 'x'));
  ASSERT_OK(table().Insert(accented));
  ASSERT_OK(table().Insert(VerseRecord{}));
  auto rows = ReadAll();
  const VerseRecord longer{"John", "3", "16-17", std::string(2500, 'y'), true};
  ASSERT_OK(table().Update(rows[0].id, rows[0].record, longer));
  auto after = ReadAll();
  ASSERT_EQ(after.size(), 4u);
  EXPECT_EQ(after[0].id, rows[0].id) << "the row keeps its place";
  EXPECT_EQ(world_->Stored(), (std::vector<VerseRecord>{longer, Verse("Romans"), accented, {}}));
  world_->ExpectSound();
}

// A write to a row another program got to first changes nothing, and says whether
// the row was changed (3197) or removed (3167).
TEST_P(VerseTableContract, TellsChangedMeanwhileFromRemovedMeanwhile) {
  for (bool remove : {false, true}) {
    for (bool update : {false, true}) {
      SCOPED_TRACE(std::string(update ? "update" : "delete") + (remove ? " of a removed row" : " of a changed row"));
      Make({Verse("John", "one"), Verse("Romans", "two"), Verse("Jude", "three")});
      auto rows = ReadAll();
      if (remove) {
        world_->RemoveElsewhere(1);
      } else {
        world_->ChangeElsewhere(1, Verse("Romans", "changed elsewhere"));
      }
      const auto before = world_->Stored();
      EXPECT_ERROR(update ? table().Update(rows[1].id, rows[1].record, Verse("Romans", "mine"))
                          : table().Delete(rows[1].id, rows[1].record),
                   remove ? jet::kErrRecordDeleted : jet::kErrWriteConflict);
      EXPECT_EQ(world_->Stored(), before);
    }
  }
}

TEST_P(VerseTableContract, RefusesValuesTheFileCannotHoldAndChangesNothing) {
  struct Case {
    VerseRecord values;
    int expected;
  };
  const Case cases[] = {
      {Verse("\u05E9\u05DC\u05D5\u05DD"), jet::kErrCannotEncode},
      {Verse("John", "\u1F10\u03BD \u1F00\u03C1\u03C7\u1FC7"), jet::kErrCannotEncode},
      {Verse("John", "bad UTF-8 \xFF"), jet::kErrCannotEncode},
      {Verse(std::string(kBookLength + 1, 'b')), jet::kErrFieldTooSmall},
      {{"John", std::string(kChapterLength + 1, '9'), "16", "text", false}, jet::kErrFieldTooSmall},
      {{"John", "3", std::string(kVersesLength + 1, '1'), "text", false}, jet::kErrFieldTooSmall},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.values));
    Make({Verse("John", "one")});
    auto rows = ReadAll();
    EXPECT_ERROR(table().Insert(c.values), c.expected);
    EXPECT_ERROR(table().Update(rows[0].id, rows[0].record, c.values), c.expected);
    EXPECT_EQ(world_->Stored(), std::vector<VerseRecord>{Verse("John", "one")});
  }
  // The longest values that fit are taken; a code page letter counts as one.
  const VerseRecord longest{std::string(kBookLength - 1, 'b') + "\u00E9", std::string(kChapterLength, '9'),
                            std::string(kVersesLength, '1'), "text", false};
  ASSERT_OK(table().Insert(longest));
  EXPECT_EQ(world_->Stored().back(), longest);
}

TEST_P(VerseTableContract, AStoreThatCannotBeWrittenShowsItsRowsAndRefusesEveryWrite) {
  Make({Verse("John", "one"), Verse("Romans", "two"), Verse("Jude", "three")});
  auto rows = ReadAll();
  world_->RemoveElsewhere(2);
  world_->MakeReadOnly();
  EXPECT_EQ(ReadAll().size(), 2u);
  EXPECT_ERROR(table().Insert(Verse("Jude", "three")), jet::kErrReadOnly);
  EXPECT_ERROR(table().Update(rows[0].id, rows[0].record, Verse("John", "mine")), jet::kErrReadOnly);
  EXPECT_ERROR(table().Delete(rows[1].id, rows[1].record), jet::kErrReadOnly);
  // A row that is gone is reported as gone, whether or not the file could be written.
  EXPECT_ERROR(table().Update(rows[2].id, rows[2].record, Verse("Jude", "mine")), jet::kErrRecordDeleted);
  EXPECT_EQ(world_->Stored(), (std::vector<VerseRecord>{Verse("John", "one"), Verse("Romans", "two")}));
}

INSTANTIATE_TEST_SUITE_P(BothTables, VerseTableContract, kTableKinds, KindName<Kind<TableWorld>>);

}  // namespace
}  // namespace store::test
