// The Access-made sample databases the engine is checked against.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumaret::test {

// File names of every sample in the shared test-data folder.
const std::vector<std::string>& SampleNames();
// Full path of a sample, as the platform's file functions take it.
std::string SamplePath(const std::string& name);
// The sample's bytes; fails the calling test when it cannot be read.
std::vector<std::uint8_t> SampleBytes(const std::string& name);

}  // namespace lumaret::test
