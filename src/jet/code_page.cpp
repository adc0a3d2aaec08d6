#include "jet/code_page.h"

#include <array>
#include <cstring>

#include "jet/errors.h"

namespace jet {
namespace {

// 0x80-0x9F; the undefined bytes keep their own value.
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Reads one UTF-8 character at `i`; returns false for a malformed sequence.
bool NextUtf8(std::string_view s, std::size_t& i, char32_t& c) {
  auto b = static_cast<unsigned char>(s[i]);
  std::size_t extra = 0;
  if (b < 0x80)
    extra = 0;
  else if ((b & 0xE0) == 0xC0)
    extra = 1;
  else if ((b & 0xF0) == 0xE0)
    extra = 2;
  else if ((b & 0xF8) == 0xF0)
    extra = 3;
  else
    return false;
  if (extra > s.size() - i - 1) return false;
  c = extra == 0 ? b : (b & (0x3Fu >> extra));
  for (std::size_t k = 1; k <= extra; ++k) {
    auto cont = static_cast<unsigned char>(s[i + k]);
    if ((cont & 0xC0) != 0x80) return false;
    c = (c << 6) | (cont & 0x3Fu);
  }
  static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
  if (c < kMin[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
  i += extra + 1;
  return true;
}

// How many bytes at the start of `bytes` are ASCII. Most text is ASCII throughout,
// so the bytes are tested 32 at a time, eight to a word, and a tail of fewer than
// eight with one more word that ends at the last byte. A text shorter than a word (a
// book's name, a chapter's number) is tested whole with two loads that overlap.
std::size_t AsciiPrefix(const std::uint8_t* p, std::size_t n) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  const auto word = [p](std::size_t at) {
    std::uint64_t w;
    std::memcpy(&w, p + at, 8);
    return w;
  };
  if (n < 8) {
    std::uint32_t any = 0;
    if (n >= 4) {
      std::uint32_t first, last;
      std::memcpy(&first, p, 4);
      std::memcpy(&last, p + n - 4, 4);
      any = first | last;
    } else if (n > 0) {
      any = p[0] | p[n / 2] | p[n - 1];
    }
    if ((any & static_cast<std::uint32_t>(kHighBits)) == 0) return n;
  }
  std::size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    if (((word(i) | word(i + 8) | word(i + 16) | word(i + 24)) & kHighBits) != 0) break;
  }
  for (; i + 8 <= n; i += 8) {
    if ((word(i) & kHighBits) != 0) break;
  }
  if (i + 8 > n && n >= 8 && (word(n - 8) & kHighBits) == 0) return n;
  while (i < n && p[i] < 0x80) ++i;
  return i;
}

}  // namespace

void AppendCp1252(std::string& out, std::span<const std::uint8_t> bytes) {
  const std::uint8_t* p = bytes.data();
  const std::size_t n = bytes.size();
  // ASCII is the same in both, so it is copied a run at a time.
  for (std::size_t i = 0; i < n;) {
    const std::size_t run = AsciiPrefix(p + i, n - i);
    out.append(reinterpret_cast<const char*>(p + i), run);
    i += run;
    if (i == n) break;
    AppendUtf8(out, p[i] < 0xA0 ? kHigh[p[i] - 0x80] : char32_t{p[i]});
    ++i;
  }
}

std::string_view Cp1252View(std::span<const std::uint8_t> bytes, std::string& scratch) {
  if (AsciiPrefix(bytes.data(), bytes.size()) == bytes.size()) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
  }
  scratch.clear();
  AppendCp1252(scratch, bytes);
  return scratch;
}

std::string DecodeCp1252(std::span<const std::uint8_t> bytes) {
  std::string out;
  out.reserve(bytes.size());
  AppendCp1252(out, bytes);
  return out;
}

Result<Bytes> EncodeCp1252(std::string_view utf8) {
  Bytes out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t c = 0;
    if (!NextUtf8(utf8, i, c)) {
      return MakeError(kErrCannotEncode, "The text is not valid Unicode text.");
    }
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out.push_back(static_cast<std::uint8_t>(c));
      continue;
    }
    bool found = false;
    for (std::size_t k = 0; k < kHigh.size(); ++k) {
      if (kHigh[k] == c) {
        out.push_back(static_cast<std::uint8_t>(0x80 + k));
        found = true;
        break;
      }
    }
    if (!found) {
      std::string ch;
      AppendUtf8(ch, c);
      return MakeError(kErrCannotEncode, "The character '" + ch +
                                             "' cannot be stored: the database's code page (Windows-1252) "
                                             "has no such character.");
    }
  }
  return out;
}

}  // namespace jet
