// The translator's result files, written by the tests in every shape the collector reads.
#include <gtest/gtest.h>

#include "base/error.h"
#include "core/runs/results.h"
#include "tests/testutil.h"
#include "tools/package/package.h"

namespace sevrik {
namespace {

using test::ErrorOf;

// A 6-line processing record with the given code and reference (no final line end).
std::string SixPieces(const std::string& code, const std::string& reference, const std::string& name = "e-BC23.flt") {
  return "IDT|1|" + name + "|TPBQUE|20261208|101500\r\n"
         "HDR|2971|0|BC23|-|-\r\n"
         "RES|QUEUED|ANTRIAN|-|TPBQUE|2026-12-08\r\n"
         "REF|EDI|" + reference + "|-|-|-\r\n"
         "MSG|CUSDEC|D|96B|UN|-\r\n"
         "END|-|-|" + code;
}

std::string FourPieces(const std::string& code) {
  return "IDT|1|e-BC23.flt|TPBQUE\r\nHDR|2971|0|BC23\r\nRES|2026-12-08|-|" + code + "\r\nEND";
}

class Results : public ::testing::Test {
 protected:
  void SetUp() override {
    tools::LayOutPackage(ws.package, test::BuiltProgram("tools/package"));
    conn = ws.Connect();
    session = std::make_unique<Session>(Session{*conn, dialogs, ws.program, ws.package, "", locale});
  }
  void Idt(const std::string& name, const std::string& text) { test::WriteFile(ws.package + "/entity0/log/" + name, text); }
  std::string Ipdata(const std::string& name) const { return test::ReadFile(ws.package + "/ipdata/" + name); }
  bool HasIpdata(const std::string& name) const { return test::Exists(ws.package + "/ipdata/" + name); }

