// The document browser's data, without a window: the statement a search runs, the rows it
// lists with their cells as the list shows them, and the helpers of those cells.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/error.h"
#include "core/forms/actions.h"
#include "core/forms/forms.h"
#include "core/forms/history.h"
#include "core/lookups/document_types.h"
#include "core/lookups/session.h"
#include "db/database.h"
#include "platform/locale.h"

namespace sevrik {

// The browser's fixed lists, indexed like its two drop-down lists.
inline constexpr std::array<const char*, 3> kDocumentTypes = {
    kDocumentTypeTable[0].display, kDocumentTypeTable[1].display, kDocumentTypeTable[2].display};
inline constexpr std::array<const char*, 3> kHeaderTables = {
    kDocumentTypeTable[0].header_table, kDocumentTypeTable[1].header_table, kDocumentTypeTable[2].header_table};
inline constexpr std::array<const char*, 2> kSearchFields = {"CAR", "Nama Pemasok"};
inline constexpr std::array<const char*, 2> kSearchColumns = {"CAR", "PASOKNAMA"};

// The nine columns of the list: header, width in twips, right-aligned, never cut (the CAR, the
// date and the status: as wide as their widest cell).
struct ListColumn {
  const char* header;
  int width_twips;
  bool right;
  bool whole;
};
inline constexpr std::array<ListColumn, 9> kListColumns = {{{"No. Pengajuan", 2440, false, true},
                                                            {"Tg. Aju", 1040, false, true},
                                                            {"KPBC", 740, false, false},
                                                            {"Pemasok", 3440, false, false},
                                                            {"Bruto", 1440, true, false},
                                                            {"Netto", 1440, true, false},
                                                            {"Jm. Cont", 740, true, false},
                                                            {"Jm. Brg.", 740, true, false},
                                                            {"Status", 1440, false, true}}};

// One listed document's nine cells as the list shows them, the first being its CAR.
using DocumentRow = std::array<std::string, 9>;

// One listed document as the database gave it: what its cells are made of.
struct DocumentRecord {
  std::string car, office, partner;
  Variant bruto, netto;
  std::string containers, items, status;
};

// The rows of a search: the records as read, each row's cells formatted when a view first asks
// for them. A view asks only for the rows it draws; the last rows formatted are kept (a few
// pages), so a row is formatted once for all its cells and a page costs its own rows only.
class DocumentRows {
 public:
  // Rows kept formatted, each in the slot of its index modulo this number.
  static constexpr size_t kKeptRows = 256;

  DocumentRows() = default;
  DocumentRows(std::vector<DocumentRecord> records, std::unordered_map<std::string, std::string> status_names,
               LocaleInfo locale);

  size_t size() const { return records_.size(); }
  bool empty() const { return records_.empty(); }
  // The row's cells, formatted unless kept; the reference holds until a row of the same slot
  // is asked for.
  const DocumentRow& Row(size_t row) const;
  const std::string& Cell(size_t row, size_t column) const { return Row(row).at(column); }
  // The row's key (its CAR), without formatting the row.
  const std::string& Key(size_t row) const { return records_.at(row).car; }
  // The cells of a column that a view measures to make the column as wide as its widest cell:
  // one of each shape, a shape being the text with every digit read as "0" (the digits of the
  // windows' fonts are equally wide), so that 50,000 keys of one length are measured once.
  std::vector<std::string> WidthSamples(size_t column) const;
  // How many cells have been formatted for the views since the search: a drawn page formats
  // its own rows, once.
  size_t cells_formatted() const { return cells_formatted_; }
  // Orders the rows by a column as the list shows it: the weights and counts as numbers, the
  // date as a date, the other columns as text without regard to case; empty cells first, then
  // numbers, then text that is no number. Rows that compare equal keep their order. Returns
  // where each row went: moved[old index] is its new index.
  std::vector<size_t> Sort(size_t column, bool ascending);

 private:
  std::string CellOf(const DocumentRecord& record, size_t column) const;

