// The BC 2.5 flat file, "\ipdata\BC25.FLT": envelope, header records, items with their duty
// and tax lines, raw materials, summary, trailer. One function per record, in the order of
// the layout.
#include <memory>

#include "interface/child_rows.h"
#include "interface/flat_common.h"
#include "interface/mdlCreateFlat.h"
#include "interface/mdlMain.h"
#include "platform/error.h"
#include "platform/runlog.h"

namespace sevrik {
namespace {

struct Bc25 {
  Session& s;
  FlatFile& file;
  const Recordset& hdr;
  ChildRows& tariffs;
  ChildRows& facilities;

  FlatRecord Rec(const char* tag) const { return FlatRecord(tag, s.locale); }
  const Variant& H(const char* column) const { return hdr.Field(column); }
  bool Has(const char* column) const { return IsNonEmpty(H(column)); }

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
      file.Write(Rec("HDEC0601").Lit("CN ").PadB(con.Field("contno"), 17).PadB(con.Field("contukur"), 2)
                     .TrailB(con.Field("contTipe")));
    for (; !kms.Eof(); kms.MoveNext())
      file.Write(Rec("HDEC0701").Lit("ACH").Num(kms.Field("jmkemas"), 8, 0).Pad(kms.Field("jnkemas"), 2)
                     .Trail(kms.Field("merkkemas")));
    if (Has("ppjkno")) file.Write(Reference(Variant("Z02"), H("ppjkno"), H("ppjktg")));
    if (Has("bamusnah")) file.Write(Reference(Variant("922"), H("bamusnah"), H("tglMusnah")));
    for (; !dok.Eof(); dok.MoveNext()) file.Write(Reference(dok.Field("dokkd"), dok.Field("dokno"), dok.Field("doktg")));
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
  FlatRecord Reference(const Variant& code, const Variant& number, const Variant& date) const {
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

  void Item(const Recordset& dtl) {
    file.Write(Rec("DDEC0101")
                   .PadB(dtl.Field("serial"), 5).PadB(dtl.Field("nohs"), 12).PadB(dtl.Field("penggunaanAsal"), 1)
                   .PadB(dtl.Field("penggunaanTujuan"), 1).PadB(dtl.Field("kdfasdtl"), 2)
                   .PadB(dtl.Field("jnsBarangDtl"), 5).PadB(dtl.Field("TujuanKirimDtl"), 5));
    file.Write(Rec("DDEC0201")
                   .Lit("AAA").PadB(dtl.Field("BrgUrai"), 95).PadB(dtl.Field("merk"), 15).PadB(dtl.Field("tipe"), 15)
                   .PadB(dtl.Field("spflain"), 15).PadB(dtl.Field("kdbrg"), 15).Lit("27 ").PadB(dtl.Field("BrgAsal"), 2)
                   .Lit("542"));
    file.Write(Rec("DDEC0301").Lit("AAI").Lit("KGM").Num(dtl.Field("nettoDtl"), 14, 4));
    file.Write(Rec("DDEC0301").Lit("DX ").PadB(dtl.Field("Kdsat"), 3).Num(dtl.Field("Jmlsat"), 14, 4));
    file.Write(Rec("DDEC0401").Num(dtl.Field("Kemasjm"), 8, 0).PadB(dtl.Field("Kemasjn"), 2));

    auto trf = tariffs.For(TextKey(dtl.Field("nohs")));
    auto fas = facilities.For(NumericKey(dtl.Field("serial"), "Serial"));
    // A walk that begins by moving to the first row: an empty recordset is error 3021.
    DutyAndTaxLines(*trf, *fas, dtl, s.locale, [&](Recordset& rows, auto&& make) {
      for (rows.MoveFirst(); !rows.Eof(); rows.MoveNext()) file.Write(make());
    });
  }

  void RawMaterial(const Recordset& bb) {
    file.Write(Rec("DDEC0101").PadB(bb.Field("serial"), 5).PadB(bb.Field("hs"), 15));
    file.Write(Rec("DDEC0201").Lit("MKS").PadB(bb.Field("seriBB"), 5).PadB(bb.Field("asalBB"), 1));
    file.Write(Rec("DDEC0201")
                   .Lit("AAA").PadB(bb.Field("urBrg"), 95).PadB(bb.Field("merk"), 15).PadB(bb.Field("tipe"), 15)
                   .PadB(bb.Field("spflain"), 15).PadB(bb.Field("kodebarang"), 15));
    file.Write(Rec("DDEC0301").Lit("AAI").Lit("KGM").Num(bb.Field("nettoDtl"), 18, 0));
    file.Write(Rec("DDEC0301").Lit("DX ").PadB(bb.Field("jnsatuan"), 3).Num(bb.Field("jmsatuan"), 18, 0));
    file.Write(Rec("DDEC0501").Lit("141").Num(bb.Field("cifDtlBb"), 16, 2));
    file.Write(Rec("DDEC0501").Lit("172").Num(bb.Field("ndpbm"), 14, 4).TrailB(bb.Field("kdVal")));
    file.Write(Rec("DDEC0501").Lit("193").Num(bb.Field("HrgPenyerahanDtl"), 18, 0));
    file.Write("DDEC07011  CUD");
  }
};

}  // namespace

BuildResult CreateFlatBC25(Session& session, const std::string& car) {
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
    FlatFile file(session.package_folder + "\\ipdata\\BC25.FLT");
    // The tariff rows of each item's NoHS and the facility rows of each item's Serial, with
    // the columns that Item() reads.
    ChildRows tariffs(session.db, "SELECT * FROM TBLBC25TRF Where CAR =?", key, {"NoHS"},
                      {"KdTrpBm", "TrpBm", "KdSatBm", "KdCuk", "KdTrpCuk", "TrpCuk", "KdSatCuk", "TrpPpn", "TrpPbm"});
    ChildRows facilities(session.db, "SELECT * FROM TBLBC25FAS Where CAR =?", key, {"Serial"}, kFacilityColumns);
    Bc25 b{session, file, *hdr, tariffs, facilities};
    const std::string recipient = GetPartnerEdiNumber(session.db, ToText(hdr->Field("Kdkpbc"), session.locale));
    file.Write(EnvelopeRecord(own_edi, recipient, "BC25", session.locale));
    b.Header(car, *con, *kms, *dok);
    file.Write("UNS00101D");

    for (dtl->MoveFirst(); !dtl->Eof(); dtl->MoveNext()) b.Item(*dtl);
    if (EqualsNumber(hdr->Field("Tujuan"), 5, session.locale) || EqualsNumber(hdr->Field("Tujuan"), 7, session.locale)) {
      auto bb = session.db.Execute("Select * From TBLBC25BB Where CAR = ? Order By Serial Asc", key);
      for (; !bb->Eof(); bb->MoveNext()) b.RawMaterial(*bb);
    }
    file.Write("UNS00201S");
    if (b.Has("Jmcont")) file.Write(CountRecord("16 ", hdr->Field("Jmcont"), session.locale));
    if (b.Has("Jmbrg")) file.Write(CountRecord("6  ", hdr->Field("Jmbrg"), session.locale));
    for (pgt->MoveFirst(); !pgt->Eof(); pgt->MoveNext()) file.Write(ChargeRecord(*pgt, false, session.locale));
    file.Write("UNT00101");
    file.Write("UNZ00101");
    file.Close();
    result.whole = true;
  } catch (const Error& e) {
    // The file was closed as the build unwound: it keeps what was written, without trailer.
    AppendToRunLog(session.RunLogPath(), e);
    result.first_error = e;
    result.errors = 1;
  }
  return result;
}

}  // namespace sevrik
