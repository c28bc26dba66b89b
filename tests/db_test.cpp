// The Database seam over real SQLite files.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "base/error.h"
#include "core/lookups/lookups.h"
#include "core/lookups/program.h"
#include "core/startup.h"
#include "db/access_sql.h"
#include "db/connect.h"
#include "db/odbc_database.h"
#include "tests/access_sql_check.h"
#include "tests/testutil.h"

namespace sevrik {
namespace {

using test::ErrorOf;

using test::TestWorkspace;

TEST(ConnectionString, IsBuiltAsTheApplicationExpectsAndReadBack) {
  const std::string cs = BuildConnectionString("C:\\BeaCukai\\TPB25");
  EXPECT_EQ(cs,
            "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\BeaCukai\\TPB25\\dbTPB.mdb;"
            "Jet oledb:Database password=TarovLinesKepas");
  const auto items = ParseConnectionString(cs);
  EXPECT_EQ(items.at("data source"), "C:\\BeaCukai\\TPB25\\dbTPB.mdb");
  EXPECT_EQ(items.at("jet oledb:database password"), "TarovLinesKepas");
}

TEST(Connect, RefusesWhatIsNoDatabase) {
  test::TempDir dir;
  EXPECT_EQ(ErrorOf([&] { ConnectDatabase(BuildConnectionString(dir.path())); }), err::kDatabase);
  EXPECT_FALSE(test::Exists(dir / "dbTPB.mdb"));  // never created
  test::WriteFile(dir / "dbTPB.mdb", "this is a text file, not a database");
  EXPECT_EQ(ErrorOf([&] { ConnectDatabase(BuildConnectionString(dir.path())); }), err::kDatabase);
  test::WriteFile(dir / "dbTPB.mdb", "");
  EXPECT_EQ(ErrorOf([&] { ConnectDatabase(BuildConnectionString(dir.path())); }), err::kDatabase);
  test::WriteFile(dir / "dbTPB.mdb", std::string("SQLite format 3\0", 16) + std::string(200, 'x'));
  EXPECT_EQ(ErrorOf([&] { ConnectDatabase(BuildConnectionString(dir.path())); }), err::kDatabase);
}

// Which adapter: the file's first bytes, or SEVRIK_DATABASE instead of the file.
class Adapters : public ::testing::Test {
 protected:
  void TearDown() override {
    if (test::UsingOdbc()) ::setenv("SEVRIK_DATABASE", test::OdbcConnectionString(ws.db_path()).c_str(), 1);
    else ::unsetenv("SEVRIK_DATABASE");
  }
  std::string ErrorText(const std::string& connection_string) {
    try {
      ConnectDatabase(connection_string);
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), err::kDatabase);
      return e.description();
    }
    ADD_FAILURE() << "connected";
    return {};
  }
  TestWorkspace ws;
};

TEST_F(Adapters, SevrikDatabaseIsUsedInsteadOfTheFile) {
  ::setenv("SEVRIK_DATABASE", test::OdbcConnectionString(ws.db_path()).c_str(), 1);
  auto db = ConnectDatabase(BuildConnectionString("C:\\NoSuchFolder"));  // the file does not matter
  EXPECT_EQ(GetOwnEdiNumber(*db), tools::kDemoOwnEdiNumber);
}

TEST_F(Adapters, AWrongSevrikDatabaseIsAnErrorWithTheDriversText) {
  const std::string cs = BuildConnectionString(ws.program);
  ::setenv("SEVRIK_DATABASE", "Driver=/no/such/odbc-driver.so;Database=x", 1);
  EXPECT_NE(ErrorText(cs).find("ODBC driver '/no/such/odbc-driver.so' is not installed"), std::string::npos);
  ::setenv("SEVRIK_DATABASE", "DSN=SevrikNoSuchSource", 1);
  EXPECT_NE(ErrorText(cs).find("Data source name not found"), std::string::npos);
  // The right driver on a file that is not there: refused, and nothing is created.
  ::setenv("SEVRIK_DATABASE", ("Driver=" SEVRIK_SQLITE_ODBC_DRIVER ";NoCreat=1;Database=" + ws.dir / "none.db").c_str(), 1);
  EXPECT_FALSE(ErrorText(cs).empty());
  EXPECT_FALSE(test::Exists(ws.dir / "none.db"));
}

