// A database reached through ODBC: the customs application's Access database through the
// Access driver, or any database whose driver a connection string names (unixODBC on Linux,
// the system's ODBC on Windows).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "db/database.h"

namespace sevrik {

// Connects with a driver connection string ("Driver=...;Dbq=..." or "DSN=..."), without
// prompting. A driver that is not installed is a database error that names it; any other
// failure keeps the driver's own diagnostic text. The connection string reaches the driver in
// the system's code page (on Windows a folder name outside it is an error, never a garbled
// path).
//
// Statements are prepared once per SQL text and their parameters bound once, their values
// renewed from run to run; rows are fetched in blocks into bound columns as they are walked
// (a static recordset counts its rows first). Values take their kind from the column's type
// as the driver describes it: integers, doubles (a Single at its own precision), dates for
// date and time columns (a value that does not read as a date stays text), Unicode text
// otherwise. A keyset recordset ("select * from <table> [where ...]") saves a changed row
// with one UPDATE of the changed columns under the statement's own condition and the check
// that the changed columns still hold what was read; anything but exactly one row changed
// is rolled back and is an error. A text longer than its column is error 5 naming the column,
// before the update is tried.
//
// What the Access driver takes is all that is sent: parameters only in WHERE and SET, text
// parameters with their length, no 64-bit integer parameter (one beyond 32 bits goes as a
// double; beyond 2^53 it is error 6); no transaction begins while a cursor of the connection
// is open (an open recordset reads the rest of its rows first); on the Access driver a LIKE
// pattern's "[" is sent as "[[]", so that it is the character itself.
//
// A locked database (the driver's "locked" or "busy" states) is tried again until
// `lock_wait_ms` have passed, then it is the error. No call waits without a bound, and the
// driver's waits count within that wait, not on top of it: its time-outs (query, login,
// connection) are set to the whole wait and a call that ran into one is not tried again; the
// SQLite ODBC driver's busy time-out (its Timeout item) is one slice of half a second.
//
std::unique_ptr<Database> OpenOdbcDatabase(const std::string& connection_string, int lock_wait_ms = kLockWaitMs);

// What the adapter sends to the driver, a line at a time, for the tests that check it against
// the Access driver's rules: "PREPARE\t<sql>" for every statement prepared,
// "BIND\t<n>\t<kind>\t<column size>\t<length>" for every parameter bound (kind: text,
// integer, double, timestamp or null; length: a text's length in characters), and
// "TRANSACTION\t<cursors open>" where a transaction begins.
using OdbcStatementLog = std::function<void(const std::string& line)>;

// The log of the connections opened from now on (an empty function: none).
void SetOdbcStatementLog(OdbcStatementLog log);

// A log that appends each line, ended by "\n", to the file at `host_path`.
OdbcStatementLog StatementLogFile(std::string host_path);

}  // namespace sevrik
