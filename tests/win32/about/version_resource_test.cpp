// The version resource: the numbers the About box shows and every string Explorer shows,
// read with the version API from this test program (which carries version.rc) and from
// the built verse.exe.
#include "win32/about/resource_version.h"
#include "win32/common/module_path.h"
#include "win32/common/version_resource.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace win32::about {
namespace {

void ExpectEveryVerseString(const std::wstring& file) {
  EXPECT_EQ(VersionString(file, L"FileDescription"), "Aids in memorizing Bible Verses");
  EXPECT_EQ(VersionString(file, L"Comments"), "Lumaret - Reminding you of Gods word");
  EXPECT_EQ(VersionString(file, L"ProductName"), "Lumaret");
  EXPECT_EQ(VersionString(file, L"InternalName"), "verse");
  EXPECT_EQ(VersionString(file, L"OriginalFilename"), "verse.exe");
  EXPECT_EQ(VersionString(file, L"FileVersion"), "2.02.0108");
  EXPECT_EQ(VersionString(file, L"ProductVersion"), "2.02.0108");
  EXPECT_EQ(VersionString(file, L"CompanyName"), "The Lumaret project");
  EXPECT_EQ(VersionString(file, L"LegalCopyright"), "Copyright \xC2\xA9 2026 The Lumaret project");
}

// The binary version 2.2.0.108 and the US English, Unicode translation.
void ExpectBinaryVersionAndTranslation(const std::wstring& file) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::string block(size, '\0');
  ASSERT_TRUE(GetFileVersionInfoW(file.c_str(), 0, size, block.data()));
  void* data = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", &data, &length));
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(data);
  EXPECT_EQ(fixed->dwFileVersionMS, (2u << 16) | 2u);
  EXPECT_EQ(fixed->dwFileVersionLS, (0u << 16) | 108u);
  EXPECT_EQ(fixed->dwProductVersionMS, (2u << 16) | 2u);
  EXPECT_EQ(fixed->dwProductVersionLS, 108u);
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &data, &length));
  ASSERT_EQ(length, 4u);
  const auto* translation = static_cast<const WORD*>(data);
  EXPECT_EQ(translation[0], 0x0409);
  EXPECT_EQ(translation[1], 0x04B0);
}

TEST(VersionResourceTest, TheAboutBoxReadsMajorMinorAndRevision) {
  auto version = ResourceVersion().Version();
  ASSERT_TRUE(version.ok());
  EXPECT_EQ(version.value().major, 2);
  EXPECT_EQ(version.value().minor, 2);
  EXPECT_EQ(version.value().revision, 108);
}

TEST(VersionResourceTest, AModuleThatCannotBeFoundReportsAnErrorAndNoStrings) {
  // No module has this handle, so there is no file to read a version from.
  const auto nowhere = reinterpret_cast<HMODULE>(static_cast<UINT_PTR>(0x10));
  EXPECT_TRUE(ModuleFileName(nowhere).empty());
  EXPECT_FALSE(ResourceVersion(nowhere).Version().ok());
  EXPECT_EQ(VersionString(ModuleFileName(nullptr), L"NoSuchString"), "");
}

TEST(VersionResourceTest, VersionRcCarriesEveryStringOfTheReminder) {
  const std::wstring self = ModuleFileName(nullptr);
  ExpectEveryVerseString(self);
  ExpectBinaryVersionAndTranslation(self);
}

TEST(VersionResourceTest, TheBuiltVerseExeCarriesEveryStringOfTheReminder) {
  const std::string verse = LUMARET_VERSE_EXE;
  if (verse.empty()) GTEST_SKIP() << "verse.exe is not part of this build";
  const std::wstring file = L"Z:" + std::wstring(verse.begin(), verse.end());
  ASSERT_NE(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES) << verse;
  ExpectEveryVerseString(file);
  ExpectBinaryVersionAndTranslation(file);
}

}  // namespace
}  // namespace win32::about
