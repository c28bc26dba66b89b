// The replay of a large pending file at SEVRIK's start, in a process of its own ("SEVRIK
// nothing": the replay and no action), at 15 MB and at 150 MB of SEVRIK.PND. Most lines break
// a rule (set aside to SEVRIK.PNX), one in a hundred is an update of a demo document.
// Targets: time at 150 MB at most 12 times the time at 15 MB (linear); peak memory at 150 MB
// at most 64 MB and at most 1.5 times that at 15 MB; the run log at most 64 KiB. The exit
// status tells whether every target was met and the work done (SEVRIK ended with 0, the
// pending file is gone, the lines that break a rule are in SEVRIK.PNX).
//   pending_bench
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/workspace.h"

extern char** environ;

namespace {
namespace fs = std::filesystem;
using namespace sevrik;

std::string TempRoot() {
  std::string tmpl = std::string(fs::is_directory("/dev/shm") ? "/dev/shm/" : "/tmp/") + "sevrik-pnd-XXXXXX";
  if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
  return tmpl;
}

struct Result {
  double seconds;
  long peak_kb;
  uintmax_t pnd_bytes, log_bytes, aside_bytes;
};

Result Replay(size_t megabytes) {
  const std::string root = TempRoot(), program = root + "/prog";
  tools::WorkspaceOptions o;
  o.program_folder = program;
  o.package_folder = root + "/pkg";
  tools::LayOutWorkspace(o);
  tools::InstallProgram(SEVRIK_PROGRAM, program);
  {
    std::ofstream pnd(program + "/SEVRIK.PND", std::ios::binary);
    const std::string bad = "TBLBC23HDR where car<>? --|nosuchcar|QEVIL1|02\r\n";
    const std::string good = std::string("tblBC23Hdr|") + tools::kDemoBC23Car + "|R-BENCH|02\r\n";
    std::string block;
    for (int i = 0; i < 100; ++i) block += i == 0 ? good : bad;
    for (size_t written = 0; written < megabytes << 20; written += block.size()) pnd << block;
  }
  const uintmax_t pnd_bytes = fs::file_size(program + "/SEVRIK.PND");
  const std::string exe = program + "/SEVRIK";
  std::vector<char*> argv = {const_cast<char*>(exe.c_str()), const_cast<char*>("nothing"), nullptr};
  std::vector<std::string> env_text = {"SEVRIK_DIALOGS=console"};
  std::vector<char*> envp;
  for (char** e = environ; *e; ++e) envp.push_back(*e);
  for (std::string& e : env_text) envp.push_back(e.data());
  envp.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid;
  if (posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0)
    throw std::runtime_error("cannot start SEVRIK");
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error("SEVRIK failed in " + root);
  if (fs::exists(program + "/SEVRIK.PND")) throw std::runtime_error("SEVRIK.PND is still there in " + root);
  const std::string log = program + (fs::exists(program + "/SEVRIK.LOG") ? "/SEVRIK.LOG" : "/SEVRIK.log");
  if (!fs::exists(log) || !fs::exists(program + "/SEVRIK.PNX"))
    throw std::runtime_error("no run log or no SEVRIK.PNX in " + root);
  Result r{seconds, usage.ru_maxrss, pnd_bytes, fs::file_size(log), fs::file_size(program + "/SEVRIK.PNX")};
  fs::remove_all(root);
  return r;
}

}  // namespace

int main() try {
  const Result small = Replay(15), large = Replay(150);
  for (const auto& [name, r] : {std::pair{"15 MB", small}, std::pair{"150 MB", large}})
    std::printf("SEVRIK.PND %-7s %7.2f s  peak %6ld KB  run log %6ju bytes  SEVRIK.PNX %10ju bytes\n", name, r.seconds,
                r.peak_kb, r.log_bytes, r.aside_bytes);
  const bool linear = large.seconds <= 12 * small.seconds;
  const bool memory = large.peak_kb <= 64 * 1024 && large.peak_kb <= small.peak_kb * 3 / 2;
  const bool log = large.log_bytes <= 64 * 1024;
  // 99 lines in 100 break a rule: nearly the whole file is set aside, as it stood.
  const bool aside = small.aside_bytes >= small.pnd_bytes * 9 / 10 && large.aside_bytes >= large.pnd_bytes * 9 / 10;
  std::printf("time linear: %s; memory bounded: %s; run log bounded: %s; lines set aside: %s\n", linear ? "yes" : "NO",
              memory ? "yes" : "NO", log ? "yes" : "NO", aside ? "yes" : "NO");
  if (!(linear && memory && log && aside)) std::printf("MISSED: a target of the replay (NO above)\n");
  return linear && memory && log && aside ? 0 : 1;
} catch (const std::exception& e) {
  std::printf("MISSED: the replay was not done: %s\n", e.what());
  return 1;
}
