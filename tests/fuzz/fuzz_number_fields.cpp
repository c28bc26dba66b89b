// The field helpers on any value, width and locale.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "base/error.h"
#include "core/flat/fields.h"
#include "db/variant.h"
#include "platform/locale.h"
#include "tests/fuzz/fuzz_check.h"

using sevrik::fuzz::Check;
using sevrik::Variant;

namespace {

sevrik::LocaleInfo PickLocale(FuzzedDataProvider& input) {
  sevrik::LocaleInfo locale = sevrik::LocaleInfo::Classic();
  switch (input.ConsumeIntegralInRange(0, 2)) {
    case 1:  // decimal comma, grouping dot, dates day first
      locale.decimal_separator = ",";
      locale.group_separator = ".";
      locale.short_date_order = sevrik::DateOrder::DayMonthYear;
      break;
    case 2:
      locale.short_date_order = sevrik::DateOrder::YearMonthDay;
      break;
    default:
      break;
  }
  return locale;
}

Variant PickValue(FuzzedDataProvider& input) {
  switch (input.ConsumeIntegralInRange(0, 5)) {
    case 0: return Variant::Null();
    case 1: return Variant();
    case 2: return Variant(input.ConsumeIntegral<int64_t>());
    case 3: {  // any bit pattern: NaN, infinities, subnormals
      const uint64_t bits = input.ConsumeIntegral<uint64_t>();
      double d;
      std::memcpy(&d, &bits, sizeof d);
      return Variant(d);
    }
    case 4: {  // dates as the database adapters give them: real calendar fields
      sevrik::DateTime t;
      t.year = input.ConsumeIntegralInRange(100, 9999);
      t.month = input.ConsumeIntegralInRange(1, 12);
      t.day = input.ConsumeIntegralInRange(1, 28);
      return Variant(t);
    }
    default: return Variant(input.ConsumeRandomLengthString(40));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const sevrik::LocaleInfo locale = PickLocale(input);
  const bool any_width = input.ConsumeBool();
  const auto digits = [&] {
    return any_width ? input.ConsumeIntegral<int16_t>() : input.ConsumeIntegralInRange<int16_t>(-3, 30);
  };
  const int16_t integer_digits = digits();
  const int16_t decimals = digits();
  const Variant value = PickValue(input);
  const int width = integer_digits + decimals;

  // A whole number of at most 15 digits is exact: its digits, then the implied decimals.
  std::optional<std::string> exact;
  if (value.kind() == Variant::Kind::Integer && decimals >= 0 && width > 0) {
    const int64_t v = value.integer();
    if (v > -1000000000000000 && v < 1000000000000000)
      exact = v == 0 ? "" : std::to_string(v < 0 ? -v : v) + std::string(static_cast<size_t>(decimals), '0');
  }
  try {
    const std::string field = sevrik::FormatNumberField(value, integer_digits, decimals, locale);
    Check(field.size() == static_cast<size_t>(width > 0 ? width : 0), "the field has its width");
    Check(field.find_first_not_of("0123456789") == std::string::npos, "the field holds digits only");
    if (exact) {
      Check(exact->size() <= static_cast<size_t>(width), "a number that does not fit is an overflow");
      Check(field == std::string(static_cast<size_t>(width) - exact->size(), '0') + *exact, "a whole number's digits");
    }
  } catch (const sevrik::Error& e) {
    const int n = e.number();
    Check(n == sevrik::err::kOverflow || n == sevrik::err::kTypeMismatch, "only overflow or type mismatch");
    if (exact) Check(n == sevrik::err::kOverflow && exact->size() > static_cast<size_t>(width), "overflow only when too long");
  }

  // The date helper takes any value; codes come from fixed tables.
  (void)sevrik::ConvertTranslatorDate(value, locale);
  (void)sevrik::SpaceIfEmpty(value);
  Check(!sevrik::TaxTypeCode(integer_digits).empty(), "every levy kind has a code");
  Check(!sevrik::FacilityCode(decimals).empty(), "every facility kind has a code");
  return 0;
}
