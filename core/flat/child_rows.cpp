#include "core/flat/child_rows.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string_view>

#include "db/recordset.h"

namespace sevrik {
namespace {

// The packed form of a value: a tag byte, then a length (one byte below 255, else 255 and
// four bytes) and the bytes of a text, 4 bytes of a whole number that fits (an integer, or a
// double that holds one exactly), 8 bytes of any other number, the fields of a date.
enum Tag : char { kNull, kEmpty, kInteger, kSmallInteger, kDouble, kWholeDouble, kDate, kText };

template <typename T>
void Put(std::string& out, const T& v) {
  out.append(reinterpret_cast<const char*>(&v), sizeof v);
}
template <typename T>
T Get(const char*& p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  p += sizeof v;
  return v;
}

void PutLength(std::string& out, size_t n) {
  if (n < 255) {
    out += static_cast<char>(n);
  } else {
    out += static_cast<char>(255);
    Put(out, static_cast<uint32_t>(n));
  }
}
size_t GetLength(const char*& p) {
  const auto n = static_cast<unsigned char>(*p++);
  return n < 255 ? n : Get<uint32_t>(p);
}

bool FitsInt32(double d) { return d >= INT32_MIN && d <= INT32_MAX && static_cast<double>(static_cast<int32_t>(d)) == d && !(d == 0 && std::signbit(d)); }

void Pack(std::string& out, const Variant& v) {
  switch (v.kind()) {
    case Variant::Kind::Null: out += kNull; return;
    case Variant::Kind::Empty: out += kEmpty; return;
    case Variant::Kind::Integer:
      if (v.integer() >= INT32_MIN && v.integer() <= INT32_MAX) {
        out += kSmallInteger;
        Put(out, static_cast<int32_t>(v.integer()));
      } else {
        out += kInteger;
        Put(out, v.integer());
      }
      return;
    case Variant::Kind::Double:
      if (FitsInt32(v.real())) {
        out += kWholeDouble;
        Put(out, static_cast<int32_t>(v.real()));
      } else {
        out += kDouble;
        Put(out, v.real());
      }
      return;
    case Variant::Kind::Date: out += kDate; Put(out, v.date()); return;
    case Variant::Kind::Text:
      out += kText;
      PutLength(out, v.text().size());
      out += v.text();
      return;
  }
}

// Unpacks one value into `v`, reusing its text storage.
void Unpack(const char*& p, Variant& v) {
  switch (*p++) {
    case kNull: v.SetNull(); return;
    case kEmpty: v = Variant(); return;
    case kInteger: v.SetInteger(Get<int64_t>(p)); return;
    case kSmallInteger: v.SetInteger(Get<int32_t>(p)); return;
    case kDouble: v.SetDouble(Get<double>(p)); return;
    case kWholeDouble: v.SetDouble(Get<int32_t>(p)); return;
    case kDate: v = Variant(Get<DateTime>(p)); return;
    default: {
      const size_t n = GetLength(p);
      v.SetText(p, n);
      p += n;
    }
  }
}

// A text that the database reads as a number where it meets a numeric column (blanks around
// it allowed): its value.
std::optional<double> NumberInText(const std::string& s) {
  size_t i = 0, end = s.size();
  while (i < end && (s[i] == ' ' || s[i] == '\t')) ++i;
  while (end > i && (s[end - 1] == ' ' || s[end - 1] == '\t')) --end;
  size_t j = i;
  if (j < end && (s[j] == '+' || s[j] == '-')) ++j;
  size_t digits = 0;
  while (j < end && s[j] >= '0' && s[j] <= '9') ++j, ++digits;
  if (j < end && s[j] == '.') {
    ++j;
    while (j < end && s[j] >= '0' && s[j] <= '9') ++j, ++digits;
  }
  if (!digits) return std::nullopt;
  if (j < end && (s[j] == 'e' || s[j] == 'E')) {
    ++j;
    if (j < end && (s[j] == '+' || s[j] == '-')) ++j;
    size_t exp = 0;
    while (j < end && s[j] >= '0' && s[j] <= '9') ++j, ++exp;
    if (!exp) return std::nullopt;
  }
  if (j != end) return std::nullopt;
  return std::strtod(std::string(s, i, end - i).c_str(), nullptr);
}

// The comparable forms of one key value: a tag ('N' number, 'T' text) and its bytes, each
// part length-prefixed so that a composite key reads one way only.
void AppendNumberKey(std::string& key, double d) {
  if (d == 0) d = 0;  // -0 equals 0
  key += 'N';
  Put(key, d);
}
void AppendTextKey(std::string& key, std::string_view text, bool fold_case) {
  key += 'T';
  PutLength(key, text.size());
  const size_t at = key.size();
  key += text;
  if (fold_case)
    for (size_t i = at; i < key.size(); ++i)
      if (key[i] >= 'A' && key[i] <= 'Z') key[i] = static_cast<char>(key[i] - 'A' + 'a');
}
std::string DateText(const DateTime& d) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
  std::string s = buf;
  if (d.hour || d.minute || d.second) {
    std::snprintf(buf, sizeof buf, " %02d:%02d:%02d", d.hour, d.minute, d.second);
    s += buf;
  }
  return s;
}

// The key of a stored value; false for null and empty, which equal nothing.
bool AppendStoredKey(std::string& key, const Variant& v, bool fold_case) {
  switch (v.kind()) {
    case Variant::Kind::Null:
    case Variant::Kind::Empty: return false;
    case Variant::Kind::Integer: AppendNumberKey(key, static_cast<double>(v.integer())); return true;
    case Variant::Kind::Double: AppendNumberKey(key, v.real()); return true;
    case Variant::Kind::Date: AppendTextKey(key, DateText(v.date()), fold_case); return true;
    case Variant::Kind::Text: AppendTextKey(key, v.text(), fold_case); return true;
  }
  return false;
}

// The keys a value given for a column may equal, as the database converts between a column
// and a parameter: a number equals that number, and the text of an integer in a text column;
// a text equals that text, and the number it reads as in a numeric column. At most two, into
// `forms`; their count.
size_t GivenKeys(const Variant& v, bool fold_case, std::string (&forms)[2]) {
  forms[0].clear();
  forms[1].clear();
  switch (v.kind()) {
    case Variant::Kind::Null:
    case Variant::Kind::Empty: return 0;
    case Variant::Kind::Integer:
      AppendNumberKey(forms[0], static_cast<double>(v.integer()));
      AppendTextKey(forms[1], std::to_string(v.integer()), fold_case);
      return 2;
    case Variant::Kind::Double: AppendNumberKey(forms[0], v.real()); return 1;
    case Variant::Kind::Date: AppendTextKey(forms[0], DateText(v.date()), fold_case); return 1;
    case Variant::Kind::Text:
      AppendTextKey(forms[0], v.text(), fold_case);
      if (const auto d = NumberInText(v.text())) {
        AppendNumberKey(forms[1], *d);
        return 2;
      }
      return 1;
  }
  return 0;
}

uint32_t Hash(std::string_view s) {
  uint64_t h = 14695981039346656037ull;  // FNV-1a
  for (char c : s) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  return static_cast<uint32_t>(h ^ (h >> 32));
}

}  // namespace

