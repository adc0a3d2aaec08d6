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

jet::FileSystem& Files(bool readOnly) {
  static support::ReadOnlyFileSystem readOnlyFiles{jet::SystemFileSystem()};
  return readOnly ? static_cast<jet::FileSystem&>(readOnlyFiles) : jet::SystemFileSystem();
}

// The reminder, started on its first command; "next" clicks Next Verse.
struct Reminder {
  Reminder(const std::string& path, bool readOnly) : data1(Files(readOnly), path) {
    platform.files.files[reminder::test::kStorePath] = "store";
    platform.files.files[reminder::test::kIniPath] = " 0 \r\n 2880 \r\n 4800 \r\n 60 \r\n 1 \r\n";
    (void)form.Form_Initialize();
    (void)form.Form_Load();
  }
  reminder::test::FakePlatform platform;
  store::Data1 data1;
  reminder::Form1 form{platform.platform, data1};
};

// One step: 'e' the editor's commands and the start of its answer ("*" for any text);
// 'r' the reminder's command and the book it then shows; 's' the rows in the file.
struct Step {
  char who;
  std::string command, expect;
};

struct Scenario {
  const char* name;
  bool readOnly;
  std::vector<store::VerseRecord> rows;
  std::vector<Step> steps;
};

const store::VerseRecord kJohn{"John", "1", "1", "For God so loved", false};
const store::VerseRecord kPsalms{"Psalms", "1", "1", "The LORD", false};
const store::VerseRecord kBlank{"", "", "", "", false};
const store::VerseRecord kRomans{"Romans", "1", "1", "And we know", false};
constexpr char kTwo[] = "John 1:1 For God so loved, Psalms 1:1 The LORD";
constexpr char kThree[] = "John 1:1 For God so loved,  : , Romans 1:1 And we know";

const Scenario kScenarios[] = {
    // The editor writes a blank row by moving off it; the reminder's Next Verse deletes it;
    // the user comes back, types, is told, and Update saves the row again.
    {"ARowTheReminderRemovedIsSavedAgain",
     false,
     {kJohn, kPsalms},
     {{'e', "", "Record: 1 | John"},
      {'e', "add; first", "Record: 1"},
      {'s', "", std::string(kTwo) + ",  : "},
      {'r', "", "John"},
      {'r', "next", "Psalms"},
      {'r', "next", "John"},
      {'s', "", kTwo},
      {'e', "last; type 0 Micah; type 4 He hath shewed; first",
       "Record: 3 | Micah : He hath shewed #2 / *removed by another program* / ask Tovimar"},
      {'e', "update", "* #2 *ask"},
      {'s', "", std::string(kTwo) + ", Micah : He hath shewed"},
      {'r', "next", "Psalms"},
      {'r', "next", "John"},
      {'r', "next", "Psalms"},
      {'r', "next", "Micah"},
      {'e', "close", "closed"}}},
    // Edits that can never be written: closing asks; No keeps the text, Yes ends. The
    // reminder meanwhile steps over the blank row it cannot delete.
    {"EditsToAReadOnlyStoreAreGivenUpOnlyOnYes",
     true,
     {kJohn, kBlank, kRomans},
     {{'e', "type 0 Jonah", "Record: 1 | Jonah"},
      {'e', "close", "Record: 1 | Jonah * #2 *ask"},
      {'r', "", "John"},
      {'r', "next", "Romans"},
      {'r', "next", "John"},
      {'r', "next", "Romans"},
      {'e', "yes; close", "closed"},
      {'s', "", kThree}}},
};

class TwoProgramsTest : public testing::TestWithParam<Scenario> {
 protected:
  std::string Stored() {
    store::JetVerseTable table(jet::SystemFileSystem(), path_);
    auto rows = table.ReadAll();
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
  {
    store::JetVerseTable table(jet::SystemFileSystem(), path_);
    for (const auto& row : s.rows) ASSERT_OK(table.Insert(row));
  }
  store::JetVerseTable editorTable(Files(s.readOnly), path_);
  EditorUser editor(editorTable);
  std::optional<Reminder> reminder;
  for (const Step& step : s.steps) {
    SCOPED_TRACE(std::string(1, step.who) + " " + step.command);
    if (step.who == 'e') {
      editor.Do(step.command);
      EXPECT_TRUE(Matches(Answer(editor), step.expect)) << Answer(editor);
    } else if (step.who == 'r') {
      if (!reminder) reminder.emplace(path_, s.readOnly);
      if (step.command == "next") reminder->form.NewVerseCMD_Click();
      EXPECT_EQ(reminder->platform.window.verse.book, step.expect);
    } else {
      EXPECT_EQ(Stored(), step.expect);
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
