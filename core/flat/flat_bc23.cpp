// The BC 2.3 flat file "\IPDATA\BC23.FLT".
// Every step of the build runs under the step log's rule: a failed step is logged and the
// next one runs, so a failing record is only missing from its file.
#include <memory>
#include <optional>

#include "base/error.h"
#include "base/text.h"
#include "core/flat/builders.h"
#include "core/flat/child_rows.h"
#include "core/flat/fields.h"
#include "core/flat/flat_common.h"
#include "core/flat/step_log.h"
#include "core/lookups/lookups.h"
#include "platform/fs.h"
#include "platform/ini.h"
#include "platform/runlog.h"

namespace sevrik {
namespace {

// A value as the customs application's statements concatenate it: null gives "".
std::string Concat(const Variant& v, const LocaleInfo& locale) { return v.is_null() ? std::string() : ToText(v, locale); }

// The last `n` characters of `prefix` + the trimmed value.
Variant ZeroFilled(const Variant& v, const char* prefix, size_t n, const LocaleInfo& locale) {
  const std::string text = prefix + std::string(Trim(Concat(v, locale)));
  return Variant(text.size() > n ? text.substr(text.size() - n) : text);
}

class Bc23 {
 public:
  // Given a CheckList, the build checks the document: the file is kept in memory, nothing is
  // shown or logged, and every failure is noted in the list.
  Bc23(Session& s, const std::string& car, CheckList* check = nullptr)
      : s_(s), car_(car), check_(check), steps_(s.RunLogPath(), check) {}

  // The flat file alone, closed, with the progress shown meanwhile.
  BuildResult BuildFile() {
    ProgressSink none;
    ProgressSink& progress = s_.progress && !check_ ? *s_.progress : none;
    progress.Show();
    steps_.Step([&] {
      file_ = check_ ? std::make_unique<FlatFile>() : std::make_unique<FlatFile>(s_.package_folder + "\\IPDATA\\BC23.FLT");
    });
    const Params key{Variant(car_)};
    hdr_ = Query([&] { return s_.db.Execute("SELECT * FROM TBLBC23HDR Where CAR =?", key); });
    auto dtl = Query([&] { return s_.db.Open("SELECT * FROM TBLBC23DTL Where CAR =?", key, CursorType::Static); });
    auto kms = Query([&] { return s_.db.Execute("SELECT * FROM TBLBC23KMS Where CAR =?", key); });
    auto dok = Query([&] { return s_.db.Execute("Select * From TBLBC23DOK Where Car = ?", key); });
    auto pgt = Query([&] { return s_.db.Execute("SELECT * FROM TBLBC23PGT Where CAR =?", key); });
    auto con = Query([&] { return s_.db.Execute("Select * from TBLBC23CON Where Car = ?", key); });

    bool empty = false;
    steps_.Step([&] { empty = hdr_->Eof(); });
    if (!empty) {
      std::string own;
      steps_.Step([&] { own = GetOwnEdiNumber(s_.db); });
      steps_.Step([&] { recipient_ = GetPartnerEdiNumber(s_.db, Concat(H("Kdkpbc"), s_.locale)); });
      Put([&] {
        FlatRecord r = EnvelopeRecord(own, recipient_, "BC23", s_.locale, check_);
        r.Blanks(14);
        return r;
      });
      std::string status = "9";
      steps_.Step([&] { status = ReadIniString(s_.program_folder + "\\TPB.ini", "Status", "BC23", "9"); });
      Header(status, *con, *kms, *dok);
      Put("UNS00101D");
      Items(*dtl, progress);
      Put("UNS00201S");
      if (Has("Jmcont")) Put([&] { return CountRecord("16 ", H("Jmcont"), s_.locale); });
      if (Has("Jmbrg")) Put([&] { return CountRecord("6  ", H("Jmbrg"), s_.locale); });
      steps_.Walk(*pgt, [&] { Write(ChargeRecord(*pgt, "TBLBC23PGT", true, s_.locale, check_)); }, true, "SDEC0201",
               "TBLBC23PGT");
      Put("UNT00101");
      Put("UNZ00101");
    }
    bool closed = false;
    steps_.Step([&] {
      if (!file_) throw Error(err::kBadFileName);
      file_->Close();
      closed = true;
    });
    file_.reset();
    progress.Hide();
    return {closed && !steps_.first_failure(), steps_.first_logged(), steps_.logged(), steps_.first_failure(), recipient_};
  }

