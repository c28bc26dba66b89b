#include "db/odbc_statement.h"

#include <algorithm>
#include <cstring>

#include "db/access_sql.h"

namespace sevrik::odbc {
namespace {

// UTF-8 into a UTF-16 buffer, keeping its storage.
void AssignUtf16(WText& out, std::string_view s) {
  bool ascii = true;
  for (char c : s) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) {
    out.assign(s.begin(), s.end());
    return;
  }
  out = Utf16(s);
}

// Binds the result's columns for block fetches: as many rows a block as kBlockBytes holds.
void BindColumns(Statement& s) {
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

}  // namespace

void BindParameters(Statement& s, const Params& params, bool access, const OdbcStatementLog& log) {
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
        const bool pattern = access && i < s.like.size() && s.like[i];
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
    if (log)
      log("BIND\t" + std::to_string(i + 1) + "\t" + kind + "\t" + std::to_string(size) + "\t" +
          std::to_string(v.kind() == Variant::Kind::Text ? b.text.size() : 0));
  }
  s.params_bound = true;
}

void Describe(Statement& s) {
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

bool NextRow(Statement& s) {
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

void ReadRow(Statement& s, std::vector<Variant>& row) {
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

}  // namespace sevrik::odbc
