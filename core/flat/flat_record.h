// Records of a flat file: a tag, then fields without separators, Windows-1252 text.
#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "base/error.h"
#include "db/variant.h"
#include "platform/fs.h"
#include "platform/locale.h"

namespace sevrik {

class CheckList;

// A database value with the table and column it was read from, so that a check can name the
// field. Made implicitly from a bare value (a literal, a value put together): then unnamed.
// Refers to the value: it lives no longer than the expression that builds the record.
class Field {
 public:
  Field(const Variant& value) : value_(&value) {}  // NOLINT: implicit on purpose
  Field(const Variant& value, const char* table, const char* column)
      : value_(&value), table_(table), column_(column) {}
  const Variant& value() const { return *value_; }
  operator const Variant&() const { return *value_; }  // NOLINT
  const char* table() const { return table_; }
  const char* column() const { return column_; }

 private:
  const Variant* value_;
  const char* table_ = "";
  const char* column_ = "";
};

// What a field's layout allows, as a check tells it.
struct Allowed {
  enum class Kind { Text, Number, Code } kind = Kind::Text;
  int width = 0;     // Text: characters; Number: digits before the implied decimals
  int decimals = 0;  // Number
};

// Builds one record field by field. Widths count Windows-1252 characters.
//   Lit     the exact characters given
//   Pad     the value, then blanks up to the width; longer: error 5; null: error 94
//   PadB    as Pad, with an empty or null value first made one blank
//   Trail   the value as stored, unpadded (last field only); TrailB: blank if empty
//   Num     FormatNumberField
//   DatePad / DateTrail   the date as "yyyymmdd" ("" when the value holds no date)
// Given a CheckList, the record is being checked: a field that would fail (too long, null, no
// number, too large) is noted there with the record's tag and the field's name, filled with
// blanks or zeros, and the record goes on, so that one record tells all its faulty fields.
class FlatRecord {
 public:
  FlatRecord(std::string_view tag, const LocaleInfo& locale, CheckList* check = nullptr)
      : locale_(locale), check_(check) {
    bytes_.append(tag);
  }

  FlatRecord& Lit(std::string_view text) &;
  FlatRecord& Blanks(int count) & { bytes_.append(static_cast<size_t>(count), ' '); return *this; }
  FlatRecord& Pad(const Field& value, int width) &;
  FlatRecord& PadB(const Field& value, int width) &;
  FlatRecord& Trail(const Field& value) &;
  FlatRecord& TrailB(const Field& value) &;
  FlatRecord& Num(const Field& value, int integer_digits, int decimals) &;
  FlatRecord& DatePad(const Field& value, int width) &;
  FlatRecord& DateTrail(const Field& value) &;
  // Right-aligned in `width`: blanks, then the value, keeping its last `width` characters.
  FlatRecord& Right(const Field& value, int width) &;

  // The same on a record being built in one expression ("return Rec(...).Lit(...)..."),
  // which then moves into its place instead of being copied.
  FlatRecord&& Lit(std::string_view text) && { return std::move(Lit(text)); }
  FlatRecord&& Blanks(int count) && { return std::move(Blanks(count)); }
  FlatRecord&& Pad(const Field& value, int width) && { return std::move(Pad(value, width)); }
  FlatRecord&& PadB(const Field& value, int width) && { return std::move(PadB(value, width)); }
  FlatRecord&& Trail(const Field& value) && { return std::move(Trail(value)); }
  FlatRecord&& TrailB(const Field& value) && { return std::move(TrailB(value)); }
  FlatRecord&& Num(const Field& value, int integer_digits, int decimals) && {
    return std::move(Num(value, integer_digits, decimals));
  }
  FlatRecord&& DatePad(const Field& value, int width) && { return std::move(DatePad(value, width)); }
  FlatRecord&& DateTrail(const Field& value) && { return std::move(DateTrail(value)); }
  FlatRecord&& Right(const Field& value, int width) && { return std::move(Right(value, width)); }

  std::string_view bytes() const { return bytes_.view(); }
  std::string_view tag() const { return bytes_.view().substr(0, 8); }

  // A value of the record read from `field` by `read`: when checking, a failure is noted as
  // the field's and `fallback` stands in; else the failure goes to the caller.
  template <typename T, typename Read>
  T Value(const Field& field, const Allowed& allowed, Read&& read, T fallback) {
    try {
      return read();
    } catch (const Error& e) {
      Note(field, e, allowed);
      return fallback;
    }
  }

 private:
  // The record's bytes, in place up to the length of the longest layouts (a file has tens of
  // thousands of records: none needs an allocation), on the heap beyond.
  class Bytes {
   public:
    void append(std::string_view s) {
      if (heap_.empty() && size_ + s.size() <= sizeof inline_) {
        // Fields are short: a plain loop costs less than a library call.
        char* out = inline_ + size_;
        for (char c : s) *out++ = c;
        size_ += s.size();
      } else {
        Spill();
        heap_.append(s);
      }
    }
    void append(size_t n, char c) {
      if (heap_.empty() && size_ + n <= sizeof inline_) {
        for (char* out = inline_ + size_; out != inline_ + size_ + n;) *out++ = c;
        size_ += n;
      } else {
        Spill();
        heap_.append(n, c);
      }
    }
    std::string_view view() const { return heap_.empty() ? std::string_view(inline_, size_) : heap_; }

   private:
    void Spill() {
      if (heap_.empty()) heap_.assign(inline_, size_);
    }
    char inline_[384];
    size_t size_ = 0;
    std::string heap_;
  };

  // Notes the failure of a field when checking; rethrows it otherwise.
  void Note(const Field& field, const Error& e, const Allowed& allowed);

  const LocaleInfo& locale_;
  CheckList* check_;
  Bytes bytes_;
};

// The flat file: created or truncated when opened, one record per CR LF line. Closing (or
// destruction, also on an error path) leaves what was written.
// Made without a path, the file is kept in memory (a check builds it so).
class FlatFile {
 public:
  explicit FlatFile(std::string_view path) : file_(std::in_place, path, OutputFile::Mode::Output) {}
  FlatFile() = default;
  void Write(const FlatRecord& record);
  void Write(std::string_view literal_record);
  void Close() {
    if (file_) file_->Close();
  }
  // The bytes written, for a file kept in memory.
  const std::string& memory() const { return memory_; }

 private:
  void Put(std::string_view bytes);

  std::optional<OutputFile> file_;
  std::string memory_;
};

}  // namespace sevrik
