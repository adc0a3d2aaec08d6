// A real verse store in memory: a new database with versetbl and the given rows.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jet/file_memory.h"
#include "jet/integrity.h"
#include "jet/new_database.h"
#include "store/jet_verse_table.h"
#include "store/verse_schema.h"
#include "support/result_assert.h"
#include "support/verse_print.h"

namespace store::test {

inline constexpr const char* kStorePath = "verse97.mdb";

inline VerseRecord Verse(std::string book, std::string chapter, std::string verses, std::string text) {
  return VerseRecord{std::move(book), std::move(chapter), std::move(verses), std::move(text), false};
}

class StoreTest : public testing::Test {
 protected:
  void MakeStore(const std::vector<VerseRecord>& rows) {
    auto schema = VerseTableSchema();
    ASSERT_OK(schema);
    ASSERT_OK(jet::CreateDatabase(fs_, kStorePath, *schema, 46000.5));
    JetVerseTable table(fs_, kStorePath);
    for (const auto& r : rows) ASSERT_OK(table.Insert(r));
  }

  // Every row as a fresh reader sees it.
  std::vector<VerseRecord> Rows() {
    JetVerseTable table(fs_, kStorePath);
    auto all = table.ReadAll();
    EXPECT_OK(all);
    std::vector<VerseRecord> out;
    if (all.ok()) {
      for (auto& r : *all) out.push_back(r.record);
    }
    return out;
  }

  void ExpectClean() {
    auto findings = jet::CheckIntegrity(fs_, kStorePath);
    ASSERT_OK(findings);
    for (const auto& f : *findings) ADD_FAILURE() << "page " << f.page << ": " << f.text;
  }

  jet::MemoryFileSystem fs_;
};

}  // namespace store::test
