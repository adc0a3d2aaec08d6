// The independent readers (mdbtools' mdb-export and the npm package mdb-reader)
// as test oracles for everything the engine reads and writes. Native only.
#pragma once


#include <string>
#include <vector>

namespace support {

// Runs a shell command and returns what it printed; fails the calling test on a
// non-zero exit status.
std::string RunCommand(const std::string& command);

// Table names as `mdb-tables -S -1` lists them (system tables included).
std::vector<std::string> MdbTables(const std::string& path);
// The table as CSV from mdb-reader, in versedb's format (tests/oracle/export.mjs).
std::string MdbReaderCsv(const std::string& path, const std::string& table);
// The table as CSV from mdb-export with ISO dates and hex binary.
std::string MdbExportCsv(const std::string& path, const std::string& table);

// Splits CSV text into records of fields, honouring quotes (fields keep their quotes).
std::vector<std::vector<std::string>> ParseCsv(const std::string& text);

// Compares our CSV with mdb-export's, allowing for what mdbtools prints
// differently: binary values cut at their first zero byte, empty text as null,
// and floating-point numbers in another (equal) spelling. Returns "" when they
// agree, else a description of the first difference.
std::string DiffWithMdbExport(const std::string& ours, const std::string& mdbExport);

}  // namespace support