 private:
  template <typename F>
  std::unique_ptr<Recordset> Query(F&& open) {
    std::unique_ptr<Recordset> rs;
    if (!steps_.Step([&] { rs = open(); })) rs = Recordset::Closed();
    return rs;
  }

  Field H(const char* column) const { return Field(hdr_->Field(column), "TBLBC23HDR", column); }
  static Field C(const Recordset& rs, const char* table, const char* column) {
    return Field(rs.Field(column), table, column);
  }
  bool Has(const char* column) { return steps_.Test([&] { return IsNonEmpty(H(column)); }); }
  FlatRecord Rec(const char* tag) const { return FlatRecord(tag, s_.locale, check_); }

  void Write(const FlatRecord& r) {
    if (!file_) throw Error(err::kBadFileName);
    file_->Write(r);
  }
  // One record as one step: building it or writing it may fail, alone.
  template <typename F>
  void Put(F&& make) {
    steps_.Step([&] { Write(make()); });
  }
  void Put(const char* literal) {
    steps_.Step([&] {
      if (!file_) throw Error(err::kBadFileName);
      file_->Write(literal);
    });
  }

  void Header(const std::string& status, Recordset& con, Recordset& kms, Recordset& dok) {
    Put([&] {
      FlatRecord r = Rec("HDEC0101");
      r.Lit(car_).Lit("1");
      if (status == "4") r.Right(H("BC23No"), 6).Lit("4  ");
      else r.Blanks(6).Lit("9  ");
      return r;
    });
    Put([&] {
      return Rec("HDEC0201").PadB(H("jnsbarang"), 2).Lit("185").Blanks(5).PadB(H("TujuanKirim"), 2).Lit("181")
          .Blanks(5).PadB(H("Tujuan"), 2).Lit("Z03");
    });
    const std::pair<const char*, const char*> places[] = {{"14 ", "tmptbn"},      {"9  ", "pelmuat"},
                                                          {"11 ", "pelbkr"},      {"13 ", "peltransit"},
                                                          {"Z01", "Kdkpbcawas"},  {"41 ", "Kdkpbcbongkar"},
                                                          {"22 ", "Kdkpbc"}};
    for (const auto& place : places)
      if (Has(place.second))
        Put([&] {
          FlatRecord r = Rec("HDEC0301");
          r.Lit(place.first).Pad(H(place.second), 8);
          if (std::string(place.first) == "14 ") r.Blanks(70);
          return r;
        });
    if (Has("tglTTD")) Put([&] { return Rec("HDEC0401").Lit("182").DatePad(H("tglTTD"), 8); });
    Put([&] { return Rec("HDEC0501").Lit("WT AADKGM").Num(H("Bruto"), 14, 4); });
    Put([&] { return Rec("HDEC0501").Lit("WT AACKGM").Num(H("Netto"), 14, 4); });
    steps_.Walk(con, [&] {
      Write(Rec("HDEC0601").Lit("CN ").PadB(C(con, "TBLBC23CON", "contno"), 17)
                .PadB(C(con, "TBLBC23CON", "contukur"), 2).PadB(C(con, "TBLBC23CON", "contTipe"), 1));
    }, false);
    steps_.Walk(kms, [&] {
      Write(Rec("HDEC0701").Lit("ACH").Num(C(kms, "TBLBC23KMS", "jmkemas"), 8, 0)
                .PadB(C(kms, "TBLBC23KMS", "jnkemas"), 2).PadB(C(kms, "TBLBC23KMS", "merkkemas"), 50));
    }, false);
    if (steps_.Test([&] { return IsNonEmpty(H("angkutno")) || IsNonEmpty(H("moda")) || IsNonEmpty(H("angkutnama")); }))
      Put([&] {
        return Rec("HDEC0801").Lit("20 ").Pad(H("angkutno"), 10).Pad(H("moda"), 1).Pad(H("angkutnama"), 35)
            .PadB(H("Angkutfl"), 2);
      });
    Put([&] { return Rec("HDEC0901").Lit("AOZ").Pad(Variant("0250"), 25).Blanks(2).Lit("182").Lit("20100118"); });
    if (Has("doktupno"))
      Put([&] {
        const LocaleInfo& l = s_.locale;
        return Rec("HDEC0901").Lit("85 ").Pad(H("doktupno"), 6).PadB(H("Posno"), 4)
            .Lit(ZeroFilled(H("Possub"), "00", 2, l).text()).PadB(H("DokTupKd"), 1)
            .Lit(ZeroFilled(H("Possub"), "0000", 4, l).text()).Lit(ZeroFilled(H("PossubSub"), "0000", 4, l).text())
            .Blanks(6).Lit("182").DatePad(SpaceIfEmpty(H("DokTupTg")), 8);
      });
    if (Has("ppjkno"))
      Put([&] { return Rec("HDEC0901").Lit("Z02").Pad(H("ppjkno"), 25).Blanks(2).Lit("182").DatePad(H("ppjktg"), 8); });
    steps_.Walk(dok, [&] {
      Write(Rec("HDEC0901").PadB(C(dok, "TBLBC23DOK", "dokkd"), 3).PadB(C(dok, "TBLBC23DOK", "dokno"), 25)
                .Blanks(2).Lit("182").TrailB(Variant(FormatYyyymmdd(dok.Field("doktg")))));
    }, true, "HDEC0901", "TBLBC23DOK");
    if (Has("Pasoknama"))
      Put([&] {
        return Rec("HDEC1001").Lit("SU ").Blanks(16).Pad(H("Pasoknama"), 50).PadB(H("Pasokalmt"), 100).Blanks(35)
            .PadB(H("Pasokneg"), 2);
      });
    if (Has("ppjkNama"))
      Put([&] {
        return Rec("HDEC1001").Lit("CB ").Pad(H("ppjkID"), 1).PadB(H("ppjkNPWP"), 15).Pad(H("ppjkNama"), 50)
            .PadB(H("ppjkAlmt"), 100).Blanks(35).Blanks(2);
      });
    if (Has("usahaID"))
      Put([&] {
        return Rec("HDEC1001").Lit("CN ").Pad(H("usahaID"), 1).PadB(H("usahaNPWP"), 15).Pad(H("usahaNama"), 50)
            .PadB(H("usahaAlmt"), 100).PadB(H("kotaTTD"), 30).PadB(H("KdTPB"), 5).Blanks(2);
      });
    if (Has("namattd"))
      Put([&] { return Rec("HDEC1001").Lit("Z01").Blanks(16).Pad(H("namattd"), 50).Blanks(100).TrailB(H("kotaTTD")); });
    if (Has("usahaStatus")) Put([&] { return Rec("HDEC1201").Lit("STA").Pad(H("usahaStatus"), 2); });
    if (Has("registrasi")) Put([&] { return Rec("HDEC1201").Lit("REG").Pad(H("registrasi"), 35); });
    if (steps_.Test([&] { return IsNonEmpty(H("apikd")) || IsNonEmpty(H("apino")); }))
      Put([&] {
        const Variant api(Concat(H("apikd"), s_.locale) + Concat(H("apino"), s_.locale));
        return Rec("HDEC1201").Lit("API").Pad(Field(api, "TBLBC23HDR", "apikd+apino"), 16);
      });
    if (Has("ContakPerson")) Put([&] { return Rec("HDEC1301").Lit("Z02").Pad(H("ContakPerson"), 30); });
    if (Has("NoPhone")) Put([&] { return Rec("HDEC1401").Pad(H("NoPhone"), 50).Lit("TE "); });
    if (Has("noFax")) Put([&] { return Rec("HDEC1401").Pad(H("noFax"), 50).Lit("FX "); });
    if (Has("email")) Put([&] { return Rec("HDEC1401").Pad(H("email"), 50).Lit("EM "); });
    if (Has("ndpbm")) Put([&] { return Rec("HDEC1101").Lit("172").Num(H("ndpbm"), 14, 4).PadB(H("kdVal"), 3); });
    if (steps_.Test([&] { return !H("fob").value().is_null() && ToDouble(H("fob"), s_.locale) != 0; }))
      Put([&] { return Rec("HDEC1101").Lit("63 ").Num(H("fob"), 14, 4); });
    if (Has("freight")) Put([&] { return Rec("HDEC1101").Lit("64 ").Num(H("freight"), 14, 4); });
    if (Has("asuransi")) Put([&] { return Rec("HDEC1101").Lit("67 ").Num(H("asuransi"), 14, 4).PadB(H("KdAss"), 1); });
    if (Has("cif")) Put([&] { return Rec("HDEC1101").Lit("141").Num(H("cif"), 14, 4).Blanks(3); });
    if (Has("nilInv")) Put([&] { return Rec("HDEC1101").Lit("77 ").Num(H("nilInv"), 14, 4).Lit("IDR"); });
  }

