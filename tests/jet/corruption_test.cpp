// Damaged files: every sample (clean as Access made it) truncated, bit-flipped and
// garbled page by page must give a numbered error or rows to the reader, and findings
// or an error to the integrity check, never a crash or a hang (the sanitizer preset
// catches reads out of bounds).
#include <gtest/gtest.h>

#include <random>

#include "fixture.h"

namespace jet::test {
namespace {

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
