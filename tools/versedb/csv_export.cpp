#include "versedb/csv_export.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "jet/code_page.h"

namespace versedb {
namespace {

std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

// Text in the file's code page, quoted, inner quotes doubled (a quote is the same
// byte in both code pages).
void AppendQuotedText(std::string& out, std::span<const std::uint8_t> bytes) {
  out += '"';
  for (;;) {
    const void* quote = bytes.empty() ? nullptr : std::memchr(bytes.data(), '"', bytes.size());
    const std::size_t length =
        quote == nullptr ? bytes.size()
                         : static_cast<std::size_t>(static_cast<const std::uint8_t*>(quote) - bytes.data());
    jet::AppendCp1252(out, bytes.first(length));
    if (quote == nullptr) break;
    out += "\"\"";
    bytes = bytes.subspan(length + 1);
  }
  out += '"';
}

void AppendQuotedHex(std::string& out, std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  out += '"';
  for (std::uint8_t b : bytes) {
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  out += '"';
}

template <typename T>
std::string Shortest(T v) {
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  return ec == std::errc() ? std::string(buf, end) : std::string("0");
}

std::string FormatCurrency(std::int64_t tenThousandths) {
  const bool negative = tenThousandths < 0;
  // Work in unsigned so the most negative value does not overflow.
  std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(tenThousandths) : static_cast<std::uint64_t>(tenThousandths);
  char buf[48];
  std::snprintf(buf, sizeof buf, "%s%llu.%04llu", negative ? "-" : "",
                static_cast<unsigned long long>(magnitude / 10000),
                static_cast<unsigned long long>(magnitude % 10000));
  return buf;
}

std::string FormatGuid(const jet::Guid& g) {
  const auto& b = g.bytes;
  char buf[64];
  std::snprintf(buf, sizeof buf, "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                b[3], b[2], b[1], b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12], b[13], b[14],
                b[15]);
  return buf;
}

// Days from the civil date 1970-01-01 to y-m-d and back (Howard Hinnant's algorithms).
void CivilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  if (m <= 2) ++y;
}

}  // namespace

std::string FormatDate(double oleDate) {
  if (!std::isfinite(oleDate) || std::fabs(oleDate) > 3e6) return "";
  // The whole part counts days and the fraction the time of day, each on its
  // own: -1.25 is 1899-12-29 06:00.
  double whole = std::trunc(oleDate);
  auto seconds = static_cast<std::int64_t>(std::llround(std::fabs(oleDate - whole) * 86400.0));
  auto days = static_cast<std::int64_t>(whole);
  if (seconds >= 86400) {
    seconds -= 86400;
    days += oleDate < 0 ? -1 : 1;
  }
  constexpr std::int64_t kOleEpochFromUnix = -25569;  // 1899-12-30
  std::int64_t y = 0;
  unsigned m = 0, d = 0;
  CivilFromDays(days + kOleEpochFromUnix, y, m, d);
  char buf[96];
  std::snprintf(buf, sizeof buf, "%04lld-%02u-%02u %02lld:%02lld:%02lld", static_cast<long long>(y), m, d,
                static_cast<long long>(seconds / 3600), static_cast<long long>(seconds / 60 % 60),
                static_cast<long long>(seconds % 60));
  return buf;
}

std::string CsvField(const jet::Value& value) {
  struct Visitor {
    std::string operator()(std::monostate) const { return ""; }
    std::string operator()(bool v) const { return v ? "1" : "0"; }
    std::string operator()(std::uint8_t v) const { return std::to_string(v); }
    std::string operator()(std::int16_t v) const { return std::to_string(v); }
    std::string operator()(std::int32_t v) const { return std::to_string(v); }
    std::string operator()(jet::Currency v) const { return FormatCurrency(v.tenThousandths); }
    std::string operator()(float v) const { return Shortest(v); }
    std::string operator()(double v) const { return Shortest(v); }
    std::string operator()(jet::DateTime v) const { return Quote(FormatDate(v.days)); }
    std::string operator()(const jet::Text& v) const {
      std::string out;
      AppendQuotedText(out, v.bytes);
      return out;
    }
    std::string operator()(const jet::Bytes& v) const {
      std::string out;
      AppendQuotedHex(out, v);
      return out;
    }
    std::string operator()(const jet::Guid& v) const { return Quote(FormatGuid(v)); }
  };
  return std::visit(Visitor{}, value);
}

jet::Status ExportCsv(jet::Database& db, const jet::TableDef& table, std::ostream& out) {
  // One buffer, written out a megabyte at a time; fields are appended from the pages.
  constexpr std::size_t kFlushAt = 1 << 20;
  std::string buffer;
  buffer.reserve(kFlushAt + (64 << 10));
  auto flush = [&] {
    out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    buffer.clear();
  };
  for (std::size_t i = 0; i < table.columns.size(); ++i) (buffer += i ? "," : "") += table.columns[i].name;
  buffer += '\n';
  JET_TRY(db.ScanFields(table, [&](jet::RowId, std::span<const jet::Field> fields) -> jet::Result<bool> {
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (i > 0) buffer += ',';
      // Text and bytes straight from the page; the rest (and nulls) as values, which
      // hold no text.
      switch (fields[i].present ? table.columns[i].type : jet::ColumnType{}) {
        case jet::ColumnType::kText:
        case jet::ColumnType::kMemo: AppendQuotedText(buffer, fields[i].bytes); break;
        case jet::ColumnType::kBinary:
        case jet::ColumnType::kOle: AppendQuotedHex(buffer, fields[i].bytes); break;
        default: {
          JET_ASSIGN(const jet::Value value, db.FieldValue(table, i, fields[i]));
          buffer += CsvField(value);
        }
      }
    }
    buffer += '\n';
    if (buffer.size() >= kFlushAt) flush();
    return static_cast<bool>(out);  // a failed write is reported once the command ends
  }));
  flush();
  return jet::Ok();
}

}  // namespace versedb
