// The reminder's window logic over the fakes, driven as its shell drives it. Each case
// is a script of user actions and probes, and the log of what the user would notice.
#include "reminder/form1.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "fake_verse_cursor.h"
#include "jet/errors.h"
#include "platform_contract.h"
#include "reminder_fixture.h"

namespace reminder::test {
namespace {

constexpr char kMachineRun[] = "2147483650|software\\microsoft\\windows\\currentversion\\run";
constexpr char kUserRun[] = "2147483649|software\\microsoft\\windows\\currentversion\\run";
constexpr char kCommand[] = "C:\\Lumaret\\verse.exe";

// Rows "book/text" or "book/chapter/verses/text", separated by ';'; a number n stands
// for n rows "Book1/Text 1" ... as on a plain store.
std::vector<store::VerseRecord> Rows(const std::string& spec) {
  std::vector<store::VerseRecord> rows;
  if (!spec.empty() && std::isdigit(static_cast<unsigned char>(spec[0]))) {
    for (int k = 1; k <= std::stoi(spec); ++k)
      rows.push_back({"Book" + std::to_string(k), "1", "1", "Text", false});
    return rows;
  }
  std::stringstream all(spec);
  for (std::string row; std::getline(all, row, ';');) {
    std::vector<std::string> f;
    std::stringstream fields(row);
    for (std::string field; std::getline(fields, field, '/');) f.push_back(field);
    f.resize(f.size() < 3 ? 2 : 4);
    rows.push_back(f.size() == 2 ? store::VerseRecord{f[0], "1", "1", f[1], false}
                                 : store::VerseRecord{f[0], f[1], f[2], f[3], false});
  }
  return rows;
}

// A Form1 over the fakes with the store beside the program, and the script's words:
// menu items and buttons by name; start (logs End when the program ends), go (start,
// then a clear log), clr; m<message> the icon's mouse message; i<index> an interval
// item; t<n> ticks ten seconds apart, w<n> minutes of ticks; sleep<n> minutes without
// ticks then one tick; show ticks until the window shows and logs the time; at<hh:mm:ss>
// sets the clock; set-up words before start; probes ?... log what they read.
struct Reminder {
  Reminder(const char* ini, const std::string& rows) : cursor(Rows(rows)) {
    fake.files.files[kStorePath] = "store";
    if (ini != nullptr) fake.files.files[kIniPath] = ini;
    fake.window.onCloseRequest = [this] { return form.Form_QueryUnload(); };
  }

  void Tick() {
    fake.clock.Advance(Form1::kTimerMilliseconds);
    form.Timer1_Timer();
  }

