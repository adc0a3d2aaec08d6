// The independent readers (mdbtools and the npm package mdb-reader) as test oracles for
// everything the engine reads and writes. Native only.
#pragma once

#include <string>
#include <vector>

namespace support {

// Runs a shell command and returns what it printed; a non-zero exit fails the calling test.
std::string RunCommand(const std::string& command);
// Table names as `mdb-tables -S -1` lists them (system tables included).
std::vector<std::string> MdbTables(const std::string& path);
// Checks that mdb-reader prints the table as versedb export does, and mdb-export the same up
// to what it prints differently (binary and text cut at their first zero byte, empty text
// as null, numbers in another spelling). `anyOrder` for a table with forwarded rows: both
// readers list a moved row where its copy lies, not where its stub is (our table order).
void ExpectOraclesAgree(const std::string& path, const std::string& table, bool anyOrder = false);

}  // namespace support
