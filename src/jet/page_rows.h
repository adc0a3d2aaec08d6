// A data page's rows taken out of the page for changing, and put back packed
// downward from the page end in slot order (as Access keeps them).
#pragma once

#include <cstdint>
#include <vector>

#include "jet/pager.h"
#include "jet/result.h"
#include "jet/value.h"

namespace jet {

struct PageRows {
  std::uint32_t owner = 0;
  std::vector<std::uint16_t> flags;  // per slot: 0, kSlotDeleted, kSlotForwarded or kSlotMoved
  std::vector<Bytes> rows;           // per slot; deleted slots hold no bytes

  // Free bytes once packed: the page less its header, slot table and rows.
  std::size_t FreeSpace() const;
  // Whether one more row of `size` bytes (and its slot entry) would fit.
  bool CanAdd(std::size_t size) const;
  // Adds a row in a new last slot; returns the slot number.
  std::uint8_t Add(Bytes row, std::uint16_t flags = 0);
  // Marks slot `slot` deleted and drops its bytes.
  void Remove(std::uint8_t slot);
};

// Reads the rows of data page `number` (deleted slots lose any bytes they kept).
Result<PageRows> LoadPageRows(Pager& pager, std::uint32_t number);

// The data page holding `rows`, packed, with the free-space field computed. Fails
// (misuse) when they do not fit.
Result<Page> PackPageRows(const PageRows& rows);

// Writes `rows` back to page `number` in the pager's current write, packed, with the
// free-space field recomputed. Fails, changing nothing, when they do not fit.
Status StorePageRows(Pager& pager, std::uint32_t number, const PageRows& rows);

}  // namespace jet
