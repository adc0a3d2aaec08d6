// An open Access 97 database: its catalog and the rows of its tables.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "jet/file.h"
#include "jet/pager.h"
#include "jet/result.h"
#include "jet/row_format.h"
#include "jet/table_def.h"
#include "jet/value.h"

namespace jet {

inline constexpr std::int32_t kTablesContainerId = 0x0F000001;
inline constexpr std::int16_t kObjectTypeTable = 1;
inline constexpr std::uint32_t kObjectFlagSystem = 0x80000000;
inline constexpr std::uint32_t kObjectFlagAccessSystem = 0x00000002;

// One MSysObjects row, as far as the engine needs it.
struct CatalogEntry {
  std::int32_t id = 0;
  std::int32_t parentId = 0;
  std::string name;  // UTF-8
  std::int16_t type = 0;
  std::uint32_t flags = 0;

  bool IsTable() const { return type == kObjectTypeTable && parentId == kTablesContainerId; }
  bool IsSystemTable() const { return (flags & (kObjectFlagSystem | kObjectFlagAccessSystem)) != 0; }
  std::uint32_t TableDefPage() const { return static_cast<std::uint32_t>(id) & 0x00FFFFFF; }
};

// A row as read: its identity (the header slot) and its bytes (after forwarding).
struct RowRef {
  RowId id;
  // Valid until the end of the current read operation; in a scan, only during the visit.
  std::span<const std::uint8_t> bytes;
};

// A row with its values decoded, in def.columns order.
struct StoredRow {
  RowId id;
  std::vector<Value> values;
};

// Called for each row of a scan: true goes on, false stops, an error stops the scan
// and is what the scan returns.
using RowVisitor = std::function<Result<bool>(const RowRef&)>;
using FieldVisitor = std::function<Result<bool>(RowId, std::span<const Field>)>;

class Database {
 public:
  // Opens `path`. Fails with 3024 for a missing file, 3343 for a file that is
  // not an Access 97 database, 3049 for a damaged one.
  static Result<std::unique_ptr<Database>> Open(FileSystem& fs, const std::string& path,
                                                PagerOptions options = {});
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  Pager& pager() { return *pager_; }

  // Every catalog row, in the catalog's own order. Read once: the engine changes
  // rows, never the design, so the catalog of an open database stays as read.
  Result<std::vector<CatalogEntry>> Catalog();
  // Names of the tables; the system tables too when asked.
  Result<std::vector<std::string>> TableNames(bool includeSystem = false);
  // The definition of the table called `name`, compared without regard to case.
  // Fails with 3078 when there is none.
  Result<TableDef> OpenTable(std::string_view name);
  // Re-reads a definition (its counts change as other programs write).
  Result<TableDef> ReloadTable(const TableDef& def);

  // The pages the table's usage map lists, in its order. The map is trusted only for
  // pages that say they are this table's data pages: RowsOnPage and Scan pass the
  // others over, so a cursor that walks this list meets the rows a scan meets.
  // Requires a read operation.
  Result<std::vector<std::uint32_t>> MappedPages(const TableDef& def);
  // The live rows whose header slot is on `page`, in slot order, forwarding
  // followed; none when `page` is not one of the table's data pages. Requires a
  // read operation.
  Result<std::vector<RowRef>> RowsOnPage(const TableDef& def, std::uint32_t page);
  // One row by its header slot; fails with 3167 when it has been deleted.
  // Requires a read operation.
  Result<RowRef> ReadRow(const TableDef& def, RowId id);
  // Calls `visit` for every row in the table's order until it returns false or fails.
  // The scan reads the file a window at a time: a row's bytes, and any page read
  // during its visit, are valid only during the visit, and a visit starts no scan.
  Status Scan(const TableDef& def, const RowVisitor& visit);
  // The same without copying anything: each row split into its fields, Memo and OLE
  // fields resolved to their data. The fields are views into the pages or into
  // buffers reused from row to row, valid only during the call.
  Status ScanFields(const TableDef& def, const FieldVisitor& visit);
  // Every row of the table with its values, in the table's order, in one read operation.
  Result<std::vector<StoredRow>> ReadAllRows(const TableDef& def);

  // The value of column `index` (of def.columns) in a split row. Memo and OLE
  // values are read whole. Requires a read operation.
  Result<Value> FieldValue(const TableDef& def, std::size_t index, const Field& field);
  // All values of a row, in def.columns order.
  Result<std::vector<Value>> RowValues(const TableDef& def, std::span<const std::uint8_t> row);

  // Row writes (table_write.cpp), for tables without indexes; a table with indexes
  // is refused with 3251 and the file is left as it was. Values are in def.columns
  // order as RowValues gives them: Text and Memo as code-page bytes, OLE as Bytes.
  // Every value is checked before anything is written (3163 for a value longer than
  // its field). Each call is one journalled write under the writer lock (3260 when
  // another program holds it past the lock timeout); it reads the table's definition
  // and pages afresh, so other programs' writes are never overwritten.
  //
  // Adds a row at the end of the table's order and returns its identity. A null
  // AutoNumber column gets the table's next number.
  Result<RowId> Insert(const TableDef& def, const std::vector<Value>& values);
  // Adds all `rows` in one write: either every row is added, in this order, or none.
  Result<std::vector<RowId>> InsertMany(const TableDef& def, const std::vector<std::vector<Value>>& rows);
  // Replaces the row `id` whose values are now `expected` (as the caller read them)
  // with `values`; the row keeps its place. Fails with 3167 when the row was deleted
  // and 3197 when it was changed meanwhile, changing nothing. A null AutoNumber keeps
  // its value.
  Status Update(const TableDef& def, RowId id, const std::vector<Value>& expected,
                const std::vector<Value>& values);
  // Deletes the row `id` whose values are now `expected`; fails as Update does.
  Status Delete(const TableDef& def, RowId id, const std::vector<Value>& expected);

 private:
  explicit Database(std::unique_ptr<Pager> pager);
  Result<TableDef> CatalogDef();
  // Visits the rows on `page` (see RowsOnPage); false when `visit` asked to stop.
  Result<bool> VisitPage(const TableDef& def, std::uint32_t page, const RowVisitor& visit);

  std::unique_ptr<Pager> pager_;
  std::vector<CatalogEntry> catalog_;
  bool catalogRead_ = false;
};

// Folds ASCII and Windows-1252 letters for name comparison, as Access compares names.
bool SameName(std::string_view a, std::string_view b);

}  // namespace jet
