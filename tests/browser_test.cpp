// The document browser's data and actions, without a window, on a real workspace.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "core/forms/browser.h"
#include "core/forms/console_progress.h"
#include "tests/testutil.h"

namespace sevrik {
namespace {

const std::string kCar1 = tools::kDemoBC23Car;
const std::string kCar2 = tools::kDemoBC23Car2;

class Browser : public ::testing::Test {
 protected:
  void SetUp() override {
    sql = ws.OpenSqlite();
    conn = ws.Connect();
  }
  std::vector<DocumentRow> List(size_t document, size_t field, const std::string& text,
                                const LocaleInfo& locale = LocaleInfo::Classic()) {
    const DocumentRows listed = ListDocuments(*conn, document, BuildBrowseQuery(document, field, text), locale);
    EXPECT_EQ(listed.cells_formatted(), 0u);  // a search formats nothing
    std::vector<DocumentRow> rows;
    for (size_t i = 0; i < listed.size(); ++i) rows.push_back(listed.Row(i));
    return rows;
  }
  std::vector<std::string> Keys(const std::vector<DocumentRow>& rows) {
    std::vector<std::string> keys;
    for (const DocumentRow& r : rows) keys.push_back(r[0]);
    return keys;
  }
  test::TestWorkspace ws;
  std::unique_ptr<tools::SqliteFile> sql;
  std::unique_ptr<Database> conn;
};

TEST_F(Browser, EveryCellOfARow) {
  LocaleInfo grouped = LocaleInfo::Classic();
  grouped.decimal_separator = ",";
  grouped.group_separator = ".";
  const auto rows = List(0, 0, "0001", grouped);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], (DocumentRow{kCar1, "01-12-2026", "050100", "GUANGZHOU TEXTILE MACHINERY CO., LTD.", "12.501",
                                  "11.500", "1", "3", "Siap dikirim"}));
}

TEST_F(Browser, EachTypeSearchesAndShowsItsOwnColumns) {
  EXPECT_EQ(Keys(List(0, 0, "")), (std::vector<std::string>{kCar1, kCar2}));  // "%%": every row
  EXPECT_EQ(Keys(List(0, 1, "OSAKA")), std::vector<std::string>{kCar2});
  EXPECT_EQ(List(0, 1, "GARMEN").size(), 0u);  // BC 2.3 has no receiver
  const auto by_receiver = List(1, 1, "GARMEN");
  ASSERT_EQ(by_receiver.size(), 1u);
  EXPECT_EQ(by_receiver[0][0], tools::kDemoBC25Car);
  EXPECT_EQ(by_receiver[0][3], "PT. GARMEN LOKAL SEJAHTERA");
  const auto bc25_by_car = List(1, 0, "000004");
  ASSERT_EQ(bc25_by_car.size(), 1u);
  EXPECT_EQ(bc25_by_car[0][3], "CV. MITRA RETAIL INDONESIA");  // still the receiver
  const auto bc40 = List(2, 1, "daur");  // LIKE ignores the case of ASCII letters
  ASSERT_EQ(bc40.size(), 1u);
  EXPECT_EQ(bc40[0][3], "PT. DAUR ULANG MANDIRI");
  EXPECT_EQ(bc40[0][8], "Draft");
  EXPECT_EQ(BrowseFrameCaption(1), "Browse Data --> BC 2.5");
}

TEST_F(Browser, TheSearchTextIsDataAndTheWildcardsKeepTheirMeaning) {
  sql->Exec("update TBLBC23HDR set Pasoknama = 'O''BRIEN & SONS' where CAR = '" + kCar2 + "'");
  EXPECT_EQ(Keys(List(0, 1, "O'BRIEN")), std::vector<std::string>{kCar2});
  EXPECT_EQ(List(0, 1, "'; drop table TBLBC23HDR; --").size(), 0u);
  EXPECT_EQ(Keys(List(0, 1, "O_BRIEN%SONS")), std::vector<std::string>{kCar2});
  EXPECT_EQ(List(0, 0, "").size(), 2u);
}

