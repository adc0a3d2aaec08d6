// The integrity check: each deliberately damaged structure of a new verse store gives
// its own finding on its own page.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "fixture.h"
#include "jet/byte_reader.h"
#include "jet/format.h"

namespace jet::test {
namespace {

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
// The global map's first row (page 1, row 0).
std::size_t GlobalMap(const Bytes& b) { return RowStart(b, kGlobalMapPage, 0); }

struct Damage {
  const char* what;
  std::function<void(Bytes&)> apply;
  std::uint32_t page;
  const char* finding;
};

TEST(Integrity, EachDamagedStructureIsFoundOnItsPage) {
  const std::vector<Damage> damages = {
      {"a page in use marked free", [](Bytes& b) { SetBit(b, GlobalMap(b), np::kAceRows, true); },
       np::kAceRows, "global map marks it free"},
      {"a page marked in use that nothing uses",
       [](Bytes& b) {
         b.resize(b.size() + kPage, 0);
         SetBit(b, GlobalMap(b), np::kCount, false);
       },
       np::kCount, "nothing uses it"},
      {"a file cut inside a page", [](Bytes& b) { b.resize(b.size() + 100, 0); }, 0,
       "not a whole number of pages"},
      {"a wrong row count", [](Bytes& b) { b[np::kAces * kPage + 0x0C] = 17; }, np::kAces,
       "counts 17 rows but the table has 18"},
      {"a wrong free-space field", [](Bytes& b) { b[np::kAceRows * kPage + kDataFreeSpace] ^= 0x04; },
       np::kAceRows, "free bytes but has"},
      {"overlapping rows",
       [](Bytes& b) {
         const auto row0 = U16At(b, SlotEntry(np::kAceRows, 0));
         PutU16(std::span(b).subspan(SlotEntry(np::kAceRows, 2)), 0, static_cast<std::uint16_t>(row0 + 3));
       },
       np::kAceRows, "overlaps another row"},
      {"a deleted slot pointing outside its page",
       [](Bytes& b) { PutU16(std::span(b).subspan(SlotEntry(np::kAceRows, 1)), 0, kSlotDeleted | 4); },
       np::kAceRows, "deleted row 1 of page 19 lies outside"},
      {"a table's map listing an LVAL page",
       [](Bytes& b) { SetBit(b, RowStart(b, np::kSystemMaps, 0), np::kProperties, true); }, np::kProperties,
       "is not one of its data pages"},
      {"a page used twice",
       [](Bytes& b) { SetBit(b, RowStart(b, np::kSystemMaps, 0), np::kProperties, true); }, np::kProperties,
       "is used twice"},
      {"an LVAL map listing a data page",
       [](Bytes& b) { SetBit(b, RowStart(b, np::kObjectMaps, 10), np::kAceRows, true); }, np::kAceRows,
       "is not one of its LVAL pages"},
      {"a free map listing a page of another table",
       [](Bytes& b) { SetBit(b, RowStart(b, np::kSystemMaps, 1), np::kObjectRows, true); }, np::kObjectRows,
       "which the table does not own"},
      {"an LVAL row no value names",
       [](Bytes& b) {
         b[LvProp(b)] = 0;
         b[LvProp(b) + 3] = 0x80;  // inline, empty
       },
       np::kProperties, "is named by 0 memo values"},
      {"a memo outside its column's pages", [](Bytes& b) { b[LvProp(b) + 5] = np::kAceRows; },
       np::kObjectRows, "outside the column's LVAL pages"},
      {"a memo chain that loops",
       [](Bytes& b) {
         b[LvProp(b) + 3] = 0x00;  // chained: each piece starts with its successor
         PutU32(std::span(b).subspan(RowStart(b, np::kProperties, 0)), 0, np::kProperties << 8);
         b[LvProp(b)] = 200;
       },
       np::kObjectRows, "loops"},
      {"an index entry naming no row", [](Bytes& b) { b[np::kByIdLeaf * kPage + kLeafEntries + 8] = 60; },
       np::kByIdLeaf, "which is no row of the table"},
      {"an index missing an entry",
       [](Bytes& b) {
         const std::size_t leaf = np::kAcesLeaf * kPage;
         const std::size_t bit = kPage - U16At(b, leaf + kDataFreeSpace) - kLeafEntries;
         b[leaf + kLeafBitmap + bit / 8] &= static_cast<std::uint8_t>(~(1u << (bit % 8)));
         PutU16(std::span(b).subspan(leaf), kDataFreeSpace,
                static_cast<std::uint16_t>(U16At(b, leaf + 2) + 9));
       },
       np::kAces, "has 17 entries for 18 rows"},
      {"two catalog rows with one name",
       [](Bytes& b) {
         // versetbl (slot 8) and MSysACEs have names of one length, in one container.
         const std::string clash = "msysaces";
         std::copy(clash.begin(), clash.end(),
                   b.begin() + static_cast<std::ptrdiff_t>(RowStart(b, np::kObjectRows, 8) + 31));
       },
       kCatalogPage, "names 'msysaces' twice"},
      {"a table definition that is no TDEF", [](Bytes& b) { b[np::kUserTable * kPage] = kPageTypeData; },
       np::kUserTable, "definition of table 'versetbl' cannot be read"},
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
    MemoryFileSystem fs;
    fs.SetBytes("db.mdb", b);
    auto findings = CheckIntegrity(fs, "db.mdb");
    ASSERT_OK(findings);
    EXPECT_TRUE(std::any_of(
        findings->begin(), findings->end(),
        [&](const Finding& f) { return f.page == d.page && f.text.find(d.finding) != std::string::npos; }))
        << d.what << ": expected on page " << d.page << ": " << d.finding << "\ngot:\n"
        << Findings(b);
  }
}

TEST(Integrity, AStubPointingAtALiveRowIsFoundAndSoIsItsOrphanedMovedRow) {
  // queryTestV1997 holds Access-made forwarding stubs.
  Bytes b = support::SampleBytes("queryTestV1997.mdb");
  std::uint32_t page = 0;
  std::size_t row = 0;
  for (std::uint32_t p = 2; p < b.size() / kPage && page == 0; ++p) {
    for (std::size_t r = 0; b[p * kPage] == kPageTypeData && r < U16At(b, p * kPage + kDataRowCount); ++r) {
      if ((U16At(b, SlotEntry(p, r)) & kSlotDeleted) == kSlotForwarded) page = p, row = r;
    }
  }
  ASSERT_NE(page, 0u);
  const std::size_t at = RowStart(b, page, row);
  const RowPointer target = RowPointer::FromRaw(ByteReader(b).U32(at));
  PutU32(std::span(b).subspan(at), 0, RowPointer{page, static_cast<std::uint8_t>(row)}.Raw());  // at itself
  const std::string findings = Findings(b);
  EXPECT_NE(findings.find("page " + std::to_string(page) + ": the forwarding stub"), std::string::npos)
      << findings;
  EXPECT_NE(findings.find("which is not a moved row of the table"), std::string::npos) << findings;
  EXPECT_NE(findings.find("page " + std::to_string(target.page) + ": "), std::string::npos) << findings;
  EXPECT_NE(findings.find("is named by 0 forwarding stubs"), std::string::npos) << findings;
}

}  // namespace
}  // namespace jet::test
