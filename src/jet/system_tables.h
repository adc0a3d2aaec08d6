// The definitions of the four tables the Jet engine keeps in every database.
#pragma once

#include "jet/result.h"
#include "jet/table_def.h"

namespace jet {

struct SystemTables {
  TableDef objects;        // MSysObjects, page 2
  TableDef aces;           // MSysACEs, page 3
  TableDef queries;        // MSysQueries, page 4
  TableDef relationships;  // MSysRelationships, page 5
};

// The four definitions as a new database holds them: columns, indexes, and the
// usage maps and index leaves on the pages new_page names. Row counts and the indexes'
// distinct-key counts are zero; the caller fills them in.
Result<SystemTables> MakeSystemTables();

}  // namespace jet