TEST_F(Browser, StatusNamesAndEmptyCells) {
  sql->Exec("insert into tblTabel (KDTAB, KDREC, URAIAN) values ('01', '01', 'Nama kedua')");  // the first row wins
  sql->Exec("update TBLBC23HDR set Status = '77', Bruto = null, Kdkpbc = null where CAR = '" + kCar2 + "'");
  sql->Exec("update TBLBC40HDR set Status = null, Netto = 0.5");
  const auto rows = List(0, 0, "");
  EXPECT_EQ(rows[0][8], "Siap dikirim");
  EXPECT_EQ(rows[1][8], "");
  EXPECT_EQ(rows[1][4], "");
  EXPECT_EQ(rows[1][2], "");
  const auto bc40 = List(2, 0, "");
  EXPECT_EQ(bc40[0][8], "");
  EXPECT_EQ(bc40[0][5], "1");  // half away from zero
}

TEST_F(Browser, TheListHoldsEveryRowBeyondASixteenBitCount) {
  sql->Exec("BEGIN");
  sql->Exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40000) "
            "INSERT INTO TBLBC40HDR (CAR, Pasoknama, Status) SELECT printf('X%08d', i), 'P', '02' FROM n");
  sql->Exec("COMMIT");
  const auto rows = List(2, 0, "");
  ASSERT_EQ(rows.size(), 40001u);
  EXPECT_EQ(rows.back()[0], "X00040000");
  EXPECT_EQ(rows.back()[8], "Dalam antrian");
}

TEST_F(Browser, AMissingTableIsAnErrorForTheWindowToShow) {
  sql->Exec("drop table TBLBC40HDR");
  EXPECT_EQ(test::ErrorOf([&] { List(2, 0, ""); }), err::kDatabase);
}

