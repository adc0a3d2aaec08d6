// The fakes' recorded behaviour.
#include "fake_platform.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "jet/errors.h"

namespace reminder::test {

void FakeMessages::Show(const std::string& text, const std::string& title, MessageIcon icon) {
  shown.push_back({text, title, icon});
  log_.push_back("Message " + title);
}

FakeWindow::FakeWindow(Log& log) : log_(log) {}

void FakeWindow::Show() {
  visible = true;
  log_.push_back("Show");
}

void FakeWindow::Hide() {
  visible = false;
  log_.push_back("Hide");
}

void FakeWindow::Restore() { log_.push_back("Restore"); }

void FakeWindow::Focus() { log_.push_back("Focus"); }

void FakeWindow::RequestClose() {
  log_.push_back("RequestClose");
  if (onCloseRequest && onCloseRequest()) {
    destroyed = true;
    visible = false;
    log_.push_back("Destroyed");
  }
}

void FakeWindowOrder::SetWindowPos(WindowHandle window, std::int32_t insertAfter, int x, int y, int cx,
                                   int cy, std::uint32_t flags) {
  calls.push_back({window, insertAfter, x, y, cx, cy, flags});
  log_.push_back(insertAfter == kTopmost ? "Topmost" : "NoTopmost");
}

bool FakeNotifyIcon::ShellNotifyIcon(std::uint32_t message, const std::array<std::uint8_t, 88>& record) {
  messages.push_back(message);
  lastRecord = record;
  if (message == kAdd) {
    log_.push_back("IconAdd");
    if (present) return false;
    present = true;
    return true;
  }
  log_.push_back("IconDelete");
  const bool was = present;
  present = false;
  return was;
}

bool FakeClipboard::SetText(const std::string& value) {
  if (locked) return false;
  text = value;
  return true;
}

void FakeAbout::Show() {
  open = true;
  log_.push_back("AboutShow");
}

std::intptr_t FakeShell::ShellExecute(std::uint32_t window, const std::string& operation,
                                      const std::string& file, const std::string& parameters,
                                      const std::string& folder, int showCommand) {
  calls.push_back({window, operation, file, parameters, folder, showCommand});
  log_.push_back("ShellExecute " + file);
  return result;
}

void FakeAbout::Close() {
  open = false;
  log_.push_back("AboutClose");
}

namespace {
std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}
constexpr std::int32_t kErrorInvalidHandle = 6;
}  // namespace

std::int32_t FakeRegistry::CreateKey(Key root, const std::string& path, Key* result) {
  log_.push_back("RegCreateKey");
  *result = 0;
  if (createError != 0) return createError;
  if (readOnlyRoots.count(root) != 0) return kAccessDenied;  // asks for every right
  *result = nextKey_++;
  const std::string keyPath = std::to_string(root) + "|" + Lower(path);
  opened_[*result] = {root, keyPath};
  keys.insert(keyPath);
  openKeys.insert(*result);
  return 0;
}

std::int32_t FakeRegistry::OpenKey(Key root, const std::string& path, Key* result) {
  log_.push_back("RegOpenKey");
  *result = 0;
  const std::string keyPath = std::to_string(root) + "|" + Lower(path);
  if (!KeyExists(keyPath)) return kFileNotFound;
  *result = nextKey_++;
  opened_[*result] = {root, keyPath};
  openKeys.insert(*result);
  return 0;
}

bool FakeRegistry::KeyExists(const std::string& path) const {
  if (keys.count(path) != 0) return true;
  const auto next = values.lower_bound(path + "|");
  return next != values.end() && next->first.compare(0, path.size() + 1, path + "|") == 0;
}

std::string FakeRegistry::PathOf(Key key, const std::string& name) const {
  return opened_.at(key).path + "|" + name;
}

std::int32_t FakeRegistry::QueryValue(Key key, const std::string& name) {
  log_.push_back("RegQueryValue");
  if (openKeys.count(key) == 0) return kErrorInvalidHandle;
  return values.count(PathOf(key, name)) != 0 ? 0 : kFileNotFound;
}

std::int32_t FakeRegistry::SetValueEx(Key key, const std::string& name, std::uint32_t type,
                                      const std::string& data) {
  log_.push_back("RegSetValue");
  if (openKeys.count(key) == 0) return kErrorInvalidHandle;
  if (readOnlyRoots.count(opened_.at(key).root) != 0) return kAccessDenied;
  if (setError != 0) return setError;
  values[PathOf(key, name)] = {type, data};
  return 0;
}

std::int32_t FakeRegistry::DeleteValue(Key key, const std::string& name) {
  log_.push_back("RegDeleteValue");
  if (openKeys.count(key) == 0) return kErrorInvalidHandle;
  if (readOnlyRoots.count(opened_.at(key).root) != 0) return kAccessDenied;
  return values.erase(PathOf(key, name)) != 0 ? 0 : kFileNotFound;
}

std::int32_t FakeRegistry::CloseKey(Key key) {
  ++closeCalls;
  log_.push_back("RegCloseKey");
  if (closeFailures > 0) {
    --closeFailures;
    return kErrorInvalidHandle;
  }
  return openKeys.erase(key) != 0 ? 0 : kErrorInvalidHandle;
}

std::string FakeClock::TimeOfDay() const {
  const std::uint64_t seconds = dayMilliseconds / 1000;
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(seconds / 3600),
                static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
  return text;
}

void FakeClock::Advance(std::uint64_t ms) {
  milliseconds += ms;
  dayMilliseconds = (dayMilliseconds + ms) % (24 * 3600 * 1000);
}

void FakeClock::SetTime(int hours, int minutes, int seconds) {
  dayMilliseconds = static_cast<std::uint64_t>((hours * 3600 + minutes * 60 + seconds) * 1000);
}

void FakeBeeper::Beep() {
  ++beeps;
  log_.push_back("Beep");
}

void FakePump::DoEvents() {
  ++calls;
  if (onDoEvents) onDoEvents();
}

jet::Status FakeFileSystem::SetCurrentFolder(const std::string& folder) {
  currentFolder = folder;
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
  ++writes;
  return jet::Ok();
}

FakePlatform::FakePlatform()
    : platform{messages, pointer, window, order,   notifyIcon, clipboard, about, screen,   registry,
               shell,    clock,   beeper, program, instance,   pump,      files, userState} {}

}  // namespace reminder::test
