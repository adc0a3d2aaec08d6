// The real verse.exe in a fresh folder, started from another current folder and driven as
// a user would: keys, focus, menus, message boxes, files, the Run key, help, the editor.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "verse/resource_ids.h"
#include "window_probe.h"

namespace win32::test {
namespace {

class VerseExeTest : public ::testing::Test {
 protected:
  void TearDown() override {
    TerminateProcess(process_.hProcess, 9);  // if it still runs
    WaitForSingleObject(process_.hProcess, 5000);
    CloseHandle(process_.hProcess), CloseHandle(process_.hThread);
    DeleteRunValue();
  }

  PROCESS_INFORMATION Start() {  // with another folder current
    std::wstring line = L"\"" + Wide(folder_.File("verse.exe")) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    Copy(LUMARET_VERSE_EXE, "verse.exe");
    EXPECT_TRUE(
        CreateProcessW(nullptr, line.data(), nullptr, nullptr, 0, 0, nullptr, L"C:\\", &startup, &info));
    return info;
  }
  void Copy(const char* from, const char* name) {
    CopyFileW(Wide(from).c_str(), Wide(folder_.File(name)).c_str(), 0);
  }
  // Starts the program beside a copy of the shipped store and waits for its window on top.
  void Launch() {
    Copy(LUMARET_SHIPPED_STORE, "verse97.mdb");
    ASSERT_EQ((rows_ = StoreRows(folder_.File("verse97.mdb"), 2)).size(), 2u);
    process_ = Start();
    ASSERT_TRUE(WaitFor([&] { return (main_ = FindProcessWindow(process_.dwProcessId, "LumaretForm1")); }));
    ASSERT_TRUE(WaitFor([&] { return IsTopmost(main_) && Verse() == rows_[0].verseTxt; }, 3000));
  }
  bool Ended() const { return WaitForSingleObject(process_.hProcess, 10000) == WAIT_OBJECT_0; }
  std::string Verse() const { return Text(GetDlgItem(main_, IDC_VERSE_TXT_LBL)); }
  std::vector<long> Settings() const { return SettingsNumbers(folder_.File("verse.ini")); }
  void Keys(const std::vector<WORD>& keys, WORD modifier = 0) {  // to the program, brought to the front
    SetForegroundWindow(main_);
    WaitFor([&] { return GetForegroundWindow() == main_; }, 2000);
    SendKeys(keys, modifier);
  }
  HWND Focus() const {
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

TEST_F(VerseExeTest, AFirstRunRegistersItselfASecondCopyEndsAndTheKeyboardDrivesItUntilExit) {
  Launch();
  EXPECT_TRUE(RunValue() == folder_.File("verse.exe") && Settings().empty());
  const PROCESS_INFORMATION second = Start();  // a second copy ends at once
  EXPECT_EQ(WaitForSingleObject(second.hProcess, 10000), WAIT_OBJECT_0);
  CloseHandle(second.hProcess), CloseHandle(second.hThread);
  // "&Amen" has the focus when the window opens; Tab moves between the buttons.
  for (int id : {IDC_MINIMIZE_CMD, IDC_NEW_VERSE_CMD, IDC_MINIMIZE_CMD}) {
    EXPECT_TRUE(WaitFor([&] { return Focus() == GetDlgItem(main_, id); }, 2000)) << id;
    Keys({VK_TAB});
  }
  Keys({'N'}, VK_MENU);
  EXPECT_TRUE(WaitFor([&] { return Verse() == rows_[1].verseTxt; }, 3000));
  Keys({'C'}, VK_CONTROL);
  const store::VerseRecord& row = rows_[1];
  const std::string copied = Ansi(row.book + " " + row.chapter + ":" + row.verses + "\r\n" + row.verseTxt);
  EXPECT_TRUE(WaitFor([&] { return ClipboardText() == copied; }, 3000)) << ClipboardText();
  Keys({'O'}, VK_MENU);
  Keys({VK_DOWN, VK_RIGHT, 'E'});  // Options > Reminder Interval > Eight Hours, saved at the exit
  Keys({'O'}, VK_MENU);
  Keys({'S'});  // Options > Start with Windows removes the value
  EXPECT_TRUE(WaitFor([&] { return RunValue().empty(); }, 3000));
  Keys({'H'}, VK_MENU);
  Keys({'A'});  // Help > About; the box then has the keyboard, so Exit comes as the menu sends it
  EXPECT_TRUE(WaitFor([&] { return FindProcessWindow(process_.dwProcessId, "LumaretAboutFrm"); }, 5000));
  PostMessageW(main_, WM_COMMAND, MAKEWPARAM(IDM_FILE_EXIT, 0), 0);
  ASSERT_TRUE(Ended());
  const std::vector<long> saved = Settings();
  EXPECT_TRUE(saved.size() == 5 && saved[0] == 1 && saved[3] == 480 && saved[4] == 0);
}

// With the help file and the editor beside the program, F1 opens the one and F2 starts
// the other, and the reminder leaves the top layer to them; the editor writes an edit to
// the store when it closes. (Without them nothing shows: the logic's tests show that.)
TEST_F(VerseExeTest, F1OpensTheHelpAndF2StartsTheEditorBesideTheProgram) {
  Launch();
  Copy(LUMARET_HELP_FILE, "lumaret2.chm"), Copy(LUMARET_TOVIMAR_EXE, "tovimar.exe");
  const struct {
    WORD key;
    const char *className, *caption;
  } cases[] = {{VK_F1, "HH Parent", "Lumaret Help"}, {VK_F2, "TovimarEditFrm", "Tovimar"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caption);
    Keys({c.key});
    HWND opened = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (opened = FindWindowA(c.className, nullptr)); }, 15000));
    EXPECT_TRUE(Text(opened) == c.caption && !IsTopmost(main_)) << "the verse must not cover it";
    HWND chapter = FindWindowExA(opened, FindWindowExA(opened, nullptr, "Edit", nullptr), "Edit", nullptr);
    if (c.key == VK_F2) SendMessageW(chapter, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"333"));
    PostMessageW(opened, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !FindWindowA(c.className, nullptr); }, 5000));
  }
  EXPECT_EQ(StoreRows(folder_.File("verse97.mdb"), 1).at(0).chapter, "333");
  EXPECT_EQ(WaitForSingleObject(process_.hProcess, 200), WAIT_TIMEOUT) << "the reminder keeps running";
}

// A store that is no database is reported with the engine's error number in a message
// box, after which the program ends without a settings file or a Run value.
TEST_F(VerseExeTest, AStoreThatIsNoDatabaseIsReportedAndEndsTheProgram) {
  std::ofstream(folder_.File("verse97.mdb"), std::ios::binary) << std::string(4096, 'x');
  process_ = Start();
  HWND box = nullptr, label = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (box = FindProcessWindow(process_.dwProcessId, "#32770")); }));
  while ((label = FindWindowExA(box, label, "Static", nullptr)) != nullptr && Text(label).empty()) {
  }
  const std::string message = Text(label);
  EXPECT_EQ(Text(box) + "|" + message.substr(0, 19) + "|" + message.substr(message.size() - 18),
            "Database error|FATAL ERROR 3343 - |  loading database");
  SendMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(Ended() && Settings().empty() && RunValue().empty());
}

}  // namespace
}  // namespace win32::test
