#include "versedb/commands.h"

#include <ctime>
#include <functional>
#include <map>

#include "jet/database.h"
#include "jet/errors.h"
#include "jet/integrity.h"
#include "jet/new_database.h"
#include "store/verse_schema.h"
#include "versedb/command_context.h"
#include "versedb/csv_export.h"

namespace versedb {
namespace {

constexpr const char* kUsage =
    "usage: versedb COMMAND ARGS\n"
    "  tables FILE            list the tables\n"
    "  schema FILE TABLE      show a table's columns\n"
    "  export FILE TABLE      print a table as CSV\n"
    "  create FILE            write a new, empty verse store (never over an existing file)\n"
    "  check FILE             check every page; exit status 0 only for a clean file\n"
    "  list FILE              print the verses, one 'Book C:V text' line each, in table order\n"
    "  add FILE BOOK CHAPTER VERSES TEXT\n"
    "                         add one verse at the end of the table\n"
    "  delete FILE N          delete the N-th verse (1 = the first line of list)\n"
    "  import FILE TABLE      add the 'Book C:V text' lines read from standard input;\n"
    "                         nothing is added when any line is bad\n";

int Tables(Context& c) {
  auto db = jet::Database::Open(c.fs, c.args[1]);
  if (!db.ok()) return Fail(c, db.error());
  auto names = (*db)->TableNames();
  if (!names.ok()) return Fail(c, names.error());
  for (const auto& n : *names) c.out << n << "\n";
  return 0;
}

int Schema(Context& c) {
  auto db = jet::Database::Open(c.fs, c.args[1]);
  if (!db.ok()) return Fail(c, db.error());
  auto def = (*db)->OpenTable(c.args[2]);
  if (!def.ok()) return Fail(c, def.error());
  c.out << "Table " << def->name << ": " << def->rowCount << " rows, " << def->columns.size() << " columns, "
        << def->logicalIndexes.size() << " indexes\n";
  for (const auto& col : def->columns) {
    c.out << "  " << col.name << "\t" << jet::ColumnTypeName(col.type);
    if (col.type == jet::ColumnType::kText || col.type == jet::ColumnType::kBinary) c.out << "(" << col.length << ")";
    if (col.IsAutoNumber()) c.out << " AutoNumber";
    c.out << "\n";
  }
  for (const auto& index : def->logicalIndexes) c.out << "  index " << index.name << "\n";
  return 0;
}

int Export(Context& c) {
  auto db = jet::Database::Open(c.fs, c.args[1]);
  if (!db.ok()) return Fail(c, db.error());
  auto def = (*db)->OpenTable(c.args[2]);
  if (!def.ok()) return Fail(c, def.error());
  auto s = ExportCsv(**db, *def, c.out);
  if (!s.ok()) return Fail(c, s.error());
  return 0;
}

// Now as an OLE date in local time, as Access stamps its catalog rows.
double NowOleDate() {
  std::time_t now = std::time(nullptr);
  std::tm local = *std::localtime(&now);
  std::tm utc = *std::gmtime(&now);
  // mktime reads both as local time; their difference is the zone's offset.
  const double offset = std::difftime(std::mktime(&local), std::mktime(&utc));
  return (static_cast<double>(now) + offset) / 86400.0 + 25569.0;
}

int Create(Context& c) {
  auto schema = store::VerseTableSchema();
  if (!schema.ok()) return Fail(c, schema.error());
  auto s = jet::CreateDatabase(c.fs, c.args[1], *schema, NowOleDate());
  if (!s.ok()) return Fail(c, s.error());
  return 0;
}

int Check(Context& c) {
  auto findings = jet::CheckIntegrity(c.fs, c.args[1]);
  if (!findings.ok()) return Fail(c, findings.error());
  for (const auto& f : *findings) c.out << "page " << f.page << ": " << f.text << "\n";
  if (!findings->empty()) {
    c.err << "versedb: " << findings->size() << " inconsistencies found in '" << c.args[1] << "'\n";
    return 1;
  }
  c.out << "no inconsistencies found\n";
  return 0;
}

struct Command {
  std::size_t argCount;  // including the command's name
  std::function<int(Context&)> run;
};

const std::map<std::string, Command>& Commands() {
  static const std::map<std::string, Command> commands = {
      {"add", {6, Add}},
      {"check", {2, Check}},
      {"create", {2, Create}},
      {"delete", {3, Delete}},
      {"import", {3, Import}},
      {"list", {2, List}},
      {"tables", {2, Tables}},
      {"schema", {3, Schema}},
      {"export", {3, Export}},
  };
  return commands;
}

}  // namespace

int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
        jet::FileSystem& fs) {
  Context c{args, in, out, err, fs};
  if (args.empty()) {
    err << kUsage;
    return 2;
  }
  auto it = Commands().find(args[0]);
  if (it == Commands().end() || args.size() != it->second.argCount) {
    err << kUsage;
    return 2;
  }
  int status = it->second.run(c);
  // Output that never arrived (a full disk, a closed pipe) is a failure like any other.
  if (!out.flush()) {
    err << "versedb: error " << jet::kErrDiskIo << ": the output could not be written\n";
    return 1;
  }
  return status;
}

}  // namespace versedb
