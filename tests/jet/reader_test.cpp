// The reader against the Access-made samples: catalog, definitions, rows, memo
// values, encoded files and the errors of files that are not what they claim.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "jet/byte_reader.h"
#include "jet/code_page.h"
#include "jet/database.h"
#include "jet/errors.h"
#include "jet/file_memory.h"
#include "jet/header.h"
#include "support/result_assert.h"
#include "support/samples.h"

namespace jet {
namespace {

using lumaret::test::SampleBytes;
using lumaret::test::SamplePath;

// A sample loaded into memory so that a test may change its bytes.
struct MemorySample {
  explicit MemorySample(const std::string& name) { fs.SetBytes("db.mdb", SampleBytes(name)); }
  std::vector<std::uint8_t>& bytes() { return fs.Bytes("db.mdb"); }
  Result<std::unique_ptr<Database>> Open() { return Database::Open(fs, "db.mdb"); }
  MemoryFileSystem fs;
};

std::vector<std::vector<Value>> AllRows(Database& db, const TableDef& def) {
  std::vector<std::vector<Value>> rows;
  Status inner = Ok();
  Status s = db.Scan(def, [&](const RowRef& row) {
    auto values = db.RowValues(def, row.bytes);
    if (!values.ok()) {
      inner = values.error();
      return false;
    }
    rows.push_back(*values);
    return true;
  });
  EXPECT_OK(s);
  EXPECT_OK(inner);
  return rows;
}

std::string AsText(const Value& v) { return DecodeCp1252(std::get<Text>(v).bytes); }

TEST(Reader, ListsTheUserTablesOfEverySample) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> expected = {
      {"compIndexTestV1997.mdb", {"Table1"}},
      {"delTestV1997.mdb", {"Table"}},
      {"indexTestV1997.mdb", {"Table1", "Table2", "Table3"}},
      {"overflowTestV1997.mdb", {"Table1"}},
      {"queryTestV1997.mdb", {"Table1", "Table2", "Table3"}},
      {"size97.mdb", {"table1"}},
      {"test2V1997.mdb", {"MSP_PROJECTS"}},
      {"testV1997.mdb", {"Table1", "Table2", "Table3", "Table4"}},
  };
  for (const auto& [file, tables] : expected) {
    auto db = Database::Open(SystemFileSystem(), SamplePath(file));
    ASSERT_OK(db);
    auto names = (*db)->TableNames();
    ASSERT_OK(names);
    EXPECT_EQ(*names, tables) << file;
  }
}

TEST(Reader, ReadsEveryColumnTypeOfTheWorkedExample) {
  auto db = Database::Open(SystemFileSystem(), SamplePath("testV1997.mdb"));
  ASSERT_OK(db);
  auto def = (*db)->OpenTable("Table1");
  ASSERT_OK(def);
  EXPECT_EQ(def->rowCount, 2u);
  auto rows = AllRows(**db, *def);
  ASSERT_EQ(rows.size(), 2u);

  const auto& a = rows[0];
  EXPECT_EQ(AsText(a[0]), "a");
  EXPECT_EQ(AsText(a[1]), "b");
  EXPECT_EQ(std::get<std::uint8_t>(a[2]), 0);
  EXPECT_EQ(std::get<DateTime>(a[6]).days, 29932.0);  // 1981-12-12
  EXPECT_EQ(std::get<bool>(a[8]), false);

  const auto& b = rows[1];
  EXPECT_EQ(AsText(b[0]), "abcdefg");
  EXPECT_EQ(AsText(b[1]), "hijklmnop");
  EXPECT_EQ(std::get<std::uint8_t>(b[2]), 2);
  EXPECT_EQ(std::get<std::int16_t>(b[3]), 222);
  EXPECT_EQ(std::get<std::int32_t>(b[4]), 333333333);
  EXPECT_DOUBLE_EQ(std::get<double>(b[5]), 444.555);
  EXPECT_EQ(std::get<Currency>(b[7]).tenThousandths, 35000);
  EXPECT_EQ(std::get<bool>(b[8]), true);
}

TEST(Reader, FindsTablesWithoutRegardToCaseAndReportsMissingOnes) {
  auto db = Database::Open(SystemFileSystem(), SamplePath("testV1997.mdb"));
  ASSERT_OK(db);
  auto def = (*db)->OpenTable("tABLE1");
  ASSERT_OK(def);
  EXPECT_EQ(def->name, "Table1");
  EXPECT_EQ(def->page, 29u);

  auto missing = (*db)->OpenTable("NoSuchTable");
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().number, kErrTableNotFound);
  EXPECT_NE(missing.error().description.find("NoSuchTable"), std::string::npos);
}

