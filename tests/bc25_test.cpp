// The BC 2.5 flat file against golden bytes written from the record layouts.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/error.h"
#include "base/text.h"
#include "core/flat/builders.h"
#include "core/lookups/lookups.h"
#include "core/runs/queue.h"
#include "core/startup.h"
#include "db/connect.h"
#include "tests/testutil.h"

namespace sevrik {
namespace {

using Row = tools::SqliteFile::Row;
using test::Lines;
using test::S;
using test::Z;
using test::operator+;
Variant D(int y, int m, int d) { return Variant(DateTime{y, m, d}); }
const Variant kNull = Variant::Null();


constexpr const char* kCar = "CAR-25-0001";

class Bc25 : public ::testing::Test {
 protected:
  void SetUp() override {
    db = ws.OpenSqlite();
    db->Insert("tblData", {{"edinum", tools::EncodeEdiNumber("TPBSVK0000123456")}});
    db->Insert("tblPartner", {{"KdKpbc", "050100"}, {"NomorEDI", "KPBC050100"}, {"namalokal", "KPPBC A"}});
    InsertDocument(kCar);
    conn = ws.Connect();
  }

  void InsertDocument(const std::string& car) {
    db->Insert("TBLBC25HDR",
               {{"CAR", car}, {"Kdkpbc", "050100"}, {"jnBC25", "1"}, {"jnbarang", "1"}, {"kondisi", ""},
                {"TujuanKirim", kNull}, {"dari", "2"}, {"Tujuan", "5"}, {"TempatPenimbunan", " "},
                {"KdKpbcTujuan", kNull}, {"tglTTDPenerima", D(2026, 12, 2)}, {"tglTTD", D(2026, 12, 1)},
                {"Bruto", 1234.5}, {"Netto", 1000.0}, {"ppjkno", "PPJK-1"}, {"ppjktg", D(2026, 1, 5)},
                {"bamusnah", ""}, {"tglMusnah", kNull}, {"usahaID", "5"}, {"usahaNPWP", "011234567890000"},
                {"usahaNama", "PT. A"}, {"usahaAlmt", "JL. B"}, {"kotaTTD", "JAKARTA"}, {"penerimaID", "6"},
                {"penerimaNPWP", "027654321098000"}, {"penerimanama", std::string(50, 'N')},
                {"penerimaAlmt", "JL. C"}, {"kotaTTDPenerima", "BOGOR"}, {"ppjkID", "4"}, {"ppjkNPWP", "0"},
                {"ppjkNama", "PPJK C"}, {"ppjkAlmt", "ALAMAT D"}, {"usahaStatus", "1"}, {"penerimaStatus", kNull},
                {"penerimaNiper", "N9"}, {"ContakPerson", "RINA"}, {"NoPhone", "021-1"}, {"noFax", kNull},
                {"email", "a@b.id"}, {"ndpbm", 15875.5}, {"kdVal", "USD"}, {"hargaRp", 0.0}, {"hargaBBRp", kNull},
                {"Jmcont", 0}, {"Jmbrg", 2}});
    db->Insert("TBLBC25CON", {{"CAR", car}, {"contno", "MRTU1234567"}, {"contukur", "40"}, {"contTipe", kNull}});
    db->Insert("TBLBC25KMS", {{"CAR", car}, {"jmkemas", 12}, {"jnkemas", "PK"}, {"merkkemas", ""}});
    db->Insert("TBLBC25DOK", {{"CAR", car}, {"dokkd", "380"}, {"dokno", "INV-1"}, {"doktg", kNull}});
    // Serial 2 is stored before serial 1.
    db->Insert("TBLBC25DTL",
               {{"CAR", car}, {"Serial", 2}, {"nohs", "6205200000"}, {"penggunaanAsal", "1"},
                {"penggunaanTujuan", "2"}, {"kdfasdtl", "01"}, {"jnsBarangDtl", "2"}, {"TujuanKirimDtl", "1"},
                {"BrgUrai", "KEMEJA"}, {"merk", "SN"}, {"tipe", "REG"}, {"spflain", "-"}, {"kdbrg", "FG2"},
                {"BrgAsal", "ID"}, {"nettoDtl", 750.5}, {"Kdsat", "PCE"}, {"Jmlsat", 1200.0}, {"Kemasjm", 25},
                {"Kemasjn", "CT"}, {"Satbmjm", 1200.0}, {"Satcukjm", 0.0}});
    db->Insert("TBLBC25DTL",
               {{"CAR", car}, {"Serial", 1}, {"nohs", "8446210000"}, {"penggunaanAsal", "1"},
                {"penggunaanTujuan", kNull}, {"kdfasdtl", "01"}, {"jnsBarangDtl", "2"}, {"TujuanKirimDtl", "1"},
                {"BrgUrai", "MESIN"}, {"merk", "TOYODA"}, {"tipe", "JAT"}, {"spflain", ""}, {"kdbrg", "B1"},
                {"BrgAsal", "CN"}, {"nettoDtl", 1000.25}, {"Kdsat", "PCE"}, {"Jmlsat", 10.0}, {"Kemasjm", 4},
                {"Kemasjn", "PK"}, {"Satbmjm", 10.0}, {"Satcukjm", 2.5}});
    db->Insert("TBLBC25TRF",
               {{"CAR", car}, {"NoHS", "8446210000"}, {"KdTrpBm", "1"}, {"TrpBm", 7.5}, {"KdSatBm", "PCE"},
                {"KdCuk", "2"}, {"KdTrpCuk", "1"}, {"TrpCuk", 10.0}, {"KdSatCuk", "LTR"}, {"TrpPpn", 11.0},
                {"TrpPbm", 0.0}});
    db->Insert("TBLBC25TRF",
               {{"CAR", car}, {"NoHS", "8446210000"}, {"KdTrpBm", " "}, {"TrpBm", 5.0}, {"KdSatBm", kNull},
                {"KdCuk", kNull}, {"KdTrpCuk", kNull}, {"TrpCuk", 0.0}, {"KdSatCuk", kNull}, {"TrpPpn", 10.0},
                {"TrpPbm", 20.0}});
    db->Insert("TBLBC25TRF",
               {{"CAR", car}, {"NoHS", "6205200000"}, {"KdTrpBm", "1"}, {"TrpBm", 7.5}, {"KdSatBm", "PCE"},
                {"KdCuk", kNull}, {"KdTrpCuk", "1"}, {"TrpCuk", 0.0}, {"KdSatCuk", kNull}, {"TrpPpn", 11.0},
                {"TrpPbm", 0.0}});
    db->Insert("TBLBC25FAS",
               {{"CAR", car}, {"Serial", 1}, {"Kdfasbm", "3"}, {"Fasbm", 100.0}, {"Kdfascuk", kNull}, {"Fascuk", 0.0},
                {"Kdfasppn", "3"}, {"Fasppn", 100.0}, {"Kdfaspbm", kNull}, {"Faspbm", kNull}, {"Kdfaspph", "3"},
                {"Faspph", 50.5}});
    db->Insert("TBLBC25FAS",
               {{"CAR", car}, {"Serial", 2}, {"Kdfasbm", "3"}, {"Fasbm", 100.0}, {"Kdfascuk", ""}, {"Fascuk", 0.0},
                {"Kdfasppn", "3"}, {"Fasppn", 100.0}, {"Kdfaspbm", ""}, {"Faspbm", 0.0}, {"Kdfaspph", "3"},
                {"Faspph", 100.0}});
    db->Insert("TBLBC25BB",
               {{"CAR", car}, {"Serial", 1}, {"hs", "5208520000"}, {"seriBB", "1"}, {"asalBB", "1"}, {"urBrg", "KAIN"},
                {"merk", kNull}, {"tipe", "POPLIN"}, {"spflain", ""}, {"kodebarang", "RM1"}, {"nettoDtl", 420.0},
                {"jnsatuan", "MTR"}, {"jmsatuan", 3600.0}, {"cifDtlBb", 8031.25}, {"ndpbm", 15875.0},
                {"kdVal", kNull}, {"HrgPenyerahanDtl", 127500000.0}});
    db->Insert("TBLBC25PGT", {{"CAR", car}, {"Kdbeban", 2}, {"KdFasil", 3}, {"Nilbeban", 1000.0}});
    db->Insert("TBLBC25PGT", {{"CAR", car}, {"Kdbeban", 1}, {"KdFasil", 1}, {"Nilbeban", 500.0}});
  }

