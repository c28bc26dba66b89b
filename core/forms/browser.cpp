#include "core/forms/browser.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

#include "base/error.h"
#include "base/text.h"
#include "core/flat/builders.h"
#include "core/forms/form_layout.h"
#include "core/forms/forms.h"
#include "core/lookups/program.h"
#include "core/runs/journal.h"

namespace sevrik {
namespace {

std::string Cell(const Variant& v, const LocaleInfo& locale) { return v.is_null() ? std::string() : ToText(v, locale); }

// Digits of a whole number with the group separator between groups of three.
std::string Grouped(std::string digits, const std::string& separator) {
  if (separator.empty()) return digits;
  const bool negative = !digits.empty() && digits[0] == '-';
  if (negative) digits.erase(0, 1);
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
    out += digits[i];
  }
  return negative ? "-" + out : out;
}

// Status names by code: the first row of each code, as a lookup of that code would find it.
std::unordered_map<std::string, std::string> StatusNames(Database& db, const LocaleInfo& locale) {
  std::unordered_map<std::string, std::string> names;
  auto rs = db.Execute("SELECT KDREC, URAIAN from tblTabel Where KDTAB='01'");
  for (; !rs->Eof(); rs->MoveNext()) names.try_emplace(Cell(rs->Field("KDREC"), locale), Cell(rs->Field("URAIAN"), locale));
  return names;
}

}  // namespace

namespace {

// The columns a list shows, from the document type's header table, up to the condition.
std::string SelectListed(size_t document) {
  if (document >= kDocumentTypeTable.size()) throw Error(err::kSubscriptOutOfRange);
  const char* partner = kDocumentTypeTable[document].partner;
  return std::string("SELECT car, Kdkpbc, ") + partner + ", Bruto, Netto, Jmcont, Jmbrg, Status FROM " +
         kHeaderTables[document];
}

// Appends the records of the statement's rows.
void ReadRecords(Database& db, size_t document, const BrowseQuery& query, const LocaleInfo& locale,
                 std::vector<DocumentRecord>& records) {
  const char* partner = kDocumentTypeTable[document].partner;
  auto rs = db.Execute(query.sql, query.params);
  for (; !rs->Eof(); rs->MoveNext()) {
    DocumentRecord& r = records.emplace_back();
    r.car = Cell(rs->Field("car"), locale);
    r.office = Cell(rs->Field("Kdkpbc"), locale);
    r.partner = Cell(rs->Field(partner), locale);
    r.bruto = rs->Field("Bruto");
    r.netto = rs->Field("Netto");
    r.containers = Cell(rs->Field("Jmcont"), locale);
    r.items = Cell(rs->Field("Jmbrg"), locale);
    r.status = Cell(rs->Field("Status"), locale);
  }
}

}  // namespace

BrowseQuery BuildBrowseQuery(size_t document, size_t field, std::string_view text) {
  if (document >= kHeaderTables.size() || field >= kSearchColumns.size()) throw Error(err::kSubscriptOutOfRange);
  // A search by name searches the type's partner: PASOKNAMA, or PENERIMANAMA for BC 2.5.
  const std::string column = field == 1 ? AsciiUpper(kDocumentTypeTable[document].partner) : kSearchColumns[field];
  return {SelectListed(document) + " Where " + column + " LIKE ?", {Variant("%" + std::string(text) + "%")}};
}

BrowseQuery BuildKeyQuery(size_t document, std::string_view car) {
  return {SelectListed(document) + " Where CAR = ?", {Variant(std::string(car))}};
}

std::string BrowseFrameCaption(size_t document) {
  if (document >= kDocumentTypes.size()) throw Error(err::kSubscriptOutOfRange);
  return std::string("Browse Data --> ") + kDocumentTypes[document];
}

std::string FailedFrameCaption(size_t document) { return BrowseFrameCaption(document) + ", hanya yang gagal"; }

std::string NoFailedText(size_t document) {
  if (document >= kDocumentTypes.size()) throw Error(err::kSubscriptOutOfRange);
  return std::string("Tidak ada dokumen ") + kDocumentTypes[document] + " yang proses terakhirnya gagal.";
}

DocumentRows ListDocuments(Database& db, size_t document, const BrowseQuery& query, const LocaleInfo& locale) {
  std::unordered_map<std::string, std::string> names = StatusNames(db, locale);
  std::vector<DocumentRecord> records;
  ReadRecords(db, document, query, locale, records);
  return DocumentRows(std::move(records), std::move(names), locale);
}

DocumentRows ListDocumentsByKey(Database& db, size_t document, const std::vector<std::string>& cars,
                                const LocaleInfo& locale) {
  std::unordered_map<std::string, std::string> names = StatusNames(db, locale);
  std::vector<DocumentRecord> records;
  for (const std::string& car : cars) {
    const size_t before = records.size();
    ReadRecords(db, document, BuildKeyQuery(document, car), locale, records);
    records.resize(std::min(records.size(), before + 1));  // a key twice in the table: listed once
  }
  return DocumentRows(std::move(records), std::move(names), locale);
}

