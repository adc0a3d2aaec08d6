// The real Form1 window in the test process, over a copy of the shipped store, the
// real Win32 services and the wine registry: what only the real window shows (its
// measured layout, fonts and menu, keys, tooltips, the clipboard, the notification area
// and the registry). The logic is tested over fakes in tests/reminder; the program end
// to end in verse_exe_test.cpp.
#include <windows.h>
// commctrl.h needs the types from windows.h.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "verse/resource_ids.h"
#include "win32/common/text.h"
#include "win32/reminder/reminder_app.h"
#include "win32/reminder/ui_platform_win32.h"
#include "window_probe.h"

namespace win32::reminder::test {
namespace {

// The program's folder is the test's folder; the program file is called verse.
class FolderProgram final : public ::reminder::ProgramInfo {
 public:
  explicit FolderProgram(std::string folder) : folder_(std::move(folder)) {}
  std::string Folder() const override { return folder_; }
  std::string ExeName() const override { return "verse"; }

 private:
  std::string folder_;
};

// Passes every call on to Shell_NotifyIconA and keeps what it was given and returned.
class RecordingNotifyIcon final : public ::reminder::NotifyIcon {
 public:
  struct Call {
    std::uint32_t message;
    std::array<std::uint8_t, 88> record;
    bool result;
  };
  bool ShellNotifyIcon(std::uint32_t message, const std::array<std::uint8_t, 88>& record) override {
    const bool result = real_.ShellNotifyIcon(message, record);
    calls.push_back({message, record, result});
    return result;
  }
  std::vector<Call> calls;

 private:
  Win32NotifyIcon real_;
};

class Form1WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CopyFileTo(ShippedStorePath(), folder_.File("verse97.mdb"));
    rows_ = StoreRows(folder_.File("verse97.mdb"), 3);
    ASSERT_GE(rows_.size(), 3u) << "the shipped store " << ShippedStorePath() << " has too few rows";
    DeleteRunValue();
  }

  void TearDown() override {
    app_.reset();
    // Leave no WM_QUIT of a closed window behind for the next test.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    DeleteRunValue();
  }

  std::unique_ptr<ReminderApp> MakeApp() {
    ReminderOptions options;
    options.program = &program_;
    options.notifyIcon = &notifyIcon_;
    // A name of this process only, so the test never meets a running verse.exe.
    options.mutexName = L"Lumaret.verse.test." + std::to_wstring(GetCurrentProcessId());
    return std::make_unique<ReminderApp>(GetModuleHandleW(nullptr), options);
  }

  // Starts the program; it shows its window on top.
  void Start() {
    app_ = MakeApp();
    ASSERT_TRUE(app_->Start());
    hwnd_ = app_->Window().Hwnd();
    ASSERT_NE(hwnd_, nullptr);
  }

  std::string Label(int id) const { return WindowText(GetDlgItem(hwnd_, id)); }
  void Command(int id) { SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
  void Click(int id) { SendMessageW(GetDlgItem(hwnd_, id), BM_CLICK, 0, 0); }
  std::string Settings() const { return folder_.File("verse.ini"); }

  std::string ToolTipText(int buttonId) const {
    wchar_t text[80] = {};
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = hwnd_;
    info.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(hwnd_, buttonId));
    info.lpszText = text;
    SendMessageW(app_->Window().ToolTip(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&info));
    return Utf8(text);
  }

  support::TempDir folder_;
  FolderProgram program_{folder_.path()};
  RecordingNotifyIcon notifyIcon_;
  std::vector<store::VerseRecord> rows_;
  std::unique_ptr<ReminderApp> app_;
  HWND hwnd_ = nullptr;
};

TEST_F(Form1WindowTest, AfterStartUpTheWindowShowsTheFirstRowOnTopWithItsTooltips) {
  Start();
  EXPECT_EQ(WindowText(hwnd_), "Lumaret");
  EXPECT_EQ(Label(IDC_BOOK_LBL), rows_[0].book);
  EXPECT_EQ(Label(IDC_CHAPTER_LBL), rows_[0].chapter);
  EXPECT_EQ(Label(IDC_VERSES_LBL), rows_[0].verses);
  EXPECT_EQ(Label(IDC_VERSE_TXT_LBL), rows_[0].verseTxt);
  EXPECT_EQ(Label(IDC_CHAP_VERSE_SEP_LBL), ":");
  EXPECT_EQ(Label(IDC_NEW_VERSE_CMD), "&Next Verse");
  EXPECT_EQ(Label(IDC_MINIMIZE_CMD), "&Amen");
  EXPECT_TRUE(IsTopmost(hwnd_));
  EXPECT_EQ(ToolTipText(IDC_NEW_VERSE_CMD), "Verse 1");
  EXPECT_EQ(ToolTipText(IDC_MINIMIZE_CMD), "Hide in Tray...");
  Click(IDC_NEW_VERSE_CMD);
  EXPECT_EQ(ToolTipText(IDC_NEW_VERSE_CMD), "Verse 2");
}

