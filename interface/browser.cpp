#include "interface/browser.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

#include "interface/forms.h"
#include "interface/journal.h"
#include "interface/mdlMain.h"
#include "platform/error.h"

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

BrowseQuery BuildBrowseQuery(size_t document, size_t field, std::string_view text) {
  if (document >= kHeaderTables.size() || field >= kSearchColumns.size()) throw Error(err::kSubscriptOutOfRange);
  const char* column = document == 1 && field == 1 ? "PENERIMANAMA" : kSearchColumns[field];
  const char* partner = document == 1 ? "penerimanama" : "Pasoknama";
  return {std::string("SELECT car, Kdkpbc, ") + partner + ", Bruto, Netto, Jmcont, Jmbrg, Status FROM " +
              kHeaderTables[document] + " Where " + column + " LIKE ?",
          {Variant("%" + std::string(text) + "%")}};
}

std::string BrowseFrameCaption(size_t document) {
  if (document >= kDocumentTypes.size()) throw Error(err::kSubscriptOutOfRange);
  return std::string("Browse Data --> ") + kDocumentTypes[document];
}

std::vector<DocumentRow> ListDocuments(Database& db, size_t document, const BrowseQuery& query,
                                       const LocaleInfo& locale) {
  const std::unordered_map<std::string, std::string> names = StatusNames(db, locale);
  const char* partner = document == 1 ? "penerimanama" : "Pasoknama";
  std::vector<DocumentRow> rows;
  auto rs = db.Execute(query.sql, query.params);
  for (; !rs->Eof(); rs->MoveNext()) {
    DocumentRow& r = rows.emplace_back();
    r[0] = Cell(rs->Field("car"), locale);
    r[1] = SubmissionDate(r[0]);
    r[2] = Cell(rs->Field("Kdkpbc"), locale);
    r[3] = Cell(rs->Field(partner), locale);
    r[4] = FormatWholeNumber(rs->Field("Bruto"), locale);
    r[5] = FormatWholeNumber(rs->Field("Netto"), locale);
    r[6] = Cell(rs->Field("Jmcont"), locale);
    r[7] = Cell(rs->Field("Jmbrg"), locale);
    const auto name = names.find(Cell(rs->Field("Status"), locale));
    if (name != names.end()) r[8] = name->second;
  }
  return rows;
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

std::vector<std::string> WidthSamples(const std::vector<DocumentRow>& rows, size_t column) {
  std::unordered_set<std::string> seen;
  std::vector<std::string> samples;
  for (const DocumentRow& row : rows) {
    std::string shape = row[column];
    for (char& c : shape)
      if (c >= '1' && c <= '9') c = '0';
    if (seen.insert(std::move(shape)).second) samples.push_back(row[column]);
  }
  return samples;
}

std::string BrowserCaption() {
  return std::string(forms::kFrmKb.caption) + " Ver. " + std::to_string(kVersionMajor) + "." +
         std::to_string(kVersionMinor) + "." + std::to_string(kVersionRevision);
}

DocumentBrowser::DocumentBrowser(Session& session, BrowserView& view) : s_(session), view_(view), actions_(session) {}

void DocumentBrowser::Browse(const BrowseSearch& search) { Run(search, {}); }

void DocumentBrowser::Run(const BrowseSearch& search, const std::string& keep_selected) {
  const size_t document = static_cast<size_t>(std::max(0, search.document));
  const size_t field = static_cast<size_t>(std::max(0, search.field));
  BrowseOutcome next;
  next.frame_caption = outcome_.frame_caption;
  next.total = outcome_.total;
  try {
    next.frame_caption = BrowseFrameCaption(document);
    next.rows = ListDocuments(s_.db, document, BuildBrowseQuery(document, field, search.text), s_.locale);
    if (next.rows.empty()) {
      next.kind = BrowseOutcome::Kind::NotFound;
    } else {
      next.total = std::to_string(next.rows.size());
      if (!keep_selected.empty())
        for (size_t i = 0; i < next.rows.size(); ++i)
          if (next.rows[i][0] == keep_selected) {
            next.selected = i;
            break;
          }
    }
  } catch (const Error& e) {
    next.kind = BrowseOutcome::Kind::Failed;
    next.rows.clear();
    next.error = e;
  }
  view_.RowsAboutToChange();
  outcome_ = std::move(next);
  view_.Draw(outcome_);
  if (outcome_.kind == BrowseOutcome::Kind::NotFound)
    s_.dialogs.ShowMessage(kNotFoundText, MsgButtons::Ok, MsgIcon::Critical, "Perhatian");
  else if (outcome_.kind == BrowseOutcome::Kind::Failed)
    actions_.ShowError(*outcome_.error);
}

std::string DocumentBrowser::KeyOf(std::optional<size_t> row) const {
  return row && *row < outcome_.rows.size() ? outcome_.rows[*row][0] : std::string();
}

std::string DocumentBrowser::RowToolTip(size_t row) const {
  if (row >= outcome_.rows.size()) return {};
  const DocumentRow& cells = outcome_.rows[row];
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
  Run(search, key);
}

void DocumentBrowser::Cancel(const BrowseSearch& search, std::optional<size_t> selected_row) {
  const std::string key = KeyOf(selected_row);
  try {
    if (!actions_.Cancel(DocumentTypeText(search.document), key)) return;
  } catch (const Error& e) {
    actions_.ShowError(e);
    return;
  }
  Run(search, key);
}

void DocumentBrowser::Communicate() {
  try {
    actions_.Communicate();
  } catch (const Error& e) {
    actions_.ShowError(e);
  }
}

}  // namespace sevrik