TEST_F(Adapters, AFileThatIsNeitherSqliteNorReachableNamesTheMissingDriver) {
  ::unsetenv("SEVRIK_DATABASE");
  test::WriteFile(ws.db_path(), std::string(4, '\0') + "Standard Jet DB" + std::string(200, '\0'));
  const std::string text = ErrorText(BuildConnectionString(ws.program));
  EXPECT_NE(text.find("is no SQLite database"), std::string::npos) << text;
  EXPECT_NE(text.find("ODBC driver 'Microsoft Access Driver (*.mdb)' is not installed"), std::string::npos) << text;
  EXPECT_EQ(test::ReadFile(ws.db_path()).substr(4, 15), "Standard Jet DB");  // left as it was
}

class Recordsets : public ::testing::Test {
 protected:
  void SetUp() override {
    auto f = ws.OpenSqlite();
    f->Exec("CREATE TABLE T (CAR TEXT, Nama TEXT, Jumlah REAL, Hitung INTEGER, Tgl DATE, Waktu DATETIME)");
    f->Insert("T", {{"CAR", "A"}, {"Nama", ""}, {"Jumlah", 1.5}, {"Hitung", 7}, {"Tgl", "2026-12-01"},
                    {"Waktu", "2026-12-01 08:30:00"}});
    f->Insert("T", {{"CAR", "B'1"}, {"Nama", Variant::Null()}, {"Jumlah", Variant::Null()}, {"Hitung", 0},
                    {"Tgl", "bukan tanggal"}, {"Waktu", Variant::Null()}});
    db = ws.Connect();
  }
  TestWorkspace ws{false};
  std::unique_ptr<Database> db;
};

TEST_F(Recordsets, ReadFieldsByNameWithTheirKinds) {
  auto rs = db->Open("select * from T where CAR = ?", {Variant("A")}, CursorType::Static);
  EXPECT_EQ(rs->RecordCount(), 1);
  EXPECT_EQ(rs->Field("nama"), Variant(""));
  EXPECT_EQ(rs->Field("JUMLAH"), Variant(1.5));
  EXPECT_EQ(rs->Field("hitung"), Variant(int64_t{7}));
  EXPECT_EQ(rs->Field("Tgl"), Variant(DateTime{2026, 12, 1}));
  EXPECT_EQ(rs->Field("Waktu"), Variant(DateTime{2026, 12, 1, 8, 30, 0}));
  EXPECT_EQ(ErrorOf([&] { rs->Field("NoSuchColumn"); }), err::kItemNotFound);
}

TEST_F(Recordsets, NamesAreFoundByTheirTextWhereverItLies) {
  auto rs = db->Open("select * from T where CAR = ?", {Variant("A")}, CursorType::Static);
  std::string name = "Nama";  // one buffer, holding one name after the other
  EXPECT_EQ(rs->Field(name), Variant(""));
  name = "CAR";
  EXPECT_EQ(rs->Field(name), Variant("A"));
  name = "hitung";
  EXPECT_EQ(rs->Field(name), Variant(int64_t{7}));
  name = "Tidak";
  EXPECT_EQ(ErrorOf([&] { rs->Field(name); }), err::kItemNotFound);
  name = "JUMLAH";
  EXPECT_EQ(rs->Field(name), Variant(1.5));
  ws.OpenSqlite()->Exec("alter table T add column NamaYangPanjangSekali TEXT default 'p'");
  auto wide = db->Execute("select CAR, NamaYangPanjangSekali from T where CAR = ?", {Variant("A")});
  EXPECT_EQ(wide->Field("namayangpanjangsekali"), Variant("p"));
}

