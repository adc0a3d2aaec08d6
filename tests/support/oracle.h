// The independent readers (mdbtools' mdb-export and the npm package mdb-reader) as test
// oracles for everything the engine reads and writes. Native only.
#pragma once

#include <string>
#include <vector>

namespace support {

// Runs a shell command and returns what it printed; a non-zero exit fails the calling test.
std::string RunCommand(const std::string& command);
// Table names as `mdb-tables -S -1` lists them (system tables included).
std::vector<std::string> MdbTables(const std::string& path);
// The table as CSV from mdb-reader, in versedb's format (tests/oracle/export.mjs).
std::string MdbReaderCsv(const std::string& path, const std::string& table);
// The table as CSV from mdb-export with ISO dates and hex binary.
std::string MdbExportCsv(const std::string& path, const std::string& table);
// "" when our CSV agrees with mdb-export's up to what mdbtools prints differently (binary
// and text cut at their first zero byte, empty text as null, numbers in another spelling),
// else the first difference.
std::string DiffWithMdbExport(const std::string& ours, const std::string& mdbExport);
// Checks that mdb-reader prints the table as versedb export does, and mdb-export the same
// up to its known quirks.
void ExpectOraclesAgree(const std::string& path, const std::string& table);

}  // namespace support
