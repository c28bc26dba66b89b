#include "db/odbc_database.h"

#if defined(_WIN32)
#include <windows.h>  // the system's ODBC headers build on its types
#endif
#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <regex>
#include <thread>
#include <unordered_map>

#include "db/access_sql.h"
#include "db/connect.h"
#include "db/recordset.h"
#include "platform/error.h"
#include "platform/text.h"

namespace sevrik {
namespace {

using WText = std::basic_string<SQLWCHAR>;

// UTF-8 to UTF-16; a broken sequence becomes U+FFFD.
WText Utf16(std::string_view s) {
  WText out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    uint32_t cp = 0xFFFD;
    size_t n = 1;
    if (b < 0x80) {
      cp = b;
    } else {
      const size_t len = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b < 0xE0 ? 2 : 0;
      if (len && i + len <= s.size()) {
        uint32_t v = b & (0x7F >> len);
        bool ok = true;
        for (size_t k = 1; k < len; ++k) {
          const auto c = static_cast<unsigned char>(s[i + k]);
          if ((c & 0xC0) != 0x80) ok = false;
          v = (v << 6) | (c & 0x3F);
        }
        const uint32_t min = len == 2 ? 0x80 : len == 3 ? 0x800 : 0x10000;
        if (ok && v >= min && v <= 0x10FFFF && (v < 0xD800 || v > 0xDFFF)) {
          cp = v;
          n = len;
        }
      }
    }
    if (cp >= 0x10000) {
      out += static_cast<SQLWCHAR>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<SQLWCHAR>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out += static_cast<SQLWCHAR>(cp);
    }
    i += n;
  }
  return out;
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
void AppendUtf16(std::string& out, const SQLWCHAR* p, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    uint32_t c = p[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && p[i + 1] >= 0xDC00 && p[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (p[i + 1] - 0xDC00u);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
}

// Text of the narrow ODBC calls: UTF-8 when it is valid, else the Windows code page.
std::string NarrowText(const char* p) {
  const std::string s = p;
  for (size_t i = 0; i < s.size(); ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) continue;
    const size_t len = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xC2 && b <= 0xDF ? 2 : 0;
    bool ok = len && i + len <= s.size();
    for (size_t k = 1; ok && k < len; ++k) ok = (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
    if (!ok) return FromCp1252(s);
    i += len - 1;
  }
  return s;
}

bool Ok(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

struct Diagnostic {
  std::string state;
  std::string text;
  SQLINTEGER native = 0;
};

// The driver's records for a handle, joined.
Diagnostic Diagnose(SQLSMALLINT type, SQLHANDLE handle) {
  Diagnostic d;
  for (SQLSMALLINT i = 1;; ++i) {
    SQLCHAR state[6] = {0};
    SQLCHAR message[1024] = {0};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    const SQLRETURN rc = SQLGetDiagRec(type, handle, i, state, &native, message, sizeof message, &length);
    if (!Ok(rc)) break;
    if (d.state.empty()) {
      d.state = reinterpret_cast<const char*>(state);
      d.native = native;
    }
    if (!d.text.empty()) d.text += " ";
    d.text += NarrowText(reinterpret_cast<const char*>(message));
  }
  if (d.text.empty()) d.text = "Unspecified database error";
  return d;
}

Error DriverError(const Diagnostic& d) { return Error(err::kDatabase, d.text); }
Error DriverError(SQLSMALLINT type, SQLHANDLE handle) { return DriverError(Diagnose(type, handle)); }

// Whether a failure is another connection's lock: a time-out, the Access driver's lock
// errors, or a driver's text that says the database is locked or busy.
bool IsLocked(const Diagnostic& d) {
  if (d.state == "HYT00" || d.state == "HYT01") return true;
  switch (d.native) {
    case 3006: case 3008: case 3009: case 3045: case 3050: case 3186: case 3187: case 3188: case 3189:
    case 3202: case 3211: case 3212: case 3218: case 3260: case 3261: case 3262: case 3734: return true;
    default: break;
  }
  const std::string text = AsciiLower(d.text);
  return text.find("locked") != std::string::npos || text.find("busy") != std::string::npos;
}

// The driver's own time-out (query, login, connection) ran out: the call has waited the whole
// wait already.
bool TimedOut(const Diagnostic& d) { return d.state == "HYT00" || d.state == "HYT01"; }

using Clock = std::chrono::steady_clock;

// How long one try of a driver that waits for a lock itself (the SQLite ODBC driver's busy
// time-out) may wait: the tries of Patiently add up to the wait, at most one slice more.
constexpr int kBusySliceMs = 500;

// Runs `call` until it succeeds, fails otherwise than by a lock, or `wait_ms` have passed;
// `again` runs before each new try. A call that ended by the driver's own time-out (set to the
// whole wait) is not tried again. The last return code; `failure` holds its diagnostic.
template <typename Call, typename Again>
SQLRETURN Patiently(int wait_ms, SQLSMALLINT type, SQLHANDLE handle, Diagnostic& failure, Call call, Again again) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(wait_ms);
  for (;;) {
    const SQLRETURN rc = call();
    if (Ok(rc) || rc == SQL_NO_DATA) return rc;
    failure = Diagnose(type, handle);
    if (!IsLocked(failure) || TimedOut(failure) || Clock::now() >= deadline) return rc;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    again();
  }
}

// The test hook: statements and parameter bindings, appended to SEVRIK_ODBC_STATEMENT_LOG.
class StatementLog {
 public:
  static void Write(const std::string& line) {
    static const char* path = std::getenv("SEVRIK_ODBC_STATEMENT_LOG");
    if (!path || !*path) return;
    std::string text;
    for (char c : line) text += c == '\n' ? ' ' : c == '\r' ? ' ' : c;
    text += '\n';
    if (std::FILE* f = std::fopen(path, "ab")) {
      std::fwrite(text.data(), 1, text.size(), f);
      std::fclose(f);
    }
  }
  static bool On() {
    static const bool on = [] {
      const char* path = std::getenv("SEVRIK_ODBC_STATEMENT_LOG");
      return path && *path;
    }();
    return on;
  }
};

// What a column is fetched as.
enum class Fetch : char { Integer, BigInteger, Single, Double, Date, Text };

Fetch FetchOf(SQLSMALLINT sql_type) {
  switch (sql_type) {
    case SQL_BIT:
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER: return Fetch::Integer;
    case SQL_BIGINT: return Fetch::BigInteger;
    case SQL_REAL: return Fetch::Single;
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_NUMERIC:
    case SQL_DECIMAL: return Fetch::Double;
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIME:
    case SQL_TYPE_TIMESTAMP:
    case SQL_DATE:
    case SQL_TIME:
    case SQL_TIMESTAMP: return Fetch::Date;
    default: return Fetch::Text;
  }
}

bool IsBoundedText(SQLSMALLINT sql_type) {
  return sql_type == SQL_CHAR || sql_type == SQL_VARCHAR || sql_type == SQL_WCHAR || sql_type == SQL_WVARCHAR;
}

// A column bound for block fetches: `width` bytes per row.
struct BoundColumn {
  Fetch kind = Fetch::Text;
  SQLSMALLINT c_type = SQL_C_WCHAR;
  SQLLEN width = 0;
  std::vector<char> data;
  std::vector<SQLLEN> indicator;
};

// One parameter's binding and value, at a fixed address for the statement's life.
struct ParamSlot {
  SQLSMALLINT c_type = 0, sql_type = 0;
  SQLULEN size = 0;
  const void* bound_at = nullptr;  // where the driver reads the value from
  SQLLEN indicator = 0;
  SQLINTEGER int32 = 0;
  double real = 0;
  SQL_TIMESTAMP_STRUCT stamp{};
  WText text;
};

// How text columns are fetched: as UTF-16 on Windows (the narrow calls would give the ANSI
// code page, which lacks characters); where the narrow calls speak UTF-8 (unixODBC in a UTF-8
// locale), as UTF-8 bytes, which the driver hands over without a conversion. The room of a
// narrow column counts bytes.
#if defined(_WIN32)
constexpr bool kNarrowText = false;
#else
constexpr bool kNarrowText = true;
#endif

// A text column's room in characters before the first value tells more: a bounded column's
// size, else this much, grown when a longer value comes.
constexpr SQLULEN kTextRoom = 255;
// The bytes of one block of rows, at most (and one row at least).
constexpr size_t kBlockBytes = 128 * 1024;
constexpr SQLULEN kBlockRows = 256;

struct Statement {
  SQLHSTMT stmt = SQL_NULL_HSTMT;
  std::string sql;
  std::vector<bool> like;  // per parameter: a LIKE pattern
  std::vector<ParamSlot> params;
  bool params_bound = false;

  std::shared_ptr<const ColumnSet> columns;
  std::vector<Fetch> fetch;
  std::vector<SQLSMALLINT> types;
  std::vector<SQLULEN> sizes;
  std::vector<SQLULEN> room;  // text room in characters per column, grown as needed
  std::vector<BoundColumn> bound;
  bool bound_ok = false;
  SQLULEN block = 1;     // rows per fetch
  SQLULEN fetched = 0;   // rows in the current block
  std::vector<SQLUSMALLINT> status;
  SQLULEN at = 0;        // the row of the block the source stands on
  bool started = false;  // a block has been fetched in this run
  bool open = false;     // the driver's cursor is open
  bool last = false;     // the current block is the last
  size_t consumed = 0;   // rows read since the run began
  std::string scratch;

  ~Statement() {
    if (stmt != SQL_NULL_HSTMT) SQLFreeHandle(SQL_HANDLE_STMT, stmt);
  }
  [[noreturn]] void Fail() const { throw DriverError(SQL_HANDLE_STMT, stmt); }
  void Close() {
    if (open) SQLFreeStmt(stmt, SQL_CLOSE);
    open = false;
  }
};

// A text value longer than the room bound for its column: the room it needs.
struct Truncated {
  size_t column;
  SQLULEN chars;
};

class Cursor;

class Connection {
 public:
  explicit Connection(int wait_ms) : wait_ms_(wait_ms) {}
  ~Connection() {
    idle_.clear();
    if (dbc_ != SQL_NULL_HDBC) {
      if (connected_) SQLDisconnect(dbc_);
      SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
    }
    if (env_ != SQL_NULL_HENV) SQLFreeHandle(SQL_HANDLE_ENV, env_);
  }

  void Connect(const std::string& connection_string) {
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

  bool access() const { return access_; }
  int wait_ms() const { return wait_ms_; }

  // A prepared statement for `sql` with `params` bound, not yet run; the caller's until
  // handed back with Release().
  std::unique_ptr<Statement> Acquire(const std::string& sql, const Params& params) {
    std::unique_ptr<Statement> s;
    auto it = idle_.find(sql);
    if (it != idle_.end() && !it->second.empty()) {
      s = std::move(it->second.back());
      it->second.pop_back();
    } else {
      s = std::make_unique<Statement>();
      s->sql = sql;
      if (!Ok(SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &s->stmt))) throw DriverError(SQL_HANDLE_DBC, dbc_);
      SQLSetStmtAttr(s->stmt, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(WaitSeconds())), 0);
      StatementLog::Write("PREPARE\t" + sql);
      std::string text = sql;
      if (!Ok(SQLPrepare(s->stmt, reinterpret_cast<SQLCHAR*>(text.data()), static_cast<SQLINTEGER>(text.size()))))
        s->Fail();
      s->like = LikeParameters(sql);
    }
    try {
      Bind(*s, params);
    } catch (...) {
      Release(std::move(s));
      throw;
    }
    return s;
  }

  void Release(std::unique_ptr<Statement> s) {
    if (!s) return;
    s->Close();
    idle_[s->sql].push_back(std::move(s));
  }

  // Runs a bound statement, its first block not yet fetched; false when it is an UPDATE or
  // DELETE that met no row.
  bool Run(Statement& s) {
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

  // Moves the source to the next row; false at the end, where the cursor is closed.
  static bool Next(Statement& s) {
    if (s.started && s.at + 1 < s.fetched) {
      ++s.at;
      return true;
    }
    if (!s.open) return false;
    if (s.last) {
      s.Close();
      return false;
    }
    s.started = true;
    s.fetched = 0;
    const SQLRETURN rc = SQLFetch(s.stmt);
    if (rc == SQL_NO_DATA || (Ok(rc) && s.fetched == 0)) {
      s.Close();
      return false;
    }
    if (!Ok(rc)) {
      const Error e = DriverError(SQL_HANDLE_STMT, s.stmt);
      s.Close();
      throw e;
    }
    s.at = 0;
    // A short block is the last: the cursor goes at once, so that it holds no lock while
    // the rows are walked.
    if (s.fetched < s.block) {
      s.last = true;
      s.Close();
    }
    return true;
  }

  // Reads the row the source stands on; a text longer than its column's room is thrown as
  // Truncated (nothing of the row is kept).
  static void ReadRow(Statement& s, std::vector<Variant>& row) {
    row.resize(s.fetch.size());
    if (s.at < s.status.size() && s.status[s.at] == SQL_ROW_ERROR)
      throw Error(err::kDatabase, "The driver could not read a row.");
    for (size_t i = 0; i < s.bound.size(); ++i) {
      const BoundColumn& c = s.bound[i];
      const SQLLEN indicator = c.indicator[s.at];
      Variant& v = row[i];
      if (indicator == SQL_NULL_DATA) {
        v.SetNull();
        continue;
      }
      const char* p = c.data.data() + static_cast<size_t>(c.width) * s.at;
      switch (c.kind) {
        case Fetch::Integer: {
          SQLINTEGER x;
          std::memcpy(&x, p, sizeof x);
          v.SetInteger(x);
          break;
        }
        case Fetch::BigInteger: {
          SQLBIGINT x;
          std::memcpy(&x, p, sizeof x);
          v.SetInteger(static_cast<int64_t>(x));
          break;
        }
        case Fetch::Single: {
          float x;
          std::memcpy(&x, p, sizeof x);
          v.SetDouble(SingleValue(x));
          break;
        }
        case Fetch::Double: {
          double x;
          std::memcpy(&x, p, sizeof x);
          v.SetDouble(x);
          break;
        }
        case Fetch::Date:
        case Fetch::Text: {
          const SQLLEN unit = kNarrowText ? 1 : static_cast<SQLLEN>(sizeof(SQLWCHAR));
          if (indicator == SQL_NO_TOTAL || indicator > c.width - unit) {
            const SQLULEN needed = indicator == SQL_NO_TOTAL ? s.room[i] * 4 : static_cast<SQLULEN>(indicator / unit) + 1;
            throw Truncated{i, needed};
          }
          const char* text = p;
          size_t length = static_cast<size_t>(indicator);
          if (!kNarrowText) {
            s.scratch.clear();
            AppendUtf16(s.scratch, reinterpret_cast<const SQLWCHAR*>(p), static_cast<size_t>(indicator) / sizeof(SQLWCHAR));
            text = s.scratch.data();
            length = s.scratch.size();
          }
          if (c.kind == Fetch::Date) v = DateOrText(std::string(text, length));
          else v.SetText(text, length);
          break;
        }
      }
    }
    ++s.consumed;
  }

  // ReadRow, for any length of text: a longer text than the room bound for it grows the
  // room, and the statement runs again up to the same row.
  void ReadWholeRow(Statement& s, std::vector<Variant>& row) {
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
          if (!Next(s)) throw Error(err::kDatabase, "The rows changed while they were read.");
        s.consumed = skip;
      }
    }
  }

  // Runs `f` as one transaction of its own; `f` returns whether to keep what it did. No
  // transaction begins while a cursor of the connection is open: the open recordsets read
  // the rest of their rows first (the Access driver closes cursors at the end of a
  // transaction, and a rollback begun beside an open cursor may not undo).
  template <typename F>
  void InTransaction(F&& f) {
    DetachCursors();
    if (StatementLog::On()) StatementLog::Write("TRANSACTION\t" + std::to_string(OpenCursors()));
    if (!Ok(SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0)))
      throw DriverError(SQL_HANDLE_DBC, dbc_);
    bool keep = false;
    try {
      keep = f();
    } catch (...) {
      SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_ROLLBACK);
      SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
      throw;
    }
    Diagnostic d;
    const SQLRETURN rc = Patiently(
        wait_ms_, SQL_HANDLE_DBC, dbc_, d, [&] { return SQLEndTran(SQL_HANDLE_DBC, dbc_, keep ? SQL_COMMIT : SQL_ROLLBACK); },
        [] {});
    std::optional<Error> failed;
    if (!Ok(rc)) {
      failed = DriverError(d);
      SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_ROLLBACK);
    }
    SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
    if (failed) throw *failed;
  }

  void Register(Cursor* c) { cursors_.push_back(c); }
  void Unregister(Cursor* c) { cursors_.erase(std::remove(cursors_.begin(), cursors_.end(), c), cursors_.end()); }

 private:
  void DetachCursors();
  size_t OpenCursors() const;

  SQLULEN WaitSeconds() const { return static_cast<SQLULEN>((wait_ms_ + 999) / 1000); }

  // The SQLite ODBC driver: it waits for a lock as long as its Timeout item says (about 100
  // seconds without one), so no longer than one slice of our wait, which Patiently's tries add
  // up (a Timeout of the whole wait would be waited once more by the next try); and with
  // StepAPI it reads the rows of a statement without parameters as they are fetched (with
  // parameters it reads a whole result when the statement runs, whatever the item says).
  std::string ForTheDriver(const std::string& cs, const std::map<std::string, std::string>& items) const {
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

  // The connection string as the narrow ODBC call takes it: the system's code page.
  static std::string DriverText(const std::string& utf8) {
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

  void Bind(Statement& s, const Params& params) {
    if (s.params.size() != params.size()) {
      s.params.clear();
      s.params.resize(params.size());
      s.params_bound = false;
      SQLFreeStmt(s.stmt, SQL_RESET_PARAMS);
    }
    for (size_t i = 0; i < params.size(); ++i) {
      const Variant& v = params[i];
      ParamSlot& b = s.params[i];
      SQLSMALLINT c_type = 0, sql_type = 0;
      SQLULEN size = 0;
      const void* at = nullptr;
      const char* kind = "";
      switch (v.kind()) {
        case Variant::Kind::Null:
        case Variant::Kind::Empty:
          b.indicator = SQL_NULL_DATA;
          c_type = SQL_C_WCHAR, sql_type = SQL_WVARCHAR, size = 1, at = b.text.data(), kind = "null";
          break;
        case Variant::Kind::Integer:
          if (v.integer() >= INT32_MIN && v.integer() <= INT32_MAX) {
            b.int32 = static_cast<SQLINTEGER>(v.integer());
            b.indicator = 0;
            c_type = SQL_C_SLONG, sql_type = SQL_INTEGER, size = 10, at = &b.int32, kind = "integer";
            break;
          }
          // The Access driver takes no 64-bit integer: a double holds it exactly up to 2^53.
          if (v.integer() > (int64_t{1} << 53) || v.integer() < -(int64_t{1} << 53))
            throw Error(err::kOverflow, "The integer " + std::to_string(v.integer()) + " cannot be given to the driver.");
          b.real = static_cast<double>(v.integer());
          b.indicator = 0;
          c_type = SQL_C_DOUBLE, sql_type = SQL_DOUBLE, size = 15, at = &b.real, kind = "double";
          break;
        case Variant::Kind::Double:
          b.real = v.real();
          b.indicator = 0;
          c_type = SQL_C_DOUBLE, sql_type = SQL_DOUBLE, size = 15, at = &b.real, kind = "double";
          break;
        case Variant::Kind::Date: {
          const DateTime& d = v.date();
          b.stamp = {static_cast<SQLSMALLINT>(d.year), static_cast<SQLUSMALLINT>(d.month),
                     static_cast<SQLUSMALLINT>(d.day),  static_cast<SQLUSMALLINT>(d.hour),
                     static_cast<SQLUSMALLINT>(d.minute), static_cast<SQLUSMALLINT>(d.second), 0};
          b.indicator = 0;
          c_type = SQL_C_TYPE_TIMESTAMP, sql_type = SQL_TYPE_TIMESTAMP, size = 19, at = &b.stamp, kind = "timestamp";
          break;
        }
        case Variant::Kind::Text: {
          const bool pattern = access_ && i < s.like.size() && s.like[i];
          AssignUtf16(b.text, pattern ? AccessLikePattern(v.text()) : std::string_view(v.text()));
          b.indicator = static_cast<SQLLEN>(b.text.size() * sizeof(SQLWCHAR));
          // A text parameter with its length: an empty text as one character.
          size = b.text.empty() ? 1 : b.text.size();
          c_type = SQL_C_WCHAR, sql_type = size > 255 ? SQL_WLONGVARCHAR : SQL_WVARCHAR, at = b.text.data();
          kind = "text";
          break;
        }
      }
      if (s.params_bound && b.c_type == c_type && b.sql_type == sql_type && b.size == size && b.bound_at == at) continue;
      const SQLLEN buffer = c_type == SQL_C_WCHAR ? static_cast<SQLLEN>((b.text.capacity() + 1) * sizeof(SQLWCHAR)) : 0;
      if (!Ok(SQLBindParameter(s.stmt, static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT, c_type, sql_type, size, 0,
                               const_cast<void*>(at), buffer, &b.indicator)))
        s.Fail();
      b.c_type = c_type, b.sql_type = sql_type, b.size = size, b.bound_at = at;
      if (StatementLog::On())
        StatementLog::Write("BIND\t" + std::to_string(i + 1) + "\t" + kind + "\t" + std::to_string(size) + "\t" +
                            std::to_string(v.kind() == Variant::Kind::Text ? b.text.size() : 0));
    }
    s.params_bound = true;
  }

  // UTF-8 into a UTF-16 buffer, keeping its storage.
  static void AssignUtf16(WText& out, std::string_view s) {
    bool ascii = true;
    for (char c : s) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) {
      out.assign(s.begin(), s.end());
      return;
    }
    out = Utf16(s);
  }

  // The columns of the result just run; their bindings kept while the driver describes them
  // the same.
  static void Describe(Statement& s) {
    SQLSMALLINT count = 0;
    if (!Ok(SQLNumResultCols(s.stmt, &count))) s.Fail();
    std::vector<std::string> names;
    std::vector<bool> dates;
    std::vector<Fetch> fetch;
    std::vector<SQLSMALLINT> types;
    std::vector<SQLULEN> sizes;
    for (SQLSMALLINT i = 1; i <= count; ++i) {
      SQLCHAR name[256] = {0};
      SQLSMALLINT name_length = 0, type = 0, digits = 0, nullable = 0;
      SQLULEN size = 0;
      if (!Ok(SQLDescribeCol(s.stmt, static_cast<SQLUSMALLINT>(i), name, sizeof name, &name_length, &type, &size,
                             &digits, &nullable)))
        s.Fail();
      names.push_back(NarrowText(reinterpret_cast<const char*>(name)));
      fetch.push_back(FetchOf(type));
      dates.push_back(fetch.back() == Fetch::Date);
      types.push_back(type);
      sizes.push_back(size);
    }
    if (!s.columns || !s.columns->SameAs(names, dates) || fetch != s.fetch || types != s.types || sizes != s.sizes) {
      s.columns = std::make_shared<const ColumnSet>(std::move(names), std::move(dates));
      s.fetch = std::move(fetch);
      s.types = std::move(types);
      s.sizes = std::move(sizes);
      s.room.assign(s.fetch.size(), 0);
      for (size_t i = 0; i < s.fetch.size(); ++i)
        s.room[i] = s.fetch[i] == Fetch::Date ? 32 : IsBoundedText(s.types[i]) && s.sizes[i] > 0 ? s.sizes[i] : kTextRoom;
      s.bound_ok = false;
    }
    if (!s.bound_ok) BindColumns(s);
  }

  static void BindColumns(Statement& s) {
    SQLFreeStmt(s.stmt, SQL_UNBIND);
    s.bound.assign(s.fetch.size(), BoundColumn());
    size_t row_bytes = 0;
    for (size_t i = 0; i < s.fetch.size(); ++i) {
      BoundColumn& c = s.bound[i];
      c.kind = s.fetch[i];
      switch (c.kind) {
        case Fetch::Integer: c.c_type = SQL_C_SLONG, c.width = sizeof(SQLINTEGER); break;
        case Fetch::BigInteger: c.c_type = SQL_C_SBIGINT, c.width = sizeof(SQLBIGINT); break;
        case Fetch::Single: c.c_type = SQL_C_FLOAT, c.width = sizeof(float); break;
        case Fetch::Double: c.c_type = SQL_C_DOUBLE, c.width = sizeof(double); break;
        case Fetch::Date:
        case Fetch::Text:
          if (kNarrowText) c.c_type = SQL_C_CHAR, c.width = static_cast<SQLLEN>(s.room[i] + 1);
          else c.c_type = SQL_C_WCHAR, c.width = static_cast<SQLLEN>((s.room[i] + 1) * sizeof(SQLWCHAR));
          break;
      }
      row_bytes += static_cast<size_t>(c.width) + sizeof(SQLLEN);
    }
    SQLULEN block = std::clamp<SQLULEN>(kBlockBytes / std::max<size_t>(row_bytes, 1), 1, kBlockRows);
    SQLSetStmtAttr(s.stmt, SQL_ATTR_ROW_BIND_TYPE, reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_BIND_BY_COLUMN)), 0);
    if (!Ok(SQLSetStmtAttr(s.stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(block), 0))) block = 1;
    SQLULEN granted = block;
    if (Ok(SQLGetStmtAttr(s.stmt, SQL_ATTR_ROW_ARRAY_SIZE, &granted, 0, nullptr)) && granted >= 1) block = granted;
    s.block = block;
    s.status.assign(block, SQL_ROW_SUCCESS);
    SQLSetStmtAttr(s.stmt, SQL_ATTR_ROW_STATUS_PTR, s.status.data(), 0);
    SQLSetStmtAttr(s.stmt, SQL_ATTR_ROWS_FETCHED_PTR, &s.fetched, 0);
    for (size_t i = 0; i < s.bound.size(); ++i) {
      BoundColumn& c = s.bound[i];
      c.data.assign(static_cast<size_t>(c.width) * block, 0);
      c.indicator.assign(block, 0);
      if (!Ok(SQLBindCol(s.stmt, static_cast<SQLUSMALLINT>(i + 1), c.c_type, c.data.data(), c.width, c.indicator.data())))
        s.Fail();
    }
    s.bound_ok = true;
  }

  int wait_ms_;
  SQLHENV env_ = SQL_NULL_HENV;
  SQLHDBC dbc_ = SQL_NULL_HDBC;
  bool connected_ = false;
  bool access_ = false;
  std::unordered_map<std::string, std::vector<std::unique_ptr<Statement>>> idle_;
  std::vector<Cursor*> cursors_;
};

