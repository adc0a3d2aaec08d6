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
std::size_t GlobalMap(const Bytes& b) { return RowStart(b, kGlobalMapPage, 0); }

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
    const std::string found = Findings(b), line = "page " + std::to_string(d.page) + ": ";
    std::size_t at = found.find(d.finding);
    while (at != std::string::npos && found.compare(found.rfind('\n', at) + 1, line.size(), line) != 0)
      at = found.find(d.finding, at + 1);  // the line that names the finding must name its page
    EXPECT_NE(at, std::string::npos) << d.finding << " on page " << d.page << "; got:\n" << found;
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
