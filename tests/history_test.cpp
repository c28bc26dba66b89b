// What the journal tells the clerk: a document's runs as the history lists them, and the
// documents whose last run failed; entries written by hand.
#include <gtest/gtest.h>

#include "core/forms/history.h"
#include "tests/testutil.h"

namespace sevrik {
namespace {

JournalEntry Entry(const char* action, const char* car, const char* status, const char* reason = "",
                 const char* origin = "window", const char* table = "TBLBC23HDR") {
  JournalEntry e;
  e.action = action, e.car = car, e.table = table, e.origin = origin;
  e.time = std::string("2026-12-01 10:00:") + car;
  if (status) e.ended = true, e.status = status, e.reason = reason;
  return e;
}

TEST(HistoryList, EachRunsActionAndOutcome) {
  const struct {
    JournalEntry run;
    const char* action;
    const char* outcome;
  } cases[] = {
      {Entry("QUE", "01", "0", "SUCCESS"), "Create EDIFACT dari jendela", "Berhasil"},
      {Entry("UNQ", "01", "7", "Translator menolak", "command line"), "Batal EDIFACT dari baris perintah",
       "Gagal (7): Translator menolak"},
      {Entry("QUE", "01", "SVK03", "", ""), "Create EDIFACT", "Gagal (SVK03)"},  // the released format: no origin
      {Entry("QUE", "01", nullptr), "Create EDIFACT dari jendela", "Belum selesai"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RunActionText(c.run), c.action);
    EXPECT_EQ(RunOutcomeText(c.run), c.outcome);
  }
}

// The document's runs newest first, another document's and a communication run left out; none:
// the text that says so.
TEST(HistoryList, TheDocumentsRunsNewestFirst) {
  std::vector<JournalEntry> entries = {Entry("QUE", "01", "9", "gagal"), Entry("QUE", "02", "0"),
                                       Entry("COM", "", "0", "", "window", ""), Entry("UNQ", "01", "0")};
  entries[0].reference = "R1";
  const HistoryList h = BuildHistory(entries, "BC23", "tblbc23hdr", "01");
  EXPECT_EQ(h.caption, "Riwayat dokumen BC23");
  EXPECT_EQ(h.summary, "CAR = 01: 2 proses, terbaru di atas");
  ASSERT_EQ(h.rows.size(), 2u);
  EXPECT_EQ(h.rows[0], (HistoryRow{"2026-12-01 10:00:01", "Batal EDIFACT dari jendela", "Berhasil", ""}));
  EXPECT_EQ(h.rows[1], (HistoryRow{"2026-12-01 10:00:01", "Create EDIFACT dari jendela", "Gagal (9): gagal", "R1"}));
  EXPECT_EQ(HistoryRowTip(h.rows[1]),
            "Waktu: 2026-12-01 10:00:01\r\nProses: Create EDIFACT dari jendela\r\nHasil: Gagal (9): gagal\r\nReferensi: R1");

  const HistoryList none = BuildHistory(entries, "BC25", "TBLBC25HDR", "01");
  EXPECT_TRUE(none.rows.empty());
  EXPECT_EQ(none.summary, "Belum ada proses Create EDIFACT atau Batal EDIFACT untuk dokumen ini.");
}

// The time, the action and the reference never cut, the outcome the room that is left; at 96
// DPI with 6 pixels a character and a margin of 12.
TEST(HistoryList, ColumnsWholeButTheOutcome) {
  HistoryList h;
  h.rows.push_back({"2026-12-01 10:00:01", "Create EDIFACT dari jendela", "Gagal (7): ditolak", "Q20261208000001"});
  const auto six = [](const std::string& text) { return static_cast<int>(text.size()) * 6; };
  const struct {
    int room;
    std::array<int, 4> widths;
  } cases[] = {{500, {126, 174, 193, 102}}, {800, {126, 174, 398, 102}}};
  for (const auto& c : cases) EXPECT_EQ(HistoryColumnWidths(h, 96, c.room, six), c.widths) << c.room;
  EXPECT_EQ(HistoryColumnWidths({}, 96, 0, six), (std::array<int, 4>{113, 153, 193, 80}));  // the table's
}

// A compaction keeps the document's last 20 outcomes: the history lists runs 25 down to 6.
TEST(HistoryList, TheLastTwentyRunsSurviveACompaction) {
  test::TempDir dir;
  const RunJournal journal(dir / "SEVRIK.JNL");
  for (int i = 1; i <= 25; ++i) {
    JournalEntry e;
    e.action = "QUE", e.type = "BC23", e.table = "TBLBC23HDR", e.car = "CAR-A", e.translator = "ranuvel";
    e.origin = "window";
    journal.Begin(e);
    journal.End(e, i % 2 ? "0" : "7", i % 2 ? "SUCCESS" : "ditolak", i % 2 ? "A" + std::to_string(i) : "");
  }
  ASSERT_TRUE(journal.Compact(journal.Read(), 0));
  const HistoryList h = BuildHistory(journal.Entries(), "BC23", "TBLBC23HDR", "CAR-A");
  EXPECT_EQ(h.summary, "CAR = CAR-A: 20 proses, terbaru di atas");
  ASSERT_EQ(h.rows.size(), 20u);
  EXPECT_EQ(h.rows.front()[3], "A25");
  EXPECT_EQ(h.rows[1][2], "Gagal (7): ditolak");
  EXPECT_EQ(h.rows.back()[3], "");  // run 6 failed
  EXPECT_EQ(h.rows[18][3], "A7");
}

// A document is listed when its last Create or Batal EDIFACT of the table ended without
// success, newest failure first.
TEST(FailedList, OnlyDocumentsWhoseLastRunFailed) {
  const std::vector<JournalEntry> entries = {
      Entry("QUE", "01", "7", "ditolak"),                                   // failed, last
      Entry("QUE", "02", "7"), Entry("QUE", "02", "0"),                       // failed, then succeeded
      Entry("QUE", "03", "0"), Entry("UNQ", "03", "SVK03", "tidak ada status"),  // succeeded, then failed
      Entry("QUE", "04", "7"), Entry("QUE", "04", nullptr),                   // failed, then still running
      Entry("QUE", "05", "7", "", "window", "TBLBC25HDR"),                  // another type
      Entry("QUE", "06", "7", "", "window", "tblBC23Hdr"),                  // the table in another case
      Entry("COM", "", "7", "", "window", ""),                              // no document
  };
  std::vector<std::string> listed;
  for (const FailedDocument& d : FailedDocuments(entries, "TBLBC23HDR")) listed.push_back(d.car + " " + d.reason);
  EXPECT_EQ(listed, (std::vector<std::string>{"06 Gagal (7)", "03 Gagal (SVK03): tidak ada status",
                                              "01 Gagal (7): ditolak"}));
  EXPECT_TRUE(FailedDocuments({}, "TBLBC23HDR").empty());
}

}  // namespace
}  // namespace sevrik
