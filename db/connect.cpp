#include "db/connect.h"

#include <cstdlib>

#include "base/error.h"
#include "base/text.h"
#include "db/odbc_database.h"
#include "db/sqlite_database.h"
#include "platform/fs.h"

namespace sevrik {

std::map<std::string, std::string> ParseConnectionString(std::string_view text) {
  std::map<std::string, std::string> items;
  for (const std::string& item : Split(text, ";")) {
    const size_t eq = item.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = AsciiLower(Trim(std::string_view(item).substr(0, eq)));
    if (!key.empty() && !items.count(key)) items[key] = item.substr(eq + 1);
  }
  return items;
}

// The Access driver as the ODBC of this program's width names it: the one that comes with
// Windows is 32-bit; 64-bit Windows has only the newer driver of the 64-bit database engine.
#if defined(_WIN64)
constexpr char kAccessDriver[] = "Microsoft Access Driver (*.mdb, *.accdb)";
#else
constexpr char kAccessDriver[] = "Microsoft Access Driver (*.mdb)";
#endif

std::string AccessConnectionString(const std::string& database_path, const std::string& password) {
  return std::string("Driver={") + kAccessDriver + "};Dbq=" + database_path + ";Pwd=" + password;
}

namespace {

// The database file as a message names it: in one form, the host's (on Linux the program
// folder's host path joined by "/", never by the "\" of the connection string), or the text
// as given where it has no host path (a drive that is not mapped).
std::string ShownPath(const std::string& path) {
  try {
    return HostPath(path);
  } catch (const Error&) {
    return path;
  }
}

}  // namespace

std::unique_ptr<Database> ConnectDatabase(const std::string& connection_string) {
  // The tests' check of what reaches the driver, in the programs they start.
  if (const char* log = std::getenv("SEVRIK_ODBC_STATEMENT_LOG"); log && *log) SetOdbcStatementLog(StatementLogFile(log));
  if (const char* shared = std::getenv("SEVRIK_DATABASE"); shared && *shared) return OpenOdbcDatabase(shared);
  const auto items = ParseConnectionString(connection_string);
  const auto source = items.find("data source");
  if (source == items.end() || source->second.empty())
    throw Error(err::kDatabase, "The connection string names no data source.");
  const std::string& path = source->second;
  if (!FileExists(path)) throw Error(err::kDatabase, "Could not find file '" + ShownPath(path) + "'.");
  std::string head;
  try {
    head = ReadFileHead(path, 16);
  } catch (const Error& e) {
    throw Error(err::kDatabase, "Could not open file '" + ShownPath(path) + "': " + e.description());
  }
  if (head == std::string("SQLite format 3\0", 16)) return OpenSqliteDatabase(HostPath(path));
  std::string password;
  if (auto p = items.find("jet oledb:database password"); p != items.end()) password = p->second;
  try {
    return OpenOdbcDatabase(AccessConnectionString(HostPath(path), password));
  } catch (const Error& e) {
    throw Error(e.number(), "'" + ShownPath(path) + "' is no SQLite database and cannot be opened through ODBC: " +
                                e.description());
  }
}

}  // namespace sevrik
