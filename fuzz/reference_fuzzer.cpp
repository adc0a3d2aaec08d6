// Fuzz target: the Bible reference parser of `versedb import`. Every line is either
// taken or refused with a reason, and a line taken, written back in the usual form,
// parses to the same verse.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "versedb/reference_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::istringstream in(text);
  const versedb::ParsedLines parsed = versedb::ParseVerseLines(in);
  for (const auto& verse : parsed.verses) {
    if (verse.book.empty() || verse.chapter.empty() || verse.verses.empty() || verse.text.empty())
      std::abort();
    std::string why;
    const std::string again = verse.book + " " + verse.chapter + ":" + verse.verses + " " + verse.text;
    auto reparsed = versedb::ParseVerseLine(again, why);
    if (!reparsed || reparsed->book != verse.book || reparsed->chapter != verse.chapter ||
        reparsed->verses != verse.verses || reparsed->text != verse.text) {
      std::abort();
    }
  }
  for (const auto& error : parsed.errors) {
    if (error.empty()) std::abort();
  }
  std::string why;
  if (!versedb::ParseVerseLine(text, why) && why.empty()) std::abort();  // a refusal always says why
  return 0;
}
