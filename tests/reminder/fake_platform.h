// Fakes of every service the reminder's logic uses, behaving as the real ones do. What a
// user would notice goes to one shared log, with its arguments, in the order it happened.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "reminder/platform.h"

namespace reminder::test {

using Log = std::vector<std::string>;

struct FakeMessages : MessageBoxes {  // "Msg <title>/<icon number>: <text>"
  explicit FakeMessages(Log& to) : log(to) {}
  void Show(const std::string& text, const std::string& title, MessageIcon icon) override {
    log.push_back("Msg " + title + "/" + std::to_string(static_cast<int>(icon)) + ": " + text);
  }
  Log& log;
};

struct FakePointer : MousePointer {
  void SetBusy(bool busy) override { changes.push_back(busy); }
  bool Busy() const { return !changes.empty() && changes.back(); }
  std::vector<bool> changes;
};

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
  void RequestClose() override;  // the window goes only when the close handler lets it
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

// "Topmost"/"NoTopmost" (and the handle of a window not the main one) for a call that
// only changes a window's layer; "SetWindowPos?" for any other.
struct FakeWindowOrder : WindowOrder {
  explicit FakeWindowOrder(Log& to) : log(to) {}
  void SetWindowPos(WindowHandle window, std::int32_t after, int x, int y, int cx, int cy,
                    std::uint32_t flags) override;
  Log& log;
};

// One icon, as the shell keeps it: adding a present icon or deleting a missing one fails.
struct FakeNotifyIcon : NotifyIcon {
  explicit FakeNotifyIcon(Log& to) : log(to) {}
  bool ShellNotifyIcon(std::uint32_t message, const std::array<std::uint8_t, 88>& record) override;
  Log& log;
  bool present = false;
  std::array<std::uint8_t, 88> lastRecord{};
};

struct FakeClipboard : Clipboard {
  bool SetText(const std::string& value) override { return !locked && (text = value, true); }
  bool locked = false;
  std::string text = "(previous)";
};

struct FakeAbout : AboutBox {
  explicit FakeAbout(Log& to) : log(to) {}
  void Show() override { open = true, log.push_back("AboutShow"); }
  void Close() override { open = false, log.push_back("AboutClose"); }
  Log& log;
  bool open = false;
};

struct FakeScreen : Screen {  // 1920 by 1080 pixels
  std::int32_t Width() const override { return 28800; }
  std::int32_t Height() const override { return 16200; }
  std::vector<TwipsRect> Monitors() const override { return monitors; }
  std::vector<TwipsRect> monitors{{0, 0, 28800, 16200}};
};

// Keys "root|key path" (lower case: paths compare case-insensitively) and values by
// "root|key path|name"; roots the user may read but not change refuse with 5. The calls
// go to a log of their own ("Create HKLM", "Set", ...).
struct FakeRegistry : Registry {
  std::int32_t CreateKey(Key root, const std::string& path, Key* result) override;
  std::int32_t OpenKey(Key root, const std::string& path, Key* result) override;
  std::int32_t QueryValue(Key key, const std::string& name) override;
  std::int32_t SetValueEx(Key key, const std::string& name, std::uint32_t type,
                          const std::string& data) override;
  std::int32_t DeleteValue(Key key, const std::string& name) override;
  std::int32_t CloseKey(Key key) override;
  std::set<std::string> keys;
  std::map<std::string, std::string> values;  // REG_SZ data; another type reads "?"
  std::set<Key> readOnlyRoots;
  std::int32_t createError = 0, setError = 0;
  int closeFailures = 0;  // the next CloseKey calls that fail
  Log calls;
  std::map<Key, std::pair<Key, std::string>> open;  // root and "root|key path"
  Key lastKey = 0x1000;
};

struct FakeShell : Shell {  // "Open <file> <folder> <show>", "?..." when not from the window
  explicit FakeShell(Log& to) : log(to) {}
  std::intptr_t ShellExecute(std::uint32_t window, const std::string& operation, const std::string& file,
                             const std::string& parameters, const std::string& folder, int show) override;
  Log& log;
};

struct FakeClock : Clock {  // moved only by the test, and by Sleep
  std::string TimeOfDay() const override;
  std::uint64_t Milliseconds() const override { return milliseconds; }
  void Sleep(std::uint32_t ms) override { Advance(ms); }
  void Advance(std::uint64_t ms) { milliseconds += ms, day = (day + ms) % 86400000; }
  void SetTime(int h, int m, int s) { day = static_cast<std::uint64_t>((h * 3600 + m * 60 + s) * 1000); }
  std::uint64_t milliseconds = 1000000, day = 0;
};

struct FakeBeeper : Beeper {
  explicit FakeBeeper(Log& to) : log(to) {}
  void Beep() override { log.push_back("Beep"); }
  Log& log;
};

struct FakeProgram : ProgramInfo {
  std::string Folder() const override { return folder; }
  std::string ExeName() const override { return "verse"; }
  std::string folder = "C:\\Lumaret";
};

struct FakeInstance : InstanceCheck {
  bool AnotherInstanceRunning() override { return anotherRunning; }
  bool anotherRunning = false;
};

struct FakePump : EventPump {
  explicit FakePump(Log& to) : log(to) {}
  void DoEvents() override { log.push_back("DoEvents"), onDoEvents ? onDoEvents() : void(); }
  Log& log;
  std::function<void()> onDoEvents;  // what the user does meanwhile
};

// Files by full path, in folders that exist when named or holding a file; "cd <folder>"
// and "Save <file name>" go to the log.
struct FakeFileSystem : FileSystem {
  explicit FakeFileSystem(Log& to) : log(to) {}
  jet::Status SetCurrentFolder(const std::string& folder) override;
  bool FileExists(const std::string& path) const override { return files.count(path) != 0; }
  jet::Result<std::string> ReadFile(const std::string& path) const override;
  jet::Status WriteFileAtomically(const std::string& path, const std::string& bytes) override;
  Log& log;
  std::map<std::string, std::string> files;
  std::set<std::string> folders, readOnlyFolders;
};

struct FakeUserState : UserNotificationState {
  bool FullScreenBusy() override { return fullScreen; }
  bool fullScreen = false;
};

struct FakePlatform {
  Log log;
  FakeMessages messages{log};
  FakePointer pointer;
  FakeWindow window{log};
  FakeWindowOrder order{log};
  FakeNotifyIcon notifyIcon{log};
  FakeClipboard clipboard;
  FakeAbout about{log};
  FakeScreen screen;
  FakeRegistry registry;
  FakeShell shell{log};
  FakeClock clock;
  FakeBeeper beeper{log};
  FakeProgram program;
  FakeInstance instance;
  FakePump pump{log};
  FakeFileSystem files{log};
  FakeUserState userState;
  Platform platform{messages, pointer, window, order,   notifyIcon, clipboard, about, screen,   registry,
                    shell,    clock,   beeper, program, instance,   pump,      files, userState};
};

}  // namespace reminder::test
