// New databases built page by page, and table definitions written back as the
// samples hold them.
#include <gtest/gtest.h>

#include "fixture.h"
#include "jet/byte_reader.h"
#include "jet/code_page.h"
#include "jet/header.h"
#include "jet/system_tables.h"
#include "jet/tdef_page.h"

namespace jet::test {
namespace {

constexpr std::size_t kPage = kPageSize;
constexpr double kCreated = 46362.8308;  // 2026-12-06 19:56

// A definition's bytes as the reader joins them: the first page whole, continuations without their header.
Bytes Joined(const Bytes& file, std::uint32_t first) {
  Bytes out;
  for (std::uint32_t n = first; n != 0; n = ByteReader(file).U32(n * kPage + 4)) {
    out.insert(out.end(), file.begin() + static_cast<std::ptrdiff_t>(n * kPage + (n == first ? 0 : 8)),
               file.begin() + static_cast<std::ptrdiff_t>((n + 1) * kPage));
  }
  return out;
}

TEST(TableDefEncoding, EveryTableOfEverySampleIsWrittenBackAsAccessWroteIt) {
  int tables = 0;
  for (const auto& sample : support::SampleNames()) {
    const Bytes file = support::SampleBytes(sample);
    MemoryFileSystem fs;
    fs.SetBytes("db.mdb", file);
    auto db = Database::Open(fs, "db.mdb");
    ASSERT_OK(db);
    auto names = (*db)->TableNames(true);
    ASSERT_OK(names);
    for (const auto& name : *names) {
      auto opened = (*db)->OpenTable(name);
      ASSERT_OK(opened);
      const TableDef& def = *opened;
      auto encoded = EncodeTableDef(def);
      ASSERT_OK(encoded);
      Bytes expected = Joined(file, def.page);
      ASSERT_EQ(encoded->size(), def.length) << sample << " " << name;
      expected.resize(def.length);
      // Unused index column slots hold left-over bytes in Access's files; ours are FF FF 00.
      std::size_t at = kTdefIndexSlots + 8 * def.realIndexes.size() + 18 * def.columns.size();
      for (const auto& c : def.columns) at += 1 + EncodeCp1252(c.name)->size();
      for (std::size_t i = 0; i < def.realIndexes.size(); ++i, at += kRealIndexSize) {
        for (std::size_t k = def.realIndexes[i].columns.size(); k < 10; ++k) {
          expected[at + 3 * k] = 0xFF;
          expected[at + 3 * k + 1] = 0xFF;
          expected[at + 3 * k + 2] = 0;
        }
      }
      // Column +7 is 1 in every sample here.
      EXPECT_EQ(*encoded, expected) << sample << " table " << name;
      ++tables;
    }
  }
  EXPECT_GT(tables, 60);
}

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
