// The per-item child rows of a document (tariffs, facilities): the customs application's
// per-item query "<select of the document's rows> and <key column> =<item's value> ...",
// with the item's values bound as parameters. The statement text is the same for every item,
// so the database prepares it once.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "db/database.h"

namespace sevrik {

class ChildRows {
 public:
  // `sql` selects every row of the document (its parameters `params`); each key column adds
  // one condition.
  ChildRows(Database& db, const std::string& sql, Params params, const std::vector<std::string>& key_columns);

  // The rows whose key columns equal `values`, as the database compares them (null matches
  // nothing), in the order the database gives them.
  std::unique_ptr<Recordset> For(const std::vector<Variant>& values);
  // The same for one key column.
  std::unique_ptr<Recordset> For(const Variant& value);

 private:
  Database& db_;
  std::string sql_;
  Params params_;  // the document's parameters, then the item's values
  size_t document_params_;
};

}  // namespace sevrik
