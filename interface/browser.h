// The document browser's data, without a window: the statement a search runs, the rows it
// lists with their cells as the list shows them, and the helpers of those cells.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "db/database.h"
#include "platform/locale.h"

namespace sevrik {

// The browser's fixed lists, indexed like its two drop-down lists.
inline constexpr std::array<const char*, 3> kDocumentTypes = {"BC 2.3", "BC 2.5", "BC 4.0"};
inline constexpr std::array<const char*, 3> kHeaderTables = {"TBLBC23HDR", "TBLBC25HDR", "TBLBC40HDR"};
inline constexpr std::array<const char*, 2> kSearchFields = {"CAR", "Nama Pemasok"};
inline constexpr std::array<const char*, 2> kSearchColumns = {"CAR", "PASOKNAMA"};

// The nine columns of the list: header, width in twips, right-aligned.
struct ListColumn {
  const char* header;
  int width_twips;
  bool right;
};
inline constexpr std::array<ListColumn, 9> kListColumns = {{{"No. Pengajuan", 2440, false},
                                                            {"Tg. Aju", 1040, false},
                                                            {"KPBC", 740, false},
                                                            {"Pemasok", 3440, false},
                                                            {"Bruto", 1440, true},
                                                            {"Netto", 1440, true},
                                                            {"Jm. Cont", 740, true},
                                                            {"Jm. Brg.", 740, true},
                                                            {"Status", 1440, false}}};

// One listed document: its nine cells, the first being its CAR.
using DocumentRow = std::array<std::string, 9>;

// A search as the browser runs it: the header table of the document type, the search
// column, and the text typed, which reaches the database only inside the bound pattern
// "%" + text + "%" (an apostrophe is searched for as typed; "%" and "_" keep their meaning).
struct BrowseQuery {
  std::string sql;
  Params params;
};
// `document` is the index of the document type (0 to 2), `field` that of the search field
// (0 or 1). A BC 2.5 search by name searches the receiver, PENERIMANAMA.
BrowseQuery BuildBrowseQuery(size_t document, size_t field, std::string_view text);

// "Browse Data --> " + the document type's text.
std::string BrowseFrameCaption(size_t document);

// Runs the search and returns its rows in the order the database gives them; the partner
// column is penerimanama for BC 2.5, Pasoknama for the others. The status names are read
// once from tblTabel (KDTAB "01"): a code shows the URAIAN of its first row there, a code
// without a row an empty cell. Database errors go to the caller.
std::vector<DocumentRow> ListDocuments(Database& db, size_t document, const BrowseQuery& query,
                                       const LocaleInfo& locale);

// Characters 19-20, "-", 17-18, "-", 13-16 of the key (counted from 1): DD-MM-YYYY for a
// key that carries its date in characters 13 to 20; a short key gives shorter parts.
std::string SubmissionDate(std::string_view car);

// A weight as the list shows it: no decimals (half away from zero), the locale's grouping of
// three digits; text that is no number as it stands; null empty.
std::string FormatWholeNumber(const Variant& value, const LocaleInfo& locale);

}  // namespace sevrik