DocumentRows::DocumentRows(std::vector<DocumentRecord> records,
                           std::unordered_map<std::string, std::string> status_names, LocaleInfo locale)
    : records_(std::move(records)), status_names_(std::move(status_names)), locale_(std::move(locale)) {}

std::string DocumentRows::CellOf(const DocumentRecord& r, size_t column) const {
  switch (column) {
    case 0: return r.car;
    case 1: return SubmissionDate(r.car);
    case 2: return r.office;
    case 3: return r.partner;
    case 4: return FormatWholeNumber(r.bruto, locale_);
    case 5: return FormatWholeNumber(r.netto, locale_);
    case 6: return r.containers;
    case 7: return r.items;
    case 8: {
      const auto name = status_names_.find(r.status);
      return name != status_names_.end() ? name->second : std::string();
    }
    default: throw Error(err::kSubscriptOutOfRange);
  }
}

const DocumentRow& DocumentRows::Row(size_t row) const {
  if (row >= records_.size()) throw Error(err::kSubscriptOutOfRange);
  if (kept_.empty()) kept_.resize(kKeptRows);
  Kept& slot = kept_[row % kKeptRows];
  if (slot.row != row) {
    for (size_t column = 0; column < slot.cells.size(); ++column) slot.cells[column] = CellOf(records_[row], column);
    slot.row = row;
    cells_formatted_ += slot.cells.size();
  }
  return slot.cells;
}

namespace {

// A cell as the sort sees it: empty, a number, or text folded to lower case.
struct SortKey {
  int kind = 0;  // 0 empty, 1 number, 2 text
  double number = 0;
  std::string text;
  bool operator<(const SortKey& o) const {
    if (kind != o.kind) return kind < o.kind;
    return kind == 1 ? number < o.number : text < o.text;
  }
};

SortKey TextKey(std::string_view text) {
  SortKey k;
  if (text.empty()) return k;
  k.kind = 2;
  k.text.reserve(text.size());
  for (char c : text) k.text += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return k;
}

SortKey NumberKey(const Variant& v, const LocaleInfo& locale) {
  if (v.is_null() || v.is_empty()) return {};
  if (v.kind() == Variant::Kind::Integer) return {1, static_cast<double>(v.integer()), {}};
  if (v.kind() == Variant::Kind::Double) return {1, v.real(), {}};
  const std::string text = ToText(v, locale);
  if (const std::optional<double> n = ParseNumber(text, locale)) return {1, *n, {}};
  return TextKey(text);
}

// The date of a key (characters 13 to 20, YYYYMMDD) as one number; a key without one as text.
SortKey DateKey(const std::string& car) {
  if (car.size() >= 20) {
    const std::string_view digits = std::string_view(car).substr(12, 8);
    if (std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
      return {1, std::stod(std::string(digits)), {}};
  }
  return TextKey(SubmissionDate(car));
}

}  // namespace

std::vector<size_t> DocumentRows::Sort(size_t column, bool ascending) {
  if (column >= kListColumns.size()) throw Error(err::kSubscriptOutOfRange);
  std::vector<SortKey> keys;
  keys.reserve(records_.size());
  for (const DocumentRecord& r : records_) {
    switch (column) {
      case 1: keys.push_back(DateKey(r.car)); break;
      case 4: keys.push_back(NumberKey(r.bruto, locale_)); break;
      case 5: keys.push_back(NumberKey(r.netto, locale_)); break;
      case 6: keys.push_back(NumberKey(Variant(r.containers), LocaleInfo::Classic())); break;
      case 7: keys.push_back(NumberKey(Variant(r.items), LocaleInfo::Classic())); break;
      default: keys.push_back(TextKey(CellOf(r, column))); break;
    }
  }
  std::vector<size_t> order(records_.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return ascending ? keys[a] < keys[b] : keys[b] < keys[a];
  });
  std::vector<DocumentRecord> sorted;
  sorted.reserve(records_.size());
  std::vector<size_t> moved(records_.size());
  for (size_t i = 0; i < order.size(); ++i) {
    sorted.push_back(std::move(records_[order[i]]));
    moved[order[i]] = i;
  }
  records_ = std::move(sorted);
  for (Kept& slot : kept_) slot.row = SIZE_MAX;
  return moved;
}

std::vector<std::string> DocumentRows::WidthSamples(size_t column) const {
  std::unordered_set<std::string> seen;
  std::vector<std::string> samples;
  for (const DocumentRecord& r : records_) {
    std::string shape = column <= 1 ? r.car : CellOf(r, column);  // the date is made of the key
    for (char& c : shape)
      if (c >= '1' && c <= '9') c = '0';
    if (seen.insert(std::move(shape)).second) samples.push_back(CellOf(r, column));
  }
  return samples;
}

