// Field helpers and code tables: database values turned into flat-file field text.
#pragma once

#include <cstdint>
#include <string>

#include "db/variant.h"
#include "platform/locale.h"

namespace sevrik {

// A number field of integer_digits + decimals characters: the absolute value times
// 10^decimals as digits, left-filled with "0"; the decimals are implied. An empty or null
// value gives all zeros. The value is taken as its 15-significant-digit text and rounded half
// away from zero at the field's last decimal, so no separator ever enters the field.
// Text that is not a number: error 13. A whole part with more digits than the field holds:
// error 6 (the field never silently holds another amount).
std::string FormatNumberField(const Variant& value, int16_t integer_digits, int16_t decimals,
                              const LocaleInfo& locale = UserLocale());

// The value unchanged, or one space when it is null, empty or the empty text.
Variant SpaceIfEmpty(const Variant& value);

// The date of a translator result as "DDMMMYY" where the locale reads dates day first, else
// "MMMDDYY", with the locale's month abbreviation. A value that reads as no date comes back
// as its text.
std::string ConvertTranslatorDate(const Variant& value, const LocaleInfo& locale = UserLocale());

// The levy kind as its EDIFACT code: 1 "BM" ... 8 "PNBP", anything else "XXX".
std::string TaxTypeCode(int16_t kind);
// The facility kind as its code: 0 and 3 "BY", 1 "DP", 2 "TG", 4 "BB", anything else "XXX".
std::string FacilityCode(int16_t kind);

}  // namespace sevrik
