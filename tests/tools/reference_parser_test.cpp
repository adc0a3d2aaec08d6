// The reference parser: books, chapters, verse ranges and the line numbers of bad lines.
#include <gtest/gtest.h>

#include <sstream>

#include "reference_parser.h"

namespace {

using versedb::ParseVerseLine;
using versedb::VerseLine;

VerseLine Parse(const std::string& line) {
  std::string why;
  auto v = ParseVerseLine(line, why);
  EXPECT_TRUE(v.has_value()) << line << ": " << why;
  return v.value_or(VerseLine{});
}

std::string Why(const std::string& line) {
  std::string why;
  EXPECT_FALSE(ParseVerseLine(line, why).has_value()) << line;
  return why;
}

TEST(ReferenceParser, ReadsBookChapterVerseAndText) {
  VerseLine v = Parse("John 3:16 For God so loved the world,");
  EXPECT_EQ(v.book, "John");
  EXPECT_EQ(v.chapter, "3");
  EXPECT_EQ(v.verses, "16");
  EXPECT_EQ(v.text, "For God so loved the world,");
}

TEST(ReferenceParser, ReadsNumberedAndMultiWordBooksAndRanges) {
  VerseLine v = Parse("1 Corinthians 13:4-7 Charity suffereth long");
  EXPECT_EQ(v.book, "1 Corinthians");
  EXPECT_EQ(v.verses, "4-7");
  EXPECT_EQ(Parse("Song of Solomon 2:4 He brought me").book, "Song of Solomon");
  EXPECT_EQ(Parse("2 Samuel 22:31 As for God").book, "2 Samuel");
  // "1 John" must not be read as "John" with a stray 1, nor "John" as "Jonah".
  EXPECT_EQ(Parse("1 John 4:19 We love him").book, "1 John");
  EXPECT_EQ(Parse("Jonah 2:9 But I will sacrifice").book, "Jonah");
}

TEST(ReferenceParser, MatchesBookNamesWithoutRegardToCaseAndKeepsTheirSpelling) {
  VerseLine v = Parse("  song   OF solomon 8:7   Many waters  ");
  EXPECT_EQ(v.book, "Song of Solomon");
  EXPECT_EQ(v.text, "Many waters");
  EXPECT_EQ(Parse("PSALMS 023:001 The LORD").chapter, "23");
}

TEST(ReferenceParser, OneChapterBooksTakeAVerseAloneOrChapterOne) {
  for (const char* book : {"Obadiah", "Philemon", "2 John", "3 John", "Jude"}) {
    VerseLine a = Parse(std::string(book) + " 4 text");
    EXPECT_EQ(a.book, book);
    EXPECT_EQ(a.chapter, "1");
    EXPECT_EQ(a.verses, "4");
    VerseLine b = Parse(std::string(book) + " 1:4-6 text");
    EXPECT_EQ(b.chapter, "1");
    EXPECT_EQ(b.verses, "4-6");
  }
  EXPECT_NE(Why("Jude 2:1 text").find("no chapter"), std::string::npos);
  EXPECT_NE(Why("John 16 text").find("needs a chapter"), std::string::npos);
}

TEST(ReferenceParser, RefusesWhatIsNoReference) {
  EXPECT_NE(Why("Johns 3:16 text").find("no book"), std::string::npos);
  EXPECT_NE(Why("4 John 1:1 text").find("no book"), std::string::npos);
  EXPECT_NE(Why("John text").find("needs a chapter"), std::string::npos);
  EXPECT_NE(Why("John 22:1 text").find("no chapter"), std::string::npos);
  EXPECT_NE(Why("John 0:1 text").find("no chapter"), std::string::npos);
  EXPECT_NE(Why("John 3:17-16 text").find("out of order"), std::string::npos);
  EXPECT_NE(Why("John 3:x text").find("not a verse"), std::string::npos);
  EXPECT_NE(Why("John 3:4- text").find("not a verse"), std::string::npos);
  EXPECT_NE(Why("John 3:16").find("text is missing"), std::string::npos);
  EXPECT_NE(Why("John").find("missing"), std::string::npos);
}

TEST(ReferenceParser, ReportsEveryBadLineWithItsNumberAndSkipsBlankAndCommentLines) {
  std::istringstream in("# shipped verses\nJohn 3:16 For God\n\nJohn 99:1 no\nJude 24 Now unto him\nnonsense\n");
  auto parsed = versedb::ParseVerseLines(in);
  ASSERT_EQ(parsed.verses.size(), 2u);
  EXPECT_EQ(parsed.verses[0].line, 2u);
  EXPECT_EQ(parsed.verses[1].line, 5u);
  ASSERT_EQ(parsed.errors.size(), 2u);
  EXPECT_EQ(parsed.errors[0].rfind("line 4: ", 0), 0u) << parsed.errors[0];
  EXPECT_EQ(parsed.errors[1].rfind("line 6: ", 0), 0u) << parsed.errors[1];
}

}  // namespace
