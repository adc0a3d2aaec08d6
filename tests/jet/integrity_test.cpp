// The integrity check: clean on every Access-made sample and on a new database,
// and each deliberately damaged structure gives its own finding.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "jet/byte_reader.h"
#include "jet/errors.h"
#include "jet/file_memory.h"
#include "jet/integrity.h"
#include "jet/new_database.h"
#include "jet/tdef_encode.h"
#include "support/result_assert.h"
#include "support/samples.h"

namespace {

using jet::Bytes;
constexpr std::size_t kPage = jet::kPageSize;

std::vector<jet::Finding> Check(const Bytes& bytes) {
  jet::MemoryFileSystem fs;
  fs.SetBytes("db.mdb", bytes);
  auto findings = jet::CheckIntegrity(fs, "db.mdb");
  EXPECT_TRUE(findings.ok()) << findings.error().description;
  return findings.ok() ? *findings : std::vector<jet::Finding>{};
}

std::string Describe(const std::vector<jet::Finding>& findings) {
  std::string all;
  for (const auto& f : findings) all += "page " + std::to_string(f.page) + ": " + f.text + "\n";
  return all;
}

// True when some finding on `page` contains `text`.
bool Has(const std::vector<jet::Finding>& findings, std::uint32_t page, const std::string& text) {
  return std::any_of(findings.begin(), findings.end(),
                     [&](const jet::Finding& f) { return f.page == page && f.text.find(text) != std::string::npos; });
}

#define EXPECT_FINDING(findings, page, text) \
  EXPECT_TRUE(Has(findings, page, text)) << "expected on page " << (page) << ": " << (text) << "\ngot:\n" << Describe(findings)

Bytes NewDatabase() {
  auto def = jet::LayOutTable("versetbl", jet::kTableTypeUser,
                              {{"Book", jet::ColumnType::kText, 255},
                               {"Chapter", jet::ColumnType::kText, 50},
                               {"Read", jet::ColumnType::kBoolean},
                               {"Verses", jet::ColumnType::kText, 50},
                               {"VerseTxt", jet::ColumnType::kMemo}});
  EXPECT_TRUE(def.ok());
  auto bytes = jet::BuildNewDatabase(*def, 40000.5);
  EXPECT_TRUE(bytes.ok());
  return bytes.ok() ? *bytes : Bytes{};
}

std::uint16_t U16At(const Bytes& b, std::size_t at) { return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8)); }
std::size_t SlotEntry(std::uint32_t page, std::size_t row) { return page * kPage + 10 + 2 * row; }
std::size_t RowStart(const Bytes& b, std::uint32_t page, std::size_t row) {
  return page * kPage + (U16At(b, SlotEntry(page, row)) & 0x1FFF);
}
void SetBit(Bytes& b, std::size_t mapRowStart, std::uint32_t page, bool on) {
  std::uint8_t& byte = b[mapRowStart + 5 + page / 8];
  byte = static_cast<std::uint8_t>(on ? byte | (1u << (page % 8)) : byte & ~(1u << (page % 8)));
}

class SampleIntegrity : public ::testing::TestWithParam<std::string> {};

TEST_P(SampleIntegrity, AnAccessMadeSampleHasNoFindings) {
  auto findings = Check(lumaret::test::SampleBytes(GetParam()));
  EXPECT_TRUE(findings.empty()) << Describe(findings);
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleIntegrity, ::testing::ValuesIn(lumaret::test::SampleNames()),
                         [](const auto& sample) {
                           std::string n = sample.param.substr(0, sample.param.find('.'));
                           n.erase(std::remove_if(n.begin(), n.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }), n.end());
                           return n;
                         });

TEST(Integrity, ANewDatabaseHasNoFindings) {
  auto findings = Check(NewDatabase());
  EXPECT_TRUE(findings.empty()) << Describe(findings);
}

TEST(Integrity, AFileThatIsNoDatabaseIsAnErrorNotAFinding) {
  jet::MemoryFileSystem fs;
  fs.SetBytes("x.mdb", Bytes(4096, 0x41));
  EXPECT_ERROR(jet::CheckIntegrity(fs, "x.mdb"), jet::kErrUnrecognizedFormat);
  EXPECT_ERROR(jet::CheckIntegrity(fs, "missing.mdb"), jet::kErrFileNotFound);
}

// The global map (page 1, row 0) starts at 0x77B in a new database.
constexpr std::size_t kGlobalMap = kPage + 0x77B;

