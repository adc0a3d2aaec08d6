#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <random>
#include <system_error>

namespace support {

namespace fs = std::filesystem;

TempDir::TempDir() {
  static std::mt19937_64 engine{std::random_device{}()};
  // create_directory reports false when the name is taken, so a clash only costs a retry.
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = fs::temp_directory_path() / ("lumaret-test-" + std::to_string(engine()));
    std::error_code ec;
    if (fs::create_directory(candidate, ec)) {
      path_ = candidate.string();
      return;
    }
  }
  std::abort();  // no test can go on without its folder
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(fs::path(path_), ec);
}

std::string TempDir::File(const std::string& name) const { return (fs::path(path_) / name).string(); }

}  // namespace support
