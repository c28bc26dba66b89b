// The embedded database: an SQLite 3 file through SQLite's C API.
#pragma once

#include <memory>
#include <string>

#include "db/database.h"

namespace sevrik {

// Opens an existing SQLite file at a host path (it is never created). A file that cannot be
// opened or is no database is a database error with SQLite's text.
//
// Statements are prepared once per SQL text and kept for the connection's life; a
// forward-only recordset reads its rows from the statement as it is walked and lets go of
// the statement (and its read lock) once it has read the last row. A static recordset counts
// its rows first with a count over the same statement. A keyset recordset ("select * from
// <table> ...") holds its rows and saves a changed row by its rowid, only while the changed
// columns still hold what was read. Values keep their stored kind; a text in a column whose
// declared type contains DATE or TIME is a date when it reads as "YYYY-MM-DD[ HH:MM:SS]".
std::unique_ptr<Database> OpenSqliteDatabase(const std::string& host_path, int lock_wait_ms = kLockWaitMs);

// Sets up the SQLite library for the program's one thread; call before any other use of it
// in the process (OpenSqliteDatabase does; later calls change nothing).
void ConfigureSqlite();

}  // namespace sevrik
