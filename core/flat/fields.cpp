#include "core/flat/fields.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <optional>

#include "base/error.h"

namespace sevrik {

std::string FormatNumberField(const Variant& value, int16_t integer_digits, int16_t decimals,
                              const LocaleInfo& locale) {
  const int width = integer_digits + decimals;
  if (width <= 0) return {};
  if (!IsNonEmpty(value)) return std::string(static_cast<size_t>(width), '0');
  const double magnitude = std::fabs(ToDouble(value, locale));
  if (!std::isfinite(magnitude)) throw Error(err::kOverflow);
  if (magnitude == 0) return std::string(static_cast<size_t>(width), '0');
  if (magnitude < 1e15 && magnitude == std::floor(magnitude) && decimals >= 0) {
    // A whole number below 10^15 is exact: its digits, then `decimals` zeros, which is what
    // the rounding below gives it, without formatting it first.
    char buf[24];
    const char* end = std::to_chars(buf, buf + sizeof buf, static_cast<int64_t>(magnitude)).ptr;
    const size_t length = static_cast<size_t>(end - buf) + static_cast<size_t>(decimals);
    if (length > static_cast<size_t>(width)) throw Error(err::kOverflow);
    std::string out(static_cast<size_t>(width) - length, '0');
    out.append(buf, static_cast<size_t>(end - buf));
    out.append(static_cast<size_t>(decimals), '0');
    return out;
  }

  // 15 significant digits d0.d1...d14 times 10^exponent.
  char buf[40];
  const auto end = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14).ptr;
  *end = '\0';
  std::string digits;
  digits += buf[0];
  digits.append(buf + 2, 14);
  int exponent = 0;
  const char* e = std::strchr(buf, 'e') + 1;
  if (*e == '+') ++e;
  std::from_chars(e, end, exponent);
  // The field's last decimal falls after digit index `last`.
  const int last = exponent + decimals;
  std::string whole = last >= 0 ? digits.substr(0, static_cast<size_t>(std::min(last + 1, 15))) : "";
  if (last >= 15) whole.append(static_cast<size_t>(last - 14), '0');
  const int round_index = last + 1;
  const bool round_up = round_index >= 0 && round_index < 15 && digits[static_cast<size_t>(round_index)] >= '5';
  if (round_up) {
    int i = static_cast<int>(whole.size()) - 1;
    for (; i >= 0 && whole[static_cast<size_t>(i)] == '9'; --i) whole[static_cast<size_t>(i)] = '0';
    if (i >= 0) ++whole[static_cast<size_t>(i)];
    else whole.insert(whole.begin(), '1');
  }
  const size_t nonzero = whole.find_first_not_of('0');
  whole = nonzero == std::string::npos ? "" : whole.substr(nonzero);
  if (whole.size() > static_cast<size_t>(width)) throw Error(err::kOverflow);
  return std::string(static_cast<size_t>(width) - whole.size(), '0') + whole;
}

Variant SpaceIfEmpty(const Variant& value) { return IsNonEmpty(value) ? value : Variant(" "); }

std::string ConvertTranslatorDate(const Variant& value, const LocaleInfo& locale) {
  std::optional<DateTime> date;
  if (value.kind() == Variant::Kind::Date) date = value.date();
  else if (value.kind() == Variant::Kind::Text) date = ParseDate(value.text(), locale);
  if (!date) return value.kind() == Variant::Kind::Text ? value.text() : std::string();
  const auto probe = ParseDate("15/10/2004", locale);
  const bool day_first = probe && probe->day == 15;
  char dd[8], yy[8];
  std::snprintf(dd, sizeof dd, "%02d", date->day % 100);
  std::snprintf(yy, sizeof yy, "%02d", date->year % 100);
  const std::string& month = locale.month_abbrev[static_cast<size_t>(date->month - 1)];
  return day_first ? dd + month + yy : month + dd + yy;
}

std::string TaxTypeCode(int16_t kind) {
  switch (kind) {
    case 1: return "BM";
    case 2: return "PPN";
    case 3: return "PPNBM";
    case 4: return "PPH";
    case 5: return "CTEM";
    case 6: return "CMEA";
    case 7: return "CEA";
    case 8: return "PNBP";
    default: return "XXX";
  }
}

std::string FacilityCode(int16_t kind) {
  switch (kind) {
    case 0:
    case 3: return "BY";
    case 1: return "DP";
    case 2: return "TG";
    case 4: return "BB";
    default: return "XXX";
  }
}

}  // namespace sevrik
