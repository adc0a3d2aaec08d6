// EditFrm's real window in this process, over the in-memory table: what only the window
// shows. The text boxes and message boxes keep the view contract the fake keeps; the
// layout is the twips a user would measure, at the screen's DPI and after a change of
// it; the keyboard reaches the commands and walks the fields.
#include "win32/editor/edit_window.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editor/edit_view_contract.h"
#include "editor/editor_texts.h"
#include "editor/editor_user.h"
#include "support/fake_verse_table.h"
#include "tovimar/tovimar_ids.h"
#include "win32/common/text.h"
#include "win32/editor/program_version_win32.h"

namespace win32::editor::test {
namespace {

using ::editor::kBookField;
using ::editor::kVersesField;

std::string Text(HWND hwnd) { return Utf8(WindowText(hwnd)); }

// The message boxes of this thread, read and answered from a timer that runs inside
// their modal loop, and recorded as FakeEditView records them.
std::vector<std::string> gBoxes;
std::optional<bool> gAnswer;

BOOL CALLBACK FindBox(HWND hwnd, LPARAM found) {
  wchar_t name[16] = {};
  GetClassNameW(hwnd, name, 16);
  if (lstrcmpW(name, L"#32770") == 0 && IsWindowVisible(hwnd)) *reinterpret_cast<HWND*>(found) = hwnd;
  return TRUE;
}

void CALLBACK AnswerBox(HWND, UINT, UINT_PTR, DWORD) {
  static HWND answered = nullptr;
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
  if (box == nullptr || box == answered) return;
  answered = box;
  std::string text, mark;
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t name[16] = {};
    GetClassNameW(child, name, 16);
    if (lstrcmpiW(name, L"Static") != 0) continue;
    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
      if (text.empty()) text = Text(child);  // the message
      continue;
    }
    const auto icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    for (auto [id, m] : {std::pair{32516, "i"}, {32514, "?"}, {32515, "!"}}) {  // IDI_INFORMATION ...
      if (IsWindowVisible(child) && icon != nullptr && icon == LoadIconW(nullptr, MAKEINTRESOURCEW(id)))
        mark = m;
    }
  }
  gBoxes.push_back((GetDlgItem(box, IDYES) != nullptr ? "ask " : "") + Text(box) + "|" + mark + "|" + text);
  const int id = gAnswer ? (*gAnswer ? IDYES : IDNO) : LOWORD(SendMessageW(box, DM_GETDEFID, 0, 0));
  gAnswer.reset();
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

class EditWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }  // a WM_QUIT left over would end a box at once
    gBoxes.clear();
    timer_ = SetTimer(nullptr, 0, 30, AnswerBox);
    ASSERT_TRUE(window_.Create(GetModuleHandleW(nullptr), SW_SHOW));
    hwnd_ = FindWindowW(kEditFrmClass, nullptr);
    SetForegroundWindow(hwnd_);
  }
  void TearDown() override { KillTimer(nullptr, timer_); }

  // Pumps this thread's messages as the program's loop does, until `done` holds.
  bool PumpUntil(const std::function<bool()>& done) {
    for (int waited = 0; waited < 5000; waited += 10, Sleep(10)) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (window_.PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      if (done()) return true;
    }
    return false;
  }
  static void Keys(const std::vector<WORD>& keys, bool alt = false) {
    std::vector<INPUT> inputs;
    auto key = [&](WORD vk, bool up) {
      INPUT input{INPUT_KEYBOARD, {}};
      input.ki.wVk = vk;
      input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
      inputs.push_back(input);
    };
    if (alt) key(VK_MENU, false);
    for (WORD k : keys) key(k, false), key(k, true);
    if (alt) key(VK_MENU, true);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  }
  HWND Control(int id) const {
    for (HWND parent : {hwnd_, GetDlgItem(hwnd_, IDC_PIC_BUTTONS), GetDlgItem(hwnd_, IDC_DAT_PRIMARY_RS)}) {
      if (HWND child = GetDlgItem(parent, id)) return child;
    }
    return nullptr;
  }
  HWND Field(int index) const { return Control(IDC_TXT_FIELDS + index); }

  support::FakeVerseTable table_{
      {{"John", "3", "16", "For God", true}, {"Psalm", "23", "1", "The LORD", false}}};
  store::VerseRecordset rs_{table_};
  FileProgramVersion version_;  // this test program holds the editor's resources
  EditWindow window_{rs_, version_};
  HWND hwnd_ = nullptr;
  UINT_PTR timer_ = 0;
};

TEST_F(EditWindowTest, KeepsTheViewContract) {
  ::editor::test::CheckEditViewContract(
      {window_, [] { return gBoxes; }, [](std::optional<bool> yes) { gAnswer = yes; }});
}

