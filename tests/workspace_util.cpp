// The workspaces of the Linux tests: SQLite files laid out by the workspace builder, opened on
// the adapter under test, with a session over the stand-in package.
#include <unistd.h>

#include <cstdlib>
#include <gtest/gtest.h>

#include "db/connect.h"
#include "db/odbc_database.h"
#include "db/sqlite_database.h"
#include "interface/mdlMain.h"
#include "platform/fs.h"
#include "tests/testutil.h"
#include "tools/package/package.h"

namespace sevrik::test {

TestWorkspace::TestWorkspace(bool demo_data, const std::string& bc23_status)
    : program(dir / "prog"), package(dir / "pkg") {
  tools::WorkspaceOptions o;
  o.program_folder = program;
  o.package_folder = package;
  o.demo_data = demo_data;
  o.bc23_status = bc23_status;
  tools::LayOutWorkspace(o);
  if (UsingOdbc()) ::setenv("SEVRIK_DATABASE", OdbcConnectionString(db_path()).c_str(), 1);
}

TestWorkspace::~TestWorkspace() {
  if (UsingOdbc()) ::unsetenv("SEVRIK_DATABASE");
}

bool UsingOdbc() {
  const char* adapter = std::getenv("SEVRIK_TEST_ADAPTER");
  return adapter && std::string(adapter) == "odbc";
}

std::string OdbcConnectionString(const std::string& host_path, int lock_wait_ms) {
  // The driver named by its library, so that nothing needs registering; NoCreat: a missing
  // file is an error, never a new database.
  return "Driver=" SEVRIK_SQLITE_ODBC_DRIVER ";Database=" + host_path + ";NoCreat=1;Timeout=" +
         std::to_string(lock_wait_ms);
}

std::unique_ptr<Database> OpenTestDatabase(const std::string& host_path, int lock_wait_ms) {
  if (UsingOdbc()) return OpenOdbcDatabase(OdbcConnectionString(host_path, lock_wait_ms));
  return OpenSqliteDatabase(host_path, lock_wait_ms);
}

std::unique_ptr<tools::SqliteFile> TestWorkspace::OpenSqlite() const {
  return std::make_unique<tools::SqliteFile>(db_path(), false);
}

std::unique_ptr<Database> TestWorkspace::Connect() const {
  return ConnectDatabase(BuildConnectionString(program));
}

std::string TestWorkspace::RunLog() const {
  // The program empties "SEVRIK.LOG" at its start; the builders append to "SEVRIK.log".
  for (const char* name : {"/SEVRIK.LOG", "/SEVRIK.log"})
    if (Exists(program + name)) return ReadFile(program + name);
  return "";
}

WorkspaceSession::WorkspaceSession() : saved_cwd(CurrentDirectory()), sql(ws.OpenSqlite()), conn(ws.Connect()) {
  tools::LayOutPackage(ws.package, BuiltProgram("tools/package"), {true, false});
  session = std::make_unique<Session>(Session{*conn, dialogs, ws.program, ws.package, "NET1", LocaleInfo::Classic()});
}

WorkspaceSession::~WorkspaceSession() { EXPECT_EQ(::chdir(saved_cwd.c_str()), 0) << saved_cwd; }

std::string WorkspaceSession::State(const std::string& car) const {
  return sql->QueryText("select ifnull(snrf, '-') || '/' || Status from TBLBC23HDR where CAR = ?", {Variant(car)});
}

bool WorkspaceSession::InPackage(const std::string& name) const { return Exists(ws.package + "/" + name); }

}  // namespace sevrik::test
