#include "jet/journal.h"

#include <cstring>

#include "jet/byte_reader.h"
#include "jet/errors.h"

namespace jet {
namespace {

constexpr char kMagic[8] = {'L', 'm', 'r', 'J', 'n', 'l', '0', '2'};
constexpr std::uint32_t kFnvStart = 2166136261u;

std::uint32_t Fnv1a(std::span<const std::uint8_t> bytes, std::uint32_t hash = kFnvStart) {
  for (std::uint8_t b : bytes) hash = (hash ^ b) * 16777619u;
  return hash;
}

// The header's checksum-free bytes, hashed.
std::uint32_t HeaderHash(std::span<const std::uint8_t> header) {
  return Fnv1a(header.subspan(28, kJournalHeaderSize - 28), Fnv1a(header.first(24)));
}

struct Header {
  std::uint32_t count = 0;
  std::uint64_t originalSize = 0;
  std::uint64_t newSize = 0;
  std::uint32_t checksum = 0;
};

// The header, if it is one of ours and the journal's length agrees with it.
bool ReadHeader(std::span<const std::uint8_t> header, std::uint64_t journalSize, Header& h) {
  if (header.size() < kJournalHeaderSize || std::memcmp(header.data(), kMagic, sizeof kMagic) != 0) return false;
  ByteReader r(header);
  h.count = r.U32(8);
  h.originalSize = r.U64(16);
  h.checksum = r.U32(24);
  h.newSize = r.U64(32);
  return r.U32(12) == kPageSize && journalSize == kJournalHeaderSize + std::uint64_t{h.count} * kJournalRecordSize;
}

// Whether the records can describe a store of the sizes the header gives, and one
// of `storeSize` bytes: rolling back to an impossible size would grow the file
// without bound, and a record past the old end could only come from a damaged journal.
bool Fits(const Header& h, std::uint64_t storeSize) {
  return h.originalSize <= kMaxFileSize && h.originalSize <= h.newSize && h.newSize <= kMaxFileSize &&
         h.originalSize <= storeSize && h.count <= h.originalSize / kPageSize;
}

// Adds one record to `image`; false when it cannot belong to the header's store.
bool TakeRecord(std::span<const std::uint8_t> record, const Header& h, JournalImage& image) {
  ByteReader r(record);
  const std::uint32_t number = r.U32(0);
  if (std::uint64_t{number} * kPageSize >= h.originalSize) return false;
  auto old = record.subspan(4, kPageSize);
  image.pages[number] = Bytes(old.begin(), old.end());
  SectorHashes& hashes = image.written[number];
  for (std::size_t i = 0; i < kJournalSectors; ++i) hashes[i] = r.U32(4 + kPageSize + 4 * i);
  return true;
}

}  // namespace

std::string JournalPath(const std::string& storePath) { return storePath + "-journal"; }

SectorHashes HashSectors(std::span<const std::uint8_t> page) {
  SectorHashes hashes{};
  for (std::size_t i = 0; i < kJournalSectors; ++i) {
    hashes[i] = Fnv1a(page.subspan(i * kJournalSectorSize, kJournalSectorSize));
  }
  return hashes;
}

std::uint32_t JournalChecksum(std::span<const std::uint8_t> journal) {
  if (journal.size() < kJournalHeaderSize) return 0;
  return Fnv1a(journal.subspan(kJournalHeaderSize), HeaderHash(journal));
}

Bytes EncodeJournal(const JournalImage& image) {
  Bytes out(kJournalHeaderSize + image.pages.size() * kJournalRecordSize, 0);
  std::memcpy(out.data(), kMagic, sizeof kMagic);
  PutU32(out, 8, static_cast<std::uint32_t>(image.pages.size()));
  PutU32(out, 12, static_cast<std::uint32_t>(kPageSize));
  PutU64(out, 16, image.originalSize);
  PutU64(out, 32, image.newSize);
  std::size_t at = kJournalHeaderSize;
  for (const auto& [number, bytes] : image.pages) {
    PutU32(out, at, number);
    std::memcpy(out.data() + at + 4, bytes.data(), kPageSize);
    auto hashes = image.written.find(number);
    for (std::size_t i = 0; i < kJournalSectors; ++i) {
      PutU32(out, at + 4 + kPageSize + 4 * i, hashes != image.written.end() ? hashes->second[i] : 0);
    }
    at += kJournalRecordSize;
  }
  PutU32(out, 24, JournalChecksum(out));
  return out;
}

JournalRead DecodeJournal(std::span<const std::uint8_t> bytes) {
  JournalRead result;
  Header h;
  if (!ReadHeader(bytes, bytes.size(), h) || h.checksum != JournalChecksum(bytes)) return result;
  if (!Fits(h, kMaxFileSize)) return result;
  result.image.originalSize = h.originalSize;
  result.image.newSize = h.newSize;
  for (std::size_t i = 0, at = kJournalHeaderSize; i < h.count; ++i, at += kJournalRecordSize) {
    if (!TakeRecord(bytes.subspan(at, kJournalRecordSize), h, result.image)) return JournalRead{};
  }
  result.valid = true;
  return result;
}

Result<JournalFile> LoadJournal(FileSystem& fs, const std::string& storePath, std::uint64_t storeSize) try {
  JournalFile file;
  const std::string path = JournalPath(storePath);
  JET_ASSIGN(file.exists, fs.Exists(path));
  if (!file.exists) return file;
  auto opened = fs.Open(path, OpenMode::kReadOnly);
  if (!opened.ok()) {
    // Removed by its writer between the two calls.
    if (opened.error().number == kErrFileNotFound) return JournalFile{};
    return opened.error();
  }
  File& journal = **opened;
  JET_ASSIGN(std::uint64_t size, journal.Size());
  Bytes header(kJournalHeaderSize);
  JET_ASSIGN(std::size_t n, journal.Read(0, header));
  Header h;
  if (n != kJournalHeaderSize || !ReadHeader(header, size, h)) return file;  // incomplete
  // One record at a time: the checksum over all of them, the pages only while they
  // can belong to this store (so a huge journal costs reading, not memory).
  file.fits = Fits(h, storeSize);
  JournalImage image;
  image.originalSize = h.originalSize;
  image.newSize = h.newSize;
  std::uint32_t sum = HeaderHash(header);
  Bytes record(kJournalRecordSize);
  for (std::uint32_t i = 0; i < h.count; ++i) {
    JET_ASSIGN(std::size_t got, journal.Read(kJournalHeaderSize + std::uint64_t{i} * kJournalRecordSize, record));
    if (got != kJournalRecordSize) return file;  // cut short while we read: incomplete
    sum = Fnv1a(record, sum);
    if (file.fits && !TakeRecord(record, h, image)) file.fits = false;
    if (!file.fits) image = JournalImage{};
  }
  if (sum != h.checksum) return JournalFile{true, true, {}};
  file.read.valid = true;
  file.read.image = std::move(image);
  return file;
} catch (const std::exception& e) {
  return OutOfMemory(e);
}

Result<bool> JournalBelongs(File& store, const JournalImage& image) {
  JET_ASSIGN(std::uint64_t size, store.Size());
  if (size < image.originalSize || size > image.newSize) return false;
  Bytes page(kPageSize);
  for (const auto& [number, old] : image.pages) {
    JET_ASSIGN(std::size_t n, store.Read(std::uint64_t{number} * kPageSize, page));
    if (n != kPageSize) return false;
    const SectorHashes now = HashSectors(page);
    const auto& written = image.written.at(number);
    for (std::size_t i = 0; i < kJournalSectors; ++i) {
      const bool asBefore = std::memcmp(page.data() + i * kJournalSectorSize, old.data() + i * kJournalSectorSize,
                                        kJournalSectorSize) == 0;
      if (!asBefore && now[i] != written[i]) return false;
    }
  }
  return true;
}

Result<std::string> SetJournalAside(FileSystem& fs, const std::string& storePath) {
  const std::string from = JournalPath(storePath);
  for (int k = 1; k <= 99; ++k) {
    std::string to = from + "-foreign" + (k == 1 ? "" : "-" + std::to_string(k));
    JET_ASSIGN(bool taken, fs.Exists(to));
    if (taken) continue;
    JET_TRY(fs.Rename(from, to));
    return to;
  }
  return MakeError(kErrFileInUse, "There is no free name to set aside the journal '" + from + "'.");
}

Status ApplyJournal(File& store, const JournalImage& image) {
  for (const auto& [number, bytes] : image.pages) {
    JET_TRY(store.Write(std::uint64_t{number} * kPageSize, bytes));
  }
  JET_ASSIGN(std::uint64_t size, store.Size());
  if (size != image.originalSize) JET_TRY(store.Truncate(image.originalSize));
  return store.Sync();
}

}  // namespace jet
