// Table definitions written out: column layout for a new table and the TDEF bytes
// that ReadTableDef reads back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/pager.h"
#include "jet/result.h"
#include "jet/table_def.h"

namespace jet {

// One column of a table to be laid out: its name, type and, for Text and Binary,
// its maximum length in bytes.
struct ColumnSpec {
  std::string name;  // UTF-8; 1 to 64 Windows-1252 characters
  ColumnType type = ColumnType::kText;
  std::uint16_t length = 0;  // Text and Binary only (1-255)
  std::uint8_t extraFlags = 0;  // OR-ed into the layout's flags (system tables' 0x10/0x20)
};

// Lays out `columns` as Access does: numbers and positions in the given order,
// fixed columns packed in order into the fixed area, variable columns numbered in
// order. Yes/No takes no fixed bytes. The result has no pages, maps or indexes.
// Fails with 3001 for an empty or too long list, a bad name or length.
Result<TableDef> LayOutTable(const std::string& name, std::uint8_t tableType, const std::vector<ColumnSpec>& columns);

// The definition's bytes as ReadTableDef joins them: the first page's 8-byte
// header, the table block, columns, names, indexes and the long-value list, up to
// the definition length (which this computes and stores at 0x08).
Result<Bytes> EncodeTableDef(const TableDef& def);

// The definition split over TDEF pages: def.pages names them, first page first,
// and must hold enough pages (a definition of up to 2,048 bytes needs one).
Result<std::vector<Page>> EncodeTableDefPages(const TableDef& def);

}  // namespace jet