TEST(BrowserCells, SubmissionDateAndWholeNumbers) {
  EXPECT_EQ(SubmissionDate("050100000202" "20100315" "000001"), "15-03-2010");
  EXPECT_EQ(SubmissionDate("0501000002022010"), "--2010");
  EXPECT_EQ(SubmissionDate("05010000020220103"), "-3-2010");
  EXPECT_EQ(SubmissionDate(""), "--");
  LocaleInfo de = LocaleInfo::Classic();
  de.decimal_separator = ",";
  de.group_separator = ".";
  const struct {
    Variant value;
    std::string classic, grouped;
  } cases[] = {
      {Variant(1234567.5), "1234568", "1.234.568"}, {Variant(-2.5), "-3", "-3"},
      {Variant(-0.4), "0", "0"},                      {Variant(int64_t{999}), "999", "999"},
      {Variant(int64_t{-1000}), "-1000", "-1.000"},   {Variant("12,5"), "12,5", "13"},
      {Variant("berat"), "berat", "berat"},           {Variant::Null(), "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatWholeNumber(c.value, LocaleInfo::Classic()), c.classic);
    EXPECT_EQ(FormatWholeNumber(c.value, de), c.grouped);
  }
}

// Rows of the given keys and status codes, the codes "01" and "02" named.
DocumentRows Rows(const std::vector<std::string>& cars, const std::vector<std::string>& codes = {}) {
  std::vector<DocumentRecord> records(cars.size());
  for (size_t i = 0; i < cars.size(); ++i) {
    records[i].car = cars[i];
    records[i].bruto = Variant(int64_t{1000} + static_cast<int64_t>(i));
    if (i < codes.size()) records[i].status = codes[i];
  }
  return DocumentRows(std::move(records), {{"01", "Siap dikirim"}, {"02", "Dalam antrian"}}, LocaleInfo::Classic());
}

TEST(BrowserCells, WidthSamplesOneCellOfEachShape) {
  const DocumentRows rows = Rows({"0501", "0502", "0599", "05010", "ABCD"}, {"01", "01", "02", "", "77"});
  EXPECT_EQ(rows.WidthSamples(0), (std::vector<std::string>{"0501", "05010", "ABCD"}));
  EXPECT_EQ(rows.WidthSamples(8), (std::vector<std::string>{"Siap dikirim", "Dalam antrian", ""}));
  EXPECT_EQ(Rows({}).WidthSamples(0), std::vector<std::string>{});
  EXPECT_EQ(rows.cells_formatted(), 0u);  // measuring formats no row for the list
}

// A page that the list draws formats its own rows once, whatever number of cells it asks for;
// the last pages are kept; a row whose place a row far away took is formatted again (rows
// 49970 to 49999 take the places of rows 50 to 79, rows 286 to 315 those of 30 to 59).
TEST(BrowserCells, APageFormatsItsOwnRowsOnce) {
  std::vector<std::string> cars;
  for (int i = 0; i < 50000; ++i) cars.push_back("050100000202202612" + std::to_string(10000000 + i));
  const DocumentRows rows = Rows(cars);
  const auto draw = [&](size_t top) {  // a page of 30 rows, each cell asked for three times
    for (int pass = 0; pass < 3; ++pass)
      for (size_t r = top; r < top + 30; ++r)
        for (size_t c = 0; c < 9; ++c) rows.Cell(r, c);
  };
  const struct {
    size_t top, formatted;
  } pages[] = {{0, 270}, {30, 540}, {0, 540}, {49970, 810}, {30, 900}, {286, 1170}, {30, 1440}};
  for (const auto& p : pages) {
    draw(p.top);
    EXPECT_EQ(rows.cells_formatted(), p.formatted) << p.top;
  }
  EXPECT_EQ(rows.Row(49999)[0], "05010000020220261210049999");
  EXPECT_EQ(rows.Row(49999)[1], "10-12-2026");
  EXPECT_EQ(rows.Row(2)[4], "1002");
  EXPECT_EQ(test::ErrorOf([&] { rows.Row(50000); }), err::kSubscriptOutOfRange);
}

// A column is as wide as the table draws it, its header, and for the CAR, the date and the
// status its widest cell, each with the list's margin (12 pixels at 96 DPI, 18 at 144).
TEST(BrowserCells, AColumnFitsItsHeaderAndTheCellsNeverCut) {
  const DocumentRows rows = Rows({"0501000002022026120100000112345"}, {"02"});
  const auto px = [](const std::string& text) { return static_cast<int>(text.size()) * 7; };
  const struct {
    size_t column;
    int dpi, width;
  } cases[] = {
      {0, 96, 31 * 7 + 12},  // the key is wider than the 163 pixels of the table
      {1, 96, 10 * 7 + 12},  // "01-12-2026", wider than the table's 1040 twips (69 pixels)
      {1, 144, 104},         // and narrower than its 104 pixels at 144 DPI
      {6, 96, 8 * 7 + 12},   // "Jm. Cont": the header, wider than 740 twips (49 pixels)
      {7, 96, 8 * 7 + 12},   // "Jm. Brg."
      {6, 144, 8 * 7 + 18},
      {3, 144, 344},         // the table's width: "Pemasok" is never measured against its cells
      {8, 96, 13 * 7 + 12},  // "Dalam antrian"
  };
  for (const auto& c : cases) EXPECT_EQ(ColumnWidth(c.column, c.dpi, rows, px), c.width) << c.column << " " << c.dpi;
}

TEST(ConsoleProgressLine, OneLineRewrittenInPlaceAndClearedAtTheEnd) {
  std::ostringstream out;
  ConsoleProgress p(out);
  p.Show();
  p.SetMaximum(400);
  for (long i = 1; i <= 400; ++i) p.SetValue(i);
  p.Hide();
  const std::string text = out.str();
  EXPECT_EQ(text.find('\n'), std::string::npos);
  EXPECT_NE(text.find("\rMembentuk flat file BC23: 4/400 barang (1%)"), std::string::npos);
  EXPECT_NE(text.find("\rMembentuk flat file BC23: 400/400 barang (100%)"), std::string::npos);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 1 + 1 + 101 + 2);  // a redraw a percent, 0 to 100
  const size_t last = std::string("Membentuk flat file BC23: 400/400 barang (100%)").size();
  EXPECT_TRUE(text.ends_with("\r" + std::string(last, ' ') + "\r"));
}

}  // namespace
}  // namespace sevrik

