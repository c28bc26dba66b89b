// The check before sending ("CHK"), run through Main over the demo documents with faults put
// in: the exact report lines, the exit status, and that the check writes and changes nothing.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/flat/flat_check.h"
#include "core/forms/actions.h"
#include "core/lookups/lookups.h"
#include "core/startup.h"
#include "db/connect.h"
#include "tests/testutil.h"
#include "tools/workspace.h"

namespace sevrik {
namespace {

const std::string k23 = tools::kDemoBC23Car;
const std::string k25 = tools::kDemoBC25Car;
const std::string kA96(96, 'A');
const std::string kA30 = std::string(30, 'A') + "...";

struct Case {
  const char* name;
  const char* type;
  std::vector<std::string> faults;    // statements that put the faults in
  std::vector<std::string> expected;  // the lines after the heading
  int status;
};

// A demo workspace whose Main runs with its lines collected.
struct Check {
  // Runs Main with `args` and returns the lines it wrote.
  std::vector<std::string> Run(const std::string& args, int* status, bool in_box = false) {
    std::vector<std::string> lines;
    MainEnvironment env{ws.program, dialogs, ConnectDatabase, {}, nullptr, {}, {}};
    env.report_in_box = in_box;
    env.output = [&](const std::string& line) { lines.push_back(line); };
    *status = RunMain(args, env);
    return lines;
  }
  std::string Statuses() {
    return db->QueryText("select group_concat(Status) from (select Status from TBLBC23HDR union all "
                         "select Status from TBLBC25HDR)");
  }
  test::TestWorkspace ws;
  std::unique_ptr<tools::SqliteFile> db = ws.OpenSqlite();
  test::ScriptedDialogs dialogs;
};

TEST(CheckCommand, ListsEveryProblemAndWritesNothing) {
  const std::string blocking = "Menghalangi pengiriman (";
  const Case cases[] = {
      {"clean BC 2.3", "BC23", {}, {"Tidak ada masalah.", "Dokumen dapat dikirim."}, 0},
      {"clean BC 2.5", "BC25", {}, {"Tidak ada masalah.", "Dokumen dapat dikirim."}, 0},
      {"BC 2.3: one too long",
       "BC23",
       {"update TBLBC23DTL set BrgUrai = '" + kA96 + "' where Serial = 2"},
       {blocking + "1):", "DDEC0201 TBLBC23DTL.BrgUrai, barang ke-2: 96 karakter, paling banyak 95 (\"" + kA30 + "\")",
        "Dokumen tidak dapat dikirim."},
       1},
      {"BC 2.3: several of each kind, in the order of the file",
       "BC23",
       {"update TBLBC23DTL set BrgUrai = '" + kA96 + "', merk = '1234567890123456' where Serial = 2",
        "update TBLBC23DTL set Dcif = 12345678901234567, Jmlsat = 'sepuluh' where Serial = 1",
        "update TBLBC23HDR set Bruto = 'abc', angkutno = null, moda = '1'",
        "update TBLBC23TRF set TrpBm = 123456789 where SeriTrp = 3"},
       {blocking + "7):", "HDEC0501 TBLBC23HDR.Bruto: \"abc\" bukan angka, harus angka",
        "HDEC0801 TBLBC23HDR.angkutno: kosong (null), harus diisi, paling banyak 10 karakter",
        "DDEC0301 TBLBC23DTL.Jmlsat, barang ke-1: \"sepuluh\" bukan angka, harus angka",
        "DDEC0501 TBLBC23DTL.Dcif, barang ke-1: 1.23456789012346E+16 terlalu besar, paling banyak 16 digit di depan koma",
        "DDEC0201 TBLBC23DTL.BrgUrai, barang ke-2: 96 karakter, paling banyak 95 (\"" + kA30 + "\")",
        "DDEC0201 TBLBC23DTL.merk, barang ke-2: 16 karakter, paling banyak 15 (\"1234567890123456\")",
        "DDEC0701 TBLBC23TRF.TrpBm, barang ke-3: 123456789 terlalu besar, paling banyak 8 digit di depan koma",
        "Dokumen tidak dapat dikirim."},
       1},
      {"BC 2.3: tables without rows are only logged",
       "BC23",
       {"delete from TBLBC23DOK", "delete from TBLBC23FAS where Serial = 2"},
       {"Hanya dicatat di log (2):", "HDEC0901 TBLBC23DOK: tidak ada baris",
        "DDEC0701 TBLBC23FAS, barang ke-2: tidak ada baris", "Dokumen dapat dikirim."},
       0},
      {"BC 2.5: one too long",
       "BC25",
       {"update TBLBC25DTL set BrgUrai = '" + kA96 + "' where Serial = 2"},
       {blocking + "1):", "DDEC0201 TBLBC25DTL.BrgUrai, barang ke-2: 96 karakter, paling banyak 95 (\"" + kA30 + "\")",
        "Dokumen tidak dapat dikirim."},
       1},
      {"BC 2.5: several of each kind, the missing rows blocking",
       "BC25",
       {"update TBLBC25HDR set Netto = 'x', usahaID = null, hargaRp = 1234567890123456789",
        "update TBLBC25DTL set merk = '1234567890123456', tipe = '1234567890123456' where Serial = 1",
        "delete from TBLBC25TRF where NoHS = (select nohs from TBLBC25DTL where Serial = 2)",
        "delete from TBLBC25PGT"},
       {blocking + "7):", "HDEC0501 TBLBC25HDR.Netto: \"x\" bukan angka, harus angka",
        "HDEC1001 TBLBC25HDR.usahaID: kosong (null), harus diisi, paling banyak 1 karakter",
        "HDEC1101 TBLBC25HDR.hargaRp: 1.23456789012346E+18 terlalu besar, paling banyak 18 digit",
        "DDEC0201 TBLBC25DTL.merk, barang ke-1: 16 karakter, paling banyak 15 (\"1234567890123456\")",
        "DDEC0201 TBLBC25DTL.tipe, barang ke-1: 16 karakter, paling banyak 15 (\"1234567890123456\")",
        "DDEC0701 TBLBC25TRF, barang ke-2: tidak ada baris, paling sedikit satu",
        "SDEC0201 TBLBC25PGT: tidak ada baris, paling sedikit satu", "Dokumen tidak dapat dikirim."},
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Check w;
    for (const std::string& sql : c.faults) w.db->Exec(sql);
    const std::string statuses = w.Statuses();
    const std::string car = std::string(c.type) == "BC23" ? k23 : k25;
    int status = -1;
    std::vector<std::string> expected{"Pemeriksaan dokumen " + std::string(c.type) + " CAR = " + car};
    expected.insert(expected.end(), c.expected.begin(), c.expected.end());
    EXPECT_EQ(w.Run("CHK " + std::string(c.type) + " " + car, &status), expected);
    EXPECT_EQ(status, c.status);
    EXPECT_TRUE(w.dialogs.boxes.empty());
    EXPECT_FALSE(test::Exists(w.ws.package + "/ipdata/BC23.FLT"));
    EXPECT_FALSE(test::Exists(w.ws.package + "/ipdata/BC25.FLT"));
    EXPECT_TRUE(w.ws.HasRunLog());
    EXPECT_EQ(w.ws.RunLog(), "");
    EXPECT_EQ(w.Statuses(), statuses);
  }
}

TEST(CheckCommand, AMissingDocumentIsError3021AndATypeWithoutBuilderError5) {
  Check w;
  const struct {
    const char* args;
    const char* text;
  } cases[] = {
      {"CHK BC25 TIDAK-ADA",
       "Run-time error '3021':\r\n\r\nDokumen BC25 dengan CAR = TIDAK-ADA tidak ditemukan (TBLBC25HDR)."},
      {"CHK BC40 X", "Run-time error '5':\r\n\r\nDokumen BC40 tidak dapat diperiksa: jenis dokumen ini tidak dibentuk EDIFACT."},
      {"CHK BC23", "Run-time error '9':\r\n\r\nSubscript out of range"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    w.dialogs.boxes.clear();
    int status = -1;
    EXPECT_TRUE(w.Run(c.args, &status).empty());
    EXPECT_EQ(status, 1);
    ASSERT_EQ(w.dialogs.boxes.size(), 1u);
    EXPECT_EQ(w.dialogs.boxes[0].text, c.text);
  }
}

// Where message boxes are windows the report is shown in a box too: its first twelve lines,
// how many more, the verdict; the icon tells whether the document can be sent.
TEST(CheckCommand, OnADisplayTheReportIsABoxToo) {
  Check w;
  w.db->Exec("update TBLBC23DTL set BrgUrai = '" + kA96 + "', merk = '" + kA96 + "', tipe = '" + kA96 +
             "', spflain = '" + kA96 + "', kdbrg = '" + kA96 + "'");
  int status = -1;
  EXPECT_EQ(w.Run("CHK BC23 " + k23, &status, true).size(), 18u);  // 15 problems, heading, section, verdict
  EXPECT_EQ(status, 1);
  ASSERT_EQ(w.dialogs.boxes.size(), 1u);
  const std::string text = w.dialogs.boxes[0].text;
  EXPECT_TRUE(text.starts_with("Pemeriksaan dokumen BC23 CAR = " + k23 + "\r\nMenghalangi pengiriman (15):\r\n"));
  EXPECT_TRUE(text.ends_with("\r\ndan 5 baris lainnya\r\nDokumen tidak dapat dikirim.")) << text;
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 13);
  EXPECT_EQ(w.dialogs.boxes[0].icon, MsgIcon::Exclamation);
  EXPECT_EQ(w.dialogs.boxes[0].title, "Perhatian");

  Check clean;
  EXPECT_EQ(clean.Run("CHK BC25 " + k25, &status, true).size(), 3u);
  EXPECT_EQ(status, 0);
  ASSERT_EQ(clean.dialogs.boxes.size(), 1u);
  EXPECT_EQ(clean.dialogs.boxes[0].text,
            "Pemeriksaan dokumen BC25 CAR = " + k25 + "\r\nTidak ada masalah.\r\nDokumen dapat dikirim.");
  EXPECT_EQ(clean.dialogs.boxes[0].icon, MsgIcon::Information);
}

TEST(CheckCommand, CreateEdifactNamesEveryProblemOfTheData) {
  const std::string long15 = "'1234567890123456'";
  const struct {
    const char* type;
    std::string car;
    std::vector<std::string> faults;
    std::string reason;
  } cases[] = {
      {"BC 2.3",
       k23,
       {"update TBLBC23HDR set Bruto = 'abc'", "update TBLBC23DTL set merk = " + long15 + " where Serial = 3"},
       "Dokumen tidak dikirim ke translator, datanya bermasalah:\r\n"
       "HDEC0501 TBLBC23HDR.Bruto: \"abc\" bukan angka, harus angka\r\n"
       "DDEC0201 TBLBC23DTL.merk, barang ke-3: 16 karakter, paling banyak 15 (\"1234567890123456\")"},
      {"BC 2.5",
       k25,
       {"update TBLBC25DTL set merk = " + long15 + ", tipe = " + long15 + ", spflain = " + long15 + ", kdbrg = " + long15,
        "update TBLBC25HDR set Netto = 'x', Bruto = 'y', usahaID = null", "delete from TBLBC25PGT"},
       "Flat file BC25 tidak dibentuk, datanya bermasalah:\r\n"
       "HDEC0501 TBLBC25HDR.Bruto: \"y\" bukan angka, harus angka\r\n"
       "HDEC0501 TBLBC25HDR.Netto: \"x\" bukan angka, harus angka\r\n"
       "HDEC1001 TBLBC25HDR.usahaID: kosong (null), harus diisi, paling banyak 1 karakter\r\n"
       "DDEC0201 TBLBC25DTL.merk, barang ke-1: 16 karakter, paling banyak 15 (\"1234567890123456\")\r\n"
       "DDEC0201 TBLBC25DTL.tipe, barang ke-1: 16 karakter, paling banyak 15 (\"1234567890123456\")\r\n"
       "DDEC0201 TBLBC25DTL.spflain, barang ke-1: 16 karakter, paling banyak 15 (\"1234567890123456\")\r\n"
       "DDEC0201 TBLBC25DTL.kdbrg, barang ke-1: 16 karakter, paling banyak 15 (\"1234567890123456\")\r\n"
       "DDEC0201 TBLBC25DTL.merk, barang ke-2: 16 karakter, paling banyak 15 (\"1234567890123456\")\r\n"
       "DDEC0201 TBLBC25DTL.tipe, barang ke-2: 16 karakter, paling banyak 15 (\"1234567890123456\")\r\n"
       "DDEC0201 TBLBC25DTL.spflain, barang ke-2: 16 karakter, paling banyak 15 (\"1234567890123456\")\r\n"
       "dan 2 lainnya"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    test::WorkspaceSession w;
    for (const std::string& sql : c.faults) w.sql->Exec(sql);
    w.dialogs.answers = {MsgAnswer::Yes};
    EXPECT_TRUE(DocumentActions(*w.session).Create(c.type, c.car));
    ASSERT_EQ(w.dialogs.boxes.size(), 2u);
    EXPECT_EQ(w.dialogs.boxes[1].text, "CAR = " + c.car + " gagal!\r\n" + c.reason);
    EXPECT_EQ(w.State(k23), "-/01");
  }
}

TEST(CheckSummary, TheFirstTenThenHowManyMore) {
  CheckList list;
  for (int i = 1; i <= 12; ++i) list.AddFailure("T" + std::to_string(i), Error(5, "x"), true);
  list.AddMissingRows("N", "TBLX", false);
  std::string expected;
  for (int i = 1; i <= 10; ++i) expected += (i > 1 ? "\r\n" : "") + std::string("T") + std::to_string(i) + ": x";
  EXPECT_EQ(BlockingSummary(list), expected + "\r\ndan 2 lainnya");
}

}  // namespace
}  // namespace sevrik
