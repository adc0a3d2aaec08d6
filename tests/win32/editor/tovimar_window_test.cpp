// End-to-end tests of tovimar.exe: the real program on a real store file, driven from
// this process by window messages, clicks and the keyboard.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/edit_view.h"
#include "editor/editor_texts.h"
#include "win32/editor/editor_process.h"
#include "win32/editor/screen_probe.h"
#include "tovimar_ids.h"
#include "win32/editor/utf8_win32.h"
#include "win32/read_only_store.h"

namespace win32::editor::test {
namespace {

using ::editor::kBookField;
using win32::editor::Wide;
using ::editor::kChapterField;
using ::editor::kVerseTxtField;
using ::editor::kVersesField;

std::vector<store::VerseRecord> Rows() {
  return {
      {"John", "3", "16",
       "For God so loved the world, that he gave his only begotten Son, that whosoever believeth in him "
       "should not perish, but have everlasting life.",
       false},
      {"Psalms", "119", "105", "Thy word is a lamp unto my feet, and a light unto my path. \xE2\x80\x94 David", true},
      {"Proverbs", "3", "5-6",
       "Trust in the LORD with all thine heart; and lean not unto thine own understanding.\r\nIn all thy ways "
       "acknowledge him, and he shall direct thy paths.",
       false},
  };
}

class TovimarTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(editor_.Start()) << editor_.error(); }
  void TearDown() override { editor_.Close(); }

  // The four bound text boxes against a row.
  void ExpectShows(const store::VerseRecord& row) const {
    EXPECT_EQ(editor_.Field(kBookField), row.book);
    EXPECT_EQ(editor_.Field(kChapterField), row.chapter);
    EXPECT_EQ(editor_.Field(kVersesField), row.verses);
    EXPECT_EQ(editor_.Field(kVerseTxtField), row.verseTxt);
  }

  // Waits for the caption to read "Record: n" and returns what it reads.
  std::string CaptionAfter(int position) const {
    const std::string expected = ::editor::RecordCaption(position);
    WaitUntil([&] { return editor_.Caption() == expected; });
    return editor_.Caption();
  }

  // Waits for the editor's message box titled `title`.
  HWND WaitForMessageBox(const wchar_t* title) const {
    HWND box = nullptr;
    WaitUntil([&] {
      box = FindProcessWindow(editor_.pid(), L"#32770", title);
      return box != nullptr && IsWindowVisible(box);
    });
    return box;
  }

  EditorProcess editor_{Rows()};
};

TEST_F(TovimarTest, StartedFromAnotherFolderShowsTheFirstRowOfTheStoreBesideIt) {
  EXPECT_EQ(TextOf(editor_.window()), "Tovimar");
  ExpectShows(Rows()[0]);
  EXPECT_EQ(CaptionAfter(1), "Record: 1");
  const std::wstring stray = Wide(editor_.startFolder() + "\\verse97.mdb");
  EXPECT_EQ(GetFileAttributesW(stray.c_str()), INVALID_FILE_ATTRIBUTES) << "a store appeared in the start folder";
}

TEST_F(TovimarTest, ShowsTheLabelsButtonsAndHiddenReadPair) {
  EXPECT_EQ(TextOf(editor_.Control(IDC_LBL_LABELS + kBookField)), "Book:");
  EXPECT_EQ(TextOf(editor_.Control(IDC_LBL_LABELS + kChapterField)), "Chapter:");
  EXPECT_EQ(TextOf(editor_.Control(IDC_LBL_LABELS + kVersesField)), "Verses:");
  EXPECT_EQ(TextOf(editor_.Control(IDC_LBL_LABELS + kVerseTxtField)), "VerseTxt:");
  HWND readLabel = editor_.Control(IDC_LBL_LABELS + ::editor::kReadField);
  HWND readBox = editor_.Control(IDC_CHK_FIELDS + ::editor::kReadField);
  ASSERT_NE(readLabel, nullptr);
  ASSERT_NE(readBox, nullptr);
  EXPECT_EQ(TextOf(readLabel), "Read:");
  EXPECT_FALSE(IsWindowVisible(readLabel));
  EXPECT_FALSE(IsWindowVisible(readBox));
  EXPECT_EQ(TextOf(editor_.Control(IDC_CMD_ADD)), "&Add");
  EXPECT_EQ(TextOf(editor_.Control(IDC_CMD_UPDATE)), "&Update");
  EXPECT_EQ(TextOf(editor_.Control(IDC_CMD_DELETE)), "&Delete");
  EXPECT_EQ(TextOf(editor_.Control(IDC_CMD_REFRESH)), "&Refresh");
  // The VerseTxt box wraps: multi-line, without scroll bars.
  const LONG style = GetWindowLongW(editor_.Control(IDC_TXT_FIELDS + kVerseTxtField), GWL_STYLE);
  EXPECT_NE(style & ES_MULTILINE, 0);
  EXPECT_EQ(style & (WS_HSCROLL | WS_VSCROLL | ES_AUTOHSCROLL), 0);
}

