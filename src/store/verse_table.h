// The verse table as the editor's data layer sees it: rows in the table's own
// order, each named by its place in the file, written one row at a time.
#pragma once

#include <vector>

#include "jet/result.h"
#include "jet/table_def.h"
#include "store/verse_record.h"

namespace store {

struct StoredVerse {
  jet::RowId id;
  VerseRecord record;
};

// Writes are optimistic: an update or delete names the row as the caller last
// read it, and changes nothing when another program got there first. The two
// cases fail differently, so the caller can tell them apart:
// - changed meanwhile: 3197 (kErrWriteConflict); the row is still there with other values;
// - removed meanwhile: 3167 (kErrRecordDeleted); the row is gone and its id is
//   never handed out again.
// Values the file cannot hold fail with 3169 (a character outside the code page) or
// 3163 (longer than the column), a store that cannot be written with 3027.
class VerseTable {
 public:
  virtual ~VerseTable() = default;

  // Every row, in the table's order.
  virtual jet::Result<std::vector<StoredVerse>> ReadAll() = 0;
  // Adds a row at the end of the table's order and returns its id.
  virtual jet::Result<jet::RowId> Insert(const VerseRecord& values) = 0;
  virtual jet::Status Update(jet::RowId id, const VerseRecord& asRead, const VerseRecord& values) = 0;
  virtual jet::Status Delete(jet::RowId id, const VerseRecord& asRead) = 0;
};

}  // namespace store
