// The real Form1 window in the test process, over a copy of the shipped store, the
// real Win32 services and the wine registry.
#include <windows.h>
// commctrl.h needs the types from windows.h.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "win32/reminder/form1_layout.h"
#include "win32/reminder/reminder_app.h"
#include "verse/resource_ids.h"
#include "support/temp_dir.h"
#include "win32/common/text.h"
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

std::uint32_t Field(const std::array<std::uint8_t, 88>& record, std::size_t offset) {
  return static_cast<std::uint32_t>(record[offset]) | static_cast<std::uint32_t>(record[offset + 1]) << 8 |
         static_cast<std::uint32_t>(record[offset + 2]) << 16 | static_cast<std::uint32_t>(record[offset + 3]) << 24;
}

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

  lumaret::test::TempDir folder_;
  FolderProgram program_{folder_.path()};
  RecordingNotifyIcon notifyIcon_;
  std::vector<store::VerseRecord> rows_;
  std::unique_ptr<ReminderApp> app_;
  HWND hwnd_ = nullptr;
};

TEST_F(Form1WindowTest, AfterStartUpTheWindowShowsTheFirstRowOnTopOfOthers) {
  Start();
  EXPECT_EQ(WindowText(hwnd_), "Lumaret");
  EXPECT_EQ(Label(IDC_BOOK_LBL), rows_[0].book);
  EXPECT_EQ(Label(IDC_CHAPTER_LBL), rows_[0].chapter);
  EXPECT_EQ(Label(IDC_VERSES_LBL), rows_[0].verses);
  EXPECT_EQ(Label(IDC_VERSE_TXT_LBL), rows_[0].verseTxt);
  EXPECT_EQ(Label(IDC_CHAP_VERSE_SEP_LBL), ":");
  EXPECT_EQ(Label(IDC_NEW_VERSE_CMD), "&Next Verse");
  EXPECT_EQ(Label(IDC_MINIMIZE_CMD), "&Amen");
  EXPECT_TRUE(IsWindowVisible(hwnd_));
  EXPECT_TRUE(IsTopmost(hwnd_));
  EXPECT_EQ(ToolTipText(IDC_NEW_VERSE_CMD), "Verse 1");
  EXPECT_EQ(ToolTipText(IDC_MINIMIZE_CMD), "Hide in Tray...");
}

