// End to end: the real verse.exe started under wine in a fresh folder, driven from this
// process as a user would: buttons, keys, menus by keyboard, message boxes.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "verse/resource_ids.h"
#include "jet/new_database.h"
#include "store/jet_verse_table.h"
#include "store/verse_schema.h"
#include "support/temp_dir.h"
#include "win32/read_only_store.h"
#include "win32/common/text.h"
#include "window_probe.h"

namespace win32::reminder::test {
namespace {

constexpr char kMainClass[] = "LumaretForm1";
constexpr char kMessageBoxClass[] = "#32770";

class VerseExeTest : public ::testing::Test {
 protected:
  void SetUp() override { DeleteRunValue(); }

  void TearDown() override {
    if (process_.hProcess != nullptr) {
      if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 9);
      WaitForSingleObject(process_.hProcess, 5000);
      CloseHandle(process_.hProcess);
      CloseHandle(process_.hThread);
    }
    DeleteRunValue();
  }

  // Copies `program` into the test's folder as `name` and starts it from a different
  // current folder: the program must find its files by itself.
  void Launch(const std::string& program = LUMARET_VERSE_EXE, const std::string& name = "verse.exe") {
    CopyFileTo(program, folder_.File(name));
    std::wstring commandLine = L"\"" + Wide(folder_.File(name)) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, L"C:\\", &startup,
                               &process_));
  }

  void LaunchWithStore(const std::string& program = LUMARET_VERSE_EXE, const std::string& name = "verse.exe") {
    CopyFileTo(ShippedStorePath(), folder_.File("verse97.mdb"));
    rows_ = StoreRows(folder_.File("verse97.mdb"), 4);
    ASSERT_GE(rows_.size(), 4u);
    Launch(program, name);
    ASSERT_TRUE(WaitFor([&] { return (main_ = FindProcessWindow(process_.dwProcessId, kMainClass)) != nullptr; }))
        << "no window";
    ASSERT_TRUE(WaitFor([&] { return IsTopmost(main_); }, 3000));
  }

  bool Ended(DWORD milliseconds = 10000) const {
    return WaitForSingleObject(process_.hProcess, milliseconds) == WAIT_OBJECT_0;
  }

  // The program's message box: its title and its text.
  struct Box {
    HWND window = nullptr;
    std::string title;
    std::string text;
  };
  Box WaitForMessageBox() {
    Box box;
    WaitFor([&] { return (box.window = FindProcessWindow(process_.dwProcessId, kMessageBoxClass)) != nullptr; });
    if (box.window == nullptr) return box;
    box.title = WindowText(box.window);
    for (HWND child = GetWindow(box.window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
      if (ClassName(child) == "Static" && !WindowText(child).empty()) box.text = WindowText(child);
    }
    return box;
  }

  std::string Label(int id) const { return WindowText(GetDlgItem(main_, id)); }
  bool ShowsRow(const store::VerseRecord& row) const {
    return Label(IDC_BOOK_LBL) == row.book && Label(IDC_CHAPTER_LBL) == row.chapter &&
           Label(IDC_VERSES_LBL) == row.verses && Label(IDC_VERSE_TXT_LBL) == row.verseTxt;
  }

  // Keys as a user types them, to whatever window has the focus.
  static void Keys(const std::vector<std::pair<WORD, bool>>& strokes) {
    std::vector<INPUT> inputs;
    for (const auto& [key, down] : strokes) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wVk = key;
      input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
      inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Sleep(100);
  }
  static void Press(WORD key) { Keys({{key, true}, {key, false}}); }
  static void Chord(WORD modifier, WORD key) { Keys({{modifier, true}, {key, true}, {key, false}, {modifier, false}}); }
  void Activate() {
    SetForegroundWindow(main_);
    WaitFor([&] { return GetForegroundWindow() == main_; }, 2000);
  }
  HWND FocusOfProgram() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(main_, nullptr), &info);
    return info.hwndFocus;
  }

  support::TempDir folder_;
  PROCESS_INFORMATION process_{};
  HWND main_ = nullptr;
  std::vector<store::VerseRecord> rows_;
};

