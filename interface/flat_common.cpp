#include "interface/flat_common.h"

#include "interface/fields.h"
#include "platform/error.h"

namespace sevrik {

FlatRecord EnvelopeRecord(const std::string& own_edi, const std::string& recipient_edi,
                          const std::string& document_code, const LocaleInfo& locale) {
  FlatRecord r("ENV00101", locale);
  r.PadB(Variant(own_edi), 20).PadB(Variant(recipient_edi), 20).Pad(Variant(document_code), 10).Lit("2");
  return r;
}

FlatRecord ChargeRecord(const Recordset& charge, bool blank_if_empty, const LocaleInfo& locale) {
  const auto code = [&](const char* column) {
    const Variant& v = charge.Field(column);
    return ToInt16(blank_if_empty ? SpaceIfEmpty(v) : v, locale);
  };
  const std::string kinds = TaxTypeCode(code("Kdbeban")) + FacilityCode(code("KdFasil"));
  FlatRecord r("SDEC0201", locale);
  r.Lit("4  ").Pad(Variant(kinds), 10).Lit("24 ").Num(charge.Field("Nilbeban"), 15, 0);
  return r;
}

FlatRecord CountRecord(const char* qualifier, const Variant& count, const LocaleInfo& locale) {
  FlatRecord r("SDEC0101", locale);
  r.Lit(qualifier).Num(count, 8, 0).Blanks(3);
  return r;
}

FlatRecord RateLine(const char* code, const Variant& excise_code, bool with_excise_code, const Variant& rate_type,
                    const Variant& rate, const Variant& quantity, const Variant& unit, const LocaleInfo& locale) {
  FlatRecord r("DDEC0701", locale);
  r.Lit("1  ").Lit(code);
  if (with_excise_code) r.PadB(excise_code, 1).Blanks(1);
  else r.Blanks(2);
  r.PadB(rate_type, 1).Num(rate, 8, 2).Lit("161").Num(quantity, 14, 4).PadB(unit, 3);
  return r;
}

FlatRecord FacilityLine(const char* code, const Variant& facility_code, const Variant& value,
                        const LocaleInfo& locale) {
  FlatRecord r("DDEC0701", locale);
  r.Lit("1  ").Lit(code).Blanks(2).PadB(facility_code, 1).Num(value, 8, 2);
  return r;
}

Variant NumericKey(const Variant& value, const char* column) {
  if (value.is_number()) return value;
  if (value.kind() == Variant::Kind::Text) {
    if (const auto n = ParseNumber(value.text(), LocaleInfo::Classic())) return Variant(*n);
  }
  const std::string shown = value.kind() == Variant::Kind::Text ? value.text() : std::string();
  throw Error(err::kDatabase, std::string("Syntax error in query expression '") + column + " =" +
                                  (shown.empty() ? "" : " " + shown) + "'.");
}

bool EqualsNumber(const Variant& value, double number, const LocaleInfo& locale) {
  if (value.is_null()) return false;
  return ToDouble(value, locale) == number;
}

}  // namespace sevrik