TEST_F(Recordsets, KeepNullApartFromEmptyTextAndNonDatesApartFromDates) {
  auto rs = db->Execute("select * from T where CAR = ?", {Variant("B'1")});  // a quote is data
  ASSERT_FALSE(rs->Eof());
  EXPECT_TRUE(rs->Field("Nama").is_null());
  EXPECT_EQ(rs->Field("Tgl"), Variant("bukan tanggal"));
  EXPECT_EQ(FormatYyyymmdd(rs->Field("Tgl")), "");
  EXPECT_EQ(rs->RecordCount(), -1);  // forward-only
}

TEST_F(Recordsets, MovesOnAnEmptyRecordsetAreNoCurrentRecord) {
  auto rs = db->Execute("select * from T where CAR = ?", {Variant("none")});
  EXPECT_TRUE(rs->Eof());
  EXPECT_EQ(ErrorOf([&] { rs->MoveFirst(); }), err::kNoCurrentRecord);
  EXPECT_EQ(ErrorOf([&] { rs->Field("CAR"); }), err::kNoCurrentRecord);
  EXPECT_EQ(ErrorOf([&] { rs->MoveNext(); }), err::kNoCurrentRecord);
  auto closed = Recordset::Closed();
  EXPECT_EQ(ErrorOf([&] { closed->Eof(); }), err::kObjectClosed);
}

TEST_F(Recordsets, DriverErrorsKeepTheDriversText) {
  try {
    db->Execute("select * from NoSuchTable");
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), err::kDatabase);
    EXPECT_NE(e.description().find("NoSuchTable"), std::string::npos) << e.description();
  }
}

TEST_F(Recordsets, KeysetRowsAreSavedWithOptimisticLocking) {
  auto rs = db->Open("select * from T Where car = ?", {Variant("A")}, CursorType::Keyset);
  rs->SetField("Nama", Variant("BARU"));
  rs->SetField("Hitung", Variant(int64_t{9}));
  rs->Update();
  EXPECT_EQ(ws.OpenSqlite()->QueryText("select Nama || '/' || Hitung from T where CAR='A'"), "BARU/9");
  EXPECT_EQ(ws.OpenSqlite()->QueryText("select Nama is null from T where CAR='B''1'"), "1");

  auto stale = db->Open("select * from T Where car = ?", {Variant("A")}, CursorType::Keyset);
  ws.OpenSqlite()->Exec("update T set Nama = 'LAIN' where CAR = 'A'");
  stale->SetField("Nama", Variant("KALAH"));
  EXPECT_EQ(ErrorOf([&] { stale->Update(); }), err::kDatabase);
  EXPECT_EQ(ws.OpenSqlite()->QueryText("select Nama from T where CAR='A'"), "LAIN");
}

TEST_F(Recordsets, ALockedDatabaseIsWaitedFor) {
  auto other = ws.OpenSqlite();
  other->Exec("BEGIN EXCLUSIVE");
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    other->Exec("COMMIT");
  });
  auto rs = db->Open("select * from T Where car = ?", {Variant("A")}, CursorType::Keyset);
  rs->SetField("Nama", Variant("SETELAH KUNCI"));
  EXPECT_NO_THROW(rs->Update());
  release.join();
  EXPECT_EQ(ws.OpenSqlite()->QueryText("select Nama from T where CAR='A'"), "SETELAH KUNCI");
}

TEST_F(Recordsets, ALockHeldPastTheWaitIsAnErrorAndChangesNothing) {
  auto impatient = test::OpenTestDatabase(ws.db_path(), 200);
  auto rs = impatient->Open("select * from T Where car = ?", {Variant("A")}, CursorType::Keyset);
  auto other = ws.OpenSqlite();
  other->Exec("BEGIN IMMEDIATE");  // a writer of its own, not yet committed
  other->Exec("update T set Hitung = 100 where CAR = 'B''1'");
  rs->SetField("Nama", Variant("TERKUNCI"));
  try {
    rs->Update();
    ADD_FAILURE() << "saved under a lock";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), err::kDatabase);
    EXPECT_NE(e.description().find("locked"), std::string::npos) << e.description();
  }
  other->Exec("COMMIT");
  EXPECT_EQ(ws.OpenSqlite()->QueryText("select Nama || '/' || Hitung from T where CAR = 'A'"), "/7");
  other->Exec("BEGIN EXCLUSIVE");  // not even readers
  EXPECT_EQ(ErrorOf([&] { impatient->Execute("select * from T"); }), err::kDatabase);
  other->Exec("ROLLBACK");
  EXPECT_EQ(impatient->Execute("select * from T where CAR = ?", {Variant("A")})->Field("Hitung"), Variant(int64_t{7}));
}