// What a user measures on the window, in twips converted at the window's DPI, as the
// window is designed: the client area, each control's box and font.
struct ControlSpec {
  int id;
  int left, top, width, height;
  int pointsX100;  // 0: the window's default font, the system's message font
  bool bold;
};
constexpr ControlSpec kControls[] = {
    {IDC_NEW_VERSE_CMD, 120, 4080, 1215, 495, 0, false},
    {IDC_MINIMIZE_CMD, 5880, 4080, 1215, 495, 0, false},
    {IDC_VERSES_LBL, 4800, 150, 1935, 495, 1800, true},
    {IDC_CHAP_VERSE_SEP_LBL, 4680, 150, 135, 375, 1800, true},
    {IDC_CHAPTER_LBL, 3960, 150, 705, 495, 1800, true},
    {IDC_BOOK_LBL, 240, 150, 3495, 495, 1800, true},
    {IDC_VERSE_TXT_LBL, 240, 750, 6735, 3045, 1425, false},
};

TEST_F(Form1WindowTest, TheClientAreaControlsAndFontsAreAsDesignedAtTheScreensAndEachMonitorsDpi) {
  Start();
  const int screenDpi = app_->Window().DpiY();
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
  // As the window system sends it when the window moves onto a monitor of another scale.
  for (const int dpi : {screenDpi, 144, 120}) {
    if (dpi != screenDpi) {
      RECT frame{};
      GetWindowRect(hwnd_, &frame);
      RECT suggested{frame.left + 50, frame.top + 40,
                     frame.left + 50 + MulDiv(frame.right - frame.left, dpi, 96),
                     frame.top + 40 + MulDiv(frame.bottom - frame.top, dpi, 96)};
      SendMessageW(hwnd_, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
      RECT moved{};
      GetWindowRect(hwnd_, &moved);
      EXPECT_EQ(moved.left, suggested.left);
      EXPECT_EQ(moved.top, suggested.top);
    }
    RECT client{};
    GetClientRect(hwnd_, &client);
    EXPECT_EQ(client.right, MulDiv(7230, dpi, 1440)) << dpi;
    EXPECT_EQ(client.bottom, MulDiv(4830, dpi, 1440)) << dpi;
    for (const ControlSpec& c : kControls) {
      HWND control = GetDlgItem(hwnd_, c.id);
      RECT r{};
      GetWindowRect(control, &r);
      MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
      EXPECT_EQ(r.left, MulDiv(c.left, dpi, 1440)) << c.id << " at " << dpi;
      EXPECT_EQ(r.top, MulDiv(c.top, dpi, 1440)) << c.id << " at " << dpi;
      EXPECT_EQ(r.right - r.left, MulDiv(c.width, dpi, 1440)) << c.id << " at " << dpi;
      EXPECT_EQ(r.bottom - r.top, MulDiv(c.height, dpi, 1440)) << c.id << " at " << dpi;
      LOGFONTW font{};
      GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
      if (c.pointsX100 == 0) {
        EXPECT_STREQ(font.lfFaceName, metrics.lfMessageFont.lfFaceName) << c.id;
        EXPECT_EQ(font.lfHeight, MulDiv(metrics.lfMessageFont.lfHeight, dpi, screenDpi))
            << c.id << " at " << dpi;
      } else {
        EXPECT_STREQ(font.lfFaceName, L"Verdana") << c.id;
        EXPECT_EQ(font.lfHeight, -MulDiv(c.pointsX100, dpi, 7200)) << c.id << " at " << dpi;
        EXPECT_EQ(font.lfWeight, c.bold ? FW_BOLD : FW_NORMAL) << c.id;
      }
    }
  }
}

// The menu bar's captions in order, a submenu's items indented by two spaces, with "+"
// after a ticked item.
std::string MenuTree(HMENU menu, const std::string& indent = "") {
  std::string tree;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t caption[64] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), caption, 64, MF_BYPOSITION);
    const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
    tree += indent + (caption[0] == L'\0' ? "-" : win32::Utf8(caption)) +
            ((state & MF_CHECKED) != 0 ? "+" : "") + "\n";
    if (HMENU sub = GetSubMenu(menu, i)) tree += MenuTree(sub, indent + "  ");
  }
  return tree;
}

TEST_F(Form1WindowTest, TheMenuShowsItsCaptionsAndTheChoicesAndAChoiceIsSaved) {
  Start();  // a first run: the choices as designed, start with Windows registered
  const std::string designed =
      "&File\n  E&xit\n&Edit\n  &Copy\tCtrl+C\n&Options\n  &Start with Windows+\n  Reminder Interval\n"
      "    &Thirty Minutes\n    &One Hour+\n    &Four Hours\n    &Eight Hours\n    &Startup Only\n  "
      "&Chimes+\n"
      "  &Data Editor\tF2\n&Help\n  &Help\tF1\n  -\n  &About\n";
  EXPECT_EQ(MenuTree(GetMenu(hwnd_)), designed);
  Command(IDM_INTERVAL_0 + 3);
  Command(IDM_HOURLY_CHIME);
  std::string chosen = designed;
  chosen.replace(chosen.find("&One Hour+"), 10, "&One Hour");
  chosen.replace(chosen.find("&Eight Hours"), 12, "&Eight Hours+");
  chosen.replace(chosen.find("&Chimes+"), 8, "&Chimes");
  EXPECT_EQ(MenuTree(GetMenu(hwnd_)), chosen);
  EXPECT_EQ(SettingsNumbers(Settings()).at(3), 480);
}

