#include "jet/usage_map.h"

#include <string>

#include "jet/byte_reader.h"
#include "jet/data_page.h"
#include "jet/errors.h"

namespace jet {
namespace {

void CollectBits(std::span<const std::uint8_t> bitmap, std::uint64_t firstPage, std::uint32_t limit,
                 std::vector<std::uint32_t>& out) {
  for (std::size_t byte = 0; byte < bitmap.size(); ++byte) {
    std::uint8_t bits = bitmap[byte];
    if (bits == 0) continue;
    for (unsigned bit = 0; bit < 8; ++bit) {
      if ((bits & (1u << bit)) == 0) continue;
      std::uint64_t page = firstPage + byte * 8 + bit;
      if (page >= limit) return;
      out.push_back(static_cast<std::uint32_t>(page));
    }
  }
}

}  // namespace

Result<std::vector<std::uint32_t>> DecodeUsageMap(Pager& pager, std::span<const std::uint8_t> row,
                                                  bool clipToFile) {
  ByteReader r(row);
  if (row.empty()) return Corrupt("an empty usage map");
  // Pages past the largest possible file are never real; past the file's end
  // they are real only for the global map's "free" bits, which callers clip.
  const std::uint32_t limit = clipToFile ? pager.PageCount() : kMaxPages;
  std::vector<std::uint32_t> pages;
  switch (r.U8(0)) {
    case kUsageMapInline: {
      if (row.size() < kUsageMapInlineHeader) return Corrupt("a usage map is cut short");
      CollectBits(row.subspan(kUsageMapInlineHeader), r.U32(1), limit, pages);
      return pages;
    }
    case kUsageMapReference: {
      for (std::size_t i = 0; 1 + 4 * i + 4 <= row.size(); ++i) {
        std::uint32_t bitmapPage = r.U32(1 + 4 * i);
        if (bitmapPage == 0) continue;
        JET_ASSIGN(const Page* page, pager.Read(bitmapPage));
        if ((*page)[0] != kPageTypeUsageBitmap) {
          return Corrupt("usage bitmap page " + std::to_string(bitmapPage) + " has the wrong type");
        }
        CollectBits(std::span<const std::uint8_t>(*page).subspan(kUsageBitmapPageHeader),
                    std::uint64_t{kPagesPerBitmapPage} * i, limit, pages);
      }
      return pages;
    }
    default: return Corrupt("a usage map of unknown type");
  }
}

Result<std::vector<std::uint32_t>> ReadUsageMap(Pager& pager, RowPointer where, bool clipToFile) {
  DataPage page;
  JET_ASSIGN(auto row, ReadRowAt(pager, where, "a usage map reference", page));
  return DecodeUsageMap(pager, row, clipToFile);
}

}  // namespace jet
