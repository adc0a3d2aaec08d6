// The reader beyond what the other readers' comparison shows: encoded files, text in
// Windows-1252, and damaged files. The reader names what is wrong with a file that is not
// what it claims; the integrity check gives each deliberately damaged structure of a new
// verse store its own finding on its own page; and every sample (clean as Access made it)
// truncated, bit-flipped and garbled page by page gives a numbered error or rows to the
// reader, and findings or an error to the integrity check, never a crash or a hang (the
// sanitizer preset catches reads out of bounds).
#include <algorithm>
#include <functional>
#include <random>

#include "fixture.h"
#include "jet/byte_reader.h"
#include "jet/code_page.h"
#include "jet/format.h"
#include "jet/header.h"
#include "jet/tdef_page.h"

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
  // Sound UTF-8 the code page cannot hold is named as such; malformed UTF-8 is not Unicode.
  for (const auto& [bad, sound] :
       std::vector<std::pair<const char*, bool>>{{"\u05E9\u05DC\u05D5\u05DD", true},
                                                 {"\xF0\x9F\x99\x8F", true},
                                                 {"\xF1\x80\x80\x80", true},
                                                 {"\xC3", false},
                                                 {"\x80", false},
                                                 {"\xC0\x80", false},
                                                 {"\xED\xA0\x80", false}}) {
    auto refused = EncodeCp1252(bad);
    EXPECT_ERROR(refused, kErrCannotEncode);
    EXPECT_EQ(!refused.ok() && refused.error().description.find("cannot be stored") != std::string::npos,
              sound)
        << bad;
  }
  Bytes all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<std::uint8_t>(b));
  EXPECT_EQ(EncodeCp1252(DecodeCp1252(all)).value(), all);
  // ASCII is tested in words and blocks of words: one byte past ASCII anywhere in texts
  // of every length up to a few blocks is found, and ASCII alone is a view of the bytes.
  std::string scratch;
  for (std::size_t size = 0; size <= 70; ++size) {
    for (std::size_t high = 0; high <= size; ++high) {
      Bytes text(size, 'a');
      std::string utf8(size, 'a');
      if (high < size) text[high] = 0xE9, utf8.replace(high, 1, "é");
      SCOPED_TRACE(std::to_string(size) + " bytes, the high one at " + std::to_string(high));
      EXPECT_EQ(DecodeCp1252(text), utf8);
      const std::string_view view = Cp1252View(text, scratch);
      EXPECT_EQ(view, utf8);
      EXPECT_EQ(view.data() == reinterpret_cast<const char*>(text.data()), high == size);
    }
  }
}

namespace np = new_page;
constexpr std::size_t kPage = kPageSize;

std::uint16_t U16At(const Bytes& b, std::size_t at) { return ByteReader(b).U16(at); }
std::size_t SlotEntry(std::uint32_t page, std::size_t row) { return page * kPage + kDataSlots + 2 * row; }
std::size_t RowStart(const Bytes& b, std::uint32_t page, std::size_t row) {
  return page * kPage + (U16At(b, SlotEntry(page, row)) & kSlotOffsetMask);
}
void SetBit(Bytes& b, std::size_t mapRowStart, std::uint32_t page, bool on) {
  std::uint8_t& byte = b[mapRowStart + 5 + page / 8];
  byte = static_cast<std::uint8_t>(on ? byte | (1u << (page % 8)) : byte & ~(1u << (page % 8)));
}
// MSysDb's LvProp value in its catalog row: past the fixed area, "MSysDb" and the owner SID.
std::size_t LvProp(const Bytes& b) { return RowStart(b, np::kObjectRows, 3) + 1 + 30 + 6 + 2; }
std::size_t GlobalMap(const Bytes& b) { return RowStart(b, kGlobalMapPage, 0); }

// Checks that a line of `found` names both `page` and `finding`.
void ExpectFinding(const std::string& found, std::uint32_t page, const std::string& finding) {
  const std::string line = "page " + std::to_string(page) + ": ";
  std::size_t at = found.find(finding);
  while (at != std::string::npos && found.compare(found.rfind('\n', at) + 1, line.size(), line) != 0)
    at = found.find(finding, at + 1);
  EXPECT_NE(at, std::string::npos) << finding << " on page " << page << "; got:\n" << found;
}

