// Hand-written fakes of every reminder interface; each records its calls in one
// shared log so tests can check the order of effects.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "reminder/platform.h"

namespace reminder::test {

using Log = std::vector<std::string>;

struct ShownMessage {
  std::string text;
  std::string title;
  MessageIcon icon;
};

class FakeMessages : public MessageBoxes {
 public:
  explicit FakeMessages(Log& log) : log_(log) {}
  void Show(const std::string& text, const std::string& title, MessageIcon icon) override;
  std::vector<ShownMessage> shown;

 private:
  Log& log_;
};

class FakePointer : public MousePointer {
 public:
  void SetBusy(bool busy) override { changes.push_back(busy); }
  bool Busy() const { return !changes.empty() && changes.back(); }
  std::vector<bool> changes;
};

class FakeWindow : public Window {
 public:
  static constexpr WindowHandle kHandle = 0x00010ABC;
  static constexpr std::uint32_t kIcon = 0x00020DEF;

  explicit FakeWindow(Log& log);
  WindowHandle Handle() const override { return kHandle; }
  std::uint32_t IconHandle() const override { return kIcon; }
  std::string Caption() const override { return "Lumaret"; }
  TwipsRect Bounds() const override { return bounds; }
  void SetLeft(std::int32_t left) override { bounds.left = left; }
  void SetTop(std::int32_t top) override { bounds.top = top; }
  void Show() override;
  void Hide() override;
  void Restore() override;
  void Focus() override;
  void RequestClose() override;
  void ShowChoices(const Choices& choices) override { shown = choices; }
  void ShowVerse(const store::VerseRecord& record) override { verse = record; }
  void SetNextVerseToolTip(const std::string& text) override { toolTips.push_back(text); }

  // What the Options menu shows; nothing until the logic first shows its choices.
  std::optional<Choices> shown;
  // The interval item ticked.
  int IntervalShown() const { return shown.value().interval; }
  TwipsRect bounds{1200, 900, 7350, 5670};
  bool visible = false;
  bool destroyed = false;
  store::VerseRecord verse;
  std::vector<std::string> toolTips;
  // The shell's close path: runs the close handler; true lets the window close.
  std::function<bool()> onCloseRequest;

 private:
  Log& log_;
};

class FakeWindowOrder : public WindowOrder {
 public:
  explicit FakeWindowOrder(Log& log) : log_(log) {}
  void SetWindowPos(WindowHandle window, std::int32_t insertAfter, int x, int y, int cx, int cy,
                    std::uint32_t flags) override;
  struct Call {
    WindowHandle window;
    std::int32_t insertAfter;
    int x, y, cx, cy;
    std::uint32_t flags;
  };
  std::vector<Call> calls;

 private:
  Log& log_;
};

class FakeNotifyIcon : public NotifyIcon {
 public:
  explicit FakeNotifyIcon(Log& log) : log_(log) {}
  bool ShellNotifyIcon(std::uint32_t message, const std::array<std::uint8_t, 88>& record) override;
  bool present = false;
  std::vector<std::uint32_t> messages;
  std::array<std::uint8_t, 88> lastRecord{};

 private:
  Log& log_;
};

class FakeClipboard : public Clipboard {
 public:
  bool SetText(const std::string& value) override;
  bool locked = false;
  std::string text = "(previous)";
};

class FakeAbout : public AboutBox {
 public:
  explicit FakeAbout(Log& log) : log_(log) {}
  void Show() override;
  void Close() override;
  bool open = false;

 private:
  Log& log_;
};

class FakeScreen : public Screen {
 public:
  std::int32_t Width() const override { return 28800; }   // 1920 pixels
  std::int32_t Height() const override { return 16200; }  // 1080 pixels
  std::vector<TwipsRect> Monitors() const override { return monitors; }
  std::vector<TwipsRect> monitors{{0, 0, 28800, 16200}};
};

// The registry as a user sees it: keys and values by path, and roots the user may
// read but not change (the machine's keys without administrator rights).
class FakeRegistry : public Registry {
 public:
  explicit FakeRegistry(Log& log) : log_(log) {}
  std::int32_t CreateKey(Key root, const std::string& path, Key* result) override;
  std::int32_t OpenKey(Key root, const std::string& path, Key* result) override;
  std::int32_t QueryValue(Key key, const std::string& name) override;
  std::int32_t SetValueEx(Key key, const std::string& name, std::uint32_t type,
                          const std::string& data) override;
  std::int32_t DeleteValue(Key key, const std::string& name) override;
  std::int32_t CloseKey(Key key) override;