  void Do(const std::string& w) {
    Log& log = fake.log;
    auto number = [&](std::size_t from) { return std::stoi(w.substr(from)); };
    auto code = [&](int value) { log.push_back("code:" + std::to_string(value)); };
    auto text = [](std::string bytes) {  // line ends as '|', the zero as "\\0"
      std::string shown;
      for (char c : bytes) shown += c == '\r' ? "" : c == '\n' ? "|" : c == '\0' ? "\\0" : std::string(1, c);
      return shown;
    };
    if (w == "start" || w == "go") {
      if (form.Form_Initialize() == StartupResult::kEnd || form.Form_Load() == StartupResult::kEnd) {
        log.push_back("End");
      } else if (w == "go") {
        log.clear(), fake.window.toolTips.clear(), fake.registry.calls.clear(), fake.pointer.changes.clear();
      }
    } else if (w == "clr")
      log.clear();
    else if (w == "min")
      form.MinimizeCMD_Click();
    else if (w == "next")
      form.NewVerseCMD_Click();
    else if (w == "copy")
      form.EditCopyMnu_Click();
    else if (w == "exit")
      form.FileExitMnu_Click();
    else if (w == "close")
      fake.window.RequestClose();
    else if (w == "help")
      form.HelpHelpMnu_Click();
    else if (w == "editor")
      form.DataEditorMnu_Click();
    else if (w == "about")
      form.HelpAboutMnu_Click();
    else if (w == "chime")
      form.HourlyChimeMNU_Click();
    else if (w == "auto")
      form.OptionsAutoStartMnu_Click();
    else if (w == "bar")
      form.TaskbarCreated();
    else if (w == "save")
      form.SaveINI();
    else if (w == "logoff")
      log.push_back(form.Form_QueryEndSession() ? "MayEnd" : "HoldsLogOff");
    else if (w == "ended" || w == "cancelled")
      form.Form_EndSession(w == "ended");
    else if (w == "set-1" || w == "set1")
      code(form.Module().SetAutoStart(w == "set1" ? 1 : -1));
    else if (w == "write")
      code(form.Module().WriteRegString(Registry::kLocalMachine, kRunKey, kRunValue, "x"));
    else if (w == "delete")
      code(form.Module().DeleteRegValue(Registry::kLocalMachine, kRunKey, kRunValue));
    else if (w == "show") {
      for (int k = 0; k < 8640 && !fake.window.visible; ++k) Tick();
      log.push_back(fake.window.visible ? "@" + fake.clock.TimeOfDay() : "@never");
    } else if (w.rfind("sleep", 0) == 0) {
      fake.clock.Advance(static_cast<std::uint64_t>(number(5)) * 60000);
      form.Timer1_Timer();
    } else if (w.rfind("at", 0) == 0)
      fake.clock.SetTime(number(2), number(5), number(8));
    else if (w[0] == 'm')
      form.Form_MouseMove(number(1));
    else if (w[0] == 'i')
      form.IntervalMnu_Click(static_cast<std::int16_t>(number(1)));
    else if (w[0] == 't' || w[0] == 'w') {
      for (int k = number(1) * (w[0] == 'w' ? 6 : 1); k > 0; --k) Tick();
    }
    // The world around the program.
    else if (w == "nostore")
      fake.files.files.erase(kStorePath);
    else if (w == "second")
      fake.instance.anotherRunning = true;
    else if (w == "readonly")
      cursor.readOnly = true;
    else if (w == "rofolder")
      fake.files.readOnlyFolders.insert("C:\\Lumaret");
    else if (w == "lock")
      fake.clipboard.locked = true;
    else if (w == "fs" || w == "nofs")
      fake.userState.fullScreen = w == "fs";
    else if (w == "restart")
      fake.notifyIcon.present = false;  // the shell restarted without the icon
    else if (w == "spaced")
      fake.program.folder = "C:\\Program Files\\Lumaret";
    else if (w == "left")
      fake.screen.monitors.push_back({-28800, -2000, 28800, 16200});
    else if (w == "root") {
      fake.program.folder = "D:\\";
      fake.files.files = {{"D:\\verse97.mdb", "store"}, {"D:\\verse.ini", fake.files.files[kIniPath]}};
    } else if (w.rfind("notready", 0) == 0)
      cursor.moveNotReady = number(8);
    else if (w.rfind("refuse", 0) == 0) {  // refuse<n>:<error>: the store fails to open n times
      cursor.refreshFailures = number(6);
      cursor.refreshError = jet::MakeError(std::stoi(w.substr(w.find(':') + 1)), "Reason");
    } else if (w == "hklm+" || w == "hkcu+") {
      fake.registry.values[std::string(w == "hklm+" ? kMachineRun : kUserRun) + "|Lumaret2"] =
          std::string(kCommand) + '\0';
    } else if (w == "hklm!" || w == "hkcu!") {
      fake.registry.readOnlyRoots.insert(w == "hklm!" ? Registry::kLocalMachine : Registry::kCurrentUser);
    } else if (w.rfind("regclose", 0) == 0)
      fake.registry.closeFailures = number(8);
    else if (w == "regset!" || w == "regcreate!")
      (w == "regset!" ? fake.registry.setError : fake.registry.createError) = 6;
    // Probes.
    else if (w == "?v")
      log.push_back("v:" + fake.window.verse.book + " " + fake.window.toolTips.back());
    else if (w == "?tips") {
      std::string all;
      for (const auto& tip : fake.window.toolTips) all += (all.empty() ? "" : " ") + tip.substr(6);
      log.push_back("tips:" + all);
    } else if (w == "?ini") {
      const auto ini = fake.files.files.find(kIniPath);
      log.push_back("ini:" + (ini == fake.files.files.end() ? "(none)" : text(ini->second)));
    } else if (w == "?db") {
      log.push_back("db:" + std::to_string(cursor.HasCurrent() ? cursor.Position() : -1) + "/" +
                    std::to_string(cursor.refreshCalls));
    } else if (w == "?rows") {
      std::string books;
      for (const auto& row : cursor.Rows()) books += "[" + row.book + "]";
      log.push_back("rows:" + books);
    } else if (w == "?n") {
      log.push_back("n:" + std::to_string(form.MinuteCounter()) + "/" + std::to_string(form.LastMinute()));
    } else if (w == "?c") {  // the minutes in force and what the menu shows
      const Choices& c = fake.window.choices;
      log.push_back("c:" + std::to_string(form.ReminderMinutes()) + "/" + std::to_string(c.interval) +
                    (c.chimes ? "/chimes" : "") + (c.autoStart ? "/auto" : ""));
    } else if (w == "?w") {
      log.push_back("w:" + std::to_string(fake.window.bounds.top) + "," +
                    std::to_string(fake.window.bounds.left));
    } else if (w == "?state") {
      log.push_back("state:" + std::to_string(form.State().ExitRequested) + "/" +
                    std::to_string(form.State().InTray) + (fake.notifyIcon.present ? "/icon" : "") +
                    (fake.window.visible ? "/shown" : "") + (fake.window.destroyed ? "/gone" : "") +
                    (fake.about.open ? "/about" : ""));
    } else if (w == "?clip")
      log.push_back("clip:" + fake.clipboard.text);
    else if (w == "?ptr") {
      std::string changes;
      for (bool busy : fake.pointer.changes) changes += busy ? "1" : "0";
      log.push_back("ptr:" + changes);
    } else if (w == "?ms")
      log.push_back("ms:" + std::to_string(fake.clock.milliseconds - 1000000));
    else if (w == "?run") {
      std::string run;
      for (const auto& [path, data] : fake.registry.values)
        run += path.substr(0, 10) + "=" + text(data) + ";";
      log.push_back("run:" + run);
    } else if (w == "?reg") {
      std::string calls;
      for (const auto& call : fake.registry.calls) calls += call + ";";
      log.push_back("reg:" + calls);
      fake.registry.calls.clear();
    } else
      FAIL() << "unknown word " << w;
  }