// A recordset's hold on a statement whose cursor may be open.
class Cursor {
 public:
  virtual ~Cursor() = default;
  // Reads the rest of the rows and closes the cursor.
  virtual void Detach() = 0;
  virtual bool open() const = 0;
};

size_t Connection::OpenCursors() const {
  return static_cast<size_t>(std::count_if(cursors_.begin(), cursors_.end(), [](const Cursor* c) { return c->open(); }));
}

void Connection::DetachCursors() {
  const std::vector<Cursor*> open = cursors_;
  for (Cursor* c : open) c->Detach();
}

class OdbcRecordset : public StreamRecordset, public Cursor {
 public:
  OdbcRecordset(std::shared_ptr<Connection> conn, std::unique_ptr<Statement> s, long count)
      : StreamRecordset(count), conn_(std::move(conn)), s_(std::move(s)) {
    conn_->Register(this);
    try {
      Begin();
    } catch (...) {
      conn_->Unregister(this);
      conn_->Release(std::move(s_));
      throw;
    }
  }
  ~OdbcRecordset() override {
    conn_->Unregister(this);
    conn_->Release(std::move(s_));
  }

  bool open() const override { return s_ && s_->open; }
  void Detach() override {
    if (!s_->open) return;
    // The source stands on a row not yet read (more_): it and the rest are kept.
    try {
      do {
        held_.emplace_back();
        conn_->ReadWholeRow(*s_, held_.back());
      } while (Connection::Next(*s_));
    } catch (const Error& e) {
      if (!held_.empty() && held_.back().empty()) held_.pop_back();
      pending_ = e;
    }
    s_->Close();
    detached_ = true;
  }

