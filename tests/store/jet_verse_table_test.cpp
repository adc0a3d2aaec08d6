// The editor's table over a real store file, beyond what verse_table_contract_test
// holds it to: a store without the table, and the recordset writing through it.
#include <gtest/gtest.h>

#include "jet/errors.h"
#include "store/verse_recordset.h"
#include "store_fixture.h"

namespace store::test {
namespace {

class JetVerseTableTest : public StoreTest {
 protected:
  JetVerseTable table_{fs_, kStorePath};
};

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
