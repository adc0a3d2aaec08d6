#include "jet/header.h"

#include <array>
#include <cstring>
#include <vector>

#include "jet/byte_reader.h"
#include "jet/errors.h"
#include "jet/rc4.h"
#include "jet/table_def.h"

namespace jet {
namespace {

constexpr std::array<std::uint8_t, 4> kMagic = {0x00, 0x01, 0x00, 0x00};
constexpr char kSignature[] = "Standard Jet DB";  // followed by its NUL at 0x13
constexpr std::array<std::uint8_t, 4> kMaskKey = {0xC7, 0xDA, 0x39, 0x6B};

Error Unrecognized(const std::string& path, const std::string& why) {
  return MakeError(kErrUnrecognizedFormat, "Unrecognized database format '" + path + "' (" + why + ").");
}

}  // namespace

void ToggleHeaderMask(std::span<std::uint8_t> page0) {
  Rc4Xor(kMaskKey, page0.subspan(kHeaderMaskStart, kHeaderMaskLength));
}

void TogglePageEncoding(std::uint32_t key, std::uint32_t number, std::span<std::uint8_t> page) {
  std::uint32_t k = key ^ number;
  std::array<std::uint8_t, 4> pageKey = {static_cast<std::uint8_t>(k), static_cast<std::uint8_t>(k >> 8),
                                         static_cast<std::uint8_t>(k >> 16), static_cast<std::uint8_t>(k >> 24)};
  Rc4Xor(pageKey, page);
}

Result<DatabaseHeader> DecodeHeader(std::span<const std::uint8_t> page0, const std::string& path) {
  if (page0.size() < kPageSize) return Unrecognized(path, "the file is shorter than one page");
  if (std::memcmp(page0.data(), kMagic.data(), kMagic.size()) != 0 ||
      std::memcmp(page0.data() + 4, kSignature, sizeof kSignature) != 0) {
    return Unrecognized(path, "not a Microsoft Access database");
  }
  if (page0[kHeaderVersion] != 0) {
    return Unrecognized(path, "an Access 2000 or later database; only Access 97 files are supported");
  }
  std::vector<std::uint8_t> clear(page0.begin(), page0.begin() + kPageSize);
  ToggleHeaderMask(clear);
  ByteReader r(clear);
  DatabaseHeader h;
  h.sortOrder = r.U16(kHeaderSortOrder);
  h.codePage = r.U16(kHeaderCodePage);
  h.key = r.U32(kHeaderKey);
  return h;
}

}  // namespace jet
