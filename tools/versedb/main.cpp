// versedb: look into and change Access 97 verse stores from the command line.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "versedb/commands.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return versedb::Run(args, std::cin, std::cout, std::cerr);
}
