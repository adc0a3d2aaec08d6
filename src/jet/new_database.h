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

// The TDEF page of the user table in a new database, and so its catalog id.
inline constexpr std::uint32_t kNewUserTablePage = 21;

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
