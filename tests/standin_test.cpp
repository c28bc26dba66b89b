// The stand-in translator package, driven as the interface drives it.
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>

#include "base/text.h"
#include "core/runs/results.h"
#include "platform/fs.h"
#include "platform/process.h"
#include "tests/testutil.h"
#include "tools/package/package.h"

namespace sevrik {
namespace {

const std::string kFlat =
    "ENV00101TPBSVK0000123456    KPBC050100          BC23      2              \r\n"
    "HDEC0101CAR1      9  \r\nUNS00101D\r\nUNS00201S\r\nUNT00101\r\nUNZ00101\r\n";

class StandIn : public ::testing::Test {
 protected:
  void SetUp() override {
    tools::LayOutPackage(pkg, test::BuiltProgram("tools/package"), {true, true});
    test::WriteFile(pkg + "/ipdata/BC23.FLT", kFlat);
    saved = CurrentDirectory();
    ASSERT_EQ(::chdir(pkg.c_str()), 0);
  }
  void TearDown() override { ASSERT_EQ(::chdir(saved.c_str()), 0); }
  std::string File(const std::string& name) const { return test::ReadFile(pkg + "/" + name); }
  bool Has(const std::string& name) const { return test::Exists(pkg + "/" + name); }
  void Control(const std::string& text) { test::WriteFile(pkg + "/standin.ctl", text); }
  void Queue() { RunAndWait("ranuvel \"" + pkg + "\\TPBQUE.ext\" \"" + pkg + "\\IPDATA\\BC23.FLT\" \"KPPBC A\" \"Dokumen BC23\" BC23"); }

  test::TempDir dir;
  std::string pkg = dir / "EDI";
  std::string saved;
};

TEST_F(StandIn, QueuesAGoodFlatFileWithAFreshReference) {
  Queue();
  EXPECT_EQ(File("ipdata/TPBQUE.STA"), "0\r\nSUCCESS\r\n");
  const auto log = Split(File("ipdata/TPBQUE.LOG"), "\r\n");
  ASSERT_EQ(log.size(), 7u);
  EXPECT_EQ(log[0], "BC23");
  EXPECT_EQ(log[1].size(), 15u);
  Queue();
  EXPECT_NE(Split(File("ipdata/TPBQUE.LOG"), "\r\n")[1], log[1]);
  EXPECT_NE(File("calls.log").find("ranuvel [" + pkg + "] <" + pkg + "\\TPBQUE.ext> <" + pkg +
                                   "\\IPDATA\\BC23.FLT> <KPPBC A> <Dokumen BC23> <BC23>"),
            std::string::npos)
      << File("calls.log");
}

TEST_F(StandIn, RefusesABadFlatFileAndObeysTheControlFile) {
  test::WriteFile(pkg + "/ipdata/BC23.FLT", "HDEC0101X\r\n");
  Queue();
  EXPECT_EQ(File("ipdata/TPBQUE.STA").substr(0, 5), "201\r\n");
  test::WriteFile(pkg + "/ipdata/BC23.FLT", kFlat);
  Control("result=202\n");
  Queue();
  EXPECT_EQ(File("ipdata/TPBQUE.STA").substr(0, 5), "202\r\n");
  std::filesystem::remove(pkg + "/ipdata/TPBQUE.STA");
  Control("silent\nsleep=600\n");
  const auto start = std::chrono::steady_clock::now();
  Queue();
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(600));
  EXPECT_FALSE(Has("ipdata/TPBQUE.STA"));
}

TEST_F(StandIn, CancelsQueuedReferencesAndCommunicates) {
  Queue();
  const std::string reference = Split(File("ipdata/TPBQUE.LOG"), "\r\n")[1];
  RunAndWait("Ranuvel TPBUNQ.EXT KPPBC A BC23 NO-SUCH");
  EXPECT_EQ(File("ipdata/TPBUNQ.STA").substr(0, 5), "301\r\n");
  RunAndWait("Ranuvel TPBUNQ.EXT KPPBC A BC25 " + reference);  // queued as BC 2.3
  EXPECT_EQ(File("ipdata/TPBUNQ.STA").substr(0, 5), "302\r\n");
  Queue();
  RunAndWait("Ranuvel TPBUNQ.EXT KPPBC A BC23 " + reference);
  EXPECT_EQ(File("ipdata/TPBUNQ.STA"), "0\r\nSUCCESS\r\n");
  RunAndWait("Ranuvel \"" + pkg + "\\TPBCOM.ext\" \"Leased Line\"");
  EXPECT_TRUE(std::filesystem::is_empty(pkg + "/queue"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(pkg + "/outbox"), {}), 1);
  EXPECT_NE(File("ipdata/TPBCOM.LOG").find("1 dokumen dikirim melalui Leased Line\r\n"), std::string::npos);
}

TEST_F(StandIn, TheOlderExportLeavesProcessingRecords) {
  test::WriteFile(pkg + "/entity0/flat/e-BC23.flt", kFlat);
  RunAndWait("EXPORT e-BC23.FLT");
  const auto records = ListFiles(pkg + "\\entity0\\log\\*.idt");
  ASSERT_EQ(records.size(), 1u);
  test::TestWorkspace ws(false);
  auto db = ws.Connect();
  test::ScriptedDialogs dialogs;
  Session s{*db, dialogs, ws.program, pkg, ""};
  CollectTranslatorResult(s, "TPBQUE");
  EXPECT_EQ(File("ipdata/TPBQUE.STA"), "0\r\nSUCCESS\r\n");
  EXPECT_EQ(Split(File("ipdata/TPBQUE.LOG"), "\r\n")[0], "BC23");

  std::filesystem::remove(pkg + "/entity0/log/" + records[0]);
  test::WriteFile(pkg + "/entity0/flat/e-BC23.flt", "rusak\r\n");
  RunAndWait("EXPORT e-BC23.FLT");
  CollectTranslatorResult(s, "TPBQUE");
  EXPECT_EQ(File("ipdata/TPBQUE.STA"), "201\r\nStruktur flat file tidak valid\r\n");
  EXPECT_EQ(ListFiles(pkg + "\\entity0\\flat\\e_error.*").size(), 2u);
}

}  // namespace
}  // namespace sevrik