// The document's rows: per row its key and its kept values, packed one after the other in
// blocks of memory that never move (a growing buffer would be copied, holding twice its size
// for a moment); an index of (key hash, row) sorted, for the rows of a key in their order.
struct ChildRows::Kept {
  std::shared_ptr<const ColumnSet> columns;  // the kept columns the table has
  std::vector<std::unique_ptr<char[]>> blocks;
  size_t room = 0;                 // bytes left in the last block
  std::vector<const char*> rows;   // where each row's key begins
  struct Entry {
    uint32_t hash;
    uint32_t row;
    bool operator<(const Entry& o) const { return hash != o.hash ? hash < o.hash : row < o.row; }
  };
  std::vector<Entry> index;

  static constexpr size_t kBlock = 64 * 1024;

  // Keeps a packed row.
  void Add(const std::string& packed) {
    if (packed.size() > room) {
      block_size = std::max(kBlock, packed.size());
      blocks.push_back(std::make_unique<char[]>(block_size));
      room = block_size;
    }
    char* at = blocks.back().get() + (block_size - room);
    std::memcpy(at, packed.data(), packed.size());
    room -= packed.size();
    rows.push_back(at);
  }
  size_t block_size = 0;

  std::string_view KeyOf(size_t row) const {
    const char* p = rows[row];
    const size_t n = GetLength(p);
    return {p, n};
  }
  // Appends the rows of `key` to `rows`.
  void Find(std::string_view key, std::vector<uint32_t>& found) const {
    const auto h = Hash(key);
    auto it = std::lower_bound(index.begin(), index.end(), Entry{h, 0});
    for (; it != index.end() && it->hash == h; ++it)
      if (KeyOf(it->row) == key) found.push_back(it->row);
  }
  void Unpack(size_t row, std::vector<Variant>& values) const {
    const char* p = rows[row];
    p += GetLength(p);
    values.resize(columns->size());
    for (Variant& v : values) sevrik::Unpack(p, v);
  }
};