namespace sevrik {
namespace {

// Records what a browser tells its window to draw, and how many boxes had been shown by then.
class RecordingView : public BrowserView {
 public:
  explicit RecordingView(const test::ScriptedDialogs& dialogs) : dialogs_(dialogs) {}
  void RowsAboutToChange() override { ++about_to_change; }
  void Draw(const BrowseOutcome& outcome) override {
    drawn.push_back(outcome);
    boxes_before_draw.push_back(dialogs_.boxes.size());
  }
  void ShowReport(const std::string& caption, const std::string& text) override { reports.push_back(caption + "|" + text); }
  void ShowHistory(const HistoryList& history) override { histories.push_back(history); }
  int about_to_change = 0;
  std::vector<HistoryList> histories;
  std::vector<std::string> reports;
  std::vector<BrowseOutcome> drawn;
  std::vector<size_t> boxes_before_draw;

 private:
  const test::ScriptedDialogs& dialogs_;
};

class BrowserLogic : public ::testing::Test, protected test::WorkspaceSession {
 protected:
  std::vector<std::string> Keys() const {
    std::vector<std::string> keys;
    for (size_t i = 0; i < browser.outcome().rows.size(); ++i) keys.push_back(browser.outcome().rows.Key(i));
    return keys;
  }
  RecordingView view{dialogs};
  DocumentBrowser browser{*session, view};
};

TEST_F(BrowserLogic, ACaptionWithTheVersion) { EXPECT_EQ(BrowserCaption(), "EDI Interface for TPB Ver. 2.0.0"); }

// Listed, not found and failed: the list is drawn before the box, the total of the last
// search that found rows stays.
TEST_F(BrowserLogic, TheOutcomesOfASearch) {
  EXPECT_EQ(browser.outcome().total, "");  // before any search
  browser.Browse({-1, -1, ""});            // no selection in the combos: their first entries
  ASSERT_EQ(view.drawn.size(), 1u);
  const BrowseOutcome& listed = view.drawn.back();
  EXPECT_EQ(listed.kind, BrowseOutcome::Kind::Listed);
  EXPECT_EQ(listed.frame_caption, "Browse Data --> BC 2.3");
  EXPECT_EQ(listed.total, "2");
  EXPECT_FALSE(listed.selected);
  EXPECT_EQ(Keys(), (std::vector<std::string>{kCar1, kCar2}));
  EXPECT_TRUE(dialogs.boxes.empty());

  browser.Browse({1, 1, "NO SUCH NAME"});
  const BrowseOutcome& not_found = view.drawn.back();
  EXPECT_EQ(not_found.kind, BrowseOutcome::Kind::NotFound);
  EXPECT_EQ(not_found.frame_caption, "Browse Data --> BC 2.5");
  EXPECT_TRUE(not_found.rows.empty());
  EXPECT_EQ(not_found.total, "2");
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(view.boxes_before_draw.back(), 0u);
  EXPECT_EQ(dialogs.boxes[0].text, "Data yang dicari tidak ditemukan.");
  EXPECT_EQ(dialogs.boxes[0].title, "Perhatian");
  EXPECT_EQ(dialogs.boxes[0].buttons, MsgButtons::Ok);
  EXPECT_EQ(dialogs.boxes[0].icon, MsgIcon::Critical);

  sql->Exec("drop table TBLBC40HDR");
  browser.Browse({2, 0, ""});
  const BrowseOutcome& failed = view.drawn.back();
  EXPECT_EQ(failed.kind, BrowseOutcome::Kind::Failed);
  EXPECT_TRUE(failed.rows.empty());
  EXPECT_EQ(failed.total, "2");
  ASSERT_TRUE(failed.error);
  EXPECT_EQ(failed.error->number(), err::kDatabase);
  ASSERT_EQ(dialogs.boxes.size(), 2u);
  EXPECT_EQ(view.boxes_before_draw.back(), 1u);
  EXPECT_EQ(dialogs.boxes[1].text, "Run-time error '-2147467259':\r\n\r\nno such table: TBLBC40HDR");
  EXPECT_EQ(dialogs.boxes[1].icon, MsgIcon::Exclamation);

  browser.Browse({0, 1, "OSAKA"});
  EXPECT_EQ(Keys(), std::vector<std::string>{kCar2});
  EXPECT_EQ(browser.outcome().total, "1");
  EXPECT_EQ(view.about_to_change, 4);  // the rows are let go before each change
}

TEST_F(BrowserLogic, TheSelectedDocumentsKey) {
  browser.Browse({0, 0, ""});
  EXPECT_EQ(browser.KeyOf(std::nullopt), "");
  EXPECT_EQ(browser.KeyOf(1), kCar2);
  EXPECT_EQ(browser.KeyOf(2), "");  // not listed
  browser.Browse({0, 0, "NO SUCH CAR"});
  EXPECT_EQ(browser.KeyOf(0), "");
}

// An action that ran browses the same search again and keeps its document selected; one that
// did not run (no document, No, no builder) leaves the list as it is.
TEST_F(BrowserLogic, ActionsBrowseAgainAndKeepTheirDocument) {
  const BrowseSearch search{0, 0, ""};
  browser.Browse(search);
  browser.Create(search, std::nullopt);
  EXPECT_TRUE(dialogs.boxes.empty());
  dialogs.answers = {MsgAnswer::No};
  browser.Create(search, 1);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].text, "Akan membentuk EDIFACT dokumen BC23 ini ?\r\nCAR = " + kCar2);
  EXPECT_EQ(view.drawn.size(), 1u);

