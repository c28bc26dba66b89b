// The BC 2.5 flat file, "\ipdata\BC25.FLT": envelope, header records, items with their duty
// and tax lines, raw materials, summary, trailer. One function per record, in the order of
// the layout.
#include <memory>

#include "base/error.h"
#include "core/flat/builders.h"
#include "core/flat/child_rows.h"
#include "core/flat/flat_check.h"
#include "core/flat/flat_common.h"
#include "core/lookups/lookups.h"
#include "platform/runlog.h"

namespace sevrik {
namespace {

struct Bc25 {
  Session& s;
  FlatFile& file;
  const Recordset& hdr;
  ChildRows& tariffs;
  ChildRows& facilities;
  CheckList* check;  // a check: every failure noted here, the build goes on

  FlatRecord Rec(const char* tag) const { return FlatRecord(tag, s.locale, check); }
  Field H(const char* column) const { return Field(hdr.Field(column), "TBLBC25HDR", column); }
  static Field C(const Recordset& rs, const char* table, const char* column) {
    return Field(rs.Field(column), table, column);
  }
  bool Has(const char* column) const { return IsNonEmpty(H(column)); }

  // A walk that begins by moving to the first row: no row is error 3021, which ends the
  // build, or, in a check, a missing row noted as blocking.
  template <typename F>
  void Walk(Recordset& rows, const char* tag, const char* table, F&& body) {
    try {
      rows.MoveFirst();
    } catch (const Error& e) {
      if (!check || e.number() != err::kNoCurrentRecord) throw;
      check->AddMissingRows(tag, table, true);
      return;
    }
    for (; !rows.Eof(); rows.MoveNext()) body();
  }
  // A step that, in a check, notes its failure and lets the build go on.
  template <typename F>
  void Step(const char* tag, F&& step) {
    try {
      step();
    } catch (const Error& e) {
      if (!check) throw;
      check->AddFailure(tag, e, true);
    }
  }

  void Header(const std::string& car, Recordset& con, Recordset& kms, Recordset& dok) {
    file.Write(Rec("HDEC0101").Lit(car).Lit("2      ").Lit("9  ").Pad(H("jnBC25"), 1));
    file.Write(Rec("HDEC0201")
                   .PadB(H("jnbarang"), 2).Lit("185").PadB(H("kondisi"), 2).Lit("161")
                   .PadB(H("TujuanKirim"), 2).Lit("181").PadB(H("dari"), 2).Lit("Z02")
                   .PadB(H("Tujuan"), 2).Lit("Z03"));
    if (Has("TempatPenimbunan")) file.Write(Rec("HDEC0301").Lit("14 ").Blanks(8).TrailB(H("TempatPenimbunan")));
    if (Has("Kdkpbc")) file.Write(Rec("HDEC0301").Lit("22 ").TrailB(H("Kdkpbc")));
    if (Has("KdKpbcTujuan")) file.Write(Rec("HDEC0301").Lit("122").TrailB(H("KdKpbcTujuan")));
    if (Has("tglTTDPenerima")) file.Write(Rec("HDEC0401").Lit("310").DatePad(H("tglTTDPenerima"), 8));
    file.Write(Rec("HDEC0401").Lit("182").DatePad(H("tglTTD"), 8));
    file.Write(Rec("HDEC0501").Lit("WT ").Lit("AAD").Lit("KGM").Num(H("Bruto"), 14, 4));
    file.Write(Rec("HDEC0501").Lit("WT ").Lit("AAC").Lit("KGM").Num(H("Netto"), 14, 4));
    for (; !con.Eof(); con.MoveNext())
      file.Write(Rec("HDEC0601").Lit("CN ").PadB(C(con, "TBLBC25CON", "contno"), 17)
                     .PadB(C(con, "TBLBC25CON", "contukur"), 2).TrailB(C(con, "TBLBC25CON", "contTipe")));
    for (; !kms.Eof(); kms.MoveNext())
      file.Write(Rec("HDEC0701").Lit("ACH").Num(C(kms, "TBLBC25KMS", "jmkemas"), 8, 0)
                     .Pad(C(kms, "TBLBC25KMS", "jnkemas"), 2).Trail(C(kms, "TBLBC25KMS", "merkkemas")));
    if (Has("ppjkno")) file.Write(Reference(Variant("Z02"), H("ppjkno"), H("ppjktg")));
    if (Has("bamusnah")) file.Write(Reference(Variant("922"), H("bamusnah"), H("tglMusnah")));
    for (; !dok.Eof(); dok.MoveNext())
      file.Write(Reference(C(dok, "TBLBC25DOK", "dokkd"), C(dok, "TBLBC25DOK", "dokno"), dok.Field("doktg")));
    file.Write("HDEC0901AOZ0250");
    Party("SU ", "usahaID", "usahaNPWP", "usahaNama", "usahaAlmt", "kotaTTD");
    Party("CN ", "penerimaID", "penerimaNPWP", "penerimanama", "penerimaAlmt", "kotaTTDPenerima");
    Party("CB ", "ppjkID", "ppjkNPWP", "ppjkNama", "ppjkAlmt", nullptr);
    if (Has("usahaStatus")) file.Write(Rec("HDEC1201").Lit("STA").Trail(H("usahaStatus")));
    if (Has("penerimaStatus")) file.Write(Rec("HDEC1201").Lit("STP").Trail(H("penerimaStatus")));
    if (Has("penerimaNiper")) file.Write(Rec("HDEC1201").Lit("NPR").Trail(H("penerimaNiper")));
    if (Has("ContakPerson")) file.Write(Rec("HDEC1301").Lit("Z01").Trail(H("ContakPerson")));
    if (Has("NoPhone")) file.Write(Rec("HDEC1401").Pad(H("NoPhone"), 50).Lit("TE "));
    if (Has("noFax")) file.Write(Rec("HDEC1401").Pad(H("noFax"), 50).Lit("FX "));
    if (Has("email")) file.Write(Rec("HDEC1401").Pad(H("email"), 50).Lit("EM "));
    if (Has("ndpbm")) file.Write(Rec("HDEC1101").Lit("172").Num(H("ndpbm"), 14, 4).Trail(H("kdVal")));
    if (Has("hargaRp")) file.Write(Rec("HDEC1101").Lit("43 ").Num(H("hargaRp"), 18, 0).Lit("IDR"));
    if (Has("hargaBBRp")) file.Write(Rec("HDEC1101").Lit("84 ").Num(H("hargaBBRp"), 18, 0).Lit("IDR"));
  }

