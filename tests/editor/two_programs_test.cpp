// The two programs on one store on disk: the editor's window logic over the real
// recordset and table, the reminder's window logic over the real cursor, each with a
// file handle of its own (the engine's locks belong to the handle, so two handles in one
// process meet as two processes do). The test plays the user of both, one command at a
// time, and checks that the editor ends when asked (and answered), that every row it
// acknowledged is in the file, that nothing typed goes without the user's answer, and
// that the file stays sound.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "editor/editor_user.h"
#include "jet/file.h"
#include "jet/integrity.h"
#include "jet/new_database.h"
#include "reminder/fake_platform.h"
#include "reminder/form1.h"
#include "reminder/reminder_fixture.h"
#include "store/data1.h"
#include "store/jet_verse_table.h"
#include "store/verse_schema.h"
#include "support/read_only_file_system.h"
#include "support/result_assert.h"
#include "support/temp_dir.h"

namespace editor::test {
namespace {

// The reminder, started on its first command, each program with a file handle of its own.
struct Reminder {
  Reminder(jet::FileSystem& files, const std::string& path) : data1(files, path) {
    platform.files.files[reminder::test::kStorePath] = "store";
    platform.files.files[reminder::test::kIniPath] = " 0 \r\n 2880 \r\n 4800 \r\n 60 \r\n 1 \r\n";
    (void)form.Form_Initialize();
    (void)form.Form_Load();
  }
  reminder::test::FakePlatform platform;
  store::Data1 data1;
  reminder::Form1 form{platform.platform, data1};
};

const store::VerseRecord kJohn{"John", "1", "1", "For God so loved", false};
const store::VerseRecord kPsalms{"Psalms", "1", "1", "The LORD", false};
const store::VerseRecord kRomans{"Romans", "1", "1", "And we know", false};
constexpr char kTwo[] = "John 1:1 For God so loved, Psalms 1:1 The LORD";

// Each step: "e" the editor's commands and the start of its answer ("*" for any text),
// "r" the reminder's command ("next" clicks Next Verse) and the book it then shows, "s"
// the rows in the file.
const struct Scenario {
  const char* name;
  bool readOnly;
  std::vector<store::VerseRecord> rows;
  std::vector<std::string> steps;  // "who command => expected"
} kScenarios[] = {
    // The editor writes a blank row by moving off it; the reminder's Next Verse deletes it;
    // the user comes back, types, is told, and Update saves the row again.
    {"ARowTheReminderRemovedIsSavedAgain",
     false,
     {kJohn, kPsalms},
     {"e => Record: 1 | John", "e add; first => Record: 1", std::string("s => ") + kTwo + ",  : ",
      "r => John", "r next => Psalms", "r next => John", std::string("s => ") + kTwo,
      "e last; type 0 Micah; type 4 He hath shewed; first => Record: 3 | Micah : He hath shewed #2 / "
      "*removed by "
      "another program* / ask Tovimar",
      "e update => * #2 *ask", std::string("s => ") + kTwo + ", Micah : He hath shewed", "r next => Psalms",
      "r next => John", "r next => Psalms", "r next => Micah", "e close => closed"}},
    // Edits that can never be written: closing asks; No keeps the text, Yes ends. The
    // reminder meanwhile steps over the blank row it cannot delete.
    {"EditsToAReadOnlyStoreAreGivenUpOnlyOnYes",
     true,
     {kJohn, {}, kRomans},
     {"e type 0 Jonah => Record: 1 | Jonah", "e close => Record: 1 | Jonah * #2 *ask", "r => John",
      "r next => Romans", "r next => John", "r next => Romans", "e yes; close => closed",
      "s => John 1:1 For God so loved,  : , Romans 1:1 And we know"}},
};

class TwoProgramsTest : public testing::TestWithParam<Scenario> {
 protected:
  std::string Stored() {
    auto rows = store::JetVerseTable(jet::SystemFileSystem(), path_).ReadAll();
    EXPECT_OK(rows);
    std::vector<store::VerseRecord> records;
    for (const auto& row : rows.ok() ? *rows : std::vector<store::StoredVerse>{})
      records.push_back(row.record);
    return Summary(records);
  }

  support::TempDir dir_;
  std::string path_ = dir_.File("verse97.mdb");
};

TEST_P(TwoProgramsTest, KeepsEveryRowAndEveryAnswer) {
  const Scenario& s = GetParam();
  auto schema = store::VerseTableSchema();
  ASSERT_OK(schema);
  ASSERT_OK(jet::CreateDatabase(jet::SystemFileSystem(), path_, *schema, 46000.5));
  for (const auto& row : s.rows) ASSERT_OK(store::JetVerseTable(jet::SystemFileSystem(), path_).Insert(row));
  support::ReadOnlyFileSystem readOnly{jet::SystemFileSystem()};
  jet::FileSystem& files = s.readOnly ? readOnly : jet::SystemFileSystem();
  store::JetVerseTable editorTable(files, path_);
  EditorUser editor(editorTable);
  std::optional<Reminder> reminder;
  for (const std::string& step : s.steps) {
    SCOPED_TRACE(step);
    const std::size_t arrow = step.find("=> ");
    const char who = step[0];
    const std::string command = step.substr(2, std::max<std::size_t>(arrow, 3) - 3),
                      expect = step.substr(arrow + 3);
    if (who == 'e') {
      editor.Do(command);
      EXPECT_TRUE(Matches(Answer(editor), expect)) << Answer(editor);
    } else if (who == 'r') {
      if (!reminder) reminder.emplace(files, path_);
      if (command == "next") reminder->form.NewVerseCMD_Click();
      EXPECT_EQ(reminder->platform.window.verse.book, expect);
    } else {
      EXPECT_EQ(Stored(), expect);
    }
  }
  auto findings = jet::CheckIntegrity(jet::SystemFileSystem(), path_);
  ASSERT_OK(findings);
  for (const auto& f : *findings) ADD_FAILURE() << "page " << f.page << ": " << f.text;
}

INSTANTIATE_TEST_SUITE_P(Scenarios, TwoProgramsTest, testing::ValuesIn(kScenarios),
                         [](const testing::TestParamInfo<Scenario>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace editor::test
