// Records of a flat file: a tag, then fields without separators, Windows-1252 text.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

#include "db/variant.h"
#include "platform/fs.h"
#include "platform/locale.h"

namespace sevrik {

// Builds one record field by field. Widths count Windows-1252 characters.
//   Lit     the exact characters given
//   Pad     the value, then blanks up to the width; longer: error 5; null: error 94
//   PadB    as Pad, with an empty or null value first made one blank
//   Trail   the value as stored, unpadded (last field only); TrailB: blank if empty
//   Num     FormatNumberField
//   DatePad / DateTrail   the date as "yyyymmdd" ("" when the value holds no date)
class FlatRecord {
 public:
  FlatRecord(std::string_view tag, const LocaleInfo& locale) : locale_(locale) { bytes_.append(tag); }

  FlatRecord& Lit(std::string_view text) &;
  FlatRecord& Blanks(int count) & { bytes_.append(static_cast<size_t>(count), ' '); return *this; }
  FlatRecord& Pad(const Variant& value, int width) &;
  FlatRecord& PadB(const Variant& value, int width) &;
  FlatRecord& Trail(const Variant& value) &;
  FlatRecord& TrailB(const Variant& value) &;
  FlatRecord& Num(const Variant& value, int integer_digits, int decimals) &;
  FlatRecord& DatePad(const Variant& value, int width) &;
  FlatRecord& DateTrail(const Variant& value) &;
  // Right-aligned in `width`: blanks, then the value, keeping its last `width` characters.
  FlatRecord& Right(const Variant& value, int width) &;

  // The same on a record being built in one expression ("return Rec(...).Lit(...)..."),
  // which then moves into its place instead of being copied.
  FlatRecord&& Lit(std::string_view text) && { return std::move(Lit(text)); }
  FlatRecord&& Blanks(int count) && { return std::move(Blanks(count)); }
  FlatRecord&& Pad(const Variant& value, int width) && { return std::move(Pad(value, width)); }
  FlatRecord&& PadB(const Variant& value, int width) && { return std::move(PadB(value, width)); }
  FlatRecord&& Trail(const Variant& value) && { return std::move(Trail(value)); }
  FlatRecord&& TrailB(const Variant& value) && { return std::move(TrailB(value)); }
  FlatRecord&& Num(const Variant& value, int integer_digits, int decimals) && {
    return std::move(Num(value, integer_digits, decimals));
  }
  FlatRecord&& DatePad(const Variant& value, int width) && { return std::move(DatePad(value, width)); }
  FlatRecord&& DateTrail(const Variant& value) && { return std::move(DateTrail(value)); }
  FlatRecord&& Right(const Variant& value, int width) && { return std::move(Right(value, width)); }

  std::string_view bytes() const { return bytes_.view(); }

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

  const LocaleInfo& locale_;
  Bytes bytes_;
};

// The flat file: created or truncated when opened, one record per CR LF line. Closing (or
// destruction, also on an error path) leaves what was written.
class FlatFile {
 public:
  explicit FlatFile(std::string_view path) : file_(path, OutputFile::Mode::Output) {}
  void Write(const FlatRecord& record);
  void Write(std::string_view literal_record);
  void Close() { file_.Close(); }

 private:
  OutputFile file_;
};

}  // namespace sevrik
