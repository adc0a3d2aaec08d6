#include "support/oracle.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "jet/database.h"
#include "support/result_assert.h"
#include "versedb/csv_export.h"

namespace support {
namespace {

std::string Quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

bool IsNumber(const std::string& s, double& v) {
  char* end = nullptr;
  v = std::strtod(s.c_str(), &end);
  return !s.empty() && s[0] != '"' && end == s.c_str() + s.size();
}

bool FieldsAgree(const std::string& ours, const std::string& theirs) {
  double a = 0, b = 0;
  if (ours == theirs || (ours == "\"\"" && theirs.empty())) return true;
  if (IsNumber(ours, a) && IsNumber(theirs, b)) return std::fabs(a - b) <= 1e-6 * std::max(1.0, std::fabs(a));
  if (ours.size() < 2 || ours.front() != '"') return false;
  // mdbtools treats text as a C string, and binary too: its hex stops at the first zero byte.
  if (std::size_t nul = ours.find('\0'); nul != std::string::npos)
    return theirs == ours.substr(0, nul) + "\"";
  if (ours.find_first_not_of("\"0123456789ABCDEF") != std::string::npos) return false;
  std::size_t cut = 1;
  while (cut + 2 < ours.size() && ours.compare(cut, 2, "00") != 0) cut += 2;
  return theirs == (cut == 1 ? "" : ours.substr(0, cut) + "\"");
}

// Records of fields, honouring quotes (fields keep their quotes); those after the header
// sorted when `anyOrder`.
std::vector<std::vector<std::string>> ParseCsv(const std::string& text, bool anyOrder) {
  std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (!quoted && c == ',') {
      records.back().emplace_back();
    } else if (!quoted && c == '\n') {
      records.emplace_back(1);
    } else {
      records.back().back() += c;
      if (c == '"' && quoted && i + 1 < text.size() && text[i + 1] == '"')
        records.back().back() += text[++i];
      else if (c == '"')
        quoted = !quoted;
    }
  }
  if (records.back() == std::vector<std::string>(1)) records.pop_back();
  if (anyOrder && !records.empty()) std::sort(records.begin() + 1, records.end());
  return records;
}

// "" when our CSV agrees with mdb-export's up to its known quirks, else the first difference.
std::string DiffWithMdbExport(const std::string& ours, const std::string& mdbExport, bool anyOrder) {
  const auto a = ParseCsv(ours, anyOrder), b = ParseCsv(mdbExport, anyOrder);
  if (a.size() != b.size())
    return "record count " + std::to_string(a.size()) + " vs " + std::to_string(b.size());
  for (std::size_t r = 0; r < a.size(); ++r) {
    if (a[r].size() != b[r].size()) return "field count of record " + std::to_string(r);
    for (std::size_t f = 0; f < a[r].size(); ++f) {
      if (!FieldsAgree(a[r][f], b[r][f]))
        return "record " + std::to_string(r) + ": " + a[r][f].substr(0, 80) + " vs " + b[r][f].substr(0, 80);
    }
  }
  return "";
}

}  // namespace

std::string RunCommand(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    ADD_FAILURE() << "cannot run " << command;
    return out;
  }
  char buf[4096];
  for (std::size_t n; (n = fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
  const int status = pclose(pipe);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command << " failed";
  return out;
}

std::vector<std::string> MdbTables(const std::string& path) {
  std::istringstream in(RunCommand("mdb-tables -S -1 " + Quote(path)));
  std::vector<std::string> names;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty()) names.push_back(line);
  }
  return names;
}

void ExpectOraclesAgree(const std::string& path, const std::string& table, bool anyOrder) {
  auto db = jet::Database::Open(jet::SystemFileSystem(), path);
  ASSERT_OK(db);
  auto def = (*db)->OpenTable(table);
  ASSERT_OK(def);
  std::ostringstream ours;
  ASSERT_OK(versedb::ExportCsv(**db, *def, ours));
  const std::string args = " " + Quote(path) + " " + Quote(table);
  const std::string reader =
      RunCommand("node " + Quote(std::string(LUMARET_ORACLE_DIR) + "/export.mjs") + args);
  EXPECT_EQ(ParseCsv(reader, anyOrder), ParseCsv(ours.str(), anyOrder)) << "mdb-reader differs on " << table;
  const std::string iso = "'%Y-%m-%d %H:%M:%S'";
  EXPECT_EQ(DiffWithMdbExport(ours.str(),
                              RunCommand("mdb-export -D " + iso + " -T " + iso + " -b hex" + args), anyOrder),
            "")
      << table;
}

}  // namespace support
