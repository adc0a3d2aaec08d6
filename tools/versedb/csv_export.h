// Values as text, and whole tables as CSV, in the form `mdb-export` prints them
// with -D/-T '%Y-%m-%d %H:%M:%S' -b hex, so the two can be compared.
#pragma once

#include <ostream>
#include <string>

#include "jet/database.h"
#include "jet/value.h"

namespace versedb {

// One value as a CSV field: text quoted with inner quotes doubled, Yes/No as 1/0,
// dates as %Y-%m-%d %H:%M:%S, binary as upper-case hex, null as nothing.
std::string CsvField(const jet::Value& value);

// An OLE date as %Y-%m-%d %H:%M:%S, to the nearest second.
std::string FormatDate(double oleDate);

// Writes the header row and every row of `table` to `out`.
jet::Status ExportCsv(jet::Database& db, const jet::TableDef& table, std::ostream& out);

}  // namespace versedb
