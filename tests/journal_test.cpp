// The run journal as a write-ahead log: its bytes, what a torn or damaged file reads as, the
// order in which each document's outcomes apply, compaction, and runs killed at every write and
// sync of the journal. After each run the documents hold what the translator answered for them,
// and nothing else.
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <gtest/gtest.h>
#include <map>

#include "base/text.h"
#include "core/lookups/lookups.h"
#include "core/runs/journal.h"
#include "core/runs/journal_format.h"
#include "core/startup.h"
#include "db/connect.h"
#include "platform/fs.h"
#include "tests/fault_fs.h"
#include "tests/testutil.h"
#include "tools/package/package.h"

namespace sevrik {
namespace {
namespace fs = std::filesystem;

const std::string kCarA = tools::kDemoBC23Car;
const std::string kCarB = tools::kDemoBC23Car2;

// Hand-written records: their payloads, lengths and CRC-32C values worked out apart from the code.
const std::string kBeginA = "B|1|2026-01-02 03:04:05|QUE|BC23|tblBC23Hdr|CAR-A|ranuvel";
const std::string kProcessA = "P|1|4242|777|4242";
const std::string kEndA = "E|1|2026-01-02 03:04:09|0|SUCCESS|REF%7C1";
const std::string kFramedA = "J|57|e23161a0|" + kBeginA + "\r\n" + "J|17|f39938fe|" + kProcessA + "\r\n" +
                             "J|41|d261b694|" + kEndA + "\r\n";
const std::string kFramedUnq = "J|53|a6221c34|B|2|2026-01-02 03:05:00|UNQ|BC23|tblBC23Hdr|CAR-A|zul\r\n";
const std::string kFramedFromWindow =
    "J|63|e8584de6|B|3|2026-01-02 03:06:00|QUE|BC23|tblBC23Hdr|CAR-A|EXPORT|window\r\n";

// A run that started no translator, in one record.
const std::string kFramedWithoutTranslator =
    "J|76|dfc11e6b|R|4|2026-01-02 03:07:00|QUE|BC25|tblBC25Hdr|CAR-B|window|SVK01|tidak lengkap\r\n";

TEST(JournalFormat, Crc32cAndFramesAsWrittenByHand) {
  EXPECT_EQ(Crc32c(""), 0u);
  EXPECT_EQ(Crc32c("a"), 0xc1d04330u);
  EXPECT_EQ(Crc32c("123456789"), 0xe3069283u);
  EXPECT_EQ(FrameRecord(kProcessA), "J|17|f39938fe|P|1|4242|777|4242\r\n");
  EXPECT_EQ(FrameRecord("C|100"), "J|5|669b4bf9|C|100\r\n");
}

// What a file's bytes read as: the whole records, the stretches skipped, the torn tail.
TEST(JournalFormat, ScanFindsWholeRecordsOnly) {
  const std::string p = "J|17|f39938fe|" + kProcessA + "\r\n";  // one whole record, 33 bytes
  const struct {
    const char* name;
    std::string bytes;
    size_t records, damaged, torn;
  } cases[] = {
      {"empty", "", 0, 0, 0},
      {"one record", p, 1, 0, 0},
      {"the released format", "B|1|t|QUE|BC23|tblBC23Hdr|C|zul\r\nE|1|t|0|SUCCESS|R\r\n", 2, 0, 0},
      {"released lines, then framed ones", "P|1|2|3\r\n" + p, 2, 0, 0},
      {"a released line without its line end", p + "E|1|t|0|SUCCESS|R", 1, 0, 17},
      {"a wrong checksum", "J|17|f39938ff|" + kProcessA + "\r\n" + p, 1, 1, 0},
      {"a checksum in capitals", "J|17|F39938FE|" + kProcessA + "\r\n" + p, 1, 1, 0},
      {"a length too long", "J|18|f39938fe|" + kProcessA + "\r\n" + p, 1, 1, 0},
      {"a length with a leading zero", "J|017|f39938fe|" + kProcessA + "\r\n" + p, 1, 1, 0},
      {"a record without CR", "J|17|f39938fe|" + kProcessA + "\n" + p, 1, 1, 0},
      {"a torn record run into the next", "J|17|f39938fe|P|1|42" + p, 1, 1, 0},
      {"garbage between records", p + "\x01\xff garbage\r\n" + p, 2, 1, 0},
      {"a torn last record", p + p.substr(0, 20), 1, 0, 20},
      {"a damaged last record is the tail", p + "J|17|00000000|" + kProcessA + "\r\n", 1, 0, 33},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const JournalScan scan = ScanJournal(c.bytes);
    EXPECT_EQ(scan.payloads.size(), c.records);
    EXPECT_EQ(scan.damaged.size(), c.damaged);
    EXPECT_EQ(scan.torn, c.torn);
    EXPECT_EQ(scan.whole_end + scan.torn, c.bytes.size());
  }
}

// Journal files written by hand, in the released format and framed, read back.
TEST(JournalFormat, GoldenFilesReadBack) {
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"released", kBeginA + "\r\nP|1|4242|777\r\n" + kEndA + "\r\n"},
      {"framed", kFramedA},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    test::WriteFile(dir / "SEVRIK.JNL", c.bytes + kFramedUnq + kFramedFromWindow + kFramedWithoutTranslator);
    const JournalContents read = RunJournal(dir / "SEVRIK.JNL").Read();
    ASSERT_EQ(read.entries.size(), 4u);
    const JournalEntry& r = read.entries[3];
    EXPECT_EQ(r.id + " " + r.time + " " + r.action + " " + r.type + " " + r.table + " " + r.car + " " + r.origin + " " +
                  r.status + " " + r.reason + " [" + r.translator + "]",
              "4 2026-01-02 03:07:00 QUE BC25 tblBC25Hdr CAR-B window SVK01 tidak lengkap []");
    EXPECT_TRUE(r.ended);
    // Compaction writes it back as it was.
    EXPECT_TRUE(RunJournal(dir / "SEVRIK.JNL").Compact(read, 0));
    EXPECT_NE(test::ReadFile(dir / "SEVRIK.JNL").find(kFramedWithoutTranslator), std::string::npos);
    const JournalEntry& e = read.entries[0];
    EXPECT_EQ(e.id + " " + e.time + " " + e.action + " " + e.type + " " + e.table + " " + e.car + " " + e.translator,
              "1 2026-01-02 03:04:05 QUE BC23 tblBC23Hdr CAR-A ranuvel");
    ASSERT_TRUE(e.process);
    EXPECT_EQ(e.process->pid, 4242);
    EXPECT_EQ(e.process->started, 777u);
    EXPECT_EQ(e.process->group, std::string(c.name) == "framed" ? "4242" : "");
    EXPECT_TRUE(e.ended);
    EXPECT_EQ(e.end_time + " " + e.status + " " + e.reason + " " + e.reference, "2026-01-02 03:04:09 0 SUCCESS REF|1");
    EXPECT_EQ(read.entries[1].action, "UNQ");
    EXPECT_FALSE(read.entries[1].ended);
    const std::vector<JournalEntry> history = DocumentHistory(read.entries, "TBLBC23HDR", "CAR-A");
    ASSERT_EQ(history.size(), 3u);
    EXPECT_EQ(history[0].reference + " " + history[1].action + " " + history[2].translator + " " + history[2].origin,
              "REF|1 UNQ EXPORT window");
    EXPECT_EQ(history[0].origin, "");
  }
}

