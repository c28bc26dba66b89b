// Real processes started through the Windows meaning of command lines.
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>

#include "base/error.h"
#include "core/lookups/session.h"
#include "core/runs/translator.h"
#include <sys/stat.h>
#include "platform/fs.h"
#include "platform/process.h"
#include "tests/testutil.h"

namespace sevrik {
namespace {

using test::TempDir;

class Processes : public ::testing::Test {
 protected:
  void SetUp() override {
    record = dir / "record.txt";
    ::setenv("SEVRIK_RECORD", record.c_str(), 1);
    ::unsetenv("SEVRIK_RECORD_SLEEP_MS");
    saved = CurrentDirectory();
  }
  void TearDown() override {
    ::unsetenv("SEVRIK_RECORD");
    ::unsetenv("SEVRIK_RECORD_SLEEP_MS");
    ASSERT_EQ(::chdir(saved.c_str()), 0);
  }
  std::string Recorded() const { return test::Exists(record) ? test::ReadFile(record) : ""; }

  TempDir dir;
  std::string record, saved;
  const std::string recorder = std::string(SEVRIK_TESTS_DIR) + "/recorder";
};

TEST_F(Processes, QuotedPathsWithBlanksAndArgumentsArriveAsCut) {
  tools::InstallProgram(recorder, dir / "Program Files", "rec.exe");
  RunAndWait("\"" + dir.path() + "\\Program Files\\REC.exe\" profil \"Dokumen BC23\" \"\" a\\\\\\\"b");
  EXPECT_EQ(Recorded(), "cwd=" + saved + "\narg=profil\narg=Dokumen BC23\narg=\narg=a\\\"b\nend\n");
}

TEST_F(Processes, TheChildInheritsTheCurrentFolder) {
  ASSERT_EQ(::chdir(dir.path().c_str()), 0);
  RunAndWait("recorder x");  // found beside the running program
  EXPECT_EQ(Recorded(), "cwd=" + dir.path() + "\narg=x\nend\n");
}

TEST_F(Processes, ProgramWordsAreFoundWithoutCaseAndWithOrWithoutExe) {
  tools::InstallProgram(recorder, dir / "pkg", "Ranuvel.EXE");
  tools::InstallProgram(recorder, dir / "pkg", "zul");
  ASSERT_EQ(::chdir((dir / "pkg").c_str()), 0);
  RunAndWait("ranuvel 1");
  RunAndWait("RANUVEL.exe 2");
  RunAndWait("ZUL.EXE 3");
  RunAndWait("Zul 4");
  EXPECT_EQ(Recorded(), "cwd=" + dir / "pkg" + "\narg=1\nend\ncwd=" + dir / "pkg" + "\narg=2\nend\ncwd=" + dir / "pkg" +
                            "\narg=3\nend\ncwd=" + dir / "pkg" + "\narg=4\nend\n");
}

TEST_F(Processes, AMissingOrUnstartableProgramReturnsAtOnce) {
  test::WriteFile(dir / "notexec.exe", "#!/bin/sh\nexit 0\n");  // not executable
  ASSERT_EQ(::chdir(dir.path().c_str()), 0);
  const auto start = std::chrono::steady_clock::now();
  RunAndWait("nosuchprogram x");
  RunAndWait("notexec x");
  RunAndWait("C:\\nowhere\\ranuvel.exe x");
  RunAndWait("");
  RunAndWait("   ");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_EQ(Recorded(), "");
}

TEST_F(Processes, TheWaitWaitsForTheEnd) {
  ::setenv("SEVRIK_RECORD_SLEEP_MS", "700", 1);
  const auto start = std::chrono::steady_clock::now();
  ShellAndWait("recorder slow");
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(700));
  EXPECT_NE(Recorded().find("\narg=slow\nend\n"), std::string::npos);
}

// A program started as a run's group: what it leaves running in the background is part of it.
// The group is its session, and the run's name is in the environment of every member.
TEST_F(Processes, AGroupIsWaitedForWithEverythingItStarted) {
  const std::string done = dir / "done";
  ProcessIdentity seen;
  bool runs_meanwhile = false;
  ASSERT_TRUE(RunAndWait("sh -c \"(sleep 0.3; echo $SEVRIK_RUN > '" + done + "') &\"", "run-7",
                         [&](const ProcessIdentity& p) {
                           seen = p;
                           // Right after the start the program may still be inside its exec.
                           runs_meanwhile = test::WaitFor([] { return RunGroupRuns("run-7"); }, 250);
                         }));
  EXPECT_EQ(test::ReadFile(done), "run-7\n");
  EXPECT_EQ(seen.group, std::to_string(seen.pid));
  EXPECT_TRUE(runs_meanwhile);
  EXPECT_FALSE(RunGroupRuns("run-7"));
  EXPECT_FALSE(ProcessGroupRuns(seen));
  EXPECT_FALSE(RunAndWait("nosuchprogram", "run-8", [](const ProcessIdentity&) {}));
}

TEST_F(Processes, PendingEventsAreProcessedOnceBeforeTheRun) {
  int calls = 0;
  SetPendingEventsHandler([&] { ++calls; });
  ShellAndWait("nosuchprogram");
  SetPendingEventsHandler({});
  EXPECT_EQ(calls, 1);
}

TEST_F(Processes, TheCallersFoldersAreMadeCurrentAndLeft) {
  ::setenv("SEVRIK_DRIVE_C", dir.path().c_str(), 1);
  ::mkdir((dir / "EDI").c_str(), 0755);
  test::ScriptedDialogs dialogs;
  test::TestWorkspace ws(false);
  auto db = ws.Connect();
  Session s{*db, dialogs, saved, "C:\\EDI", ""};
  TranslatorRun run(s, "TPBCOM", false);
  run.EnterPackageFolder();
  EXPECT_EQ(CurrentDirectory(), dir / "EDI");
  run.EnterProgramFolder();
  EXPECT_EQ(CurrentDirectory(), saved);
  s.package_folder = "Q:\\EDI";
  ::unsetenv("SEVRIK_DRIVE_Q");
  EXPECT_THROW(TranslatorRun(s, "TPBCOM", false).EnterPackageFolder(), Error);
  EXPECT_EQ(CurrentDirectory(), saved);  // the program folder again before the error rises
  ::unsetenv("SEVRIK_DRIVE_C");
}

}  // namespace
}  // namespace sevrik
