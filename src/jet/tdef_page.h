// Table-definition (TDEF) pages: a table's columns, indexes and usage maps.
#pragma once

#include <cstdint>

#include "jet/pager.h"
#include "jet/result.h"
#include "jet/table_def.h"

namespace jet {

// Page header, on every TDEF page including continuations.
inline constexpr std::size_t kTdefSignature = 0x02;  // "VC"
inline constexpr std::size_t kTdefNextPage = 0x04;
inline constexpr std::size_t kTdefPageHeader = 0x08;  // continuation pages add their bytes after this
// Table block, at these offsets in the joined definition.
inline constexpr std::size_t kTdefLength = 0x08;
inline constexpr std::size_t kTdefRowCount = 0x0C;
inline constexpr std::size_t kTdefAutoNumber = 0x10;
inline constexpr std::size_t kTdefTableType = 0x14;
inline constexpr std::size_t kTdefMaxColumns = 0x15;
inline constexpr std::size_t kTdefVarColumns = 0x17;
inline constexpr std::size_t kTdefColumnCount = 0x19;
inline constexpr std::size_t kTdefLogicalIndexCount = 0x1B;
inline constexpr std::size_t kTdefRealIndexCount = 0x1F;
inline constexpr std::size_t kTdefOwnedMap = 0x23;
inline constexpr std::size_t kTdefFreeMap = 0x27;
inline constexpr std::size_t kTdefIndexSlots = 0x2B;  // 8 bytes per real index, then the columns
inline constexpr std::size_t kTdefIndexSlotSize = 8;
// Column entries.
inline constexpr std::size_t kColumnEntrySize = 18;
inline constexpr std::size_t kColType = 0;
inline constexpr std::size_t kColNumber = 1;
inline constexpr std::size_t kColVarIndex = 3;
inline constexpr std::size_t kColPosition = 5;
inline constexpr std::size_t kColUnknown7 = 7;
inline constexpr std::size_t kColSortOrder = 9;
inline constexpr std::size_t kColCodePage = 11;
inline constexpr std::size_t kColFlags = 13;
inline constexpr std::size_t kColFixedOffset = 14;
inline constexpr std::size_t kColLength = 16;
// Index definitions.
inline constexpr std::size_t kRealIndexSize = 39;
inline constexpr std::size_t kRealIndexColumns = 10;
inline constexpr std::size_t kLogicalIndexSize = 20;
inline constexpr std::size_t kLongValueEntrySize = 10;
inline constexpr std::uint16_t kLongValueListEnd = 0xFFFF;

// Reads the definition that starts on `page`. `name` is the catalog's name for it.
Result<TableDef> ReadTableDef(Pager& pager, std::uint32_t page, const std::string& name);

}  // namespace jet
