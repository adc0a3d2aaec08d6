// The reminder's cursor over a real store file, beyond what verse_cursor_contract_test
// holds it to: a table over many pages, and stores it cannot open.
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
  static std::vector<VerseRecord> Three() {
    return {Verse("John", "3", "16", "For God so loved the world"), Verse("Psalms", "23", "1", "The LORD is my shepherd"),
            Verse("Romans", "8", "28", "And we know that all things")};
  }
  Data1 cursor_{fs_, kStorePath};
};

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
