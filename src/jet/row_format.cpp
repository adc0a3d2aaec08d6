#include "jet/row_format.h"

#include <string>

#include "jet/byte_reader.h"
#include "jet/errors.h"

namespace jet {

std::size_t FixedSize(const ColumnDef& column) {
  switch (column.type) {
    case ColumnType::kBoolean: return 0;
    case ColumnType::kByte: return 1;
    case ColumnType::kInteger: return 2;
    case ColumnType::kLong:
    case ColumnType::kSingle: return 4;
    case ColumnType::kCurrency:
    case ColumnType::kDouble:
    case ColumnType::kDateTime: return 8;
    case ColumnType::kGuid: return 16;
    default: return column.length;
  }
}

Result<std::span<Field>> RowSplitter::Split(const TableDef& def, std::span<const std::uint8_t> row) {
  ByteReader r(row);
  const std::size_t len = row.size();
  if (len < 1) return Corrupt("an empty row in table '" + def.name + "'");
  const std::size_t columnsInRow = r.U8(0);
  const std::size_t maskSize = (columnsInRow + 7) / 8;
  if (len < 1 + maskSize) return Corrupt("a row of table '" + def.name + "' is shorter than its null mask");
  const std::size_t maskStart = len - maskSize;

  auto maskBit = [&](std::uint16_t number) {
    if (number >= columnsInRow) return false;
    return (row[maskStart + number / 8] & (1u << (number % 8))) != 0;
  };

  // Variable-length area: EOD, reversed offsets and jump bytes before the count byte.
  // The buffers are resized, never emptied and refilled: every entry read is written first.
  std::vector<std::size_t>& offsets = offsets_;
  std::size_t fixedEnd = maskStart;
  if (def.varColumns == 0) {
    offsets.clear();
  } else {
    if (maskStart < 2) return Corrupt("a row of table '" + def.name + "' has no room for its offsets");
    const std::size_t countPos = maskStart - 1;
    const std::size_t varCount = row[countPos];
    std::size_t jumps = (len - 1) / 256;
    if (countPos < jumps + 1 + varCount + 1) {
      return Corrupt("a row of table '" + def.name + "' is shorter than its offset table");
    }
    const std::size_t entriesStart = countPos - jumps - 1;  // entry i sits at entriesStart - i
    const std::size_t eodPos = entriesStart - varCount;
    // A jump byte that stands for no boundary is a dummy (0xFF) at the far end.
    if (jumps > 0 && eodPos / 256 < jumps) --jumps;
    std::size_t high = 0;
    offsets.resize(varCount + 1);
    for (std::size_t i = 0; i <= varCount; ++i) {
      while (high < jumps && row[countPos - 1 - high] == i) ++high;
      offsets[i] = row[entriesStart - i] + 256 * high;
    }
    for (std::size_t i = 0; i < varCount; ++i) {
      if (offsets[i] < 1 || offsets[i] > offsets[i + 1]) {
        return Corrupt("a row of table '" + def.name + "' has overlapping columns");
      }
    }
    if (offsets[varCount] > eodPos) return Corrupt("a row of table '" + def.name + "' runs past its end");
    fixedEnd = offsets.empty() || varCount == 0 ? offsets[varCount] : offsets[0];
  }

  std::vector<Field>& fields = fields_;
  fields.resize(def.columns.size());
  for (std::size_t i = 0; i < def.columns.size(); ++i) {
    const ColumnDef& c = def.columns[i];
    Field& f = fields[i];
    f = Field{maskBit(c.number), {}};
    if (c.type == ColumnType::kBoolean || !f.present) continue;
    if (c.IsFixed()) {
      const std::size_t size = FixedSize(c);
      const std::size_t start = 1 + std::size_t{c.fixedOffset};
      if (start + size > fixedEnd) {
        // Rows written before a column was added are shorter; there the column is null.
        if (c.number >= columnsInRow) {
          f.present = false;
          continue;
        }
        return Corrupt("column '" + c.name + "' lies outside its row in table '" + def.name + "'");
      }
      f.bytes = row.subspan(start, size);
    } else {
      if (c.varIndex + 1u >= offsets.size()) {
        f.present = false;  // the row predates this column
        continue;
      }
      f.bytes = row.subspan(offsets[c.varIndex], offsets[c.varIndex + 1] - offsets[c.varIndex]);
    }
  }
  return std::span<Field>(fields);
}

Result<std::vector<Field>> SplitRow(const TableDef& def, std::span<const std::uint8_t> row) {
  RowSplitter splitter;
  JET_ASSIGN(auto fields, splitter.Split(def, row));
  return std::vector<Field>(fields.begin(), fields.end());
}

}  // namespace jet
