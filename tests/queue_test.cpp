// Queueing a BC 2.3 document end to end through the stand-in package, on each route.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

#include "base/text.h"
#include "core/flat/builders.h"
#include "core/lookups/lookups.h"
#include "core/runs/queue.h"
#include "core/startup.h"
#include "platform/fs.h"
#include "tests/testutil.h"
#include "tools/package/package.h"

namespace sevrik {
namespace {
namespace fs = std::filesystem;

const std::string kCar = tools::kDemoBC23Car;

class Queue : public ::testing::Test, protected test::WorkspaceSession {
 protected:
  Queue() : WorkspaceSession(std::nullopt) {
    sql->Exec("update tblPartner set namalokal = 'KPPBC TANJUNG PRIOK' where KdKpbc = '050100'");
  }
  void Run(const std::string& car = kCar) { CreateFlatBC23(*session, car); }
  std::string State() const { return WorkspaceSession::State(kCar); }
  bool Has(const std::string& name) const { return InPackage(name); }
  std::string Log() const { return ws.RunLog(); }
};

TEST_F(Queue, TheRanuvelRouteQueuesAndStoresTheReference) {
  Package({true, false});
  Run();
  EXPECT_EQ(Calls(), "ranuvel [" + ws.package + "] <" + ws.package + "\\TPBQUE.ext> <" + ws.package +
                         "\\IPDATA\\BC23.FLT> <KPPBC TANJUNG PRIOK> <Dokumen BC23> <BC23>\n");
  EXPECT_EQ(File("ipdata/TPBQUE.STA"), "0\r\nSUCCESS\r\n");
  const std::string reference = Split(File("ipdata/TPBQUE.LOG"), "\r\n")[1];
  EXPECT_EQ(State(), reference + "/02");
  EXPECT_EQ(Log(), "");
  EXPECT_EQ(CurrentDirectory(), ws.program);
}

TEST_F(Queue, QuotesInAPartnerNameStayInsideItsOneArgument) {
  Package({true, false});
  sql->Exec("update tblPartner set namalokal = 'X\" \"--evil=1\" \"y\\' where KdKpbc = '050100'");
  Run();
  EXPECT_EQ(Calls(), "ranuvel [" + ws.package + "] <" + ws.package + "\\TPBQUE.ext> <" + ws.package +
                         "\\IPDATA\\BC23.FLT> <X\" \"--evil=1\" \"y\\> <Dokumen BC23> <BC23>\n");
}

TEST_F(Queue, PEdiIsChosenOverRanuvelAndItsFilesAreHandled) {
  Package({true, true});
  test::WriteFile(ws.package + "/entity0/log/old.IDT", "stale");
  Run();
  EXPECT_EQ(Calls(), "EXPORT [" + ws.package + "] <e-BC23.FLT>\n");
  EXPECT_EQ(File("entity0/flat/e-BC23.flt"), File("ipdata/BC23.FLT"));
  const auto records = ListFiles(ws.package + "\\entity0\\log\\*.idt");
  ASSERT_EQ(records.size(), 1u);  // the old one was deleted first; the new one stays
  EXPECT_EQ(File("ipdata/TPBQUE.STA"), "0\r\nSUCCESS\r\n");
  const auto log = Split(File("ipdata/TPBQUE.LOG"), "\r\n");
  EXPECT_EQ(log[0], "BC23");
  EXPECT_EQ(log[3], "Dokumen berhasil diproses");
  EXPECT_EQ(State(), log[1] + "/02");
  EXPECT_EQ(Log(), "");
  EXPECT_EQ(CurrentDirectory(), ws.program);
}

TEST_F(Queue, APEdiFailureDeletesTheErrorFilesAndLeavesTheDocument) {
  Package({false, true});
  test::WriteFile(ws.package + "/ipdata/TPBQUE.LOG", "BC23\r\nOLDREF\r\n");
  Control("result=201\n");
  Run();
  EXPECT_TRUE(ListFiles(ws.package + "\\entity0\\flat\\e_error.*").empty());
  EXPECT_EQ(File("ipdata/TPBQUE.STA"), "201\r\nStruktur flat file tidak valid\r\n");
  EXPECT_FALSE(Has("ipdata/TPBQUE.LOG"));
  EXPECT_EQ(State(), "-/01");
}

TEST_F(Queue, TheZulLineIsExact) {
  Package({false, false});
  ::setenv("SEVRIK_RECORD", (ws.dir / "zul.txt").c_str(), 1);
  OnPath(std::string(SEVRIK_TESTS_DIR) + "/recorder", "shim", "zul");
  Run();
  EXPECT_EQ(test::ReadFile(ws.dir / "zul.txt"), "cwd=" + ws.package + "\narg=TPBQUE\narg=-p\narg=" + ws.package +
                                                    "\\IPDATA\\BC23.FLT\narg=Dokumen BC23\narg=BC23\nend\n");
}

TEST_F(Queue, TheZulRouteQueuesThroughTheShim) {
  Package({false, false});
  OnPath(test::BuiltProgram("shim/ZUL"), "shim", "ZUL");
  OnPath(test::BuiltProgram("tools/package/ranuvel"), "translator", "Ranuvel.exe");
  Run();
  EXPECT_EQ(Calls(), "ranuvel [" + ws.package + "] <TPBQUE> <" + ws.package + "\\IPDATA\\BC23.FLT> <Dokumen> <BC23> <BC23>\n");
  EXPECT_EQ(State(), Split(File("ipdata/TPBQUE.LOG"), "\r\n")[1] + "/02");
  EXPECT_EQ(CurrentDirectory(), ws.program);
}

TEST_F(Queue, AnEarlierSuccessIsNeverReadAsThisRuns) {
  Package({true, false});
  test::WriteFile(ws.package + "/ipdata/TPBQUE.STA", "0\r\nSUCCESS\r\n");
  test::WriteFile(ws.package + "/ipdata/TPBQUE.LOG", "BC23\r\nANOTHER-DOCUMENTS-REF\r\n");
  Control("silent\n");
  Run();
  EXPECT_FALSE(Has("ipdata/TPBQUE.STA"));
  EXPECT_FALSE(Has("ipdata/TPBQUE.LOG"));
  EXPECT_EQ(State(), "-/01");
  EXPECT_EQ(Log(), " 53 \r\nFile not found\r\n");
}

TEST_F(Queue, OnlyAFirstLineOfExactlyZeroChangesTheDatabase) {
  Package({true, false});
  Control("result=0 \n");
  Run();
  EXPECT_EQ(File("ipdata/TPBQUE.STA").substr(0, 4), "0 \r\n");
  EXPECT_EQ(State(), "-/01");
  Control("result=107\n");
  Run();
  EXPECT_EQ(State(), "-/01");
}

TEST_F(Queue, AHeaderWithoutARowStillRunsTheTranslatorWithAnEmptyPartner) {
  Package({true, false});
  Run("NO-SUCH-CAR");
  EXPECT_EQ(File("ipdata/BC23.FLT"), "");
  EXPECT_EQ(Calls(), "ranuvel [" + ws.package + "] <" + ws.package + "\\TPBQUE.ext> <" + ws.package +
                         "\\IPDATA\\BC23.FLT> <> <Dokumen BC23> <BC23>\n");
  EXPECT_EQ(File("ipdata/TPBQUE.STA").substr(0, 5), "201\r\n");
  EXPECT_EQ(State(), "-/01");
}

TEST_F(Queue, AnUnmappedPackageDriveIsLoggedAndTheProgramFolderIsCurrentAgain) {
  ::unsetenv("SEVRIK_DRIVE_Q");
  Session s{*conn, dialogs, ws.program, "Q:\\EDI", "NET1", LocaleInfo::Classic()};
  CreateFlatBC23(s, kCar);
  // The flat file cannot be opened, so nothing is handed to a translator.
  EXPECT_EQ(Log().substr(0, 22), " 76 \r\nPath not found\r\n") << Log();
  EXPECT_EQ(CurrentDirectory(), ws.program);
  EXPECT_EQ(State(), "-/01");
}

// The program itself, as the customs application starts it.
TEST(QueueProgram, QueBc23AndQueBc25RunInAWorkspace) {
  test::TestWorkspace ws;
  tools::InstallProgram(test::BuiltProgram("programs/SEVRIK"), ws.program);
  tools::InstallProgram(test::BuiltProgram("shim/ZUL"), ws.program);
  tools::LayOutPackage(ws.package, test::BuiltProgram("tools/package"));
  auto r = test::RunProgram(ws.program + "/SEVRIK", {"QUE", "BC23", kCar, "extra"}, ws.dir.path(),
                            {"SEVRIK_DIALOGS=console"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ws.OpenSqlite()->QueryText("select Status from TBLBC23HDR where CAR = ?", {Variant(kCar)}), "02");
  r = test::RunProgram(ws.program + "/SEVRIK", {"QUE", "BC25", tools::kDemoBC25Car}, ws.dir.path(),
                       {"SEVRIK_DIALOGS=console"});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string flat = test::ReadFile(ws.package + "/ipdata/BC25.FLT");
  EXPECT_EQ(flat.substr(flat.size() - 20), "UNT00101\r\nUNZ00101\r\n");
  EXPECT_EQ(test::ReadFile(ws.program + "/SEVRIK.LOG"), "");
}

}  // namespace
}  // namespace sevrik
