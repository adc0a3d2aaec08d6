// The editor's recordset over both the fake table and the real one: moves, pending
// edits, writes and failures, each case a script of the user's and another program's
// steps with what the recordset shows after each.
#include "store/verse_recordset.h"

#include <gtest/gtest.h>

#include <sstream>

#include "jet/errors.h"
#include "store/store_worlds.h"

namespace store::test {
namespace {

const VerseRecord kJohn{"John", "3", "16", "God", true};
const VerseRecord kPsalm{"Psalm", "23", "1", "LORD", false};
const VerseRecord kRomans{"Romans", "8", "28", "All", true};
const std::string kTooLong(kBookLength + 1, 'x');

// One step and what follows it: the error number of a failure ("!3021 "), the position
// (1 for the first row) with "e" at the end and "b" before the beginning, the current
// book, "*" with edits pending, then what was notified meanwhile: "m" and the position
// of a completed move, "u", "a" or "d" for a row about to be updated, added or deleted,
// "e" and the number of a reported error.
const std::vector<VerseRecord> kRows = {kJohn, kPsalm, kRomans};
const std::string kStart = "John 3:16 God+, Psalm 23:1 LORD, Romans 8:28 All+";

struct Case {
  std::string name;
  std::string steps;   // "command=shows; ..."
  std::string stored;  // the books, chapters, verses and texts stored afterwards, "+" when read
  std::vector<VerseRecord> rows = kRows;
};

class VerseRecordsetTest : public testing::TestWithParam<Kind<VerseTable>> {
 protected:
  void Hook() {
    rs_->SetErrorHandler([this](const jet::Error& e) { events_ << " e" << e.number; });
    rs_->SetMoveCompleteHandler([this] { events_ << " m" << rs_->AbsolutePosition(); });
    rs_->SetWillChangeRecordHandler([this](ChangeReason r, int count) {
      events_ << " "
              << "aud"[static_cast<int>(r)];
      EXPECT_EQ(count, 1);
    });
  }

  // Commands: open, next, prev, first, last, add, delete, update (the batch), refresh,
  // close, cancel, nav< nav<< nav> nav>> (the bar's buttons), setN TEXT (column N;
  // LONG too long for it), unhook (every notification left unset); another program's:
  // other-verses N V, other-remove N, other-add, break (reads fail). Queries: row,
  // stored, count, said TEXT (whether the last failure said it).
  std::string Do(const std::string& step) {
    const std::size_t space = step.find(' ');
    const std::string command = step.substr(0, space), key = command.starts_with("set") ? "set" : command,
                      arg = space == std::string::npos ? "" : step.substr(space + 1);
    VerseRecordset& rs = *rs_;
    if (command == "row") return support::Summary(rs.Current());
    if (command == "stored") return support::Summary(world_->Stored());
    if (command == "count") return std::to_string(rs.RecordCount());
    if (command == "said") return said_.find(arg) != std::string::npos ? "yes" : said_;
    const std::map<std::string, std::function<jet::Status()>> commands = {
        {"open", [&] { return rs.Open(); }},
        {"next", [&] { return rs.MoveNext(); }},
        {"prev", [&] { return rs.MovePrevious(); }},
        {"first", [&] { return rs.MoveFirst(); }},
        {"last", [&] { return rs.MoveLast(); }},
        {"add", [&] { return rs.AddNew(); }},
        {"delete", [&] { return rs.Delete(); }},
        {"update", [&] { return rs.UpdateBatch(); }},
        {"refresh", [&] { return rs.Refresh(); }},
        {"close", [&] { return rs.Close(); }},
        {"nav<<", [&] { return rs.Navigate(NavButton::kFirst); }},
        {"nav<", [&] { return rs.Navigate(NavButton::kPrevious); }},
        {"nav>", [&] { return rs.Navigate(NavButton::kNext); }},
        {"nav>>", [&] { return rs.Navigate(NavButton::kLast); }},
        {"set", [&] { return rs.SetField(VerseColumn(command[3] - '0'), arg == "LONG" ? kTooLong : arg); }},
        {"cancel", [&] { return rs.CancelUpdate(), jet::Ok(); }},
        {"unhook",
         [&] {
           return rs.SetErrorHandler(nullptr), rs.SetMoveCompleteHandler(nullptr),
                  rs.SetWillChangeRecordHandler(nullptr), jet::Ok();
         }},
        {"other-verses",
         [&] {
           VerseRecord theirs = world_->Stored()[0];
           theirs.verses = arg.substr(2);
           return world_->ChangeElsewhere(0, theirs), jet::Ok();
         }},
        {"other-remove", [&] { return world_->RemoveElsewhere(std::stoul(arg)), jet::Ok(); }},
        {"other-add", [&] { return world_->AddElsewhere(kPsalm), jet::Ok(); }},
        {"break", [&] { return world_->BreakReads(), jet::Ok(); }},
    };
    events_.str("");
    EXPECT_TRUE(commands.contains(key)) << command;
    const jet::Status status = commands.contains(key) ? commands.at(key)() : jet::Ok();
    if (!status.ok()) said_ = status.error().description;
    EXPECT_TRUE(rs.HasCurrent() || rs.Current() == VerseRecord{}) << "without a current row no values show";
    return (status.ok() ? "" : "!" + std::to_string(status.error().number) + " ") +
           std::to_string(rs.AbsolutePosition()) + (rs.Eof() ? "e" : "") + (rs.Bof() ? "b" : "") +
           (rs.HasCurrent() ? " " + (rs.Current().book == kTooLong ? "LONG" : rs.Current().book) : "") +
           (rs.HasPendingChanges() ? "*" : "") + events_.str();
  }