TEST_F(Recordsets, AStatementSeesTheTableAsItIsNow) {
  const std::string sql = "select * from T where CAR = ?";
  EXPECT_EQ(ErrorOf([&] { db->Execute(sql, {Variant("A")})->Field("Baru"); }), err::kItemNotFound);
  // The SQLite ODBC driver keeps describing "*" by the columns its connection first saw.
  if (test::UsingOdbc()) GTEST_SKIP() << "the driver's own column cache";
  ws.OpenSqlite()->Exec("alter table T add column Baru TEXT default 'ya'");
  EXPECT_EQ(db->Execute(sql, {Variant("A")})->Field("Baru"), Variant("ya"));
  ws.OpenSqlite()->Exec("drop table T");
  EXPECT_EQ(ErrorOf([&] { db->Execute(sql, {Variant("A")}); }), err::kDatabase);
  ws.OpenSqlite()->Exec("create table T (CAR TEXT, Lain INTEGER); insert into T values ('A', 5)");
  EXPECT_EQ(db->Execute(sql, {Variant("A")})->Field("lain"), Variant(int64_t{5}));
}

TEST_F(Recordsets, TextKeepsEveryCharacterWhateverItsLength) {
  const std::string unicode = "Jl. Caf\xC3\xA9 \xE2\x80\x93 \xE2\x9C\x93 \xF0\x9F\x98\x80";
  const std::string long_text = std::string(3000, 'x') + "\xC3\xA9";
  ws.OpenSqlite()->Insert("T", {{"CAR", unicode}, {"Nama", long_text}});
  auto rs = db->Execute("select * from T where CAR = ?", {Variant(unicode)});
  ASSERT_FALSE(rs->Eof());
  EXPECT_EQ(rs->Field("CAR"), Variant(unicode));
  EXPECT_EQ(rs->Field("Nama"), Variant(long_text));
}

TEST_F(Recordsets, AMissingParameterIsAnError) {
  EXPECT_EQ(ErrorOf([&] { db->Execute("select * from T where CAR = ? and Nama = ?", {Variant("A")}); }),
            err::kDatabase);
  EXPECT_EQ(ErrorOf([&] { db->Execute("select * from T where CAR = ?")->Eof(); }), err::kDatabase);
}

TEST_F(Recordsets, AKeysetSaveNeverChangesMoreThanItsRow) {
  ws.OpenSqlite()->Exec("insert into T (CAR, Nama, Hitung) values ('A', '', 7)");  // the same values again
  auto rs = db->Open("select * from T where CAR = ?", {Variant("A")}, CursorType::Keyset);
  EXPECT_EQ(rs->RecordCount(), 2);
  rs->SetField("Nama", Variant("SATU"));
  const int e = ErrorOf([&] { rs->Update(); });
  const std::string changed = ws.OpenSqlite()->QueryText("select count(*) from T where Nama = 'SATU'");
  // SQLite saves by rowid; through ODBC the row cannot be told apart, and nothing is saved.
  EXPECT_TRUE((e == 0 && changed == "1") || (e == err::kDatabase && changed == "0")) << e << " " << changed;
  EXPECT_EQ(ErrorOf([&] { db->Execute("select * from T")->SetField("Nama", Variant("x")); }),
            err::kActionNotSupported);
}

// More rows than a recordset keeps: they are streamed from the statement.
class Streaming : public ::testing::Test {
 protected:
  void SetUp() override {
    ws.OpenSqlite()->Exec(
        "CREATE TABLE N (k INTEGER, t TEXT);"
        "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 1000) "
        "INSERT INTO N SELECT i, 'r' || i FROM c");
    db = ws.Connect();
  }
  // The t values from the first row on, joined.
  static std::string Walk(Recordset& rs) {
    std::string seen;
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) seen += rs.Field("t").text();
    return seen;
  }
  TestWorkspace ws{false};
  std::unique_ptr<Database> db;
};

