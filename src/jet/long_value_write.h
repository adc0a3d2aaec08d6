// Writing and freeing memo and OLE values: inline, one LVAL row, or a chain of LVAL rows.
#pragma once

#include <cstdint>
#include <span>

#include "jet/pager.h"
#include "jet/result.h"
#include "jet/table_def.h"
#include "jet/value.h"

namespace jet {

// Values up to this size are kept in the row itself, as Access keeps them.
inline constexpr std::size_t kMaxInlineLongValue = 32;
// Data bytes one LVAL row holds: a whole page's row less a chain piece's link.
inline constexpr std::size_t kMaxLongValuePiece = 2032;
// The header's length field has 24 bits.
inline constexpr std::size_t kMaxLongValueLength = 0xFFFFFF;

// Stores `data` for the column whose maps are `maps`, inside the pager's current
// write, and returns the column's stored bytes (header plus any inline data).
// LVAL rows go to pages in the column's free map that have room, or to new pages at
// the end of the file, which join the column's owned map (and its free map while
// they have room).
Result<Bytes> WriteLongValue(Pager& pager, const LongValueMaps& maps, std::span<const std::uint8_t> data);

// Frees the LVAL rows of a stored long value (none for an inline one): each becomes
// a deleted, zero-length slot and its page is repacked.
Status FreeLongValue(Pager& pager, std::span<const std::uint8_t> field);

}  // namespace jet