  struct Value {
    std::uint32_t type;
    std::string data;
  };
  // Values by "root|key path|name"; key paths compare case-insensitively as the registry does.
  std::map<std::string, Value> values;
  // Keys by "root|key path"; a value's key exists too.
  std::set<std::string> keys;
  std::set<Key> readOnlyRoots;   // CreateKey, SetValueEx and DeleteValue refuse with 5
  std::int32_t createError = 0;  // any root
  std::int32_t setError = 0;
  int closeFailures = 0;  // the next CloseKey calls that fail
  int closeCalls = 0;
  std::set<Key> openKeys;

 private:
  struct OpenedKey {
    Key root;
    std::string path;  // "root|key path"
  };
  bool KeyExists(const std::string& path) const;
  std::string PathOf(Key key, const std::string& name) const;
  std::map<Key, OpenedKey> opened_;
  Key nextKey_ = 0x1000;
  Log& log_;
};

class FakeShell : public Shell {
 public:
  explicit FakeShell(Log& log) : log_(log) {}
  std::intptr_t ShellExecute(std::uint32_t window, const std::string& operation, const std::string& file,
                             const std::string& parameters, const std::string& folder,
                             int showCommand) override;
  struct Call {
    std::uint32_t window;
    std::string operation, file, parameters, folder;
    int showCommand;
  };
  std::vector<Call> calls;
  std::intptr_t result = 2;  // ERROR_FILE_NOT_FOUND: nothing ships in the fake folder

 private:
  Log& log_;
};

// Local time as seconds since midnight, moved only by the test (and by Sleep).
class FakeClock : public Clock {
 public:
  std::string TimeOfDay() const override;
  std::uint64_t Milliseconds() const override { return milliseconds; }
  void Sleep(std::uint32_t ms) override { Advance(ms); }
  // Moves the time of day and the millisecond count forward.
  void Advance(std::uint64_t ms);
  void SetTime(int hours, int minutes, int seconds);
  std::uint64_t milliseconds = 1000000;
  std::uint64_t dayMilliseconds = 0;
};

class FakeBeeper : public Beeper {
 public:
  explicit FakeBeeper(Log& log) : log_(log) {}
  void Beep() override;
  int beeps = 0;

 private:
  Log& log_;
};

class FakeProgram : public ProgramInfo {
 public:
  std::string Folder() const override { return folder; }
  std::string ExeName() const override { return exeName; }
  std::string folder = "C:\\Lumaret";
  std::string exeName = "verse";
};

class FakeInstance : public InstanceCheck {
 public:
  bool AnotherInstanceRunning() override { return anotherRunning; }
  bool anotherRunning = false;
};

class FakePump : public EventPump {
 public:
  void DoEvents() override;
  int calls = 0;
  std::function<void()> onDoEvents;
};

class FakeFileSystem : public FileSystem {
 public:
  jet::Status SetCurrentFolder(const std::string& folder) override;
  bool FileExists(const std::string& path) const override { return files.count(path) != 0; }
  jet::Result<std::string> ReadFile(const std::string& path) const override;
  jet::Status WriteFileAtomically(const std::string& path, const std::string& bytes) override;

  std::map<std::string, std::string> files;
  // Folders exist when they are named here or hold a file.
  std::set<std::string> folders;
  std::set<std::string> readOnlyFolders;
  std::string currentFolder;
  int writes = 0;
};

class FakeUserState : public UserNotificationState {
 public:
  bool FullScreenBusy() override { return fullScreen; }
  bool fullScreen = false;
};

// Every fake, wired into one Platform.
struct FakePlatform {
  FakePlatform();
  Log log;
  FakeMessages messages{log};
  FakePointer pointer;
  FakeWindow window{log};
  FakeWindowOrder order{log};
  FakeNotifyIcon notifyIcon{log};
  FakeClipboard clipboard;
  FakeAbout about{log};
  FakeScreen screen;
  FakeRegistry registry{log};
  FakeShell shell{log};
  FakeClock clock;
  FakeBeeper beeper{log};
  FakeProgram program;
  FakeInstance instance;
  FakePump pump;
  FakeFileSystem files;
  FakeUserState userState;
  Platform platform;
};

}  // namespace reminder::test
