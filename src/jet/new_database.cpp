#include "jet/new_database.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <set>

#include "jet/byte_reader.h"
#include "jet/code_page.h"
#include "jet/data_page.h"
#include "jet/database.h"
#include "jet/errors.h"
#include "jet/journal.h"
#include "jet/header.h"
#include "jet/long_value.h"
#include "jet/page_rows.h"
#include "jet/row_encode.h"
#include "jet/system_tables.h"
#include "jet/tdef_encode.h"
#include "jet/usage_map.h"

namespace jet {
namespace {

constexpr std::size_t kMapRowSize = 133;  // type 0, start page 0, 128 bitmap bytes (pages 0-1023)
constexpr std::uint8_t kKeyAscending = 0x7F;

Error Invalid(std::string what) { return MakeError(kErrInvalidArgument, std::move(what)); }

Page ZeroPage() {
  Page p;
  p.fill(0);
  return p;
}

// Adds `row` to a page being built and returns its slot.
Result<std::uint8_t> AddRow(PageRows& page, Bytes row) {
  if (!page.CanAdd(row.size())) return Misuse("a new page overflows");
  return page.Add(std::move(row));
}

// A type-0 usage map covering pages 0-1023 with `pages` set.
Bytes MapRow(std::initializer_list<std::uint32_t> pages) {
  Bytes row(kMapRowSize, 0);
  for (std::uint32_t n : pages) row[kUsageMapInlineHeader + n / 8] |= static_cast<std::uint8_t>(1u << (n % 8));
  return row;
}

// Fields of page 0 that only a new file sets, with the values Access 97 writes.
constexpr std::size_t kHeaderMaskConstants = kHeaderMaskStart;  // 24 fixed bytes open the masked region
constexpr std::size_t kHeaderField38 = 0x38;                    // always 1
constexpr std::size_t kHeaderField56 = 0x56;                    // always 0x251E
constexpr std::uint16_t kField56Value = 0x251E;
constexpr std::size_t kHeaderTail = 0x600;                      // 01 01 00 01, then 00 01 repeated

Page HeaderPage() {
  Page p = ZeroPage();
  constexpr std::array<std::uint8_t, 20> kStart = {0x00, 0x01, 0x00, 0x00, 'S', 't', 'a', 'n', 'd', 'a',
                                                   'r',  'd',  ' ',  'J',  'e', 't', ' ', 'D', 'B', 0};
  std::copy(kStart.begin(), kStart.end(), p.begin());
  constexpr std::array<std::uint8_t, 24> kConstant = {0, 1, 0, 0, 1, 1, 0, 0, 2, 0, 0, 0,
                                                      3, 0, 0, 0, 4, 0, 0, 0, 5, 0, 0, 0};
  std::copy(kConstant.begin(), kConstant.end(), p.begin() + kHeaderMaskConstants);
  const DatabaseHeader defaults;
  PutU16(p, kHeaderField38, 1);
  PutU16(p, kHeaderSortOrder, defaults.sortOrder);
  PutU16(p, kHeaderCodePage, defaults.codePage);
  PutU16(p, kHeaderField56, kField56Value);
  ToggleHeaderMask(p);
  constexpr std::array<std::uint8_t, 4> kTail = {1, 1, 0, 1};
  std::copy(kTail.begin(), kTail.end(), p.begin() + kHeaderTail);
  for (std::size_t i = kHeaderTail + kTail.size(); i < kPageSize; i += 2) p[i + 1] = 0x01;
  return p;
}

PageRows GlobalMap(std::uint32_t pageCount) {
  // The first map row lists the free pages: every page past the end of the file.
  Bytes freeMap(kMapRowSize, 0);
  for (std::uint32_t n = pageCount; n < 1024; ++n) {
    freeMap[kUsageMapInlineHeader + n / 8] |= static_cast<std::uint8_t>(1u << (n % 8));
  }
  return PageRows{kGlobalMapPage, {0, 0}, {freeMap, Bytes(kMapRowSize, 0)}};
}

// A Long as an index key: big-endian with the sign bit flipped.
void AppendLongKey(Bytes& out, std::int32_t v) {
  const std::uint32_t u = static_cast<std::uint32_t>(v) ^ 0x80000000u;
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(u >> shift));
}

void AppendRowPointer(Bytes& out, RowPointer where) {
  out.push_back(static_cast<std::uint8_t>(where.page >> 16));
  out.push_back(static_cast<std::uint8_t>(where.page >> 8));
  out.push_back(static_cast<std::uint8_t>(where.page));
  out.push_back(where.row);
}

// A leaf holding `entries` whole (no prefix compression), sorted as Jet sorts them.
Result<Page> LeafPage(std::uint32_t parent, std::vector<Bytes> entries) {
  std::sort(entries.begin(), entries.end());
  Page p = ZeroPage();
  p[0] = kPageTypeIndexLeaf;
  p[1] = 0x01;
  PutU32(p, kLeafParent, parent);
  std::size_t at = kLeafEntries;
  for (const Bytes& e : entries) {
    if (at + e.size() > kPageSize) return Misuse("an index leaf overflows");
    std::copy(e.begin(), e.end(), p.begin() + static_cast<std::ptrdiff_t>(at));
    at += e.size();
    const std::size_t bit = at - kLeafEntries;
    if (at < kPageSize) p[kLeafBitmap + bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
  }
  PutU16(p, kDataFreeSpace, static_cast<std::uint16_t>(kPageSize - at));
  return p;
}

struct CatalogObject {
  std::int32_t id;
  std::int32_t parentId;
  std::string name;
  std::int16_t type;
  std::uint32_t flags;
  Bytes owner;
};

struct AceRow {
  std::int32_t objectId;
  Bytes sid;
  std::int32_t acm;
  bool inheritable;
};

constexpr std::int32_t kRootId = 0x0F000000;
constexpr std::int32_t kTablesId = 0x0F000001;
constexpr std::int32_t kDatabasesId = 0x0F000002;
constexpr std::int32_t kRelationshipsId = 0x0F000003;
constexpr std::int32_t kMSysDbId = 0x10000000;

// MSysDb's properties: the name pool with AccessVersion, and the object's value "07.53".
Bytes MSysDbProperties() {
  const std::string name = "AccessVersion";
  const std::string version = "07.53";
  Bytes blob = {'K', 'K', 'D', 0};
  auto u16 = [&](std::uint16_t v) { blob.push_back(static_cast<std::uint8_t>(v)); blob.push_back(static_cast<std::uint8_t>(v >> 8)); };
  auto u32 = [&](std::uint32_t v) { u16(static_cast<std::uint16_t>(v)); u16(static_cast<std::uint16_t>(v >> 16)); };
  u32(static_cast<std::uint32_t>(4 + 2 + 2 + name.size()));
  u16(0x80);
  u16(static_cast<std::uint16_t>(name.size()));
  blob.insert(blob.end(), name.begin(), name.end());
  u32(static_cast<std::uint32_t>(4 + 2 + 6 + 8 + version.size()));
  u16(0x00);
  u32(6);  // header length: 6 + the (empty) object name
  u16(0);
  u16(static_cast<std::uint16_t>(8 + version.size()));
  blob.push_back(0);   // ddl flag
  blob.push_back(10);  // DAO Text
  u16(0);              // name index: AccessVersion
  u16(static_cast<std::uint16_t>(version.size()));
  blob.insert(blob.end(), version.begin(), version.end());
  return blob;
}

Status CheckUserTable(const TableDef& user) {
  if (user.HasIndexes()) return Invalid("A new table cannot have indexes.");
  for (const auto& c : user.columns) {
    if (c.IsAutoNumber()) return Invalid("A new table cannot have an AutoNumber column.");
  }
  for (const char* system : {"MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships", "MSysDb"}) {
    if (SameName(user.name, system)) return Invalid("The name '" + user.name + "' belongs to a system table.");
  }
  if (user.name.empty() || user.name.size() > 64) return Invalid("A table name must be 1 to 64 characters long.");
  return GeneralTextKey(user.name).ok() ? Ok() : Invalid("The table name '" + user.name + "' has characters an index cannot hold.");
}

}  // namespace

Result<Bytes> GeneralTextKey(const std::string& name) {
  static constexpr std::array<std::uint8_t, 26> kLetters = {0x60, 0x61, 0x62, 0x64, 0x66, 0x67, 0x68, 0x69, 0x6A,
                                                            0x6B, 0x6C, 0x6D, 0x6F, 0x70, 0x72, 0x73, 0x74, 0x75,
                                                            0x76, 0x77, 0x78, 0x7A, 0x7B, 0x7C, 0x7D, 0x7E};
  Bytes key;
  for (char ch : name) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= ' ' && c <= '/') key.push_back(static_cast<std::uint8_t>(0x11 + (c - ' ')));
    else if (c >= '0' && c <= '9') key.push_back(static_cast<std::uint8_t>(0x56 + (c - '0')));
    else if (c >= ':' && c <= '@') key.push_back(static_cast<std::uint8_t>(0x21 + (c - ':')));
    else if (c >= 'A' && c <= 'Z') key.push_back(kLetters[c - 'A']);
    else if (c >= '[' && c <= '`') key.push_back(static_cast<std::uint8_t>(0x28 + (c - '[')));
    else if (c >= 'a' && c <= 'z') key.push_back(kLetters[c - 'a']);
    else if (c >= '{' && c <= '~') key.push_back(static_cast<std::uint8_t>(0x2E + (c - '{')));
    else return Invalid("The name '" + name + "' has a character an index key cannot hold.");
  }
  key.push_back(0);
  return key;
}