TEST_F(Streaming, ALargeResultIsWalkedAgainByRunningItAgain) {
  auto rs = db->Execute("select * from N where k <= ? order by k", {Variant(500)});
  EXPECT_EQ(rs->RecordCount(), -1);
  long n = 0;
  int64_t sum = 0;
  for (; !rs->Eof(); rs->MoveNext(), ++n) sum += rs->Field("k").integer();
  EXPECT_EQ(n, 500);
  EXPECT_EQ(sum, 500 * 501 / 2);
  EXPECT_EQ(ErrorOf([&] { rs->Field("k"); }), err::kNoCurrentRecord);
  EXPECT_EQ(ErrorOf([&] { rs->MoveNext(); }), err::kNoCurrentRecord);
  ws.OpenSqlite()->Exec("delete from N where k = 1");
  rs->MoveFirst();
  EXPECT_EQ(rs->Field("t"), Variant("r2"));  // as the table is now
  auto counted = db->Open("select * from N where k > ? order by k", {Variant(10)}, CursorType::Static);
  EXPECT_EQ(counted->RecordCount(), 990);
  EXPECT_EQ(counted->Field("k"), Variant(int64_t{11}));
}

TEST_F(Streaming, ASmallResultIsWalkedAgainAsItWasRead) {
  auto rs = db->Execute("select * from N where k between ? and ? order by k", {Variant(3), Variant(5)});
  EXPECT_EQ(Walk(*rs), "r3r4r5");
  EXPECT_EQ(Walk(*rs), "r3r4r5");
  auto none = db->Open("select * from N where k < ?", {Variant(0)}, CursorType::Static);
  EXPECT_EQ(none->RecordCount(), 0);
  EXPECT_EQ(ErrorOf([&] { none->MoveFirst(); }), err::kNoCurrentRecord);
}

TEST_F(Streaming, OneStatementTextMayBeOpenTwiceAtOnce) {
  const std::string sql = "select * from N where k = ?";
  auto a = db->Execute(sql, {Variant(1)});
  auto b = db->Execute(sql, {Variant(2)});
  EXPECT_EQ(a->Field("t"), Variant("r1"));
  EXPECT_EQ(b->Field("t"), Variant("r2"));
  a.reset();
  auto c = db->Execute(sql, {Variant(3)});
  EXPECT_EQ(c->Field("t"), Variant("r3"));
  EXPECT_EQ(b->Field("t"), Variant("r2"));
}

TEST_F(Streaming, AnErrorAtALaterRowEndsTheWalkThere) {
  // Row 100 fails to compute (an integer overflow); the rows before it are read as usual.
  // (The table's own order: a sort would meet the error before the first row.)
  const std::string sql = "select k, case when k = 100 then abs(-9223372036854775807 - 1) else k end as v from N";
  long read = 0;
  int error = 0;
  std::unique_ptr<Recordset> rs;
  try {
    rs = db->Execute(sql);
    for (; !rs->Eof(); rs->MoveNext()) {
      EXPECT_EQ(rs->Field("v"), Variant(int64_t{read + 1}));
      ++read;
    }
  } catch (const Error& e) {
    error = e.number();
  }
  EXPECT_EQ(error, err::kDatabase);
  if (test::UsingOdbc()) EXPECT_LT(read, 100);  // the driver may meet the error before any row
  else EXPECT_EQ(read, 99);
  if (rs) {
    EXPECT_TRUE(rs->Eof());
    EXPECT_EQ(ErrorOf([&] { rs->Field("k"); }), err::kNoCurrentRecord);
  }
}

TEST_F(Streaming, AResultReadToItsLastRowHoldsNoLock) {
  auto rs = db->Execute("select * from N where k <= ? order by k", {Variant(2)});
  rs->MoveNext();  // the last row: the statement has met the end of the result
  auto writer = test::OpenTestDatabase(ws.db_path(), 200);
  EXPECT_NO_THROW(writer->Execute("insert into N values (0, 'baru')"));
  EXPECT_EQ(rs->Field("t"), Variant("r2"));
}

