// Data pages (rows of tables, long values and usage maps) and their slot tables.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "jet/pager.h"
#include "jet/result.h"

namespace jet {

inline constexpr std::uint8_t kPageTypeData = 0x01;
inline constexpr std::uint8_t kPageTypeTableDef = 0x02;
inline constexpr std::uint8_t kPageTypeIndexNode = 0x03;
inline constexpr std::uint8_t kPageTypeIndexLeaf = 0x04;
inline constexpr std::uint8_t kPageTypeUsageBitmap = 0x05;

inline constexpr std::size_t kDataFreeSpace = 0x02;
inline constexpr std::size_t kDataOwner = 0x04;
inline constexpr std::size_t kDataRowCount = 0x08;
inline constexpr std::size_t kDataSlots = 0x0A;
inline constexpr std::size_t kDataHeaderSize = 0x0A;

inline constexpr std::uint16_t kSlotOffsetMask = 0x1FFF;
inline constexpr std::uint16_t kSlotDeleted = 0xC000;   // both bits
inline constexpr std::uint16_t kSlotForwarded = 0x4000; // alone: a stub pointing at the row
inline constexpr std::uint16_t kSlotMoved = 0x8000;     // alone: the target of a stub

inline constexpr std::uint32_t kOwnerLval = 0x4C41564C;  // "LVAL"

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

// Reads page `number` as a data page. Every slot's span is checked against the
// page and against its neighbours; a page of another type is a corruption error.
Result<DataPage> ReadDataPage(Pager& pager, std::uint32_t number);

// The bytes of row `row` on `page`, which must be a live or moved slot; `what`
// names the reference in error messages.
Result<std::span<const std::uint8_t>> ReadRowAt(Pager& pager, RowPointer where, const char* what);

}  // namespace jet
