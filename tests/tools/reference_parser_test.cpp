// The reference parser: books, chapters, verse ranges and the line numbers of bad lines.
#include "versedb/reference_parser.h"

#include <gtest/gtest.h>

#include <sstream>

namespace versedb::test {
namespace {

// What a line parses to, "book|chapter|verses|text", or "! " and why it is refused.
std::string Parsed(const std::string& line) {
  std::string why;
  auto v = ParseVerseLine(line, why);
  return v ? v->book + "|" + v->chapter + "|" + v->verses + "|" + v->text : "! " + why;
}

TEST(ReferenceParser, ReadsReferencesAndRefusesWhatIsNone) {
  const std::pair<const char*, const char*> cases[] = {
      {"John 3:16 For God so loved the world,", "John|3|16|For God so loved the world,"},
      {"1 Corinthians 13:4-7 Charity suffereth long", "1 Corinthians|13|4-7|Charity suffereth long"},
      {"Song of Solomon 2:4 He brought me", "Song of Solomon|2|4|He brought me"},
      // "1 John" must not be read as "John" with a stray 1, nor "John" as "Jonah".
      {"1 John 4:19 We love him", "1 John|4|19|We love him"},
      {"Jonah 2:9 But I will", "Jonah|2|9|But I will"},
      {"  song   OF solomon 8:7   Many waters  ", "Song of Solomon|8|7|Many waters"},
      {"PSALMS 023:001 The LORD", "Psalms|23|1|The LORD"},
      // One-chapter books take a verse alone, or chapter 1.
      {"Obadiah 4 text", "Obadiah|1|4|text"},
      {"3 John 1:4-6 text", "3 John|1|4-6|text"},
      {"Jude 2:1 text", "no chapter"},
      {"John 16 text", "needs a chapter"},
      {"Johns 3:16 text", "no book"},
      {"4 John 1:1 text", "no book"},
      {"John text", "needs a chapter"},
      {"John 22:1 text", "no chapter"},
      {"John 0:1 text", "no chapter"},
      {"John 3:17-16 text", "out of order"},
      {"John 3:x text", "not a verse"},
      {"John 3:4- text", "not a verse"},
      {"John 3:16", "text is missing"},
      {"John", "missing"},
  };
  for (const auto& [line, expected] : cases) {
    const std::string got = Parsed(line);
    if (std::string(expected).find('|') != std::string::npos) {
      EXPECT_EQ(got, expected) << line;
    } else {
      EXPECT_EQ(got.rfind("! ", 0), 0u) << line << " -> " << got;
      EXPECT_NE(got.find(expected), std::string::npos) << line << " -> " << got;
    }
  }
}

TEST(ReferenceParser, ReportsEveryBadLineWithItsNumberAndSkipsBlankAndCommentLines) {
  std::istringstream in(
      "# shipped verses\nJohn 3:16 For God\n\nJohn 99:1 no\nJude 24 Now unto him\nnonsense\n");
  auto parsed = ParseVerseLines(in);
  ASSERT_EQ(parsed.verses.size(), 2u);
  EXPECT_EQ(parsed.verses[0].line, 2u);
  EXPECT_EQ(parsed.verses[1].line, 5u);
  ASSERT_EQ(parsed.errors.size(), 2u);
  EXPECT_EQ(parsed.errors[0].rfind("line 4: ", 0), 0u) << parsed.errors[0];
  EXPECT_EQ(parsed.errors[1].rfind("line 6: ", 0), 0u) << parsed.errors[1];
}

}  // namespace
}  // namespace versedb::test