// The twips of the window and of each control, at the screen's DPI and after the window
// moved to a screen of twice that; each control's text and font; which ones show.
TEST_F(EditWindowTest, LaysOutTheControlsInTwipsAtTheScreensDpi) {
  struct Place {
    int id;
    const char* text;  // null: not compared
    int left, top, width, height;
    bool visible = true;
  };
  const Place places[] = {
      {IDC_LBL_LABELS, "Book:", 120, 60, 1815, 255},
      {IDC_TXT_FIELDS, "John", 2040, 60, 3375, 285},
      {IDC_LBL_LABELS + 1, "Chapter:", 120, 380, 1815, 255},
      {IDC_TXT_FIELDS + 1, "3", 2040, 380, 3375, 285},
      {IDC_LBL_LABELS + 2, "Read:", 5640, 120, 615, 255, false},
      {IDC_CHK_FIELDS + 2, "", 6360, 120, 495, 285, false},
      {IDC_LBL_LABELS + 3, "Verses:", 120, 1020, 1815, 255},
      {IDC_TXT_FIELDS + 3, "16", 2040, 1020, 3375, 285},
      {IDC_LBL_LABELS + 4, "VerseTxt:", 120, 1340, 1815, 255},
      {IDC_TXT_FIELDS + 4, "For God", 2040, 1340, 5415, 1365},
      {IDC_PIC_BUTTONS, nullptr, 0, 2925, 7665, 300},
      {IDC_CMD_ADD, "&Add", 59, 0, 1095, 300},
      {IDC_CMD_UPDATE, "&Update", 1213, 0, 1095, 300},
      {IDC_CMD_DELETE, "&Delete", 2367, 0, 1095, 300},
      {IDC_CMD_REFRESH, "&Refresh", 3521, 0, 1095, 300},
      {IDC_DAT_PRIMARY_RS, "Record: 1", 0, 3225, 7665, 330},
  };
  HDC screen = GetDC(nullptr);
  const int screenDpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  RECT frame;
  GetWindowRect(hwnd_, &frame);
  EXPECT_NEAR(frame.left + frame.right, GetSystemMetrics(SM_CXSCREEN), 2) << "centred";
  EXPECT_NEAR(frame.top + frame.bottom, GetSystemMetrics(SM_CYSCREEN), 2) << "centred";
  for (int dpi : {screenDpi, 2 * screenDpi}) {
    SCOPED_TRACE("dpi " + std::to_string(dpi));
    if (dpi != screenDpi) {
      RECT suggested{0, 0, 2000, 1000};
      SendMessageW(hwnd_, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    }
    auto px = [dpi](int twips) { return static_cast<long>(MulDiv(twips, dpi, 1440)); };
    RECT client;
    GetClientRect(hwnd_, &client);
    EXPECT_EQ((std::vector<long>{client.right, client.bottom}), (std::vector<long>{px(7665), px(3555)}));
    for (const Place& p : places) {
      HWND control = Control(p.id);
      ASSERT_NE(control, nullptr) << p.id;
      RECT rc;
      GetWindowRect(control, &rc);
      MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rc), 2);
      EXPECT_EQ((std::vector<long>{rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top}),
                (std::vector<long>{px(p.left), px(p.top), px(p.width), px(p.height)}))
          << p.id;
      EXPECT_EQ(IsWindowVisible(control) != FALSE, p.visible) << p.id;
      if (p.text == nullptr) continue;
      EXPECT_EQ(Text(control), p.text) << p.id;
      LOGFONTW font{};
      GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
      EXPECT_EQ(Utf8(font.lfFaceName) + " " + std::to_string(font.lfHeight),
                "MS Sans Serif " + std::to_string(-MulDiv(8, dpi, 72)))
          << p.id;
    }
  }
  // The VerseTxt box wraps its words: multi-line, without scroll bars.
  EXPECT_EQ(
      GetWindowLongW(Field(::editor::kVerseTxtField), GWL_STYLE) & (ES_MULTILINE | WS_HSCROLL | WS_VSCROLL),
      ES_MULTILINE);
}

TEST_F(EditWindowTest, HasTheFileAndHelpMenus) {
  std::string menus;
  HMENU bar = GetMenu(hwnd_);
  wchar_t text[32] = {};
  for (int i = 0; i < GetMenuItemCount(bar); ++i) {
    GetMenuStringW(bar, static_cast<UINT>(i), text, 32, MF_BYPOSITION);
    menus += Utf8(text) + ":";
    HMENU popup = GetSubMenu(bar, i);
    for (int j = 0; j < GetMenuItemCount(popup); ++j) {
      GetMenuStringW(popup, static_cast<UINT>(j), text, 32, MF_BYPOSITION);
      menus += " " + (GetMenuItemID(popup, j) == 0 ? std::string("-") : Utf8(text));
    }
    menus += ";";
  }
  EXPECT_EQ(menus, "&File: E&xit;&Help: &About - Notes;");
}

// The access keys and the menus from the keyboard, Tab from field to field past the
// hidden Read box, and the focus back in its field once a message box is gone.
TEST_F(EditWindowTest, TheKeyboardReachesEveryCommandAndField) {
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == Field(kBookField); }));
  Keys({'A'}, true);
  ASSERT_TRUE(PumpUntil([&] { return Text(Control(IDC_DAT_PRIMARY_RS)) == "Record: 3"; }));
  Keys({'R', VK_TAB, '8', VK_TAB, '2', VK_TAB, 'G'});
  ASSERT_TRUE(
      PumpUntil([&] { return GetFocus() == Field(::editor::kVerseTxtField) && Text(GetFocus()) == "g"; }));
  Keys({'U'}, true);
  ASSERT_TRUE(PumpUntil([&] { return table_.rows().size() == 3; }));
  EXPECT_EQ(::editor::test::Summary(table_.Records().back()), "r 8:2 g");

  SetFocus(Field(kVersesField));
  Keys({'H'}, true);
  Keys({'A'});
  ASSERT_TRUE(PumpUntil([&] { return gBoxes.size() == 1 && GetForegroundWindow() == hwnd_; }));
  EXPECT_EQ(gBoxes[0], "About...|i|" + ::editor::AboutText({1, 0, 12}));
  EXPECT_TRUE(PumpUntil([&] { return GetFocus() == Field(kVersesField); }));
  Keys({'R'}, true);
  ASSERT_TRUE(PumpUntil([&] { return Text(Control(IDC_DAT_PRIMARY_RS)) == "Record: 1"; }));
  Keys({'D'}, true);
  EXPECT_TRUE(PumpUntil([&] { return table_.rows().size() == 2; }));
  Keys({'F'}, true);
  Keys({'X'});
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hwnd_); }));
}

}  // namespace
}  // namespace win32::editor::test
