// Row encoding: round trips through SplitRow/RowValues, jump bytes, limits, and
// re-encoding the rows Access wrote in the samples.
#include "jet/row_encode.h"

#include <gtest/gtest.h>

#include <cmath>

#include "fixture.h"
#include "jet/row_format.h"

namespace jet::test {
namespace {

// A column of `type`: variable ones by their index among the variable columns, fixed
// ones by their offset in the fixed area.
ColumnDef Column(ColumnType type, std::uint16_t number, std::uint16_t place, std::uint16_t length,
                 bool fixed) {
  ColumnDef c;
  c.type = type;
  c.number = number;
  (fixed ? c.fixedOffset : c.varIndex) = place;
  c.length = c.IsLongValue() ? 0 : length;
  c.flags = fixed ? kColumnFixed | kColumnUpdatable : kColumnUpdatable;
  return c;
}
ColumnDef Var(ColumnType type, std::uint16_t number, std::uint16_t varIndex, std::uint16_t length = 255) {
  return Column(type, number, varIndex, length, false);
}
ColumnDef Fixed(ColumnType type, std::uint16_t number, std::uint16_t offset, std::uint16_t length) {
  return Column(type, number, offset, length, true);
}

TableDef Def(std::vector<ColumnDef> columns) {
  TableDef def;
  def.name = "t";
  def.columns = std::move(columns);
  def.maxColumns = static_cast<std::uint16_t>(def.columns.size());
  for (const auto& c : def.columns) {
    if (!c.IsFixed()) ++def.varColumns;
  }
  return def;
}

// Decodes rows through the reader; the database is only needed for memo values.
class RowEncodeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs_.SetBytes("s.mdb", support::SampleBytes("size97.mdb"));
    auto db = Database::Open(fs_, "s.mdb");
    ASSERT_OK(db);
    db_ = std::move(db).value();
  }

  std::vector<Value> RoundTrip(const TableDef& def, const std::vector<Value>& values) {
    auto row = EncodeRow(def, values);
    EXPECT_OK(row);
    if (!row.ok()) return {};
    ReadScope scope(db_->pager());
    auto back = db_->RowValues(def, *row);
    EXPECT_OK(back);
    return back.ok() ? *back : std::vector<Value>{};
  }

  MemoryFileSystem fs_;
  std::unique_ptr<Database> db_;
};

TEST_F(RowEncodeTest, AVerseRowIsLaidOutByteForByteAsAccessLaysItOut) {
  // No fixed area: the first offset is 1; variable data, EOD, reversed offsets, V, mask.
  auto row = EncodeRow(VerseLayout(), {T("Jn"), T("3"), true, T("16"), Value()});
  ASSERT_OK(row);
  const Bytes want = {0x05, 'J', 'n', '3', '1', '6', 0x06, 0x06, 0x04, 0x03, 0x01, 0x04, 0x0F};
  EXPECT_EQ(*row, want);
}

TEST_F(RowEncodeTest, FixedColumnsOfEveryTypeReadBack) {
  const TableDef def = Def({Fixed(ColumnType::kByte, 0, 0, 1), Fixed(ColumnType::kInteger, 1, 1, 2),
                            Fixed(ColumnType::kLong, 2, 3, 4), Fixed(ColumnType::kCurrency, 3, 7, 8),
                            Fixed(ColumnType::kSingle, 4, 15, 4), Fixed(ColumnType::kDouble, 5, 19, 8),
                            Fixed(ColumnType::kDateTime, 6, 27, 8), Fixed(ColumnType::kGuid, 7, 35, 16),
                            Fixed(ColumnType::kBoolean, 8, 0, 1), Fixed(ColumnType::kBinary, 9, 51, 6),
                            Var(ColumnType::kBinary, 10, 0, 10)});
  Guid g;
  for (std::size_t i = 0; i < 16; ++i) g.bytes[i] = static_cast<std::uint8_t>(i * 7 + 1);
  const std::vector<Value> values = {std::uint8_t{200},
                                     std::int16_t{-12345},
                                     std::int32_t{-7},
                                     Currency{123456789},
                                     1.5f,
                                     -2.25,
                                     DateTime{36526.75},
                                     g,
                                     true,
                                     Bytes{1, 2, 3, 4, 5, 6},
                                     Bytes{9, 0, 9}};
  EXPECT_EQ(RoundTrip(def, values), values);
  std::vector<Value> nulls(values.size());
  nulls[8] = false;
  EXPECT_EQ(RoundTrip(def, nulls), nulls);
  // A short fixed binary is padded to its length.
  auto padded = values;
  padded[9] = Bytes{1};
  auto back = RoundTrip(def, padded);
  ASSERT_EQ(back.size(), values.size());
  EXPECT_EQ(std::get<Bytes>(back[9]), (Bytes{1, 0, 0, 0, 0, 0}));
}

