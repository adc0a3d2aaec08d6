// EditFrm's real window in this process, over the in-memory table: it keeps the view
// contract the fake keeps, measures as designed at two DPIs, and the keyboard reaches the
// commands and walks the fields.
#include "win32/editor/edit_window.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "editor/edit_view_contract.h"
#include "editor/editor_texts.h"
#include "support/fake_verse_table.h"
#include "tovimar/tovimar_ids.h"
#include "win32/editor/program_version_win32.h"
#include "window_probe.h"

namespace win32::test {
namespace {

// The message boxes of this thread, read and answered from a timer that runs inside
// their modal loop, and recorded as FakeEditView records them.
std::vector<std::string> gBoxes;
std::optional<bool> gAnswer;

void CALLBACK AnswerBox(HWND, UINT, UINT_PTR, DWORD) {
  static HWND answered = nullptr;
  HWND box = FindProcessWindow(GetCurrentProcessId(), "#32770"), child = nullptr;
  if (box == nullptr || box == answered) return;
  answered = box;
  std::string text, mark;
  while ((child = FindWindowExA(box, child, "Static", nullptr)) != nullptr) {
    const auto icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
      if (text.empty()) text = Text(child);  // the message
    } else if (IsWindowVisible(child) && icon != nullptr) {
      for (auto [id, m] : {std::pair{IDI_INFORMATION, "i"}, {IDI_QUESTION, "?"}, {IDI_EXCLAMATION, "!"}})
        if (icon == LoadIconA(nullptr, id)) mark = m;
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
    WaitFor([] { return true; });  // a WM_QUIT left over would end a box at once
    gBoxes.clear();
    timer_ = SetTimer(nullptr, 0, 30, AnswerBox);
    ASSERT_TRUE(window_.Create(GetModuleHandleW(nullptr), SW_SHOW));
    hwnd_ = FindWindowW(editor::kEditFrmClass, nullptr);
    SetForegroundWindow(hwnd_);
  }
  void TearDown() override { KillTimer(nullptr, timer_); }

  // Pumps this thread's messages as the program's loop does, until `done` holds.
  bool PumpUntil(const std::function<bool()>& done) {
    return WaitFor(done, 5000, [&](MSG& msg) { return window_.PreTranslate(msg); });
  }
  HWND Control(int id) const {
    for (HWND parent : {hwnd_, GetDlgItem(hwnd_, IDC_PIC_BUTTONS), GetDlgItem(hwnd_, IDC_DAT_PRIMARY_RS)})
      if (HWND child = GetDlgItem(parent, id)) return child;
    return nullptr;
  }
  HWND Field(int index) const { return Control(IDC_TXT_FIELDS + index); }

  support::FakeVerseTable table_{
      {{"John", "3", "16", "For God", true}, {"Psalm", "23", "1", "The LORD", false}}};
  store::VerseRecordset rs_{table_};
  editor::FileProgramVersion version_;  // this test program holds the editor's resources
  editor::EditWindow window_{rs_, version_};
  HWND hwnd_ = nullptr;
  UINT_PTR timer_ = 0;
};

TEST_F(EditWindowTest, KeepsTheViewContract) {
  ::editor::test::CheckEditViewContract(
      window_, [] { return gBoxes; }, [](std::optional<bool> yes) { gAnswer = yes; });
}

TEST_F(EditWindowTest, LaysOutTheControlsInTwipsAndShowsTheMenus) {
  const wchar_t* sans = L"MS Sans Serif";
  const Box boxes[] = {
      {IDC_LBL_LABELS, 120, 60, 1815, 255, sans, 800, false, "Book:"},
      {IDC_TXT_FIELDS, 2040, 60, 3375, 285, sans, 800, false, "John"},
      {IDC_LBL_LABELS + 1, 120, 380, 1815, 255, sans, 800, false, "Chapter:"},
      {IDC_TXT_FIELDS + 1, 2040, 380, 3375, 285, sans, 800, false, "3"},
      {IDC_LBL_LABELS + 2, 5640, 120, 615, 255, sans, 800, false, "Read:", false},
      {IDC_CHK_FIELDS + 2, 6360, 120, 495, 285, sans, 800, false, "", false},
      {IDC_LBL_LABELS + 3, 120, 1020, 1815, 255, sans, 800, false, "Verses:"},
      {IDC_TXT_FIELDS + 3, 2040, 1020, 3375, 285, sans, 800, false, "16"},
      {IDC_LBL_LABELS + 4, 120, 1340, 1815, 255, sans, 800, false, "VerseTxt:"},
      {IDC_TXT_FIELDS + 4, 2040, 1340, 5415, 1365, sans, 800, false, "For God"},
      {IDC_PIC_BUTTONS, 0, 2925, 7665, 300, L"", 0, false, ""},
      {IDC_CMD_ADD, 59, 0, 1095, 300, sans, 800, false, "&Add"},
      {IDC_CMD_UPDATE, 1213, 0, 1095, 300, sans, 800, false, "&Update"},
      {IDC_CMD_DELETE, 2367, 0, 1095, 300, sans, 800, false, "&Delete"},
      {IDC_CMD_REFRESH, 3521, 0, 1095, 300, sans, 800, false, "&Refresh"},
      {IDC_DAT_PRIMARY_RS, 0, 3225, 7665, 330, sans, 800, false, "Record: 1"},
  };
  ExpectLayout(
      hwnd_, 7665, 3555, boxes, [&](int id) { return Control(id); }, 2 * ScreenDpi().y);
  EXPECT_EQ(MenuTree(GetMenu(hwnd_)), "&File\n  E&xit\n&Help\n  &About\n  -\n  Notes\n");
}

// The access keys and a menu from the keyboard, Tab from field to field past the hidden
// Read box, and the focus back in its field once a message box is gone.
TEST_F(EditWindowTest, TheKeyboardReachesEveryCommandAndField) {
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == Field(::editor::kBookField); }));
  SendKeys({'A'}, VK_MENU);
  ASSERT_TRUE(PumpUntil([&] { return Text(Control(IDC_DAT_PRIMARY_RS)) == "Record: 3"; }));
  SendKeys({'R', VK_TAB, '8', VK_TAB, '2', VK_TAB, 'G'});
  ASSERT_TRUE(
      PumpUntil([&] { return GetFocus() == Field(::editor::kVerseTxtField) && Text(GetFocus()) == "g"; }));
  SendKeys({'U'}, VK_MENU);
  ASSERT_TRUE(PumpUntil([&] { return table_.rows().size() == 3; }));
  EXPECT_EQ(support::Summary(table_.Records().back()), "r 8:2 g");

  SetFocus(Field(::editor::kVersesField));
  SendKeys({'H'}, VK_MENU);
  SendKeys({'A'});
  ASSERT_TRUE(PumpUntil([&] { return gBoxes.size() == 1 && GetForegroundWindow() == hwnd_; }));
  EXPECT_EQ(gBoxes[0], "About...|i|" + ::editor::AboutText({1, 0, 12}));
  EXPECT_TRUE(PumpUntil([&] { return GetFocus() == Field(::editor::kVersesField); }));
}

}  // namespace
}  // namespace win32::test
