// The versedb commands, callable in-process so tests can drive them.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "jet/file.h"

namespace versedb {

// Runs one command line (without the program name). Returns the exit status:
// 0 for success, 1 for a failure (its number and text on `err`), 2 for bad usage.
int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
        jet::FileSystem& fs = jet::SystemFileSystem());

}  // namespace versedb