  // "HDEC0901": a document code, its number and date.
  FlatRecord Reference(const Field& code, const Field& number, const Field& date) const {
    FlatRecord r = Rec("HDEC0901");
    r.Pad(code, 3).Pad(number, 25).Blanks(2).Lit("182").DateTrail(date);
    return r;
  }

  void Party(const char* qualifier, const char* id, const char* npwp, const char* name, const char* address,
             const char* city) {
    if (!Has(name)) return;
    FlatRecord r = Rec("HDEC1001");
    r.Lit(qualifier).Pad(H(id), 1).Pad(H(npwp), 15).Pad(H(name), 50).Pad(H(address), 100);
    if (city) r.Pad(H(city), 30);
    file.Write(r);
  }

  void Item(Recordset& dtl) {
    const auto D = [&](const char* column) { return C(dtl, "TBLBC25DTL", column); };
    file.Write(Rec("DDEC0101")
                   .PadB(D("serial"), 5).PadB(D("nohs"), 12).PadB(D("penggunaanAsal"), 1)
                   .PadB(D("penggunaanTujuan"), 1).PadB(D("kdfasdtl"), 2)
                   .PadB(D("jnsBarangDtl"), 5).PadB(D("TujuanKirimDtl"), 5));
    file.Write(Rec("DDEC0201")
                   .Lit("AAA").PadB(D("BrgUrai"), 95).PadB(D("merk"), 15).PadB(D("tipe"), 15)
                   .PadB(D("spflain"), 15).PadB(D("kdbrg"), 15).Lit("27 ").PadB(D("BrgAsal"), 2)
                   .Lit("542"));
    file.Write(Rec("DDEC0301").Lit("AAI").Lit("KGM").Num(D("nettoDtl"), 14, 4));
    file.Write(Rec("DDEC0301").Lit("DX ").PadB(D("Kdsat"), 3).Num(D("Jmlsat"), 14, 4));
    file.Write(Rec("DDEC0401").Num(D("Kemasjm"), 8, 0).PadB(D("Kemasjn"), 2));

    Step("DDEC0701", [&] {
      auto trf = tariffs.For(TextKey(dtl.Field("nohs")));
      auto fas = facilities.For(NumericKey(dtl.Field("serial"), "Serial"));
      DutyAndTaxLines(*trf, *fas, dtl, {"TBLBC25TRF", "TBLBC25FAS", "TBLBC25DTL"}, s.locale, check,
                      [&](Recordset& rows, const char* table, auto&& make) {
                        Walk(rows, "DDEC0701", table, [&] { file.Write(make()); });
                      });
    });
  }

