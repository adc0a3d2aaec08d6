// Temporary folders for tests that touch the real file system.
#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <random>
#include <system_error>

namespace support {
namespace {

namespace fs = std::filesystem;

std::string RandomSuffix() {
  static std::mt19937_64 engine{std::random_device{}()};
  static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kDigits - 2);
  std::string out;
  for (int i = 0; i < 10; ++i) out += kDigits[pick(engine)];
  return out;
}

}  // namespace

TempDir::TempDir() {
  const fs::path base = fs::temp_directory_path();
  // create_directory reports false when the name is taken, so a clash only costs a retry.
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = base / ("lumaret-test-" + RandomSuffix());
    std::error_code ec;
    if (fs::create_directory(candidate, ec)) {
      path_ = candidate.string();
      return;
    }
  }
  // Tests cannot go on without a folder; failing loudly here beats a confusing failure later.
  std::abort();
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(fs::path(path_), ec);
}

std::string TempDir::File(const std::string& name) const { return (fs::path(path_) / name).string(); }

}  // namespace support
