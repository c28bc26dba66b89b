// Pieces shared by the flat-file builders.
#pragma once

#include <string>
#include <vector>

#include "core/flat/flat_record.h"
#include "db/database.h"
#include "platform/locale.h"

namespace sevrik {

// "ENV00101": sender and recipient EDI numbers (20 each, blank if empty), the document code
// padded to 10, "2".
FlatRecord EnvelopeRecord(const std::string& own_edi, const std::string& recipient_edi,
                          const std::string& document_code, const LocaleInfo& locale, CheckList* check = nullptr);

// "SDEC0201" "4  ": the levy and facility codes of a charge row (padded to 10), "24 ",
// Nilbeban as num(15,0). The two code columns are read as 16-bit integers; BC 2.3 first makes
// an empty column one blank. `table` names the charge table for a check.
FlatRecord ChargeRecord(const Recordset& charge, const char* table, bool blank_if_empty, const LocaleInfo& locale,
                        CheckList* check = nullptr);

// "SDEC0101": count record with qualifier "16 " (containers) or "6  " (items).
FlatRecord CountRecord(const char* qualifier, const Field& count, const LocaleInfo& locale, CheckList* check = nullptr);

// The two "DDEC0701" layouts of the duty and tax lines.
FlatRecord RateLine(const char* code, const Field& excise_code, bool with_excise_code, const Field& rate_type,
                    const Field& rate, const Field& quantity, const Field& unit, const LocaleInfo& locale,
                    CheckList* check = nullptr);
FlatRecord FacilityLine(const char* code, const Field& facility_code, const Field& value, const LocaleInfo& locale,
                        CheckList* check = nullptr);
// The columns of a facility row (TBLBC25FAS, TBLBC23FAS) that the facility lines read.
inline const std::vector<std::string> kFacilityColumns = {"Kdfasbm", "Fasbm", "Kdfascuk", "Fascuk", "Kdfasppn",
                                                          "Fasppn", "Kdfaspbm", "Faspbm", "Kdfaspph", "Faspph"};

// The tables that the duty and tax lines of an item read, as a check names them.
struct DutyTables {
  const char* tariffs;     // TBLBC23TRF, TBLBC25TRF
  const char* facilities;  // TBLBC23FAS, TBLBC25FAS
  const char* quantities;  // the table of the `quantities` row
};

// The nine duty and tax lines of an item, in the layout's order, from its tariff rows `trf`
// and facility rows `fas`; `quantities` holds the columns Satbmjm and Satcukjm (the tariff row
// itself in BC 2.3, the item in BC 2.5). `walk(rows, table, make)` writes make() for each row
// of `rows` (read from `table`), under the builder's own rule for failures.
template <typename Walk>
void DutyAndTaxLines(Recordset& trf, Recordset& fas, const Recordset& quantities, const DutyTables& t,
                     const LocaleInfo& l, CheckList* c, Walk&& walk) {
  const auto T = [&](const char* column) { return Field(trf.Field(column), t.tariffs, column); };
  const auto F = [&](const char* column) { return Field(fas.Field(column), t.facilities, column); };
  const auto Q = [&](const char* column) { return Field(quantities.Field(column), t.quantities, column); };
  const Variant none;
  walk(trf, t.tariffs, [&] { return RateLine("CUD", none, false, T("KdTrpBm"), T("TrpBm"), Q("Satbmjm"), T("KdSatBm"), l, c); });
  walk(fas, t.facilities, [&] { return FacilityLine("CUF", F("Kdfasbm"), F("Fasbm"), l, c); });
  walk(trf, t.tariffs, [&] {
    return RateLine("EXC", T("KdCuk"), true, T("KdTrpCuk"), T("TrpCuk"), Q("Satcukjm"), T("KdSatCuk"), l, c);
  });
  walk(fas, t.facilities, [&] { return FacilityLine("EXF", F("Kdfascuk"), F("Fascuk"), l, c); });
  walk(trf, t.tariffs, [&] { return FacilityLine("VAT", none, T("TrpPpn"), l, c); });
  walk(fas, t.facilities, [&] { return FacilityLine("VAF", F("Kdfasppn"), F("Fasppn"), l, c); });
  walk(trf, t.tariffs, [&] { return FacilityLine("LUX", none, T("TrpPbm"), l, c); });
  walk(fas, t.facilities, [&] { return FacilityLine("LUF", F("Kdfaspbm"), F("Faspbm"), l, c); });
  walk(fas, t.facilities, [&] { return FacilityLine("WAF", F("Kdfaspph"), F("Faspph"), l, c); });
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
