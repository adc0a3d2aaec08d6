// Form1: the reminder's main window logic. The Win32 shell routes each window
// message to one handler here and implements the interfaces of platform.h.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "jet/result.h"
#include "reminder/module1.h"
#include "reminder/platform.h"
#include "store/verse_cursor.h"

namespace reminder {

// How the start-up steps ended.
enum class StartupResult {
  kGoOn,  // carry on: load the window, or (after Form_Load) run the message loop
  kEnd,   // end the program now; no window is shown and nothing more runs
};

class Form1 {
 public:
  static constexpr char kStoreFile[] = "verse97.mdb";
  static constexpr char kSettingsFile[] = "verse.ini";
  static constexpr char kHelpFile[] = ".\\lumaret2.chm";
  static constexpr char kEditorFile[] = "tovimar.exe";
  static constexpr std::uint32_t kTimerMilliseconds = 10000;
  // Retries on a store or cursor that is not available yet stop after this long.
  static constexpr std::uint64_t kRetryMilliseconds = 5000;
  static constexpr std::uint32_t kRetryPauseMilliseconds = 100;
  static constexpr int kMouseLeftButtonDown = 513;  // WM_LBUTTONDOWN

  // `data1` is the data control's cursor over versetbl; both outlive the form.
  Form1(Platform& platform, store::VerseCursor& data1);
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // --- Start-up and shut-down ---
  // Before the window loads: makes the program's folder current and checks that
  // the verse store exists.
  StartupResult Form_Initialize();
  // The window loads: single instance, TrayIcon, the store, the settings, show on top.
  StartupResult Form_Load();
  // Any close request. Returns true when the window may close; false keeps it
  // loaded (it has been hidden into the notification area instead).
  bool Form_QueryUnload();
  // WM_QUERYENDSESSION: saves the settings; the session may always end.
  bool Form_QueryEndSession();
  // WM_ENDSESSION: `ending` false when the log-off was cancelled.
  void Form_EndSession(bool ending);
  void FileExitMnu_Click();

  // --- Settings file ---
  // Writes verse.ini from the window's state; reports its own failures.
  void SaveINI();
  // Reads verse.ini and applies it; handles its own failures.
  void LoadINI();

  // --- Verse rotation and copy ---
  void NewVerseCMD_Click();
  void Data1_Reposition();
  void EditCopyMnu_Click();

  // --- Timer, intervals and chimes ---
  void Timer1_Timer();
  void IntervalMnu_Click(std::int16_t index);
  void HourlyChimeMNU_Click();

  // --- Notification icon and hiding ---
  void MinimizeCMD_Click();
  // Every WM_MOUSEMOVE of the window; the icon's callback arrives this way with
  // the mouse message number as `x` (in pixels).
  void Form_MouseMove(int x);
  // The registered "TaskbarCreated" message: the notification area was re-created.
  void TaskbarCreated();

  // --- Start with Windows ---
  // Turns the start at logon over; the check mark and the saved setting then show
  // whether it is registered.
  void OptionsAutoStartMnu_Click();

  // --- Help, editor and About ---
  void HelpHelpMnu_Click();
  void DataEditorMnu_Click();
  void HelpAboutMnu_Click();

  // --- State, for the shell and for tests ---
  const ProgramState& State() const { return state_; }
  const Choices& CurrentChoices() const { return choices_; }
  std::int16_t ReminderMinutes() const { return choices_.reminderMinutes; }
  std::int16_t MinuteCounter() const { return minuteCounter_; }
  std::int16_t LastMinute() const { return lastMinute_; }
  Module1& Module() { return module1_; }

 private:
  // Runs `step` again after pumping messages while it fails with a number that
  // `retry` accepts, for at most kRetryMilliseconds.
  jet::Status RetryWhile(const std::function<jet::Status()>& step, const std::function<bool(int)>& retry);
  std::string SettingsPath() const;
  void LoadFirstRun();
  jet::Status LoadValues(bool* positionApplied);
  void CentreWindow();
  // Turns the start at logon on or off and keeps what the registry then holds.
  void ApplyAutoStart(bool on);
  // The interval item `index` (any outside the menu: the first) becomes the choice.
  void ChooseInterval(int index);
  void KeepOnAMonitor();
  void ShowReminder();

  Platform& platform_;
  store::VerseCursor& data1_;
  ProgramState state_;
  Module1 module1_;
  Choices choices_;
  std::int16_t minuteCounter_ = 0;
  std::int16_t lastMinute_ = 0;
  bool sessionEnding_ = false;
  // A reminder that fell due while a full-screen program ran; it comes at the first
  // tick after that ends.
  bool reminderHeld_ = false;
  std::uint64_t lastTickMilliseconds_ = 0;
};

}  // namespace reminder
