// Fuzz target: the rollback journal a dead writer left beside a store. Opening the
// store puts it back from the journal (for writing) or reads it through the journal
// (read-only); either way a damaged journal may not crash, hang or grow the file
// without bound. The input's checksum field is set to match, as a journal damaged
// after it was written could still carry a matching one.
#include <cstdint>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/file_memory.h"
#include "jet/journal.h"
#include "jet/new_database.h"
#include "store/jet_verse_table.h"
#include "store/verse_schema.h"

namespace {

constexpr const char* kPath = "verse97.mdb";

// A new verse store with a few rows, made once.
const std::vector<std::uint8_t>& StoreBytes() {
  static const std::vector<std::uint8_t> bytes = [] {
    jet::MemoryFileSystem fs;
    auto schema = store::VerseTableSchema();
    auto fresh = jet::BuildNewDatabase(*schema, 45000.5);
    fs.SetBytes(kPath, *fresh);
    store::JetVerseTable table(fs, kPath);
    (void)table.Insert({"John", "3", "16", "For God so loved the world", false});
    (void)table.Insert({"Psalms", "23", "1", std::string(3000, 's'), true});
    return fs.Bytes(kPath);
  }();
  return bytes;
}

void ReadEveryTable(jet::FileSystem& fs, bool writable) {
  auto db = jet::Database::Open(fs, kPath, jet::PagerOptions{.writable = writable, .lockTimeoutMs = 0});
  if (!db.ok()) return;
  auto names = (*db)->TableNames(true);
  if (!names.ok()) return;
  for (const auto& name : *names) {
    auto def = (*db)->OpenTable(name);
    if (!def.ok()) continue;
    (void)(*db)->Scan(*def, [&](const jet::RowRef& row) { return (*db)->RowValues(*def, row.bytes).ok(); });
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> journal(data, data + size);
  if (journal.size() >= jet::kJournalHeaderSize) {
    const std::uint32_t sum = jet::JournalChecksum(journal);
    for (int i = 0; i < 4; ++i)
      journal[24 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(sum >> (8 * i));
  }
  for (bool writable : {false, true}) {
    jet::MemoryFileSystem fs;
    fs.SetBytes(kPath, StoreBytes());
    fs.SetBytes(jet::JournalPath(kPath), journal);
    ReadEveryTable(fs, writable);
  }
  return 0;
}
