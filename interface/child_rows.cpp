#include "interface/child_rows.h"

namespace sevrik {

ChildRows::ChildRows(Database& db, const std::string& sql, Params params, const std::vector<std::string>& key_columns)
    : db_(db), sql_(sql), params_(std::move(params)), document_params_(params_.size()) {
  for (const std::string& k : key_columns) sql_ += " and " + k + " =?";
}

std::unique_ptr<Recordset> ChildRows::For(const std::vector<Variant>& values) {
  params_.resize(document_params_);
  params_.insert(params_.end(), values.begin(), values.end());
  return db_.Execute(sql_, params_);
}

std::unique_ptr<Recordset> ChildRows::For(const Variant& value) {
  params_.resize(document_params_);
  params_.push_back(value);
  return db_.Execute(sql_, params_);
}

}  // namespace sevrik
