#include "db/database.h"

#include "platform/error.h"
#include "platform/text.h"

namespace sevrik {

Recordset::Columns::Columns(std::vector<std::string> column_names) : names(std::move(column_names)) {
  lower.reserve(names.size());
  for (const std::string& c : names) lower.push_back(AsciiLower(c));
}

Recordset::Recordset(std::vector<std::string> columns, Rows rows, bool count_known, RowSaver saver)
    : open_(true),
      columns_(std::make_shared<const Columns>(std::move(columns))),
      shared_(std::make_shared<Rows>(std::move(rows))),
      count_known_(count_known),
      saver_(std::move(saver)) {}

Recordset::Recordset(std::shared_ptr<const Columns> columns, std::shared_ptr<Rows> shared,
                     std::vector<size_t> selection)
    : open_(true),
      columns_(std::move(columns)),
      shared_(std::move(shared)),
      selection_(std::move(selection)),
      whole_(false) {}

std::unique_ptr<Recordset> Recordset::Closed() { return std::unique_ptr<Recordset>(new Recordset()); }

void Recordset::CheckOpen() const {
  if (!open_) throw Error(err::kObjectClosed);
}

void Recordset::CheckCurrent() const {
  CheckOpen();
  if (pos_ >= size()) throw Error(err::kNoCurrentRecord);
}

bool Recordset::Eof() const {
  CheckOpen();
  return pos_ >= size();
}

void Recordset::MoveFirst() {
  CheckOpen();
  if (size() == 0) throw Error(err::kNoCurrentRecord);
  pos_ = 0;
  edited_.clear();
}

void Recordset::MoveNext() {
  CheckCurrent();
  ++pos_;
  edited_.clear();
}

long Recordset::RecordCount() const {
  CheckOpen();
  return count_known_ ? static_cast<long>(size()) : -1;
}

namespace {

// `name` equals the lower-case column name without regard to ASCII case.
bool SameName(std::string_view lower_column, std::string_view name) {
  if (lower_column.size() != name.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    const char c = name[i] >= 'A' && name[i] <= 'Z' ? static_cast<char>(name[i] - 'A' + 'a') : name[i];
    if (c != lower_column[i]) return false;
  }
  return true;
}

}  // namespace

size_t Recordset::ColumnIndex(std::string_view name) const {
  CheckOpen();
  const std::vector<std::string>& lower = columns_->lower;
  for (size_t i = 0; i < lower.size(); ++i)
    if (SameName(lower[i], name)) return i;
  throw Error(err::kItemNotFound);
}

const Variant& Recordset::Field(std::string_view name) const {
  CheckOpen();
  const size_t i = ColumnIndex(name);
  CheckCurrent();
  return edited_.empty() ? row(pos_)[i] : edited_[i];
}

void Recordset::SetField(std::string_view name, Variant value) {
  CheckCurrent();
  if (!saver_) throw Error(err::kActionNotSupported, "The recordset cannot be updated.");
  const size_t i = ColumnIndex(name);
  if (edited_.empty()) edited_ = row(pos_);
  edited_[i] = std::move(value);
}

void Recordset::Update() {
  CheckCurrent();
  if (!saver_) throw Error(err::kActionNotSupported, "The recordset cannot be updated.");
  if (edited_.empty()) return;
  saver_(pos_, columns_->names, row(pos_), edited_);
  (*shared_)[whole_ ? pos_ : selection_[pos_]] = std::move(edited_);
  edited_.clear();
}

}  // namespace sevrik
