// The lookups the builders and the runs share: the own and the partners' EDI numbers, the
// partners' names, and whether a file exists.
#pragma once

#include <string>
#include <string_view>

#include "db/database.h"
#include "platform/dialogs.h"

namespace sevrik {

// The own EDI number: tblData.edinum of the first row, decoded; empty without a row.
std::string GetOwnEdiNumber(Database& db);
// Turns the stored, scrambled own EDI number back into the number.
std::string DecodeEdiNumber(std::string_view stored);
// NomorEDI of the first tblPartner row of the customs office (code trimmed), or empty.
std::string GetPartnerEdiNumber(Database& db, std::string_view office_code);
// namalokal of the first tblPartner row with the EDI number (trimmed), or empty.
std::string GetPartnerNameByEdi(Database& db, std::string_view edi_number);

// True when at least one plain file matches the pattern (wildcards in its last part). A
// listing that fails shows "Error : " and the description, and answers false.
bool AnyFileMatches(std::string_view pattern, Dialogs& dialogs);

}  // namespace sevrik
