// The integrity checker's state, shared by its two source files.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "jet/data_page.h"
#include "jet/database.h"
#include "jet/integrity.h"

namespace jet::integrity {

// What a page in use serves as. A map host may hold several maps; any other
// page has exactly one use.
enum class Role { kHeader, kGlobalMap, kTableDef, kMapHost, kData, kLongValue, kIndex, kBitmap };

struct Use {
  Role role;
  std::string who;
};

class Checker {
 public:
  Checker(Database& db, std::vector<Finding>& findings) : db_(db), pager_(db.pager()), findings_(findings) {}
  void Run();

 private:
  // integrity.cpp: pages in use, maps and the catalog.
  void Report(std::uint32_t page, std::string text) { findings_.push_back({page, std::move(text)}); }
  void Claim(std::uint32_t page, Role role, const std::string& who);
  std::vector<std::uint32_t> MapPages(RowPointer where, const std::string& what);
  void CheckGlobalMap();
  void CheckCatalog();
  void CheckTable(const TableDef& def);
  void CheckOwnedPages(const std::vector<std::uint32_t>& pages, std::uint8_t type, std::uint32_t owner,
                       const std::string& what);

  // integrity_pages.cpp: slot tables, rows, memo values, stubs and index leaves.
  const Page* PageAt(std::uint32_t number);
  const std::vector<Slot>* Slots(std::uint32_t number);
  std::optional<std::span<const std::uint8_t>> RowAt(RowPointer where);
  void CheckRows(const TableDef& def, const std::vector<std::uint32_t>& pages);
  void CheckLongValue(const TableDef& def, const ColumnDef& column, std::span<const std::uint8_t> field,
                      RowPointer row);
  void CheckLongValueRows();
  void CheckIndexLeaves(const TableDef& def, std::size_t index, const std::vector<std::uint32_t>& pages);

  Database& db_;
  Pager& pager_;
  std::vector<Finding>& findings_;
  std::vector<std::vector<Use>> uses_;
  std::map<std::uint32_t, std::vector<Slot>> slots_;
  std::set<std::uint32_t> badPages_;
  // Long values: the LVAL pages of each memo column (table page, column number),
  // and how many values name each LVAL row.
  std::map<std::pair<std::uint32_t, std::uint16_t>, std::set<std::uint32_t>> longValuePages_;
  std::map<std::uint32_t, std::string> longValueOwner_;
  std::map<std::uint32_t, int> longValueRefs_;  // RowPointer::Raw() -> references
  // Header rows of every table (page -> slots), for index entries.
  std::map<std::uint32_t, std::set<std::uint32_t>> headerRows_;  // table page -> RowPointer::Raw()
};

}  // namespace jet::integrity
