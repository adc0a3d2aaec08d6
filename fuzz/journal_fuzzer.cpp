// Fuzz target: the rollback journal a dead writer left beside a store. Opening the store
// puts it back from the journal (writable) or reads through it (read-only); a damaged
// journal may not crash, hang or grow the file without bound. Its checksum is set to
// match, as a journal damaged after it was written could still carry a matching one.
//
// Input: bytes starting "LmrJnl" are the journal, beside the verse store. Otherwise byte
// 0 % 3 chooses: 0 the rest is the journal; 1 a 2-byte length, that many bytes of
// journal, then the store; 2 a real journal of the verse store (its write cut off by a
// crash) beside the store the rest gives, as fuzz::StoreFrom reads it.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "fuzz_store.h"
#include "jet/file_memory.h"
#include "jet/journal.h"
#include "store/jet_verse_table.h"
#include "support/faulty_file_system.h"

namespace {

using fuzz::kStorePath;

// The journal a crash left in the middle of adding a row to the verse store.
const std::vector<std::uint8_t>& RealJournal() {
  static const std::vector<std::uint8_t> bytes = [] {
    jet::MemoryFileSystem fs;
    fs.SetBytes(kStorePath, fuzz::VerseStoreBytes());
    support::FaultyFileSystem faulty(fs);
    faulty.FailAt(5, support::FaultyFileSystem::Mode::kCrash);  // after the journal, during the pages
    store::JetVerseTable table(faulty, kStorePath);
    (void)table.Insert({"Jude", "1", "24", std::string(2500, 'j'), false});
    return fs.Bytes(jet::JournalPath(kStorePath));
  }();
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> journal(data, data + size);
  std::vector<std::uint8_t> store = fuzz::VerseStoreBytes();
  bool real = false;
  if (size > 0 && (size < 6 || std::string(data, data + 6) != "LmrJnl")) {
    const std::uint8_t* rest = data + 1;
    std::size_t restSize = size - 1;
    switch (data[0] % 3) {
      case 0: journal.assign(rest, rest + restSize); break;
      case 1: {
        const std::size_t length =
            restSize < 2
                ? 0
                : std::min<std::size_t>(restSize - 2, std::size_t{rest[0]} | std::size_t{rest[1]} << 8);
        journal.assign(rest + 2, rest + 2 + length);
        if (restSize >= 2) store = fuzz::StoreFrom(rest + 2 + length, restSize - 2 - length);
        break;
      }
      default:
        journal = RealJournal();
        store = fuzz::StoreFrom(rest, restSize);
        real = true;
        break;
    }
  }
  if (!real && journal.size() >= jet::kJournalHeaderSize) {
    for (std::size_t i = 0, sum = jet::JournalChecksum(journal); i < 4; ++i)
      journal[24 + i] = static_cast<std::uint8_t>(sum >> (8 * i));
  }
  for (bool writable : {false, true}) {
    jet::MemoryFileSystem fs;
    fs.SetBytes(kStorePath, store);
    fs.SetBytes(jet::JournalPath(kStorePath), journal);
    fuzz::ReadEveryTable(fs, writable);
    const std::string foreign = jet::JournalPath(kStorePath) + "-foreign";
    if (*fs.Exists(foreign) && fs.Bytes(foreign) != journal)
      std::abort();  // a journal set aside is kept as it was
  }
  return 0;
}