  void Build(const std::string& car = kCar) {
    Session s{*conn, dialogs, ws.program, ws.package, "NET1", LocaleInfo::Classic()};
    CreateFlatBC25(s, car);
  }
  std::string Flat() const { return test::ReadFile(ws.package + "/ipdata/BC25.FLT"); }
  std::string Log() const { return ws.RunLog(); }
  void Sql(const std::string& sql) { db->Exec(sql); }

  test::TestWorkspace ws{false};
  std::unique_ptr<tools::SqliteFile> db;
  std::unique_ptr<Database> conn;
  test::ScriptedDialogs dialogs;
};

// The header group of the document above, line by line from the layouts.
std::vector<std::string> HeaderLines() {
  return {
      "ENV00101" "TPBSVK0000123456" + S(4) + "KPBC050100" + S(10) + "BC25" + S(6) + "2",
      "HDEC0101" "CAR-25-0001" "2" + S(6) + "9" + S(2) + "1",
      "HDEC0201" "1 " "185" "  " "161" "  " "181" "2 " "Z02" "5 " "Z03",
      "HDEC030114 " + S(8) + " ",
      "HDEC030122 050100",
      "HDEC0401310" "20261202",
      "HDEC0401182" "20261201",
      "HDEC0501WT AADKGM" + Z(10) + "12345000",
      "HDEC0501WT AACKGM" + Z(10) + "10000000",
      "HDEC0601CN " "MRTU1234567" + S(6) + "40" " ",
      "HDEC0701ACH" "00000012" "PK",
      "HDEC0901Z02" "PPJK-1" + S(19) + S(2) + "182" "20260105",
      "HDEC0901380" "INV-1" + S(20) + S(2) + "182",
      "HDEC0901AOZ0250",
      "HDEC1001SU " "5" "011234567890000" "PT. A" + S(45) + "JL. B" + S(95) + "JAKARTA" + S(23),
      "HDEC1001CN " "6" "027654321098000" + std::string(50, 'N') + "JL. C" + S(95) + "BOGOR" + S(25),
      "HDEC1001CB " "4" "0" + S(14) + "PPJK C" + S(44) + "ALAMAT D" + S(92),
      "HDEC1201STA1",
      "HDEC1201NPRN9",
      "HDEC1301Z01RINA",
      "HDEC1401" "021-1" + S(45) + "TE ",
      "HDEC1401" "a@b.id" + S(44) + "EM ",
      "HDEC1101172" + Z(9) + "158755000" "USD",
      "HDEC110143 " + Z(18) + "IDR",
      "UNS00101D",
  };
}

std::vector<std::string> ItemLines() {
  return {
      "DDEC0101" "1    " "8446210000  " "1" " " "01" "2    " "1    ",
      "DDEC0201AAA" "MESIN" + S(90) + "TOYODA" + S(9) + "JAT" + S(12) + S(15) + "B1" + S(13) + "27 " "CN" "542",
      "DDEC0301AAIKGM" + Z(10) + "10002500",
      "DDEC0301DX PCE" + Z(12) + "100000",
      "DDEC0401" "00000004" "PK",
      "DDEC07011  CUD" "  " "1" "0000000750" "161" + Z(12) + "100000" "PCE",
      "DDEC07011  CUD" "  " " " "0000000500" "161" + Z(12) + "100000" "   ",
      "DDEC07011  CUF" "  " "3" "0000010000",
      "DDEC07011  EXC" "2 " "1" "0000001000" "161" + Z(13) + "25000" "LTR",
      "DDEC07011  EXC" "  " " " "0000000000" "161" + Z(13) + "25000" "   ",
      "DDEC07011  EXF" "  " " " "0000000000",
      "DDEC07011  VAT" "   " "0000001100",
      "DDEC07011  VAT" "   " "0000001000",
      "DDEC07011  VAF" "  " "3" "0000010000",
      "DDEC07011  LUX" "   " "0000000000",
      "DDEC07011  LUX" "   " "0000002000",
      "DDEC07011  LUF" "  " " " "0000000000",
      "DDEC07011  WAF" "  " "3" "0000005050",
      "DDEC0101" "2    " "6205200000  " "1" "2" "01" "2    " "1    ",
      "DDEC0201AAA" "KEMEJA" + S(89) + "SN" + S(13) + "REG" + S(12) + "-" + S(14) + "FG2" + S(12) + "27 " "ID" "542",
      "DDEC0301AAIKGM" + Z(11) + "7505000",
      "DDEC0301DX PCE" + Z(10) + "12000000",
      "DDEC0401" "00000025" "CT",
      "DDEC07011  CUD" "  " "1" "0000000750" "161" + Z(10) + "12000000" "PCE",
      "DDEC07011  CUF" "  " "3" "0000010000",
      "DDEC07011  EXC" "  " "1" "0000000000" "161" + Z(18) + "   ",
      "DDEC07011  EXF" "  " " " "0000000000",
      "DDEC07011  VAT" "   " "0000001100",
      "DDEC07011  VAF" "  " "3" "0000010000",
      "DDEC07011  LUX" "   " "0000000000",
      "DDEC07011  LUF" "  " " " "0000000000",
      "DDEC07011  WAF" "  " "3" "0000010000",
  };
}

std::vector<std::string> RawMaterialLines() {
  return {
      "DDEC0101" "1    " "5208520000     ",
      "DDEC0201MKS" "1    " "1",
      "DDEC0201AAA" "KAIN" + S(91) + " " + S(14) + "POPLIN" + S(9) + " " + S(14) + "RM1" + S(12),
      "DDEC0301AAIKGM" + Z(15) + "420",
      "DDEC0301DX MTR" + Z(14) + "3600",
      "DDEC0501141" + Z(12) + "803125",
      "DDEC0501172" + Z(9) + "158750000" " ",
      "DDEC0501193" + Z(9) + "127500000",
      "DDEC07011  CUD",
  };
}

std::vector<std::string> SummaryLines() {
  return {
      "UNS00201S",
      "SDEC010116 " "00000000" "   ",
      "SDEC01016  " "00000002" "   ",
      "SDEC02014  " "PPNBY" + S(5) + "24 " + Z(11) + "1000",
      "SDEC02014  " "BMDP" + S(6) + "24 " + Z(12) + "500",
      "UNT00101",
      "UNZ00101",
  };
}


TEST_F(Bc25, WritesEveryRecordOfTheDocument) {
  Build();
  EXPECT_EQ(Flat(), Lines(HeaderLines() + ItemLines() + RawMaterialLines() + SummaryLines()));
  EXPECT_EQ(Log(), "");
}

// The golden lines themselves checked against the record lengths of the layouts.
TEST(Bc25Golden, LinesHaveTheLayoutLengths) {
  const std::pair<const char*, size_t> lengths[] = {
      {"ENV00101", 59},        {"HDEC0101", 8 + 11 + 7 + 3 + 1}, {"HDEC0201", 33},    {"HDEC0401", 19},
      {"HDEC0501", 35},        {"HDEC1001SU", 207},              {"HDEC1001CN", 207}, {"HDEC1001CB", 177},
      {"HDEC0701", 21},        {"HDEC1401", 61},                 {"HDEC0901Z02", 49}, {"HDEC0901380", 41},
      {"HDEC1101172", 32},     {"HDEC110143", 32},               {"DDEC0101", 39},    {"DDEC0201AAA", 174},
      {"DDEC0301", 32},        {"DDEC0401", 18},                 {"DDEC07011  CUD", 51}, {"DDEC07011  EXC", 51},
      {"DDEC07011  ", 27},     {"SDEC0101", 22},                 {"SDEC0201", 39},
      // Records that end in a value as stored: their fields, then the golden value's length.
      {"HDEC030114 ", 8 + 3 + 8 + 1}, {"HDEC030122 ", 8 + 3 + 6}, {"HDEC0601", 8 + 3 + 17 + 2 + 1},
      {"HDEC0901AOZ", 15},            {"HDEC1201STA", 8 + 3 + 1}, {"HDEC1201NPR", 8 + 3 + 2},
      {"HDEC1301Z01", 8 + 3 + 4},     {"UNS00101D", 9},           {"UNS00201S", 9},
      {"UNT00101", 8},                {"UNZ00101", 8}};
  // Every golden line has a layout length, so none escapes the check.
  const std::vector<std::string> lines = HeaderLines() + ItemLines() + SummaryLines();
  EXPECT_EQ(lines.size(), 64u);
  for (const std::string& l : lines) {
    const auto* entry = std::find_if(std::begin(lengths), std::end(lengths),
                                     [&](const auto& e) { return l.rfind(e.first, 0) == 0; });
    if (entry == std::end(lengths)) ADD_FAILURE() << "no layout length for " << l;
    else EXPECT_EQ(l.size(), entry->second) << l;
  }
  const size_t raw[] = {28, 17, 166, 32, 32, 29, 30, 29, 14};
  ASSERT_EQ(RawMaterialLines().size(), std::size(raw));
  for (size_t i = 0; i < std::size(raw); ++i) EXPECT_EQ(RawMaterialLines()[i].size(), raw[i]) << i;
}

TEST_F(Bc25, TheFileIsTheSameWhateverIndexesTheTablesHave) {
  InsertDocument("CAR-25-0002");  // another document's rows after this one's
  Sql("insert into TBLBC25TRF (CAR, NoHS, KdTrpBm) values ('CAR-25-0002', '8446210000', '9')");
  // An index on CAR alone, then none at all: the same rows in the same order.
  for (const char* indexes :
       {"DROP INDEX ixBC25DTL; DROP INDEX ixBC25TRF; DROP INDEX ixBC25FAS; CREATE INDEX ixDtlCar ON TBLBC25DTL (CAR);"
        "CREATE INDEX ixTrfCar ON TBLBC25TRF (CAR); CREATE INDEX ixFasCar ON TBLBC25FAS (CAR)",
        "DROP INDEX ixDtlCar; DROP INDEX ixTrfCar; DROP INDEX ixFasCar"}) {
    Sql(indexes);
    conn = ws.Connect();
    Build();
    EXPECT_EQ(Flat(), Lines(HeaderLines() + ItemLines() + RawMaterialLines() + SummaryLines())) << indexes;
    EXPECT_EQ(Log(), "");
  }
}

TEST_F(Bc25, RawMaterialsOnlyForTujuan5Or7) {
  auto with_tujuan = [&](const std::string& value) {
    Sql("update TBLBC25HDR set Tujuan = " + value);
    Build();
    return Flat();
  };
  auto tujuan_line = [](const char* t) { return "HDEC0201" "1 " "185" "  " "161" "  " "181" "2 " "Z02" + std::string(t) + "Z03"; };
  std::vector<std::string> h = HeaderLines();
  h[2] = tujuan_line("7 ");
  EXPECT_EQ(with_tujuan("'7'"), Lines(h + ItemLines() + RawMaterialLines() + SummaryLines()));
  // Tujuan stored as a number: a column of numeric type holding 7.
  Sql("alter table TBLBC25HDR rename column Tujuan to TujuanTeks");
  Sql("alter table TBLBC25HDR add column Tujuan INTEGER");
  EXPECT_EQ(with_tujuan("7"), Lines(h + ItemLines() + RawMaterialLines() + SummaryLines()));
  EXPECT_EQ(db->QueryText("select typeof(Tujuan) from TBLBC25HDR"), "integer");
  h[2] = tujuan_line("3 ");
  EXPECT_EQ(with_tujuan("'3'"), Lines(h + ItemLines() + SummaryLines()));
  Sql("delete from TBLBC25BB");
  h[2] = tujuan_line("5 ");
  EXPECT_EQ(with_tujuan("5"), Lines(h + ItemLines() + SummaryLines()));
  EXPECT_EQ(Log(), "");
}

TEST_F(Bc25, LeavesOutConditionalRecordsOfNullAndEmptyColumns) {
  Sql("update TBLBC25HDR set TempatPenimbunan = null, Kdkpbc = '', tglTTDPenerima = null, ppjkno = null, "
      "usahaNama = '', penerimanama = null, ppjkNama = '', usahaStatus = null, penerimaNiper = '', "
      "ContakPerson = null, NoPhone = '', email = null, ndpbm = null, hargaRp = null, Jmcont = null, Jmbrg = null, "
      "tglTTD = 'kemarin', Tujuan = 3");
  Sql("delete from TBLBC25CON; delete from TBLBC25KMS; delete from TBLBC25DOK");
  Build();
  const std::vector<std::string> expected = {
      "ENV00101" "TPBSVK0000123456" + S(4) + S(20) + "BC25" + S(6) + "2",
      "HDEC0101" "CAR-25-0001" "2" + S(6) + "9" + S(2) + "1",
      "HDEC0201" "1 " "185" "  " "161" "  " "181" "2 " "Z02" "3 " "Z03",
      "HDEC0401182" + S(8),
      "HDEC0501WT AADKGM" + Z(10) + "12345000",
      "HDEC0501WT AACKGM" + Z(10) + "10000000",
      "HDEC0901AOZ0250",
      "UNS00101D"};
  std::vector<std::string> summary = SummaryLines();
  summary.erase(summary.begin() + 1, summary.begin() + 3);
  EXPECT_EQ(Flat(), Lines(expected + ItemLines() + summary));
}

// Every failure ends the build with the error logged as two lines and the file cut short.
TEST_F(Bc25, AValueTooLongForItsFieldStopsTheBuild) {
  Sql("update TBLBC25HDR set jnbarang = '123'");
  Build();
  const auto h = HeaderLines();
  EXPECT_EQ(Flat(), Lines({h[0], h[1]}));
  EXPECT_EQ(Log(), " 5 \r\nInvalid procedure call or argument\r\n");
}

TEST_F(Bc25, AnOwnEdiNumberOf21CharactersLeavesAnEmptyFile) {
  Sql("delete from tblData");
  db->Insert("tblData", {{"edinum", tools::EncodeEdiNumber("TPBSVK000012345678901")}});
  Build();
  EXPECT_EQ(Flat(), "");
  EXPECT_EQ(Log(), " 5 \r\nInvalid procedure call or argument\r\n");
}

TEST_F(Bc25, NoHeaderRowWritesNothingAndLogsNothing) {
  test::WriteFile(ws.package + "/ipdata/BC25.FLT", "previous file");
  Build("NO-SUCH-CAR");
  EXPECT_EQ(Flat(), "previous file");
  EXPECT_EQ(Log(), "");
}

TEST_F(Bc25, NoDetailRowEndsTheFileAfterTheHeader) {
  Sql("delete from TBLBC25DTL");
  Build();
  EXPECT_EQ(Flat(), Lines(HeaderLines()));
  EXPECT_EQ(Log(), " 3021 \r\nEither BOF or EOF is True, or the current record has been deleted. Requested operation "
                   "requires a current record.\r\n");
}

TEST_F(Bc25, AnItemWithoutTariffOrFacilityEndsInsideItsGroup) {
  Sql("delete from TBLBC25TRF where NoHS = '8446210000'");
  Build();
  const auto items = ItemLines();
  EXPECT_EQ(Flat(), Lines(HeaderLines() + std::vector<std::string>(items.begin(), items.begin() + 5)));
  EXPECT_EQ(Log().substr(0, 8), " 3021 \r\n");
}

TEST_F(Bc25, AnItemWithoutFacilityEndsAfterItsFirstTariffWalk) {
  Sql("delete from TBLBC25FAS where Serial = 2");
  Build();
  const auto items = ItemLines();
  EXPECT_EQ(Flat(), Lines(HeaderLines() + std::vector<std::string>(items.begin(), items.begin() + 24)));
  EXPECT_EQ(Log().substr(0, 8), " 3021 \r\n");
}

TEST_F(Bc25, NoChargeRowEndsTheFileAfterTheCounts) {
  Sql("delete from TBLBC25PGT");
  Build();
  const auto summary = SummaryLines();
  EXPECT_EQ(Flat(), Lines(HeaderLines() + ItemLines() + RawMaterialLines() +
                          std::vector<std::string>(summary.begin(), summary.begin() + 3)));
  EXPECT_EQ(Log().substr(0, 8), " 3021 \r\n");
}

TEST_F(Bc25, NonNumericAndOverflowingNumbersStopTheBuild) {
  Sql("update TBLBC25HDR set Bruto = 'seribu'");
  Build();
  const auto h = HeaderLines();
  EXPECT_EQ(Flat(), Lines(std::vector<std::string>(h.begin(), h.begin() + 7)));
  EXPECT_EQ(Log(), " 13 \r\nType mismatch\r\n");

  std::remove((ws.program + "/SEVRIK.log").c_str());
  Sql("update TBLBC25HDR set Bruto = 1234.5, hargaRp = 1e19");
  Build();
  EXPECT_EQ(Flat(), Lines(std::vector<std::string>(h.begin(), h.begin() + 23)));
  EXPECT_EQ(Log(), " 6 \r\nOverflow\r\n");
}

TEST_F(Bc25, ANonNumericSerialMakesTheFacilityQueryFail) {
  Sql("update TBLBC25DTL set Serial = 'satu' where Serial = 1");
  Build();
  const std::string log = Log();
  EXPECT_EQ(log.substr(0, 14), " -2147467259 \r") << log;
  EXPECT_NE(log.find("Serial"), std::string::npos) << log;
}

TEST_F(Bc25, AKeyWithAQuoteBuildsLikeAnyOther) {
  InsertDocument("CAR'25");
  Build("CAR'25");
  std::vector<std::string> h = HeaderLines();
  h[1] = "HDEC0101" "CAR'25" "2" + S(6) + "9" + S(2) + "1";
  EXPECT_EQ(Flat(), Lines(h + ItemLines() + RawMaterialLines() + SummaryLines()));
}

TEST_F(Bc25, EachBuildReplacesTheLastFile) {
  InsertDocument("CAR-25-0002");
  Sql("delete from TBLBC25DTL where CAR = 'CAR-25-0002'");
  Build("CAR-25-0002");
  Build();
  EXPECT_EQ(Flat(), Lines(HeaderLines() + ItemLines() + RawMaterialLines() + SummaryLines()));
}

TEST_F(Bc25, ErrorsBeforeTheTrapGoToTheCaller) {
  Sql("drop table TBLBC25PGT");
  EXPECT_THROW(Build(), Error);
  EXPECT_FALSE(test::Exists(ws.package + "/ipdata/BC25.FLT"));
}

}  // namespace
}  // namespace sevrik

