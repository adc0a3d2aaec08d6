// What the editor's data layer may rely on of a verse table, held against both the
// in-memory fake and the real table over a store file.
#include <gtest/gtest.h>

#include "jet/errors.h"
#include "store/store_worlds.h"

namespace store::test {
namespace {

class VerseTableContract : public testing::TestWithParam<Kind<VerseTable>> {
 protected:
  void Make(const std::vector<VerseRecord>& rows) { world_ = GetParam().make(rows); }
  VerseTable& table() { return world_->thing(); }
  std::vector<StoredVerse> ReadAll() {
    auto rows = table().ReadAll();
    EXPECT_OK(rows);
    return rows.ok() ? *rows : std::vector<StoredVerse>{};
  }

  std::unique_ptr<World<VerseTable>> world_;
};

TEST_P(VerseTableContract, AddsAndUpdatesRowsInPlaceReadsThemBackInOrderAndSaysWhyAReadFailed) {
  Make({Verse("John", "For God so loved the world", true), Verse("Romans")});
  // Windows-1252 letters, curly quotes and a memo long enough for its own page; the
  // longest values that fit, where a code page letter counts as one.
  const auto accented = Verse("Psalms", "\u201CThe LORD\u201D \u2014 caf\u00E9 " + std::string(3000, 'x'));
  const VerseRecord longest{std::string(kBookLength - 1, 'b') + "\u00E9", std::string(kChapterLength, '9'),
                            std::string(kVersesLength, '1'), "text", false};
  for (const auto& row : {accented, VerseRecord{}, longest}) ASSERT_OK(table().Insert(row));
  auto rows = ReadAll();
  const VerseRecord longer{"John", "3", "16-17", std::string(2500, 'y'), true};
  ASSERT_OK(table().Update(rows[0].id, rows[0].record, longer));
  auto after = ReadAll();
  ASSERT_EQ(after.size(), 5u);
  EXPECT_EQ(after[0].id, rows[0].id) << "the row keeps its place";
  EXPECT_EQ(world_->Stored(), (std::vector<VerseRecord>{longer, Verse("Romans"), accented, {}, longest}));
  world_->ExpectSound();
  world_->BreakReads();
  EXPECT_ERROR(table().ReadAll(), jet::kErrDamaged);
}

// A write to a row another program got to first says whether the row was changed or
// removed before whether the store can be written; the code page is checked before that,
// the column sizes after it.
TEST_P(VerseTableContract, RefusesWritesItCannotMakeAndChangesNothing) {
  enum Elsewhere { kNone, kChanged, kRemoved };
  constexpr int kConflict = jet::kErrWriteConflict, kGone = jet::kErrRecordDeleted, kRO = jet::kErrReadOnly,
                kCode = jet::kErrCannotEncode, kSmall = jet::kErrFieldTooSmall;
  const VerseRecord fits = Verse("Romans", "mine"), longBook = Verse(std::string(kBookLength + 1, 'b')),
                    longChapter{"J", std::string(kChapterLength + 1, '9'), "1", "t", false},
                    longVerses{"J", "3", std::string(kVersesLength + 1, '1'), "t", false};
  const struct Case {
    const char* name;
    Elsewhere elsewhere;
    bool readOnly;
    VerseRecord values;
    int insert, update, del;  // the refusals; 0: not tried
  } cases[] = {
      {"changed", kChanged, false, fits, 0, kConflict, kConflict},
      {"removed", kRemoved, false, fits, 0, kGone, kGone},
      {"read-only", kNone, true, fits, kRO, kRO, kRO},
      {"removed, read-only", kRemoved, true, fits, kRO, kGone, kGone},
      {"too long, read-only", kNone, true, longBook, kRO, kRO, kRO},
      {"not in the code page, read-only", kNone, true, Verse("\u05E9"), kCode, kCode, 0},
      {"not in the code page", kNone, false, Verse("\u05E9\u05DC\u05D5\u05DD"), kCode, kCode, 0},
      {"Greek", kNone, false, Verse("John", "\u1F10\u03BD \u1F00\u03C1\u03C7\u1FC7"), kCode, kCode, 0},
      {"bad UTF-8", kNone, false, Verse("John", "bad \xFF"), kCode, kCode, 0},
      {"long book", kNone, false, longBook, kSmall, kSmall, 0},
      {"long chapter", kNone, false, longChapter, kSmall, kSmall, 0},
      {"long verses", kNone, false, longVerses, kSmall, kSmall, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Make({Verse("John", "one"), Verse("Romans", "two"), Verse("Jude", "three")});
    auto rows = ReadAll();
    if (c.elsewhere == kChanged) world_->ChangeElsewhere(1, Verse("Romans", "changed elsewhere"));
    if (c.elsewhere == kRemoved) world_->RemoveElsewhere(1);
    if (c.readOnly) world_->MakeReadOnly();
    const auto before = world_->Stored();
    EXPECT_EQ(ReadAll().size(), before.size()) << "what cannot be written can still be read";
    if (c.insert != 0) EXPECT_ERROR(table().Insert(c.values), c.insert);
    if (c.insert == kRO) {  // the editor shows the description as it is
      EXPECT_EQ(table().Insert(c.values).error().description, "'verse97.mdb' is open for reading only.");
    }
    EXPECT_ERROR(table().Update(rows[1].id, rows[1].record, c.values), c.update);
    if (c.del != 0) EXPECT_ERROR(table().Delete(rows[1].id, rows[1].record), c.del);
    EXPECT_EQ(world_->Stored(), before);
  }
}

INSTANTIATE_TEST_SUITE_P(BothTables, VerseTableContract, kTableKinds, testing::PrintToStringParamName());

}  // namespace
}  // namespace store::test
