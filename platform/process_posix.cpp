#include <dirent.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/args.h"
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
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace sevrik
