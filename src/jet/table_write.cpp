// Row writes into tables without indexes: insert, update and delete, each one
// journalled write under the writer lock, checked against the row as it is now.
#include <algorithm>
#include <string>

#include "jet/byte_reader.h"
#include "jet/data_page.h"
#include "jet/database.h"
#include "jet/errors.h"
#include "jet/long_value.h"
#include "jet/long_value_write.h"
#include "jet/page_alloc.h"
#include "jet/page_rows.h"
#include "jet/row_encode.h"
#include "jet/tdef_page.h"
#include "jet/usage_map.h"

namespace jet {
namespace {

Status CheckWritable(Pager& pager, const TableDef& def) {
  if (!pager.writable()) return MakeError(kErrReadOnly, "'" + pager.path() + "' is open for reading only.");
  if (def.HasIndexes()) {
    return MakeError(kErrNotSupported, "Couldn't change table '" + def.name +
                                           "': it has indexes, and this program cannot keep indexes up to date.");
  }
  return Ok();
}

const Bytes* LongData(const Value& v) {
  if (const auto* t = std::get_if<Text>(&v)) return &t->bytes;
  return std::get_if<Bytes>(&v);
}

// Checks every value as far as possible before anything is locked or written: long
// values as the header they will get, so lengths, types and the row size are final.
Status CheckValues(const TableDef& def, const std::vector<Value>& values) {
  if (values.size() != def.columns.size()) return EncodeRow(def, values).error();
  std::vector<Value> probe = values;
  for (std::size_t i = 0; i < def.columns.size(); ++i) {
    const ColumnDef& c = def.columns[i];
    if (c.IsAutoNumber() && IsNull(probe[i])) probe[i] = std::int32_t{0};
    if (!c.IsLongValue() || IsNull(values[i])) continue;
    const bool memo = c.type == ColumnType::kMemo;
    const Bytes* data = LongData(values[i]);
    if (data == nullptr || memo != std::holds_alternative<Text>(values[i])) {
      return MakeError(kErrInvalidArgument, "The value for field '" + c.name + "' of table '" + def.name +
                                                "' does not have the field's type (" + ColumnTypeName(c.type) + ").");
    }
    if (data->size() > kMaxLongValueLength) {
      return MakeError(kErrFieldTooSmall, "The field '" + c.name + "' is too small to accept a value of " +
                                              std::to_string(data->size()) + " bytes.");
    }
    probe[i] = data->size() <= kMaxInlineLongValue
                   ? InlineLongValue(*data)
                   : LongValueReference(static_cast<std::uint32_t>(data->size()), kLongValueSingle, {});
  }
  auto encoded = EncodeRow(def, probe);
  if (!encoded.ok()) return encoded.error();
  return Ok();
}

bool SameLayout(const TableDef& a, const TableDef& b) {
  if (a.columns.size() != b.columns.size() || a.varColumns != b.varColumns) return false;
  for (std::size_t i = 0; i < a.columns.size(); ++i) {
    const ColumnDef& x = a.columns[i];
    const ColumnDef& y = b.columns[i];
    if (x.type != y.type || x.number != y.number || x.varIndex != y.varIndex || x.fixedOffset != y.fixedOffset ||
        x.length != y.length || x.flags != y.flags) {
      return false;
    }
  }
  return true;
}

Result<LongValueMaps> MapsOf(const TableDef& def, const ColumnDef& c) {
  for (const auto& lv : def.longValues) {
    if (lv.column == c.number) return lv;
  }
  return Corrupt("memo field '" + c.name + "' of '" + def.name + "' has no page maps");
}

Bytes Stub(RowPointer target) {
  Bytes stub(4);
  PutU32(stub, 0, target.Raw());  // slot byte, then the 3-byte page
  return stub;
}

// The table's last data page: the highest page of its owned map that is one.
Result<std::uint32_t> LastDataPage(Pager& pager, const TableDef& def) {
  JET_ASSIGN(auto owned, ReadUsageMap(pager, def.ownedMap, true));
  for (auto it = owned.rbegin(); it != owned.rend(); ++it) {
    JET_ASSIGN(const Page* page, pager.Read(*it));
    ByteReader r(*page);
    if (r.U8(0) == kPageTypeData && r.U32(kDataOwner) == def.page) return *it;
  }
  return std::uint32_t{0};
}

// Adds a row at the end of the table's order: on its last data page when that has
// room, else on a new page at the end of the file (so after every page it owns).
Result<RowPointer> AppendTableRow(Pager& pager, const TableDef& def, Bytes row, std::uint16_t flags) {
  JET_ASSIGN(std::uint32_t last, LastDataPage(pager, def));
  if (last != 0) {
    JET_ASSIGN(PageRows rows, LoadPageRows(pager, last));
    if (rows.CanAdd(row.size())) {
      const std::uint8_t slot = rows.Add(std::move(row), flags);
      JET_TRY(StorePageRows(pager, last, rows));
      return RowPointer{last, slot};
    }
  }
  JET_ASSIGN(std::uint32_t number, AllocateDataPage(pager, def.page));
  PageRows rows;
  rows.owner = def.page;
  const std::uint8_t slot = rows.Add(std::move(row), flags);
  JET_TRY(StorePageRows(pager, number, rows));
  JET_TRY(SetUsageBit(pager, def.ownedMap, number, true));
  if (!def.freeMap.IsNull()) {
    // The free map is a hint for inserts: it names the page that takes them.
    if (last != 0) JET_TRY(SetUsageBit(pager, def.freeMap, last, false));
    JET_TRY(SetUsageBit(pager, def.freeMap, number, true));
  }
  return RowPointer{number, slot};
}

Status AddToRowCount(Pager& pager, const TableDef& def, int delta, std::uint32_t autoNumber) {
  JET_ASSIGN(Page* page, pager.Modify(def.page));
  ByteReader r(*page);
  const std::uint32_t count = r.U32(kTdefRowCount);
  if (delta < 0 && count == 0) return Corrupt("the row count of '" + def.name + "' is already zero");
  PutU32(*page, kTdefRowCount, delta < 0 ? count - 1 : count + static_cast<std::uint32_t>(delta));
  PutU32(*page, kTdefAutoNumber, autoNumber);
  return Ok();
}

}  // namespace

// The parts every write shares: checks, the write lock, the current definition.
class TableWrite {
 public:
  TableWrite(Database& db, const TableDef& def) : db_(db), pager_(db.pager()), def_(def), scope_(pager_) {}

