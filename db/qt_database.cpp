#include "db/qt_database.h"

#include <sqlite3.h>

#include <QDate>
#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>
#include <QString>
#include <QVariant>
#include <atomic>
#include <optional>
#include <regex>

#include "db/connection.h"
#include "platform/error.h"
#include "platform/fs.h"
#include "platform/text.h"

namespace sevrik {
namespace {

constexpr int kBusyTimeoutMs = 8000;

Error DriverError(const QSqlError& e) {
  std::string text = e.text().toStdString();
  if (text.empty()) text = "Unspecified database error";
  return Error(err::kDatabase, text);
}

QVariant ToQt(const Variant& v) {
  switch (v.kind()) {
    case Variant::Kind::Null:
    case Variant::Kind::Empty: return QVariant();
    case Variant::Kind::Integer: return QVariant(static_cast<qlonglong>(v.integer()));
    case Variant::Kind::Double: return QVariant(v.real());
    case Variant::Kind::Date: {
      const DateTime& d = v.date();
      char buf[32];
      std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour,
                    d.minute, d.second);
      std::string s = buf;
      if (d.hour == 0 && d.minute == 0 && d.second == 0) s.resize(10);
      return QVariant(QString::fromStdString(s));
    }
    case Variant::Kind::Text: return QVariant(QString::fromStdString(v.text()));
  }
  return QVariant();
}

Variant FromQt(const QVariant& q, bool date_column) {
  if (q.isNull()) return Variant::Null();
  switch (q.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::Bool: return Variant(static_cast<int64_t>(q.toLongLong()));
    case QMetaType::Double:
    case QMetaType::Float: return Variant(q.toDouble());
    case QMetaType::QDate: {
      const QDate d = q.toDate();
      return Variant(DateTime{d.year(), d.month(), d.day()});
    }
    case QMetaType::QDateTime: {
      const QDateTime t = q.toDateTime();
      return Variant(DateTime{t.date().year(), t.date().month(), t.date().day(), t.time().hour(),
                              t.time().minute(), t.time().second()});
    }
    default: break;
  }
  std::string text = q.toString().toStdString();
  if (date_column) {
    // A date column holds "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS"; anything else is no date.
    if (auto d = ParseDate(text, LocaleInfo::Classic()); d && text.size() >= 10 && text[4] == '-')
      return Variant(*d);
  }
  return Variant(std::move(text));
}

class QtDb : public Database {
 public:
  QtDb(QSqlDatabase db, bool sqlite) : db_(db), sqlite_(sqlite) {}
  ~QtDb() override {
    const QString name = db_.connectionName();
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(name);
  }

  std::unique_ptr<Recordset> Execute(const std::string& sql, const Params& params) override {
    return Run(sql, params, CursorType::ForwardOnly);
  }
  std::unique_ptr<Recordset> Open(const std::string& sql, const Params& params, CursorType cursor) override {
    return Run(sql, params, cursor);
  }

 private:
  std::unique_ptr<Recordset> Run(const std::string& sql, const Params& params, CursorType cursor) {
    std::string text = sql;
    std::string table;
    bool with_rowid = false;
    if (cursor == CursorType::Keyset) {
      static const std::regex kSelectStar(R"(^\s*select\s+\*\s+from\s+([A-Za-z_][A-Za-z0-9_]*)(.*)$)",
                                          std::regex::icase);
      std::smatch m;
      if (!std::regex_match(sql, m, kSelectStar))
        throw Error(err::kActionNotSupported, "An updatable recordset needs \"select * from <table> ...\".");
      table = m[1];
      if (sqlite_) {
        text = "select rowid as sevrik_rowid__, * from " + table + std::string(m[2]);
        with_rowid = true;
      }
    }
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    if (!q.prepare(QString::fromStdString(text))) throw DriverError(q.lastError());
    for (int i = 0; i < static_cast<int>(params.size()); ++i) q.bindValue(i, ToQt(params[static_cast<size_t>(i)]));
    if (!q.exec()) {
      const Error e = DriverError(q.lastError());
      q.finish();
      throw e;
    }
    std::vector<std::string> columns;
    std::vector<bool> date_column;
    std::vector<std::vector<Variant>> rows;
    if (q.isSelect()) {
      const QSqlRecord rec = q.record();
      sqlite3_stmt* stmt = nullptr;
      if (sqlite_) {
        const QVariant h = q.result()->handle();
        if (h.isValid() && qstrcmp(h.typeName(), "sqlite3_stmt*") == 0) stmt = *static_cast<sqlite3_stmt* const*>(h.data());
      }
      for (int i = 0; i < rec.count(); ++i) {
        columns.push_back(rec.fieldName(i).toStdString());
        bool is_date = false;
        if (stmt) {
          const char* decl = sqlite3_column_decltype(stmt, i);
          if (decl) {
            const std::string d = AsciiUpper(decl);
            is_date = d.find("DATE") != std::string::npos || d.find("TIME") != std::string::npos;
          }
        }
        date_column.push_back(is_date);
      }
      while (q.next()) {
        std::vector<Variant> row;
        row.reserve(columns.size());
        for (int i = 0; i < rec.count(); ++i) row.push_back(FromQt(q.value(i), date_column[static_cast<size_t>(i)]));
        rows.push_back(std::move(row));
      }
      if (q.lastError().isValid()) {
        const Error e = DriverError(q.lastError());
        q.finish();
        throw e;
      }
    }
    q.finish();
    if (cursor != CursorType::Keyset)
      return std::make_unique<Recordset>(std::move(columns), std::move(rows), cursor == CursorType::Static);

    std::vector<int64_t> rowids;
    if (with_rowid) {
      for (auto& row : rows) {
        rowids.push_back(row[0].kind() == Variant::Kind::Integer ? row[0].integer() : 0);
        row.erase(row.begin());
      }
      columns.erase(columns.begin());
    }
    auto saver = [this, table, rowids = std::move(rowids)](size_t index, const std::vector<std::string>& cols,
                                                           const std::vector<Variant>& before,
                                                           const std::vector<Variant>& after) {
      Save(table, index < rowids.size() ? std::optional(rowids[index]) : std::nullopt, cols, before, after);
    };
    return std::make_unique<Recordset>(std::move(columns), std::move(rows), true, saver);
  }

