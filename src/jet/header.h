// Page 0: the database header, its masked region and page encoding.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "jet/result.h"

namespace jet {

inline constexpr std::size_t kHeaderVersion = 0x14;      // 0 = Jet 3, 1 = Jet 4
inline constexpr std::size_t kHeaderMaskStart = 0x18;    // masked region: 126 bytes
inline constexpr std::size_t kHeaderMaskLength = 126;
inline constexpr std::size_t kHeaderSortOrder = 0x3A;
inline constexpr std::size_t kHeaderCodePage = 0x3C;
inline constexpr std::size_t kHeaderKey = 0x3E;          // non-zero: every page >= 1 is encoded

struct DatabaseHeader {
  std::uint16_t sortOrder = 0x0409;
  std::uint16_t codePage = 1252;
  std::uint32_t key = 0;
  bool Encoded() const { return key != 0; }
};

// Checks that page 0 belongs to a Jet 3 database and decodes its fields.
// `path` only names the file in error messages.
Result<DatabaseHeader> DecodeHeader(std::span<const std::uint8_t> page0, const std::string& path);

// XORs the masked region of page 0 with its keystream, in place (masks and unmasks).
void ToggleHeaderMask(std::span<std::uint8_t> page0);

// Decodes (or encodes: the same operation) page `number` of an encoded database.
void TogglePageEncoding(std::uint32_t key, std::uint32_t number, std::span<std::uint8_t> page);

}  // namespace jet
