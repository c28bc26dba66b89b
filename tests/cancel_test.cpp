// Cancelling a queued document through the stand-in package and through recording children,
// on each route, in the process and through the program.
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

#include "base/error.h"
#include "base/text.h"
#include "core/flat/builders.h"
#include "core/lookups/lookups.h"
#include "core/runs/cancel.h"
#include "core/runs/queue.h"
#include "core/startup.h"
#include "platform/fs.h"
#include "tests/fault_fs.h"
#include "tests/testutil.h"
#include "tools/package/package.h"

namespace sevrik {
namespace {

using test::ErrorOf;

const std::string kCar = tools::kDemoBC23Car;
const std::string kRecorder = std::string(SEVRIK_TESTS_DIR) + "/recorder";

class Cancel : public ::testing::Test, protected test::WorkspaceSession {
 protected:
  Cancel() : WorkspaceSession(std::nullopt) {
    sql->Exec("update tblPartner set namalokal = 'KPPBC TANJUNG PRIOK' where KdKpbc = '050100'");
    Record();
  }
  Session Make(const std::string& package) { return MakeSession(package); }
  // Queues the document and forgets the calls the queueing made; returns its reference.
  std::string Queue() {
    CreateFlatBC23(*session, kCar);
    std::remove((ws.package + "/calls.log").c_str());
    return Split(State(), "/")[0];
  }
  void Run(const std::string& type = "BC23", const std::string& car = kCar) { CancelEdifact(*session, type, car); }
  int RunError(const std::string& type = "BC23", const std::string& car = kCar) {
    return ErrorOf([&] { Run(type, car); });
  }
  std::string State(const std::string& car = kCar) const { return WorkspaceSession::State(car); }
  std::string AllStates() {
    return sql->QueryText("select group_concat(Status, ',') from (select Status from TBLBC23HDR union all "
                          "select Status from TBLBC25HDR)");
  }
  bool Has(const std::string& name) const { return InPackage(name); }
  void StaleSuccess() { test::WriteFile(ws.package + "/ipdata/TPBUNQ.STA", "0\r\nSUCCESS\r\n"); }
};

TEST_F(Cancel, TheRanuvelRouteCancelsTheQueuedDocumentOnce) {
  Package({true, false});
  const std::string reference = Queue();
  ASSERT_EQ(State(), reference + "/02");
  Run();
  // Values go in unquoted: the partner's blanks cut its name into words.
  EXPECT_EQ(Calls(), "ranuvel [" + ws.package + "] <TPBUNQ.EXT> <KPPBC> <TANJUNG> <PRIOK> <BC23> <" + reference + ">\n");
  EXPECT_EQ(File("ipdata/TPBUNQ.STA"), "0\r\nSUCCESS\r\n");
  EXPECT_EQ(State(), reference + "/01");
  EXPECT_EQ(CurrentDirectory(), ws.program);

  // The reference is no longer queued: the translator refuses, the document keeps its status.
  sql->Exec("update TBLBC23HDR set Status = '02'");
  Run();
  EXPECT_EQ(File("ipdata/TPBUNQ.STA").substr(0, 5), "301\r\n");
  EXPECT_EQ(State(), reference + "/02");
}

TEST_F(Cancel, TheZulRouteCancelsThroughTheShim) {
  Package({false, false});
  OnPath(test::BuiltProgram("shim/ZUL"), "shim", "ZUL");
  OnPath(test::BuiltProgram("tools/package/ranuvel"), "translator", "Ranuvel.exe");
  const std::string reference = Queue();
  Run();
  EXPECT_EQ(Calls(), "ranuvel [" + ws.package + "] <TPBUNQ.ZUL> <KPPBC> <TANJUNG> <PRIOK> <BC23> <" + reference + ">\n");
  EXPECT_EQ(State(), reference + "/01");
  EXPECT_EQ(CurrentDirectory(), ws.program);
}

TEST_F(Cancel, BothLinesAreExactAndANullAddsNothing) {
  Package({false, false});
  tools::InstallProgram(kRecorder, ws.package, "ranuvel.exe");
  sql->Exec("update TBLBC23HDR set snrf = null, Status = '02'");
  StaleSuccess();
  // The recorder writes no status: this run's cancellation is unknown, never the old "0".
  EXPECT_EQ(RunError(), err::kFileNotFound);
  EXPECT_EQ(Recorded(), "cwd=" + ws.package + "\narg=TPBUNQ.EXT\narg=KPPBC\narg=TANJUNG\narg=PRIOK\narg=BC23\nend\n");
  EXPECT_EQ(State(), "-/02");
  EXPECT_EQ(CurrentDirectory(), ws.program);

  std::remove((ws.package + "/ranuvel.exe").c_str());
  std::remove(record.c_str());
  OnPath(kRecorder, "shim", "zul");
  sql->Exec("update TBLBC23HDR set snrf = 'Q1'");
  sql->Exec("update tblPartner set namalokal = null where KdKpbc = '050100'");
  StaleSuccess();
  EXPECT_EQ(RunError(), err::kFileNotFound);
  EXPECT_EQ(Recorded(), "cwd=" + ws.package + "\narg=TPBUNQ.ZUL\narg=-p\narg=BC23\narg=Q1\nend\n");
  EXPECT_EQ(State(), "Q1/02");
}

TEST_F(Cancel, WithoutAHeaderOrPartnerRowNothingIsStartedOrRead) {
  Package({true, false});
  StaleSuccess();
  sql->Exec("update TBLBC23HDR set Status = '02'");
  const std::string before = AllStates();
  // Quotes, "%" and "--" in a key are data.
  for (const char* car : {"NO-SUCH-CAR", "x' OR '1'='1", "%", "05010000020220261201000001' --", ""}) {
    EXPECT_EQ(RunError("BC23", car), 0) << car;
  }
  sql->Exec("update TBLBC23HDR set Kdkpbc = '999999' where CAR = '" + kCar + "'");
  EXPECT_EQ(RunError(), 0);
  EXPECT_EQ(Calls(), "");
  EXPECT_EQ(File("ipdata/TPBUNQ.STA"), "0\r\nSUCCESS\r\n");  // neither removed nor read
  EXPECT_EQ(AllStates(), before);
  EXPECT_EQ(CurrentDirectory(), saved_cwd);
}

TEST_F(Cancel, OnlyTheThreeDocumentTypesNameATable) {
  Package({true, false});
  StaleSuccess();
  for (const char* type : {"BC99", "bc23", "BC23 ", "", "BC23Hdr a, tblPartner b; DROP TABLE tblPartner; --"}) {
    Session s = Make(ws.package);
    try {
      CancelEdifact(s, type, kCar);
      ADD_FAILURE() << type;
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), err::kInvalidArgument);
      EXPECT_EQ(e.description(), "Jenis dokumen \"" + std::string(type) + "\" tidak dikenal (BC23, BC25 atau BC40).");
    }
  }
  EXPECT_EQ(Calls(), "");
  EXPECT_TRUE(Has("ipdata/TPBUNQ.STA"));
  EXPECT_EQ(sql->QueryText("select count(*) from tblPartner"), "3");
  // BC 2.5 and BC 4.0 name their own header tables.
  sql->Exec("insert into TBLBC40HDR (CAR, Kdkpbc, snrf, Status) values ('C40', '050100', 'R40', '02')");
  EXPECT_EQ(RunError("BC40", "C40"), 0);
  EXPECT_NE(Calls().find("<BC40> <R40>"), std::string::npos) << Calls();
  EXPECT_EQ(RunError("BC25", tools::kDemoBC25Car), 0);
  EXPECT_NE(Calls().find("<PRIOK> <BC25>\n"), std::string::npos) << Calls();
}

