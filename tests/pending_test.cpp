// The pending file SEVRIK.PND: its form, its replay at the next start as data only, and what
// happens when it cannot be written, rewritten or removed.
#include <filesystem>
#include <gtest/gtest.h>

#include "base/text.h"
#include "core/runs/pending.h"
#include "core/startup.h"
#include "db/connect.h"
#include "tests/fault_fs.h"
#include "tests/testutil.h"
#include "tools/package/package.h"
#include "tools/workspace.h"

namespace sevrik {
namespace {
namespace fs = std::filesystem;

const std::string kCarA = tools::kDemoBC23Car;
const std::string kCarB = tools::kDemoBC23Car2;

// The database as the adapters will be: a value longer than its column is refused with
// error 5 naming the column (here snrf takes 12 characters). Every statement is recorded.
class NarrowColumns : public Database {
 public:
  explicit NarrowColumns(Database& db) : db_(db) {}
  std::unique_ptr<Recordset> Open(const std::string& sql, const Params& params, CursorType cursor) override {
    statements.push_back(sql);
    return std::make_unique<Rows>(db_.Open(sql, params, cursor));
  }
  std::vector<std::string> statements;

 private:
  class Rows : public Recordset {
   public:
    explicit Rows(std::unique_ptr<Recordset> rs) : rs_(std::move(rs)) {}
    bool Eof() const override { return rs_->Eof(); }
    void MoveFirst() override { rs_->MoveFirst(); }
    void MoveNext() override { rs_->MoveNext(); }
    long RecordCount() const override { return rs_->RecordCount(); }
    const Variant& Field(std::string_view name) const override { return rs_->Field(name); }
    void SetField(std::string_view name, Variant value) override {
      if (AsciiLower(name) == "snrf" && value.kind() == Variant::Kind::Text && value.text().size() > 12)
        too_long_ = true;
      rs_->SetField(name, std::move(value));
    }
    void Update() override {
      if (too_long_) throw Error(err::kInvalidArgument, "Nilai terlalu panjang untuk kolom snrf");
      rs_->Update();
    }

   private:
    std::unique_ptr<Recordset> rs_;
    bool too_long_ = false;
  };
  Database& db_;
};

class Pending : public ::testing::Test {
 protected:
  Session MakeSession() { return Session{db, dialogs, ws.program, ws.package, "NET1", LocaleInfo::Classic()}; }
  std::string State(const std::string& car) {
    return sql->QueryText("select ifnull(snrf, '-') || '/' || Status from TBLBC23HDR where CAR = ?", {Variant(car)});
  }
  void Apply() {
    Session s = MakeSession();
    ApplyPendingUpdates(s);
  }
  StoreResult Store(const StatusUpdate& u) {
    Session s = MakeSession();
    return StoreDocumentStatus(s, u);
  }
  Error StoreError(const StatusUpdate& u) { return Store(u).error.value_or(Error(0, "no error")); }
  // The customs application holds the rows of document `car` (the driver says "locked").
  void Lock(const std::string& car) {
    sql->Exec("create trigger busy before update on TBLBC23HDR when old.CAR = '" + car +
              "' begin select raise(abort, 'database is locked'); end");
  }
  void Unlock() { sql->Exec("drop trigger busy"); }
  std::string Pnd() const { return test::Exists(pnd) ? test::ReadFile(pnd) : "<none>"; }
  std::string Pnx() const { return test::Exists(pnx) ? test::ReadFile(pnx) : "<none>"; }

