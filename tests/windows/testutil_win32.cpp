// The Win32 half of the test helpers of tests/testutil.h: temporary folders and started
// programs. The workspace helpers are the Linux tree's (they write SQLite files); the Windows
// tests get their workspaces from there.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <stdexcept>

#include "platform/args.h"
#include "platform/win32.h"
#include "tests/testutil.h"
#include "tests/windows/winutil.h"

namespace sevrik::test {
namespace fs = std::filesystem;

TempDir::TempDir() {
  static int counter = 0;
  const fs::path base = fs::temp_directory_path();
  for (;;) {
    const fs::path p = base / ("sevrik-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
                               std::to_string(++counter) + "-" + std::to_string(::GetTickCount()));
    if (fs::create_directory(p)) {
      path_ = p.string();
      return;
    }
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  // Read-only files and folders left by a test go too.
  for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator(); ++it)
    ::SetFileAttributesA(it->path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
  fs::remove_all(path_, ec);
}

namespace {

// An inheritable handle on a file of the program's output folder.
HANDLE Inheritable(const std::string& path, bool write) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  const HANDLE h = ::CreateFileA(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, write ? CREATE_ALWAYS : OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + path);
  return h;
}

// A running program keeps its process handle as its pid_t (a kernel handle's value fits in 32
// bits on either width of Windows).
HANDLE ProcessOf(pid_t pid) { return LongToHandle(static_cast<long>(pid)); }

}  // namespace

RunningProgram::RunningProgram(const std::string& program, const std::vector<std::string>& args,
                               const std::string& cwd, const std::vector<std::string>& env, const std::string& input)
    : io_(std::make_unique<TempDir>()) {
  WriteFile(*io_ / "in", input);
  std::string line = QuoteArgument(program);
  for (const std::string& a : args) line += " " + (a.empty() || a.find_first_of(" \t\"") != std::string::npos
                                                      ? QuoteArgument(a)
                                                      : a);
  const std::string block = EnvironmentBlock(env);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = Inheritable(*io_ / "in", false);
  startup.hStdOutput = Inheritable(*io_ / "out", true);
  startup.hStdError = Inheritable(*io_ / "err", true);
  PROCESS_INFORMATION info{};
  const BOOL started = ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0,
                                        const_cast<char*>(block.c_str()), cwd.empty() ? nullptr : cwd.c_str(),
                                        &startup, &info);
  ::CloseHandle(startup.hStdInput);
  ::CloseHandle(startup.hStdOutput);
  ::CloseHandle(startup.hStdError);
  if (!started) throw std::runtime_error("cannot start " + line + ": " + SystemErrorText(::GetLastError()));
  ::CloseHandle(info.hThread);
  pid_ = static_cast<pid_t>(HandleToLong(info.hProcess));
}

RunningProgram::~RunningProgram() {
  if (pid_ < 0) return;
  ::TerminateProcess(ProcessOf(pid_), 1);
  ::WaitForSingleObject(ProcessOf(pid_), INFINITE);
  ::CloseHandle(ProcessOf(pid_));
}

RunResult RunningProgram::Wait() {
  RunResult r;
  const HANDLE h = ProcessOf(pid_);
  ::WaitForSingleObject(h, INFINITE);
  DWORD code = 0;
  ::GetExitCodeProcess(h, &code);
  ::CloseHandle(h);
  pid_ = -1;
  r.status = static_cast<int>(code);
  r.out = ReadFile(*io_ / "out");
  r.err = ReadFile(*io_ / "err");
  return r;
}

RunResult RunningProgram::Kill() {
  ::TerminateProcess(ProcessOf(pid_), 1);
  return Wait();
}

}  // namespace sevrik::test
