// The Win32 services of the reminder on their own: files, registry text, program identity.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "registry_contract.h"
#include "support/temp_dir.h"
#include "win32/reminder/system_platform_win32.h"
#include "win32/common/text.h"
#include "window_probe.h"

namespace win32::reminder::test {
namespace {

TEST(Win32FileSystemTest, AnAtomicWriteReplacesTheFileAndLeavesNothingBeside) {
  lumaret::test::TempDir folder;
  Win32FileSystem files;
  const std::string path = folder.File("verse.ini");
  ASSERT_TRUE(files.WriteFileAtomically(path, " 1 \r\n").ok());
  ASSERT_TRUE(files.WriteFileAtomically(path, " 12 \r\n 2880 \r\n").ok());
  EXPECT_EQ(FileBytes(path), " 12 \r\n 2880 \r\n");
  EXPECT_FALSE(FileExists(path + ".new"));
  const jet::Result<std::string> read = files.ReadFile(path);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(read.value(), " 12 \r\n 2880 \r\n");
}

TEST(Win32FileSystemTest, FailuresCarryTheRuntimesNumbers) {
  lumaret::test::TempDir folder;
  Win32FileSystem files;
  const jet::Result<std::string> missing = files.ReadFile(folder.File("verse.ini"));
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().number, 53);
  EXPECT_EQ(missing.error().description, "File not found");
  const jet::Status noFolder = files.WriteFileAtomically(folder.File("gone") + "\\verse.ini", "x");
  ASSERT_FALSE(noFolder.ok());
  EXPECT_EQ(noFolder.error().number, 76);
  EXPECT_EQ(noFolder.error().description, "Path not found");
}

TEST(Win32FileSystemTest, AFolderIsNotAFileAndCanBeMadeCurrent) {
  lumaret::test::TempDir folder;
  Win32FileSystem files;
  EXPECT_FALSE(files.FileExists(folder.path()));
  EXPECT_FALSE(files.FileExists(folder.File("verse97.mdb")));
  CopyFileTo(ShippedStorePath(), folder.File("verse97.mdb"));
  EXPECT_TRUE(files.FileExists(folder.File("verse97.mdb")));
  wchar_t before[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, before);
  ASSERT_TRUE(files.SetCurrentFolder(folder.path()).ok());
  EXPECT_TRUE(files.FileExists(".\\verse97.mdb"));
  SetCurrentDirectoryW(before);
}

TEST(Win32RegistryTest, UnicodeTextIsStoredInTheAnsiCodePageWithItsZeroCounted) {
  Win32Registry registry;
  constexpr char kKey[] = "Software\\Lumaret\\Test";
  ::reminder::Registry::Key key = 0;
  ASSERT_EQ(registry.CreateKey(::reminder::Registry::kLocalMachine, kKey, &key), 0);
  // "Café" in UTF-8 is five bytes; in code page 1252 it is four, plus the zero.
  ASSERT_EQ(registry.SetValueEx(key, "Path", ::reminder::Registry::kRegSz, std::string("Caf\xC3\xA9") + '\0'), 0);
  char data[16] = {};
  DWORD size = sizeof data;
  DWORD type = 0;
  ASSERT_EQ(RegQueryValueExA(reinterpret_cast<HKEY>(key), "Path", nullptr, &type, reinterpret_cast<BYTE*>(data), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, 5u);
  EXPECT_EQ(std::string(data), Ansi("Caf\xC3\xA9"));
  EXPECT_EQ(registry.DeleteValue(key, "Path"), 0);
  EXPECT_NE(registry.DeleteValue(key, "Path"), 0);
  EXPECT_EQ(registry.CloseKey(key), 0);
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKey);
}

TEST(Win32RegistryTest, KeepsTheContractTheFakeKeeps) {
  Win32Registry registry;
  constexpr char kKey[] = "Software\\Lumaret\\Contract";
  ::reminder::testing::CheckRegistryContract(registry, ::reminder::Registry::kCurrentUser, kKey);
  RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
}

TEST(Win32ProgramInfoTest, TheFolderAndNameAreThoseOfTheRunningProgram) {
  Win32ProgramInfo program;
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  EXPECT_EQ(program.Folder() + "\\" + program.ExeName() + ".exe", Utf8(path));
  EXPECT_EQ(program.ExeName(), "reminder_win32_test");
}

TEST(Win32ClockTest, TheTimeOfDayReadsAsHoursMinutesAndSeconds) {
  const std::string time = Win32Clock().TimeOfDay();
  ASSERT_EQ(time.size(), 8u);
  EXPECT_EQ(time[2], ':');
  EXPECT_EQ(time[5], ':');
  EXPECT_LT(std::stoi(time.substr(0, 2)), 24);
  EXPECT_LT(std::stoi(time.substr(3, 2)), 60);
}

}  // namespace
}  // namespace win32::reminder::test