Result<Bytes> BuildNewDatabase(const TableDef& userTable, double created) {
  JET_TRY(CheckUserTable(userTable));
  JET_ASSIGN(SystemTables sys, MakeSystemTables());
  TableDef user = userTable;
  user.page = new_page::kUserTable;
  user.pages = {new_page::kUserTable};
  user.rowCount = 0;
  user.lastAutoNumber = 0;
  user.tableType = kTableTypeUser;
  user.ownedMap = {new_page::kUserMaps, 0};
  user.freeMap = {new_page::kUserMaps, 1};
  user.longValues.clear();
  std::vector<std::pair<std::string, LongValueMaps>> named;
  std::uint8_t mapRow = 2;
  for (const auto& c : user.columns) {
    if (!c.IsLongValue()) continue;
    if (mapRow + 2 > 15) return Invalid("A new table can have at most six memo or OLE columns.");
    named.push_back({c.name, {c.number, {new_page::kUserMaps, mapRow}, {new_page::kUserMaps, static_cast<std::uint8_t>(mapRow + 1)}}});
    mapRow = static_cast<std::uint8_t>(mapRow + 2);
  }
  std::sort(named.begin(), named.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& n : named) user.longValues.push_back(n.second);

  // The catalog and the ACEs, in the order Jet writes them.
  const Bytes jetOwner = {0x02, 0x03}, creator = {0x03, 0x01}, users = {0x02, 0x01}, engine = {0x02, 0x04};
  std::vector<CatalogObject> objects = {
      {kTablesId, kRootId, "Tables", 3, kObjectFlagSystem, jetOwner},
      {kDatabasesId, kRootId, "Databases", 3, kObjectFlagSystem, jetOwner},
      {kRelationshipsId, kRootId, "Relationships", 3, kObjectFlagSystem, jetOwner},
      {kMSysDbId, kDatabasesId, "MSysDb", 2, kObjectFlagSystem, creator},
      {2, kTablesId, "MSysObjects", 1, kObjectFlagSystem, jetOwner},
      {3, kTablesId, "MSysACEs", 1, kObjectFlagSystem, jetOwner},
      {4, kTablesId, "MSysQueries", 1, kObjectFlagSystem, jetOwner},
      {5, kTablesId, "MSysRelationships", 1, kObjectFlagSystem, jetOwner},
      {static_cast<std::int32_t>(new_page::kUserTable), kTablesId, user.name, 1, 0, creator},
  };
  const auto userId = static_cast<std::int32_t>(new_page::kUserTable);
  const std::vector<AceRow> aces = {
      {2, creator, 0x60000, false},        {3, creator, 0x60000, false},
      {4, creator, 0x60000, false},        {5, creator, 0xE0000, false},
      {kTablesId, engine, 0xF00FE, true},  {kTablesId, creator, 0xFFEFF, true},
      {kRelationshipsId, engine, 0xF00FE, true}, {kRelationshipsId, creator, 0x60001, false},
      {kDatabasesId, creator, 0x60000, false},   {kMSysDbId, creator, 0x6000E, false},
      {kMSysDbId, users, 0xE, false},      {4, users, 0x14, false},
      {5, users, 0x14, false},             {2, users, 0x14, false},
      {kTablesId, users, 0xFFEFF, true},   {kRelationshipsId, users, 0xFFFFF, true},
      {userId, creator, 0xFFEFF, false},   {userId, users, 0xFFEFF, false},
  };

  using namespace new_page;
  std::vector<Page> pages(kCount, ZeroPage());
  pages[kHeaderPage] = HeaderPage();
  JET_ASSIGN(pages[kGlobalMapPage], PackPageRows(GlobalMap(kCount)));

  // MSysDb's property blob, in one LVAL row (Access inlines only up to 32 bytes).
  const Bytes properties = MSysDbProperties();
  PageRows propertyRows{kOwnerLval, {}, {}};
  JET_ASSIGN(std::uint8_t propertyRow, AddRow(propertyRows, properties));
  JET_ASSIGN(pages[kProperties], PackPageRows(propertyRows));

  // The catalog's rows and its two indexes' entries.
  PageRows objectRows{kCatalogPage, {}, {}};
  std::vector<Bytes> byParentName, byId;
  for (const auto& o : objects) {
    std::vector<Value> values(sys.objects.columns.size());
    JET_ASSIGN(Bytes name, EncodeCp1252(o.name));
    values[0] = o.id;
    values[1] = o.parentId;
    values[2] = Text{name};
    values[3] = o.type;
    values[4] = DateTime{created};
    values[5] = DateTime{created};
    values[6] = o.owner;
    values[7] = static_cast<std::int32_t>(o.flags);
    if (o.id == kMSysDbId) {
      values[14] = LongValueReference(static_cast<std::uint32_t>(properties.size()), kLongValueSingle,
                                      {kProperties, propertyRow});
    }
    JET_ASSIGN(Bytes row, EncodeRow(sys.objects, values));
    JET_ASSIGN(std::uint8_t slot, AddRow(objectRows, std::move(row)));
    JET_ASSIGN(Bytes textKey, GeneralTextKey(o.name));
    Bytes a = {kKeyAscending};
    AppendLongKey(a, o.parentId);
    a.push_back(kKeyAscending);
    a.insert(a.end(), textKey.begin(), textKey.end());
    AppendRowPointer(a, {kObjectRows, slot});
    byParentName.push_back(std::move(a));
    Bytes b = {kKeyAscending};
    AppendLongKey(b, o.id);
    AppendRowPointer(b, {kObjectRows, slot});
    byId.push_back(std::move(b));
  }
  if (std::set<Bytes>(byParentName.begin(), byParentName.end()).size() != byParentName.size()) {
    return Misuse("duplicate catalog key");
  }
  JET_ASSIGN(pages[kObjectRows], PackPageRows(objectRows));

  PageRows aceRows{kAces, {}, {}};
  std::vector<Bytes> byObject;
  std::set<std::int32_t> aceObjects;
  for (const auto& ace : aces) {
    std::vector<Value> values = {ace.objectId, ace.sid, ace.acm, ace.inheritable};
    JET_ASSIGN(Bytes row, EncodeRow(sys.aces, values));
    JET_ASSIGN(std::uint8_t slot, AddRow(aceRows, std::move(row)));
    Bytes e = {kKeyAscending};
    AppendLongKey(e, ace.objectId);
    AppendRowPointer(e, {kAceRows, slot});
    byObject.push_back(std::move(e));
    aceObjects.insert(ace.objectId);
  }
  JET_ASSIGN(pages[kAceRows], PackPageRows(aceRows));

  JET_ASSIGN(pages[kByParentNameLeaf], LeafPage(kCatalogPage, byParentName));
  JET_ASSIGN(pages[kByIdLeaf], LeafPage(kCatalogPage, byId));
  JET_ASSIGN(pages[kAcesLeaf], LeafPage(kAces, byObject));
  JET_ASSIGN(pages[kQueriesLeaf], LeafPage(kQueries, {}));
  for (std::uint32_t n = kRelationshipLeaves; n < kRelationshipLeaves + 3; ++n) {
    JET_ASSIGN(pages[n], LeafPage(kRelationships, {}));
  }

  // Usage-map hosts, row by row in the positions the TDEFs name (system_tables.cpp).
  const auto mapHost = [&](std::uint32_t number, std::vector<Bytes> rows) -> Status {
    PageRows host{0, std::vector<std::uint16_t>(rows.size(), 0), std::move(rows)};
    JET_ASSIGN(pages[number], PackPageRows(host));
    return Ok();
  };
  // MSysObjects: its owned and free maps, then its memo columns' (only the
  // property column, rows 10 and 11, has a page).
  std::vector<Bytes> objectMaps = {MapRow({kObjectRows}), MapRow({kObjectRows})};
  for (std::uint8_t row = 2; row <= 14; ++row) {
    objectMaps.push_back(row == 10 || row == 11 ? MapRow({kProperties}) : MapRow({}));
  }
  JET_TRY(mapHost(kObjectMaps, std::move(objectMaps)));
  JET_TRY(mapHost(kObjectLastMap, {MapRow({})}));
  JET_TRY(mapHost(kByParentNameMap, {MapRow({kByParentNameLeaf})}));
  JET_TRY(mapHost(kByIdMap, {MapRow({kByIdLeaf})}));
  // MSysACEs (owned, free, index), MSysQueries (owned, free, memo owned and free,
  // index), MSysRelationships (owned, free, three indexes).
  JET_TRY(mapHost(kSystemMaps, {MapRow({kAceRows}), MapRow({kAceRows}), MapRow({kAcesLeaf}), MapRow({}), MapRow({}),
                                MapRow({}), MapRow({}), MapRow({kQueriesLeaf}), MapRow({}), MapRow({}),
                                MapRow({kRelationshipLeaves}), MapRow({kRelationshipLeaves + 1}),
                                MapRow({kRelationshipLeaves + 2})}));
  JET_TRY(mapHost(kUserMaps, std::vector<Bytes>(mapRow, MapRow({}))));

  // Table definitions, with the counts of what was written above.
  sys.objects.rowCount = static_cast<std::uint32_t>(objects.size());
  for (auto& index : sys.objects.realIndexes) index.uniqueEntries = static_cast<std::uint32_t>(objects.size());
  sys.aces.rowCount = static_cast<std::uint32_t>(aces.size());
  sys.aces.realIndexes[0].uniqueEntries = static_cast<std::uint32_t>(aceObjects.size());
  for (const TableDef* def : std::initializer_list<const TableDef*>{&sys.objects, &sys.aces, &sys.queries,
                                                                     &sys.relationships, &user}) {
    JET_ASSIGN(std::vector<Page> tdef, EncodeTableDefPages(*def));
    if (tdef.size() != 1) return Invalid("The definition of '" + def->name + "' does not fit one page.");
    pages[def->page] = tdef[0];
  }

  Bytes file;
  file.reserve(new_page::kCount * kPageSize);
  for (const Page& p : pages) file.insert(file.end(), p.begin(), p.end());
  return file;
}

