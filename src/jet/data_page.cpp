#include "jet/data_page.h"

#include <string>

#include "jet/byte_reader.h"
#include "jet/errors.h"

namespace jet {

Status DecodeSlots(const Page& page, std::uint32_t number, SlotTable& slots) {
  // What the two flag bits at the top of an entry say.
  static_assert(kSlotForwarded == 1 << 14 && kSlotMoved == 2 << 14 && kSlotDeleted == 3 << 14);
  static constexpr SlotKind kKinds[] = {SlotKind::kLive, SlotKind::kStub, SlotKind::kMoved,
                                        SlotKind::kDeleted};
  ByteReader r(page);
  auto name = [number] { return "page " + std::to_string(number); };
  if (r.U8(0) != kPageTypeData) {
    return Corrupt(name() + " should be a data page but has type " + std::to_string(r.U8(0)));
  }
  const std::uint16_t count = r.U16(kDataRowCount);
  const std::size_t tableEnd = kDataHeaderSize + 2u * count;
  if (count > kMaxSlotsRead || tableEnd > kPageSize) {
    return Corrupt(name() + " claims " + std::to_string(count) + " rows, more than a page can hold");
  }
  slots.clear();
  // Rows are packed downward from the page end in slot order: slot i ends where
  // slot i-1 starts. Deleted slots have no bytes.
  std::uint16_t previousStart = kPageSize;
  for (std::uint16_t i = 0; i < count; ++i) {
    Slot s;
    s.entry = Load<std::uint16_t>(std::span(page).subspan(kDataSlots + 2u * i));  // inside the table
    s.kind = kKinds[s.entry >> 14];
    s.start = s.entry & kSlotOffsetMask;
    s.end = previousStart;
    if (s.kind == SlotKind::kDeleted) {
      // Access leaves zero-length deleted slots, but older files may keep the
      // bytes: either way they are skipped, so only keep the span sane.
      if (s.start < tableEnd || s.start > previousStart) s.start = previousStart;
    } else if (s.start < tableEnd || s.start >= previousStart) {
      return Corrupt("row " + std::to_string(i) + " of " + name() +
                     " overlaps another row or lies outside the page");
    }
    previousStart = s.start;
    slots.push_back(s);
  }
  return Ok();
}

Status ReadDataPage(Pager& pager, std::uint32_t number, DataPage& out) {
  JET_ASSIGN(const Page* page, pager.Read(number));
  JET_TRY(DecodeSlots(*page, number, out.slots));
  ByteReader r(*page);
  out.number = number;
  out.freeSpace = r.U16(kDataFreeSpace);
  out.owner = r.U32(kDataOwner);
  out.page = page;
  out.epoch = pager.epoch();
  return Ok();
}

Result<std::span<const std::uint8_t>> ReadRowAt(Pager& pager, RowPointer where, const char* what,
                                                DataPage& dp) {
  // The slot table is decoded again only for another page, or when the pager may
  // have let the page go since (a scan's read-ahead window moved on).
  if (dp.page == nullptr || dp.number != where.page || dp.epoch != pager.epoch()) {
    dp.page = nullptr;
    JET_TRY(ReadDataPage(pager, where.page, dp));
  }
  if (where.row >= dp.slots.size()) {
    return Corrupt(std::string(what) + " points at a missing row " + std::to_string(where.row) + " of page " +
                   std::to_string(where.page));
  }
  const Slot& s = dp.slots[where.row];
  if (s.kind == SlotKind::kDeleted) {
    return Corrupt(std::string(what) + " points at a deleted row on page " + std::to_string(where.page));
  }
  return dp.RowBytes(s);
}

}  // namespace jet
