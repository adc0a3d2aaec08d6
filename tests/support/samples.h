// The Access-made sample databases the engine is checked against (tests/data/jet3).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace support {

const std::vector<std::string>& SampleNames();
// A missing sample throws, which fails the calling test with its path.
std::string SamplePath(const std::string& name);
std::vector<std::uint8_t> SampleBytes(const std::string& name);

}  // namespace support
