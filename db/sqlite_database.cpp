#include "db/sqlite_database.h"

#include <sqlite3.h>

#include <cstdio>
#include <optional>
#include <regex>
#include <unordered_map>

#include "base/error.h"
#include "base/text.h"
#include "db/recordset.h"

namespace sevrik {
namespace {

Error DriverError(sqlite3* db) {
  const char* text = db ? sqlite3_errmsg(db) : nullptr;
  return Error(err::kDatabase, text && *text ? text : "Unspecified database error");
}

// One prepared statement and the columns of its current preparation.
struct Statement {
  sqlite3_stmt* stmt = nullptr;
  std::string sql;
  std::shared_ptr<const ColumnSet> columns;
  int prepared_as = -1;  // the statement's re-preparation count when `columns` was made
  bool stepped = false;  // stepped since it was last reset
  std::vector<std::vector<Variant>> rows;  // row storage lent to the statement's recordsets
  ~Statement() { sqlite3_finalize(stmt); }
};

// The connection and its statements, prepared once per SQL text. Recordsets share it, so
// that a recordset may outlive the Database object that opened it.
class Connection {
 public:
  explicit Connection(sqlite3* db) : db_(db) {}
  ~Connection() {
    idle_.Clear();
    sqlite3_close(db_);
  }
  sqlite3* db() const { return db_; }

  // A statement for `sql`, bound to `params`, not yet stepped. It belongs to the caller until
  // handed back with Release().
  std::unique_ptr<Statement> Acquire(const std::string& sql, const Params& params) {
    std::unique_ptr<Statement> s = idle_.Take(sql);
    if (!s) {
      s = std::make_unique<Statement>();
      s->sql = sql;
      if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &s->stmt, nullptr) != SQLITE_OK)
        throw DriverError(db_);
      if (!s->stmt) throw Error(err::kDatabase, "The statement is empty.");
    }
    const int expected = sqlite3_bind_parameter_count(s->stmt);
    if (static_cast<size_t>(expected) != params.size()) {
      Release(std::move(s));
      throw Error(err::kDatabase, "The statement takes " + std::to_string(expected) + " parameters, " +
                                      std::to_string(params.size()) + " given.");
    }
    for (size_t i = 0; i < params.size(); ++i)
      if (Bind(s->stmt, static_cast<int>(i + 1), params[i]) != SQLITE_OK) {
        const Error e = DriverError(db_);
        Release(std::move(s));
        throw e;
      }
    return s;
  }

  void Release(std::unique_ptr<Statement> s) {
    if (!s) return;
    // Reset, its bindings kept: every parameter is bound again at the next use, into the
    // storage of the last.
    Reset(*s);
    idle_.Put(std::move(s));
  }

  // Resets a statement that has been stepped (resetting costs even when nothing is to do).
  static void Reset(Statement& s) {
    if (!s.stepped) return;
    sqlite3_reset(s.stmt);
    s.stepped = false;
  }

  // Steps a statement: true for a row, false when done; an error resets the statement.
  bool Step(Statement& s) {
    s.stepped = true;
    const int rc = sqlite3_step(s.stmt);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    const Error e = DriverError(db_);
    Reset(s);
    throw e;
  }

  // The columns of the statement as it is prepared now (a schema change re-prepares it).
  const std::shared_ptr<const ColumnSet>& Columns(Statement& s) {
    const int prepared = sqlite3_stmt_status(s.stmt, SQLITE_STMTSTATUS_REPREPARE, 0);
    if (!s.columns || prepared != s.prepared_as) {
      const int n = sqlite3_column_count(s.stmt);
      std::vector<std::string> names;
      std::vector<bool> dates;
      for (int i = 0; i < n; ++i) {
        const char* name = sqlite3_column_name(s.stmt, i);
        names.emplace_back(name ? name : "");
        const char* decl = sqlite3_column_decltype(s.stmt, i);
        const std::string type = decl ? AsciiUpper(decl) : std::string();
        dates.push_back(type.find("DATE") != std::string::npos || type.find("TIME") != std::string::npos);
      }
      if (!s.columns || !s.columns->SameAs(names, dates))
        s.columns = std::make_shared<const ColumnSet>(std::move(names), std::move(dates));
      s.prepared_as = prepared;
    }
    return s.columns;
  }

