#include <dirent.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <vector>

#include "base/error.h"
#include "base/text.h"
#include "platform/args.h"
#include "platform/fs.h"
#include "platform/process.h"

extern char** environ;

namespace sevrik {
namespace {

bool IsExecutableFile(const std::string& host) {
  struct stat st;
  return ::stat(host.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(host.c_str(), X_OK) == 0;
}

// The entry of `dir` named `word`, or `word` with or without ".exe", without regard to case.
std::string FindIn(const std::string& dir, const std::string& word) {
  std::vector<std::string> names{AsciiLower(word)};
  if (names[0].ends_with(".exe")) names.push_back(names[0].substr(0, names[0].size() - 4));
  else names.push_back(names[0] + ".exe");
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return {};
  std::string best, best_name;
  size_t best_rank = names.size();
  while (dirent* e = ::readdir(d)) {
    const std::string n = e->d_name;
    const std::string lower = AsciiLower(n);
    for (size_t rank = 0; rank < names.size(); ++rank) {
      if (lower != names[rank]) continue;
      // The exact name before the one with (or without) ".exe"; among equals the lowest name.
      if (rank > best_rank || (rank == best_rank && n >= best_name)) continue;
      const std::string host = (dir.empty() ? std::string(".") : dir) + "/" + n;
      if (!IsExecutableFile(host)) continue;
      best = host;
      best_name = n;
      best_rank = rank;
    }
  }
  ::closedir(d);
  return best;
}

// The start time of a running process in clock ticks since boot (field 22 of /proc/<pid>/stat);
// none for a process that has ended, a zombie included.
std::optional<unsigned long long> StartTime(pid_t pid) {
  std::string stat;
  try {
    stat = ReadFileHead("/proc/" + std::to_string(pid) + "/stat", 4096);
  } catch (const Error&) {
    return std::nullopt;
  }
  // The fields after the command's name, which is in parentheses and may hold anything.
  const size_t close = stat.rfind(')');
  if (close == std::string::npos) return std::nullopt;
  const std::vector<std::string> fields = Split(std::string_view(stat).substr(close + 2), " ");
  // fields[0] is field 3 (the state), so field 22 is fields[19].
  if (fields.size() < 20 || fields[0] == "Z" || fields[0] == "X") return std::nullopt;
  try {
    return std::stoull(fields[19]);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace

std::string FindProgram(std::string_view word) {
  if (word.empty()) return {};
  const bool has_path = word.find_first_of("\\/") != std::string_view::npos ||
                        (word.size() >= 2 && word[1] == ':');
  if (has_path) {
    std::string host;
    try {
      host = HostPath(word);
    } catch (...) {
      return {};
    }
    const size_t slash = host.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : host.substr(0, slash));
    return FindIn(dir, host.substr(slash == std::string::npos ? 0 : slash + 1));
  }
  const std::string name(word);
  std::vector<std::string> dirs{ProgramFolder(), CurrentDirectory()};
  if (const char* path = std::getenv("PATH"))
    for (const std::string& p : Split(path, ":"))
      if (!p.empty()) dirs.push_back(p);
  for (const std::string& dir : dirs) {
    std::string found = FindIn(dir, name);
    if (!found.empty()) return found;
  }
  return {};
}

namespace {

struct ProcStat {
  char state = 0;
  long long group = 0, session = 0;
  unsigned long long started = 0;
};

// Fields 3, 5, 6 and 22 of /proc/<pid>/stat; none for a process that is gone.
std::optional<ProcStat> ReadProcStat(const std::string& pid) {
  std::string stat;
  try {
    stat = ReadFileHead("/proc/" + pid + "/stat", 4096);
  } catch (const Error&) {
    return std::nullopt;
  }
  const size_t close = stat.rfind(')');
  if (close == std::string::npos || close + 2 > stat.size()) return std::nullopt;
  const std::vector<std::string> fields = Split(std::string_view(stat).substr(close + 2), " ");
  if (fields.size() < 20 || fields[0].empty()) return std::nullopt;
  try {
    return ProcStat{fields[0][0], std::stoll(fields[2]), std::stoll(fields[3]), std::stoull(fields[19])};
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

// Whether a live process (no zombie) of group and session `id` started no earlier than `since`.
bool GroupMemberRuns(long long id, unsigned long long since) {
  DIR* d = ::opendir("/proc");
  if (!d) return false;
  bool found = false;
  while (dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::optional<ProcStat> s = ReadProcStat(name);
    if (!s || s->state == 'Z' || s->state == 'X') continue;
    if (s->group == id && s->session == id && s->started >= since) {
      found = true;
      break;
    }
  }
  ::closedir(d);
  return found;
}

// Whether a live process other than this one carries SEVRIK_RUN=<run> in its environment.
bool MarkedProcessRuns(const std::string& run) {
  if (run.empty()) return false;
  const std::string marker = "SEVRIK_RUN=" + run;
  const std::string self = std::to_string(::getpid());
  DIR* d = ::opendir("/proc");
  if (!d) return false;
  bool found = false;
  while (dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (name.empty() || name == self || name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::string environment;
    try {
      environment = ReadFileHead("/proc/" + name + "/environ", 1 << 20);
    } catch (const Error&) {
      continue;  // gone, or another user's
    }
    bool marked = false;
    for (size_t at = 0; at < environment.size();) {
      size_t end = environment.find('\0', at);
      if (end == std::string::npos) end = environment.size();
      if (std::string_view(environment).substr(at, end - at) == marker) marked = true;
      at = end + 1;
    }
    if (!marked) continue;
    const std::optional<ProcStat> s = ReadProcStat(name);
    if (s && s->state != 'Z' && s->state != 'X') {
      found = true;
      break;
    }
  }
  ::closedir(d);
  return found;
}

void Reap(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace

bool RunAndWait(std::string_view command_line, const std::string& run,
                const std::function<void(const ProcessIdentity&)>& started) {
  std::vector<std::string> args = SplitCommandLine(command_line);
  if (args.empty()) return false;
  const std::string program = FindProgram(args[0]);
  if (program.empty()) return false;
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  // A session of its own: the processes that the program starts (ZUL's translator, EXPORT's
  // children) stay in it, and a later run can wait for all of them by its id. They carry the
  // run's name too, from before the program runs, so that a later run finds them even when the
  // program's id was never written down.
  std::vector<std::string> environment;
  for (char** e = environ; *e; ++e)
    if (!std::string_view(*e).starts_with("SEVRIK_RUN=")) environment.emplace_back(*e);
  environment.push_back("SEVRIK_RUN=" + run);
  std::vector<char*> envp;
  for (std::string& e : environment) envp.push_back(e.data());
  envp.push_back(nullptr);
  posix_spawnattr_t attributes;
  if (::posix_spawnattr_init(&attributes) != 0) return false;
  ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  pid_t pid;
  const int spawned = ::posix_spawn(&pid, program.c_str(), nullptr, &attributes, argv.data(), envp.data());
  ::posix_spawnattr_destroy(&attributes);
  if (spawned != 0) return false;
  // The child is not reaped before the wait, so its id and start time stay its own meanwhile.
  // Its start time even when it has already ended (a zombie until reaped below).
  const std::optional<ProcStat> stat = ReadProcStat(std::to_string(pid));
  const ProcessIdentity identity{pid, stat ? stat->started : 0, std::to_string(pid)};
  try {
    started(identity);
  } catch (...) {
    Reap(pid);
    throw;
  }
  Reap(pid);
  // What the program left running of its group is part of its run.
  while (GroupMemberRuns(pid, identity.started) || MarkedProcessRuns(run)) ::usleep(50000);
  return true;
}

void RunAndWait(std::string_view command_line) {
  std::vector<std::string> args = SplitCommandLine(command_line);
  if (args.empty()) return;
  const std::string program = FindProgram(args[0]);
  if (program.empty()) return;
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid;
  if (::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return;
  Reap(pid);
}

bool ProcessRuns(const ProcessIdentity& process) {
  if (process.pid <= 0) return false;
  const std::optional<unsigned long long> started = StartTime(static_cast<pid_t>(process.pid));
  return started && *started == process.started;
}

bool RunGroupRuns(const std::string& run) { return MarkedProcessRuns(run); }

bool ProcessGroupRuns(const ProcessIdentity& process) {
  if (ProcessRuns(process)) return true;
  if (process.group.empty() || process.group.find_first_not_of("0123456789") != std::string::npos ||
      process.group.size() > 18)
    return false;
  const long long id = std::stoll(process.group);
  if (id <= 0) return false;
  // The id in use by another process: the group has ended (an id is not handed out again while
  // a group of that id lives), and the new process's group is not this one.
  if (StartTime(static_cast<pid_t>(id))) return false;
  return GroupMemberRuns(id, process.started);
}

}  // namespace sevrik
