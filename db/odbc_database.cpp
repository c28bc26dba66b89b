#include "db/odbc_database.h"

#if defined(_WIN32)
#include <windows.h>  // the system's ODBC headers build on its types
#endif
#include <sql.h>
#include <sqlext.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <regex>
#include <unordered_map>

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
    if (d.state.empty()) d.state = reinterpret_cast<const char*>(state);
    if (!d.text.empty()) d.text += " ";
    d.text += NarrowText(reinterpret_cast<const char*>(message));
  }
  if (d.text.empty()) d.text = "Unspecified database error";
  return d;
}

Error DriverError(SQLSMALLINT type, SQLHANDLE handle) { return Error(err::kDatabase, Diagnose(type, handle).text); }

// What a column is fetched as.
enum class Fetch : char { Integer, BigInteger, Double, Date, Text };

Fetch FetchOf(SQLSMALLINT sql_type) {
  switch (sql_type) {
    case SQL_BIT:
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER: return Fetch::Integer;
    case SQL_BIGINT: return Fetch::BigInteger;
    case SQL_REAL:
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

// One bound parameter's value, kept until the statement has run.
struct ParamBuffer {
  SQLLEN indicator = 0;
  SQLINTEGER int32 = 0;
  SQLBIGINT int64 = 0;
  double real = 0;
  SQL_TIMESTAMP_STRUCT stamp{};
  WText text;
};

struct Statement {
  SQLHSTMT stmt = SQL_NULL_HSTMT;
  std::string sql;
  std::shared_ptr<const ColumnSet> columns;
  std::vector<Fetch> fetch;
  std::vector<ParamBuffer> params;
  ~Statement() {
    if (stmt != SQL_NULL_HSTMT) SQLFreeHandle(SQL_HANDLE_STMT, stmt);
  }
  [[noreturn]] void Fail() const { throw DriverError(SQL_HANDLE_STMT, stmt); }
};

class Connection {
 public:
  Connection() = default;
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
    std::string cs = connection_string;
    SQLCHAR out[1024];
    SQLSMALLINT out_length = 0;
    const SQLRETURN rc = SQLDriverConnect(dbc_, nullptr, reinterpret_cast<SQLCHAR*>(cs.data()),
                                          static_cast<SQLSMALLINT>(cs.size()), out, sizeof out, &out_length,
                                          SQL_DRIVER_NOPROMPT);
    if (!Ok(rc)) {
      const Diagnostic d = Diagnose(SQL_HANDLE_DBC, dbc_);
      const auto items = ParseConnectionString(connection_string);
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
  }

  SQLHDBC dbc() const { return dbc_; }

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
      std::string text = sql;
      if (!Ok(SQLPrepare(s->stmt, reinterpret_cast<SQLCHAR*>(text.data()), static_cast<SQLINTEGER>(text.size()))))
        s->Fail();
    }
    Bind(*s, params);
    return s;
  }

  void Release(std::unique_ptr<Statement> s) {
    if (!s) return;
    SQLFreeStmt(s->stmt, SQL_CLOSE);
    idle_[s->sql].push_back(std::move(s));
  }

  // Runs a bound statement; false when it is an UPDATE or DELETE that met no row.
  static bool Run(Statement& s) {
    SQLFreeStmt(s.stmt, SQL_CLOSE);
    const SQLRETURN rc = SQLExecute(s.stmt);
    if (rc == SQL_NO_DATA) return false;
    if (!Ok(rc)) s.Fail();
    Describe(s);
    return true;
  }

  // Moves to the next row; false at the end, where the cursor is closed.
  static bool Next(Statement& s) {
    if (!s.columns || s.columns->size() == 0) return false;
    const SQLRETURN rc = SQLFetch(s.stmt);
    if (rc == SQL_NO_DATA) {
      SQLFreeStmt(s.stmt, SQL_CLOSE);
      return false;
    }
    if (!Ok(rc)) {
      const Error e = DriverError(SQL_HANDLE_STMT, s.stmt);
      SQLFreeStmt(s.stmt, SQL_CLOSE);
      throw e;
    }
    return true;
  }

  static void ReadRow(Statement& s, std::vector<Variant>& row) {
    row.resize(s.fetch.size());
    for (size_t i = 0; i < s.fetch.size(); ++i) row[i] = ReadColumn(s, static_cast<SQLUSMALLINT>(i + 1), s.fetch[i]);
  }

  // Runs `f` as one transaction of its own; `f` returns whether to keep what it did.
  template <typename F>
  void InTransaction(F&& f) {
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
    const SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, dbc_, keep ? SQL_COMMIT : SQL_ROLLBACK);
    std::optional<Error> failed;
    if (!Ok(rc)) failed = DriverError(SQL_HANDLE_DBC, dbc_);
    SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
    if (failed) throw *failed;
  }

 private:
  static void Bind(Statement& s, const Params& params) {
    SQLFreeStmt(s.stmt, SQL_CLOSE);
    SQLFreeStmt(s.stmt, SQL_RESET_PARAMS);
    s.params.assign(params.size(), ParamBuffer());
    for (size_t i = 0; i < params.size(); ++i) {
      const Variant& v = params[i];
      ParamBuffer& b = s.params[i];
      const auto n = static_cast<SQLUSMALLINT>(i + 1);
      SQLRETURN rc = SQL_SUCCESS;
      switch (v.kind()) {
        case Variant::Kind::Null:
        case Variant::Kind::Empty:
          b.indicator = SQL_NULL_DATA;
          rc = SQLBindParameter(s.stmt, n, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 1, 0, nullptr, 0, &b.indicator);
          break;
        case Variant::Kind::Integer:
          if (v.integer() >= INT32_MIN && v.integer() <= INT32_MAX) {
            b.int32 = static_cast<SQLINTEGER>(v.integer());
            rc = SQLBindParameter(s.stmt, n, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 10, 0, &b.int32, 0, nullptr);
          } else {
            b.int64 = v.integer();
            rc = SQLBindParameter(s.stmt, n, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 19, 0, &b.int64, 0, nullptr);
          }
          break;
        case Variant::Kind::Double:
          b.real = v.real();
          rc = SQLBindParameter(s.stmt, n, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 15, 0, &b.real, 0, nullptr);
          break;
        case Variant::Kind::Date: {
          const DateTime& d = v.date();
          b.stamp = {static_cast<SQLSMALLINT>(d.year), static_cast<SQLUSMALLINT>(d.month),
                     static_cast<SQLUSMALLINT>(d.day),  static_cast<SQLUSMALLINT>(d.hour),
                     static_cast<SQLUSMALLINT>(d.minute), static_cast<SQLUSMALLINT>(d.second), 0};
          rc = SQLBindParameter(s.stmt, n, SQL_PARAM_INPUT, SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP, 19, 0,
                                &b.stamp, 0, nullptr);
          break;
        }
        case Variant::Kind::Text: {
          b.text = Utf16(v.text());
          b.indicator = static_cast<SQLLEN>(b.text.size() * sizeof(SQLWCHAR));
          const SQLULEN chars = b.text.empty() ? 1 : b.text.size();
          rc = SQLBindParameter(s.stmt, n, SQL_PARAM_INPUT, SQL_C_WCHAR, chars > 255 ? SQL_WLONGVARCHAR : SQL_WVARCHAR,
                                chars, 0, b.text.data(), b.indicator, &b.indicator);
          break;
        }
      }
      if (!Ok(rc)) s.Fail();
    }
  }

  // The columns of the result just run; kept while the driver describes them the same.
  static void Describe(Statement& s) {
    SQLSMALLINT count = 0;
    if (!Ok(SQLNumResultCols(s.stmt, &count))) s.Fail();
    std::vector<std::string> names;
    std::vector<bool> dates;
    std::vector<Fetch> fetch;
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
    }
    if (!s.columns || !s.columns->SameAs(names, dates) || fetch != s.fetch) {
      s.columns = std::make_shared<const ColumnSet>(std::move(names), std::move(dates));
      s.fetch = std::move(fetch);
    }
  }

  static Variant ReadColumn(Statement& s, SQLUSMALLINT i, Fetch kind) {
    SQLLEN indicator = 0;
    switch (kind) {
      case Fetch::Integer: {
        SQLINTEGER v = 0;
        if (!Ok(SQLGetData(s.stmt, i, SQL_C_SLONG, &v, 0, &indicator))) s.Fail();
        return indicator == SQL_NULL_DATA ? Variant::Null() : Variant(static_cast<int64_t>(v));
      }
      case Fetch::BigInteger: {
        SQLBIGINT v = 0;
        if (!Ok(SQLGetData(s.stmt, i, SQL_C_SBIGINT, &v, 0, &indicator))) s.Fail();
        return indicator == SQL_NULL_DATA ? Variant::Null() : Variant(static_cast<int64_t>(v));
      }
      case Fetch::Double: {
        double v = 0;
        if (!Ok(SQLGetData(s.stmt, i, SQL_C_DOUBLE, &v, 0, &indicator))) s.Fail();
        return indicator == SQL_NULL_DATA ? Variant::Null() : Variant(v);
      }
      case Fetch::Date:
      case Fetch::Text: {
        std::string text;
        SQLWCHAR buf[512];
        for (;;) {
          const SQLRETURN rc = SQLGetData(s.stmt, i, SQL_C_WCHAR, buf, sizeof buf, &indicator);
          if (rc == SQL_NO_DATA) break;
          if (!Ok(rc)) s.Fail();
          if (indicator == SQL_NULL_DATA) return Variant::Null();
          const size_t room = sizeof buf / sizeof(SQLWCHAR) - 1;
          const size_t got = indicator == SQL_NO_TOTAL || indicator < 0 ||
                                     static_cast<size_t>(indicator) / sizeof(SQLWCHAR) > room
                                 ? room
                                 : static_cast<size_t>(indicator) / sizeof(SQLWCHAR);
          AppendUtf16(text, buf, got);
          if (rc == SQL_SUCCESS) break;  // else truncated: the rest follows
        }
        return kind == Fetch::Date ? DateOrText(std::move(text)) : Variant(std::move(text));
      }
    }
    return Variant::Null();
  }

  SQLHENV env_ = SQL_NULL_HENV;
  SQLHDBC dbc_ = SQL_NULL_HDBC;
  bool connected_ = false;
  std::unordered_map<std::string, std::vector<std::unique_ptr<Statement>>> idle_;
};