// ---- What the Access driver takes -------------------------------------------------------

TEST(AccessRules, PatternsSinglesAndLengthsFollowTheDriver) {
  // "[" opens a character class on the driver: sent as a class of one "[".
  const std::pair<const char*, const char*> patterns[] = {
      {"%[%", "%[[]%"}, {"%a[b]c%", "%a[[]b]c%"}, {"%100%_%", "%100%_%"}, {"%]%", "%]%"}, {"", ""}};
  for (const auto& [typed, sent] : patterns) EXPECT_EQ(AccessLikePattern(typed), sent) << typed;
  EXPECT_EQ(LikeParameters("SELECT car FROM T Where Nama LIKE ? and CAR = ?"), (std::vector<bool>{true, false}));
  EXPECT_EQ(LikeParameters("select 'like ?' from T where a like\n ?"), (std::vector<bool>{true}));
  EXPECT_EQ(LikeParameters("select * from T where unlike = ?"), (std::vector<bool>{false}));
  // A Single read at its own precision, not widened.
  const std::pair<float, double> singles[] = {{0.1f, 0.1}, {7.5f, 7.5}, {1234.567f, 1234.567}, {-0.3f, -0.3},
                                              {16777217.0f, 16777216.0}, {1e-7f, 1e-7}};
  for (const auto& [single, value] : singles) EXPECT_EQ(SingleValue(single), value) << value;
  EXPECT_EQ(Utf16Length("abc"), 3u);
  EXPECT_EQ(Utf16Length("Caf\xC3\xA9"), 4u);
  EXPECT_EQ(Utf16Length("\xE2\x9C\x93\xF0\x9F\x98\x80"), 3u);  // a pair of surrogates counts two
}

TEST(AccessRules, TheStatementCheckFindsWhatTheDriverRefuses) {
  const char* taken[] = {
      "SELECT * FROM TBLBC25HDR Where CAR = ?",
      "UPDATE tblBC23Hdr SET snrf = ?, Status = ? WHERE (car =?) AND snrf IS NULL AND Status = ?",
      "SELECT COUNT(*) AS n FROM (SELECT * FROM TBLBC23DTL Where CAR =?) AS counted",
      "Select a.KDKPBC, a.SNRF, b.NAMALOKAL From tblBC25Hdr a, tblPartner b Where a.KDKPBC = b.KDKPBC And a.CAR = ?",
      "SELECT KDREC, URAIAN from tblTabel Where KDTAB='01'",
      "SELECT car FROM TBLBC23HDR Where Pasoknama LIKE ?",
      "DELETE FROM tblKomLog"};
  for (const char* sql : taken) EXPECT_EQ(test::AccessSqlFaults(sql), std::vector<std::string>{}) << sql;
  const char* refused[] = {"select * from T where CAR = ? limit 1",
                           "select a || b from T",
                           "select IfNull(a, '') from T",
                           "select coalesce(a, b) from T",
                           "select cast(a as text) from T",
                           "select \"a\" from T",
                           "select `a` from T",
                           "select * from T where a = true",
                           "select * from T where d = '2026-12-01'",
                           "select * from T where d = DATE '2026'",
                           "select * from T where d = #12/01/2026#",
                           "select * from T where a like ? escape '!'",
                           "insert into T (a) values (?)",
                           "select ? from T",
                           "select * from T a join U b on a.k = ?"};
  for (const char* sql : refused) EXPECT_FALSE(test::AccessSqlFaults(sql).empty()) << sql;
  EXPECT_TRUE(test::StatementLogFaults("PREPARE\tselect * from T where a = ?\nBIND\t1\ttext\t3\t3\n"
                                       "BIND\t1\ttext\t1\t0\nBIND\t2\tinteger\t10\t0\n")
                  .empty());
  EXPECT_EQ(test::StatementLogFaults("BIND\t1\ttext\t255\t3\n").size(), 1u);  // not its length
  EXPECT_EQ(test::StatementLogFaults("BIND\t1\tbigint\t19\t0\n").size(), 1u);
  EXPECT_EQ(test::StatementLogFaults("PREPARE\tselect * from T limit 5\n").size(), 1u);
  EXPECT_EQ(test::StatementLogFaults("TRANSACTION\t0\nTRANSACTION\t1\n").size(), 1u);
  // A run whose log is missing, empty or without a statement checked nothing: that fails.
  EXPECT_EQ(test::RunStatementLogFaults(std::nullopt).size(), 1u);
  EXPECT_EQ(test::RunStatementLogFaults("").size(), 1u);
  EXPECT_EQ(test::RunStatementLogFaults("BIND\t1\ttext\t3\t3\n").size(), 1u);
  EXPECT_TRUE(test::RunStatementLogFaults("PREPARE\tselect * from T\n").empty());
}

