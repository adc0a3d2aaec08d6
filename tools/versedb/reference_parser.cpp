#include "versedb/reference_parser.h"

#include <array>
#include <cctype>
#include <charconv>

namespace versedb {
namespace {

struct Book {
  const char* name;
  int chapters;
};

// The books of the King James Bible with their chapter counts.
constexpr std::array<Book, 66> kBooks = {{
    {"Genesis", 50},        {"Exodus", 40},         {"Leviticus", 27},       {"Numbers", 36},
    {"Deuteronomy", 34},    {"Joshua", 24},         {"Judges", 21},          {"Ruth", 4},
    {"1 Samuel", 31},       {"2 Samuel", 24},       {"1 Kings", 22},         {"2 Kings", 25},
    {"1 Chronicles", 29},   {"2 Chronicles", 36},   {"Ezra", 10},            {"Nehemiah", 13},
    {"Esther", 10},         {"Job", 42},            {"Psalms", 150},         {"Proverbs", 31},
    {"Ecclesiastes", 12},   {"Song of Solomon", 8}, {"Isaiah", 66},          {"Jeremiah", 52},
    {"Lamentations", 5},    {"Ezekiel", 48},        {"Daniel", 12},          {"Hosea", 14},
    {"Joel", 3},            {"Amos", 9},            {"Obadiah", 1},          {"Jonah", 4},
    {"Micah", 7},           {"Nahum", 3},           {"Habakkuk", 3},         {"Zephaniah", 3},
    {"Haggai", 2},          {"Zechariah", 14},      {"Malachi", 4},          {"Matthew", 28},
    {"Mark", 16},           {"Luke", 24},           {"John", 21},            {"Acts", 28},
    {"Romans", 16},         {"1 Corinthians", 16},  {"2 Corinthians", 13},   {"Galatians", 6},
    {"Ephesians", 6},       {"Philippians", 4},     {"Colossians", 4},       {"1 Thessalonians", 5},
    {"2 Thessalonians", 3}, {"1 Timothy", 6},       {"2 Timothy", 4},        {"Titus", 3},
    {"Philemon", 1},        {"Hebrews", 13},        {"James", 5},            {"1 Peter", 5},
    {"2 Peter", 3},         {"1 John", 5},          {"2 John", 1},           {"3 John", 1},
    {"Jude", 1},            {"Revelation", 22},
}};

// The longest chapter has 176 verses (Psalm 119).
constexpr int kMaxVerse = 176;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

// Matches a book name at the start of `s` (words separated by any run of
// spaces, case ignored); returns the length matched, or 0.
std::size_t MatchBook(std::string_view s, std::string_view name) {
  std::size_t i = 0;
  for (std::size_t k = 0; k < name.size(); ++k) {
    if (name[k] == ' ') {
      if (i >= s.size() || !IsSpace(s[i])) return 0;
      while (i < s.size() && IsSpace(s[i])) ++i;
      continue;
    }
    if (i >= s.size() || std::tolower(static_cast<unsigned char>(s[i])) != std::tolower(static_cast<unsigned char>(name[k]))) {
      return 0;
    }
    ++i;
  }
  // The name must end at a word boundary: "Johns 3:16" names no book.
  return i == s.size() || IsSpace(s[i]) ? i : 0;
}

// A positive number made of digits only.
std::optional<int> Number(std::string_view s) {
  if (s.empty() || s.size() > 3) return std::nullopt;
  int v = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size() || v <= 0) return std::nullopt;
  return v;
}

// "V" or "V-W" with V < W; stored as written without leading zeros.
std::optional<std::string> VerseRange(std::string_view s, std::string& why) {
  const auto dash = s.find('-');
  auto first = Number(s.substr(0, dash));
  std::optional<int> last = first;
  if (dash != std::string_view::npos) last = Number(s.substr(dash + 1));
  if (!first || !last) {
    why = "'" + std::string(s) + "' is not a verse number or range such as 16 or 4-7";
    return std::nullopt;
  }
  if (*first > kMaxVerse || *last > kMaxVerse || *last < *first) {
    why = "the verses '" + std::string(s) + "' are out of order or past the end of any chapter";
    return std::nullopt;
  }
  return dash == std::string_view::npos ? std::to_string(*first) : std::to_string(*first) + "-" + std::to_string(*last);
}

}  // namespace

std::optional<VerseLine> ParseVerseLine(std::string_view line, std::string& why) {
  line = Trim(line);
  const Book* book = nullptr;
  std::size_t matched = 0;
  for (const Book& b : kBooks) {
    std::size_t n = MatchBook(line, b.name);
    if (n > matched) {
      matched = n;
      book = &b;
    }
  }
  if (book == nullptr) {
    why = "no book of the Bible starts the line";
    return std::nullopt;
  }
  std::string_view rest = Trim(line.substr(matched));
  std::size_t refEnd = 0;
  while (refEnd < rest.size() && !IsSpace(rest[refEnd])) ++refEnd;
  const std::string_view ref = rest.substr(0, refEnd);
  const std::string_view text = Trim(rest.substr(refEnd));
  if (ref.empty()) {
    why = "the reference after '" + std::string(book->name) + "' is missing";
    return std::nullopt;
  }

  VerseLine out;
  out.book = book->name;
  const auto colon = ref.find(':');
  std::optional<std::string> verses;
  if (colon == std::string_view::npos) {
    if (book->chapters != 1) {
      why = "'" + std::string(ref) + "' needs a chapter and verse, such as 3:16";
      return std::nullopt;
    }
    out.chapter = "1";
    verses = VerseRange(ref, why);
  } else {
    auto chapter = Number(ref.substr(0, colon));
    if (!chapter || *chapter > book->chapters) {
      why = std::string(book->name) + " has no chapter '" + std::string(ref.substr(0, colon)) + "' (it has " +
            std::to_string(book->chapters) + ")";
      return std::nullopt;
    }
    out.chapter = std::to_string(*chapter);
    verses = VerseRange(ref.substr(colon + 1), why);
  }
  if (!verses) return std::nullopt;
  out.verses = *verses;
  if (text.empty()) {
    why = "the verse text is missing";
    return std::nullopt;
  }
  out.text = std::string(text);
  return out;
}

ParsedLines ParseVerseLines(std::istream& in) {
  ParsedLines result;
  std::string line;
  for (std::size_t number = 1; std::getline(in, line); ++number) {
    // A byte-order mark is how some editors begin a UTF-8 file.
    if (number == 1 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
    std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == '#') continue;
    std::string why;
    auto verse = ParseVerseLine(trimmed, why);
    if (verse) {
      verse->line = number;
      result.verses.push_back(std::move(*verse));
    } else {
      result.errors.push_back("line " + std::to_string(number) + ": " + why);
    }
  }
  // A read error ends the loop as the end of the input does; it must not pass for it.
  if (in.bad()) result.errors.push_back("the input could not be read to its end");
  return result;
}

}  // namespace versedb
