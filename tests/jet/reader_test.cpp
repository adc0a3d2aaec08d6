// What the reader does beyond reading the samples as the other readers do (that is
// oracle_test.cpp): finding tables by name, the errors of files that are not what
// they claim, encoded files, and text in Windows-1252.
#include <gtest/gtest.h>

#include <functional>

#include "jet/byte_reader.h"
#include "jet/code_page.h"
#include "jet/header.h"
#include "write_fixture.h"

namespace jet::test {
namespace {

Result<std::unique_ptr<Database>> OpenBytes(MemoryFileSystem& fs, Bytes bytes, bool writable = false) {
  fs.SetBytes("db.mdb", std::move(bytes));
  return Database::Open(fs, "db.mdb", PagerOptions{.writable = writable});
}

TEST(Reader, FindsTablesWithoutRegardToCaseAndReportsMissingOnes) {
  MemoryFileSystem fs;
  auto db = OpenBytes(fs, support::SampleBytes("testV1997.mdb"));
  ASSERT_OK(db);
  auto def = (*db)->OpenTable("tABLE1");
  ASSERT_OK(def);
  EXPECT_EQ(def->name, "Table1");
  auto missing = (*db)->OpenTable("NoSuchTable");
  EXPECT_ERROR(missing, kErrTableNotFound);
  EXPECT_NE(missing.error().description.find("NoSuchTable"), std::string::npos);
}

TEST(Reader, FilesThatAreNotWholeAccess97DatabasesAreRefusedByKind) {
  const Bytes sample = support::SampleBytes("testV1997.mdb");
  struct Case {
    const char* what;
    std::function<void(Bytes&)> damage;
    int number;
    const char* text;
  };
  const std::vector<Case> cases = {
      {"an empty file", [](Bytes& b) { b.clear(); }, kErrUnrecognizedFormat, ""},
      {"text", [](Bytes& b) { b.assign(4096, 'x'); }, kErrUnrecognizedFormat, ""},
      {"a newer version", [](Bytes& b) { b[kHeaderVersion] = 1; }, kErrUnrecognizedFormat, "Access 2000"},
      {"the catalog's definition cut off", [](Bytes& b) { b.resize(2 * kPageSize + 100); }, kErrDamaged, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes bytes = sample;
    c.damage(bytes);
    MemoryFileSystem fs;
    auto db = OpenBytes(fs, bytes);
    EXPECT_ERROR(db, c.number);
    if (!db.ok()) {
      EXPECT_NE(db.error().description.find(c.text), std::string::npos);
    }
  }
  MemoryFileSystem fs;
  EXPECT_ERROR(Database::Open(fs, "missing.mdb"), kErrFileNotFound);
}

// Reads Table1 of testV1997 after `damage`; returns how the read ended.
Status ReadDamaged(const std::function<void(Bytes&)>& damage, const char* table = "Table1") {
  Bytes bytes = support::SampleBytes("testV1997.mdb");
  damage(bytes);
  MemoryFileSystem fs;
  JET_ASSIGN(auto db, OpenBytes(fs, bytes));
  JET_ASSIGN(auto def, db->OpenTable(table));
  JET_TRY(db->ReadAllRows(def));
  return Ok();
}

TEST(Reader, DamageMetWhileReadingIsAnErrorThatNamesIt) {
  // Table1's data page cut off.
  EXPECT_ERROR(ReadDamaged([](Bytes& b) { b.resize(30 * kPageSize); }), kErrDamaged);
  // Table2's property blob is chained over pages 45..49, one row each: the second
  // piece made to point back at the first.
  const Status loop = ReadDamaged(
      [](Bytes& b) {
        ASSERT_EQ(ByteReader(b).U16(46 * kPageSize + kDataSlots), 12) << "one full row at offset 12";
        PutU32(b, 46 * kPageSize + 12, RowPointer{45, 0}.Raw());
      },
      "MSysObjects");
  EXPECT_ERROR(loop, kErrDamaged);
  if (!loop.ok()) {
    EXPECT_NE(loop.error().description.find("loops"), std::string::npos);
  }
}

TEST(Reader, ReadsAnEncodedDatabaseAsItsPlainTwinButNeverWritesIt) {
  const Bytes plain = support::SampleBytes("testV1997.mdb");
  Bytes encoded = plain;
  const std::uint32_t key = 0xA7E0C0FE;
  ToggleHeaderMask(encoded);
  PutU32(encoded, kHeaderKey, key);
  ToggleHeaderMask(encoded);
  for (std::uint32_t page = 1; page < encoded.size() / kPageSize; ++page) {
    TogglePageEncoding(key, page, std::span(encoded).subspan(page * kPageSize, kPageSize));
  }
  MemoryFileSystem fsA, fsB;
  auto a = OpenBytes(fsA, plain);
  auto b = OpenBytes(fsB, encoded);
  ASSERT_OK(a);
  ASSERT_OK(b);
  EXPECT_TRUE((*b)->pager().header().Encoded());
  for (const char* table : {"Table1", "MSysObjects"}) {
    auto defA = (*a)->OpenTable(table);
    auto defB = (*b)->OpenTable(table);
    ASSERT_OK(defA);
    ASSERT_OK(defB);
    EXPECT_EQ(ReadRows(**a, *defA), ReadRows(**b, *defB)) << table;
  }
  MemoryFileSystem fsC;
  EXPECT_ERROR(OpenBytes(fsC, encoded, true), kErrReadOnly);
}

TEST(CodePage, DecodesAndEncodesWindows1252AndRefusesWhatItCannotHold) {
  EXPECT_EQ(DecodeCp1252(Bytes{'A', 0x80, 0xA3, 0xE9, 0x81, 0x9F}), "A\u20AC\u00A3\u00E9\u0081\u0178");
  auto ok = EncodeCp1252("\u201CGod\u201D \u00E9t\u00E9 \u20AC5");
  ASSERT_OK(ok);
  EXPECT_EQ(*ok, (Bytes{0x93, 'G', 'o', 'd', 0x94, ' ', 0xE9, 't', 0xE9, ' ', 0x80, '5'}));
  for (const char* bad : {"\u05E9\u05DC\u05D5\u05DD", "\xF0\x9F\x99\x8F", "\xC3", "\xC0\x80", "\xED\xA0\x80"}) {
    SCOPED_TRACE(bad);
    EXPECT_ERROR(EncodeCp1252(bad), kErrCannotEncode);
  }
  Bytes all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<std::uint8_t>(b));
  auto roundTrip = EncodeCp1252(DecodeCp1252(all));
  ASSERT_OK(roundTrip);
  EXPECT_EQ(*roundTrip, all);
}

}  // namespace
}  // namespace jet::test
