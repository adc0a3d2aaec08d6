// What the reader does beyond reading the samples as the other readers do: finding
// tables by name, the errors of files that are not what they claim, encoded files,
// and text in Windows-1252.
#include <gtest/gtest.h>

#include <functional>

#include "fixture.h"
#include "jet/byte_reader.h"
#include "jet/code_page.h"
#include "jet/header.h"

namespace jet::test {
namespace {

// Reads `table` of testV1997 after `damage`; returns how it ended.
Status ReadDamaged(const std::function<void(Bytes&)>& damage, const char* table = "Table1") {
  Bytes bytes = support::SampleBytes("testV1997.mdb");
  damage(bytes);
  MemoryFileSystem fs;
  fs.SetBytes("db.mdb", bytes);
  JET_ASSIGN(auto db, Database::Open(fs, "db.mdb"));
  JET_ASSIGN(auto def, db->OpenTable(table));
  JET_TRY(db->ReadAllRows(def));
  return Ok();
}

TEST(Reader, DamagedFilesAndMissingTablesAreErrorsThatNameWhatIsWrong) {
  const struct {
    std::function<void(Bytes&)> damage;
    const char* table;
    int number;
    const char* text;
  } cases[] = {
      {[](Bytes& b) { b.clear(); }, "Table1", kErrUnrecognizedFormat, ""},
      {[](Bytes& b) { b.assign(4096, 'x'); }, "Table1", kErrUnrecognizedFormat, ""},
      {[](Bytes& b) { b[kHeaderVersion] = 1; }, "Table1", kErrUnrecognizedFormat, "Access 2000"},
      {[](Bytes& b) { b.resize(2 * kPageSize + 100); }, "Table1", kErrDamaged, ""},  // the catalog cut off
      {[](Bytes& b) { b.resize(30 * kPageSize); }, "Table1", kErrDamaged, ""},       // Table1's data cut off
      // Table2's property blob is chained over pages 45..49, one row each (the first at
      // offset 12): the second piece made to point back at the first.
      {[](Bytes& b) {
         PutU32(b, 46 * kPageSize + 12, RowPointer{45, 0}.Raw());
       },
       "MSysObjects", kErrDamaged, "loops"},
      {[](Bytes&) {}, "NoSuchTable", kErrTableNotFound, "NoSuchTable"},
  };
  for (const auto& c : cases) {
    const Status s = ReadDamaged(c.damage, c.table);
    EXPECT_ERROR(s, c.number);
    EXPECT_NE(s.ok() ? std::string::npos : s.error().description.find(c.text), std::string::npos) << c.text;
  }
  MemoryFileSystem fs;
  EXPECT_ERROR(Database::Open(fs, "missing.mdb"), kErrFileNotFound);
  fs.SetBytes("db.mdb", support::SampleBytes("testV1997.mdb"));
  // Names are found without regard to case.
  EXPECT_EQ(Database::Open(fs, "db.mdb").value()->OpenTable("tABLE1").value().name, "Table1");
}

TEST(Reader, ReadsAnEncodedDatabaseAsItsPlainTwinButNeverWritesIt) {
  MemoryFileSystem fs;
  fs.SetBytes("a.mdb", support::SampleBytes("testV1997.mdb"));
  Bytes encoded = fs.Bytes("a.mdb");
  ToggleHeaderMask(encoded);
  PutU32(encoded, kHeaderKey, 0xA7E0C0FE);
  ToggleHeaderMask(encoded);
  for (std::uint32_t page = 1; page < encoded.size() / kPageSize; ++page)
    TogglePageEncoding(0xA7E0C0FE, page, std::span(encoded).subspan(page * kPageSize, kPageSize));
  fs.SetBytes("b.mdb", encoded);
  auto a = Database::Open(fs, "a.mdb");
  auto b = Database::Open(fs, "b.mdb");
  ASSERT_OK(b);
  EXPECT_TRUE((*b)->pager().header().Encoded());
  for (const char* table : {"Table1", "MSysObjects"})
    EXPECT_EQ(ReadRows(**a, (*a)->OpenTable(table).value()), ReadRows(**b, (*b)->OpenTable(table).value()));
  EXPECT_ERROR(Database::Open(fs, "b.mdb", {.writable = true}), kErrReadOnly);
}

TEST(CodePage, DecodesAndEncodesWindows1252AndRefusesWhatItCannotHold) {
  EXPECT_EQ(DecodeCp1252(Bytes{'A', 0x80, 0xA3, 0xE9, 0x81, 0x9F}), "A\u20AC\u00A3\u00E9\u0081\u0178");
  auto ok = EncodeCp1252("\u201CGod\u201D \u00E9t\u00E9 \u20AC5");
  ASSERT_OK(ok);
  EXPECT_EQ(*ok, (Bytes{0x93, 'G', 'o', 'd', 0x94, ' ', 0xE9, 't', 0xE9, ' ', 0x80, '5'}));
  for (const char* bad :
       {"\u05E9\u05DC\u05D5\u05DD", "\xF0\x9F\x99\x8F", "\xC3", "\xC0\x80", "\xED\xA0\x80"}) {
    EXPECT_ERROR(EncodeCp1252(bad), kErrCannotEncode);
  }
  Bytes all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<std::uint8_t>(b));
  EXPECT_EQ(EncodeCp1252(DecodeCp1252(all)).value(), all);
}

}  // namespace
}  // namespace jet::test