TEST_F(Cancel, OnlyThisRunsFirstLineOfExactlyZeroCounts) {
  Package({true, false});
  const std::string reference = Queue();
  for (const char* control : {"result=0 \n", "result=999\n", "result=00\n"}) {
    Control(control);
    EXPECT_EQ(RunError(), 0) << control;
    EXPECT_EQ(State(), reference + "/02") << control;
  }
  Control("silent\n");
  StaleSuccess();
  EXPECT_EQ(RunError(), err::kFileNotFound);
  EXPECT_FALSE(Has("ipdata/TPBUNQ.STA"));
  EXPECT_EQ(State(), reference + "/02");
}

TEST_F(Cancel, AStatusThatCannotBeRemovedStopsBeforeTheTranslator) {
  Package({true, false});
  const std::string reference = Queue();
  StaleSuccess();
  const std::string ipdata = ws.package + "/ipdata", status = ipdata + "/TPBUNQ.STA";
  const struct {
    const char* name;
    std::function<void(test::FaultFileSystem&)> fault;
  } cases[] = {
      {"a read-only ipdata", [&](auto& f) { f.MakeReadOnly(ipdata); }},
      {"a removal that fails", [&](auto& f) { f.FailRemoval(status); }},
      {"a name that stays after its removal", [&](auto& f) { f.KeepAfterRemoval(status); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::FaultFileSystem faults;
    c.fault(faults);
    EXPECT_EQ(RunError(), err::kPermissionDenied);
    EXPECT_EQ(Calls(), "");
    EXPECT_EQ(State(), reference + "/02");
    EXPECT_EQ(CurrentDirectory(), ws.program);
  }
}

TEST_F(Cancel, APackageFolderOnAnUnmappedDriveIsTheRunTimeError) {
  ::unsetenv("SEVRIK_DRIVE_Q");
  sql->Exec("update TBLBC23HDR set snrf = 'Q1', Status = '02'");
  Session s = Make("Q:\\EDI");
  EXPECT_EQ(ErrorOf([&] { CancelEdifact(s, "BC23", kCar); }), err::kDeviceUnavailable);
  EXPECT_EQ(State(), "Q1/02");
}

// The program itself, as the customs application starts it.
class CancelProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    tools::InstallProgram(test::BuiltProgram("programs/SEVRIK"), ws.program);
    tools::InstallProgram(test::BuiltProgram("shim/ZUL"), ws.program);
  }
  test::RunResult Run(const std::vector<std::string>& args) {
    const std::string path = "PATH=" + ws.dir / "translator" + ":" + std::getenv("PATH");
    return test::RunProgram(ws.program + "/SEVRIK", args, ws.dir.path(), {"SEVRIK_DIALOGS=console", path});
  }
  std::string Status() {
    return ws.OpenSqlite()->QueryText("select Status from TBLBC23HDR where CAR = ?", {Variant(kCar)});
  }
  test::TestWorkspace ws;
};