  dialogs.boxes.clear();
  dialogs.answers = {MsgAnswer::Yes};
  browser.Cancel(search, 1);  // never queued: the stand-in refuses it, but the run took place
  ASSERT_EQ(dialogs.boxes.size(), 2u);
  EXPECT_EQ(dialogs.boxes[0].text, "Akan membatalkan EDIFACT dokumen BC23 ini ?\r\nCAR = " + kCar2);
  ASSERT_EQ(view.drawn.size(), 2u);
  EXPECT_EQ(view.drawn.back().selected, std::optional<size_t>(1));
  EXPECT_EQ(browser.KeyOf(view.drawn.back().selected), kCar2);

  dialogs.boxes.clear();
  dialogs.answers = {MsgAnswer::Yes};
  browser.Create(search, 0);
  ASSERT_EQ(dialogs.boxes.size(), 2u);
  EXPECT_EQ(dialogs.boxes[1].text, "CAR = " + kCar1 + " berhasil!");
  ASSERT_EQ(view.drawn.size(), 3u);
  EXPECT_EQ(view.drawn.back().selected, std::optional<size_t>(0));
  EXPECT_EQ(browser.outcome().rows.Cell(0, 8), "Dalam antrian");
  EXPECT_TRUE(State(kCar1).ends_with("/02"));

  // The type shown in cbDok decides, as it stands when the button is clicked.
  dialogs.boxes.clear();
  browser.Create({2, 0, ""}, 0);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].text, "Dokumen BC40 tidak dapat dibentuk EDIFACT.");
  EXPECT_EQ(view.drawn.size(), 3u);

  dialogs.boxes.clear();
  browser.Communicate();
  EXPECT_NE(test::ReadFile(ws.package + "/calls.log").find("TPBCOM"), std::string::npos);
  EXPECT_EQ(view.drawn.size(), 3u);
}

