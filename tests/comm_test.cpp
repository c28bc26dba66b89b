// Communication runs through the stand-in package and recording children, and the deletion
// of the communication logs, in the process and through the program.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

#include "base/error.h"
#include "core/lookups/lookups.h"
#include "core/runs/comm_logs.h"
#include "core/runs/communication.h"
#include "core/startup.h"
#include "platform/fs.h"
#include "tests/fault_fs.h"
#include "tests/testutil.h"
#include "tools/package/package.h"

namespace sevrik {
namespace {

using test::ErrorOf;

const std::string kRecorder = std::string(SEVRIK_TESTS_DIR) + "/recorder";

// Message boxes that also note whether the translator had been started when each was shown.
class WatchingDialogs : public test::ScriptedDialogs {
 public:
  explicit WatchingDialogs(std::string calls) : calls_(std::move(calls)) {}
  MsgAnswer ShowMessage(const std::string& text, MsgButtons buttons, MsgIcon icon, const std::string& title) override {
    started_before.push_back(test::Exists(calls_));
    return ScriptedDialogs::ShowMessage(text, buttons, icon, title);
  }
  std::vector<bool> started_before;

 private:
  std::string calls_;
};

class Communication : public ::testing::Test, protected test::WorkspaceSession {
 protected:
  Communication() : WorkspaceSession(std::nullopt) { Record(); }
  void Run(const std::string& package, const std::string& network = "NET1") {
    Session s{*conn, dialogs, ws.program, package, network, LocaleInfo::Classic()};
    RunCommunication(s);
  }

  std::string pkg = ws.dir / "EDI Paket";  // a package folder with a blank
  WatchingDialogs dialogs{pkg + "/calls.log"};
};

TEST_F(Communication, TheRanuvelFormShowsItsLineBeforeTheRunAndStaysInThePackage) {
  tools::LayOutPackage(pkg, test::BuiltProgram("tools/package"));
  Run(pkg);
  const std::string line = "Ranuvel \"" + pkg + "\\TPBCOM.ext\" \"Leased Line\"";
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].text, line);
  EXPECT_EQ(dialogs.boxes[0].buttons, MsgButtons::Ok);
  EXPECT_EQ(dialogs.boxes[0].icon, MsgIcon::None);
  EXPECT_EQ(dialogs.boxes[0].title, "");
  EXPECT_EQ(dialogs.started_before, std::vector<bool>{false});
  EXPECT_EQ(test::ReadFile(pkg + "/calls.log"), "ranuvel [" + pkg + "] <" + pkg + "\\TPBCOM.ext> <Leased Line>\n");
  EXPECT_NE(test::ReadFile(pkg + "/ipdata/TPBCOM.LOG").find("dikirim melalui Leased Line\r\n"), std::string::npos);
  EXPECT_EQ(CurrentDirectory(), pkg);
}

TEST_F(Communication, QuotesAndBackslashesInThePackageFolderStayInTheirArgument) {
  // The folder "<dir>\"Q" a\": a backslash right before a quote, quotes inside.
  const std::string folder = ws.dir.path() + "\\\"Q\" a";
  tools::InstallProgram(kRecorder, ws.dir / "\"Q\" a", "ranuvel.exe");
  Run(folder);
  EXPECT_EQ(dialogs.boxes.at(0).text, "Ranuvel \"" + ws.dir.path() + "\\\\\\\"Q\\\" a\\TPBCOM.ext\" \"Leased Line\"");
  EXPECT_EQ(Recorded(), "cwd=" + ws.dir / "\"Q\" a" + "\narg=" + folder + "\\TPBCOM.ext\narg=Leased Line\nend\n");
}

TEST_F(Communication, TheZulFormAppendsTheNetworkProfileUnquotedAndReturns) {
  tools::LayOutPackage(pkg, test::BuiltProgram("tools/package"), {false, false});
  OnPath(kRecorder, "shim", "zul");
  Run(pkg, "NET 1");
  EXPECT_EQ(Recorded(), "cwd=" + pkg + "\narg=TPBCOM.ZUL\narg=-p\narg=NET\narg=1\nend\n");
  std::remove(record.c_str());
  Run(pkg, "");  // nothing after "-p "
  EXPECT_EQ(Recorded(), "cwd=" + pkg + "\narg=TPBCOM.ZUL\narg=-p\nend\n");
  EXPECT_TRUE(dialogs.boxes.empty());
  EXPECT_EQ(CurrentDirectory(), ws.program);
}