TEST(Reader, JoinsADefinitionSpreadOverTwoPages) {
  auto db = Database::Open(SystemFileSystem(), SamplePath("testV1997.mdb"));
  ASSERT_OK(db);
  auto def = (*db)->OpenTable("Table2");
  ASSERT_OK(def);
  EXPECT_EQ(def->pages, (std::vector<std::uint32_t>{34, 44}));
  ASSERT_EQ(def->columns.size(), 89u);
  EXPECT_EQ(def->columns.back().type, ColumnType::kText);
  EXPECT_EQ(def->logicalIndexes.size(), 5u);
}

TEST(Reader, KnowsAutoNumberAndMemoColumns) {
  auto db = Database::Open(SystemFileSystem(), SamplePath("testV1997.mdb"));
  ASSERT_OK(db);
  auto table3 = (*db)->OpenTable("Table3");
  ASSERT_OK(table3);
  EXPECT_TRUE(table3->columns[0].IsAutoNumber());
  EXPECT_FALSE(table3->columns[1].IsAutoNumber());

  auto catalog = (*db)->OpenTable("MSysObjects");
  ASSERT_OK(catalog);
  EXPECT_EQ(catalog->longValues.size(), 7u);  // Database, Connect, RmtInfoLong, Lv, LvProp, LvModule, LvExtra
}

TEST(Reader, ReadsLongValuesStoredInlineInOneRowAndChained) {
  auto db = Database::Open(SystemFileSystem(), SamplePath("testV1997.mdb"));
  ASSERT_OK(db);
  auto def = (*db)->OpenTable("MSysObjects");
  ASSERT_OK(def);
  auto lvProp = std::find_if(def->columns.begin(), def->columns.end(), [](auto& c) { return c.name == "LvProp"; });
  auto name = std::find_if(def->columns.begin(), def->columns.end(), [](auto& c) { return c.name == "Name"; });
  std::size_t lvIndex = static_cast<std::size_t>(lvProp - def->columns.begin());
  std::size_t nameIndex = static_cast<std::size_t>(name - def->columns.begin());

  std::map<std::string, Bytes> blobs;
  for (auto& row : AllRows(**db, *def)) {
    if (auto* blob = std::get_if<Bytes>(&row[lvIndex])) blobs[AsText(row[nameIndex])] = *blob;
  }
  // Table2's properties are chained over five LVAL pages; Table1's sit in one row.
  ASSERT_TRUE(blobs.count("Table2"));
  EXPECT_EQ(blobs["Table2"].size(), 9818u);
  ASSERT_TRUE(blobs.count("Table1"));
  EXPECT_EQ(blobs["Table1"].size(), 1040u);
  for (const auto& [object, blob] : blobs) {
    ASSERT_GE(blob.size(), 4u) << object;
    EXPECT_EQ(std::memcmp(blob.data(), "KKD\0", 4), 0) << object;
  }
}

TEST(Reader, SkipsDeletedRowsAndKeepsTheOthersInOrder) {
  auto db = Database::Open(SystemFileSystem(), SamplePath("delTestV1997.mdb"));
  ASSERT_OK(db);
  auto def = (*db)->OpenTable("Table");
  ASSERT_OK(def);
  auto rows = AllRows(**db, *def);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(AsText(rows[0][0]), "z");
  EXPECT_EQ(AsText(rows[0][1]), "y");
  EXPECT_EQ(AsText(rows[1][0]), "v");
  EXPECT_EQ(AsText(rows[1][1]), "u");
}

TEST(Reader, ReadsAForwardedRowOnceAtItsStub) {
  auto db = Database::Open(SystemFileSystem(), SamplePath("queryTestV1997.mdb"));
  ASSERT_OK(db);
  auto def = (*db)->OpenTable("MSysObjects");
  ASSERT_OK(def);
  EXPECT_EQ(AllRows(**db, *def).size(), def->rowCount);
}

TEST(Reader, ReportsFilesThatAreNotAccess97Databases) {
  MemoryFileSystem fs;
  auto missing = Database::Open(fs, "missing.mdb");
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().number, kErrFileNotFound);

  fs.SetBytes("empty.mdb", {});
  auto empty = Database::Open(fs, "empty.mdb");
  ASSERT_FALSE(empty.ok());
  EXPECT_EQ(empty.error().number, kErrUnrecognizedFormat);

  std::vector<std::uint8_t> text(4096, 'x');
  fs.SetBytes("text.mdb", text);
  auto notDb = Database::Open(fs, "text.mdb");
  ASSERT_FALSE(notDb.ok());
  EXPECT_EQ(notDb.error().number, kErrUnrecognizedFormat);

  auto jet4 = SampleBytes("size97.mdb");
  jet4[kHeaderVersion] = 1;
  fs.SetBytes("jet4.mdb", jet4);
  auto newer = Database::Open(fs, "jet4.mdb");
  ASSERT_FALSE(newer.ok());
  EXPECT_EQ(newer.error().number, kErrUnrecognizedFormat);
  EXPECT_NE(newer.error().description.find("Access 2000"), std::string::npos);
}

