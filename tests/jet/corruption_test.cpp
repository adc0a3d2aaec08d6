// Damaged files: every sample truncated, bit-flipped and garbled page by page
// must give an error or rows, never a crash or a hang (run it under the
// sanitizer preset to catch out-of-bounds reads).
#include <gtest/gtest.h>

#include <random>

#include "jet/database.h"
#include "jet/errors.h"
#include "jet/file_memory.h"
#include "support/samples.h"

namespace jet {
namespace {

struct Outcome {
  int errors = 0;
  int rows = 0;
};

// Reads everything the file holds; every failure must be a numbered error.
void ReadEverything(const std::vector<std::uint8_t>& bytes, Outcome& outcome) {
  MemoryFileSystem fs;
  fs.SetBytes("db.mdb", bytes);
  auto note = [&](const Error& e) {
    EXPECT_NE(e.number, 0) << e.description;
    EXPECT_FALSE(e.description.empty());
    ++outcome.errors;
  };
  auto db = Database::Open(fs, "db.mdb");
  if (!db.ok()) return note(db.error());
  auto names = (*db)->TableNames(/*includeSystem=*/true);
  if (!names.ok()) return note(names.error());
  for (const auto& name : *names) {
    auto def = (*db)->OpenTable(name);
    if (!def.ok()) {
      note(def.error());
      continue;
    }
    Status s = (*db)->Scan(*def, [&](const RowRef& row) {
      auto values = (*db)->RowValues(*def, row.bytes);
      if (!values.ok()) note(values.error());
      else ++outcome.rows;
      return true;
    });
    if (!s.ok()) note(s.error());
  }
}

class DamagedSample : public testing::TestWithParam<std::string> {};

TEST_P(DamagedSample, TruncatedAtEveryPageGivesErrorsOrRows) {
  const auto original = lumaret::test::SampleBytes(GetParam());
  Outcome outcome;
  for (std::size_t cut = 0; cut < original.size(); cut += kPageSize / 2) {
    std::vector<std::uint8_t> bytes(original.begin(), original.begin() + static_cast<std::ptrdiff_t>(cut));
    ReadEverything(bytes, outcome);
  }
  EXPECT_GT(outcome.errors, 0);
}

TEST_P(DamagedSample, BitFlipsAndGarbledPagesGiveErrorsOrRows) {
  const auto original = lumaret::test::SampleBytes(GetParam());
  std::mt19937 random(20261206);
  Outcome outcome;
  for (std::size_t page = 0; page < original.size() / kPageSize; ++page) {
    const std::size_t base = page * kPageSize;
    for (int flip = 0; flip < 8; ++flip) {
      auto bytes = original;
      std::size_t at = base + random() % kPageSize;
      bytes[at] = static_cast<std::uint8_t>(bytes[at] ^ (1u << (random() % 8)));
      ReadEverything(bytes, outcome);
    }
    // The structure fields near a page's start matter most: flip each of them.
    for (std::size_t at = base; at < base + 24; ++at) {
      auto bytes = original;
      bytes[at] = static_cast<std::uint8_t>(~bytes[at]);
      ReadEverything(bytes, outcome);
    }
    auto garbled = original;
    for (std::size_t at = base; at < base + kPageSize; ++at) garbled[at] = static_cast<std::uint8_t>(random());
    ReadEverything(garbled, outcome);
  }
  EXPECT_GT(outcome.errors, 0);
  EXPECT_GT(outcome.rows, 0);
}

INSTANTIATE_TEST_SUITE_P(AllSamples, DamagedSample, testing::ValuesIn(lumaret::test::SampleNames()),
                         [](const auto& sample) { return sample.param.substr(0, sample.param.find('.')); });

}  // namespace
}  // namespace jet
