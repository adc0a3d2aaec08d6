// The About and Notes messages and the position caption, character for character.
#include "editor/editor_texts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/edit_frm.h"
#include "fake_edit_view.h"
#include "support/fake_verse_table.h"

namespace editor {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", start)) {
    lines.push_back(text.substr(start, at - start));
    start = at + 2;
  }
  lines.push_back(text.substr(start));
  return lines;
}

TEST(EditorTextsTest, CaptionIsRecordAndThePositionInDecimal) {
  EXPECT_EQ(RecordCaption(1), "Record: 1");
  EXPECT_EQ(RecordCaption(12), "Record: 12");
  EXPECT_EQ(RecordCaption(-3), "Record: -3");
}

TEST(EditorTextsTest, AboutHasFiveLinesWithTheVersionWithoutLeadingZeros) {
  const std::string text = AboutText({1, 0, 12});
  auto lines = Lines(text);
  ASSERT_EQ(lines.size(), 5u) << text;
  EXPECT_EQ(lines[0], "Lumaret Editor V1.0.12");
  EXPECT_FALSE(lines[1].empty());
  EXPECT_FALSE(lines[2].empty());
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(lines[4], "See the Notes section for more important details ...");
  EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);  // no bare line feeds
  EXPECT_EQ(text.back(), '.');
}

TEST(EditorTextsTest, AboutTakesItsNumbersFromTheVersionGiven) {
  EXPECT_EQ(Lines(AboutText({2, 10, 7}))[0], "Lumaret Editor V2.10.7");
}

TEST(EditorTextsTest, NotesAreThePiecesJoinedExactly) {
  EXPECT_EQ(NotesText(),
            "Why the King James Version? It's simple, I don't have to ask permission. If there were a more "
            "modern tranlation that was uncopyrighted I would use that, but because there is not, I can not. "
            "You certainly can create your own. \r\n\r\nAlso note that this does not check spelling or check "
            "for duplicate entries, so double check you database from time to time, especially if you are "
            "adding a verse to a larger database. The Database is in Microsoft Access 97 Format");
}

TEST(EditorTextsTest, NotesHaveTwoParagraphsTheFirstEndingInASpace) {
  auto lines = Lines(NotesText());
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].back(), ' ');
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2].back(), 't');  // "Format": no full stop, no line break
}

TEST(EditorTextsTest, HelpMenuShowsAboutAndNotesWithTheirIconsAndTitles) {
  lumaret::test::FakeVerseTable table;
  store::VerseRecordset rs(table);
  FakeEditView view;
  FakeProgramVersion version({1, 0, 12});
  EditFrm frm(view, rs, version);

  frm.HelpAboutMnu_Click();
  frm.HelpNotesMnu_Click();
  ASSERT_EQ(view.messages.size(), 2u);
  EXPECT_EQ(view.messages[0].text, AboutText({1, 0, 12}));
  EXPECT_EQ(view.messages[0].title, "About...");
  EXPECT_EQ(view.messages[0].icon, MessageIcon::kInformation);
  EXPECT_EQ(view.messages[1].text, NotesText());
  EXPECT_EQ(view.messages[1].title, "Notes...");
  EXPECT_EQ(view.messages[1].icon, MessageIcon::kQuestion);
}

}  // namespace
}  // namespace editor
