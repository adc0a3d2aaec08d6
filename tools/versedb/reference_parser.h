// Verse lines as people write them: "John 3:16 For God so loved ...", with
// numbered and multi-word books, one-chapter books and verse ranges.
#pragma once

#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace versedb {

// One parsed line: the columns of a verse row, as text.
struct VerseLine {
  std::string book;     // the book's usual English name, e.g. "1 Corinthians"
  std::string chapter;  // "13"
  std::string verses;   // "4-7" or "16"
  std::string text;     // the verse text, trimmed
  std::size_t line = 0; // where it was read (ParseVerseLines), from 1
};

// Parses one line. On failure returns nothing and sets `why`.
// References: "Book C:V", "Book C:V-W"; for the one-chapter books (Obadiah,
// Philemon, 2 John, 3 John, Jude) also "Book V" and "Book V-W" (chapter 1).
// Book names are matched without regard to case and stored in their usual spelling.
std::optional<VerseLine> ParseVerseLine(std::string_view line, std::string& why);

struct ParsedLines {
  std::vector<VerseLine> verses;
  std::vector<std::string> errors;  // "line N: ...", one per bad line
};

// Parses every line of `in`. Empty lines and lines starting with '#' are skipped;
// line numbers count every line, from 1; a UTF-8 byte-order mark before the first is
// ignored. A read error is one of the errors.
ParsedLines ParseVerseLines(std::istream& in);

}  // namespace versedb