class OdbcRecordset : public StreamRecordset {
 public:
  OdbcRecordset(std::shared_ptr<Connection> conn, std::unique_ptr<Statement> s, long count)
      : StreamRecordset(count), conn_(std::move(conn)), s_(std::move(s)) {
    Begin();
  }
  ~OdbcRecordset() override { conn_->Release(std::move(s_)); }

 protected:
  bool Run() override {
    pending_.reset();
    if (!Connection::Run(*s_)) {
      columns_ = std::make_shared<const ColumnSet>(std::vector<std::string>{}, std::vector<bool>{});
      SetColumns(columns_.get());
      return false;
    }
    columns_ = s_->columns;
    SetColumns(columns_.get());
    return Connection::Next(*s_);
  }
  bool Read(std::vector<Variant>& row) override {
    if (pending_) throw *pending_;
    Connection::ReadRow(*s_, row);
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
    long count = -1;
    if (cursor == CursorType::Static) {
      Held h{*conn_, conn_->Acquire(sql, params)};
      count = 0;
      if (Connection::Run(*h.s))
        while (Connection::Next(*h.s)) ++count;
    }
    return std::make_unique<OdbcRecordset>(conn_, conn_->Acquire(sql, params), count);
  }

 private:
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
    {
      Held h{*conn_, conn_->Acquire(sql, params)};
      Connection::Run(*h.s);
      columns = h.s->columns;
      while (Connection::Next(*h.s)) {
        rows.emplace_back();
        Connection::ReadRow(*h.s, rows.back());
      }
    }
    auto conn = conn_;
    auto saver = [conn, table, condition, params](size_t, const ColumnSet& cols, const std::vector<Variant>& before,
                                                  const std::vector<Variant>& after) {
      Save(*conn, table, condition, params, cols, before, after);
    };
    return std::make_unique<RowsRecordset>(std::move(columns), std::move(rows), true, saver);
  }

  static void Save(Connection& conn, const std::string& table, const std::string& condition, const Params& params,
                   const ColumnSet& cols, const std::vector<Variant>& before, const std::vector<Variant>& after) {
    std::string set, check;
    Params set_params, check_params;
    for (size_t i = 0; i < cols.size(); ++i) {
      if (before[i] == after[i]) continue;
      const std::string& column = cols.names()[i];
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
      if (Connection::Run(*h.s) && !Ok(SQLRowCount(h.s->stmt, &changed))) h.s->Fail();
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

std::unique_ptr<Database> OpenOdbcDatabase(const std::string& connection_string) {
  auto conn = std::make_shared<Connection>();
  conn->Connect(connection_string);
  return std::make_unique<OdbcDb>(conn);
}

}  // namespace sevrik
