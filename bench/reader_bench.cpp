// Our engine against the other readers on the whole King James Bible (31,102 verses):
// full scan, an unchecked scan for scale, mdb-export, mdb-reader and a raw read of the
// same file with warm caches;
// the reminder's open-to-first-verse and Next Verse; insert and delete per row.
//
// usage: reader_bench KJV.txt CACHE_DIR SMALL_STORE VERSEDB ORACLE_DIR
// (bench/reader_bench.sh passes them). The KJV store is built once into CACHE_DIR.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "jet/code_page.h"
#include "jet/database.h"
#include "jet/file_memory.h"
#include "jet/integrity.h"
#include "jet/new_database.h"
#include "store/data1.h"
#include "store/jet_verse_table.h"
#include "store/verse_schema.h"
#include "versedb/reference_parser.h"

namespace {

using Clock = std::chrono::steady_clock;
double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "reader_bench: %s\n", what.c_str());
  std::exit(1);
}

// The middle of `times`.
double Middle(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// The median time of `fn`, run at least `reps` times and for at least `minimum`
// seconds, after one warm-up run.
double Median(const std::function<void()>& fn, int reps = 5, double minimum = 0.3) {
  fn();
  std::vector<double> times;
  const auto start = Clock::now();
  while (static_cast<int>(times.size()) < reps || Seconds(Clock::now() - start) < minimum) {
    const auto t0 = Clock::now();
    fn();
    times.push_back(Seconds(Clock::now() - t0));
  }
  return Middle(std::move(times));
}

// The medians of several functions run in turn, after one warm-up run of each, for
// figures that are compared: a machine that slows down or speeds up partway through
// then does so for all of them alike. Running one thing many times in a row also
// flatters it: the raw read takes about 0.25 ms when it repeats back to back, but
// 0.4 to 0.8 ms when anything else ran just before it, a scan included.
std::vector<double> Medians(const std::vector<std::function<void()>>& fns, int reps) {
  std::vector<std::vector<double>> times(fns.size());
  for (const auto& fn : fns) fn();
  for (int r = 0; r < reps; ++r) {
    for (std::size_t i = 0; i < fns.size(); ++i) {
      const auto t0 = Clock::now();
      fns[i]();
      times[i].push_back(Seconds(Clock::now() - t0));
    }
  }
  std::vector<double> medians;
  for (auto& t : times) medians.push_back(Middle(std::move(t)));
  return medians;
}

// A shell command, for Medians: a run that fails ends the benchmark.
std::function<void()> Command(std::string command) {
  return [command = std::move(command)] {
    if (std::system(command.c_str()) != 0) Fail("failed: " + command);
  };
}

// Builds the store in memory (the engine's own inserts, without a sync per row) and
// saves it once; later runs reuse it.
void BuildStore(const std::string& textPath, const std::string& storePath) {
  std::ifstream in(textPath);
  const versedb::ParsedLines lines = versedb::ParseVerseLines(in);
  if (!lines.errors.empty() || lines.verses.empty()) Fail("cannot parse " + textPath);
  auto schema = store::VerseTableSchema();
  if (!schema.ok()) Fail("schema");
  auto bytes = jet::BuildNewDatabase(*schema, 45000.5);
  if (!bytes.ok()) Fail("new database");
  jet::MemoryFileSystem memory;
  memory.SetBytes("kjv.mdb", *bytes);
  const auto t0 = Clock::now();
  {
    store::JetVerseTable table(memory, "kjv.mdb");
    for (const auto& v : lines.verses) {
      if (!table.Insert(store::VerseRecord{v.book, v.chapter, v.verses, v.text, false}).ok()) Fail("insert");
    }
  }
  std::printf("built the KJV store in memory: %zu verses in %.1f s\n", lines.verses.size(),
              Seconds(Clock::now() - t0));
  auto findings = jet::CheckIntegrity(memory, "kjv.mdb");
  if (!findings.ok() || !findings->empty()) Fail("the new KJV store is not clean");
  const std::string temporary = storePath + ".part";
  std::ofstream out(temporary, std::ios::binary);
  const auto& data = memory.Bytes("kjv.mdb");
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  out.close();
  if (!out) Fail("cannot write " + temporary);
  std::filesystem::rename(temporary, storePath);
}

// Opens the store and reads every value of versetbl, text as UTF-8 (the bytes
// themselves when ASCII, else decoded into one reused buffer), the rest into one
// reused value; returns the row count and sets `characters` to the characters read.
long Scan(const std::string& path, std::size_t& characters) {
  auto db = jet::Database::Open(jet::SystemFileSystem(), path);
  if (!db.ok()) Fail("open " + path);
  auto def = (*db)->OpenTable("versetbl");
  if (!def.ok()) Fail("versetbl");
  long rows = 0;
  characters = 0;
  std::string scratch;
  jet::Value value;
  const jet::TableDef& table = *def;
  auto s = (*db)->ScanFields(table, [&](jet::RowId, std::span<const jet::Field> fields) -> jet::Result<bool> {
    for (std::size_t i = 0; i < fields.size(); ++i) {
      const jet::ColumnDef& c = table.columns[i];
      if (c.type == jet::ColumnType::kText || c.type == jet::ColumnType::kMemo) {
        characters += jet::Cp1252View(fields[i].bytes, scratch).size();
      } else if (!jet::FixedValue(c, fields[i], value)) {  // the table has no binary columns
        Fail("a damaged value in " + path);
      }
    }
    ++rows;
    return true;
  });
  if (!s.ok() || characters == 0) Fail("scan");
  return rows;
}

// For scale: the least a scan of versetbl can do. The same reads as the engine's (a
// window of 64 pages and the one before it kept, a single page read for any other),
// then every row split and its memo followed with no check at all, and the texts
// tested for ASCII eight bytes at a time. Only for the store this program built: a
// damaged file would make it read out of bounds. Returns the characters seen.
std::size_t UncheckedScan(const std::string& path, std::uint32_t table, std::size_t memo) {
  constexpr std::size_t kPage = 2048, kWindow = 64;
  const auto u16 = [](const std::uint8_t* p) { return std::size_t{p[0]} | std::size_t{p[1]} << 8; };
  const auto u32 = [&](const std::uint8_t* p) { return u16(p) | u16(p + 2) << 16; };
  const auto ascii = [](const std::uint8_t* p, std::size_t n) {
    std::uint64_t any = 0, w = 0;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) std::memcpy(&w, p + i, 8), any |= w;
    for (; i < n; ++i) any |= p[i];
    return (any & 0x8080808080808080u) == 0;
  };
  const int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) Fail("open " + path);
  const auto pages = static_cast<std::size_t>(lseek(fd, 0, SEEK_END)) / kPage;
  std::vector<std::uint8_t> window(2 * kWindow * kPage), single(kPage);
  std::size_t first[2] = {0, 0}, held[2] = {0, 0}, half = 0, characters = 0;
  const auto read = [&](std::uint8_t* into, std::size_t n, std::size_t count) {
    if (pread(fd, into, count * kPage, static_cast<off_t>(n * kPage)) < 0) Fail("read " + path);
  };
  const auto page = [&](std::size_t n) -> const std::uint8_t* {
    for (std::size_t h : {half, 1 - half}) {
      if (n - first[h] < held[h]) return window.data() + (h * kWindow + n - first[h]) * kPage;
    }
    read(single.data(), n, 1);
    return single.data();
  };
  for (std::size_t n = 0; n < pages; ++n) {
    if (n >= first[half] + held[half]) {
      half = 1 - half;
      first[half] = n, held[half] = std::min(kWindow, pages - n);
      read(window.data() + half * kWindow * kPage, n, held[half]);
    }
    const std::uint8_t* p = page(n);
    if (p[0] != 1 || u32(p + 4) != table) continue;
    for (std::size_t slot = 0, rows = u16(p + 8), end = kPage; slot < rows; ++slot) {
      const std::size_t entry = u16(p + 10 + 2 * slot), start = entry & 0x1FFF, length = end - start;
      end = start;
      if ((entry & 0xC000) != 0) continue;
      const std::uint8_t* row = p + start;
      const std::uint8_t* countByte = row + length - (std::size_t{row[0]} + 7) / 8 - 1;
      for (std::size_t v = 0; v < *countByte; ++v) {
        const std::uint8_t* offset = countByte - 1 - v;  // the offsets run backwards
        const std::uint8_t* field = row + offset[0];
        std::size_t size = std::size_t{offset[-1]} - offset[0];
        if (v == memo && size >= 12 && field[3] == 0x80) {  // a memo's data in the row
          field += 12, size -= 12;
        } else if (v == memo && size >= 12) {  // or on the page its header names
          const std::size_t at = u32(field + 4);
          const std::uint8_t* lp = page(at >> 8);
          const std::size_t r = at & 0xFF, from = u16(lp + 10 + 2 * r) & 0x1FFF;
          size = (r == 0 ? kPage : u16(lp + 8 + 2 * r) & 0x1FFF) - from;
          field = lp + from;
        }
        characters += ascii(field, size) ? size : 0;
      }
    }
  }
  close(fd);
  return characters;
}

