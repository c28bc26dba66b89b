#include "db/recordset.h"

#include "base/error.h"
#include "platform/locale.h"

namespace sevrik {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

size_t ColumnSet::CaseHash::operator()(std::string_view s) const {
  uint64_t h = 14695981039346656037ull;  // FNV-1a, 64 bits on every platform
  for (char c : s) h = (h ^ static_cast<unsigned char>(Lower(c))) * 1099511628211ull;
  return static_cast<size_t>(h ^ (h >> 32));
}

ColumnSet::ColumnSet(std::vector<std::string> names, std::vector<bool> date_columns)
    : names_(std::move(names)), date_(std::move(date_columns)) {
  date_.resize(names_.size(), false);
  for (size_t i = 0; i < names_.size(); ++i) index_.emplace(names_[i], i);  // keeps the first
}

size_t ColumnSet::Lookup(std::string_view name) const {
  const auto it = index_.find(name);
  if (it == index_.end()) throw Error(err::kItemNotFound);
  return it->second;
}

Variant DateOrText(std::string text) {
  if (text.size() >= 10 && text[4] == '-')
    if (auto d = ParseDate(text, LocaleInfo::Classic())) return Variant(*d);
  return Variant(std::move(text));
}

// ---- StreamRecordset -------------------------------------------------------------------

void StreamRecordset::Begin() {
  used_ = first_ = pos_ = 0;
  more_ = Run();
  if (more_) Fetch();
}

std::vector<Variant>& StreamRecordset::Slot(size_t i) {
  if (i >= rows_.size()) rows_.emplace_back();
  return rows_[i];
}

// Reads the row the source stands on as row pos_ (= first_ + used_). A failure leaves the
// recordset at its end.
void StreamRecordset::Fetch() {
  try {
    if (used_ >= kKeptRows || first_ > 0) {
      // Too many to keep: only the current row stays.
      used_ = 1;
      first_ = pos_;
      more_ = Read(rows_[0]);
      return;
    }
    std::vector<Variant>& row = Slot(used_);
    more_ = Read(row);
    ++used_;
  } catch (...) {
    used_ = 0;
    first_ = pos_;
    more_ = false;
    throw;
  }
}

bool StreamRecordset::Eof() const { return pos_ >= first_ + used_; }

void StreamRecordset::CheckCurrent() const {
  if (Eof()) throw Error(err::kNoCurrentRecord);
}

void StreamRecordset::MoveFirst() {
  if (first_ == 0 && used_ > 0) {
    pos_ = 0;
    return;
  }
  if (first_ != 0 || more_) Begin();
  if (used_ == 0) throw Error(err::kNoCurrentRecord);
}

void StreamRecordset::MoveNext() {
  CheckCurrent();
  ++pos_;
  if (pos_ < first_ + used_ || !more_) return;
  Fetch();
}

const Variant& StreamRecordset::Field(std::string_view name) const {
  const size_t i = columns_->Index(name);
  CheckCurrent();
  return rows_[pos_ - first_][i];
}

// ---- RowsRecordset ---------------------------------------------------------------------

RowsRecordset::RowsRecordset(std::shared_ptr<const ColumnSet> columns, Rows rows, bool count_known, Saver saver)
    : columns_(std::move(columns)), rows_(std::move(rows)), count_known_(count_known), saver_(std::move(saver)) {}

void RowsRecordset::CheckCurrent() const {
  if (Eof()) throw Error(err::kNoCurrentRecord);
}

void RowsRecordset::MoveFirst() {
  if (rows_.empty()) throw Error(err::kNoCurrentRecord);
  pos_ = 0;
  edited_.clear();
}

void RowsRecordset::MoveNext() {
  CheckCurrent();
  ++pos_;
  edited_.clear();
}

const Variant& RowsRecordset::Field(std::string_view name) const {
  const size_t i = columns_->Index(name);
  CheckCurrent();
  return edited_.empty() ? rows_[pos_][i] : edited_[i];
}

void RowsRecordset::SetField(std::string_view name, Variant value) {
  CheckCurrent();
  if (!saver_) Recordset::SetField(name, value);
  const size_t i = columns_->Index(name);
  if (edited_.empty()) edited_ = rows_[pos_];
  edited_[i] = std::move(value);
}

void RowsRecordset::Update() {
  CheckCurrent();
  if (!saver_) Recordset::Update();
  if (edited_.empty()) return;
  saver_(pos_, *columns_, rows_[pos_], edited_);
  rows_[pos_] = std::move(edited_);
  edited_.clear();
}

}  // namespace sevrik