TEST_F(Form1WindowTest, TheClientAreaControlsAndFontsFollowTheLayoutAtTheScreensAndEachMonitorsDpi) {
  Start();
  const int screenDpi = app_->Window().DpiY();
  HWND button = GetDlgItem(hwnd_, IDC_MINIMIZE_CMD);
  auto buttonFontHeight = [&] {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfHeight;
  };
  const LONG screenFontHeight = buttonFontHeight();
  // As the window system sends it when the window moves onto a monitor of another scale.
  for (const int dpi : {screenDpi, 144, 120, screenDpi}) {
    if (dpi != app_->Window().DpiY()) {
      RECT frame{};
      GetWindowRect(hwnd_, &frame);
      RECT suggested{frame.left + 50, frame.top + 40, frame.left + 50 + MulDiv(frame.right - frame.left, dpi, 96),
                     frame.top + 40 + MulDiv(frame.bottom - frame.top, dpi, 96)};
      SendMessageW(hwnd_, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
      RECT moved{};
      GetWindowRect(hwnd_, &moved);
      EXPECT_EQ(moved.left, suggested.left);
      EXPECT_EQ(moved.top, suggested.top);
    }
    const int dpiX = app_->Window().DpiX();
    const int dpiY = app_->Window().DpiY();
    ASSERT_EQ(dpiY, dpi);
    RECT client{};
    GetClientRect(hwnd_, &client);
    EXPECT_EQ(client.right, MulDiv(kClientWidthTwips, dpiX, kTwipsPerInch)) << dpi;
    EXPECT_EQ(client.bottom, MulDiv(kClientHeightTwips, dpiY, kTwipsPerInch)) << dpi;
    struct Expected {
      int id;
      TwipsBox box;
    };
    for (const Expected& control : {Expected{IDC_BOOK_LBL, kBookLblBox}, Expected{IDC_CHAPTER_LBL, kChapterLblBox},
                                    Expected{IDC_CHAP_VERSE_SEP_LBL, kChapVerseSepLblBox},
                                    Expected{IDC_VERSES_LBL, kVersesLblBox},
                                    Expected{IDC_VERSE_TXT_LBL, kVerseTxtLblBox},
                                    Expected{IDC_NEW_VERSE_CMD, kNewVerseCmdBox},
                                    Expected{IDC_MINIMIZE_CMD, kMinimizeCmdBox}}) {
      RECT r{};
      GetWindowRect(GetDlgItem(hwnd_, control.id), &r);
      MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
      EXPECT_EQ(r.left, MulDiv(control.box.left, dpiX, kTwipsPerInch)) << control.id << " at " << dpi;
      EXPECT_EQ(r.top, MulDiv(control.box.top, dpiY, kTwipsPerInch)) << control.id << " at " << dpi;
      EXPECT_EQ(r.right - r.left, MulDiv(control.box.width, dpiX, kTwipsPerInch)) << control.id << " at " << dpi;
      EXPECT_EQ(r.bottom - r.top, MulDiv(control.box.height, dpiY, kTwipsPerInch)) << control.id << " at " << dpi;
    }
    EXPECT_EQ(buttonFontHeight(), MulDiv(screenFontHeight, dpi, screenDpi)) << dpi;
  }
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
  EXPECT_EQ(Label(IDC_BOOK_LBL), longRow.book);
}

TEST_F(Form1WindowTest, ASecondCopyEndsWithoutAWindowOrSettings) {
  Start();
  std::unique_ptr<ReminderApp> second = MakeApp();
  EXPECT_FALSE(second->Start());
  EXPECT_FALSE(IsWindowVisible(second->Window().Hwnd()));
  EXPECT_FALSE(FileExists(Settings()));
  second.reset();
  EXPECT_TRUE(IsWindowVisible(hwnd_));
}

TEST_F(Form1WindowTest, TheCloseBoxHidesTheWindowAndWritesTheSettings) {
  Start();
  SendMessageW(hwnd_, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(IsWindow(hwnd_));
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  EXPECT_FALSE(IsTopmost(hwnd_));
  EXPECT_EQ(app_->Form().State().InTray, ::reminder::kTrue);
  const std::vector<long> settings = SettingsNumbers(Settings());
  ASSERT_EQ(settings.size(), 5u);
  EXPECT_EQ(settings[0], 0);
  EXPECT_EQ(settings[4], 1);
}

TEST_F(Form1WindowTest, FileExitEndsTheProgramWithTheSettingsWritten) {
  Start();
  Click(IDC_NEW_VERSE_CMD);
  Command(IDM_FILE_EXIT);
  EXPECT_FALSE(IsWindow(hwnd_));
  MSG quit{};
  EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  const std::vector<long> settings = SettingsNumbers(Settings());
  ASSERT_EQ(settings.size(), 5u);
  EXPECT_EQ(settings[0], 1);
  // The icon is deleted on the way out, whether or not it was there.
  ASSERT_FALSE(notifyIcon_.calls.empty());
  EXPECT_EQ(notifyIcon_.calls.back().message, ::reminder::NotifyIcon::kDelete);
}

TEST_F(Form1WindowTest, NextVerseShowsTheSecondRowAndNumbersItsTooltip) {
  Start();
  Click(IDC_NEW_VERSE_CMD);
  EXPECT_EQ(Label(IDC_BOOK_LBL), rows_[1].book);
  EXPECT_EQ(Label(IDC_VERSE_TXT_LBL), rows_[1].verseTxt);
  EXPECT_EQ(ToolTipText(IDC_NEW_VERSE_CMD), "Verse 2");
  EXPECT_EQ(SettingsNumbers(Settings()).at(0), 1);
}

TEST_F(Form1WindowTest, CopyPutsTheHeadingAndTheVerseOnTheClipboardAsPlainText) {
  Start();
  Command(IDM_EDIT_COPY);
  const store::VerseRecord& row = rows_[0];
  EXPECT_EQ(ClipboardText(), Ansi(row.book + " " + row.chapter + ":" + row.verses + "\r\n" + row.verseTxt));
}

TEST_F(Form1WindowTest, AmenAddsTheEightyEightByteIconAndALeftPressShowsTheWindowAgain) {
  Start();
  Click(IDC_MINIMIZE_CMD);
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  EXPECT_FALSE(IsTopmost(hwnd_));
  ASSERT_EQ(notifyIcon_.calls.size(), 1u);
  const RecordingNotifyIcon::Call& add = notifyIcon_.calls[0];
  EXPECT_EQ(add.message, ::reminder::NotifyIcon::kAdd);
  EXPECT_TRUE(add.result) << "Shell_NotifyIconA refused the record";
  EXPECT_EQ(Field(add.record, 0), 88u);
  EXPECT_EQ(Field(add.record, 4), static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(hwnd_)));
  EXPECT_EQ(Field(add.record, 8), 1u);
  EXPECT_EQ(Field(add.record, 12), 7u);
  EXPECT_EQ(Field(add.record, 16), 512u);
  EXPECT_NE(Field(add.record, 20), 0u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&add.record[24]), 8), std::string("Lumaret\0", 8));
  EXPECT_EQ(add.record[87], ' ');

  // The icon's callback arrives as a mouse move; a right press and a release do nothing.
  SendMessageW(hwnd_, WM_MOUSEMOVE, 1, WM_RBUTTONDOWN);
  SendMessageW(hwnd_, WM_MOUSEMOVE, 1, WM_LBUTTONUP);
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  SendMessageW(hwnd_, WM_MOUSEMOVE, 1, WM_LBUTTONDOWN);
  EXPECT_TRUE(IsWindowVisible(hwnd_));
  EXPECT_TRUE(IsTopmost(hwnd_));
  ASSERT_EQ(notifyIcon_.calls.size(), 2u);
  EXPECT_EQ(notifyIcon_.calls[1].message, ::reminder::NotifyIcon::kDelete);
  EXPECT_TRUE(notifyIcon_.calls[1].result) << "the icon was not there to delete";
  EXPECT_EQ(app_->Form().State().InTray, ::reminder::kFalse);
}