  Status Begin() {
    JET_TRY(scope_.status());
    JET_ASSIGN(fresh_, ReadTableDef(pager_, def_.page, def_.name));
    if (!SameLayout(def_, fresh_) || fresh_.HasIndexes()) {
      return MakeError(kErrWriteConflict, "The design of table '" + def_.name +
                                              "' was changed by another program; open the table again.");
    }
    return Ok();
  }

  // The row as it is now; fails with 3167 when it is gone and with 3197 when its
  // values are not the ones the caller read.
  Result<std::vector<Value>> CurrentRow(RowId id, const std::vector<Value>& expected, std::vector<Bytes>& longFields) {
    JET_ASSIGN(RowRef row, db_.ReadRow(fresh_, id));
    JET_ASSIGN(auto values, db_.RowValues(fresh_, row.bytes));
    if (values != expected) {
      return MakeError(kErrWriteConflict, "The row was changed by another program after it was read, so it was "
                                          "not changed. Read it again and repeat the change.");
    }
    JET_ASSIGN(auto fields, SplitRow(fresh_, row.bytes));
    longFields.assign(fields.size(), Bytes{});
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (fresh_.columns[i].IsLongValue() && fields[i].present) {
        longFields[i].assign(fields[i].bytes.begin(), fields[i].bytes.end());
      }
    }
    return values;
  }