// A damaged record in the middle is skipped and told at open; what is after it still counts.
// A torn tail is cut at open, and the file then ends with its last whole record.
TEST(JournalFormat, OpenSkipsDamageAndCutsATornTail) {
  test::TempDir dir;
  std::string damaged = kFramedA;
  damaged[kFramedA.find("SUCCESS")] = 'X';  // the end record's checksum no longer agrees
  test::WriteFile(dir / "SEVRIK.JNL", damaged + kFramedUnq + "J|40|0123");
  const RunJournal journal(dir / "SEVRIK.JNL", dir / "SEVRIK.LOG");
  const JournalContents read = journal.Open();
  ASSERT_EQ(read.entries.size(), 2u);
  EXPECT_FALSE(read.entries[0].ended);  // never read from the damaged record
  EXPECT_EQ(read.entries[1].action, "UNQ");
  EXPECT_EQ(read.damaged, 1u);
  EXPECT_EQ(read.torn, 9u);
  EXPECT_EQ(test::ReadFile(dir / "SEVRIK.JNL"), damaged + kFramedUnq);
  EXPECT_EQ(test::ReadFile(dir / "SEVRIK.LOG"),
            " 75 \r\nJurnal SEVRIK.JNL: rekaman rusak dilewati (57 byte pada posisi 106)\r\n"
            " 62 \r\nJurnal SEVRIK.JNL: ekor terpotong sebanyak 9 byte setelah rekaman utuh terakhir dibuang\r\n");
  // An append after a torn tail never lands inside it.
  test::WriteFile(dir / "SEVRIK.JNL", kFramedA + "J|40|0123");
  JournalEntry e;
  e.action = "COM";
  journal.Begin(e);
  const JournalContents after = journal.Read();
  EXPECT_EQ(after.torn + after.damaged, 0u);
  EXPECT_EQ(after.entries.size(), 2u);
}