TEST_F(Communication, TheZulFormRunsThePackageThroughTheShim) {
  tools::LayOutPackage(pkg, test::BuiltProgram("tools/package"), {false, false});
  OnPath(test::BuiltProgram("shim/ZUL"), "shim", "ZUL");
  OnPath(test::BuiltProgram("tools/package/ranuvel"), "translator", "Ranuvel.exe");
  Run(pkg);
  EXPECT_EQ(test::ReadFile(pkg + "/calls.log"), "ranuvel [" + pkg + "] <TPBCOM.ZUL> <NET1>\n");
  EXPECT_NE(test::ReadFile(pkg + "/ipdata/TPBCOM.LOG").find("dikirim melalui NET1\r\n"), std::string::npos);
  EXPECT_EQ(CurrentDirectory(), ws.program);
}

TEST_F(Communication, AMissingProgramReturnsQuietlyAndAMissingDriveIsTheError) {
  tools::LayOutPackage(pkg, test::BuiltProgram("tools/package"), {false, false});
  ::setenv("PATH", (ws.dir / "empty").c_str(), 1);
  Run(pkg);
  EXPECT_TRUE(dialogs.boxes.empty());
  EXPECT_EQ(CurrentDirectory(), ws.program);
  ::unsetenv("SEVRIK_DRIVE_Q");
  EXPECT_EQ(ErrorOf([&] { Run("Q:\\EDI"); }), err::kDeviceUnavailable);
  EXPECT_EQ(ErrorOf([&] { Run(ws.dir / "no-such-folder"); }), err::kPathNotFound);
  EXPECT_TRUE(dialogs.boxes.empty());
}

class CommLogs : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"c.txt", "A.TXT", "b.Txt", "keep.log", "keep.TXT.bak", "TXT"}) Log(name);
    std::filesystem::create_directories(logkom + "/folder.TXT");
    sql = ws.OpenSqlite();
    sql->Exec("insert into tblKomLog (waktu, keterangan) values ('2026-12-01 10:00:00', 'kirim')");
    rows = Rows();
    ASSERT_NE(rows, "0");
    std::filesystem::remove(logkom + "/KOM20261201.TXT");
    std::filesystem::remove(logkom + "/KOM20261202.TXT");
  }
  void Log(const std::string& name) { test::WriteFile(logkom + "/" + name, "Komunikasi\r\n"); }
  int Run() {
    Session s{*conn, dialogs, ws.program, ws.package, "NET1", LocaleInfo::Classic()};
    return ErrorOf([&] { DeleteCommLogs(s); });
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& b : dialogs.boxes) texts.push_back(b.text);
    return texts;
  }
  std::string Rows() { return sql->QueryText("select count(*) from tblKomLog"); }
  std::vector<std::string> Left() { return ListFiles(logkom + "/*"); }

  test::TestWorkspace ws;
  std::unique_ptr<Database> conn = ws.Connect();
  std::unique_ptr<tools::SqliteFile> sql;
  test::ScriptedDialogs dialogs;
  std::string logkom = ws.program + "/LogKom";
  std::string rows;  // as the customs application left them
  const std::vector<std::string> others{"keep.log", "keep.TXT.bak", "TXT"};
};

