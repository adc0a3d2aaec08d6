// A new, uniquely named folder of the system's temporary area, removed with everything
// in it when the test is done. Paths are UTF-8 with the system's separator.
#pragma once

#include <string>

namespace support {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const;

 private:
  std::string path_;
};

}  // namespace support
