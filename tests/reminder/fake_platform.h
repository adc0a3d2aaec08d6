// A fake of every service the reminder's logic uses, behaving as the real ones do. What a
// user would notice goes to one log, with its arguments, in the order it happened.
#pragma once

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "jet/errors.h"
#include "reminder/platform.h"

namespace reminder::test {

using Log = std::vector<std::string>;

struct FakeWindow : Window {
  static constexpr WindowHandle kHandle = 0x00010ABC;
  explicit FakeWindow(Log& to) : log(to) {}
  WindowHandle Handle() const override { return kHandle; }
  std::uint32_t IconHandle() const override { return 0x00020DEF; }
  std::string Caption() const override { return "Lumaret"; }
  TwipsRect Bounds() const override { return bounds; }
  void SetLeft(std::int32_t left) override { bounds.left = left; }
  void SetTop(std::int32_t top) override { bounds.top = top; }
  void Show() override { visible = true, log.push_back("Show"); }
  void Hide() override { visible = false, log.push_back("Hide"); }
  void Restore() override { log.push_back("Restore"); }
  void Focus() override { log.push_back("Focus"); }
  void RequestClose() override {  // the window goes only when the close handler lets it
    log.push_back("RequestClose");
    if (onCloseRequest && onCloseRequest()) destroyed = true, visible = false, log.push_back("Destroyed");
  }
  void ShowChoices(const Choices& shown) override { choices = shown; }
  void ShowVerse(const store::VerseRecord& record) override { verse = record; }
  void SetNextVerseToolTip(const std::string& text) override { toolTips.push_back(text); }
  Log& log;
  Choices choices{-7, -1, false, false};  // none shown yet
  TwipsRect bounds{1200, 900, 7350, 5670};
  bool visible = false, destroyed = false;
  store::VerseRecord verse;
  std::vector<std::string> toolTips;
  std::function<bool()> onCloseRequest;
};

// Keys "root|key path" (lower case: paths compare case-insensitively) and values by
// "root|key path|name"; roots the user may read but not change refuse with 5; a key not
// open refuses with 6.
struct FakeRegistry : Registry {
  std::int32_t CreateKey(Key root, const std::string& path, Key* result) override {
    if (createError || readOnlyRoots.count(root))
      return *result = 0, createError ? createError : kAccessDenied;
    return keys.insert(KeyPath(root, path)), OpenKey(root, path, result);
  }
  std::int32_t OpenKey(Key root, const std::string& path, Key* result) override {
    if (keys.count(KeyPath(root, path)) == 0) return *result = 0, kFileNotFound;
    return open[*result = ++lastKey] = {root, KeyPath(root, path)}, 0;
  }
  std::int32_t QueryValue(Key key, const std::string& name) override {
    return Refused(key, false) ? Refused(key, false) : values.count(Value(key, name)) ? 0 : kFileNotFound;
  }
  std::int32_t SetValueEx(Key key, const std::string& name, std::uint32_t type,
                          const std::string& data) override {
    if (Refused(key, true) || setError) return Refused(key, true) ? Refused(key, true) : setError;
    return values[Value(key, name)] = type == kRegSz ? data : "?", 0;
  }
  std::int32_t DeleteValue(Key key, const std::string& name) override {
    return Refused(key, true) ? Refused(key, true) : values.erase(Value(key, name)) ? 0 : kFileNotFound;
  }
  std::int32_t CloseKey(Key key) override {
    return closeFailures > 0 ? (--closeFailures, 6) : open.erase(key) ? 0 : 6;
  }
  std::int32_t Refused(Key key, bool change) {
    return open.count(key) == 0 ? 6 : change && readOnlyRoots.count(open[key].first) ? kAccessDenied : 0;
  }
  std::string Value(Key key, const std::string& name) { return open[key].second + "|" + name; }
  static std::string KeyPath(Key root, std::string path) {
    for (char& c : path) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return std::to_string(root) + "|" + path;
  }
  std::set<std::string> keys;
  std::map<std::string, std::string> values;  // REG_SZ data; another type reads "?"
  std::set<Key> readOnlyRoots;
  std::int32_t createError = 0, setError = 0;
  int closeFailures = 0;                            // the next CloseKey calls that fail
  std::map<Key, std::pair<Key, std::string>> open;  // root and "root|key path"
  Key lastKey = 0x1000;
};

// Files by full path, in folders that exist when named (C:\Lumaret is) or holding a file.
struct FakeFileSystem : FileSystem {
  explicit FakeFileSystem(Log& to) : log(to) {}
  jet::Status SetCurrentFolder(const std::string& to) override {
    return log.push_back("cd " + to), jet::Ok();
  }
  bool FileExists(const std::string& path) const override { return files.count(path) != 0; }
  jet::Result<std::string> ReadFile(const std::string& path) const override {
    return files.count(path) ? jet::Result<std::string>(files.at(path))
                             : jet::MakeError(53, "File not found");
  }
  // A folder must exist and allow changes, as on a real disk.
  jet::Status WriteFileAtomically(const std::string& path, const std::string& bytes) override {
    const std::string folder = path.substr(0, path.rfind('\\'));
    const auto next = files.lower_bound(folder + '\\');
    const bool holdsAFile = next != files.end() && next->first.rfind(folder + '\\', 0) == 0;
    if (folders.count(folder) == 0 && !holdsAFile) return jet::MakeError(76, "Path not found");
    if (readOnlyFolders.count(folder) != 0) return jet::MakeError(75, "Path/File access error");
    files[path] = bytes;
    log.push_back("Save " + path.substr(folder.size() + 1));
    return jet::Ok();
  }
  Log& log;
  std::map<std::string, std::string> files;
  std::set<std::string> folders{"C:\\Lumaret"}, readOnlyFolders;
};

// The stateless services. Messages log "Msg <title>/<icon>: <text>"; the shell "Open <file> <folder>
// <show>" ("?..." when not from the main window); a change of layer only "Topmost" or "NoTopmost" (then
// the handle if not the main window), any other "SetWindowPos?". The notification area keeps one icon.
// The screen is 1920 by 1080 pixels; the clock moves only when the test moves it, or sleeps.
// clang-format off
struct FakePlatform : MessageBoxes, MousePointer, WindowOrder, NotifyIcon, Clipboard, Screen, Shell, Clock,
                      AboutBox, Beeper, ProgramInfo, InstanceCheck, EventPump, UserNotificationState {
  // clang-format on
  void Show(const std::string& text, const std::string& title, MessageIcon icon) override {
    log.push_back("Msg " + title + "/" + std::to_string(static_cast<int>(icon)) + ": " + text);
  }
  void Show() override { log.push_back("AboutShow"); }
  void Close() override { log.push_back("AboutClose"); }
  void SetBusy(bool busy) override { pointer.push_back(busy); }
  void SetWindowPos(WindowHandle handle, std::int32_t after, int x, int y, int cx, int cy,
                    std::uint32_t flags) override {
    const bool layerOnly = flags == kNoMoveNoSize && (x | y | cx | cy) == 0;
    const std::string other = handle == FakeWindow::kHandle ? "" : " " + std::to_string(handle);
    log.push_back(!layerOnly || (after != kTopmost && after != kNoTopmost)
                      ? "SetWindowPos?"
                      : (after == kTopmost ? "Topmost" : "NoTopmost") + other);
  }
  bool ShellNotifyIcon(std::uint32_t message, const std::array<std::uint8_t, 88>& record) override {
    log.push_back(message == kAdd ? "IconAdd" : message == kDelete ? "IconDelete" : "Icon?");
    const bool changed = iconPresent != (message == kAdd);
    return iconRecord = record, iconPresent = message == kAdd, changed;
  }
  bool SetText(const std::string& value) override { return !clipboardLocked && (clipboard = value, true); }
  std::int32_t Width() const override { return 28800; }
  std::int32_t Height() const override { return 16200; }
  std::vector<TwipsRect> Monitors() const override { return monitors; }
  std::intptr_t ShellExecute(std::uint32_t handle, const std::string& operation, const std::string& file,
                             const std::string& parameters, const std::string& where, int show) override {
    const bool ours = handle == FakeWindow::kHandle && parameters.empty();
    log.push_back((ours ? "" : "?") + operation + " " + file + " " + where + " " + std::to_string(show));
    return 2;  // ERROR_FILE_NOT_FOUND: nothing ships in the fake folder
  }
  std::string TimeOfDay() const override {
    char text[16];
    const auto seconds = static_cast<int>(day / 1000);
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text;
  }
  std::uint64_t Milliseconds() const override { return milliseconds; }
  void Sleep(std::uint32_t ms) override { Advance(ms); }
  void Advance(std::uint64_t ms) { milliseconds += ms, day = (day + ms) % 86400000; }
  void SetTime(int h, int m, int s) { day = static_cast<std::uint64_t>((h * 3600 + m * 60 + s) * 1000); }
  void Beep() override { log.push_back("Beep"); }
  std::string Folder() const override { return folder; }
  std::string ExeName() const override { return "verse"; }
  bool AnotherInstanceRunning() override { return anotherRunning; }
  void DoEvents() override { log.push_back("DoEvents"), onDoEvents ? onDoEvents() : void(); }
  bool FullScreenBusy() override { return fullScreen; }

  Log log;
  std::vector<bool> pointer;  // busy or not, each change
  bool iconPresent = false, clipboardLocked = false, anotherRunning = false, fullScreen = false;
  std::array<std::uint8_t, 88> iconRecord{};
  std::string clipboard = "(previous)", folder = "C:\\Lumaret";
  std::vector<TwipsRect> monitors{{0, 0, 28800, 16200}};
  std::uint64_t milliseconds = 1000000, day = 0;
  std::function<void()> onDoEvents;  // what the user does meanwhile
  FakeWindow window{log};
  FakeRegistry registry;
  FakeFileSystem files{log};
  Platform platform{*this, *this, window, *this, *this, *this, *this, *this, registry,
                    *this, *this, *this,  *this, *this, *this, files, *this};
};

}  // namespace reminder::test
