// The verse commands: list, add, delete and import rows of the verse table.
#include <charconv>
#include <cstdio>
#include <memory>

#include "jet/code_page.h"
#include "jet/database.h"
#include "jet/errors.h"
#include "store/verse_schema.h"
#include "versedb/command_context.h"
#include "versedb/reference_parser.h"

namespace versedb {
namespace {

// Where the verse columns are in a table's definition.
struct VerseColumns {
  std::size_t book = 0, chapter = 0, read = 0, verses = 0, text = 0;
};

struct OpenTable {
  std::unique_ptr<jet::Database> db;
  jet::TableDef def;
  VerseColumns columns;
  std::ostream* err = nullptr;

  OpenTable(std::unique_ptr<jet::Database> d, jet::TableDef t, VerseColumns c, std::ostream& e)
      : db(std::move(d)), def(std::move(t)), columns(c), err(&e) {}
  OpenTable(OpenTable&&) = default;
  OpenTable& operator=(OpenTable&&) = default;
  // What the engine noticed on the way (a foreign journal set aside) is told however
  // the command ends.
  ~OpenTable() {
    if (db == nullptr) return;
    for (const auto& notice : db->pager().TakeNotices()) *err << "versedb: warning: " << notice << "\n";
  }
};

jet::Result<OpenTable> OpenVerses(Context& c, const std::string& path, const std::string& table, bool writable) {
  jet::PagerOptions options;
  options.writable = writable;
  JET_ASSIGN(auto db, jet::Database::Open(c.fs, path, options));
  JET_ASSIGN(jet::TableDef def, db->OpenTable(table));
  VerseColumns cols;
  std::size_t* slots[] = {&cols.book, &cols.chapter, &cols.read, &cols.verses, &cols.text};
  const char* names[] = {"Book", "Chapter", "Read", "Verses", "VerseTxt"};
  for (std::size_t k = 0; k < 5; ++k) {
    std::size_t i = 0;
    while (i < def.columns.size() && !jet::SameName(def.columns[i].name, names[k])) ++i;
    if (i == def.columns.size()) {
      return jet::MakeError(jet::kErrColumnNotFound, "Table '" + def.name + "' has no column '" + names[k] +
                                                         "'; it is not a verse table.");
    }
    *slots[k] = i;
  }
  return OpenTable{std::move(db), std::move(def), cols, c.err};
}

// One text value in the file's code page, checked against its column's size.
jet::Result<jet::Value> TextValue(const jet::ColumnDef& column, const std::string& utf8) {
  // Control characters are invisible, and a NUL cuts the text where Windows shows it.
  for (char c : utf8) {
    const auto ch = static_cast<unsigned char>(c);
    if ((ch < 0x20 && ch != '\t' && ch != '\r' && ch != '\n') || ch == 0x7F) {
      char code[8];
      std::snprintf(code, sizeof code, "0x%02X", ch);
      return jet::MakeError(jet::kErrInvalidArgument, "The field '" + column.name + "' cannot hold the control character " + code + ".");
    }
  }
  JET_ASSIGN(jet::Bytes bytes, jet::EncodeCp1252(utf8));
  if (column.type == jet::ColumnType::kText && bytes.size() > column.length) {
    return jet::MakeError(jet::kErrFieldTooSmall, "The field '" + column.name + "' is too small to accept '" + utf8 +
                                                      "' (at most " + std::to_string(column.length) + " characters).");
  }
  return jet::Value(jet::Text{std::move(bytes)});
}

// A verse as the values of a row: every other column null, Read = No.
jet::Result<std::vector<jet::Value>> RowOf(const OpenTable& t, const VerseLine& v) {
  std::vector<jet::Value> values(t.def.columns.size());
  const auto& cols = t.def.columns;
  JET_ASSIGN(values[t.columns.book], TextValue(cols[t.columns.book], v.book));
  JET_ASSIGN(values[t.columns.chapter], TextValue(cols[t.columns.chapter], v.chapter));
  JET_ASSIGN(values[t.columns.verses], TextValue(cols[t.columns.verses], v.verses));
  JET_ASSIGN(values[t.columns.text], TextValue(cols[t.columns.text], v.text));
  values[t.columns.read] = false;
  return values;
}

std::string Plain(const jet::Value& v) {
  const auto* text = std::get_if<jet::Text>(&v);
  return text == nullptr ? std::string() : jet::DecodeCp1252(text->bytes);
}

}  // namespace

int List(Context& c) {
  auto t = OpenVerses(c, c.args[1], store::kVerseTableName, false);
  if (!t.ok()) return Fail(c, t.error());
  auto rows = t->db->ReadAllRows(t->def);
  if (!rows.ok()) return Fail(c, rows.error());
  const auto& k = t->columns;
  for (const auto& r : *rows) {
    std::string text = Plain(r.values[k.text]);
    for (char& ch : text) {
      if (ch == '\r' || ch == '\n') ch = ' ';
    }
    c.out << Plain(r.values[k.book]) << " " << Plain(r.values[k.chapter]) << ":" << Plain(r.values[k.verses]) << " "
          << text << "\n";
  }
  return 0;
}

int Add(Context& c) {
  auto t = OpenVerses(c, c.args[1], store::kVerseTableName, true);
  if (!t.ok()) return Fail(c, t.error());
  VerseLine v{c.args[2], c.args[3], c.args[4], c.args[5], 0};
  auto values = RowOf(*t, v);
  if (!values.ok()) return Fail(c, values.error());
  auto id = t->db->Insert(t->def, *values);
  if (!id.ok()) return Fail(c, id.error());
  return 0;
}

int Delete(Context& c) {
  std::size_t number = 0;
  const std::string& arg = c.args[2];
  auto [end, ec] = std::from_chars(arg.data(), arg.data() + arg.size(), number);
  if (ec != std::errc() || end != arg.data() + arg.size() || number == 0) {
    return Fail(c, jet::MakeError(jet::kErrInvalidArgument, "'" + arg + "' is not a row number (1 is the first row)."));
  }
  auto t = OpenVerses(c, c.args[1], store::kVerseTableName, true);
  if (!t.ok()) return Fail(c, t.error());
  auto rows = t->db->ReadAllRows(t->def);
  if (!rows.ok()) return Fail(c, rows.error());
  if (number > rows->size()) {
    return Fail(c, jet::MakeError(jet::kErrNoCurrentRecord, "No current record: the table has " +
                                                                std::to_string(rows->size()) + " rows."));
  }
  const jet::StoredRow& row = (*rows)[number - 1];
  auto s = t->db->Delete(t->def, row.id, row.values);
  if (!s.ok()) return Fail(c, s.error());
  return 0;
}

int Import(Context& c) {
  ParsedLines parsed = ParseVerseLines(c.in);
  auto t = OpenVerses(c, c.args[1], c.args[2], true);
  if (!t.ok()) return Fail(c, t.error());
  // Every line is parsed and encoded before the first row is written.
  std::vector<std::vector<jet::Value>> rows;
  for (const auto& v : parsed.verses) {
    auto values = RowOf(*t, v);
    if (values.ok()) {
      rows.push_back(std::move(*values));
    } else {
      parsed.errors.push_back("line " + std::to_string(v.line) + ": error " + std::to_string(values.error().number) +
                              ": " + values.error().description);
    }
  }
  if (!parsed.errors.empty()) {
    for (const auto& e : parsed.errors) c.err << "versedb: " << e << "\n";
    c.err << "versedb: nothing was imported (" << parsed.errors.size() << " bad lines)\n";
    return 1;
  }
  // One write for the whole import: a failure or a crash leaves none of it.
  auto added = t->db->InsertMany(t->def, rows);
  if (!added.ok()) {
    c.err << "versedb: nothing was imported\n";
    return Fail(c, added.error());
  }
  c.out << "imported " << rows.size() << " verses\n";
  return 0;
}

}  // namespace versedb
