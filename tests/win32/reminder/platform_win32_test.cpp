// The Win32 services of the reminder on their own: files, registry text, program identity.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform_contract.h"
#include "support/temp_dir.h"
#include "win32/common/text.h"
#include "win32/reminder/system_platform_win32.h"
#include "window_probe.h"

namespace win32::reminder::test {
namespace {

TEST(Win32FileSystemTest, KeepsTheContractTheFakeKeepsAndLeavesNothingBeside) {
  support::TempDir folder;
  Win32FileSystem files;
  wchar_t before[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, before);
  ::reminder::test::CheckFileSystemContract(files, folder.path());
  SetCurrentDirectoryW(before);
  EXPECT_FALSE(FileExists(folder.File("verse.ini.new")));
}

TEST(Win32RegistryTest, UnicodeTextIsStoredInTheAnsiCodePageWithItsZeroCounted) {
  Win32Registry registry;
  constexpr char kKey[] = "Software\\Lumaret\\Test";
  ::reminder::Registry::Key key = 0;
  ASSERT_EQ(registry.CreateKey(::reminder::Registry::kLocalMachine, kKey, &key), 0);
  // "Café" in UTF-8 is five bytes; in code page 1252 it is four, plus the zero.
  ASSERT_EQ(registry.SetValueEx(key, "Path", ::reminder::Registry::kRegSz, std::string("Caf\xC3\xA9") + '\0'),
            0);
  char data[16] = {};
  DWORD size = sizeof data;
  DWORD type = 0;
  ASSERT_EQ(RegQueryValueExA(reinterpret_cast<HKEY>(key), "Path", nullptr, &type,
                             reinterpret_cast<BYTE*>(data), &size),
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
  ::reminder::test::CheckRegistryContract(registry, ::reminder::Registry::kCurrentUser, kKey);
  RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
}

TEST(Win32ProgramInfoTest, TheFolderAndNameAreThoseOfTheRunningProgram) {
  Win32ProgramInfo program;
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  EXPECT_EQ(program.Folder() + "\\" + program.ExeName() + ".exe", Utf8(path));
  EXPECT_EQ(program.ExeName(), "reminder_win32_test");
}

TEST(Win32ClockTest, KeepsTheContractTheFakeKeeps) { ::reminder::test::CheckClockContract(Win32Clock()); }

}  // namespace
}  // namespace win32::reminder::test
