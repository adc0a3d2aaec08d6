// Every table of every sample reads the same through our engine as through
// mdb-reader and mdbtools.
#include <gtest/gtest.h>

#include <sstream>

#include "versedb/csv_export.h"
#include "jet/database.h"
#include "support/oracle.h"
#include "support/result_assert.h"
#include "support/samples.h"

namespace jet::test {
namespace {


using namespace support;

class SampleOracle : public testing::TestWithParam<std::string> {};

TEST_P(SampleOracle, EveryTableMatchesBothOtherReaders) {
  const std::string path = SamplePath(GetParam());
  auto db = jet::Database::Open(jet::SystemFileSystem(), path);
  ASSERT_OK(db);

  auto ours = (*db)->TableNames(/*includeSystem=*/true);
  ASSERT_OK(ours);
  const auto tables = MdbTables(path);
  ASSERT_FALSE(tables.empty());
  EXPECT_EQ(*ours, tables);

  for (const auto& table : tables) {
    SCOPED_TRACE(table);
    auto def = (*db)->OpenTable(table);
    ASSERT_OK(def);
    std::ostringstream csv;
    ASSERT_OK(versedb::ExportCsv(**db, *def, csv));
    EXPECT_EQ(csv.str(), MdbReaderCsv(path, table));
    EXPECT_EQ(DiffWithMdbExport(csv.str(), MdbExportCsv(path, table)), "");
  }
}

INSTANTIATE_TEST_SUITE_P(AllSamples, SampleOracle, testing::ValuesIn(SampleNames()),
                         [](const auto& sample) { return sample.param.substr(0, sample.param.find('.')); });

}  // namespace
}  // namespace jet::test