int ColumnWidth(size_t column, int dpi, const DocumentRows& rows,
                const std::function<int(const std::string&)>& text_px) {
  const ListColumn& c = kListColumns.at(column);
  const int margin = forms::Px(forms::kCellMarginTwips, dpi);
  int width = std::max(forms::Px(c.width_twips, dpi), text_px(c.header) + margin);
  if (c.whole)
    for (const std::string& cell : rows.WidthSamples(column)) width = std::max(width, text_px(cell) + margin);
  return width;
}

std::string SubmissionDate(std::string_view car) {
  const auto part = [&](size_t from, size_t length) {
    return from - 1 < car.size() ? std::string(car.substr(from - 1, length)) : std::string();
  };
  return part(19, 2) + "-" + part(17, 2) + "-" + part(13, 4);
}

std::string FormatWholeNumber(const Variant& value, const LocaleInfo& locale) {
  if (value.is_null() || value.is_empty()) return {};
  double number;
  if (value.is_number()) {
    number = value.kind() == Variant::Kind::Integer ? static_cast<double>(value.integer()) : value.real();
  } else {
    const std::string text = ToText(value, locale);
    const std::optional<double> parsed = ParseNumber(text, locale);
    if (!parsed) return text;
    number = *parsed;
  }
  if (!std::isfinite(number)) return NumberToText(number, locale);
  const double whole = std::round(number);  // half away from zero
  if (std::fabs(whole) >= 1e15) return NumberToText(whole, locale);
  std::string digits = std::to_string(static_cast<long long>(whole));
  if (digits == "-0") digits = "0";
  return Grouped(digits, locale.group_separator);
}

std::string BrowserCaption() {
  return std::string(forms::kFrmKb.caption) + " Ver. " + std::to_string(kVersionMajor) + "." +
         std::to_string(kVersionMinor) + "." + std::to_string(kVersionRevision);
}

DocumentBrowser::DocumentBrowser(Session& session, BrowserView& view) : s_(session), view_(view), actions_(session) {}

void DocumentBrowser::Browse(const BrowseSearch& search) { Run(search, {}, false); }

void DocumentBrowser::ListFailed(const BrowseSearch& search) { Run(search, {}, true); }

void DocumentBrowser::Run(const BrowseSearch& search, const std::string& keep_selected, bool failed_only) {
  const size_t document = static_cast<size_t>(std::max(0, search.document));
  const size_t field = static_cast<size_t>(std::max(0, search.field));
  BrowseOutcome next;
  next.frame_caption = outcome_.frame_caption;
  next.total = outcome_.total;
  next.failed_only = failed_only;
  try {
    if (failed_only) {
      next.frame_caption = FailedFrameCaption(document);
      // The journal is read as the list is asked for: it tells runs of other SEVRIK processes too.
      std::vector<std::string> cars;
      for (const FailedDocument& d : FailedDocuments(RunJournal(JournalPath(s_)).Entries(), kHeaderTables.at(document)))
        cars.push_back(d.car);
      next.rows = ListDocumentsByKey(s_.db, document, cars, s_.locale);
    } else {
      next.frame_caption = BrowseFrameCaption(document);
      next.rows = ListDocuments(s_.db, document, BuildBrowseQuery(document, field, search.text), s_.locale);
    }
    if (next.rows.empty()) {
      next.kind = BrowseOutcome::Kind::NotFound;
    } else {
      next.total = std::to_string(next.rows.size());
      // The list browsed again keeps the order the user chose.
      if (outcome_.sort_column) {
        next.rows.Sort(*outcome_.sort_column, outcome_.ascending);
        next.sort_column = outcome_.sort_column;
        next.ascending = outcome_.ascending;
      }
      if (!keep_selected.empty())
        for (size_t i = 0; i < next.rows.size(); ++i)
          if (next.rows.Key(i) == keep_selected) {
            next.selected = i;
            break;
          }
    }
  } catch (const Error& e) {
    next.kind = BrowseOutcome::Kind::Failed;
    next.rows = {};
    next.error = e;
  }
  view_.RowsAboutToChange();
  outcome_ = std::move(next);
  view_.Draw(outcome_);
  if (outcome_.kind == BrowseOutcome::Kind::NotFound && failed_only)
    s_.dialogs.ShowMessage(NoFailedText(document), MsgButtons::Ok, MsgIcon::Information, "Perhatian");
  else if (outcome_.kind == BrowseOutcome::Kind::NotFound)
    s_.dialogs.ShowMessage(kNotFoundText, MsgButtons::Ok, MsgIcon::Critical, "Perhatian");
  else if (outcome_.kind == BrowseOutcome::Kind::Failed)
    actions_.ShowError(*outcome_.error);
}

