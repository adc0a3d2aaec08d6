// A new, uniquely named folder of the system's temporary area, removed with everything
// in it when the test is done. Paths are UTF-8 with the system's separator.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace support {

class TempDir {
 public:
  TempDir() {
    static std::mt19937_64 engine{std::random_device{}()};
    // create_directory reports false when the name is taken, so a clash only costs a retry.
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      const auto candidate =
          std::filesystem::temp_directory_path() / ("lumaret-test-" + std::to_string(engine()));
      std::error_code ec;
      if (std::filesystem::create_directory(candidate, ec)) path_ = candidate.string();
    }
    if (path_.empty()) std::abort();  // no test can go on without its folder
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return (std::filesystem::path(path_) / name).string(); }

 private:
  std::string path_;
};

}  // namespace support