  void Items(Recordset& dtl, ProgressSink& progress) {
    const Params key{Variant(car_)};
    // Each item's tariffs (by NoHS and SeriTrp) and facilities (by Serial), read once.
    ChildRows tariffs(s_.db, "SELECT * FROM TBLBC23TRF Where CAR =?", key, {"NoHS", "SeriTrp"},
                      {"KdTrpBm", "TrpBm", "Satbmjm", "KdSatBm", "KdCuk", "KdTrpCuk", "TrpCuk", "Satcukjm", "KdSatCuk",
                       "TrpPpn", "TrpPbm"});
    ChildRows facilities(s_.db, "SELECT * FROM TBLBC23FAS Where CAR =?", key, {"Serial"}, kFacilityColumns);
    steps_.Step([&] { progress.SetMaximum(dtl.RecordCount()); });
    int16_t counter = 0;
    const LocaleInfo& l = s_.locale;
    size_t item = 0;
    steps_.Walk(dtl, [&] {
      if (check_) check_->SetPlace("barang ke-" + std::to_string(++item));
      const auto D = [&](const char* column) { return C(dtl, "TBLBC23DTL", column); };
      Put([&] {
        return Rec("DDEC0101").PadB(D("serial"), 5).PadB(D("nohs"), 12).PadB(D("penggunaan"), 1)
            .PadB(D("kdfasdtl"), 2).PadB(D("jnsBarangDtl"), 5).PadB(D("TujuanKirimDtl"), 5);
      });
      Put([&] {
        return Rec("DDEC0201").Lit("AAA").PadB(D("BrgUrai"), 95).PadB(D("merk"), 15).PadB(D("tipe"), 15)
            .PadB(D("spflain"), 15).PadB(D("kdbrg"), 15).Lit("27 ").PadB(D("BrgAsal"), 2).Lit("542");
      });
      Put([&] { return Rec("DDEC0301").Lit("AAIKGM").Num(D("nettoDtl"), 14, 4); });
      Put([&] { return Rec("DDEC0301").Lit("DX ").PadB(D("Kdsat"), 3).Num(D("Jmlsat"), 14, 4); });
      Put([&] { return Rec("DDEC0401").Num(D("Kemasjm"), 8, 0).PadB(D("Kemasjn"), 2); });
      Put([&] { return Rec("DDEC0501").Lit("141").Num(D("Dcif"), 16, 2).Blanks(3); });
      Put([&] { return Rec("DDEC0501").Lit("38 ").Num(D("Dnilinv"), 16, 2).Blanks(3); });
      steps_.SetTag("DDEC0701");
      auto trf = Query([&] {
        return tariffs.For({TextKey(D("nohs")), NumericKey(D("SeriTrp"), "SeriTrp")});
      });
      auto fas = Query([&] { return facilities.For({NumericKey(D("serial"), "Serial")}); });
      steps_.SetTag({});
      DutyAndTaxLines(*trf, *fas, *trf, {"TBLBC23TRF", "TBLBC23FAS", "TBLBC23TRF"}, l, check_,
                      [&](Recordset& rows, const char* table, auto&& make) {
                        steps_.Walk(rows, [&] { Write(make()); }, true, "DDEC0701", table);
                      });
      // A 16-bit counter: past 32,767 items the progress stops, and the file is whole all the same.
      steps_.Forgiven([&] {
        if (counter == INT16_MAX) throw Error(err::kOverflow);
        ++counter;
        progress.SetValue(counter);
      });
    }, true, "DDEC0101", "TBLBC23DTL");
    if (check_) check_->SetPlace({});
  }

 private:
  Session& s_;
  const std::string car_;
  CheckList* check_;
  StepLog steps_;
  std::unique_ptr<FlatFile> file_;
  std::unique_ptr<Recordset> hdr_;
  std::string recipient_;
};

}  // namespace

BuildResult BuildFlatBC23(Session& session, const std::string& car) { return Bc23(session, car).BuildFile(); }

void CheckFlatBC23(Session& session, const std::string& car, CheckList& check) {
  Bc23(session, car, &check).BuildFile();
}

}  // namespace sevrik
