// Page bookkeeping for writes: bits of usage maps (growing or moving an inline map
// when a page lies outside it) and new pages taken at the end of the file.
#pragma once

#include <cstdint>

#include "jet/pager.h"
#include "jet/result.h"
#include "jet/table_def.h"

namespace jet {

// The global free-page map: page 1, row 0. A set bit there means "free".
inline constexpr RowPointer kGlobalMap{1, 0};

// Gives page `page` the bit `value` in the usage map stored at `map`. `outside` is
// the value every page outside the map's bitmap has (false for ownership maps, true
// for the global map, where pages past the bitmap are free). An inline map grows in
// place when its host page has room, or moves its start page up when no page below
// the new start is set; a reference map uses its bitmap pages. When none of that is
// possible the change fails with a clear error, changing nothing.
Status SetUsageBit(Pager& pager, RowPointer map, std::uint32_t page, bool value, bool outside = false);

// Takes a new page at the end of the file as an empty data page of `owner` (a TDEF
// page number, or kOwnerLval) and marks it used in the global map.
Result<std::uint32_t> AllocateDataPage(Pager& pager, std::uint32_t owner);

}  // namespace jet