 protected:
  bool Run() override {
    pending_.reset();
    held_.clear();
    next_held_ = 0;
    detached_ = false;
    if (!conn_->Run(*s_)) {
      columns_ = std::make_shared<const ColumnSet>(std::vector<std::string>{}, std::vector<bool>{});
      SetColumns(columns_.get());
      return false;
    }
    columns_ = s_->columns;
    SetColumns(columns_.get());
    return Connection::Next(*s_);
  }
  bool Read(std::vector<Variant>& row) override {
    if (detached_) {
      if (next_held_ >= held_.size()) throw *pending_;
      row = std::move(held_[next_held_++]);
      return next_held_ < held_.size() || pending_;
    }
    if (pending_) throw *pending_;
    conn_->ReadWholeRow(*s_, row);
    try {
      return Connection::Next(*s_);
    } catch (const Error& e) {
      pending_ = e;  // this row stands; the move to the next fails
      return true;
    }
  }

 private:
  std::shared_ptr<Connection> conn_;
  std::unique_ptr<Statement> s_;
  std::optional<Error> pending_;  // the failure of the fetch past the current row
  std::shared_ptr<const ColumnSet> columns_;
  bool detached_ = false;
  std::vector<std::vector<Variant>> held_;  // the rows read when the cursor had to go
  size_t next_held_ = 0;
};

