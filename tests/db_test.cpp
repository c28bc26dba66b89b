// The Database seam over real SQLite files.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "db/connection.h"
#include "db/connect.h"
#include "interface/mdlMain.h"
#include "platform/error.h"
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
