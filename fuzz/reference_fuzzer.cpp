// Fuzz target: the Bible reference parser of `versedb import`. Every line is either taken
// or refused with a reason, and a line taken, written back in the usual form, parses to
// the same verse.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "versedb/reference_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::istringstream in(text);
  const versedb::ParsedLines parsed = versedb::ParseVerseLines(in);
  std::string why;
  for (const auto& v : parsed.verses) {
    auto again = versedb::ParseVerseLine(v.book + " " + v.chapter + ":" + v.verses + " " + v.text, why);
    if (v.book.empty() || v.chapter.empty() || v.verses.empty() || v.text.empty() || !again ||
        again->book != v.book || again->chapter != v.chapter || again->verses != v.verses ||
        again->text != v.text) {
      std::abort();
    }
  }
  for (const auto& error : parsed.errors) {
    if (error.empty()) std::abort();
  }
  if (!versedb::ParseVerseLine(text, why = "") && why.empty()) std::abort();  // a refusal always says why
  return 0;
}
