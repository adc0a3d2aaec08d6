// Numbers in the columns the programs bind to: the text they show, and the text they
// take back.
#include "store/verse_columns.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <random>

#include "jet/errors.h"
#include "support/result_assert.h"

namespace store {
namespace {

template <typename T>
std::string Shortest(T v) {
  char buf[64];
  return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

// The programs do without std::to_chars, whose tables would be a third of each
// program, but show the same text: edge values, then random bit patterns and prices.
TEST(VerseColumns, ANumberShowsAsTheShortestTextThatReadsBack) {
  std::vector<double> values = {0.1,  1e16, 12300000, 1e-5, 1e-4, 123456789, 1e21, 1e22,  5e-324,
                                -2.5, 100,  1.5e300,  1e23, 0.3,  2.0 / 3,   -0.0, 1e100, 9007199254740993.0};
  std::mt19937_64 random(7);
  for (int i = 0; i < 20000; ++i) {
    const std::uint64_t bits = random();
    double d = 0;
    std::memcpy(&d, &bits, sizeof d);
    if (std::isfinite(d)) values.push_back(d);
    values.push_back(static_cast<double>(random() % 10000000) / 100.0);
  }
  int mismatches = 0;
  for (double d : values) {
    const auto f = static_cast<float>(d);
    for (const auto& [shown, expected] :
         {std::pair{ValueText(jet::Value(d)), Shortest(d)},
          std::pair{ValueText(jet::Value(f)), std::isfinite(f) ? Shortest(f) : ""}}) {
      if (!expected.empty() && shown != expected && ++mismatches <= 5)
        ADD_FAILURE() << shown << " for " << expected;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

// What a person may type into a number column bound to a box, and what becomes of it.
TEST(VerseColumns, TextTypedForANumberIsTheNumberOrAClearError) {
  jet::TableDef def;
  for (const auto& [name, type] : {std::pair{"Book", jet::ColumnType::kText},
                                   {"Chapter", jet::ColumnType::kDouble},
                                   {"Read", jet::ColumnType::kBoolean},
                                   {"Verses", jet::ColumnType::kSingle},
                                   {"VerseTxt", jet::ColumnType::kMemo}}) {
    def.columns.push_back(jet::ColumnDef{.name = name, .type = type});
  }
  auto columns = VerseColumns::Find(def);
  ASSERT_OK(columns);
  struct Case {
    std::string chapter, verses;
    int error;  // 0: taken, and shown again as typed
  };
  for (const Case& c : std::vector<Case>{{"2.5", "-1000", 0},
                                         {"1e+300", "3.25", 0},
                                         {"1e400", "1", jet::kErrFieldTooSmall},
                                         {"1", "1e39", jet::kErrFieldTooSmall},
                                         {"1e-400", "1", 3421},
                                         {"nan", "1", 3421},
                                         {"1", "inf", 3421},
                                         {" 1", "1", 3421},
                                         {"+1", "1", 3421},
                                         {"0x10", "1", 3421},
                                         {"1.5.1", "1", 3421},
                                         {"-", "1", 3421}}) {
    SCOPED_TRACE(c.chapter + " / " + c.verses);
    const VerseRecord typed{"John", c.chapter, c.verses, "text", false};
    auto values = columns->ToValues(typed, std::vector<jet::Value>(def.columns.size()));
    if (c.error != 0) {
      ASSERT_FALSE(values.ok());
      EXPECT_EQ(values.error().number, c.error) << values.error().description;
      continue;
    }
    ASSERT_OK(values);
    EXPECT_EQ(columns->ToRecord(*values), typed);
  }
}

}  // namespace
}  // namespace store
