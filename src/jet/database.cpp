#include "jet/database.h"

#include "jet/byte_reader.h"
#include "jet/code_page.h"
#include "jet/data_page.h"
#include "jet/errors.h"
#include "jet/long_value.h"
#include "jet/tdef_page.h"
#include "jet/usage_map.h"

namespace jet {
namespace {

// Reads the forwarding pointer of a stub: slot byte, then a 3-byte page.
Result<RowPointer> StubTarget(const DataPage& dp, const Slot& s) {
  auto bytes = dp.RowBytes(s);
  if (bytes.size() < 4)
    return Corrupt("a moved row's stub on page " + std::to_string(dp.number) + " is cut short");
  ByteReader r(bytes);
  return RowPointer::FromRaw(r.U32(0));
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

Database::Database(std::unique_ptr<Pager> pager) : pager_(std::move(pager)) {}
Database::~Database() = default;

Result<std::unique_ptr<Database>> Database::Open(FileSystem& fs, const std::string& path,
                                                 PagerOptions options) try {
  JET_ASSIGN(auto pager, Pager::Open(fs, path, options));
  std::unique_ptr<Database> db(new Database(std::move(pager)));
  // Reading the catalog's definition proves the file is a database we can read.
  ReadScope scope(*db->pager_);
  JET_TRY(scope.status());
  JET_TRY(db->CatalogDef());
  return db;
} catch (const std::exception& e) {
  return OutOfMemory(e);
}

Result<TableDef> Database::CatalogDef() { return ReadTableDef(*pager_, kCatalogPage, "MSysObjects"); }

Result<std::vector<CatalogEntry>> Database::Catalog() try {
  if (catalogRead_) return catalog_;
  ReadScope scope(*pager_);
  JET_TRY(scope.status());
  JET_ASSIGN(TableDef def, CatalogDef());
  auto find = [&](std::string_view name) -> std::size_t {
    for (std::size_t i = 0; i < def.columns.size(); ++i) {
      if (def.columns[i].name == name) return i;
    }
    return def.columns.size();
  };
  const std::size_t id = find("Id"), parent = find("ParentId"), name = find("Name"), type = find("Type"),
                    flags = find("Flags");
  if (std::max({id, parent, name, type, flags}) >= def.columns.size()) {
    return Corrupt("the catalog lacks one of its columns");
  }
  std::vector<CatalogEntry> entries;
  JET_TRY(Scan(def, [&](const RowRef& row) -> Result<bool> {
    JET_ASSIGN(const auto f, SplitRow(def, row.bytes));
    CatalogEntry e;
    auto number = [&](std::size_t i, std::size_t size) -> std::int64_t {
      if (!f[i].present || f[i].bytes.size() != size) return 0;
      return size == 2 ? Load<std::int16_t>(f[i].bytes) : Load<std::int32_t>(f[i].bytes);
    };
    e.id = static_cast<std::int32_t>(number(id, 4));
    e.parentId = static_cast<std::int32_t>(number(parent, 4));
    e.type = static_cast<std::int16_t>(number(type, 2));
    e.flags = static_cast<std::uint32_t>(number(flags, 4));
    e.name = DecodeCp1252(f[name].bytes);
    entries.push_back(std::move(e));
    return true;
  }));
  catalog_ = entries;
  catalogRead_ = true;
  return entries;
} catch (const std::exception& e) {
  return OutOfMemory(e);
}

Result<std::vector<std::string>> Database::TableNames(bool includeSystem) try {
  JET_ASSIGN(auto entries, Catalog());
  std::vector<std::string> names;
  for (const auto& e : entries) {
    if (e.IsTable() && (includeSystem || !e.IsSystemTable())) names.push_back(e.name);
  }
  return names;
} catch (const std::exception& e) {
  return OutOfMemory(e);
}

Result<TableDef> Database::OpenTable(std::string_view name) try {
  JET_ASSIGN(auto entries, Catalog());
  for (const auto& e : entries) {
    if (e.IsTable() && SameName(e.name, name)) {
      ReadScope scope(*pager_);
      JET_TRY(scope.status());
      return ReadTableDef(*pager_, e.TableDefPage(), e.name);
    }
  }
  return MakeError(kErrTableNotFound, "Cannot find the table '" + std::string(name) +
                                          "'. Make sure it exists and that its name is spelled correctly.");
} catch (const std::exception& e) {
  return OutOfMemory(e);
}

Result<TableDef> Database::ReloadTable(const TableDef& def) try {
  ReadScope scope(*pager_);
  JET_TRY(scope.status());
  return ReadTableDef(*pager_, def.page, def.name);
} catch (const std::exception& e) {
  return OutOfMemory(e);
}

Result<std::vector<std::uint32_t>> Database::MappedPages(const TableDef& def) try {
  return ReadUsageMap(*pager_, def.ownedMap);
} catch (const std::exception& e) {
  return OutOfMemory(e);
}

Result<bool> Database::VisitPage(const TableDef& def, std::uint32_t page, const RowVisitor& visit) {
  JET_ASSIGN(const Page* bytes, pager_->Read(page));
  ByteReader r(*bytes);
  if (r.U8(0) != kPageTypeData || r.U32(kDataOwner) != def.page) return true;
  DataPage dp;
  JET_TRY(ReadDataPage(*pager_, page, dp));
  for (std::size_t i = 0; i < dp.slots.size(); ++i) {
    const Slot& s = dp.slots[i];
    RowId id{page, static_cast<std::uint8_t>(i)};
    if (s.kind == SlotKind::kDeleted || s.kind == SlotKind::kMoved) continue;
    bool more = false;
    if (s.kind == SlotKind::kLive) {
      JET_ASSIGN(more, visit(RowRef{id, dp.RowBytes(s)}));
    } else {
      JET_ASSIGN(RowRef moved, ReadRow(def, id));
      JET_ASSIGN(more, visit(moved));
    }
    if (!more) return false;
  }
  return true;
}

Result<std::vector<RowRef>> Database::RowsOnPage(const TableDef& def, std::uint32_t page) try {
  std::vector<RowRef> rows;
  JET_TRY(VisitPage(def, page, [&](const RowRef& row) -> Result<bool> {
    rows.push_back(row);
    return true;
  }));
  return rows;
} catch (const std::exception& e) {
  return OutOfMemory(e);
}

Result<RowRef> Database::ReadRow(const TableDef& def, RowId id) try {
  DataPage dp;
  JET_TRY(ReadDataPage(*pager_, id.page, dp));
  if (dp.owner != def.page || id.row >= dp.slots.size() || dp.slots[id.row].kind == SlotKind::kDeleted ||
      dp.slots[id.row].kind == SlotKind::kMoved) {
    return MakeError(kErrRecordDeleted, "Record is deleted.");
  }
  const Slot& s = dp.slots[id.row];
  if (s.kind == SlotKind::kLive) return RowRef{id, dp.RowBytes(s)};
  JET_ASSIGN(RowPointer target, StubTarget(dp, s));
  DataPage tp;
  JET_TRY(ReadDataPage(*pager_, target.page, tp));
  if (target.row >= tp.slots.size() || tp.owner != def.page) {
    return Corrupt("a moved row on page " + std::to_string(id.page) + " points nowhere");
  }
  const Slot& t = tp.slots[target.row];
  // One hop only: the stub names the row itself, never another stub.
  if (t.kind != SlotKind::kMoved && t.kind != SlotKind::kLive) {
    return Corrupt("a moved row on page " + std::to_string(id.page) +
                   " points at another stub or a deleted row");
  }
  return RowRef{id, tp.RowBytes(t)};
} catch (const std::exception& e) {
  return OutOfMemory(e);
}

Status Database::Scan(const TableDef& def, const RowVisitor& visit) try {
  ReadScope scope(*pager_);
  JET_TRY(scope.status());
  JET_ASSIGN(auto pages, MappedPages(def));
  for (std::size_t i = 0, ahead = 0; i < pages.size(); ++i) {
    if (i == ahead) ahead = i + pager_->ReadAhead(std::span(pages).subspan(i));
    JET_ASSIGN(const bool more, VisitPage(def, pages[i], visit));
    if (!more) return Ok();
  }
  return Ok();
} catch (const std::exception& e) {
  return OutOfMemory(e);
}

Status Database::ScanFields(const TableDef& def, const FieldVisitor& visit) try {
  RowSplitter splitter(def);
  std::vector<std::size_t> longColumns;
  for (std::size_t i = 0; i < def.columns.size(); ++i) {
    if (def.columns[i].IsLongValue()) longColumns.push_back(i);
  }
  std::vector<LongValueScratch> longValues(longColumns.size());
  return Scan(def, [&](const RowRef& row) -> Result<bool> {
    JET_ASSIGN(std::span<Field> fields, splitter.Split(row.bytes));
    for (std::size_t k = 0; k < longColumns.size(); ++k) {
      Field& f = fields[longColumns[k]];
      if (f.present) {
        JET_ASSIGN(f.bytes, LongValueBytes(*pager_, f.bytes, longValues[k]));
      }
    }
    return visit(row.id, fields);
  });
} catch (const std::exception& e) {
  return OutOfMemory(e);
}

Result<std::vector<StoredRow>> Database::ReadAllRows(const TableDef& def) try {
  std::vector<StoredRow> rows;
  JET_TRY(Scan(def, [&](const RowRef& row) -> Result<bool> {
    JET_ASSIGN(auto values, RowValues(def, row.bytes));
    rows.push_back({row.id, std::move(values)});
    return true;
  }));
  return rows;
} catch (const std::exception& e) {
  return OutOfMemory(e);
}

Result<Value> Database::FieldValue(const TableDef& def, std::size_t index, const Field& field) try {
  const ColumnDef& c = def.columns[index];
  if (!field.present && c.type != ColumnType::kBoolean) return Value();
  const auto bytes = field.bytes;
  switch (c.type) {
    case ColumnType::kText: return Value(Text{Bytes(bytes.begin(), bytes.end())});
    case ColumnType::kBinary: return Value(Bytes(bytes.begin(), bytes.end()));
    case ColumnType::kMemo: {
      JET_ASSIGN(Bytes data, ReadLongValue(*pager_, bytes));
      return Value(Text{std::move(data)});
    }
    case ColumnType::kOle: {
      JET_ASSIGN(Bytes data, ReadLongValue(*pager_, bytes));
      return Value(std::move(data));
    }
    default: {
      Value v;
      if (FixedValue(c, field, v)) return v;
      return Corrupt("column '" + c.name + "' of '" + def.name + "' has the wrong size or an unknown type");
    }
  }
} catch (const std::exception& e) {
  return OutOfMemory(e);
}

Result<std::vector<Value>> Database::RowValues(const TableDef& def, std::span<const std::uint8_t> row) try {
  RowSplitter splitter(def);
  JET_ASSIGN(auto fields, splitter.Split(row));
  std::vector<Value> values;
  values.reserve(fields.size());
  for (std::size_t i = 0; i < fields.size(); ++i) {
    JET_ASSIGN(Value v, FieldValue(def, i, fields[i]));
    values.push_back(std::move(v));
  }
  return values;
} catch (const std::exception& e) {
  return OutOfMemory(e);
}

}  // namespace jet