TEST_F(CommLogs, NoLeavesTableAndFiles) {
  EXPECT_EQ(Run(), 0);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].text, "Anda yakin ingin menghapus semua log komunikasi?");
  EXPECT_EQ(dialogs.boxes[0].title, "Perhatian");
  EXPECT_EQ(dialogs.boxes[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(dialogs.boxes[0].icon, MsgIcon::Question);
  EXPECT_EQ(Rows(), rows);
  EXPECT_EQ(Left().size(), 6u);
}

TEST_F(CommLogs, YesEmptiesTheTableThenShowsAndDeletesEachLogInOrder) {
  dialogs.answers = {MsgAnswer::Yes};
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Anda yakin ingin menghapus semua log komunikasi?", "A.TXT", "b.Txt", "c.txt"}));
  for (size_t i = 1; i < dialogs.boxes.size(); ++i) {
    EXPECT_EQ(dialogs.boxes[i].icon, MsgIcon::None);
    EXPECT_EQ(dialogs.boxes[i].title, "");
  }
  EXPECT_EQ(Rows(), "0");
  EXPECT_EQ(Left(), others);
  EXPECT_TRUE(std::filesystem::is_directory(logkom + "/folder.TXT"));
  // Again: nothing left to show; without the folder, nothing to list.
  dialogs = {};
  dialogs.answers = {MsgAnswer::Yes};
  std::filesystem::remove_all(logkom);
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(dialogs.boxes.size(), 1u);
}

TEST_F(CommLogs, AFileInUseStopsTheDeletionThereAndIsNamed) {
  // A file in use: its removal fails, or (a file held open with delete sharing) its name stays.
  for (const auto fault : {&test::FaultFileSystem::FailRemoval, &test::FaultFileSystem::KeepAfterRemoval}) {
    Log("A.TXT");
    sql->Exec("insert into tblKomLog (waktu, keterangan) values ('2026-12-02 10:00:00', 'kirim')");
    dialogs = {};
    dialogs.answers = {MsgAnswer::Yes};
    test::FaultFileSystem faults;
    (faults.*fault)(logkom + "/b.Txt");
    Session s{*conn, dialogs, ws.program, ws.package, "NET1", LocaleInfo::Classic()};
    try {
      DeleteCommLogs(s);
      ADD_FAILURE();
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), err::kPermissionDenied);
      EXPECT_EQ(e.description(), "Permission denied: " + ws.program + "\\LogKom\\b.Txt");
    }
    EXPECT_EQ(Texts().back(), "b.Txt");
    EXPECT_EQ(Rows(), "0");
    EXPECT_EQ(Left(), (std::vector<std::string>{"b.Txt", "c.txt", "keep.log", "keep.TXT.bak", "TXT"}));
  }
}

TEST_F(CommLogs, ADatabaseErrorStopsBeforeAnyFile) {
  sql->Exec("drop table tblKomLog");
  dialogs.answers = {MsgAnswer::Yes};
  EXPECT_EQ(Run(), err::kDatabase);
  EXPECT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(Left().size(), 6u);
}

TEST_F(CommLogs, TheProgramAsksOnTheConsole) {
  tools::InstallProgram(test::BuiltProgram("programs/SEVRIK"), ws.program);
  const auto run = [&](const std::string& answer) {
    return test::RunProgram(ws.program + "/SEVRIK", {"logdel"}, ws.dir.path(), {"SEVRIK_DIALOGS=console"}, answer);
  };
  auto r = run("n\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "== Perhatian ==\n[?] Anda yakin ingin menghapus semua log komunikasi?\n(y/n) ");
  EXPECT_EQ(Rows(), rows);
  r = run("y\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "== Perhatian ==\n[?] Anda yakin ingin menghapus semua log komunikasi?\n(y/n) "
                   "== SEVRIK ==\nA.TXT\n== SEVRIK ==\nb.Txt\n== SEVRIK ==\nc.txt\n");
  EXPECT_EQ(Rows(), "0");
  EXPECT_EQ(Left(), others);
}

TEST(CommunicationProgram, ComRunsBothForms) {
  test::TestWorkspace ws;
  tools::InstallProgram(test::BuiltProgram("programs/SEVRIK"), ws.program);
  tools::InstallProgram(test::BuiltProgram("shim/ZUL"), ws.program);
  tools::LayOutPackage(ws.package, test::BuiltProgram("tools/package"));
  tools::InstallProgram(test::BuiltProgram("tools/package/ranuvel"), ws.dir / "translator", "Ranuvel");
  const std::string path = "PATH=" + ws.dir / "translator" + ":" + std::getenv("PATH");
  auto r = test::RunProgram(ws.program + "/SEVRIK", {"COM"}, ws.dir.path(), {"SEVRIK_DIALOGS=console", path});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "== SEVRIK ==\nRanuvel \"" + ws.package + "\\TPBCOM.ext\" \"Leased Line\"\n");
  std::remove((ws.package + "/ranuvel.exe").c_str());
  r = test::RunProgram(ws.program + "/SEVRIK", {"COM"}, ws.dir.path(), {"SEVRIK_DIALOGS=console", path});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(test::ReadFile(ws.package + "/calls.log"), "ranuvel [" + ws.package + "] <" + ws.package +
                                                           "\\TPBCOM.ext> <Leased Line>\nranuvel [" + ws.package +
                                                           "] <TPBCOM.ZUL> <NET1>\n");
}

}  // namespace
}  // namespace sevrik
