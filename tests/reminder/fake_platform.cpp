// The fakes' behaviour, as the real services behave.
#include "fake_platform.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "jet/errors.h"

namespace reminder::test {

void FakeWindow::RequestClose() {
  log.push_back("RequestClose");
  if (onCloseRequest && onCloseRequest()) destroyed = true, visible = false, log.push_back("Destroyed");
}

void FakeWindowOrder::SetWindowPos(WindowHandle window, std::int32_t insertAfter, int x, int y, int cx,
                                   int cy, std::uint32_t flags) {
  if (flags != kNoMoveNoSize || (x | y | cx | cy) != 0 ||
      (insertAfter != kTopmost && insertAfter != kNoTopmost)) {
    return log.push_back("SetWindowPos?");
  }
  const std::string other = window == FakeWindow::kHandle ? "" : " " + std::to_string(window);
  log.push_back((insertAfter == kTopmost ? "Topmost" : "NoTopmost") + other);
}

bool FakeNotifyIcon::ShellNotifyIcon(std::uint32_t message, const std::array<std::uint8_t, 88>& record) {
  lastRecord = record;
  const bool add = message == kAdd;
  log.push_back(add ? "IconAdd" : message == kDelete ? "IconDelete" : "Icon?");
  const bool changed = present != add;
  present = add;
  return changed;
}

std::intptr_t FakeShell::ShellExecute(std::uint32_t window, const std::string& operation,
                                      const std::string& file, const std::string& parameters,
                                      const std::string& folder, int show) {
  const bool ours = window == FakeWindow::kHandle && parameters.empty();
  log.push_back((ours ? "" : "?") + operation + " " + file + " " + folder + " " + std::to_string(show));
  return 2;  // ERROR_FILE_NOT_FOUND: nothing ships in the fake folder
}

namespace {
constexpr std::int32_t kInvalidHandle = 6;  // ERROR_INVALID_HANDLE

// Key paths compare case-insensitively, as the registry's do.
std::string KeyPath(Registry::Key root, const std::string& path) {
  std::string keyPath = std::to_string(root) + "|" + path;
  std::transform(keyPath.begin(), keyPath.end(), keyPath.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return keyPath;
}
}  // namespace

std::int32_t FakeRegistry::Opened(Key root, const std::string& path, Key* result) {
  const std::string keyPath = KeyPath(root, path);
  const auto value = values.lower_bound(keyPath + "|");
  const bool exists =
      keys.count(keyPath) != 0 ||
      (value != values.end() && value->first.compare(0, keyPath.size() + 1, keyPath + "|") == 0);
  if (!exists) return kFileNotFound;
  *result = nextKey_++;
  open[*result] = keyPath;
  return 0;
}

std::int32_t FakeRegistry::CreateKey(Key root, const std::string& path, Key* result) {
  calls.push_back(root == kLocalMachine ? "Create HKLM" : "Create HKCU");
  *result = 0;
  if (createError != 0) return createError;
  if (readOnlyRoots.count(root) != 0) return kAccessDenied;  // asks for every right
  keys.insert(KeyPath(root, path));
  return Opened(root, path, result);
}

std::int32_t FakeRegistry::OpenKey(Key root, const std::string& path, Key* result) {
  calls.push_back(root == kLocalMachine ? "Open HKLM" : "Open HKCU");
  *result = 0;
  return Opened(root, path, result);
}

std::int32_t FakeRegistry::QueryValue(Key key, const std::string& name) {
  if (open.count(key) == 0) return kInvalidHandle;
  return values.count(open[key] + "|" + name) != 0 ? 0 : kFileNotFound;
}

std::int32_t FakeRegistry::SetValueEx(Key key, const std::string& name, std::uint32_t type,
                                      const std::string& data) {
  calls.push_back("Set");
  if (open.count(key) == 0) return kInvalidHandle;
  if (readOnlyRoots.count(std::stoul(open[key])) != 0) return kAccessDenied;
  if (setError != 0) return setError;
  values[open[key] + "|" + name] = type == kRegSz ? data : "?";
  return 0;
}

std::int32_t FakeRegistry::DeleteValue(Key key, const std::string& name) {
  calls.push_back("Delete");
  if (open.count(key) == 0) return kInvalidHandle;
  if (readOnlyRoots.count(std::stoul(open[key])) != 0) return kAccessDenied;
  return values.erase(open[key] + "|" + name) != 0 ? 0 : kFileNotFound;
}

std::int32_t FakeRegistry::CloseKey(Key key) {
  calls.push_back("Close");
  if (closeFailures > 0) return --closeFailures, kInvalidHandle;
  return open.erase(key) != 0 ? 0 : kInvalidHandle;
}

std::string FakeClock::TimeOfDay() const {
  const auto seconds = static_cast<int>(dayMilliseconds / 1000);
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
  return text;
}

jet::Status FakeFileSystem::SetCurrentFolder(const std::string& folder) {
  log.push_back("cd " + folder);
  return jet::Ok();
}

jet::Result<std::string> FakeFileSystem::ReadFile(const std::string& path) const {
  const auto found = files.find(path);
  if (found == files.end()) return jet::MakeError(53, "File not found");
  return found->second;
}

jet::Status FakeFileSystem::WriteFileAtomically(const std::string& path, const std::string& bytes) {
  const std::string folder = path.substr(0, path.rfind('\\'));
  const bool holdsAFile = std::any_of(files.begin(), files.end(), [&](const auto& file) {
    return file.first.compare(0, folder.size() + 1, folder + '\\') == 0;
  });
  if (folders.count(folder) == 0 && !holdsAFile) return jet::MakeError(76, "Path not found");
  if (readOnlyFolders.count(folder) != 0) return jet::MakeError(75, "Path/File access error");
  files[path] = bytes;
  log.push_back("Save " + path.substr(folder.size() + 1));
  return jet::Ok();
}

}  // namespace reminder::test
