// Two programs on one store under wine: the real editor adds and changes rows while this
// process, standing in for the reminder, steps through the rows with the reminder's cursor
// and deletes the blank ones. Nothing is lost and the file stays sound.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/edit_view.h"
#include "editor/editor_texts.h"
#include "jet/file.h"
#include "jet/integrity.h"
#include "store/data1.h"
#include "win32/editor/editor_process.h"
#include "tovimar_ids.h"

namespace win32::editor::test {
namespace {

bool IsBlank(const store::VerseRecord& row) {
  return row.book.empty() && row.chapter.empty() && row.verses.empty() && row.verseTxt.empty();
}

// The reminder's walk: every row once from the first, deleting blank rows on the way.
// Returns the books of the rows that stayed.
std::vector<std::string> WalkDeletingBlankRows(const std::string& path) {
  store::Data1 cursor(jet::SystemFileSystem(), path);
  std::vector<std::string> books;
  jet::Status status = cursor.Refresh();
  EXPECT_TRUE(status.ok()) << status.error().description;
  while (status.ok() && cursor.HasCurrent()) {
    if (IsBlank(cursor.Current())) {
      status = cursor.DeleteCurrent();
      EXPECT_TRUE(status.ok()) << status.error().description;
    } else {
      books.push_back(cursor.Current().book);
    }
    if (status.ok()) status = cursor.MoveNext();
  }
  return books;
}

std::vector<store::VerseRecord> RowsWithBlanks() {
  return {
      {"John", "3", "16", "For God so loved the world.", false},
      {"", "", "", "", false},
      {"Psalms", "119", "105", "Thy word is a lamp unto my feet.", true},
      {"", "", "", "", false},
      {"Proverbs", "3", "5", "Trust in the LORD with all thine heart.", false},
  };
}

TEST(TovimarSharedStoreTest, EditorWritesWhileTheReminderCursorDeletesBlankRows) {
  EditorProcess editor(RowsWithBlanks());
  ASSERT_TRUE(editor.Start()) << editor.error();
  const std::string caption1 = ::editor::RecordCaption(1);
  ASSERT_TRUE(WaitUntil([&] { return editor.Caption() == caption1; }));

  // The reminder removes the blank rows while the editor holds its snapshot.
  EXPECT_EQ(WalkDeletingBlankRows(editor.StorePath()), (std::vector<std::string>{"John", "Psalms", "Proverbs"}));

  // The editor adds a row by keyboard and writes it.
  ASSERT_TRUE(editor.Activate());
  PressKeys({'A'}, true);
  const std::string caption6 = ::editor::RecordCaption(6);
  ASSERT_TRUE(WaitUntil([&] { return editor.Caption() == caption6; }));
  TypeText(L"Romans");
  PressKeys({'U'}, true);
  ASSERT_TRUE(WaitUntil([&] { return editor.StoredRows().size() == 4; }));

  // It changes its first row and writes it by moving off it.
  editor.Click(IDC_NAV_FIRST);
  ASSERT_TRUE(WaitUntil([&] { return editor.Caption() == caption1; }));
  SendMessageW(editor.Control(IDC_TXT_FIELDS + ::editor::kChapterField), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(L"3a"));
  editor.Click(IDC_NAV_NEXT);
  ASSERT_TRUE(WaitUntil([&] { return editor.Caption() == ::editor::RecordCaption(2); }));

  // The reminder walks again: the editor's rows are there, nothing else went away.
  EXPECT_EQ(WalkDeletingBlankRows(editor.StorePath()),
            (std::vector<std::string>{"John", "Psalms", "Proverbs", "Romans"}));
  EXPECT_EQ(editor.Close(), 0u);

  const std::vector<store::VerseRecord> stored = editor.StoredRows();
  ASSERT_EQ(stored.size(), 4u);
  EXPECT_EQ(stored[0].chapter, "3a");
  EXPECT_TRUE(stored[1].read) << "the Read column changed";
  EXPECT_EQ(stored[3].book, "Romans");
  auto findings = jet::CheckIntegrity(jet::SystemFileSystem(), editor.StorePath());
  ASSERT_TRUE(findings.ok()) << findings.error().description;
  for (const jet::Finding& finding : findings.value()) ADD_FAILURE() << "page " << finding.page << ": " << finding.text;
}

}  // namespace
}  // namespace win32::editor::test
