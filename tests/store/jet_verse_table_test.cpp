// The editor's table over a real store file: rows in order, optimistic writes,
// and values the file cannot hold refused before anything changes.
#include <gtest/gtest.h>

#include "jet/errors.h"
#include "store/verse_recordset.h"
#include "store_fixture.h"

namespace store::test {
namespace {

class JetVerseTableTest : public StoreTest {
 protected:
  JetVerseTable table_{fs_, kStorePath};

  std::vector<StoredVerse> ReadAll() {
    auto rows = table_.ReadAll();
    EXPECT_OK(rows);
    return rows.ok() ? *rows : std::vector<StoredVerse>{};
  }
};

TEST_F(JetVerseTableTest, AddsRowsAtTheEndAndReadsThemBackInOrder) {
  MakeStore({Verse("John", "3", "16", "For God so loved the world")});
  // Windows-1252 letters, curly quotes and a memo long enough for its own page.
  const auto accented = Verse("Psalms", "23", "1-6", "\u201CThe LORD is my shepherd\u201D \u2014 caf\u00E9 " +
                                                         std::string(3000, 'x'));
  ASSERT_OK(table_.Insert(accented));
  ASSERT_OK(table_.Insert(Verse("", "", "", "")));

  auto rows = ReadAll();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].record.book, "John");
  EXPECT_EQ(rows[1].record, accented);
  EXPECT_EQ(rows[2].record, Verse("", "", "", ""));
  EXPECT_FALSE(rows[2].record.read) << "new rows are not read";
  ExpectClean();
}

TEST_F(JetVerseTableTest, UpdatesOneRowInPlaceAndKeepsItsReadFlag) {
  MakeStore({Verse("John", "3", "16", "short"), Verse("Romans", "8", "28", "text")});
  auto rows = ReadAll();
  VerseRecord longer = Verse("John", "3", "16-17", std::string(2500, 'y'));
  ASSERT_OK(table_.Update(rows[0].id, rows[0].record, longer));

  auto after = ReadAll();
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(after[0].id, rows[0].id) << "the row keeps its place";
  EXPECT_EQ(after[0].record, longer);
  EXPECT_EQ(after[1].record, rows[1].record);
  ExpectClean();
}

TEST_F(JetVerseTableTest, RefusesWritesToRowsAnotherProgramChangedOrRemoved) {
  MakeStore({Verse("John", "3", "16", "one"), Verse("Romans", "8", "28", "two")});
  auto rows = ReadAll();
  JetVerseTable other(fs_, kStorePath);
  ASSERT_OK(other.Update(rows[0].id, rows[0].record, Verse("John", "3", "16", "changed elsewhere")));
  ASSERT_OK(other.Delete(rows[1].id, rows[1].record));

  auto update = table_.Update(rows[0].id, rows[0].record, Verse("John", "3", "16", "mine"));
  ASSERT_FALSE(update.ok());
  EXPECT_EQ(update.error().number, jet::kErrWriteConflict);
  auto remove = table_.Delete(rows[1].id, rows[1].record);
  ASSERT_FALSE(remove.ok());
  EXPECT_EQ(remove.error().number, jet::kErrRecordDeleted);

  auto after = ReadAll();
  ASSERT_EQ(after.size(), 1u);
  EXPECT_EQ(after[0].record.verseTxt, "changed elsewhere");
}

TEST_F(JetVerseTableTest, RefusesValuesTheFileCannotHoldAndChangesNothing) {
  MakeStore({Verse("John", "3", "16", "one")});
  const auto before = fs_.Bytes(kStorePath);
  auto rows = ReadAll();

  auto hebrew = table_.Insert(Verse("\u05E9\u05DC\u05D5\u05DD", "1", "1", "text"));
  ASSERT_FALSE(hebrew.ok());
  EXPECT_EQ(hebrew.error().number, jet::kErrCannotEncode);

  auto tooLong = table_.Update(rows[0].id, rows[0].record, Verse("John", std::string(51, '9'), "16", "one"));
  ASSERT_FALSE(tooLong.ok());
  EXPECT_EQ(tooLong.error().number, jet::kErrFieldTooSmall);

  EXPECT_EQ(fs_.Bytes(kStorePath), before);
}

TEST_F(JetVerseTableTest, ReportsAStoreWithoutTheVerseTable) {
  auto schema = VerseTableSchema();
  ASSERT_OK(schema);
  // A store whose table has the wrong name.
  jet::TableDef renamed = *schema;
  renamed.name = "verses";
  ASSERT_OK(jet::CreateDatabase(fs_, kStorePath, renamed, 46000.5));
  auto rows = table_.ReadAll();
  ASSERT_FALSE(rows.ok());
  EXPECT_EQ(rows.error().number, jet::kErrTableNotFound);
}

TEST_F(JetVerseTableTest, TheEditorsRecordsetAddsAndUpdatesThroughTheFile) {
  MakeStore({Verse("John", "3", "16", "For God so loved the world")});
  VerseRecordset rs(table_);
  ASSERT_OK(rs.Open());
  ASSERT_OK(rs.AddNew());
  ASSERT_OK(rs.SetField(VerseColumn::kBook, "Micah"));
  ASSERT_OK(rs.SetField(VerseColumn::kChapter, "6"));
  ASSERT_OK(rs.SetField(VerseColumn::kVerses, "8"));
  ASSERT_OK(rs.SetField(VerseColumn::kVerseTxt, "He hath shewed thee, O man, what is good"));
  ASSERT_OK(rs.UpdateBatch());
  ASSERT_OK(rs.MoveFirst());
  ASSERT_OK(rs.SetField(VerseColumn::kVerseTxt, "For God so loved the world, that he gave"));
  ASSERT_OK(rs.MoveNext());  // leaving an edited row writes it

  EXPECT_EQ(Rows(), (std::vector<VerseRecord>{Verse("John", "3", "16", "For God so loved the world, that he gave"),
                                              Verse("Micah", "6", "8", "He hath shewed thee, O man, what is good")}));
  ExpectClean();
}

}  // namespace
}  // namespace store::test
