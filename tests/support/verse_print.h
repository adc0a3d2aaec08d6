// How GoogleTest shows a verse row in a failure message.
#pragma once

#include <ostream>

#include "store/verse_record.h"

namespace store {
inline void PrintTo(const VerseRecord& r, std::ostream* os) {
  *os << "{" << r.book << " " << r.chapter << ":" << r.verses << " " << r.verseTxt.substr(0, 30)
      << (r.read ? " read" : "") << "}";
}
}  // namespace store