 private:
  static int Bind(sqlite3_stmt* stmt, int index, const Variant& v) {
    switch (v.kind()) {
      case Variant::Kind::Null:
      case Variant::Kind::Empty: return sqlite3_bind_null(stmt, index);
      case Variant::Kind::Integer: return sqlite3_bind_int64(stmt, index, v.integer());
      case Variant::Kind::Double: return sqlite3_bind_double(stmt, index, v.real());
      case Variant::Kind::Date: {
        const DateTime& d = v.date();
        char buf[40];
        if (d.hour || d.minute || d.second)
          std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour, d.minute,
                        d.second);
        else
          std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
        return sqlite3_bind_text(stmt, index, buf, -1, SQLITE_TRANSIENT);
      }
      case Variant::Kind::Text:
        // Copied: the statement keeps its bindings for a later run, and keeps the storage of
        // the copy from one binding to the next.
        return sqlite3_bind_text(stmt, index, v.text().data(), static_cast<int>(v.text().size()), SQLITE_TRANSIENT);
    }
    return SQLITE_MISUSE;
  }

  sqlite3* db_;
  StatementCache<Statement> idle_;
};

// Reads a column into `v`, reusing its text storage. One call per column reaches the
// statement; the rest read the value it hands out (an "unprotected" value, which differs
// from a protected one only by the connection's mutex: the connection is opened without
// one, for its one thread).
void ReadColumn(sqlite3_stmt* stmt, int i, bool date_column, Variant& v) {
  sqlite3_value* value = sqlite3_column_value(stmt, i);
  switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER: v.SetInteger(sqlite3_value_int64(value)); return;
    case SQLITE_FLOAT: v.SetDouble(sqlite3_value_double(value)); return;
    case SQLITE_NULL: v.SetNull(); return;
    default: {
      const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(value));
      const auto n = static_cast<size_t>(sqlite3_value_bytes(value));
      if (date_column) v = DateOrText(std::string(p ? p : "", n));
      else v.SetText(p ? p : "", n);
    }
  }
}

void ReadRow(Statement& s, std::vector<Variant>& row) {
  const ColumnSet& c = *s.columns;
  row.resize(c.size());
  for (size_t i = 0; i < c.size(); ++i) ReadColumn(s.stmt, static_cast<int>(i), c.is_date(i), row[i]);
}

// A recordset read from its statement as it is walked.
class SqliteRecordset : public StreamRecordset {
 public:
  SqliteRecordset(std::shared_ptr<Connection> conn, const std::string& sql, const Params& params, long count)
      : StreamRecordset(count), conn_(std::move(conn)), s_(conn_->Acquire(sql, params)) {
    storage().swap(s_->rows);
    try {
      Begin();
    } catch (...) {
      storage().swap(s_->rows);
      conn_->Release(std::move(s_));
      throw;
    }
  }
  ~SqliteRecordset() override {
    storage().swap(s_->rows);
    conn_->Release(std::move(s_));
  }

 protected:
  bool Run() override {
    pending_.reset();
    Connection::Reset(*s_);
    const bool row = conn_->Step(*s_);
    SetColumns(conn_->Columns(*s_).get());  // owned by the statement, which this recordset holds
    if (!row) Connection::Reset(*s_);
    return row;
  }
  bool Read(std::vector<Variant>& row) override {
    if (pending_) throw *pending_;
    ReadRow(*s_, row);
    try {
      if (conn_->Step(*s_)) return true;
    } catch (const Error& e) {
      // The next row cannot be had: this one stands, the move to the next fails.
      pending_ = e;
      return true;
    }
    Connection::Reset(*s_);  // lets go of the read lock
    return false;
  }

 private:
  std::shared_ptr<Connection> conn_;
  std::unique_ptr<Statement> s_;
  std::optional<Error> pending_;  // the failure of the step past the current row
};

class SqliteDb : public Database {
 public:
  explicit SqliteDb(std::shared_ptr<Connection> conn) : conn_(std::move(conn)) {}

  std::unique_ptr<Recordset> Open(const std::string& sql, const Params& params, CursorType cursor) override {
    if (cursor == CursorType::Keyset) return OpenKeyset(sql, params);
    long count = -1;
    if (cursor == CursorType::Static) count = Count(sql, params);
    return std::make_unique<SqliteRecordset>(conn_, sql, params, count);
  }

 private:
  long Count(const std::string& sql, const Params& params) {
    auto s = conn_->Acquire("select count(*) from (" + sql + ")", params);
    long n = 0;
    try {
      if (conn_->Step(*s)) n = static_cast<long>(sqlite3_column_int64(s->stmt, 0));
    } catch (...) {
      conn_->Release(std::move(s));
      throw;
    }
    conn_->Release(std::move(s));
    return n;
  }