TEST_F(TovimarTest, ClientAreaIs7665By3555TwipsCentredOnTheScreen) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  RECT client;
  ASSERT_TRUE(GetClientRect(editor_.window(), &client));
  EXPECT_EQ(client.right, MulDiv(7665, dpi, 1440));
  EXPECT_EQ(client.bottom, MulDiv(3555, dpi, 1440));
  RECT frame;
  ASSERT_TRUE(GetWindowRect(editor_.window(), &frame));
  EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  // The data control spans the bottom edge, the button strip sits right above it.
  RECT data;
  ASSERT_TRUE(GetWindowRect(editor_.Control(IDC_DAT_PRIMARY_RS), &data));
  MapWindowPoints(nullptr, editor_.window(), reinterpret_cast<POINT*>(&data), 2);
  EXPECT_EQ(data.left, 0);
  EXPECT_EQ(data.right, client.right);
  EXPECT_EQ(data.top, MulDiv(3225, dpi, 1440));
}

TEST_F(TovimarTest, NavigationBarButtonsMoveAndTheCaptionFollows) {
  const std::vector<store::VerseRecord> rows = Rows();
  editor_.Click(IDC_NAV_LAST);
  EXPECT_EQ(CaptionAfter(3), "Record: 3");
  ExpectShows(rows[2]);
  editor_.Click(IDC_NAV_PREVIOUS);
  EXPECT_EQ(CaptionAfter(2), "Record: 2");
  ExpectShows(rows[1]);
  editor_.Click(IDC_NAV_FIRST);
  EXPECT_EQ(CaptionAfter(1), "Record: 1");
  ExpectShows(rows[0]);
  editor_.Click(IDC_NAV_PREVIOUS);  // no movement before the first row
  EXPECT_EQ(CaptionAfter(1), "Record: 1");
  ExpectShows(rows[0]);
  editor_.Click(IDC_NAV_NEXT);
  EXPECT_EQ(CaptionAfter(2), "Record: 2");
  ExpectShows(rows[1]);
}

TEST_F(TovimarTest, AccessKeysAddTypeUpdateAndRefresh) {
  ASSERT_TRUE(editor_.Activate());
  PressKeys({'A'}, true);
  EXPECT_EQ(CaptionAfter(4), "Record: 4");
  EXPECT_EQ(editor_.Field(kBookField), "");
  // The focus stays in the Book box; Tab walks the fields, past the hidden Read box.
  TypeText(L"Romans");
  PressKeys({VK_TAB});
  TypeText(L"8");
  PressKeys({VK_TAB});
  TypeText(L"28");
  PressKeys({VK_TAB});
  TypeText(L"All things work together for good \x2014 to them that love God.");
  WaitUntil([&] { return editor_.Field(kVerseTxtField).size() > 50; });
  PressKeys({'U'}, true);
  const store::VerseRecord added{"Romans", "8", "28",
                                 "All things work together for good \xE2\x80\x94 to them that love God.", false};
  std::vector<store::VerseRecord> stored;
  WaitUntil([&] {
    stored = editor_.StoredRows();
    return stored.size() == 4;
  });
  ASSERT_EQ(stored.size(), 4u);
  EXPECT_EQ(stored[3].book, added.book);
  EXPECT_EQ(stored[3].verseTxt, added.verseTxt);
  EXPECT_FALSE(stored[3].read);

  PressKeys({'R'}, true);
  EXPECT_EQ(CaptionAfter(1), "Record: 1");
  ExpectShows(Rows()[0]);
  editor_.Click(IDC_NAV_LAST);
  EXPECT_EQ(CaptionAfter(4), "Record: 4");
  ExpectShows(added);
}

