#include "fuzz_store.h"

#include <string>

#include "jet/database.h"
#include "jet/file_memory.h"
#include "jet/new_database.h"
#include "store/jet_verse_table.h"
#include "store/verse_schema.h"

namespace fuzz {

const std::vector<std::uint8_t>& VerseStoreBytes() {
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

std::vector<std::uint8_t> StoreFrom(const std::uint8_t* data, std::size_t size) {
  if (size >= jet::kPageSize) return {data, data + size};
  std::vector<std::uint8_t> bytes = VerseStoreBytes();
  for (std::size_t i = 0; i + 3 <= size; i += 3) {
    const std::size_t at = std::size_t{data[i]} * jet::kPageSize + std::size_t{data[i + 1]} * 8;
    if (at < bytes.size()) bytes[at] = data[i + 2];
  }
  return bytes;
}

void ReadEveryTable(jet::FileSystem& fs, bool writable) {
  auto db = jet::Database::Open(fs, kStorePath, jet::PagerOptions{.writable = writable, .lockTimeoutMs = 0});
  auto names = db.ok() ? (*db)->TableNames(true) : db.error();
  for (const auto& name : names.ok() ? *names : std::vector<std::string>{}) {
    auto def = (*db)->OpenTable(name);
    if (def.ok()) (void)(*db)->ReadAllRows(*def);
  }
}

}  // namespace fuzz