// A row's tool tip: every cell whole, then the document's last run from the run journal, so
// that a failure stays told after its box is gone.
TEST_F(BrowserLogic, ARowsToolTipTellsItsCellsAndTheDocumentsLastRun) {
  const BrowseSearch search{0, 0, ""};
  browser.Browse(search);
  const std::string before = browser.RowToolTip(0);
  EXPECT_EQ(before.rfind("No. Pengajuan: " + kCar1 + "\r\nTg. Aju: 01-12-2026\r\nKPBC: ", 0), 0u) << before;
  EXPECT_NE(before.find("\r\nPemasok: GUANGZHOU TEXTILE MACHINERY CO., LTD.\r\n"), std::string::npos) << before;
  EXPECT_NE(before.find("\r\nStatus: Siap dikirim"), std::string::npos) << before;
  EXPECT_EQ(before.find("Proses terakhir"), std::string::npos) << before;
  EXPECT_EQ(browser.RowToolTip(7), "");  // not listed

  test::WriteFile(ws.package + "/standin.ctl", "result=7\n");
  dialogs.answers = {MsgAnswer::Yes};
  browser.Create(search, 0);
  const std::string failed = browser.RowToolTip(0);
  EXPECT_NE(failed.find("\r\nProses terakhir: Create EDIFACT BC23, "), std::string::npos) << failed;
  EXPECT_NE(failed.find(": gagal ("), std::string::npos) << failed;
  EXPECT_EQ(failed.find("Referensi"), std::string::npos) << failed;
  const std::string other = browser.RowToolTip(1);  // another document
  EXPECT_EQ(other.rfind("No. Pengajuan: " + kCar2 + "\r\n", 0), 0u) << other;
  EXPECT_EQ(other.find("Proses terakhir"), std::string::npos) << other;

  std::remove((ws.package + "/standin.ctl").c_str());
  dialogs.answers = {MsgAnswer::Yes};
  browser.Create(search, 0);
  const std::string queued = browser.RowToolTip(0);
  EXPECT_NE(queued.find("Status: Dalam antrian\r\nProses terakhir: Create EDIFACT BC23, "), std::string::npos) << queued;
  EXPECT_NE(queued.find(": berhasil\r\nReferensi: "), std::string::npos) << queued;
  EXPECT_EQ(queued.find("gagal"), std::string::npos) << queued;

  dialogs.answers = {MsgAnswer::Yes};
  browser.Cancel(search, 0);
  EXPECT_NE(browser.RowToolTip(0).find("Proses terakhir: Batal EDIFACT BC23, "), std::string::npos);
}

}  // namespace
}  // namespace sevrik

namespace sevrik {
namespace {

// Each column sorts its own way: numbers as numbers, the date as a date, text without regard
// to case, empty cells first; the second way round is the reverse.
TEST(DocumentSort, EachColumnByItsKind) {
  const auto rows = [] {
    std::vector<DocumentRecord> records = {
        {"AAAAAAAAAAAA20260310000001", "050100", "beta", Variant(1000), Variant(5), "10", "", "01"},
        {"aaaaaaaaaaaa20251231000002", "040300", "Zeta", Variant(9.5), Variant::Null(), "9", "3", "02"},
        {"BBBBBBBBBBBB20260101000003", "", "gamma", Variant("200"), Variant(7), "", "12", "99"},
    };
    return DocumentRows(std::move(records), {{"01", "Siap dikirim"}, {"02", "Dalam antrian"}}, LocaleInfo::Classic());
  };
  // The rows' last digit, in the order sorted ascending.
  const char* ascending[] = {"213", "231", "321", "132", "231", "213", "321", "123", "321"};
  for (size_t column = 0; column < 9; ++column) {
    SCOPED_TRACE(column);
    for (const bool up : {true, false}) {
      DocumentRows r = rows();
      const std::string before = r.Cell(0, column);  // a kept row must not survive the sort
      const std::vector<size_t> moved = r.Sort(column, up);
      std::string order;
      for (size_t i = 0; i < r.size(); ++i) order += r.Key(i).back();
      std::string expected = ascending[column];
      if (!up) std::reverse(expected.begin(), expected.end());
      EXPECT_EQ(order, expected);
      EXPECT_EQ(r.Key(moved[0]).back(), '1');
      EXPECT_EQ(r.Cell(moved[0], column), before);
    }
  }
}

// Periksa dokumen: the selected row's document checked, its report shown; no row, nothing;
// a document gone since the search, its error in a box.
TEST_F(BrowserLogic, TheCheckOfTheSelectedDocument) {
  browser.Browse({0, 0, ""});
  browser.Check({0, 0, ""}, std::nullopt);
  EXPECT_TRUE(view.reports.empty());
  sql->Exec("update TBLBC23DTL set merk = '1234567890123456' where CAR = '" + kCar2 + "' and Serial = 1");
  browser.Check({0, 0, ""}, 1);
  EXPECT_EQ(view.reports, std::vector<std::string>{
                              "Periksa dokumen BC23|Pemeriksaan dokumen BC23 CAR = " + kCar2 +
                              "\r\nMenghalangi pengiriman (1):\r\nDDEC0201 TBLBC23DTL.merk, barang ke-1: 16 karakter, "
                              "paling banyak 15 (\"1234567890123456\")\r\nDokumen tidak dapat dikirim.\r\n"});
  sql->Exec("delete from TBLBC23HDR where CAR = '" + kCar1 + "'");
  browser.Check({0, 0, ""}, 0);
  EXPECT_EQ(view.reports.size(), 1u);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].text, "Run-time error '3021':\r\n\r\nDokumen BC23 dengan CAR = " + kCar1 +
                                       " tidak ditemukan (TBLBC23HDR).");
}