  // Writes the changed columns of one row. The row is found by its rowid (SQLite) or by all
  // its values as read; optimistic locking: the changed columns must still hold what was read.
  void Save(const std::string& table, std::optional<int64_t> rowid, const std::vector<std::string>& cols,
            const std::vector<Variant>& before, const std::vector<Variant>& after) {
    std::string sql = "UPDATE " + table + " SET ";
    Params params;
    std::vector<size_t> changed;
    for (size_t i = 0; i < cols.size(); ++i)
      if (!(before[i] == after[i])) changed.push_back(i);
    if (changed.empty()) return;
    for (size_t k = 0; k < changed.size(); ++k) {
      sql += (k ? ", " : "") + cols[changed[k]] + " = ?";
      params.push_back(after[changed[k]]);
    }
    sql += " WHERE ";
    bool first = true;
    auto cond = [&](size_t i) {
      sql += first ? "" : " AND ";
      first = false;
      if (before[i].is_null() || before[i].is_empty()) {
        sql += cols[i] + " IS NULL";
      } else {
        sql += cols[i] + " = ?";
        params.push_back(before[i]);
      }
    };
    if (rowid) {
      sql += "rowid = ?";
      params.push_back(Variant(*rowid));
      first = false;
      for (size_t i : changed) cond(i);
    } else {
      for (size_t i = 0; i < cols.size(); ++i) cond(i);
    }
    QSqlQuery q(db_);
    if (!q.prepare(QString::fromStdString(sql))) throw DriverError(q.lastError());
    for (int i = 0; i < static_cast<int>(params.size()); ++i) q.bindValue(i, ToQt(params[static_cast<size_t>(i)]));
    if (!q.exec()) throw DriverError(q.lastError());
    if (q.numRowsAffected() == 0)
      throw Error(err::kDatabase,
                  "Row cannot be located for updating. Some values may have been changed since it was last read.");
  }

  QSqlDatabase db_;
  bool sqlite_;
};

QString NextConnectionName() {
  static std::atomic<int> counter{0};
  return QString("sevrik-%1").arg(++counter);
}

}  // namespace

std::unique_ptr<Database> ConnectDatabase(const std::string& connection_string) {
  const auto items = ParseConnectionString(connection_string);
  const auto source = items.find("data source");
  if (source == items.end() || source->second.empty())
    throw Error(err::kDatabase, "The connection string names no data source.");
  const std::string& path = source->second;
  if (!FileExistsPlain(path)) throw Error(err::kDatabase, "Could not find file '" + path + "'.");
  std::string head;
  try {
    head = ReadFileHead(path, 32);
  } catch (const Error& e) {
    throw Error(err::kDatabase, "Could not open file '" + path + "': " + e.description());
  }
  const std::string host = HostPath(path);
  if (head.compare(0, 16, std::string("SQLite format 3\0", 16)) == 0) {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", NextConnectionName());
    db.setDatabaseName(QString::fromStdString(host));
    db.setConnectOptions(QString("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!db.open()) {
      const Error e = DriverError(db.lastError());
      const QString name = db.connectionName();
      db = QSqlDatabase();
      QSqlDatabase::removeDatabase(name);
      throw e;
    }
    auto result = std::make_unique<QtDb>(db, true);
    // A file that starts like a database but is damaged fails here, at the connection.
    result->Execute("select count(*) from sqlite_master", {});
    return result;
  }
  const bool jet = head.size() >= 19 && (head.compare(4, 15, "Standard Jet DB") == 0 ||
                                         head.compare(4, 15, "Standard ACE DB") == 0);
  if (jet && QSqlDatabase::isDriverAvailable("QODBC")) {
    QSqlDatabase db = QSqlDatabase::addDatabase("QODBC", NextConnectionName());
    std::string pwd;
    if (auto p = items.find("jet oledb:database password"); p != items.end()) pwd = p->second;
    db.setDatabaseName(QString::fromStdString("DRIVER={Microsoft Access Driver (*.mdb, *.accdb)};DBQ=" + host +
                                              ";PWD=" + pwd));
    if (!db.open()) {
      const Error e = DriverError(db.lastError());
      const QString name = db.connectionName();
      db = QSqlDatabase();
      QSqlDatabase::removeDatabase(name);
      throw e;
    }
    return std::make_unique<QtDb>(db, false);
  }
  if (jet) throw Error(err::kDatabase, "No ODBC driver for Access databases is installed to open '" + path + "'.");
  throw Error(err::kDatabase, "Unrecognized database format '" + path + "'.");
}

}  // namespace sevrik