  // Values with long values stored (or kept, where `keep` says so) and AutoNumbers filled.
  Result<std::vector<Value>> Stored(const std::vector<Value>& values, const std::vector<Bytes>* keep) {
    std::vector<Value> stored = values;
    for (std::size_t i = 0; i < fresh_.columns.size(); ++i) {
      const ColumnDef& c = fresh_.columns[i];
      if (c.IsAutoNumber() && c.type == ColumnType::kLong && IsNull(stored[i])) {
        stored[i] = static_cast<std::int32_t>(++autoNumber);
      } else if (c.IsAutoNumber() && c.type == ColumnType::kLong) {
        autoNumber = std::max(autoNumber, static_cast<std::uint32_t>(std::get<std::int32_t>(stored[i])));
      }
      if (!c.IsLongValue() || IsNull(values[i])) continue;
      if (keep != nullptr && !(*keep)[i].empty()) {
        stored[i] = (*keep)[i];
        continue;
      }
      JET_ASSIGN(LongValueMaps maps, MapsOf(fresh_, c));
      JET_ASSIGN(Bytes field, WriteLongValue(pager_, maps, *LongData(values[i])));
      stored[i] = std::move(field);
    }
    return stored;
  }

  Pager& pager() { return pager_; }
  const TableDef& fresh() const { return fresh_; }
  WriteScope& scope() { return scope_; }
  std::uint32_t autoNumber = 0;

 private:
  Database& db_;
  Pager& pager_;
  const TableDef& def_;
  WriteScope scope_;
  TableDef fresh_;
};

Result<RowId> Database::Insert(const TableDef& def, const std::vector<Value>& values) try {
  JET_ASSIGN(auto ids, InsertMany(def, {values}));
  return ids.front();
} catch (const std::exception& e) {
  return OutOfMemory(e);
}

Result<std::vector<RowId>> Database::InsertMany(const TableDef& def, const std::vector<std::vector<Value>>& rows) try {
  JET_TRY(CheckWritable(*pager_, def));
  for (const auto& values : rows) JET_TRY(CheckValues(def, values));
  TableWrite w(*this, def);
  JET_TRY(w.Begin());
  w.autoNumber = w.fresh().lastAutoNumber;
  std::vector<RowId> ids;
  ids.reserve(rows.size());
  for (const auto& values : rows) {
    JET_ASSIGN(auto stored, w.Stored(values, nullptr));
    JET_ASSIGN(Bytes row, EncodeRow(w.fresh(), stored));
    JET_ASSIGN(RowPointer at, AppendTableRow(w.pager(), w.fresh(), std::move(row), 0));
    ids.push_back(at);
  }
  JET_TRY(AddToRowCount(w.pager(), w.fresh(), static_cast<int>(rows.size()), w.autoNumber));
  JET_TRY(w.scope().Commit());
  return ids;
} catch (const std::exception& e) {
  return OutOfMemory(e);
}