// Compaction: only past the size and twice the size of the last one; every open entry and
// the last outcomes of each document kept in their order, the first record giving the size.
TEST(JournalCompaction, KeepsOpenEntriesAndTheLastOutcomesOfEachDocument) {
  test::TempDir dir;
  const RunJournal journal(dir / "SEVRIK.JNL");
  const auto run = [&](const std::string& action, const std::string& car, const char* reference) {
    JournalEntry e;
    e.action = action, e.type = car.empty() ? "" : "BC23", e.table = car.empty() ? "" : "tblBC23Hdr", e.car = car;
    e.translator = "ranuvel";
    journal.Begin(e);
    journal.Started(e, {42, 7, "42"});
    if (reference) journal.End(e, "0", "SUCCESS", reference);
  };
  for (int i = 1; i <= 25; ++i) {
    run("QUE", kCarA, ("A" + std::to_string(i)).c_str());
    if (i == 3) run("QUE", kCarB, nullptr);  // open, far behind
    if (i % 10 == 0) run("COM", "", "");
  }
  const JournalContents before = journal.Read();
  ASSERT_EQ(before.entries.size(), 28u);
  const struct {
    size_t bytes, compacted, limit;
    bool compacts;
  } rules[] = {{before.bytes, 0, before.bytes, false},
               {before.bytes, 0, before.bytes - 1, true},
               {before.bytes, before.bytes / 2 + 1, 0, false},
               {before.bytes, before.bytes / 2, 0, true}};
  for (const auto& r : rules) {
    JournalContents c = before;
    c.bytes = r.bytes, c.compacted = r.compacted;
    test::FaultFileSystem faults;  // counts what is written: nothing when it does not compact
    faults.KillAt(HostPath(dir / "SEVRIK.JNL"), 1000);
    EXPECT_EQ(journal.Compact(c, r.limit), r.compacts);
    EXPECT_EQ(faults.steps(), r.compacts ? 3u : 0u);
  }
  const JournalContents after = journal.Read();
  EXPECT_EQ(after.compacted, after.bytes);
  const std::vector<JournalEntry> a = DocumentHistory(after.entries, "tblBC23Hdr", kCarA);
  ASSERT_EQ(a.size(), 20u);
  EXPECT_EQ(a.front().reference, "A6");
  EXPECT_EQ(a.back().reference, "A25");
  const std::vector<JournalEntry> b = DocumentHistory(after.entries, "tblbc23hdr", kCarB);
  ASSERT_EQ(b.size(), 1u);
  EXPECT_FALSE(b[0].ended);
  EXPECT_EQ(b[0].process->group, "42");
  EXPECT_EQ(after.entries.front().car, kCarB);  // the open entry keeps its place before A6
  EXPECT_EQ(DocumentHistory(after.entries, "", "").size(), 2u);
}