std::string DocumentBrowser::KeyOf(std::optional<size_t> row) const {
  return row && *row < outcome_.rows.size() ? outcome_.rows.Key(*row) : std::string();
}

std::string DocumentBrowser::RowToolTip(size_t row) const {
  if (row >= outcome_.rows.size()) return {};
  const DocumentRow cells = outcome_.rows.Row(row);
  std::string tip;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i) tip += "\r\n";
    tip += std::string(kListColumns[i].header) + ": " + cells[i];
  }
  // The journal is read as the tip is asked for: it tells runs of other SEVRIK processes too.
  std::vector<JournalEntry> entries;
  try {
    entries = RunJournal(JournalPath(s_)).Entries();
  } catch (const Error&) {
    return tip;  // a journal that cannot be read tells nothing here; the runs report it
  }
  const auto last = std::find_if(entries.rbegin(), entries.rend(),
                                 [&](const JournalEntry& e) { return !e.car.empty() && e.car == cells[0]; });
  if (last == entries.rend()) return tip;
  const std::string action = last->action == "QUE"   ? "Create EDIFACT"
                             : last->action == "UNQ" ? "Batal EDIFACT"
                                                     : last->action;
  tip += "\r\nProses terakhir: " + action + " " + last->type + ", " + last->time;
  if (!last->ended) return tip + ", belum selesai";
  if (!last->end_time.empty()) tip += ", selesai " + last->end_time;
  if (last->status == "0") tip += ": berhasil";
  else tip += ": gagal" + (last->reason.empty() ? std::string() : " (" + last->reason + ")");
  if (!last->reference.empty()) tip += "\r\nReferensi: " + last->reference;
  return tip;
}

namespace {

// The text of cbDok for its index, as the actions take it.
std::string_view DocumentTypeText(int document) {
  const size_t d = static_cast<size_t>(std::max(0, document));
  return d < kDocumentTypes.size() ? kDocumentTypes[d] : "";
}

}  // namespace

void DocumentBrowser::Create(const BrowseSearch& search, std::optional<size_t> selected_row) {
  const std::string key = KeyOf(selected_row);
  try {
    if (!actions_.Create(DocumentTypeText(search.document), key)) return;
  } catch (const Error& e) {
    actions_.ShowError(e);
    return;
  }
  Run(search, key, outcome_.failed_only);
}

void DocumentBrowser::Cancel(const BrowseSearch& search, std::optional<size_t> selected_row) {
  const std::string key = KeyOf(selected_row);
  try {
    if (!actions_.Cancel(DocumentTypeText(search.document), key)) return;
  } catch (const Error& e) {
    actions_.ShowError(e);
    return;
  }
  Run(search, key, outcome_.failed_only);
}

void DocumentBrowser::Check(const BrowseSearch& search, std::optional<size_t> selected_row) {
  const std::string key = KeyOf(selected_row);
  if (key.empty()) return;
  const std::string token = DocumentTypeToken(DocumentTypeText(search.document));
  try {
    const CheckList check = CheckDocument(s_, token, key);
    std::string text;
    for (const std::string& line : CheckReportLines(token, key, check)) text += line + "\r\n";
    view_.ShowReport(std::string(forms::kFrmCheck.caption) + " " + token, text);
  } catch (const Error& e) {
    actions_.ShowError(e);
  }
}

void DocumentBrowser::History(const BrowseSearch& search, std::optional<size_t> selected_row) {
  const std::string key = KeyOf(selected_row);
  if (key.empty()) return;
  const size_t document = static_cast<size_t>(std::max(0, search.document));
  try {
    if (document >= kHeaderTables.size()) throw Error(err::kSubscriptOutOfRange);
    const std::string token = DocumentTypeToken(DocumentTypeText(search.document));
    view_.ShowHistory(BuildHistory(RunJournal(JournalPath(s_)).Entries(), token, kHeaderTables[document], key));
  } catch (const Error& e) {
    actions_.ShowError(e);
  }
}

void DocumentBrowser::SortBy(size_t column, std::optional<size_t> selected_row) {
  if (column >= kListColumns.size() || outcome_.rows.empty()) return;
  const bool ascending = outcome_.sort_column == column ? !outcome_.ascending : true;
  view_.RowsAboutToChange();
  const std::vector<size_t> moved = outcome_.rows.Sort(column, ascending);
  outcome_.sort_column = column;
  outcome_.ascending = ascending;
  outcome_.selected.reset();
  if (selected_row && *selected_row < moved.size()) outcome_.selected = moved[*selected_row];
  view_.Draw(outcome_);
}

void DocumentBrowser::Communicate() {
  try {
    actions_.Communicate();
  } catch (const Error& e) {
    actions_.ShowError(e);
  }
}

}  // namespace sevrik
