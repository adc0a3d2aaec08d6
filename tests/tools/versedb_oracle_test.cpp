// Stores made by versedb as mdbtools and mdb-reader see them: a new store has the
// system tables of an Access-made file, and the shipped verses read back the same.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/oracle.h"
#include "support/samples.h"
#include "support/temp_dir.h"
#include "versedb/commands.h"

namespace versedb::test {
namespace {

using support::RunCommand;

std::string Quote(const std::string& s) { return "'" + s + "'"; }

int Versedb(std::vector<std::string> args, const std::string& input = "", std::string* out = nullptr) {
  std::istringstream in(input);
  std::ostringstream o, e;
  int status = versedb::Run(args, in, o, e);
  if (out != nullptr) *out = o.str();
  EXPECT_TRUE(e.str().empty() || status != 0) << e.str();
  return status;
}

std::string ShippedVerses() {
  std::ifstream in(std::string(LUMARET_SOURCE_DIR) + "/data/verses.txt");
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class NewStoreAsOthersSeeIt : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(Versedb({"create", path_}), 0); }
  support::TempDir dir_;
  std::string path_ = dir_.File("verse97.mdb");
};

TEST_F(NewStoreAsOthersSeeIt, IsAJet3FileListingTheVerseTableAndTheJetTables) {
  EXPECT_EQ(RunCommand("mdb-ver " + Quote(path_)), "JET3\n");
  auto tables = support::MdbTables(path_);
  for (const char* t : {"MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships", "versetbl"}) {
    EXPECT_NE(std::find(tables.begin(), tables.end(), t), tables.end()) << t;
  }
  EXPECT_NE(RunCommand("mdb-prop " + Quote(path_) + " MSysDb").find("AccessVersion: 07.53"), std::string::npos);
}

TEST_F(NewStoreAsOthersSeeIt, SystemTableSchemasEqualThoseOfAnAccessMadeFile) {
  const std::string sample = support::SamplePath("size97.mdb");
  for (const char* t : {"MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships"}) {
    const std::string args = std::string(" -T ") + t + " ";
    EXPECT_EQ(RunCommand("mdb-schema" + args + Quote(path_) + " access"), RunCommand("mdb-schema" + args + Quote(sample) + " access"))
        << t;
  }
  EXPECT_NE(RunCommand("mdb-schema -T versetbl " + Quote(path_) + " access").find("[VerseTxt]\t\t\tMemo/Hyperlink"),
            std::string::npos);
}

TEST_F(NewStoreAsOthersSeeIt, EveryTableReadsTheSameInBothReaders) {
  for (const char* t : {"MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships", "versetbl"}) {
    std::string ours;
    ASSERT_EQ(Versedb({"export", path_, t}, "", &ours), 0);
    EXPECT_EQ(support::MdbReaderCsv(path_, t), ours) << t;
    EXPECT_EQ(support::DiffWithMdbExport(ours, support::MdbExportCsv(path_, t)), "") << t;
  }
}

TEST_F(NewStoreAsOthersSeeIt, TheShippedVersesReadBackInOrderInBothReaders) {
  const std::string verses = ShippedVerses();
  ASSERT_EQ(Versedb({"import", path_, "versetbl"}, verses), 0);
  std::string listed, ours;
  ASSERT_EQ(Versedb({"list", path_}, "", &listed), 0);
  // list prints one-chapter books as chapter 1; the shipped list writes them so already.
  EXPECT_EQ(listed, verses);
  ASSERT_EQ(Versedb({"export", path_, "versetbl"}, "", &ours), 0);
  EXPECT_EQ(support::MdbReaderCsv(path_, "versetbl"), ours);
  EXPECT_EQ(support::DiffWithMdbExport(ours, support::MdbExportCsv(path_, "versetbl")), "");
  EXPECT_EQ(Versedb({"check", path_}), 0);
}

TEST_F(NewStoreAsOthersSeeIt, RowsSurviveDeletesAndAddsInBothReaders) {
  ASSERT_EQ(Versedb({"import", path_, "versetbl"}, ShippedVerses()), 0);
  for (const char* n : {"1", "50", "100"}) ASSERT_EQ(Versedb({"delete", path_, n}), 0);
  ASSERT_EQ(Versedb({"add", path_, "John", "11", "35", "Jesus wept."}), 0);
  std::string ours;
  ASSERT_EQ(Versedb({"export", path_, "versetbl"}, "", &ours), 0);
  EXPECT_EQ(std::count(ours.begin(), ours.end(), '\n'), 1 + 157 - 3 + 1);
  EXPECT_EQ(support::MdbReaderCsv(path_, "versetbl"), ours);
  EXPECT_EQ(support::DiffWithMdbExport(ours, support::MdbExportCsv(path_, "versetbl")), "");
  EXPECT_EQ(Versedb({"check", path_}), 0);
}

}  // namespace
}  // namespace versedb::test
