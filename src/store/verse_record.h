// One verse as both programs see it.
#pragma once

#include <string>

namespace store {

// One row of versetbl: every column as UTF-8 text, a null value as empty text.
struct VerseRecord {
  std::string book;
  std::string chapter;
  std::string verses;
  std::string verseTxt;
  bool read = false;

  friend bool operator==(const VerseRecord&, const VerseRecord&) = default;
};

}  // namespace store