TEST_F(Form1WindowTest, EscPressesAmenAndTheAltKeysPressTheButtons) {
  Start();
  Win32EventPump pump(app_->Window());
  auto press = [&](UINT message, WPARAM key, LPARAM flags) {
    MSG msg{GetFocus(), message, key, flags, 0, {}};
    pump.Dispatch(msg);
  };
  press(WM_KEYDOWN, VK_MENU, 0x20380001);
  press(WM_SYSKEYDOWN, 'N', 0x20310001);
  EXPECT_EQ(Label(IDC_BOOK_LBL), rows_[1].book);
  SetFocus(GetDlgItem(hwnd_, IDC_MINIMIZE_CMD));
  press(WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  EXPECT_EQ(app_->Form().State().InTray, ::reminder::kTrue);
}

TEST_F(Form1WindowTest, ALongVerseNeitherGrowsNorMovesItsBox) {
  Start();
  HWND text = GetDlgItem(hwnd_, IDC_VERSE_TXT_LBL);
  RECT before{};
  GetWindowRect(text, &before);
  store::VerseRecord longRow{std::string(200, 'B'), "150", "1-6", std::string(3000, 'x') + " end", false};
  app_->Window().ShowVerse(longRow);
  UpdateWindow(hwnd_);
  RECT after{};
  GetWindowRect(text, &after);
  EXPECT_TRUE(EqualRect(&before, &after));
  EXPECT_EQ(Label(IDC_VERSE_TXT_LBL), longRow.verseTxt);
}

TEST_F(Form1WindowTest, CopyPutsTheHeadingAndTheVerseOnTheClipboardAsPlainText) {
  Start();
  Command(IDM_EDIT_COPY);
  const store::VerseRecord& row = rows_[0];
  EXPECT_EQ(ClipboardText(), Ansi(row.book + " " + row.chapter + ":" + row.verses + "\r\n" + row.verseTxt));
}

// The record the logic builds is one the real notification area takes, to add and to
// delete, also again after the notification area was made anew.
TEST_F(Form1WindowTest, TheNotificationAreaTakesTheIconRecordAndANewOneGetsItBack) {
  Start();
  const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  SendMessageW(hwnd_, taskbarCreated, 0, 0);
  EXPECT_TRUE(notifyIcon_.calls.empty()) << "no icon while the window shows";
  Click(IDC_MINIMIZE_CMD);
  SendMessageW(hwnd_, taskbarCreated, 0, 0);
  SendMessageW(hwnd_, WM_MOUSEMOVE, 1, WM_LBUTTONDOWN);
  ASSERT_EQ(notifyIcon_.calls.size(), 3u);
  const std::uint32_t expected[] = {::reminder::NotifyIcon::kAdd, ::reminder::NotifyIcon::kAdd,
                                    ::reminder::NotifyIcon::kDelete};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(notifyIcon_.calls[i].message, expected[i]) << i;
    EXPECT_EQ(notifyIcon_.calls[i].record[0], 88u) << i;
  }
  EXPECT_TRUE(notifyIcon_.calls[0].result) << "Shell_NotifyIconA refused the record";
  EXPECT_TRUE(notifyIcon_.calls[2].result) << "the icon was not there to delete";
  EXPECT_TRUE(IsWindowVisible(hwnd_));
}

TEST_F(Form1WindowTest, TheFirstRunRegistersTheProgramAndTheMenuItemRemovesItFromBothRunKeys) {
  Start();
  EXPECT_EQ(RunValue(), folder_.path() + "\\verse.exe");
  SetUserRunValue(folder_.path() + "\\verse.exe");  // left by a run without administrator rights
  Command(IDM_OPTIONS_AUTOSTART);
  EXPECT_EQ(RunValue(), "<absent>");
  EXPECT_EQ(RunValue(HKEY_CURRENT_USER), "<absent>");
  EXPECT_EQ(GetMenuState(GetMenu(hwnd_), IDM_OPTIONS_AUTOSTART, MF_BYCOMMAND) & MF_CHECKED, 0u);
  EXPECT_EQ(SettingsNumbers(Settings()).at(4), 0);
  Command(IDM_OPTIONS_AUTOSTART);
  EXPECT_EQ(RunValue(), folder_.path() + "\\verse.exe");
  EXPECT_EQ(SettingsNumbers(Settings()).at(4), 1);
}

TEST_F(Form1WindowTest, LoggingOffSavesTheSettingsAndLetsTheWindowClose) {
  Start();
  EXPECT_EQ(SendMessageW(hwnd_, WM_QUERYENDSESSION, 0, 0), TRUE);
  EXPECT_EQ(SettingsNumbers(Settings()).size(), 5u);
  SendMessageW(hwnd_, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(hwnd_));
}

}  // namespace
}  // namespace win32::reminder::test