  // The rows of "select * from <table> ..." with their rowids, for saving a changed row.
  std::unique_ptr<Recordset> OpenKeyset(const std::string& sql, const Params& params) {
    static const std::regex kSelectStar(R"(^\s*select\s+\*\s+from\s+([A-Za-z_][A-Za-z0-9_]*)(.*)$)",
                                        std::regex::icase);
    std::smatch m;
    if (!std::regex_match(sql, m, kSelectStar))
      throw Error(err::kActionNotSupported, "An updatable recordset needs \"select * from <table> ...\".");
    const std::string table = m[1];
    auto s = conn_->Acquire("select rowid, * from " + table + std::string(m[2]), params);
    RowsRecordset::Rows rows;
    std::vector<int64_t> rowids;
    std::shared_ptr<const ColumnSet> columns;
    try {
      bool row = conn_->Step(*s);
      const ColumnSet& all = *conn_->Columns(*s);
      std::vector<std::string> names(all.names().begin() + 1, all.names().end());
      std::vector<bool> dates;
      for (size_t i = 1; i < all.size(); ++i) dates.push_back(all.is_date(i));
      columns = std::make_shared<const ColumnSet>(std::move(names), std::move(dates));
      for (; row; row = conn_->Step(*s)) {
        rowids.push_back(sqlite3_column_int64(s->stmt, 0));
        std::vector<Variant> values(columns->size());
        for (size_t i = 0; i < columns->size(); ++i)
          ReadColumn(s->stmt, static_cast<int>(i + 1), columns->is_date(i), values[i]);
        rows.push_back(std::move(values));
      }
    } catch (...) {
      conn_->Release(std::move(s));
      throw;
    }
    conn_->Release(std::move(s));
    auto conn = conn_;
    auto saver = [conn, table, rowids = std::move(rowids)](size_t index, const ColumnSet& cols,
                                                           const std::vector<Variant>& before,
                                                           const std::vector<Variant>& after) {
      Save(*conn, table, rowids[index], cols, before, after);
    };
    return std::make_unique<RowsRecordset>(std::move(columns), std::move(rows), true, saver);
  }

  // Writes the changed columns of the row with `rowid`, only while each of them still holds
  // what was read.
  static void Save(Connection& conn, const std::string& table, int64_t rowid, const ColumnSet& cols,
                   const std::vector<Variant>& before, const std::vector<Variant>& after) {
    std::string set, check;
    Params set_params, check_params;
    for (size_t i = 0; i < cols.size(); ++i) {
      if (before[i] == after[i]) continue;
      const std::string column = "\"" + ReplaceAll(cols.names()[i], "\"", "\"\"") + "\"";
      set += (set.empty() ? "" : ", ") + column + " = ?";
      set_params.push_back(after[i]);
      check += " AND " + column + " IS ?";
      check_params.push_back(before[i].is_empty() ? Variant::Null() : before[i]);
    }
    if (set.empty()) return;
    Params params = set_params;
    params.push_back(Variant(rowid));
    params.insert(params.end(), check_params.begin(), check_params.end());
    auto s = conn.Acquire("UPDATE " + table + " SET " + set + " WHERE rowid = ?" + check, params);
    try {
      conn.Step(*s);
    } catch (...) {
      conn.Release(std::move(s));
      throw;
    }
    conn.Release(std::move(s));
    if (sqlite3_changes(conn.db()) == 0)
      throw Error(err::kDatabase,
                  "Row cannot be located for updating. Some values may have been changed since it was last read.");
  }

  std::shared_ptr<Connection> conn_;
};

}  // namespace

void ConfigureSqlite() {
  // Only possible before the library's first use; one thread uses it, so it need not count
  // its memory under a lock.
  static const bool once = [] {
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    return true;
  }();
  (void)once;
}

std::unique_ptr<Database> OpenSqliteDatabase(const std::string& host_path, int lock_wait_ms) {
  ConfigureSqlite();
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(host_path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    const Error e = db ? DriverError(db) : Error(err::kDatabase, "Out of memory");
    sqlite3_close(db);
    throw e;
  }
  auto conn = std::make_shared<Connection>(db);
  sqlite3_busy_timeout(db, lock_wait_ms);
  auto result = std::make_unique<SqliteDb>(conn);
  // A file that starts like a database but is damaged fails here, at the connection.
  result->Execute("select count(*) from sqlite_master", {});
  return result;
}

}  // namespace sevrik
