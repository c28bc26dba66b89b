// The database seam: a connection opened by connection string, statements with bound
// parameters, recordsets read by column name.
#pragma once

#include <functional>
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

class Recordset {
 public:
  // Column names as read, and in lower case for the lookups by name; shared between the
  // recordsets cut from one result.
  struct Columns {
    explicit Columns(std::vector<std::string> names);
    std::vector<std::string> names;
    std::vector<std::string> lower;
  };

  // Saves a changed row: its index, the column names, the row as read, the row as changed.
  using RowSaver = std::function<void(size_t row_index, const std::vector<std::string>& columns,
                                      const std::vector<Variant>& before,
                                      const std::vector<Variant>& after)>;

  using Rows = std::vector<std::vector<Variant>>;

  Recordset(std::vector<std::string> columns, Rows rows, bool count_known, RowSaver saver = {});
  // A read-only recordset over some rows of a shared set, in the order of `selection`.
  Recordset(std::shared_ptr<const Columns> columns, std::shared_ptr<Rows> shared, std::vector<size_t> selection);
  // A recordset that could not be opened: every use is error 3704.
  static std::unique_ptr<Recordset> Closed();

  bool is_open() const { return open_; }
  bool Eof() const;
  void MoveFirst();  // error 3021 when there is no row
  void MoveNext();   // error 3021 past the end
  // The row count; -1 for a forward-only recordset.
  long RecordCount() const;

  // A field of the current row, by name without regard to case. A name the recordset lacks
  // is error 3265; no current row is error 3021.
  const Variant& Field(std::string_view name) const;
  const std::vector<std::string>& columns() const { return columns_->names; }
  // The position of a column (error 3265 when missing), the columns and every row read: for
  // cutting further recordsets from this one.
  size_t ColumnIndex(std::string_view name) const;
  const std::shared_ptr<const Columns>& column_set() const { return columns_; }
  const std::shared_ptr<Rows>& all_rows() const { return shared_; }

  // Assigns a field of the current row and writes the row back (keyset recordsets only).
  void SetField(std::string_view name, Variant value);
  void Update();

 private:
  Recordset() = default;
  size_t size() const { return whole_ ? shared_->size() : selection_.size(); }
  const std::vector<Variant>& row(size_t i) const { return (*shared_)[whole_ ? i : selection_[i]]; }
  void CheckOpen() const;
  void CheckCurrent() const;

  bool open_ = false;
  std::shared_ptr<const Columns> columns_;
  std::shared_ptr<Rows> shared_;  // the rows read
  std::vector<size_t> selection_;        // which of them, in order (all when `whole_`)
  bool whole_ = true;
  std::vector<Variant> edited_;
  bool count_known_ = false;
  size_t pos_ = 0;
  RowSaver saver_;
};

class Database {
 public:
  virtual ~Database() = default;
  // Runs a statement; a statement that returns rows gives a forward-only recordset.
  // Each "?" of the SQL text takes the next parameter.
  virtual std::unique_ptr<Recordset> Execute(const std::string& sql, const Params& params = {}) = 0;
  virtual std::unique_ptr<Recordset> Open(const std::string& sql, const Params& params,
                                          CursorType cursor) = 0;
};

}  // namespace sevrik
