// Bounds-checked little-endian access to bytes read from the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace jet {

// Reads integers from a byte span. Every read is checked: an out-of-range read
// returns false (or zero from the Get* forms) and marks the reader as failed,
// so a parser can read a whole structure and test ok() once.
class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t size() const { return bytes_.size(); }
  bool ok() const { return ok_; }
  bool Has(std::size_t offset, std::size_t length) const {
    return offset <= bytes_.size() && length <= bytes_.size() - offset;
  }

  std::uint8_t U8(std::size_t offset) { return Check(offset, 1) ? bytes_[offset] : 0; }
  std::uint16_t U16(std::size_t offset) {
    if (!Check(offset, 2)) return 0;
    return static_cast<std::uint16_t>(bytes_[offset] | (bytes_[offset + 1] << 8));
  }
  std::uint32_t U32(std::size_t offset) {
    if (!Check(offset, 4)) return 0;
    return static_cast<std::uint32_t>(bytes_[offset]) |
           (static_cast<std::uint32_t>(bytes_[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes_[offset + 2]) << 16) |
           (static_cast<std::uint32_t>(bytes_[offset + 3]) << 24);
  }
  std::uint64_t U64(std::size_t offset) {
    if (!Check(offset, 8)) return 0;
    return static_cast<std::uint64_t>(U32(offset)) | (static_cast<std::uint64_t>(U32(offset + 4)) << 32);
  }
  std::span<const std::uint8_t> Span(std::size_t offset, std::size_t length) {
    if (!Check(offset, length)) return {};
    return bytes_.subspan(offset, length);
  }

 private:
  bool Check(std::size_t offset, std::size_t length) {
    if (Has(offset, length)) return true;
    ok_ = false;
    return false;
  }

  std::span<const std::uint8_t> bytes_;
  bool ok_ = true;
};

// A value of type T from the first sizeof(T) bytes, which the caller has checked are there.
template <typename T>
T Load(std::span<const std::uint8_t> bytes) {
  T v;
  std::memcpy(&v, bytes.data(), sizeof v);  // the file and both targets are little-endian
  return v;
}

inline void PutU16(std::span<std::uint8_t> out, std::size_t offset, std::uint16_t v) {
  out[offset] = static_cast<std::uint8_t>(v);
  out[offset + 1] = static_cast<std::uint8_t>(v >> 8);
}

inline void PutU32(std::span<std::uint8_t> out, std::size_t offset, std::uint32_t v) {
  for (int i = 0; i < 4; ++i)
    out[offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline void PutU64(std::span<std::uint8_t> out, std::size_t offset, std::uint64_t v) {
  PutU32(out, offset, static_cast<std::uint32_t>(v));
  PutU32(out, offset + 4, static_cast<std::uint32_t>(v >> 32));
}

}  // namespace jet