// A click on a header sorts, a second click reverses; the selected document stays selected
// and the order survives the list browsed again.
TEST_F(BrowserLogic, SortingKeepsTheSelectedDocument) {
  browser.Browse({0, 0, ""});
  ASSERT_EQ(Keys(), (std::vector<std::string>{kCar1, kCar2}));
  const struct {
    size_t column;
    std::optional<size_t> selected;
    std::vector<std::string> keys;
    std::optional<size_t> now_selected;
    bool ascending;
  } steps[] = {
      {0, 0, {kCar1, kCar2}, 0, true},
      {0, 0, {kCar2, kCar1}, 1, false},
      {4, 1, {kCar2, kCar1}, 1, true},  // Bruto 830.25 before 12,500.5
      {4, std::nullopt, {kCar1, kCar2}, std::nullopt, false},
  };
  for (const auto& s : steps) {
    browser.SortBy(s.column, s.selected);
    EXPECT_EQ(Keys(), s.keys);
    EXPECT_EQ(view.drawn.back().selected, s.now_selected);
    EXPECT_EQ(view.drawn.back().sort_column, s.column);
    EXPECT_EQ(view.drawn.back().ascending, s.ascending);
  }
  browser.Browse({0, 0, ""});
  EXPECT_EQ(Keys(), (std::vector<std::string>{kCar1, kCar2}));
  EXPECT_EQ(browser.outcome().sort_column, 4u);
}

// Hanya yang gagal: the documents whose last run failed, newest failure first, sorted and acted
// on as a search's rows; a document that then succeeds leaves the list; Browse returns to the
// search.
TEST_F(BrowserLogic, TheDocumentsWhoseLastRunFailed) {
  const BrowseSearch search{0, 0, "NO SUCH CAR"};  // the text does not apply to the failed list
  browser.Browse({0, 0, ""});
  dialogs.boxes.clear();
  browser.ListFailed(search);
  EXPECT_EQ(browser.outcome().kind, BrowseOutcome::Kind::NotFound);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].text, "Tidak ada dokumen BC 2.3 yang proses terakhirnya gagal.");
  EXPECT_EQ(dialogs.boxes[0].icon, MsgIcon::Information);

  test::WriteFile(ws.package + "/standin.ctl", "result=7\n");
  for (const size_t row : {0, 1}) {
    browser.Browse({0, 0, ""});
    dialogs.answers = {MsgAnswer::Yes};
    browser.Create({0, 0, ""}, row);
  }
  std::remove((ws.package + "/standin.ctl").c_str());
  browser.ListFailed(search);
  EXPECT_TRUE(browser.outcome().failed_only);
  EXPECT_EQ(browser.outcome().frame_caption, "Browse Data --> BC 2.3, hanya yang gagal");
  EXPECT_EQ(browser.outcome().total, "2");
  EXPECT_EQ(Keys(), (std::vector<std::string>{kCar2, kCar1}));
  EXPECT_NE(browser.RowToolTip(0).find(": gagal ("), std::string::npos) << browser.RowToolTip(0);
  browser.SortBy(0, 1);
  EXPECT_EQ(Keys(), (std::vector<std::string>{kCar1, kCar2}));

  dialogs.boxes.clear();
  dialogs.answers = {MsgAnswer::Yes};
  browser.Create(search, 0);  // kCar1 succeeds now
  ASSERT_EQ(dialogs.boxes.size(), 2u);
  EXPECT_EQ(dialogs.boxes[1].text, "CAR = " + kCar1 + " berhasil!");
  EXPECT_TRUE(browser.outcome().failed_only);
  EXPECT_EQ(Keys(), std::vector<std::string>{kCar2});
  sql->Exec("delete from TBLBC23HDR where CAR = '" + kCar2 + "'");  // a document gone is not listed
  browser.ListFailed(search);
  EXPECT_EQ(browser.outcome().kind, BrowseOutcome::Kind::NotFound);

  browser.Browse({0, 0, ""});
  EXPECT_FALSE(browser.outcome().failed_only);
  EXPECT_EQ(browser.outcome().frame_caption, "Browse Data --> BC 2.3");
  EXPECT_EQ(Keys(), std::vector<std::string>{kCar1});
}

