#include "tools/workspace.h"

#include <filesystem>
#include <fstream>

#include "base/error.h"
#include "base/text.h"
#include "core/lookups/lookups.h"
#include "core/lookups/program.h"
#include "core/startup.h"

namespace sevrik::tools {
namespace fs = std::filesystem;

std::string EncodeEdiNumber(std::string_view number) {
  const std::string bytes = ToCp1252(number);
  const long length = static_cast<long>(bytes.size());
  std::string out;
  for (long i = 1; i <= length; ++i) {
    const long c = static_cast<unsigned char>(bytes[static_cast<size_t>(i - 1)]) - (10 + i - length);
    if (c < 0 || c > 255) throw Error(err::kInvalidArgument);
    out += static_cast<char>(c);
  }
  return FromCp1252(out);
}

void LayOutWorkspace(const WorkspaceOptions& o) {
  fs::create_directories(o.program_folder);
  fs::create_directories(fs::path(o.program_folder) / "LogKom");
  fs::create_directories(fs::path(o.package_folder) / "ipdata");
  fs::create_directories(fs::path(o.package_folder) / "entity0" / "flat");
  fs::create_directories(fs::path(o.package_folder) / "entity0" / "log");
  const fs::path db_path = fs::path(o.program_folder) / "dbTPB.mdb";
  fs::remove(db_path);
  SqliteFile db(db_path.string(), true);
  db.Exec(SchemaSql());
  db.Insert("tblSetting", {{"FOLDERNUVAR", o.package_setting.empty() ? o.package_folder : o.package_setting},
                           {"NETWORKNUVAR", o.network_profile}});
  if (o.demo_data) {
    FillDemoData(db);
    // Communication logs of earlier runs, as the customs application keeps them.
    for (const char* name : {"KOM20261201.TXT", "KOM20261202.TXT"}) {
      std::ofstream log(fs::path(o.program_folder) / "LogKom" / name, std::ios::binary);
      log << "Komunikasi " << name << "\r\nTerkirim: 1 dokumen\r\n";
    }
  }
  if (!o.bc23_status.empty()) {
    std::ofstream ini(fs::path(o.program_folder) / "TPB.ini", std::ios::binary);
    ini << "; Settings of the TPB application\r\n[Database]\r\nPath=dbTPB.mdb\r\n\r\n[Status]\r\nBC23="
        << o.bc23_status << "\r\nBC25=9\r\n";
  }
}

void InstallProgram(const std::string& source, const std::string& folder, const std::string& name) {
  fs::create_directories(folder);
  const fs::path target = fs::path(folder) / (name.empty() ? fs::path(source).filename() : fs::path(name));
  fs::copy_file(source, target, fs::copy_options::overwrite_existing);
  fs::permissions(target, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
}

namespace {

using Row = SqliteFile::Row;

Variant Date(int y, int m, int d) { return Variant(DateTime{y, m, d}); }

void Partners(SqliteFile& db) {
  db.Insert("tblData", {{"edinum", EncodeEdiNumber(kDemoOwnEdiNumber)}});
  const char* partners[][3] = {{"050100", "KPBC050100", "KPPBC_TANJUNG_PRIOK"},
                               {"040300", "KPBC040300", "KPPBC_SOEKARNO_HATTA"},
                               {"070100", "KPBC070100", "KPPBC_TANJUNG_PERAK"}};
  for (auto& p : partners) db.Insert("tblPartner", {{"KdKpbc", p[0]}, {"NomorEDI", p[1]}, {"namalokal", p[2]}});
  const char* statuses[][2] = {{"00", "Draft"},          {"01", "Siap dikirim"}, {"02", "Dalam antrian"},
                               {"03", "Terkirim"},       {"04", "Diterima"},     {"05", "Ditolak"},
                               {"06", "Respon diterima"}};
  for (auto& s : statuses) db.Insert("tblTabel", {{"KDTAB", "01"}, {"KDREC", s[0]}, {"URAIAN", s[1]}});
  db.Insert("tblTabel", {{"KDTAB", "02"}, {"KDREC", "01"}, {"URAIAN", "Kawasan Berikat"}});
}

void Bc23(SqliteFile& db) {
  struct Doc { const char* car; const char* no; const char* supplier; const char* country; int items; double bruto; };
  const Doc docs[] = {{kDemoBC23Car, "000123", "GUANGZHOU TEXTILE MACHINERY CO., LTD.", "CN", 3, 12500.5},
                      {kDemoBC23Car2, "000124", "OSAKA PRECISION PARTS K.K.", "JP", 2, 830.25}};
  for (const Doc& d : docs) {
    db.Insert("TBLBC23HDR",
              {{"CAR", d.car}, {"Kdkpbc", "050100"}, {"BC23No", d.no}, {"jnsbarang", "1"}, {"TujuanKirim", "1"},
               {"Tujuan", "1"}, {"tmptbn", "TPB01"}, {"pelmuat", "CNCAN"}, {"pelbkr", "IDTPP"},
               {"peltransit", Variant::Null()}, {"Kdkpbcawas", "050500"}, {"Kdkpbcbongkar", "040300"},
               {"tglTTD", Date(2026, 12, 1)}, {"Bruto", d.bruto}, {"Netto", d.bruto * 0.92},
               {"angkutno", "V.0231S"}, {"moda", "1"}, {"angkutnama", "MV. MERATUS JAYAKARTA"},
               {"Angkutfl", "ID"}, {"doktupno", "000517"}, {"Posno", "0012"}, {"Possub", "3"},
               {"DokTupKd", "1"}, {"PossubSub", "12"}, {"DokTupTg", Date(2026, 11, 28)},
               {"ppjkno", "PPJK-0099/2026"}, {"ppjktg", Date(2026, 1, 5)}, {"Pasoknama", d.supplier},
               {"Pasokalmt", "NO. 18 INDUSTRIAL ROAD"}, {"Pasokneg", d.country}, {"ppjkID", "5"},
               {"ppjkNPWP", "019876543210000"}, {"ppjkNama", "PT. CEPAT URUS KEPABEANAN"},
               {"ppjkAlmt", "JL. ENGGANO NO. 5, JAKARTA UTARA"}, {"usahaID", "5"},
               {"usahaNPWP", "011234567890000"}, {"usahaNama", "PT. SANDANG NUSANTARA"},
               {"usahaAlmt", "KAWASAN BERIKAT NUSANTARA, JL. JAWA BLOK C-7, CAKUNG"}, {"kotaTTD", "JAKARTA"},
               {"KdTPB", "1"}, {"namattd", "BUDI SANTOSO"}, {"usahaStatus", "1"},
               {"registrasi", "KEP-123/WBC.09/2024"}, {"apikd", "U"}, {"apino", "090412345"},
               {"ContakPerson", "RINA WULANDARI"}, {"NoPhone", "021-4401234"}, {"noFax", "021-4401235"},
               {"email", "exim@sandang.co.id"}, {"ndpbm", 15875.0}, {"kdVal", "USD"}, {"fob", 41250.0},
               {"freight", 1250.0}, {"asuransi", 210.5}, {"KdAss", "2"}, {"cif", 42710.5},
               {"nilInv", 41250.0}, {"Jmcont", 1}, {"Jmbrg", d.items}, {"Status", "01"}});
    db.Insert("TBLBC23CON", {{"CAR", d.car}, {"contno", "MRTU1234567"}, {"contukur", "40"}, {"contTipe", "F"}});
    db.Insert("TBLBC23KMS", {{"CAR", d.car}, {"jmkemas", 120}, {"jnkemas", "PK"}, {"merkkemas", "SN/2026/BALE"}});
    db.Insert("TBLBC23DOK", {{"CAR", d.car}, {"dokkd", "380"}, {"dokno", "INV-2026-0456"}, {"doktg", Date(2026, 11, 20)}});
    db.Insert("TBLBC23DOK", {{"CAR", d.car}, {"dokkd", "705"}, {"dokno", "BL-CAN-88231"}, {"doktg", Date(2026, 11, 22)}});
    const char* goods[][4] = {{"8446210000", "MESIN TENUN JET AIR", "TOYODA", "JAT810"},
                              {"8448590000", "SUKU CADANG MESIN TENUN", "TOYODA", "SPARE"},
                              {"5205120000", "BENANG KATUN 100%", "NUSA", "NE30"}};
    for (int i = 1; i <= d.items; ++i) {
      const auto& g = goods[(i - 1) % 3];
      db.Insert("TBLBC23DTL",
                {{"CAR", d.car}, {"Serial", i}, {"nohs", g[0]}, {"penggunaan", "1"}, {"kdfasdtl", "01"},
                 {"jnsBarangDtl", "1"}, {"TujuanKirimDtl", "1"}, {"BrgUrai", g[1]}, {"merk", g[2]},
                 {"tipe", g[3]}, {"spflain", "BARU"}, {"kdbrg", std::string("BRG-00") + std::to_string(i)},
                 {"BrgAsal", d.country}, {"nettoDtl", 1000.25 * i}, {"Kdsat", "PCE"}, {"Jmlsat", 10.0 * i},
                 {"Kemasjm", 4 * i}, {"Kemasjn", "PK"}, {"Dcif", 14236.83 * i}, {"Dnilinv", 13750.0 * i},
                 {"SeriTrp", i}});
      db.Insert("TBLBC23TRF",
                {{"CAR", d.car}, {"NoHS", g[0]}, {"SeriTrp", i}, {"KdTrpBm", "1"}, {"TrpBm", 5.0}, {"Satbmjm", 10.0 * i},
                 {"KdSatBm", "PCE"}, {"KdCuk", Variant::Null()}, {"KdTrpCuk", "1"}, {"TrpCuk", 0.0},
                 {"Satcukjm", 0.0}, {"KdSatCuk", Variant::Null()}, {"TrpPpn", 11.0}, {"TrpPbm", 0.0}});
      db.Insert("TBLBC23FAS",
                {{"CAR", d.car}, {"Serial", i}, {"Kdfasbm", "3"}, {"Fasbm", 100.0}, {"Kdfascuk", Variant::Null()},
                 {"Fascuk", 0.0}, {"Kdfasppn", "3"}, {"Fasppn", 100.0}, {"Kdfaspbm", Variant::Null()},
                 {"Faspbm", 0.0}, {"Kdfaspph", "3"}, {"Faspph", 100.0}});
    }
    const int charges[][3] = {{1, 3, 2135525}, {2, 3, 5167400}, {4, 3, 1067762}};
    for (auto& c : charges)
      db.Insert("TBLBC23PGT", {{"CAR", d.car}, {"Kdbeban", c[0]}, {"KdFasil", c[1]}, {"Nilbeban", c[2] * 1.0}});
  }
}

void Bc25(SqliteFile& db) {
  struct Doc { const char* car; const char* tujuan; const char* receiver; int items; };
  const Doc docs[] = {{kDemoBC25Car, "5", "PT. GARMEN LOKAL SEJAHTERA", 2},
                      {kDemoBC25Car2, "3", "CV. MITRA RETAIL INDONESIA", 3}};
  for (const Doc& d : docs) {
    db.Insert("TBLBC25HDR",
              {{"CAR", d.car}, {"Kdkpbc", "050100"}, {"jnBC25", "1"}, {"jnbarang", "1"}, {"kondisi", "1"},
               {"TujuanKirim", "1"}, {"dari", "1"}, {"Tujuan", d.tujuan}, {"TempatPenimbunan", "TPB01"},
               {"KdKpbcTujuan", "050500"}, {"tglTTDPenerima", Date(2026, 12, 2)}, {"tglTTD", Date(2026, 12, 2)},
               {"Bruto", 2450.75}, {"Netto", 2301.5}, {"ppjkno", Variant::Null()}, {"ppjktg", Variant::Null()},
               {"bamusnah", Variant::Null()}, {"tglMusnah", Variant::Null()}, {"usahaID", "5"},
               {"usahaNPWP", "011234567890000"}, {"usahaNama", "PT. SANDANG NUSANTARA"},
               {"usahaAlmt", "KAWASAN BERIKAT NUSANTARA, JL. JAWA BLOK C-7, CAKUNG"}, {"kotaTTD", "JAKARTA"},
               {"penerimaID", "5"}, {"penerimaNPWP", "027654321098000"}, {"penerimanama", d.receiver},
               {"penerimaAlmt", "JL. RAYA BOGOR KM 28, JAKARTA TIMUR"}, {"kotaTTDPenerima", "JAKARTA"},
               {"ppjkID", Variant::Null()}, {"ppjkNPWP", Variant::Null()}, {"ppjkNama", Variant::Null()},
               {"ppjkAlmt", Variant::Null()}, {"usahaStatus", "1"}, {"penerimaStatus", "2"},
               {"penerimaNiper", Variant::Null()}, {"ContakPerson", "RINA WULANDARI"}, {"NoPhone", "021-4401234"},
               {"noFax", Variant::Null()}, {"email", "exim@sandang.co.id"}, {"ndpbm", 15875.0}, {"kdVal", "USD"},
               {"hargaRp", 385250000.0}, {"hargaBBRp", 127500000.0}, {"Jmcont", 0}, {"Jmbrg", d.items},
               {"Status", "01"}});
    db.Insert("TBLBC25KMS", {{"CAR", d.car}, {"jmkemas", 85}, {"jnkemas", "CT"}, {"merkkemas", "SN-LOKAL"}});
    db.Insert("TBLBC25DOK", {{"CAR", d.car}, {"dokkd", "380"}, {"dokno", "INV-LOK-0091"}, {"doktg", Date(2026, 12, 1)}});
    db.Insert("TBLBC25DOK", {{"CAR", d.car}, {"dokkd", "217"}, {"dokno", "KONTRAK-17/2026"}, {"doktg", Date(2026, 10, 15)}});
    const char* goods[][3] = {{"6205200000", "KEMEJA PRIA KATUN LENGAN PANJANG", "SN"},
                              {"6204620000", "CELANA PANJANG WANITA KATUN", "SN"},
                              {"6109100000", "KAOS T-SHIRT KATUN", "SN"}};
    // Serials stored out of order: the builder writes them ascending.
    for (int i = d.items; i >= 1; --i) {
      const auto& g = goods[(i - 1) % 3];
      db.Insert("TBLBC25DTL",
                {{"CAR", d.car}, {"Serial", i}, {"nohs", g[0]}, {"penggunaanAsal", "1"}, {"penggunaanTujuan", "2"},
                 {"kdfasdtl", "01"}, {"jnsBarangDtl", "2"}, {"TujuanKirimDtl", "1"}, {"BrgUrai", g[1]},
                 {"merk", g[2]}, {"tipe", "REGULAR"}, {"spflain", "-"}, {"kdbrg", std::string("FG-00") + std::to_string(i)},
                 {"BrgAsal", "ID"}, {"nettoDtl", 750.5 * i}, {"Kdsat", "PCE"}, {"Jmlsat", 1200.0 * i},
                 {"Kemasjm", 25 * i}, {"Kemasjn", "CT"}, {"Satbmjm", 1200.0 * i}, {"Satcukjm", 0.0}});
      db.Insert("TBLBC25TRF",
                {{"CAR", d.car}, {"NoHS", g[0]}, {"KdTrpBm", "1"}, {"TrpBm", 7.5}, {"KdSatBm", "PCE"},
                 {"KdCuk", Variant::Null()}, {"KdTrpCuk", "1"}, {"TrpCuk", 0.0}, {"KdSatCuk", Variant::Null()},
                 {"TrpPpn", 11.0}, {"TrpPbm", 0.0}});
      db.Insert("TBLBC25FAS",
                {{"CAR", d.car}, {"Serial", i}, {"Kdfasbm", "3"}, {"Fasbm", 100.0}, {"Kdfascuk", Variant::Null()},
                 {"Fascuk", 0.0}, {"Kdfasppn", "3"}, {"Fasppn", 100.0}, {"Kdfaspbm", Variant::Null()},
                 {"Faspbm", 0.0}, {"Kdfaspph", "3"}, {"Faspph", 100.0}});
    }
    db.Insert("TBLBC25BB",
              {{"CAR", d.car}, {"Serial", 1}, {"hs", "5208520000"}, {"seriBB", "1"}, {"asalBB", "1"},
               {"urBrg", "KAIN TENUN KATUN CETAK"}, {"merk", "NUSA"}, {"tipe", "POPLIN"}, {"spflain", "LEBAR 150CM"},
               {"kodebarang", "RM-0001"}, {"nettoDtl", 420.0}, {"jnsatuan", "MTR"}, {"jmsatuan", 3600.0},
               {"cifDtlBb", 8031.25}, {"ndpbm", 15875.0}, {"kdVal", "USD"}, {"HrgPenyerahanDtl", 127500000.0}});
    const int charges[][3] = {{1, 3, 9633750}, {2, 3, 14025000}};
    for (auto& c : charges)
      db.Insert("TBLBC25PGT", {{"CAR", d.car}, {"Kdbeban", c[0]}, {"KdFasil", c[1]}, {"Nilbeban", c[2] * 1.0}});
  }
}

}  // namespace

void FillDemoData(SqliteFile& db) {
  db.Exec("BEGIN");
  Partners(db);
  Bc23(db);
  Bc25(db);
  db.Insert("TBLBC40HDR", {{"CAR", "05010000020220261205000005"}, {"Kdkpbc", "050100"},
                           {"Pasoknama", "PT. DAUR ULANG MANDIRI"}, {"Bruto", 1520.0}, {"Netto", 1400.0},
                           {"Jmcont", 0}, {"Jmbrg", 4}, {"Status", "00"}});
  db.Insert("tblKomLog", {{"waktu", Variant(DateTime{2026, 12, 1, 9, 15, 0})}, {"keterangan", "Kirim 1 dokumen"}});
  db.Insert("tblKomLog", {{"waktu", Variant(DateTime{2026, 12, 2, 14, 40, 0})}, {"keterangan", "Terima 2 respon"}});
  db.Exec("COMMIT");
}

}  // namespace sevrik::tools
