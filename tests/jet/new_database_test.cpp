// New databases: their header as Access writes it, and what they cannot hold.
#include "fixture.h"
#include "jet/header.h"
#include "jet/system_tables.h"

namespace jet::test {
namespace {

constexpr std::size_t kPage = kPageSize;
constexpr double kCreated = 46362.8308;  // 2026-12-06 19:56

TEST(NewDatabase, HeaderDiffersFromAnAccessMadeOneOnlyInTheUnexplainedByte) {
  const Bytes ours = *BuildNewDatabase(VerseLayout(), kCreated);
  const Bytes theirs = support::SampleBytes("size97.mdb");
  std::vector<std::size_t> differ;
  for (std::size_t i = 0; i < kPage; ++i) {
    if (ours[i] != theirs[i]) differ.push_back(i);
  }
  EXPECT_EQ(differ, std::vector<std::size_t>{0x602});
  EXPECT_EQ(*GeneralTextKey("AZaz09 _~"), (Bytes{0x60, 0x7E, 0x60, 0x7E, 0x56, 0x5F, 0x11, 0x2C, 0x31, 0}));
}

// Layouts, names and tables a new store cannot hold are refused, and nothing is created.
TEST(NewDatabase, TablesItCannotHoldAreRefusedAndNoFileIsMade) {
  const auto layout = [](std::vector<ColumnSpec> columns, std::string name = "t") {
    auto def = LayOutTable(name, kTableTypeUser, columns);
    return def.ok() ? *def : TableDef{};
  };
  std::vector<ColumnSpec> memos;
  for (int i = 0; i < 7; ++i) memos.push_back({"M" + std::to_string(i), ColumnType::kMemo});
  TableDef indexed = VerseLayout();
  indexed.realIndexes.push_back({});
  EXPECT_ERROR(LayOutTable("t", kTableTypeUser, {}), kErrInvalidArgument);
  EXPECT_ERROR(LayOutTable("t", kTableTypeUser, {{"A", ColumnType::kText, 0}}), kErrInvalidArgument);
  EXPECT_ERROR(LayOutTable("t", kTableTypeUser, {{"A", ColumnType::kText, 256}}), kErrInvalidArgument);
  EXPECT_ERROR(LayOutTable("t", kTableTypeUser, {{"A", ColumnType::kLong}, {"a", ColumnType::kLong}}),
               kErrInvalidArgument);
  for (const TableDef& def :
       {layout({{std::string(65, 'x'), ColumnType::kLong}}),
        layout({{"A", ColumnType::kLong}}, "msysobjects"), layout({{"A", ColumnType::kLong}}, "MSysACEs"),
        layout({{"A", ColumnType::kLong}}, "Vers\xC3\xA9"), indexed, layout(memos)}) {
    SCOPED_TRACE(def.name);
    MemoryFileSystem fs;
    EXPECT_ERROR(CreateDatabase(fs, "bad.mdb", def, kCreated), kErrInvalidArgument);
    EXPECT_FALSE(*fs.Exists("bad.mdb"));
  }
  memos.pop_back();
  auto six = BuildNewDatabase(layout(memos), kCreated);
  ASSERT_OK(six);
  EXPECT_EQ(Findings(*six), "");
  MemoryFileSystem fs;
  fs.SetBytes("other.mdb", Bytes{1, 2, 3});
  EXPECT_ERROR(CreateDatabase(fs, "other.mdb", VerseLayout(), kCreated), kErrDatabaseExists);
  EXPECT_EQ(fs.Bytes("other.mdb"), (Bytes{1, 2, 3}));
}

}  // namespace
}  // namespace jet::test
