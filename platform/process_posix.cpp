#include <dirent.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <vector>

#include "platform/args.h"
#include "platform/error.h"
#include "platform/fs.h"
#include "platform/process.h"
#include "platform/text.h"

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

bool RunAndWait(std::string_view command_line, const std::function<void(const ProcessIdentity&)>& started) {
  std::vector<std::string> args = SplitCommandLine(command_line);
  if (args.empty()) return false;
  const std::string program = FindProgram(args[0]);
  if (program.empty()) return false;
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid;
  if (::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return false;
  // The child is not reaped before the wait, so its id and start time stay its own meanwhile.
  try {
    started({pid, StartTime(pid).value_or(0)});
  } catch (...) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    throw;
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return true;
}

bool ProcessRuns(const ProcessIdentity& process) {
  if (process.pid <= 0) return false;
  const std::optional<unsigned long long> started = StartTime(static_cast<pid_t>(process.pid));
  return started && *started == process.started;
}

}  // namespace sevrik
