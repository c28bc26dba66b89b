// A database reached through ODBC: the customs application's Access database through the
// Access driver, or any database whose driver a connection string names (unixODBC on Linux,
// the system's ODBC on Windows).
#pragma once

#include <memory>
#include <string>

#include "db/database.h"

namespace sevrik {

// Connects with a driver connection string ("Driver=...;Dbq=..." or "DSN=..."), without
// prompting. A driver that is not installed is a database error that names it; any other
// failure keeps the driver's own diagnostic text.
//
// Statements are prepared once per SQL text, parameters bound, rows fetched as they are
// walked (a static recordset counts its rows with a first run of the statement). Values take
// their kind from the column's type as the driver describes it: integers, doubles, dates for
// date and time columns (a value that does not read as a date stays text), Unicode text
// otherwise. A keyset recordset ("select * from <table> [where ...]") saves a changed row
// with one UPDATE of the changed columns under the statement's own condition and the check
// that the changed columns still hold what was read; anything but exactly one row changed
// is rolled back and is an error.
std::unique_ptr<Database> OpenOdbcDatabase(const std::string& connection_string);

}  // namespace sevrik
