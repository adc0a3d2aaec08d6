// Opens files as a read-only file or folder lets them be opened: reading works,
// opening for writing and removing are denied.
#pragma once

#include <memory>
#include <string>

#include "jet/errors.h"
#include "jet/file.h"

namespace support {

class ReadOnlyFileSystem final : public jet::FileSystem {
 public:
  explicit ReadOnlyFileSystem(jet::FileSystem& inner) : inner_(inner) {}
  jet::Result<std::unique_ptr<jet::File>> Open(const std::string& path, jet::OpenMode mode) override {
    if (mode != jet::OpenMode::kReadOnly) return jet::MakeError(jet::kErrCannotOpen, "Access is denied.");
    return inner_.Open(path, mode);
  }
  jet::Result<bool> Exists(const std::string& path) override { return inner_.Exists(path); }
  jet::Status Remove(const std::string&) override {
    return jet::MakeError(jet::kErrReadOnly, "Access is denied.");
  }

 private:
  jet::FileSystem& inner_;
};

}  // namespace support
