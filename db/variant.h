// A database value as the system's procedures receive it: null, empty, integer, double,
// date or text (UTF-8).
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "platform/locale.h"

namespace sevrik {

class Variant {
 public:
  enum class Kind { Null, Empty, Integer, Double, Date, Text };

  Variant() : v_(EmptyTag{}) {}
  Variant(int v) : v_(static_cast<int64_t>(v)) {}
  Variant(int64_t v) : v_(v) {}
  Variant(double v) : v_(v) {}
  Variant(DateTime v) : v_(v) {}
  Variant(std::string v) : v_(std::move(v)) {}
  Variant(const char* v) : v_(std::string(v)) {}
  static Variant Null() { Variant n; n.v_ = NullTag{}; return n; }

  // Replace the value in place; a text reuses the storage of a text held before.
  void SetNull() { v_ = NullTag{}; }
  void SetInteger(int64_t v) { v_ = v; }
  void SetDouble(double v) { v_ = v; }
  void SetText(const char* p, size_t n) {
    if (auto* s = std::get_if<std::string>(&v_)) s->assign(p, n);
    else v_ = std::string(p, n);
  }

  Kind kind() const { return static_cast<Kind>(v_.index()); }
  bool is_null() const { return kind() == Kind::Null; }
  bool is_empty() const { return kind() == Kind::Empty; }
  bool is_number() const { return kind() == Kind::Integer || kind() == Kind::Double; }
  int64_t integer() const { return std::get<int64_t>(v_); }
  double real() const { return std::get<double>(v_); }
  const DateTime& date() const { return std::get<DateTime>(v_); }
  const std::string& text() const { return std::get<std::string>(v_); }

  friend bool operator==(const Variant&, const Variant&) = default;

 private:
  struct NullTag { bool operator==(const NullTag&) const = default; };
  struct EmptyTag { bool operator==(const EmptyTag&) const = default; };
  std::variant<NullTag, EmptyTag, int64_t, double, DateTime, std::string> v_;
};

// The test "value differs from the empty text" as the procedures make it: numbers (zero
// too) and dates differ; null, empty and "" do not.
bool IsNonEmpty(const Variant& v);

// The value as text: numbers by the general conversion in the locale, dates as short dates.
// Null is error 94 (invalid use of null); empty is "".
std::string ToText(const Variant& v, const LocaleInfo& locale);

// The value as a number: text is read in the locale (not a number: error 13); null is
// error 94; empty is 0.
double ToDouble(const Variant& v, const LocaleInfo& locale);

// The value as a 16-bit integer, rounded half to even; outside -32768..32767: error 6.
int16_t ToInt16(const Variant& v, const LocaleInfo& locale);

// "yyyymmdd" of a date value; the empty text for anything that holds no date.
std::string FormatYyyymmdd(const Variant& v);

}  // namespace sevrik
