// Where the reminder's fakes keep its files: the verse store and the settings file beside
// the program.
#pragma once

namespace reminder::test {

inline constexpr char kIniPath[] = "C:\\Lumaret\\verse.ini";
inline constexpr char kStorePath[] = "C:\\Lumaret\\verse97.mdb";

}  // namespace reminder::test
