// Fuzz target: a store file from arbitrary bytes, checked for integrity and read through
// as both programs read it: every table and every value, and the reminder's cursor over
// versetbl. Any outcome but a crash, a hang or a sanitizer report is fine.
#include "fuzz_store.h"
#include "jet/file_memory.h"
#include "jet/integrity.h"
#include "store/data1.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  jet::MemoryFileSystem fs;
  fs.SetBytes(fuzz::kStorePath, std::vector<std::uint8_t>(data, data + size));
  (void)jet::CheckIntegrity(fs, fuzz::kStorePath);
  fuzz::ReadEveryTable(fs, false);
  store::Data1 data1(fs, fuzz::kStorePath);
  if (!data1.Refresh().ok()) return 0;
  // Enough steps to walk every row of any input libFuzzer makes, few enough to stay fast.
  for (int step = 0; step < 5000 && data1.HasCurrent(); ++step) {
    (void)data1.Current();
    if (!data1.MoveNext().ok()) break;
  }
  (void)data1.MoveFirst();
  (void)data1.Move(2);
  (void)data1.Move(-1);
  return 0;
}
