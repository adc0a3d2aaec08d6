// The fakes' behaviour, as the real services behave.
#include "fake_platform.h"

namespace reminder::test {

void FakePlatform::SetWindowPos(WindowHandle handle, std::int32_t after, int x, int y, int cx, int cy,
                                std::uint32_t flags) {
  if (flags != kNoMoveNoSize || (x | y | cx | cy) != 0 || (after != kTopmost && after != kNoTopmost)) {
    return log.push_back("SetWindowPos?");
  }
  const std::string other = handle == FakeWindow::kHandle ? "" : " " + std::to_string(handle);
  log.push_back((after == kTopmost ? "Topmost" : "NoTopmost") + other);
}

std::intptr_t FakePlatform::ShellExecute(std::uint32_t handle, const std::string& operation,
                                         const std::string& file, const std::string& parameters,
                                         const std::string& where, int show) {
  const bool ours = handle == FakeWindow::kHandle && parameters.empty();
  log.push_back((ours ? "" : "?") + operation + " " + file + " " + where + " " + std::to_string(show));
  return 2;  // ERROR_FILE_NOT_FOUND: nothing ships in the fake folder
}

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
