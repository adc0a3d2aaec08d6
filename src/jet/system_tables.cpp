#include "jet/system_tables.h"

#include <algorithm>

#include "jet/tdef_encode.h"

namespace jet {
namespace {

constexpr std::uint8_t kSystemColumn = 0x10;
constexpr std::uint8_t kOwnerColumn = 0x30;  // the owner SID columns carry 0x20 as well
constexpr std::uint8_t kIndexUnique = 0x01;
constexpr std::uint8_t kIndexIgnoreNulls = 0x02;
constexpr std::uint8_t kIndexRequired = 0x08;

ColumnSpec Col(const char* name, ColumnType type, std::uint16_t length = 0, std::uint8_t flags = kSystemColumn) {
  return {name, type, length, flags};
}

RealIndexDef Real(std::vector<std::uint16_t> columns, RowPointer map, std::uint32_t root, std::uint8_t flags) {
  RealIndexDef index;
  for (std::uint16_t c : columns) index.columns.push_back({c, true});
  index.usageMap = map;
  index.rootPage = root;
  index.flags = flags;
  return index;
}

// Logical indexes go in name order, as Jet writes them; their numbers keep their own order.
void AddLogical(TableDef& def, std::vector<LogicalIndexDef> indexes) {
  std::sort(indexes.begin(), indexes.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
  def.logicalIndexes = std::move(indexes);
}

LogicalIndexDef Logical(const char* name, std::uint32_t number, std::uint8_t type) {
  LogicalIndexDef index;
  index.name = name;
  index.number = number;
  index.realIndex = number;
  index.indexType = type;
  return index;
}

}  // namespace

Result<SystemTables> MakeSystemTables() {
  SystemTables s;
  const auto text = ColumnType::kText, bin = ColumnType::kBinary, ole = ColumnType::kOle, memo = ColumnType::kMemo;
  const auto lng = ColumnType::kLong;
  JET_ASSIGN(s.objects, LayOutTable("MSysObjects", kTableTypeSystem,
                                    {Col("Id", lng), Col("ParentId", lng), Col("Name", text, 255),
                                     Col("Type", ColumnType::kInteger), Col("DateCreate", ColumnType::kDateTime),
                                     Col("DateUpdate", ColumnType::kDateTime), Col("Owner", bin, 255, kOwnerColumn),
                                     Col("Flags", lng), Col("Database", memo), Col("Connect", memo),
                                     Col("ForeignName", text, 255), Col("RmtInfoShort", bin, 255),
                                     Col("RmtInfoLong", ole), Col("Lv", ole), Col("LvProp", ole), Col("LvModule", ole),
                                     Col("LvExtra", ole)}));
  s.objects.page = 2;
  s.objects.ownedMap = {6, 0};
  s.objects.freeMap = {6, 1};
  s.objects.realIndexes = {Real({1, 2}, {8, 0}, 9, kIndexUnique), Real({0}, {10, 0}, 11, kIndexUnique)};
  AddLogical(s.objects, {Logical("Id", 1, 1), Logical("ParentIdName", 0, 0)});
  // Long-value maps: page 6 rows 2-14 in column order, the last free map on page 7; listed by name.
  s.objects.longValues = {{9, {6, 4}, {6, 5}},   {8, {6, 2}, {6, 3}},    {13, {6, 8}, {6, 9}},   {16, {6, 14}, {7, 0}},
                          {15, {6, 12}, {6, 13}}, {14, {6, 10}, {6, 11}}, {12, {6, 6}, {6, 7}}};

  JET_ASSIGN(s.aces, LayOutTable("MSysACEs", kTableTypeSystem,
                                 {Col("ObjectId", lng), Col("SID", bin, 255, kOwnerColumn), Col("ACM", lng),
                                  Col("FInheritable", ColumnType::kBoolean)}));
  s.aces.page = 3;
  s.aces.ownedMap = {12, 0};
  s.aces.freeMap = {12, 1};
  s.aces.realIndexes = {Real({0}, {12, 2}, 13, kIndexRequired)};
  AddLogical(s.aces, {Logical("ObjectId", 0, 0)});

  JET_ASSIGN(s.queries, LayOutTable("MSysQueries", kTableTypeSystem,
                                    {Col("ObjectId", lng), Col("Attribute", ColumnType::kByte), Col("Order", bin, 255),
                                     Col("Name1", text, 255), Col("Name2", text, 255), Col("Expression", memo),
                                     Col("Flag", ColumnType::kInteger)}));
  s.queries.page = 4;
  s.queries.ownedMap = {12, 3};
  s.queries.freeMap = {12, 4};
  s.queries.realIndexes = {Real({0, 1, 2}, {12, 7}, 14, kIndexUnique)};
  AddLogical(s.queries, {Logical("ObjectIdAttribute", 0, 1)});
  s.queries.longValues = {{5, {12, 5}, {12, 6}}};

  JET_ASSIGN(s.relationships,
             LayOutTable("MSysRelationships", kTableTypeSystem,
                         {Col("szRelationship", text, 255), Col("grbit", lng), Col("ccolumn", lng), Col("icolumn", lng),
                          Col("szObject", text, 255), Col("szColumn", text, 255), Col("szReferencedObject", text, 255),
                          Col("szReferencedColumn", text, 255)}));
  s.relationships.page = 5;
  s.relationships.ownedMap = {12, 8};
  s.relationships.freeMap = {12, 9};
  s.relationships.realIndexes = {Real({0}, {12, 10}, 15, kIndexIgnoreNulls), Real({4}, {12, 11}, 16, kIndexIgnoreNulls),
                                 Real({6}, {12, 12}, 17, kIndexIgnoreNulls)};
  AddLogical(s.relationships,
             {Logical("szRelationship", 0, 0), Logical("szObject", 1, 0), Logical("szReferencedObject", 2, 0)});

  for (TableDef* def : {&s.objects, &s.aces, &s.queries, &s.relationships}) def->pages = {def->page};
  return s;
}

}  // namespace jet
