// The engine as the independent readers see it: every table of every sample reads the
// same through all three, and so do the rows sequences of writes leave.
#include "support/oracle.h"

#include <fstream>
#include <functional>
#include <sstream>

#include "fixture.h"
#include "support/temp_dir.h"

namespace jet::test {

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes));
}

void ExpectOraclesAgree(const Bytes& bytes, const std::string& table, bool anyOrder) {
  support::TempDir dir;
  WriteFile(dir.File("store.mdb"), bytes);
  support::ExpectOraclesAgree(dir.File("store.mdb"), table, anyOrder);
}

namespace {

class SampleOracle : public testing::TestWithParam<std::string> {};

TEST_P(SampleOracle, EveryTableMatchesBothOtherReaders) {
  const std::string path = support::SamplePath(GetParam());
  auto db = Database::Open(SystemFileSystem(), path);
  ASSERT_OK(db);
  const auto tables = support::MdbTables(path);
  EXPECT_EQ((*db)->TableNames(/*includeSystem=*/true).value(), tables);
  for (const auto& table : tables) support::ExpectOraclesAgree(path, table);
}

INSTANTIATE_TEST_SUITE_P(AllSamples, SampleOracle, testing::ValuesIn(support::SampleNames()),
                         [](const auto& param) { return param.param.substr(0, param.param.find('.')); });

// A verse store holding memos of every length around the inline, one-row and two-row
// limits, null memos and empty books.
Bytes VerseStoreWithMemos() {
  MemoryFileSystem fs;
  fs.SetBytes("v.mdb", NewVerseStoreBytes());
  Opened o = OpenVerses(fs, "v.mdb", {true, 1000});
  const std::size_t lengths[] = {0, 1, 32, 33, 500, 2032, 2033, 4064, 4065, 9000};
  for (std::size_t i = 0; i < 20; ++i) {
    Value memo = i % 7 == 6 ? Value() : Value(Memo(lengths[i % 10], static_cast<char>('a' + i)));
    EXPECT_OK(o.db->Insert(o.def, VerseRow(i % 5 == 4 ? "" : "Book\xe9" + std::to_string(i),
                                           std::to_string(i), i % 2 == 0, "1-" + std::to_string(i), memo)));
  }
  o.db.reset();
  return fs.Bytes("v.mdb");
}

// Inserts copies of the table's rows, deletes every third row and gives every fourth the
// values of its successor, keeping a model of the expected rows.
struct Sequence {
  const char* name;
  std::function<Bytes()> store;
  const char* table;
  int inserts;
};

class WriteOracle : public testing::TestWithParam<Sequence> {};

TEST_P(WriteOracle, WritesReadTheSameEverywhere) {
  support::TempDir dir;
  const std::string path = dir.File("v.mdb");
  WriteFile(path, GetParam().store());
  auto [db, def] = OpenVerses(SystemFileSystem(), path, {true, 1000}, GetParam().table);
  ASSERT_TRUE(db);
  std::vector<StoredRow> model = db->ReadAllRows(def).value();
  const std::size_t original = model.size();
  for (int i = 0; i < GetParam().inserts; ++i) {
    auto values = model[static_cast<std::size_t>(i) % original].values;
    auto id = db->Insert(def, values);
    ASSERT_OK(id);
    model.push_back({*id, values});
  }
  for (std::size_t k = 0; k < model.size(); k += 3) {
    ASSERT_OK(db->Delete(def, model[k].id, model[k].values));
    model.erase(model.begin() + static_cast<std::ptrdiff_t>(k));
  }
  for (std::size_t k = 0; k + 1 < model.size(); k += 4) {
    ASSERT_OK(db->Update(def, model[k].id, model[k].values, model[k + 1].values));
    model[k].values = model[k + 1].values;
  }
  Rows expected;
  for (const auto& e : model) expected.push_back(e.values);
  EXPECT_EQ(ReadRows(*db, def), expected);
  db.reset();
  EXPECT_EQ(Findings(SystemFileSystem(), path), "");
  support::ExpectOraclesAgree(path, GetParam().table);
}

INSTANTIATE_TEST_SUITE_P(
    Stores, WriteOracle,
    testing::Values(Sequence{"DeleteSample", [] { return support::SampleBytes("delTestV1997.mdb"); }, "Table",
                             60},
                    Sequence{"OverflowSample", [] { return support::SampleBytes("overflowTestV1997.mdb"); },
                             "Table1", 40},
                    Sequence{"VerseStore", VerseStoreWithMemos, "versetbl", 30}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace jet::test