TEST_F(VerseExeTest, AFirstRunShowsTheFirstVerseOnTopAndRegistersTheProgram) {
  LaunchWithStore();
  EXPECT_EQ(WindowText(main_), "Lumaret");
  EXPECT_TRUE(WaitFor([&] { return ShowsRow(rows_[0]); }, 3000));
  EXPECT_EQ(RunValue(), folder_.File("verse.exe"));
  EXPECT_FALSE(FileExists(folder_.File("verse.ini")));
  // The window centred on the 1024 x 768 desktop.
  RECT frame{};
  GetWindowRect(main_, &frame);
  EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 2);
  EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 2);

  // The labels paint themselves after their text is set: let them, then take the picture.
  RedrawWindow(main_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  WaitFor([] { return false; }, 1000);
  CreateDirectoryW(Wide(LUMARET_ARTIFACT_DIR).c_str(), nullptr);
  EXPECT_TRUE(SaveWindowBitmap(main_, std::string(LUMARET_ARTIFACT_DIR) + "/verse-window.bmp"));
}

TEST_F(VerseExeTest, ButtonsKeysAndMenusDriveTheProgramAndExitSavesTheSettings) {
  LaunchWithStore();
  // "&Amen" has the focus when the window opens; Tab moves between the two buttons.
  Activate();
  ASSERT_EQ(GetForegroundWindow(), main_);
  EXPECT_EQ(FocusOfProgram(), GetDlgItem(main_, IDC_MINIMIZE_CMD));
  Press(VK_TAB);
  EXPECT_TRUE(WaitFor([&] { return FocusOfProgram() == GetDlgItem(main_, IDC_NEW_VERSE_CMD); }, 2000));
  Press(VK_TAB);
  EXPECT_TRUE(WaitFor([&] { return FocusOfProgram() == GetDlgItem(main_, IDC_MINIMIZE_CMD); }, 2000));

  SendMessageW(GetDlgItem(main_, IDC_NEW_VERSE_CMD), BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return ShowsRow(rows_[1]); }, 3000));
  EXPECT_EQ(SettingsNumbers(folder_.File("verse.ini")).at(0), 1);
  Activate();

  Chord(VK_MENU, 'N');
  EXPECT_TRUE(WaitFor([&] { return ShowsRow(rows_[2]); }, 3000));
  Chord(VK_CONTROL, 'C');
  const store::VerseRecord& row = rows_[2];
  EXPECT_TRUE(WaitFor([&] {
    return ClipboardText() == Ansi(row.book + " " + row.chapter + ":" + row.verses + "\r\n" + row.verseTxt);
  }, 3000)) << ClipboardText();

  // Options > Reminder Interval > Eight Hours, by keyboard.
  Chord(VK_MENU, 'O');
  Press(VK_DOWN);
  Press(VK_RIGHT);
  Press('E');
  EXPECT_TRUE(WaitFor([&] {
    const std::vector<long> numbers = SettingsNumbers(folder_.File("verse.ini"));
    return numbers.size() == 5 && numbers[3] == 480;
  }, 3000));

  // File > Exit.
  Activate();
  Chord(VK_MENU, 'F');
  Press('X');
  ASSERT_TRUE(Ended());
  const std::vector<long> settings = SettingsNumbers(folder_.File("verse.ini"));
  ASSERT_EQ(settings.size(), 5u);
  EXPECT_EQ(settings[0], 2);
  EXPECT_EQ(settings[3], 480);
  EXPECT_EQ(settings[4], 1);
  EXPECT_EQ(FileBytes(folder_.File("verse.ini")).substr(0, 5), " 2 \r\n");
}