// Hands a statement back to its connection however the scope ends.
struct Held {
  Connection& conn;
  std::unique_ptr<Statement> s;
  ~Held() { conn.Release(std::move(s)); }
};

class OdbcDb : public Database {
 public:
  explicit OdbcDb(std::shared_ptr<Connection> conn) : conn_(std::move(conn)) {}

  std::unique_ptr<Recordset> Execute(const std::string& sql, const Params& params) override {
    return Open(sql, params, CursorType::ForwardOnly);
  }

  std::unique_ptr<Recordset> Open(const std::string& sql, const Params& params, CursorType cursor) override {
    if (cursor == CursorType::Keyset) return OpenKeyset(sql, params);
    const long count = cursor == CursorType::Static ? Count(sql, params) : -1;
    return std::make_unique<OdbcRecordset>(conn_, conn_->Acquire(sql, params), count);
  }

  bool TextComparesIgnoringCase() const override { return conn_->access(); }

 private:
  // The row count of a statement: a count over it, where it has no order (a derived table
  // keeps none); else its rows fetched and counted.
  long Count(const std::string& sql, const Params& params) {
    static const std::regex kOrdered(R"(\border\s+by\b)", std::regex::icase);
    if (!std::regex_search(sql, kOrdered)) {
      std::vector<Variant> row;
      try {
        Held h{*conn_, conn_->Acquire("SELECT COUNT(*) AS n FROM (" + sql + ") AS counted", params)};
        if (conn_->Run(*h.s) && Connection::Next(*h.s)) conn_->ReadWholeRow(*h.s, row);
      } catch (const Error&) {
        row.clear();  // a driver without derived tables: the rows are counted below
      }
      if (!row.empty() && row[0].is_number())
        return row[0].kind() == Variant::Kind::Integer ? static_cast<long>(row[0].integer())
                                                       : static_cast<long>(row[0].real());
    }
    Held h{*conn_, conn_->Acquire(sql, params)};
    long count = 0;
    if (conn_->Run(*h.s))
      while (Connection::Next(*h.s)) ++count;
    return count;
  }

