#include "tools/sqlite_file.h"

#include <sqlite3.h>

#include "db/sqlite_database.h"

#include <cstdio>
#include <stdexcept>

namespace sevrik::tools {
namespace {

void Bind(sqlite3_stmt* stmt, int index, const Variant& v) {
  switch (v.kind()) {
    case Variant::Kind::Null:
    case Variant::Kind::Empty: sqlite3_bind_null(stmt, index); break;
    case Variant::Kind::Integer: sqlite3_bind_int64(stmt, index, v.integer()); break;
    case Variant::Kind::Double: sqlite3_bind_double(stmt, index, v.real()); break;
    case Variant::Kind::Date: {
      char buf[32];
      const DateTime& d = v.date();
      if (d.hour || d.minute || d.second)
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour, d.minute,
                      d.second);
      else
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
      sqlite3_bind_text(stmt, index, buf, -1, SQLITE_TRANSIENT);
      break;
    }
    case Variant::Kind::Text: sqlite3_bind_text(stmt, index, v.text().c_str(), -1, SQLITE_TRANSIENT); break;
  }
}

}  // namespace

SqliteFile::SqliteFile(const std::string& host_path, bool create) {
  ConfigureSqlite();  // as the interface's adapter sets up the library
  const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
  if (sqlite3_open_v2(host_path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
    const std::string msg = db_ ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close(db_);
    db_ = nullptr;
    throw std::runtime_error("cannot open " + host_path + ": " + msg);
  }
  sqlite3_busy_timeout(db_, 8000);
}

SqliteFile::~SqliteFile() { sqlite3_close(db_); }

void SqliteFile::Exec(const std::string& sql) {
  char* msg = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &msg) != SQLITE_OK) {
    const std::string text = msg ? msg : "error";
    sqlite3_free(msg);
    throw std::runtime_error(text + " in: " + sql.substr(0, 200));
  }
}

void SqliteFile::Insert(const std::string& table, const Row& row) {
  std::string cols, marks;
  for (const auto& [name, value] : row) {
    cols += (cols.empty() ? "" : ", ") + name;
    marks += marks.empty() ? "?" : ", ?";
  }
  const std::string sql = "INSERT INTO " + table + " (" + cols + ") VALUES (" + marks + ")";
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
    throw std::runtime_error(std::string(sqlite3_errmsg(db_)) + " in: " + sql);
  int i = 1;
  for (const auto& [name, value] : row) Bind(stmt, i++, value);
  const int rc = sqlite3_step(stmt);
  sqlite3_finalize(stmt);
  if (rc != SQLITE_DONE) throw std::runtime_error(std::string(sqlite3_errmsg(db_)) + " in: " + sql);
}

std::string SqliteFile::QueryText(const std::string& sql, const std::vector<Variant>& params) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
    throw std::runtime_error(std::string(sqlite3_errmsg(db_)) + " in: " + sql);
  int i = 1;
  for (const Variant& v : params) Bind(stmt, i++, v);
  std::string out;
  if (sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_type(stmt, 0) != SQLITE_NULL)
    out = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
  sqlite3_finalize(stmt);
  return out;
}

}  // namespace sevrik::tools
