// The real Form1 window and its About box in this process, over a copy of the shipped
// store: what only real windows show. Their logic is tested over fakes in tests/reminder,
// and the Win32 services here keep the contracts those fakes keep.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "platform_contract.h"
#include "support/temp_dir.h"
#include "verse/resource_ids.h"
#include "win32/about/about_window.h"
#include "win32/reminder/reminder_app.h"
#include "win32/reminder/system_platform_win32.h"
#include "win32/reminder/ui_platform_win32.h"
#include "window_probe.h"

namespace win32::test {
namespace {

// The program's folder is the test's folder; the program file is called verse.
struct FolderProgram final : ::reminder::ProgramInfo {
  explicit FolderProgram(std::string path) : folder(std::move(path)) {}
  std::string folder;
  std::string Folder() const override { return folder; }
  std::string ExeName() const override { return "verse"; }
};

class Form1WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CopyFileW(Wide(LUMARET_SHIPPED_STORE).c_str(), Wide(folder_.File("verse97.mdb")).c_str(), FALSE);
    reminder::ReminderOptions options;
    options.program = &program_;
    // A name of this process only, so the test never meets a running verse.exe.
    options.mutexName = L"Lumaret.verse.test." + std::to_wstring(GetCurrentProcessId());
    app_ = std::make_unique<reminder::ReminderApp>(GetModuleHandleW(nullptr), options);
    ASSERT_TRUE(app_->Start());
    hwnd_ = app_->Window().Hwnd();
  }
  void TearDown() override {
    app_.reset();
    WaitFor([] { return true; });  // leave no WM_QUIT of a closed window behind
    DeleteRunValue();
  }

  void Command(int id) { SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
  std::string ToolTip(int buttonId) const {
    wchar_t text[80] = {};
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE, info.hwnd = hwnd_, info.lpszText = text;
    info.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(hwnd_, buttonId));
    SendMessageW(app_->Window().ToolTip(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&info));
    return Utf8(text);
  }
  bool Icon(DWORD message = NIM_MODIFY) const {  // the notification area holds the icon (id 1)
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data, data.hWnd = hwnd_, data.uID = 1;
    return Shell_NotifyIconW(message, &data) != FALSE;
  }
  HWND OpenAbout() {  // from the menu; the box takes the top layer from Form1
    Command(IDM_HELP_ABOUT);
    HWND box = FindProcessWindow(GetCurrentProcessId(), "LumaretAboutFrm");
    EXPECT_TRUE(box != nullptr && IsTopmost(box) && !IsTopmost(hwnd_));
    return box;
  }

  support::TempDir folder_;
  FolderProgram program_{folder_.path()};
  std::unique_ptr<reminder::ReminderApp> app_;
  HWND hwnd_ = nullptr;
};

// The tooltips show, the window measures as designed, the menu's items tick.
TEST_F(Form1WindowTest, ShowsOnTopWithTheTooltipsMeasuresAsDesignedAndTicksTheMenusChoices) {
  EXPECT_TRUE(Text(hwnd_) == "Lumaret" && IsTopmost(hwnd_));
  EXPECT_EQ(ToolTip(IDC_MINIMIZE_CMD) + "|" + ToolTip(IDC_NEW_VERSE_CMD), "Hide in Tray...|Verse 1");
  const Box boxes[] = {
      {IDC_NEW_VERSE_CMD, 120, 4080, 1215, 495, nullptr, 0, false, "&Next Verse"},
      {IDC_MINIMIZE_CMD, 5880, 4080, 1215, 495, nullptr, 0, false, "&Amen"},
      {IDC_VERSES_LBL, 4800, 150, 1935, 495, L"Verdana", 1800, true},
      {IDC_CHAP_VERSE_SEP_LBL, 4680, 150, 135, 375, L"Verdana", 1800, true, ":"},
      {IDC_CHAPTER_LBL, 3960, 150, 705, 495, L"Verdana", 1800, true},
      {IDC_BOOK_LBL, 240, 150, 3495, 495, L"Verdana", 1800, true},
      {IDC_VERSE_TXT_LBL, 240, 750, 6735, 3045, L"Verdana", 1425, false},
  };
  ExpectLayout(
      hwnd_, 7230, 4830, boxes, [&](int id) { return GetDlgItem(hwnd_, id); }, 144);
  std::string tree =
      "&File\n  E&xit\n&Edit\n  &Copy\tCtrl+C\n&Options\n  &Start with Windows+\n  Reminder Interval\n"
      "    &Thirty Minutes\n    &One Hour+\n    &Four Hours\n    &Eight Hours\n    &Startup Only\n"
      "  &Chimes+\n  &Data Editor\tF2\n&Help\n  &Help\tF1\n  -\n  &About\n";
  EXPECT_EQ(MenuTree(GetMenu(hwnd_)), tree);
  Command(IDM_INTERVAL_0 + 3);
  Command(IDM_HOURLY_CHIME);
  for (const auto& [from, to] : {std::pair{"One Hour+", "One Hour"}, {"Eight Hours", "Eight Hours+"}})
    tree.replace(tree.find(from), std::string(from).size(), to);
  EXPECT_EQ(MenuTree(GetMenu(hwnd_)), tree.replace(tree.find("Chimes+"), 7, "Chimes"));
}