  void RawMaterial(const Recordset& bb) {
    const auto B = [&](const char* column) { return C(bb, "TBLBC25BB", column); };
    file.Write(Rec("DDEC0101").PadB(B("serial"), 5).PadB(B("hs"), 15));
    file.Write(Rec("DDEC0201").Lit("MKS").PadB(B("seriBB"), 5).PadB(B("asalBB"), 1));
    file.Write(Rec("DDEC0201")
                   .Lit("AAA").PadB(B("urBrg"), 95).PadB(B("merk"), 15).PadB(B("tipe"), 15)
                   .PadB(B("spflain"), 15).PadB(B("kodebarang"), 15));
    file.Write(Rec("DDEC0301").Lit("AAI").Lit("KGM").Num(B("nettoDtl"), 18, 0));
    file.Write(Rec("DDEC0301").Lit("DX ").PadB(B("jnsatuan"), 3).Num(B("jmsatuan"), 18, 0));
    file.Write(Rec("DDEC0501").Lit("141").Num(B("cifDtlBb"), 16, 2));
    file.Write(Rec("DDEC0501").Lit("172").Num(B("ndpbm"), 14, 4).TrailB(B("kdVal")));
    file.Write(Rec("DDEC0501").Lit("193").Num(B("HrgPenyerahanDtl"), 18, 0));
    file.Write("DDEC07011  CUD");
  }
};

}  // namespace

namespace {

// The build, or with a CheckList its check: the file kept in memory, nothing logged, every
// failure noted in the list.
BuildResult BuildBC25(Session& session, const std::string& car, CheckList* check) {
  const std::string own_edi = GetOwnEdiNumber(session.db);
  const Params key{Variant(car)};
  auto hdr = session.db.Execute("Select * From TBLBC25HDR Where CAR = ?", key);
  auto con = session.db.Execute("Select * From TBLBC25CON Where CAR = ?", key);
  auto kms = session.db.Execute("Select * From TBLBC25KMS Where CAR = ?", key);
  auto dok = session.db.Execute("Select * From TBLBC25DOK Where CAR = ?", key);
  auto dtl = session.db.Execute("Select * From TBLBC25DTL Where CAR = ? Order By Serial Asc", key);
  auto pgt = session.db.Execute("SELECT * FROM TBLBC25PGT Where CAR =?", key);

  BuildResult result;
  try {
    if (hdr->Eof()) return result;
    std::unique_ptr<FlatFile> file =
        check ? std::make_unique<FlatFile>() : std::make_unique<FlatFile>(session.package_folder + "\\ipdata\\BC25.FLT");
    // The tariff rows of each item's NoHS and the facility rows of each item's Serial, with
    // the columns that Item() reads.
    ChildRows tariffs(session.db, "SELECT * FROM TBLBC25TRF Where CAR =?", key, {"NoHS"},
                      {"KdTrpBm", "TrpBm", "KdSatBm", "KdCuk", "KdTrpCuk", "TrpCuk", "KdSatCuk", "TrpPpn", "TrpPbm"});
    ChildRows facilities(session.db, "SELECT * FROM TBLBC25FAS Where CAR =?", key, {"Serial"}, kFacilityColumns);
    Bc25 b{session, *file, *hdr, tariffs, facilities, check};
    const std::string recipient = GetPartnerEdiNumber(session.db, ToText(hdr->Field("Kdkpbc"), session.locale));
    file->Write(EnvelopeRecord(own_edi, recipient, "BC25", session.locale, check));
    b.Header(car, *con, *kms, *dok);
    file->Write("UNS00101D");

    size_t item = 0;
    b.Walk(*dtl, "DDEC0101", "TBLBC25DTL", [&] {
      if (check) check->SetPlace("barang ke-" + std::to_string(++item));
      b.Item(*dtl);
    });
    if (EqualsNumber(hdr->Field("Tujuan"), 5, session.locale) || EqualsNumber(hdr->Field("Tujuan"), 7, session.locale)) {
      auto bb = session.db.Execute("Select * From TBLBC25BB Where CAR = ? Order By Serial Asc", key);
      size_t material = 0;
      for (; !bb->Eof(); bb->MoveNext()) {
        if (check) check->SetPlace("bahan baku ke-" + std::to_string(++material));
        b.RawMaterial(*bb);
      }
    }
    if (check) check->SetPlace({});
    file->Write("UNS00201S");
    if (b.Has("Jmcont")) file->Write(CountRecord("16 ", b.H("Jmcont"), session.locale, check));
    if (b.Has("Jmbrg")) file->Write(CountRecord("6  ", b.H("Jmbrg"), session.locale, check));
    b.Walk(*pgt, "SDEC0201", "TBLBC25PGT",
           [&] { file->Write(ChargeRecord(*pgt, "TBLBC25PGT", false, session.locale, check)); });
    file->Write("UNT00101");
    file->Write("UNZ00101");
    file->Close();
    result.whole = true;
  } catch (const Error& e) {
    // The file was closed as the build unwound: it keeps what was written, without trailer.
    if (check) {
      check->AddFailure({}, e, true);
      return result;
    }
    AppendToRunLog(session.RunLogPath(), e);
    result.first_error = e;
    result.errors = 1;
  }
  return result;
}

}  // namespace

BuildResult BuildFlatBC25(Session& session, const std::string& car) { return BuildBC25(session, car, nullptr); }

void CheckFlatBC25(Session& session, const std::string& car, CheckList& check) { BuildBC25(session, car, &check); }

}  // namespace sevrik
