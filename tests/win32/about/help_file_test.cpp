// The compiled help file is a CHM with its pages in it; verse_exe_test.cpp opens it with F1.
#include <windows.h>

#include <gtest/gtest.h>

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

}  // namespace
