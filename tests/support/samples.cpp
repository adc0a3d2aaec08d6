#include "support/samples.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace lumaret::test {

const std::vector<std::string>& SampleNames() {
  static const std::vector<std::string> names = {
      "compIndexTestV1997.mdb", "delTestV1997.mdb",      "indexTestV1997.mdb", "overflowTestV1997.mdb",
      "queryTestV1997.mdb",     "size97.mdb",            "test2V1997.mdb",     "testV1997.mdb",
  };
  return names;
}

std::string SamplePath(const std::string& name) { return std::string(LUMARET_TESTDATA_DIR) + "/" + name; }

std::vector<std::uint8_t> SampleBytes(const std::string& name) {
  std::ifstream in(SamplePath(name), std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot read " << SamplePath(name);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace lumaret::test
