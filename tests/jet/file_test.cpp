// The file layer's contract, checked against the operating system's files (POSIX natively,
// Win32 under wine) and against the in-memory files the other tests build on.
#include <filesystem>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

#include "fixture.h"
#include "jet/pager.h"
#include "support/temp_dir.h"

namespace jet::test {
namespace {

Bytes B(const std::string& text) { return Bytes(text.begin(), text.end()); }

enum class Backend { kSystem, kMemory };

class FileTest : public ::testing::TestWithParam<Backend> {
 protected:
  FileSystem& Fs() { return GetParam() == Backend::kSystem ? SystemFileSystem() : memory_; }
  std::string Path(const std::string& name) const {
    return GetParam() == Backend::kSystem ? dir_.File(name) : "memory/" + name;
  }
  // Opens `name` or fails the test; the returned pointer is then never null.
  std::unique_ptr<File> Open(const std::string& name, OpenMode mode = OpenMode::kCreate) {
    auto file = Fs().Open(Path(name), mode);
    EXPECT_OK(file);
    return file.ok() ? std::move(file).value() : nullptr;
  }
  static Bytes ReadAll(File& file, std::uint64_t offset, std::size_t count) {
    Bytes out(count, 0xEE);
    out.resize(file.Read(offset, out).value());
    return out;
  }
  support::TempDir dir_;
  MemoryFileSystem memory_;
};

TEST_P(FileTest, ContentsAreSharedByHandlesAndKeptUntilChanged) {
  EXPECT_FALSE(*Fs().Exists(Path("a.mdb")));
  auto writer = Open("a.mdb");
  ASSERT_NE(writer, nullptr);
  EXPECT_EQ(writer->Size().value(), 0u);
  EXPECT_TRUE(*Fs().Exists(Path("a.mdb")));
  auto reader = Open("a.mdb", OpenMode::kReadOnly);
  ASSERT_NE(reader, nullptr);
  ASSERT_OK(writer->Write(0, B("In the beginning")));
  ASSERT_OK(writer->Write(3, B("THE")));
  ASSERT_OK(writer->Sync());
  EXPECT_EQ(ReadAll(*reader, 0, 16), B("In THE beginning"));
  // Reads past the end return only the bytes that exist.
  EXPECT_EQ(ReadAll(*reader, 12, 8), B("ning"));
  EXPECT_EQ(ReadAll(*reader, 4096, 4), Bytes{});
  // A read-only handle changes nothing.
  EXPECT_ERROR(reader->Write(0, B("X")), kErrReadOnly);
  EXPECT_ERROR(reader->Truncate(1), kErrReadOnly);
  // Creating an existing file keeps its bytes.
  writer = Open("a.mdb", OpenMode::kCreate);
  EXPECT_EQ(ReadAll(*writer, 0, 2), B("In"));
  // Writes and truncation grow a file with zeros.
  auto file = Open("b.mdb");
  ASSERT_OK(file->Write(4, B("abcd")));
  EXPECT_EQ(ReadAll(*file, 0, 8), (Bytes{0, 0, 0, 0, 'a', 'b', 'c', 'd'}));
  ASSERT_OK(file->Truncate(5));
  EXPECT_EQ(file->Size().value(), 5u);
  // Growing must not bring back the bytes cut off before.
  ASSERT_OK(file->Truncate(7));
  EXPECT_EQ(ReadAll(*file, 0, 8), (Bytes{0, 0, 0, 0, 'a', 0, 0}));
}

TEST_P(FileTest, MissingFilesAreNotFoundAndRemoveAndRenameMoveWholeFiles) {
  for (OpenMode mode : {OpenMode::kReadOnly, OpenMode::kReadWrite}) {
    EXPECT_ERROR(Fs().Open(Path("missing.mdb"), mode), kErrFileNotFound);
  }
  EXPECT_FALSE(*Fs().Exists(Path("missing.mdb")));
  { ASSERT_OK(Open("a.mdb-journal")->Write(0, B("old pages"))); }
  ASSERT_OK(Fs().Rename(Path("a.mdb-journal"), Path("a.mdb-journal-foreign")));
  EXPECT_FALSE(*Fs().Exists(Path("a.mdb-journal")));
  EXPECT_EQ(ReadAll(*Open("a.mdb-journal-foreign", OpenMode::kReadOnly), 0, 9), B("old pages"));
  ASSERT_OK(Fs().Remove(Path("a.mdb-journal-foreign")));
  EXPECT_FALSE(*Fs().Exists(Path("a.mdb-journal-foreign")));
  EXPECT_OK(Fs().Remove(Path("a.mdb-journal-foreign")));  // a missing file is no error
}

// How a write learns that Access has the store open: its lock file is held.
TEST_P(FileTest, HeldOpenTellsWhetherAnotherHandleLocksTheFile) {
  EXPECT_FALSE(*Fs().HeldOpen(Path("v.ldb")));
  { ASSERT_NE(Open("v.ldb"), nullptr); }
  EXPECT_FALSE(*Fs().HeldOpen(Path("v.ldb"))) << "a lock file left behind holds nothing";
  auto access = Open("v.ldb", OpenMode::kReadWrite);
  ASSERT_OK(access->TryLock(0, 1, LockKind::kExclusive));
  EXPECT_TRUE(*Fs().HeldOpen(Path("v.ldb")));
  access.reset();
  EXPECT_FALSE(*Fs().HeldOpen(Path("v.ldb")));
  EXPECT_EQ(AccessLockFilePath("C:\\data.v1\\verse97.mdb"), "C:\\data.v1\\verse97.ldb");
  EXPECT_EQ(AccessLockFilePath("/data.v1/verse97"), "/data.v1/verse97.ldb");
}

TEST_P(FileTest, LocksOfOneHandleBlockOverlappingLocksOfAnotherUntilUnlockedOrClosed) {
  constexpr auto kEx = LockKind::kExclusive;
  constexpr auto kSh = LockKind::kShared;
  const struct {
    LockKind held;
    std::uint64_t offset, length;
    LockKind wanted;
    bool granted;
  } cases[] = {
      // Held: [100, 110). Ranges either side touch it without overlapping.
      {kEx, 100, 10, kEx, false}, {kEx, 105, 1, kEx, false}, {kEx, 100, 10, kSh, false},
      {kEx, 109, 5, kSh, false},  {kEx, 95, 6, kSh, false},  {kEx, 110, 10, kEx, true},
      {kEx, 90, 10, kEx, true},   {kSh, 100, 10, kSh, true}, {kSh, 104, 2, kEx, false},
      {kSh, 200, 2, kEx, true},
  };
  for (const auto& c : cases) {
    auto a = Open("a.mdb");
    auto b = Open("a.mdb");
    ASSERT_OK(a->TryLock(100, 10, c.held));
    const Status got = b->TryLock(c.offset, c.length, c.wanted);
    EXPECT_EQ(got.ok(), c.granted) << c.offset << "+" << c.length;
    if (!got.ok()) {
      EXPECT_EQ(got.error().number, kErrLocked);
    }
  }
  auto other = Open("b.mdb");  // another file's locks are its own
  EXPECT_OK(other->TryLock(100, 10, kEx));
  // Unlocking or closing a handle releases its own locks only.
  auto a = Open("a.mdb");
  auto b = Open("a.mdb");
  auto c = Open("a.mdb");
  ASSERT_OK(a->TryLock(100, 10, kEx));
  ASSERT_OK(a->TryLock(300, 10, kSh));
  ASSERT_OK(b->TryLock(500, 10, kEx));
  ASSERT_OK(a->Unlock(100, 10));
  EXPECT_OK(c->TryLock(100, 10, kEx));
  EXPECT_ERROR(a->TryLock(100, 10, kSh), kErrLocked);
  a.reset();
  EXPECT_OK(c->TryLock(300, 10, kEx));
  EXPECT_ERROR(c->TryLock(500, 10, kSh), kErrLocked);
  // The engine locks far beyond the end of the data, as Jet does: it must neither
  // fail nor grow the file.
  ASSERT_OK(b->TryLock(0x7FFFFF00u, 1, kEx));
  EXPECT_ERROR(c->TryLock(0x7FFFFF00u, 1, kSh), kErrLocked);
  EXPECT_EQ(b->Size().value(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Backends, FileTest, ::testing::Values(Backend::kSystem, Backend::kMemory),
                         [](const ::testing::TestParamInfo<Backend>& param) {
                           return param.param == Backend::kSystem ? "System" : "Memory";
                         });

TEST(SystemFileSystemTest, AFolderIsNoFileAndAFileInAMissingFolderIsNotFound) {
  support::TempDir dir;
  EXPECT_FALSE(*SystemFileSystem().Exists(dir.path()));
  for (OpenMode mode : {OpenMode::kReadOnly, OpenMode::kReadWrite})
    EXPECT_FALSE(SystemFileSystem().Open(dir.path(), mode).ok());
  const std::string path = (std::filesystem::path(dir.File("no-such-folder")) / "verse97.mdb").string();
  EXPECT_ERROR(SystemFileSystem().Open(path, OpenMode::kCreate), kErrFileNotFound);
}

#ifdef _WIN32
// Another program (a virus scanner, an indexer) holds the journal open for a moment.
// Without delete sharing, removing it waits for the handle to close; with it, the
// journal is "delete pending" until then, and making it anew waits for it to go.
// (Wine lets a delete-pending file be opened; Windows refuses, and the file layer
// then counts it as gone. Only what holds on both is checked here.)
TEST(Win32FileSystemTest, AJournalHeldByAnotherProgramIsRemovedAndMadeAgain) {
  support::TempDir dir;
  const std::string path = dir.File("v.mdb-journal");
  const std::wstring wide = std::filesystem::u8path(path).wstring();
  for (DWORD share : {DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE},
                      DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE}}) {
    { ASSERT_OK(SystemFileSystem().Open(path, OpenMode::kCreate)); }
    HANDLE scanner = CreateFileW(wide.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(scanner, INVALID_HANDLE_VALUE);
    std::thread letGo([&] {
      Sleep(150);
      CloseHandle(scanner);
    });
    EXPECT_OK(SystemFileSystem().Remove(path));
    letGo.join();
    EXPECT_FALSE(*SystemFileSystem().Exists(path));
    { EXPECT_OK(SystemFileSystem().Open(path, OpenMode::kCreate)); }
    EXPECT_TRUE(*SystemFileSystem().Exists(path));
    ASSERT_OK(SystemFileSystem().Remove(path));
  }
}
#endif

}  // namespace
}  // namespace jet::test
