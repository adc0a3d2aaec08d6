// The integrity checker's page-level checks: slot tables, rows, memo values,
// forwarding stubs and index leaves.
#include <algorithm>

#include "jet/byte_reader.h"
#include "jet/integrity_checker.h"
#include "jet/long_value.h"
#include "jet/row_format.h"

namespace jet::integrity {
namespace {

// A memo chain longer than the file has pages must loop.
constexpr std::size_t kMaxChainPieces = kMaxPages;

std::string RowName(RowPointer where) {
  return "row " + std::to_string(where.row) + " of page " + std::to_string(where.page);
}

}  // namespace

const Page* Checker::PageAt(std::uint32_t number) {
  if (number >= uses_.size()) return nullptr;
  auto page = pager_.Read(number);
  if (!page.ok()) {
    if (badPages_.insert(number).second) Report(number, page.error().description);
    return nullptr;
  }
  return *page;
}

const std::vector<Slot>* Checker::Slots(std::uint32_t number) {
  if (auto it = slots_.find(number); it != slots_.end()) return &it->second;
  if (badPages_.contains(number)) return nullptr;
  const Page* page = PageAt(number);
  if (page == nullptr) return nullptr;
  SlotTable decoded;
  if (auto status = DecodeSlots(*page, number, decoded); !status.ok()) {
    badPages_.insert(number);
    Report(number, status.error().description);
    return nullptr;
  }
  std::vector<Slot> slots(decoded.begin(), decoded.end());
  const std::size_t tableEnd = kDataHeaderSize + 2u * slots.size();
  for (std::size_t i = 0; i < slots.size(); ++i) {
    // The reader skips a deleted slot whatever its offset says; Access leaves it inside the page.
    if (slots[i].kind == SlotKind::kDeleted && (slots[i].entry & kSlotOffsetMask) != slots[i].start) {
      Report(number, "the deleted row " + std::to_string(i) + " of page " + std::to_string(number) +
                         " lies outside the page");
    }
  }
  const std::uint16_t lowest = slots.empty() ? kPageSize : slots.back().start;
  const std::uint16_t freeSpace = ByteReader(*page).U16(kDataFreeSpace);
  if (freeSpace != lowest - tableEnd) {
    Report(number, "page " + std::to_string(number) + " says it has " + std::to_string(freeSpace) +
                       " free bytes but has " + std::to_string(lowest - tableEnd));
  }
  return &slots_.emplace(number, std::move(slots)).first->second;
}

std::optional<std::span<const std::uint8_t>> Checker::RowAt(RowPointer where) {
  const auto* slots = Slots(where.page);
  if (slots == nullptr || where.row >= slots->size()) return std::nullopt;
  const Slot& s = (*slots)[where.row];
  if (s.kind == SlotKind::kDeleted) return std::nullopt;
  const Page* page = PageAt(where.page);
  return std::span<const std::uint8_t>(page->data() + s.start, s.end - s.start);
}

void Checker::CheckRows(const TableDef& def, const std::vector<std::uint32_t>& pages) {
  const std::string table = "table '" + def.name + "'";
  const std::set<std::uint32_t> own(pages.begin(), pages.end());
  std::map<std::uint32_t, int> stubTargets;  // moved rows named by stubs
  std::vector<RowPointer> moved;
  auto& headers = headerRows_[def.page];
  std::uint64_t live = 0;
  bool complete = true;
  for (std::uint32_t n : pages) {
    const auto* slots = badPages_.contains(n) ? nullptr : Slots(n);
    if (slots == nullptr) {
      complete = false;
      continue;
    }
    for (std::size_t i = 0; i < slots->size(); ++i) {
      const Slot s = (*slots)[i];
      const RowPointer here{n, static_cast<std::uint8_t>(i)};
      if (s.kind == SlotKind::kDeleted) continue;
      if (s.kind == SlotKind::kMoved) {
        moved.push_back(here);
        continue;
      }
      ++live;
      headers.insert(here.Raw());
      std::span<const std::uint8_t> bytes(PageAt(n)->data() + s.start, s.end - s.start);
      if (s.kind == SlotKind::kStub) {
        if (bytes.size() < 4) {
          Report(n, "the forwarding stub in " + RowName(here) + " is cut short");
          continue;
        }
        ByteReader r(bytes);
        const RowPointer target = RowPointer::FromRaw(r.U32(0));
        const auto* targetSlots = own.contains(target.page) ? Slots(target.page) : nullptr;
        if (targetSlots == nullptr || target.row >= targetSlots->size() ||
            (*targetSlots)[target.row].kind != SlotKind::kMoved) {
          Report(n, "the forwarding stub in " + RowName(here) + " of " + table + " points at " +
                        RowName(target) + ", which is not a moved row of the table");
          continue;
        }
        ++stubTargets[target.Raw()];
        continue;
      }
      auto fields = SplitRow(def, bytes);
      if (!fields.ok()) {
        Report(n, RowName(here) + " of " + table + " cannot be decoded: " + fields.error().description);
        continue;
      }
      for (std::size_t c = 0; c < def.columns.size(); ++c) {
        if (def.columns[c].IsLongValue() && (*fields)[c].present)
          CheckLongValue(def, def.columns[c], (*fields)[c].bytes, here);
      }
    }
  }
  for (RowPointer m : moved) {
    const int named = stubTargets[m.Raw()];
    if (named != 1) {
      Report(m.page, "the moved " + RowName(m) + " of " + table + " is named by " + std::to_string(named) +
                         " forwarding stubs instead of one");
      continue;
    }
    auto bytes = RowAt(m);
    auto fields = SplitRow(def, *bytes);
    if (!fields.ok()) {
      Report(m.page, RowName(m) + " of " + table + " cannot be decoded: " + fields.error().description);
      continue;
    }
    for (std::size_t c = 0; c < def.columns.size(); ++c) {
      if (def.columns[c].IsLongValue() && (*fields)[c].present)
        CheckLongValue(def, def.columns[c], (*fields)[c].bytes, m);
    }
  }
  if (complete && live != def.rowCount) {
    Report(def.page, "the definition of " + table + " counts " + std::to_string(def.rowCount) +
                         " rows but the table has " + std::to_string(live));
  }
}

void Checker::CheckLongValue(const TableDef& def, const ColumnDef& column,
                             std::span<const std::uint8_t> field, RowPointer row) {
  const std::string what =
      "the memo value in column '" + column.name + "' of " + RowName(row) + " ('" + def.name + "')";
  if (field.size() < kLongValueHeaderSize) {
    Report(row.page, what + " has a header that is cut short");
    return;
  }
  ByteReader r(field);
  const std::uint32_t length = r.U32(0) & kLongValueLengthMask;
  const std::uint8_t storage = r.U8(3);
  const auto& pages = longValuePages_[{def.page, column.number}];
  auto piece = [&](RowPointer where) -> std::optional<std::span<const std::uint8_t>> {
    if (!pages.contains(where.page)) {
      Report(row.page, what + " points at " + RowName(where) + ", outside the column's LVAL pages");
      return std::nullopt;
    }
    auto bytes = RowAt(where);
    if (!bytes) {
      Report(row.page, what + " points at " + RowName(where) + ", which is missing or deleted");
      return std::nullopt;
    }
    ++longValueRefs_[where.Raw()];
    return bytes;
  };
  if (storage == kLongValueInline) {
    if (kLongValueHeaderSize + std::size_t{length} > field.size())
      Report(row.page, what + " runs past its row");
  } else if (storage == kLongValueSingle) {
    auto bytes = piece(RowPointer::FromRaw(r.U32(4)));
    if (bytes && bytes->size() < length)
      Report(row.page, what + " is longer than the LVAL row that holds it");
  } else if (storage == kLongValueChained) {
    std::uint64_t total = 0;
    std::set<std::uint32_t> seen;
    RowPointer next = RowPointer::FromRaw(r.U32(4));
    while (!next.IsNull()) {
      if (!seen.insert(next.Raw()).second || seen.size() > kMaxChainPieces) {
        Report(row.page, what + " has a chain of LVAL rows that loops");
        return;
      }
      if (total >= length) {
        Report(row.page, what + " has a chain of LVAL rows that runs on past its length");
        return;
      }
      auto bytes = piece(next);
      if (!bytes) return;
      if (bytes->size() < kLongValueChainLink) {
        Report(next.page, what + " has a chain piece that is cut short");
        return;
      }
      total += bytes->size() - kLongValueChainLink;
      next = RowPointer::FromRaw(ByteReader(*bytes).U32(0));
    }
    if (total < length) Report(row.page, what + " has a chain of LVAL rows that ends early");
  } else {
    Report(row.page, what + " has an unknown storage kind " + std::to_string(storage));
  }
}

void Checker::CheckLongValueRows() {
  for (const auto& [page, owner] : longValueOwner_) {
    const auto* slots = badPages_.contains(page) ? nullptr : Slots(page);
    if (slots == nullptr) continue;
    for (std::size_t i = 0; i < slots->size(); ++i) {
      if ((*slots)[i].kind == SlotKind::kDeleted) continue;
      const RowPointer here{page, static_cast<std::uint8_t>(i)};
      const int refs = longValueRefs_[here.Raw()];
      if (refs != 1) {
        Report(page, "LVAL " + RowName(here) + " (" + owner + ") is named by " + std::to_string(refs) +
                         " memo values instead of one");
      }
    }
  }
}

void Checker::CheckIndexLeaves(const TableDef& def, std::size_t index,
                               const std::vector<std::uint32_t>& pages) {
  const std::string what = "index " + std::to_string(index) + " of table '" + def.name + "'";
  const auto& headers = headerRows_[def.page];
  std::uint64_t entries = 0;
  bool complete = true;
  for (std::uint32_t n : pages) {
    const Page* p = badPages_.contains(n) ? nullptr : PageAt(n);
    if (p == nullptr) {
      complete = false;
      continue;
    }
    if ((*p)[0] != kPageTypeIndexLeaf) continue;
    std::size_t start = kLeafEntries;
    for (std::size_t k = 0; kLeafEntries + k < kPageSize && kLeafBitmap + k / 8 < kLeafEntries; ++k) {
      if (((*p)[kLeafBitmap + k / 8] & (1u << (k % 8))) == 0) continue;
      const std::size_t end = kLeafEntries + k;
      if (end < start + 4) {
        Report(n, "an entry of " + what + " on page " + std::to_string(n) + " is too short to name a row");
        start = end;
        continue;
      }
      const RowPointer target{
          (std::uint32_t{(*p)[end - 4]} << 16) | (std::uint32_t{(*p)[end - 3]} << 8) | (*p)[end - 2],
          (*p)[end - 1]};
      if (!headers.contains(target.Raw())) {
        Report(n, "an entry of " + what + " on page " + std::to_string(n) + " names " + RowName(target) +
                      ", which is no row of the table");
      }
      ++entries;
      start = end;
    }
    if (ByteReader(*p).U16(kDataFreeSpace) != kPageSize - start) {
      Report(n, "index page " + std::to_string(n) + " of " + what + " says it has " +
                    std::to_string(ByteReader(*p).U16(kDataFreeSpace)) + " free bytes but has " +
                    std::to_string(kPageSize - start));
    }
  }
  const bool ignoresNulls = (def.realIndexes[index].flags & 0x02) != 0;
  if (complete && (ignoresNulls ? entries > def.rowCount : entries != def.rowCount)) {
    Report(def.page, what + " has " + std::to_string(entries) + " entries for " +
                         std::to_string(def.rowCount) + " rows");
  }
}

}  // namespace jet::integrity
