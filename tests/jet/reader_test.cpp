// What the reader does beyond reading the samples as the other readers do: encoded
// files and text in Windows-1252.
#include "fixture.h"
#include "jet/byte_reader.h"
#include "jet/code_page.h"
#include "jet/header.h"

namespace jet::test {
namespace {

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