TEST(Integrity, EachDamagedStructureIsFoundOnItsPage) {
  const struct {
    std::uint32_t page;
    const char* finding;
    std::function<void(Bytes&)> apply;
  } damages[] = {
      {np::kAceRows, "global map marks it free",
       [](Bytes& b) { SetBit(b, GlobalMap(b), np::kAceRows, true); }},
      {np::kCount, "nothing uses it",
       [](Bytes& b) {
         b.resize(b.size() + kPage, 0);
         SetBit(b, GlobalMap(b), np::kCount, false);
       }},
      {0, "not a whole number of pages", [](Bytes& b) { b.resize(b.size() + 100, 0); }},
      {np::kAces, "counts 17 rows but the table has 18", [](Bytes& b) { b[np::kAces * kPage + 0x0C] = 17; }},
      {np::kAceRows, "free bytes but has",
       [](Bytes& b) { b[np::kAceRows * kPage + kDataFreeSpace] ^= 0x04; }},
      {np::kAceRows, "overlaps another row",
       [](Bytes& b) {
         const auto row0 = U16At(b, SlotEntry(np::kAceRows, 0));
         PutU16(std::span(b).subspan(SlotEntry(np::kAceRows, 2)), 0, static_cast<std::uint16_t>(row0 + 3));
       }},
      {np::kAceRows, "deleted row 1 of page 19 lies outside",
       [](Bytes& b) { PutU16(std::span(b).subspan(SlotEntry(np::kAceRows, 1)), 0, kSlotDeleted | 4); }},
      {np::kProperties, "is not one of its data pages",
       [](Bytes& b) { SetBit(b, RowStart(b, np::kSystemMaps, 0), np::kProperties, true); }},
      {np::kProperties, "is used twice",
       [](Bytes& b) { SetBit(b, RowStart(b, np::kSystemMaps, 0), np::kProperties, true); }},
      {np::kAceRows, "is not one of its LVAL pages",
       [](Bytes& b) { SetBit(b, RowStart(b, np::kObjectMaps, 10), np::kAceRows, true); }},
      {np::kObjectRows, "which the table does not own",
       [](Bytes& b) { SetBit(b, RowStart(b, np::kSystemMaps, 1), np::kObjectRows, true); }},
      {np::kProperties, "is named by 0 memo values",
       [](Bytes& b) {
         b[LvProp(b)] = 0;
         b[LvProp(b) + 3] = 0x80;  // inline, empty
       }},
      {np::kObjectRows, "outside the column's LVAL pages", [](Bytes& b) { b[LvProp(b) + 5] = np::kAceRows; }},
      {np::kObjectRows, "loops",
       [](Bytes& b) {
         b[LvProp(b) + 3] = 0x00;  // chained: each piece starts with its successor
         PutU32(std::span(b).subspan(RowStart(b, np::kProperties, 0)), 0, np::kProperties << 8);
         b[LvProp(b)] = 200;
       }},
      {np::kByIdLeaf, "which is no row of the table",
       [](Bytes& b) { b[np::kByIdLeaf * kPage + kLeafEntries + 8] = 60; }},
      {np::kAces, "has 17 entries for 18 rows",
       [](Bytes& b) {
         const std::size_t leaf = np::kAcesLeaf * kPage;
         const std::size_t bit = kPage - U16At(b, leaf + kDataFreeSpace) - kLeafEntries;
         b[leaf + kLeafBitmap + bit / 8] &= static_cast<std::uint8_t>(~(1u << (bit % 8)));
         PutU16(std::span(b).subspan(leaf), kDataFreeSpace,
                static_cast<std::uint16_t>(U16At(b, leaf + 2) + 9));
       }},
      {kCatalogPage, "names 'msysaces' twice",
       [](Bytes& b) {
         // versetbl (slot 8) and MSysACEs have names of one length, in one container.
         const std::string clash = "msysaces";
         std::copy(clash.begin(), clash.end(),
                   b.begin() + static_cast<std::ptrdiff_t>(RowStart(b, np::kObjectRows, 8) + 31));
       }},
      {np::kUserTable, "definition of table 'versetbl' cannot be read",
       [](Bytes& b) { b[np::kUserTable * kPage] = kPageTypeData; }},
      {np::kUserTable, "'VerseTxt'",  // the memo column made fixed and 4 bytes long
       [](Bytes& b) {
         const std::size_t entry = np::kUserTable * kPage + kTdefIndexSlots + 18 * 4;
         b[entry + 13] |= kColumnFixed;
         PutU16(b, entry + 16, 4);
       }},
  };
  MemoryFileSystem files;
  files.SetBytes("x.mdb", Bytes(4096, 0x41));
  EXPECT_ERROR(CheckIntegrity(files, "x.mdb"), kErrUnrecognizedFormat);
  EXPECT_ERROR(CheckIntegrity(files, "missing.mdb"), kErrFileNotFound);
  const Bytes clean = NewVerseStoreBytes();
  ASSERT_EQ(Findings(clean), "");
  for (const auto& d : damages) {
    Bytes b = clean;
    d.apply(b);
    ExpectFinding(Findings(b), d.page, d.finding);
  }
  // queryTestV1997 holds Access-made forwarding stubs: one made to point at itself is
  // found, and so is the moved row no stub names any more.
  Bytes b = support::SampleBytes("queryTestV1997.mdb");
  RowId stub{};
  for (std::uint32_t p = 2; p < b.size() / kPage && stub.page == 0; ++p) {
    for (std::uint8_t r = 0; b[p * kPage] == kPageTypeData && r < U16At(b, p * kPage + kDataRowCount); ++r) {
      if (IsStub(b, {p, r})) stub = {p, r};
    }
  }
  ASSERT_NE(stub.page, 0u);
  const std::size_t at = RowStart(b, stub.page, stub.row);
  const std::uint32_t moved = RowPointer::FromRaw(ByteReader(b).U32(at)).page;
  PutU32(std::span(b).subspan(at), 0, RowPointer{stub.page, stub.row}.Raw());
  ExpectFinding(Findings(b), stub.page, "which is not a moved row of the table");
  ExpectFinding(Findings(b), moved, "is named by 0 forwarding stubs");
}

