// The file layer's contract, checked against the operating system's files (POSIX natively,
// Win32 under wine) and against the in-memory files the other tests build on.
#include "jet/file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "jet/errors.h"
#include "jet/file_memory.h"
#include "support/result_assert.h"
#include "support/temp_dir.h"

namespace jet {
namespace {

using Bytes = std::vector<std::uint8_t>;

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
    EXPECT_TRUE(file.ok()) << file.error().number << " " << file.error().description;
    return file.ok() ? std::move(file).value() : nullptr;
  }

  static Bytes ReadAll(File& file, std::uint64_t offset, std::size_t count) {
    Bytes out(count, 0xEE);
    auto n = file.Read(offset, out);
    EXPECT_TRUE(n.ok());
    out.resize(n.ok() ? *n : 0);
    return out;
  }

  static std::uint64_t SizeOf(File& file) {
    auto size = file.Size();
    EXPECT_TRUE(size.ok());
    return size.ok() ? *size : ~std::uint64_t{0};
  }

  lumaret::test::TempDir dir_;
  MemoryFileSystem memory_;
};

TEST_P(FileTest, CreateMakesAnEmptyFileThatExists) {
  auto exists = Fs().Exists(Path("a.mdb"));
  ASSERT_OK(exists);
  EXPECT_FALSE(*exists);

  auto file = Open("a.mdb");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(SizeOf(*file), 0u);
  exists = Fs().Exists(Path("a.mdb"));
  ASSERT_OK(exists);
  EXPECT_TRUE(*exists);
}

TEST_P(FileTest, CreateKeepsTheContentOfAnExistingFile) {
  {
    auto file = Open("a.mdb");
    ASSERT_NE(file, nullptr);
    ASSERT_OK(file->Write(0, B("verse")));
  }
  auto again = Open("a.mdb", OpenMode::kCreate);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(SizeOf(*again), 5u);
  EXPECT_EQ(ReadAll(*again, 0, 5), B("verse"));
}

TEST_P(FileTest, BytesWrittenThroughOneHandleAreReadThroughAnother) {
  auto writer = Open("a.mdb");
  auto reader = Open("a.mdb", OpenMode::kReadOnly);
  ASSERT_NE(writer, nullptr);
  ASSERT_NE(reader, nullptr);
  ASSERT_OK(writer->Write(0, B("In the beginning")));
  ASSERT_OK(writer->Write(3, B("THE")));
  ASSERT_OK(writer->Sync());
  EXPECT_EQ(ReadAll(*reader, 0, 16), B("In THE beginning"));
  EXPECT_EQ(ReadAll(*reader, 7, 5), B("begin"));
}

TEST_P(FileTest, ReadsPastTheEndReturnOnlyTheBytesThatExist) {
  auto file = Open("a.mdb");
  ASSERT_NE(file, nullptr);
  ASSERT_OK(file->Write(0, B("0123456789")));
  EXPECT_EQ(ReadAll(*file, 6, 8), B("6789"));
  EXPECT_EQ(ReadAll(*file, 10, 4), Bytes{});
  EXPECT_EQ(ReadAll(*file, 4096, 4), Bytes{});
  EXPECT_EQ(ReadAll(*file, 0, 0), Bytes{});
}

TEST_P(FileTest, WritingPastTheEndGrowsTheFileWithZeros) {
  auto file = Open("a.mdb");
  ASSERT_NE(file, nullptr);
  ASSERT_OK(file->Write(4, B("ab")));
  EXPECT_EQ(SizeOf(*file), 6u);
  EXPECT_EQ(ReadAll(*file, 0, 6), (Bytes{0, 0, 0, 0, 'a', 'b'}));
}

TEST_P(FileTest, TruncateShrinksAndGrowsTheFile) {
  auto file = Open("a.mdb");
  ASSERT_NE(file, nullptr);
  ASSERT_OK(file->Write(0, B("abcdefgh")));

  ASSERT_OK(file->Truncate(3));
  EXPECT_EQ(SizeOf(*file), 3u);
  EXPECT_EQ(ReadAll(*file, 0, 8), B("abc"));

  // Growing must not bring back the bytes cut off before.
  ASSERT_OK(file->Truncate(6));
  EXPECT_EQ(SizeOf(*file), 6u);
  EXPECT_EQ(ReadAll(*file, 0, 8), (Bytes{'a', 'b', 'c', 0, 0, 0}));
}

