// What a queueing run may never do: read an earlier run's result as its own, queue a
// declaration with a record missing, lose a reference that the translator handed out, or
// touch another run's files.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

#include "base/text.h"
#include "core/flat/builders.h"
#include "core/lookups/lookups.h"
#include "core/runs/journal.h"
#include "core/runs/pending.h"
#include "core/runs/queue.h"
#include "core/startup.h"
#include "platform/fs.h"
#include "platform/runlock.h"
#include "tests/fault_fs.h"
#include "tests/mounts.h"
#include "tests/testutil.h"
#include "tools/package/package.h"

namespace sevrik {
namespace {
namespace fs = std::filesystem;

const std::string kCarA = tools::kDemoBC23Car;
const std::string kCarB = tools::kDemoBC23Car2;

// A workspace with the stand-in package, and document A queued through it once.
class World : public test::WorkspaceSession {
 public:
  explicit World(tools::PackageOptions o) : WorkspaceSession(o) {}
  Session MakeSession() { return WorkspaceSession::MakeSession(ws.package); }
  void Run(const std::string& car) { CreateFlatBC23(*session, car); }
  bool Has(const std::string& name) const { return InPackage(name); }
  std::string FirstStatusLine() const { return Split(File("ipdata/TPBQUE.STA"), "\r\n")[0]; }
  // Queues document A successfully and forgets the calls made so far.
  void QueueA() {
    Run(kCarA);
    EXPECT_TRUE(State(kCarA).ends_with("/02"));
    EXPECT_EQ(File("ipdata/TPBQUE.STA"), "0\r\nSUCCESS\r\n");
    fs::remove(ws.package + "/calls.log");
  }
};

// The older translator's route, after a success for document A, with each way in which this
// run's result can fail to come back: document B keeps its status, whatever A left behind.
TEST(Safety, OnTheExportRouteAFailedCollectionIsNeverAnEarlierSuccess) {
  struct Case {
    const char* name;
    std::function<void(World&)> arrange;
    std::string first_line;
  };
  const std::vector<Case> cases = {
      {"no status-text table", [](World& w) {
         fs::remove(w.ws.package + "/entity0/log/status.txt");
         w.Control("result=201\n");
       }, "SVK03"},
      {"a status-text line with too few fields", [](World& w) {
         test::WriteFile(w.ws.package + "/entity0/log/status.txt", "201|kurang\r\n");
         w.Control("result=201\n");
       }, "SVK03"},
      {"a processing record with too few fields", [](World& w) { w.Control("short\n"); }, "SVK03"},
      {"no export program at all", [](World& w) {
         for (const auto& e : fs::directory_iterator(w.ws.package))
           if (AsciiLower(e.path().filename().string()).starts_with("export")) fs::remove(e.path());
       }, ""},
      {"a record whose code is 0", [](World& w) { w.Control("result=0\n"); }, "SVK04"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    World w({false, true});
    w.QueueA();
    const std::string before = w.State(kCarB);
    c.arrange(w);
    w.Run(kCarB);
    EXPECT_EQ(w.State(kCarB), before);
    EXPECT_EQ(w.FirstStatusLine(), c.first_line);
    EXPECT_FALSE(w.Has("ipdata/TPBQUE.LOG"));
  }
}

// A file whose removal fails, or whose name stays after it (a file in use on Windows), is
// still there to be read as this run's result: no translator starts.
TEST(Safety, AStatusThatCannotBeRemovedStartsNoTranslator) {
  const struct {
    const char* name;
    void (test::FaultFileSystem::*fault)(const std::string&);
    const char* file;
  } cases[] = {
      {"a status whose removal fails", &test::FaultFileSystem::FailRemoval, "ipdata/TPBQUE.STA"},
      {"a status whose name stays", &test::FaultFileSystem::KeepAfterRemoval, "ipdata/TPBQUE.STA"},
      {"a queue log whose removal fails", &test::FaultFileSystem::FailRemoval, "ipdata/TPBQUE.LOG"},
      {"a queue log whose name stays", &test::FaultFileSystem::KeepAfterRemoval, "ipdata/TPBQUE.LOG"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    World w({true, false});
    w.QueueA();
    test::FaultFileSystem faults;
    (faults.*c.fault)(w.ws.package + "/" + c.file);
    const std::string before = w.State(kCarB);
    w.Run(kCarB);
    EXPECT_EQ(w.Calls(), "");
    EXPECT_EQ(w.State(kCarB), before);
    EXPECT_NE(w.ws.RunLog().find(" 70 \r\nPermission denied\r\n"), std::string::npos) << w.ws.RunLog();
    EXPECT_EQ(CurrentDirectory(), w.ws.program);
  }
}

TEST(Safety, AReadOnlyIpdataQueuesNothingAndChangesNothing) {
  World w({true, false});
  w.QueueA();
  const std::string flat_a = w.File("ipdata/BC23.FLT");
  test::FaultFileSystem faults;
  faults.MakeReadOnly(w.ws.package + "/ipdata");
  const std::string before = w.State(kCarB);
  w.Run(kCarB);
  EXPECT_EQ(w.Calls(), "");
  EXPECT_EQ(w.State(kCarB), before);
  EXPECT_EQ(w.File("ipdata/BC23.FLT"), flat_a);
  EXPECT_EQ(w.ws.RunLog().substr(0, 25), " 70 \r\nPermission denied\r\n");
}

// A package folder whose disk fills while the flat file is written: the half file is not
// queued, no earlier result is left to be read as this one's, and the run log says why.
TEST(Safety, AFullDiskQueuesNothingAndLeavesNoEarlierResult) {
  for (const size_t room : {size_t{0}, size_t{300}, size_t{3000}}) {
    SCOPED_TRACE(room);
    World w({true, false});
    w.QueueA();
    test::FaultFileSystem faults;
    faults.FillDiskAfter(w.ws.package, room);
    const std::string before = w.State(kCarB);
    w.Run(kCarB);
    EXPECT_EQ(w.Calls(), "");
    EXPECT_EQ(w.State(kCarB), before);
    EXPECT_FALSE(w.Has("ipdata/TPBQUE.STA"));
    EXPECT_FALSE(w.Has("ipdata/TPBQUE.LOG"));
    EXPECT_EQ(w.File("ipdata/BC23.FLT").size(), room);
    EXPECT_EQ(w.ws.RunLog().substr(0, 17), " 61 \r\nDisk full\r\n");
  }
}

TEST(Safety, AnIncompleteDeclarationIsNotQueued) {
  struct Case {
    const char* name;
    const char* sql;
    const char* error;
  };
  const Case cases[] = {
      {"an item description longer than its field",
       "update TBLBC23DTL set BrgUrai = substr(hex(zeroblob(200)), 1, 400) where CAR = '?'", "kesalahan 5 "},
      {"a serial that is no number", "update TBLBC23DTL set Serial = 'dua' where CAR = '?'", "kesalahan -2147467259 "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    World w({true, false});
    w.QueueA();
    w.sql->Exec(ReplaceAll(c.sql, "?", kCarB));
    const std::string before = w.State(kCarB);
    w.Run(kCarB);
    EXPECT_EQ(w.Calls(), "");
    EXPECT_EQ(w.State(kCarB), before);
    const std::vector<std::string> status = Split(w.File("ipdata/TPBQUE.STA"), "\r\n");
    EXPECT_EQ(status[0], "SVK01");
    EXPECT_NE(status[1].find(c.error), std::string::npos) << status[1];
    EXPECT_FALSE(w.Has("ipdata/TPBQUE.LOG"));
    EXPECT_EQ(w.File("ipdata/BC23.FLT").substr(0, 8), "ENV00101");  // left as built, for inspection
  }
}

// A full program folder: the run journal cannot take what the run would start, so no translator
// starts, nothing changes, and the run says so (its run log cannot be written either).
TEST(Safety, AFullProgramFolderStartsNoTranslatorAndSaysSo) {
  World w({true, false});
  w.QueueA();
  const std::string before = w.State(kCarB);
  test::FaultFileSystem faults;
  faults.FillDiskAfter(w.ws.program, 0);
  const QueueResult r = CreateFlatBC23(*w.session, kCarB);
  EXPECT_FALSE(r.run.started);
  EXPECT_EQ(r.run.why_not, NotStarted::JournalNotWritten);
  ASSERT_TRUE(r.run.untold);
  EXPECT_NE(r.run.untold->description().find("SEVRIK.JNL tidak dapat ditulis"), std::string::npos);
  EXPECT_EQ(w.Calls(), "");
  EXPECT_EQ(w.State(kCarB), before);
}

TEST(Safety, AHeaderThatCannotBeReadIsNotQueued) {
  World w({true, false});
  w.QueueA();
  // The customs application holds the header table past the time-out: here it is gone.
  w.sql->Exec("alter table TBLBC23HDR rename to TBLBC23HDR_OLD");
  w.Run(kCarB);
  EXPECT_EQ(w.Calls(), "");
  EXPECT_EQ(w.FirstStatusLine(), "SVK01");
}

// The program as the customs application starts it, in real processes.
class Program : public ::testing::Test {
 protected:
  void SetUp() override {
    tools::InstallProgram(test::BuiltProgram("programs/SEVRIK"), w.ws.program);
    tools::InstallProgram(test::BuiltProgram("shim/ZUL"), w.ws.program);
  }
  std::unique_ptr<test::RunningProgram> Start(const std::vector<std::string>& args) {
    return std::make_unique<test::RunningProgram>(w.ws.program + "/SEVRIK", args, w.ws.dir.path(),
                                                  std::vector<std::string>{"SEVRIK_DIALOGS=console"});
  }
  // The references of the queued copies that the stand-in keeps, by the CAR inside them.
  std::string QueuedReferenceOf(const std::string& car) {
    for (const auto& e : fs::directory_iterator(w.ws.package + "/queue"))
      if (test::ReadFile(e.path()).find("HDEC0101" + car) != std::string::npos) return e.path().stem().string();
    return "";
  }
  World w{{true, false}};
};

TEST_F(Program, AReferenceTheDatabaseRefusesIsKeptAndWrittenAtTheNextStart) {
  w.Control("sleep=500\n");
  auto run = Start({"QUE", "BC23", kCarA});
  ASSERT_TRUE(test::WaitFor([&] { return w.Has("calls.log"); }));
  // The customs application holds the database while the translator works, past the time-out.
  w.sql->Exec("BEGIN EXCLUSIVE");
  const test::RunResult r = run->Wait();
  w.sql->Exec("COMMIT");
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string reference = Split(w.File("ipdata/TPBQUE.LOG"), "\r\n")[1];
  EXPECT_EQ(w.State(kCarA), "-/01");
  EXPECT_NE(w.ws.RunLog().find("disimpan di SEVRIK.PND"), std::string::npos) << w.ws.RunLog();
  EXPECT_EQ(test::ReadFile(w.ws.program + "/SEVRIK.PND"), "tblBC23Hdr|" + kCarA + "|" + reference + "|02\r\n");

  // Any later start with arguments writes it first, even one whose action does nothing.
  EXPECT_EQ(test::RunProgram(w.ws.program + "/SEVRIK", {"nothing"}, w.ws.dir.path(), {"SEVRIK_DIALOGS=console"}).status, 0);
  EXPECT_EQ(w.State(kCarA), reference + "/02");
  EXPECT_FALSE(test::Exists(w.ws.program + "/SEVRIK.PND"));
  EXPECT_TRUE(w.ws.HasRunLog());
  EXPECT_EQ(w.ws.RunLog(), "");
}

// Neither the database nor the pending file takes the reference: the run ends with the
// run-time error that gives it, its journal entry stays open, and a later start stores it.
TEST_F(Program, AReferenceStoredNowhereEndsTheRunWithItAndALaterStartStoresIt) {
  w.sql->Exec("CREATE TRIGGER refuse BEFORE UPDATE ON TBLBC23HDR BEGIN SELECT RAISE(ABORT, 'database is locked'); END");
  fs::create_directory(w.ws.program + "/SEVRIK.PND");  // a name the pending file cannot take
  const test::RunResult r = Start({"QUE", "BC23", kCarA})->Wait();
  const std::string reference = QueuedReferenceOf(kCarA);
  ASSERT_FALSE(reference.empty());
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Referensi " + reference + " untuk CAR " + kCarA), std::string::npos)
      << r.err;
  EXPECT_EQ(w.State(kCarA), "-/01");
  const std::vector<JournalEntry> open = RunJournal(w.ws.program + "/SEVRIK.JNL").Entries();
  ASSERT_EQ(open.size(), 1u);
  EXPECT_FALSE(open[0].ended);

  w.sql->Exec("DROP TRIGGER refuse");
  fs::remove(w.ws.program + "/SEVRIK.PND");
  EXPECT_EQ(test::RunProgram(w.ws.program + "/SEVRIK", {"nothing"}, w.ws.dir.path(), {"SEVRIK_DIALOGS=console"}).status, 0);
  EXPECT_EQ(w.State(kCarA), reference + "/02");
  const std::vector<JournalEntry> done = RunJournal(w.ws.program + "/SEVRIK.JNL").Entries();
  ASSERT_EQ(done.size(), 1u);
  EXPECT_TRUE(done[0].ended);
  EXPECT_EQ(done[0].reference, reference);
}

// The journal cannot be written: no translator starts, and the run says so.
TEST_F(Program, AJournalThatCannotBeWrittenStartsNoTranslator) {
  fs::create_directory(w.ws.program + "/SEVRIK.JNL");
  const test::RunResult r = Start({"QUE", "BC23", kCarA})->Wait();
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("SEVRIK.JNL tidak dapat ditulis; translator tidak dijalankan"), std::string::npos) << r.err;
  EXPECT_EQ(w.Calls(), "");
  EXPECT_EQ(w.State(kCarA), "-/01");
}

// The system's own full disk, once: a program folder on a small file system with no room left.
TEST_F(Program, AFullProgramDiskStartsNoTranslatorAndEndsTheRunSayingWhy) {
  test::TempDir saved;
  fs::copy(w.ws.program, saved.path(), fs::copy_options::recursive);
  const test::Mount disk = test::Mount::SmallDisk(w.ws.program, "64m");
  if (!disk.ok()) SEVRIK_CANNOT_RUN_HERE("needs root for a tmpfs mount: " + disk.error());
  fs::copy(saved.path(), w.ws.program, fs::copy_options::recursive);
  w.sql = w.ws.OpenSqlite();  // the database on the small disk
  {
    // Everything that is left taken by one file.
    std::FILE* filler = std::fopen((w.ws.program + "/filler").c_str(), "wb");
    ASSERT_NE(filler, nullptr);
    const std::string block(1 << 16, 'x');
    while (std::fwrite(block.data(), 1, block.size(), filler) == block.size()) {
    }
    std::fclose(filler);
  }
  const std::string before = w.State(kCarA);
  const test::RunResult r = Start({"QUE", "BC23", kCarA})->Wait();
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("SEVRIK.JNL tidak dapat ditulis; translator tidak dijalankan"), std::string::npos) << r.err;
  EXPECT_EQ(w.Calls(), "");
  EXPECT_EQ(w.State(kCarA), before);
  w.sql.reset();  // nothing of the test holds the disk when it is unmounted
}

TEST_F(Program, ASecondRunWaitsForTheFirstAndBothKeepTheirOwnFiles) {
  w.Control("sleep=1500\n");
  auto first = Start({"QUE", "BC23", kCarA});
  ASSERT_TRUE(test::WaitFor([&] { return w.Has("calls.log"); }));
  const std::string flat_a = w.File("ipdata/BC23.FLT");
  auto second = Start({"QUE", "BC23", kCarB});
  ASSERT_TRUE(test::WaitFor([&] { return second->ErrorSoFar().find(test::kWaitingText) != std::string::npos; }));
  // While the first run's translator works, its flat file is not touched.
  EXPECT_EQ(w.File("ipdata/BC23.FLT"), flat_a);
  const test::RunResult a = first->Wait(), b = second->Wait();
  EXPECT_EQ(a.status, 0) << a.err;
  EXPECT_EQ(b.status, 0) << b.err;
  EXPECT_EQ(a.err.find(test::kWaitingText), std::string::npos);
  EXPECT_EQ(b.err, std::string(test::kWaitingText) + "\n");
  const std::string ref_a = QueuedReferenceOf(kCarA), ref_b = QueuedReferenceOf(kCarB);
  ASSERT_FALSE(ref_a.empty());
  ASSERT_FALSE(ref_b.empty());
  EXPECT_NE(ref_a, ref_b);
  EXPECT_EQ(w.State(kCarA), ref_a + "/02");
  EXPECT_EQ(w.State(kCarB), ref_b + "/02");
}

// Every reference that the translator handed out (its queue) is stored for its own document.
void ExpectEveryQueuedReferenceStored(World& w) {
  if (!fs::exists(w.ws.package + "/queue")) return;
  for (const auto& e : fs::directory_iterator(w.ws.package + "/queue")) {
    const std::string flat = test::ReadFile(e.path());
    const size_t at = flat.find("HDEC0101");
    ASSERT_NE(at, std::string::npos);
    const std::string car = flat.substr(at + 8, 26);
    EXPECT_EQ(w.State(car), e.path().stem().string() + "/02") << car;
  }
}

// The translator's "0" beside a queue log that names no reference (a full package folder
// leaves the log empty and takes no status either): no success is read, the document keeps its
// status, the journal ends the entry with SVK03, and the run ends saying why.
TEST(Safety, AZeroThatNamesNoReferenceIsAFailure) {
  const struct {
    const char* name;
    const char* control;
    bool full_disk;
    const char* first_line;  // of TPBQUE.STA afterwards; "" when there is none
  } cases[] = {
      {"no queue log", "log=missing\n", false, "SVK03"},
      {"an empty queue log", "log=empty\n", false, "SVK03"},
      {"a queue log without a reference", "log=noref\n", false, "SVK03"},
      {"a full package folder", "log=empty\n", true, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    World w({true, false});
    w.QueueA();
    const std::string before = w.State(kCarB);
    w.Control(c.control);
    std::optional<test::FaultFileSystem> faults;
    if (c.full_disk) {
      BuildFlatBC23(*w.session, kCarB);  // the room the flat file takes, and nothing more
      faults.emplace();
      faults->FillDiskAfter(w.ws.package + "/ipdata", w.File("ipdata/BC23.FLT").size());
    }
    const QueueResult r = CreateFlatBC23(*w.session, kCarB);
    EXPECT_TRUE(r.run.started);
    EXPECT_FALSE(r.run.Succeeded());
    ASSERT_TRUE(r.run.untold);
    EXPECT_NE(r.run.untold->description().find("log antrean (ipdata\\TPBQUE.LOG)"), std::string::npos)
        << r.run.untold->description();
    EXPECT_EQ(w.State(kCarB), before);
    EXPECT_EQ(w.Has("ipdata/TPBQUE.STA") ? w.FirstStatusLine() : "", c.first_line);
    const std::vector<JournalEntry> entries = RunJournal(w.ws.program + "/SEVRIK.JNL").Entries();
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.back().car, kCarB);
    EXPECT_TRUE(entries.back().ended);
    EXPECT_EQ(entries.back().status, "SVK03");
    ExpectEveryQueuedReferenceStored(w);
  }
}

TEST_F(Program, AZeroThatNamesNoReferenceEndsTheRunWithTheError) {
  w.Control("log=missing\n");
  const test::RunResult r = Start({"QUE", "BC23", kCarA})->Wait();
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Translator menjawab 0, tetapi log antrean"), std::string::npos) << r.err;
  EXPECT_EQ(w.State(kCarA), "-/01");
  EXPECT_EQ(w.FirstStatusLine(), "SVK03");
}

// A run killed at each point of its way (kill -9), then a second run whose translator answers
// nothing: the killed run's translator is never overlapped, the reference it handed out is
// stored for its own document, and no document takes a status that its own translator did not
// give.
TEST(Killed, ARunKilledAnywhereLosesNoReferenceAndLendsNoStatus) {
  struct Case {
    const char* name;
    std::vector<std::string> first;  // the killed run's arguments
    // Starts the killed run's wait for its point, then the test kills it.
    std::function<void(World&, test::RunningProgram&)> until;
    std::string state_a;  // document A afterwards: "queued" (its reference, 02), or as it was
  };
  const auto translator_runs = [](World& w, test::RunningProgram&) {
    ASSERT_TRUE(test::WaitFor([&] { return w.Has("calls.log"); }));
  };
  const Case cases[] = {
      {"before the translator, waiting for the run lock", {"QUE", "BC23", kCarA},
       [](World& w, test::RunningProgram& run) {
         ASSERT_TRUE(test::WaitFor([&] { return run.ErrorSoFar().find(test::kWaitingText) != std::string::npos; }));
         EXPECT_FALSE(w.Has("calls.log"));
       },
       "as it was"},
      {"while its translator runs", {"QUE", "BC23", kCarA}, translator_runs, "queued"},
      {"a cancellation, while its translator runs", {"UNQ", "BC23", kCarA}, translator_runs, "cancelled"},
      {"after the translator's 0, waiting for a locked database", {"QUE", "BC23", kCarA},
       [](World& w, test::RunningProgram&) {
         ASSERT_TRUE(test::WaitFor([&] { return w.Has("calls.log"); }));
         w.sql->Exec("BEGIN EXCLUSIVE");
         ASSERT_TRUE(test::WaitFor([&] { return w.Has("ipdata/TPBQUE.LOG"); }));
         ::usleep(300000);  // SEVRIK reads the status and waits for the database
       },
       "queued"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    World w({true, false});
    tools::InstallProgram(test::BuiltProgram("programs/SEVRIK"), w.ws.program);
    if (c.first[0] == "UNQ") w.QueueA();
    const std::string before = w.State(kCarA), before_b = w.State(kCarB);
    w.Control("sleep=1000\n");
    std::optional<RunLock> other;
    if (std::string(c.name).starts_with("before")) other.emplace(w.ws.program + "/SEVRIK.LCK", [] {});
    {
      test::RunningProgram first(w.ws.program + "/SEVRIK", c.first, w.ws.dir.path(), {"SEVRIK_DIALOGS=console"});
      c.until(w, first);
      first.Kill();
    }
    if (std::string(c.name).find("locked") != std::string::npos) w.sql->Exec("COMMIT");
    other.reset();
    w.Control("silent\n");  // read by the next translator; the killed run's has its own already
    const test::RunResult second =
        test::RunProgram(w.ws.program + "/SEVRIK", {"QUE", "BC23", kCarB}, w.ws.dir.path(), {"SEVRIK_DIALOGS=console"});
    // The second run's own translator answered nothing: a failure, and said so.
    EXPECT_EQ(second.status, 1) << second.err;
    EXPECT_EQ(w.State(kCarB), before_b);
    // A translator that the killed run left running is waited for, and the user told so once.
    if (std::string(c.name) == "while its translator runs") {
      EXPECT_NE(second.err.find(test::kWaitingText), std::string::npos) << second.err;
      EXPECT_EQ(second.err.find(test::kWaitingText), second.err.rfind(test::kWaitingText)) << second.err;
    }
    ExpectEveryQueuedReferenceStored(w);
    if (c.state_a == "queued") {
      EXPECT_TRUE(w.State(kCarA).ends_with("/02")) << w.State(kCarA);
    } else if (c.state_a == "cancelled") {
      EXPECT_TRUE(w.State(kCarA).ends_with("/01")) << w.State(kCarA);
      EXPECT_FALSE(fs::exists(w.ws.package + "/queue/" + Split(before, "/")[0] + ".flt"));
    } else {
      EXPECT_EQ(w.State(kCarA), before);
    }
    // Every journal entry is complete: nothing is left for a later start to do.
    const std::vector<JournalEntry> entries = RunJournal(w.ws.program + "/SEVRIK.JNL").Entries();
    EXPECT_FALSE(entries.empty());
    for (const JournalEntry& e : entries) {
      EXPECT_TRUE(e.ended) << e.car;
      if (e.car == kCarB) {
        EXPECT_NE(e.status, "0");
      }
    }
  }
}

// The journal's start record is on the disk before the translator starts: at the first sync
// of SEVRIK.JNL the entry is there, without its process, and no translator has been called.
TEST(Journal, TheStartRecordIsSyncedBeforeTheTranslatorStarts) {
  World w({true, false});
  test::FaultFileSystem faults;
  const std::string journal = HostPath(w.ws.program + "/SEVRIK.JNL");
  std::vector<std::string> seen;  // at each sync of the journal
  faults.on_sync = [&](const std::string& host) {
    if (host != journal) return;
    const std::vector<JournalEntry> entries = RunJournal(journal).Entries();
    seen.push_back(std::to_string(entries.size()) + " entry, " +
                   (!entries.empty() && entries.back().process ? "process" : "no process") + ", " +
                   (w.Has("calls.log") ? "called" : "not called"));
  };
  w.Run(kCarA);
  EXPECT_TRUE(w.State(kCarA).ends_with("/02"));
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen[0], "1 entry, no process, not called");
  EXPECT_GE(faults.syncs(), seen.size());
}

TEST(RunLock, DiesWithItsProcess) {
  test::TempDir dir;
  const std::string path = dir / "SEVRIK.LCK";
  int pipe_fds[2];
  ASSERT_EQ(::pipe(pipe_fds), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    RunLock held(path, {});
    if (::write(pipe_fds[1], "x", 1) != 1) ::_exit(1);
    ::pause();
    ::_exit(0);
  }
  char c;
  ASSERT_EQ(::read(pipe_fds[0], &c, 1), 1);
  EXPECT_EQ(RunLock::TryLock(path), nullptr);
  int waits = 0;
  std::thread killer([&] {
    ::usleep(200000);
    ::kill(child, SIGKILL);
  });
  {
    RunLock mine(path, [&] { ++waits; });  // waits until the holder is killed
  }
  killer.join();
  ::waitpid(child, nullptr, 0);
  EXPECT_EQ(waits, 1);
  RunLock again(path, [&] { ++waits; });  // free at once now
  EXPECT_EQ(waits, 1);
  EXPECT_EQ(RunLock::TryLock(path), nullptr);  // held by `again`, in this process too
  ::close(pipe_fds[0]);
  ::close(pipe_fds[1]);
}

}  // namespace
}  // namespace sevrik
