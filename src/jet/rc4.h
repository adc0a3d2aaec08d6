// RC4, which masks part of page 0 and encodes the pages of encoded databases.
#pragma once

#include <cstdint>
#include <span>

namespace jet {

// XORs `data` with the RC4 keystream of `key`, in place (its own inverse).
void Rc4Xor(std::span<const std::uint8_t> key, std::span<std::uint8_t> data);

}  // namespace jet
