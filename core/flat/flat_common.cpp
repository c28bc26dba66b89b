#include "core/flat/flat_common.h"

#include "base/error.h"
#include "core/flat/fields.h"

namespace sevrik {

FlatRecord EnvelopeRecord(const std::string& own_edi, const std::string& recipient_edi,
                          const std::string& document_code, const LocaleInfo& locale, CheckList* check) {
  FlatRecord r("ENV00101", locale, check);
  const Variant own(own_edi), recipient(recipient_edi);
  r.PadB(Field(own, "tblData", "edinum"), 20).PadB(Field(recipient, "tblPartner", "NomorEDI"), 20)
      .Pad(Variant(document_code), 10).Lit("2");
  return r;
}

FlatRecord ChargeRecord(const Recordset& charge, const char* table, bool blank_if_empty, const LocaleInfo& locale,
                        CheckList* check) {
  FlatRecord r("SDEC0201", locale, check);
  const auto code = [&](const char* column) {
    const Field field(charge.Field(column), table, column);
    return r.Value(field, {Allowed::Kind::Code, 0, 0}, [&] {
      return ToInt16(blank_if_empty ? SpaceIfEmpty(field) : field.value(), locale);
    }, int16_t{0});
  };
  const int16_t levy = code("Kdbeban");
  const std::string kinds = TaxTypeCode(levy) + FacilityCode(code("KdFasil"));
  r.Lit("4  ").Pad(Variant(kinds), 10).Lit("24 ").Num(Field(charge.Field("Nilbeban"), table, "Nilbeban"), 15, 0);
  return r;
}

FlatRecord CountRecord(const char* qualifier, const Field& count, const LocaleInfo& locale, CheckList* check) {
  FlatRecord r("SDEC0101", locale, check);
  r.Lit(qualifier).Num(count, 8, 0).Blanks(3);
  return r;
}

FlatRecord RateLine(const char* code, const Field& excise_code, bool with_excise_code, const Field& rate_type,
                    const Field& rate, const Field& quantity, const Field& unit, const LocaleInfo& locale,
                    CheckList* check) {
  FlatRecord r("DDEC0701", locale, check);
  r.Lit("1  ").Lit(code);
  if (with_excise_code) r.PadB(excise_code, 1).Blanks(1);
  else r.Blanks(2);
  r.PadB(rate_type, 1).Num(rate, 8, 2).Lit("161").Num(quantity, 14, 4).PadB(unit, 3);
  return r;
}

FlatRecord FacilityLine(const char* code, const Field& facility_code, const Field& value, const LocaleInfo& locale,
                        CheckList* check) {
  FlatRecord r("DDEC0701", locale, check);
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