// Esc, as the program's loop dispatches it, presses Amen, which puts the icon in the
// notification area; a new notification area gets it back, a press on it takes it out.
TEST_F(Form1WindowTest, EscPressesAmenTheIconFollowsTheNotificationAreaAndLoggingOffSaves) {
  const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  SendMessageW(hwnd_, taskbarCreated, 0, 0);
  EXPECT_FALSE(Icon()) << "no icon while the window shows";
  MSG esc{GetDlgItem(hwnd_, IDC_MINIMIZE_CMD), WM_KEYDOWN, VK_ESCAPE, 0x00010001, 0, {}};
  SetFocus(esc.hwnd);
  reminder::Win32EventPump(app_->Window()).Dispatch(esc);
  EXPECT_TRUE(!IsWindowVisible(hwnd_) && Icon());
  Icon(NIM_DELETE);  // as a restarted shell has lost it
  SendMessageW(hwnd_, taskbarCreated, 0, 0);
  EXPECT_TRUE(Icon());
  SendMessageW(hwnd_, WM_MOUSEMOVE, 1, WM_LBUTTONDOWN);
  EXPECT_TRUE(!Icon() && IsWindowVisible(hwnd_) && IsTopmost(hwnd_));
  // Logging off saves the settings and lets the window close.
  EXPECT_EQ(SendMessageW(hwnd_, WM_QUERYENDSESSION, 0, 0), TRUE);
  EXPECT_EQ(SettingsNumbers(folder_.File("verse.ini")).size(), 5u);
  SendMessageW(hwnd_, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(hwnd_));
}

TEST_F(Form1WindowTest, TheAboutBoxOpensWithTheFocusOnItsButtonAndMeasuresAsDesignedAtTwoDpis) {
  const HWND box = OpenAbout(), button = GetWindow(box, GW_CHILD);
  EXPECT_EQ(Text(box), "About...");
  EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr) << "an owned box would follow Form1 out of the top layer";
  EXPECT_TRUE(GetFocus() == button && (GetWindowLongW(button, GWL_STYLE) & BS_DEFPUSHBUTTON) != 0);
  const Box boxes[] = {
      {0, 4560, 1920, 1695, 495, L"MS Sans Serif", 975, false, "&God Bless!"},
      {1, 2160, 840, 3975, 975, L"MS Sans Serif", 975, false},  // the copyright
      {2, 120, 2040, 1900, 300, L"Verdana", 975, true, "Version 2.2.108"},
      {3, 2280, 0, 3495, 650, L"Verdana", 2400, true, "Lumaret"},
  };
  auto child = [&](int index) {  // in creation order
    HWND c = button;
    while (index-- > 0) c = GetWindow(c, GW_HWNDNEXT);
    return c;
  };
  ExpectLayout(box, 6405, 2520, boxes, child, 144);
}

// Every message by which the window system closes the box (to the button, which has the
// focus, or to the box; with IsDialogMessage in the loop or without) reaches the same
// unload: the box is destroyed and Form1 takes the top layer back.
TEST_F(Form1WindowTest, EveryWayOfClosingTheAboutBoxGivesForm1TheTopLayerBack) {
  const struct {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool toButton, dialogLoop;
  } ways[] = {
      {"click", BM_CLICK, 0, 0, true, false},
      {"Enter", WM_KEYDOWN, VK_RETURN, 0x001C0001, true, false},
      {"Esc", WM_KEYDOWN, VK_ESCAPE, 0x00010001, true, false},
      {"Enter, dialog loop", WM_KEYDOWN, VK_RETURN, 0x001C0001, true, true},
      {"Esc, dialog loop", WM_KEYDOWN, VK_ESCAPE, 0x00010001, true, true},
      {"Alt+G", WM_SYSCHAR, 'g', 0x20220001, true, false},
      {"close box", WM_CLOSE, 0, 0, false, false},
      {"Timer1", WM_TIMER, about::AboutWindow::kTimer1Id, 0, false, false},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.name);
    const HWND box = OpenAbout();
    PostMessageW(way.toButton ? GetWindow(box, GW_CHILD) : box, way.message, way.wParam, way.lParam);
    auto dialog = [&](MSG& msg) { return way.dialogLoop && IsWindow(box) && IsDialogMessageW(box, &msg); };
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(box) && IsTopmost(hwnd_); }, 3000, dialog));
  }
}

TEST(Win32PlatformTest, FilesRegistryAndClockKeepTheirFakesContractsAndTheProgramIsThisOne) {
  support::TempDir folder;
  reminder::Win32FileSystem files;
  wchar_t path[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, path);
  ::reminder::test::CheckFileSystemContract(files, folder.path());
  SetCurrentDirectoryW(path);
  EXPECT_EQ(GetFileAttributesW(Wide(folder.File("verse.ini.new")).c_str()), INVALID_FILE_ATTRIBUTES);
  reminder::Win32Registry registry;
  ::reminder::test::CheckRegistryContract(registry, ::reminder::Registry::kCurrentUser,
                                          "Software\\Lumaret\\Contract");
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Lumaret\\Contract");
  ::reminder::test::CheckClockContract(reminder::Win32Clock());
  reminder::Win32ProgramInfo program;
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  EXPECT_EQ(program.Folder() + "\\" + program.ExeName() + ".exe", Utf8(path));
  EXPECT_EQ(program.ExeName(), "reminder_win32_test");
}

}  // namespace
}  // namespace win32::test
