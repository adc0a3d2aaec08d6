// The rollback journal: the pages a write is about to change, as they were, kept
// in "<store>-journal" until the write is complete.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>

#include "jet/file.h"
#include "jet/result.h"
#include "jet/table_def.h"
#include "jet/value.h"

namespace jet {

// Layout (little-endian):
//   0  8  magic "LmrJnl01"
//   8  4  number of page records
//  12  4  page size (2048)
//  16  8  the store's size in bytes before the write
//  24  4  FNV-1a checksum of bytes 0-23 and every record
//  28  4  zero
//  32  .. records: page number (4) + the page's old bytes (2048)
// A journal whose length, magic or checksum does not match was never completed, so
// the store was not touched yet: it is discarded, not applied.
inline constexpr std::size_t kJournalHeaderSize = 32;
inline constexpr std::size_t kJournalRecordSize = 4 + kPageSize;

struct JournalImage {
  std::uint64_t originalSize = 0;
  std::map<std::uint32_t, Bytes> pages;  // page number -> old bytes
};

// The journal's name for a store.
std::string JournalPath(const std::string& storePath);

Bytes EncodeJournal(const JournalImage& image);

// Decodes a journal. An incomplete or damaged one is not an error: it says nothing
// about the store, and `valid` is false.
struct JournalRead {
  bool valid = false;
  JournalImage image;
};
JournalRead DecodeJournal(std::span<const std::uint8_t> bytes);

// Reads the journal of `storePath`, if there is one; `exists` tells.
struct JournalFile {
  bool exists = false;
  JournalRead read;
};
Result<JournalFile> LoadJournal(FileSystem& fs, const std::string& storePath);

// Puts the pages of a valid journal back into `store`, cuts it to its old size and
// syncs it. The caller removes the journal afterwards.
Status ApplyJournal(File& store, const JournalImage& image);

}  // namespace jet