Status CreateDatabase(FileSystem& fs, const std::string& path, const TableDef& userTable, double created) {
  JET_ASSIGN(Bytes bytes, BuildNewDatabase(userTable, created));
  JET_ASSIGN(bool exists, fs.Exists(path));
  const auto refuse = [&] { return MakeError(kErrDatabaseExists, "Database '" + path + "' already exists."); };
  if (exists) return refuse();
  // A journal left there may hold the last change of a store that was removed; a
  // new store under its name would have the journal applied to it.
  JET_ASSIGN(bool journal, fs.Exists(JournalPath(path)));
  if (journal) {
    return MakeError(kErrDatabaseExists, "A journal '" + JournalPath(path) + "' lies where '" + path +
                                             "' would be made; it may hold the last change of an earlier store. "
                                             "Move it away first.");
  }
  JET_ASSIGN(auto file, fs.Open(path, OpenMode::kCreate));
  // Another program may have made the file since the check; never write over it.
  JET_ASSIGN(std::uint64_t size, file->Size());
  if (size != 0) return refuse();
  Status written = file->Write(0, bytes);
  if (written.ok()) written = file->Sync();
  if (!written.ok()) {
    file.reset();
    (void)fs.Remove(path);
    return written;
  }
  return Ok();
}

}  // namespace jet
