#include "jet/file_memory.h"

#include <algorithm>
#include <cstring>

#include "jet/errors.h"

namespace jet {

struct MemoryFileSystem::Node {
  struct Lock {
    const void* owner;
    std::uint64_t offset;
    std::uint64_t length;
    LockKind kind;
  };
  std::vector<std::uint8_t> bytes;
  std::vector<Lock> locks;
};

namespace {

class MemoryFile final : public File {
 public:
  MemoryFile(std::shared_ptr<MemoryFileSystem::Node> node, bool writable)
      : node_(std::move(node)), writable_(writable) {}
  ~MemoryFile() override {
    auto& locks = node_->locks;
    locks.erase(std::remove_if(locks.begin(), locks.end(), [this](const auto& l) { return l.owner == this; }),
                locks.end());
  }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  Result<std::size_t> Read(std::uint64_t offset, std::span<std::uint8_t> out) override {
    const auto& bytes = node_->bytes;
    if (offset >= bytes.size()) return std::size_t{0};
    std::size_t n = std::min<std::size_t>(out.size(), bytes.size() - static_cast<std::size_t>(offset));
    // An empty span may have a null data(), which memcpy must not see even for zero bytes.
    if (n != 0) std::memcpy(out.data(), bytes.data() + offset, n);
    return n;
  }

  Status Write(std::uint64_t offset, std::span<const std::uint8_t> data) override {
    if (!writable_) return MakeError(kErrReadOnly, "The file is open for reading only.");
    auto& bytes = node_->bytes;
    if (offset + data.size() > bytes.size()) bytes.resize(static_cast<std::size_t>(offset + data.size()));
    if (!data.empty()) std::memcpy(bytes.data() + offset, data.data(), data.size());
    return Ok();
  }

  Result<std::uint64_t> Size() override { return static_cast<std::uint64_t>(node_->bytes.size()); }

  Status Truncate(std::uint64_t size) override {
    if (!writable_) return MakeError(kErrReadOnly, "The file is open for reading only.");
    node_->bytes.resize(static_cast<std::size_t>(size));
    return Ok();
  }

  Status Sync() override { return Ok(); }

  Status TryLock(std::uint64_t offset, std::uint64_t length, LockKind kind) override {
    for (const auto& l : node_->locks) {
      bool overlap = l.offset < offset + length && offset < l.offset + l.length;
      if (!overlap) continue;
      // As on Windows: only two shared locks may overlap, whichever handle holds them.
      bool conflict = kind == LockKind::kExclusive || l.kind == LockKind::kExclusive;
      if (conflict) return MakeError(kErrLocked, "Couldn't update; currently locked.");
    }
    node_->locks.push_back({this, offset, length, kind});
    return Ok();
  }

  Status Unlock(std::uint64_t offset, std::uint64_t length) override {
    auto& locks = node_->locks;
    auto it = std::find_if(locks.begin(), locks.end(), [&](const auto& l) {
      return l.owner == this && l.offset == offset && l.length == length;
    });
    if (it == locks.end()) return MakeError(kErrDiskIo, "Unlock of a range that is not locked.");
    locks.erase(it);
    return Ok();
  }

 private:
  std::shared_ptr<MemoryFileSystem::Node> node_;
  bool writable_;
};

}  // namespace

MemoryFileSystem::MemoryFileSystem() = default;
MemoryFileSystem::~MemoryFileSystem() = default;

Result<std::unique_ptr<File>> MemoryFileSystem::Open(const std::string& path, OpenMode mode) {
  auto it = files_.find(path);
  if (it == files_.end()) {
    if (mode != OpenMode::kCreate) return MakeError(kErrFileNotFound, "Could not find file '" + path + "'.");
    it = files_.emplace(path, std::make_shared<Node>()).first;
  }
  return std::unique_ptr<File>(new MemoryFile(it->second, mode != OpenMode::kReadOnly));
}

Result<bool> MemoryFileSystem::Exists(const std::string& path) { return files_.count(path) != 0; }

Status MemoryFileSystem::Remove(const std::string& path) {
  files_.erase(path);
  return Ok();
}

Result<bool> MemoryFileSystem::HeldOpen(const std::string& path) {
  auto it = files_.find(path);
  return it != files_.end() && it->second.use_count() > 1;
}

Status MemoryFileSystem::Rename(const std::string& from, const std::string& to) {
  auto it = files_.find(from);
  if (it == files_.end()) return MakeError(kErrFileNotFound, "Could not find file '" + from + "'.");
  auto node = it->second;
  files_.erase(it);
  files_[to] = std::move(node);
  return Ok();
}

std::vector<std::uint8_t>& MemoryFileSystem::Bytes(const std::string& path) {
  auto& node = files_[path];
  if (!node) node = std::make_shared<Node>();
  return node->bytes;
}

void MemoryFileSystem::SetBytes(const std::string& path, std::vector<std::uint8_t> bytes) {
  Bytes(path) = std::move(bytes);
}

}  // namespace jet
