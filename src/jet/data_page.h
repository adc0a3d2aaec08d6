// Data pages (rows of tables, long values and usage maps) and their slot tables.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "jet/format.h"
#include "jet/pager.h"
#include "jet/result.h"

namespace jet {

enum class SlotKind { kLive, kDeleted, kStub, kMoved };

struct Slot {
  std::uint16_t entry = 0;
  SlotKind kind = SlotKind::kLive;
  std::uint16_t start = 0;  // first byte of the row
  std::uint16_t end = 0;    // one past the last byte
};

// A checked view of a data page's slot table.
struct DataPage {
  std::uint32_t number = 0;
  std::uint16_t freeSpace = 0;
  std::uint32_t owner = 0;
  std::vector<Slot> slots;
  const Page* page = nullptr;

  std::span<const std::uint8_t> RowBytes(const Slot& slot) const {
    return std::span<const std::uint8_t>(page->data() + slot.start, slot.end - slot.start);
  }
};

// The one decoder of a data page's slot table; the reader and the integrity checker
// both use it, so they agree on what is valid. Every slot's span is checked against
// the page and against its neighbours; a page of another type is a corruption error.
Result<std::vector<Slot>> DecodeSlots(const Page& page, std::uint32_t number);

// Reads page `number` as a data page. Every slot's span is checked against the
// page and against its neighbours; a page of another type is a corruption error.
Result<DataPage> ReadDataPage(Pager& pager, std::uint32_t number);

// The bytes of row `row` on `page`, which must be a live or moved slot; `what`
// names the reference in error messages.
Result<std::span<const std::uint8_t>> ReadRowAt(Pager& pager, RowPointer where, const char* what);

}  // namespace jet
