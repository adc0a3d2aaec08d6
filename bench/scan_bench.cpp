// Full-scan speed of the reader on each sample against reading the same file raw.
// usage: scan_bench [FOLDER]   (default: the shared samples)
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/file_memory.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Opens the file and decodes every value of every table; returns the row count.
long ScanAll(jet::FileSystem& fs, const std::string& path) {
  auto db = jet::Database::Open(fs, path);
  if (!db.ok()) return -1;
  auto names = (*db)->TableNames(true);
  if (!names.ok()) return -1;
  long rows = 0;
  for (const auto& name : *names) {
    auto def = (*db)->OpenTable(name);
    if (!def.ok()) return -1;
    auto s = (*db)->Scan(*def, [&](const jet::RowRef& row) {
      auto values = (*db)->RowValues(*def, row.bytes);
      rows += values.ok() ? 1 : 0;
      return values.ok();
    });
    if (!s.ok()) return -1;
  }
  return rows;
}

std::size_t RawRead(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> buf(1 << 16);
  std::size_t total = 0;
  while (in.read(buf.data(), static_cast<std::streamsize>(buf.size())) || in.gcount() > 0) {
    total += static_cast<std::size_t>(in.gcount());
  }
  return total;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : LUMARET_TESTDATA_DIR;
  std::printf("%-26s %8s %12s %10s %12s %12s %7s\n", "file", "rows", "rows/s", "MB/s", "scan ms", "raw ms", "ratio");
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() != ".mdb") continue;
    const std::string path = entry.path().string();
    const double megabytes = static_cast<double>(entry.file_size()) / 1e6;
    // Repeat until each measurement has run for a while, so tiny files give stable figures.
    long rows = 0;
    int scans = 0;
    auto start = Clock::now();
    do {
      rows = ScanAll(jet::SystemFileSystem(), path);
      ++scans;
    } while (Seconds(Clock::now() - start) < 0.3);
    const double scan = Seconds(Clock::now() - start) / scans;
    int reads = 0;
    start = Clock::now();
    do {
      RawRead(path);
      ++reads;
    } while (Seconds(Clock::now() - start) < 0.3);
    const double raw = Seconds(Clock::now() - start) / reads;
    std::printf("%-26s %8ld %12.0f %10.1f %12.3f %12.3f %7.1f\n", entry.path().filename().c_str(), rows,
                static_cast<double>(rows) / scan, megabytes / scan, scan * 1e3, raw * 1e3, scan / raw);
  }
  return 0;
}
