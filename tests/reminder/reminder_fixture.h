// Where the reminder's fakes keep the verse store and the settings file: beside the program.
#pragma once

namespace reminder::test {
inline constexpr char kIniPath[] = "C:\\Lumaret\\verse.ini", kStorePath[] = "C:\\Lumaret\\verse97.mdb";
}  // namespace reminder::test
