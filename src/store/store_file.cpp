#include "store/store_file.h"

#include "jet/errors.h"
#include "store/verse_columns.h"
#include "store/verse_schema.h"

namespace store {

jet::Result<OpenedStore> OpenStore(jet::FileSystem& fs, const std::string& path) {
  auto db = jet::Database::Open(fs, path, jet::PagerOptions{.writable = true});
  if (!db.ok() && (db.error().number == jet::kErrReadOnly || db.error().number == jet::kErrCannotOpen)) {
    db = jet::Database::Open(fs, path);
  }
  if (!db.ok()) return db.error();
  JET_ASSIGN(jet::TableDef def, (*db)->OpenTable(kVerseTableName));
  JET_TRY(VerseColumns::Find(def));
  return OpenedStore{std::move(*db), std::move(def)};
}

}  // namespace store
