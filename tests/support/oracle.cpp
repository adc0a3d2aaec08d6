#include "support/oracle.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace support {
namespace {

std::string ShellQuote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

bool IsNumber(const std::string& s, double& v) {
  if (s.empty() || s[0] == '"') return false;
  char* end = nullptr;
  v = std::strtod(s.c_str(), &end);
  return end == s.c_str() + s.size();
}

bool FieldsAgree(const std::string& ours, const std::string& theirs) {
  if (ours == theirs) return true;
  double a = 0, b = 0;
  if (IsNumber(ours, a) && IsNumber(theirs, b)) {
    return std::fabs(a - b) <= 1e-6 * std::max(1.0, std::fabs(a));
  }
  if (ours == "\"\"" && theirs.empty()) return true;  // mdbtools prints empty text as null
  // mdbtools treats text as a C string too: it stops at a zero byte.
  if (std::size_t nul = ours.find('\0'); ours.size() >= 2 && ours.front() == '"' && nul != std::string::npos) {
    return theirs == ours.substr(0, nul) + "\"";
  }
  // mdbtools treats binary as a C string: the hex stops at the first zero byte.
  if (ours.size() >= 2 && ours.front() == '"' && ours.find_first_not_of("\"0123456789ABCDEF") == std::string::npos) {
    std::string hex = ours.substr(1, ours.size() - 2);
    std::size_t cut = hex.size();
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
      if (hex[i] == '0' && hex[i + 1] == '0') {
        cut = i;
        break;
      }
    }
    std::string truncated = cut == 0 ? "" : "\"" + hex.substr(0, cut) + "\"";
    return theirs == truncated;
  }
  return false;
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
  std::size_t n = 0;
  while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
  int status = pclose(pipe);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command << " failed";
  return out;
}

std::vector<std::string> MdbTables(const std::string& path) {
  std::istringstream in(RunCommand("mdb-tables -S -1 " + ShellQuote(path)));
  std::vector<std::string> names;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty()) names.push_back(line);
  }
  return names;
}

std::string MdbReaderCsv(const std::string& path, const std::string& table) {
  return RunCommand("node " + ShellQuote(std::string(LUMARET_ORACLE_DIR) + "/export.mjs") + " " + ShellQuote(path) +
                    " " + ShellQuote(table));
}

std::string MdbExportCsv(const std::string& path, const std::string& table) {
  return RunCommand("mdb-export -D '%Y-%m-%d %H:%M:%S' -T '%Y-%m-%d %H:%M:%S' -b hex " + ShellQuote(path) + " " +
                    ShellQuote(table));
}

std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
  std::vector<std::vector<std::string>> records;
  std::vector<std::string> record;
  std::string field;
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (quoted) {
      field += c;
      if (c == '"') {
        if (i + 1 < text.size() && text[i + 1] == '"') field += text[++i];
        else quoted = false;
      }
    } else if (c == '"') {
      quoted = true;
      field += c;
    } else if (c == ',') {
      record.push_back(field);
      field.clear();
    } else if (c == '\n') {
      record.push_back(field);
      field.clear();
      records.push_back(record);
      record.clear();
    } else {
      field += c;
    }
  }
  if (!field.empty() || !record.empty()) {
    record.push_back(field);
    records.push_back(record);
  }
  return records;
}

std::string DiffWithMdbExport(const std::string& ours, const std::string& mdbExport) {
  auto a = ParseCsv(ours);
  auto b = ParseCsv(mdbExport);
  if (a.size() != b.size()) {
    return "record count " + std::to_string(a.size()) + " vs " + std::to_string(b.size());
  }
  for (std::size_t r = 0; r < a.size(); ++r) {
    if (a[r].size() != b[r].size()) return "field count of record " + std::to_string(r);
    for (std::size_t f = 0; f < a[r].size(); ++f) {
      if (!FieldsAgree(a[r][f], b[r][f])) {
        return "record " + std::to_string(r) + " field " + std::to_string(f) + ": " + a[r][f].substr(0, 80) +
               " vs " + b[r][f].substr(0, 80);
      }
    }
  }
  return "";
}

}  // namespace support
