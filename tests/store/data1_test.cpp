// The reminder's cursor over a real store file, beyond what verse_cursor_contract_test
// holds it to: a table over many pages, and stores it cannot open.
#include <gtest/gtest.h>

#include "jet/database.h"
#include "jet/errors.h"
#include "store/data1.h"
#include "store_fixture.h"

namespace store::test {
namespace {

class Data1Test : public StoreTest {
 protected:
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

}  // namespace
}  // namespace store::test