  std::vector<DocumentRecord> records_;
  std::unordered_map<std::string, std::string> status_names_;
  LocaleInfo locale_;
  struct Kept {
    size_t row = SIZE_MAX;
    DocumentRow cells;
  };
  mutable std::vector<Kept> kept_;
  mutable size_t cells_formatted_ = 0;
};

// The width of a list column in pixels at the DPI: the table's, and at least its header's text
// and, for a column never cut, its widest cell's, each with the list's margin beside the text.
// `text_px` measures a text in the list's font as the view draws it.
int ColumnWidth(size_t column, int dpi, const DocumentRows& rows,
                const std::function<int(const std::string&)>& text_px);

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
// The one document of the type with the key (bound, compared whole), with the columns of a
// search.
BrowseQuery BuildKeyQuery(size_t document, std::string_view car);

// "Browse Data --> " + the document type's text.
std::string BrowseFrameCaption(size_t document);
// The caption of the list of failed documents: "Browse Data --> BC 2.3, hanya yang gagal".
std::string FailedFrameCaption(size_t document);
// The box when no document of the type has a last run that failed (OK, information icon,
// "Perhatian"): "Tidak ada dokumen BC 2.3 yang proses terakhirnya gagal."
std::string NoFailedText(size_t document);

// Runs the search and returns its rows in the order the database gives them; the partner
// column is penerimanama for BC 2.5, Pasoknama for the others. The status names are read
// once from tblTabel (KDTAB "01"): a code shows the URAIAN of its first row there, a code
// without a row an empty cell. Database errors go to the caller; the rows' cells are formatted
// later, from what was read, without the database.
DocumentRows ListDocuments(Database& db, size_t document, const BrowseQuery& query,
                                       const LocaleInfo& locale);
// The documents of the type with the keys, in the order of the keys (one keyed statement
// each); a key no longer in the header table is left out.
DocumentRows ListDocumentsByKey(Database& db, size_t document, const std::vector<std::string>& cars,
                                const LocaleInfo& locale);

// Characters 19-20, "-", 17-18, "-", 13-16 of the key (counted from 1): DD-MM-YYYY for a
// key that carries its date in characters 13 to 20; a short key gives shorter parts.
std::string SubmissionDate(std::string_view car);

// A weight as the list shows it: no decimals (half away from zero), the locale's grouping of
// three digits; text that is no number as it stands; null empty.
std::string FormatWholeNumber(const Variant& value, const LocaleInfo& locale);

// frmKb's caption at load: the caption drawn, " Ver. " and the version ("EDI Interface for
// TPB Ver. 2.0.0").
std::string BrowserCaption();

// What the search row holds when a search runs: the selected indexes of cbDok and cbFld
// (-1, no selection, counts as the first entry) and the text of txtQ as typed.
struct BrowseSearch {
  int document = 0;
  int field = 0;
  std::string text;
};

// The box of a search that finds nothing: OK, the critical (stop) icon, title "Perhatian".
inline constexpr const char* kNotFoundText = "Data yang dicari tidak ditemukan.";

// What a search shows.
struct BrowseOutcome {
  enum class Kind {
    Listed,    // rows found: the total is their count
    NotFound,  // the list emptied, the not-found box, the total of the search before kept
    Failed,    // the list emptied, the error box, the total kept
  };
  Kind kind = Kind::Listed;
  std::string frame_caption = forms::Find(forms::kFrmKb, "Frame1").caption;  // as drawn until a search
  DocumentRows rows;              // lView1, in the order the database gave them
  std::string total;              // txtTot: decimal, no grouping; "" before any search
  std::optional<size_t> selected;  // the row to select: none after a plain search
  std::optional<Error> error;      // Failed: what the database said
  std::optional<size_t> sort_column;  // the column the rows are sorted by, none: as the database gave them
  bool ascending = true;
  // The rows are the documents of the type whose last run failed (Hanya yang gagal), newest
  // failure first; the actions list them again so. Browse returns to the search.
  bool failed_only = false;
};

// The keys that sort the list: Ctrl+1 to Ctrl+9 sort by column 1 to 9, as a click on the
// column's header does; again, the other way round.
inline constexpr int kSortKeyColumns = 9;
// The row's context menu: its items, in order, each with the key that does the same.
enum class RowAction {
  Check,       // Periksa dokumen (DocumentBrowser::Check)
  History,     // Riwayat dokumen (DocumentBrowser::History)
  FailedOnly,  // Hanya yang gagal (DocumentBrowser::ListFailed)
};
struct RowMenuItem {
  const char* text;
  const char* key;  // the shortcut shown beside it; "" for none
  RowAction action;
};
inline constexpr std::array<RowMenuItem, 3> kRowMenu = {{{"Periksa dokumen\u2026", "F4", RowAction::Check},
                                                         {"Riwayat dokumen\u2026", "F3", RowAction::History},
                                                         {"Hanya yang gagal", "", RowAction::FailedOnly}}};

// The surface a browser draws on: a window whose list reads the browser's rows.
class BrowserView {
 public:
  virtual ~BrowserView() = default;
  // The rows are about to be replaced (a list that holds no copy lets go of them here).
  virtual void RowsAboutToChange() {}
  // Shows the outcome: Frame1's caption, the rows, txtTot, the selected row (in view).
  virtual void Draw(const BrowseOutcome& outcome) = 0;
  // Shows frmCheck, modal, with the caption and the report (lines ended by CR LF).
  virtual void ShowReport(const std::string& /*caption*/, const std::string& /*text*/) {}
  // Shows frmHistory, modal, with the document's runs.
  virtual void ShowHistory(const HistoryList& /*history*/) {}
};

// frmKb's logic: its searches, the selected document, its actions and the list browsed again
// after them. The view forwards its clicks with what its controls hold and draws what it is
// told; every box is shown here, through the session's Dialogs. Errors never escape: a failed
// search or action is told in a box and the window stays usable.
class DocumentBrowser {
 public:
  // The session and the view outlive the browser.
  DocumentBrowser(Session& session, BrowserView& view);