  test::TestWorkspace ws;
  std::unique_ptr<tools::SqliteFile> sql = ws.OpenSqlite();
  std::unique_ptr<Database> conn = ws.Connect();
  NarrowColumns db{*conn};
  test::ScriptedDialogs dialogs;
  std::string pnd = ws.program + "/SEVRIK.PND";
  std::string pnx = ws.program + "/SEVRIK.PNX";
};

std::string Line(const StatusUpdate& u) { return FormatPendingUpdates({u}); }

TEST(PendingFile, KeepsEveryCharacterOfItsFields) {
  const std::vector<StatusUpdate> updates = {
      {"tblBC23Hdr", "050100|%0A\r\nX", std::string("REF|%7C"), "02"},
      {"tblBC25Hdr", "K", std::nullopt, "01"},
      {"tblBC23Hdr", "\xC3\xA9t\xC3\xA9", std::string("R"), "02"},
  };
  const std::string text = FormatPendingUpdates(updates);
  EXPECT_EQ(text.substr(0, 55), "tblBC23Hdr|050100%7C%250A%0D%0AX|REF%7C%257C|02\r\ntblBC2");
  EXPECT_EQ(ParsePendingUpdates(text), updates);
  EXPECT_EQ(ParsePendingUpdates("garbage\r\n|||\r\na|b|c\r\n"), std::vector<StatusUpdate>{});
}

TEST_F(Pending, KeptUpdatesAreWrittenOnceAndTheFirstTheDatabaseRefusesStaysWithAllAfterIt) {
  test::WriteFile(pnd, FormatPendingUpdates({{"tblBC23Hdr", kCarA, std::string("R-A"), "02"},
                                             {"tblBC23Hdr", "NO-SUCH-CAR", std::string("R-X"), "02"},
                                             {"tblBC23Hdr", kCarB, std::string("R-B"), "02"},
                                             {"TBLBC23HDR", kCarA, std::nullopt, "01"}}));
  Lock(kCarB);
  Apply();
  EXPECT_EQ(State(kCarA), "R-A/02");
  // The row that is gone is dropped; the refused one stays, and the later status of A with
  // it, in their order.
  const std::string rest = "tblBC23Hdr|" + kCarB + "|R-B|02\r\nTBLBC23HDR|" + kCarA + "||01\r\n";
  EXPECT_EQ(Pnd(), rest);
  EXPECT_EQ(Pnx(), "<none>");
  const std::string log = ws.RunLog();
  EXPECT_NE(log.find("NO-SUCH-CAR"), std::string::npos) << log;
  EXPECT_NE(log.find("database is locked"), std::string::npos) << log;
  Apply();
  EXPECT_EQ(Pnd(), rest);
  Unlock();
  Apply();
  EXPECT_EQ(State(kCarA), "R-A/01");
  EXPECT_EQ(State(kCarB), "R-B/02");
  EXPECT_EQ(Pnd(), "<none>");
  EXPECT_EQ(Pnx(), "<none>");
  // An empty file goes too.
  test::WriteFile(pnd, "");
  Apply();
  EXPECT_EQ(Pnd(), "<none>");
}

TEST_F(Pending, ANewerStatusDropsTheKeptOnesOfItsDocumentAndARefusedOneIsKeptBehindTheOthers) {
  test::WriteFile(pnd, FormatPendingUpdates({{"tblBC23Hdr", kCarA, std::string("R-OLD"), "02"},
                                             {"tblBC23Hdr", kCarB, std::string("R-B"), "02"}}) +
                           "no update\r\n");
  // Whatever the case of the table's name.
  EXPECT_TRUE(Store({"TBLBC23HDR", kCarA, std::nullopt, "01"}).written());
  EXPECT_TRUE(State(kCarA).ends_with("/01"));
  EXPECT_EQ(Pnd(), "tblBC23Hdr|" + kCarB + "|R-B|02\r\nno update\r\n");

  Lock(kCarA);
  const StoreResult kept = Store({"tblBC23Hdr", kCarA, std::string("R"), "02"});
  EXPECT_EQ(kept.where, StatusStored::Kept);
  const Error e = kept.error.value();
  EXPECT_EQ(e.number(), err::kDatabase);
  EXPECT_NE(e.description().find("disimpan di SEVRIK.PND"), std::string::npos) << e.description();
  EXPECT_EQ(ParsePendingUpdates(Pnd()).back(), (StatusUpdate{"tblBC23Hdr", kCarA, std::string("R"), "02"}));
  // A file whose last line has no line end is not joined to the next.
  test::WriteFile(pnd, "tblBC23Hdr|" + kCarB + "|R-B|02");
  EXPECT_EQ(StoreError({"tblBC23Hdr", kCarA, std::string("R2"), "02"}).number(), err::kDatabase);
  EXPECT_EQ(Pnd(), "tblBC23Hdr|" + kCarB + "|R-B|02\r\ntblBC23Hdr|" + kCarA + "|R2|02\r\n");
  Unlock();

  // No header row: nothing is kept, there is no document to give the status to.
  const StoreResult none = Store({"tblBC23Hdr", "NONE", std::string("R"), "02"});
  EXPECT_EQ(none.where, StatusStored::Failed);
  EXPECT_EQ(none.error->number(), err::kNoCurrentRecord);
  EXPECT_EQ(ParsePendingUpdates(Pnd()).size(), 2u);
  // An update that breaks a rule is refused before the database sees it.
  db.statements.clear();
  EXPECT_EQ(StoreError({"tblBC23Hdr where 1=1 --", kCarA, std::string("R"), "02"}).number(), err::kInvalidArgument);
  EXPECT_EQ(StoreError({"tblBC23Hdr", kCarA, std::nullopt, "02"}).number(), err::kInvalidArgument);
  EXPECT_EQ(db.statements, std::vector<std::string>{});
}

// Every line that breaks a rule is moved aside as it stood, with a run-log entry, and never
// reaches the database; the good line after it is written.
TEST_F(Pending, ALineThatBreaksARuleIsMovedAsideAndNeverWritten) {
  struct Case {
    const char* name;
    std::string line;
  };
  const std::vector<Case> cases = {
      {"SQL in the table", "TBLBC23HDR where car<>? --|nosuchcar|QEVIL1|02"},
      {"another table", "tblSetting|" + kCarA + "|R|02"},
      {"02 without reference", "tblBC23Hdr|" + kCarA + "||02"},
      {"unknown status", "tblBC23Hdr|" + kCarA + "|R|03"},
      {"empty CAR", "tblBC23Hdr||R|02"},
      {"NUL byte", "tblBC23Hdr|" + kCarA + std::string("|R\0X|02", 7)},
      {"escaped line feed", "tblBC23Hdr|" + kCarA + "%0A|R|02"},
      {"tab", "tblBC23Hdr|" + kCarA + "|R\tX|02"},
      {"DEL", "tblBC23Hdr|" + kCarA + "|R\x7FX|02"},
      {"no update", "not an update"},
      {"five fields", "tblBC23Hdr|" + kCarA + "|R|02|x"},
      {"too long", "tblBC23Hdr|" + kCarA + "|" + std::string(kMaxPendingLineBytes, 'R') + "|02"},
  };
  const std::string before = State(kCarA), good = Line({"tblBC23Hdr", kCarB, std::string("R-OK"), "02"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sql->Exec("update TBLBC23HDR set snrf = null, Status = '00' where CAR = '" + kCarB + "'");
    fs::remove(pnx);
    test::WriteFile(ws.program + "/SEVRIK.log", "");
    test::WriteFile(pnd, c.line + "\r\n" + good);
    db.statements.clear();
    Apply();
    EXPECT_EQ(State(kCarA), before);
    EXPECT_EQ(State(kCarB), "R-OK/02");
    EXPECT_EQ(Pnd(), "<none>");
    EXPECT_EQ(Pnx(), c.line + "\r\n");
    EXPECT_NE(ws.RunLog().find("SEVRIK.PNX"), std::string::npos) << ws.RunLog();
    EXPECT_EQ(ws.RunLog().find('\0'), std::string::npos);
    EXPECT_EQ(db.statements, std::vector<std::string>{"select * from tblBC23Hdr Where car =?"});
  }
  // A table named in another case is the table of the list.
  test::WriteFile(pnd, "TBLbc23HDR|" + kCarB + "|R-CASE|02\r\n");
  db.statements.clear();
  Apply();
  EXPECT_EQ(State(kCarB), "R-CASE/02");
  EXPECT_EQ(db.statements, std::vector<std::string>{"select * from tblBC23Hdr Where car =?"});
}

TEST_F(Pending, AValueLongerThanItsColumnIsSetAsideNotKept) {
  const StatusUpdate wide{"tblBC23Hdr", kCarA, std::string("REF-WIDER-THAN-12"), "02"};
  test::WriteFile(pnd, Line(wide) + Line({"tblBC23Hdr", kCarB, std::string("R-B"), "02"}));
  const std::string before = State(kCarA);
  Apply();
  EXPECT_EQ(State(kCarA), before);
  EXPECT_EQ(State(kCarB), "R-B/02");
  EXPECT_EQ(Pnd(), "<none>");
  EXPECT_EQ(Pnx(), Line(wide));
  EXPECT_NE(ws.RunLog().find("kolom snrf"), std::string::npos) << ws.RunLog();

  // Straight from a run: set aside too, and said so.
  const StoreResult aside = Store(wide);
  EXPECT_EQ(aside.where, StatusStored::SetAside);
  const Error e = aside.error.value();
  EXPECT_EQ(e.number(), err::kInvalidArgument);
  EXPECT_NE(e.description().find("SEVRIK.PNX"), std::string::npos) << e.description();
  EXPECT_EQ(Pnx(), Line(wide) + Line(wide));
  EXPECT_EQ(Pnd(), "<none>");
}

TEST_F(Pending, AReferenceStoredNowhereIsGivenInTheError) {
  Lock(kCarA);
  fs::create_directory(pnd);  // the pending file's name is taken by a folder
  const StoreResult nowhere = Store({"tblBC23Hdr", kCarA, std::string("REF-0042"), "02"});
  EXPECT_EQ(nowhere.where, StatusStored::Nowhere);
  const Error e = nowhere.error.value();
  EXPECT_EQ(e.number(), err::kDatabase);
  EXPECT_EQ(e.description().substr(0, 48), "Referensi REF-0042 untuk CAR " + kCarA.substr(0, 19)) << e.description();
  EXPECT_NE(e.description().find("tidak dapat disimpan"), std::string::npos) << e.description();
  EXPECT_NE(e.description().find(kCarA), std::string::npos);
  EXPECT_NE(e.description().find("database is locked"), std::string::npos);
}

// A pending file that cannot be replaced (a read-only folder) or removed (another program
// holds it): nothing of it is applied, and the run stops.
TEST_F(Pending, AFileThatCannotBeRewrittenIsNotApplied) {
  const std::string line = Line({"tblBC23Hdr", kCarA, std::string("R-OLD"), "02"});
  const std::string before = State(kCarA);
  for (const auto fault : {&test::FaultFileSystem::MakeReadOnly, &test::FaultFileSystem::FailRemoval}) {
    test::WriteFile(pnd, line);
    test::FaultFileSystem faults;
    (faults.*fault)(fault == &test::FaultFileSystem::MakeReadOnly ? ws.program : pnd);
    EXPECT_EQ(test::ErrorOf([&] { Apply(); }), err::kPermissionDenied);
    EXPECT_EQ(State(kCarA), before);
    EXPECT_EQ(Pnd(), line);
  }
}

// The program: a pending file that cannot be removed stops every start before its action, so
// that the kept status never lands over a later cancellation.
TEST_F(Pending, AFileThatCannotBeRemovedStopsTheRunBeforeItsAction) {
  tools::LayOutPackage(ws.package, test::BuiltProgram("tools/package"));
  sql->Exec("update TBLBC23HDR set snrf = 'R-NEW', Status = '02' where CAR = '" + kCarA + "'");
  test::WriteFile(pnd, Line({"tblBC23Hdr", kCarA, std::string("R-NEW"), "02"}));
  test::FaultFileSystem faults;
  faults.FailRemoval(pnd);
  MainEnvironment env{ws.program, dialogs, ConnectDatabase, {}, nullptr, {}, {}};
  EXPECT_EQ(RunMain("UNQ BC23 " + kCarA, env), 1);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].text.substr(0, 22), "Run-time error '70':\r\n") << dialogs.boxes[0].text;
  EXPECT_NE(dialogs.boxes[0].text.find("SEVRIK.PND"), std::string::npos) << dialogs.boxes[0].text;
  EXPECT_FALSE(test::Exists(ws.package + "/calls.log"));  // the cancellation never started
  EXPECT_EQ(State(kCarA), "R-NEW/02");
  EXPECT_EQ(Pnd(), Line({"tblBC23Hdr", kCarA, std::string("R-NEW"), "02"}));
}

// A pending file planted as a symbolic link to another file: the other file is never read as
// kept updates (the start stops and says why) nor written through, and the link stays.
TEST_F(Pending, APendingFilePlantedAsALinkIsNeitherReadNorWrittenThrough) {
  const std::string outside = ws.dir / "outside.txt";
  const std::string line = Line({"tblBC23Hdr", kCarA, std::string("R-PLANTED"), "02"});
  test::WriteFile(outside, line);
  fs::create_symlink(outside, pnd);
  const std::string before = State(kCarA);
  try {
    Apply();
    ADD_FAILURE() << "read through the link";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), err::kPathFileAccess);
    EXPECT_NE(e.description().find("SEVRIK.PND is a symbolic link"), std::string::npos) << e.description();
  }
  EXPECT_EQ(State(kCarA), before);
  // A status the database refuses is not appended through the link either: it is stored
  // nowhere, and the error gives the reference.
  Lock(kCarB);
  const Error e = StoreError({"tblBC23Hdr", kCarB, std::string("R-NEW"), "02"});
  EXPECT_NE(e.description().find("Referensi R-NEW untuk CAR " + kCarB), std::string::npos) << e.description();
  EXPECT_EQ(test::ReadFile(outside), line);
  EXPECT_TRUE(fs::is_symlink(pnd));
}

}  // namespace
}  // namespace sevrik
