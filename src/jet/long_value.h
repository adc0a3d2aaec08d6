// Memo and OLE values: inline in the row, in one LVAL row, or chained over LVAL rows.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "jet/data_page.h"
#include "jet/format.h"
#include "jet/pager.h"
#include "jet/result.h"
#include "jet/value.h"

namespace jet {

// What reading long values row after row keeps: the chained value last put together
// and the two pages of long values last read. The next value is most often on one of
// them: the values of one page of rows tend to alternate between two pages.
struct LongValueScratch {
  Bytes chain;
  std::array<DataPage, 2> pages;
  std::size_t older = 0;  // the one of `pages` to read the next other page into
};

// The whole value that the column bytes `field` (header plus any inline data) name,
// as a view: into the row, into the one page that holds it, or for a chained value
// into `scratch.chain`. Valid until the next call with `scratch`, and while the page
// stays read.
Result<std::span<const std::uint8_t>> LongValueBytes(Pager& pager, std::span<const std::uint8_t> field,
                                                     LongValueScratch& scratch);

// The same value, copied.
Result<Bytes> ReadLongValue(Pager& pager, std::span<const std::uint8_t> field);

}  // namespace jet
