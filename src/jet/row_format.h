// The layout of one row: where each column's bytes are, and whether it is null.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "jet/result.h"
#include "jet/table_def.h"

namespace jet {

// One column of a decoded row, before its bytes become a value.
struct Field {
  bool present = false;  // not null (for Yes/No: the value itself)
  std::span<const std::uint8_t> bytes;
};

// Locates every column of `def` in `row` (fields in `def.columns` order). Every
// offset is checked against the row; a row that does not fit its own layout is
// a corruption error. The splitter is made for one table and keeps its buffers from
// row to row, so a scan allocates nothing per row; the fields it returns stay valid
// until the next Split. `def` must outlive the splitter.
class RowSplitter {
 public:
  explicit RowSplitter(const TableDef& def);
  Result<std::span<Field>> Split(std::span<const std::uint8_t> row);

 private:
  const TableDef& def_;
  std::array<std::uint16_t, 256> offsets_;  // V + 1 entries (V < 256); the last is the end of the data
  std::vector<Field> fields_;
};

// The same, for a caller that keeps the fields.
Result<std::vector<Field>> SplitRow(const TableDef& def, std::span<const std::uint8_t> row);

// Bytes a fixed column takes in the fixed area (0 for Yes/No).
std::size_t FixedSize(const ColumnDef& column);

// The value of a Yes/No, number, date or GUID column from its field, into `out`
// (null when absent, whatever the type): no allocation, for callers that read value
// after value. False, leaving `out` as it was, for a present field that is not the
// column's size (a damaged row) or of another type.
bool FixedValue(const ColumnDef& column, const Field& field, Value& out);

}  // namespace jet
