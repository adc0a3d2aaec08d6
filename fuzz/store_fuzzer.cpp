// Fuzz target: a store file from arbitrary bytes, opened and read through as both
// programs read it: every table and every value, and the reminder's cursor over
// versetbl. Any outcome but a crash, a hang or a sanitizer report is fine.
#include <cstdint>
#include <string>

#include "fuzz_store.h"
#include "jet/database.h"
#include "jet/file_memory.h"
#include "store/data1.h"

namespace {

using fuzz::kStorePath;
// Enough steps to walk every row of any input libFuzzer makes, few enough to stay fast.
constexpr int kMaxCursorSteps = 5000;

void WalkCursor(jet::FileSystem& fs) {
  store::Data1 data1(fs, kStorePath);
  if (!data1.Refresh().ok()) return;
  for (int step = 0; step < kMaxCursorSteps && data1.HasCurrent(); ++step) {
    (void)data1.Current();
    if (!data1.MoveNext().ok()) break;
  }
  (void)data1.MoveFirst();
  (void)data1.Move(2);
  (void)data1.Move(-1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  jet::MemoryFileSystem fs;
  fs.SetBytes(kStorePath, std::vector<std::uint8_t>(data, data + size));
  {
    auto db = jet::Database::Open(fs, kStorePath);
    if (db.ok()) fuzz::ReadEveryTable(**db);
  }
  WalkCursor(fs);
  return 0;
}
