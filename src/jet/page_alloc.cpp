#include "jet/page_alloc.h"

#include <algorithm>
#include <string>

#include "jet/byte_reader.h"
#include "jet/data_page.h"
#include "jet/errors.h"
#include "jet/page_rows.h"
#include "jet/usage_map.h"

namespace jet {
namespace {

bool Bit(const Bytes& row, std::size_t k) {
  return ((static_cast<unsigned>(row[kUsageMapInlineHeader + k / 8]) >> (k % 8)) & 1u) != 0;
}

void PutBit(Bytes& row, std::size_t k, bool value) {
  auto& byte = row[kUsageMapInlineHeader + k / 8];
  const auto mask = static_cast<std::uint8_t>(1u << (k % 8));
  byte = static_cast<std::uint8_t>(value ? (byte | mask) : (byte & ~mask));
}

Error MapFull(RowPointer map, std::uint32_t page) {
  return MakeError(kErrNotSupported, "Couldn't record page " + std::to_string(page) +
                                         ": the page map on page " + std::to_string(map.page) +
                                         " cannot grow to cover it (its page is full).");
}

// An inline map rebuilt to cover `page`: the old bits are kept, and the new bitmap
// starts at a multiple of 8 no higher than the lowest page that differs from `outside`.
Result<Bytes> Regrow(const Bytes& row, std::uint32_t page, bool outside, std::size_t room) {
  ByteReader r(row);
  const std::uint32_t start = r.U32(1);
  const std::size_t bits = (row.size() - kUsageMapInlineHeader) * 8;
  std::uint64_t low = page, high = page;
  for (std::size_t k = 0; k < bits; ++k) {
    if (Bit(row, k) != outside) {
      low = std::min<std::uint64_t>(low, start + k);
      high = std::max<std::uint64_t>(high, start + k);
    }
  }
  // Keep the old start when it still works: readers and Access expect maps from page 0.
  std::uint64_t newStart = low >= start ? start : low / 8 * 8;
  std::size_t needBytes = static_cast<std::size_t>((high - newStart) / 8 + 1);
  if (kUsageMapInlineHeader + needBytes > row.size() + room) {
    newStart = low / 8 * 8;
    needBytes = static_cast<std::size_t>((high - newStart) / 8 + 1);
  }
  const std::size_t oldBytes = row.size() - kUsageMapInlineHeader;
  std::size_t newBytes = std::max(needBytes, newStart == start ? oldBytes : std::size_t{0});
  // Grow in steps of 16 bytes (128 pages) while there is room, so few writes move the map.
  std::size_t stepped = (needBytes + 15) / 16 * 16;
  if (stepped > newBytes && kUsageMapInlineHeader + stepped <= row.size() + room) newBytes = stepped;
  if (kUsageMapInlineHeader + newBytes > row.size() + room) return Error{};
  Bytes out(kUsageMapInlineHeader + newBytes, outside ? 0xFF : 0x00);
  out[0] = kUsageMapInline;
  PutU32(out, 1, static_cast<std::uint32_t>(newStart));
  for (std::size_t k = 0; k < bits; ++k) {
    const std::uint64_t p = start + k;
    if (p >= newStart && p < newStart + newBytes * 8) PutBit(out, static_cast<std::size_t>(p - newStart), Bit(row, k));
  }
  return out;
}

}  // namespace

Status SetUsageBit(Pager& pager, RowPointer map, std::uint32_t page, bool value, bool outside) {
  JET_ASSIGN(PageRows host, LoadPageRows(pager, map.page));
  if (map.row >= host.rows.size() || host.flags[map.row] != 0 || host.rows[map.row].empty()) {
    return Corrupt("a usage map reference points at a missing row on page " + std::to_string(map.page));
  }
  Bytes& row = host.rows[map.row];
  if (row[0] == kUsageMapReference) {
    const std::size_t index = page / kPagesPerBitmapPage;
    ByteReader r(row);
    const std::uint32_t bitmapPage = 1 + 4 * index + 4 <= row.size() ? r.U32(1 + 4 * index) : 0;
    if (bitmapPage == 0) {
      if (value == outside) return Ok();
      return MapFull(map, page);
    }
    JET_ASSIGN(Page* bitmap, pager.Modify(bitmapPage));
    if ((*bitmap)[0] != kPageTypeUsageBitmap) return Corrupt("a usage bitmap page has the wrong type");
    const std::size_t k = page % kPagesPerBitmapPage;
    auto& byte = (*bitmap)[kUsageBitmapPageHeader + k / 8];
    const auto mask = static_cast<std::uint8_t>(1u << (k % 8));
    byte = static_cast<std::uint8_t>(value ? (byte | mask) : (byte & ~mask));
    return Ok();
  }
  if (row[0] != kUsageMapInline || row.size() < kUsageMapInlineHeader) return Corrupt("a usage map of unknown type");
  const std::uint32_t start = ByteReader(row).U32(1);
  const std::size_t bits = (row.size() - kUsageMapInlineHeader) * 8;
  if (page >= start && page - start < bits) {
    PutBit(row, page - start, value);
    return StorePageRows(pager, map.page, host);
  }
  if (value == outside) return Ok();
  const std::size_t room = host.FreeSpace();
  Result<Bytes> grown = Regrow(row, page, outside, room);
  if (!grown.ok()) return MapFull(map, page);
  row = std::move(grown).value();
  PutBit(row, page - ByteReader(row).U32(1), value);
  return StorePageRows(pager, map.page, host);
}

Result<std::uint32_t> AllocateDataPage(Pager& pager, std::uint32_t owner) {
  JET_ASSIGN(std::uint32_t number, pager.Append());
  PageRows empty;
  empty.owner = owner;
  JET_TRY(StorePageRows(pager, number, empty));
  JET_TRY(SetUsageBit(pager, kGlobalMap, number, false, true));
  return number;
}

}  // namespace jet
