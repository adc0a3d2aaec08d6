#include "store/verse_schema.h"

#include "jet/tdef_encode.h"

namespace store {

jet::Result<jet::TableDef> VerseTableSchema() {
  return jet::LayOutTable(kVerseTableName, jet::kTableTypeUser,
                          {{"Book", jet::ColumnType::kText, kBookLength},
                           {"Chapter", jet::ColumnType::kText, kChapterLength},
                           {"Read", jet::ColumnType::kBoolean},
                           {"Verses", jet::ColumnType::kText, kVersesLength},
                           {"VerseTxt", jet::ColumnType::kMemo}});
}

}  // namespace store
