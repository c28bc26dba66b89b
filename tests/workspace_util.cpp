// The workspaces of the Linux tests: SQLite files laid out by the workspace builder, opened on
// the adapter under test, with a session over the stand-in package.
#include <unistd.h>

#include <cstdlib>
#include <gtest/gtest.h>

#include "core/lookups/lookups.h"
#include "core/lookups/program.h"
#include "core/startup.h"
#include "db/connect.h"
#include "db/odbc_database.h"
#include "db/sqlite_database.h"
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
  if (UsingOdbc()) return OpenOdbcDatabase(OdbcConnectionString(host_path, lock_wait_ms), lock_wait_ms);
  return OpenSqliteDatabase(host_path, lock_wait_ms);
}

std::unique_ptr<tools::SqliteFile> TestWorkspace::OpenSqlite() const {
  return std::make_unique<tools::SqliteFile>(db_path(), false);
}

std::unique_ptr<Database> TestWorkspace::Connect() const {
  return ConnectDatabase(BuildConnectionString(program));
}

bool TestWorkspace::HasRunLog() const {
  return Exists(program + "/SEVRIK.LOG") || Exists(program + "/SEVRIK.log");
}

std::string TestWorkspace::RunLog() const {
  // The program empties "SEVRIK.LOG" at its start; the builders append to "SEVRIK.log".
  for (const char* name : {"/SEVRIK.LOG", "/SEVRIK.log"})
    if (Exists(program + name)) return ReadFile(program + name);
  return "";
}

WorkspaceSession::WorkspaceSession(std::optional<tools::PackageOptions> package)
    : saved_cwd(CurrentDirectory()),
      saved_path(std::getenv("PATH") ? std::getenv("PATH") : ""),
      sql(ws.OpenSqlite()),
      conn(ws.Connect()) {
  if (package) Package(*package);
  session = std::make_unique<Session>(MakeSession(ws.package));
}

WorkspaceSession::~WorkspaceSession() {
  ::setenv("PATH", saved_path.c_str(), 1);
  ::unsetenv("SEVRIK_RECORD");
  EXPECT_EQ(::chdir(saved_cwd.c_str()), 0) << saved_cwd;
}

void WorkspaceSession::Package(const tools::PackageOptions& options) const {
  tools::LayOutPackage(ws.package, BuiltProgram("tools/package"), options);
}

Session WorkspaceSession::MakeSession(const std::string& package_folder) const {
  return Session{*conn, dialogs, ws.program, package_folder, "NET1", LocaleInfo::Classic()};
}

void WorkspaceSession::OnPath(const std::string& source, const std::string& folder, const std::string& name) const {
  tools::InstallProgram(source, ws.dir / folder, name);
  ::setenv("PATH", (ws.dir / folder + ":" + std::string(std::getenv("PATH"))).c_str(), 1);
}

std::string WorkspaceSession::File(const std::string& name) const { return ReadFile(ws.package + "/" + name); }

std::string WorkspaceSession::Calls() const { return InPackage("calls.log") ? File("calls.log") : ""; }

void WorkspaceSession::Control(const std::string& text) const { WriteFile(ws.package + "/standin.ctl", text); }

void WorkspaceSession::Record() const { ::setenv("SEVRIK_RECORD", record.c_str(), 1); }

std::string WorkspaceSession::Recorded() const { return Exists(record) ? ReadFile(record) : ""; }

std::string WorkspaceSession::State(const std::string& car) const {
  return sql->QueryText("select ifnull(snrf, '-') || '/' || Status from TBLBC23HDR where CAR = ?", {Variant(car)});
}

bool WorkspaceSession::InPackage(const std::string& name) const { return Exists(ws.package + "/" + name); }

}  // namespace sevrik::test
