// The embedded SQLite database on Windows, where the program carries no SQLite library: the
// file is opened through the SQLite ODBC driver, which must be installed (its setup registers
// it as "SQLite3 ODBC Driver").
#include <string>

#include "base/error.h"
#include "db/odbc_database.h"
#include "db/sqlite_database.h"

namespace sevrik {

inline constexpr const char* kSqliteOdbcDriver = "SQLite3 ODBC Driver";

std::unique_ptr<Database> OpenSqliteDatabase(const std::string& host_path, int lock_wait_ms) {
  // The driver takes the file by "Database=" and waits "Timeout=" milliseconds for a lock.
  const std::string connection = std::string("Driver={") + kSqliteOdbcDriver + "};Database=" + host_path +
                                 ";Timeout=" + std::to_string(lock_wait_ms);
  try {
    return OpenOdbcDatabase(connection);
  } catch (const Error& e) {
    throw Error(e.number(), "'" + host_path + "' is an SQLite database; on Windows it is opened through the " +
                                kSqliteOdbcDriver + ", which failed: " + e.description());
  }
}

void ConfigureSqlite() {}

}  // namespace sevrik
