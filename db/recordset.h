// The building blocks of the adapters' recordsets: the column set of a statement, a
// recordset streamed from a statement, and a recordset over rows held in memory.
#pragma once

#include <functional>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "db/database.h"

namespace sevrik {

// The columns of a result: names as the driver gives them, looked up by name without regard
// to ASCII case (the first of equal names wins), and whether each is a date column.
class ColumnSet {
 public:
  ColumnSet(std::vector<std::string> names, std::vector<bool> date_columns);
  const std::vector<std::string>& names() const { return names_; }
  size_t size() const { return names_.size(); }
  bool is_date(size_t i) const { return date_[i]; }
  // The position of a column; error 3265 when there is none of that name.
  size_t Index(std::string_view name) const {
    // The builders ask by the same literal names row after row: a lookup by the text's
    // address (open addressing), checked against the text itself, saves hashing the name.
    // A hit is checked against the text it was made for, kept in the slot: a different text
    // now at that address is looked up by name.
    if (name.size() > Hit::kText) return Lookup(name);
    size_t slot = static_cast<size_t>((static_cast<uint64_t>(reinterpret_cast<uintptr_t>(name.data())) *
                                       0x9E3779B97F4A7C15ull) >> (64 - kHitBits));
    for (size_t probe = 0; probe < kProbes; ++probe, slot = (slot + 1) % kHits) {
      Hit& h = hits_[slot];
      if (h.data == name.data()) {
        if (h.size == name.size() && Same(h.text, name.data(), name.size())) return h.index;
        break;
      }
      if (!h.data) {
        const size_t i = Lookup(name);
        h.data = name.data();
        h.index = static_cast<uint32_t>(i);
        h.size = static_cast<uint32_t>(name.size());
        name.copy(h.text, name.size());
        return i;
      }
    }
    return Lookup(name);  // a crowded neighbourhood, or another text at a known address
  }
  bool SameAs(const std::vector<std::string>& names, const std::vector<bool>& date_columns) const {
    return names == names_ && date_columns == date_;
  }

 private:
  struct CaseHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const;
  };
  struct CaseEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const {
      if (a.size() != b.size()) return false;
      for (size_t i = 0; i < a.size(); ++i) {
        const char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
        const char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] - 'A' + 'a') : b[i];
        if (x != y) return false;
      }
      return true;
    }
  };
  size_t Lookup(std::string_view name) const;

  static bool Same(const char* a, const char* b, size_t n) {
    for (size_t i = 0; i < n; ++i)
      if (a[i] != b[i]) return false;
    return true;
  }

  struct Hit {
    static constexpr size_t kText = 16;
    const char* data = nullptr;
    uint32_t index = 0;
    uint32_t size = 0;
    char text[kText];
  };
  static constexpr size_t kHitBits = 7;
  static constexpr size_t kHits = size_t{1} << kHitBits;
  static constexpr size_t kProbes = 8;
  std::vector<std::string> names_;
  std::vector<bool> date_;
  std::unordered_map<std::string, size_t, CaseHash, CaseEqual> index_;
  mutable Hit hits_[kHits];
};

// A stored text of a date column: "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS" (a fraction of a
// second allowed) is a date; anything else stays text.
Variant DateOrText(std::string text);

// A recordset fed row by row from an executed statement. The rows since the first are kept
// while they are few, so that the repeated walks over a small result (an item's tariffs)
// need no new run; a larger result holds only its current row, and MoveFirst runs the
// statement again.
class StreamRecordset : public Recordset {
 public:
  bool Eof() const override;
  void MoveFirst() override;
  void MoveNext() override;
  long RecordCount() const override { return count_; }
  const Variant& Field(std::string_view name) const override;

  static constexpr size_t kKeptRows = 64;

 protected:
  // `count` is the row count to report (-1: unknown).
  explicit StreamRecordset(long count) : count_(count) {}
  // Call at the end of the derived constructor: reads the first row.
  void Begin();

  // Runs the statement (again) from its start, and sets the columns of that run with
  // SetColumns(); true when it has a first row, on which the source then stands.
  virtual bool Run() = 0;
  // `columns` must live as long as the recordset, or until the next call.
  void SetColumns(const ColumnSet* columns) { columns_ = columns; }
  // Reads the row the source stands on into `row` (resized to the columns; its values may be
  // those of an earlier row, to be overwritten) and moves the source on; true when it
  // stands on a further row. At the end the source lets go of its statement, so that a
  // walked result holds no lock.
  virtual bool Read(std::vector<Variant>& row) = 0;

  // The storage of the rows, to be lent and taken back with its allocations (a statement run
  // once per item reuses it from run to run).
  std::vector<std::vector<Variant>>& storage() { return rows_; }

 private:
  void CheckCurrent() const;
  void Fetch();
  std::vector<Variant>& Slot(size_t i);

  long count_;
  const ColumnSet* columns_ = nullptr;
  std::vector<std::vector<Variant>> rows_;  // rows_[i] is row first_ + i, for i < used_
  size_t used_ = 0;
  size_t first_ = 0;                        // the row number of rows_[0]
  size_t pos_ = 0;                          // the current row number
  bool more_ = false;                       // the source stands on row first_ + used_
};

// A recordset over rows held in memory, with an optional saver for keyset updates.
class RowsRecordset : public Recordset {
 public:
  using Rows = std::vector<std::vector<Variant>>;
  // Saves a changed row: its index, the columns, the row as read, the row as changed.
  using Saver = std::function<void(size_t row_index, const ColumnSet& columns, const std::vector<Variant>& before,
                                   const std::vector<Variant>& after)>;

  RowsRecordset(std::shared_ptr<const ColumnSet> columns, Rows rows, bool count_known, Saver saver = {});

  bool Eof() const override { return pos_ >= rows_.size(); }
  void MoveFirst() override;
  void MoveNext() override;
  long RecordCount() const override { return count_known_ ? static_cast<long>(rows_.size()) : -1; }
  const Variant& Field(std::string_view name) const override;
  void SetField(std::string_view name, Variant value) override;
  void Update() override;

 private:
  void CheckCurrent() const;

  std::shared_ptr<const ColumnSet> columns_;
  Rows rows_;
  bool count_known_;
  Saver saver_;
  size_t pos_ = 0;
  std::vector<Variant> edited_;
};

// The statements an adapter has prepared, kept per SQL text for the next run of that text.
template <typename Statement>
class StatementCache {
 public:
  // A statement prepared for `sql` and handed back since, or null.
  std::unique_ptr<Statement> Take(const std::string& sql) {
    auto it = idle_.find(sql);
    if (it == idle_.end() || it->second.empty()) return nullptr;
    std::unique_ptr<Statement> s = std::move(it->second.back());
    it->second.pop_back();
    return s;
  }
  // Keeps a statement for the next run of its text (its member `sql`).
  void Put(std::unique_ptr<Statement> s) {
    auto& idle = idle_[s->sql];
    idle.push_back(std::move(s));
  }
  void Clear() { idle_.clear(); }

 private:
  std::unordered_map<std::string, std::vector<std::unique_ptr<Statement>>> idle_;
};

}  // namespace sevrik
