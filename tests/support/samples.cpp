#include "support/samples.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace support {

const std::vector<std::string>& SampleNames() {
  static const std::vector<std::string> names = {
      "compIndexTestV1997.mdb", "delTestV1997.mdb", "indexTestV1997.mdb", "overflowTestV1997.mdb",
      "queryTestV1997.mdb",     "size97.mdb",       "test2V1997.mdb",     "testV1997.mdb"};
  return names;
}

std::string SamplePath(const std::string& name) {
  std::string path = std::string(LUMARET_TESTDATA_DIR) + "/" + name;
  if (!std::ifstream(path, std::ios::binary).good()) throw std::runtime_error("missing sample file " + path);
  return path;
}

std::vector<std::uint8_t> SampleBytes(const std::string& name) {
  std::ifstream in(SamplePath(name), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace support