std::size_t RawRead(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> buffer(1 << 16);
  std::size_t total = 0;
  while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0) {
    total += static_cast<std::size_t>(in.gcount());
  }
  return total;
}

double OpenToFirstVerse(const std::string& path) {
  return Median(
      [&] {
        store::Data1 data1(jet::SystemFileSystem(), path);
        if (!data1.Refresh().ok() || !data1.HasCurrent()) Fail("Refresh " + path);
      },
      20);
}

// Next Verse from the first row to past the last, per step.
double NextVerseStep(const std::string& path) {
  long steps = 0;
  const double walk = Median(
      [&] {
        store::Data1 data1(jet::SystemFileSystem(), path);
        if (!data1.Refresh().ok()) Fail("Refresh " + path);
        for (steps = 0; data1.HasCurrent(); ++steps) {
          if (!data1.MoveNext().ok()) Fail("MoveNext " + path);
        }
      },
      3);
  return walk / static_cast<double>(steps);
}

// Per row: inserts `count` verses at the end of a copy of the store, then deletes them.
void InsertDelete(const std::string& path, const std::string& work, int count, double* insert,
                  double* remove) {
  std::filesystem::copy_file(path, work, std::filesystem::copy_options::overwrite_existing);
  store::JetVerseTable table(jet::SystemFileSystem(), work);
  std::vector<std::pair<jet::RowId, store::VerseRecord>> added;
  auto t0 = Clock::now();
  for (int i = 0; i < count; ++i) {
    store::VerseRecord r{"John", "3", std::to_string(16 + i),
                         "For God so loved the world, " + std::to_string(i), false};
    auto id = table.Insert(r);
    if (!id.ok()) Fail("insert into " + work);
    added.emplace_back(*id, r);
  }
  *insert = Seconds(Clock::now() - t0) / count;
  t0 = Clock::now();
  for (const auto& [id, r] : added) {
    if (!table.Delete(id, r).ok()) Fail("delete from " + work);
  }
  *remove = Seconds(Clock::now() - t0) / count;
  std::filesystem::remove(work);
}