TEST(Integrity, APageInUseThatTheGlobalMapMarksFreeIsFound) {
  Bytes b = NewDatabase();
  SetBit(b, kGlobalMap, 19, true);
  EXPECT_FINDING(Check(b), 19u, "global map marks it free");
}

TEST(Integrity, APageMarkedInUseThatNothingUsesIsFound) {
  Bytes b = NewDatabase();
  b.resize(b.size() + kPage, 0);
  SetBit(b, kGlobalMap, 23, false);
  EXPECT_FINDING(Check(b), 23u, "nothing uses it");
}

TEST(Integrity, AFileCutInsideAPageIsFound) {
  Bytes b = NewDatabase();
  b.resize(b.size() + 100, 0);
  EXPECT_FINDING(Check(b), 0u, "not a whole number of pages");
}

TEST(Integrity, ARowCountThatDiffersFromTheLiveRowsIsFound) {
  Bytes b = NewDatabase();
  b[3 * kPage + 0x0C] = 17;  // MSysACEs holds 18 rows
  auto findings = Check(b);
  EXPECT_FINDING(findings, 3u, "counts 17 rows but the table has 18");
}

TEST(Integrity, AWrongFreeSpaceFieldIsFound) {
  Bytes b = NewDatabase();
  b[19 * kPage + 2] ^= 0x04;
  EXPECT_FINDING(Check(b), 19u, "free bytes but has");
}

TEST(Integrity, OverlappingRowsAreFound) {
  Bytes b = NewDatabase();
  // Row 2 of the ACE page starts inside row 1's bytes.
  const std::uint16_t row0 = U16At(b, SlotEntry(19, 0));
  jet::PutU16(std::span(b).subspan(SlotEntry(19, 2)), 0, static_cast<std::uint16_t>(row0 + 3));
  EXPECT_FINDING(Check(b), 19u, "overlaps another row");
}

TEST(Integrity, ATablePageListingAnLvalPageIsFound) {
  Bytes b = NewDatabase();
  // MSysACEs' owned map (page 12, row 0) also lists the LVAL page 20.
  SetBit(b, RowStart(b, 12, 0), 20, true);
  auto findings = Check(b);
  EXPECT_FINDING(findings, 20u, "is not one of its data pages");
  EXPECT_FINDING(findings, 20u, "is used twice");
}

TEST(Integrity, AnLvalMapListingADataPageIsFound) {
  Bytes b = NewDatabase();
  // MSysObjects' LvProp owned map (page 6, row 10) also lists the ACE data page.
  SetBit(b, RowStart(b, 6, 10), 19, true);
  EXPECT_FINDING(Check(b), 19u, "is not one of its LVAL pages");
}

TEST(Integrity, AFreeSpaceMapListingAPageTheTableDoesNotOwnIsFound) {
  Bytes b = NewDatabase();
  SetBit(b, RowStart(b, 12, 1), 18, true);  // MSysACEs' free map names the catalog's page
  EXPECT_FINDING(Check(b), 18u, "which the table does not own");
}

TEST(Integrity, AnLvalRowThatNoValueNamesIsFound) {
  Bytes b = NewDatabase();
  // Point MSysDb's property header at nothing: make it inline with no data.
  const std::size_t row = RowStart(b, 18, 3);
  const std::size_t lvProp = row + 1 + 30 + 6 + 2;  // fixed area, "MSysDb", the owner SID
  ASSERT_EQ(b[lvProp + 3], 0x40);
  b[lvProp] = 0;
  b[lvProp + 3] = 0x80;
  auto findings = Check(b);
  EXPECT_FINDING(findings, 20u, "is named by 0 memo values");
}

TEST(Integrity, AMemoValueOutsideItsColumnsPagesIsFound) {
  Bytes b = NewDatabase();
  const std::size_t lvProp = RowStart(b, 18, 3) + 1 + 30 + 6 + 2;
  b[lvProp + 5] = 19;  // page 19 holds ACE rows
  EXPECT_FINDING(Check(b), 18u, "outside the column's LVAL pages");
}

TEST(Integrity, AMemoChainThatLoopsIsFound) {
  Bytes b = NewDatabase();
  const std::size_t lvProp = RowStart(b, 18, 3) + 1 + 30 + 6 + 2;
  b[lvProp + 3] = 0x00;  // chained: the piece's first 4 bytes are its successor
  const std::size_t piece = RowStart(b, 20, 0);
  jet::PutU32(std::span(b).subspan(piece), 0, (20u << 8) | 0);  // itself
  b[lvProp] = 200;
  EXPECT_FINDING(Check(b), 18u, "loops");
}

