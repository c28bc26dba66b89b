#include "tests/testutil.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mount.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <stdexcept>

#include "db/connect.h"
#include "db/odbc_database.h"
#include "db/sqlite_database.h"
#include "interface/mdlMain.h"

extern char** environ;

namespace sevrik::test {
namespace fs = std::filesystem;

TempDir::TempDir() {
  std::string tmpl = (fs::temp_directory_path() / "sevrik-test-XXXXXX").string();
  if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}

std::string ReadFile(const std::string& host_path) {
  std::ifstream in(host_path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + host_path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& host_path, const std::string& bytes) {
  fs::create_directories(fs::path(host_path).parent_path());
  std::ofstream out(host_path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

bool Exists(const std::string& host_path) { return fs::exists(host_path); }

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

std::string TestWorkspace::RunLog() const {
  // The program empties "SEVRIK.LOG" at its start; the builders append to "SEVRIK.log".
  for (const char* name : {"/SEVRIK.LOG", "/SEVRIK.log"})
    if (Exists(program + name)) return ReadFile(program + name);
  return "";
}

MsgAnswer ScriptedDialogs::ShowMessage(const std::string& text, MsgButtons buttons, MsgIcon icon,
                                      const std::string& title) {
  boxes.push_back({text, buttons, icon, title});
  if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
  if (answers.empty()) return MsgAnswer::No;
  const MsgAnswer a = answers.front();
  answers.erase(answers.begin());
  return a;
}

RunningProgram::RunningProgram(const std::string& program, const std::vector<std::string>& args,
                               const std::string& cwd, const std::vector<std::string>& env, const std::string& input)
    : io_(std::make_unique<TempDir>()) {
  const std::string in_path = *io_ / "in", out_path = *io_ / "out", err_path = *io_ / "err";
  WriteFile(in_path, input);
  std::vector<std::string> env_strings;
  for (char** e = environ; *e; ++e) env_strings.emplace_back(*e);
  for (const std::string& extra : env) {
    const std::string key = extra.substr(0, extra.find('=') + 1);
    std::erase_if(env_strings, [&](const std::string& s) { return s.rfind(key, 0) == 0; });
    env_strings.push_back(extra);
  }
  std::vector<char*> envp;
  for (auto& s : env_strings) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::vector<std::string> argv_strings{program};
  argv_strings.insert(argv_strings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& s : argv_strings) argv.push_back(s.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, in_path.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
  const int rc = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) throw std::runtime_error("cannot start " + program);
}

RunningProgram::~RunningProgram() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
}

RunResult RunningProgram::Wait() {
  int status = 0;
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
  RunResult r;
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  r.out = ReadFile(*io_ / "out");
  r.err = ReadFile(*io_ / "err");
  return r;
}

std::string RunningProgram::ErrorSoFar() const { return ReadFile(*io_ / "err"); }

RunResult RunProgram(const std::string& program, const std::vector<std::string>& args, const std::string& cwd,
                     const std::vector<std::string>& env, const std::string& input) {
  return RunningProgram(program, args, cwd, env, input).Wait();
}

bool WaitFor(const std::function<bool()>& condition, int timeout_ms) {
  for (int waited = 0; waited < timeout_ms; waited += 10) {
    if (condition()) return true;
    ::usleep(10000);
  }
  return condition();
}

ReadOnlyMount::ReadOnlyMount(const std::string& folder) : folder_(folder) {
  if (::geteuid() != 0) return;
  if (::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0) return;
  if (::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
    ::umount2(folder.c_str(), MNT_DETACH);
    return;
  }
  mounted_ = true;
}

ReadOnlyMount::~ReadOnlyMount() {
  if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\r\n";
  return out;
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::string BuiltProgram(const std::string& relative) { return std::string(SEVRIK_BIN_DIR) + "/" + relative; }

}  // namespace sevrik::test
