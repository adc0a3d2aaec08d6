// What the fuzz targets share: the verse store they start from and a read of every value.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "jet/database.h"
#include "jet/file_memory.h"
#include "jet/new_database.h"
#include "store/jet_verse_table.h"
#include "store/verse_schema.h"

namespace fuzz {

inline constexpr const char* kStorePath = "verse97.mdb";

// A new verse store with three rows (one with a memo on its own page), made once.
inline const std::vector<std::uint8_t>& VerseStoreBytes() {
  static const std::vector<std::uint8_t> bytes = [] {
    jet::MemoryFileSystem fs;
    fs.SetBytes(kStorePath, *jet::BuildNewDatabase(*store::VerseTableSchema(), 45000.5));
    store::JetVerseTable table(fs, kStorePath);
    (void)table.Insert({"John", "3", "16", "For God so loved the world", false});
    (void)table.Insert({"Psalms", "23", "1", std::string(3000, 's'), true});
    (void)table.Insert({"Jude", "1", "24", "Now unto him", false});
    return fs.Bytes(kStorePath);
  }();
  return bytes;
}

// `size` bytes of a whole page or more are the store itself; fewer are patches of 3 bytes
// (page, offset / 8, value) to the verse store.
inline std::vector<std::uint8_t> StoreFrom(const std::uint8_t* data, std::size_t size) {
  if (size >= jet::kPageSize) return {data, data + size};
  std::vector<std::uint8_t> bytes = VerseStoreBytes();
  for (std::size_t i = 0; i + 3 <= size; i += 3) {
    const std::size_t at = std::size_t{data[i]} * jet::kPageSize + std::size_t{data[i + 1]} * 8;
    if (at < bytes.size()) bytes[at] = data[i + 2];
  }
  return bytes;
}

// Opens the store and reads every row of every table, ignoring failures.
inline void ReadEveryTable(jet::FileSystem& fs, bool writable) {
  auto db = jet::Database::Open(fs, kStorePath, jet::PagerOptions{.writable = writable, .lockTimeoutMs = 0});
  auto names = db.ok() ? (*db)->TableNames(true) : db.error();
  for (const auto& name : names.ok() ? *names : std::vector<std::string>{}) {
    auto def = (*db)->OpenTable(name);
    if (!def.ok()) continue;
    // The reader that copies and the one that hands out views must agree: on every
    // row, which fields are null, and the bytes of every text, binary and long value.
    auto all = (*db)->ReadAllRows(*def);
    std::size_t row = 0;
    auto viewed =
        (*db)->ScanFields(*def, [&](jet::RowId, std::span<const jet::Field> fields) -> jet::Result<bool> {
          if (!all.ok()) return true;
          if (row >= all->size()) std::abort();
          const auto& values = (*all)[row++].values;
          for (std::size_t i = 0; i < fields.size(); ++i) {
            const jet::Value& v = values[i];
            const bool boolean = def->columns[i].type == jet::ColumnType::kBoolean;
            if (fields[i].present != (boolean ? std::get<bool>(v) : !jet::IsNull(v))) std::abort();
            const auto* text = std::get_if<jet::Text>(&v);
            const auto* bytes = text != nullptr ? &text->bytes : std::get_if<jet::Bytes>(&v);
            if (bytes != nullptr && !std::ranges::equal(*bytes, fields[i].bytes)) std::abort();
          }
          return true;
        });
    if (all.ok() && (!viewed.ok() || row != all->size())) std::abort();
  }
}

}  // namespace fuzz