namespace {

// The rows of one item, unpacked as they are walked.
class KeptRecordset : public Recordset {
 public:
  KeptRecordset(std::shared_ptr<const ChildRows::Kept> kept, std::vector<uint32_t> rows)
      : kept_(std::move(kept)), rows_(std::move(rows)) {
    Unpack();
  }
  bool Eof() const override { return pos_ >= rows_.size(); }
  void MoveFirst() override {
    if (rows_.empty()) throw Error(err::kNoCurrentRecord);
    pos_ = 0;
    Unpack();
  }
  void MoveNext() override {
    if (Eof()) throw Error(err::kNoCurrentRecord);
    ++pos_;
    Unpack();
  }
  long RecordCount() const override { return -1; }
  const Variant& Field(std::string_view name) const override {
    const size_t i = kept_->columns->Index(name);
    if (Eof()) throw Error(err::kNoCurrentRecord);
    return current_[i];
  }

 private:
  std::shared_ptr<const ChildRows::Kept> kept_;
  // The current row's values, unpacked once however often the item's lines walk it.
  void Unpack() {
    if (pos_ >= rows_.size() || unpacked_ == pos_) return;
    kept_->Unpack(rows_[pos_], current_);
    unpacked_ = pos_;
  }

  std::vector<uint32_t> rows_;
  size_t pos_ = 0;
  size_t unpacked_ = SIZE_MAX;
  std::vector<Variant> current_;
};

}  // namespace

ChildRows::ChildRows(Database& db, std::string sql, Params params, std::vector<std::string> key_columns,
                     std::vector<std::string> kept_columns)
    : db_(db),
      sql_(std::move(sql)),
      params_(std::move(params)),
      key_columns_(std::move(key_columns)),
      kept_columns_(std::move(kept_columns)) {}

ChildRows::~ChildRows() = default;

void ChildRows::Load() {
  auto kept = std::make_shared<Kept>();
  const bool fold = db_.TextComparesIgnoringCase();
  auto rs = db_.Execute(sql_, params_);
  std::vector<std::string> names;
  std::string key, packed;
  for (bool first = true; !rs->Eof(); rs->MoveNext(), first = false) {
    if (first) {
      // The kept columns the table has; a missing one stays missing in the recordsets.
      for (const std::string& c : kept_columns_) try {
          rs->Field(c);
          names.push_back(c);
        } catch (const Error& e) {
          if (e.number() != err::kItemNotFound) throw;
        }
      kept->columns = std::make_shared<const ColumnSet>(names, std::vector<bool>(names.size(), false));
    }
    key.clear();
    bool matches_some = true;
    for (const std::string& k : key_columns_) matches_some = matches_some && AppendStoredKey(key, rs->Field(k), fold);
    if (!matches_some) continue;  // a null key: no item's query would give the row
    const size_t row = kept->rows.size();
    if (row >= UINT32_MAX) throw Error(err::kOverflow);
    packed.clear();
    PutLength(packed, key.size());
    packed += key;
    for (const std::string& c : names) Pack(packed, rs->Field(c));
    kept->Add(packed);
    kept->index.push_back({Hash(key), static_cast<uint32_t>(row)});
  }
  if (!kept->columns) kept->columns = std::make_shared<const ColumnSet>(std::vector<std::string>{}, std::vector<bool>{});
  std::sort(kept->index.begin(), kept->index.end());
  kept_ = std::move(kept);
}

std::unique_ptr<Recordset> ChildRows::For(const std::vector<Variant>& values) { return Find(values.data(), values.size()); }

std::unique_ptr<Recordset> ChildRows::For(const Variant& value) { return Find(&value, 1); }

std::unique_ptr<Recordset> ChildRows::Find(const Variant* values, size_t count) {
  if (failed_) throw *failed_;
  if (!kept_) try {
      Load();
    } catch (const Error& e) {
      failed_ = e;
      throw;
    }
  if (count != key_columns_.size()) throw Error(err::kDatabase, "No value given for one or more required parameters.");
  const bool fold = db_.TextComparesIgnoringCase();
  forms_.resize(count);
  std::vector<size_t> n(count);
  size_t combinations = 1;
  for (size_t i = 0; i < count; ++i) combinations *= (n[i] = GivenKeys(values[i], fold, forms_[i].text));
  // Every combination of the values' forms; a row's key equals at most one of them.
  std::vector<uint32_t> rows;
  for (size_t c = 0; c < combinations; ++c) {
    key_.clear();
    for (size_t i = 0, rest = c; i < count; rest /= n[i], ++i) key_ += forms_[i].text[rest % n[i]];
    kept_->Find(key_, rows);
  }
  if (combinations > 1) std::sort(rows.begin(), rows.end());
  return std::make_unique<KeptRecordset>(kept_, std::move(rows));
}

}  // namespace sevrik
