// What the store's contract suites share: a real store in memory with another program
// writing to it, and the worlds each suite runs its tests in, one per fake and one per
// real thing, so that a fake cannot answer what the real thing does not.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "jet/file_memory.h"
#include "jet/integrity.h"
#include "jet/new_database.h"
#include "store/jet_verse_table.h"
#include "store/store_file.h"
#include "store/verse_schema.h"
#include "support/fake_verse_table.h"
#include "support/read_only_file_system.h"
#include "support/result_assert.h"
#include "support/verse_print.h"

namespace store::test {

inline VerseRecord Verse(std::string book, std::string text = "text", bool read = false) {
  return {book, "3", "16", std::move(text), read};
}

// A store file holding versetbl with `rows`, and another program working on it.
class StoreFile {
 public:
  explicit StoreFile(const std::vector<VerseRecord>& rows) {
    auto schema = VerseTableSchema();
    EXPECT_OK(schema);
    EXPECT_OK(jet::CreateDatabase(fs, path, *schema, 46000.5));
    for (const auto& row : rows) EXPECT_OK(other_.Insert(row));
  }
  void Change(std::size_t index, const VerseRecord& values) {
    auto rows = other_.ReadAll();
    ASSERT_OK(rows);
    ASSERT_OK(other_.Update((*rows)[index].id, (*rows)[index].record, values));
  }
  void Remove(std::size_t index) {
    auto rows = other_.ReadAll();
    ASSERT_OK(rows);
    ASSERT_OK(other_.Delete((*rows)[index].id, (*rows)[index].record));
  }
  std::vector<VerseRecord> Records() {
    std::vector<VerseRecord> records;
    auto rows = JetVerseTable(fs, path).ReadAll();
    EXPECT_OK(rows);
    if (rows.ok()) {
      for (const auto& row : *rows) records.push_back(row.record);
    }
    return records;
  }
  // Damages versetbl's definition, so every later read of the table fails.
  void BreakReads() {
    auto opened = OpenStore(fs, path);
    ASSERT_OK(opened);
    const std::uint32_t page = opened->def.page;
    opened->db.reset();
    fs.Bytes(path)[page * 2048] = 0x7F;
  }
  void ExpectSound() {
    auto findings = jet::CheckIntegrity(fs, path);
    ASSERT_OK(findings);
    for (const auto& f : *findings) ADD_FAILURE() << "page " << f.page << ": " << f.text;
  }

  jet::MemoryFileSystem fs;
  support::ReadOnlyFileSystem readOnly{fs};
  const std::string path = kStoreFileName;

 private:
  JetVerseTable other_{fs, path};
};

// A verse table with its rows, and another program on the same rows.
class TableWorld {
 public:
  virtual ~TableWorld() = default;
  virtual VerseTable& table() = 0;
  virtual void ChangeElsewhere(std::size_t index, const VerseRecord& values) = 0;
  virtual void RemoveElsewhere(std::size_t index) = 0;
  virtual void AddElsewhere(const VerseRecord& values) = 0;
  // From now on table() stands for the same rows on a store that cannot be written.
  virtual void MakeReadOnly() = 0;
  // The table's next read fails.
  virtual void BreakReads() = 0;
  virtual std::vector<VerseRecord> Stored() = 0;
  // Checks what the table left behind beyond its rows.
  virtual void ExpectSound() {}
};

class FakeTableWorld final : public TableWorld {
 public:
  explicit FakeTableWorld(const std::vector<VerseRecord>& rows) : table_(rows) {}
  VerseTable& table() override { return table_; }
  void ChangeElsewhere(std::size_t index, const VerseRecord& values) override {
    table_.ChangeByOtherProgram(index, values);
  }
  void RemoveElsewhere(std::size_t index) override { table_.DeleteByOtherProgram(index); }
  void AddElsewhere(const VerseRecord& values) override { table_.AddByOtherProgram(values); }
  void MakeReadOnly() override { table_.SetReadOnly(true); }
  void BreakReads() override {
    table_.FailNext(support::FakeVerseTable::Operation::kReadAll, jet::MakeError(jet::kErrLocked, "Locked."));
  }
  std::vector<VerseRecord> Stored() override { return table_.Records(); }

 private:
  support::FakeVerseTable table_;
};

class FileTableWorld final : public TableWorld {
 public:
  explicit FileTableWorld(const std::vector<VerseRecord>& rows) : file_(rows) {}
  VerseTable& table() override { return *table_; }
  void ChangeElsewhere(std::size_t index, const VerseRecord& values) override { file_.Change(index, values); }
  void RemoveElsewhere(std::size_t index) override { file_.Remove(index); }
  void AddElsewhere(const VerseRecord& values) override { EXPECT_OK(JetVerseTable(file_.fs, file_.path).Insert(values)); }
  void MakeReadOnly() override { table_ = std::make_unique<JetVerseTable>(file_.readOnly, file_.path); }
  void BreakReads() override { file_.BreakReads(); }
  std::vector<VerseRecord> Stored() override { return file_.Records(); }
  void ExpectSound() override { file_.ExpectSound(); }

 private:
  StoreFile file_;
  std::unique_ptr<JetVerseTable> table_ = std::make_unique<JetVerseTable>(file_.fs, file_.path);
};

// One parameter of a contract suite: a fake or the real thing.
template <typename World>
struct Kind {
  const char* name;
  std::function<std::unique_ptr<World>(const std::vector<VerseRecord>&)> make;
  friend void PrintTo(const Kind& kind, std::ostream* os) { *os << kind.name; }
};

template <typename World, typename Fake, typename Real>
auto BothKinds() {
  auto maker = [](auto tag) {
    return [](const std::vector<VerseRecord>& rows) -> std::unique_ptr<World> {
      return std::make_unique<typename decltype(tag)::type>(rows);
    };
  };
  return testing::Values(Kind<World>{"Fake", maker(std::type_identity<Fake>{})},
                         Kind<World>{"File", maker(std::type_identity<Real>{})});
}

template <typename K>
std::string KindName(const testing::TestParamInfo<K>& info) {
  return info.param.name;
}

inline const auto kTableKinds = BothKinds<TableWorld, FakeTableWorld, FileTableWorld>();

}  // namespace store::test
