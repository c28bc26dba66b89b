// The per-item child rows of a document (tariffs, facilities), read with one query per
// document instead of one per item, and handed out per item exactly as the per-item query
// "<select of the document's rows> and <key column> = <item's value>" would return them:
// null matches nothing, numbers match by value, text matches exactly, a text that reads as a
// number matches that number.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "db/database.h"

namespace sevrik {

class ChildRows {
 public:
  // `sql` selects every row of the document; it runs at the first call of For(), so that a
  // failing query fails where the first per-item query would.
  ChildRows(Database& db, std::string sql, Params params, std::vector<std::string> key_columns);

  // The rows whose key columns equal `values`, in the order the document's query gave them.
  std::unique_ptr<Recordset> For(const std::vector<Variant>& values);

 private:
  void Load();

  Database& db_;
  std::string sql_;
  Params params_;
  std::vector<std::string> key_columns_;
  bool loaded_ = false;
  std::shared_ptr<const Recordset::Columns> columns_;
  std::shared_ptr<Recordset::Rows> rows_;
  std::unordered_map<std::string, std::vector<size_t>> index_;
  // Per key column: which kinds of key ('N', 'T', 'D') the stored rows have.
  std::vector<std::string> kinds_;
};

}  // namespace sevrik
