// The BC 2.3 flat file against golden bytes written from the record layouts, and the
// resume-next rule.
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/error.h"
#include "base/text.h"
#include "core/flat/builders.h"
#include "core/lookups/lookups.h"
#include "core/runs/queue.h"
#include "core/startup.h"
#include "db/connect.h"
#include "platform/fs.h"
#include "tests/testutil.h"

namespace sevrik {
namespace {

using test::Lines;
using test::S;
using test::Z;
using test::operator+;
Variant D(int y, int m, int d) { return Variant(DateTime{y, m, d}); }
const Variant kNull = Variant::Null();
constexpr const char* kCar = "CAR-23-0001";
const std::string k3021 =
    " 3021 \r\nEither BOF or EOF is True, or the current record has been deleted. Requested operation requires a "
    "current record.\r\n";
const std::string k53 = " 53 \r\nFile not found\r\n";

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}
class Bc23 : public ::testing::Test {
 protected:
  void SetUp() override {
    db = ws.OpenSqlite();
    db->Insert("tblData", {{"edinum", tools::EncodeEdiNumber("TPBSVK0000123456")}});
    db->Insert("tblPartner", {{"KdKpbc", "050100"}, {"NomorEDI", "KPBC050100"}, {"namalokal", "KPPBC A"}});
    db->Insert("TBLBC23HDR",
               {{"CAR", kCar}, {"Kdkpbc", "050100"}, {"BC23No", "000123"}, {"jnsbarang", "1"}, {"TujuanKirim", ""},
                {"Tujuan", "1"}, {"tmptbn", "TPB01"}, {"pelmuat", "CNCAN"}, {"pelbkr", "IDTPP"}, {"peltransit", "SGSIN"},
                {"Kdkpbcawas", "050500"}, {"Kdkpbcbongkar", "040300"}, {"tglTTD", D(2026, 12, 1)}, {"Bruto", 12500.5},
                {"Netto", 11500.0}, {"angkutno", ""}, {"moda", "1"}, {"angkutnama", ""}, {"Angkutfl", kNull},
                {"doktupno", "000517"}, {"Posno", "12"}, {"Possub", " 3 "}, {"DokTupKd", "1"}, {"PossubSub", "12"},
                {"DokTupTg", D(2026, 11, 28)}, {"ppjkno", "PPJK-0099"}, {"ppjktg", D(2026, 1, 5)},
                {"Pasoknama", "GUANGZHOU TEX"}, {"Pasokalmt", "NO. 18 ROAD"}, {"Pasokneg", "CN"}, {"ppjkID", "5"},
                {"ppjkNPWP", "019876543210000"}, {"ppjkNama", "PT. CEPAT"}, {"ppjkAlmt", kNull}, {"usahaID", "5"},
                {"usahaNPWP", "011234567890000"}, {"usahaNama", "PT. SANDANG"}, {"usahaAlmt", "KBN CAKUNG"},
                {"kotaTTD", "JAKARTA"}, {"KdTPB", "1"}, {"namattd", "BUDI"}, {"usahaStatus", "1"},
                {"registrasi", "KEP-123"}, {"apikd", "U"}, {"apino", "0904"}, {"ContakPerson", "RINA"},
                {"NoPhone", "021-1"}, {"noFax", kNull}, {"email", "a@b.id"}, {"ndpbm", 15875.0}, {"kdVal", "USD"},
                {"fob", 0.0}, {"freight", 0.0}, {"asuransi", 210.5}, {"KdAss", "2"}, {"cif", 42710.5},
                {"nilInv", kNull}, {"Jmcont", kNull}, {"Jmbrg", 2}, {"Status", "01"}});
    db->Insert("TBLBC23CON", {{"CAR", kCar}, {"contno", "MRTU1234567"}, {"contukur", "40"}, {"contTipe", "F"}});
    db->Insert("TBLBC23KMS", {{"CAR", kCar}, {"jmkemas", 120}, {"jnkemas", "PK"}, {"merkkemas", "SN/2026"}});
    db->Insert("TBLBC23DOK", {{"CAR", kCar}, {"dokkd", "380"}, {"dokno", "INV-1"}, {"doktg", D(2026, 11, 20)}});
    db->Insert("TBLBC23DOK", {{"CAR", kCar}, {"dokkd", "705"}, {"dokno", "BL-1"}, {"doktg", kNull}});
    db->Insert("TBLBC23DTL",
               {{"CAR", kCar}, {"Serial", 1}, {"nohs", "8446210000"}, {"penggunaan", "1"}, {"kdfasdtl", "01"},
                {"jnsBarangDtl", "1"}, {"TujuanKirimDtl", "1"}, {"BrgUrai", "MESIN"}, {"merk", "TOYODA"}, {"tipe", "JAT"},
                {"spflain", kNull}, {"kdbrg", "B1"}, {"BrgAsal", "CN"}, {"nettoDtl", 1000.25}, {"Kdsat", "PCE"},
                {"Jmlsat", 10.0}, {"Kemasjm", 4}, {"Kemasjn", "PK"}, {"Dcif", 14236.83}, {"Dnilinv", 13750.0},
                {"SeriTrp", 1}});
    db->Insert("TBLBC23DTL",
               {{"CAR", kCar}, {"Serial", 2}, {"nohs", "5205120000"}, {"penggunaan", "1"}, {"kdfasdtl", "01"},
                {"jnsBarangDtl", "1"}, {"TujuanKirimDtl", "1"}, {"BrgUrai", "BENANG"}, {"merk", "NUSA"}, {"tipe", "NE30"},
                {"spflain", "BARU"}, {"kdbrg", "B2"}, {"BrgAsal", "ID"}, {"nettoDtl", 500.0}, {"Kdsat", "KGM"},
                {"Jmlsat", 500.0}, {"Kemasjm", 10}, {"Kemasjn", "BL"}, {"Dcif", 1000.0}, {"Dnilinv", 900.0},
                {"SeriTrp", 2}});
    Tariff("8446210000", 1, "1", 5.0, 10.0, "PCE", "2", "1", 10.0, 2.5, "LTR", 11.0, 0.0);
    Tariff("8446210000", 1, " ", 7.5, 3.0, kNull, kNull, kNull, 0.0, 0.0, kNull, 10.0, 20.0);
    Tariff("8446210000", 2, "9", 99.0, 99.0, "XXX", kNull, "9", 99.0, 99.0, kNull, 99.0, 99.0);  // another SeriTrp
    Tariff("5205120000", 2, "1", 0.0, 500.0, "KGM", kNull, "1", 0.0, 0.0, kNull, 11.0, 0.0);
    db->Insert("TBLBC23FAS",
               {{"CAR", kCar}, {"Serial", 1}, {"Kdfasbm", "3"}, {"Fasbm", 100.0}, {"Kdfascuk", kNull}, {"Fascuk", 0.0},
                {"Kdfasppn", "3"}, {"Fasppn", 100.0}, {"Kdfaspbm", kNull}, {"Faspbm", kNull}, {"Kdfaspph", "3"},
                {"Faspph", 50.5}});
    db->Insert("TBLBC23PGT", {{"CAR", kCar}, {"Kdbeban", 2}, {"KdFasil", 1}, {"Nilbeban", 5167400.0}});
    db->Insert("TBLBC23PGT", {{"CAR", kCar}, {"Kdbeban", 1}, {"KdFasil", 3}, {"Nilbeban", 2135525.0}});
    conn = ws.Connect();
    saved_cwd = CurrentDirectory();
  }
  void TearDown() override { ASSERT_EQ(::chdir(saved_cwd.c_str()), 0); }