  // Runs `script`; returns the log, a run of one entry written "entry*n".
  std::string Run(const std::string& script) {
    std::stringstream words(script);
    for (std::string w; words >> w;) Do(w);
    std::string text;
    for (std::size_t k = 0; k < fake.log.size();) {
      std::size_t n = 1;
      while (k + n < fake.log.size() && fake.log[k + n] == fake.log[k]) ++n;
      text += (text.empty() ? "" : ", ") + fake.log[k] + (n > 1 ? "*" + std::to_string(n) : "");
      k += n;
    }
    if (text.find("End") == std::string::npos) {
      EXPECT_FALSE(fake.pointer.Busy()) << "the pointer stays busy";
    }
    if (script.find("regclose4") == std::string::npos) {
      EXPECT_TRUE(fake.registry.open.empty()) << "a key left open";
    }
    return text;
  }

  FakePlatform fake;
  FakeVerseCursor cursor;
  Form1 form{fake.platform, cursor};
};

struct Case {
  const char* name;
  const char* ini;  // nullptr: no settings file
  const char* rows;
  const char* script;
  const char* log;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class Form1Test : public ::testing::TestWithParam<Case> {};

TEST_P(Form1Test, LogsWhatTheUserWouldNotice) {
  const Case& c = GetParam();
  Reminder reminder(c.ini, c.rows);
  EXPECT_EQ(reminder.Run(c.script), c.log);
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info) { return info.param.name; }

constexpr char kIni[] = " 0 \r\n 2880 \r\n 4800 \r\n 60 \r\n 1 \r\n";
constexpr char kIni30[] = " 0 \r\n 2880 \r\n 4800 \r\n 30 \r\n 1 \r\n";
constexpr char kIni240[] = " 0 \r\n 2880 \r\n 4800 \r\n 240 \r\n 1 \r\n";

const Case kStartCases[] = {
    {"AMissingStoreEndsAtOnce", nullptr, "3", "nostore start ?state ?db ?ini ?reg",
     "cd C:\\Lumaret, Msg DATABASE MISSING!/1: Database Not Found!, End, state:-1/0, db:-1/0, ini:(none), "
     "reg:"},
    {"ASecondCopyBeepsAndEnds", " 3 \r\n 100 \r\n 200 \r\n 240 \r\n 1 \r\n", "5",
     "second start ?state ?db ?ini",
     "cd C:\\Lumaret, Beep, End, state:0/0, db:-1/0, ini: 3 | 100 | 200 | 240 | 1 |"},
    {"AStoreThatWillNotOpenEnds", " 1 \r\n", "3", "refuse1:3343 start ?state ?db ?ptr",
     "cd C:\\Lumaret, Msg Database error/2: FATAL ERROR 3343 - Reason  loading database, End, state:0/0, "
     "db:-1/1, ptr:10"},
    {"AStoreNotReadyIsOpenedAgain", kIni, "3", "refuse3:91 start ?db ?v",
     "cd C:\\Lumaret, DoEvents*4, Show, Focus, Topmost, db:0/4, v:Book1 Verse 1"},
    {"AStoreInUseIsOpenedAgain", kIni, "3", "refuse1:3045 start ?db",
     "cd C:\\Lumaret, DoEvents*2, Show, Focus, Topmost, db:0/2"},
    {"AStoreLockedByAUserIsOpenedAgain", kIni, "3", "refuse1:3260 start ?db",
     "cd C:\\Lumaret, DoEvents*2, Show, Focus, Topmost, db:0/2"},
    {"AStoreLockedForLongIsReportedAfterFiveSeconds", kIni, "3", "refuse1000000:3218 start ?ms",
     "cd C:\\Lumaret, DoEvents*50, Msg Database error/2: FATAL ERROR 3218 - Reason  loading database, End, "
     "ms:5000"},
    {"ShowsTheFirstRowOnTop", kIni, "3", "start ?v ?ptr ?state",
     "cd C:\\Lumaret, DoEvents, Show, Focus, Topmost, v:Book1 Verse 1, ptr:1100, state:0/0/shown"},
    {"AFirstRunCentresAndRegisters", nullptr, "5", "start ?w ?c ?run ?ini",
     "cd C:\\Lumaret, DoEvents, Show, Focus, Topmost, w:5265,10725, c:0/1/chimes/auto, "
     "run:2147483650=C:\\Lumaret\\verse.exe\\0;, ini:(none)"},
    {"TheCloseBoxHidesIntoTheNotificationArea", kIni, "5", "go close ?state",
     "RequestClose, Save verse.ini, NoTopmost, Hide, IconAdd, state:0/-1/icon"},
    {"FileExitEndsEverything", kIni, "5", "go min about clr exit ?state",
     "RequestClose, Save verse.ini, IconDelete, AboutClose, NoTopmost, Destroyed, state:-1/-1/gone"},
    {"LogOffLetsTheWindowClose", kIni, "5", "go logoff close ?state",
     "Save verse.ini, MayEnd, RequestClose, Save verse.ini, IconDelete, AboutClose, NoTopmost, Destroyed, "
     "state:0/0/gone"},
    {"ACancelledLogOffHidesOnCloseAgain", kIni, "5", "go logoff cancelled close ?state",
     "Save verse.ini, MayEnd, RequestClose, Save verse.ini, NoTopmost, Hide, IconAdd, state:0/-1/icon"},
    {"TheEndOfTheSessionRemovesTheIcon", kIni, "5", "go min clr logoff ended ?state",
     "Save verse.ini, MayEnd, IconDelete, state:0/-1"},
    {"HelpOpensTheHelpFile", kIni, "5", "go help ?ptr",
     "NoTopmost, Open .\\lumaret2.chm C:\\Lumaret 1, DoEvents, ptr:10"},
    {"TheDataEditorStartsEveryTime", kIni, "5", "go editor editor ?db",
     "NoTopmost, Open tovimar.exe C:\\Lumaret 1, NoTopmost, Open tovimar.exe C:\\Lumaret 1, db:0/1"},
    {"AboutShowsTheBox", kIni, "5", "go about", "AboutShow"},
};
INSTANTIATE_TEST_SUITE_P(Start, Form1Test, ::testing::ValuesIn(kStartCases), CaseName);

const Case kSettingsCases[] = {
    {"NegativeEdgesOnALeftMonitorStay", " 0 \r\n-300 \r\n-7000 \r\n 60 \r\n 1 \r\n", "5",
     "left go save ?ini ?w", "Save verse.ini, ini: 0 |-300 |-7000 | 60 | 1 |, w:-300,-7000"},
    {"MinusOneShowsNoRowUntilNextVerse", "-1 \r\n 3000 \r\n 4000 \r\n 240 \r\n 1 \r\n", "5",
     "start clr ?v next ?v", "v: Verse 0, Save verse.ini, v:Book1 Verse 1"},
    {"ACursorNotReadyIsMovedAgain", " 2 \r\n 3000 \r\n 4000 \r\n 60 \r\n 1 \r\n", "4", "notready2 start ?db",
     "cd C:\\Lumaret, DoEvents*3, Show, Focus, Topmost, db:2/1"},
    {"SaveWritesEveryValue", " 12 \r\n 2880 \r\n 4800 \r\n 60 \r\n 1 \r\n", "20", "go save ?ini",
     "Save verse.ini, ini: 12 | 2880 | 4800 | 60 | 1 |"},
    {"SaveWritesMinusOneWithoutARow", " 9 \r\n 2880 \r\n 4800 \r\n 30 \r\n 0 \r\n", "3", "go save ?ini",
     "Save verse.ini, ini:-1 | 2880 | 4800 | 30 | 0 |"},
    {"SaveInAReadOnlyFolderKeepsTheOldFile", " 1 \r\n 2880 \r\n 4800 \r\n 60 \r\n 1 \r\n", "5",
     "go rofolder next ?ini ?db",
     "Msg Error!/2: Error saving .ini data in C:\\Lumaret\r\nError #75 - Path/File access error, "
     "ini: 1 | 2880 | 4800 | 60 | 1 |, db:2/1"},
    {"SaveInADriveRoot", " 0 \r\n 10 \r\n 20 \r\n 60 \r\n 1 \r\n", "2", "root go save ?w",
     "Save verse.ini, w:10,20"},
};
INSTANTIATE_TEST_SUITE_P(Settings, Form1Test, ::testing::ValuesIn(kSettingsCases), CaseName);

const Case kVerseCases[] = {
    {"NextStepsOnAndSaves", kIni, "3", "go next ?v ?ini",
     "Save verse.ini, v:Book2 Verse 2, ini: 1 | 2880 | 4800 | 60 | 1 |"},
    {"NextWrapsToTheFirst", " 2 \r\n 2880 \r\n 4800 \r\n 60 \r\n 1 \r\n", "3", "go next ?tips ?rows ?db",
     "Save verse.ini, tips:0 1, rows:[Book1][Book2][Book3], db:0/1"},
    {"AnEmptyBookIsDeleted", kIni, "John/First;/Text;Luke/Third", "go next ?rows ?v ?db",
     "Save verse.ini, rows:[John][Luke], v:John Verse 1, db:0/1"},
    {"ABookOfSpacesIsDeleted", kIni, "John/First;   /Text;Luke/Third", "go next ?rows ?v ?db",
     "Save verse.ini, rows:[John][Luke], v:John Verse 1, db:0/1"},
    {"AnEmptyTextIsDeleted", kIni, "John/First;Mark/;Luke/Third", "go next ?rows ?v",
     "Save verse.ini, rows:[John][Luke], v:John Verse 1"},
    {"ATextOfSpacesIsDeleted", kIni, "John/First;Mark/    ;Luke/Third", "go next ?rows ?v",
     "Save verse.ini, rows:[John][Luke], v:John Verse 1"},
    {"LeadingSpacesAndNoChapterAreKept", kIni, "John/First;  Mark/  x;Luke///Third",
     "go next ?v next ?v ?rows",
     "Save verse.ini, v:  Mark Verse 2, Save verse.ini, v:Luke Verse 3, rows:[John][  Mark][Luke]"},
    {"TwoBlankRowsGoOnePerVisit", kIni, "John/First;/a;/b;Luke/Last", "go next ?rows next ?rows ?v next ?v",
     "Save verse.ini, rows:[John][][Luke], Save verse.ini, rows:[John][Luke], v:John Verse 1, Save "
     "verse.ini, v:Luke Verse 2"},
    {"OnAReadOnlyStoreBlankRowsAreSteppedOver", kIni, "John/First;/a;Mark/;Luke/Last",
     "go readonly next ?db next ?db next ?db ?rows",
     "Save verse.ini, db:3/1, Save verse.ini, db:0/1, Save verse.ini, db:3/1, rows:[John][][Mark][Luke]"},
    {"FromPastTheLastRowNextShowsTheFirst", " 7 \r\n 2880 \r\n 4800 \r\n 60 \r\n 1 \r\n", "3",
     "go ?db next ?v", "db:-1/1, Save verse.ini, v:Book1 Verse 1"},
    {"AnEmptyTableEndsTheClick", kIni, "", "start clr next ?db ?ini ?state",
     "Save verse.ini, db:-1/1, ini:-1 | 900 | 1200 | 0 | 1 |, state:0/0/shown"},
    {"DeletingTheOnlyRowEmptiesTheTable", "-1 \r\n 2880 \r\n 4800 \r\n 60 \r\n 1 \r\n", " /blank",
     "go next ?rows ?v ?ini", "Save verse.ini, rows:, v: Verse 0, ini:-1 | 2880 | 4800 | 60 | 1 |"},
    {"TheTooltipFollowsEveryMoveOfADelete", kIni, "John/First;Mark/Second;/blank", "go next next ?tips",
     "Save verse.ini*2, tips:2 3 0 1"},
    {"CopyTakesTheHeadingAndText", kIni, "John/3/16-17/For God so loved", "go copy ?clip",
     "clip:John 3:16-17\r\nFor God so loved"},
    {"CopyWithoutTextEndsWithTheLineBreak", kIni, "John/3/16/", "go copy ?clip", "clip:John 3:16\r\n"},
    {"CopyWithTheClipboardHeldSaysNothing", kIni, "1", "go lock copy ?clip", "clip:(previous)"},
};
INSTANTIATE_TEST_SUITE_P(Verse, Form1Test, ::testing::ValuesIn(kVerseCases), CaseName);

const Case kTimerCases[] = {
    {"TheFirstTickOfAFirstRunSetsThirtyMinutes", " 0 \r\n 2880 \r\n 4800 \r\n 0 \r\n 1 \r\n", "5",
     "at10:20:30 go t1 ?c ?n t1 ?n", "Save verse.ini, c:30/0/chimes/auto, n:0/0, n:1/20"},
    {"ThirtyMinutesCountChangesOfMinute", kIni30, "5", "at10:20:30 go t1 ?n min show ?n ?state",
     "n:1/20, NoTopmost, Hide, IconAdd, Beep, Restore, Show, IconDelete, Focus, Topmost, @10:49:00, n:0/49, "
     "state:0/0/shown"},
    {"OneHourIsSixtyChanges", kIni, "5", "at09:31:30 go min show min show ?c",
     "NoTopmost, Hide, IconAdd, Beep*2, Restore, Show, IconDelete, Focus, "
     "Topmost, @10:30:00, NoTopmost, Hide, IconAdd, Beep*2, Restore, Show, IconDelete, Focus, Topmost, "
     "@11:30:00, c:60/1/chimes/auto"},
    {"TheHourChimesShownOrHidden", kIni240, "5", "at10:58:30 go w3 min w60 ?state",
     "Beep, NoTopmost, Hide, IconAdd, Beep, state:0/-1/icon"},
    {"AReminderOnTheHourBeepsOnce", kIni30, "5", "at10:30:30 go min clr show",
     "Beep, Restore, Show, IconDelete, Focus, Topmost, @10:59:00"},
    {"AReminderOnTheHourBeepsTwice", kIni30, "5", "at10:31:30 go min clr show",
     "Beep*2, Restore, Show, IconDelete, Focus, Topmost, @11:00:00"},
    {"WithoutChimesNothingBeeps", kIni30, "5", "at10:31:30 go chime ?c min show chime ?c",
     "c:30/0/auto, NoTopmost, Hide, IconAdd, Restore, Show, IconDelete, Focus, Topmost, @11:00:00, "
     "c:30/0/chimes/auto"},
    {"AReminderDueWhileShownBringsTheWindowForward", kIni30, "5", "at10:05:30 go w30",
     "Restore, Show, IconDelete, Focus, Topmost"},
    {"AShorterIntervalChosenLateFiresAtOnce", kIni240, "5", "at10:05:30 go min w100 clr ?n i0 ?n t6 ?n",
     "n:101/45, Save verse.ini, n:101/45, Beep, Restore, Show, IconDelete, Focus, Topmost, n:0/46"},
    {"TheReminderShowsTheVerseLeftShowing", kIni30, "5", "at10:05:30 go next min clr show ?v",
     "Beep, Restore, Show, IconDelete, Focus, Topmost, @10:34:00, v:Book2 Verse 2"},
    {"EightHoursAcrossMidnight", " 0 \r\n 2880 \r\n 4800 \r\n 480 \r\n 1 \r\n", "5",
     "at20:00:30 go min clr show min w90",
     "Beep*9, Restore, Show, IconDelete, Focus, Topmost, @04:00:00, NoTopmost, Hide, IconAdd, Beep"},
    {"AReminderWaitsForAFullScreenProgram", kIni30, "5",
     "at10:31:30 go min fs clr t361 ?state nofs t1 ?n min show",
     "Beep, state:0/-1/icon, Beep, Restore, Show, IconDelete, Focus, Topmost, n:0/31, NoTopmost, Hide, "
     "IconAdd, Beep*2, Restore, Show, IconDelete, Focus, Topmost, @12:01:00"},
    {"MinutesAsleepCountUpToOneInterval", kIni, "5",
     "at22:10:30 go min w5 clr ?n sleep480 ?n min show min sleep20 ?state ?n",
     "n:6/15, Beep, Restore, Show, IconDelete, Focus, Topmost, n:0/15, NoTopmost, Hide, IconAdd, Beep*2, "
     "Restore, "
     "Show, IconDelete, Focus, Topmost, @07:15:00, NoTopmost, Hide, IconAdd, state:0/-1/icon, n:20/35"},
    {"EachIntervalItemSetsItsMinutes", kIni, "5", "go i0 ?c i1 ?c i2 ?c i3 ?c i4 ?c ?ini i7 ?c i-1 ?c",
     "Save verse.ini, c:30/0/chimes/auto, Save verse.ini, c:60/1/chimes/auto, Save verse.ini, "
     "c:240/2/chimes/auto, "
     "Save verse.ini, c:480/3/chimes/auto, Save verse.ini, c:999/4/chimes/auto, ini: 0 | 2880 | 4800 | 999 | "
     "1 |, "
     "Save verse.ini, c:30/0/chimes/auto, Save verse.ini, c:30/0/chimes/auto"},
    {"TicksWithinAMinuteCountOnce", kIni30, "5", "at10:20:00 go t5 ?n t1 ?n", "n:1/20, n:2/21"},
};
INSTANTIATE_TEST_SUITE_P(Timer, Form1Test, ::testing::ValuesIn(kTimerCases), CaseName);

const Case kTrayCases[] = {
    {"AmenHidesIntoTheNotificationArea", kIni, "5", "go min ?state",
     "NoTopmost, Hide, IconAdd, state:0/-1/icon"},
    {"ALeftPressOnTheIconShowsTheWindow", kIni, "5", "go min clr m513 ?state",
     "Restore, Show, IconDelete, Focus, Topmost, state:0/0/shown"},
    {"OtherIconEventsLeaveItHidden", kIni, "5", "go min clr m512 m514 m515 m516 m517 m518 m519 ?state",
     "state:0/-1/icon"},
    {"ADoubleClickShowsItOnce", kIni, "5", "go min clr m513 m514 m515 m514",
     "Restore, Show, IconDelete, Focus, Topmost"},
    {"MovesOverTheShownWindowDoNothing", kIni, "5", "go m0 m100 m512 m513 m7000", ""},
    {"ANewNotificationAreaGetsTheIconWhileHidden", kIni, "5", "go bar min restart bar ?state",
     "NoTopmost, Hide, IconAdd*2, state:0/-1/icon"},
    {"AmenUnderStartupOnlyEndsTheProgram", kIni, "5", "go i4 about clr min ?state",
     "AboutClose, RequestClose, Save verse.ini, IconDelete, AboutClose, NoTopmost, Destroyed, "
     "state:-1/0/gone"},
    {"AmenUnderStartupOnlyFromAShortFile", " 0 \r\n 2880 \r\n 4800 \r\n 999 \r\n", "5", "go ?c min ?state",
     "c:999/4/chimes/auto, AboutClose, RequestClose, Save verse.ini, IconDelete, AboutClose, NoTopmost, "
     "Destroyed, state:-1/0/gone"},
};
INSTANTIATE_TEST_SUITE_P(Tray, Form1Test, ::testing::ValuesIn(kTrayCases), CaseName);

// What LoadINI applies from each kind of file, up to its first bad line: the row, the
// window's edges (kept while on some monitor, else centred), the minutes and the menu.
const Case kLoadCases[] = {
    {"NoLine", "", "5", "?db ?w ?c", "db:0/1, w:900,1200, c:0/1/chimes/auto"},
    {"ThreeLines", " 2 \r\n 3000 \r\n 4000 \r\n", "5", "?db ?w ?c", "db:2/1, w:3000,4000, c:0/1/chimes/auto"},
    {"AutoStartOff", " 0 \r\n 3000 \r\n 4000 \r\n 45 \r\n 0 \r\n", "5", "?db ?w ?c",
     "db:0/1, w:3000,4000, c:45/0/chimes"},
    {"Overflow", " 1 \r\n 3000 \r\n 4000 \r\n 32768 \r\n 0 \r\n", "5", "?db ?w ?c",
     "Msg Lumaret/0: Error 6- Overflow loading .INI|db:1/1, w:3000,4000, c:0/1/chimes/auto"},
    {"TypeMismatch", " 0 \r\n top \r\n 4000 \r\n 60 \r\n 1 \r\n", "5", "?db ?w",
     "Msg Lumaret/0: Error 13- Type mismatch loading .INI|db:0/1, w:900,1200"},
    {"NoRows", " 3 \r\n 3000 \r\n 4000 \r\n 480 \r\n 0 \r\n", "0", "?db ?w",
     "Msg Lumaret/0: Error 3021- No current record. loading .INI|db:-1/1, w:900,1200"},
    {"MinusOne", "-1 \r\n 3000 \r\n 4000 \r\n 240 \r\n 1 \r\n", "5", "?db ?c",
     "db:-1/1, c:240/2/chimes/auto"},
    {"PastTheEnd", " 12 \r\n 3000 \r\n 4000 \r\n 480 \r\n 1 \r\n", "5", "?db ?c",
     "db:-1/1, c:480/3/chimes/auto"},
    {"PartlyOnTheScreen", " 0 \r\n-5000 \r\n-7000 \r\n 60 \r\n 1 \r\n", "5", "?w", "w:-5000,-7000"},
    {"TouchingTheLeftEdge", " 0 \r\n 3000 \r\n-7350 \r\n 60 \r\n 1 \r\n", "5", "?w", "w:5265,10725"},
    {"TouchingTheRightEdge", " 0 \r\n 3000 \r\n 28800 \r\n 60 \r\n 1 \r\n", "5", "?w", "w:5265,10725"},
    {"TouchingTheTopEdge", " 0 \r\n-5670 \r\n 4000 \r\n 60 \r\n 1 \r\n", "5", "?w", "w:5265,10725"},
    {"TouchingTheBottomEdge", " 0 \r\n 16200 \r\n 4000 \r\n 60 \r\n 1 \r\n", "5", "?w", "w:5265,10725"},
    {"FarLeft", " 0 \r\n 3000 \r\n-40000 \r\n 60 \r\n 1 \r\n", "5", "?w", "w:5265,10725"},
};

// Started with the file, the registry left alone (the file holds the choice); a
// message before '|' is the one start-up shows.
TEST(LoadIni, AppliesWhatTheFileHoldsUpToItsFirstBadLine) {
  for (const Case& c : kLoadCases) {
    SCOPED_TRACE(c.name);
    Reminder reminder(c.ini, c.rows);
    const std::string expected = c.log, message = expected.substr(0, expected.find('|') + 1);
    EXPECT_EQ(reminder.Run("start"),
              "cd C:\\Lumaret, DoEvents, " +
                  (message.empty() ? "" : message.substr(0, message.size() - 1) + ", ") +
                  "Show, Focus, Topmost");
    EXPECT_EQ(reminder.Run(std::string("clr ?run ") + c.script), "run:, " + expected.substr(message.size()));
  }
}

// Start with Windows turned over by its menu item, against a machine key and a user key
// that may refuse changes and may hold the value already.
struct AutoStartCase {
  const char* setup;    // on/off: the item's state before; hklm!/hkcu!: refuses; hklm+/hkcu+: holds
  const char* message;  // "" for none
  const char* after;    // m, u, mu or -: where the value is after
};
constexpr AutoStartCase kAutoStartCases[] = {
    {"on", "", "m"},
    {"on hkcu!", "", "m"},
    {"on hklm!", "", "u"},
    {"on hklm! hkcu!", "Error 1 setting registry autorun ...", "-"},
    {"on hkcu+", "", "m"},
    {"on hklm! hklm+", "", "m"},
    {"off hklm+ hkcu+", "", "-"},
    {"off hklm+", "", "-"},
    {"off hkcu+", "", "-"},
    {"off", "", "-"},
    {"off hklm! hklm+", "Error 2 setting registry autorun ...", "m"},
    {"off hklm! hklm+ hkcu+", "Error 2 setting registry autorun ...", "m"},
    {"off hklm! hkcu+", "", "-"},
    {"off hklm!", "", "-"},
    {"off hkcu! hkcu+", "Error 2 setting registry autorun ...", "u"},
    {"off hkcu! hklm+ hkcu+", "Error 2 setting registry autorun ...", "u"},
    {"off hkcu! hklm+", "", "-"},
    {"off hkcu!", "", "-"},
    {"off hklm! hkcu! hklm+ hkcu+", "Error 2 setting registry autorun ...", "mu"},
    {"off hklm! hkcu! hklm+", "Error 2 setting registry autorun ...", "m"},
    {"off hklm! hkcu! hkcu+", "Error 2 setting registry autorun ...", "u"},
    {"off hklm! hkcu!", "", "-"},
};

TEST(AutoStartMenu, TheRegistryTheMessageTheCheckMarkAndTheSavedSettingAgree) {
  for (const AutoStartCase& c : kAutoStartCases) {
    SCOPED_TRACE(c.setup);
    const bool on = c.setup[1] == 'n';
    Reminder reminder(on ? " 0 \r\n 2880 \r\n 4800 \r\n 60 \r\n 0 \r\n" : kIni, "5");
    auto& registry = reminder.fake.registry;
    registry.keys = {kMachineRun, kUserRun};  // both Run keys exist, as on every Windows
    const std::string log = reminder.Run(std::string(c.setup).substr(on ? 2 : 3) + " go auto ?c ?ini");
    const bool registered = *c.after != '-';
    const std::string message = *c.message ? std::string("Msg Lumaret/0: ") + c.message + ", " : "";
    EXPECT_EQ(log, message + "Save verse.ini, c:60/1/chimes" + (registered ? "/auto" : "") +
                       ", ini: 0 | 2880 | 4800 | 60 | " + (registered ? "1" : "0") + " |");
    const std::string after =
        std::string(registry.values.count(std::string(kMachineRun) + "|Lumaret2") ? "m" : "") +
        (registry.values.count(std::string(kUserRun) + "|Lumaret2") ? "u" : "");
    EXPECT_EQ(after.empty() ? "-" : after, c.after);
    for (const auto& [path, data] : registry.values) EXPECT_EQ(data, std::string(kCommand) + '\0') << path;
  }
}

const Case kRegistryCases[] = {
    {"AnyNonZeroValueIsOn", kIni, "5", "go set1 ?run", "code:0, run:2147483650=C:\\Lumaret\\verse.exe\\0;"},
    {"APathWithASpaceIsQuoted", kIni, "5", "go spaced set-1 ?run",
     "code:0, run:2147483650=\"C:\\Program Files\\Lumaret\\verse.exe\"\\0;"},
    {"AKeyThatCannotBeCreatedGivesOne", kIni, "5", "regcreate! go set-1 ?reg",
     "Msg Lumaret/0: Error 1 setting registry autorun ..., code:1, reg:Create HKLM;Open HKLM;Create HKCU;"},
    {"AFailedWriteGivesTwo", kIni, "5", "regset! go set-1 ?reg",
     "Msg Lumaret/0: Error 2 setting registry autorun ..., code:2, reg:Create HKLM;Set;Close;Open "
     "HKLM;Close;Create HKCU;Set;Close;"},
    {"FourFailedClosesGiveThree", kIni, "5", "regset! go regclose4 set-1 ?reg",
     "DoEvents*3, Msg Lumaret/0: Error 3 setting registry autorun ..., code:3, reg:Create "
     "HKLM;Set;Close;Close;Close;Close;"},
    {"FourFailedClosesAfterAWriteOrRemovalGiveThree", kIni, "5", "go regclose4 write regclose4 delete ?run",
     "DoEvents*3, code:3, DoEvents*3, code:3, run:"},
    {"AKeyClosedAtTheFourthAttemptIsSuccess", kIni, "5", "go regclose3 set-1 ?reg",
     "DoEvents*3, code:0, reg:Create HKLM;Set;Close;Close;Close;Close;Open HKCU;"},
};
INSTANTIATE_TEST_SUITE_P(Registry, Form1Test, ::testing::ValuesIn(kRegistryCases), CaseName);

TEST(FakePlatform, KeepsTheContractsOfTheRealServices) {
  FakePlatform fake;
  CheckRegistryContract(fake.registry, Registry::kCurrentUser, "Software\\Lumaret\\Contract");
  fake.files.folders.insert("C:\\Lumaret");
  CheckFileSystemContract(fake.files, "C:\\Lumaret");
  CheckClockContract(fake.clock);
}

// The icon record as the shell reads it: six little-endian fields, then the tip ended by
// one zero and filled with spaces; a long caption is cut so that its zero still fits.
TEST(TrayIcon, TheShellGetsTheWindowTheIconAndTheCaption) {
  Reminder reminder(kIni, "5");
  reminder.Run("go min");
  const auto& bytes = reminder.fake.notifyIcon.lastRecord;
  const std::string fields("\x58\0\0\0\xBC\x0A\x01\0\1\0\0\0\7\0\0\0\0\2\0\0\xEF\x0D\x02\0", 24);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), fields + "Lumaret" + '\0' + std::string(56, ' '));
  TrayIconRecord record;
  record.Fill(1, 2, std::string(70, 'x'));
  const auto cut = record.Bytes();
  EXPECT_EQ(std::string(cut.begin() + 24, cut.end()), std::string(63, 'x') + '\0');
}

}  // namespace
}  // namespace reminder::test
