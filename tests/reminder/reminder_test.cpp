// The reminder's logic over the fakes, driven as its shell drives it. Each window case is a
// script of user actions and probes, and the log of what the user would notice.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "fake_verse_cursor.h"
#include "platform_contract.h"
#include "reminder/about_frm.h"
#include "reminder/form1.h"
#include "reminder/settings_file.h"

namespace reminder::test {
namespace {

// The program, its store and its settings file in one folder.
constexpr char kRun[] = "|software\\microsoft\\windows\\currentversion\\run",
               kExe[] = "C:\\Lumaret\\verse.exe", kIniPath[] = "C:\\Lumaret\\verse.ini",
               kStorePath[] = "C:\\Lumaret\\verse97.mdb";

// Rows "book/text" or "book/chapter/verses/text" separated by ';', '_' for a space; a
// number n stands for n rows Book1... as on a plain store.
std::vector<store::VerseRecord> Rows(std::string text) {
  std::vector<store::VerseRecord> rows;
  std::replace(text.begin(), text.end(), '_', ' ');
  const bool numbered = std::isdigit(static_cast<unsigned char>(text[0]));
  for (int k = 1; numbered && k <= std::stoi(text); ++k)
    rows.push_back({"Book" + std::to_string(k), "1", "1", "Text"});
  std::stringstream all(numbered ? "" : text);
  for (std::string row; std::getline(all, row, ';');) {
    std::vector<std::string> f;
    std::stringstream fields(row);
    for (std::string field; std::getline(fields, field, '/');) f.push_back(field);
    if (f.size() < 3) f.insert(f.begin() + 1, {"1", "1"});
    f.resize(4);
    rows.push_back({f[0], f[1], f[2], f[3], false});
  }
  return rows;
}

// The About box's window: its Timer1 fires once its time has passed; it also gives the
// program's version, 2.2.0.108, or none.
struct FakeView : AboutView, VersionSource {
  explicit FakeView(Log& to) : log(to) {}
  bool Load() override { return log.push_back(noLoad ? "Load failed" : "Load"), !noLoad; }
  void Unload() override { log.push_back("Unload"), due.reset(); }
  WindowHandle Handle() const override { return 0x200; }
  void SetCopyrightCaption(const std::string& text) override { log.push_back(text); }
  void SetVersionCaption(const std::string& text) override { log.push_back(text); }
  void Move(std::int32_t x, std::int32_t y) override {
    log.push_back("Move " + std::to_string(x) + "," + std::to_string(y));
  }
  void Show() override { log.push_back("Show"); }
  void Refresh() override { log.push_back("Refresh"); }
  void Focus() override { log.push_back("Focus"); }
  void BringToFront() override { log.push_back("BringToFront"); }
  void StartTimer(std::uint32_t ms) override { log.push_back("Timer " + std::to_string(ms)), due = now + ms; }
  jet::Result<ProgramVersion> Version() const override {
    return noVersion ? jet::MakeError(1813, "No version resource") : jet::Result<ProgramVersion>({2, 2, 108});
  }
  Log& log;
  bool noLoad = false, noVersion = false;
  std::uint64_t now = 0;
  std::optional<std::uint64_t> due;
};

// A Form1 over the fakes with the store beside the program. Script words: the user's clicks
// below; close, logoff, ended/cancelled, m<message> over the icon, i<index> an interval;
// set<on>, write, delete: Module1's registry routines; at<hh:mm:ss>, t<n> ticks ten seconds
// apart, w<n> minutes of ticks, sleep<n> minutes then one tick, show: ticks until the window
// shows; the world: ini=<a,b,...>, rows=<rows>, hklm/hkcu then ! (refusing changes) or +
// (holding the value), the flags below; A... the About box's own events, Await<ms>; moved
// (the main window); <word>@<n> runs the word at the n-th message pump; start (logs End
// when the program ends), go (start, then a clean log), clr; ?... probes log what they read.
// The log reads "Started" for a start that went well, "OnTop" for the show of one that
// needed a retry, "ToTray"/"ToFront" for hiding into the notification area and back.
struct Reminder {
  Reminder() {
    fake.files.files = {{kStorePath, "store"}, {kIniPath, " 0 \r\n 2880 \r\n 4800 \r\n 60 \r\n 1 \r\n"}};
    fake.window.onCloseRequest = [this] { return form.Form_QueryUnload(); };
  }
  void Tick() { fake.Advance(Form1::kTimerMilliseconds), form.Timer1_Timer(); }
  void Do(const std::string& w) {
    Log& log = fake.log;
    auto& files = fake.files.files;
    auto& registry = fake.registry;
    const auto number = [&](std::size_t from) { return std::stoi(w.substr(from)); };
    const auto code = [&](int value) { log.push_back("code:" + std::to_string(value)); };
    if ((w == "start" || w == "go") &&
        (form.Form_Initialize() == StartupResult::kEnd || form.Form_Load() == StartupResult::kEnd)) {
      return log.push_back("End");
    }
    if (w == "go") return log.clear(), fake.window.toolTips.clear(), fake.pointer.clear();
    if (w == "clr") return log.clear();
    if (w == "close") return fake.window.RequestClose();
    // clang-format off
    static const std::map<std::string, void (Form1::*)()> clicks = {
        {"min", &Form1::MinimizeCMD_Click}, {"next", &Form1::NewVerseCMD_Click}, {"save", &Form1::SaveINI},
        {"copy", &Form1::EditCopyMnu_Click}, {"exit", &Form1::FileExitMnu_Click},
        {"help", &Form1::HelpHelpMnu_Click}, {"editor", &Form1::DataEditorMnu_Click},
        {"about", &Form1::HelpAboutMnu_Click}, {"chime", &Form1::HourlyChimeMNU_Click},
        {"auto", &Form1::OptionsAutoStartMnu_Click}, {"bar", &Form1::TaskbarCreated}};
    static const std::map<std::string, void (AboutFrm::*)()> aboutClicks = {
        {"Ashow", &AboutFrm::Show}, {"Aclick", &AboutFrm::Command1_Click}, {"Aclose", &AboutFrm::Close},
        {"Aunload", &AboutFrm::Form_Unload}, {"Atick", &AboutFrm::Timer1_Timer}};
    // clang-format on
    if (clicks.count(w)) return (form.*clicks.at(w))();
    if (aboutClicks.count(w)) return (box.*aboutClicks.at(w))();
    // Each flag word turns its condition over.
    const std::map<std::string, bool*> flags = {
        {"second", &fake.anotherRunning}, {"readonly", &cursor.readOnly}, {"lock", &fake.clipboardLocked},
        {"fs", &fake.fullScreen},         {"restart", &fake.iconPresent}, {"Anoversion", &view.noVersion},
        {"Anoload", &view.noLoad}};
    if (flags.count(w)) return (void)(*flags.at(w) = !*flags.at(w));
    if (w == "logoff") return log.push_back(form.Form_QueryEndSession() ? "MayEnd" : "HoldsLogOff");
    if (w == "ended" || w == "cancelled") return form.Form_EndSession(w == "ended");
    Module1& module = form.Module();
    if (w == "set-1" || w == "set1") return code(module.SetAutoStart(w == "set1" ? 1 : -1));
    if (w == "write") return code(module.WriteRegString(Registry::kLocalMachine, kRunKey, kRunValue, "x"));
    if (w == "delete") return code(module.DeleteRegValue(Registry::kLocalMachine, kRunKey, kRunValue));
    for (int k = 0; w == "show" && k < 8640 && !fake.window.visible; ++k) Tick();
    if (w == "show") return log.push_back(fake.window.visible ? "@" + fake.TimeOfDay() : "@never");
    if (w.rfind("sleep", 0) == 0) return fake.Advance(60000 * std::stoull(w.substr(5))), form.Timer1_Timer();
    if (w.rfind("at", 0) == 0) return fake.SetTime(number(2), number(5), number(8));
    if (w.rfind("ini=", 0) == 0) {  // each field on a line of its own, as the program writes them
      const std::string ini = std::regex_replace(w.substr(4), std::regex("([^,]+),?"), " $1 \r\n");
      return (void)(files[kIniPath] = std::regex_replace(ini, std::regex(" -"), "-"));
    }
    if (w.rfind("rows=", 0) == 0) return (void)(cursor.Rows() = Rows(w.substr(5)));
    if (w == "noini") return (void)files.erase(kIniPath);
    if (w == "nostore") return (void)files.erase(kStorePath);
    if (w == "rofolder") return (void)fake.files.readOnlyFolders.insert("C:\\Lumaret");
    if (w == "spaced") return (void)(fake.folder = "C:\\Program Files\\Lumaret");
    if (w == "left") return fake.monitors.push_back({-28800, -2000, 28800, 16200});
    if (w == "root")
      fake.folder = "D:\\", files = {{"D:\\verse97.mdb", ""}, {"D:\\verse.ini", files[kIniPath]}};
    if (w.rfind("notready", 0) == 0) return (void)(cursor.moveNotReady = number(8));
    if (w.rfind("refuse", 0) == 0) {  // refuse<n>:<error>: the store fails to open n times
      cursor.refreshFailures = number(6);
      return (void)(cursor.refreshError = jet::MakeError(std::stoi(w.substr(w.find(':') + 1)), "Reason"));
    }
    const Registry::Key root = w[2] == 'l' ? Registry::kLocalMachine : Registry::kCurrentUser;
    if (w.rfind("hk", 0) == 0 && w[4] == '!') return (void)registry.readOnlyRoots.insert(root);
    if (w.rfind("hk", 0) == 0)
      return (void)(registry.values[std::to_string(root) + kRun + "|Lumaret2"] = std::string(kExe) + '\0');
    if (w.rfind("regclose", 0) == 0) return (void)(registry.closeFailures = number(8));
    if (w == "regset!") return (void)(registry.setError = 6);
    if (w == "regcreate!") return (void)(registry.createError = 6);
    if (const auto at = w.find('@'); at != std::string::npos) {
      return (void)(fake.onDoEvents = [this, word = w.substr(0, at), n = number(at + 1)]() mutable {
        if (--n == 0) Do(word);
      });
    }
    if (w == "moved") return (void)(fake.window.bounds = {300, 450, 7350, 5670});
    if (w.rfind("Await", 0) == 0) view.now += std::stoul(w.substr(5));
    if (w.rfind("Await", 0) == 0 && view.due && view.now >= *view.due) return box.Timer1_Timer();
    if (w[0] == 'm') return form.Form_MouseMove(number(1));
    if (w[0] == 'i') return form.IntervalMnu_Click(static_cast<std::int16_t>(number(1)));
    for (int k = w[0] == 't' || w[0] == 'w' ? number(1) * (w[0] == 'w' ? 6 : 1) : 0; k > 0; --k) Tick();
    if (w[0] == '?') log.push_back(w.substr(1) + ":" + Probe(w));
  }
  std::string Probe(const std::string& w) {
    const Choices& c = fake.window.choices;
    const auto n = [](auto value) { return std::to_string(value); };
    std::string all;
    if (w == "?v") return fake.window.verse.book + " " + fake.window.toolTips.back();
    if (w == "?ini") return fake.files.files.count(kIniPath) ? fake.files.files[kIniPath] : "(none)";
    if (w == "?db") return n(cursor.HasCurrent() ? cursor.Position() : -1) + "/" + n(cursor.refreshCalls);
    if (w == "?n") return n(form.MinuteCounter()) + "/" + n(form.LastMinute());
    if (w == "?c")  // the minutes in force and what the menu shows
      return n(form.ReminderMinutes()) + "/" + n(c.interval) + (c.chimes ? "/chimes" : "") +
             (c.autoStart ? "/auto" : "");
    if (w == "?w") return n(fake.window.bounds.top) + "," + n(fake.window.bounds.left);
    if (w == "?state")
      return n(form.State().ExitRequested) + "/" + n(form.State().InTray) +
             (fake.iconPresent ? "/icon" : "") + (fake.window.visible ? "/shown" : "") +
             (fake.window.destroyed ? "/gone" : "");
    if (w == "?clip") return fake.clipboard;
    if (w == "?A") return box.IsOpen() ? "open" : "closed";
    for (const auto& tip : fake.window.toolTips) all += w == "?tips" ? " " + tip.substr(6) : "";
    for (const auto& row : cursor.Rows()) all += w == "?rows" ? "[" + row.book + "]" : "";
    for (bool busy : fake.pointer) all += w == "?ptr" ? (busy ? "1" : "0") : "";
    for (const auto& [k, v] : fake.registry.values) all += w == "?run" ? k.substr(0, 10) + "=" + v + ";" : "";
    return all;
  }
  // Runs `script`; returns the log, a run of one entry written "entry*n".
  std::string Run(const std::string& script) {
    std::stringstream words(script);
    for (std::string w; words >> w;) Do(w);
    std::string text;
    for (const auto& entry : fake.log) text += (text.empty() ? "" : ", ") + entry;
    // Runs of entries "from>to", named as the user would name them.
    static constexpr char kNames[] =
        "Copyright \xC2\xA9 2026 The Lumaret project\r\nFree to copy and to give away.\r\n\r\nSee Help for "
        "more information>Copyright;Load, Copyright, Version 2.2.108, Move 1200,1060>Loaded;Show, "
        "DoEvents, Refresh, DoEvents, Focus, NoTopmost, Topmost 512, Timer 11500>Shown;NoTopmost 512, "
        "Topmost, Unload>Unloaded;RequestClose, Save verse.ini, IconDelete, AboutClose, NoTopmost, "
        "Destroyed>Closed;Restore, Show, IconDelete, Focus, Topmost>ToFront;NoTopmost, Hide, "
        "IconAdd>ToTray;cd C:\\Lumaret, DoEvents, Show, Focus, Topmost>Started;Show, Focus, Topmost>OnTop;"
        "Save verse.ini>Save;cd C:\\Lumaret>cd;\r\n>|;\0>\\0";
    std::stringstream names(std::string(kNames, sizeof kNames - 1));
    for (std::string name; std::getline(names, name, ';');) {
      const std::string from = name.substr(0, name.find('>')), to = name.substr(name.find('>') + 1);
      for (std::size_t at; (at = text.find(from)) != std::string::npos;) text.replace(at, from.size(), to);
    }
    const std::regex comma(", ");
    const std::vector<std::string> e(std::sregex_token_iterator(text.begin(), text.end(), comma, -1), {});
    text.clear();
    for (std::size_t k = 0, n = 1; k < e.size(); k += n, n = 1) {
      while (k + n < e.size() && e[k + n] == e[k]) ++n;
      text += (text.empty() ? "" : ", ") + e[k] + (n > 1 ? "*" + std::to_string(n) : "");
    }
    const bool ended = text.find("End") != std::string::npos,
               leaks = script.find("regclose4") != std::string::npos;
    EXPECT_TRUE(ended || fake.pointer.empty() || !fake.pointer.back()) << "the pointer stays busy";
    EXPECT_TRUE(leaks || fake.registry.open.empty()) << "a key left open";
    return text;
  }