// A compaction killed at each of its steps leaves the old file or the new one, whole, and the
// next start removes what the kill left beside it.
TEST(JournalCompaction, KilledAtEachStepLosesNothing) {
  for (size_t step = 0; step < 3; ++step) {
    SCOPED_TRACE(step);
    test::TempDir dir;
    const std::string path = dir / "SEVRIK.JNL";
    test::WriteFile(path, kFramedA + kFramedA + kFramedUnq);  // entry 1 twice: the second begin is passed over
    const RunJournal journal(path);
    {
      test::FaultFileSystem faults;
      faults.KillAt(HostPath(path), step);
      EXPECT_THROW(journal.Compact(journal.Read(), 0), test::Killed);
    }
    EXPECT_EQ(RemoveLeftoverReplacements(path), step < 2 ? 1u : 0u);
    const JournalContents read = journal.Open();
    EXPECT_EQ(read.torn + read.damaged, 0u);
    ASSERT_EQ(read.entries.size(), 2u);
    EXPECT_EQ(read.entries[0].reference, "REF|1");
    EXPECT_FALSE(read.entries[1].ended);
  }
}

// A workspace with the stand-in translator, run through Main in this process, and the truth
// the translator keeps: the references it handed out and still holds (queued or sent).
class Runs : public test::WorkspaceSession {
 public:
  Runs() : WorkspaceSession(tools::PackageOptions{true, false}) {}
  int Main(const std::string& args) {
    MainEnvironment env{ws.program, dialogs, ConnectDatabase, {}, nullptr, {}, {}};
    return RunMain(args, env);
  }
  std::string JournalFile() const { return ws.program + "/SEVRIK.JNL"; }
  std::vector<std::string> HandedOut(const std::string& car) const {
    std::vector<std::string> references;
    for (const char* folder : {"/queue", "/outbox"}) {
      if (!fs::exists(ws.package + folder)) continue;
      for (const auto& e : fs::directory_iterator(ws.package + folder))
        if (test::ReadFile(e.path()).find("HDEC0101" + car) != std::string::npos)
          references.push_back(e.path().stem().string());
    }
    return references;
  }
  // Each document holds the one reference the translator holds for it, queued ("02"), or, with
  // none, the status "01"; every journal entry is complete and the file whole.
  void ExpectDocumentsAsTheTranslatorHoldsThem() const {
    for (const std::string& car : {kCarA, kCarB}) {
      const std::vector<std::string> references = HandedOut(car);
      ASSERT_LE(references.size(), 1u) << car;
      if (references.empty()) EXPECT_TRUE(State(car).ends_with("/01")) << car << " " << State(car);
      else EXPECT_EQ(State(car), references[0] + "/02") << car;
    }
    const JournalContents read = RunJournal(JournalFile()).Read();
    EXPECT_EQ(read.torn + read.damaged, 0u);
    EXPECT_FALSE(read.entries.empty());  // the first queueing's entry at least
    for (const JournalEntry& e : read.entries) EXPECT_TRUE(e.ended) << e.action << " " << e.car;
  }
  // The data of a run, to be laid back before the next case: the package's folders, the
  // program folder's own files and the documents' columns.
  void Save() {
    saved = std::make_unique<test::TempDir>();
    fs::copy(ws.package + "/ipdata", saved->path() + "/ipdata", fs::copy_options::recursive);
    fs::copy(ws.package + "/queue", saved->path() + "/queue", fs::copy_options::recursive);
    fs::copy_file(JournalFile(), saved->path() + "/SEVRIK.JNL");
    for (const std::string& car : {kCarA, kCarB}) states[car] = State(car);
  }
  void Restore() {
    for (const char* folder : {"/ipdata", "/queue", "/outbox"}) fs::remove_all(ws.package + folder);
    fs::copy(saved->path() + "/ipdata", ws.package + "/ipdata", fs::copy_options::recursive);
    fs::copy(saved->path() + "/queue", ws.package + "/queue", fs::copy_options::recursive);
    for (const char* file : {"/SEVRIK.JNL", "/SEVRIK.PND", "/SEVRIK.LOG", "/calls.log", "/standin.ctl"}) {
      fs::remove(ws.program + file);
      fs::remove(ws.package + file);
    }
    fs::copy_file(saved->path() + "/SEVRIK.JNL", JournalFile());
    for (const auto& [car, state] : states) {
      const std::vector<std::string> parts = Split(state, "/");
      sql->Exec("update TBLBC23HDR set snrf = " + (parts[0] == "-" ? std::string("null") : "'" + parts[0] + "'") +
                ", Status = '" + parts[1] + "' where CAR = '" + car + "'");
    }
  }
  std::unique_ptr<test::TempDir> saved;
  std::map<std::string, std::string> states;
};

