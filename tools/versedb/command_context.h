// What every versedb command gets: its arguments, streams and file system.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "jet/file.h"
#include "jet/result.h"

namespace versedb {

struct Context {
  const std::vector<std::string>& args;
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
  jet::FileSystem& fs;
};

// Prints the error with its number and returns the failure exit status.
inline int Fail(Context& c, const jet::Error& e) {
  c.err << "versedb: error " << e.number << ": " << e.description << "\n";
  return 1;
}

// The verse commands (verse_commands.cpp).
int List(Context& c);
int Add(Context& c);
int Delete(Context& c);
int Import(Context& c);

}  // namespace versedb
