// Fuzz target: a store file from arbitrary bytes, opened and read through as both
// programs read it: every table and every value, and the reminder's cursor over
// versetbl. Any outcome but a crash, a hang or a sanitizer report is fine.
#include <cstdint>
#include <string>

#include "jet/database.h"
#include "jet/file_memory.h"
#include "store/data1.h"

namespace {

constexpr const char* kPath = "verse97.mdb";
// Enough steps to walk every row of any input libFuzzer makes, few enough to stay fast.
constexpr int kMaxCursorSteps = 5000;

void ReadEveryTable(jet::Database& db) {
  auto names = db.TableNames(true);
  if (!names.ok()) return;
  for (const auto& name : *names) {
    auto def = db.OpenTable(name);
    if (!def.ok()) continue;
    (void)db.Scan(*def, [&](const jet::RowRef& row) {
      auto values = db.RowValues(*def, row.bytes);
      return values.ok();
    });
  }
}

void WalkCursor(jet::FileSystem& fs) {
  store::Data1 data1(fs, kPath);
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
  fs.SetBytes(kPath, std::vector<std::uint8_t>(data, data + size));
  {
    auto db = jet::Database::Open(fs, kPath);
    if (db.ok()) ReadEveryTable(**db);
  }
  WalkCursor(fs);
  return 0;
}
