#include "jet/page_rows.h"

#include <algorithm>
#include <string>

#include "jet/byte_reader.h"
#include "jet/data_page.h"
#include "jet/errors.h"

namespace jet {

std::size_t PageRows::FreeSpace() const {
  std::size_t used = kDataHeaderSize + 2 * rows.size();
  for (const auto& row : rows) used += row.size();
  return used > kPageSize ? 0 : kPageSize - used;
}

bool PageRows::CanAdd(std::size_t size) const { return rows.size() < kMaxSlots && FreeSpace() >= size + 2; }

std::uint8_t PageRows::Add(Bytes row, std::uint16_t slotFlags) {
  rows.push_back(std::move(row));
  flags.push_back(slotFlags);
  return static_cast<std::uint8_t>(rows.size() - 1);
}

void PageRows::Remove(std::uint8_t slot) {
  flags[slot] = kSlotDeleted;
  rows[slot].clear();
}

Result<PageRows> LoadPageRows(Pager& pager, std::uint32_t number) {
  DataPage dp;
  JET_TRY(ReadDataPage(pager, number, dp));
  PageRows out;
  out.owner = dp.owner;
  for (const Slot& s : dp.slots) {
    out.flags.push_back(static_cast<std::uint16_t>(s.entry & kSlotDeleted));
    if (s.kind == SlotKind::kDeleted) {
      out.rows.emplace_back();
    } else {
      auto bytes = dp.RowBytes(s);
      out.rows.emplace_back(bytes.begin(), bytes.end());
    }
  }
  return out;
}

Result<Page> PackPageRows(const PageRows& rows) {
  std::size_t used = kDataHeaderSize + 2 * rows.rows.size();
  for (const auto& row : rows.rows) used += row.size();
  if (used > kPageSize || rows.rows.size() > kMaxSlots + 1) return Misuse("the rows do not fit their page");
  Page packed{};
  packed[0] = kPageTypeData;
  packed[1] = 0x01;
  PutU32(packed, kDataOwner, rows.owner);
  PutU16(packed, kDataRowCount, static_cast<std::uint16_t>(rows.rows.size()));
  std::size_t top = kPageSize;
  for (std::size_t i = 0; i < rows.rows.size(); ++i) {
    const Bytes& row = rows.rows[i];
    top -= row.size();
    std::copy(row.begin(), row.end(), packed.begin() + static_cast<std::ptrdiff_t>(top));
    PutU16(packed, kDataSlots + 2 * i, static_cast<std::uint16_t>(top | rows.flags[i]));
  }
  PutU16(packed, kDataFreeSpace, static_cast<std::uint16_t>(top - (kDataHeaderSize + 2 * rows.rows.size())));
  return packed;
}

Status StorePageRows(Pager& pager, std::uint32_t number, const PageRows& rows) {
  JET_ASSIGN(Page packed, PackPageRows(rows));
  JET_ASSIGN(Page * page, pager.Modify(number));
  *page = packed;
  return Ok();
}

}  // namespace jet