TEST_F(CancelProgram, UnqAfterQueSetsTheDocumentBackOnBothRoutes) {
  for (const bool ranuvel : {true, false}) {
    tools::LayOutPackage(ws.package, test::BuiltProgram("tools/package"), {ranuvel, false});
    if (!ranuvel) {
      std::remove((ws.package + "/ranuvel.exe").c_str());
      tools::InstallProgram(test::BuiltProgram("tools/package/ranuvel"), ws.dir / "translator", "Ranuvel");
    }
    auto r = Run({"QUE", "BC23", kCar});
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(Status(), "02");
    r = Run({"UNQ", "BC23", kCar});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Status(), "01") << ranuvel;
    EXPECT_EQ(test::ReadFile(ws.program + "/SEVRIK.LOG"), "");
    const std::string calls = test::ReadFile(ws.package + "/calls.log");
    EXPECT_NE(calls.find(ranuvel ? "<TPBUNQ.EXT>" : "<TPBUNQ.ZUL>"), std::string::npos) << calls;
  }
}

TEST_F(CancelProgram, ACancellationTheDatabaseRefusesIsKeptForTheNextStart) {
  tools::LayOutPackage(ws.package, test::BuiltProgram("tools/package"));
  ASSERT_EQ(Run({"QUE", "BC23", kCar}).status, 0);
  ws.OpenSqlite()->Exec("create trigger refuse before update on TBLBC23HDR begin "
                        "select raise(abort, 'database is locked'); end");
  auto r = Run({"UNQ", "BC23", kCar});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("SEVRIK.PND"), std::string::npos) << r.err;
  EXPECT_EQ(test::ReadFile(ws.program + "/SEVRIK.PND"), "tblBC23Hdr|" + kCar + "||01\r\n");
  EXPECT_EQ(Status(), "02");
  ws.OpenSqlite()->Exec("drop trigger refuse");
  r = Run({"nothing"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Status(), "01");
  EXPECT_FALSE(test::Exists(ws.program + "/SEVRIK.PND"));
}

TEST_F(CancelProgram, ACancellationStartedDuringTheQueueingWaitsForIt) {
  tools::LayOutPackage(ws.package, test::BuiltProgram("tools/package"));
  test::WriteFile(ws.package + "/standin.ctl", "sleep=1500\n");  // every translator call takes its time
  test::RunResult queued;
  std::thread first([&] { queued = Run({"QUE", "BC23", kCar}); });
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const auto cancelled = Run({"UNQ", "BC23", kCar});
  first.join();
  EXPECT_EQ(queued.status, 0) << queued.err;
  EXPECT_EQ(cancelled.status, 0) << cancelled.err;
  EXPECT_NE(cancelled.err.find(test::kWaitingText), std::string::npos) << cancelled.err;
  // The cancellation ran after the queueing and found its reference.
  const auto calls = Split(test::ReadFile(ws.package + "/calls.log"), "\n");
  ASSERT_EQ(calls.size(), 3u);
  const std::string reference =
      ws.OpenSqlite()->QueryText("select snrf from TBLBC23HDR where CAR = ?", {Variant(kCar)});
  EXPECT_NE(calls[0].find("\\TPBQUE.ext>"), std::string::npos) << calls[0];
  EXPECT_TRUE(calls[1].ends_with("<BC23> <" + reference + ">")) << calls[1];
  EXPECT_EQ(Status(), "01");
}

TEST_F(CancelProgram, FailuresEndTheRunWithTheRunTimeError) {
  tools::LayOutPackage(ws.package, test::BuiltProgram("tools/package"));
  auto r = Run({"UNQ", "BC2x", kCar});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Run-time error '5':\n\nJenis dokumen \"BC2x\" tidak dikenal"), std::string::npos) << r.err;
  test::WriteFile(ws.package + "/standin.ctl", "silent\n");
  r = Run({"UNQ", "BC23", kCar});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Run-time error '53':\n\nFile not found"), std::string::npos) << r.err;
  EXPECT_EQ(Status(), "01");
}

}  // namespace
}  // namespace sevrik
