#include "interface/child_rows.h"

namespace sevrik {

ChildRows::ChildRows(Database& db, const std::string& sql, Params params, const std::vector<std::string>& key_columns)
    : db_(db), sql_(sql), params_(std::move(params)) {
  for (const std::string& k : key_columns) sql_ += " and " + k + " =?";
}

std::unique_ptr<Recordset> ChildRows::For(const std::vector<Variant>& values) {
  Params p = params_;
  p.insert(p.end(), values.begin(), values.end());
  return db_.Execute(sql_, p);
}

}  // namespace sevrik
