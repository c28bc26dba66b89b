// The database seam: a connection opened by connection string, statements with bound
// parameters, recordsets read by column name.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/variant.h"

namespace sevrik {

// How a recordset is opened: forward-only (no row count), static (row count known) or
// keyset (the current row can be changed and saved, with optimistic locking).
enum class CursorType { ForwardOnly, Static, Keyset };

using Params = std::vector<Variant>;

// How long a statement waits for a database that another connection has locked, on every
// adapter.
inline constexpr int kLockWaitMs = 8000;

// The rows of one result, walked from the first. Adapters read the rows as they are
// walked; only what a cursor needs is held (the row count of a static recordset, the rows
// of a keyset recordset).
class Recordset {
 public:
  virtual ~Recordset() = default;

  virtual bool Eof() const = 0;
  // To the first row; error 3021 when there is none. A forward-only recordset that has
  // moved on runs its statement again.
  virtual void MoveFirst() = 0;
  virtual void MoveNext() = 0;  // error 3021 past the end
  // The row count; -1 for a forward-only recordset.
  virtual long RecordCount() const = 0;

  // A field of the current row, by name without regard to case. A name the recordset lacks
  // is error 3265; no current row is error 3021. The reference lives until the next move.
  virtual const Variant& Field(std::string_view name) const = 0;

  // Assigns a field of the current row, and writes the row back (keyset recordsets only,
  // else error 445). The write is refused when a changed column no longer holds what was
  // read (another writer changed it): a database error, and the row keeps the other value.
  virtual void SetField(std::string_view name, Variant value);
  virtual void Update();

  // A recordset that could not be opened: every use is error 3704.
  static std::unique_ptr<Recordset> Closed();
};

class Database {
 public:
  virtual ~Database() = default;
  // Runs a statement; a statement that returns rows gives a forward-only recordset.
  // Each "?" of the SQL text takes the next parameter.
  std::unique_ptr<Recordset> Execute(const std::string& sql, const Params& params = {}) {
    return Open(sql, params, CursorType::ForwardOnly);
  }
  virtual std::unique_ptr<Recordset> Open(const std::string& sql, const Params& params,
                                          CursorType cursor) = 0;
  // Whether the database finds texts equal that differ only in the case of their letters
  // (the Access driver does; SQLite does not).
  virtual bool TextComparesIgnoringCase() const { return false; }
};

}  // namespace sevrik