const std::vector<std::string> kActions = {"QUE BC23 " + kCarB, "UNQ BC23 " + kCarA, "COM",
                                           "QUE BC25 " + std::string(tools::kDemoBC25Car), "logdel"};

// The last record of the journal torn at every length, each followed by each action and a
// recovery start: the tail is cut, the entry it belonged to completed from what its translator
// left, and every document holds what the translator holds for it.
TEST(JournalRecovery, ATornLastRecordAtEveryLengthThenEachAction) {
  Runs w;
  ASSERT_EQ(w.Main("QUE BC23 " + kCarA), 0);
  EXPECT_EQ(RunJournal(w.JournalFile()).Entries().at(0).origin, "command line");
  const std::string whole = test::ReadFile(w.JournalFile());
  const size_t last = whole.rfind("J|");
  ASSERT_EQ(whole.substr(last, 2), "J|");
  ASSERT_NE(whole.find("|E|", last), std::string::npos);
  w.Save();
  for (size_t cut = 0; cut < whole.size() - last; ++cut) {
    for (const std::string& action : kActions) {
      SCOPED_TRACE(std::to_string(cut) + " bytes, then " + action);
      w.Restore();
      test::WriteFile(w.JournalFile(), whole.substr(0, last + cut));
      EXPECT_EQ(w.Main(action), 0) << w.ws.RunLog();
      if (cut > 0) {
        EXPECT_NE(w.ws.RunLog().find("ekor terpotong sebanyak " + std::to_string(cut) + " byte"), std::string::npos)
            << w.ws.RunLog();
      }
      EXPECT_EQ(w.Main("nothing"), 0);
      w.ExpectDocumentsAsTheTranslatorHoldsThem();
      if (::testing::Test::HasFailure()) return;
    }
  }
}

