// The layout of one row: where each column's bytes are, and whether it is null.
#pragma once

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
// a corruption error. The splitter keeps its buffers from row to row, so a scan
// allocates nothing per row; the fields it returns stay valid until the next Split.
class RowSplitter {
 public:
  Result<std::span<Field>> Split(const TableDef& def, std::span<const std::uint8_t> row);

 private:
  std::vector<std::size_t> offsets_;  // V + 1 entries; the last is the end of the data
  std::vector<Field> fields_;
};

// The same, for a caller that keeps the fields.
Result<std::vector<Field>> SplitRow(const TableDef& def, std::span<const std::uint8_t> row);

// Bytes a fixed column takes in the fixed area (0 for Yes/No).
std::size_t FixedSize(const ColumnDef& column);

}  // namespace jet
