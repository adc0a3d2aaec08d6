// Inputs the fuzzers found that once broke the engine, kept as they were found.
#include <gtest/gtest.h>

#include <string_view>

#include "jet/journal.h"
#include "write_fixture.h"

namespace jet::test {
namespace {

Bytes FromHex(std::string_view hex) {
  Bytes out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    out.push_back(static_cast<std::uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
  }
  return out;
}

// journal fuzzer: a journal with no pages and a matching checksum whose "size before
// the write" is about 3.9 PB. Rolling back truncated the store to that size.
constexpr std::string_view kJournalOfAnImpossibleSize =
    "4c6d724a6e6c3031000000000008000000a0000000000e00f1857c3c00000000";

class JournalFuzzRegressionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs_.SetBytes("v.mdb", NewVerseStoreBytes());
    auto db = Database::Open(fs_, "v.mdb", {true, 0});
    ASSERT_OK(db);
    auto def = (*db)->OpenTable("versetbl");
    ASSERT_OK(def);
    ASSERT_OK((*db)->Insert(*def, VerseRow("John", "3", false, "16", Memo(40))));
    size_ = fs_.Bytes("v.mdb").size();
    fs_.SetBytes(JournalPath("v.mdb"), FromHex(kJournalOfAnImpossibleSize));
  }

  // The rows and the size of the store, read through a new handle.
  void ExpectStoreAsWritten(bool writable) {
    auto db = Database::Open(fs_, "v.mdb", {writable, 0});
    ASSERT_OK(db);
    auto def = (*db)->OpenTable("versetbl");
    ASSERT_OK(def);
    const Rows rows = ReadRows(**db, *def);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(std::get<Text>(rows[0][0]), T("John"));
    EXPECT_EQ(fs_.Bytes("v.mdb").size(), size_);
  }

  MemoryFileSystem fs_;
  std::size_t size_ = 0;
};

TEST_F(JournalFuzzRegressionTest, AJournalNamingASizePastTheLargestFileIsNotApplied) {
  EXPECT_FALSE(DecodeJournal(FromHex(kJournalOfAnImpossibleSize)).valid);
}

TEST_F(JournalFuzzRegressionTest, OpeningForWritingDiscardsItAndKeepsTheStore) {
  ExpectStoreAsWritten(true);
  EXPECT_FALSE(*fs_.Exists(JournalPath("v.mdb")));
  EXPECT_EQ(Findings(fs_, "v.mdb"), "");
}

TEST_F(JournalFuzzRegressionTest, OpeningForReadingReadsTheStoreAsItIs) { ExpectStoreAsWritten(false); }

}  // namespace
}  // namespace jet::test