struct Outcome {
  int errors = 0, rows = 0, noticed = 0;  // noticed: damage the integrity check saw
};

// Reads everything the file holds, and checks it when `check` is set.
void ReadEverything(const Bytes& bytes, Outcome& outcome, bool check = false) {
  MemoryFileSystem fs;
  fs.SetBytes("db.mdb", bytes);
  outcome.noticed += check && Findings(fs, "db.mdb") != "";
  const auto note = [&](const Error& e) {
    EXPECT_TRUE(e.number != 0 && !e.description.empty()) << e.description;
    ++outcome.errors;
  };
  auto db = Database::Open(fs, "db.mdb");
  if (!db.ok()) return note(db.error());
  auto names = (*db)->TableNames(/*includeSystem=*/true);
  if (!names.ok()) return note(names.error());
  for (const auto& name : *names) {
    auto def = (*db)->OpenTable(name);
    auto rows = def.ok() ? (*db)->ReadAllRows(*def) : def.error();
    if (rows.ok())
      outcome.rows += static_cast<int>(rows->size());
    else
      note(rows.error());
  }
}

class DamagedSample : public testing::TestWithParam<std::string> {};

TEST_P(DamagedSample, TruncatedFlippedAndGarbledPagesGiveErrorsOrRowsAndFindings) {
  const auto original = support::SampleBytes(GetParam());
  ASSERT_EQ(Findings(original), "");
  Outcome cut, outcome;
  for (std::size_t at = 0; at < original.size(); at += kPageSize / 2)
    ReadEverything({original.begin(), original.begin() + static_cast<std::ptrdiff_t>(at)}, cut);
  EXPECT_GT(cut.errors, 0);
  std::mt19937 random(20261206);
  int variants = 0;
  for (std::size_t base = 0; base + kPageSize <= original.size(); base += kPageSize) {
    for (int flip = 0; flip < 8; ++flip) {
      auto bytes = original;
      const std::size_t at = base + random() % kPageSize;
      bytes[at] ^= static_cast<std::uint8_t>(1u << (random() % 8));
      ReadEverything(bytes, outcome);
    }
    // The structure fields near a page's start matter most: invert each of them.
    for (std::size_t at = base; at < base + 24; ++at, ++variants) {
      auto bytes = original;
      bytes[at] = static_cast<std::uint8_t>(~bytes[at]);
      ReadEverything(bytes, outcome, /*check=*/base > 0);
    }
    auto garbled = original;
    for (std::size_t at = base; at < base + kPageSize; ++at)
      garbled[at] = static_cast<std::uint8_t>(random());
    ReadEverything(garbled, outcome, /*check=*/true);
  }
  EXPECT_GT(outcome.errors, 0);
  EXPECT_GT(outcome.rows, 0);
  // Some inverted bytes are unused; a good share must still be seen.
  EXPECT_GT(outcome.noticed, variants / 10);
}

INSTANTIATE_TEST_SUITE_P(AllSamples, DamagedSample, testing::ValuesIn(support::SampleNames()),
                         [](const auto& param) { return param.param.substr(0, param.param.find('.')); });

}  // namespace
}  // namespace jet::test