TEST_F(TovimarTest, DeleteByButtonAndByAccessKey) {
  const std::vector<store::VerseRecord> rows = Rows();
  // On the first row: the row that followed it shows.
  editor_.Click(IDC_CMD_DELETE);
  WaitUntil([&] { return editor_.Field(kBookField) == rows[1].book; });
  ExpectShows(rows[1]);
  EXPECT_EQ(CaptionAfter(1), "Record: 1");
  // On the last row: the new last row shows.
  editor_.Click(IDC_NAV_LAST);
  EXPECT_EQ(CaptionAfter(2), "Record: 2");
  ASSERT_TRUE(editor_.Activate());
  PressKeys({'D'}, true);
  WaitUntil([&] { return editor_.Field(kBookField) == rows[1].book; });
  ExpectShows(rows[1]);
  EXPECT_EQ(CaptionAfter(1), "Record: 1");
  const std::vector<store::VerseRecord> stored = editor_.StoredRows();
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].book, rows[1].book);
  EXPECT_TRUE(stored[0].read) << "the Read column changed";
}

TEST_F(TovimarTest, ClosingWritesTheEditsOfTheCurrentRow) {
  SendMessageW(editor_.Control(IDC_TXT_FIELDS + kChapterField), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(L"33"));
  EXPECT_EQ(editor_.Close(), 0u);
  const std::vector<store::VerseRecord> stored = editor_.StoredRows();
  ASSERT_EQ(stored.size(), 3u);
  EXPECT_EQ(stored[0].chapter, "33");
  EXPECT_EQ(stored[0].verses, Rows()[0].verses);
}

// The Help menu by keyboard: another process cannot read a program's menus under wine.
TEST_F(TovimarTest, AboutShowsTheNameVersionAndTheInformationIcon) {
  ASSERT_TRUE(editor_.Activate());
  PressKeys({'H'}, true);
  PressKeys({'A'});
  HWND box = WaitForMessageBox(L"About...");
  ASSERT_NE(box, nullptr) << "no About box";
  EXPECT_EQ(MessageBoxText(box), ::editor::AboutText({1, 0, 12}));
  EXPECT_TRUE(WaitUntil([&] { return ShowsSystemIcon(MessageBoxIcon(box), SystemIcon::kInformation); }, 5000));
  EXPECT_FALSE(ShowsSystemIcon(MessageBoxIcon(box), SystemIcon::kQuestion));
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
}

TEST_F(TovimarTest, NotesShowTheTwoParagraphsAndTheQuestionIcon) {
  ASSERT_TRUE(editor_.Activate());
  PressKeys({'H'}, true);
  PressKeys({VK_DOWN, VK_RETURN});
  HWND box = WaitForMessageBox(L"Notes...");
  ASSERT_NE(box, nullptr) << "no Notes box";
  EXPECT_EQ(MessageBoxText(box), ::editor::NotesText());
  EXPECT_TRUE(WaitUntil([&] { return ShowsSystemIcon(MessageBoxIcon(box), SystemIcon::kQuestion); }, 5000));
  EXPECT_FALSE(ShowsSystemIcon(MessageBoxIcon(box), SystemIcon::kInformation));
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
}

TEST_F(TovimarTest, FileExitByKeyboardEndsTheProgram) {
  ASSERT_TRUE(editor_.Activate());
  PressKeys({'F'}, true);
  PressKeys({'X'});
  EXPECT_EQ(editor_.WaitForExit(), 0u);
}