// Many variable columns, so that the trailer alone can push a row past 256 bytes
// while its data ends before 256 (a dummy jump byte).
TableDef WideDef(std::size_t columns) {
  std::vector<ColumnDef> cs;
  for (std::size_t i = 0; i < columns; ++i) {
    cs.push_back(Var(ColumnType::kText, static_cast<std::uint16_t>(i), static_cast<std::uint16_t>(i)));
  }
  cs.push_back(
      Var(ColumnType::kMemo, static_cast<std::uint16_t>(columns), static_cast<std::uint16_t>(columns)));
  return Def(std::move(cs));
}

TEST_F(RowEncodeTest, RowsAcrossEveryLengthUpToTwoPagesOfJumpBytesReadBack) {
  const TableDef def = WideDef(24);
  bool sawDummy = false, sawReal = false, sawDouble = false;
  for (std::size_t total = 0; total <= 1500; total += 7) {
    std::vector<Value> values;
    // Spread `total` bytes unevenly over the columns, with some nulls and empties.
    std::size_t left = total;
    for (std::size_t i = 0; i < 24; ++i) {
      if (i % 5 == 3) {
        values.push_back(i % 2 == 0 ? Value() : Value(T("")));
        continue;
      }
      std::size_t n = std::min<std::size_t>({left, 255, (total / 9) + i * 3});
      values.push_back(T(std::string(n, static_cast<char>('a' + i))));
      left -= n;
    }
    values.push_back(InlineLongValue(Bytes(std::min<std::size_t>(left, 32), 'z')));
    SCOPED_TRACE(total);
    auto row = EncodeRow(def, values);
    ASSERT_OK(row);
    const std::size_t len = row->size();
    const std::size_t jumps = (len - 1) / 256;
    const std::size_t countPos = len - 1 - 4;  // 25 columns: 4 mask bytes
    if (jumps > 0) {
      const std::size_t eod = countPos - jumps - 1 - 25;  // 25 variable columns
      if (eod < 256 * jumps) {
        EXPECT_EQ((*row)[countPos - jumps], 0xFF) << "the farthest jump byte is a dummy";
        sawDummy = true;
      } else {
        sawReal = true;
      }
      if (jumps >= 2) sawDouble = true;
    }
    auto back = RoundTrip(def, values);
    ASSERT_EQ(back.size(), values.size());
    for (std::size_t i = 0; i < 24; ++i) EXPECT_EQ(back[i], values[i]) << "column " << i;
  }
  EXPECT_TRUE(sawDummy);
  EXPECT_TRUE(sawReal);
  EXPECT_TRUE(sawDouble);
}

TEST_F(RowEncodeTest, OneColumnCrossingTwoBoundariesRepeatsItsJumpIndex) {
  const TableDef def = Def({Var(ColumnType::kText, 0, 0, 10), Var(ColumnType::kOle, 1, 1)});
  Bytes big(600, 0xAB);
  auto row = EncodeRow(def, {T("x"), InlineLongValue(big)});
  ASSERT_OK(row);
  auto back = RoundTrip(def, {T("x"), InlineLongValue(big)});
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(std::get<Bytes>(back[1]), big);
  // Both boundaries (256 and 512) are first reached by the EOD entry, index 2.
  const std::size_t countPos = row->size() - 2;
  EXPECT_EQ((*row)[countPos - 1], 2);
  EXPECT_EQ((*row)[countPos - 2], 2);
}

