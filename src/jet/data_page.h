// Data pages (rows of tables, long values and usage maps) and their slot tables.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "jet/format.h"
#include "jet/pager.h"
#include "jet/result.h"

namespace jet {

enum class SlotKind : std::uint8_t { kLive, kDeleted, kStub, kMoved };

// Left uninitialised until decoded: a slot table is filled for every row read.
struct Slot {
  std::uint16_t entry;
  SlotKind kind;
  std::uint16_t start;  // first byte of the row
  std::uint16_t end;    // one past the last byte
};

// A page's slots, held in place (a page has at most kMaxSlotsRead of them), so
// reading a row costs no allocation; the table is filled where it lives, never
// returned by value.
class SlotTable {
 public:
  std::size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  const Slot& operator[](std::size_t i) const { return slots_[i]; }
  const Slot& back() const { return slots_[count_ - 1]; }
  const Slot* begin() const { return slots_.data(); }
  const Slot* end() const { return slots_.data() + count_; }
  void clear() { count_ = 0; }
  void push_back(const Slot& slot) { slots_[count_++] = slot; }

 private:
  std::array<Slot, kMaxSlotsRead> slots_;
  std::size_t count_ = 0;
};

// A checked view of a data page's slot table.
struct DataPage {
  std::uint32_t number = 0;
  std::uint16_t freeSpace = 0;
  std::uint32_t owner = 0;
  SlotTable slots;
  const Page* page = nullptr;
  std::uint64_t epoch = 0;  // the pager's, when the page was read

  std::span<const std::uint8_t> RowBytes(const Slot& slot) const {
    return std::span<const std::uint8_t>(page->data() + slot.start, slot.end - slot.start);
  }
};

// The one decoder of a data page's slot table; the reader and the integrity checker
// both use it, so they agree on what is valid. Every slot's span is checked against
// the page and against its neighbours; a page of another type is a corruption error.
Status DecodeSlots(const Page& page, std::uint32_t number, SlotTable& slots);

// Reads page `number` as a data page into `out`, its slots decoded as above.
Status ReadDataPage(Pager& pager, std::uint32_t number, DataPage& out);

// The bytes of row `row` on `page`, which must be a live or moved slot; `what`
// names the reference in error messages. `last` is the page this call read the time
// before: one that reads row after row of a page (long values) decodes it once.
Result<std::span<const std::uint8_t>> ReadRowAt(Pager& pager, RowPointer where, const char* what,
                                                DataPage& last);

}  // namespace jet