  test::TestWorkspace ws;
  std::unique_ptr<Database> conn;
  test::ScriptedDialogs dialogs;
  LocaleInfo locale = [] {
    LocaleInfo l = LocaleInfo::Classic();
    l.short_date_order = DateOrder::DayMonthYear;
    return l;
  }();
  std::unique_ptr<Session> session;
};

TEST_F(Results, ASixLineRecordWithCode107IsASuccessWithItsLog) {
  Idt("a.idt", SixPieces("107", "Q20261208000001"));
  CollectTranslatorResult(*session, "TPBQUE");
  EXPECT_EQ(Ipdata("TPBQUE.STA"), "0\r\nSUCCESS\r\n");
  EXPECT_EQ(Ipdata("TPBQUE.LOG"),
            "BC23\r\nQ20261208000001\r\nANTRIAN\r\nDokumen berhasil diproses\r\n08Dec26\r\nTPBQUE\r\n");
}

TEST_F(Results, AFourLineRecordLeavesTheOtherLinesEmpty) {
  Idt("a.idt", FourPieces("107"));
  CollectTranslatorResult(*session, "TPBQUE");
  EXPECT_EQ(Ipdata("TPBQUE.STA"), "0\r\nSUCCESS\r\n");
  EXPECT_EQ(Ipdata("TPBQUE.LOG"), "BC23\r\n\r\n\r\nDokumen berhasil diproses\r\n\r\n\r\n");
}

TEST_F(Results, TheLastUsableRecordDecidesAndEarlierValuesStay) {
  Idt("1.idt", SixPieces("107", "Q1"));
  Idt("2.IDT", "not a record");
  Idt("3.idt", FourPieces("107"));
  CollectTranslatorResult(*session, "TPBQUE");
  EXPECT_EQ(Ipdata("TPBQUE.LOG"), "BC23\r\nQ1\r\nANTRIAN\r\nDokumen berhasil diproses\r\n08Dec26\r\nTPBQUE\r\n");
  Idt("4.idt", SixPieces("201", ""));
  CollectTranslatorResult(*session, "TPBQUE");
  EXPECT_EQ(Ipdata("TPBQUE.STA"), "201\r\nStruktur flat file tidak valid\r\n");
  EXPECT_FALSE(HasIpdata("TPBQUE.LOG"));  // no result log beside a failure
}

TEST_F(Results, NoRecordAtAllIsAFailureWithAnEmptyCode) {
  test::WriteFile(ws.package + "/ipdata/tpbque.log", "old log");
  CollectTranslatorResult(*session, "TPBQUE");
  EXPECT_EQ(Ipdata("TPBQUE.STA"), "\r\n\r\n");
  EXPECT_FALSE(HasIpdata("tpbque.log"));
}

TEST_F(Results, NamesAreStrippedOnlyInTheirExactCase) {
  Idt("a.idt", SixPieces("107", "R", "E-BC23.FLT"));
  CollectTranslatorResult(*session, "TPBQUE");
  EXPECT_EQ(Ipdata("TPBQUE.LOG").substr(0, 12), "E-BC23.FLT\r\n");
}

TEST_F(Results, BadRecordsAreSkippedOrRefused) {
  Idt("empty.idt", "");
  Idt("binary.idt", std::string("\0\xFF\x01\r\n\x80\r\n\r\n", 10));  // four pieces, too few fields
  EXPECT_EQ(ErrorOf([&] { CollectTranslatorResult(*session, "TPBQUE"); }), err::kSubscriptOutOfRange);
  EXPECT_EQ(Ipdata("TPBQUE.STA"), "SVK03\r\nHasil translator tidak dapat dibaca: kesalahan 9 (Subscript out of range)\r\n");
  std::remove((ws.package + "/entity0/log/binary.idt").c_str());
  Idt("huge.idt", std::string(30 << 20, 'x') + "\r\n");  // two pieces: skipped after one pass
  Idt("z.idt", SixPieces("107", "Q9"));
  CollectTranslatorResult(*session, "TPBQUE");
  EXPECT_EQ(Ipdata("TPBQUE.STA"), "0\r\nSUCCESS\r\n");
}

TEST_F(Results, StatusTextsMatchTrimmedCodesAndTheLastLineWins) {
  test::WriteFile(ws.package + "/entity0/log/status.txt",
                  " 107 |00|OK|first\r\n107|00|OK|last one\r\n108|x\r\n");
  EXPECT_EQ(LookupStatusText(*session, "107"), "last one");
  EXPECT_EQ(LookupStatusText(*session, "555"), "");
  EXPECT_EQ(ErrorOf([&] { LookupStatusText(*session, "108"); }), err::kSubscriptOutOfRange);
  std::remove((ws.package + "/entity0/log/status.txt").c_str());
  EXPECT_EQ(ErrorOf([&] { LookupStatusText(*session, "107"); }), err::kFileNotFound);
}

TEST_F(Results, TheStatusFileIsReadToItsFirstLineEnd) {
  test::WriteFile(ws.package + "/ipdata/TPBUNQ.STA", "0 \r\nSUCCESS\r\n");
  EXPECT_EQ(ReadStatusFile(*session, "TPBUNQ.STA"), "0 ");
  test::WriteFile(ws.package + "/ipdata/TPBUNQ.STA", "");
  EXPECT_EQ(ErrorOf([&] { ReadStatusFile(*session, "TPBUNQ.STA"); }), err::kInputPastEnd);
  EXPECT_EQ(ErrorOf([&] { ReadStatusFile(*session, "TPBQUE.STA"); }), err::kFileNotFound);
}

TEST_F(Results, TheQueueLogSetsReferenceAndStatus) {
  const std::string car = tools::kDemoBC23Car;
  auto sql = ws.OpenSqlite();
  auto state = [&] { return sql->QueryText("select snrf || '/' || Status from TBLBC23HDR where CAR = ?", {Variant(car)}); };
  ApplyQueueLog(*session, "tblBC23Hdr", car);  // no log: nothing
  EXPECT_EQ(sql->QueryText("select snrf is null from TBLBC23HDR where CAR = ?", {Variant(car)}), "1");
  test::WriteFile(ws.package + "/ipdata/TPBQUE.LOG", "BC23\r\n\r\nx\r\n");
  ApplyQueueLog(*session, "tblBC23Hdr", car);  // empty reference: nothing
  EXPECT_EQ(sql->QueryText("select Status from TBLBC23HDR where CAR = ?", {Variant(car)}), "01");
  test::WriteFile(ws.package + "/ipdata/TPBQUE.LOG", "BC23");
  EXPECT_EQ(ErrorOf([&] { ApplyQueueLog(*session, "tblBC23Hdr", car); }), err::kSubscriptOutOfRange);
  test::WriteFile(ws.package + "/ipdata/TPBQUE.LOG", "BC23\r\nQ20261208000007\r\n");
  EXPECT_TRUE(ApplyQueueLog(*session, "tblBC23Hdr", car).stored.written());
  EXPECT_EQ(state(), "Q20261208000007/02");
  const AppliedQueueLog none = ApplyQueueLog(*session, "tblBC23Hdr", "NO-SUCH-CAR");
  EXPECT_EQ(none.stored.where, StatusStored::Failed);
  EXPECT_EQ(none.stored.error->number(), err::kNoCurrentRecord);
  EXPECT_EQ(sql->QueryText("select count(*) from TBLBC23HDR where Status = '02'"), "1");
}

}  // namespace
}  // namespace sevrik
