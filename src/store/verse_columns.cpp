#include "store/verse_columns.h"

#include <cerrno>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "jet/code_page.h"
#include "jet/database.h"
#include "jet/errors.h"

namespace store {
namespace {

// The shortest decimal text that reads back as `v`, fixed or with an exponent,
// whichever is shorter (fixed on a tie): the form std::to_chars gives, without the
// hundreds of kilobytes of tables its implementation brings into each program. A
// Single's text need only read back as the same Single.
std::string Number(double v, bool single = false) {
  if (std::isnan(v)) return std::signbit(v) ? "-nan" : "nan";
  if (std::isinf(v)) return v < 0 ? "-inf" : "inf";
  if (v == 0) return std::signbit(v) ? "-0" : "0";
  auto readsBack = [v, single](const char* text) {
    return single ? std::strtof(text, nullptr) == static_cast<float>(v) : std::strtod(text, nullptr) == v;
  };
  char buf[40];  // [-]d.ddddddddddddddddde[+-]ddd
  for (int digits = 1; digits <= 17; ++digits) {
    std::snprintf(buf, sizeof buf, "%.*e", digits - 1, v);
    if (readsBack(buf)) break;
  }
  const char* p = buf + (v < 0 ? 1 : 0);
  std::string digits;
  for (; *p != 'e'; ++p) {
    if (*p != '.') digits += *p;
  }
  const int exponent = std::atoi(p + 1);
  const auto n = static_cast<int>(digits.size());
  const std::string magnitude = std::to_string(exponent < 0 ? -exponent : exponent);
  const std::string scientific = digits.substr(0, 1) + (n > 1 ? "." + digits.substr(1) : "") +
                                 (exponent < 0 ? "e-" : "e+") + (magnitude.size() < 2 ? "0" : "") + magnitude;
  // A whole number is written out in full, every digit exact (as %.0f writes it).
  char whole[330];
  if (exponent >= n - 1) std::snprintf(whole, sizeof whole, "%.0f", std::fabs(v));
  const std::string fixed = exponent >= n - 1 ? std::string(whole)
                            : exponent >= 0
                                ? digits.substr(0, static_cast<std::size_t>(exponent) + 1) + "." +
                                      digits.substr(static_cast<std::size_t>(exponent) + 1)
                                : "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  return (v < 0 ? "-" : "") + (fixed.size() <= scientific.size() ? fixed : scientific);
}

jet::Error NotANumber(const jet::ColumnDef& column, const std::string& text) {
  return jet::MakeError(3421, "Data type conversion error: '" + text + "' is not a number for the field '" +
                                  column.name + "'.");
}

// Text typed into a box, as the column's type.
jet::Result<jet::Value> FromText(const jet::ColumnDef& column, const std::string& text) {
  if (text.empty()) return jet::Value();
  switch (column.type) {
    case jet::ColumnType::kText:
    case jet::ColumnType::kMemo: {
      JET_ASSIGN(jet::Bytes bytes, jet::EncodeCp1252(text));
      return jet::Value(jet::Text{std::move(bytes)});
    }
    case jet::ColumnType::kByte:
    case jet::ColumnType::kInteger:
    case jet::ColumnType::kLong: {
      long long v = 0;
      auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
      if (ec != std::errc() || end != text.data() + text.size()) return NotANumber(column, text);
      if (column.type == jet::ColumnType::kByte && v >= 0 && v <= 255)
        return jet::Value(static_cast<std::uint8_t>(v));
      if (column.type == jet::ColumnType::kInteger && v >= -32768 && v <= 32767) {
        return jet::Value(static_cast<std::int16_t>(v));
      }
      if (column.type == jet::ColumnType::kLong && v >= INT32_MIN && v <= INT32_MAX) {
        return jet::Value(static_cast<std::int32_t>(v));
      }
      return jet::MakeError(jet::kErrFieldTooSmall,
                            "The number " + text + " is too large for the field '" + column.name + "'.");
    }
    case jet::ColumnType::kDouble:
    case jet::ColumnType::kSingle: {
      // What a person types: digits with a sign, a point and an exponent; no spaces,
      // hexadecimal or words ("nan" would make a row no update can match again).
      const bool plain = text.find_first_not_of("0123456789.eE+-") == std::string::npos &&
                         text.find_first_of("0123456789") != std::string::npos && text[0] != '+';
      char* end = nullptr;
      errno = 0;
      const double v = plain ? std::strtod(text.c_str(), &end) : 0;
      if (!plain || end != text.c_str() + text.size() || (errno == ERANGE && std::fabs(v) < 1)) {
        return NotANumber(column, text);
      }
      if (column.type == jet::ColumnType::kSingle ? !(std::fabs(v) <= FLT_MAX) : !std::isfinite(v)) {
        return jet::MakeError(jet::kErrFieldTooSmall,
                              "The number " + text + " is too large for the field '" + column.name + "'.");
      }
      if (column.type == jet::ColumnType::kSingle) return jet::Value(static_cast<float>(v));
      return jet::Value(v);
    }
    default:
      return jet::MakeError(jet::kErrNotSupported, "The field '" + column.name + "' is of type " +
                                                       jet::ColumnTypeName(column.type) +
                                                       ", which cannot be edited as text.");
  }
}

}  // namespace

std::string ValueText(const jet::Value& value) {
  struct Visitor {
    std::string operator()(std::monostate) const { return ""; }
    std::string operator()(bool v) const { return v ? "-1" : "0"; }
    std::string operator()(std::uint8_t v) const { return std::to_string(v); }
    std::string operator()(std::int16_t v) const { return std::to_string(v); }
    std::string operator()(std::int32_t v) const { return std::to_string(v); }
    std::string operator()(jet::Currency v) const {
      return Number(static_cast<double>(v.tenThousandths) / 10000.0);
    }
    std::string operator()(float v) const { return Number(v, true); }
    std::string operator()(double v) const { return Number(v); }
    std::string operator()(jet::DateTime v) const { return Number(v.days); }
    std::string operator()(const jet::Text& v) const { return jet::DecodeCp1252(v.bytes); }
    std::string operator()(const jet::Bytes&) const { return ""; }
    std::string operator()(const jet::Guid&) const { return ""; }
  };
  return std::visit(Visitor{}, value);
}

jet::Result<VerseColumns> VerseColumns::Find(const jet::TableDef& def) {
  VerseColumns c;
  c.def_ = &def;
  struct Want {
    const char* name;
    std::size_t* index;
  };
  for (Want want : {Want{"Book", &c.book_}, Want{"Chapter", &c.chapter_}, Want{"Read", &c.read_},
                    Want{"Verses", &c.verses_}, Want{"VerseTxt", &c.verseTxt_}}) {
    std::size_t i = 0;
    while (i < def.columns.size() && !jet::SameName(def.columns[i].name, want.name)) ++i;
    if (i == def.columns.size()) {
      return jet::MakeError(jet::kErrColumnNotFound, "The table '" + def.name + "' has no field '" +
                                                         want.name + "'; it is not a verse table.");
    }
    *want.index = i;
  }
  return c;
}

VerseRecord VerseColumns::ToRecord(const std::vector<jet::Value>& values) const {
  VerseRecord r;
  r.book = ValueText(values[book_]);
  r.chapter = ValueText(values[chapter_]);
  r.verses = ValueText(values[verses_]);
  r.verseTxt = ValueText(values[verseTxt_]);
  const jet::Value& read = values[read_];
  r.read = std::holds_alternative<bool>(read) ? std::get<bool>(read) : !jet::IsNull(read);
  return r;
}

jet::Result<std::vector<jet::Value>> VerseColumns::ToValues(const VerseRecord& record,
                                                            std::vector<jet::Value> current) const {
  const auto& columns = def_->columns;
  current.resize(columns.size());
  JET_ASSIGN(current[book_], FromText(columns[book_], record.book));
  JET_ASSIGN(current[chapter_], FromText(columns[chapter_], record.chapter));
  JET_ASSIGN(current[verses_], FromText(columns[verses_], record.verses));
  JET_ASSIGN(current[verseTxt_], FromText(columns[verseTxt_], record.verseTxt));
  if (columns[read_].type == jet::ColumnType::kBoolean) current[read_] = jet::Value(record.read);
  return current;
}

}  // namespace store
