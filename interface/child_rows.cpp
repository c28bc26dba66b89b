#include "interface/child_rows.h"

#include <algorithm>
#include <cmath>

#include "platform/locale.h"

namespace sevrik {
namespace {

// Index keys of one value; a value without a key (null) matches nothing.
std::vector<std::string> KeysOf(const Variant& v) {
  const LocaleInfo& c = [] () -> const LocaleInfo& { static const LocaleInfo l = LocaleInfo::Classic(); return l; }();
  switch (v.kind()) {
    case Variant::Kind::Integer:
    case Variant::Kind::Double: {
      const double d = v.kind() == Variant::Kind::Integer ? static_cast<double>(v.integer()) : v.real();
      const std::string n = d == std::floor(d) && std::fabs(d) < 1e15 ? std::to_string(static_cast<int64_t>(d))
                                                                      : NumberToText(d, c);
      return {"N" + n, "T" + n};
    }
    case Variant::Kind::Text: {
      std::vector<std::string> keys{"T" + v.text()};
      if (const auto n = ParseNumber(v.text(), c)) {
        const double d = *n;
        keys.push_back("N" + (d == std::floor(d) && std::fabs(d) < 1e15 ? std::to_string(static_cast<int64_t>(d))
                                                                         : NumberToText(d, c)));
      }
      return keys;
    }
    case Variant::Kind::Date: {
      const DateTime& d = v.date();
      return {"D" + std::to_string(d.year) + "-" + std::to_string(d.month) + "-" + std::to_string(d.day) + " " +
              std::to_string(d.hour) + ":" + std::to_string(d.minute) + ":" + std::to_string(d.second)};
    }
    default: return {};
  }
}

// The one key under which a stored value is indexed.
std::string StoredKey(const Variant& v) {
  const auto keys = KeysOf(v);
  return keys.empty() ? std::string() : keys.front();
}

}  // namespace

ChildRows::ChildRows(Database& db, std::string sql, Params params, std::vector<std::string> key_columns)
    : db_(db), sql_(std::move(sql)), params_(std::move(params)), key_columns_(std::move(key_columns)) {}

void ChildRows::Load() {
  std::unique_ptr<Recordset> rs = db_.Execute(sql_, params_);
  columns_ = rs->columns();
  for (; !rs->Eof(); rs->MoveNext()) {
    std::string key;
    bool matchable = true;
    std::vector<Variant> row;
    row.reserve(columns_.size());
    for (const std::string& c : columns_) row.push_back(rs->Field(c));
    for (const std::string& k : key_columns_) {
      const std::string part = StoredKey(rs->Field(k));
      if (part.empty()) matchable = false;
      key += part + '\x1f';
    }
    if (matchable) index_[key].push_back(rows_->size());
    rows_->push_back(std::move(row));
  }
  loaded_ = true;
}

std::unique_ptr<Recordset> ChildRows::For(const std::vector<Variant>& values) {
  if (!loaded_) Load();
  // Every combination of the candidate keys of the wanted values.
  std::vector<std::string> keys{""};
  for (const Variant& v : values) {
    std::vector<std::string> next;
    for (const std::string& prefix : keys)
      for (const std::string& k : KeysOf(v)) next.push_back(prefix + k + '\x1f');
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
