// The integrity check: walks every page of a database and reports each
// inconsistency between its structures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/file.h"
#include "jet/result.h"

namespace jet {

// One inconsistency. `page` is the page it was found on (0 when it concerns the
// file as a whole).
struct Finding {
  std::uint32_t page = 0;
  std::string text;
};

// Checks the database at `path`: the global page map against the pages in use,
// every table's usage maps against the pages they list (a table's pages must be
// its data pages, a memo column's pages LVAL pages, an index's pages its index
// pages), row counts against live rows, slot tables (overlapping rows, free-space
// fields), memo values and their LVAL rows, forwarding stubs and moved rows,
// index leaves against rows, and the catalog against the table definitions.
// Fails only when the file cannot be opened as an Access 97 database; a damaged
// file gives findings, never a crash. An empty list means the file is clean.
Result<std::vector<Finding>> CheckIntegrity(FileSystem& fs, const std::string& path);

}  // namespace jet
