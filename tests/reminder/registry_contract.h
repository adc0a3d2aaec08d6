// What the reminder relies on from the registry, run against the fake natively and
// against the real registry under wine, so the fake cannot drift from the real one.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "reminder/system_platform.h"

namespace reminder::testing {

// `path` names a key under `root` that does not exist yet; the caller removes it after.
inline void CheckRegistryContract(Registry& registry, Registry::Key root, const std::string& path) {
  Registry::Key missing = 1;
  EXPECT_EQ(registry.OpenKey(root, path, &missing), Registry::kFileNotFound);
  EXPECT_EQ(missing, 0u);

  Registry::Key created = 0;
  ASSERT_EQ(registry.CreateKey(root, path, &created), 0);
  EXPECT_EQ(registry.QueryValue(created, "Lumaret2"), Registry::kFileNotFound);
  ASSERT_EQ(registry.SetValueEx(created, "Lumaret2", Registry::kRegSz, std::string("C:\\verse.exe") + '\0'), 0);

  // Key paths are found whatever their case.
  std::string upper = path;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  Registry::Key opened = 0;
  ASSERT_EQ(registry.OpenKey(root, upper, &opened), 0);
  EXPECT_EQ(registry.QueryValue(opened, "Lumaret2"), 0);
  EXPECT_EQ(registry.DeleteValue(opened, "Lumaret2"), 0);
  EXPECT_EQ(registry.QueryValue(created, "Lumaret2"), Registry::kFileNotFound);
  EXPECT_EQ(registry.DeleteValue(created, "Lumaret2"), Registry::kFileNotFound);
  EXPECT_EQ(registry.CloseKey(opened), 0);
  EXPECT_EQ(registry.CloseKey(created), 0);
}

}  // namespace reminder::testing
