// The rollback journal: the pages a write is about to change, as they were, kept
// in "<store>-journal" until the write is complete.
#pragma once

#include <array>
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
//   0  8  magic "LmrJnl02"
//   8  4  number of page records
//  12  4  page size (kPageSize)
//  16  8  the store's size in bytes before the write
//  24  4  FNV-1a checksum of every other byte of the journal (header, then records)
//  28  4  zero
//  32  8  the store's size in bytes after the write
//  40  .. records: page number (4) + the page's old bytes (kPageSize) + the FNV-1a hash of
//         each quarter (512 bytes, a disk sector) of the page's new bytes (4 x 4)
// A journal whose length, magic or checksum does not match was never completed, so
// the store was not touched yet: it is discarded, not applied.
//
// Which store a journal belongs to. A journal outlives its writer only by a crash,
// and the store it was written for then holds, in every journalled page, each sector
// either as it was (old bytes) or as the write made it (new hashes), and a size
// between the two sizes. Another store (a backup put back, a reinstalled or newly
// created file) almost never does: its pages differ from both, or its size is out of
// range. So the journal is applied only where every sector matches one of the two;
// anything else means the journal is foreign, and it is set aside, never applied.
// Checking content rather than a stamp also covers a backup of this very store.
inline constexpr std::size_t kJournalHeaderSize = 40;
inline constexpr std::size_t kJournalSectorSize = 512;
inline constexpr std::size_t kJournalSectors = kPageSize / kJournalSectorSize;
inline constexpr std::size_t kJournalRecordSize = 4 + kPageSize + 4 * kJournalSectors;

using SectorHashes = std::array<std::uint32_t, kJournalSectors>;

struct JournalImage {
  std::uint64_t originalSize = 0;
  std::uint64_t newSize = 0;
  std::map<std::uint32_t, Bytes> pages;           // page number -> old bytes
  std::map<std::uint32_t, SectorHashes> written;  // page number -> hashes of the new bytes
};

// The journal's name for a store.
std::string JournalPath(const std::string& storePath);

SectorHashes HashSectors(std::span<const std::uint8_t> page);

Bytes EncodeJournal(const JournalImage& image);
// The checksum stored at offset 24 of a journal's bytes.
std::uint32_t JournalChecksum(std::span<const std::uint8_t> journal);

// Decodes a journal. An incomplete or damaged one is not an error: it says nothing
// about the store, and `valid` is false.
struct JournalRead {
  bool valid = false;
  JournalImage image;
};
JournalRead DecodeJournal(std::span<const std::uint8_t> bytes);

// Reads the journal of `storePath`, if there is one; `exists` tells. It is read one
// record at a time, and its pages are kept only while they fit a store of
// `storeSize` bytes (a larger journal cannot belong to it: `fits` is false then).
struct JournalFile {
  bool exists = false;
  bool fits = true;
  JournalRead read;
};
Result<JournalFile> LoadJournal(FileSystem& fs, const std::string& storePath, std::uint64_t storeSize);

// Whether a valid journal was written for `store` as it now is (see above).
Result<bool> JournalBelongs(File& store, const JournalImage& image);

// Renames the journal of `storePath` to a free name beside it and returns that name.
Result<std::string> SetJournalAside(FileSystem& fs, const std::string& storePath);

// Puts the pages of a valid journal back into `store`, cuts it to its old size and
// syncs it. The caller removes the journal afterwards.
Status ApplyJournal(File& store, const JournalImage& image);

}  // namespace jet
