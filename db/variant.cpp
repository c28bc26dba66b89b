#include "db/variant.h"

#include <cmath>
#include <cstdio>

#include "base/error.h"

namespace sevrik {

bool IsNonEmpty(const Variant& v) {
  switch (v.kind()) {
    case Variant::Kind::Null:
    case Variant::Kind::Empty: return false;
    case Variant::Kind::Text: return !v.text().empty();
    default: return true;
  }
}

std::string ToText(const Variant& v, const LocaleInfo& locale) {
  switch (v.kind()) {
    case Variant::Kind::Null: throw Error(err::kInvalidUseOfNull);
    case Variant::Kind::Empty: return {};
    case Variant::Kind::Integer: return std::to_string(v.integer());
    case Variant::Kind::Double: return NumberToText(v.real(), locale);
    case Variant::Kind::Date: return ShortDateText(v.date(), locale);
    case Variant::Kind::Text: return v.text();
  }
  return {};
}

double ToDouble(const Variant& v, const LocaleInfo& locale) {
  switch (v.kind()) {
    case Variant::Kind::Null: throw Error(err::kInvalidUseOfNull);
    case Variant::Kind::Empty: return 0;
    case Variant::Kind::Integer: return static_cast<double>(v.integer());
    case Variant::Kind::Double: return v.real();
    case Variant::Kind::Date: throw Error(err::kTypeMismatch);
    case Variant::Kind::Text: {
      const auto n = ParseNumber(v.text(), locale);
      if (!n) throw Error(err::kTypeMismatch);
      return *n;
    }
  }
  return 0;
}

int16_t ToInt16(const Variant& v, const LocaleInfo& locale) {
  const double d = std::nearbyint(ToDouble(v, locale));  // default rounding: half to even
  if (!(d >= -32768.0 && d <= 32767.0)) throw Error(err::kOverflow);
  return static_cast<int16_t>(d);
}

std::string FormatYyyymmdd(const Variant& v) {
  if (v.kind() != Variant::Kind::Date) return {};
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d%02d%02d", v.date().year % 10000, v.date().month % 100,
                v.date().day % 100);
  return buf;
}

}  // namespace sevrik
