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

class StoreAsOthersSeeIt : public ::testing::Test {
 protected:
  void SetUp() override { Versedb({"create", path_}); }

  std::string Versedb(std::vector<std::string> args, int status = 0, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out, err;
    EXPECT_EQ(versedb::Run(args, in, out, err), status) << err.str();
    EXPECT_TRUE(status != 0 || err.str().empty()) << err.str();
    return out.str();
  }

  support::TempDir dir_;
  std::string path_ = dir_.File("verse97.mdb");
};

TEST_F(StoreAsOthersSeeIt, ANewStoreIsAJet3FileWithTheSystemTablesOfAnAccessMadeOne) {
  EXPECT_EQ(RunCommand("mdb-ver '" + path_ + "'"), "JET3\n");
  EXPECT_NE(RunCommand("mdb-prop '" + path_ + "' MSysDb").find("AccessVersion: 07.53"), std::string::npos);
  const auto tables = support::MdbTables(path_);
  for (const char* t : {"MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships", "versetbl"}) {
    EXPECT_NE(std::find(tables.begin(), tables.end(), t), tables.end()) << t;
    support::ExpectOraclesAgree(path_, t);
    const std::string schema = std::string("mdb-schema -T ") + t + " '";
    if (t[0] == 'M') {
      EXPECT_EQ(RunCommand(schema + path_ + "' access"),
                RunCommand(schema + support::SamplePath("size97.mdb") + "' access"));
    } else {
      EXPECT_NE(RunCommand(schema + path_ + "' access").find("[VerseTxt]\t\t\tMemo/Hyperlink"),
                std::string::npos);
    }
  }
}

TEST_F(StoreAsOthersSeeIt, TheShippedVersesReadBackInOrderAfterDeletesAndAdds) {
  std::ifstream file(std::string(LUMARET_SOURCE_DIR) + "/data/verses.txt");
  std::stringstream verses;
  verses << file.rdbuf();
  Versedb({"import", path_, "versetbl"}, 0, verses.str());
  // list prints one-chapter books as chapter 1; the shipped list writes them so already.
  EXPECT_EQ(Versedb({"list", path_}), verses.str());
  support::ExpectOraclesAgree(path_, "versetbl");
  for (const char* n : {"1", "50", "100"}) Versedb({"delete", path_, n});
  Versedb({"add", path_, "John", "11", "35", "Jesus wept."});
  const std::string ours = Versedb({"export", path_, "versetbl"});
  EXPECT_EQ(std::count(ours.begin(), ours.end(), '\n'), 1 + 157 - 3 + 1);
  support::ExpectOraclesAgree(path_, "versetbl");
  Versedb({"check", path_});
}

}  // namespace
}  // namespace versedb::test
