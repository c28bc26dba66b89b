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

namespace {

// The job object of a run's group, named before its program starts, so that a later run can
// open it by the run's name alone.
std::string JobName(const std::string& run) { return "Local\\SEVRIK-run-" + run; }

// Whether the job still holds a process that has not ended.
bool JobHasProcesses(HANDLE job) {
  JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
  if (!::QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof info, nullptr))
    return false;
  return info.ActiveProcesses > 0;
}

// Starts the line; with `group`, suspended, so that it can be put in a job before it runs.
bool Start(std::string_view command_line, bool group, PROCESS_INFORMATION& info) {
  // Every field zero but the size: no window position, title, show flag or handles asked for.
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  std::string line = ToAnsi(command_line);
  // No application name: the system finds the program of the line's first word (the
  // program's folder, the current folder, the system folders, PATH). Handles are inherited,
  // and with them the standard ones. A program that cannot be started leaves the handles
  // empty and the call returns at once.
  return ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE,
                          NORMAL_PRIORITY_CLASS | (group ? CREATE_SUSPENDED : 0), nullptr, nullptr, &startup,
                          &info) != 0;
}

}  // namespace

void RunAndWait(std::string_view command_line) {
  PROCESS_INFORMATION info{};
  if (!Start(command_line, false, info)) return;
  ::CloseHandle(info.hThread);
  ::WaitForSingleObject(info.hProcess, INFINITE);
  ::CloseHandle(info.hProcess);
}

bool RunAndWait(std::string_view command_line, const std::string& run,
                const std::function<void(const ProcessIdentity&)>& started) {
  // The program is in the job before it runs, and the processes it starts belong to it as
  // well. A name lasts only while a handle to its object is open: the handle is inherited, so
  // that the program and what it starts (with inherited handles, as ZUL does) keep the job's
  // name alive after this process ends.
  const std::string name = JobName(run);
  SECURITY_ATTRIBUTES inherited{};
  inherited.nLength = sizeof inherited;
  inherited.bInheritHandle = TRUE;
  HANDLE job = ::CreateJobObjectA(&inherited, run.empty() ? nullptr : name.c_str());
  PROCESS_INFORMATION info{};
  if (!Start(command_line, true, info)) {
    if (job) ::CloseHandle(job);
    return false;
  }
  ProcessIdentity identity{static_cast<long long>(info.dwProcessId), CreationTime(info.hProcess), ""};
  if (job && ::AssignProcessToJobObject(job, info.hProcess)) identity.group = name;
  ::ResumeThread(info.hThread);
  ::CloseHandle(info.hThread);
  const auto wait = [&] {
    ::WaitForSingleObject(info.hProcess, INFINITE);
    ::CloseHandle(info.hProcess);
    if (!job) return;
    while (!identity.group.empty() && JobHasProcesses(job)) ::Sleep(50);
    ::CloseHandle(job);
  };
  try {
    started(identity);
  } catch (...) {
    wait();
    throw;
  }
  wait();
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

bool RunGroupRuns(const std::string& run) {
  if (run.empty()) return false;
  const HANDLE job = ::OpenJobObjectA(JOB_OBJECT_QUERY, FALSE, JobName(run).c_str());
  if (!job) return false;
  const bool runs = JobHasProcesses(job);
  ::CloseHandle(job);
  return runs;
}

bool ProcessGroupRuns(const ProcessIdentity& process) {
  if (ProcessRuns(process)) return true;
  if (process.group.empty()) return false;
  // A job that no process and no handle holds any more is gone with its name.
  const HANDLE job = ::OpenJobObjectA(JOB_OBJECT_QUERY, FALSE, process.group.c_str());
  if (!job) return false;
  const bool runs = JobHasProcesses(job);
  ::CloseHandle(job);
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
