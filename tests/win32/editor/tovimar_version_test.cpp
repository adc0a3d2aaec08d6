// The version resource of the built tovimar.exe, read as the shell reads it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win32/editor/utf8_win32.h"

namespace {

class TovimarVersionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::wstring exe = win32::editor::Wide(TOVIMAR_EXE);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &handle);
    ASSERT_NE(size, 0u) << "no version resource in " << TOVIMAR_EXE;
    data_.resize(size);
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, data_.data()));
  }

  std::string String(const std::wstring& name) {
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring key = L"\\StringFileInfo\\040904b0\\" + name;
    if (!VerQueryValueW(data_.data(), key.c_str(), reinterpret_cast<void**>(&value), &length) || value == nullptr) {
      return "<missing>";
    }
    return win32::editor::Utf8(value);  // the value ends with its terminating zero
  }

  std::vector<unsigned char> data_;
};

TEST_F(TovimarVersionTest, HoldsTheProductStrings) {
  EXPECT_EQ(String(L"FileVersion"), "1.00.0012");
  EXPECT_EQ(String(L"ProductVersion"), "1.00.0012");
  EXPECT_EQ(String(L"ProductName"), "Tovimar 1");
  EXPECT_EQ(String(L"FileDescription"), "Edits Verse Database for Lumaret");
  EXPECT_EQ(String(L"Comments"), "Tovimar for Lumaret Application");
  EXPECT_EQ(String(L"InternalName"), "tovimar");
  EXPECT_EQ(String(L"OriginalFilename"), "tovimar.exe");
  EXPECT_NE(String(L"CompanyName"), "<missing>");
  EXPECT_NE(String(L"LegalCopyright"), "<missing>");
}

TEST_F(TovimarVersionTest, NumbersReadAsMajorOneMinorZeroRevisionTwelve) {
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data_.data(), L"\\", reinterpret_cast<void**>(&info), &length));
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(HIWORD(info->dwFileVersionMS), 1u);
  EXPECT_EQ(LOWORD(info->dwFileVersionMS), 0u);
  EXPECT_EQ(LOWORD(info->dwFileVersionLS), 12u);
  EXPECT_EQ(info->dwProductVersionMS, info->dwFileVersionMS);
  EXPECT_EQ(info->dwProductVersionLS, info->dwFileVersionLS);
  EXPECT_EQ(info->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST_F(TovimarVersionTest, TranslationIsUsEnglishUnicode) {
  WORD* translation = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data_.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                             &length));
  ASSERT_GE(length, 4u);
  EXPECT_EQ(translation[0], 0x0409);
  EXPECT_EQ(translation[1], 1200);
}

}  // namespace
