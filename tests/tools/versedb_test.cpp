// versedb: its reference parser (books, chapters and verse ranges); on in-memory files its
// refusals, and that every bad input leaves the store byte for byte as it was; and its
// commands at work on a store on disk, as mdbtools and mdb-reader see it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "jet/database.h"
#include "jet/file_memory.h"
#include "jet/header.h"
#include "jet/journal.h"
#include "support/oracle.h"
#include "support/samples.h"
#include "support/temp_dir.h"
#include "versedb/commands.h"
#include "versedb/csv_export.h"
#include "versedb/reference_parser.h"

namespace versedb::test {
namespace {

using namespace std::string_literals;

constexpr const char* kThree =
    "John 3:16 For God so loved the world\n"
    "1 Corinthians 13:4-7 Charity suffereth long, and is kind\n"
    "Jude 24 Now unto him that is able\n";

// What a line parses to, "book|chapter|verses|text", or "! " and why it is refused.
std::string Parsed(const std::string& line) {
  std::string why;
  auto v = ParseVerseLine(line, why);
  return v ? v->book + "|" + v->chapter + "|" + v->verses + "|" + v->text : "! " + why;
}

// Dates as the export writes them: the day and the time of day each from their own part,
// a time that rounds to midnight as the next day, and nothing for what no calendar has.
TEST(CsvExport, DatesAreTheCalendarsDayAndTime) {
  const std::pair<double, const char*> cases[] = {{0, "1899-12-30 00:00:00"},
                                                  {45000.5, "2023-03-15 12:00:00"},
                                                  {-1.25, "1899-12-29 06:00:00"},
                                                  {1.9999999999, "1900-01-01 00:00:00"},
                                                  {3e6, "10113-09-19 00:00:00"},
                                                  {3e6 + 1, ""},
                                                  {std::nan(""), ""}};
  for (const auto& [days, text] : cases) EXPECT_EQ(FormatDate(days), text) << days;
}

// The types no sample holds a value of, as mdb-export -b hex writes them: a GUID's first
// three groups are little-endian in the file.
TEST(CsvExport, GuidsBinaryAndCurrencyAreWrittenAsMdbExportWritesThem) {
  const jet::Guid guid{
      {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0xF0}};
  const std::pair<jet::Value, const char*> cases[] = {{guid, "\"{04030201-0605-0807-090A-0B0C0D0E0FF0}\""},
                                                      {jet::Bytes{0x00, 0xAB, 0x0F}, "\"00AB0F\""},
                                                      {jet::Currency{-123456}, "-12.3456"},
                                                      {jet::Value(), ""}};
  for (const auto& [value, field] : cases) EXPECT_EQ(CsvField(value), field);
}

TEST(ReferenceParser, ReadsReferencesAndRefusesWhatIsNone) {
  const std::pair<const char*, const char*> cases[] = {
      {"John 3:16 For God so loved the world,", "John|3|16|For God so loved the world,"},
      {"1 Corinthians 13:4-7 Charity suffereth long", "1 Corinthians|13|4-7|Charity suffereth long"},
      {"Song of Solomon 2:4 He brought me", "Song of Solomon|2|4|He brought me"},
      // "1 John" must not be read as "John" with a stray 1, nor "John" as "Jonah".
      {"1 John 4:19 We love him", "1 John|4|19|We love him"},
      {"Jonah 2:9 But I will", "Jonah|2|9|But I will"},
      {"  song   OF solomon 8:7   Many waters  ", "Song of Solomon|8|7|Many waters"},
      {"PSALMS 023:001 The LORD", "Psalms|23|1|The LORD"},
      // One-chapter books take a verse alone, or chapter 1.
      {"Obadiah 4 text", "Obadiah|1|4|text"},
      {"3 John 1:4-6 text", "3 John|1|4-6|text"},
      {"Jude 2:1 text", "no chapter"},
      {"John 16 text", "needs a chapter"},
      {"Johns 3:16 text", "no book"},
      {"4 John 1:1 text", "no book"},
      {"John text", "needs a chapter"},
      {"John 22:1 text", "no chapter"},
      {"John 0:1 text", "no chapter"},
      {"John 3:17-16 text", "out of order"},
      {"John 3:x text", "not a verse"},
      {"John 3:4- text", "not a verse"},
      {"John 3:16", "text is missing"},
      {"John", "missing"},
  };
  for (const auto& [line, expected] : cases) {
    const std::string got = Parsed(line);
    if (std::string(expected).find('|') != std::string::npos) {
      EXPECT_EQ(got, expected) << line;
    } else {
      EXPECT_EQ(got.rfind("! ", 0), 0u) << line << " -> " << got;
      EXPECT_NE(got.find(expected), std::string::npos) << line << " -> " << got;
    }
  }
}

struct Outcome {
  int status = 0;
  std::string out, err;
};

class Versedb : public ::testing::Test {
 protected:
  Outcome Cmd(std::vector<std::string> args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = versedb::Run(args, in, out, err, fs_);
    return {status, out.str(), err.str()};
  }
  // A new store holding three verses.
  void Make() {
    ASSERT_EQ(Cmd({"create", "v.mdb"}).status, 0);
    ASSERT_EQ(Cmd({"import", "v.mdb", "versetbl"}, kThree).status, 0);
  }
  // Runs a command that must fail with `status` and `message`, and change nothing.
  void ExpectRefused(std::vector<std::string> args, const std::string& input, const std::string& message,
                     int status = 1) {
    const auto before = fs_.Bytes("v.mdb");
    Outcome o = Cmd(args, input);
    EXPECT_EQ(o.status, status) << o.out;
    EXPECT_NE(o.err.find(message), std::string::npos) << o.err;
    EXPECT_EQ(fs_.Bytes("v.mdb"), before) << "the store changed";
  }
  jet::MemoryFileSystem fs_;
};

// A damaged store fails the check, which names the damage.
TEST_F(Versedb, CheckNamesTheDamage) {
  Make();
  fs_.Bytes("v.mdb")[2 * 2048 + 0x0C] = 7;  // the catalog's row count
  Outcome o = Cmd({"check", "v.mdb"});
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.out.find("page 2: the definition of table 'MSysObjects' counts 7 rows"), std::string::npos)
      << o.out;
}

// Every bad input fails with its error, naming the line of an import, and writes nothing;
// wrong arguments show the usage.
TEST_F(Versedb, BadInputIsRefusedWithItsErrorAndChangesNothing) {
  Make();
  struct Case {
    std::vector<std::string> args;
    std::string input;
    const char* message;
    int status = 1;  // 2: wrong arguments
  };
  const std::vector<std::string> import = {"import", "v.mdb", "versetbl"};
  const Case cases[] = {
      {{"create", "v.mdb"}, "", "error 3204"},
      {import, "John 3:17 For God sent\nJohn 3 no verse\nJohn 3:18 He\n", "line 2:"},
      // Blank and comment lines count; every bad line is reported with its number.
      {import, "# c\n\nJohn 3:17 ok\nJohn 99:1 no\nnonsense\n", "line 5:"},
      {import, "# c\nJohn 3:17 ok\nJohn 3:18 an arrow \xE2\x86\x92 here\n", "line 3: error 3169"},
      {import, "John 3:17 bad UTF-8 \xFF\n", "line 1: error 3169"},
      {import, "John 3:17 ok\nJohn 3:18 a NUL \0 here\n"s,
       "line 2: error 3001: The field 'VerseTxt' cannot hold the control character 0x00"},
      {{"import", "v.mdb", "MSysACEs"}, "John 3:17 ok\n", "error 3265"},
      {{"import", "v.mdb", "nosuch"}, "John 3:17 ok\n", "error 3078"},
      {{"add", "v.mdb", "Romans", "8", "28", "bell \x07"}, "", "control character 0x07"},
      {{"add", "v.mdb", "Romans", "8", std::string(51, '1'), "text"}, "", "error 3163"},
      {{"add", "v.mdb", "Rom\xE2\x86\x92", "8", "28", "text"}, "", "error 3169"},
      {{"add", "none.mdb", "Romans", "8", "28", "text"}, "", "error 3024"},
      {{"delete", "v.mdb", "4"}, "", "error 3021"},
      {{"delete", "v.mdb", "0"}, "", "error 3001"},
      {{"delete", "v.mdb", "x2"}, "", "error 3001"},
      {{}, "", "usage: versedb", 2},
      {{"create"}, "", "usage: versedb", 2},
      {{"add", "v.mdb", "John"}, "", "usage: versedb", 2},
      {{"schema", "v.mdb"}, "", "usage: versedb", 2},
  };
  for (const Case& c : cases) ExpectRefused(c.args, c.input, c.message, c.status);
}

// A stream that fails as a full disk or a broken pipe does.
struct FailingBuffer : std::streambuf {
  int overflow(int) override { return traits_type::eof(); }
  int underflow() override { throw std::ios_base::failure("read error"); }
};

TEST_F(Versedb, OutputThatCannotBeWrittenAndInputThatCannotBeReadAreFailures) {
  Make();
  FailingBuffer failing;
  std::ostream full(&failing);
  std::istream broken(&failing);
  std::istringstream noInput;
  std::ostringstream out, err;
  const std::vector<std::vector<std::string>> printers = {
      {"list", "v.mdb"}, {"tables", "v.mdb"}, {"export", "v.mdb", "versetbl"}};
  for (const auto& args : printers) EXPECT_EQ(versedb::Run(args, noInput, full, err, fs_), 1) << args[0];
  EXPECT_NE(err.str().find("error 3043: the output could not be written"), std::string::npos) << err.str();
  const auto before = fs_.Bytes("v.mdb");
  EXPECT_EQ(versedb::Run({"import", "v.mdb", "versetbl"}, broken, out, err, fs_), 1);
  EXPECT_NE(err.str().find("the input could not be read to its end"), std::string::npos) << err.str();
  EXPECT_EQ(fs_.Bytes("v.mdb"), before);
}

// A crash left a journal of store a.mdb; the user then made a new v.mdb and moved
// the journal beside it (or restored v.mdb from a copy). It is set aside, not applied.
TEST_F(Versedb, AJournalOfAnotherStoreIsSetAsideNotApplied) {
  ASSERT_EQ(Cmd({"create", "a.mdb"}).status, 0);
  const auto a = fs_.Bytes("a.mdb");
  jet::JournalImage image;  // as if the last write to a.mdb had filled page 3
  image.originalSize = image.newSize = a.size();
  image.pages[3] = jet::Bytes(2048, 0);
  image.written[3] = jet::HashSectors(std::span(a).subspan(3 * 2048, 2048));
  const auto journal = jet::EncodeJournal(image);
  fs_.SetBytes("v.mdb-journal", journal);
  EXPECT_NE(Cmd({"create", "v.mdb"}).err.find("error 3204: A journal 'v.mdb-journal' lies where"),
            std::string::npos);
  EXPECT_FALSE(*fs_.Exists("v.mdb"));
  ASSERT_TRUE(fs_.Remove("v.mdb-journal").ok());
  Make();
  const std::string listed = Cmd({"list", "v.mdb"}).out;
  fs_.SetBytes("v.mdb-journal", journal);
  EXPECT_EQ(Cmd({"list", "v.mdb"}).out, listed);  // a reader ignores it
  Outcome o = Cmd({"delete", "v.mdb", "1"});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_NE(o.err.find("kept as 'v.mdb-journal-foreign'"), std::string::npos) << o.err;
  EXPECT_EQ(fs_.Bytes("v.mdb-journal-foreign"), journal);
  EXPECT_FALSE(*fs_.Exists("v.mdb-journal"));
  EXPECT_EQ(Cmd({"check", "v.mdb"}).status, 0);
  // Beside its own store the same journal is applied, not set aside.
  fs_.SetBytes("a.mdb-journal", journal);
  (void)Cmd({"add", "a.mdb", "Genesis", "1", "1", "In the beginning"});
  EXPECT_FALSE(*fs_.Exists("a.mdb-journal") || *fs_.Exists("a.mdb-journal-foreign"));
}

// Access keeps "v.ldb" open beside a store it has open and ignores our locks; text is
// written as Windows-1252. Either store is read but not written.
TEST_F(Versedb, AStoreAnotherProgramHasOpenOrInAnotherCodePageIsReadButNotWritten) {
  Make();
  const std::vector<std::string> add = {"add", "v.mdb", "Romans", "8", "28", "And we know"};
  auto access = fs_.Open("v.ldb", jet::OpenMode::kCreate);
  ASSERT_TRUE(access.ok() && (*access)->TryLock(0, 1, jet::LockKind::kExclusive).ok());
  ExpectRefused(
      add, "",
      "error 3045: Couldn't update 'v.mdb'; it is in use by another program (its lock file 'v.ldb' is open)");
  EXPECT_EQ(Cmd({"list", "v.mdb"}).status, 0);
  access->reset();  // a lock file left behind by a crash holds nothing
  EXPECT_EQ(Cmd(add).status, 0);
  const std::span page0 = std::span(fs_.Bytes("v.mdb")).first(2048);
  jet::ToggleHeaderMask(page0);
  page0[0x3C] = 0xE3;  // 1251, Cyrillic
  jet::ToggleHeaderMask(page0);
  ExpectRefused(add, "", "error 3251: 'v.mdb' uses code page 1251");
  EXPECT_EQ(Cmd({"list", "v.mdb"}).status, 0);
}

// Runs a command on the disk that must succeed, and returns what it printed.
std::string OnDisk(std::vector<std::string> args, const std::string& input = "") {
  std::istringstream in(input);
  std::ostringstream out, err;
  EXPECT_EQ(versedb::Run(args, in, out, err), 0) << err.str();
  EXPECT_EQ(err.str(), "");
  return out.str();
}

TEST(StoreAsOthersSeeIt, ANewStoreHasTheSystemTablesOfAnAccessMadeOneAndTheShippedVersesReadBack) {
  support::TempDir dir;
  const std::string path = dir.File("verse97.mdb");
  OnDisk({"create", path});
  EXPECT_EQ(support::RunCommand("mdb-ver '" + path + "'"), "JET3\n");
  EXPECT_NE(support::RunCommand("mdb-prop '" + path + "' MSysDb").find("AccessVersion: 07.53"),
            std::string::npos);
  for (const std::string t : {"MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships", "versetbl"}) {
    support::ExpectOraclesAgree(path, t);
    const std::string schema = "mdb-schema -T " + t + " '";
    if (t[0] == 'M') {
      EXPECT_EQ(support::RunCommand(schema + path + "' access"),
                support::RunCommand(schema + support::SamplePath("size97.mdb") + "' access"));
    }
  }
  EXPECT_NE(support::RunCommand("mdb-schema -T versetbl '" + path + "' access")
                .find("[VerseTxt]\t\t\tMemo/Hyperlink"),
            std::string::npos);
  EXPECT_EQ(OnDisk({"tables", path}), "versetbl\n");
  EXPECT_EQ(OnDisk({"list", path}), "");
  std::stringstream verses;
  verses << std::ifstream(std::string(LUMARET_SOURCE_DIR) + "/data/verses.txt").rdbuf();
  // An import may start with a byte order mark, and names the table in any case.
  EXPECT_EQ(OnDisk({"import", path, "VERSETBL"}, "\xEF\xBB\xBF" + verses.str()), "imported 157 verses\n");
  // list prints one-chapter books as chapter 1; the shipped list writes them so already.
  EXPECT_EQ(OnDisk({"list", path}), verses.str());
  std::vector<std::string> lines;
  for (std::string line; std::getline(verses, line);) lines.push_back(line + "\n");
  for (const int n : {1, 50, 100}) {  // by the place in the list as it is then
    OnDisk({"delete", path, std::to_string(n)});
    lines.erase(lines.begin() + n - 1);
  }
  const std::string wept = "John 11:35 \u201CJesus\u201D\t\u2014 wept.";
  OnDisk({"add", path, "John", "11", "35", wept.substr(11)});
  lines.push_back(wept + "\n");
  std::string listed;
  for (const auto& line : lines) listed += line;
  EXPECT_EQ(OnDisk({"list", path}), listed);
  const std::string ours = OnDisk({"export", path, "versetbl"});
  EXPECT_EQ(std::count(ours.begin(), ours.end(), '\n'), 1 + 157 - 3 + 1);
  support::ExpectOraclesAgree(path, "versetbl");
  EXPECT_EQ(OnDisk({"check", path}), "no inconsistencies found\n");
}

}  // namespace
}  // namespace versedb::test
