#include "jet/journal.h"

#include <cstring>

#include "jet/byte_reader.h"
#include "jet/errors.h"

namespace jet {
namespace {

constexpr char kMagic[8] = {'L', 'm', 'r', 'J', 'n', 'l', '0', '1'};

std::uint32_t Fnv1a(std::span<const std::uint8_t> bytes, std::uint32_t hash = 2166136261u) {
  for (std::uint8_t b : bytes) hash = (hash ^ b) * 16777619u;
  return hash;
}

std::uint32_t Checksum(std::span<const std::uint8_t> journal) {
  std::uint32_t hash = Fnv1a(journal.first(24));
  return Fnv1a(journal.subspan(kJournalHeaderSize), hash);
}

}  // namespace

std::string JournalPath(const std::string& storePath) { return storePath + "-journal"; }

Bytes EncodeJournal(const JournalImage& image) {
  Bytes out(kJournalHeaderSize + image.pages.size() * kJournalRecordSize, 0);
  std::memcpy(out.data(), kMagic, sizeof kMagic);
  PutU32(out, 8, static_cast<std::uint32_t>(image.pages.size()));
  PutU32(out, 12, static_cast<std::uint32_t>(kPageSize));
  PutU64(out, 16, image.originalSize);
  std::size_t at = kJournalHeaderSize;
  for (const auto& [number, bytes] : image.pages) {
    PutU32(out, at, number);
    std::memcpy(out.data() + at + 4, bytes.data(), kPageSize);
    at += kJournalRecordSize;
  }
  PutU32(out, 24, Checksum(out));
  return out;
}

JournalRead DecodeJournal(std::span<const std::uint8_t> bytes) {
  JournalRead result;
  if (bytes.size() < kJournalHeaderSize || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) return result;
  ByteReader r(bytes);
  const std::uint32_t count = r.U32(8);
  if (r.U32(12) != kPageSize || bytes.size() != kJournalHeaderSize + std::uint64_t{count} * kJournalRecordSize) {
    return result;
  }
  if (r.U32(24) != Checksum(bytes)) return result;
  result.image.originalSize = r.U64(16);
  // No store was ever larger than an Access 97 file can be (1 GiB); rolling back to a
  // larger size would grow the file without bound.
  if (result.image.originalSize > std::uint64_t{0x80000} * kPageSize) return JournalRead{};
  for (std::size_t i = 0, at = kJournalHeaderSize; i < count; ++i, at += kJournalRecordSize) {
    const std::uint32_t number = r.U32(at);
    // A record past the old end of the file could only come from a damaged journal.
    if (std::uint64_t{number} * kPageSize >= result.image.originalSize) return JournalRead{};
    auto page = bytes.subspan(at + 4, kPageSize);
    result.image.pages[number] = Bytes(page.begin(), page.end());
  }
  result.valid = true;
  return result;
}

Result<JournalFile> LoadJournal(FileSystem& fs, const std::string& storePath) {
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
  JET_ASSIGN(std::uint64_t size, (*opened)->Size());
  if (size > kJournalHeaderSize + std::uint64_t{0x80000} * kJournalRecordSize) return file;  // not ours: invalid
  Bytes bytes(static_cast<std::size_t>(size));
  JET_ASSIGN(std::size_t n, (*opened)->Read(0, bytes));
  bytes.resize(n);
  file.read = DecodeJournal(bytes);
  return file;
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