Status Database::Update(const TableDef& def, RowId id, const std::vector<Value>& expected,
                        const std::vector<Value>& values) try {
  JET_TRY(CheckWritable(*pager_, def));
  JET_TRY(CheckValues(def, values));
  TableWrite w(*this, def);
  JET_TRY(w.Begin());
  Pager& pager = w.pager();
  const TableDef& fresh = w.fresh();
  std::vector<Bytes> oldLong;
  JET_ASSIGN(auto current, w.CurrentRow(id, expected, oldLong));
  // Long values that did not change keep their LVAL rows; the others are replaced.
  std::vector<Bytes> keep(values.size());
  std::vector<Value> wanted = values;
  for (std::size_t i = 0; i < values.size(); ++i) {
    const ColumnDef& c = fresh.columns[i];
    if (c.IsAutoNumber() && IsNull(wanted[i])) wanted[i] = current[i];
    if (!c.IsLongValue()) continue;
    if (values[i] == current[i]) {
      keep[i] = oldLong[i];
    } else if (!oldLong[i].empty()) {
      JET_TRY(FreeLongValue(pager, oldLong[i]));
    }
  }
  w.autoNumber = fresh.lastAutoNumber;
  JET_ASSIGN(auto stored, w.Stored(wanted, &keep));
  JET_ASSIGN(Bytes row, EncodeRow(fresh, stored));

  JET_ASSIGN(PageRows header, LoadPageRows(pager, id.page));
  if (header.flags[id.row] == 0) {
    if (header.FreeSpace() + header.rows[id.row].size() >= row.size()) {
      header.rows[id.row] = std::move(row);  // in place; the page is repacked around it
      JET_TRY(StorePageRows(pager, id.page, header));
      JET_TRY(AddToRowCount(pager, fresh, 0, w.autoNumber));
      return w.scope().Commit();
    }
    // It no longer fits its page: the row moves to the end, its slot keeps a stub.
    if (header.FreeSpace() + header.rows[id.row].size() < 4) {
      return MakeError(kErrRecordTooLarge, "Record is too large: page " + std::to_string(id.page) +
                                               " has no room for the row's forwarding pointer.");
    }
    JET_ASSIGN(RowPointer target, AppendTableRow(pager, fresh, std::move(row), kSlotMoved));
    JET_ASSIGN(PageRows again, LoadPageRows(pager, id.page));
    again.rows[id.row] = Stub(target);
    again.flags[id.row] = kSlotForwarded;
    JET_TRY(StorePageRows(pager, id.page, again));
  } else {
    const RowPointer moved = RowPointer::FromRaw(ByteReader(header.rows[id.row]).U32(0));
    JET_ASSIGN(PageRows copy, LoadPageRows(pager, moved.page));
    if (moved.row >= copy.rows.size() || copy.flags[moved.row] != kSlotMoved) {
      return Corrupt("a moved row on page " + std::to_string(id.page) + " points nowhere");
    }
    if (copy.FreeSpace() + copy.rows[moved.row].size() >= row.size()) {
      copy.rows[moved.row] = std::move(row);  // stays where it moved to
      JET_TRY(StorePageRows(pager, moved.page, copy));
    } else if (header.FreeSpace() + header.rows[id.row].size() >= row.size()) {
      header.rows[id.row] = std::move(row);  // fits its own slot again: the stub goes
      header.flags[id.row] = 0;
      JET_TRY(StorePageRows(pager, id.page, header));
      JET_ASSIGN(PageRows old, LoadPageRows(pager, moved.page));
      old.Remove(moved.row);
      JET_TRY(StorePageRows(pager, moved.page, old));
    } else {
      JET_ASSIGN(RowPointer target, AppendTableRow(pager, fresh, std::move(row), kSlotMoved));
      JET_ASSIGN(PageRows old, LoadPageRows(pager, moved.page));
      old.Remove(moved.row);
      JET_TRY(StorePageRows(pager, moved.page, old));
      JET_ASSIGN(PageRows stub, LoadPageRows(pager, id.page));
      stub.rows[id.row] = Stub(target);
      JET_TRY(StorePageRows(pager, id.page, stub));
    }
  }
  JET_TRY(AddToRowCount(pager, fresh, 0, w.autoNumber));
  return w.scope().Commit();
} catch (const std::exception& e) {
  return OutOfMemory(e);
}

Status Database::Delete(const TableDef& def, RowId id, const std::vector<Value>& expected) try {
  JET_TRY(CheckWritable(*pager_, def));
  TableWrite w(*this, def);
  JET_TRY(w.Begin());
  Pager& pager = w.pager();
  std::vector<Bytes> oldLong;
  JET_TRY(w.CurrentRow(id, expected, oldLong));
  for (const Bytes& field : oldLong) {
    if (!field.empty()) JET_TRY(FreeLongValue(pager, field));
  }
  JET_ASSIGN(PageRows header, LoadPageRows(pager, id.page));
  if (header.flags[id.row] == kSlotForwarded) {
    const RowPointer moved = RowPointer::FromRaw(ByteReader(header.rows[id.row]).U32(0));
    JET_ASSIGN(PageRows copy, LoadPageRows(pager, moved.page));
    if (moved.row >= copy.rows.size()) return Corrupt("a moved row points nowhere");
    copy.Remove(moved.row);
    JET_TRY(StorePageRows(pager, moved.page, copy));
    JET_ASSIGN(header, LoadPageRows(pager, id.page));
  }
  header.Remove(id.row);
  JET_TRY(StorePageRows(pager, id.page, header));
  JET_TRY(AddToRowCount(pager, w.fresh(), -1, w.fresh().lastAutoNumber));
  return w.scope().Commit();
} catch (const std::exception& e) {
  return OutOfMemory(e);
}

}  // namespace jet
