#include "interface/child_rows.h"

#include <algorithm>
#include <cmath>

#include "platform/locale.h"

namespace sevrik {
namespace {

// A number as an index key: whole numbers exactly, others by their general text.
std::string NumberKey(double d) {
  static const LocaleInfo classic = LocaleInfo::Classic();
  if (d == std::floor(d) && std::fabs(d) < 1e15) return "N" + std::to_string(static_cast<int64_t>(d));
  return "N" + NumberToText(d, classic);
}

// The one key under which a stored value is indexed; empty (no key) for null.
std::string StoredKey(const Variant& v) {
  switch (v.kind()) {
    case Variant::Kind::Integer: return NumberKey(static_cast<double>(v.integer()));
    case Variant::Kind::Double: return NumberKey(v.real());
    case Variant::Kind::Text: return "T" + v.text();
    case Variant::Kind::Date: {
      const DateTime& d = v.date();
      return "D" + std::to_string(d.year) + "-" + std::to_string(d.month) + "-" + std::to_string(d.day) + " " +
             std::to_string(d.hour) + ":" + std::to_string(d.minute) + ":" + std::to_string(d.second);
    }
    default: return {};
  }
}

// Every key a wanted value matches: its own, and for a number its text, for a text that reads
// as a number that number (as the database compares a value with a column of the other kind).
std::vector<std::string> WantedKeys(const Variant& v) {
  static const LocaleInfo classic = LocaleInfo::Classic();
  std::vector<std::string> keys;
  const std::string own = StoredKey(v);
  if (own.empty()) return keys;
  keys.push_back(own);
  if (v.is_number()) {
    keys.push_back("T" + own.substr(1));
  } else if (v.kind() == Variant::Kind::Text) {
    if (const auto n = ParseNumber(v.text(), classic)) keys.push_back(NumberKey(*n));
  }
  return keys;
}

}  // namespace

ChildRows::ChildRows(Database& db, std::string sql, Params params, std::vector<std::string> key_columns)
    : db_(db), sql_(std::move(sql)), params_(std::move(params)), key_columns_(std::move(key_columns)) {}

void ChildRows::Load() {
  std::unique_ptr<Recordset> rs = db_.Execute(sql_, params_);
  columns_ = rs->column_set();
  rows_ = rs->all_rows();
  std::vector<size_t> keys;
  for (const std::string& k : key_columns_) keys.push_back(rs->ColumnIndex(k));
  kinds_.assign(keys.size(), std::string());
  for (size_t r = 0; r < rows_->size(); ++r) {
    std::string key;
    bool matchable = true;
    for (size_t i = 0; i < keys.size(); ++i) {
      const std::string part = StoredKey((*rows_)[r][keys[i]]);
      if (part.empty()) {
        matchable = false;
      } else if (kinds_[i].find(part[0]) == std::string::npos) {
        kinds_[i] += part[0];
      }
      key += part + '\x1f';
    }
    if (matchable) index_[key].push_back(r);
  }
  loaded_ = true;
}

std::unique_ptr<Recordset> ChildRows::For(const std::vector<Variant>& values) {
  if (!loaded_) Load();
  // Every combination of the candidate keys of the wanted values.
  std::vector<std::string> keys{""};
  for (size_t i = 0; i < values.size(); ++i) {
    std::vector<std::string> next;
    for (const std::string& k : WantedKeys(values[i])) {
      if (i < kinds_.size() && kinds_[i].find(k[0]) == std::string::npos) continue;  // no stored key of that kind
      for (const std::string& prefix : keys) next.push_back(prefix + k + '\x1f');
    }
    keys = std::move(next);
  }
  std::vector<size_t> hits;
  for (const std::string& k : keys)
    if (auto it = index_.find(k); it != index_.end()) hits.insert(hits.end(), it->second.begin(), it->second.end());
  std::sort(hits.begin(), hits.end());
  hits.erase(std::unique(hits.begin(), hits.end()), hits.end());
  return std::make_unique<Recordset>(columns_, rows_, std::move(hits));
}

}  // namespace sevrik
