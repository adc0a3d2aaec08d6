// Stores made by versedb as mdbtools and mdb-reader see them: a new store has the system
// tables of an Access-made file, and the shipped verses read back the same after writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "support/oracle.h"
#include "support/samples.h"
#include "support/temp_dir.h"
#include "versedb/commands.h"

namespace versedb::test {
namespace {

using support::RunCommand;

std::string Versedb(std::vector<std::string> args, const std::string& input = "") {
  std::istringstream in(input);
  std::ostringstream out, err;
  EXPECT_EQ(versedb::Run(args, in, out, err), 0) << err.str();
  EXPECT_EQ(err.str(), "");
  return out.str();
}

TEST(StoreAsOthersSeeIt, ANewStoreHasTheSystemTablesOfAnAccessMadeOneAndTheShippedVersesReadBack) {
  support::TempDir dir;
  const std::string path = dir.File("verse97.mdb");
  Versedb({"create", path});
  EXPECT_EQ(RunCommand("mdb-ver '" + path + "'"), "JET3\n");
  EXPECT_NE(RunCommand("mdb-prop '" + path + "' MSysDb").find("AccessVersion: 07.53"), std::string::npos);
  const auto tables = support::MdbTables(path);
  for (const std::string t : {"MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships", "versetbl"}) {
    EXPECT_NE(std::find(tables.begin(), tables.end(), t), tables.end()) << t;
    support::ExpectOraclesAgree(path, t);
    const std::string schema = "mdb-schema -T " + t + " '";
    if (t[0] == 'M') {
      EXPECT_EQ(RunCommand(schema + path + "' access"),
                RunCommand(schema + support::SamplePath("size97.mdb") + "' access"));
    }
  }
  EXPECT_NE(RunCommand("mdb-schema -T versetbl '" + path + "' access").find("[VerseTxt]\t\t\tMemo/Hyperlink"),
            std::string::npos);
  EXPECT_EQ(Versedb({"tables", path}), "versetbl\n");
  EXPECT_EQ(Versedb({"list", path}), "");
  std::stringstream verses;
  verses << std::ifstream(std::string(LUMARET_SOURCE_DIR) + "/data/verses.txt").rdbuf();
  // An import may start with a byte order mark, and names the table in any case.
  EXPECT_EQ(Versedb({"import", path, "VERSETBL"}, "\xEF\xBB\xBF" + verses.str()), "imported 157 verses\n");
  // list prints one-chapter books as chapter 1; the shipped list writes them so already.
  EXPECT_EQ(Versedb({"list", path}), verses.str());
  std::vector<std::string> lines;
  for (std::string line; std::getline(verses, line);) lines.push_back(line + "\n");
  for (const int n : {1, 50, 100}) {  // by the place in the list as it is then
    Versedb({"delete", path, std::to_string(n)});
    lines.erase(lines.begin() + n - 1);
  }
  const std::string wept = "John 11:35 \u201CJesus\u201D\t\u2014 wept.";
  Versedb({"add", path, "John", "11", "35", wept.substr(11)});
  lines.push_back(wept + "\n");
  std::string listed;
  for (const auto& line : lines) listed += line;
  EXPECT_EQ(Versedb({"list", path}), listed);
  const std::string ours = Versedb({"export", path, "versetbl"});
  EXPECT_EQ(std::count(ours.begin(), ours.end(), '\n'), 1 + 157 - 3 + 1);
  support::ExpectOraclesAgree(path, "versetbl");
  EXPECT_EQ(Versedb({"check", path}), "no inconsistencies found\n");
}

}  // namespace
}  // namespace versedb::test
