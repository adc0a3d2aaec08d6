// Sequences of writes into copies of the Access-made samples' unindexed tables and
// into a verse store on disk: our reader, mdb-reader and mdb-export must all read
// the rows the sequence leaves, in the expected order, and the check must pass.
#include <gtest/gtest.h>

#include <fstream>

#include "oracle_check.h"
#include "support/samples.h"
#include "support/temp_dir.h"
#include "write_fixture.h"

namespace jet::test {
namespace {

Bytes FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Inserts copies of the table's rows, deletes every third row and gives every
// fourth the values of its successor, keeping a model of the expected rows.
void RunSequence(const std::string& path, const std::string& table, int inserts) {
  auto db = Database::Open(SystemFileSystem(), path, {true, 1000});
  ASSERT_OK(db);
  auto def = (*db)->OpenTable(table);
  ASSERT_OK(def);
  ASSERT_FALSE(def->HasIndexes());
  auto rows = (*db)->ReadAllRows(*def);
  ASSERT_OK(rows);
  std::vector<StoredRow> model = std::move(*rows);
  ASSERT_FALSE(model.empty());
  const std::size_t original = model.size();
  for (int i = 0; i < inserts; ++i) {
    auto values = model[static_cast<std::size_t>(i) % original].values;
    auto id = (*db)->Insert(*def, values);
    ASSERT_OK(id);
    model.push_back({*id, values});
  }
  for (std::size_t k = 0; k < model.size(); k += 3) {
    ASSERT_OK((*db)->Delete(*def, model[k].id, model[k].values));
    model.erase(model.begin() + static_cast<std::ptrdiff_t>(k));
  }
  for (std::size_t k = 0; k + 1 < model.size(); k += 4) {
    ASSERT_OK((*db)->Update(*def, model[k].id, model[k].values, model[k + 1].values));
    model[k].values = model[k + 1].values;
  }
  Rows expected;
  for (const auto& e : model) expected.push_back(e.values);
  EXPECT_EQ(ReadRows(**db, *def), expected);
  db->reset();
  EXPECT_EQ(Findings(SystemFileSystem(), path), "");
  ExpectOraclesAgree(FileBytes(path), table);
}

TEST(WriteOracleTest, WritesIntoTheAccessMadeDeleteSamplesTableReadTheSameEverywhere) {
  support::TempDir dir;
  const std::string path = dir.File("del.mdb");
  WriteFile(path, support::SampleBytes("delTestV1997.mdb"));
  RunSequence(path, "Table", 60);
}

TEST(WriteOracleTest, WritesIntoTheAccessMadeOverflowSamplesTableReadTheSameEverywhere) {
  support::TempDir dir;
  const std::string path = dir.File("overflow.mdb");
  WriteFile(path, support::SampleBytes("overflowTestV1997.mdb"));
  RunSequence(path, "Table1", 40);
}

TEST(WriteOracleTest, WritesIntoAVerseStoreWithMemosOfEveryLengthReadTheSameEverywhere) {
  support::TempDir dir;
  const std::string path = dir.File("verse97.mdb");
  WriteFile(path, NewVerseStoreBytes());
  {
    auto db = Database::Open(SystemFileSystem(), path, {true, 1000});
    ASSERT_OK(db);
    auto def = (*db)->OpenTable("versetbl");
    ASSERT_OK(def);
    const std::size_t lengths[] = {0, 1, 32, 33, 500, 2032, 2033, 4064, 4065, 9000};
    for (std::size_t i = 0; i < 20; ++i) {
      Value memo = i % 7 == 6 ? Value() : Value(Memo(lengths[i % 10], static_cast<char>('a' + i)));
      ASSERT_OK((*db)->Insert(*def, VerseRow(i % 5 == 4 ? "" : "Book\xe9" + std::to_string(i), std::to_string(i),
                                             i % 2 == 0, "1-" + std::to_string(i), memo)));
    }
  }
  RunSequence(path, "versetbl", 30);
}

}  // namespace
}  // namespace jet::test
