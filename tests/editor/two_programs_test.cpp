// The two programs on one store on disk, each in a process of its own: the editor's
// window logic over the real recordset and table, the reminder's window logic over the
// real cursor. The test plays the user of both, one command at a time, and checks that
// the editor always ends when asked (and answered), that every row it acknowledged is
// in the file, that nothing typed goes without the user's answer, and that the file
// stays sound.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "editor/edit_frm.h"
#include "fake_edit_view.h"
#include "jet/file.h"
#include "jet/integrity.h"
#include "jet/new_database.h"
#include "reminder/fake_platform.h"
#include "reminder/form1.h"
#include "reminder/reminder_fixture.h"
#include "store/data1.h"
#include "store/jet_verse_table.h"
#include "store/verse_recordset.h"
#include "store/verse_schema.h"
#include "support/read_only_file_system.h"
#include "support/result_assert.h"
#include "support/temp_dir.h"
#include "support/verse_print.h"

namespace {

using store::VerseRecord;
constexpr int kReplyMs = 10000;

// A child process that answers each command line with one line.
class Child {
 public:
  using Serve = std::function<std::string(const std::string&)>;
  // `start` runs in the child: it builds the side's objects and returns how to serve
  // one command; a command it ends the process on gets no answer.
  explicit Child(const std::function<Serve()>& start) {
    int toChild[2], fromChild[2];
    if (pipe(toChild) != 0 || pipe(fromChild) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(toChild[1]);
      close(fromChild[0]);
      FILE* in = fdopen(toChild[0], "r");
      Serve serve = start();
      std::string first = serve("");
      (void)!write(fromChild[1], (first + "\n").data(), first.size() + 1);
      char* line = nullptr;
      std::size_t size = 0;
      ssize_t got;
      while ((got = getline(&line, &size, in)) > 0) {
        std::string reply = serve(std::string(line, static_cast<std::size_t>(got - 1))) + "\n";
        (void)!write(fromChild[1], reply.data(), reply.size());
      }
      _exit(0);
    }
    close(toChild[0]);
    close(fromChild[1]);
    out_ = toChild[1];
    in_ = fromChild[0];
    first_ = ReadLine();
  }
  ~Child() {
    if (pid_ > 0 && !ended_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) close(out_);
    if (in_ >= 0) close(in_);
  }

  const std::string& first() const { return first_; }
  // The answer to `command`; empty when the child ended or did not answer in time.
  std::string Send(const std::string& command) {
    const std::string line = command + "\n";
    if (write(out_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) return {};
    return ReadLine();
  }
  // Whether the process ended by itself, with exit code 0, within `ms`.
  bool EndsWithin(int ms) {
    for (int waited = 0; waited <= ms; waited += 10) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        ended_ = true;
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
      }
      usleep(10000);
    }
    return false;
  }

 private:
  std::string ReadLine() {
    std::string text;
    char c = 0;
    pollfd p{in_, POLLIN, 0};
    while (poll(&p, 1, kReplyMs) == 1 && read(in_, &c, 1) == 1 && c != '\n') text += c;
    return text;
  }

  pid_t pid_ = -1;
  int out_ = -1, in_ = -1;
  bool ended_ = false;
  std::string first_;
};

// What the editor's window shows after a command.
struct Shown {
  std::string caption, book, verseTxt;
  int messages = 0, questions = 0;
  std::string lastMessage;
};

Shown Parse(const std::string& reply) {
  Shown shown;
  std::istringstream in(reply);
  std::string messages, questions;
  std::getline(in, shown.caption, '\t');
  std::getline(in, shown.book, '\t');
  std::getline(in, shown.verseTxt, '\t');
  std::getline(in, messages, '\t');
  std::getline(in, questions, '\t');
  std::getline(in, shown.lastMessage, '\t');
  shown.messages = messages.empty() ? -1 : std::stoi(messages);
  shown.questions = questions.empty() ? -1 : std::stoi(questions);
  return shown;
}

