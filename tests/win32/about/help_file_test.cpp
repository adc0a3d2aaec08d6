// The compiled help file: it is a CHM, and the shell opens it in the help viewer with the
// arguments the main window's F1 uses.
#include <windows.h>

#include <gtest/gtest.h>
#include <shellapi.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

// A Unix path of the build tree as wine sees it: drive Z: is the root folder.
std::string WinePath(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

HWND WaitForWindow(const char* className, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND found = FindWindowA(className, nullptr);
    if (found != nullptr || GetTickCount() - start > milliseconds) return found;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(100);
  }
}

TEST(HelpFileTest, TheBuiltHelpFileIsACompiledHtmlHelpFile) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(WinePath(LUMARET_HELP_FILE).c_str(), "rb"),
                                             std::fclose);
  ASSERT_TRUE(file) << LUMARET_HELP_FILE;
  char signature[4] = {};
  ASSERT_EQ(std::fread(signature, 1, 4, file.get()), 4u);
  EXPECT_EQ(std::string(signature, 4), "ITSF");
  std::fseek(file.get(), 0, SEEK_END);
  EXPECT_GT(std::ftell(file.get()), 4096L) << "the pages are in it";
}

TEST(HelpFileTest, OpeningItLikeF1BringsUpTheHelpViewer) {
  ASSERT_EQ(FindWindowA("HH Parent", nullptr), nullptr) << "a help window is open already";
  std::string folder = WinePath(LUMARET_HELP_FILE);
  folder.resize(folder.rfind('\\'));
  ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
  // The main window's Help > "&Help": "Open", ".\lumaret2.chm", no parameters, the
  // program's folder, SW_SHOWNORMAL.
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteA(nullptr, "Open", ".\\lumaret2.chm", "", folder.c_str(), SW_SHOWNORMAL));
  EXPECT_GT(result, 32);
  HWND viewer = WaitForWindow("HH Parent", 30000);
  ASSERT_NE(viewer, nullptr) << "no help viewer window appeared";
  char title[256] = {};
  GetWindowTextA(viewer, title, sizeof title);
  EXPECT_STREQ(title, "Lumaret Help");
  PostMessageA(viewer, WM_CLOSE, 0, 0);
  const DWORD start = GetTickCount();
  while (IsWindow(viewer) && GetTickCount() - start < 10000) Sleep(100);
  EXPECT_FALSE(IsWindow(viewer));
}

}  // namespace