// A store that cannot be written keeps the typed text from being saved: closing shows
// the error, then asks; giving the edits up ends the program.
TEST(TovimarReadOnlyTest, ClosingShowsTheErrorThenAsksAndGivingUpEndsTheProgram) {
  EditorProcess editor(Rows());
  lumaret::test::ReadOnlyStore readOnly(editor.StorePath());
  ASSERT_TRUE(readOnly.made()) << "the store could still be written";
  ASSERT_TRUE(editor.Start()) << editor.error();
  SendMessageW(editor.Control(IDC_TXT_FIELDS + kBookField), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Jonah"));
  PostMessageW(editor.window(), WM_CLOSE, 0, 0);

  // The error first, then the question, each in a "Tovimar" box of its own.
  auto nextBox = [&](HWND after) {
    HWND box = nullptr;
    WaitUntil([&] {
      box = FindProcessWindow(editor.pid(), L"#32770", L"Tovimar");
      return box != nullptr && box != after && IsWindowVisible(box);
    });
    return box;
  };
  HWND error = nextBox(nullptr);
  ASSERT_NE(error, nullptr) << "no error shown";
  EXPECT_EQ(MessageBoxText(error).rfind(::editor::kDataErrorPrefix, 0), 0u) << MessageBoxText(error);
  PostMessageW(error, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(error); }));
  HWND question = nextBox(error);
  ASSERT_NE(question, nullptr) << "no question asked";
  EXPECT_EQ(MessageBoxText(question), ::editor::kGiveUpOnCloseQuestion);
  EXPECT_TRUE(IsWindow(editor.window())) << "nothing is given up before the answer";

  PostMessageW(question, WM_COMMAND, IDYES, 0);
  EXPECT_EQ(editor.WaitForExit(), 0u);
  EXPECT_EQ(editor.StoredRows().size(), Rows().size());
  EXPECT_EQ(editor.StoredRows()[0].book, "John");
}

// A store in the folder that was current at start is not the one beside the program:
// the editor reports the missing file through the data control's error message.
TEST(TovimarStartTest, OpensOnlyTheStoreBesideTheProgram) {
  EditorProcess editor(Rows(), StorePlace::kStartFolder);
  ASSERT_TRUE(editor.Launch()) << editor.error();
  HWND box = nullptr;
  WaitUntil([&] {
    box = FindProcessWindow(editor.pid(), L"#32770", L"Tovimar");
    return box != nullptr && IsWindowVisible(box);
  });
  ASSERT_NE(box, nullptr) << "no error message";
  EXPECT_EQ(MessageBoxText(box).rfind(::editor::kDataErrorPrefix, 0), 0u) << MessageBoxText(box);
  Sleep(300);  // let the box paint before looking for what it must not show; nothing is timed
  for (SystemIcon icon : {SystemIcon::kError, SystemIcon::kQuestion, SystemIcon::kWarning, SystemIcon::kInformation}) {
    EXPECT_FALSE(ShowsSystemIcon(MessageBoxIcon(box), icon)) << "icon " << static_cast<int>(icon);
  }
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  // The window stays open without rows.
  HWND window = nullptr;
  WaitUntil([&] {
    window = FindProcessWindow(editor.pid(), L"TovimarEditFrm");
    return window != nullptr && IsWindowVisible(window);
  });
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(TextOf(GetDlgItem(window, IDC_TXT_FIELDS + kBookField)), "");
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(editor.WaitForExit(), 0u);
}

// Not compared with anything: a picture of the window for people to look at.
TEST_F(TovimarTest, SavesAScreenshotOfTheWindow) {
  ASSERT_TRUE(editor_.Activate());
  editor_.Click(IDC_NAV_NEXT);
  EXPECT_EQ(CaptionAfter(2), "Record: 2");
  RedrawWindow(editor_.window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Sleep(300);  // let the editor finish painting; nothing is timed
  CreateDirectoryW(Wide(LUMARET_ARTIFACT_DIR).c_str(), nullptr);
  const std::string path = std::string(LUMARET_ARTIFACT_DIR) + "/tovimar.bmp";
  ASSERT_TRUE(SaveWindowPicture(editor_.window(), path)) << path;
}

}  // namespace
}  // namespace win32::editor::test
