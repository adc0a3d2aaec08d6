// The editor's verse table in the Access 97 store file.
#pragma once

#include <memory>
#include <string>

#include "jet/database.h"
#include "jet/file.h"
#include "store/verse_table.h"

namespace store {

// Opens the file on first use, so a missing or damaged store shows as the
// failure of the first read, as a data control reports it.
class JetVerseTable final : public VerseTable {
 public:
  JetVerseTable(jet::FileSystem& fs, std::string path);
  ~JetVerseTable() override;

  jet::Result<std::vector<StoredVerse>> ReadAll() override;
  jet::Result<jet::RowId> Insert(const VerseRecord& values) override;
  jet::Status Update(jet::RowId id, const VerseRecord& asRead, const VerseRecord& values) override;
  jet::Status Delete(jet::RowId id, const VerseRecord& asRead) override;

 private:
  jet::Status EnsureOpen();
  // The row's values as stored now; 3197 when they are no longer what the caller
  // read, 3167 when the row is gone.
  jet::Result<std::vector<jet::Value>> CurrentValues(jet::RowId id, const VerseRecord& asRead);

  jet::FileSystem& fs_;
  std::string path_;
  std::unique_ptr<jet::Database> db_;
  jet::TableDef def_;
};

}  // namespace store
