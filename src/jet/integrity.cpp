#include "jet/integrity.h"

#include "jet/byte_reader.h"
#include "jet/errors.h"
#include "jet/integrity_checker.h"
#include "jet/tdef_page.h"
#include "jet/usage_map.h"

namespace jet {
namespace integrity {
namespace {

std::string Pages(const std::string& what, std::uint32_t page) { return what + " (page " + std::to_string(page) + ")"; }

const char* RoleName(Role role) {
  switch (role) {
    case Role::kHeader: return "the header";
    case Role::kGlobalMap: return "the global page map";
    case Role::kTableDef: return "a table definition";
    case Role::kMapHost: return "a usage-map host";
    case Role::kData: return "a data page";
    case Role::kLongValue: return "a memo (LVAL) page";
    case Role::kIndex: return "an index page";
    case Role::kBitmap: return "a usage bitmap";
  }
  return "?";
}

}  // namespace

void Checker::Run() {
  ReadScope scope(pager_);
  if (!scope.status().ok()) {
    Report(0, "the file cannot be read: " + scope.status().error().description);
    return;
  }
  uses_.assign(pager_.PageCount(), {});
  Claim(0, Role::kHeader, "the header");
  Claim(1, Role::kGlobalMap, "the global page map");
  CheckCatalog();
  CheckLongValueRows();
  CheckGlobalMap();
}

void Checker::Claim(std::uint32_t page, Role role, const std::string& who) {
  if (page >= uses_.size()) {
    Report(page, who + " names page " + std::to_string(page) + ", past the end of the file");
    return;
  }
  for (const Use& u : uses_[page]) {
    if (role == Role::kMapHost && u.role == Role::kMapHost) return;
    if (u.role == role && u.who == who) return;
    if (!(role == Role::kMapHost && u.role == Role::kGlobalMap) && !(role == Role::kGlobalMap && u.role == Role::kMapHost)) {
      Report(page, "page " + std::to_string(page) + " is used twice: as " + RoleName(u.role) + " of " + u.who +
                       " and as " + RoleName(role) + " of " + who);
      return;
    }
  }
  uses_[page].push_back({role, who});
}

// The pages a usage map lists, with its host page (and any bitmap pages) claimed.
std::vector<std::uint32_t> Checker::MapPages(RowPointer where, const std::string& what) {
  if (where.page >= uses_.size() || where.page < 1) {
    Report(where.page, what + " lies on page " + std::to_string(where.page) + ", outside the file");
    return {};
  }
  if (where.page != 1) Claim(where.page, Role::kMapHost, what);
  const Page* host = PageAt(where.page);
  if (host == nullptr) return {};
  ByteReader h(*host);
  if (h.U8(0) != kPageTypeData || (where.page != 1 && h.U32(kDataOwner) != 0)) {
    Report(where.page, Pages(what + " lies on a page that is not a usage-map host", where.page));
    return {};
  }
  auto row = RowAt(where);
  if (!row) {
    Report(where.page, what + " points at a missing or deleted row " + std::to_string(where.row) + " of page " +
                           std::to_string(where.page));
    return {};
  }
  ByteReader r(*row);
  if (!row->empty() && r.U8(0) == kUsageMapReference) {
    for (std::size_t i = 0; 1 + 4 * i + 4 <= row->size(); ++i) {
      std::uint32_t bitmap = r.U32(1 + 4 * i);
      if (bitmap == 0) continue;
      Claim(bitmap, Role::kBitmap, what);
      const Page* p = PageAt(bitmap);
      if (p != nullptr && (*p)[0] != kPageTypeUsageBitmap) {
        Report(bitmap, Pages(what + " lists a bitmap page of the wrong type", bitmap));
        return {};
      }
    }
  }
  auto pages = DecodeUsageMap(pager_, *row, false);
  if (!pages.ok()) {
    Report(where.page, what + ": " + pages.error().description);
    return {};
  }
  return *pages;
}

void Checker::CheckOwnedPages(const std::vector<std::uint32_t>& pages, std::uint8_t type, std::uint32_t owner,
                              const std::string& what) {
  for (std::uint32_t n : pages) {
    const Page* p = PageAt(n);
    if (p == nullptr) continue;
    ByteReader r(*p);
    const bool indexPage = type == kPageTypeIndexLeaf;
    const bool typeOk = indexPage ? (r.U8(0) == kPageTypeIndexLeaf || r.U8(0) == kPageTypeIndexNode) : r.U8(0) == type;
    if (!typeOk || r.U32(kDataOwner) != owner) {
      Report(n, "page " + std::to_string(n) + " is listed in " + what + " but is not one of its " +
                    (indexPage ? "index pages" : owner == kOwnerLval ? "LVAL pages" : "data pages"));
      badPages_.insert(n);
    }
  }
}

void Checker::CheckCatalog() {
  auto catalogDef = ReadTableDef(pager_, kCatalogPage, "MSysObjects");
  if (!catalogDef.ok()) {
    Report(kCatalogPage, "the catalog's definition cannot be read: " + catalogDef.error().description);
    return;
  }
  auto entries = db_.Catalog();
  if (!entries.ok()) {
    Report(kCatalogPage, "the catalog cannot be read: " + entries.error().description);
    CheckTable(*catalogDef);
    return;
  }
  std::map<std::uint32_t, std::string> tablePages;
  std::set<std::pair<std::int32_t, std::string>> names;
  bool catalogNamed = false;
  for (const auto& e : *entries) {
    std::string folded = e.name;
    for (char& ch : folded) ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
    if (!names.insert({e.parentId, folded}).second) {
      Report(kCatalogPage, "the catalog names '" + e.name + "' twice in one container");
    }
    if (e.type != kObjectTypeTable) continue;
    const std::uint32_t page = e.TableDefPage();
    if (page == kCatalogPage) catalogNamed = true;
    if (!tablePages.emplace(page, e.name).second) {
      Report(page, "tables '" + tablePages[page] + "' and '" + e.name + "' share the definition on page " +
                       std::to_string(page));
      continue;
    }
    if (page < 2 || page >= uses_.size()) {
      Report(page, "table '" + e.name + "' has its definition on page " + std::to_string(page) + ", outside the file");
      continue;
    }
    auto def = page == kCatalogPage ? catalogDef : ReadTableDef(pager_, page, e.name);
    if (!def.ok()) {
      Report(page, "the definition of table '" + e.name + "' cannot be read: " + def.error().description);
      continue;
    }
    CheckTable(*def);
  }
  if (!catalogNamed) Report(kCatalogPage, "the catalog has no row for MSysObjects itself");
}

void Checker::CheckTable(const TableDef& def) {
  const std::string table = "table '" + def.name + "'";
  for (std::uint32_t p : def.pages) Claim(p, Role::kTableDef, table);
  if (def.length < kTdefIndexSlots) Report(def.page, "the definition of " + table + " has an impossible length");

  auto owned = MapPages(def.ownedMap, "the page map of " + table);
  auto freeMap = MapPages(def.freeMap, "the free-space map of " + table);
  for (std::uint32_t n : owned) Claim(n, Role::kData, table);
  CheckOwnedPages(owned, kPageTypeData, def.page, "the page map of " + table);
  const std::set<std::uint32_t> ownedSet(owned.begin(), owned.end());
  for (std::uint32_t n : freeMap) {
    if (!ownedSet.contains(n)) Report(n, "the free-space map of " + table + " lists page " + std::to_string(n) + ", which the table does not own");
  }

  for (const auto& lv : def.longValues) {
    const ColumnDef* column = nullptr;
    for (const auto& c : def.columns) {
      if (c.number == lv.column) column = &c;
    }
    const std::string what = "memo column " + std::to_string(lv.column) + " of " + table;
    if (column == nullptr || !column->IsLongValue()) {
      Report(def.page, "the definition of " + table + " lists long-value maps for " + what + ", which is no memo or OLE column");
      continue;
    }
    auto pages = MapPages(lv.owned, "the LVAL map of " + what);
    for (std::uint32_t n : pages) {
      Claim(n, Role::kLongValue, what);
      longValueOwner_[n] = what;
    }
    CheckOwnedPages(pages, kPageTypeData, kOwnerLval, "the LVAL map of " + what);
    longValuePages_[{def.page, lv.column}] = std::set<std::uint32_t>(pages.begin(), pages.end());
    if (!lv.free.IsNull()) {
      for (std::uint32_t n : MapPages(lv.free, "the LVAL free-space map of " + what)) {
        if (!longValuePages_[{def.page, lv.column}].contains(n)) {
          Report(n, "the LVAL free-space map of " + what + " lists page " + std::to_string(n) + ", which the column does not own");
        }
      }
    }
  }
  for (const auto& c : def.columns) {
    if (c.IsLongValue() && !longValuePages_.contains({def.page, c.number})) {
      Report(def.page, "memo column '" + c.name + "' of " + table + " has no long-value maps");
    }
  }

  CheckRows(def, owned);

  for (std::size_t i = 0; i < def.realIndexes.size(); ++i) {
    const auto& index = def.realIndexes[i];
    const std::string what = "index " + std::to_string(i) + " of " + table;
    auto pages = MapPages(index.usageMap, "the page map of " + what);
    for (std::uint32_t n : pages) Claim(n, Role::kIndex, what);
    CheckOwnedPages(pages, kPageTypeIndexLeaf, def.page, "the page map of " + what);
    if (std::find(pages.begin(), pages.end(), index.rootPage) == pages.end()) {
      Report(def.page, "the root page " + std::to_string(index.rootPage) + " of " + what + " is not in its page map");
    }
    CheckIndexLeaves(def, i, pages);
  }
}

void Checker::CheckGlobalMap() {
  const RowPointer globalMap{1, 0};
  auto row = RowAt(globalMap);
  if (!row || row->empty() || (*row)[0] != kUsageMapInline) {
    Report(1, "the global page map (page 1, row 0) is missing or not an inline map");
    return;
  }
  auto freePages = DecodeUsageMap(pager_, *row, true);
  if (!freePages.ok()) {
    Report(1, "the global page map cannot be read: " + freePages.error().description);
    return;
  }
  ByteReader r(*row);
  const std::uint64_t mapEnd = r.U32(1) + (row->size() - kUsageMapInlineHeader) * 8;
  std::vector<bool> free(uses_.size(), false);
  for (std::uint32_t n : *freePages) free[n] = true;
  for (std::uint32_t n = 0; n < uses_.size(); ++n) {
    // Pages outside the map's range count as free.
    const bool isFree = free[n] || n < r.U32(1) || n >= mapEnd;
    if (!uses_[n].empty() && isFree) {
      Report(n, "page " + std::to_string(n) + " is in use as " + RoleName(uses_[n][0].role) + " of " + uses_[n][0].who +
                    " but the global map marks it free");
    } else if (uses_[n].empty() && !isFree) {
      const Page* p = PageAt(n);
      std::string kind = p == nullptr ? "" : " (a page of type " + std::to_string((*p)[0]) + ")";
      Report(n, "page " + std::to_string(n) + kind + " is marked in use by the global map but nothing uses it");
    }
  }
}

}  // namespace integrity

Result<std::vector<Finding>> CheckIntegrity(FileSystem& fs, const std::string& path) try {
  std::vector<Finding> findings;
  {
    JET_ASSIGN(auto file, fs.Open(path, OpenMode::kReadOnly));
    JET_ASSIGN(std::uint64_t size, file->Size());
    if (size % kPageSize != 0) {
      findings.push_back({0, "the file's length (" + std::to_string(size) + " bytes) is not a whole number of pages"});
    }
  }
  auto db = Database::Open(fs, path);
  if (!db.ok()) {
    if (db.error().number != kErrDamaged) return db.error();
    findings.push_back({kCatalogPage, "the catalog cannot be opened: " + db.error().description});
    return findings;
  }
  integrity::Checker checker(**db, findings);
  checker.Run();
  return findings;
} catch (const std::exception& e) {
  return OutOfMemory(e);
}

}  // namespace jet
