// The locale-dependent reading and writing of numbers and dates; the locale itself comes
// from the system's file (locale_posix.cpp, locale_win32.cpp).
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/text.h"
#include "platform/locale.h"

namespace sevrik {

bool IsValidDateTime(const DateTime& d) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (d.year < 100 || d.year > 9999 || d.month < 1 || d.month > 12 || d.day < 1) return false;
  const bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
  const int days = kDays[d.month - 1] + (d.month == 2 && leap ? 1 : 0);
  return d.day <= days && d.hour >= 0 && d.hour < 24 && d.minute >= 0 && d.minute < 60 &&
         d.second >= 0 && d.second < 60;
}

std::string NumberToText(double value, const LocaleInfo& locale) {
  if (value == 0) return "0";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15G", value);
  std::string s = buf;
  // "%G" writes "1.5E+15" and "1E-05" as the general conversion does; it drops trailing zeros.
  const size_t e = s.find('E');
  if (e != std::string::npos) {
    // exponent with at least two digits, as "E+15", "E-05"
    std::string mant = s.substr(0, e), exp = s.substr(e + 1);
    const char sign = exp[0];
    std::string digits = exp.substr(1);
    while (digits.size() > 2 && digits[0] == '0') digits.erase(0, 1);
    s = mant + "E" + sign + digits;
  }
  return ReplaceAll(s, ".", locale.decimal_separator);
}

std::optional<double> ParseNumber(std::string_view text, const LocaleInfo& locale) {
  std::string_view t = Trim(text);
  std::string plain;
  size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) plain += t[i++];
  bool digits = false, seen_decimal = false;
  while (i < t.size()) {
    const char c = t[i];
    if (c >= '0' && c <= '9') {
      plain += c;
      digits = true;
      ++i;
    } else if (!seen_decimal && t.substr(i).starts_with(locale.decimal_separator)) {
      plain += '.';
      seen_decimal = true;
      i += locale.decimal_separator.size();
    } else if (!seen_decimal && digits && !locale.group_separator.empty() &&
               t.substr(i).starts_with(locale.group_separator) && i + locale.group_separator.size() < t.size() &&
               t[i + locale.group_separator.size()] >= '0' && t[i + locale.group_separator.size()] <= '9') {
      i += locale.group_separator.size();
    } else {
      break;
    }
  }
  if (!digits) return std::nullopt;
  if (i < t.size() && (t[i] == 'E' || t[i] == 'e')) {
    std::string exp = "e";
    size_t j = i + 1;
    if (j < t.size() && (t[j] == '+' || t[j] == '-')) exp += t[j++];
    const size_t start = j;
    while (j < t.size() && t[j] >= '0' && t[j] <= '9') exp += t[j++];
    if (j == start) return std::nullopt;
    plain += exp;
    i = j;
  }
  if (i != t.size()) return std::nullopt;
  char* end = nullptr;
  const double v = std::strtod(plain.c_str(), &end);
  if (!std::isfinite(v)) return std::nullopt;
  return v;
}

namespace {

bool ReadInt(std::string_view s, size_t& i, int max_digits, int& out) {
  const size_t start = i;
  out = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9' && i - start < static_cast<size_t>(max_digits))
    out = out * 10 + (s[i++] - '0');
  return i > start;
}

}  // namespace

std::optional<DateTime> ParseDate(std::string_view text, const LocaleInfo& locale) {
  const std::string_view t = Trim(text);
  DateTime d;
  size_t i = 0;
  // ISO form first: it reads the same in every locale.
  if (t.size() >= 10 && t[4] == '-' && t[7] == '-') {
    if (!ReadInt(t, i, 4, d.year) || i != 4) return std::nullopt;
    ++i;
    if (!ReadInt(t, i, 2, d.month) || i != 7) return std::nullopt;
    ++i;
    if (!ReadInt(t, i, 2, d.day) || i != 10) return std::nullopt;
    if (i < t.size()) {
      if (t[i] != ' ' && t[i] != 'T') return std::nullopt;
      ++i;
      if (!ReadInt(t, i, 2, d.hour) || i >= t.size() || t[i] != ':') return std::nullopt;
      ++i;
      if (!ReadInt(t, i, 2, d.minute)) return std::nullopt;
      if (i < t.size() && t[i] == ':') {
        ++i;
        if (!ReadInt(t, i, 2, d.second)) return std::nullopt;
        if (i < t.size() && t[i] == '.')  // fractions of a second are dropped
          for (++i; i < t.size() && t[i] >= '0' && t[i] <= '9';) ++i;
      }
      if (i != t.size()) return std::nullopt;
    }
    return IsValidDateTime(d) ? std::optional(d) : std::nullopt;
  }
  int parts[3];
  for (int k = 0; k < 3; ++k) {
    if (!ReadInt(t, i, 4, parts[k])) return std::nullopt;
    if (k < 2) {
      if (i >= t.size() || (t[i] != '/' && t[i] != '-' && t[i] != '.')) return std::nullopt;
      ++i;
    }
  }
  if (i != t.size()) return std::nullopt;
  switch (locale.short_date_order) {
    case DateOrder::DayMonthYear: d.day = parts[0]; d.month = parts[1]; d.year = parts[2]; break;
    case DateOrder::MonthDayYear: d.month = parts[0]; d.day = parts[1]; d.year = parts[2]; break;
    case DateOrder::YearMonthDay: d.year = parts[0]; d.month = parts[1]; d.day = parts[2]; break;
  }
  if (d.year < 100) d.year += d.year < 30 ? 2000 : 1900;
  return IsValidDateTime(d) ? std::optional(d) : std::nullopt;
}

std::string ShortDateText(const DateTime& d, const LocaleInfo& locale) {
  char buf[32];
  switch (locale.short_date_order) {
    case DateOrder::DayMonthYear: std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", d.day, d.month, d.year); break;
    case DateOrder::MonthDayYear: std::snprintf(buf, sizeof buf, "%d/%d/%04d", d.month, d.day, d.year); break;
    case DateOrder::YearMonthDay: std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day); break;
  }
  return buf;
}

const LocaleInfo& UserLocale() {
  static const LocaleInfo info = [] {
    auto loaded = LoadLocale("", "");
    return loaded ? *loaded : LocaleInfo::Classic();
  }();
  return info;
}

}  // namespace sevrik
