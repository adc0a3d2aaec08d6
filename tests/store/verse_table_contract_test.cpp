// What the editor's data layer may rely on of a verse table, held against both the
// real table over a store file on disk and the in-memory fake the editor's tests use,
// so the two cannot drift apart.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "jet/errors.h"
#include "jet/file.h"
#include "jet/integrity.h"
#include "jet/new_database.h"
#include "store/jet_verse_table.h"
#include "store/verse_schema.h"
#include "support/fake_verse_table.h"
#include "support/read_only_file_system.h"
#include "support/result_assert.h"
#include "support/temp_dir.h"
#include "support/verse_print.h"

namespace store {
namespace {

VerseRecord Verse(std::string book, std::string text, bool read = false) {
  return {std::move(book), "3", "16", std::move(text), read};
}

// A table with its rows, and another program on the same rows.
class TableWorld {
 public:
  virtual ~TableWorld() = default;
  virtual VerseTable& table() = 0;
  virtual void ChangeElsewhere(std::size_t index, const VerseRecord& values) = 0;
  virtual void RemoveElsewhere(std::size_t index) = 0;
  // From now on table() stands for the same rows on a store that cannot be written.
  virtual void MakeReadOnly() = 0;
  // Checks what the table left behind beyond its rows.
  virtual void ExpectSound() {}
};

class FakeWorld final : public TableWorld {
 public:
  explicit FakeWorld(const std::vector<VerseRecord>& rows) : table_(rows) {}
  VerseTable& table() override { return table_; }
  void ChangeElsewhere(std::size_t index, const VerseRecord& values) override {
    table_.ChangeByOtherProgram(index, values);
  }
  void RemoveElsewhere(std::size_t index) override { table_.DeleteByOtherProgram(index); }
  void MakeReadOnly() override { table_.SetReadOnly(true); }

 private:
  support::FakeVerseTable table_;
};

class FileWorld final : public TableWorld {
 public:
  explicit FileWorld(const std::vector<VerseRecord>& rows) {
    auto schema = VerseTableSchema();
    EXPECT_OK(schema);
    EXPECT_OK(jet::CreateDatabase(fs_, path_, *schema, 46000.5));
    for (const auto& row : rows) EXPECT_OK(other_.Insert(row));
  }
  VerseTable& table() override { return *table_; }
  void ChangeElsewhere(std::size_t index, const VerseRecord& values) override {
    auto rows = other_.ReadAll();
    ASSERT_OK(rows);
    ASSERT_OK(other_.Update((*rows)[index].id, (*rows)[index].record, values));
  }
  void RemoveElsewhere(std::size_t index) override {
    auto rows = other_.ReadAll();
    ASSERT_OK(rows);
    ASSERT_OK(other_.Delete((*rows)[index].id, (*rows)[index].record));
  }
  void MakeReadOnly() override { table_ = std::make_unique<JetVerseTable>(readOnly_, path_); }
  void ExpectSound() override {
    auto findings = jet::CheckIntegrity(fs_, path_);
    ASSERT_OK(findings);
    for (const auto& f : *findings) ADD_FAILURE() << "page " << f.page << ": " << f.text;
  }

 private:
  support::TempDir dir_;
  std::string path_ = dir_.File("verse97.mdb");
  jet::FileSystem& fs_ = jet::SystemFileSystem();
  support::ReadOnlyFileSystem readOnly_{fs_};
  JetVerseTable other_{fs_, path_};
  std::unique_ptr<JetVerseTable> table_ = std::make_unique<JetVerseTable>(fs_, path_);
};

using WorldMaker = std::function<std::unique_ptr<TableWorld>(const std::vector<VerseRecord>&)>;

struct Kind {
  const char* name;
  WorldMaker make;
};
void PrintTo(const Kind& kind, std::ostream* os) { *os << kind.name; }

class VerseTableContract : public testing::TestWithParam<Kind> {
 protected:
  void Make(const std::vector<VerseRecord>& rows) { world_ = GetParam().make(rows); }
  VerseTable& table() { return world_->table(); }

  std::vector<StoredVerse> ReadAll() {
    auto rows = table().ReadAll();
    EXPECT_OK(rows);
    return rows.ok() ? *rows : std::vector<StoredVerse>{};
  }
  std::vector<VerseRecord> Records() {
    std::vector<VerseRecord> records;
    for (const auto& row : ReadAll()) records.push_back(row.record);
    return records;
  }

