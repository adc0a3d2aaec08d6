// Encoding a row from its values: the inverse of SplitRow (fixed area, variable
// data, offset table with jump bytes, null mask).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "jet/result.h"
#include "jet/table_def.h"
#include "jet/value.h"

namespace jet {

// The largest row a data page can take: the page less its header and one slot entry.
inline constexpr std::size_t kMaxRowSize = kPageSize - 10 - 2;
// Jet's number for a row too long for its page.
inline constexpr int kErrRecordTooLarge = 3047;

// Encodes one row of `def`. `values` holds one value per column, in def.columns order:
//  - null (std::monostate) for a null column; a Yes/No column takes a bool (null reads as No);
//  - Text columns take jet::Text (code-page bytes), Binary columns jet::Bytes;
//  - numbers, dates and GUIDs take the matching Value alternative exactly;
//  - Memo and OLE columns take their STORED bytes as jet::Bytes: the 12-byte long-value
//    header plus any inline data (see InlineLongValue and LongValueReference). Writing
//    the LVAL rows is the caller's business (TableWriter does it for table writes).
// AutoNumber columns are encoded as given; filling them is the caller's business.
// Fails with 3163 when a Text or Binary value is longer than its column, 3001 when a
// value has the wrong type, and 3047 when the row would not fit in a page.
Result<Bytes> EncodeRow(const TableDef& def, const std::vector<Value>& values);

// A long value stored inline: header (length, flag 0x80, no pointer) plus the data.
// Access stores values of at most 32 bytes this way.
Bytes InlineLongValue(std::span<const std::uint8_t> data);

// The 12-byte header of a long value kept in LVAL rows: `storage` is 0x40 for one
// row, 0x00 for a chain; `first` is the row (or first piece) that holds it.
Bytes LongValueReference(std::uint32_t length, std::uint8_t storage, RowPointer first);

}  // namespace jet
