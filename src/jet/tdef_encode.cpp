#include "jet/tdef_encode.h"

#include <algorithm>
#include <span>

#include "jet/byte_reader.h"
#include "jet/code_page.h"
#include "jet/data_page.h"
#include "jet/database.h"
#include "jet/errors.h"
#include "jet/row_format.h"
#include "jet/tdef_page.h"

namespace jet {
namespace {

constexpr std::size_t kMaxNameBytes = 64;
constexpr std::size_t kMaxColumns = 255;

bool IsVariable(ColumnType type) {
  return type == ColumnType::kText || type == ColumnType::kBinary || type == ColumnType::kMemo ||
         type == ColumnType::kOle;
}

std::uint16_t TypeLength(const ColumnSpec& spec) {
  switch (spec.type) {
    case ColumnType::kText:
    case ColumnType::kBinary: return spec.length;
    case ColumnType::kMemo:
    case ColumnType::kOle: return 0;
    case ColumnType::kBoolean: return 1;
    default: {
      ColumnDef probe;
      probe.type = spec.type;
      return static_cast<std::uint16_t>(FixedSize(probe));
    }
  }
}

// Appends a name as its length byte and code-page bytes.
Status AppendName(Bytes& out, const std::string& name, const char* what) {
  JET_ASSIGN(Bytes bytes, EncodeCp1252(name));
  if (bytes.empty() || bytes.size() > kMaxNameBytes) {
    return MakeError(kErrInvalidArgument, std::string(what) + " '" + name + "' must be 1 to 64 characters long.");
  }
  out.push_back(static_cast<std::uint8_t>(bytes.size()));
  out.insert(out.end(), bytes.begin(), bytes.end());
  return Ok();
}

void Append16(Bytes& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Append32(Bytes& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace

Result<TableDef> LayOutTable(const std::string& name, std::uint8_t tableType, const std::vector<ColumnSpec>& columns) {
  if (columns.empty() || columns.size() > kMaxColumns) {
    return MakeError(kErrInvalidArgument, "A table needs 1 to 255 columns.");
  }
  TableDef def;
  def.name = name;
  def.tableType = tableType;
  std::uint16_t fixedOffset = 0;
  std::uint16_t varIndex = 0;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const ColumnSpec& spec = columns[i];
    ColumnDef c;
    c.name = spec.name;
    c.type = spec.type;
    c.number = static_cast<std::uint16_t>(i);
    c.position = tableType == kTableTypeSystem ? 0 : static_cast<std::uint16_t>(i);
    c.length = TypeLength(spec);
    if ((spec.type == ColumnType::kText || spec.type == ColumnType::kBinary) && (c.length == 0 || c.length > 255)) {
      return MakeError(kErrInvalidArgument, "Column '" + spec.name + "' needs a length of 1 to 255 bytes.");
    }
    if (IsVariable(spec.type)) {
      c.flags = static_cast<std::uint8_t>(kColumnUpdatable | spec.extraFlags);
      c.varIndex = varIndex++;
      c.fixedOffset = 0;
    } else {
      c.flags = static_cast<std::uint8_t>(kColumnFixed | kColumnUpdatable | spec.extraFlags);
      c.varIndex = varIndex;  // variable columns before this one
      c.fixedOffset = spec.type == ColumnType::kBoolean ? 0 : fixedOffset;
      fixedOffset = static_cast<std::uint16_t>(fixedOffset + FixedSize(c));
    }
    for (std::size_t k = 0; k < i; ++k) {
      if (SameName(columns[k].name, spec.name)) {
        return MakeError(kErrInvalidArgument, "Column '" + spec.name + "' is named twice.");
      }
    }
    def.columns.push_back(std::move(c));
  }
  def.maxColumns = static_cast<std::uint16_t>(columns.size());
  def.varColumns = varIndex;
  return def;
}

Result<Bytes> EncodeTableDef(const TableDef& def) {
  if (def.columns.empty() || def.columns.size() > kMaxColumns) {
    return MakeError(kErrInvalidArgument, "A table needs 1 to 255 columns.");
  }
  Bytes out(kTdefIndexSlots, 0);
  out[0] = kPageTypeTableDef;
  out[1] = 0x01;
  out[kTdefSignature] = 'V';
  out[kTdefSignature + 1] = 'C';
  PutU32(out, kTdefNextPage, def.pages.size() > 1 ? def.pages[1] : 0);
  PutU32(out, kTdefRowCount, def.rowCount);
  PutU32(out, kTdefAutoNumber, def.lastAutoNumber);
  out[kTdefTableType] = def.tableType;
  PutU16(out, kTdefMaxColumns, def.maxColumns);
  PutU16(out, kTdefVarColumns, def.varColumns);
  PutU16(out, kTdefColumnCount, static_cast<std::uint16_t>(def.columns.size()));
  PutU32(out, kTdefLogicalIndexCount, static_cast<std::uint32_t>(def.logicalIndexes.size()));
  PutU32(out, kTdefRealIndexCount, static_cast<std::uint32_t>(def.realIndexes.size()));
  PutU32(out, kTdefOwnedMap, def.ownedMap.Raw());
  PutU32(out, kTdefFreeMap, def.freeMap.Raw());

  for (const auto& index : def.realIndexes) {
    Append32(out, index.unknown);
    Append32(out, index.uniqueEntries);
  }
  for (const auto& c : def.columns) {
    out.push_back(static_cast<std::uint8_t>(c.type));
    Append16(out, c.number);
    Append16(out, c.varIndex);
    Append16(out, c.position);
    Append16(out, 1);  // +7: 1 in every Access 97 file with the 0x38 header word 1
    Append16(out, c.sortOrder);
    Append16(out, c.codePage);
    out.push_back(c.flags);
    Append16(out, c.fixedOffset);
    Append16(out, c.length);
  }
  for (const auto& c : def.columns) JET_TRY(AppendName(out, c.name, "Column"));
  for (const auto& index : def.realIndexes) {
    if (index.columns.empty() || index.columns.size() > kRealIndexColumns) {
      return MakeError(kErrInvalidArgument, "An index needs 1 to 10 columns.");
    }
    for (std::size_t k = 0; k < kRealIndexColumns; ++k) {
      if (k < index.columns.size()) {
        Append16(out, index.columns[k].column);
        out.push_back(index.columns[k].ascending ? 1 : 0);
      } else {
        Append16(out, 0xFFFF);
        out.push_back(0);
      }
    }
    Append32(out, index.usageMap.Raw());
    Append32(out, index.rootPage);
    out.push_back(index.flags);
  }
  for (const auto& index : def.logicalIndexes) {
    Append32(out, index.number);
    Append32(out, index.realIndex);
    out.push_back(index.relatedTableType);
    Append32(out, static_cast<std::uint32_t>(index.relatedIndex));
    Append32(out, index.relatedTablePage);
    out.push_back(index.cascadeUpdates);
    out.push_back(index.cascadeDeletes);
    out.push_back(index.indexType);
  }
  for (const auto& index : def.logicalIndexes) JET_TRY(AppendName(out, index.name, "Index"));
  for (const auto& lv : def.longValues) {
    Append16(out, lv.column);
    Append32(out, lv.owned.Raw());
    Append32(out, lv.free.Raw());
  }
  Append16(out, kLongValueListEnd);
  PutU32(out, kTdefLength, static_cast<std::uint32_t>(out.size()));
  return out;
}

Result<std::vector<Page>> EncodeTableDefPages(const TableDef& def) {
  JET_ASSIGN(Bytes bytes, EncodeTableDef(def));
  constexpr std::size_t kContinuation = kPageSize - kTdefPageHeader;
  const std::size_t needed = bytes.size() <= kPageSize ? 1 : 1 + (bytes.size() - kPageSize + kContinuation - 1) / kContinuation;
  if (def.pages.size() < needed) {
    return MakeError(kErrInvalidArgument, "The definition of '" + def.name + "' needs " + std::to_string(needed) +
                                              " pages; " + std::to_string(def.pages.size()) + " were given.");
  }
  std::vector<Page> pages(needed);
  std::size_t taken = 0;
  for (std::size_t i = 0; i < needed; ++i) {
    Page& p = pages[i];
    p.fill(0);
    const std::size_t headerBytes = i == 0 ? 0 : kTdefPageHeader;
    if (i > 0) {
      p[0] = kPageTypeTableDef;
      p[1] = 0x01;
      p[kTdefSignature] = 'V';
      p[kTdefSignature + 1] = 'C';
    }
    const std::size_t take = std::min(bytes.size() - taken, kPageSize - headerBytes);
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(taken), take, p.begin() + static_cast<std::ptrdiff_t>(headerBytes));
    taken += take;
    PutU32(p, kTdefNextPage, i + 1 < needed ? def.pages[i + 1] : 0);
  }
  return pages;
}

}  // namespace jet
