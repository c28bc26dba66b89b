// A prepared ODBC statement of the adapter: its parameters bound once and renewed from run to
// run, its columns bound for block fetches, and the reading of its rows into values.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "db/database.h"
#include "db/odbc_calls.h"
#include "db/odbc_database.h"
#include "db/recordset.h"

namespace sevrik::odbc {

// What a column is fetched as.
enum class Fetch : char { Integer, BigInteger, Single, Double, Date, Text };

inline Fetch FetchOf(SQLSMALLINT sql_type) {
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

inline bool IsBoundedText(SQLSMALLINT sql_type) {
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


// Binds `params` to the statement's "?" in order, keeping the bindings that still fit. On the
// Access driver (`access`) a LIKE pattern's "[" is sent as "[[]". Each binding is reported to
// `log` when there is one.
void BindParameters(Statement& s, const Params& params, bool access, const OdbcStatementLog& log);

// The columns of the result just run; their bindings kept while the driver describes them
// the same.
void Describe(Statement& s);

// Moves the source to the next row; false at the end, where the cursor is closed.
bool NextRow(Statement& s);

// Reads the row the source stands on; a text longer than its column's room is thrown as
// Truncated (nothing of the row is kept).
void ReadRow(Statement& s, std::vector<Variant>& row);

}  // namespace sevrik::odbc
