// New databases built page by page, and table definitions written back as the
// samples hold them.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include <bit>

#include "jet/byte_reader.h"
#include "jet/code_page.h"
#include "jet/errors.h"
#include "jet/database.h"
#include "jet/file_memory.h"
#include "jet/header.h"
#include "jet/integrity.h"
#include "jet/new_database.h"
#include "jet/system_tables.h"
#include "jet/tdef_encode.h"
#include "jet/tdef_page.h"
#include "support/result_assert.h"
#include "support/samples.h"

namespace jet::test {
namespace {


using jet::Bytes;
constexpr std::size_t kPage = jet::kPageSize;
constexpr double kCreated = 46362.8308;  // 2026-12-06 19:56

jet::TableDef VerseLayout() {
  auto def = jet::LayOutTable("versetbl", jet::kTableTypeUser,
                              {{"Book", jet::ColumnType::kText, 255},
                               {"Chapter", jet::ColumnType::kText, 50},
                               {"Read", jet::ColumnType::kBoolean},
                               {"Verses", jet::ColumnType::kText, 50},
                               {"VerseTxt", jet::ColumnType::kMemo}});
  EXPECT_TRUE(def.ok());
  return def.ok() ? *def : jet::TableDef{};
}

Bytes Page(const Bytes& file, std::size_t n) {
  return Bytes(file.begin() + static_cast<std::ptrdiff_t>(n * kPage), file.begin() + static_cast<std::ptrdiff_t>((n + 1) * kPage));
}

// A definition's bytes as the reader joins them: the first page whole, continuations without their header.
Bytes Joined(const Bytes& file, std::uint32_t first) {
  Bytes out;
  for (std::uint32_t n = first; n != 0;) {
    Bytes p = Page(file, n);
    out.insert(out.end(), p.begin() + (n == first ? 0 : 8), p.end());
    n = jet::ByteReader(p).U32(4);
  }
  return out;
}

struct Opened {
  jet::MemoryFileSystem fs;
  std::unique_ptr<jet::Database> db;
};

std::unique_ptr<Opened> Open(const Bytes& bytes) {
  auto o = std::make_unique<Opened>();
  o->fs.SetBytes("db.mdb", bytes);
  auto db = jet::Database::Open(o->fs, "db.mdb");
  EXPECT_TRUE(db.ok()) << db.error().description;
  if (db.ok()) o->db = std::move(*db);
  return o;
}

jet::TableDef ReadDef(jet::Database& db, const std::string& name) {
  auto def = db.OpenTable(name);
  EXPECT_TRUE(def.ok()) << name;
  return def.ok() ? *def : jet::TableDef{};
}

TEST(TableDefEncoding, EveryTableOfEverySampleIsWrittenBackAsAccessWroteIt) {
  int tables = 0;
  for (const auto& sample : support::SampleNames()) {
    const Bytes file = support::SampleBytes(sample);
    auto o = Open(file);
    ASSERT_TRUE(o->db);
    auto names = o->db->TableNames(true);
    ASSERT_OK(names);
    for (const auto& name : *names) {
      jet::TableDef def = ReadDef(*o->db, name);
      auto encoded = jet::EncodeTableDef(def);
      ASSERT_OK(encoded);
      Bytes expected = Joined(file, def.page);
      ASSERT_EQ(encoded->size(), def.length) << sample << " " << name;
      expected.resize(def.length);
      // Unused index column slots hold left-over bytes in Access's files; ours are FF FF 00.
      std::size_t at = jet::kTdefIndexSlots + 8 * def.realIndexes.size() + 18 * def.columns.size();
      for (const auto& c : def.columns) at += 1 + jet::EncodeCp1252(c.name)->size();
      for (std::size_t i = 0; i < def.realIndexes.size(); ++i, at += jet::kRealIndexSize) {
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

TEST(TableDefEncoding, LayingOutAUserTablePacksFixedColumnsAndNumbersVariableOnes) {
  jet::TableDef def = VerseLayout();
  ASSERT_EQ(def.columns.size(), 5u);
  EXPECT_EQ(def.varColumns, 4);
  EXPECT_EQ(def.maxColumns, 5);
  const auto& read = def.columns[2];
  EXPECT_EQ(read.flags, 0x03);
  EXPECT_EQ(read.varIndex, 2);  // two variable columns come before it
  EXPECT_EQ(read.length, 1);
  EXPECT_EQ(def.columns[3].varIndex, 2);
  EXPECT_EQ(def.columns[4].varIndex, 3);
  EXPECT_EQ(def.columns[4].length, 0);
  EXPECT_EQ(def.columns[1].position, 1);
  auto bytes = jet::EncodeTableDef(def);
  ASSERT_OK(bytes);
  EXPECT_EQ(bytes->size(), 179u - 10u);  // versetbl without its long-value record
}

TEST(TableDefEncoding, BadLayoutsAreRefused) {
  EXPECT_ERROR(jet::LayOutTable("t", jet::kTableTypeUser, {}), jet::kErrInvalidArgument);
  EXPECT_ERROR(jet::LayOutTable("t", jet::kTableTypeUser, {{"A", jet::ColumnType::kText, 0}}), jet::kErrInvalidArgument);
  EXPECT_ERROR(jet::LayOutTable("t", jet::kTableTypeUser, {{"A", jet::ColumnType::kText, 256}}), jet::kErrInvalidArgument);
  EXPECT_ERROR(jet::LayOutTable("t", jet::kTableTypeUser, {{"A", jet::ColumnType::kLong}, {"a", jet::ColumnType::kLong}}),
               jet::kErrInvalidArgument);
  auto longName = jet::LayOutTable("t", jet::kTableTypeUser, {{std::string(65, 'x'), jet::ColumnType::kLong}});
  ASSERT_OK(longName);
  EXPECT_ERROR(jet::EncodeTableDef(*longName), jet::kErrInvalidArgument);
}

// Every field of a definition that does not depend on the rows, one line an item, so
// that a difference shows where it is.
std::string Shape(const jet::TableDef& d) {
  std::ostringstream o;
  o << d.page << " " << d.length << " " << int{d.tableType} << " maps " << d.ownedMap.Raw() << " " << d.freeMap.Raw() << "\n";
  for (const auto& c : d.columns) {
    o << c.name << " " << int(c.type) << " " << c.number << " " << c.varIndex << " " << int{c.flags} << " " << c.length
      << " " << (c.IsFixed() ? c.fixedOffset : 0) << "\n";
  }
  for (const auto& x : d.realIndexes) {
    for (const auto& k : x.columns) o << k.column << ",";
    o << " map " << x.usageMap.Raw() << " root " << x.rootPage << " flags " << int{x.flags} << "\n";
  }
  for (const auto& x : d.logicalIndexes) o << x.name << " " << x.number << " " << int{x.indexType} << "\n";
  for (const auto& x : d.longValues) o << "memo " << x.column << " " << x.owned.Raw() << " " << x.free.Raw() << "\n";
  return o.str();
}

TEST(NewDatabase, SystemTablesAreDefinedAsInAnAccessMadeFile) {
  auto ours = Open(*jet::BuildNewDatabase(VerseLayout(), kCreated));
  auto theirs = Open(support::SampleBytes("size97.mdb"));
  ASSERT_TRUE(ours->db && theirs->db);
  for (const char* name : {"MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships"}) {
    EXPECT_EQ(Shape(ReadDef(*ours->db, name)), Shape(ReadDef(*theirs->db, name))) << name;
  }
}

TEST(NewDatabase, HeaderDiffersFromAnAccessMadeOneOnlyInTheUnexplainedByte) {
  const Bytes ours = *jet::BuildNewDatabase(VerseLayout(), kCreated);
  const Bytes theirs = support::SampleBytes("size97.mdb");
  std::vector<std::size_t> differ;
  for (std::size_t i = 0; i < kPage; ++i) {
    if (ours[i] != theirs[i]) differ.push_back(i);
  }
  EXPECT_EQ(differ, std::vector<std::size_t>{0x602});
  auto header = jet::DecodeHeader(ours, "new");
  ASSERT_OK(header);
  EXPECT_EQ(header->codePage, 1252);
  EXPECT_EQ(header->sortOrder, 0x0409);
  EXPECT_FALSE(header->Encoded());
}

TEST(NewDatabase, HoldsTheJetCatalogAndTheUserTableEmpty) {
  auto o = Open(*jet::BuildNewDatabase(VerseLayout(), kCreated));
  ASSERT_TRUE(o->db);
  auto catalog = o->db->Catalog();
  ASSERT_OK(catalog);
  std::vector<std::string> names;
  for (const auto& e : *catalog) names.push_back(e.name);
  EXPECT_EQ(names, (std::vector<std::string>{"Tables", "Databases", "Relationships", "MSysDb", "MSysObjects", "MSysACEs",
                                             "MSysQueries", "MSysRelationships", "versetbl"}));
  auto user = o->db->TableNames();
  ASSERT_OK(user);
  EXPECT_EQ(*user, std::vector<std::string>{"versetbl"});
  jet::TableDef verses = ReadDef(*o->db, "VERSETBL");
  EXPECT_EQ(verses.page, jet::new_page::kUserTable);
  EXPECT_EQ(verses.rowCount, 0u);
  EXPECT_EQ(verses.length, 179u);
  ASSERT_EQ(verses.longValues.size(), 1u);
  EXPECT_EQ(verses.longValues[0].owned, (jet::RowPointer{22, 2}));
  EXPECT_EQ(verses.longValues[0].free, (jet::RowPointer{22, 3}));
  auto rows = o->db->ReadAllRows(verses);
  ASSERT_OK(rows);
  EXPECT_TRUE(rows->empty());
  EXPECT_EQ(ReadDef(*o->db, "MSysACEs").rowCount, 18u);
}

TEST(NewDatabase, MSysDbCarriesTheAccessVersionProperty) {
  auto o = Open(*jet::BuildNewDatabase(VerseLayout(), kCreated));
  ASSERT_TRUE(o->db);
  jet::TableDef objects = ReadDef(*o->db, "MSysObjects");
  std::vector<jet::Value> msysDb;
  auto rows = o->db->ReadAllRows(objects);
  ASSERT_OK(rows);
  for (const auto& row : *rows) {
    if (std::get<jet::Text>(row.values[2]).bytes == Bytes{'M', 'S', 'y', 's', 'D', 'b'}) msysDb = row.values;
  }
  ASSERT_EQ(msysDb.size(), 17u);
  const Bytes blob = std::get<Bytes>(msysDb[14]);
  ASSERT_EQ(blob.size(), 50u);
  EXPECT_EQ(std::string(blob.begin(), blob.begin() + 3), "KKD");
  EXPECT_EQ(std::string(blob.end() - 5, blob.end()), "07.53");
  EXPECT_EQ(std::get<jet::DateTime>(msysDb[4]).days, kCreated);
}

TEST(NewDatabase, CatalogRowAndIndexEntriesOfTheUserTableAreJetsBytes) {
  const Bytes file = *jet::BuildNewDatabase(VerseLayout(), kCreated);
  const Bytes catalog = Page(file, 18);
  const std::uint16_t start = jet::ByteReader(catalog).U16(10 + 2 * 8) & 0x1FFF;
  const std::uint16_t end = jet::ByteReader(catalog).U16(10 + 2 * 7) & 0x1FFF;
  Bytes row(catalog.begin() + start, catalog.begin() + end);
  Bytes expected = {0x11, 0x15, 0, 0, 0, 0x01, 0, 0, 0x0F, 0x01, 0};
  Bytes date(8);
  jet::PutU64(date, 0, std::bit_cast<std::uint64_t>(kCreated));
  for (int i = 0; i < 2; ++i) expected.insert(expected.end(), date.begin(), date.end());
  for (int b : {0, 0, 0, 0, 0x76, 0x65, 0x72, 0x73, 0x65, 0x74, 0x62, 0x6C, 0x03, 0x01}) expected.push_back(static_cast<std::uint8_t>(b));
  for (int i = 0; i < 10; ++i) expected.push_back(0x29);
  for (int b : {0x27, 0x1F, 0x0B, 0xFF, 0x00, 0x00}) expected.push_back(static_cast<std::uint8_t>(b));
  EXPECT_EQ(row, expected);

  auto contains = [](const Bytes& page, const Bytes& entry) {
    return std::search(page.begin() + 0xF8, page.end(), entry.begin(), entry.end()) != page.end();
  };
  EXPECT_TRUE(contains(Page(file, 9), {0x7F, 0x8F, 0, 0, 0x01, 0x7F, 0x7A, 0x66, 0x75, 0x76, 0x66, 0x77, 0x61, 0x6D, 0, 0, 0, 0x12, 0x08}));
  EXPECT_TRUE(contains(Page(file, 11), {0x7F, 0x80, 0, 0, 0x15, 0, 0, 0x12, 0x08}));
}

TEST(NewDatabase, TextKeysFollowTheGeneralSortOrder) {
  EXPECT_EQ(*jet::GeneralTextKey("versetbl"), (Bytes{0x7A, 0x66, 0x75, 0x76, 0x66, 0x77, 0x61, 0x6D, 0}));
  EXPECT_EQ(*jet::GeneralTextKey("AZaz09 _~"), (Bytes{0x60, 0x7E, 0x60, 0x7E, 0x56, 0x5F, 0x11, 0x2C, 0x31, 0}));
  EXPECT_ERROR(jet::GeneralTextKey("caf\xC3\xA9"), jet::kErrInvalidArgument);
}

TEST(NewDatabase, TablesItCannotHoldAreRefused) {
  jet::TableDef def = VerseLayout();
  def.name = "msysobjects";
  EXPECT_ERROR(jet::BuildNewDatabase(def, kCreated), jet::kErrInvalidArgument);
  def.name = "Vers\xC3\xA9";
  EXPECT_ERROR(jet::BuildNewDatabase(def, kCreated), jet::kErrInvalidArgument);
  def = VerseLayout();
  def.realIndexes.push_back({});
  EXPECT_ERROR(jet::BuildNewDatabase(def, kCreated), jet::kErrInvalidArgument);
  std::vector<jet::ColumnSpec> memos;
  for (int i = 0; i < 7; ++i) memos.push_back({"M" + std::to_string(i), jet::ColumnType::kMemo});
  EXPECT_ERROR(jet::BuildNewDatabase(*jet::LayOutTable("t", jet::kTableTypeUser, memos), kCreated), jet::kErrInvalidArgument);
  memos.pop_back();
  auto six = jet::BuildNewDatabase(*jet::LayOutTable("t", jet::kTableTypeUser, memos), kCreated);
  ASSERT_OK(six);
  jet::MemoryFileSystem fs;
  fs.SetBytes("six.mdb", *six);
  auto findings = jet::CheckIntegrity(fs, "six.mdb");
  ASSERT_OK(findings);
  EXPECT_TRUE(findings->empty());
}

TEST(NewDatabase, CreatingOverAnExistingFileIsRefusedAndLeavesItAlone) {
  jet::MemoryFileSystem fs;
  ASSERT_OK(jet::CreateDatabase(fs, "v.mdb", VerseLayout(), kCreated));
  EXPECT_EQ(fs.Bytes("v.mdb").size(), 23 * kPage);
  fs.SetBytes("other.mdb", Bytes{1, 2, 3});
  EXPECT_ERROR(jet::CreateDatabase(fs, "other.mdb", VerseLayout(), kCreated), jet::kErrDatabaseExists);
  EXPECT_EQ(fs.Bytes("other.mdb"), (Bytes{1, 2, 3}));
  jet::TableDef bad = VerseLayout();
  bad.name = "MSysACEs";
  EXPECT_ERROR(jet::CreateDatabase(fs, "bad.mdb", bad, kCreated), jet::kErrInvalidArgument);
  EXPECT_FALSE(*fs.Exists("bad.mdb"));
}

}  // namespace
}  // namespace jet::test
