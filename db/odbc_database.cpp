#include "db/odbc_database.h"

#include <cstdio>
#include <optional>
#include <regex>

#include "base/error.h"
#include "db/access_sql.h"
#include "db/odbc_connection.h"
#include "db/recordset.h"

namespace sevrik {
namespace {

using namespace odbc;

OdbcStatementLog& StatementLogOfNewConnections() {
  static OdbcStatementLog log;
  return log;
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
      } while (NextRow(*s_));
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
    return NextRow(*s_);
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
      return NextRow(*s_);
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
        if (conn_->Run(*h.s) && NextRow(*h.s)) conn_->ReadWholeRow(*h.s, row);
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
      while (NextRow(*h.s)) ++count;
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
      while (NextRow(*h.s)) {
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

void SetOdbcStatementLog(OdbcStatementLog log) { StatementLogOfNewConnections() = std::move(log); }

OdbcStatementLog StatementLogFile(std::string host_path) {
  return [path = std::move(host_path)](const std::string& line) {
    std::string text;
    for (char c : line) text += c == '\n' || c == '\r' ? ' ' : c;
    text += '\n';
    if (std::FILE* f = std::fopen(path.c_str(), "ab")) {
      std::fwrite(text.data(), 1, text.size(), f);
      std::fclose(f);
    }
  };
}

std::unique_ptr<Database> OpenOdbcDatabase(const std::string& connection_string, int lock_wait_ms) {
  auto conn = std::make_shared<Connection>(lock_wait_ms, StatementLogOfNewConnections());
  conn->Connect(connection_string);
  return std::make_unique<OdbcDb>(conn);
}

}  // namespace sevrik
