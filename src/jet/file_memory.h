// Files held in memory: for tests, fuzzing and tools that build a store before saving it.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "jet/file.h"

namespace jet {

// A folder of in-memory files. Handles opened from it share the file's bytes, and
// their locks conflict as handles of real files do.
class MemoryFileSystem final : public FileSystem {
 public:
  MemoryFileSystem();
  ~MemoryFileSystem() override;

  Result<std::unique_ptr<File>> Open(const std::string& path, OpenMode mode) override;
  Result<bool> Exists(const std::string& path) override;
  Status Remove(const std::string& path) override;
  Status Rename(const std::string& from, const std::string& to) override;
  // Any handle open on it.
  Result<bool> HeldOpen(const std::string& path) override;

  // Direct access to a file's bytes (created empty when missing).
  std::vector<std::uint8_t>& Bytes(const std::string& path);
  void SetBytes(const std::string& path, std::vector<std::uint8_t> bytes);

  struct Node;

 private:
  std::map<std::string, std::shared_ptr<Node>> files_;
};

}  // namespace jet
