// The Access-made sample databases the engine is checked against.
#pragma once


#include <cstdint>
#include <string>
#include <vector>

namespace support {

// File names of every sample in tests/data/jet3.
const std::vector<std::string>& SampleNames();
// Full path of a sample, as the platform's file functions take it; throws when it is missing.
std::string SamplePath(const std::string& name);
// The sample's bytes. A missing sample throws, which fails the calling test with its path.
std::vector<std::uint8_t> SampleBytes(const std::string& name);

}  // namespace support
