#include "core/forms/history.h"

#include <algorithm>
#include <map>

#include "base/text.h"
#include "core/forms/form_layout.h"
#include "core/forms/forms.h"

namespace sevrik {
namespace {

bool IsDocumentAction(const JournalEntry& e) { return e.action == "QUE" || e.action == "UNQ"; }

}  // namespace

std::string RunActionText(const JournalEntry& e) {
  std::string text = e.action == "QUE" ? "Create EDIFACT" : e.action == "UNQ" ? "Batal EDIFACT" : e.action;
  if (e.origin == "window") text += " dari jendela";
  else if (e.origin == "command line") text += " dari baris perintah";
  return text;
}

std::string RunOutcomeText(const JournalEntry& e) {
  if (!e.ended) return "Belum selesai";
  if (e.status == "0") return "Berhasil";
  return "Gagal (" + e.status + ")" + (e.reason.empty() ? std::string() : ": " + e.reason);
}

std::array<int, 4> HistoryColumnWidths(const HistoryList& history, int dpi, int room_px,
                                       const std::function<int(const std::string&)>& text_px) {
  constexpr size_t kOutcome = 2;
  const int margin = forms::Px(forms::kCellMarginTwips, dpi);
  std::array<int, 4> widths{};
  int taken = 0;
  for (size_t c = 0; c < widths.size(); ++c) {
    widths[c] = std::max(forms::Px(kHistoryColumns[c].width_twips, dpi), text_px(kHistoryColumns[c].header) + margin);
    if (c == kOutcome) continue;
    for (const HistoryRow& row : history.rows) widths[c] = std::max(widths[c], text_px(row[c]) + margin);
    taken += widths[c];
  }
  widths[kOutcome] = std::max(widths[kOutcome], room_px - taken);
  return widths;
}

std::string HistoryRowTip(const HistoryRow& row) {
  std::string tip;
  for (size_t i = 0; i < row.size(); ++i)
    tip += (i ? "\r\n" : "") + std::string(kHistoryColumns[i].header) + ": " + row[i];
  return tip;
}

HistoryList BuildHistory(const std::vector<JournalEntry>& entries, const std::string& token, const std::string& table,
                         const std::string& car) {
  HistoryList list;
  list.caption = std::string(forms::kFrmHistory.caption) + " " + token;
  const std::vector<JournalEntry> runs = DocumentHistory(entries, table, car);
  for (auto e = runs.rbegin(); e != runs.rend(); ++e)
    list.rows.push_back({e->time, RunActionText(*e), RunOutcomeText(*e), e->reference});
  list.summary = list.rows.empty() ? kNoHistoryText
                                   : "CAR = " + car + ": " + std::to_string(list.rows.size()) +
                                         " proses, terbaru di atas";
  return list;
}

std::vector<FailedDocument> FailedDocuments(const std::vector<JournalEntry>& entries, const std::string& table) {
  const std::string wanted = AsciiLower(table);
  std::map<std::string, size_t> last;  // by CAR: the index of its last run
  for (size_t i = 0; i < entries.size(); ++i)
    if (IsDocumentAction(entries[i]) && !entries[i].car.empty() && AsciiLower(entries[i].table) == wanted)
      last[entries[i].car] = i;
  std::vector<size_t> failed;
  for (const auto& [car, i] : last)
    if (entries[i].ended && entries[i].status != "0") failed.push_back(i);
  std::sort(failed.rbegin(), failed.rend());
  std::vector<FailedDocument> documents;
  for (const size_t i : failed) documents.push_back({entries[i].car, entries[i].time, RunOutcomeText(entries[i])});
  return documents;
}

}  // namespace sevrik
