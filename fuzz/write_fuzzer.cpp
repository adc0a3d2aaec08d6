// Fuzz target: the write path. The input is a short script of row writes and crash
// points, then a store. Each write must end in success or a numbered error; a crash point
// cuts the next write off at one of its file changes. After every step the store reopens
// for writing (rolling back what a crash left), and the integrity check finds it clean
// unless it was not clean before the script began.
//
// Input: byte 0 = number of steps (at most 16), then 4 bytes per step:
//   op, a, b, c   op % 5: 0 insert, 1 update row a, 2 delete row a, 3 update row a with
//                 nulls, 4 crash the next write at its (a % 32 + 1)-th file change.
//                 Row a counts modulo the number of rows.
//                 Text takes (b % 56) letters, a memo (b * 40 + c) letters (0 = null).
// The rest is the store, as fuzz::StoreFrom reads it.
#include <cstdlib>

#include "fuzz_store.h"
#include "jet/database.h"
#include "jet/file_memory.h"
#include "jet/integrity.h"
#include "support/faulty_file_system.h"

namespace {

using fuzz::kStorePath;
using jet::Bytes;

void ExpectNumbered(const jet::Status& s) {
  if (!s.ok() && (s.error().number == 0 || s.error().description.empty())) std::abort();
}

// Whether the store reads as clean now (the check may itself fail on a damaged file).
bool Clean(jet::FileSystem& fs) {
  auto findings = jet::CheckIntegrity(fs, kStorePath);
  if (!findings.ok()) ExpectNumbered(findings.error());
  return findings.ok() && findings->empty();
}

struct Step {
  std::uint8_t op, a, b, c;
};

// A value of each column's type made from the step's bytes.
std::vector<jet::Value> RowFor(const jet::TableDef& def, const Step& s, bool nulls) {
  std::vector<jet::Value> values;
  for (const auto& c : def.columns) {
    switch (nulls || c.IsAutoNumber() ? jet::ColumnType{} : c.type) {
      case jet::ColumnType::kText:
        values.emplace_back(jet::Text{Bytes(s.b % 56, static_cast<std::uint8_t>('a' + s.a % 26))});
        break;
      case jet::ColumnType::kMemo:  // no letters: null
        values.push_back(s.b == 0 && s.c == 0
                             ? jet::Value()
                             : jet::Text{Bytes(s.b * 40u + s.c, static_cast<std::uint8_t>('A' + s.c % 26))});
        break;
      case jet::ColumnType::kOle: values.emplace_back(Bytes(std::size_t{s.b} * 40, s.c)); break;
      case jet::ColumnType::kBinary: values.emplace_back(Bytes(s.b % 16, s.c)); break;
      case jet::ColumnType::kBoolean: values.emplace_back((s.c & 1) != 0); break;
      case jet::ColumnType::kByte: values.emplace_back(s.c); break;
      case jet::ColumnType::kInteger: values.emplace_back(static_cast<std::int16_t>(s.b * 256 + s.c)); break;
      case jet::ColumnType::kLong: values.emplace_back(std::int32_t{s.b * 256 + s.c}); break;
      default: values.emplace_back(); break;
    }
  }
  return values;
}

jet::Status RunStep(jet::FileSystem& fs, const Step& s) {
  JET_ASSIGN(auto db, jet::Database::Open(fs, kStorePath, {.writable = true, .lockTimeoutMs = 0}));
  JET_ASSIGN(auto names, db->TableNames());
  if (names.empty()) return jet::Ok();
  JET_ASSIGN(jet::TableDef def, db->OpenTable(names.front()));
  if (s.op % 5 == 0) {
    auto added = db->Insert(def, RowFor(def, s, false));
    return added.ok() ? jet::Ok() : jet::Status(added.error());
  }
  JET_ASSIGN(auto rows, db->ReadAllRows(def));
  if (rows.empty()) return jet::Ok();
  const jet::StoredRow& row = rows[s.a % rows.size()];
  if (s.op % 5 == 2) return db->Delete(def, row.id, row.values);
  return db->Update(def, row.id, row.values, RowFor(def, s, s.op % 5 == 3));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::size_t steps = size == 0 ? 0 : std::min<std::size_t>(data[0], 16);
  if (size < 1 + 4 * steps) return 0;
  jet::MemoryFileSystem fs;
  fs.SetBytes(kStorePath, fuzz::StoreFrom(data + 1 + 4 * steps, size - 1 - 4 * steps));
  const bool cleanBefore = Clean(fs);
  std::uint64_t crashAt = 0;
  for (const std::uint8_t* p = data + 1; p < data + 1 + 4 * steps; p += 4) {
    const Step s{p[0], p[1], p[2], p[3]};
    if (s.op % 5 == 4) {
      crashAt = s.a % 32u + 1;
      continue;
    }
    // A crashing write dies during this step; what reached the files is all that is left.
    support::FaultyFileSystem faulty(fs);
    faulty.FailAt(crashAt, support::FaultyFileSystem::Mode::kCrash);
    ExpectNumbered(RunStep(faulty, s));
    crashAt = 0;
    auto reopened = jet::Database::Open(fs, kStorePath, {.writable = true, .lockTimeoutMs = 0});
    if (!reopened.ok()) ExpectNumbered(reopened.error());
    if (cleanBefore && (!reopened.ok() || !Clean(fs))) std::abort();
  }
  return 0;
}