  std::unique_ptr<World<VerseTable>> world_;
  std::unique_ptr<VerseRecordset> rs_;
  std::ostringstream events_;
  std::string said_;
};

std::vector<Case> Cases() {
  std::vector<Case> cases = {
      {"moves stop at the ends and the bar stays on rows",
       "open=1 John m1; next=2 Psalm m2; next=3 Romans m3; next=-3e m-3; next=!3021 -3e; prev=3 Romans m3; "
       "last=3 Romans m3; prev=2 Psalm m2; first=1 John m1; prev=-2b m-2; prev=!3021 -2b; next=1 John m1; "
       "nav<=1 John m-2 m1; nav>>=3 Romans m3; nav>=3 Romans m-3 m3; nav<=2 Psalm m2; nav<<=1 John m1; "
       "nav>=2 Psalm m2",
       kStart},
      {"a delete leaves a gap the next move goes on from",
       "open=1 John m1; prev=-2b m-2; delete=!3021 -2b; next=1 John m1; next=2 Psalm m2; delete=-1 d; "
       "next=2 Romans m2",
       "John 3:16 God+, Romans 8:28 All+"},
      {"a delete of the last row goes back from the gap",
       "open=1 John m1; last=3 Romans m3; delete=-1 d; prev=2 Psalm m2", "John 3:16 God+, Psalm 23:1 LORD"},
      {"a delete of the last row goes on to the end",
       "open=1 John m1; last=3 Romans m3; delete=-1 d; next=-3e m-3; last=2 Psalm m2",
       "John 3:16 God+, Psalm 23:1 LORD"},
      {"an empty table has both ends and nothing to move to",
       "open=-1eb m-1; nav<<=-1eb; nav<=-1eb; nav>=-1eb; nav>>=-1eb; last=!3021 -1eb; set0 Amos=!3021 -1eb",
       "",
       {}},
      {"the only row deleted",
       "open=1 John m1; delete=-1eb d; next=-1eb m-1; last=!3021 -1eb; count=0",
       "",
       {kJohn}},
      {"every notification may be left unset",
       "unhook=-1eb; open=1 John; add=4 *; delete=-1; first=1 John; set0 LONG=1 LONG*; close=!3163 1 LONG*",
       kStart},
      {"a failed open is reported", "break=-1eb; open=!3049 -1eb e3049; count=0", "-"},
      {"a failed refresh keeps what was shown",
       "open=1 John m1; next=2 Psalm m2; break=2 Psalm; refresh=!3049 2 Psalm; count=3", "-"},
      {"edits are written when the user leaves the row",
       "open=1 John m1; set0 Jude=1 Jude*; set0 John=1 John; set3 God so loved=1 John*; next=2 Psalm u m2; "
       "set0 Ps=2 Ps*; prev=1 John u m1; set1 4=1 John*; last=3 Romans u m3; set2 28-29=3 Romans*; "
       "first=1 John u m1; next=2 Ps m2; set2 1-2=2 Ps*; update=2 Ps u",
       "John 4:16 God so loved+, Ps 23:1-2 LORD, Romans 8:28-29 All+"},
      {"added rows are written when the user leaves them",
       "open=1 John m1; set1 1=1 John*; add=4 * u a m4; set0 Micah=4 Micah*; set3 He hath=4 Micah*; "
       "add=5 * u a m5; first=1 John u m1",
       "John 1:16 God+, Psalm 23:1 LORD, Romans 8:28 All+, Micah : He hath,  : "},
      {"cancel and deleting an unwritten row touch nothing stored",
       "open=1 John m1; set0 Jonah=1 Jonah*; cancel=1 John; add=4 * a m4; set0 Ruth=4 Ruth*; cancel=-1; "
       "count=3; prev=3 Romans m3; add=4 * a m4; set0 Ruth=4 Ruth*; delete=-1 d; count=3; prev=3 Romans m3",
       kStart},
      {"a row another program changed is refused once, then written",
       "open=1 John m1; set3 God so loved=1 John*; other-verses 0 16-17=1 John*; next=!3197 1 John* u; "
       "row=John 3:16-17 God so loved+; said update again=yes; update=1 John u; "
       "stored=John 3:16-17 God so loved+, Psalm 23:1 LORD, Romans 8:28 All+; other-verses 0 16=1 John; "
       "delete=!3197 1 John d; delete=-1 d",
       "Psalm 23:1 LORD, Romans 8:28 All+"},
      {"a delete of a removed row succeeds",
       "open=1 John m1; other-remove 0=1 John; delete=-1 d; next=1 Psalm m1",
       "Psalm 23:1 LORD, Romans 8:28 All+"},
      {"refresh writes, then reads afresh",
       "open=1 John m1; last=3 Romans m3; set1 9=3 Romans*; other-add=3 Romans*; refresh=1 John u m1; "
       "count=4",
       "John 3:16 God+, Psalm 23:1 LORD, Romans 9:28 All+, Psalm 23:1 LORD"},
  };
  // A write the file refuses refuses the step that caused it and keeps the typed row;
  // the data control's own actions also report it. Once the value fits, the step writes.
  const std::pair<std::string, std::string> refused[] = {{"next", "2 Psalm u m2"},    {"add", "4 * u a m4"},
                                                         {"refresh", "1 Jonah u m1"}, {"update", "1 Jonah u"},
                                                         {"nav>", "2 Psalm u m2"},    {"close", "1 Jonah u"}};
  for (const auto& [step, after] : refused) {
    const std::string reported = step == "nav>" || step == "close" ? " e3163" : "";
    cases.push_back({"a failed write",
                     "open=1 John m1; set0 LONG=1 LONG*; " + step + "=!3163 1 LONG* u" + reported +
                         "; count=3; set0 Jonah=1 Jonah*; " + step + "=" + after,
                     "Jonah 3:16 God+, Psalm 23:1 LORD, Romans 8:28 All+"});
  }
  // The row the user is editing was removed meanwhile: every way of writing it is refused
  // once, then saves the typed values as a new row.
  const std::pair<std::string, std::string> removed[] = {
      {"update", "2 Psalm u"}, {"prev", "1 John u m1"}, {"refresh", "1 John u m1"}, {"close", "2 Psalm u"}};
  for (const auto& [step, after] : removed) {
    cases.push_back({"a removed row",
                     "open=1 John m1; next=2 Psalm m2; set2 1-6=2 Psalm*; other-remove 1=2 Psalm*; " + step +
                         "=!3167 2 Psalm* u" + (step == "close" ? " e3167" : "") +
                         "; said as a new row=yes; row=Psalm 23:1-6 LORD; " + step + "=" + after,
                     "John 3:16 God+, Romans 8:28 All+, Psalm 23:1-6 LORD"});
  }
  return cases;
}

TEST_P(VerseRecordsetTest, ShowsAndStoresWhatTheScriptDid) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name + (": " + c.steps));
    world_ = GetParam().make(c.rows);
    rs_ = std::make_unique<VerseRecordset>(world_->thing());
    Hook();
    RunScript(c.steps, [this](const std::string& step) { return Do(step); });
    if (c.stored != "-") {
      EXPECT_EQ(support::Summary(world_->Stored()), c.stored);
      world_->ExpectSound();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(BothTables, VerseRecordsetTest, kTableKinds, testing::PrintToStringParamName());

}  // namespace
}  // namespace store::test