  FakePlatform fake;
  FakeVerseCursor cursor{Rows("5")};
  Form1 form{fake.platform, cursor};
  FakeView view{fake.log};
  AboutFrm box{fake.window, fake, fake, view, view};
};

// "Name: script => log", one after another, a line break a space; a line that starts with
// '#' is a comment. A zero byte in the log reads "\0", CR LF "|".
constexpr char kCases[] = R"(
# Start-up and the end.
StartsThatEnd: nostore start ?state ?db ?ini ?run | second start ?state ?db | refuse1:3343 start ?state ?db
?ptr | refuse1000000:3218 start => cd, Msg DATABASE MISSING!/1: Database Not Found!, End, state:-1/0, db:-1/0,
ini: 0 | 2880 | 4800 | 60 | 1 |, run:; cd, Beep, End, state:0/0, db:-1/0; cd, Msg Database error/2: FATAL
ERROR 3343 - Reason  loading database, End, state:0/0, db:-1/1, ptr:10; cd, DoEvents*50, Msg Database error/2:
FATAL ERROR 3218 - Reason  loading database, End
AStoreBusyOrNotReadyIsOpenedAgain: refuse3:91 start ?db ?v | refuse1:3045 start ?db | refuse1:3260 start ?db |
rows=4 ini=2,3000 notready2 start ?db => cd, DoEvents*4, OnTop, db:0/4, v:Book1 Verse 1; cd, DoEvents*2,
OnTop, db:0/2; cd, DoEvents*2, OnTop, db:0/2; cd, DoEvents*3, OnTop, db:2/1
ShowsTheFirstRowOnTop: start ?v ?ptr ?state => Started, v:Book1 Verse 1, ptr:1100, state:0/0/shown
AFirstRunCentresAndRegisters: noini start ?w ?c ?run ?ini => Started, w:5265,10725, c:0/1/chimes/auto,
run:2147483650=C:\Lumaret\verse.exe\0;, ini:(none)
TheCloseBoxHidesIntoTheNotificationArea: go close ?state => RequestClose, Save, ToTray, state:0/-1/icon
FileExitEndsEverything: go min about clr exit ?state => Closed, state:-1/-1/gone
LogOff: go logoff close ?state | go logoff cancelled close ?state | go min clr logoff ended ?state => Save,
MayEnd, Closed, state:0/0/gone; Save, MayEnd, RequestClose, Save, ToTray, state:0/-1/icon; Save, MayEnd,
IconDelete, state:0/-1
HelpEditorAndAboutMenus: go help ?ptr | go editor editor ?db | go about => NoTopmost, Open .\lumaret2.chm
C:\Lumaret 1, DoEvents, ptr:10; NoTopmost, Open tovimar.exe C:\Lumaret 1, NoTopmost, Open tovimar.exe
C:\Lumaret 1, db:0/1; AboutShow
# The settings file: what start-up applies up to the first bad line (the registry left
# alone: the file holds the choice), and what Save writes.
LoadsWhatTheFileHolds: ini= start ?run ?db ?w ?c | ini=2,3000,4000 start ?db ?w ?c | ini=0,3000,4000,45,0
start ?run ?c => Started, run:, db:0/1, w:900,1200, c:0/1/chimes/auto; Started, db:2/1, w:3000,4000,
c:0/1/chimes/auto; Started, run:, c:45/0/chimes
LoadsUpToTheFirstBadLine: ini=1,3000,4000,32768,0 start ?db ?w ?c | ini=0,top,4000,60,1 start ?db ?w | rows=0
ini=3,3000,4000,480,0 start ?db ?w => cd, DoEvents, Msg Lumaret/0: Error 6- Overflow loading .INI, OnTop,
db:1/1, w:3000,4000, c:0/1/chimes/auto; cd, DoEvents, Msg Lumaret/0: Error 13- Type mismatch loading .INI,
OnTop, db:0/1, w:900,1200; cd, DoEvents, Msg Lumaret/0: Error 3021- No current record. loading .INI, OnTop,
db:-1/1, w:900,1200
LoadsNoRowForMinusOneOrPastTheEnd: ini=-1,3000,4000,240,2 start clr ?db ?c ?v next ?v | ini=12,3000,4000,480,1
start clr ?db ?c next ?v => db:-1/1, c:240/2/chimes/auto, v: Verse 0, Save, v:Book1 Verse 1; db:-1/1,
c:480/3/chimes/auto, Save, v:Book1 Verse 1
CentresOnlyAWindowOffTheScreen: ini=0,-5000,-7000 start clr ?w | ini=0,3000,-7350 start clr ?w |
ini=0,3000,28800 start clr ?w | ini=0,-5670,4000 start clr ?w | ini=0,16200,4000 start clr ?w |
ini=0,3000,-40000 start clr ?w => w:-5000,-7000; w:5265,10725; w:5265,10725; w:5265,10725; w:5265,10725;
w:5265,10725
KeepsAWindowOnALeftMonitor: left ini=0,-300,-7000,60,1 go save ?ini ?w => Save, ini: 0 |-300 |-7000 | 60 | 1
|, w:-300,-7000
Saves: rows=20 ini=12,2880,4800,60,1 go save ?ini | rows=3 ini=9,2880,4800,30,0 go save ?ini |
ini=0,10,20,60,1 root go save ?w => Save, ini: 12 | 2880 | 4800 | 60 | 1 |; Save, ini:-1 | 2880 | 4800 | 30 |
0 |; Save, w:10,20
SavingInAReadOnlyFolderKeepsTheOldFile: ini=1,2880,4800,60,1 go rofolder next ?ini ?db => Msg Error!/2: Error
saving .ini data in C:\Lumaret|Error #75 - Path/File access error, ini: 1 | 2880 | 4800 | 60 | 1 |, db:2/1
# Next Verse and Copy.
NextStepsOnAndSaves: go next ?v ?ini => Save, v:Book2 Verse 2, ini: 1 | 2880 | 4800 | 60 | 1 |
NextWraps: rows=3 ini=2 go next ?tips ?rows ?db => Save, tips: 0 1, rows:[Book1][Book2][Book3], db:0/1
ABlankBookOrTextIsDeleted: rows=John/First;/Text;Luke/Third go next ?rows ?v ?db |
rows=John/First;___/Text;Luke/Third go next ?rows ?v | rows=John/First;Mark/;Luke/Third go next ?rows ?v |
rows=John/First;Mark/____;Luke/Third go next ?rows ?v => Save, rows:[John][Luke], v:John Verse 1, db:0/1;
Save, rows:[John][Luke], v:John Verse 1; Save, rows:[John][Luke], v:John Verse 1; Save, rows:[John][Luke],
v:John Verse 1
LeadingSpacesAndNoChapterAreKept: rows=John/First;__Mark/__x;Luke///Third go next ?v next ?v ?rows => Save,
v:  Mark Verse 2, Save, v:Luke Verse 3, rows:[John][  Mark][Luke]
TwoBlankRowsGoOnePerVisit: rows=John/First;/a;/b;Luke/Last go next ?rows next ?rows ?v next ?v => Save,
rows:[John][][Luke], Save, rows:[John][Luke], v:John Verse 1, Save, v:Luke Verse 2
OnAReadOnlyStoreBlankRowsAreSteppedOver: rows=John/First;/a;Mark/;Luke/Last go readonly next ?db next ?db next
?db ?rows => Save, db:3/1, Save, db:0/1, Save, db:3/1, rows:[John][][Mark][Luke]
AnEmptyTableEndsTheClick: rows= start clr next ?db ?ini ?state => Save, db:-1/1, ini:-1 | 900 | 1200 | 0 | 1
|, state:0/0/shown
DeletingTheOnlyRowEmptiesTheTable: rows=_/blank ini=-1 go next ?rows ?v ?ini => Save, rows:, v: Verse 0,
ini:-1 | 900 | 1200 | 0 | 1 |
TooltipFollowsADelete: rows=John/First;Mark/Second;/blank go next next ?tips => Save*2, tips: 2 3 0 1
Copy: rows=John/3/16-17/For_God go copy ?clip | rows=John/3/16/ go copy ?clip | go lock copy ?clip =>
clip:John 3:16-17|For God; clip:John 3:16|; clip:(previous)
# The reminder timer.
FirstRunFirstTick: ini=0,2880,4800,0,1 at10:20:30 go t1 ?c ?n t1 ?n => Save, c:30/0/chimes/auto, n:0/0, n:1/20
ThirtyMinutesCountChangesOfMinute: ini=0,2880,4800,30,1 at10:20:30 go t1 ?n min show ?n ?state => n:1/20,
ToTray, Beep, ToFront, @10:49:00, n:0/49, state:0/0/shown
OneHourIsSixtyChanges: at09:31:30 go min show min show ?c => ToTray, Beep*2, ToFront, @10:30:00, ToTray,
Beep*2, ToFront, @11:30:00, c:60/1/chimes/auto
HourlyChimes: ini=0,2880,4800,240,1 at10:58:30 go w3 min w60 ?state => Beep, ToTray, Beep, state:0/-1/icon
AReminderOnTheHourBeepsOnceOrTwice: ini=0,2880,4800,30,1 at10:30:30 go min clr show | ini=0,2880,4800,30,1
at10:31:30 go min clr show => Beep, ToFront, @10:59:00; Beep*2, ToFront, @11:00:00
WithoutChimesNothingBeeps: ini=0,2880,4800,30,1 at10:31:30 go chime ?c min show chime ?c => c:30/0/auto,
ToTray, ToFront, @11:00:00, c:30/0/chimes/auto
AReminderDueWhileShownBringsTheWindowForward: ini=0,2880,4800,30,1 at10:05:30 go w30 => ToFront
AShorterIntervalChosenLateFiresAtOnce: ini=0,2880,4800,240,1 at10:05:30 go min w100 clr ?n i0 ?n t6 ?n =>
n:101/45, Save, n:101/45, Beep, ToFront, n:0/46
TheReminderShowsTheVerseLeftShowing: ini=0,2880,4800,30,1 at10:05:30 go next min clr show ?v => Beep, ToFront,
@10:34:00, v:Book2 Verse 2
EightHoursAcrossMidnight: ini=0,2880,4800,480,1 at20:00:30 go min clr show min w90 => Beep*9, ToFront,
@04:00:00, ToTray, Beep
AReminderWaitsForAFullScreenProgram: ini=0,2880,4800,30,1 at10:31:30 go min fs clr t361 ?state fs t1 ?n min
show => Beep, state:0/-1/icon, Beep, ToFront, n:0/31, ToTray, Beep*2, ToFront, @12:01:00
MinutesAsleepCountUpToOneInterval: at22:10:30 go min w5 clr ?n sleep480 ?n min show min sleep20 ?state ?n =>
n:6/15, Beep, ToFront, n:0/15, ToTray, Beep*2, ToFront, @07:15:00, ToTray, state:0/-1/icon, n:20/35
EachIntervalItemSetsItsMinutes: go i0 ?c i1 ?c i2 ?c i3 ?c i4 ?c ?ini i7 ?c i-1 ?c => Save,
c:30/0/chimes/auto, Save, c:60/1/chimes/auto, Save, c:240/2/chimes/auto, Save, c:480/3/chimes/auto, Save,
c:999/4/chimes/auto, ini: 0 | 2880 | 4800 | 999 | 1 |, Save, c:30/0/chimes/auto, Save, c:30/0/chimes/auto
TicksWithinAMinuteCountOnce: at10:20:00 go t5 ?n t1 ?n => n:1/20, n:2/21
# The notification area and Amen.
AmenHidesIntoTheNotificationArea: go min ?state | ini=0,2880,4800,1000 go min ?state => ToTray,
state:0/-1/icon; ToTray, state:0/-1/icon
OnlyALeftPressOnTheIconShowsTheWindow: go min clr m513 ?state | go min clr m512 m514 m515 m516 m517 m518 m519
?state | go min clr m513 m514 m515 m514 | go m0 m100 m512 m513 m7000 ?state => ToFront, state:0/0/shown;
state:0/-1/icon; ToFront; state:0/0/shown
ANewNotificationAreaGetsTheIconWhileHidden: go bar min restart bar ?state => ToTray, IconAdd, state:0/-1/icon
AmenUnderStartupOnlyEndsTheProgram: go i4 about clr min ?state | ini=0,2880,4800,999 go ?c min => AboutClose,
Closed, state:-1/0/gone; c:999/4/chimes/auto, AboutClose, Closed
# Module1's registry routines.
ValuesAndPaths: go set1 ?run | go spaced set-1 ?run => code:0, run:2147483650=C:\Lumaret\verse.exe\0;; code:0,
run:2147483650="C:\Program Files\Lumaret\verse.exe"\0;
RegistryErrorsGiveOneTwoOrThree: regcreate! go set-1 | regset! go set-1 | regset! go regclose4 set-1 => Msg
Lumaret/0: Error 1 setting registry autorun ..., code:1; Msg Lumaret/0: Error 2 setting registry autorun ...,
code:2; DoEvents*3, Msg Lumaret/0: Error 3 setting registry autorun ..., code:3
KeysAreClosedUpToFourTimes: go regclose4 write regclose4 delete ?run | go regclose3 set-1 => DoEvents*3,
code:3, DoEvents*3, code:3, run:; DoEvents*3, code:0
# The About box: placed over the main window, it takes the top layer while open.
AboutOpens: Ashow ?A | Anoversion Ashow | Anoload Ashow ?A => Loaded, DoEvents, Shown, A:open; Load,
Copyright, Move 1200,1060, DoEvents, Shown; Load failed, A:closed
AboutClosesOnceGivingTheTopLayerBack: Ashow clr Aclick ?A | Ashow clr Aunload | Ashow clr Aclose Aclose Atick
| Aclose Atick Aclick ?A => Unloaded, A:closed; Unloaded; Unloaded; A:closed
AboutAgainOnlyBringsItForward: Ashow Await6000 moved clr Ashow Await5499 ?A Await1 => BringToFront, A:open,
Unloaded
AboutOpensAgainWhereTheMainWindowIs: Ashow Aclick moved clr Ashow => Load, Copyright, Version 2.2.108, Move
300,610,
DoEvents, Shown
AboutClickedWhileOpening: Aclick@1 Ashow ?A | Aclick@2 Ashow | Aclick@3 Ashow Await20000 => Loaded, DoEvents,
Unloaded, A:closed; Loaded, DoEvents, Show, DoEvents, Unloaded; Loaded, DoEvents, Show, DoEvents, Refresh,
DoEvents, Unloaded
AboutAgainWhileLoading: Ashow@1 Ashow => Loaded, DoEvents, BringToFront, Shown
)";

struct Case {
  std::string name, script, log;
};
void PrintTo(const Case& c, std::ostream* out) { *out << c.script; }

std::vector<Case> Cases() {
  std::vector<Case> cases;
  const std::string text = std::regex_replace(kCases, std::regex("(\n#[^\n]*)*\n"), " ");
  const std::regex one(" ([A-Z][A-Za-z]*): (.*?) =>(?: (.*?))?(?= [A-Z][A-Za-z]*: | $)");
  for (std::sregex_iterator it(text.begin(), text.end(), one), end; it != end; ++it)
    cases.push_back({(*it)[1], (*it)[2], (*it)[3]});
  return cases;
}

class Form1Test : public ::testing::TestWithParam<Case> {};

TEST_P(Form1Test, LogsWhatTheUserWouldNotice) {
  std::string log;  // each part of a script after a '|' runs on a reminder of its own
  std::stringstream parts(GetParam().script);
  for (std::string part; std::getline(parts, part, '|');)
    log += (log.empty() ? "" : "; ") + Reminder().Run(part);
  EXPECT_EQ(log, GetParam().log);
}

INSTANTIATE_TEST_SUITE_P(Reminder, Form1Test, ::testing::ValuesIn(Cases()),
                         [](const auto& param) { return param.param.name; });

// Start with Windows turned over by its menu item, against a machine key and a user key
// that may refuse changes and may hold the value already: then the error shown (1 or 2)
// and where the value is (m, u), which the check mark and the saved setting must show. Both
// Run keys exist, as on every Windows.
TEST(AutoStartMenu, TheRegistryTheMessageTheCheckMarkAndTheSavedSettingAgree) {
  std::stringstream cases(
      "on=m;on hkcu!=m;on hklm!=u;on hklm! hkcu!=1;on hkcu+=m;on hklm! hklm+=m;off hklm+ hkcu+=;"
      "off hklm+=;off hkcu+=;off=;off hklm! hklm+=2m;off hklm! hklm+ hkcu+=2m;off hklm! hkcu+=;"
      "off hklm!=;off hkcu! hkcu+=2u;off hkcu! hklm+ hkcu+=2u;off hkcu! hklm+=;off hkcu!=;"
      "off hklm! hkcu! hklm+ hkcu+=2mu;off hklm! hkcu! hklm+=2m;off hklm! hkcu! hkcu+=2u;"
      "off hklm! hkcu!=");
  for (std::string c; std::getline(cases, c, ';');) {
    SCOPED_TRACE(c);
    const std::string setup = c.substr(0, c.find('=')), after = c.substr(c.find('=') + 1);
    Reminder reminder;
    reminder.fake.registry.keys = {"2147483650" + std::string(kRun), "2147483649" + std::string(kRun)};
    const bool on = setup[1] == 'n', registered = after.find_first_of("mu") != std::string::npos;
    const std::string error = std::isdigit(after[0]) ? "Msg Lumaret/0: Error " + after.substr(0, 1) +
                                                           " setting registry autorun ..., "
                                                     : "";
    const std::string run = (after.find('u') + 1 ? "2147483649=" + std::string(kExe) + "\\0;" : "") +
                            (after.find('m') + 1 ? "2147483650=" + std::string(kExe) + "\\0;" : "");
    EXPECT_EQ(reminder.Run(std::string(on ? "ini=0,2880,4800,60,0 " : "") + setup.substr(on ? 2 : 3) +
                           " go auto ?c ?ini ?run"),
              error + "Save, c:60/1/chimes" + (registered ? "/auto" : "") + ", ini: 0 | 2880 | 4800 | 60 | " +
                  (registered ? "1" : "0") + " |, run:" + run);
  }
}

TEST(FakePlatform, KeepsTheContractsOfTheRealServices) {
  FakePlatform fake;
  CheckRegistryContract(fake.registry, Registry::kCurrentUser, "Software\\Lumaret\\Contract");
  CheckFileSystemContract(fake.files, "C:\\Lumaret");
  CheckClockContract(fake);
}

// The icon record as the shell reads it: six little-endian fields, then the tip ended by
// one zero and filled with spaces; a long caption is cut so that its zero still fits.
TEST(TrayIcon, TheShellGetsTheWindowTheIconAndTheCaption) {
  Reminder reminder;
  reminder.Run("go min");
  const auto& bytes = reminder.fake.iconRecord;
  const std::string fields("\x58\0\0\0\xBC\x0A\x01\0\1\0\0\0\7\0\0\0\0\2\0\0\xEF\x0D\x02\0", 24);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), fields + "Lumaret" + '\0' + std::string(56, ' '));
  TrayIconRecord record;
  record.Fill(1, 2, std::string(70, 'x'));
  const auto cut = record.Bytes();
  EXPECT_EQ(std::string(cut.begin() + 24, cut.end()), std::string(63, 'x') + '\0');
}

