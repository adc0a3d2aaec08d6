// The file system fake's writes: a folder must exist and allow changes, as on a real disk.
#include "fake_platform.h"

namespace reminder::test {

jet::Status FakeFileSystem::WriteFileAtomically(const std::string& path, const std::string& bytes) {
  const std::string folder = path.substr(0, path.rfind('\\'));
  const auto next = files.lower_bound(folder + '\\');
  const bool holdsAFile = next != files.end() && next->first.rfind(folder + '\\', 0) == 0;
  if (folders.count(folder) == 0 && !holdsAFile) return jet::MakeError(76, "Path not found");
  if (readOnlyFolders.count(folder) != 0) return jet::MakeError(75, "Path/File access error");
  files[path] = bytes;
  log.push_back("Save " + path.substr(folder.size() + 1));
  return jet::Ok();
}

}  // namespace reminder::test
