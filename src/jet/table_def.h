// A table's definition as read from (or written to) its TDEF pages.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/format.h"
#include "jet/value.h"

namespace jet {

// A (page, row slot) address: stored as a little-endian uint32, slot in the low byte.
struct RowPointer {
  std::uint32_t page = 0;
  std::uint8_t row = 0;

  static RowPointer FromRaw(std::uint32_t raw) {
    return {raw >> 8, static_cast<std::uint8_t>(raw & 0xFF)};
  }
  std::uint32_t Raw() const { return (page << 8) | row; }
  bool IsNull() const { return page == 0 && row == 0; }
  friend bool operator==(const RowPointer&, const RowPointer&) = default;
};

// A row's identity: its header slot (the forwarding stub, when the row has moved).
using RowId = RowPointer;

// Column entry flags.
inline constexpr std::uint8_t kColumnFixed = 0x01;
inline constexpr std::uint8_t kColumnUpdatable = 0x02;
inline constexpr std::uint8_t kColumnAutoNumber = 0x04;

struct ColumnDef {
  std::string name;      // UTF-8
  ColumnType type = ColumnType::kText;
  std::uint16_t number = 0;       // index into the null mask
  std::uint16_t varIndex = 0;     // index into the variable-offset table (variable columns)
  std::uint16_t position = 0;     // +5: the column's place in user tables
  std::uint16_t fixedOffset = 0;  // offset inside the fixed area (fixed columns)
  std::uint16_t length = 0;       // maximum bytes for Text/Binary, the size for others
  std::uint8_t flags = 0;
  std::uint16_t sortOrder = 0x0409;
  std::uint16_t codePage = 1252;

  bool IsFixed() const { return (flags & kColumnFixed) != 0; }
  bool IsAutoNumber() const { return (flags & kColumnAutoNumber) != 0; }
  bool IsLongValue() const { return type == ColumnType::kMemo || type == ColumnType::kOle; }
};

// The two usage maps of one memo or OLE column.
struct LongValueMaps {
  std::uint16_t column = 0;  // column number
  RowPointer owned;
  RowPointer free;
};

struct IndexColumn {
  std::uint16_t column = 0;
  bool ascending = true;
};

struct RealIndexDef {
  std::uint32_t unknown = 0;        // slot +0
  std::uint32_t uniqueEntries = 0;  // slot +4
  std::vector<IndexColumn> columns;
  RowPointer usageMap;
  std::uint32_t rootPage = 0;
  std::uint8_t flags = 0;
};

struct LogicalIndexDef {
  std::string name;
  std::uint32_t number = 0;
  std::uint32_t realIndex = 0;
  std::uint8_t relatedTableType = 0;
  std::int32_t relatedIndex = -1;
  std::uint32_t relatedTablePage = 0;
  std::uint8_t cascadeUpdates = 4;
  std::uint8_t cascadeDeletes = 4;
  std::uint8_t indexType = 0;  // 1 primary key, 2 foreign key
};

inline constexpr std::uint8_t kTableTypeSystem = 0x53;
inline constexpr std::uint8_t kTableTypeUser = 0x4E;

struct TableDef {
  std::string name;                 // UTF-8, from the catalog
  std::uint32_t page = 0;           // first TDEF page (the catalog id)
  std::vector<std::uint32_t> pages; // the TDEF chain, first page first
  std::uint32_t length = 0;         // definition length (0x08)
  std::uint32_t rowCount = 0;       // live rows (0x0C)
  std::uint32_t lastAutoNumber = 0; // 0x10
  std::uint8_t tableType = kTableTypeUser;
  std::uint16_t maxColumns = 0;     // 0x15
  std::uint16_t varColumns = 0;     // 0x17
  RowPointer ownedMap;              // 0x23
  RowPointer freeMap;               // 0x27
  std::vector<ColumnDef> columns;   // in column-entry order
  std::vector<RealIndexDef> realIndexes;
  std::vector<LogicalIndexDef> logicalIndexes;
  std::vector<LongValueMaps> longValues;

  bool HasIndexes() const { return !realIndexes.empty() || !logicalIndexes.empty(); }
};

}  // namespace jet