// Every field of a text read within a 32-bit or 16-bit range: the numbers, or E and the
// error number (the reader goes on after an error, up to the end of the text, E62).
TEST(SettingsFile, ReadsFieldsAsTheRuntimesInputStatementDoes) {
  const auto fields = [](const char* text, std::int64_t max) {
    SettingsReader reader(text);
    std::string read;
    for (int field = 0; field < 8 && read.find("E62") == std::string::npos; ++field) {
      const jet::Result<std::int64_t> next = reader.Next(-max - 1, max);
      read += (read.empty() ? "" : " ") +
              (next.ok() ? std::to_string(next.value()) : "E" + std::to_string(next.error().number));
    }
    return read;
  };
  const std::pair<const char*, const char*> cases[] = {
      {" 12 \r\n-2880 \r\n 4800 \r\n", "12 -2880 4800 E62"},
      {"7\r\n  -3\n+45", "7 -3 45 E62"},  // typed by hand: no spaces, a lone line feed
      {"1,2 3\r\n", "1 2 3 E62"},
      {"", "E62"},
      {" 5 \r\n   ", "5 E62"},
      {"\r\n 9 \r\n", "0 9 E62"},
      {"abc\r\n12x\r\n", "E13 E13 E62"},
      {"2880.5 2881.5 10.49 -7.6 2.51 .5", "2880 2882 10 -8 3 0 E62"},  // half to even
      {" 2147483648 -2147483648 99999999999999999999999", "E6 -2147483648 E6 E62"}};
  for (const auto& [text, expected] : cases) EXPECT_EQ(fields(text, 2147483647), expected) << text;
  EXPECT_EQ(fields(" 32768 \r\n 32767 \r\n-32768 \r\n-32769 \r\n", 32767), "E6 32767 -32768 E6 E62");
}

}  // namespace
}  // namespace reminder::test
