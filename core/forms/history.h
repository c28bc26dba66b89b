// What the run journal tells the clerk about documents: one document's runs as the history
// window lists them, and the documents of a type whose last run failed. Texts only; the
// windows draw them.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "core/runs/journal.h"

namespace sevrik {

// The history list's columns: header and width in twips.
struct HistoryColumn {
  const char* header;
  int width_twips;
};
inline constexpr std::array<HistoryColumn, 4> kHistoryColumns = {{{"Waktu", 1700},
                                                                  {"Proses", 2300},
                                                                  {"Hasil", 2900},
                                                                  {"Referensi", 1200}}};
using HistoryRow = std::array<std::string, 4>;

// The text when the journal holds no run of the document.
inline constexpr const char* kNoHistoryText = "Belum ada proses Create EDIFACT atau Batal EDIFACT untuk dokumen ini.";

// One document's history as frmHistory shows it: its caption, the line above the list and the
// runs, newest first.
struct HistoryList {
  std::string caption;  // "Riwayat dokumen BC23"
  std::string summary;  // "CAR = <key>: N proses, terbaru di atas", or kNoHistoryText
  std::vector<HistoryRow> rows;
};

// "Create EDIFACT" or "Batal EDIFACT" (the action's code for any other), then " dari jendela" or
// " dari baris perintah" when the journal knows where the run was started.
std::string RunActionText(const JournalEntry& entry);
// "Berhasil"; "Gagal (<code>): <reason>" ("Gagal (<code>)" without a reason); "Belum selesai"
// for a run without its outcome.
std::string RunOutcomeText(const JournalEntry& entry);

// The widths of the list's columns in pixels at the DPI, for a list whose rows are `room_px`
// wide: the time, the action and the reference never cut (as wide as their header and widest
// cell, with the list's margin beside the text, and at least the table's width), the outcome
// the room that is left, at least its table's width (a longer reason is whole in the row's
// tool tip). `text_px` measures a text in the list's font as the view draws it.
std::array<int, 4> HistoryColumnWidths(const HistoryList& history, int dpi, int room_px,
                                       const std::function<int(const std::string&)>& text_px);

// A run's tool tip in the list: each column's header and whole text, one a line (CR LF).
std::string HistoryRowTip(const HistoryRow& row);

// The runs of the document (its header table, without regard to case, and its CAR) among the
// journal's entries; `token` is its type ("BC23") for the caption.
HistoryList BuildHistory(const std::vector<JournalEntry>& entries, const std::string& token, const std::string& table,
                         const std::string& car);

// A document whose last run failed.
struct FailedDocument {
  std::string car;
  std::string time;    // when that run began
  std::string reason;  // RunOutcomeText of that run
};
// The documents of the header table (without regard to case) whose last Create or Batal
// EDIFACT ended without success, newest failure first. A document whose last run succeeded, or
// has not ended yet, is not one.
std::vector<FailedDocument> FailedDocuments(const std::vector<JournalEntry>& entries, const std::string& table);

}  // namespace sevrik