void Line(const char* what, double seconds, const char* note = "") {
  std::printf("  %-44s %10.2f ms  %s\n", what, seconds * 1e3, note);
}

// Every ratio, for the one line a script reads at the end.
std::vector<std::pair<std::string, double>> ratios;

// How many times faster ours is than a peer; `target` is the least wanted.
void Faster(const char* what, const char* name, double ours, double theirs, double target) {
  const double ratio = theirs / ours;
  ratios.emplace_back(name, ratio);
  std::printf("  %-44s %9.2fx faster   target >= %.0fx: %s\n", what, ratio, target,
              ratio >= target ? "met" : "SHORT");
}

// How many times slower ours is than reading the bytes; `target` is the most allowed.
void Slower(const char* what, const char* name, double ours, double raw, double target) {
  const double ratio = ours / raw;
  ratios.emplace_back(name, ratio);
  std::printf("  %-44s %9.2fx slower   target <= %.0fx: %s\n", what, ratio, target,
              ratio <= target ? "met" : "SHORT");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) Fail("usage: reader_bench KJV.txt CACHE_DIR SMALL_STORE VERSEDB ORACLE_DIR");
  const std::string text = argv[1], cache = argv[2], small = argv[3], versedb = argv[4], oracle = argv[5];
  std::filesystem::create_directories(cache);
  const std::string kjv = cache + "/kjv.mdb";
  if (!std::filesystem::exists(kjv)) BuildStore(text, kjv);
  const auto size = std::filesystem::file_size(kjv);
  std::printf("KJV store: %s, %ju bytes (%ju pages)\n", kjv.c_str(), static_cast<std::uintmax_t>(size),
              static_cast<std::uintmax_t>(size / 2048));

  std::uint32_t tablePage = 0;
  std::size_t memoEntry = 0;
  {
    auto db = jet::Database::Open(jet::SystemFileSystem(), kjv);
    auto def = db.ok() ? (*db)->OpenTable("versetbl") : jet::Result<jet::TableDef>(db.error());
    if (!def.ok()) Fail("versetbl in " + kjv);
    tablePage = def->page;
    for (const auto& c : def->columns) {
      if (c.type == jet::ColumnType::kMemo) memoEntry = c.varIndex;
    }
  }
  long rows = 0;
  std::size_t characters = 0, uncheckedCharacters = 0;
  const std::vector<double> inProcess = Medians(
      {[&] { rows = Scan(kjv, characters); },
       [&] { uncheckedCharacters = UncheckedScan(kjv, tablePage, memoEntry); }, [&] { RawRead(kjv); }},
      30);
  const double scan = inProcess[0], unchecked = inProcess[1], raw = inProcess[2];
  if (uncheckedCharacters != characters) Fail("the unchecked scan did not read what the engine read");
  const std::vector<double> processes =
      Medians({Command(versedb + " export '" + kjv + "' versetbl >/dev/null"),
               Command("mdb-export '" + kjv + "' versetbl >/dev/null"),
               Command("node '" + oracle + "/export.mjs' '" + kjv + "' versetbl >/dev/null"),
               Command("node -e '' >/dev/null"), Command("cat '" + kjv + "' >/dev/null"), Command("true")},
              9);
  const double versedbExport = processes[0], mdbExport = processes[1], mdbReader = processes[2],
               nodeStart = processes[3], cat = processes[4], trueProcess = processes[5];

  std::printf("\nFull read of versetbl (%ld rows), warm caches, medians of runs taken in turn:\n", rows);
  Line("ours: open + scan + decode every value", scan, "(in process)");
  Line("an unchecked scan, for scale", unchecked, "(in process, see UncheckedScan)");
  Line("raw read of the file", raw, "(in process, 64 KiB reads)");
  Line("versedb export (CSV to /dev/null)", versedbExport, "(process)");
  Line("mdb-export (mdbtools)", mdbExport, "(process)");
  Line("mdb-reader (node export.mjs)", mdbReader, "(process)");
  Line("  of which node's start alone", nodeStart, "(node -e '')");
  Line("cat FILE >/dev/null", cat, "(process)");
  Line("  of which a process's start alone", trueProcess, "(true)");

  std::printf("\nRatios:\n");
  Faster("scan vs mdb-export", "scan_faster_than_mdb_export", scan, mdbExport, 3);
  Faster("scan vs mdb-reader", "scan_faster_than_mdb_reader", scan, mdbReader, 5);
  Faster("versedb export vs mdb-export (processes)", "export_faster_than_mdb_export", versedbExport,
         mdbExport, 8);
  Faster("versedb export vs mdb-reader (processes)", "export_faster_than_mdb_reader", versedbExport,
         mdbReader, 5);
  Slower("scan vs raw read (in process)", "scan_slower_than_raw_read", scan, raw, 8);
  std::printf("  %-44s %9.2fx slower\n", "unchecked scan vs raw read", unchecked / raw);
  ratios.emplace_back("unchecked_scan_slower_than_raw_read", unchecked / raw);
  Slower("scan vs cat (a process)", "scan_slower_than_cat", scan, cat, 3);
  Slower("versedb export vs cat (processes)", "export_slower_than_cat", versedbExport, cat, 5);

  std::printf("\nThe reminder (store::Data1), median:\n");
  const double firstKjv = OpenToFirstVerse(kjv);
  const double firstSmall = OpenToFirstVerse(small);
  Line("open to first verse, KJV store", firstKjv);
  Line("open to first verse, shipped store", firstSmall);
  std::printf("  %-44s %9.2fx   (must not grow with the table)\n", "KJV vs shipped", firstKjv / firstSmall);
  ratios.emplace_back("first_verse_kjv_over_shipped", firstKjv / firstSmall);
  const double stepKjv = NextVerseStep(kjv);
  const double stepSmall = NextVerseStep(small);
  std::printf("  %-44s %10.2f us\n", "Next Verse, per step, KJV store", stepKjv * 1e6);
  std::printf("  %-44s %10.2f us\n", "Next Verse, per step, shipped store", stepSmall * 1e6);
  std::printf("  %-44s %9.2fx   (must not grow with the table)\n", "KJV vs shipped", stepKjv / stepSmall);
  ratios.emplace_back("next_verse_kjv_over_shipped", stepKjv / stepSmall);

  std::printf("\nWrites (each its own journalled, synced write), per row:\n");
  double insert = 0, remove = 0;
  InsertDelete(kjv, cache + "/kjv-write.mdb", 50, &insert, &remove);
  Line("insert, KJV store", insert);
  Line("delete, KJV store", remove);
  InsertDelete(small, cache + "/small-write.mdb", 50, &insert, &remove);
  Line("insert, shipped store", insert);
  Line("delete, shipped store", remove);

  std::printf("\nratios:");
  for (const auto& [name, ratio] : ratios) std::printf(" %s %.2f", name.c_str(), ratio);
  std::printf("\n");
  return 0;
}