// Runs killed at every step of their writes to the journal (half a record, a whole one not yet
// synced, a synced one, each step of a replacement), one, two and three in a row, then a start
// that recovers: no reference is lost and no document takes another's or an overtaken status.
TEST(JournalRecovery, RunsKilledAtEveryWriteAndSync) {
  Runs w;
  ASSERT_EQ(w.Main("QUE BC23 " + kCarA), 0);
  w.Save();
  const std::vector<std::string> runs = {"QUE BC23 " + kCarB, "UNQ BC23 " + kCarA, "COM"};
  for (size_t step = 0;; ++step) {
    bool any_killed = false;
    for (size_t killed = 1; killed <= runs.size(); ++killed) {
      SCOPED_TRACE("killed at step " + std::to_string(step) + ", " + std::to_string(killed) + " runs in a row");
      w.Restore();
      for (size_t r = 0; r < runs.size(); ++r) {
        test::FaultFileSystem faults;
        if (r < killed) faults.KillAt(HostPath(w.JournalFile()), step);
        try {
          w.Main(runs[r]);
        } catch (const test::Killed&) {
        }
        any_killed |= faults.killed();
      }
      EXPECT_EQ(w.Main("nothing"), 0);
      w.ExpectDocumentsAsTheTranslatorHoldsThem();
      if (::testing::Test::HasFailure()) return;
    }
    if (!any_killed) {
      EXPECT_GE(step, 9u);  // three records of the queueing, each appended and synced
      break;
    }
  }
}

