#include "jet/row_encode.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "jet/byte_reader.h"
#include "jet/errors.h"
#include "jet/long_value.h"
#include "jet/row_format.h"

namespace jet {
namespace {

template <typename T>
Bytes Raw(const T& v) {
  Bytes out(sizeof(T));
  std::memcpy(out.data(), &v, sizeof v);  // the file and both targets are little-endian
  return out;
}

Error WrongType(const TableDef& def, const ColumnDef& c) {
  return MakeError(kErrInvalidArgument, "The value for field '" + c.name + "' of table '" + def.name +
                                            "' does not have the field's type (" + ColumnTypeName(c.type) + ").");
}

Error TooLong(const TableDef& def, const ColumnDef& c, std::size_t size) {
  return MakeError(kErrFieldTooSmall, "The field '" + c.name + "' of table '" + def.name +
                                          "' is too small to accept the amount of data you attempted to add (" +
                                          std::to_string(size) + " bytes; it holds at most " +
                                          std::to_string(c.length) + ").");
}

// Infinity is what a number too large for a Single becomes, and a NaN compares equal
// to nothing, so a row holding one could never be updated (the optimistic check
// never matches). Neither is a value Access stores.
Status Finite(const TableDef& def, const ColumnDef& c, double v) {
  if (std::isnan(v)) {
    return MakeError(kErrInvalidArgument, "The value for field '" + c.name + "' of table '" + def.name + "' is not a number.");
  }
  if (std::isinf(v)) {
    return MakeError(kErrFieldTooSmall, "The number is too large for the field '" + c.name + "' of table '" + def.name +
                                            "' (" + ColumnTypeName(c.type) + ").");
  }
  return Ok();
}

// The bytes of one non-null, non-Yes/No value as they sit in the row.
Result<Bytes> ValueBytes(const TableDef& def, const ColumnDef& c, const Value& v) {
  auto want = [&](auto* tag) -> const std::remove_pointer_t<decltype(tag)>* {
    return std::get_if<std::remove_pointer_t<decltype(tag)>>(&v);
  };
  switch (c.type) {
    case ColumnType::kByte:
      if (auto* p = want(static_cast<std::uint8_t*>(nullptr))) return Bytes{*p};
      break;
    case ColumnType::kInteger:
      if (auto* p = want(static_cast<std::int16_t*>(nullptr))) return Raw(*p);
      break;
    case ColumnType::kLong:
      if (auto* p = want(static_cast<std::int32_t*>(nullptr))) return Raw(*p);
      break;
    case ColumnType::kCurrency:
      if (auto* p = want(static_cast<Currency*>(nullptr))) return Raw(p->tenThousandths);
      break;
    case ColumnType::kSingle:
      if (auto* p = want(static_cast<float*>(nullptr))) {
        JET_TRY(Finite(def, c, *p));
        return Raw(*p);
      }
      break;
    case ColumnType::kDouble:
      if (auto* p = want(static_cast<double*>(nullptr))) {
        JET_TRY(Finite(def, c, *p));
        return Raw(*p);
      }
      break;
    case ColumnType::kDateTime:
      if (auto* p = want(static_cast<DateTime*>(nullptr))) {
        JET_TRY(Finite(def, c, p->days));
        return Raw(p->days);
      }
      break;
    case ColumnType::kGuid:
      if (auto* p = want(static_cast<Guid*>(nullptr))) return Bytes(p->bytes.begin(), p->bytes.end());
      break;
    case ColumnType::kText:
      if (auto* p = want(static_cast<Text*>(nullptr))) {
        if (p->bytes.size() > c.length) return TooLong(def, c, p->bytes.size());
        return p->bytes;
      }
      break;
    case ColumnType::kBinary:
      if (auto* p = want(static_cast<Bytes*>(nullptr))) {
        if (p->size() > c.length) return TooLong(def, c, p->size());
        Bytes out = *p;
        if (c.IsFixed()) out.resize(c.length, 0);  // a fixed binary always takes its whole length
        return out;
      }
      break;
    case ColumnType::kMemo:
    case ColumnType::kOle:
      if (auto* p = want(static_cast<Bytes*>(nullptr))) {
        if (p->size() < kLongValueHeaderSize) {
          return MakeError(kErrInvalidArgument, "The stored value of memo field '" + c.name + "' lacks its header.");
        }
        return *p;
      }
      break;
    case ColumnType::kBoolean: break;
  }
  return WrongType(def, c);
}

}  // namespace

Result<Bytes> EncodeRow(const TableDef& def, const std::vector<Value>& values) {
  if (values.size() != def.columns.size()) {
    return MakeError(kErrInvalidArgument, "A row of table '" + def.name + "' needs " +
                                              std::to_string(def.columns.size()) + " values, not " +
                                              std::to_string(values.size()) + ".");
  }
  std::size_t columnCount = def.maxColumns;
  std::size_t fixedSize = 0;
  for (const auto& c : def.columns) {
    columnCount = std::max<std::size_t>(columnCount, c.number + 1u);
    if (c.IsFixed() && c.type != ColumnType::kBoolean) {
      fixedSize = std::max<std::size_t>(fixedSize, c.fixedOffset + FixedSize(c));
    }
  }
  if (columnCount > 255) return MakeError(kErrInvalidArgument, "Table '" + def.name + "' has too many columns.");
  // The count byte holds at most 255; a larger table would lose values silently.
  if (def.varColumns > 255) return Corrupt("table '" + def.name + "' has more variable columns than a row can hold");
  const std::size_t maskSize = (columnCount + 7) / 8;
  Bytes mask(maskSize, 0);
  Bytes fixed(fixedSize, 0);
  std::vector<Bytes> variable(def.varColumns);

  for (std::size_t i = 0; i < def.columns.size(); ++i) {
    const ColumnDef& c = def.columns[i];
    const Value& v = values[i];
    auto setBit = [&] { mask[c.number / 8] = static_cast<std::uint8_t>(mask[c.number / 8] | (1u << (c.number % 8))); };
    if (c.type == ColumnType::kBoolean) {
      if (const bool* b = std::get_if<bool>(&v)) {
        if (*b) setBit();
      } else if (!IsNull(v)) {
        return WrongType(def, c);
      }
      continue;
    }
    if (IsNull(v)) continue;
    JET_ASSIGN(Bytes bytes, ValueBytes(def, c, v));
    setBit();
    if (c.IsFixed()) {
      // The reader validates definitions; this keeps a bad one from writing past the buffer.
      if (bytes.size() > FixedSize(c) || c.fixedOffset + bytes.size() > fixed.size()) {
        return Corrupt("column '" + c.name + "' of table '" + def.name + "' does not fit its fixed width");
      }
      std::copy(bytes.begin(), bytes.end(), fixed.begin() + c.fixedOffset);
    } else {
      if (c.varIndex >= variable.size()) return Corrupt("column '" + c.name + "' lies outside the offset table");
      variable[c.varIndex] = std::move(bytes);
    }
  }

  Bytes row;
  row.push_back(static_cast<std::uint8_t>(columnCount));
  row.insert(row.end(), fixed.begin(), fixed.end());
  if (def.varColumns > 0) {
    const std::size_t varCount = def.varColumns;
    std::vector<std::size_t> offsets;  // varCount + 1 entries, the last is the EOD position
    for (const auto& bytes : variable) {
      offsets.push_back(row.size());
      row.insert(row.end(), bytes.begin(), bytes.end());
    }
    const std::size_t eod = row.size();
    offsets.push_back(eod);
    // Length without jump bytes; then the smallest J with J = (L0 + J - 1) / 256.
    const std::size_t l0 = eod + 1 + varCount + 1 + maskSize;
    std::size_t jumps = 0;
    while ((l0 + jumps - 1) / 256 > jumps) ++jumps;
    // The reader can only recognise one dummy jump byte (the farthest one).
    if (jumps > 1 && eod < 256 * (jumps - 1)) {
      return MakeError(kErrRecordTooLarge, "A row of table '" + def.name + "' has too many columns to encode.");
    }
    std::vector<std::uint8_t> jumpBytes(jumps, 0xFF);
    for (std::size_t k = 0; k < jumps; ++k) {
      for (std::size_t i = 0; i <= varCount; ++i) {
        if (offsets[i] >= 256 * (k + 1)) {
          jumpBytes[k] = static_cast<std::uint8_t>(i);
          break;
        }
      }
    }
    // EOD is offset entry V: the reversed table starts with it.
    for (std::size_t i = varCount + 1; i-- > 0;) row.push_back(static_cast<std::uint8_t>(offsets[i] & 0xFF));
    for (std::size_t k = jumps; k-- > 0;) row.push_back(jumpBytes[k]);  // jump 0 sits nearest the count byte
    row.push_back(static_cast<std::uint8_t>(varCount));
  }
  row.insert(row.end(), mask.begin(), mask.end());
  if (row.size() > kMaxRowSize) {
    return MakeError(kErrRecordTooLarge, "Record is too large: a row of table '" + def.name + "' would take " +
                                             std::to_string(row.size()) + " bytes; a page holds at most " +
                                             std::to_string(kMaxRowSize) + ".");
  }
  return row;
}

Bytes InlineLongValue(std::span<const std::uint8_t> data) {
  Bytes out = LongValueReference(static_cast<std::uint32_t>(data.size()), kLongValueInline, RowPointer{});
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

Bytes LongValueReference(std::uint32_t length, std::uint8_t storage, RowPointer first) {
  Bytes out(kLongValueHeaderSize, 0);
  PutU32(out, 0, (length & 0x00FFFFFF) | (std::uint32_t{storage} << 24));
  PutU32(out, 4, first.Raw());
  return out;
}

}  // namespace jet
