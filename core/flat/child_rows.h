// The per-item child rows of a document (tariffs, facilities): what the customs
// application's per-item query "<select of the document's rows> and <key column> =<item's
// value> ..." gives, without one query per item.
//
// The document's rows are read once, at the first item, with the document's own statement
// (served by the CAR index that every such table has), and matched to the items in memory, so
// that a build takes time linear in the document's size whatever other indexes exist. Only the
// columns the records use are kept, packed into one buffer: a few dozen bytes a row.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/error.h"
#include "db/database.h"

namespace sevrik {

class ChildRows {
 public:
  // `sql` selects every row of the document (its parameters `params`); each key column adds
  // one condition of the per-item query. `kept_columns` are the columns the records read;
  // one the table lacks is error 3265 when it is read, as it would be from the query.
  ChildRows(Database& db, std::string sql, Params params, std::vector<std::string> key_columns,
            std::vector<std::string> kept_columns);
  ~ChildRows();
  ChildRows(const ChildRows&) = delete;
  ChildRows& operator=(const ChildRows&) = delete;

  // The rows whose key columns equal `values` as the database compares them (null matches
  // nothing; a number equals a text that reads as that number; text matches exactly, or
  // without regard to case where the database compares so), in the order the database gives
  // the document's rows, which is the order of the per-item query on the same table. A
  // forward-only recordset (no row count). When the document's rows cannot be read, every
  // call is that error.
  std::unique_ptr<Recordset> For(const std::vector<Variant>& values);
  // The same for one key column.
  std::unique_ptr<Recordset> For(const Variant& value);

  struct Kept;  // the rows read, shared with the recordsets handed out

 private:
  void Load();
  std::unique_ptr<Recordset> Find(const Variant* values, size_t count);

  Database& db_;
  std::string sql_;
  Params params_;
  std::vector<std::string> key_columns_;
  std::vector<std::string> kept_columns_;
  std::shared_ptr<Kept> kept_;
  std::optional<Error> failed_;
  // Reused from call to call: each value's comparable forms, a key.
  struct Forms {
    std::string text[2];
  };
  std::vector<Forms> forms_;
  std::string key_;
};

}  // namespace sevrik
