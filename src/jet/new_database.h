// A new, empty Access 97 database: the Jet system tables, their catalog and ACE
// rows, MSysDb's properties and one user table without indexes, built page by page.
#pragma once

#include <cstdint>
#include <string>

#include "jet/file.h"
#include "jet/result.h"
#include "jet/table_def.h"
#include "jet/value.h"

namespace jet {

// Jet's number for creating a database over an existing file.
inline constexpr int kErrDatabaseExists = 3204;

// The pages of a new database, as Access 97 lays out an empty one. The TDEFs of
// the system tables come first (MSysObjects' is kCatalogPage), then their usage
// maps and index leaves, their rows, and last the user table.
namespace new_page {
inline constexpr std::uint32_t kAces = 3;              // MSysACEs' definition
inline constexpr std::uint32_t kQueries = 4;           // MSysQueries'
inline constexpr std::uint32_t kRelationships = 5;     // MSysRelationships'
inline constexpr std::uint32_t kObjectMaps = 6;        // MSysObjects' maps and long-value maps
inline constexpr std::uint32_t kObjectLastMap = 7;     // the free map of its last memo column
inline constexpr std::uint32_t kByParentNameMap = 8;   // MSysObjects' (ParentId, Name) index...
inline constexpr std::uint32_t kByParentNameLeaf = 9;  // ...and its one leaf
inline constexpr std::uint32_t kByIdMap = 10;          // MSysObjects' Id index...
inline constexpr std::uint32_t kByIdLeaf = 11;         // ...and its one leaf
inline constexpr std::uint32_t kSystemMaps = 12;       // the maps of the other three system tables
inline constexpr std::uint32_t kAcesLeaf = 13;
inline constexpr std::uint32_t kQueriesLeaf = 14;
inline constexpr std::uint32_t kRelationshipLeaves = 15;  // 15-17, one for each of its indexes
inline constexpr std::uint32_t kObjectRows = 18;          // the catalog
inline constexpr std::uint32_t kAceRows = 19;
inline constexpr std::uint32_t kProperties = 20;  // MSysDb's property blob (an LVAL page)
inline constexpr std::uint32_t kUserTable = 21;   // the user table's TDEF, so its catalog id
inline constexpr std::uint32_t kUserMaps = 22;
inline constexpr std::uint32_t kCount = 23;
}  // namespace new_page

// The bytes of a new database holding the system tables and `userTable`, a table
// laid out by LayOutTable (columns only: no indexes, no AutoNumber). `created` is
// the creation time as an OLE date, stored in the catalog rows. Fails with 3001
// when the table has indexes, more long-value columns than one map page holds, or
// a name that clashes with a system table or has characters an index key cannot
// hold (letters, digits, spaces and printable ASCII punctuation are fine).
Result<Bytes> BuildNewDatabase(const TableDef& userTable, double created);

// Writes a new database to `path`. Refuses (3204) when the file exists already;
// a failed write removes the partial file.
Status CreateDatabase(FileSystem& fs, const std::string& path, const TableDef& userTable, double created);

// The text key of a name in the General sort order: one code per character, then
// 0x00. Fails with 3001 for a character outside printable ASCII.
Result<Bytes> GeneralTextKey(const std::string& name);

}  // namespace jet