TEST_P(FileTest, OpeningAMissingFileFailsWithFileNotFoundAndCreatesNothing) {
  EXPECT_ERROR(Fs().Open(Path("missing.mdb"), OpenMode::kReadOnly), kErrFileNotFound);
  EXPECT_ERROR(Fs().Open(Path("missing.mdb"), OpenMode::kReadWrite), kErrFileNotFound);
  auto exists = Fs().Exists(Path("missing.mdb"));
  ASSERT_OK(exists);
  EXPECT_FALSE(*exists);
}

TEST_P(FileTest, AReadOnlyHandleRefusesToChangeTheFile) {
  {
    auto file = Open("a.mdb");
    ASSERT_NE(file, nullptr);
    ASSERT_OK(file->Write(0, B("verse")));
  }
  auto file = Open("a.mdb", OpenMode::kReadOnly);
  ASSERT_NE(file, nullptr);
  EXPECT_ERROR(file->Write(0, B("X")), kErrReadOnly);
  EXPECT_ERROR(file->Truncate(1), kErrReadOnly);
  EXPECT_EQ(ReadAll(*file, 0, 8), B("verse"));
}

TEST_P(FileTest, RemoveDeletesTheFileAndAcceptsAMissingOne) {
  { ASSERT_NE(Open("a.mdb"), nullptr); }
  ASSERT_OK(Fs().Remove(Path("a.mdb")));
  auto exists = Fs().Exists(Path("a.mdb"));
  ASSERT_OK(exists);
  EXPECT_FALSE(*exists);
  EXPECT_ERROR(Fs().Open(Path("a.mdb"), OpenMode::kReadOnly), kErrFileNotFound);
  EXPECT_OK(Fs().Remove(Path("a.mdb")));
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
}

TEST_P(FileTest, RenameMovesTheBytesToTheNewName) {
  { ASSERT_OK(Open("a.mdb-journal")->Write(0, B("old pages"))); }
  ASSERT_OK(Fs().Rename(Path("a.mdb-journal"), Path("a.mdb-journal-foreign")));
  EXPECT_FALSE(*Fs().Exists(Path("a.mdb-journal")));
  auto moved = Open("a.mdb-journal-foreign", OpenMode::kReadOnly);
  Bytes out(9);
  EXPECT_EQ(*moved->Read(0, out), 9u);
  EXPECT_EQ(out, B("old pages"));
}

TEST_P(FileTest, AnExclusiveLockBlocksOverlappingLocksOfAnotherHandle) {
  auto a = Open("a.mdb");
  auto b = Open("a.mdb");
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  ASSERT_OK(a->TryLock(100, 10, LockKind::kExclusive));

  EXPECT_ERROR(b->TryLock(100, 10, LockKind::kExclusive), kErrLocked);
  EXPECT_ERROR(b->TryLock(105, 1, LockKind::kExclusive), kErrLocked);
  EXPECT_ERROR(b->TryLock(100, 10, LockKind::kShared), kErrLocked);
  EXPECT_ERROR(b->TryLock(109, 5, LockKind::kShared), kErrLocked);
  EXPECT_ERROR(b->TryLock(95, 6, LockKind::kShared), kErrLocked);
  // The ranges either side touch the lock but do not overlap it.
  EXPECT_OK(b->TryLock(110, 10, LockKind::kExclusive));
  EXPECT_OK(b->TryLock(90, 10, LockKind::kExclusive));
}

TEST_P(FileTest, SharedLocksCoexistButBlockAnExclusiveOne) {
  auto a = Open("a.mdb");
  auto b = Open("a.mdb");
  auto c = Open("a.mdb");
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  ASSERT_NE(c, nullptr);
  ASSERT_OK(a->TryLock(100, 10, LockKind::kShared));
  EXPECT_OK(b->TryLock(100, 10, LockKind::kShared));
  EXPECT_ERROR(c->TryLock(104, 2, LockKind::kExclusive), kErrLocked);
  EXPECT_OK(c->TryLock(200, 2, LockKind::kExclusive));
}

TEST_P(FileTest, UnlockLetsAnotherHandleTakeTheRange) {
  auto a = Open("a.mdb");
  auto b = Open("a.mdb");
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  ASSERT_OK(a->TryLock(100, 10, LockKind::kExclusive));
  EXPECT_ERROR(b->TryLock(100, 10, LockKind::kExclusive), kErrLocked);

  ASSERT_OK(a->Unlock(100, 10));
  EXPECT_OK(b->TryLock(100, 10, LockKind::kExclusive));
  EXPECT_ERROR(a->TryLock(100, 10, LockKind::kShared), kErrLocked);
}