TEST_F(VerseExeTest, AmenHidesIntoTheTrayAndTheIconsLeftPressBringsTheVerseBack) {
  LaunchWithStore();
  SendMessageW(GetDlgItem(main_, IDC_NEW_VERSE_CMD), BM_CLICK, 0, 0);
  SendMessageW(GetDlgItem(main_, IDC_MINIMIZE_CMD), BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(main_); }, 3000));
  EXPECT_FALSE(IsTopmost(main_));
  SendMessageW(main_, WM_MOUSEMOVE, 1, WM_LBUTTONDOWN);
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main_) && IsTopmost(main_); }, 3000));
  EXPECT_TRUE(ShowsRow(rows_[1]));

  // The close box hides too, and saves.
  SendMessageW(main_, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(main_); }, 3000));
  EXPECT_FALSE(Ended(500));
  EXPECT_EQ(SettingsNumbers(folder_.File("verse.ini")).size(), 5u);
}

TEST_F(VerseExeTest, HelpAboutOpensTheAboutBoxAndExitClosesItWithTheProgram) {
  LaunchWithStore();
  Activate();
  Chord(VK_MENU, 'H');
  Press('A');
  EXPECT_TRUE(WaitFor([&] { return FindProcessWindow(process_.dwProcessId, "LumaretAboutFrm") != nullptr; }, 5000));
  // The keyboard now belongs to the About box; File > Exit as the menu sends it.
  PostMessageW(main_, WM_COMMAND, MAKEWPARAM(IDM_FILE_EXIT, 0), 0);
  ASSERT_TRUE(Ended());
  EXPECT_EQ(SettingsNumbers(folder_.File("verse.ini")).size(), 5u);
}

TEST_F(VerseExeTest, F1OpensTheHelpFileAndF2StartsTheEditorBesideTheProgram) {
  CopyFileTo(LUMARET_HELP_FILE, folder_.File("lumaret2.chm"));
  CopyFileTo(LUMARET_TOVIMAR_EXE, folder_.File("tovimar.exe"));
  LaunchWithStore();
  Activate();
  Press(VK_F1);
  HWND help = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (help = FindWindowA("HH Parent", nullptr)) != nullptr; }, 15000))
      << "the help viewer did not open";
  EXPECT_EQ(WindowText(help), "Lumaret Help");
  EXPECT_FALSE(IsTopmost(main_)) << "the verse must not cover the help";
  PostMessageW(help, WM_CLOSE, 0, 0);
  WaitFor([&] { return FindWindowA("HH Parent", nullptr) == nullptr; }, 5000);

  Activate();
  Press(VK_F2);
  HWND editor = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (editor = FindWindowW(L"TovimarEditFrm", nullptr)) != nullptr; }, 15000))
      << "the editor did not start";
  EXPECT_EQ(WindowText(editor), "Tovimar");
  PostMessageW(editor, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return FindWindowW(L"TovimarEditFrm", nullptr) == nullptr; }, 5000));
  EXPECT_FALSE(Ended(200)) << "the reminder keeps running";
}

TEST_F(VerseExeTest, F1AndF2WithTheirFilesMissingShowNothing) {
  LaunchWithStore();
  Activate();
  Press(VK_F1);
  Activate();
  Press(VK_F2);
  // Nothing may appear: no viewer, no editor, no message from the program.
  EXPECT_FALSE(WaitFor([&] { return FindProcessWindow(process_.dwProcessId, kMessageBoxClass) != nullptr ||
                                    FindWindowA("HH Parent", nullptr) != nullptr ||
                                    FindWindowW(L"TovimarEditFrm", nullptr) != nullptr; },
                       2000));
  EXPECT_TRUE(FindProcessWindow(process_.dwProcessId, kMainClass) != nullptr);
  EXPECT_FALSE(Ended(200));
}

TEST_F(VerseExeTest, ASecondCopyEndsAtOnceAndLeavesTheFirstAlone) {
  LaunchWithStore();
  PROCESS_INFORMATION second{};
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring commandLine = L"\"" + Wide(folder_.File("verse.exe")) + L"\"";
  ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &second));
  EXPECT_EQ(WaitForSingleObject(second.hProcess, 10000), WAIT_OBJECT_0);
  EXPECT_EQ(FindProcessWindow(second.dwProcessId, kMainClass), nullptr);
  CloseHandle(second.hProcess);
  CloseHandle(second.hThread);
  EXPECT_FALSE(Ended(200));
  EXPECT_TRUE(IsWindowVisible(main_));
  EXPECT_FALSE(FileExists(folder_.File("verse.ini")));
}

