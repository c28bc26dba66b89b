#include "db/odbc_connection.h"

#include <algorithm>

#include "base/text.h"
#include "db/access_sql.h"
#include "db/connect.h"

namespace sevrik::odbc {
namespace {

// The connection string as the narrow ODBC call takes it: the system's code page.
std::string DriverText(const std::string& utf8) {
#if defined(_WIN32)
  const std::string ansi = ToAnsi(utf8);
  if (FromAnsi(ansi) != utf8)
    throw Error(err::kDatabase, "The connection string '" + utf8 +
                                    "' holds a character that the system's code page lacks; the driver cannot be given it.");
  return ansi;
#else
  return utf8;  // the locale's code page: UTF-8
#endif
}

}  // namespace

Connection::~Connection() {
  idle_.Clear();
  if (dbc_ != SQL_NULL_HDBC) {
    if (connected_) SQLDisconnect(dbc_);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
  }
  if (env_ != SQL_NULL_HENV) SQLFreeHandle(SQL_HANDLE_ENV, env_);
}

void Connection::Connect(const std::string& connection_string) {
  if (!Ok(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_)))
    throw Error(err::kDatabase, "The ODBC driver manager cannot be used.");
  SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  if (!Ok(SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_))) throw DriverError(SQL_HANDLE_ENV, env_);
  // No call without a bound: the drivers' own time-outs, where they have them.
  const auto seconds = reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(WaitSeconds()));
  SQLSetConnectAttr(dbc_, SQL_ATTR_LOGIN_TIMEOUT, seconds, 0);
  SQLSetConnectAttr(dbc_, SQL_ATTR_CONNECTION_TIMEOUT, seconds, 0);
  const auto items = ParseConnectionString(connection_string);
  std::string cs = DriverText(ForTheDriver(connection_string, items));
  SQLCHAR out[1024];
  SQLSMALLINT out_length = 0;
  Diagnostic d;
  const SQLRETURN rc = Patiently(
      wait_ms_, SQL_HANDLE_DBC, dbc_, d,
      [&] {
        return SQLDriverConnect(dbc_, nullptr, reinterpret_cast<SQLCHAR*>(cs.data()), static_cast<SQLSMALLINT>(cs.size()),
                                out, sizeof out, &out_length, SQL_DRIVER_NOPROMPT);
      },
      [] {});
  if (!Ok(rc)) {
    const auto driver = items.find("driver");
    // IM002: no such data source or driver; IM003: the driver cannot be loaded (unixODBC
    // says "Can't open lib" for both).
    const bool no_driver = d.state == "IM002" || d.state == "IM003" || d.text.find("Can't open lib") != std::string::npos;
    if (no_driver && driver != items.end()) {
      std::string name(Trim(driver->second));
      if (name.size() >= 2 && name.front() == '{' && name.back() == '}') name = name.substr(1, name.size() - 2);
      throw Error(err::kDatabase, "The ODBC driver '" + name + "' is not installed or cannot be loaded: " + d.text);
    }
    throw Error(err::kDatabase, d.text);
  }
  connected_ = true;
  SQLCHAR dbms[64] = {0};
  SQLSMALLINT dbms_length = 0;
  if (Ok(SQLGetInfo(dbc_, SQL_DBMS_NAME, dbms, sizeof dbms, &dbms_length)))
    access_ = AsciiUpper(reinterpret_cast<const char*>(dbms)) == "ACCESS";
}

// The SQLite ODBC driver: it waits for a lock as long as its Timeout item says (about 100
// seconds without one), so no longer than one slice of our wait, which Patiently's tries add
// up (a Timeout of the whole wait would be waited once more by the next try); and with
// StepAPI it reads the rows of a statement without parameters as they are fetched (with
// parameters it reads a whole result when the statement runs, whatever the item says).
std::string Connection::ForTheDriver(const std::string& cs,
                                     const std::map<std::string, std::string>& items) const {
  const auto driver = items.find("driver");
  if (driver == items.end() || AsciiLower(driver->second).find("sqlite") == std::string::npos) return cs;
  std::string out = cs;
  const auto add = [&](const std::string& item) { out += (out.empty() || out.back() == ';' ? "" : ";") + item; };
  // An item given twice: the driver takes the last.
  const auto timeout = items.find("timeout");
  const long given = timeout == items.end() ? 0 : std::strtol(timeout->second.c_str(), nullptr, 10);
  const int slice = std::min(wait_ms_, kBusySliceMs);
  if (given <= 0 || given > slice) add("Timeout=" + std::to_string(slice));
  if (!items.count("stepapi")) add("StepAPI=1");
  return out;
}

std::unique_ptr<Statement> Connection::Acquire(const std::string& sql, const Params& params) {
  std::unique_ptr<Statement> s = idle_.Take(sql);
  if (!s) {
    s = std::make_unique<Statement>();
    s->sql = sql;
    if (!Ok(SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &s->stmt))) throw DriverError(SQL_HANDLE_DBC, dbc_);
    SQLSetStmtAttr(s->stmt, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(WaitSeconds())), 0);
    if (log_) log_("PREPARE\t" + sql);
    std::string text = sql;
    if (!Ok(SQLPrepare(s->stmt, reinterpret_cast<SQLCHAR*>(text.data()), static_cast<SQLINTEGER>(text.size()))))
      s->Fail();
    s->like = LikeParameters(sql);
  }
  try {
    BindParameters(*s, params, access_, log_);
  } catch (...) {
    Release(std::move(s));
    throw;
  }
  return s;
}

bool Connection::Run(Statement& s) {
  s.Close();
  s.started = s.last = false;
  s.fetched = s.at = 0;
  s.consumed = 0;
  Diagnostic d;
  const SQLRETURN rc = Patiently(
      wait_ms_, SQL_HANDLE_STMT, s.stmt, d, [&] { return SQLExecute(s.stmt); },
      [&] { SQLFreeStmt(s.stmt, SQL_CLOSE); });
  if (rc == SQL_NO_DATA) return false;
  if (!Ok(rc)) throw DriverError(d);
  Describe(s);
  s.open = !s.fetch.empty();
  return true;
}

void Connection::ReadWholeRow(Statement& s, std::vector<Variant>& row) {
  for (int tries = 0;; ++tries) {
    try {
      ReadRow(s, row);
      return;
    } catch (const Truncated& t) {
      if (tries > 8) throw Error(err::kDatabase, "The driver gives a text longer than it says.");
      s.room[t.column] = std::max(s.room[t.column] * 2, t.chars);
      s.bound_ok = false;
      const size_t skip = s.consumed;
      if (!Run(s)) throw Error(err::kDatabase, "The rows changed while they were read.");
      for (size_t i = 0; i <= skip; ++i)
        if (!NextRow(s)) throw Error(err::kDatabase, "The rows changed while they were read.");
      s.consumed = skip;
    }
  }
}

size_t Connection::OpenCursors() const {
  return static_cast<size_t>(std::count_if(cursors_.begin(), cursors_.end(), [](const Cursor* c) { return c->open(); }));
}

void Connection::DetachCursors() {
  const std::vector<Cursor*> open = cursors_;
  for (Cursor* c : open) c->Detach();
}

}  // namespace sevrik::odbc
