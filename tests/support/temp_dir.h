// A folder of the system's temporary area that lives as long as the test needs it.
#pragma once


#include <string>

namespace support {

// Creates a new, empty, uniquely named folder on construction and removes it with
// everything in it on destruction. Paths are UTF-8 with the system's separator.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder itself.
  const std::string& path() const { return path_; }
  // A path inside the folder; `name` is a plain file name.
  std::string File(const std::string& name) const;

 private:
  std::string path_;
};

}  // namespace support
