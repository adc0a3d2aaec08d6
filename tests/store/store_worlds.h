// The worlds the store's contract suites run in, one over a fake and one over the real
// thing with another program writing to the same file, so a fake cannot answer what the
// real thing does not.
#pragma once

#include <gtest/gtest.h>

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

namespace store::test {

inline VerseRecord Verse(std::string book, std::string text = "text", bool read = false) {
  return {book, "3", "16", std::move(text), read};
}

// Rows, another program on them, and a thing over them (a table or a cursor).
template <typename Thing>
class World {
 public:
  virtual ~World() = default;
  virtual Thing& thing() = 0;
  virtual void ChangeElsewhere(std::size_t index, const VerseRecord& values) = 0;
  virtual void RemoveElsewhere(std::size_t index) = 0;
  virtual void AddElsewhere(const VerseRecord& values) = 0;
  virtual void MakeReadOnly() = 0;  // thing() is now a new one on a store that cannot be written
  virtual void BreakReads() = 0;    // the next read fails as a damaged file fails
  virtual std::vector<VerseRecord> Stored() = 0;
  virtual void ExpectSound() {}  // checks what was left behind beyond the rows
};

template <typename Thing, typename Real>
class FileWorld final : public World<Thing> {
 public:
  explicit FileWorld(const std::vector<VerseRecord>& rows) {
    auto schema = VerseTableSchema();
    EXPECT_OK(schema);
    EXPECT_OK(jet::CreateDatabase(fs_, path_, *schema, 46000.5));
    for (const auto& row : rows) AddElsewhere(row);
    real_ = std::make_unique<Real>(fs_, path_);
  }
  Thing& thing() override { return *real_; }
  void ChangeElsewhere(std::size_t index, const VerseRecord& values) override {
    EXPECT_OK(other_.Update(Row(index).id, Row(index).record, values));
  }
  void RemoveElsewhere(std::size_t index) override {
    EXPECT_OK(other_.Delete(Row(index).id, Row(index).record));
  }
  void AddElsewhere(const VerseRecord& values) override { EXPECT_OK(other_.Insert(values)); }
  void MakeReadOnly() override { real_ = std::make_unique<Real>(readOnly_, path_); }
  void BreakReads() override {  // damages versetbl's definition page
    auto opened = OpenStore(fs_, path_);
    ASSERT_OK(opened);
    const std::uint32_t page = opened->def.page;
    opened->db.reset();
    fs_.Bytes(path_)[page * 2048] = 0x7F;
  }
  std::vector<VerseRecord> Stored() override {
    std::vector<VerseRecord> records;
    auto rows = JetVerseTable(fs_, path_).ReadAll();
    EXPECT_OK(rows);
    for (const auto& row : rows.ok() ? *rows : std::vector<StoredVerse>{}) records.push_back(row.record);
    return records;
  }
  void ExpectSound() override {
    auto findings = jet::CheckIntegrity(fs_, path_);
    ASSERT_OK(findings);
    for (const auto& f : *findings) ADD_FAILURE() << "page " << f.page << ": " << f.text;
  }
  jet::MemoryFileSystem& fs() { return fs_; }
  const std::string& path() const { return path_; }

 private:
  StoredVerse Row(std::size_t index) { return other_.ReadAll().value().at(index); }

  jet::MemoryFileSystem fs_;
  support::ReadOnlyFileSystem readOnly_{fs_};
  const std::string path_ = kStoreFileName;
  JetVerseTable other_{fs_, path_};
  std::unique_ptr<Real> real_;
};

template <typename Thing, typename Fake>
class FakeWorld final : public World<Thing> {
 public:
  explicit FakeWorld(const std::vector<VerseRecord>& rows) : fake_(rows) {}
  Thing& thing() override { return fake_; }
  void ChangeElsewhere(std::size_t i, const VerseRecord& v) override { fake_.ChangeByOtherProgram(i, v); }
  void RemoveElsewhere(std::size_t index) override { fake_.RemoveByOtherProgram(index); }
  void AddElsewhere(const VerseRecord& values) override { fake_.AddByOtherProgram(values); }
  void MakeReadOnly() override { fake_.SetReadOnly(true); }
  void BreakReads() override { fake_.FailNextRead(jet::MakeError(jet::kErrDamaged, "Damaged.")); }
  std::vector<VerseRecord> Stored() override { return fake_.Records(); }

 private:
  Fake fake_;
};

// One parameter of a contract suite: a fake or the real thing.
template <typename Thing>
struct Kind {
  const char* name;
  std::unique_ptr<World<Thing>> (*make)(const std::vector<VerseRecord>& rows);
  friend void PrintTo(const Kind& kind, std::ostream* os) { *os << kind.name; }
};

template <typename Thing, typename W>
std::unique_ptr<World<Thing>> Make(const std::vector<VerseRecord>& rows) {
  return std::make_unique<W>(rows);
}

template <typename Thing, typename Fake, typename Real>
auto BothKinds() {
  return testing::Values(Kind<Thing>{"Fake", &Make<Thing, FakeWorld<Thing, Fake>>},
                         Kind<Thing>{"File", &Make<Thing, FileWorld<Thing, Real>>});
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

inline const auto kTableKinds = BothKinds<VerseTable, support::FakeVerseTable, JetVerseTable>();

}  // namespace store::test