// The journal written as runs that died would leave it, beside the translator's files: which
// entry owns the status files, and what each document keeps.
TEST(JournalRecovery, EachDocumentsOutcomesApplyInTheirOrder) {
  const auto framed = [](std::initializer_list<std::string> payloads) {
    std::string bytes;
    for (const std::string& p : payloads) bytes += FrameRecord(p);
    return bytes;
  };
  const std::string que_a = "QUE|BC23|tblBC23Hdr|" + kCarA + "|ranuvel", que_b = "QUE|BC23|tblBC23Hdr|" + kCarB + "|ranuvel";
  const struct {
    const char* name;
    std::string journal;
    std::string state_a, state_b;  // afterwards; the translator's files name the reference R9
    std::vector<std::string> statuses;
    bool reference_reported;
  } cases[] = {
      {"the last open queueing owns the files", framed({"B|1|t1|" + que_a}), "R9/02", "-/01", {"0"}, false},
      {"an open entry overtaken by a later one of its document",
       framed({"B|1|t1|" + que_a, "B|2|t2|UNQ|BC23|tblBC23Hdr|" + kCarA + "|ranuvel", "E|2|t3|301|GAGAL|"}), "-/01",
       "-/01", {"SVK05", "301"}, true},
      {"two open queueings: only the newer owns the files", framed({"B|1|t1|" + que_a, "B|2|t2|" + que_b}), "-/01",
       "R9/02", {"SVK06", "0"}, true},
      {"a damaged end record: the entry counts as open, and the newer one owns the files",
       framed({"B|1|t1|" + que_a}) + "J|21|00000000|E|1|t2|0|SUCCESS|R1\r\n" +
           framed({"B|2|t3|" + que_b, "E|2|t4|201|DITOLAK|"}),
       "-/01", "-/01", {"SVK06", "201"}, true},
      {"two open communication runs both end as they ran", framed({"B|1|t1|COM||||zul", "B|2|t2|COM||||zul"}),
       "-/01", "-/01", {"0", "0"}, false},
      {"an entry already ended is never applied again",
       framed({"B|1|t1|" + que_a, "E|1|t2|0|SUCCESS|R1"}), "-/01", "-/01", {"0"}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Runs w;
    test::WriteFile(w.ws.package + "/ipdata/TPBQUE.STA", "0\r\nSUCCESS\r\n");
    test::WriteFile(w.ws.package + "/ipdata/TPBQUE.LOG", "BC23\r\nR9\r\nANTRIAN\r\n-\r\n01Jan26\r\nTPBQUE\r\n");
    test::WriteFile(w.JournalFile(), c.journal);
    EXPECT_EQ(w.Main("nothing"), 0);
    EXPECT_EQ(w.State(kCarA), c.state_a);
    EXPECT_EQ(w.State(kCarB), c.state_b);
    const std::vector<JournalEntry> entries = RunJournal(w.JournalFile()).Entries();
    ASSERT_EQ(entries.size(), c.statuses.size());
    for (size_t i = 0; i < entries.size(); ++i) {
      EXPECT_EQ(entries[i].status, c.statuses[i]) << i;
      if (c.statuses[i].starts_with("SVK")) {  // a failure that this start closed, told
        EXPECT_NE(w.ws.RunLog().find("diselesaikan sebagai " + c.statuses[i]), std::string::npos) << w.ws.RunLog();
      }
    }
    EXPECT_EQ(w.ws.RunLog().find("Referensi R9 di log antrean tidak disimpan untuk CAR " + kCarA) != std::string::npos,
              c.reference_reported)
        << w.ws.RunLog();
  }
}

// A process record whose id lives on in another process (this one), with another start time:
// no wait, and the entry is completed.
TEST(JournalRecovery, AReusedProcessIdIsNotWaitedFor) {
  Runs w;
  const std::string pid = std::to_string(::getpid());
  test::WriteFile(w.JournalFile(), FrameRecord("B|1|t1|COM||||ranuvel") + FrameRecord("P|1|" + pid + "|1|" + pid));
  int waits = 0;
  CompleteOpenRuns(*w.session, [&] { ++waits; });
  EXPECT_EQ(waits, 0);
  const std::vector<JournalEntry> entries = RunJournal(w.JournalFile()).Entries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_TRUE(entries[0].ended);
}

// The program as the customs application starts it, killed with the shim or while the older
// translator runs, the translator left running, as soon as the translator has begun (its
// process perhaps not yet journaled): the next start waits for it and stores what it handed out
// for its own document, and only then runs its own translator.
TEST(JournalProcesses, KilledWithTheShimTheTranslatorIsStillWaitedFor) {
  const struct {
    const char* name;
    tools::PackageOptions package;
    bool kill_shim;
  } cases[] = {
      {"SEVRIK and ZUL killed, ranuvel left running", {false, false}, true},
      {"SEVRIK killed, ZUL and ranuvel left running", {false, false}, false},
      {"SEVRIK killed, EXPORT left running", {false, true}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::WorkspaceSession w(c.package);
    for (const char* program : {"programs/SEVRIK", "shim/ZUL", "tools/package/ranuvel"})
      tools::InstallProgram(test::BuiltProgram(program), w.ws.program);
    w.Control("sleep=1500\n");
    const std::vector<std::string> env = {"SEVRIK_DIALOGS=console"};
    {
      test::RunningProgram first(w.ws.program + "/SEVRIK", {"QUE", "BC23", kCarA}, w.ws.dir.path(), env);
      ASSERT_TRUE(test::WaitFor([&] { return w.InPackage("calls.log"); }));
      if (c.kill_shim) {
        int shims_killed = 0;
        // The shim is the one process besides SEVRIK that works in the package folder and is
        // not the translator.
        for (const auto& e : fs::directory_iterator("/proc")) {
          std::error_code ec;
          if (fs::read_symlink(e.path() / "cwd", ec) != fs::path(w.ws.package)) continue;
          if (test::ReadFile((e.path() / "comm").string()) == "ZUL\n") {
            ::kill(std::stoi(e.path().filename().string()), SIGKILL);
            ++shims_killed;
          }
        }
        EXPECT_EQ(shims_killed, 1);
      }
      first.Kill();
    }
    w.Control("");
    const test::RunResult second =
        test::RunProgram(w.ws.program + "/SEVRIK", {"QUE", "BC23", kCarB}, w.ws.dir.path(), env);
    EXPECT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(second.err, std::string(test::kWaitingText) + "\n");
    // Each document holds a reference of its own: A's from the translator that the killed run
    // left, B's from its own.
    const std::string a = w.State(kCarA), b = w.State(kCarB);
    EXPECT_TRUE(a.ends_with("/02") && !a.starts_with("-")) << a;
    EXPECT_TRUE(b.ends_with("/02") && !b.starts_with("-")) << b;
    EXPECT_NE(a, b);
  }
}

}  // namespace
}  // namespace sevrik
