// The Win32 services of the reminder on their own keep the contracts their fakes keep.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform_contract.h"
#include "support/temp_dir.h"
#include "win32/common/text.h"
#include "win32/reminder/system_platform_win32.h"

namespace win32::test {
namespace {

TEST(Win32PlatformTest, FilesRegistryAndClockKeepTheirFakesContractsAndTheProgramIsThisOne) {
  support::TempDir folder;
  reminder::Win32FileSystem files;
  wchar_t path[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, path);
  ::reminder::test::CheckFileSystemContract(files, folder.path());
  SetCurrentDirectoryW(path);
  EXPECT_EQ(GetFileAttributesW(Wide(folder.File("verse.ini.new")).c_str()), INVALID_FILE_ATTRIBUTES);
  reminder::Win32Registry registry;
  ::reminder::test::CheckRegistryContract(registry, ::reminder::Registry::kCurrentUser,
                                          "Software\\Lumaret\\Contract");
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Lumaret\\Contract");
  ::reminder::test::CheckClockContract(reminder::Win32Clock());
  reminder::Win32ProgramInfo program;
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  EXPECT_EQ(program.Folder() + "\\" + program.ExeName() + ".exe", Utf8(path));
  EXPECT_EQ(program.ExeName(), "reminder_win32_test");
}

}  // namespace
}  // namespace win32::test