TEST(Reader, ReportsATruncatedFileAsDamaged) {
  MemorySample sample("testV1997.mdb");
  sample.bytes().resize(2 * kPageSize + 100);  // the catalog's definition is cut off
  auto db = sample.Open();
  ASSERT_FALSE(db.ok());
  EXPECT_EQ(db.error().number, kErrDamaged);

  MemorySample later("testV1997.mdb");
  later.bytes().resize(30 * kPageSize);  // Table1's data page is gone
  auto opened = later.Open();
  ASSERT_OK(opened);
  auto def = (*opened)->OpenTable("Table1");
  ASSERT_OK(def);
  Status s = (*opened)->Scan(*def, [](const RowRef&) { return true; });
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.error().number, kErrDamaged);
}

TEST(Reader, ReadsAnEncodedDatabaseAsItsPlainTwin) {
  MemorySample plain("testV1997.mdb");
  MemorySample encoded("testV1997.mdb");
  auto& bytes = encoded.bytes();
  const std::uint32_t key = 0xA7E0C0FE;
  ToggleHeaderMask(bytes);
  PutU32(bytes, kHeaderKey, key);
  ToggleHeaderMask(bytes);
  for (std::uint32_t page = 1; page < bytes.size() / kPageSize; ++page) {
    TogglePageEncoding(key, page, std::span(bytes).subspan(page * kPageSize, kPageSize));
  }

  auto a = plain.Open();
  auto b = encoded.Open();
  ASSERT_OK(a);
  ASSERT_OK(b);
  EXPECT_TRUE((*b)->pager().header().Encoded());
  auto defA = (*a)->OpenTable("Table1");
  auto defB = (*b)->OpenTable("Table1");
  ASSERT_OK(defA);
  ASSERT_OK(defB);
  EXPECT_EQ(AllRows(**a, *defA), AllRows(**b, *defB));

  auto writable = Database::Open(encoded.fs, "db.mdb", PagerOptions{.writable = true});
  ASSERT_FALSE(writable.ok());
  EXPECT_EQ(writable.error().number, kErrReadOnly);
}

TEST(Reader, EndsALoopingMemoChainWithAnError) {
  // Table2's property blob is chained over pages 45..49, one row each; point
  // the second piece back at the first.
  MemorySample sample("testV1997.mdb");
  const std::size_t page46 = 46 * kPageSize;
  ByteReader check(sample.bytes());
  ASSERT_EQ(check.U8(page46), 0x01);
  ASSERT_EQ(check.U16(page46 + 0x0A), 12) << "one full row at offset 12";
  PutU32(sample.bytes(), page46 + 12, RowPointer{45, 0}.Raw());
  auto db = sample.Open();
  ASSERT_OK(db);
  auto def = (*db)->OpenTable("MSysObjects");
  ASSERT_OK(def);
  Status inner = Ok();
  Status s = (*db)->Scan(*def, [&](const RowRef& row) {
    auto values = (*db)->RowValues(*def, row.bytes);
    if (!values.ok()) inner = values.error();
    return values.ok();
  });
  ASSERT_OK(s);
  ASSERT_FALSE(inner.ok());
  EXPECT_EQ(inner.error().number, kErrDamaged);
  EXPECT_NE(inner.error().description.find("loops"), std::string::npos);
}

TEST(CodePage, DecodesWindows1252IncludingItsUndefinedBytes) {
  const std::vector<std::uint8_t> bytes = {'A', 0x80, 0xA3, 0xE9, 0x81, 0x9F};
  EXPECT_EQ(DecodeCp1252(bytes), "A\u20AC\u00A3\u00E9\u0081\u0178");
}

TEST(CodePage, EncodesWhatTheCodePageHoldsAndRefusesTheRest) {
  auto ok = EncodeCp1252("\u201CGod\u201D \u00E9t\u00E9 \u20AC5");
  ASSERT_OK(ok);
  EXPECT_EQ(*ok, (Bytes{0x93, 'G', 'o', 'd', 0x94, ' ', 0xE9, 't', 0xE9, ' ', 0x80, '5'}));

  for (const char* bad : {"\u05E9\u05DC\u05D5\u05DD", "\xF0\x9F\x99\x8F", "\xC3", "\xC0\x80", "\xED\xA0\x80"}) {
    auto r = EncodeCp1252(bad);
    ASSERT_FALSE(r.ok()) << bad;
    EXPECT_EQ(r.error().number, kErrCannotEncode);
  }
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  auto roundTrip = EncodeCp1252(DecodeCp1252(std::vector<std::uint8_t>(all.begin(), all.end())));
  ASSERT_OK(roundTrip);
  EXPECT_EQ(std::string(roundTrip->begin(), roundTrip->end()), all);
}

}  // namespace
}  // namespace jet
