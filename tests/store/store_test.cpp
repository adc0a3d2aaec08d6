// The verse store: the editor's table, the reminder's cursor and the editor's recordset,
// each over a store in memory that another program may write to, damage, or make
// read-only; and the text the programs show for numbers in the columns they bind to.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <sstream>

#include "jet/database.h"
#include "jet/errors.h"
#include "jet/pager.h"
#include "store/data1.h"
#include "store/store_file.h"
#include "store/verse_columns.h"
#include "store/verse_recordset.h"
#include "store/verse_schema.h"
#include "support/fake_verse_table.h"
#include "support/result_assert.h"

namespace store::test {
namespace {

using support::FakeVerseTable;

VerseRecord Verse(std::string book, std::string text = "text", bool read = false) {
  return {book, "3", "16", std::move(text), read};
}

// Runs a script of steps "step=shows; step=shows" and compares what each step shows.
template <typename Step>
void RunScript(const std::string& script, Step&& step) {
  for (std::size_t at = 0, end = 0; at < script.size(); at = end + 2) {
    end = std::min(script.find("; ", at), script.size());
    const std::string line = script.substr(at, end - at);
    const std::size_t eq = line.find('=');
    EXPECT_EQ(step(line.substr(0, eq)), eq == std::string::npos ? "" : line.substr(eq + 1)) << line;
  }
}

TEST(JetVerseTable, AddsAndUpdatesRowsInPlaceAndReadsThemBackInOrder) {
  FakeVerseTable table({Verse("John", "For God so loved the world", true), Verse("Romans")});
  // Windows-1252 letters, curly quotes and a memo long enough for its own page; the
  // longest values that fit, where a code page letter counts as one.
  const auto accented = Verse("Psalms", "\u201CThe LORD\u201D \u2014 caf\u00E9 " + std::string(3000, 'x'));
  const VerseRecord longest{std::string(kBookLength - 1, 'b') + "\u00E9", std::string(kChapterLength, '9'),
                            std::string(kVersesLength, '1'), "text", false};
  for (const auto& row : {accented, VerseRecord{}, longest}) ASSERT_OK(table.Insert(row));
  const auto rows = table.rows();
  const VerseRecord longer{"John", "3", "16-17", std::string(2500, 'y'), true};
  ASSERT_OK(table.Update(rows[0].id, rows[0].record, longer));
  EXPECT_EQ(table.rows().at(0).id, rows[0].id) << "the row keeps its place";
  EXPECT_EQ(table.Records(), (std::vector<VerseRecord>{longer, Verse("Romans"), accented, {}, longest}));
  EXPECT_EQ(table.Findings(), "");
}

// A write to a row another program got to first says whether the row was changed or
// removed before whether the store can be written; the code page is checked before that,
// the column sizes after it.
TEST(JetVerseTable, RefusesWritesItCannotMakeAndChangesNothing) {
  enum Elsewhere { kNone, kChanged, kRemoved };
  constexpr int kConflict = jet::kErrWriteConflict, kGone = jet::kErrRecordDeleted, kRO = jet::kErrReadOnly,
                kCode = jet::kErrCannotEncode, kSmall = jet::kErrFieldTooSmall;
  const VerseRecord fits = Verse("Romans", "mine"), longBook = Verse(std::string(kBookLength + 1, 'b')),
                    longChapter{"J", std::string(kChapterLength + 1, '9'), "1", "t", false},
                    longVerses{"J", "3", std::string(kVersesLength + 1, '1'), "t", false};
  const struct Case {
    const char* name;
    Elsewhere elsewhere;
    bool readOnly;
    VerseRecord values;
    int insert, update, del;  // the refusals; 0: not tried
  } cases[] = {
      {"changed", kChanged, false, fits, 0, kConflict, kConflict},
      {"removed", kRemoved, false, fits, 0, kGone, kGone},
      {"read-only", kNone, true, fits, kRO, kRO, kRO},
      {"removed, read-only", kRemoved, true, fits, kRO, kGone, kGone},
      {"too long, read-only", kNone, true, longBook, kRO, kRO, kRO},
      {"not in the code page, read-only", kNone, true, Verse("\u05E9"), kCode, kCode, 0},
      {"Greek in the text", kNone, false, Verse("John", "\u1F10\u03BD \u1F00\u03C1\u03C7\u1FC7"), kCode,
       kCode, 0},
      {"long book", kNone, false, longBook, kSmall, kSmall, 0},
      {"long chapter", kNone, false, longChapter, kSmall, kSmall, 0},
      {"long verses", kNone, false, longVerses, kSmall, kSmall, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeVerseTable table({Verse("John", "one"), Verse("Romans", "two"), Verse("Jude", "three")});
    const auto rows = table.rows();
    if (c.elsewhere == kChanged) table.ChangeByOtherProgram(1, Verse("Romans", "changed elsewhere"));
    if (c.elsewhere == kRemoved) table.RemoveByOtherProgram(1);
    table.SetReadOnly(c.readOnly);
    const auto before = table.Records();
    auto read = table.ReadAll();
    ASSERT_OK(read);
    EXPECT_EQ(read->size(), before.size()) << "what cannot be written can still be read";
    if (c.insert != 0) EXPECT_ERROR(table.Insert(c.values), c.insert);
    if (c.insert == kRO) {  // the editor shows the description as it is
      EXPECT_EQ(table.Insert(c.values).error().description, "'verse97.mdb' is open for reading only.");
    }
    EXPECT_ERROR(table.Update(rows[1].id, rows[1].record, c.values), c.update);
    if (c.del != 0) EXPECT_ERROR(table.Delete(rows[1].id, rows[1].record), c.del);
    EXPECT_EQ(table.Records(), before);
  }
}

// Each walk is a script over the cursor on a store of its rows: after each step, the error number of
// a failure ("!3021 "), the current row's book or "-" without one, "@" the position, "~"
// the number of row-change notifications so far. Lower-case steps are another
// program's: "remove N", "change N" (to Jude), "readonly" (a new cursor over a store that
// cannot be written), "break" (reads fail).
TEST(Data1, WalksByTheDataControlsRules) {
  const std::vector<VerseRecord> three = {Verse("John"), Verse("Psalms"), Verse("Romans")};
  const struct {
    const char* name;
    std::vector<VerseRecord> rows;
    std::string script;
    const char* stored;  // the books stored afterwards; none: the damaged file is not read back
  } walks[] = {
      {"steps to the end and no further", three,
       "Next=!3021 -@-1~0; First=!3021 -@-1~0; Refresh=John@0~1; Next=Psalms@1~2; Next=Romans@2~3; "
       "Next=-@-1~4; Next=!3021 -@-1~4; First=John@0~5",
       "John Psalms Romans"},
      {"moves by saved positions, also past either end", three,
       "Move 1=!3021 -@-1~0; Refresh=John@0~1; Move 2=Romans@2~2; Move -1=Psalms@1~3; Move 7=-@-1~4; "
       "Move 1=!3021 -@-1~4; First=John@0~5; Move -1=-@-1~6; Next=John@0~7",
       "John Psalms Romans"},
      {"an empty table has no row to move to",
       {},
       "Refresh=-@-1~1; First=!3021 -@-1~2; Move 1=!3021 -@-1~2; Next=!3021 -@-1~2; Delete=!3021 -@-1~2",
       ""},
      {"a delete goes on with the row that followed", three,
       "Delete=!3021 -@-1~0; Refresh=John@0~1; Next=Psalms@1~2; Delete=-@-1~3; Next=Romans@1~4; "
       "Delete=-@-1~5; Next=-@-1~6",
       "John"},
      {"rows another program removed are passed over and not counted",
       {Verse("John"), Verse("Psalms"), Verse("Romans"), Verse("Jude")},
       "Refresh=John@0~1; remove 1=John@0~1; Next=Romans@1~2; remove 2=Romans@1~2; Next=-@-1~3",
       "John Romans"},
      {"a row another program changed is not deleted", three,
       "Refresh=John@0~1; change 0=John@0~1; Delete=!3197 John@0~1", "Jude Psalms Romans"},
      {"a store that cannot be written shows its rows but refuses deletes", three,
       "readonly=-@-1~0; Refresh=John@0~1; Next=Psalms@1~2; Delete=!3027 Psalms@1~2; Next=Romans@2~3",
       "John Psalms Romans"},
      {"a failed refresh drops the current row unannounced and nothing moves after it", three,
       "Refresh=John@0~1; Next=Psalms@1~2; break=Psalms@1~2; Refresh=!3049 -@-1~2; Next=!3021 -@-1~2; "
       "First=!3021 -@-1~2; Move 1=!3021 -@-1~2; Delete=!3021 -@-1~2",
       nullptr},
  };
  for (const auto& walk : walks) {
    SCOPED_TRACE(walk.name);
    FakeVerseTable store(walk.rows);
    auto cursor = std::make_unique<Data1>(store.files(), kStoreFileName);
    int changes = 0;
    const auto listen = [&] { cursor->SetRowChanged([&] { ++changes; }); };
    listen();
    RunScript(walk.script, [&](const std::string& step) {
      const std::size_t space = step.find(' ');
      const std::string name = step.substr(0, space);
      const int n = space == std::string::npos ? 0 : std::stoi(step.substr(space + 1));
      jet::Status status = jet::Ok();
      if (name == "Refresh") status = cursor->Refresh();
      if (name == "Next") status = cursor->MoveNext();
      if (name == "First") status = cursor->MoveFirst();
      if (name == "Delete") status = cursor->DeleteCurrent();
      if (name == "Move") status = cursor->Move(n);
      if (name == "remove") store.RemoveByOtherProgram(static_cast<std::size_t>(n));
      if (name == "change") store.ChangeByOtherProgram(static_cast<std::size_t>(n), Verse("Jude"));
      if (name == "break") store.Damage();
      if (name == "readonly") {
        store.SetReadOnly(true);
        cursor = std::make_unique<Data1>(store.files(), kStoreFileName);
        listen();
      }
      const VerseCursor& c = *cursor;
      EXPECT_TRUE(c.HasCurrent() || c.Current() == VerseRecord{}) << "no row shows no values";
      return (status.ok() ? "" : "!" + std::to_string(status.error().number) + " ") +
             (c.HasCurrent() ? c.Current().book : "-") + "@" + std::to_string(c.Position()) + "~" +
             std::to_string(changes);
    });
    if (walk.stored == nullptr) continue;
    std::string stored;
    for (const auto& row : store.Records()) stored += (stored.empty() ? "" : " ") + row.book;
    EXPECT_EQ(stored, walk.stored);
  }
}

// Only the real cursor reads pages: a table over many of them, with its page map also
// naming a page of another table, as the table scan reads it.
TEST(Data1, WalksATableSpreadOverManyPagesAsTheTableScanReadsIt) {
  std::vector<VerseRecord> many;
  for (std::size_t i = 0; i < 400; ++i) {
    many.push_back(
        Verse("Book" + std::to_string(i), std::string(40 + i % 300, static_cast<char>('a' + i % 26))));
  }
  FakeVerseTable store(many);
  {
    auto opened = OpenStore(store.memory(), kStoreFileName);
    ASSERT_OK(opened);
    auto catalog = opened->db->OpenTable("MSysObjects");
    ASSERT_OK(catalog);
    jet::ReadScope scope(opened->db->pager());
    auto pages = opened->db->MappedPages(*catalog);
    ASSERT_OK(pages);
    const std::uint32_t foreign = pages->front();
    const jet::RowPointer map = opened->def.ownedMap;
    auto& bytes = store.memory().Bytes(kStoreFileName);
    const std::size_t slot = map.page * 2048 + 10 + 2 * map.row;
    const std::size_t row = map.page * 2048 + ((bytes[slot] | bytes[slot + 1] << 8) & 0x1FFF);
    const std::uint32_t start = bytes[row + 1] | bytes[row + 2] << 8 | bytes[row + 3] << 16;
    ASSERT_EQ(bytes[row], 0);  // an inline bitmap
    ASSERT_GE(foreign, start);
    bytes[row + 5 + (foreign - start) / 8] |= static_cast<std::uint8_t>(1u << ((foreign - start) % 8));
  }
  Data1 cursor(store.files(), kStoreFileName);
  ASSERT_OK(cursor.Refresh());
  for (std::size_t i = 1; i < many.size(); ++i) {
    ASSERT_OK(cursor.MoveNext());
    ASSERT_EQ(cursor.Position(), static_cast<int>(i));
    ASSERT_EQ(cursor.Current(), many[i]);
  }
  ASSERT_OK(cursor.MoveNext());
  EXPECT_FALSE(cursor.HasCurrent());
  ASSERT_OK(cursor.MoveFirst());
  ASSERT_OK(cursor.Move(321));
  EXPECT_EQ(cursor.Current(), many[321]);
}

const VerseRecord kJohn{"John", "3", "16", "God", true};
const VerseRecord kPsalm{"Psalm", "23", "1", "LORD", false};
const std::string kTooLong(kBookLength + 1, 'x');

// One step and what follows it: the error number of a failure ("!3021 "), the position
// (1 for the first row) with "e" at the end and "b" before the beginning, the current
// book, "*" with edits pending, then what was notified meanwhile: "m" and the position
// of a completed move, "u", "a" or "d" for a row about to be updated, added or deleted,
// "e" and the number of a reported error.
const std::vector<VerseRecord> kRows = {kJohn, kPsalm, {"Romans", "8", "28", "All", true}};
const std::string kStart = "John 3:16 God+, Psalm 23:1 LORD, Romans 8:28 All+";

struct Case {
  std::string name;
  std::string steps;   // "command=shows; ..."
  std::string stored;  // the books, chapters, verses and texts stored afterwards, "+" when read
  std::vector<VerseRecord> rows = kRows;
};

class VerseRecordsetTest : public testing::Test {
 protected:
  void Start(const std::vector<VerseRecord>& rows) {
    table_ = std::make_unique<FakeVerseTable>(rows);
    rs_ = std::make_unique<VerseRecordset>(*table_);
    rs_->SetErrorHandler([this](const jet::Error& e) { events_ << " e" << e.number; });
    rs_->SetMoveCompleteHandler([this] { events_ << " m" << rs_->AbsolutePosition(); });
    rs_->SetWillChangeRecordHandler([this](ChangeReason r, int count) {
      events_ << ' ' << "aud"[static_cast<int>(r)];
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
    if (command == "stored") return support::Summary(table_->Records());
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
           VerseRecord theirs = table_->Records().at(0);
           theirs.verses = arg.substr(2);
           return table_->ChangeByOtherProgram(0, theirs), jet::Ok();
         }},
        {"other-remove", [&] { return table_->RemoveByOtherProgram(std::stoul(arg)), jet::Ok(); }},
        {"other-add", [&] { return table_->AddByOtherProgram(kPsalm), jet::Ok(); }},
        {"break", [&] { return table_->Damage(), jet::Ok(); }},
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

  std::unique_ptr<FakeVerseTable> table_;
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

TEST_F(VerseRecordsetTest, ShowsAndStoresWhatTheScriptDid) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name + (": " + c.steps));
    Start(c.rows);
    RunScript(c.steps, [this](const std::string& step) { return Do(step); });
    if (c.stored != "-") {
      EXPECT_EQ(support::Summary(table_->Records()), c.stored);
      EXPECT_EQ(table_->Findings(), "");
    }
  }
}

template <typename T>
std::string Shortest(T v) {
  char buf[64];
  return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

// The programs do without std::to_chars, whose tables would be a third of each
// program, but show the same text: edge values, then random bit patterns and prices.
TEST(VerseColumns, ANumberShowsAsTheShortestTextThatReadsBack) {
  std::vector<double> values = {0.1,  1e16, 12300000, 1e-5, 1e-4, 123456789, 1e21, 1e22,  5e-324,
                                -2.5, 100,  1.5e300,  1e23, 0.3,  2.0 / 3,   -0.0, 1e100, 9007199254740993.0};
  std::mt19937_64 random(7);
  for (int i = 0; i < 20000; ++i) {
    const std::uint64_t bits = random();
    double d = 0;
    std::memcpy(&d, &bits, sizeof d);
    if (std::isfinite(d)) values.push_back(d);
    values.push_back(static_cast<double>(random() % 10000000) / 100.0);
  }
  int mismatches = 0;
  for (double d : values) {
    const auto f = static_cast<float>(d);
    for (const auto& [shown, expected] :
         {std::pair{ValueText(jet::Value(d)), Shortest(d)},
          std::pair{ValueText(jet::Value(f)), std::isfinite(f) ? Shortest(f) : ""}}) {
      if (!expected.empty() && shown != expected && ++mismatches <= 5)
        ADD_FAILURE() << shown << " for " << expected;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

// What a person may type into a number column bound to a box, and what becomes of it.
TEST(VerseColumns, TextTypedForANumberIsTheNumberOrAClearError) {
  jet::TableDef def;
  for (const auto& [name, type] : {std::pair{"Book", jet::ColumnType::kText},
                                   {"Chapter", jet::ColumnType::kDouble},
                                   {"Read", jet::ColumnType::kBoolean},
                                   {"Verses", jet::ColumnType::kSingle},
                                   {"VerseTxt", jet::ColumnType::kMemo}}) {
    def.columns.push_back(jet::ColumnDef{.name = name, .type = type});
  }
  auto columns = VerseColumns::Find(def);
  ASSERT_OK(columns);
  struct Typed {
    std::string chapter, verses;
    int error;  // 0: taken, and shown again as typed
  };
  for (const Typed& c : std::vector<Typed>{{"2.5", "-1000", 0},
                                           {"1e+300", "3.25", 0},
                                           {"1e400", "1", jet::kErrFieldTooSmall},
                                           {"1", "1e39", jet::kErrFieldTooSmall},
                                           {"1e-400", "1", 3421},
                                           {"nan", "1", 3421},
                                           {"1", "inf", 3421},
                                           {" 1", "1", 3421},
                                           {"+1", "1", 3421},
                                           {"0x10", "1", 3421},
                                           {"1.5.1", "1", 3421},
                                           {"-", "1", 3421}}) {
    SCOPED_TRACE(c.chapter + " / " + c.verses);
    const VerseRecord typed{"John", c.chapter, c.verses, "text", false};
    auto values = columns->ToValues(typed, std::vector<jet::Value>(def.columns.size()));
    if (c.error != 0) {
      ASSERT_FALSE(values.ok());
      EXPECT_EQ(values.error().number, c.error) << values.error().description;
      continue;
    }
    ASSERT_OK(values);
    EXPECT_EQ(columns->ToRecord(*values), typed);
  }
}

}  // namespace
}  // namespace store::test