TEST_P(FileTest, ClosingAHandleReleasesItsLocksButNotThoseOfOthers) {
  auto a = Open("a.mdb");
  auto b = Open("a.mdb");
  auto c = Open("a.mdb");
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  ASSERT_NE(c, nullptr);
  ASSERT_OK(a->TryLock(100, 10, LockKind::kExclusive));
  ASSERT_OK(a->TryLock(300, 10, LockKind::kShared));
  ASSERT_OK(b->TryLock(500, 10, LockKind::kExclusive));

  a.reset();
  EXPECT_OK(c->TryLock(100, 10, LockKind::kExclusive));
  EXPECT_OK(c->TryLock(300, 10, LockKind::kExclusive));
  EXPECT_ERROR(c->TryLock(500, 10, LockKind::kShared), kErrLocked);
}

// The engine locks ranges far beyond the end of the data, as Jet does; that must neither
// fail nor grow the file.
TEST_P(FileTest, LocksBeyondTheEndOfTheFileWorkAndLeaveItsSize) {
  auto a = Open("a.mdb");
  auto b = Open("a.mdb");
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  ASSERT_OK(a->TryLock(0x7FFFFF00u, 1, LockKind::kExclusive));
  EXPECT_ERROR(b->TryLock(0x7FFFFF00u, 1, LockKind::kShared), kErrLocked);
  EXPECT_EQ(SizeOf(*a), 0u);
}

TEST_P(FileTest, LocksOnDifferentFilesAreIndependent) {
  auto a = Open("a.mdb");
  auto b = Open("b.mdb");
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  ASSERT_OK(a->TryLock(100, 10, LockKind::kExclusive));
  EXPECT_OK(b->TryLock(100, 10, LockKind::kExclusive));
}

INSTANTIATE_TEST_SUITE_P(Backends, FileTest, ::testing::Values(Backend::kSystem, Backend::kMemory),
                         [](const ::testing::TestParamInfo<Backend>& param) {
                           return param.param == Backend::kSystem ? "System" : "Memory";
                         });

TEST(SystemFileSystemTest, AFolderIsNeitherAFileNorOpenable) {
  lumaret::test::TempDir dir;
  auto exists = SystemFileSystem().Exists(dir.path());
  ASSERT_OK(exists);
  EXPECT_FALSE(*exists);
  EXPECT_FALSE(SystemFileSystem().Open(dir.path(), OpenMode::kReadOnly).ok());
  EXPECT_FALSE(SystemFileSystem().Open(dir.path(), OpenMode::kReadWrite).ok());
}

TEST(SystemFileSystemTest, AFileInAMissingFolderIsNotFound) {
  lumaret::test::TempDir dir;
  std::string path = (std::filesystem::path(dir.File("no-such-folder")) / "verse97.mdb").string();
  EXPECT_ERROR(SystemFileSystem().Open(path, OpenMode::kReadOnly), kErrFileNotFound);
  EXPECT_ERROR(SystemFileSystem().Open(path, OpenMode::kCreate), kErrFileNotFound);
  auto exists = SystemFileSystem().Exists(path);
  ASSERT_OK(exists);
  EXPECT_FALSE(*exists);
}

TEST(MemoryFileSystemTest, BytesShowWhatHandlesWroteAndSetBytesIsSeenByThem) {
  MemoryFileSystem fs;
  fs.SetBytes("verse97.mdb", B("abc"));
  auto file = fs.Open("verse97.mdb", OpenMode::kReadWrite);
  ASSERT_OK(file);
  ASSERT_OK((*file)->Write(1, B("XY")));
  EXPECT_EQ(fs.Bytes("verse97.mdb"), B("aXY"));
}

#ifdef _WIN32
// Another program (a virus scanner, an indexer) holds the journal open for a moment.
// Without delete sharing, removing it waits for the handle to close; with it, the
// journal is "delete pending" until then, and making it anew waits for it to go.
// (Wine lets a delete-pending file be opened; Windows refuses, and the file layer
// then counts it as gone. Only what holds on both is checked here.)
TEST(Win32FileSystemTest, AJournalHeldByAnotherProgramIsRemovedAndMadeAgain) {
  lumaret::test::TempDir dir;
  const std::string path = dir.File("v.mdb-journal");
  const std::wstring wide = std::filesystem::u8path(path).wstring();
  for (DWORD share : {DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE}}) {
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
}  // namespace jet
