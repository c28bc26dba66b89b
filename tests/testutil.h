// Helpers of the tests: temporary folders, files, workspaces, test main.
#pragma once

#include <sys/types.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/error.h"
#include "core/lookups/session.h"
#include "db/database.h"
#include "db/sqlite_database.h"
#include "platform/dialogs.h"
#include "tests/skips.h"
#include "tools/package/package.h"
#include "tools/workspace.h"

namespace sevrik::test {

// What a run that waits for another run's lock tells the user.
inline constexpr const char* kWaitingText = "Menunggu proses SEVRIK lain selesai...";

// A new empty folder, removed with everything in it at the end of the test.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string ReadFile(const std::string& host_path);
void WriteFile(const std::string& host_path, const std::string& bytes);
bool Exists(const std::string& host_path);

// The adapter the database tests run on: SQLite's C API, or, when the environment variable
// SEVRIK_TEST_ADAPTER is "odbc", the same files through ODBC with the SQLite ODBC driver
// (each workspace then sets SEVRIK_DATABASE to its file, for this process and the programs
// it starts).
bool UsingOdbc();
// "Driver=<library>;Database=<file>;..." for a database file at a host path.
std::string OdbcConnectionString(const std::string& host_path, int lock_wait_ms = kLockWaitMs);
// Opens a database file at a host path on the adapter under test, waiting `lock_wait_ms` for
// a lock.
std::unique_ptr<Database> OpenTestDatabase(const std::string& host_path, int lock_wait_ms);

// A workspace in a temporary folder: program folder "prog", package folder "pkg".
struct TestWorkspace {
  explicit TestWorkspace(bool demo_data = true, const std::string& bc23_status = "4");
  ~TestWorkspace();
  TempDir dir;
  std::string program;
  std::string package;
  std::string db_path() const { return program + "/dbTPB.mdb"; }
  std::unique_ptr<tools::SqliteFile> OpenSqlite() const;
  std::unique_ptr<Database> Connect() const;
  // The run log of the program folder, or "" when there is none.
  std::string RunLog() const;
  // Whether the run log is there, in either case of its name: a run of the program empties it
  // at its start, so an empty log and a missing one tell different things.
  bool HasRunLog() const;
};

// Records every message box; answers Yes/No questions from a script (default No).
class ScriptedDialogs : public Dialogs {
 public:
  struct Box {
    std::string text;
    MsgButtons buttons;
    MsgIcon icon;
    std::string title;
  };
  MsgAnswer ShowMessage(const std::string& text, MsgButtons buttons, MsgIcon icon,
                       const std::string& title) override;
  std::vector<Box> boxes;
  std::vector<MsgAnswer> answers;
};

// The one fixture of the tests that run the translator package: a workspace with the stand-in
// package laid out (ranuvel unless told otherwise; none with std::nullopt), a connection to its
// database and a session over both (network profile "NET1", the C locale) whose message boxes
// are scripted. The current folder, PATH and SEVRIK_RECORD, which the tests change, are
// restored at the end.
struct WorkspaceSession {
  explicit WorkspaceSession(std::optional<tools::PackageOptions> package = tools::PackageOptions{true, false});
  ~WorkspaceSession();
  WorkspaceSession(const WorkspaceSession&) = delete;
  WorkspaceSession& operator=(const WorkspaceSession&) = delete;
  // Lays the stand-in package out in the package folder.
  void Package(const tools::PackageOptions& options) const;
  // A session like `session`, over another package folder.
  Session MakeSession(const std::string& package_folder) const;
  // Puts a folder of the workspace in front of PATH, with a program in it under `name`.
  void OnPath(const std::string& source, const std::string& folder, const std::string& name) const;
  // "snrf/Status" of a BC 2.3 document ("-" for a null snrf).
  std::string State(const std::string& car) const;
  // A file under the package folder (a host path relative to it): whether it exists, its bytes.
  bool InPackage(const std::string& name) const;
  std::string File(const std::string& name) const;
  // The stand-in's record of its calls, and its control file.
  std::string Calls() const;
  void Control(const std::string& text) const;
  // What the recorder helper (tests/helpers/recorder.cpp) wrote of how it was started, once
  // Record() has told it where to.
  void Record() const;
  std::string Recorded() const;

  std::string saved_cwd, saved_path;
  TestWorkspace ws;
  std::unique_ptr<tools::SqliteFile> sql;
  std::unique_ptr<Database> conn;
  mutable ScriptedDialogs dialogs;  // shared by every session of the fixture
  std::unique_ptr<Session> session;
  std::string record = ws.dir / "record.txt";
};

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};
// Runs a program with arguments (no shell), in `cwd`, with extra environment entries, and
// with `input` on its standard input.
RunResult RunProgram(const std::string& program, const std::vector<std::string>& args, const std::string& cwd = {},
                     const std::vector<std::string>& env = {}, const std::string& input = {});

// The same, started and left running until Wait(); killed if never waited for.
class RunningProgram {
 public:
  RunningProgram(const std::string& program, const std::vector<std::string>& args, const std::string& cwd = {},
                 const std::vector<std::string>& env = {}, const std::string& input = {});
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;
  RunResult Wait();
  // Ends the program at once, as a crash or the task manager would (SIGKILL, TerminateProcess).
  RunResult Kill();
  std::string ErrorSoFar() const;  // what it has written to its error stream yet

 private:
  std::unique_ptr<TempDir> io_;
  pid_t pid_ = -1;
};

// Polls the condition every 10 ms until it holds or the time is up; returns whether it held.
bool WaitFor(const std::function<bool()>& condition, int timeout_ms = 20000);

// The number of the error that `f` raises, or 0.
int ErrorOf(auto&& f) {
  try {
    f();
  } catch (const Error& e) {
    return e.number();
  }
  return 0;
}

// Golden flat files: n blanks, n zeros, lines joined with CR LF (the last one too).
inline std::string S(int n) { return std::string(static_cast<size_t>(n), ' '); }
inline std::string Z(int n) { return std::string(static_cast<size_t>(n), '0'); }
std::string Lines(const std::vector<std::string>& lines);
std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b);

// Path of a built program.
std::string BuiltProgram(const std::string& relative);

}  // namespace sevrik::test
