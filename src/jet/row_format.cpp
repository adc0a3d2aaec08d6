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

bool FixedValue(const ColumnDef& column, const Field& field, Value& out) {
  if (column.type == ColumnType::kBoolean) {
    out = field.present;
    return true;
  }
  if (!field.present) {
    out = std::monostate{};
    return true;
  }
  const std::span<const std::uint8_t> b = field.bytes;
  if (b.size() != FixedSize(column)) return false;
  switch (column.type) {
    case ColumnType::kByte: out = b[0]; return true;
    case ColumnType::kInteger: out = Load<std::int16_t>(b); return true;
    case ColumnType::kLong: out = Load<std::int32_t>(b); return true;
    case ColumnType::kCurrency: out = Currency{Load<std::int64_t>(b)}; return true;
    case ColumnType::kSingle: out = Load<float>(b); return true;
    case ColumnType::kDouble: out = Load<double>(b); return true;
    case ColumnType::kDateTime: out = DateTime{Load<double>(b)}; return true;
    case ColumnType::kGuid: {
      Guid g;
      std::memcpy(g.bytes.data(), b.data(), g.bytes.size());
      out = g;
      return true;
    }
    default: return false;
  }
}

RowSplitter::RowSplitter(const TableDef& def) : def_(def), fields_(def.columns.size()) {}

Result<std::span<Field>> RowSplitter::Split(std::span<const std::uint8_t> row) {
  // Locals rather than members in the loops below: the fields written could alias
  // them as far as the compiler knows, and it would load them again for every column.
  const std::uint8_t* const bytes = row.data();
  const std::size_t len = row.size();
  if (len < 1) return Corrupt("an empty row in table '" + def_.name + "'");
  const std::size_t columnsInRow = bytes[0];
  const std::size_t maskSize = (columnsInRow + 7) / 8;
  if (len < 1 + maskSize) return Corrupt("a row of table '" + def_.name + "' is shorter than its null mask");
  const std::size_t maskStart = len - maskSize;

  // Variable-length area: EOD, reversed offsets and jump bytes before the count byte.
  // Every entry read is written first, so the array is never cleared.
  std::uint16_t* const offsets = offsets_.data();
  std::size_t varCount = 0;
  std::size_t fixedEnd = maskStart;
  if (def_.varColumns != 0) {
    if (maskStart < 2) return Corrupt("a row of table '" + def_.name + "' has no room for its offsets");
    const std::size_t countPos = maskStart - 1;
    varCount = bytes[countPos];
    std::size_t jumps = (len - 1) / 256;
    if (countPos < jumps + 1 + varCount + 1) {
      return Corrupt("a row of table '" + def_.name + "' is shorter than its offset table");
    }
    const std::size_t entriesStart = countPos - jumps - 1;  // entry i sits at entriesStart - i
    const std::size_t eodPos = entriesStart - varCount;
    // A jump byte that stands for no boundary is a dummy (0xFF) at the far end.
    if (jumps > 0 && eodPos / 256 < jumps) --jumps;
    // Offsets never go back, and a column starts past the count byte.
    bool overlap = false;
    std::size_t previous = varCount == 0 ? 0 : 1;
    for (std::size_t i = 0, high = 0, base = 0; i <= varCount; ++i) {
      for (; high < jumps && bytes[countPos - 1 - high] == i; ++high) base += 256;
      const std::size_t offset = bytes[entriesStart - i] + base;
      overlap |= offset < previous;
      offsets[i] = static_cast<std::uint16_t>(previous = offset);
    }
    if (overlap) return Corrupt("a row of table '" + def_.name + "' has overlapping columns");
    if (offsets[varCount] > eodPos) return Corrupt("a row of table '" + def_.name + "' runs past its end");
    fixedEnd = offsets[0];
  }

  const std::uint8_t* const mask = bytes + maskStart;
  Field* const fields = fields_.data();
  const ColumnDef* const columns = def_.columns.data();
  for (std::size_t i = 0, n = def_.columns.size(); i < n; ++i) {
    const ColumnDef& c = columns[i];
    const std::size_t number = c.number;
    bool present = number < columnsInRow && ((mask[number / 8] >> (number % 8)) & 1) != 0;
    std::span<const std::uint8_t> field;
    if (present && c.type != ColumnType::kBoolean) {
      if (c.IsFixed()) {
        // A column the row predates is null by its mask, so a present one must fit.
        const std::size_t start = 1 + std::size_t{c.fixedOffset}, size = FixedSize(c);
        if (start + size > fixedEnd) {
          return Corrupt("column '" + c.name + "' lies outside its row in table '" + def_.name + "'");
        }
        field = {bytes + start, size};
      } else if (c.varIndex < varCount) {
        field = {bytes + offsets[c.varIndex], bytes + offsets[c.varIndex + 1]};
      } else {
        present = false;  // the row predates this column
      }
    }
    fields[i] = {present, field};
  }
  return std::span<Field>(fields_);
}

Result<std::vector<Field>> SplitRow(const TableDef& def, std::span<const std::uint8_t> row) {
  RowSplitter splitter(def);
  JET_ASSIGN(auto fields, splitter.Split(row));
  return std::vector<Field>(fields.begin(), fields.end());
}

}  // namespace jet
