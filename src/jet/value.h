// Column types and the values a row holds.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace jet {

// Type codes as stored in a table definition.
enum class ColumnType : std::uint8_t {
  kBoolean = 0x01,   // Yes/No: no bytes in the row, the null-mask bit is the value
  kByte = 0x02,
  kInteger = 0x03,   // 16-bit
  kLong = 0x04,      // 32-bit
  kCurrency = 0x05,  // 64-bit, value x 10,000
  kSingle = 0x06,
  kDouble = 0x07,
  kDateTime = 0x08,  // days since 1899-12-30 as a double
  kBinary = 0x09,
  kText = 0x0A,
  kOle = 0x0B,       // long binary
  kMemo = 0x0C,      // long text
  kGuid = 0x0F,
};

const char* ColumnTypeName(ColumnType type);

using Bytes = std::vector<std::uint8_t>;

struct Currency {
  std::int64_t tenThousandths = 0;
  friend bool operator==(const Currency&, const Currency&) = default;
};

struct DateTime {
  double days = 0;  // OLE date: days since 1899-12-30 00:00, fraction = time of day
  friend bool operator==(const DateTime&, const DateTime&) = default;
};

// Text and memo values in the file's code page, exactly as stored.
struct Text {
  Bytes bytes;
  friend bool operator==(const Text&, const Text&) = default;
};

// The 16 bytes as stored: the first three groups little-endian.
struct Guid {
  std::array<std::uint8_t, 16> bytes{};
  friend bool operator==(const Guid&, const Guid&) = default;
};

// One column's value. std::monostate is null. Binary and OLE values are Bytes.
using Value = std::variant<std::monostate, bool, std::uint8_t, std::int16_t, std::int32_t, Currency, float,
                           double, DateTime, Text, Bytes, Guid>;

inline bool IsNull(const Value& v) { return std::holds_alternative<std::monostate>(v); }

}  // namespace jet