#include "core/flat/child_rows.h"
#include "core/flat/flat_common.h"

namespace sevrik {
namespace {

TEST_F(Bc25, ChildRowsMatchAsTheirPerItemQueryWould) {
  Sql("insert into TBLBC25FAS (CAR, Serial, Kdfasbm) values ('CAR-25-0001', null, 'N'), ('X', 1, 'X'), "
      "('CAR-25-0001', 1, 'second')");
  ChildRows fas(*conn, "SELECT * FROM TBLBC25FAS Where CAR =?", {Variant(kCar)}, {"Serial"}, kFacilityColumns);
  auto rs = fas.For({Variant(int64_t{1})});
  EXPECT_EQ(rs->Field("Kdfasbm"), Variant("3"));
  rs->MoveNext();
  EXPECT_EQ(rs->Field("Kdfasbm"), Variant("second"));  // database order within the item
  rs->MoveNext();
  EXPECT_TRUE(rs->Eof());
  EXPECT_FALSE(fas.For({Variant(1.0)})->Eof());
  EXPECT_FALSE(fas.For({Variant("2")})->Eof());    // text that reads as a number
  EXPECT_TRUE(fas.For({Variant::Null()})->Eof());  // null matches nothing
  EXPECT_TRUE(fas.For({Variant(int64_t{3})})->Eof());
  ChildRows trf(*conn, "SELECT * FROM TBLBC25TRF Where CAR =?", {Variant(kCar)}, {"NoHS"}, {"TrpBm"});
  EXPECT_FALSE(trf.For({Variant("8446210000")})->Eof());
  EXPECT_TRUE(trf.For({Variant(" 8446210000")})->Eof());  // text matches exactly
  ChildRows missing(*conn, "SELECT * FROM NoSuchTable Where CAR =?", {Variant(kCar)}, {"NoHS"}, {"TrpBm"});
  EXPECT_THROW(missing.For({Variant("x")}), Error);
}

// A database that compares text without regard to case, as the Access driver does.
class CaseBlind : public Database {
 public:
  explicit CaseBlind(Database& db) : db_(db) {}
  std::unique_ptr<Recordset> Open(const std::string& sql, const Params& params, CursorType cursor) override {
    return db_.Open(sql, params, cursor);
  }
  bool TextComparesIgnoringCase() const override { return true; }