TEST_F(Form1WindowTest, ANewNotificationAreaGetsTheIconBackWhileHidden) {
  Start();
  const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  SendMessageW(hwnd_, taskbarCreated, 0, 0);
  EXPECT_TRUE(notifyIcon_.calls.empty());
  Click(IDC_MINIMIZE_CMD);
  SendMessageW(hwnd_, taskbarCreated, 0, 0);
  ASSERT_EQ(notifyIcon_.calls.size(), 2u);
  EXPECT_EQ(notifyIcon_.calls[1].message, ::reminder::NotifyIcon::kAdd);
  SendMessageW(hwnd_, WM_MOUSEMOVE, 1, WM_LBUTTONDOWN);
}

TEST_F(Form1WindowTest, TheFirstRunRegistersTheProgramAndTheMenuItemRemovesItFromBothRunKeys) {
  Start();
  EXPECT_EQ(RunValue(), folder_.path() + "\\verse.exe");
  EXPECT_EQ(GetMenuState(GetMenu(hwnd_), IDM_OPTIONS_AUTOSTART, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
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

TEST_F(Form1WindowTest, AnIntervalChoiceMovesTheCheckMarkAndIsSaved) {
  Start();
  Command((IDM_INTERVAL_0 + 3));
  HMENU menu = GetMenu(hwnd_);
  for (int id = IDM_INTERVAL_0; id <= (IDM_INTERVAL_0 + 4); ++id) {
    EXPECT_EQ((GetMenuState(menu, static_cast<UINT>(id), MF_BYCOMMAND) & MF_CHECKED) != 0, id == (IDM_INTERVAL_0 + 3));
  }
  EXPECT_EQ(SettingsNumbers(Settings()).at(3), 480);
}

TEST_F(Form1WindowTest, AmenUnderStartupOnlyEndsTheProgramInsteadOfHiding) {
  Start();
  Command((IDM_INTERVAL_0 + 4));
  Click(IDC_MINIMIZE_CMD);
  EXPECT_FALSE(IsWindow(hwnd_));
  EXPECT_EQ(app_->Form().State().ExitRequested, ::reminder::kTrue);
  EXPECT_EQ(SettingsNumbers(Settings()).at(3), 999);
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
