// The verse table as the editor's data layer sees it: rows in the table's own
// order, each named by its place in the file, written one row at a time.
#pragma once

#include <vector>

#include "jet/result.h"
#include "jet/table_def.h"
#include "store/verse_cursor.h"

namespace store {

struct StoredVerse {
  jet::RowId id;
  VerseRecord record;
};

// Writes are optimistic: an update or delete names the row as the caller last
// read it, and fails (3197, nothing changed) when another program changed or
// removed it meanwhile.
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
