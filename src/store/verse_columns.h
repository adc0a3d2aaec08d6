// Where versetbl's columns are in a table definition, and conversion between
// a row's values and the text both programs show.
#pragma once

#include <cstddef>
#include <vector>

#include "jet/result.h"
#include "jet/table_def.h"
#include "jet/value.h"
#include "store/verse_record.h"

namespace store {

class VerseColumns {
 public:
  // Finds Book, Chapter, Read, Verses and VerseTxt by name (any case); fails
  // with 3265 naming the first one that is missing.
  static jet::Result<VerseColumns> Find(const jet::TableDef& def);

  // The row as text: every value converted to text, null as empty text.
  VerseRecord ToRecord(const std::vector<jet::Value>& values) const;

  // `current` with the five columns replaced by `record`: text in the file's code
  // page (3169 when it cannot hold a character), empty text as null, numbers
  // parsed (3421 when the text is not one), Read as Yes/No. Other columns keep
  // their values.
  jet::Result<std::vector<jet::Value>> ToValues(const VerseRecord& record, std::vector<jet::Value> current) const;

 private:
  const jet::TableDef* def_ = nullptr;
  std::size_t book_ = 0, chapter_ = 0, read_ = 0, verses_ = 0, verseTxt_ = 0;
};

// A value as the programs show it: text decoded from the code page, numbers in
// decimal, Yes/No as -1/0 (as a bound text box shows a boolean), null as "".
std::string ValueText(const jet::Value& value);

}  // namespace store
