// Memo and OLE values: inline in the row, in one LVAL row, or chained over LVAL rows.
#pragma once

#include <cstdint>
#include <span>

#include "jet/pager.h"
#include "jet/result.h"
#include "jet/value.h"

namespace jet {

inline constexpr std::size_t kLongValueHeaderSize = 12;
inline constexpr std::uint32_t kLongValueLengthMask = 0x3FFFFFFF;
inline constexpr std::uint8_t kLongValueInline = 0x80;
inline constexpr std::uint8_t kLongValueSingle = 0x40;
inline constexpr std::uint8_t kLongValueChained = 0x00;
inline constexpr std::size_t kLongValueChainLink = 4;  // each chained piece starts with the next piece's pointer

// The whole value that the column bytes `field` (header plus any inline data) name.
Result<Bytes> ReadLongValue(Pager& pager, std::span<const std::uint8_t> field);

}  // namespace jet