// The editor: "type FIELD TEXT", "add", "update", "first", "next", "last", "answer yes|no",
// "close" (ends the process when the window may close).
Child::Serve StartEditor(const std::string& path, bool readOnly) {
  struct Editor {
    lumaret::test::ReadOnlyFileSystem readOnlyFs{jet::SystemFileSystem()};
    store::JetVerseTable table;
    store::VerseRecordset rs{table};
    editor::FakeEditView view;
    editor::FakeProgramVersion version{{1, 0, 12}};
    editor::EditFrm frm{view, rs, version};
    Editor(const std::string& path, bool readOnly)
        : table(readOnly ? static_cast<jet::FileSystem&>(readOnlyFs) : jet::SystemFileSystem(), path) {}
  };
  auto e = std::make_shared<Editor>(path, readOnly);
  e->frm.Form_Load();
  return [e](const std::string& command) -> std::string {
    if (command.rfind("type ", 0) == 0) {
      e->view.Type(command[5] - '0', command.substr(7));
    } else if (command == "add") {
      e->frm.cmdAdd_Click();
    } else if (command == "update") {
      e->frm.cmdUpdate_Click();
    } else if (command == "first" || command == "next" || command == "last") {
      e->frm.datPrimaryRS_Navigate(command == "first"  ? store::NavButton::kFirst
                                   : command == "next" ? store::NavButton::kNext
                                                       : store::NavButton::kLast);
    } else if (command == "answer yes" || command == "answer no") {
      e->view.answers.push_back(command == "answer yes");
    } else if (command == "close") {
      e->frm.FileExitMnu_Click();
      if (e->view.unloaded) {
        e->frm.Form_Unload();
        _exit(0);
      }
    }
    std::string last = e->view.messages.empty() ? "" : e->view.messages.back().text;
    for (char& c : last) c = c == '\t' || c == '\r' || c == '\n' ? ' ' : c;
    return e->view.caption() + "\t" + e->view.fields[editor::kBookField] + "\t" +
           e->view.fields[editor::kVerseTxtField] + "\t" + std::to_string(e->view.messages.size()) + "\t" +
           std::to_string(e->view.questions.size()) + "\t" + last;
  };
}

// The reminder: "next" clicks Next Verse; every answer is the book shown.
Child::Serve StartReminder(const std::string& path, bool readOnly) {
  using namespace reminder::testing;
  struct Reminder {
    FakePlatform platform;
    lumaret::test::ReadOnlyFileSystem readOnlyFs{jet::SystemFileSystem()};
    store::Data1 data1;
    reminder::Form1 form{platform.platform, data1};
    Reminder(const std::string& path, bool readOnly)
        : data1(readOnly ? static_cast<jet::FileSystem&>(readOnlyFs) : jet::SystemFileSystem(), path) {}
  };
  auto r = std::make_shared<Reminder>(path, readOnly);
  r->platform.files.files[kStorePath] = "store";
  r->platform.files.files[kIniPath] = " 0 \r\n 2880 \r\n 4800 \r\n 60 \r\n 1 \r\n";
  (void)r->form.Form_Initialize();
  (void)r->form.Form_Load();
  return [r](const std::string& command) -> std::string {
    if (command == "next") r->form.NewVerseCMD_Click();
    return r->platform.window.verse.book;
  };
}

VerseRecord Verse(std::string book, std::string text) {
  return {std::move(book), "1", "1", std::move(text), false};
}

class TwoProgramsTest : public testing::Test {
 protected:
  void MakeStore(const std::vector<VerseRecord>& rows) {
    path_ = dir_.File("verse97-" + std::to_string(++stores_) + ".mdb");  // one store per case
    auto schema = store::VerseTableSchema();
    ASSERT_OK(schema);
    ASSERT_OK(jet::CreateDatabase(jet::SystemFileSystem(), path_, *schema, 46000.5));
    store::JetVerseTable table(jet::SystemFileSystem(), path_);
    for (const auto& row : rows) ASSERT_OK(table.Insert(row));
  }
  std::vector<VerseRecord> Stored() {
    store::JetVerseTable table(jet::SystemFileSystem(), path_);
    auto rows = table.ReadAll();
    EXPECT_OK(rows);
    std::vector<VerseRecord> records;
    if (rows.ok()) {
      for (const auto& row : *rows) records.push_back(row.record);
    }
    return records;
  }
  void ExpectSound() {
    auto findings = jet::CheckIntegrity(jet::SystemFileSystem(), path_);
    ASSERT_OK(findings);
    for (const auto& f : *findings) ADD_FAILURE() << "page " << f.page << ": " << f.text;
  }

  lumaret::test::TempDir dir_;
  std::string path_;
  int stores_ = 0;
};

