// Fuzz target: the integrity check over a store file made of arbitrary bytes. A damaged
// file must give findings or a failure to open, never a crash or a hang.
#include "jet/file_memory.h"
#include "jet/integrity.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  jet::MemoryFileSystem fs;
  fs.SetBytes("verse97.mdb", std::vector<std::uint8_t>(data, data + size));
  (void)jet::CheckIntegrity(fs, "verse97.mdb");
  return 0;
}