TEST_F(Recordsets, AValueLongerThanItsColumnIsRefusedByNameBeforeTheUpdate) {
  ws.OpenSqlite()->Exec("CREATE TABLE V (CAR TEXT, Ref VARCHAR(10), Memo TEXT); INSERT INTO V VALUES ('A', 'lama', '')");
  auto rs = db->Open("select * from V where CAR = ?", {Variant("A")}, CursorType::Keyset);
  rs->SetField("Ref", Variant("Caf\xC3\xA9-67890"));  // ten characters, eleven bytes
  rs->SetField("Memo", Variant(std::string(300, 'm')));
  EXPECT_NO_THROW(rs->Update());
  EXPECT_EQ(ws.OpenSqlite()->QueryText("select Ref from V"), "Caf\xC3\xA9-67890");
  // SQLite keeps a text of any length; the Access driver's text columns do not.
  if (!test::UsingOdbc()) GTEST_SKIP() << "SQLite's columns have no length";
  rs->SetField("Ref", Variant("12345678901"));
  try {
    rs->Update();
    ADD_FAILURE() << "saved";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), err::kInvalidArgument);
    EXPECT_NE(e.description().find("V.Ref"), std::string::npos) << e.description();
  }
  EXPECT_EQ(ws.OpenSqlite()->QueryText("select Ref from V"), "Caf\xC3\xA9-67890");
}

TEST_F(Recordsets, IntegersBeyond32BitsAreNoIntegerParameterForTheDriver) {
  ws.OpenSqlite()->Exec("insert into T (CAR, Hitung) values ('besar', 1099511627776)");
  auto rs = db->Execute("select * from T where Hitung = ?", {Variant(int64_t{1} << 40)});
  ASSERT_FALSE(rs->Eof());
  EXPECT_EQ(rs->Field("CAR"), Variant("besar"));
  // Past 2^53 a double no longer holds it: the driver cannot be given it.
  const Params huge{Variant((int64_t{1} << 60) + 1)};
  if (test::UsingOdbc()) EXPECT_EQ(ErrorOf([&] { db->Execute("select * from T where Hitung = ?", huge); }), err::kOverflow);
  else EXPECT_TRUE(db->Execute("select * from T where Hitung = ?", huge)->Eof());
}

TEST_F(Recordsets, NoTransactionBeginsBesideAnOpenCursor) {
  ws.OpenSqlite()->Exec(
      "CREATE TABLE N (k INTEGER, t TEXT);"
      "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 3000) "
      "INSERT INTO N SELECT i, 'r' || i FROM c");
  auto walk = db->Execute("select * from N where k > ? order by k", {Variant(0)});
  walk->MoveNext();
  auto rs = db->Open("select * from T where CAR = ?", {Variant("A")}, CursorType::Keyset);
  rs->SetField("Nama", Variant("DISIMPAN"));
  EXPECT_NO_THROW(rs->Update());
  if (const char* log = std::getenv("SEVRIK_ODBC_STATEMENT_LOG")) {
    // The walk's cursor went before the save's transaction began.
    const std::string text = test::ReadFile(log);
    const size_t last = text.rfind("TRANSACTION\t");
    ASSERT_NE(last, std::string::npos);
    EXPECT_EQ(text.substr(last, text.find('\n', last) - last), "TRANSACTION\t0");
  }
  int64_t n = 1, sum = 1;
  for (; !walk->Eof(); walk->MoveNext(), ++n) sum += walk->Field("k").integer();
  EXPECT_EQ(n, 3000);
  EXPECT_EQ(sum, 3000 * 3001 / 2);
  EXPECT_EQ(ws.OpenSqlite()->QueryText("select Nama from T where CAR = 'A'"), "DISIMPAN");
}

