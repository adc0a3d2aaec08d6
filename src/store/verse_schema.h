// The verse table's columns, as the engine lays out a new table.
#pragma once

#include "jet/result.h"
#include "jet/table_def.h"

namespace store {

inline constexpr const char* kVerseTableName = "versetbl";
inline constexpr std::uint16_t kBookLength = 255;
inline constexpr std::uint16_t kChapterLength = 50;
inline constexpr std::uint16_t kVersesLength = 50;

// versetbl: Book Text(255), Chapter Text(50), Read Yes/No, Verses Text(50),
// VerseTxt Memo; no indexes, no key.
jet::Result<jet::TableDef> VerseTableSchema();

}  // namespace store