  void Tariff(const char* hs, int seri, Variant kd, double trp, double satbm, Variant kdsat, Variant kdcuk,
              Variant kdtrpcuk, double trpcuk, double satcuk, Variant kdsatcuk, double ppn, double pbm) {
    db->Insert("TBLBC23TRF", {{"CAR", kCar}, {"NoHS", hs}, {"SeriTrp", seri}, {"KdTrpBm", kd}, {"TrpBm", trp},
                              {"Satbmjm", satbm}, {"KdSatBm", kdsat}, {"KdCuk", kdcuk}, {"KdTrpCuk", kdtrpcuk},
                              {"TrpCuk", trpcuk}, {"Satcukjm", satcuk}, {"KdSatCuk", kdsatcuk}, {"TrpPpn", ppn},
                              {"TrpPbm", pbm}});
  }
  void Build(const std::string& car = kCar) {
    Session s{*conn, dialogs, ws.program, ws.package, "NET1", LocaleInfo::Classic()};
    CreateFlatBC23(s, car);
  }
  std::string Flat() const { return test::ReadFile(ws.package + "/ipdata/BC23.FLT"); }
  std::string Log() const { return ws.RunLog(); }
  void Sql(const std::string& sql) { db->Exec(sql); }

  test::TestWorkspace ws{false, "4"};
  std::unique_ptr<tools::SqliteFile> db;
  std::unique_ptr<Database> conn;
  test::ScriptedDialogs dialogs;
  std::string saved_cwd;
};

std::vector<std::string> HeaderLines() {
  return {
      "ENV00101" "TPBSVK0000123456" + S(4) + "KPBC050100" + S(10) + "BC23" + S(6) + "2" + S(14),
      "HDEC0101" "CAR-23-0001" "1" "000123" "4  ",
      "HDEC0201" "1 " "185" + S(5) + "  " "181" + S(5) + "1 " "Z03",
      "HDEC030114 " "TPB01" + S(3) + S(70),
      "HDEC03019  " "CNCAN   ",
      "HDEC030111 " "IDTPP   ",
      "HDEC030113 " "SGSIN   ",
      "HDEC0301Z01" "050500  ",
      "HDEC030141 " "040300  ",
      "HDEC030122 " "050100  ",
      "HDEC0401182" "20261201",
      "HDEC0501WT AADKGM" + Z(9) + "125005000",
      "HDEC0501WT AACKGM" + Z(9) + "115000000",
      "HDEC0601CN " "MRTU1234567" + S(6) + "40" "F",
      "HDEC0701ACH" "00000120" "PK" "SN/2026" + S(43),
      "HDEC080120 " + S(10) + "1" + S(35) + "  ",
      "HDEC0901AOZ0250" + S(23) + "18220100118",
      "HDEC090185 " "000517" "12  " "03" "1" "0003" "0012" + S(6) + "182" "20261128",
      "HDEC0901Z02" "PPJK-0099" + S(16) + S(2) + "182" "20260105",
      "HDEC0901380" "INV-1" + S(20) + S(2) + "182" "20261120",
      "HDEC0901705" "BL-1" + S(21) + S(2) + "182" " ",
      "HDEC1001SU " + S(16) + "GUANGZHOU TEX" + S(37) + "NO. 18 ROAD" + S(89) + S(35) + "CN",
      "HDEC1001CB " "5" "019876543210000" "PT. CEPAT" + S(41) + S(100) + S(35) + S(2),
      "HDEC1001CN " "5" "011234567890000" "PT. SANDANG" + S(39) + "KBN CAKUNG" + S(90) + "JAKARTA" + S(23) + "1" +
          S(4) + S(2),
      "HDEC1001Z01" + S(16) + "BUDI" + S(46) + S(100) + "JAKARTA",
      "HDEC1201STA" "1 ",
      "HDEC1201REG" "KEP-123" + S(28),
      "HDEC1201API" "U0904" + S(11),
      "HDEC1301Z02" "RINA" + S(26),
      "HDEC1401" "021-1" + S(45) + "TE ",
      "HDEC1401" "a@b.id" + S(44) + "EM ",
      "HDEC1101172" + Z(9) + "158750000" "USD",
      "HDEC110164 " + Z(18),
      "HDEC110167 " + Z(11) + "2105000" "2",
      "HDEC1101141" + Z(9) + "427105000" + S(3),
      "UNS00101D",
  };
}

std::vector<std::string> Item1Lines() {
  return {
      "DDEC0101" "1    " "8446210000  " "1" "01" "1    " "1    ",
      "DDEC0201AAA" "MESIN" + S(90) + "TOYODA" + S(9) + "JAT" + S(12) + S(15) + "B1" + S(13) + "27 " "CN" "542",
      "DDEC0301AAIKGM" + Z(10) + "10002500",
      "DDEC0301DX PCE" + Z(12) + "100000",
      "DDEC0401" "00000004" "PK",
      "DDEC0501141" + Z(11) + "1423683" + S(3),
      "DDEC050138 " + Z(11) + "1375000" + S(3),
      "DDEC07011  CUD" "  " "1" "0000000500" "161" + Z(12) + "100000" "PCE",
      "DDEC07011  CUD" "  " " " "0000000750" "161" + Z(13) + "30000" "   ",
      "DDEC07011  CUF" "  " "3" "0000010000",
      "DDEC07011  EXC" "2 " "1" "0000001000" "161" + Z(13) + "25000" "LTR",
      "DDEC07011  EXC" "  " " " "0000000000" "161" + Z(18) + "   ",
      "DDEC07011  EXF" "  " " " "0000000000",
      "DDEC07011  VAT" "   " "0000001100",
      "DDEC07011  VAT" "   " "0000001000",
      "DDEC07011  VAF" "  " "3" "0000010000",
      "DDEC07011  LUX" "   " "0000000000",
      "DDEC07011  LUX" "   " "0000002000",
      "DDEC07011  LUF" "  " " " "0000000000",
      "DDEC07011  WAF" "  " "3" "0000005050",
  };
}

std::vector<std::string> Item2Lines() {
  return {
      "DDEC0101" "2    " "5205120000  " "1" "01" "1    " "1    ",
      "DDEC0201AAA" "BENANG" + S(89) + "NUSA" + S(11) + "NE30" + S(11) + "BARU" + S(11) + "B2" + S(13) + "27 " "ID" "542",
      "DDEC0301AAIKGM" + Z(11) + "5000000",
      "DDEC0301DX KGM" + Z(11) + "5000000",
      "DDEC0401" "00000010" "BL",
      "DDEC0501141" + Z(12) + "100000" + S(3),
      "DDEC050138 " + Z(13) + "90000" + S(3),
      "DDEC07011  CUD" "  " "1" "0000000000" "161" + Z(11) + "5000000" "KGM",
      "DDEC07011  EXC" "  " "1" "0000000000" "161" + Z(18) + "   ",
      "DDEC07011  VAT" "   " "0000001100",
      "DDEC07011  LUX" "   " "0000000000",
  };
}

std::vector<std::string> SummaryLines() {
  return {
      "UNS00201S",
      "SDEC01016  " "00000002" + S(3),
      "SDEC02014  " "PPNDP" + S(5) + "24 " + Z(8) + "5167400",
      "SDEC02014  " "BMBY" + S(6) + "24 " + Z(8) + "2135525",
      "UNT00101",
      "UNZ00101",
  };
}

TEST(Bc23Golden, LinesHaveTheLayoutLengths) {
  const std::pair<const char*, size_t> lengths[] = {
      {"ENV00101", 73},    {"HDEC0101", 29},    {"HDEC0201", 33},    {"HDEC030114 ", 89}, {"HDEC0301", 19},
      {"HDEC0401", 19},    {"HDEC0501", 35},    {"HDEC0601", 31},    {"HDEC0701", 71},    {"HDEC0801", 59},
      {"HDEC0901705", 42}, {"HDEC0901", 49},    {"HDEC1001Z01", 184}, {"HDEC1001", 214},  {"HDEC1201STA", 13},
      {"HDEC1201REG", 46}, {"HDEC1201API", 27}, {"HDEC1301", 41},    {"HDEC1401", 61},    {"HDEC110164 ", 29},
      {"HDEC110167 ", 30}, {"HDEC1101", 32},    {"DDEC0101", 38},    {"DDEC0201", 174},   {"DDEC0301", 32},
      {"DDEC0401", 18},    {"DDEC0501", 32},    {"DDEC07011  CUD", 51}, {"DDEC07011  EXC", 51},
      {"DDEC0701", 27},    {"SDEC0101", 22},    {"SDEC0201", 39},    {"UNS00101D", 9},    {"UNS00201S", 9},
      {"UNT00101", 8},
      {"UNZ00101", 8}};
  // Every golden line has a layout length, so none escapes the check.
  const std::vector<std::string> lines = HeaderLines() + Item1Lines() + Item2Lines() + SummaryLines();
  EXPECT_EQ(lines.size(), 73u);
  for (const std::string& l : lines) {
    const auto* entry = std::find_if(std::begin(lengths), std::end(lengths),
                                     [&](const auto& e) { return l.rfind(e.first, 0) == 0; });
    if (entry == std::end(lengths)) ADD_FAILURE() << "no layout length for " << l;
    else EXPECT_EQ(l.size(), entry->second) << l;
  }
}

TEST_F(Bc23, WritesEveryRecordOfTheDocument) {
  Build();
  EXPECT_EQ(Flat(), Lines(HeaderLines() + Item1Lines() + Item2Lines() + SummaryLines()));
  // Item 2 has no facility row: each of its five facility walks logs its empty start. No
  // translator is installed, so no status file comes back.
  EXPECT_EQ(Log(), Repeat(k3021, 5) + k53);
  EXPECT_EQ(CurrentDirectory(), ws.program);
}

TEST_F(Bc23, TheStatusSettingChoosesTheFirstHeaderRecord) {
  const auto line = [&] { return Split(Flat(), "\r\n")[1]; };
  Sql("update TBLBC23HDR set BC23No = '12345'");
  Build();
  EXPECT_EQ(line(), "HDEC0101" "CAR-23-0001" "1" " 12345" "4  ");
  Sql("update TBLBC23HDR set BC23No = '00012345'");
  Build();
  EXPECT_EQ(line(), "HDEC0101" "CAR-23-0001" "1" "012345" "4  ");
  test::WriteFile(ws.program + "/TPB.ini", "[Status]\r\nBC23=9\r\n");
  Build();
  EXPECT_EQ(line(), "HDEC0101" "CAR-23-0001" "1" + S(6) + "9  ");
  std::remove((ws.program + "/TPB.ini").c_str());
  Build();
  EXPECT_EQ(line(), "HDEC0101" "CAR-23-0001" "1" + S(6) + "9  ");
}

TEST_F(Bc23, ConditionsFollowTheirColumns) {
  Sql("update TBLBC23HDR set tmptbn = ' ', pelmuat = null, pelbkr = '', peltransit = null, Kdkpbcawas = null, "
      "Kdkpbcbongkar = null, tglTTD = null, moda = '', doktupno = '', ppjkno = null, Pasoknama = null, ppjkNama = '', "
      "usahaID = null, namattd = '', usahaStatus = null, registrasi = '', apikd = null, apino = '7', "
      "ContakPerson = null, NoPhone = null, email = '', ndpbm = null, fob = 41250, freight = null, asuransi = null, "
      "cif = null, nilInv = 0, Jmcont = 0, Jmbrg = null");
  Sql("delete from TBLBC23DOK; delete from TBLBC23CON; delete from TBLBC23KMS");
  Build();
  const std::vector<std::string> h = HeaderLines();
  const std::vector<std::string> expected = {
      h[0], h[1], h[2],
      "HDEC030114 " + S(8) + S(70),
      "HDEC030122 " "050100  ",
      h[11], h[12],
      "HDEC0901AOZ0250" + S(23) + "18220100118",
      "HDEC1201API" "7" + S(15),
      "HDEC110163 " + Z(9) + "412500000",
      "HDEC110177 " + Z(18) + "IDR",
      "UNS00101D"};
  std::vector<std::string> summary = SummaryLines();
  summary[1] = "SDEC010116 " + Z(8) + S(3);
  EXPECT_EQ(Flat(), Lines(expected + Item1Lines() + Item2Lines() + summary));
  EXPECT_EQ(Log(), k3021 + Repeat(k3021, 5) + k53);  // the empty document walk, item 2's facilities
}

TEST_F(Bc23, AnOverlongValueDropsOnlyItsRecord) {
  Sql("update TBLBC23HDR set angkutnama = '" + std::string(36, 'A') + "'");
  Sql("update TBLBC23DTL set BrgUrai = '" + std::string(96, 'B') + "' where Serial = 2");
  Build();
  auto h = HeaderLines();
  h.erase(h.begin() + 15);  // HDEC0801
  auto item2 = Item2Lines();
  item2.erase(item2.begin() + 1);  // DDEC0201
  EXPECT_EQ(Flat(), Lines(h + Item1Lines() + item2 + SummaryLines()));
  const std::string k5 = " 5 \r\nInvalid procedure call or argument\r\n";
  EXPECT_EQ(Log(), k5 + k5 + Repeat(k3021, 5));
  // A declaration with a record missing is not queued; the status tells the first failure.
  EXPECT_EQ(test::ReadFile(ws.package + "/ipdata/TPBQUE.STA"),
            "SVK01\r\nFlat file BC23 tidak lengkap dan tidak dikirim ke translator: kesalahan 5 "
            "(Invalid procedure call or argument)\r\n");
}

TEST_F(Bc23, EmptyWalksLogTheirStartAndWriteNothing) {
  Sql("delete from TBLBC23DTL; delete from TBLBC23PGT");
  Build();
  EXPECT_EQ(Flat(), Lines(HeaderLines() + std::vector<std::string>{"UNS00201S", SummaryLines()[1], "UNT00101", "UNZ00101"}));
  EXPECT_EQ(Log(), k3021 + k3021 + k53);
}

TEST_F(Bc23, AnItemWithoutTariffsLogsEachOfItsTariffWalks) {
  Sql("delete from TBLBC23TRF where NoHS = '5205120000'");
  Build();
  auto item2 = Item2Lines();
  item2.resize(7);
  EXPECT_EQ(Flat(), Lines(HeaderLines() + Item1Lines() + item2 + SummaryLines()));
  EXPECT_EQ(Log(), Repeat(k3021, 9) + k53);
}

TEST_F(Bc23, AFailedPerItemQueryLeavesItsWalksEmpty) {
  Sql("update TBLBC23DTL set SeriTrp = null, Serial = 'dua' where Serial = 2");
  Build();
  auto item2 = Item2Lines();
  item2.resize(7);
  item2[0] = "DDEC0101" "dua  " "5205120000  " "1" "01" "1    " "1    ";
  EXPECT_EQ(Flat(), Lines(HeaderLines() + Item1Lines() + item2 + SummaryLines()));
  const std::string log = Log();
  // Two failed queries, then every walk over the two unopened recordsets logs and ends.
  EXPECT_EQ(log.substr(0, 14), " -2147467259 \r");
  EXPECT_NE(log.find("SeriTrp"), std::string::npos);
  EXPECT_EQ(log.find(k53), std::string::npos);  // no translator ran, no status was read
  EXPECT_EQ(test::ReadFile(ws.package + "/ipdata/TPBQUE.STA").substr(0, 7), "SVK01\r\n");
}

TEST_F(Bc23, AHeaderWithoutARowLeavesAnEmptyFileAndStillRunsTheTranslator) {
  Build("NO-SUCH-CAR");
  EXPECT_EQ(Flat(), "");
  EXPECT_EQ(Log(), k53);  // the translator run found no status file
}

TEST_F(Bc23, AFailedHeaderQueryGoesThroughEveryStepAndEnds) {
  Sql("alter table TBLBC23HDR rename to TBLBC23HDR_OLD");
  Build();
  // Every step that reads the header fails on the unopened recordset and is logged; the
  // other records still stand.
  const std::string flat = Flat();
  EXPECT_EQ(flat.substr(0, 60), "ENV00101" "TPBSVK0000123456" + S(4) + S(20) + "BC23" + S(6) + "2" + S(1));
  EXPECT_EQ(flat.find("HDEC0101"), std::string::npos);
  EXPECT_NE(flat.find("HDEC0901AOZ0250"), std::string::npos);
  EXPECT_NE(flat.find("\r\nUNS00101D\r\n" + Item1Lines()[0]), std::string::npos);
  EXPECT_EQ(flat.substr(flat.size() - 20), "UNT00101\r\nUNZ00101\r\n");
  EXPECT_NE(Log().find("TBLBC23HDR"), std::string::npos);
  EXPECT_NE(Log().find(" 3704 \r\n"), std::string::npos);
}

TEST_F(Bc23, AFileThatCannotBeOpenedFailsEveryWriteAndTheRunEnds) {
  std::filesystem::remove_all(ws.package + "/ipdata");
  Build();
  const std::string log = Log();
  EXPECT_EQ(log.substr(0, 22), " 76 \r\nPath not found\r\n");
  EXPECT_NE(log.find(" 52 \r\nBad file name or number\r\n"), std::string::npos);
  // The failure status cannot be written either: logged as the last step.
  EXPECT_EQ(log.substr(log.size() - 22), " 76 \r\nPath not found\r\n");
  EXPECT_EQ(CurrentDirectory(), ws.program);
}

class CountingProgress : public ProgressSink {
 public:
  void Show() override { events += "show;"; }
  void SetMaximum(long m) override { events += "max=" + std::to_string(m) + ";"; }
  void SetValue(long v) override { events += std::to_string(v) + ";"; }
  void Hide() override { events += "hide;"; }
  std::string events;
};

TEST_F(Bc23, ProgressFollowsTheItems) {
  CountingProgress progress;
  Session s{*conn, dialogs, ws.program, ws.package, "NET1", LocaleInfo::Classic(), &progress};
  CreateFlatBC23(s, kCar);
  EXPECT_EQ(progress.events, "show;max=2;1;2;hide;");
}

}  // namespace
}  // namespace sevrik