TEST(Integrity, AnIndexEntryNamingNoRowIsFound) {
  Bytes b = NewDatabase();
  // The last byte of the first Id entry on page 11 is its row slot.
  b[11 * kPage + 0xF8 + 8] = 60;
  EXPECT_FINDING(Check(b), 11u, "which is no row of the table");
}

TEST(Integrity, AnIndexMissingEntriesIsFound) {
  Bytes b = NewDatabase();
  // Drop the last entry of the ACE leaf: clear its end bit and fix the free space.
  const std::size_t leaf = 13 * kPage;
  const std::size_t end = kPage - U16At(b, leaf + 2);
  const std::size_t bit = end - 0xF8;
  b[leaf + 0x16 + bit / 8] = static_cast<std::uint8_t>(b[leaf + 0x16 + bit / 8] & ~(1u << (bit % 8)));
  jet::PutU16(std::span(b).subspan(leaf), 2, static_cast<std::uint16_t>(U16At(b, leaf + 2) + 9));
  EXPECT_FINDING(Check(b), 3u, "has 17 entries for 18 rows");
}

TEST(Integrity, TwoCatalogRowsWithOneNameAreFound) {
  Bytes b = NewDatabase();
  // versetbl (slot 8) and MSysACEs are both 8 bytes long and both in the Tables container.
  const std::size_t name = RowStart(b, 18, 8) + 1 + 30;
  const std::string clash = "msysaces";
  std::copy(clash.begin(), clash.end(), b.begin() + static_cast<std::ptrdiff_t>(name));
  EXPECT_FINDING(Check(b), 2u, "names 'msysaces' twice");
}

TEST(Integrity, ATableWhoseDefinitionIsNotATdefIsFound) {
  Bytes b = NewDatabase();
  b[21 * kPage] = 0x01;
  EXPECT_FINDING(Check(b), 21u, "definition of table 'versetbl' cannot be read");
}

// queryTestV1997 holds Access-made forwarding stubs; find one.
struct StubSite {
  std::uint32_t page = 0;
  std::size_t row = 0;
};
std::vector<StubSite> Stubs(const Bytes& b) {
  std::vector<StubSite> stubs;
  for (std::uint32_t p = 2; p < b.size() / kPage; ++p) {
    if (b[p * kPage] != 0x01) continue;
    const std::uint16_t n = U16At(b, p * kPage + 8);
    for (std::size_t r = 0; r < n && r < 256; ++r) {
      if ((U16At(b, SlotEntry(p, r)) & 0xC000) == 0x4000) stubs.push_back({p, r});
    }
  }
  return stubs;
}

TEST(Integrity, AStubPointingAtALiveRowIsFoundAndSoIsItsOrphanedMovedRow) {
  Bytes b = lumaret::test::SampleBytes("queryTestV1997.mdb");
  auto stubs = Stubs(b);
  ASSERT_FALSE(stubs.empty());
  const StubSite s = stubs.front();
  const std::size_t at = RowStart(b, s.page, s.row);
  const std::uint32_t target = static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
                               (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
  // Point the stub at its own slot, a stub rather than a moved row.
  b[at] = static_cast<std::uint8_t>(s.row);
  b[at + 1] = static_cast<std::uint8_t>(s.page);
  b[at + 2] = static_cast<std::uint8_t>(s.page >> 8);
  auto findings = Check(b);
  EXPECT_FINDING(findings, s.page, "which is not a moved row of the table");
  EXPECT_FINDING(findings, target >> 8, "is named by 0 forwarding stubs");
}

TEST(Integrity, DamagedBytesGiveFindingsOrAnErrorButNeverACrash) {
  const Bytes clean = lumaret::test::SampleBytes("testV1997.mdb");
  std::uint32_t seed = 12345;
  auto next = [&] {
    seed = seed * 1103515245u + 12345u;
    return seed >> 8;
  };
  int damagedFound = 0;
  for (int round = 0; round < 400; ++round) {
    Bytes b = clean;
    // Damage a few bytes in one page (never page 0, whose damage only makes the file unreadable).
    const std::size_t page = 1 + next() % (b.size() / kPage - 1);
    for (int k = 0; k < 4; ++k) b[page * kPage + next() % kPage] = static_cast<std::uint8_t>(next());
    jet::MemoryFileSystem fs;
    fs.SetBytes("db.mdb", b);
    auto findings = jet::CheckIntegrity(fs, "db.mdb");
    if (!findings.ok() || !findings->empty()) ++damagedFound;
  }
  // Many damages hit unused bytes; a good share must still be seen.
  EXPECT_GT(damagedFound, 40);
}

}  // namespace
