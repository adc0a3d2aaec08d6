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
  std::stringstream verses;
  verses << std::ifstream(std::string(LUMARET_SOURCE_DIR) + "/data/verses.txt").rdbuf();
  Versedb({"import", path, "versetbl"}, verses.str());
  // list prints one-chapter books as chapter 1; the shipped list writes them so already.
  EXPECT_EQ(Versedb({"list", path}), verses.str());
  for (const char* n : {"1", "50", "100"}) Versedb({"delete", path, n});
  Versedb({"add", path, "John", "11", "35", "Jesus wept."});
  const std::string ours = Versedb({"export", path, "versetbl"});
  EXPECT_EQ(std::count(ours.begin(), ours.end(), '\n'), 1 + 157 - 3 + 1);
  support::ExpectOraclesAgree(path, "versetbl");
  Versedb({"check", path});
}

}  // namespace
}  // namespace versedb::test
