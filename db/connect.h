// The connection string the customs application's database expects, read, and the adapter
// that opens the database.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "db/database.h"

namespace sevrik {

// Items of "Key=Value;Key=Value", keys in lower case, values as written.
std::map<std::string, std::string> ParseConnectionString(std::string_view text);

// The ODBC connection string of the Access driver for a database file (a Windows path).
std::string AccessConnectionString(const std::string& database_path, const std::string& password);

// Opens the database of a connection string in the customs application's form
// ("...;Data Source=<folder>\dbTPB.mdb;Jet oledb:Database password=..."):
// - when the environment variable SEVRIK_DATABASE is set, it is an ODBC connection string
//   and that database is opened instead of the file;
// - a file that starts with the SQLite header is opened with SQLite's C API;
// - any other file through ODBC with the Access driver and the password.
// When SEVRIK_ODBC_STATEMENT_LOG names a file, what the ODBC adapter sends is appended to it
// (see SetOdbcStatementLog), for the tests of the programs.
// A missing file, a file that no adapter can open, a driver that is not installed: a
// database error with the driver's text. The file is never created.
std::unique_ptr<Database> ConnectDatabase(const std::string& connection_string);

}  // namespace sevrik