// The editor adds a row and moves off it before typing, so it is written blank; the
// reminder's Next Verse reaches it and deletes it; the user comes back and types.
TEST_F(TwoProgramsTest, ARowTheReminderRemovedIsSavedAgainOnceTheUserIsToldAndUpdates) {
  MakeStore({Verse("John", "For God so loved"), Verse("Psalms", "The LORD is my shepherd")});
  Child editor([&] { return StartEditor(path_, false); });
  ASSERT_EQ(Parse(editor.first()).caption, "Record: 1");
  ASSERT_EQ(Parse(editor.Send("add")).caption, "Record: 3");
  ASSERT_EQ(Parse(editor.Send("first")).caption, "Record: 1");
  ASSERT_EQ(Stored().size(), 3u) << "the blank row is written";

  Child reminder([&] { return StartReminder(path_, false); });
  ASSERT_EQ(reminder.first(), "John");
  EXPECT_EQ(reminder.Send("next"), "Psalms");
  EXPECT_EQ(reminder.Send("next"), "John") << "the blank row is deleted";
  ASSERT_EQ(Stored().size(), 2u);

  ASSERT_EQ(Parse(editor.Send("last")).caption, "Record: 3");
  editor.Send("type 0 Micah");
  editor.Send("type 4 He hath shewed thee");
  Shown refused = Parse(editor.Send("first"));  // the move writes the row: refused, then No
  EXPECT_EQ(refused.caption, "Record: 3");
  EXPECT_EQ(refused.messages, 1);
  EXPECT_NE(refused.lastMessage.find("removed by another program"), std::string::npos) << refused.lastMessage;
  EXPECT_EQ(refused.questions, 1);
  EXPECT_EQ(refused.book, "Micah");
  EXPECT_EQ(refused.verseTxt, "He hath shewed thee");

  EXPECT_EQ(Parse(editor.Send("update")).messages, 1) << "saved as a new row without a word";
  EXPECT_EQ(Stored(), (std::vector<VerseRecord>{Verse("John", "For God so loved"),
                                                Verse("Psalms", "The LORD is my shepherd"),
                                                {"Micah", "", "", "He hath shewed thee", false}}));
  // The reminder reads the table's rows afresh when it wraps to the first row.
  std::vector<std::string> shown;
  for (int i = 0; i < 4; ++i) shown.push_back(reminder.Send("next"));
  EXPECT_EQ(shown, (std::vector<std::string>{"Psalms", "John", "Psalms", "Micah"}));

  EXPECT_EQ(editor.Send("close"), "");
  EXPECT_TRUE(editor.EndsWithin(5000));
  ExpectSound();
}

// Another program changes the row the user is typing into: the user is told, and the
// next Update saves the typed column over the other change, keeping the rest of it.
TEST_F(TwoProgramsTest, ARowAnotherProgramChangedKeepsTheTypedTextAndTheOtherChange) {
  MakeStore({Verse("John", "For God so loved"), Verse("Psalms", "The LORD is my shepherd")});
  Child editor([&] { return StartEditor(path_, false); });
  editor.Send("type 4 For God so loved the world");
  {
    store::JetVerseTable other(jet::SystemFileSystem(), path_);
    auto rows = other.ReadAll();
    ASSERT_OK(rows);
    ASSERT_OK(other.Update((*rows)[0].id, (*rows)[0].record, {"John", "3", "16", "For God so loved", false}));
  }
  Shown refused = Parse(editor.Send("next"));
  EXPECT_EQ(refused.caption, "Record: 1");
  EXPECT_EQ(refused.questions, 1);
  EXPECT_EQ(refused.verseTxt, "For God so loved the world");
  EXPECT_EQ(Parse(editor.Send("next")).caption, "Record: 2") << "the second write saves it";
  EXPECT_EQ(Stored()[0], (VerseRecord{"John", "3", "16", "For God so loved the world", false}));
  EXPECT_EQ(editor.Send("close"), "");
  EXPECT_TRUE(editor.EndsWithin(5000));
  ExpectSound();
}

// Edits that can never be written: closing shows the error and asks; No keeps the
// editor running with the text, Yes ends it. Meanwhile the reminder, on the same store,
// steps over a blank row it cannot delete and still reaches the rows after it.
TEST_F(TwoProgramsTest, EditsThatCannotBeWrittenAreGivenUpOnlyWhenTheUserSaysSo) {
  struct Case {
    const char* what;
    bool readOnly;
    std::string typed;
  };
  const Case cases[] = {{"a store that cannot be written", true, "Jonah"},
                        {"a value no column takes", false, "\xD7\x99\xD7\x95\xD7\xA0\xD7\x94"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MakeStore({Verse("John", "For God so loved"), Verse("", ""), Verse("Romans", "And we know")});
    const std::vector<VerseRecord> before = Stored();
    Child editor([&] { return StartEditor(path_, c.readOnly); });
    editor.Send("type 0 " + c.typed);

    Shown stayed = Parse(editor.Send("close"));  // no answer given: No
    EXPECT_EQ(stayed.messages, 1);
    EXPECT_EQ(stayed.questions, 1);
    EXPECT_EQ(stayed.book, c.typed) << "the typed text is still there";
    EXPECT_FALSE(editor.EndsWithin(100));

    if (c.readOnly) {
      Child reminder([&] { return StartReminder(path_, true); });
      ASSERT_EQ(reminder.first(), "John");
      std::vector<std::string> shown;
      for (int i = 0; i < 3; ++i) shown.push_back(reminder.Send("next"));
      EXPECT_EQ(shown, (std::vector<std::string>{"Romans", "John", "Romans"}));
    }

    editor.Send("answer yes");
    EXPECT_EQ(editor.Send("close"), "");
    EXPECT_TRUE(editor.EndsWithin(5000));
    EXPECT_EQ(Stored(), before);
    ExpectSound();
  }
}

}  // namespace
