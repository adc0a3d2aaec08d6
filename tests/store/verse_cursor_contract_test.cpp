// What the reminder may rely on of its cursor, held against both the fake the reminder's
// tests use and the real cursor over a store file; and what only the real one shows.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "jet/database.h"
#include "jet/errors.h"
#include "jet/pager.h"
#include "reminder/fake_verse_cursor.h"
#include "store/data1.h"
#include "store/store_worlds.h"

namespace store::test {
namespace {

// Each walk is a script over a cursor on its rows: after each step, the error number of
// a failure ("!3021 "), the current row's book or "-" without one, "@" the position, "~"
// the number of row-change notifications so far. Lower-case steps are another
// program's: "remove N", "change N" (to Jude), "readonly" (a new cursor over a store that
// cannot be written), "break" (reads fail).
class VerseCursorContract : public testing::TestWithParam<Kind<VerseCursor>> {
 protected:
  std::string Do(const std::string& step) {
    const std::size_t space = step.find(' ');
    const int n = space == std::string::npos ? 0 : std::stoi(step.substr(space + 1));
    const auto i = static_cast<std::size_t>(n);
    const std::map<std::string, std::function<jet::Status(VerseCursor&)>> steps = {
        {"Refresh", [](VerseCursor& c) { return c.Refresh(); }},
        {"Next", [](VerseCursor& c) { return c.MoveNext(); }},
        {"First", [](VerseCursor& c) { return c.MoveFirst(); }},
        {"Delete", [](VerseCursor& c) { return c.DeleteCurrent(); }},
        {"Move", [n](VerseCursor& c) { return c.Move(n); }},
        {"remove", [&, i](VerseCursor&) { return world_->RemoveElsewhere(i), jet::Ok(); }},
        {"change", [&, i](VerseCursor&) { return world_->ChangeElsewhere(i, Verse("Jude")), jet::Ok(); }},
        {"break", [&](VerseCursor&) { return world_->BreakReads(), jet::Ok(); }},
        {"readonly", [&](VerseCursor&) { return world_->MakeReadOnly(), Listen(), jet::Ok(); }},
    };
    const jet::Status status = steps.at(step.substr(0, space))(world_->thing());
    const VerseCursor& c = world_->thing();
    EXPECT_TRUE(c.HasCurrent() || c.Current() == VerseRecord{}) << "no row shows no values";
    return (status.ok() ? "" : "!" + std::to_string(status.error().number) + " ") +
           (c.HasCurrent() ? c.Current().book : "-") + "@" + std::to_string(c.Position()) + "~" +
           std::to_string(changes_);
  }
  void Listen() {
    world_->thing().SetRowChanged([this] { ++changes_; });
  }

  std::unique_ptr<World<VerseCursor>> world_;
  int changes_ = 0;
};

TEST_P(VerseCursorContract, WalksFollowTheDataControlsRules) {
  const std::vector<VerseRecord> three = {Verse("John"), Verse("Psalms"), Verse("Romans")};
  const struct {
    const char* name;
    std::vector<VerseRecord> rows;
    std::string script;
    const char* stored;  // the books stored afterwards; none: the damaged file is not read back
  } walks[] = {
      {"steps to the end and no further", three,
       "Next=!3021 -@-1~0; First=!3021 -@-1~0; Refresh=John@0~1; Next=Psalms@1~2; Next=Romans@2~3; "
       "Next=-@-1~4; "
       "Next=!3021 -@-1~4; First=John@0~5",
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
       "Delete=-@-1~5; "
       "Next=-@-1~6",
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
    world_ = GetParam().make(walk.rows);
    changes_ = 0;
    Listen();
    RunScript(walk.script, [this](const std::string& step) { return Do(step); });
    if (walk.stored == nullptr) continue;
    std::string stored;
    for (const auto& row : world_->Stored()) stored += (stored.empty() ? "" : " ") + row.book;
    EXPECT_EQ(stored, walk.stored);
  }
}

INSTANTIATE_TEST_SUITE_P(BothCursors, VerseCursorContract,
                         (BothKinds<VerseCursor, reminder::test::FakeVerseCursor, Data1>()),
                         testing::PrintToStringParamName());

// Only the real cursor reads pages: a table over many of them, with its page map also
// naming a page of another table, as the table scan reads it.
TEST(Data1, WalksATableSpreadOverManyPagesAsTheTableScanReadsIt) {
  std::vector<VerseRecord> many;
  for (std::size_t i = 0; i < 400; ++i) {
    many.push_back(
        Verse("Book" + std::to_string(i), std::string(40 + i % 300, static_cast<char>('a' + i % 26))));
  }
  FileWorld<VerseCursor, Data1> file(many);
  {
    auto opened = OpenStore(file.fs(), file.path());
    ASSERT_OK(opened);
    auto catalog = opened->db->OpenTable("MSysObjects");
    ASSERT_OK(catalog);
    jet::ReadScope scope(opened->db->pager());
    auto pages = opened->db->MappedPages(*catalog);
    ASSERT_OK(pages);
    const std::uint32_t foreign = pages->front();
    const jet::RowPointer map = opened->def.ownedMap;
    auto& bytes = file.fs().Bytes(file.path());
    const std::size_t slot = map.page * 2048 + 10 + 2 * map.row;
    const std::size_t row = map.page * 2048 + ((bytes[slot] | bytes[slot + 1] << 8) & 0x1FFF);
    const std::uint32_t start = bytes[row + 1] | bytes[row + 2] << 8 | bytes[row + 3] << 16;
    ASSERT_EQ(bytes[row], 0);  // an inline bitmap
    ASSERT_GE(foreign, start);
    bytes[row + 5 + (foreign - start) / 8] |= static_cast<std::uint8_t>(1u << ((foreign - start) % 8));
  }
  VerseCursor& cursor = file.thing();
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

TEST(Data1, ReportsStoresItCannotOpen) {
  FileWorld<VerseCursor, Data1> file({Verse("John")});
  auto schema = VerseTableSchema();
  ASSERT_OK(schema);
  schema->name = "verses";
  ASSERT_OK(jet::CreateDatabase(file.fs(), "renamed.mdb", *schema, 46000.5));
  file.fs().SetBytes("junk.mdb", std::vector<std::uint8_t>(4096, 'x'));
  const std::pair<const char*, int> cases[] = {{"missing.mdb", jet::kErrFileNotFound},
                                               {"junk.mdb", jet::kErrUnrecognizedFormat},
                                               {"renamed.mdb", jet::kErrTableNotFound}};
  for (const auto& [path, expected] : cases) {
    EXPECT_ERROR(Data1(file.fs(), path).Refresh(), expected);
    EXPECT_ERROR(JetVerseTable(file.fs(), path).ReadAll(), expected);  // the editor opens it the same way
  }
}

}  // namespace
}  // namespace store::test
