// Memo and OLE values: inline in the row, in one LVAL row, or chained over LVAL rows.
#pragma once

#include <cstdint>
#include <span>

#include "jet/format.h"
#include "jet/pager.h"
#include "jet/result.h"
#include "jet/value.h"

namespace jet {

// The whole value that the column bytes `field` (header plus any inline data) name.
Result<Bytes> ReadLongValue(Pager& pager, std::span<const std::uint8_t> field);

}  // namespace jet
