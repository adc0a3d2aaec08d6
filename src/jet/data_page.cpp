#include "jet/data_page.h"

#include <string>

#include "jet/byte_reader.h"
#include "jet/errors.h"

namespace jet {

Result<DataPage> ReadDataPage(Pager& pager, std::uint32_t number) {
  JET_ASSIGN(const Page* page, pager.Read(number));
  ByteReader r(*page);
  if (r.U8(0) != kPageTypeData) {
    return Corrupt("page " + std::to_string(number) + " should be a data page");
  }
  DataPage dp;
  dp.number = number;
  dp.page = page;
  dp.freeSpace = r.U16(kDataFreeSpace);
  dp.owner = r.U32(kDataOwner);
  std::uint16_t count = r.U16(kDataRowCount);
  if (count > 256 || kDataHeaderSize + 2u * count > kPageSize) {
    return Corrupt("page " + std::to_string(number) + " has an impossible row count");
  }
  dp.slots.reserve(count);
  // Rows are packed downward from the page end in slot order: slot i ends where
  // slot i-1 starts. Deleted slots have no bytes.
  std::uint16_t previousStart = kPageSize;
  const std::size_t tableEnd = kDataHeaderSize + 2u * count;
  for (std::uint16_t i = 0; i < count; ++i) {
    Slot s;
    s.entry = r.U16(kDataSlots + 2u * i);
    std::uint16_t flags = s.entry & kSlotDeleted;
    s.kind = flags == kSlotDeleted ? SlotKind::kDeleted
             : flags == kSlotForwarded ? SlotKind::kStub
             : flags == kSlotMoved ? SlotKind::kMoved
                                   : SlotKind::kLive;
    s.start = s.entry & kSlotOffsetMask;
    s.end = previousStart;
    if (s.kind == SlotKind::kDeleted) {
      // Access leaves zero-length deleted slots, but older files may keep the
      // bytes: either way they are skipped, so only keep the span sane.
      if (s.start < tableEnd || s.start > previousStart) s.start = previousStart;
    } else if (s.start < tableEnd || s.start >= previousStart) {
      return Corrupt("row " + std::to_string(i) + " of page " + std::to_string(number) + " lies outside its page");
    }
    previousStart = s.start;
    dp.slots.push_back(s);
  }
  return dp;
}

Result<std::span<const std::uint8_t>> ReadRowAt(Pager& pager, RowPointer where, const char* what) {
  // Only this slot and the one before it bound the row, so the rest of the slot
  // table is not decoded: memo values are read this way once per value.
  JET_ASSIGN(const Page* page, pager.Read(where.page));
  ByteReader r(*page);
  const std::uint16_t count = r.U16(kDataRowCount);
  if (r.U8(0) != kPageTypeData) return Corrupt("page " + std::to_string(where.page) + " should be a data page");
  if (where.row >= count || kDataHeaderSize + 2u * count > kPageSize) {
    return Corrupt(std::string(what) + " points at a missing row " + std::to_string(where.row) + " of page " +
                   std::to_string(where.page));
  }
  const std::uint16_t entry = r.U16(kDataSlots + 2u * where.row);
  if ((entry & kSlotDeleted) == kSlotDeleted) {
    return Corrupt(std::string(what) + " points at a deleted row on page " + std::to_string(where.page));
  }
  const std::size_t start = entry & kSlotOffsetMask;
  const std::size_t end = where.row == 0 ? kPageSize : (r.U16(kDataSlots + 2u * (where.row - 1u)) & kSlotOffsetMask);
  if (start < kDataHeaderSize + 2u * count || start >= end || end > kPageSize) {
    return Corrupt("row " + std::to_string(where.row) + " of page " + std::to_string(where.page) +
                   " lies outside its page");
  }
  return std::span<const std::uint8_t>(page->data() + start, end - start);
}

}  // namespace jet