// A Create that starts no translator stands in the history too: a BC 2.3 declaration refused
// for its data (listed as failed, with the reason) and a BC 2.5 file written.
TEST_F(BrowserLogic, ARunWithoutATranslatorIsInTheHistory) {
  session->origin = "window";
  sql->Exec("update TBLBC23DTL set BrgUrai = '" + std::string(96, 'U') + "' where CAR = '" + kCar1 + "'");
  browser.Browse({0, 0, ""});
  dialogs.answers = {MsgAnswer::Yes};
  browser.Create({0, 0, ""}, 0);
  browser.ListFailed({0, 0, ""});
  EXPECT_EQ(Keys(), std::vector<std::string>{kCar1});
  EXPECT_NE(browser.RowToolTip(0).find(": gagal (Flat file BC23 tidak lengkap"), std::string::npos) << browser.RowToolTip(0);
  browser.History({0, 0, ""}, 0);
  ASSERT_EQ(view.histories.size(), 1u);
  ASSERT_EQ(view.histories[0].rows.size(), 1u);
  EXPECT_EQ(view.histories[0].rows[0][2].substr(0, 13), "Gagal (SVK01)");

  browser.Browse({1, 0, ""});
  dialogs.answers = {MsgAnswer::Yes};
  browser.Create({1, 0, ""}, 0);
  browser.History({1, 0, ""}, 0);
  ASSERT_EQ(view.histories.size(), 2u);
  ASSERT_EQ(view.histories[1].rows.size(), 1u);
  EXPECT_EQ(view.histories[1].rows[0][1], "Create EDIFACT dari jendela");
  EXPECT_EQ(view.histories[1].rows[0][2], "Berhasil");
}

// Riwayat dokumen: the selected document's runs, newest first; none yet, the text that says so;
// no row, nothing.
TEST_F(BrowserLogic, TheHistoryOfTheSelectedDocument) {
  session->origin = "window";  // as "list" starts the browser
  browser.Browse({0, 0, ""});
  browser.History({0, 0, ""}, std::nullopt);
  EXPECT_TRUE(view.histories.empty());
  browser.History({0, 0, ""}, 0);
  ASSERT_EQ(view.histories.size(), 1u);
  EXPECT_TRUE(view.histories[0].rows.empty());
  EXPECT_EQ(view.histories[0].summary, "Belum ada proses Create EDIFACT atau Batal EDIFACT untuk dokumen ini.");

  test::WriteFile(ws.package + "/standin.ctl", "result=7\n");
  dialogs.answers = {MsgAnswer::Yes};
  browser.Create({0, 0, ""}, 0);
  std::remove((ws.package + "/standin.ctl").c_str());
  dialogs.answers = {MsgAnswer::Yes};
  browser.Create({0, 0, ""}, 0);
  browser.History({0, 0, ""}, 0);
  ASSERT_EQ(view.histories.size(), 2u);
  const HistoryList& h = view.histories[1];
  EXPECT_EQ(h.caption, "Riwayat dokumen BC23");
  EXPECT_EQ(h.summary, "CAR = " + kCar1 + ": 2 proses, terbaru di atas");
  ASSERT_EQ(h.rows.size(), 2u);
  EXPECT_EQ(h.rows[0][1], "Create EDIFACT dari jendela");
  EXPECT_EQ(h.rows[0][2], "Berhasil");
  EXPECT_FALSE(h.rows[0][3].empty());
  EXPECT_EQ(h.rows[1][2].rfind("Gagal (", 0), 0u) << h.rows[1][2];
  EXPECT_EQ(dialogs.boxes.size(), 4u);  // two confirmations, two outcomes: the history shows no box
}

}  // namespace
}  // namespace sevrik