  std::unique_ptr<TableWorld> world_;
};

TEST_P(VerseTableContract, AddsRowsAtTheEndAndReadsThemBackInOrder) {
  Make({Verse("John", "For God so loved the world", true)});
  // Windows-1252 letters, curly quotes and a memo long enough for its own page.
  const auto accented =
      Verse("Psalms", "\u201CThe LORD is my shepherd\u201D \u2014 caf\u00E9 " + std::string(3000, 'x'));
  ASSERT_OK(table().Insert(accented));
  ASSERT_OK(table().Insert(VerseRecord{}));
  EXPECT_EQ(Records(),
            (std::vector<VerseRecord>{Verse("John", "For God so loved the world", true), accented, {}}));
  world_->ExpectSound();
}

TEST_P(VerseTableContract, UpdatesOneRowInPlace) {
  Make({Verse("John", "short", true), Verse("Romans", "text")});
  auto rows = ReadAll();
  const VerseRecord longer{"John", "3", "16-17", std::string(2500, 'y'), true};
  ASSERT_OK(table().Update(rows[0].id, rows[0].record, longer));
  auto after = ReadAll();
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(after[0].id, rows[0].id) << "the row keeps its place";
  EXPECT_EQ(after[0].record, longer);
  EXPECT_EQ(after[1].record, rows[1].record);
  world_->ExpectSound();
}

// A write to a row another program got to first changes nothing, and says whether
// the row was changed (3197) or removed (3167).
TEST_P(VerseTableContract, TellsChangedMeanwhileFromRemovedMeanwhile) {
  struct Case {
    const char* what;
    bool remove;
    bool update;
    int expected;
  };
  const Case cases[] = {{"update of a changed row", false, true, jet::kErrWriteConflict},
                        {"delete of a changed row", false, false, jet::kErrWriteConflict},
                        {"update of a removed row", true, true, jet::kErrRecordDeleted},
                        {"delete of a removed row", true, false, jet::kErrRecordDeleted}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Make({Verse("John", "one"), Verse("Romans", "two"), Verse("Jude", "three")});
    auto rows = ReadAll();
    if (c.remove) {
      world_->RemoveElsewhere(1);
    } else {
      world_->ChangeElsewhere(1, Verse("Romans", "changed elsewhere"));
    }
    const auto before = Records();
    jet::Status status = c.update ? table().Update(rows[1].id, rows[1].record, Verse("Romans", "mine"))
                                  : table().Delete(rows[1].id, rows[1].record);
    EXPECT_ERROR(status, c.expected);
    EXPECT_EQ(Records(), before);
  }
}

TEST_P(VerseTableContract, RefusesValuesTheFileCannotHoldAndChangesNothing) {
  struct Case {
    const char* what;
    VerseRecord values;
    int expected;
  };
  const Case cases[] = {
      {"Hebrew letters", Verse("\u05E9\u05DC\u05D5\u05DD", "text"), jet::kErrCannotEncode},
      {"Greek in the memo", Verse("John", "\u1F10\u03BD \u1F00\u03C1\u03C7\u1FC7"), jet::kErrCannotEncode},
      {"a Book of 256", Verse(std::string(kBookLength + 1, 'b'), "text"), jet::kErrFieldTooSmall},
      {"a Chapter of 51",
       {"John", std::string(kChapterLength + 1, '9'), "16", "text", false},
       jet::kErrFieldTooSmall},
      {"Verses of 51",
       {"John", "3", std::string(kVersesLength + 1, '1'), "text", false},
       jet::kErrFieldTooSmall},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Make({Verse("John", "one")});
    auto rows = ReadAll();
    EXPECT_ERROR(table().Insert(c.values), c.expected);
    EXPECT_ERROR(table().Update(rows[0].id, rows[0].record, c.values), c.expected);
    EXPECT_EQ(Records(), std::vector<VerseRecord>{Verse("John", "one")});
  }
  // The longest values that fit are taken.
  const VerseRecord longest{std::string(kBookLength, 'b'), std::string(kChapterLength, '9'),
                            std::string(kVersesLength, '1'), "text", false};
  ASSERT_OK(table().Insert(longest));
  EXPECT_EQ(Records().back(), longest);
}

TEST_P(VerseTableContract, AStoreThatCannotBeWrittenShowsItsRowsAndRefusesEveryWrite) {
  Make({Verse("John", "one"), Verse("Romans", "two"), Verse("Jude", "three")});
  auto rows = ReadAll();
  world_->RemoveElsewhere(2);
  world_->MakeReadOnly();
  EXPECT_EQ(ReadAll().size(), 2u);
  EXPECT_ERROR(table().Insert(Verse("Jude", "three")), jet::kErrReadOnly);
  EXPECT_ERROR(table().Update(rows[0].id, rows[0].record, Verse("John", "mine")), jet::kErrReadOnly);
  EXPECT_ERROR(table().Delete(rows[1].id, rows[1].record), jet::kErrReadOnly);
  // A row that is gone is reported as gone, whether or not the file could be written.
  EXPECT_ERROR(table().Update(rows[2].id, rows[2].record, Verse("Jude", "mine")), jet::kErrRecordDeleted);
  EXPECT_EQ(Records(), (std::vector<VerseRecord>{Verse("John", "one"), Verse("Romans", "two")}));
}

INSTANTIATE_TEST_SUITE_P(BothTables, VerseTableContract,
                         testing::Values(Kind{"Fake",
                                              [](const auto& rows) -> std::unique_ptr<TableWorld> {
                                                return std::make_unique<FakeWorld>(rows);
                                              }},
                                         Kind{"FileOnDisk",
                                              [](const auto& rows) -> std::unique_ptr<TableWorld> {
                                                return std::make_unique<FileWorld>(rows);
                                              }}),
                         [](const testing::TestParamInfo<Kind>& kind) {
                           return std::string(kind.param.name);
                         });

}  // namespace
}  // namespace store
