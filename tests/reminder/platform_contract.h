// What the reminder relies on from the registry, the file system and the clock, run
// against the fakes natively and against the real services under wine, so a fake cannot
// drift from what it stands for.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <regex>
#include <string>

#include "reminder/system_platform.h"
#include "reminder/ui_platform.h"

namespace reminder::test {

// `path` names a key under `root` that does not exist yet; the caller removes it after.
inline void CheckRegistryContract(Registry& registry, Registry::Key root, const std::string& path) {
  Registry::Key missing = 1, created = 0, opened = 0;
  EXPECT_EQ(registry.OpenKey(root, path, &missing), Registry::kFileNotFound);
  EXPECT_EQ(missing, 0u);
  ASSERT_EQ(registry.CreateKey(root, path, &created), 0);
  EXPECT_EQ(registry.QueryValue(created, "Lumaret2"), Registry::kFileNotFound);
  ASSERT_EQ(registry.SetValueEx(created, "Lumaret2", Registry::kRegSz, std::string("C:\\verse.exe", 13)), 0);
  std::string upper = path;  // key paths are found whatever their case
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  ASSERT_EQ(registry.OpenKey(root, upper, &opened), 0);
  EXPECT_EQ(registry.QueryValue(opened, "Lumaret2"), 0);
  EXPECT_EQ(registry.DeleteValue(opened, "Lumaret2"), 0);
  EXPECT_EQ(registry.QueryValue(created, "Lumaret2"), Registry::kFileNotFound);
  EXPECT_EQ(registry.DeleteValue(created, "Lumaret2"), Registry::kFileNotFound);
  EXPECT_EQ(registry.CloseKey(opened), 0);
  EXPECT_EQ(registry.CloseKey(created), 0);
}

// `folder` names an existing, empty folder; the caller removes what is left in it.
inline void CheckFileSystemContract(FileSystem& files, const std::string& folder) {
  const std::string path = folder + "\\verse.ini";
  const auto error = [](const auto& result) {  // "ok", or the error number and description
    return result.ok() ? "ok" : std::to_string(result.error().number) + " " + result.error().description;
  };
  EXPECT_FALSE(files.FileExists(folder)) << "a folder is no file";
  EXPECT_FALSE(files.FileExists(path));
  EXPECT_EQ(error(files.ReadFile(path)), "53 File not found");
  ASSERT_EQ(error(files.WriteFileAtomically(path, " 1 \r\n")), "ok");
  ASSERT_EQ(error(files.WriteFileAtomically(path, " 12 \r\n 2880 \r\n")), "ok");
  EXPECT_TRUE(files.FileExists(path));
  const jet::Result<std::string> read = files.ReadFile(path);
  EXPECT_EQ(read.ok() ? read.value() : "", " 12 \r\n 2880 \r\n");
  EXPECT_EQ(error(files.WriteFileAtomically(folder + "\\gone\\verse.ini", "x")), "76 Path not found");
  EXPECT_TRUE(files.SetCurrentFolder(folder).ok());
}

// The time of day as "hh:mm:ss", 24 hours.
inline void CheckClockContract(const Clock& clock) {
  const std::string time = clock.TimeOfDay();
  EXPECT_TRUE(std::regex_match(time, std::regex("([01][0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9]"))) << time;
}

}  // namespace reminder::test
