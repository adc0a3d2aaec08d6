#include "jet/system_tables.h"

#include <algorithm>

#include "jet/new_database.h"
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
  using namespace new_page;
  constexpr std::uint32_t o = kObjectMaps, q = kSystemMaps;
  s.objects.page = kCatalogPage;
  s.objects.ownedMap = {o, 0};
  s.objects.freeMap = {o, 1};
  s.objects.realIndexes = {Real({1, 2}, {kByParentNameMap, 0}, kByParentNameLeaf, kIndexUnique),
                           Real({0}, {kByIdMap, 0}, kByIdLeaf, kIndexUnique)};
  AddLogical(s.objects, {Logical("Id", 1, 1), Logical("ParentIdName", 0, 0)});
  // Long-value maps: kObjectMaps rows 2-14 in column order, the last free map on
  // kObjectLastMap; listed by name.
  s.objects.longValues = {{9, {o, 4}, {o, 5}},   {8, {o, 2}, {o, 3}},    {13, {o, 8}, {o, 9}},
                          {16, {o, 14}, {kObjectLastMap, 0}},     {15, {o, 12}, {o, 13}},
                          {14, {o, 10}, {o, 11}}, {12, {o, 6}, {o, 7}}};

  JET_ASSIGN(s.aces, LayOutTable("MSysACEs", kTableTypeSystem,
                                 {Col("ObjectId", lng), Col("SID", bin, 255, kOwnerColumn), Col("ACM", lng),
                                  Col("FInheritable", ColumnType::kBoolean)}));
  s.aces.page = kAces;
  s.aces.ownedMap = {q, 0};
  s.aces.freeMap = {q, 1};
  s.aces.realIndexes = {Real({0}, {q, 2}, kAcesLeaf, kIndexRequired)};
  AddLogical(s.aces, {Logical("ObjectId", 0, 0)});

  JET_ASSIGN(s.queries, LayOutTable("MSysQueries", kTableTypeSystem,
                                    {Col("ObjectId", lng), Col("Attribute", ColumnType::kByte), Col("Order", bin, 255),
                                     Col("Name1", text, 255), Col("Name2", text, 255), Col("Expression", memo),
                                     Col("Flag", ColumnType::kInteger)}));
  s.queries.page = kQueries;
  s.queries.ownedMap = {q, 3};
  s.queries.freeMap = {q, 4};
  s.queries.realIndexes = {Real({0, 1, 2}, {q, 7}, kQueriesLeaf, kIndexUnique)};
  AddLogical(s.queries, {Logical("ObjectIdAttribute", 0, 1)});
  s.queries.longValues = {{5, {q, 5}, {q, 6}}};

  JET_ASSIGN(s.relationships,
             LayOutTable("MSysRelationships", kTableTypeSystem,
                         {Col("szRelationship", text, 255), Col("grbit", lng), Col("ccolumn", lng), Col("icolumn", lng),
                          Col("szObject", text, 255), Col("szColumn", text, 255), Col("szReferencedObject", text, 255),
                          Col("szReferencedColumn", text, 255)}));
  s.relationships.page = kRelationships;
  s.relationships.ownedMap = {q, 8};
  s.relationships.freeMap = {q, 9};
  const std::uint32_t r = kRelationshipLeaves;
  s.relationships.realIndexes = {Real({0}, {q, 10}, r, kIndexIgnoreNulls), Real({4}, {q, 11}, r + 1, kIndexIgnoreNulls),
                                 Real({6}, {q, 12}, r + 2, kIndexIgnoreNulls)};
  AddLogical(s.relationships,
             {Logical("szRelationship", 0, 0), Logical("szObject", 1, 0), Logical("szReferencedObject", 2, 0)});

  for (TableDef* def : {&s.objects, &s.aces, &s.queries, &s.relationships}) def->pages = {def->page};
  return s;
}

}  // namespace jet
