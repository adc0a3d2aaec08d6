// Usage maps: bitmaps of pages, stored inline in a row (type 0) or on bitmap
// pages that the row lists (type 1).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "jet/pager.h"
#include "jet/result.h"

namespace jet {

inline constexpr std::uint8_t kUsageMapInline = 0x00;
inline constexpr std::uint8_t kUsageMapReference = 0x01;
inline constexpr std::size_t kUsageMapInlineHeader = 5;          // type byte + start page
inline constexpr std::size_t kUsageBitmapPageHeader = 4;         // 05 01 00 00
inline constexpr std::uint32_t kPagesPerBitmapPage = (kPageSize - kUsageBitmapPageHeader) * 8;

// The pages whose bits are set in the map stored at `where`, ascending. Pages at
// or past `pageCount` are left out only when `clipToFile` is set (the global
// map sets the bits of every page past the end of the file).
Result<std::vector<std::uint32_t>> ReadUsageMap(Pager& pager, RowPointer where, bool clipToFile = false);

// The same for a map row's bytes already in hand.
Result<std::vector<std::uint32_t>> DecodeUsageMap(Pager& pager, std::span<const std::uint8_t> row, bool clipToFile);

}  // namespace jet
