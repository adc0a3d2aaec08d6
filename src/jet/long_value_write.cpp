#include "jet/long_value_write.h"

#include <set>
#include <string>

#include "jet/byte_reader.h"
#include "jet/data_page.h"
#include "jet/errors.h"
#include "jet/long_value.h"
#include "jet/page_alloc.h"
#include "jet/page_rows.h"
#include "jet/row_encode.h"
#include "jet/usage_map.h"

namespace jet {
namespace {

// A page keeps its place in the free map while it can take a value this long.
constexpr std::size_t kFreeMapRoom = 64;

// Places one LVAL row and returns where it went; `newPage` puts it in slot 0 of a
// new page.
Result<RowPointer> PlaceLvalRow(Pager& pager, const LongValueMaps& maps, Bytes row, bool newPage) {
  if (!maps.free.IsNull() && !newPage) {
    JET_ASSIGN(auto candidates, ReadUsageMap(pager, maps.free, true));
    for (auto it = candidates.rbegin(); it != candidates.rend(); ++it) {
      JET_ASSIGN(PageRows rows, LoadPageRows(pager, *it));
      if (rows.owner != kOwnerLval || !rows.CanAdd(row.size())) continue;
      const std::uint8_t slot = rows.Add(std::move(row));
      JET_TRY(StorePageRows(pager, *it, rows));
      if (rows.FreeSpace() < kFreeMapRoom) JET_TRY(SetUsageBit(pager, maps.free, *it, false));
      return RowPointer{*it, slot};
    }
  }
  JET_ASSIGN(std::uint32_t number, AllocateDataPage(pager, kOwnerLval));
  PageRows rows;
  rows.owner = kOwnerLval;
  const std::uint8_t slot = rows.Add(std::move(row));
  JET_TRY(StorePageRows(pager, number, rows));
  JET_TRY(SetUsageBit(pager, maps.owned, number, true));
  if (!maps.free.IsNull() && rows.FreeSpace() >= kFreeMapRoom) JET_TRY(SetUsageBit(pager, maps.free, number, true));
  return RowPointer{number, slot};
}

}  // namespace

Result<Bytes> WriteLongValue(Pager& pager, const LongValueMaps& maps, std::span<const std::uint8_t> data) {
  if (data.size() > kMaxLongValueLength) {
    return MakeError(kErrFieldTooSmall, "A memo value of " + std::to_string(data.size()) +
                                            " bytes is longer than a memo field can hold.");
  }
  if (data.size() <= kMaxInlineLongValue) return InlineLongValue(data);
  const auto length = static_cast<std::uint32_t>(data.size());
  if (data.size() <= kMaxLongValuePiece) {
    JET_ASSIGN(RowPointer at, PlaceLvalRow(pager, maps, Bytes(data.begin(), data.end()), false));
    return LongValueReference(length, kLongValueSingle, at);
  }
  // Chained: the last piece first, so that every piece knows its successor. Every
  // piece starts a new page: mdb-reader takes a row's end from the previous slot's
  // entry without masking its flags, so a piece behind a deleted slot would read
  // too long, and it drops a piece that does not end exactly where the value does.
  // Single rows are read to the value's length and may follow deleted slots.
  const std::size_t pieces = (data.size() + kMaxLongValuePiece - 1) / kMaxLongValuePiece;
  RowPointer next{};
  for (std::size_t i = pieces; i-- > 0;) {
    auto piece = data.subspan(i * kMaxLongValuePiece,
                              std::min(kMaxLongValuePiece, data.size() - i * kMaxLongValuePiece));
    Bytes row(kLongValueChainLink, 0);
    PutU32(row, 0, next.Raw());
    row.insert(row.end(), piece.begin(), piece.end());
    JET_ASSIGN(next, PlaceLvalRow(pager, maps, std::move(row), true));
  }
  return LongValueReference(length, kLongValueChained, next);
}

Status FreeLongValue(Pager& pager, std::span<const std::uint8_t> field) {
  if (field.size() < kLongValueHeaderSize) return Corrupt("a memo value's header is cut short");
  ByteReader r(field);
  const std::uint8_t storage = r.U8(3);
  if (storage == kLongValueInline) return Ok();
  if (storage != kLongValueSingle && storage != kLongValueChained) return Corrupt("a memo value of unknown storage kind");
  RowPointer at = RowPointer::FromRaw(r.U32(4));
  std::set<std::uint32_t> seen;
  while (!at.IsNull()) {
    if (!seen.insert(at.Raw()).second) return Corrupt("a memo value's chain loops");
    JET_ASSIGN(PageRows rows, LoadPageRows(pager, at.page));
    if (rows.owner != kOwnerLval || at.row >= rows.rows.size() || rows.flags[at.row] != 0) {
      return Corrupt("a memo value points at a missing row on page " + std::to_string(at.page));
    }
    RowPointer next{};
    if (storage == kLongValueChained) {
      if (rows.rows[at.row].size() < kLongValueChainLink) return Corrupt("a memo value's chain piece is cut short");
      next = RowPointer::FromRaw(ByteReader(rows.rows[at.row]).U32(0));
    }
    rows.Remove(at.row);
    JET_TRY(StorePageRows(pager, at.page, rows));
    at = next;
  }
  return Ok();
}

}  // namespace jet
