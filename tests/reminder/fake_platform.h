// Hand-written fakes of every reminder interface. The effects a user would notice go to
// one shared log, with their arguments, so a test reads what happened and in which order.
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

struct FakeMessages : MessageBoxes {
  explicit FakeMessages(Log& to) : log(to) {}
  // "Msg <title>/<icon number>: <text>"
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
  static constexpr std::uint32_t kIcon = 0x00020DEF;

  explicit FakeWindow(Log& to) : log(to) {}
  WindowHandle Handle() const override { return kHandle; }
  std::uint32_t IconHandle() const override { return kIcon; }
  std::string Caption() const override { return "Lumaret"; }
  TwipsRect Bounds() const override { return bounds; }
  void SetLeft(std::int32_t left) override { bounds.left = left; }
  void SetTop(std::int32_t top) override { bounds.top = top; }
  void Show() override { visible = true, log.push_back("Show"); }
  void Hide() override { visible = false, log.push_back("Hide"); }
  void Restore() override { log.push_back("Restore"); }
  void Focus() override { log.push_back("Focus"); }
  // The shell's close path: the window goes only when the close handler allows it.
  void RequestClose() override;
  void ShowChoices(const Choices& shownChoices) override { choices = shownChoices; }
  void ShowVerse(const store::VerseRecord& record) override { verse = record; }
  void SetNextVerseToolTip(const std::string& text) override { toolTips.push_back(text); }

  Log& log;
  Choices choices{-7, -1, false, false};  // nothing shown until the logic first shows its choices
  TwipsRect bounds{1200, 900, 7350, 5670};
  bool visible = false;
  bool destroyed = false;
  store::VerseRecord verse;
  std::vector<std::string> toolTips;
  std::function<bool()> onCloseRequest;
};

// Logs "Topmost"/"NoTopmost" (then the handle of a window other than the main one) for a
// call that only changes a window's layer, anything else as "SetWindowPos?".
struct FakeWindowOrder : WindowOrder {
  explicit FakeWindowOrder(Log& to) : log(to) {}
  void SetWindowPos(WindowHandle window, std::int32_t insertAfter, int x, int y, int cx, int cy,
                    std::uint32_t flags) override;
  Log& log;
};

// Keeps one icon as the shell does: adding a present icon and deleting a missing one fail.
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

struct FakeScreen : Screen {
  std::int32_t Width() const override { return 28800; }   // 1920 pixels
  std::int32_t Height() const override { return 16200; }  // 1080 pixels
  std::vector<TwipsRect> Monitors() const override { return monitors; }
  std::vector<TwipsRect> monitors{{0, 0, 28800, 16200}};
};

// The registry as a user sees it: values by "root|lower-case key path|name", and roots
// the user may read but not change (the machine's keys without administrator rights).
// Its calls go to a log of their own ("Create HKLM", "Set", ...): the order the keys were tried.
struct FakeRegistry : Registry {
  std::int32_t CreateKey(Key root, const std::string& path, Key* result) override;
  std::int32_t OpenKey(Key root, const std::string& path, Key* result) override;
  std::int32_t QueryValue(Key key, const std::string& name) override;
  std::int32_t SetValueEx(Key key, const std::string& name, std::uint32_t type,
                          const std::string& data) override;
  std::int32_t DeleteValue(Key key, const std::string& name) override;
  std::int32_t CloseKey(Key key) override;

  std::map<std::string, std::string> values;  // REG_SZ data; other types are stored as "?"
  std::set<std::string> keys;                 // "root|key path"; a value's key exists too
  std::set<Key> readOnlyRoots;                // CreateKey, SetValueEx and DeleteValue refuse with 5
  std::int32_t createError = 0, setError = 0;
  int closeFailures = 0;  // the next CloseKey calls that fail
  Log calls;
  std::map<Key, std::string> open;  // open keys and their "root|key path"

 private:
  std::int32_t Opened(Key root, const std::string& path, Key* result);
  Key nextKey_ = 0x1000;
};

struct FakeShell : Shell {
  explicit FakeShell(Log& to) : log(to) {}
  // "Open <file> <folder> <show>" for the main window with empty parameters.
  std::intptr_t ShellExecute(std::uint32_t window, const std::string& operation, const std::string& file,
                             const std::string& parameters, const std::string& folder, int show) override;
  Log& log;
};

// Local time moved only by the test (and by Sleep).
struct FakeClock : Clock {
  std::string TimeOfDay() const override;
  std::uint64_t Milliseconds() const override { return milliseconds; }
  void Sleep(std::uint32_t ms) override { Advance(ms); }
  void Advance(std::uint64_t ms) { milliseconds += ms, dayMilliseconds = (dayMilliseconds + ms) % 86400000; }
  void SetTime(int h, int m, int s) {
    dayMilliseconds = static_cast<std::uint64_t>((h * 3600 + m * 60 + s) * 1000);
  }
  std::uint64_t milliseconds = 1000000;
  std::uint64_t dayMilliseconds = 0;
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
  void DoEvents() override {
    log.push_back("DoEvents");
    if (onDoEvents) onDoEvents();
  }
  Log& log;
  std::function<void()> onDoEvents;  // what the user does meanwhile
};

// Files by full path; "cd <folder>" and "Save <file name>" go to the log.
struct FakeFileSystem : FileSystem {
  explicit FakeFileSystem(Log& to) : log(to) {}
  jet::Status SetCurrentFolder(const std::string& folder) override;
  bool FileExists(const std::string& path) const override { return files.count(path) != 0; }
  jet::Result<std::string> ReadFile(const std::string& path) const override;
  jet::Status WriteFileAtomically(const std::string& path, const std::string& bytes) override;
  Log& log;
  std::map<std::string, std::string> files;
  std::set<std::string> folders;  // folders exist when they are named here or hold a file
  std::set<std::string> readOnlyFolders;
};

struct FakeUserState : UserNotificationState {
  bool FullScreenBusy() override { return fullScreen; }
  bool fullScreen = false;
};

// Every fake, wired into one Platform.
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