  // Browse (cmdGo, Enter in txtQ): empties the list and runs the search. The view draws the
  // outcome before its box is shown.
  void Browse(const BrowseSearch& search);
  // Create EDIFACT (cmdFlat) and Batal EDIFACT (cmdBatal) for the document of the selected row
  // (none: nothing happens) with the document type shown in cbDok. After a run the same search
  // runs again and the document acted on stays selected when it is still listed.
  void Create(const BrowseSearch& search, std::optional<size_t> selected_row);
  void Cancel(const BrowseSearch& search, std::optional<size_t> selected_row);
  // Komunikasi (cmdConnect): the communication run; the list stays as it is.
  void Communicate();
  // Periksa dokumen (the row's menu, F4): the check of the selected row's document, shown in
  // frmCheck; nothing for no row; a check that cannot run (a document no longer there, a type
  // without builder) is told in a box.
  void Check(const BrowseSearch& search, std::optional<size_t> selected_row);
  // Riwayat dokumen (the row's menu, F3): the selected row's document's runs from the run
  // journal, shown in frmHistory; nothing for no row; a journal that cannot be read is told in
  // a box.
  void History(const BrowseSearch& search, std::optional<size_t> selected_row);
  // Hanya yang gagal (the row's menu): lists the documents of the type shown in cbDok whose
  // last run failed, as a search lists its rows (the search text is not applied); none: the
  // list emptied and NoFailedText in a box. Sorting and the actions work on it as on a search.
  void ListFailed(const BrowseSearch& search);
  // A click on a column's header (or Ctrl+1..9): sorts the list by the column, the other way
  // round when it is already sorted by it. The selected row stays selected, drawn in view.
  void SortBy(size_t column, std::optional<size_t> selected_row);

  // The key (CAR, the first cell) of a listed row; empty for no row or a row not listed.
  std::string KeyOf(std::optional<size_t> row) const;
  // The tool tip of a listed row: each cell's header and whole text, one a line, then the
  // document's last run in the run journal (the action, its time, success or failure with the
  // reason, the reference), so that a failure stays told after its box is gone. Empty for a
  // row not listed.
  std::string RowToolTip(size_t row) const;
  // The last search's outcome; its rows are what the list shows.
  const BrowseOutcome& outcome() const { return outcome_; }

 private:
  void Run(const BrowseSearch& search, const std::string& keep_selected, bool failed_only);

  Session& s_;
  BrowserView& view_;
  DocumentActions actions_;
  BrowseOutcome outcome_;
};

}  // namespace sevrik
