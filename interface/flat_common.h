// Pieces shared by the flat-file builders.
#pragma once

#include <string>
#include <vector>

#include "db/database.h"
#include "interface/flat_record.h"
#include "platform/locale.h"

namespace sevrik {

// "ENV00101": sender and recipient EDI numbers (20 each, blank if empty), the document code
// padded to 10, "2".
FlatRecord EnvelopeRecord(const std::string& own_edi, const std::string& recipient_edi,
                          const std::string& document_code, const LocaleInfo& locale);

// "SDEC0201" "4  ": the levy and facility codes of a charge row (padded to 10), "24 ",
// Nilbeban as num(15,0). The two code columns are read as 16-bit integers; BC 2.3 first makes
// an empty column one blank.
FlatRecord ChargeRecord(const Recordset& charge, bool blank_if_empty, const LocaleInfo& locale);

// "SDEC0101": count record with qualifier "16 " (containers) or "6  " (items).
FlatRecord CountRecord(const char* qualifier, const Variant& count, const LocaleInfo& locale);

// The two "DDEC0701" layouts of the duty and tax lines.
FlatRecord RateLine(const char* code, const Variant& excise_code, bool with_excise_code, const Variant& rate_type,
                    const Variant& rate, const Variant& quantity, const Variant& unit, const LocaleInfo& locale);
FlatRecord FacilityLine(const char* code, const Variant& facility_code, const Variant& value,
                        const LocaleInfo& locale);
// The columns of a facility row (TBLBC25FAS, TBLBC23FAS) that the facility lines read.
inline const std::vector<std::string> kFacilityColumns = {"Kdfasbm", "Fasbm", "Kdfascuk", "Fascuk", "Kdfasppn",
                                                          "Fasppn", "Kdfaspbm", "Faspbm", "Kdfaspph", "Faspph"};

// The nine duty and tax lines of an item, in the layout's order, from its tariff rows `trf`
// and facility rows `fas`; `quantities` holds the columns Satbmjm and Satcukjm (the tariff row
// itself in BC 2.3, the item in BC 2.5). `walk(rows, make)` writes make() for each row of
// `rows`, under the builder's own rule for failures.
template <typename Walk>
void DutyAndTaxLines(Recordset& trf, Recordset& fas, const Recordset& quantities, const LocaleInfo& l, Walk&& walk) {
  const auto T = [&](const char* column) -> const Variant& { return trf.Field(column); };
  const auto F = [&](const char* column) -> const Variant& { return fas.Field(column); };
  walk(trf, [&] { return RateLine("CUD", {}, false, T("KdTrpBm"), T("TrpBm"), quantities.Field("Satbmjm"), T("KdSatBm"), l); });
  walk(fas, [&] { return FacilityLine("CUF", F("Kdfasbm"), F("Fasbm"), l); });
  walk(trf, [&] {
    return RateLine("EXC", T("KdCuk"), true, T("KdTrpCuk"), T("TrpCuk"), quantities.Field("Satcukjm"), T("KdSatCuk"), l);
  });
  walk(fas, [&] { return FacilityLine("EXF", F("Kdfascuk"), F("Fascuk"), l); });
  walk(trf, [&] { return FacilityLine("VAT", {}, T("TrpPpn"), l); });
  walk(fas, [&] { return FacilityLine("VAF", F("Kdfasppn"), F("Fasppn"), l); });
  walk(trf, [&] { return FacilityLine("LUX", {}, T("TrpPbm"), l); });
  walk(fas, [&] { return FacilityLine("LUF", F("Kdfaspbm"), F("Faspbm"), l); });
  walk(fas, [&] { return FacilityLine("WAF", F("Kdfaspph"), F("Faspph"), l); });
}

// The numeric value of a key pasted unquoted into the customs application's statements
// (a detail's serial): a number, or text that reads as one; otherwise the statement is
// invalid, reported as the database reports a syntax error.
Variant NumericKey(const Variant& value, const char* column);

// A key that the customs application's statements paste between quotes: null pastes as "".
inline Variant TextKey(const Variant& v) { return v.is_null() || v.is_empty() ? Variant("") : v; }

// A value compared with a number as the procedures compare (a text "5" equals 5);
// null never equals; text that is no number: error 13.
bool EqualsNumber(const Variant& value, double number, const LocaleInfo& locale);

}  // namespace sevrik
