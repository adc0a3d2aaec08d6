#include "jet/long_value.h"

#include <set>
#include <string>

#include "jet/byte_reader.h"
#include "jet/data_page.h"
#include "jet/errors.h"

namespace jet {
namespace {

// The kept page that holds `number`, or else the one read longer ago, to be read
// again; either way the other one becomes the older.
DataPage& KeptPage(LongValueScratch& scratch, std::uint32_t number) {
  std::size_t k = scratch.older;
  for (std::size_t i = 0; i < scratch.pages.size(); ++i) {
    if (scratch.pages[i].page != nullptr && scratch.pages[i].number == number) k = i;
  }
  scratch.older = 1 - k;
  return scratch.pages[k];
}

}  // namespace

Result<std::span<const std::uint8_t>> LongValueBytes(Pager& pager, std::span<const std::uint8_t> field,
                                                     LongValueScratch& scratch) {
  ByteReader r(field);
  if (field.size() < kLongValueHeaderSize) return Corrupt("a memo value's header is cut short");
  const std::uint32_t length = r.U32(0) & kLongValueLengthMask;
  const std::uint8_t storage = r.U8(3);
  const RowPointer first = RowPointer::FromRaw(r.U32(4));
  // No value can be longer than the file that holds it.
  if (length > std::uint64_t{pager.PageCount()} * kPageSize)
    return Corrupt("a memo value claims an impossible length");

  switch (storage) {
    case kLongValueInline: {
      if (kLongValueHeaderSize + length > field.size())
        return Corrupt("an inline memo value runs past its row");
      return field.subspan(kLongValueHeaderSize, length);
    }
    case kLongValueSingle: {
      JET_ASSIGN(auto row, ReadRowAt(pager, first, "a memo value", KeptPage(scratch, first.page)));
      if (row.size() < length) return Corrupt("a memo value is shorter than its header says");
      return row.first(length);
    }
    case kLongValueChained: {
      Bytes& out = scratch.chain;
      out.clear();
      out.reserve(length);
      std::set<std::uint32_t> seen;
      RowPointer next = first;
      while (out.size() < length) {
        if (next.IsNull()) return Corrupt("a memo value's chain ends early");
        if (!seen.insert(next.Raw()).second) return Corrupt("a memo value's chain loops");
        JET_ASSIGN(auto row, ReadRowAt(pager, next, "a memo value's chain", KeptPage(scratch, next.page)));
        if (row.size() < kLongValueChainLink) return Corrupt("a memo value's chain piece is cut short");
        ByteReader link(row);
        next = RowPointer::FromRaw(link.U32(0));
        std::size_t take = std::min<std::size_t>(row.size() - kLongValueChainLink, length - out.size());
        auto piece = row.subspan(kLongValueChainLink, take);
        out.insert(out.end(), piece.begin(), piece.end());
      }
      return std::span<const std::uint8_t>(out);
    }
    default: return Corrupt("a memo value of unknown storage kind");
  }
}

Result<Bytes> ReadLongValue(Pager& pager, std::span<const std::uint8_t> field) {
  LongValueScratch scratch;
  JET_ASSIGN(auto data, LongValueBytes(pager, field, scratch));
  if (data.data() == scratch.chain.data()) return std::move(scratch.chain);
  return Bytes(data.begin(), data.end());
}

}  // namespace jet
