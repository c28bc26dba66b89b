#include "core/lookups/lookups.h"

#include "base/error.h"
#include "base/text.h"
#include "platform/fs.h"

namespace sevrik {

std::string DecodeEdiNumber(std::string_view stored) {
  const std::string bytes = ToCp1252(stored);
  const long length = static_cast<long>(Trim(bytes).size());
  std::string out;
  for (long i = 1; i <= length; ++i) {
    const long c = static_cast<unsigned char>(bytes[static_cast<size_t>(i - 1)]) + 10 + i - length;
    if (c < 0 || c > 255) throw Error(err::kInvalidArgument);
    out += static_cast<char>(c);
  }
  return FromCp1252(out);
}

std::string GetOwnEdiNumber(Database& db) {
  std::unique_ptr<Recordset> rs = db.Open("select * from tblData", {}, CursorType::Static);
  if (rs->Eof()) return {};
  return DecodeEdiNumber(ToText(rs->Field("edinum"), LocaleInfo::Classic()));
}

std::string GetPartnerEdiNumber(Database& db, std::string_view office_code) {
  std::unique_ptr<Recordset> rs = db.Open("select * from tblPartner where KdKpbc = ?",
                                          {Variant(std::string(Trim(office_code)))}, CursorType::Static);
  if (rs->Eof()) return {};
  return ToText(rs->Field("NomorEDI"), LocaleInfo::Classic());
}

std::string GetPartnerNameByEdi(Database& db, std::string_view edi_number) {
  std::unique_ptr<Recordset> rs = db.Execute("SELECT namalokal FROM tblpartner WHERE nomoredi = ?",
                                             {Variant(std::string(Trim(edi_number)))});
  if (rs->Eof()) return {};
  return ToText(rs->Field("namalokal"), LocaleInfo::Classic());
}

bool AnyFileMatches(std::string_view pattern, Dialogs& dialogs) {
  try {
    return !ListFiles(pattern).empty();
  } catch (const Error& e) {
    dialogs.ShowMessage("Error : " + e.description(), MsgButtons::Ok, MsgIcon::Exclamation);
    return false;
  }
}

}  // namespace sevrik
