// The real tovimar.exe, run from a folder of its own beside a verse store, and driven
// from the test process the way a user would: window messages, clicks and keys.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "store/verse_cursor.h"
#include "support/temp_dir.h"

namespace win32::editor::test {

// Waits up to `ms` for `done` to hold, pumping nothing; returns whether it held.
bool WaitUntil(const std::function<bool()>& done, int ms = 10000);

// Text of a window in any process (WM_GETTEXT is marshalled), as UTF-8.
std::string TextOf(HWND hwnd);

// The first top-level window of process `pid` whose class is `className` (and whose
// title is `title`, when given), or null.
HWND FindProcessWindow(DWORD pid, const wchar_t* className, const wchar_t* title = nullptr);

// The keyboard, through SendInput to the foreground window.
void PressKeys(const std::vector<WORD>& keys, bool alt = false);
void TypeText(const std::wstring& text);

// Where the test writes verse97.mdb: beside the program, or only in the folder that is
// current when the program starts.
enum class StorePlace { kBesideProgram, kStartFolder };

class EditorProcess {
 public:
  // Copies tovimar.exe into a new folder and writes verse97.mdb with `rows`.
  explicit EditorProcess(const std::vector<store::VerseRecord>& rows,
                         StorePlace place = StorePlace::kBesideProgram);
  // Ends the editor if it still runs.
  ~EditorProcess();
  EditorProcess(const EditorProcess&) = delete;
  EditorProcess& operator=(const EditorProcess&) = delete;

  // Starts the editor with another folder as its current folder and waits for its
  // window. Returns false (with the reason in error()) when it did not appear.
  bool Start();
  // Only starts the process, with the start folder current.
  bool Launch();
  // Asks the window to close and waits for the process to end; its exit code.
  DWORD Close();

  HWND window() const { return window_; }
  DWORD pid() const { return info_.dwProcessId; }
  const std::string& error() const { return error_; }
  const std::string& programFolder() const { return programDir_.path(); }
  const std::string& startFolder() const { return startDir_.path(); }
  std::string StorePath() const { return programDir_.File("verse97.mdb"); }
  // Waits for the process to end by itself; its exit code, STILL_ACTIVE if it did not.
  DWORD WaitForExit() const;
  std::string ExePath() const { return programDir_.File("tovimar.exe"); }

  // Controls by id: children of the window, of the button strip or of the navigation bar.
  HWND Control(int id) const;
  std::string Field(int index) const;
  std::string Caption() const;
  // A click on a button of the window (BM_CLICK).
  void Click(int id) const;
  // Brings the window to the front so that SendInput reaches it.
  bool Activate() const;
  // The store's rows as another program reads them now.
  std::vector<store::VerseRecord> StoredRows() const;

 private:
  lumaret::test::TempDir programDir_;
  lumaret::test::TempDir startDir_;
  PROCESS_INFORMATION info_{};
  HWND window_ = nullptr;
  std::string error_;
};

}  // namespace win32::editor::test