// A blank row the reminder cannot delete is stepped over: Next Verse still reaches the
// rows after it instead of going back to the first row each time.
TEST_F(VerseExeTest, OnAReadOnlyStoreNextVerseStepsOverABlankRowItCannotDelete) {
  const std::string path = folder_.File("verse97.mdb");
  const std::vector<store::VerseRecord> rows = {{"John", "3", "16", "For God so loved the world", false},
                                                {"", "", "", "", false},
                                                {"Romans", "8", "28", "And we know that all things", false}};
  auto schema = store::VerseTableSchema();
  ASSERT_TRUE(schema.ok());
  ASSERT_TRUE(jet::CreateDatabase(jet::SystemFileSystem(), path, *schema, 46000.5).ok());
  store::JetVerseTable table(jet::SystemFileSystem(), path);
  for (const auto& row : rows) ASSERT_TRUE(table.Insert(row).ok());
  win32::test::ReadOnlyStore readOnly(path);
  ASSERT_TRUE(readOnly.made()) << "the store could still be written";

  Launch();
  ASSERT_TRUE(WaitFor([&] { return (main_ = FindProcessWindow(process_.dwProcessId, kMainClass)) != nullptr; }));
  ASSERT_TRUE(WaitFor([&] { return ShowsRow(rows[0]); }, 3000));
  for (const auto& expected : {rows[2], rows[0], rows[2]}) {
    SendMessageW(GetDlgItem(main_, IDC_NEW_VERSE_CMD), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return ShowsRow(expected); }, 3000)) << "expected " << expected.book;
  }
  EXPECT_EQ(StoreRows(path, 3).size(), 3u) << "the blank row stays";
}

TEST_F(VerseExeTest, AMissingStoreIsReportedAndEndsTheProgram) {
  Launch();
  const Box box = WaitForMessageBox();
  ASSERT_NE(box.window, nullptr);
  EXPECT_EQ(box.title, "DATABASE MISSING!");
  EXPECT_EQ(box.text, "Database Not Found!");
  SendMessageW(box.window, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(Ended());
  EXPECT_FALSE(FileExists(folder_.File("verse.ini")));
  EXPECT_EQ(RunValue(), "<absent>");
}

TEST_F(VerseExeTest, AStoreThatIsNotADatabaseIsReportedAndEndsTheProgram) {
  HANDLE file = CreateFileW(Wide(folder_.File("verse97.mdb")).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  const std::string junk(4096, 'x');
  DWORD written = 0;
  WriteFile(file, junk.data(), static_cast<DWORD>(junk.size()), &written, nullptr);
  CloseHandle(file);
  Launch();
  const Box box = WaitForMessageBox();
  ASSERT_NE(box.window, nullptr);
  EXPECT_EQ(box.title, "Database error");
  EXPECT_EQ(box.text.rfind("FATAL ERROR 3343 - ", 0), 0u) << box.text;
  EXPECT_GT(box.text.size(), 19u + 18u);
  EXPECT_EQ(box.text.substr(box.text.size() - 18), "  loading database") << box.text;
  SendMessageW(box.window, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(Ended());
  EXPECT_FALSE(FileExists(folder_.File("verse.ini")));
}

TEST_F(VerseExeTest, WithAFastClockAmenHidesTheWindowAndTheReminderBringsItBack) {
  LaunchWithStore(LUMARET_FAST_CLOCK_EXE, "verse_fast_clock.exe");
  SendMessageW(GetDlgItem(main_, IDC_MINIMIZE_CMD), BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(main_); }, 3000));
  // The first tick settles on thirty minutes; thirty changes of minute later it is back.
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main_); }, 20000));
  // Shown first, then put on top: the program may be between the two.
  EXPECT_TRUE(WaitFor([&] { return IsTopmost(main_); }, 3000));
  EXPECT_TRUE(ShowsRow(rows_[0]));
  EXPECT_EQ(SettingsNumbers(folder_.File("verse.ini")).at(3), 30);
}

}  // namespace
}  // namespace win32::reminder::test