 private:
  Database& db_;
};

TEST_F(Bc25, ChildRowsCompareTextAsTheDatabaseDoes) {
  Sql("insert into TBLBC25TRF (CAR, NoHS, KdTrpBm) values ('CAR-25-0001', 'ab12', 'x'), ('CAR-25-0001', 'AB12', 'y')");
  ChildRows exact(*conn, "SELECT * FROM TBLBC25TRF Where CAR =?", {Variant(kCar)}, {"NoHS"}, {"KdTrpBm"});
  auto rs = exact.For(Variant("AB12"));
  EXPECT_EQ(rs->Field("KdTrpBm"), Variant("y"));
  rs->MoveNext();
  EXPECT_TRUE(rs->Eof());
  CaseBlind blind(*conn);
  ChildRows folded(blind, "SELECT * FROM TBLBC25TRF Where CAR =?", {Variant(kCar)}, {"NoHS"}, {"KdTrpBm"});
  std::string seen;
  for (rs = folded.For(Variant("Ab12")); !rs->Eof(); rs->MoveNext()) seen += rs->Field("KdTrpBm").text();
  std::sort(seen.begin(), seen.end());  // in the order the document's statement gives them
  EXPECT_EQ(seen, "xy");
  EXPECT_EQ(test::ErrorOf([&] { folded.For(Variant("Ab12"))->Field("TrpBm"); }), err::kItemNotFound);  // not kept
}

}  // namespace
}  // namespace sevrik