TEST_F(Recordsets, ThroughOdbcALockIsWaitedForNoLongerThanTheWait) {
  // The connection string names no wait of the driver's own (as SEVRIK_DATABASE may not).
  auto odbc = OpenOdbcDatabase("Driver=" SEVRIK_SQLITE_ODBC_DRIVER ";Database=" + ws.db_path() + ";NoCreat=1", 1000);
  auto other = ws.OpenSqlite();
  other->Exec("BEGIN EXCLUSIVE");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ErrorOf([&] { odbc->Execute("select * from T where CAR = ?", {Variant("A")}); }), err::kDatabase);
  const double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GE(waited, 0.9);
  EXPECT_LT(waited, 6.0);
  other->Exec("ROLLBACK");
  EXPECT_EQ(odbc->Execute("select * from T where CAR = ?", {Variant("A")})->Field("Hitung"), Variant(int64_t{7}));
}

// Another connection that holds a write lock: each step waits the adapter's wait in all, the
// driver's own busy time-out and the adapter's retries together (not one after the other).
TEST_F(Recordsets, ThroughOdbcAWriteLockIsWaitedForTheWaitInAll) {
  auto odbc = OpenOdbcDatabase("Driver=" SEVRIK_SQLITE_ODBC_DRIVER ";Database=" + ws.db_path() + ";NoCreat=1");
  auto rs = odbc->Open("select * from T Where car = ?", {Variant("A")}, CursorType::Keyset);
  auto other = ws.OpenSqlite();
  other->Exec("BEGIN IMMEDIATE");
  other->Exec("update T set Hitung = 100 where CAR = 'B''1'");
  rs->SetField("Nama", Variant("TERKUNCI"));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ErrorOf([&] { rs->Update(); }), err::kDatabase);
  const double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GE(waited, 7.5);  // the wait of 8 s, with half a second to spare
  EXPECT_LT(waited, 12.0);  // not twice the wait
  other->Exec("ROLLBACK");
  EXPECT_EQ(ws.OpenSqlite()->QueryText("select Nama || '/' || Hitung from T where CAR = 'A'"), "/7");
}

TEST(Variants, ConvertAsTheProceduresExpect) {
  const LocaleInfo c = LocaleInfo::Classic();
  EXPECT_FALSE(IsNonEmpty(Variant::Null()));
  EXPECT_FALSE(IsNonEmpty(Variant()));
  EXPECT_FALSE(IsNonEmpty(Variant("")));
  EXPECT_TRUE(IsNonEmpty(Variant(" ")));
  EXPECT_TRUE(IsNonEmpty(Variant(0.0)));
  EXPECT_EQ(ToText(Variant(12.5), c), "12.5");
  EXPECT_EQ(ToText(Variant(int64_t{3}), c), "3");
  EXPECT_EQ(ErrorOf([&] { ToText(Variant::Null(), c); }), err::kInvalidUseOfNull);
  EXPECT_EQ(ToInt16(Variant("2"), c), 2);
  EXPECT_EQ(ToInt16(Variant(2.5), c), 2);
  EXPECT_EQ(ErrorOf([&] { ToInt16(Variant(40000), c); }), err::kOverflow);
  EXPECT_EQ(ErrorOf([&] { ToInt16(Variant("dua"), c); }), err::kTypeMismatch);
  EXPECT_EQ(FormatYyyymmdd(Variant(DateTime{2010, 1, 18})), "20100118");
  EXPECT_EQ(FormatYyyymmdd(Variant::Null()), "");
}

}  // namespace
}  // namespace sevrik