  std::unique_ptr<Recordset> OpenKeyset(const std::string& sql, const Params& params) {
    static const std::regex kSelectStar(
        R"(^\s*select\s+\*\s+from\s+([A-Za-z_][A-Za-z0-9_]*)(?:\s+where\s+(.*?))?\s*$)", std::regex::icase);
    std::smatch m;
    if (!std::regex_match(sql, m, kSelectStar) || std::regex_search(m[2].str(), std::regex(R"(\border\s+by\b)", std::regex::icase)))
      throw Error(err::kActionNotSupported, "An updatable recordset needs \"select * from <table> [where ...]\".");
    const std::string table = m[1];
    const std::string condition = m[2];
    RowsRecordset::Rows rows;
    std::shared_ptr<const ColumnSet> columns;
    std::vector<SQLULEN> limits;  // per column: the most characters a text column holds (0: no bound)
    {
      Held h{*conn_, conn_->Acquire(sql, params)};
      conn_->Run(*h.s);
      columns = h.s->columns;
      for (size_t i = 0; i < h.s->types.size(); ++i)
        limits.push_back(IsBoundedText(h.s->types[i]) ? h.s->sizes[i] : 0);
      while (Connection::Next(*h.s)) {
        rows.emplace_back();
        conn_->ReadWholeRow(*h.s, rows.back());
      }
    }
    auto conn = conn_;
    auto saver = [conn, table, condition, params, limits](size_t, const ColumnSet& cols, const std::vector<Variant>& before,
                                                          const std::vector<Variant>& after) {
      Save(*conn, table, condition, params, limits, cols, before, after);
    };
    return std::make_unique<RowsRecordset>(std::move(columns), std::move(rows), true, saver);
  }

