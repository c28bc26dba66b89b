// Starting a program on Windows: the system's own CreateProcessA and program search.
#include "platform/process.h"
#include "platform/win32.h"

namespace sevrik {

namespace {

unsigned long long CreationTime(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!::GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

}  // namespace

bool RunAndWait(std::string_view command_line, const std::function<void(const ProcessIdentity&)>& started) {
  // Every field zero but the size: no window position, title, show flag or handles asked for.
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::string line = ToAnsi(command_line);
  // No application name: the system finds the program of the line's first word (the
  // program's folder, the current folder, the system folders, PATH). Handles are inherited,
  // and with them the standard ones. A program that cannot be started leaves the handles
  // empty and the call returns at once.
  if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                        &startup, &info))
    return false;
  ::CloseHandle(info.hThread);
  try {
    started({static_cast<long long>(info.dwProcessId), CreationTime(info.hProcess)});
  } catch (...) {
    ::WaitForSingleObject(info.hProcess, INFINITE);
    ::CloseHandle(info.hProcess);
    throw;
  }
  ::WaitForSingleObject(info.hProcess, INFINITE);
  ::CloseHandle(info.hProcess);
  return true;
}

bool ProcessRuns(const ProcessIdentity& process) {
  const HANDLE h = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                 static_cast<DWORD>(process.pid));
  if (!h) return false;
  const bool runs = ::WaitForSingleObject(h, 0) == WAIT_TIMEOUT && CreationTime(h) == process.started;
  ::CloseHandle(h);
  return runs;
}

std::string FindProgram(std::string_view word) {
  if (word.empty()) return {};
  char found[MAX_PATH];
  char* name = nullptr;
  const DWORD n = ::SearchPathA(nullptr, ToAnsi(word).c_str(), ".exe", MAX_PATH, found, &name);
  if (n == 0 || n >= MAX_PATH) return {};
  return FromAnsi(std::string_view(found, n));
}

}  // namespace sevrik
