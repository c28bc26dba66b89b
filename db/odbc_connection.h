// One ODBC connection of the adapter: its handles, the statements it has prepared (kept per
// SQL text for the next run), its open cursors and its transactions.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "db/odbc_statement.h"

namespace sevrik::odbc {

// A recordset's hold on a statement whose cursor may be open.
class Cursor {
 public:
  virtual ~Cursor() = default;
  // Reads the rest of the rows and closes the cursor.
  virtual void Detach() = 0;
  virtual bool open() const = 0;
};

class Connection {
 public:
  Connection(int wait_ms, OdbcStatementLog log) : wait_ms_(wait_ms), log_(std::move(log)) {}
  ~Connection();

  // Connects without prompting; a driver that is not installed is an error that names it.
  void Connect(const std::string& connection_string);

  bool access() const { return access_; }
  int wait_ms() const { return wait_ms_; }

  // A prepared statement for `sql` with `params` bound, not yet run; the caller's until
  // handed back with Release().
  std::unique_ptr<Statement> Acquire(const std::string& sql, const Params& params);

  void Release(std::unique_ptr<Statement> s) {
    if (!s) return;
    s->Close();
    idle_.Put(std::move(s));
  }

  // Runs a bound statement, its first block not yet fetched; false when it is an UPDATE or
  // DELETE that met no row.
  bool Run(Statement& s);

  // ReadRow, for any length of text: a longer text than the room bound for it grows the
  // room, and the statement runs again up to the same row.
  void ReadWholeRow(Statement& s, std::vector<Variant>& row);

  // Runs `f` as one transaction of its own; `f` returns whether to keep what it did. No
  // transaction begins while a cursor of the connection is open: the open recordsets read
  // the rest of their rows first (the Access driver closes cursors at the end of a
  // transaction, and a rollback begun beside an open cursor may not undo).
  template <typename F>
  void InTransaction(F&& f) {
    DetachCursors();
    if (log_) log_("TRANSACTION\t" + std::to_string(OpenCursors()));
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
  std::string ForTheDriver(const std::string& cs, const std::map<std::string, std::string>& items) const;

  int wait_ms_;
  OdbcStatementLog log_;
  SQLHENV env_ = SQL_NULL_HENV;
  SQLHDBC dbc_ = SQL_NULL_HDBC;
  bool connected_ = false;
  bool access_ = false;
  StatementCache<Statement> idle_;
  std::vector<Cursor*> cursors_;
};

}  // namespace sevrik::odbc