  static void Save(Connection& conn, const std::string& table, const std::string& condition, const Params& params,
                   const std::vector<SQLULEN>& limits, const ColumnSet& cols, const std::vector<Variant>& before,
                   const std::vector<Variant>& after) {
    std::string set, check;
    Params set_params, check_params;
    for (size_t i = 0; i < cols.size(); ++i) {
      if (before[i] == after[i]) continue;
      const std::string& column = cols.names()[i];
      // A text longer than its column is refused here, named, before any update: the
      // driver's own refusal would come from inside the transaction, without the name.
      if (after[i].kind() == Variant::Kind::Text && i < limits.size() && limits[i] > 0) {
        const size_t length = Utf16Length(after[i].text());
        if (length > limits[i])
          throw Error(err::kInvalidArgument, "A value longer than its field: " + table + "." + column + " holds at most " +
                                                 std::to_string(limits[i]) + " characters, the value has " +
                                                 std::to_string(length) + ".");
      }
      set += (set.empty() ? "" : ", ") + column + " = ?";
      set_params.push_back(after[i]);
      if (before[i].is_null() || before[i].is_empty()) {
        check += " AND " + column + " IS NULL";
      } else {
        check += " AND " + column + " = ?";
        check_params.push_back(before[i]);
      }
    }
    if (set.empty()) return;
    Params all = set_params;
    all.insert(all.end(), params.begin(), params.end());
    all.insert(all.end(), check_params.begin(), check_params.end());
    const std::string sql = "UPDATE " + table + " SET " + set + " WHERE " +
                            (condition.empty() ? std::string("1 = 1") : "(" + condition + ")") + check;
    SQLLEN changed = 0;
    conn.InTransaction([&] {
      Held h{conn, conn.Acquire(sql, all)};
      if (conn.Run(*h.s) && !Ok(SQLRowCount(h.s->stmt, &changed))) h.s->Fail();
      return changed == 1;
    });
    if (changed == 0)
      throw Error(err::kDatabase,
                  "Row cannot be located for updating. Some values may have been changed since it was last read.");
    if (changed != 1)
      throw Error(err::kDatabase, "The update would change " + std::to_string(changed) + " rows; nothing was changed.");
  }

  std::shared_ptr<Connection> conn_;
};

}  // namespace

std::unique_ptr<Database> OpenOdbcDatabase(const std::string& connection_string, int lock_wait_ms) {
  auto conn = std::make_shared<Connection>(lock_wait_ms);
  conn->Connect(connection_string);
  return std::make_unique<OdbcDb>(conn);
}

}  // namespace sevrik