// Bad values change nothing; a definition that got past the reader's checks still cannot
// make the encoder write outside its buffers or drop values. 1e39 typed into a Single
// becomes infinity; a NaN row could never be updated.
TEST(RowEncode, RefusesBadValuesRowsLargerThanAPageAndImpossibleDefinitions) {
  TableDef def = VerseLayout();
  def.columns.push_back(Fixed(ColumnType::kSingle, 5, 0, 4));
  def.columns.push_back(Fixed(ColumnType::kDateTime, 6, 4, 8));
  def.maxColumns = 7;
  TableDef fixedMemo = def;
  fixedMemo.columns[4].flags |= kColumnFixed;
  fixedMemo.columns[4].length = 4;
  TableDef manyVariable = def;
  manyVariable.varColumns = 256;
  auto row = [](Value book, Value chapter, Value read, Value memo, Value score = {}, Value when = {}) {
    return std::vector<Value>{book, chapter, read, Value(), memo, score, when};
  };
  const struct {
    const TableDef& def;
    std::vector<Value> values;
    int number;  // 0: accepted
  } cases[] = {
      {def, row(Value(), T(std::string(50, 'x')), false, Value(), 1.5f, DateTime{45000.5}), 0},
      {def, row(T(std::string(256, 'x')), Value(), false, Value()), kErrFieldTooSmall},
      {def, row(Value(), T(std::string(51, 'x')), false, Value()), kErrFieldTooSmall},
      {def, row(std::int32_t{1}, Value(), false, Value()), kErrInvalidArgument},
      {def, row(Value(), Value(), std::int32_t{1}, Value()), kErrInvalidArgument},
      {def, row(Value(), Value(), false, T("memo text must be stored bytes")), kErrInvalidArgument},
      {def, row(Value(), Value(), false, Bytes{1, 2}), kErrInvalidArgument},
      {def, {Value(), Value(), false, Value()}, kErrInvalidArgument},
      {def, row(Value(), Value(), false, InlineLongValue(Bytes(2100, 1))), kErrRecordTooLarge},
      {def, row(Value(), Value(), false, Value(), static_cast<float>(1e39)), kErrFieldTooSmall},
      {def, row(Value(), Value(), false, Value(), std::nanf("")), kErrInvalidArgument},
      {def, row(Value(), Value(), false, Value(), Value(), DateTime{std::nan("")}), kErrInvalidArgument},
      {fixedMemo, row(Value(), Value(), false, InlineLongValue(Bytes(20, 'x'))), kErrDamaged},
      {manyVariable, row(T("x"), Value(), false, Value()), kErrDamaged},
  };
  for (const auto& c : cases) {
    auto encoded = EncodeRow(c.def, c.values);
    if (c.number == 0)
      EXPECT_OK(encoded);
    else
      EXPECT_ERROR(encoded, c.number);
  }
}

// Every row Access wrote re-encodes to the same fields; rows without null fixed
// columns (whose bytes Access leaves as they were) re-encode byte for byte.
TEST_F(RowEncodeTest, AccessWrittenRowsOfTheSamplesReEncodeToTheSameBytes) {
  std::size_t rows = 0, identical = 0;
  for (const char* sample : {"testV1997.mdb", "test2V1997.mdb", "delTestV1997.mdb", "overflowTestV1997.mdb",
                             "size97.mdb", "queryTestV1997.mdb", "indexTestV1997.mdb"}) {
    MemoryFileSystem fs;
    fs.SetBytes("x.mdb", support::SampleBytes(sample));
    auto db = Database::Open(fs, "x.mdb");
    ASSERT_OK(db);
    auto names = (*db)->TableNames(true);
    ASSERT_OK(names);
    for (const auto& name : *names) {
      auto def = (*db)->OpenTable(name);
      ASSERT_OK(def);
      Status scanned = (*db)->Scan(*def, [&](const RowRef& ref) -> Result<bool> {
        SCOPED_TRACE(std::string(sample) + " " + name);
        JET_ASSIGN(const auto fields, SplitRow(*def, ref.bytes));
        std::vector<Value> values;
        bool nullFixed = false;
        for (std::size_t i = 0; i < def->columns.size(); ++i) {
          const ColumnDef& c = def->columns[i];
          const Field& f = fields[i];
          if (c.IsFixed() && c.type != ColumnType::kBoolean && !f.present) nullFixed = true;
          if (c.IsLongValue() && f.present) {
            values.push_back(Bytes(f.bytes.begin(), f.bytes.end()));
          } else {
            auto v = (*db)->FieldValue(*def, i, f);
            EXPECT_OK(v);
            values.push_back(v.ok() ? *v : Value());
          }
        }
        JET_ASSIGN(const Bytes row, EncodeRow(*def, values));
        JET_ASSIGN(const auto again, SplitRow(*def, row));
        for (std::size_t i = 0; i < def->columns.size(); ++i) {
          EXPECT_EQ(again[i].present, fields[i].present);
          if (def->columns[i].IsFixed() && !fields[i].present) continue;
          EXPECT_TRUE(std::equal(again[i].bytes.begin(), again[i].bytes.end(), fields[i].bytes.begin(),
                                 fields[i].bytes.end()));
        }
        ++rows;
        if (!nullFixed) {
          EXPECT_TRUE(std::equal(row.begin(), row.end(), ref.bytes.begin(), ref.bytes.end()));
          ++identical;
        }
        return true;
      });
      ASSERT_OK(scanned);
    }
  }
  EXPECT_GT(rows, 500u);
  EXPECT_GT(identical, 100u);
}

}  // namespace
}  // namespace jet::test
