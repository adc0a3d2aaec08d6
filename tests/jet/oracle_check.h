// Checks a store's table through both independent readers: mdb-reader must print
// what versedb export prints, and mdb-export the same up to its known quirks.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "versedb/csv_export.h"
#include "jet/database.h"
#include "support/oracle.h"
#include "support/result_assert.h"
#include "support/temp_dir.h"

namespace jet::test {


// `bytes` is the whole file; it is written to a temporary file for the tools.
inline void ExpectOraclesAgree(const Bytes& bytes, const std::string& table) {
  support::TempDir dir;
  const std::string path = dir.File("store.mdb");
  {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  auto db = Database::Open(SystemFileSystem(), path);
  ASSERT_OK(db);
  auto def = (*db)->OpenTable(table);
  ASSERT_OK(def);
  std::ostringstream ours;
  ASSERT_OK(versedb::ExportCsv(**db, *def, ours));
  EXPECT_EQ(support::MdbReaderCsv(path, table), ours.str()) << "mdb-reader differs";
  EXPECT_EQ(support::DiffWithMdbExport(ours.str(), support::MdbExportCsv(path, table)), "")
      << "mdb-export differs";
}

}  // namespace jet::test
