// What the engine's tests share: verse stores in memory, rows as values, the integrity
// check's findings, and (natively) the independent readers' view of a store.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jet/byte_reader.h"
#include "jet/database.h"
#include "jet/errors.h"
#include "jet/file_memory.h"
#include "jet/format.h"
#include "jet/integrity.h"
#include "jet/new_database.h"
#include "jet/tdef_encode.h"
#include "store/verse_schema.h"
#include "support/result_assert.h"
#include "support/samples.h"

namespace jet::test {

using Rows = std::vector<std::vector<Value>>;

inline Text T(const std::string& s) { return Text{Bytes(s.begin(), s.end())}; }

// A memo text of `n` letters whose content tells its position and seed, so mix-ups show.
inline Text Memo(std::size_t n, char seed = 'a') {
  std::string s(n, ' ');
  for (std::size_t i = 0; i < n; ++i)
    s[i] = static_cast<char>('a' + (static_cast<unsigned char>(seed) + i % 23) % 26);
  return T(s);
}

// Book, Chapter, Read, Verses, VerseTxt.
inline std::vector<Value> VerseRow(const std::string& book, const std::string& chapter, bool read,
                                   const std::string& verses, Value text) {
  return {T(book), T(chapter), read, T(verses), std::move(text)};
}

// A new database holding the empty verse table (no indexes).
inline Bytes NewVerseStoreBytes() {
  return BuildNewDatabase(store::VerseTableSchema().value(), 45000.5).value();
}

// A store opened with its verse table, or the table named.
struct Opened {
  std::unique_ptr<Database> db;
  TableDef def;
};
inline Opened OpenVerses(FileSystem& fs, const std::string& path, PagerOptions options = {},
                         const std::string& table = "versetbl") {
  auto db = Database::Open(fs, path, options);
  EXPECT_OK(db);
  auto def = db.ok() ? (*db)->OpenTable(table) : db.error();
  return db.ok() && def.ok() ? Opened{std::move(*db), *def} : Opened{};
}

inline Rows ReadRows(Database& db, const TableDef& def) {
  auto rows = db.ReadAllRows(def);
  EXPECT_OK(rows);
  Rows values;
  for (std::size_t i = 0; rows.ok() && i < rows->size(); ++i) values.push_back((*rows)[i].values);
  return values;
}

// Whether row `id` of the file is a forwarding stub: the row moved off its page.
inline bool IsStub(const Bytes& file, RowId id) {
  return (ByteReader(file).U16(id.page * kPageSize + kDataSlots + 2 * id.row) & kSlotDeleted) ==
         kSlotForwarded;
}

// The integrity check's findings, one a line; empty for a clean file.
inline std::string Findings(FileSystem& fs, const std::string& path) {
  auto findings = CheckIntegrity(fs, path);
  if (!findings.ok()) return "check failed: " + findings.error().description;
  std::string text;
  for (const auto& f : *findings) text += "page " + std::to_string(f.page) + ": " + f.text + "\n";
  return text;
}

inline std::string Findings(const Bytes& bytes) {
  MemoryFileSystem fs;
  fs.SetBytes("db.mdb", bytes);
  return Findings(fs, "db.mdb");
}

// Checks that mdb-reader prints `table` of the file `bytes` as versedb export does, and
// mdb-export the same up to its known quirks. Defined in oracle_test.cpp.
void ExpectOraclesAgree(const Bytes& bytes, const std::string& table, bool anyOrder = false);

}  // namespace jet::test
