#include "jet/tdef_page.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "jet/byte_reader.h"
#include "jet/code_page.h"
#include "jet/data_page.h"
#include "jet/errors.h"
#include "jet/row_encode.h"
#include "jet/row_format.h"

namespace jet {
namespace {

bool KnownType(std::uint8_t t) { return (t >= 0x01 && t <= 0x0C) || t == 0x0F; }

// The definition's pages joined: the first whole, the others without their header.
Result<std::vector<std::uint8_t>> JoinPages(Pager& pager, std::uint32_t first, std::vector<std::uint32_t>& pages) {
  std::vector<std::uint8_t> joined;
  std::set<std::uint32_t> seen;
  for (std::uint32_t n = first; n != 0;) {
    if (!seen.insert(n).second) return Corrupt("the definition of a table loops back on page " + std::to_string(n));
    JET_ASSIGN(const Page* page, pager.Read(n));
    if ((*page)[0] != kPageTypeTableDef) {
      return Corrupt("page " + std::to_string(n) + " should hold a table definition");
    }
    pages.push_back(n);
    joined.insert(joined.end(), page->begin() + (n == first ? 0 : kTdefPageHeader), page->end());
    ByteReader r(*page);
    n = r.U32(kTdefNextPage);
  }
  return joined;
}

std::string Name(ByteReader& r, std::size_t& offset) {
  std::uint8_t len = r.U8(offset);
  auto bytes = r.Span(offset + 1, len);
  offset += 1u + len;
  return DecodeCp1252(bytes);
}

// What the row reader and encoder rely on: every column's type agrees with its
// fixed/variable flag and its size, fixed columns lie inside a row and apart, and
// no count exceeds what a row's count bytes can hold. A definition that breaks any
// of these opens, reads and even passes a scan, but writing through it would put
// bytes where the format has no room for them.
Status CheckColumns(const TableDef& def, const std::string& where) {
  if (def.maxColumns > 255 || def.varColumns > 255) return Corrupt(where + " counts more columns than a row can hold");
  std::vector<std::pair<std::size_t, const ColumnDef*>> fixedSpans;  // start, column
  std::set<std::uint16_t> varIndexes;
  for (const auto& c : def.columns) {
    const std::string column = where + " gives column '" + c.name + "' (" + ColumnTypeName(c.type) + ") ";
    switch (c.type) {
      case ColumnType::kMemo:
      case ColumnType::kOle:
        if (c.IsFixed()) return Corrupt(column + "a fixed width");
        break;
      case ColumnType::kText:
      case ColumnType::kBinary:
        if (c.length == 0 || c.length > 255) return Corrupt(column + "a length of " + std::to_string(c.length));
        break;
      default:  // numbers may be variable: Access writes some system tables so
        break;
    }
    if (!c.IsFixed()) {
      if (!varIndexes.insert(c.varIndex).second) return Corrupt(column + "another column's place in the offset table");
    } else if (c.type != ColumnType::kBoolean) {
      if (c.fixedOffset + FixedSize(c) > kMaxRowSize) return Corrupt(column + "a place outside the row");
      fixedSpans.emplace_back(c.fixedOffset, &c);
    }
  }
  std::sort(fixedSpans.begin(), fixedSpans.end());
  for (std::size_t i = 1; i < fixedSpans.size(); ++i) {
    const auto& [start, previous] = fixedSpans[i - 1];
    if (start + FixedSize(*previous) > fixedSpans[i].first) {
      return Corrupt(where + " makes columns '" + previous->name + "' and '" + fixedSpans[i].second->name + "' overlap");
    }
  }
  return Ok();
}

}  // namespace

Result<TableDef> ReadTableDef(Pager& pager, std::uint32_t page, const std::string& name) {
  TableDef def;
  def.name = name;
  def.page = page;
  JET_ASSIGN(std::vector<std::uint8_t> bytes, JoinPages(pager, page, def.pages));
  ByteReader r(bytes);
  const std::string where = "the definition of table '" + name + "'";

  def.length = r.U32(kTdefLength);
  def.rowCount = r.U32(kTdefRowCount);
  def.lastAutoNumber = r.U32(kTdefAutoNumber);
  def.tableType = r.U8(kTdefTableType);
  def.maxColumns = r.U16(kTdefMaxColumns);
  def.varColumns = r.U16(kTdefVarColumns);
  const std::uint16_t columnCount = r.U16(kTdefColumnCount);
  const std::uint32_t logicalCount = r.U32(kTdefLogicalIndexCount);
  const std::uint32_t realCount = r.U32(kTdefRealIndexCount);
  def.ownedMap = RowPointer::FromRaw(r.U32(kTdefOwnedMap));
  def.freeMap = RowPointer::FromRaw(r.U32(kTdefFreeMap));
  if (columnCount == 0 || columnCount > 255 || realCount > 64 || logicalCount > 64 || def.length > bytes.size()) {
    return Corrupt(where + " has impossible counts");
  }

  std::size_t offset = kTdefIndexSlots;
  def.realIndexes.resize(realCount);
  for (auto& index : def.realIndexes) {
    index.unknown = r.U32(offset);
    index.uniqueEntries = r.U32(offset + 4);
    offset += kTdefIndexSlotSize;
  }

  std::set<std::uint16_t> numbers;
  for (std::uint16_t i = 0; i < columnCount; ++i, offset += kColumnEntrySize) {
    ColumnDef c;
    std::uint8_t type = r.U8(offset + kColType);
    c.type = static_cast<ColumnType>(type);
    c.number = r.U16(offset + kColNumber);
    c.varIndex = r.U16(offset + kColVarIndex);
    c.position = r.U16(offset + kColPosition);
    c.sortOrder = r.U16(offset + kColSortOrder);
    c.codePage = r.U16(offset + kColCodePage);
    c.flags = r.U8(offset + kColFlags);
    c.fixedOffset = r.U16(offset + kColFixedOffset);
    c.length = r.U16(offset + kColLength);
    if (r.ok() && (!KnownType(type) || !numbers.insert(c.number).second || c.number >= def.maxColumns)) {
      return Corrupt(where + " has a damaged column entry");
    }
    if (r.ok() && !c.IsFixed() && c.varIndex >= def.varColumns) {
      return Corrupt(where + " has a variable column outside the offset table");
    }
    def.columns.push_back(c);
  }
  for (auto& c : def.columns) c.name = Name(r, offset);
  if (r.ok()) JET_TRY(CheckColumns(def, where));

  for (auto& index : def.realIndexes) {
    for (std::size_t k = 0; k < kRealIndexColumns; ++k) {
      std::uint16_t column = r.U16(offset + 3 * k);
      if (column != 0xFFFF) index.columns.push_back({column, r.U8(offset + 3 * k + 2) != 0});
    }
    index.usageMap = RowPointer::FromRaw(r.U32(offset + 30));
    index.rootPage = r.U32(offset + 34);
    index.flags = r.U8(offset + 38);
    offset += kRealIndexSize;
  }
  def.logicalIndexes.resize(logicalCount);
  for (auto& index : def.logicalIndexes) {
    index.number = r.U32(offset);
    index.realIndex = r.U32(offset + 4);
    index.relatedTableType = r.U8(offset + 8);
    index.relatedIndex = static_cast<std::int32_t>(r.U32(offset + 9));
    index.relatedTablePage = r.U32(offset + 13);
    index.cascadeUpdates = r.U8(offset + 17);
    index.cascadeDeletes = r.U8(offset + 18);
    index.indexType = r.U8(offset + 19);
    offset += kLogicalIndexSize;
  }
  for (auto& index : def.logicalIndexes) index.name = Name(r, offset);

  // The long-value list runs to FF FF; stop at the definition's end whatever happens.
  while (r.ok() && offset + 2 <= def.length && r.U16(offset) != kLongValueListEnd) {
    LongValueMaps lv;
    lv.column = r.U16(offset);
    lv.owned = RowPointer::FromRaw(r.U32(offset + 2));
    lv.free = RowPointer::FromRaw(r.U32(offset + 6));
    def.longValues.push_back(lv);
    offset += kLongValueEntrySize;
  }
  if (!r.ok()) return Corrupt(where + " is cut short");
  return def;
}

}  // namespace jet
